#include "core/fx/color_math.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/fx/math.hpp"
#include "core/numeric.hpp"

namespace tarvo::core::fx {

namespace {

constexpr std::array<Rgb8, 17> kNamed{{
    {0, 0, 0},       {0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128}, {128, 128, 128}, {96, 96, 96}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},   {255, 0, 255}, {0, 255, 255},   {192, 192, 192},
}};

constexpr std::array<std::uint32_t, 16> kAnsi{0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD,
                                              0x00CDCD, 0xE5E5E5, 0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00,
                                              0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

constexpr float kL = 50.0f / 255.0f;
constexpr float kV = 100.0f / 255.0f;

// 1 / n for every channel difference or sum-distance that can occur (0 maps to 0, which the
// grey colours multiply by zero anyway). A table entry is the very float that 1.0f / n gives.
constexpr std::array<float, 256> kRecip = [] {
    std::array<float, 256> t{};
    for (int n = 1; n < 256; ++n) t[static_cast<std::size_t>(n)] = 1.0f / static_cast<float>(n);
    return t;
}();

// max(x, 0) where a NaN gives 0, and min(x, 255); written so that they become single
// instructions rather than branches on data that changes from cell to cell.
inline float max0(float x) noexcept {
#if defined(__SSE2__)
    return _mm_cvtss_f32(_mm_max_ss(_mm_set_ss(x), _mm_setzero_ps()));  // the second operand on NaN
#else
    return 0.0f < x ? x : 0.0f;
#endif
}
inline float min255(float x) noexcept {
#if defined(__SSE2__)
    return _mm_cvtss_f32(_mm_min_ss(_mm_set_ss(x), _mm_set_ss(255.0f)));
#else
    return x < 255.0f ? x : 255.0f;
#endif
}

// `x - d` when `cond`, else `x` (x - 0 is x bit for bit, negative zero included).
inline float sub_if(float x, bool cond, float d) noexcept { return x - (cond ? d : 0.0f); }

// A channel fraction to 0..255: sat_cast<uint8>(mround(v * 255)), bit for bit. mround goes through
// a saturating int32 cast and the uint8 cast saturates again, so the whole is "NaN gives 0,
// otherwise truncate the rounded value clamped to 0..255".
inline std::uint32_t channel(float v) noexcept {
    const float t = v * 255.0f;
    const float r = t + std::copysign(0.5f, t);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(min255(max0(r))));
}

// Colours travel between the steps below as one word, red in the low byte, then green and blue:
// assembling a three-byte struct byte by byte costs a failed store forwarding each time.
using Packed = std::uint32_t;

// Picks three bytes out of `packed` by the shifts of `sel` (red, green, blue, 8 bits apart).
inline Packed pick(std::uint32_t packed, std::uint32_t sel) noexcept {
    return ((packed >> (sel & 0xFFu)) & 0xFFu) | ((packed >> ((sel >> 8) & 0xFFu)) & 0xFFu) << 8 |
           ((packed >> (sel >> 16)) & 0xFFu) << 16;
}

inline Packed grey(std::uint32_t v) noexcept { return v * 0x010101u; }

inline Rgb8 unpack(Packed p) noexcept {
    return {static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p >> 16)};
}

inline Color rgb_color(Packed p) noexcept {
    static_assert(sizeof(Color) == 4);
    if constexpr (std::endian::native == std::endian::little) {
        return std::bit_cast<Color>(std::uint32_t{Color::Rgb} | p << 8);
    } else {
        const Rgb8 c = unpack(p);
        return Color::rgb(c.r, c.g, c.b);
    }
}
constexpr std::uint32_t shifts(std::uint32_t r, std::uint32_t g, std::uint32_t b) noexcept {
    return r * 8u | (g * 8u) << 8 | (b * 8u) << 16;
}

// fmod(fmod(h, 360) + 360, 360), bit for bit. Between -360 and 720 the inner remainder is h or
// h - 360 (exact: the operands are within a factor two of each other) and the outer one at most
// two exact subtractions; that spares the two library calls where hues actually fall.
inline float wrap_hue(float h) noexcept {
    if (h > -360.0f && h < 720.0f) [[likely]] {
        const float r = sub_if(h, h >= 360.0f, 360.0f);
        const float y = r + 360.0f;
        const float z = sub_if(y, y >= 360.0f, 360.0f);
        return sub_if(z, z >= 360.0f, 360.0f);
    }
    return std::fmod(std::fmod(h, 360.0f) + 360.0f, 360.0f);
}

// Hue, saturation and the third coordinate share the hue; `hsl` picks the lightness form.
template <bool Hsl>
inline Hsx rgb_to_hsx(Rgb8 c) noexcept {
    const int r = c.r, g = c.g, b = c.b;
    const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
    const int delta = mx - mn;
    // The grey colours (delta 0) come out as hue 0, saturation 0: the reciprocal table holds 0
    // there and the hue's offset is 0 when red is the largest channel.
    const float id = kRecip[static_cast<std::size_t>(delta)];
    // Red largest: (g - b) / delta, plus 6 when that is negative; green: (b - r) / delta + 2;
    // blue: (r - g) / delta + 4. Adding 0 leaves the first form unchanged: it is never -0.
    const bool rmax = r >= g && r >= b;
    const bool gmax = !rmax && g >= b;
    const int num = rmax ? g - b : (gmax ? b - r : r - g);
    const unsigned which = rmax ? (g < b ? 1u : 0u) : (gmax ? 2u : 3u);
    static constexpr float kOffset[4] = {0.0f, 6.0f, 2.0f, 4.0f};
    const float h = (static_cast<float>(num) * id + kOffset[which]) * 60.0f;
    if constexpr (Hsl) {
        const int sum = mx + mn;
        const int den = 255 - std::abs(sum - 255);
        const float s = static_cast<float>(delta) * 100.0f * kRecip[static_cast<std::size_t>(den)];
        return {h, s, static_cast<float>(sum) * kL};
    } else {
        const float s = static_cast<float>(delta) * 100.0f * kRecip[static_cast<std::size_t>(mx)];
        return {h, s, static_cast<float>(mx) * kV};
    }
}

// The hue sextant of a hue already wrapped into 0..360 (or NaN, which counts as 0), divided by 60.
inline std::uint32_t sextant(float hh) noexcept {
    // NaN to 0; the wrapped hue is at most 6.
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(max0(hh)));
}

// Channel orders by sextant, packed values (c+m, x+m, m) at bytes 0, 1, 2; 6 and 7 as 5.
constexpr std::array<std::uint32_t, 8> kHslOrder{shifts(0, 1, 2), shifts(1, 0, 2), shifts(2, 0, 1), shifts(2, 1, 0),
                                                 shifts(1, 2, 0), shifts(0, 2, 1), shifts(0, 2, 1), shifts(0, 2, 1)};
// Packed values (v, t, p, q) at bytes 0..3.
constexpr std::array<std::uint32_t, 8> kHsvOrder{shifts(0, 1, 2), shifts(3, 0, 2), shifts(2, 0, 1), shifts(2, 3, 0),
                                                 shifts(1, 2, 0), shifts(0, 2, 3), shifts(0, 2, 3), shifts(0, 2, 3)};

inline Packed hsl_to_rgb_impl(float h, float s, float l) noexcept {
    s /= 100.0f;
    l /= 100.0f;
    if (s == 0.0f) return grey(channel(l));
    const float hh = wrap_hue(h) / 60.0f;
    const float c = (1.0f - std::fabs(2.0f * l - 1.0f)) * s;
    const float m = l - c * 0.5f;
    const std::uint32_t k = sextant(hh);
    const float f = hh - static_cast<float>(k);
    const float h2 = static_cast<float>(k & 1u) + f;
    const float x = c * (1.0f - std::fabs(h2 - 1.0f));
    const std::uint32_t packed = channel(c + m) | channel(x + m) << 8 | channel(m) << 16;
    return pick(packed, kHslOrder[k & 7u]);
}

inline Packed hsv_to_rgb_impl(float h, float s, float v) noexcept {
    s /= 100.0f;
    v /= 100.0f;
    h = wrap_hue(h);
    if (s <= 0.0f) return grey(channel(v));
    const float hh = h / 60.0f;
    const std::uint32_t i = sextant(hh);  // the floor: hh is never negative here
    const float f = hh - static_cast<float>(i);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    const std::uint32_t packed = channel(v) | channel(t) << 8 | channel(p) << 16 | channel(q) << 24;
    return pick(packed, kHsvOrder[i & 7u]);
}

}  // namespace

Rgb8 to_rgb(Color c) noexcept {
    if (c.tag == Color::Rgb) return {c.r, c.g, c.b};
    if (c.tag <= Color::White) return kNamed[c.tag];
    if (c.tag != Color::Indexed) return {};
    const std::uint8_t i = c.index();
    if (i < 16) {
        const std::uint32_t v = kAnsi[i];
        return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
    }
    if (i < 232) {
        const int k = i - 16;
        auto level = [](int n) { return static_cast<std::uint8_t>(n == 0 ? 0 : 55 + 40 * n); };
        return {level(k / 36), level((k % 36) / 6), level(k % 6)};
    }
    const auto grey = static_cast<std::uint8_t>(8 + 10 * (i - 232));
    return {grey, grey, grey};
}

namespace {
// to_rgb with the common case inline.
inline Rgb8 rgb_of(Color c) noexcept { return c.tag == Color::Rgb ? Rgb8{c.r, c.g, c.b} : to_rgb(c); }
}  // namespace

Hsx rgb_to_hsl(Rgb8 c) noexcept { return rgb_to_hsx<true>(c); }
Rgb8 hsl_to_rgb(float h, float s, float l) noexcept { return unpack(hsl_to_rgb_impl(h, s, l)); }
Hsx rgb_to_hsv(Rgb8 c) noexcept { return rgb_to_hsx<false>(c); }
Rgb8 hsv_to_rgb(float h, float s, float v) noexcept { return unpack(hsv_to_rgb_impl(h, s, v)); }
Color hsl_to_color(float h, float s, float l) noexcept { return rgb_color(hsl_to_rgb_impl(h, s, l)); }
float wrap_degrees(float h) noexcept { return wrap_hue(h); }

BlendTarget::BlendTarget(Color c) noexcept
    : color(c), rgb(to_rgb(c)), hsl(rgb_to_hsl(rgb)), hsv(rgb_to_hsv(rgb)) {}

Color lerp(Color from, Color to, float a, ColorSpace space) noexcept {
    return lerp(from, BlendTarget(to), a, space);
}

namespace {

template <bool Hsl>
inline Color lerp_hsx(Rgb8 c1, const Hsx& q, float a) noexcept {
    const Hsx p = rgb_to_hsx<Hsl>(c1);
    // The hue takes the short way round. x - (-360) is x + 360 bit for bit.
    float dh = q.h - p.h;
    dh = dh - (dh > 180.0f ? 360.0f : (dh < -180.0f ? -360.0f : 0.0f));
    float h = p.h + dh * a;
    h = sub_if(h, h < 0.0f, -360.0f);
    h = sub_if(h, h >= 360.0f, 360.0f);
    const float s = p.s + (q.s - p.s) * a;
    const float x = p.x + (q.x - p.x) * a;
    return rgb_color(Hsl ? hsl_to_rgb_impl(h, s, x) : hsv_to_rgb_impl(h, s, x));
}

}  // namespace

Color lerp(Color from, const BlendTarget& to, float a, ColorSpace space) noexcept {
    a = clamp01(a);
    if (a == 0.0f) return from;
    if (a == 1.0f) return to.color;
    const Rgb8 c1 = rgb_of(from), c2 = to.rgb;
    switch (space) {
        case ColorSpace::Rgb: {
            const std::uint32_t w = sat_cast<std::uint32_t>(a * 65536.0f);
            auto mix = [w](std::uint8_t x, std::uint8_t y) {
                return ((std::uint32_t{x} * (65536u - w) + std::uint32_t{y} * w) >> 16) & 0xFFu;
            };
            return rgb_color(mix(c1.r, c2.r) | mix(c1.g, c2.g) << 8 | mix(c1.b, c2.b) << 16);
        }
        case ColorSpace::Hsl: return lerp_hsx<true>(c1, to.hsl, a);
        case ColorSpace::Hsv: return lerp_hsx<false>(c1, to.hsv, a);
    }
    return from;
}

Color lighten_rgb(Color col, float amount) noexcept {
    amount = clampf(amount, -1.0f, 1.0f);
    const Rgb8 c = rgb_of(col);
    if (amount >= 0.0f) {
        const std::uint32_t w = sat_cast<std::uint32_t>(amount * 256.0f);
        auto up = [w](std::uint8_t v) {
            return (v + (((255u - v) * w) >> 8)) & 0xFFu;
        };
        return rgb_color(up(c.r) | up(c.g) << 8 | up(c.b) << 16);
    }
    const std::uint32_t f = sat_cast<std::uint32_t>((1.0f + amount) * 256.0f);
    auto down = [f](std::uint8_t v) { return ((std::uint32_t{v} * f) >> 8) & 0xFFu; };
    return rgb_color(down(c.r) | down(c.g) << 8 | down(c.b) << 16);
}

Color saturate_rgb(Color col, float factor) noexcept {
    const Rgb8 c = rgb_of(col);
    const auto lum = static_cast<std::int32_t>((77u * c.r + 150u * c.g + 29u * c.b) >> 8);
    const std::int32_t f = sat_cast<std::int32_t>(factor * 256.0f);
    auto scale = [lum, f](std::uint8_t v) {
        const auto prod = static_cast<std::int32_t>(static_cast<std::uint32_t>(
            static_cast<std::int64_t>(static_cast<std::int32_t>(v) - lum) * f));
        const std::int32_t out = lum + (prod >> 8);
        return static_cast<std::uint32_t>(out < 0 ? 0 : (out > 255 ? 255 : out));
    };
    return rgb_color(scale(c.r) | scale(c.g) << 8 | scale(c.b) << 16);
}

}  // namespace tarvo::core::fx
