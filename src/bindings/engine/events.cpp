// CoreEvent, CoreTickEvent and CoreTerminalEventKind: the events handed to Python by the event
// functions and by a session, each a view over one event record.

#include <string>
#include <utility>

#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_events.hpp"

namespace tarvo::bindings {

namespace term = core::terminal;

namespace {

template <typename T>
PyObject* optional_to_py(const std::optional<T>& v) {
    return v ? to_py(*v) : none();
}

}  // namespace

PyTypeObject* CoreTickEventClass::create() {
    return ClassBuilder<CoreTickEventClass>()
        .getter("elapsed_ms", [](const std::uint64_t& ms) { return to_py(ms); })
        .build();
}

PyTypeObject* CoreEventClass::create() {
    ClassBuilder<CoreEventClass> b;
    PyMethodDef kind_str = method_def<CoreEventClass>("kind_str", "($self)", [](const term::EventRecord& r) {
        return to_py(term::record_tag_text(r.tag));
    });
    kind_str.ml_doc = detail::keep(
        "kind_str($self)\n--\n\n"
        "Returns the event type as a string without any Python-side comparison.\n"
        "Values: \"key\", \"resize\", \"paste\", \"mouse\", \"focus_gained\", \"focus_lost\", \"tick\".");
    b.getter("kind",
             [](const term::EventRecord& r) {
                 const auto t = static_cast<std::uint8_t>(r.tag);
                 return enum_variant<CoreTerminalEventKindClass>(t < term::kRecordTagCount ? t : 6);
             })
        .raw_method(kind_str)
        .getter("key",
                [](const term::EventRecord& r) -> PyObject* {
                    if (!r.key) return none();
                    return make_key_event(*r.key);
                })
        .getter("mouse",
                [](const term::EventRecord& r) -> PyObject* {
                    if (!r.mouse_kind || !r.mouse_button) return none();
                    return make<MouseEventClass>(MouseEventValue{*r.mouse_kind, *r.mouse_button, r.column, r.row,
                                                                 r.button, r.mouse_kind_index, r.mouse_modifiers});
                })
        .getter("paste", [](const term::EventRecord& r) { return optional_to_py(r.paste); })
        .getter("width", [](const term::EventRecord& r) { return optional_to_py(r.width); })
        .getter("height", [](const term::EventRecord& r) { return optional_to_py(r.height); })
        .getter("tick", [](const term::EventRecord& r) -> PyObject* {
            if (!r.tick) return none();
            return make<CoreTickEventClass>(*r.tick);
        });
    return b.build();
}

PyObject* make_core_event(term::EventRecord&& record) { return make<CoreEventClass>(std::move(record)); }

TARVO_REGISTER_CLASS(CoreTerminalEventKindClass);
TARVO_REGISTER_CLASS(CoreTickEventClass);
TARVO_REGISTER_CLASS(CoreEventClass);

}  // namespace tarvo::bindings
