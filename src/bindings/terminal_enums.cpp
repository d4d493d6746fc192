#include "bindings/terminal_enums.hpp"

#include <string>
#include <utility>

#include "bindings/runtime/registry.hpp"
#include "core/terminal/commands.hpp"

namespace tarvo::bindings {

namespace {

namespace kf = core::term::keyboard_flags;

static_assert(ClearTypeClass::variants.size() == core::term::kClearTypeCount);
static_assert(CursorStyleClass::variants.size() == core::term::kCursorStyleCount);
static_assert(ConsoleColorClass::variants.size() == core::term::kConsoleColorCount);
static_assert(ConsoleAttributeClass::variants.size() == core::term::kConsoleAttributeCount);

// `a | b`: a new set when both operands are KeyboardEnhancementFlags, else NotImplemented.
PyObject* keyboard_flags_or(PyObject* x, PyObject* y) {
    return guard([&]() -> PyObject* {
        if (!is_instance<KeyboardEnhancementFlagsClass>(x) || !is_instance<KeyboardEnhancementFlagsClass>(y)) {
            Py_INCREF(Py_NotImplemented);
            return Py_NotImplemented;
        }
        return make<KeyboardEnhancementFlagsClass>(static_cast<std::uint8_t>(
            value_of<KeyboardEnhancementFlagsClass>(x) | value_of<KeyboardEnhancementFlagsClass>(y)));
    });
}

constexpr std::array<std::pair<const char*, std::uint8_t>, 4> kKeyboardFlags{{
    {"DISAMBIGUATE_ESCAPE_CODES", kf::DISAMBIGUATE_ESCAPE_CODES},
    {"REPORT_EVENT_TYPES", kf::REPORT_EVENT_TYPES},
    {"REPORT_ALTERNATE_KEYS", kf::REPORT_ALTERNATE_KEYS},
    {"REPORT_ALL_KEYS_AS_ESCAPE_CODES", kf::REPORT_ALL_KEYS_AS_ESCAPE_CODES},
}};

}  // namespace

PyTypeObject* KeyboardEnhancementFlagsClass::create() {
    ClassBuilder<KeyboardEnhancementFlagsClass> b;
    b.getter("bits", [](const std::uint8_t& bits) { return to_py(bits); })
        .repr([](const std::uint8_t& bits) { return "KeyboardEnhancementFlags(bits=" + std::to_string(bits) + ")"; })
        .slot(Py_nb_or, &keyboard_flags_or);
    for (const auto& [attr, bits] : kKeyboardFlags) {
        const std::uint8_t v = bits;
        b.class_attr(attr, [v] { return make<KeyboardEnhancementFlagsClass>(v); });
    }
    return b.build();
}

TARVO_REGISTER_CLASS(ClearTypeClass);
TARVO_REGISTER_CLASS(CursorStyleClass);
TARVO_REGISTER_CLASS(ConsoleColorClass);
TARVO_REGISTER_CLASS(ConsoleAttributeClass);
TARVO_REGISTER_CLASS(KeyboardEnhancementFlagsClass);

}  // namespace tarvo::bindings
