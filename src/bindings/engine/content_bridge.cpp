// CoreRenderContent: its constructors and tests. The objects a content holds are shared, never
// copied: a copied content takes new references to the same objects.

#include "bindings/engine/content_bridge.hpp"

#include "bindings/engine/render_ir.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

using core::engine::RenderContent;
using Kind = RenderContent::Kind;

PyObject* content(Kind kind, PyObject* first = nullptr, PyObject* second = nullptr) {
    RenderContent c;
    c.kind = kind;
    if (first) c.first = hold_object(first);
    if (second) c.second = hold_object(second);
    return make<CoreRenderContentClass>(std::move(c));
}

PyObject* is_kind(const RenderContent& c, Kind kind) { return to_py(c.kind == kind); }

}  // namespace

std::shared_ptr<const void> hold_object(PyObject* o) {
    Py_INCREF(o);
    try {
        return std::shared_ptr<const void>(o, [](const void* p) { Py_DECREF(const_cast<PyObject*>(static_cast<const PyObject*>(p))); });
    } catch (...) {
        Py_DECREF(o);
        throw;
    }
}

PyTypeObject* CoreRenderContentClass::create() {
    return ClassBuilder<CoreRenderContentClass>()
        .static_method("empty", "()", [](Args&) { return content(Kind::Empty); })
        .static_method("widget", "(widget)", [](Args& a) { return content(Kind::Widget, a[0]); })
        .static_method("stateful", "(widget, state)", [](Args& a) { return content(Kind::Stateful, a[0], a[1]); })
        .static_method("drawable", "(callback)", [](Args& a) { return content(Kind::Drawable, a[0]); })
        .static_method("ir", "(ir)",
                       [](Args& a) {
                           PyObject* ir = a.object<CoreRenderIRClass>(0);
                           RenderContent c;
                           c.kind = Kind::Ir;
                           c.first = hold_object(ir);
                           // The value is shared with the IR object; it never changes after it is built.
                           c.ir = instance<CoreRenderIRClass>(ir)->value;
                           c.ir_thread = instance<CoreRenderIRClass>(ir)->owner;
                           return make<CoreRenderContentClass>(std::move(c));
                       })
        .method("is_empty", "($self)", [](const RenderContent& c) { return is_kind(c, Kind::Empty); })
        .method("is_stateful", "($self)", [](const RenderContent& c) { return is_kind(c, Kind::Stateful); })
        .method("is_drawable", "($self)", [](const RenderContent& c) { return is_kind(c, Kind::Drawable); })
        .method("is_ir", "($self)", [](const RenderContent& c) { return is_kind(c, Kind::Ir); })
        .build();
}

TARVO_REGISTER_CLASS(CoreRenderContentClass);

}  // namespace tarvo::bindings
