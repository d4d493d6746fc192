// The enumerations and the flag set the terminal functions take: ClearType, CursorStyle,
// ConsoleColor, ConsoleAttribute and KeyboardEnhancementFlags. Enumeration values are the
// variant numbers of the core's enumerations (core/terminal/commands.hpp).
#pragma once

#include <array>
#include <cstdint>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/flags.hpp"

namespace tarvo::bindings {

struct ClearTypeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ClearType";
    static constexpr std::array<const char*, 6> variants{"All",          "Purge",       "FromCursorDown",
                                                         "FromCursorUp", "CurrentLine", "UntilNewLine"};
    static PyTypeObject* create() { return create_enum<ClearTypeClass>(); }
};

struct CursorStyleClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "CursorStyle";
    static constexpr std::array<const char*, 7> variants{
        "DefaultUserShape", "BlinkingBlock", "SteadyBlock", "BlinkingUnderline",
        "SteadyUnderline",  "BlinkingBar",   "SteadyBar"};
    static PyTypeObject* create() { return create_enum<CursorStyleClass>(); }
};

struct ConsoleColorClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ConsoleColor";
    static constexpr std::array<const char*, 19> variants{
        "Reset",     "Black", "DarkGrey",    "Red",  "DarkRed",  "Green", "DarkGreen",
        "Yellow",    "DarkYellow", "Blue",   "DarkBlue", "Magenta", "DarkMagenta", "Cyan",
        "DarkCyan",  "White", "Grey",        "AnsiValue", "Rgb"};
    static PyTypeObject* create() { return create_enum<ConsoleColorClass>(); }
};

struct ConsoleAttributeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ConsoleAttribute";
    static constexpr std::array<const char*, 28> variants{
        "Reset",       "Bold",        "Dim",          "Italic",          "Underlined",      "DoubleUnderlined",
        "Undercurled", "Underdotted", "Underdashed",  "SlowBlink",       "RapidBlink",      "Reverse",
        "Hidden",      "CrossedOut",  "Fraktur",      "NoBold",          "NormalIntensity", "NoItalic",
        "NoUnderline", "NoBlink",     "NoReverse",    "NoHidden",        "NotCrossedOut",   "Framed",
        "Encircled",   "OverLined",   "NotFramedOrEncircled", "NotOverLined"};
    static PyTypeObject* create() { return create_enum<ConsoleAttributeClass>(); }
};

// A set of keyboard enhancement flags: `bits`, `|` with another set, no equality of its own.
struct KeyboardEnhancementFlagsClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "KeyboardEnhancementFlags";
    static constexpr std::array<Flag<std::uint8_t>, 4> flags{{{"DISAMBIGUATE_ESCAPE_CODES", 1},
                                                              {"REPORT_EVENT_TYPES", 2},
                                                              {"REPORT_ALTERNATE_KEYS", 4},
                                                              {"REPORT_ALL_KEYS_AS_ESCAPE_CODES", 8}}};
    static PyTypeObject* create() {
        return FlagClassBuilder<KeyboardEnhancementFlagsClass>().bits_getter().union_operator().build();
    }
};

}  // namespace tarvo::bindings
