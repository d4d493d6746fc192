#include "bindings/geometry.hpp"

#include <string>

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

std::vector<PyMethodDef>& extra_rect_methods() {
    static std::vector<PyMethodDef> defs;
    return defs;
}

std::string rect_repr(const core::Rect& r) {
    return "Rect(x=" + std::to_string(r.x) + ", y=" + std::to_string(r.y) + ", width=" + std::to_string(r.width) +
           ", height=" + std::to_string(r.height) + ")";
}

PyObject* rects(const std::vector<core::Rect>& v) {
    return list_of(v, [](const core::Rect& r) { return make<RectClass>(r); });
}

}  // namespace

bool add_rect_method(PyMethodDef def) {
    extra_rect_methods().push_back(def);
    return true;
}

PyTypeObject* RectClass::create() {
    using core::Rect;
    ClassBuilder<RectClass> b;
    b.constructor("(x=0, y=0, width=0, height=0)", [](Args& a) {
         return Rect::clipped(a.get_or<std::uint16_t>(0, 0), a.get_or<std::uint16_t>(1, 0),
                              a.get_or<std::uint16_t>(2, 0), a.get_or<std::uint16_t>(3, 0));
     })
        .getter("x", [](const Rect& r) { return to_py(r.x); })
        .getter("y", [](const Rect& r) { return to_py(r.y); })
        .getter("width", [](const Rect& r) { return to_py(r.width); })
        .getter("height", [](const Rect& r) { return to_py(r.height); })
        .static_method("zero", "()", [](Args&) { return make<RectClass>(Rect{}); })
        .method("area", "($self)", [](const Rect& r) { return to_py(r.area()); })
        .method("is_empty", "($self)", [](const Rect& r) { return to_py(r.is_empty()); })
        .method("left", "($self)", [](const Rect& r) { return to_py(r.left()); })
        .method("right", "($self)", [](const Rect& r) { return to_py(r.right()); })
        .method("top", "($self)", [](const Rect& r) { return to_py(r.top()); })
        .method("bottom", "($self)", [](const Rect& r) { return to_py(r.bottom()); })
        .method("inner", "($self, margin)",
                [](const Rect& r, Args& a) { return make<RectClass>(r.inner(a.value<MarginClass>(0))); })
        .method("offset", "($self, offset)",
                [](const Rect& r, Args& a) { return make<RectClass>(r.offset(a.value<OffsetClass>(0))); })
        .method("union", "($self, other)",
                [](const Rect& r, Args& a) { return make<RectClass>(r.union_with(a.value<RectClass>(0))); })
        .method("intersection", "($self, other)",
                [](const Rect& r, Args& a) { return make<RectClass>(r.intersection(a.value<RectClass>(0))); })
        .method("intersects", "($self, other)",
                [](const Rect& r, Args& a) { return to_py(r.intersects(a.value<RectClass>(0))); })
        .method("contains", "($self, x, y)",
                [](const Rect& r, Args& a) {
                    return to_py(r.contains({a.get<std::uint16_t>(0), a.get<std::uint16_t>(1)}));
                })
        .method("rows", "($self)", [](const Rect& r) { return rects(r.rows()); })
        .method("columns", "($self)", [](const Rect& r) { return rects(r.columns()); })
        .repr([](const Rect& r) { return rect_repr(r); })
        .str([](const Rect& r) {
            return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
                   std::to_string(r.y);
        })
        .class_attr("ZERO", [] { return make<RectClass>(Rect{}); });
    for (const PyMethodDef& def : extra_rect_methods()) b.raw_method(def);
    return b.build();
}

PyTypeObject* PositionClass::create() {
    using core::Position;
    return ClassBuilder<PositionClass>()
        .constructor("(x, y)", [](Args& a) { return Position{a.get<std::uint16_t>(0), a.get<std::uint16_t>(1)}; })
        .getter("x", [](const Position& p) { return to_py(p.x); })
        .getter("y", [](const Position& p) { return to_py(p.y); })
        .class_attr("ORIGIN", [] { return make<PositionClass>(Position{}); })
        .build();
}

PyTypeObject* SizeClass::create() {
    using core::Size;
    auto repr = [](const Size& s) {
        return "Size(width=" + std::to_string(s.width) + ", height=" + std::to_string(s.height) + ")";
    };
    return ClassBuilder<SizeClass>()
        .constructor("(width, height)",
                     [](Args& a) { return Size{a.get<std::uint16_t>(0), a.get<std::uint16_t>(1)}; })
        .getter("width", [](const Size& s) { return to_py(s.width); })
        .getter("height", [](const Size& s) { return to_py(s.height); })
        .repr(repr)
        .str(repr)
        .build();
}

PyTypeObject* OffsetClass::create() {
    using core::Offset;
    return ClassBuilder<OffsetClass>()
        .constructor("(x=0, y=0)",
                     [](Args& a) { return Offset{a.get_or<std::int32_t>(0, 0), a.get_or<std::int32_t>(1, 0)}; })
        .getter("x", [](const Offset& o) { return to_py(o.x); })
        .getter("y", [](const Offset& o) { return to_py(o.y); })
        .build();
}

PyTypeObject* MarginClass::create() {
    using core::Margin;
    auto repr = [](const Margin& m) {
        return "Margin(horizontal=" + std::to_string(m.horizontal) + ", vertical=" + std::to_string(m.vertical) + ")";
    };
    return ClassBuilder<MarginClass>()
        .constructor("(horizontal=0, vertical=0)",
                     [](Args& a) { return Margin{a.get_or<std::uint16_t>(0, 0), a.get_or<std::uint16_t>(1, 0)}; })
        .getter("horizontal", [](const Margin& m) { return to_py(m.horizontal); })
        .getter("vertical", [](const Margin& m) { return to_py(m.vertical); })
        .repr(repr)
        .str(repr)
        .build();
}

TARVO_REGISTER_CLASS(RectClass);
TARVO_REGISTER_CLASS(PositionClass);
TARVO_REGISTER_CLASS(SizeClass);
TARVO_REGISTER_CLASS(OffsetClass);
TARVO_REGISTER_CLASS(MarginClass);

}  // namespace tarvo::bindings
