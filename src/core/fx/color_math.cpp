#include "core/fx/color_math.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

std::uint8_t channel(float v) noexcept { return sat_cast<std::uint8_t>(mround(v * 255.0f)); }

// Hue in degrees of a colour whose channels are not all equal.
float hue(Rgb8 c, std::uint8_t mx, std::uint8_t mn) noexcept {
    const float id = 1.0f / static_cast<float>(mx - mn);
    const float r = c.r, g = c.g, b = c.b;
    float sel;
    if (c.r >= c.g && c.r >= c.b) {
        sel = (g - b) * id;
        if (c.g < c.b) sel += 6.0f;
    } else if (c.g >= c.b) {
        sel = (b - r) * id + 2.0f;
    } else {
        sel = (r - g) * id + 4.0f;
    }
    return sel * 60.0f;
}

// fmod(fmod(h, 360) + 360, 360), bit for bit. For h in [0, 360) the inner remainder is h itself
// and the outer one a single exact subtraction, which spares the two library calls.
float wrap_hue(float h) noexcept {
    if (h >= 0.0f && h < 360.0f) {
        const float r = (h + 360.0f) - 360.0f;
        return r >= 360.0f ? r - 360.0f : r;
    }
    return std::fmod(std::fmod(h, 360.0f) + 360.0f, 360.0f);
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

Hsx rgb_to_hsl(Rgb8 c) noexcept {
    const std::uint8_t mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
    const int delta = mx - mn, sum = mx + mn;
    if (delta == 0) return {0.0f, 0.0f, static_cast<float>(sum) * kL};
    const float l = static_cast<float>(sum) * kL;
    const int den = 255 - std::abs(sum - 255);
    const float s = static_cast<float>(delta) * 100.0f * (1.0f / static_cast<float>(den));
    return {hue(c, mx, mn), s, l};
}

Rgb8 hsl_to_rgb(float h, float s, float l) noexcept {
    s /= 100.0f;
    l /= 100.0f;
    if (s == 0.0f) {
        const std::uint8_t v = channel(l);
        return {v, v, v};
    }
    const float hh = wrap_hue(h) / 60.0f;
    const float c = (1.0f - std::fabs(2.0f * l - 1.0f)) * s;
    const float m = l - c * 0.5f;
    const std::uint32_t k = sat_cast<std::uint32_t>(hh);
    const float f = hh - static_cast<float>(k);
    const float h2 = static_cast<float>(k & 1u) + f;
    const float x = c * (1.0f - std::fabs(h2 - 1.0f));
    switch (k) {
        case 0: return {channel(c + m), channel(x + m), channel(m)};
        case 1: return {channel(x + m), channel(c + m), channel(m)};
        case 2: return {channel(m), channel(c + m), channel(x + m)};
        case 3: return {channel(m), channel(x + m), channel(c + m)};
        case 4: return {channel(x + m), channel(m), channel(c + m)};
        default: return {channel(c + m), channel(m), channel(x + m)};
    }
}

Hsx rgb_to_hsv(Rgb8 c) noexcept {
    const std::uint8_t mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
    const int delta = mx - mn;
    if (delta == 0) return {0.0f, 0.0f, static_cast<float>(mx) * kV};
    const float v = static_cast<float>(mx) * kV;
    const float s = static_cast<float>(delta) * 100.0f * (1.0f / static_cast<float>(mx));
    return {hue(c, mx, mn), s, v};
}

Rgb8 hsv_to_rgb(float h, float s, float v) noexcept {
    s /= 100.0f;
    v /= 100.0f;
    h = wrap_hue(h);
    if (s <= 0.0f) {
        const std::uint8_t g = channel(v);
        return {g, g, g};
    }
    const float hh = h / 60.0f;
    const std::int32_t i = sat_cast<std::int32_t>(mfloor(hh));
    const float f = hh - static_cast<float>(i);
    const float p = v * (1.0f - s);
    const float q = v * (1.0f - s * f);
    const float t = v * (1.0f - s * (1.0f - f));
    switch (i) {
        case 0: return {channel(v), channel(t), channel(p)};
        case 1: return {channel(q), channel(v), channel(p)};
        case 2: return {channel(p), channel(v), channel(t)};
        case 3: return {channel(p), channel(q), channel(v)};
        case 4: return {channel(t), channel(p), channel(v)};
        default: return {channel(v), channel(p), channel(q)};
    }
}

BlendTarget::BlendTarget(Color c) noexcept
    : color(c), rgb(to_rgb(c)), hsl(rgb_to_hsl(rgb)), hsv(rgb_to_hsv(rgb)) {}

Color lerp(Color from, Color to, float a, ColorSpace space) noexcept {
    return lerp(from, BlendTarget(to), a, space);
}

Color lerp(Color from, const BlendTarget& to, float a, ColorSpace space) noexcept {
    a = clamp01(a);
    if (a == 0.0f) return from;
    if (a == 1.0f) return to.color;
    const Rgb8 c1 = to_rgb(from), c2 = to.rgb;
    switch (space) {
        case ColorSpace::Rgb: {
            const std::uint32_t w = sat_cast<std::uint32_t>(a * 65536.0f);
            auto mix = [w](std::uint8_t x, std::uint8_t y) {
                return static_cast<std::uint8_t>((std::uint32_t{x} * (65536u - w) + std::uint32_t{y} * w) >> 16);
            };
            return Color::rgb(mix(c1.r, c2.r), mix(c1.g, c2.g), mix(c1.b, c2.b));
        }
        case ColorSpace::Hsl:
        case ColorSpace::Hsv: {
            const bool hsl = space == ColorSpace::Hsl;
            const Hsx p = hsl ? rgb_to_hsl(c1) : rgb_to_hsv(c1);
            const Hsx& q = hsl ? to.hsl : to.hsv;
            float dh = q.h - p.h;
            if (dh > 180.0f) dh -= 360.0f;
            else if (dh < -180.0f) dh += 360.0f;
            float h = p.h + dh * a;
            if (h < 0.0f) h += 360.0f;
            if (h >= 360.0f) h -= 360.0f;
            const float s = p.s + (q.s - p.s) * a;
            const float x = p.x + (q.x - p.x) * a;
            const Rgb8 c = hsl ? hsl_to_rgb(h, s, x) : hsv_to_rgb(h, s, x);
            return Color::rgb(c.r, c.g, c.b);
        }
    }
    return from;
}

Color lighten_rgb(Color col, float amount) noexcept {
    amount = clampf(amount, -1.0f, 1.0f);
    const Rgb8 c = to_rgb(col);
    if (amount >= 0.0f) {
        const std::uint32_t w = sat_cast<std::uint32_t>(amount * 256.0f);
        auto up = [w](std::uint8_t v) {
            return static_cast<std::uint8_t>(v + (((255u - v) * w) >> 8));
        };
        return Color::rgb(up(c.r), up(c.g), up(c.b));
    }
    const std::uint32_t f = sat_cast<std::uint32_t>((1.0f + amount) * 256.0f);
    auto down = [f](std::uint8_t v) { return static_cast<std::uint8_t>((std::uint32_t{v} * f) >> 8); };
    return Color::rgb(down(c.r), down(c.g), down(c.b));
}

Color saturate_rgb(Color col, float factor) noexcept {
    const Rgb8 c = to_rgb(col);
    const auto lum = static_cast<std::int32_t>((77u * c.r + 150u * c.g + 29u * c.b) >> 8);
    const std::int32_t f = sat_cast<std::int32_t>(factor * 256.0f);
    auto scale = [lum, f](std::uint8_t v) {
        const auto prod = static_cast<std::int32_t>(static_cast<std::uint32_t>(
            static_cast<std::int64_t>(static_cast<std::int32_t>(v) - lum) * f));
        const std::int32_t out = lum + (prod >> 8);
        return static_cast<std::uint8_t>(out < 0 ? 0 : (out > 255 ? 255 : out));
    };
    return Color::rgb(scale(c.r), scale(c.g), scale(c.b));
}

}  // namespace tarvo::core::fx
