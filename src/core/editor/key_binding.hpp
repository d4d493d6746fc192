// Key bindings such as "ctrl+q" or "shift+up": parsed once, then tested against key events.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "core/terminal/event.hpp"

namespace tarvo::core::editor {

struct KeyBinding {
    terminal::KeyCode code;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;

    // The pieces of `binding` joined by "+" are modifiers ("ctrl", "control", "shift", "shft",
    // "alt") and, last, the key: a key name, "f1" to "f12", "space" or one ASCII character
    // (a lone "f" is the character f). A text that is not a binding gives its error message.
    static std::variant<KeyBinding, std::string> parse(std::string_view binding);

    // The key matches (characters compared in lower case) and CONTROL, SHIFT and ALT are exactly
    // those of the binding; other modifiers, the kind and the state do not matter.
    bool matches(const terminal::KeyEvent& event) const noexcept;

    // "ctrl+shift+pageup": the modifiers in this order, then the key's name.
    std::string text() const;
};

// Unicode White_Space trimmed from both ends, and the full lower-case mapping (UTF-8 in, out).
std::string_view trim_white_space(std::string_view s);
std::string lower_case(std::string_view s);

}  // namespace tarvo::core::editor
