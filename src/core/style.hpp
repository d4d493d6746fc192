// Text attributes and styles, and the rule by which styles are layered.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

// "NONE" for the empty set, else the upper-case names of the set bits in bit order joined by
// " | ", with any unnamed bits last as one "0x..." item.
std::string modifier_repr(std::uint16_t bits);

struct Style {
    OptColor fg;
    OptColor bg;
    OptColor underline_color;
    std::uint16_t add_modifier = 0;
    std::uint16_t sub_modifier = 0;

    // Every colour Reset and every named attribute switched off.
    static constexpr Style reset() noexcept {
        Style s;
        s.fg = s.bg = s.underline_color = Color::named(Color::Reset);
        s.sub_modifier = modifier::ALL;
        return s;
    }

    // Copy that switches the attributes `m` on (and no longer off).
    constexpr Style with_added(std::uint16_t m) const noexcept {
        Style s = *this;
        s.add_modifier = static_cast<std::uint16_t>(add_modifier | m);
        s.sub_modifier = static_cast<std::uint16_t>(sub_modifier & ~m);
        return s;
    }

    // Copy that switches the attributes `m` off (and no longer on).
    constexpr Style with_removed(std::uint16_t m) const noexcept {
        Style s = *this;
        s.add_modifier = static_cast<std::uint16_t>(add_modifier & ~m);
        s.sub_modifier = static_cast<std::uint16_t>(sub_modifier | m);
        return s;
    }

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

// The builder-chain text: "Style::new()" followed by the calls that rebuild the style, e.g.
// "Style::new().red().on_blue().underline_color(Color::Rgb(1, 2, 3)).bold().not_dim()".
std::string style_repr(const Style& style);

}  // namespace tarvo::core
