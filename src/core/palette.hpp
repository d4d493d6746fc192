// Colour mixing and conversion over single-precision channel fractions, and the designer
// palette of 22 families with eleven shades each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/color.hpp"

namespace tarvo::core {

struct UnitHsl {
    float h = 0.0f;  // degrees
    float s = 0.0f;
    float l = 0.0f;
};

// A colour function's answer: the colour, or the text of the ValueError to raise.
struct ColorResult {
    Color color{};
    std::string error;  // empty on success
    bool ok() const noexcept { return error.empty(); }
};

// The channel fractions of a colour: Rgb channels / 255, Indexed(i) as Rgb(0, 0, i), Reset and the
// named colours as neutral mid-grey (0.5, 0.5, 0.5).
UnitRgb color_to_unit_rgb(Color c) noexcept;

// Fractions to HSL (hue in degrees). With `wrap_hue` the hue is brought into (-180, 180];
// without it the hue stays as computed, in [-60, 360).
UnitHsl unit_rgb_to_hsl(UnitRgb c, bool wrap_hue) noexcept;

// Fraction to byte: scale by 255, round half away from zero, clamp to 0..255 (NaN gives 0).
std::uint8_t unit_to_byte(float v) noexcept;

// Linear RGB blend of two colours; t is clamped to [0, 1]. Always Rgb.
Color color_lerp(Color a, Color b, float t) noexcept;
// Blend in "rgb" or "hsl" (ASCII case ignored); HSL takes the shorter way round the hue wheel.
ColorResult interpolate_colors(Color a, Color b, float t, std::string_view space);
// Hue in (-180, 180] degrees, saturation and lightness in [0, 1].
UnitHsl color_to_hsl(Color c) noexcept;
// "rrggbb" or "rgb" after any number of leading "#".
ColorResult color_from_hex(std::string_view value);
// A palette colour by family name (ASCII case ignored) and shade; "black" and "white" take any shade.
ColorResult tailwind_color(std::string_view name, std::uint16_t shade);

}  // namespace tarvo::core
