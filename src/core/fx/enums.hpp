// The choices effects take: easing curves, directions of travel, glyph sets, expansion axes,
// repetition modes and blending colour spaces. Each enumerator's value is its discriminant in
// the Python classes of the same name.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace tarvo::core::fx {

enum class Interpolation : std::uint8_t {
    BackIn, BackOut, BackInOut, BounceIn, BounceOut, BounceInOut, CircIn, CircOut, CircInOut,
    CubicIn, CubicOut, CubicInOut, ElasticIn, ElasticOut, ElasticInOut, ExpoIn, ExpoOut,
    ExpoInOut, Linear, QuadIn, QuadOut, QuadInOut, QuartIn, QuartOut, QuartInOut, QuintIn,
    QuintOut, QuintInOut, Reverse, SmoothStep, Spring, SineIn, SineOut, SineInOut,
};
inline constexpr std::array<std::string_view, 34> kInterpolationNames{
    "BackIn",     "BackOut",    "BackInOut",  "BounceIn",     "BounceOut",  "BounceInOut",
    "CircIn",     "CircOut",    "CircInOut",  "CubicIn",      "CubicOut",   "CubicInOut",
    "ElasticIn",  "ElasticOut", "ElasticInOut", "ExpoIn",     "ExpoOut",    "ExpoInOut",
    "Linear",     "QuadIn",     "QuadOut",    "QuadInOut",    "QuartIn",    "QuartOut",
    "QuartInOut", "QuintIn",    "QuintOut",   "QuintInOut",   "Reverse",    "SmoothStep",
    "Spring",     "SineIn",     "SineOut",    "SineInOut"};

// The order of the Python class. (Effects that flip a motion use `opposite`.)
enum class Motion : std::uint8_t { UpToDown, DownToUp, LeftToRight, RightToLeft };
inline constexpr std::array<std::string_view, 4> kMotionNames{"UpToDown", "DownToUp", "LeftToRight",
                                                              "RightToLeft"};
constexpr Motion opposite(Motion m) noexcept {
    switch (m) {
        case Motion::UpToDown: return Motion::DownToUp;
        case Motion::DownToUp: return Motion::UpToDown;
        case Motion::LeftToRight: return Motion::RightToLeft;
        case Motion::RightToLeft: break;
    }
    return Motion::LeftToRight;
}
// RightToLeft and DownToUp run against the axis: effects built with them mirror their timer.
constexpr bool flips_timer(Motion m) noexcept {
    return m == Motion::RightToLeft || m == Motion::DownToUp;
}
constexpr bool is_horizontal(Motion m) noexcept {
    return m == Motion::LeftToRight || m == Motion::RightToLeft;
}

enum class EvolveSymbolSet : std::uint8_t {
    BlocksHorizontal, BlocksVertical, CircleFill, Circles, Quadrants, Shaded, Squares,
};
inline constexpr std::array<std::string_view, 7> kEvolveSymbolSetNames{
    "BlocksHorizontal", "BlocksVertical", "CircleFill", "Circles", "Quadrants", "Shaded", "Squares"};

enum class ExpandDirection : std::uint8_t { Horizontal, Vertical };
inline constexpr std::array<std::string_view, 2> kExpandDirectionNames{"Horizontal", "Vertical"};

enum class RepeatMode : std::uint8_t { Forever, Times, Duration };
inline constexpr std::array<std::string_view, 3> kRepeatModeNames{"Forever", "Times", "Duration"};

// The space in which colours are blended; effects that blend default to Hsl.
enum class ColorSpace : std::uint8_t { Rgb, Hsl, Hsv };
inline constexpr std::array<std::string_view, 3> kColorSpaceNames{"Rgb", "Hsl", "Hsv"};

}  // namespace tarvo::core::fx
