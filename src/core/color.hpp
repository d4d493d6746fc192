// Terminal colours: Reset, sixteen named colours, 24-bit RGB and the 256-entry palette.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/numeric.hpp"

namespace tarvo::core {

struct Color {
    enum Tag : std::uint8_t {
        Reset = 0, Black, Red, Green, Yellow, Blue, Magenta, Cyan, Gray, DarkGray, LightRed,
        LightGreen, LightYellow, LightBlue, LightMagenta, LightCyan, White,
        Rgb = 17, Indexed = 18,
    };

    std::uint8_t tag = Reset;
    std::uint8_t r = 0;  // Rgb: red; Indexed: the palette index
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    static constexpr Color named(Tag t) noexcept { return Color{t, 0, 0, 0}; }
    static constexpr Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
        return Color{Rgb, r, g, b};
    }
    static constexpr Color indexed(std::uint8_t i) noexcept { return Color{Indexed, i, 0, 0}; }

    constexpr bool is_named() const noexcept { return tag >= Black && tag <= White; }
    constexpr std::uint8_t index() const noexcept { return r; }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

using OptColor = std::optional<Color>;

// Value equality: same variant and, for Rgb and Indexed, the same payload. Payload bytes of the
// other variants are never looked at.
constexpr bool color_equal(Color a, Color b) noexcept {
    if (a.tag != b.tag) return false;
    if (a.tag == Color::Rgb) return a.r == b.r && a.g == b.g && a.b == b.b;
    if (a.tag == Color::Indexed) return a.r == b.r;
    return true;
}

// The low 24 bits as Rgb(red, green, blue); the top byte is ignored.
constexpr Color color_from_u32(std::uint32_t v) noexcept {
    return Color::rgb(static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
                      static_cast<std::uint8_t>(v));
}

// Rgb packs as 0xRRGGBB, Indexed as its index, Reset and the named colours as 0.
constexpr std::uint32_t color_to_u32(Color c) noexcept {
    if (c.tag == Color::Rgb) return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
    if (c.tag == Color::Indexed) return c.r;
    return 0;
}

// The value of a base-16 digit of either case; -1 for any other character.
constexpr int hex_digit(char ch) noexcept {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    return -1;
}

// "Reset", "Black", ..., "White" for tags 0..16; empty for Rgb and Indexed.
std::string_view color_variant_name(Color c) noexcept;
// "black", "dark_gray", ... for the named colours (tags 1..16); empty otherwise.
std::string_view color_snake_name(Color c) noexcept;

// The debug text: "Red", "Rgb(1, 2, 3)", "Indexed(7)".
std::string color_repr(Color c);
// Hash of the debug text (h = h * 31 + byte, wrapping), as a signed value that is never -1.
std::int64_t color_hash(Color c);

// Colour from text: a colour name (case, blanks, hyphens and underscores ignored; "bright",
// "grey", "silver" aliases), a palette index 0..255, or "#rrggbb". Nothing when none applies.
std::optional<Color> parse_color(std::string_view text);

// Three colour channels as single-precision fractions.
struct UnitRgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

// The HSL-to-RGB core shared by every HSL conversion: chroma, the hue sector (the hue wraps into
// [0, 360)), the lightness offset; each channel ends clamped to [0, 1] (NaN stays NaN). s and l
// are used as given.
UnitRgb hsl_to_unit_rgb(float h, float s, float l) noexcept;

// Rgb from hue (degrees, wraps), saturation and lightness (fractions, clamped), computed in
// single precision; channels round to nearest with ties to even.
Color color_from_hsl(float h, float s, float l) noexcept;

}  // namespace tarvo::core
