// Text attributes and styles, and the rule by which styles are layered.
#pragma once

#include <cstdint>
#include <optional>

#include "core/color.hpp"

namespace tarvo::core {

namespace modifier {
inline constexpr std::uint16_t BOLD = 0x1;
inline constexpr std::uint16_t DIM = 0x2;
inline constexpr std::uint16_t ITALIC = 0x4;
inline constexpr std::uint16_t UNDERLINED = 0x8;
inline constexpr std::uint16_t SLOW_BLINK = 0x10;
inline constexpr std::uint16_t RAPID_BLINK = 0x20;
inline constexpr std::uint16_t REVERSED = 0x40;
inline constexpr std::uint16_t HIDDEN = 0x80;
inline constexpr std::uint16_t CROSSED_OUT = 0x100;
inline constexpr std::uint16_t ALL = 0x1FF;
}  // namespace modifier

struct Style {
    OptColor fg;
    OptColor bg;
    OptColor underline_color;
    std::uint16_t add_modifier = 0;
    std::uint16_t sub_modifier = 0;

    // Layer `other` over this style: present colours of `other` win, modifiers combine.
    constexpr Style patch(const Style& other) const noexcept {
        Style s = *this;
        if (other.fg) s.fg = other.fg;
        if (other.bg) s.bg = other.bg;
        if (other.underline_color) s.underline_color = other.underline_color;
        s.add_modifier = static_cast<std::uint16_t>((add_modifier & ~other.sub_modifier) | other.add_modifier);
        s.sub_modifier = static_cast<std::uint16_t>((sub_modifier & ~other.add_modifier) | other.sub_modifier);
        return s;
    }

    friend constexpr bool operator==(const Style&, const Style&) = default;
};

}  // namespace tarvo::core
