// Terminal colours: Reset, sixteen named colours, 24-bit RGB and the 256-entry palette.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

}  // namespace tarvo::core
