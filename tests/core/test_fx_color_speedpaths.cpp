// The effects' colour arithmetic against a plain reference kept here: the conversions, the hue
// wrap, blending in every colour space, lightening and saturation, and the colour effects over a
// screen where every cell has its own colour. The fast paths must give the same bits, not
// merely close colours: an animation frame must come out the same however it was computed.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/buffer.hpp"
#include "core/fx/color_math.hpp"
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/math.hpp"
#include "core/fx/pattern.hpp"
#include "core/fx/rng.hpp"
#include "core/fx/timer.hpp"
#include "core/numeric.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;

namespace {

// ---- the reference: every rule written out the straightforward way ----
namespace ref {

std::uint8_t channel(float v) { return sat_cast<std::uint8_t>(mround(v * 255.0f)); }

float wrap(float h) { return std::fmod(std::fmod(h, 360.0f) + 360.0f, 360.0f); }

float hue(Rgb8 c, std::uint8_t mx, std::uint8_t mn) {
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

Hsx to_hsl(Rgb8 c) {
    const std::uint8_t mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
    const int delta = mx - mn, sum = mx + mn;
    if (delta == 0) return {0.0f, 0.0f, static_cast<float>(sum) * (50.0f / 255.0f)};
    const int den = 255 - std::abs(sum - 255);
    const float s = static_cast<float>(delta) * 100.0f * (1.0f / static_cast<float>(den));
    return {hue(c, mx, mn), s, static_cast<float>(sum) * (50.0f / 255.0f)};
}

Hsx to_hsv(Rgb8 c) {
    const std::uint8_t mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b});
    const int delta = mx - mn;
    if (delta == 0) return {0.0f, 0.0f, static_cast<float>(mx) * (100.0f / 255.0f)};
    const float s = static_cast<float>(delta) * 100.0f * (1.0f / static_cast<float>(mx));
    return {hue(c, mx, mn), s, static_cast<float>(mx) * (100.0f / 255.0f)};
}

Rgb8 from_hsl(float h, float s, float l) {
    s /= 100.0f;
    l /= 100.0f;
    if (s == 0.0f) {
        const std::uint8_t v = channel(l);
        return {v, v, v};
    }
    const float hh = wrap(h) / 60.0f;
    const float c = (1.0f - std::fabs(2.0f * l - 1.0f)) * s;
    const float m = l - c * 0.5f;
    const std::uint32_t k = sat_cast<std::uint32_t>(hh);
    const float f = hh - static_cast<float>(k);
    const float x = c * (1.0f - std::fabs(static_cast<float>(k & 1u) + f - 1.0f));
    switch (k) {
        case 0: return {channel(c + m), channel(x + m), channel(m)};
        case 1: return {channel(x + m), channel(c + m), channel(m)};
        case 2: return {channel(m), channel(c + m), channel(x + m)};
        case 3: return {channel(m), channel(x + m), channel(c + m)};
        case 4: return {channel(x + m), channel(m), channel(c + m)};
        default: return {channel(c + m), channel(m), channel(x + m)};
    }
}

Rgb8 from_hsv(float h, float s, float v) {
    s /= 100.0f;
    v /= 100.0f;
    h = wrap(h);
    if (s <= 0.0f) {
        const std::uint8_t g = channel(v);
        return {g, g, g};
    }
    const float hh = h / 60.0f;
    const std::int32_t i = sat_cast<std::int32_t>(mfloor(hh));
    const float f = hh - static_cast<float>(i);
    const float p = v * (1.0f - s), q = v * (1.0f - s * f), t = v * (1.0f - s * (1.0f - f));
    switch (i) {
        case 0: return {channel(v), channel(t), channel(p)};
        case 1: return {channel(q), channel(v), channel(p)};
        case 2: return {channel(p), channel(v), channel(t)};
        case 3: return {channel(p), channel(q), channel(v)};
        case 4: return {channel(t), channel(p), channel(v)};
        default: return {channel(v), channel(p), channel(q)};
    }
}

Color lerp(Color from, Color to, float a, ColorSpace space) {
    a = clamp01(a);
    if (a == 0.0f) return from;
    if (a == 1.0f) return to;
    const Rgb8 c1 = to_rgb(from), c2 = to_rgb(to);
    if (space == ColorSpace::Rgb) {
        const std::uint32_t w = sat_cast<std::uint32_t>(a * 65536.0f);
        auto mix = [w](std::uint8_t x, std::uint8_t y) {
            return static_cast<std::uint8_t>((std::uint32_t{x} * (65536u - w) + std::uint32_t{y} * w) >> 16);
        };
        return Color::rgb(mix(c1.r, c2.r), mix(c1.g, c2.g), mix(c1.b, c2.b));
    }
    const bool hsl = space == ColorSpace::Hsl;
    const Hsx p = hsl ? to_hsl(c1) : to_hsv(c1);
    const Hsx q = hsl ? to_hsl(c2) : to_hsv(c2);
    float dh = q.h - p.h;
    if (dh > 180.0f) dh -= 360.0f;
    else if (dh < -180.0f) dh += 360.0f;
    float h = p.h + dh * a;
    if (h < 0.0f) h += 360.0f;
    if (h >= 360.0f) h -= 360.0f;
    const float s = p.s + (q.s - p.s) * a;
    const float x = p.x + (q.x - p.x) * a;
    const Rgb8 c = hsl ? from_hsl(h, s, x) : from_hsv(h, s, x);
    return Color::rgb(c.r, c.g, c.b);
}

Color lighten(Color col, float amount) {
    amount = clampf(amount, -1.0f, 1.0f);
    const Rgb8 c = to_rgb(col);
    if (amount >= 0.0f) {
        const std::uint32_t w = sat_cast<std::uint32_t>(amount * 256.0f);
        auto up = [w](std::uint8_t v) { return static_cast<std::uint8_t>(v + (((255u - v) * w) >> 8)); };
        return Color::rgb(up(c.r), up(c.g), up(c.b));
    }
    const std::uint32_t f = sat_cast<std::uint32_t>((1.0f + amount) * 256.0f);
    auto down = [f](std::uint8_t v) { return static_cast<std::uint8_t>((std::uint32_t{v} * f) >> 8); };
    return Color::rgb(down(c.r), down(c.g), down(c.b));
}

Color saturate(Color col, float factor) {
    const Rgb8 c = to_rgb(col);
    const std::int64_t lum = (77 * c.r + 150 * c.g + 29 * c.b) >> 8;
    const std::int32_t f = sat_cast<std::int32_t>(factor * 256.0f);
    auto scale = [lum, f](std::uint8_t v) {
        // The product wraps to 32 bits before the arithmetic shift.
        const auto prod = static_cast<std::int32_t>(static_cast<std::uint32_t>((v - lum) * f));
        const std::int64_t out = lum + (prod >> 8);
        return static_cast<std::uint8_t>(std::clamp<std::int64_t>(out, 0, 255));
    };
    return Color::rgb(scale(c.r), scale(c.g), scale(c.b));
}

Color shift(Color c, const HslShift& d, float a) {
    const Hsx v = to_hsl(to_rgb(c));
    const float h = wrap(v.h + d[0] * a);
    const Rgb8 out = from_hsl(h, clampf(v.s + d[1] * a, 0.0f, 100.0f), clampf(v.x + d[2] * a, 0.0f, 100.0f));
    return Color::rgb(out.r, out.g, out.b);
}

}  // namespace ref

std::uint32_t bits(float f) { return std::bit_cast<std::uint32_t>(f); }
float from_bits(std::uint32_t u) { return std::bit_cast<float>(u); }

Rgb8 rgb8(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

std::string show(Color c) {
    return std::to_string(int{c.tag}) + ":" + std::to_string(c.r) + "," + std::to_string(c.g) + "," +
           std::to_string(c.b);
}

bool same(const Hsx& a, const Hsx& b) { return bits(a.h) == bits(b.h) && bits(a.s) == bits(b.s) && bits(a.x) == bits(b.x); }

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Alphas at and around the ends, the smallest steps, and outside 0..1.
const std::vector<float> kAlphas = {0.0f,       -0.0f,       std::numeric_limits<float>::denorm_min(),
                                    1e-30f,     1e-7f,       0.00392157f, 0.1f,  0.25f, 1.0f / 3.0f,
                                    0.5f,       0.7071f,     0.99f,       std::nextafter(1.0f, 0.0f),
                                    1.0f,       -0.5f,       1.5f,        kInf,  -kInf, kNaN};

const std::vector<Color> kTargets = {
    Color::named(Color::Blue), Color::rgb(10, 20, 30),  Color::rgb(255, 255, 255), Color::rgb(0, 0, 0),
    Color::rgb(255, 0, 128),   Color::indexed(202),     Color::named(Color::Reset), Color::rgb(128, 128, 127),
};

// Every hue in degrees the effects can meet and beyond: the whole range -360..720 strided, the
// neighbourhoods of its edges and of 0 and 360 ulp by ulp, and the specials.
std::vector<float> hue_samples(std::uint32_t stride) {
    std::vector<float> out;
    for (float edge : {-360.0f, -0.0f, 0.0f, 360.0f, 720.0f, 180.0f, 60.0f, 300.0f}) {
        float lo = edge, hi = edge;
        for (int i = 0; i < 2000; ++i) {
            out.push_back(lo);
            out.push_back(hi);
            lo = std::nextafter(lo, -kInf);
            hi = std::nextafter(hi, kInf);
        }
    }
    // Positive floats up to 720 and negative down to -360, every stride-th bit pattern.
    for (std::uint32_t u = 0; u <= bits(720.0f); u += stride) out.push_back(from_bits(u));
    for (std::uint32_t u = 0; u <= bits(360.0f); u += stride) out.push_back(-from_bits(u));
    for (float f : {1e30f, -1e30f, 1e9f, -1e9f, 1080.0f, -720.0f, -1080.0f, kInf, -kInf, kNaN,
                    std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min()})
        out.push_back(f);
    return out;
}

}  // namespace

TEST(FxColorSpeedpaths, HueWrapMatchesTheRemainderFormulaBitForBit) {
    std::size_t checked = 0;
    for (float h : hue_samples(97)) {
        const float want = ref::wrap(h), got = wrap_degrees(h);
        if (std::isnan(want)) {
            ASSERT_TRUE(std::isnan(got)) << h;
        } else {
            ASSERT_EQ(bits(got), bits(want)) << "h=" << h;
        }
        ++checked;
    }
    EXPECT_GT(checked, 10'000'000u);
}

TEST(FxColorSpeedpaths, RgbToHslAndHsvOverTheWholeCube) {
    for (std::uint32_t v = 0; v < (1u << 24); ++v) {
        const Rgb8 c = rgb8(v);
        const Hsx a = rgb_to_hsl(c), b = ref::to_hsl(c);
        ASSERT_TRUE(same(a, b)) << v;
        const Hsx p = rgb_to_hsv(c), q = ref::to_hsv(c);
        ASSERT_TRUE(same(p, q)) << v;
    }
}

TEST(FxColorSpeedpaths, HslAndHsvToRgbMatchOnHuesSaturationsAndLevels) {
    // Each hue sample with a rotating choice of saturation and level, specials included.
    const std::vector<float> sats = {0.0f, -0.0f, 1e-6f, 0.5f, 12.5f, 50.0f, 99.9f, 100.0f, 150.0f, -20.0f, kInf, kNaN};
    const std::vector<float> levels = {0.0f, 0.2f, 10.0f, 33.3f, 50.0f, 66.7f, 99.99f, 100.0f, 120.0f, -5.0f, kInf, kNaN};
    std::size_t i = 0;
    for (float h : hue_samples(1999)) {
        const float s = sats[i % sats.size()], l = levels[(i / sats.size()) % levels.size()];
        ++i;
        ASSERT_EQ(hsl_to_rgb(h, s, l), ref::from_hsl(h, s, l)) << h << " " << s << " " << l;
        ASSERT_EQ(hsv_to_rgb(h, s, l), ref::from_hsv(h, s, l)) << h << " " << s << " " << l;
    }
    // Random triples over the ranges the effects produce.
    Rng rng(12345);
    for (int n = 0; n < 2'000'000; ++n) {
        const float h = rng.next_f32() * 1080.0f - 360.0f, s = rng.next_f32() * 110.0f - 5.0f,
                    l = rng.next_f32() * 110.0f - 5.0f;
        ASSERT_EQ(hsl_to_rgb(h, s, l), ref::from_hsl(h, s, l)) << h << " " << s << " " << l;
        ASSERT_EQ(hsv_to_rgb(h, s, l), ref::from_hsv(h, s, l)) << h << " " << s << " " << l;
    }
}

TEST(FxColorSpeedpaths, BlendsMatchInEveryColourSpace) {
    std::vector<Color> kSample;
    for (int r = 0; r < 256; r += 11)
        for (int g = 0; g < 256; g += 11)
            for (int b = 0; b < 256; b += 11)
                kSample.push_back(Color::rgb(static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)));
    for (int t = 0; t <= Color::White; ++t) kSample.push_back(Color::named(static_cast<Color::Tag>(t)));
    for (int i = 0; i < 256; ++i) kSample.push_back(Color::indexed(static_cast<std::uint8_t>(i)));
    kSample.push_back(Color::rgb(1, 2, 3));
    kSample.push_back(Color::rgb(250, 2, 3));
    for (int i = 0; i < 64; ++i) {  // named and Rgb colours interleaved
        kSample.push_back(Color::named(static_cast<Color::Tag>(i % 17)));
        kSample.push_back(Color::rgb(static_cast<std::uint8_t>(i * 4), 200, static_cast<std::uint8_t>(255 - i)));
    }
    ASSERT_EQ(kSample.size() % 4, 3u);
    for (ColorSpace space : {ColorSpace::Rgb, ColorSpace::Hsl, ColorSpace::Hsv}) {
        for (Color to : kTargets) {
            const BlendTarget target(to);
            for (float a : kAlphas) {
                std::vector<Color> many(kSample.size()), four(kSample.size());
                // An odd count leaves a tail shorter than a run.
                lerp_many(kSample.data(), many.data(), kSample.size(), target, a, space);
                lerp_many(kSample.data(), four.data(), kSample.size(), target, a, space, false);
                // One by one and all at once: the cube every 11th level in each channel, then every
                // named and indexed colour (so that runs of four mix the kinds).
                for (std::size_t i = 0; i < kSample.size(); ++i) {
                    const Color from = kSample[i];
                    const Color want = ref::lerp(from, to, a, space);
                    ASSERT_EQ(lerp(from, target, a, space), want)
                        << show(from) << " -> " << show(to) << " a=" << a << " space=" << int(space);
                    ASSERT_EQ(many[i], want)
                        << "many: " << show(from) << " -> " << show(to) << " a=" << a << " space=" << int(space);
                    ASSERT_EQ(four[i], want)
                        << "four: " << show(from) << " -> " << show(to) << " a=" << a << " space=" << int(space);
                }
            }
        }
    }
    // Random colours, targets and alphas in 0..1.
    Rng rng(99);
    for (int n = 0; n < 2000; ++n) {
        std::vector<Color> from(257), got(257);
        for (Color& c : from) c = rng.next() % 8 == 0 ? Color::indexed(static_cast<std::uint8_t>(rng.next())) : color_from_u32(rng.next());
        const Color to = color_from_u32(rng.next());
        const float a = rng.next_f32();
        const BlendTarget target(to);
        for (ColorSpace space : {ColorSpace::Hsl, ColorSpace::Hsv}) {
            for (bool wide : {true, false}) {
                lerp_many(from.data(), got.data(), from.size(), target, a, space, wide);
                for (std::size_t i = 0; i < from.size(); ++i)
                    ASSERT_EQ(got[i], ref::lerp(from[i], to, a, space)) << show(from[i]) << " " << show(to) << " " << a;
            }
        }
    }
    for (int n = 0; n < 1'000'000; ++n) {
        const Color from = color_from_u32(rng.next()), to = color_from_u32(rng.next());
        const float a = rng.next_f32();
        const BlendTarget target(to);
        for (ColorSpace space : {ColorSpace::Rgb, ColorSpace::Hsl, ColorSpace::Hsv})
            ASSERT_EQ(lerp(from, target, a, space), ref::lerp(from, to, a, space)) << show(from) << " " << show(to) << " " << a;
    }
}

TEST(FxColorSpeedpaths, HslShiftsMatchOneByOneAndManyAtATime) {
    const std::vector<HslShift> shifts = {{120, 10, -10}, {-40, 0, 5}, {0, 0, 0}, {359.9f, -100, 100}, {-720, 50, -50},
                                          {1e6f, 1, 1}, {kNaN, 0, 0}, {0, kNaN, 0}, {0, 0, kNaN}, {-0.001f, 200, -200}};
    const std::vector<float> alphas = {0.0f, 1e-7f, 0.25f, 0.5f, 0.999f, 1.0f, -1.0f, 2.5f};
    std::vector<Color> sample;
    for (std::uint32_t v = 0; v < (1u << 24); v += 4099) sample.push_back(color_from_u32(v));
    for (int t = 0; t <= Color::White; ++t) sample.push_back(Color::named(static_cast<Color::Tag>(t)));
    for (int i = 0; i < 256; i += 3) sample.push_back(Color::indexed(static_cast<std::uint8_t>(i)));
    for (const HslShift& d : shifts)
        for (float a : alphas) {
            std::vector<Color> wide(sample.size()), four(sample.size());
            hsl_shift_many(sample.data(), wide.data(), sample.size(), d, a);
            hsl_shift_many(sample.data(), four.data(), sample.size(), d, a, false);
            for (std::size_t i = 0; i < sample.size(); ++i) {
                const Color want = ref::shift(sample[i], d, a);
                ASSERT_EQ(hsl_shift_color(sample[i], d, a), want) << show(sample[i]) << " a=" << a << " d0=" << d[0];
                ASSERT_EQ(wide[i], want) << "wide " << show(sample[i]) << " a=" << a << " d0=" << d[0];
                ASSERT_EQ(four[i], want) << "four " << show(sample[i]) << " a=" << a << " d0=" << d[0];
            }
        }
}

TEST(FxColorSpeedpaths, LightenAndSaturateMatchOverTheCube) {
    const std::vector<float> amounts = {0.0f, -0.0f, 1e-7f, 0.004f, 0.25f, 0.4f, 0.999f, 1.0f, 3.0f, -0.3f, -1.0f, -7.0f, kNaN};
    const std::vector<float> factors = {0.0f, 0.5f, 1.0f, 1.5f, 2.0f, -1.0f, 1e6f, -1e6f, 1e10f, kNaN, kInf};
    for (std::uint32_t v = 0; v < (1u << 24); v += 13) {
        const Color c = color_from_u32(v);
        for (float amount : amounts) ASSERT_EQ(lighten_rgb(c, amount), ref::lighten(c, amount)) << v << " " << amount;
        for (float f : factors) ASSERT_EQ(saturate_rgb(c, f), ref::saturate(c, f)) << v << " " << f;
    }
}

namespace {

// A screen where no two cells share a foreground, nor two a background.
Buffer rainbow() {
    Buffer b = Buffer::empty(Rect{0, 0, 120, 40});
    for (std::uint16_t y = 0; y < 40; ++y)
        for (std::uint16_t x = 0; x < 120; ++x) {
            Cell& c = *b.cell_at(x, y);
            c.fg = Color::rgb(static_cast<std::uint8_t>(x * 2), static_cast<std::uint8_t>(y * 6), static_cast<std::uint8_t>(x + y));
            c.bg = Color::rgb(static_cast<std::uint8_t>(y * 5), static_cast<std::uint8_t>(255 - x), static_cast<std::uint8_t>(x * 3 + y));
            if ((x + y) % 17 == 0) c.fg = Color::named(Color::Reset);
            if ((x * y) % 23 == 1) c.bg = Color::indexed(static_cast<std::uint8_t>(x + y));
        }
    return b;
}

// The alpha a fresh timer shows after `ms`.
float alpha_after(EffectTimer t, std::uint32_t ms) {
    t.process(ms);
    return t.alpha();
}

struct ShiftCase {
    const char* name;
    Effect (*make)(EffectTimer);
    Color (*fg)(Color, float);
    Color (*bg)(Color, float);
};

const Color kFadeFg = Color::named(Color::Blue), kFadeBg = Color::rgb(10, 20, 30);
const HslShift kShiftFg{120, 10, -10}, kShiftBg{-40, 0, 5};

}  // namespace

TEST(FxColorSpeedpaths, ColourEffectsOnAScreenOfDistinctColours) {
    const ShiftCase cases[] = {
        {"fade_to hsl", [](EffectTimer t) { return fade_to(kFadeFg, kFadeBg, t); },
         [](Color c, float a) { return ref::lerp(fg_or_white(c), kFadeFg, a, ColorSpace::Hsl); },
         [](Color c, float a) { return ref::lerp(bg_or_black(c), kFadeBg, a, ColorSpace::Hsl); }},
        {"fade_to hsv",
         [](EffectTimer t) {
             Effect e = fade_to(kFadeFg, kFadeBg, t);
             e.set_color_space(ColorSpace::Hsv);
             return e;
         },
         [](Color c, float a) { return ref::lerp(fg_or_white(c), kFadeFg, a, ColorSpace::Hsv); },
         [](Color c, float a) { return ref::lerp(bg_or_black(c), kFadeBg, a, ColorSpace::Hsv); }},
        {"fade_to rgb",
         [](EffectTimer t) {
             Effect e = fade_to(kFadeFg, kFadeBg, t);
             e.set_color_space(ColorSpace::Rgb);
             return e;
         },
         [](Color c, float a) { return ref::lerp(fg_or_white(c), kFadeFg, a, ColorSpace::Rgb); },
         [](Color c, float a) { return ref::lerp(bg_or_black(c), kFadeBg, a, ColorSpace::Rgb); }},
        {"lighten", [](EffectTimer t) { return lighten(0.4f, 0.7f, t); },
         [](Color c, float a) { return ref::lighten(fg_or_white(c), 0.4f * a); },
         [](Color c, float a) { return ref::lighten(bg_or_black(c), 0.7f * a); }},
        {"darken", [](EffectTimer t) { return darken(0.4f, 0.7f, t); },
         [](Color c, float a) { return ref::lighten(fg_or_white(c), -0.4f * a); },
         [](Color c, float a) { return ref::lighten(bg_or_black(c), -0.7f * a); }},
        {"saturate", [](EffectTimer t) { return saturate(1.5f, -0.5f, t); },
         [](Color c, float a) { return ref::saturate(fg_or_white(c), 1.0f + 1.5f * a); },
         [](Color c, float a) { return ref::saturate(bg_or_black(c), 1.0f + -0.5f * a); }},
        {"hsl_shift", [](EffectTimer t) { return hsl_shift(kShiftFg, kShiftBg, t); },
         [](Color c, float a) { return ref::shift(fg_or_white(c), kShiftFg, a); },
         [](Color c, float a) { return ref::shift(bg_or_black(c), kShiftBg, a); }},
    };
    const Buffer start = rainbow();
    for (const ShiftCase& k : cases) {
        for (Interpolation curve : {Interpolation::Linear, Interpolation::QuadInOut, Interpolation::SineInOut}) {
            for (std::uint32_t ms : {0u, 1u, 333u, 500u, 999u, 1000u}) {
                const EffectTimer timer = EffectTimer::from_ms(1000, curve);
                const float a = alpha_after(timer, ms);
                Buffer b = start;
                Effect e = k.make(timer);
                e.process(ms, b, b.area);
                for (std::size_t i = 0; i < b.content.size(); ++i) {
                    const Cell &got = b.content[i], &was = start.content[i];
                    ASSERT_EQ(got.fg, k.fg(was.fg, a)) << k.name << " ms=" << ms << " cell " << i << " from " << show(was.fg);
                    ASSERT_EQ(got.bg, k.bg(was.bg, a)) << k.name << " ms=" << ms << " cell " << i << " from " << show(was.bg);
                }
            }
        }
    }
}

// With a radial pattern the cells blend by their own alphas; blends are still shared per
// (colour, alpha quantised to 1/255) among the eight most recent keys, computed for the first
// cell of a key.
TEST(FxColorSpeedpaths, PatternedFadeSharesBlendsAsBefore) {
    const Buffer start = rainbow();
    for (ColorSpace space : {ColorSpace::Rgb, ColorSpace::Hsl, ColorSpace::Hsv}) {
        const EffectTimer timer = EffectTimer::from_ms(1000, Interpolation::Linear);
        Buffer b = start;
        Effect e = fade_to(kFadeFg, kFadeBg, timer);
        e.set_color_space(space);
        const Pattern pattern = Pattern::of(RadialPattern::with_transition(0.3f, 0.6f, 15.0f));
        e.set_pattern(pattern);
        e.process(400, b, b.area);

        const PreparedPattern prepared(pattern, alpha_after(timer, 400), b.area);
        ColorCache<std::uint8_t> fgc, bgc;
        std::size_t blended = 0;
        for (std::uint16_t y = 0; y < b.area.height; ++y)
            for (std::uint16_t x = 0; x < b.area.width; ++x) {
                const float a = prepared.alpha(x, y);
                const auto q = sat_cast<std::uint8_t>(clamp01(a) * 255.0f);
                const Cell& was = *start.cell_at(x, y);
                const Color f = fg_or_white(was.fg), g = bg_or_black(was.bg);
                const Color want_fg = fgc.get(f, q, [&] { return ref::lerp(f, kFadeFg, a, space); });
                const Color want_bg = bgc.get(g, q, [&] { return ref::lerp(g, kFadeBg, a, space); });
                ASSERT_EQ(b.cell_at(x, y)->fg, want_fg) << x << "," << y;
                ASSERT_EQ(b.cell_at(x, y)->bg, want_bg) << x << "," << y;
                blended += a > 0.0f && a < 1.0f;
            }
        EXPECT_GT(blended, 100u);  // the pattern's transition covers part of the screen
    }
}
