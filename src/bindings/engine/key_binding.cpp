// CoreKeyBinding: a key binding text such as "ctrl+q", parsed once and tested against key events.

#include <string>
#include <variant>

#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_events.hpp"
#include "core/editor/key_binding.hpp"

namespace tarvo::bindings {

namespace {

struct CoreKeyBindingClass {
    using Value = core::editor::KeyBinding;
    static constexpr const char* name = "CoreKeyBinding";
    static constexpr const char* module = kEngineModule;
    static PyTypeObject* create();
};

}  // namespace

PyTypeObject* CoreKeyBindingClass::create() {
    return ClassBuilder<CoreKeyBindingClass>()
        .doc("Parsed form of an tarvo keyboard binding string such as ``\"ctrl+q\"``.\n"
             "Matching is done entirely inside the native code and needs no string handling on the Python side.")
        .static_method(
            "parse", "(binding)",
            [](Args& a) -> PyObject* {
                const std::string text = a.get<std::string>(0);
                auto parsed = core::editor::KeyBinding::parse(text);
                if (auto* error = std::get_if<std::string>(&parsed)) raise(PyExc_ValueError, *error);
                return make<CoreKeyBindingClass>(std::get<core::editor::KeyBinding>(parsed));
            },
            "Parse a binding string like \"ctrl+q\" or \"shift+up\".")
        .method(
            "matches", "($self, event)",
            [](const core::editor::KeyBinding& b, Args& a) {
                return to_py(b.matches(a.value<KeyEventClass>(0).event()));
            },
            "Return True if this binding matches the given native `KeyEvent`.")
        .repr([](const core::editor::KeyBinding& b) { return "CoreKeyBinding(" + b.text() + ")"; })
        .build();
}

TARVO_REGISTER_CLASS(CoreKeyBindingClass);

}  // namespace tarvo::bindings
