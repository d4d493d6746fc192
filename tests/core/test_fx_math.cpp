// Easing curves, timers, the random generator and the effects' colour arithmetic.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "core/fx/color_math.hpp"
#include "core/fx/math.hpp"
#include "core/fx/pattern.hpp"
#include "core/fx/rng.hpp"
#include "core/fx/timer.hpp"
#include "core/panic.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;
using I = Interpolation;

namespace {

struct CurveRow {
    Interpolation curve;
    std::array<float, 11> at;  // t = 0, 0.1, ..., 1.0 (t computed as i / 10 in single precision)
};

// The values the curves must give bit for bit.
const std::vector<CurveRow> kCurves = {
    {I::BackIn, {0.0f, -0.014314221f, -0.046450563f, -0.08019955f, -0.09935169f, -0.087697506f, -0.029027522f,
                 0.09286779f, 0.2941978f, 0.59117186f, 1.0f}},
    {I::BackOut, {0.0f, 0.40882802f, 0.7058022f, 0.90713227f, 1.0290275f, 1.0876975f, 1.0993516f, 1.0801995f,
                  1.0464505f, 1.0143142f, 1.0f}},
    {I::BackInOut, {-0.0f, -0.037518553f, -0.09255566f, -0.078833476f, 0.08992585f, 0.5f, 0.91007423f,
                    1.0788335f, 1.0925556f, 1.0375186f, 1.0f}},
    {I::BounceIn, {0.0f, 0.011875033f, 0.060000002f, 0.06937504f, 0.22750002f, 0.234375f, 0.089999914f,
                   0.31937492f, 0.6975f, 0.92437494f, 1.0f}},
    {I::BounceOut, {0.0f, 0.075625f, 0.3025f, 0.6806251f, 0.91f, 0.765625f, 0.7725f, 0.93062496f, 0.94f,
                    0.98812497f, 1.0f}},
    {I::BounceInOut, {0.0f, 0.030000001f, 0.11375001f, 0.044999957f, 0.34875f, 0.5f, 0.65125006f, 0.95500004f,
                      0.88625f, 0.97f, 1.0f}},
    {I::CircIn, {0.0f, 0.004999995f, 0.02000004f, 0.045000017f, 0.08000004f, 0.125f, 0.18f, 0.245f,
                 0.39000005f, 0.55999994f, 1.0f}},
    {I::CircOut, {8.131516e-20f, 0.44000006f, 0.60999995f, 0.755f, 0.82f, 0.875f, 0.92f, 0.955f, 0.97999996f,
                  0.995f, 1.0f}},
    {I::CircInOut, {0.0f, 0.01000002f, 0.03999999f, 0.09f, 0.19500002f, 0.5f, 0.80500007f, 0.90999997f,
                    0.96000004f, 0.99f, 1.0f}},
    {I::CubicIn, {0.0f, 0.001f, 0.008f, 0.027000003f, 0.064f, 0.125f, 0.21600002f, 0.343f, 0.512f, 0.7289999f,
                  1.0f}},
    {I::CubicOut, {0.0f, 0.2710001f, 0.48799998f, 0.657f, 0.784f, 0.875f, 0.936f, 0.973f, 0.992f, 0.999f, 1.0f}},
    {I::CubicInOut, {0.0f, 0.004f, 0.032f, 0.10800001f, 0.256f, 0.5f, 0.7440001f, 0.89199996f, 0.968f, 0.996f,
                     1.0f}},
    {I::ElasticIn, {0.0f, -0.0007031244f, -0.00050347176f, 0.0010069435f, 0.005624995f, 0.017361118f,
                    0.04472223f, 0.10500001f, 0.23222226f, 0.49111104f, 1.0f}},
    {I::ElasticOut, {0.0f, 0.50888884f, 0.7677778f, 0.895f, 0.9552778f, 0.9826389f, 0.994375f, 0.99899304f,
                     1.0005034f, 1.0007031f, 1.0f}},
    {I::ElasticInOut, {0.0f, -0.00025171041f, 0.0028125048f, 0.0223611f, 0.11611113f, 0.5f, 0.88388896f,
                       0.9776389f, 0.9971875f, 1.0002518f, 1.0f}},
    {I::ExpoIn, {0.0f, 0.001953125f, 0.00390625f, 0.0078125f, 0.015625f, 0.03125f, 0.06250001f, 0.125f,
                 0.25000003f, 0.4999999f, 1.0f}},
    {I::ExpoOut, {0.0f, 0.5f, 0.75f, 0.875f, 0.9375f, 0.96875f, 0.984375f, 0.9921875f, 0.99609375f, 0.9980469f,
                  1.0f}},
    {I::ExpoInOut, {0.0f, 0.001953125f, 0.0078125f, 0.031250004f, 0.12500001f, 0.5f, 0.87500006f, 0.96875f,
                    0.9921875f, 0.9980469f, 1.0f}},
    {I::Linear, {0.0f, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f, 1.0f}},
    {I::QuadIn, {0.0f, 0.010000001f, 0.040000003f, 0.09f, 0.16000001f, 0.25f, 0.36f, 0.48999998f, 0.64000005f,
                 0.80999994f, 1.0f}},
    {I::QuadOut, {0.0f, 0.19000006f, 0.35999995f, 0.51f, 0.64f, 0.75f, 0.84000003f, 0.90999997f, 0.96f, 0.99f,
                  1.0f}},
    {I::QuadInOut, {0.0f, 0.020000001f, 0.080000006f, 0.18f, 0.32000002f, 0.5f, 0.68000007f, 0.82f, 0.92f, 0.98f,
                    1.0f}},
    {I::QuartIn, {0.0f, 0.000100000005f, 0.0016000001f, 0.008100001f, 0.025600001f, 0.0625f, 0.12960002f,
                  0.2401f, 0.40960002f, 0.6560999f, 1.0f}},
    {I::QuartOut, {0.0f, 0.34390008f, 0.5904f, 0.75990003f, 0.8704f, 0.9375f, 0.9744f, 0.9919f, 0.9984f, 0.9999f,
                   1.0f}},
    {I::QuartInOut, {0.0f, 0.00080000004f, 0.012800001f, 0.06480001f, 0.20480001f, 0.5f, 0.79520005f, 0.9352f,
                     0.9872f, 0.9992f, 1.0f}},
    {I::QuintIn, {0.0f, 1.0000001e-5f, 0.00032000002f, 0.0024300003f, 0.010240001f, 0.03125f, 0.07776001f,
                  0.16806999f, 0.32768002f, 0.5904899f, 1.0f}},
    {I::QuintOut, {0.0f, 0.40951008f, 0.67231995f, 0.83193004f, 0.92224f, 0.96875f, 0.98976f, 0.99757f, 0.99968f,
                   0.99999f, 1.0f}},
    {I::QuintInOut, {0.0f, 0.00016000001f, 0.0051200003f, 0.038880005f, 0.16384001f, 0.5f, 0.83616006f, 0.96112f,
                     0.99488f, 0.99984f, 1.0f}},
    {I::Reverse, {1.0f, 0.9f, 0.8f, 0.7f, 0.6f, 0.5f, 0.39999998f, 0.3f, 0.19999999f, 0.100000024f, 0.0f}},
    {I::SmoothStep, {0.0f, 0.028f, 0.104f, 0.21600002f, 0.35200003f, 0.5f, 0.648f, 0.784f, 0.896f, 0.97199994f,
                     1.0f}},
    {I::SineIn, {0.0f, 0.00999999f, 0.04000002f, 0.089999974f, 0.15999997f, 0.25f, 0.36f, 0.49000007f, 0.6399999f,
                 0.80999994f, 1.0f}},
    {I::SineOut, {0.0f, 0.19000004f, 0.36000007f, 0.50999993f, 0.64f, 0.75f, 0.84000003f, 0.91f, 0.96f, 0.99f,
                  1.0f}},
    {I::SineInOut, {0.0f, 0.02000001f, 0.07999998f, 0.18f, 0.31999996f, 0.5f, 0.68000007f, 0.81999993f,
                    0.91999996f, 0.98f, 1.0f}},
};

}  // namespace

TEST(FxCurves, TabulatedValuesBitForBit) {
    ASSERT_EQ(kCurves.size(), 33u);  // every curve but Spring, whose shape is checked below
    for (const CurveRow& row : kCurves) {
        for (int i = 0; i <= 10; ++i) {
            const float t = static_cast<float>(i) / 10.0f;
            const float got = ease(row.curve, t);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(got), std::bit_cast<std::uint32_t>(row.at[i]))
                << kInterpolationNames[static_cast<int>(row.curve)] << " at " << t << ": " << got << " vs "
                << row.at[i];
        }
    }
}

TEST(FxCurves, SpringOvershootsAndSettles) {
    EXPECT_EQ(ease(I::Spring, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(ease(I::Spring, 0.1f), 1.5268592f);
    EXPECT_NEAR(ease(I::Spring, 1.0f), 1.0025f, 0.0005f);
    bool over = false;
    for (int i = 0; i <= 10; ++i) over |= ease(I::Spring, static_cast<float>(i) / 10.0f) > 1.0f;
    EXPECT_TRUE(over);
}

TEST(FxCurves, FlippedSwapsInAndOutOnly) {
    const std::vector<std::pair<I, I>> pairs = {
        {I::BackIn, I::BackOut},   {I::BounceIn, I::BounceOut}, {I::CircIn, I::CircOut},
        {I::CubicIn, I::CubicOut}, {I::ElasticIn, I::ElasticOut}, {I::ExpoIn, I::ExpoOut},
        {I::QuadIn, I::QuadOut},   {I::QuartIn, I::QuartOut},   {I::QuintIn, I::QuintOut},
        {I::SineIn, I::SineOut}};
    for (auto [a, b] : pairs) {
        EXPECT_EQ(flipped(a), b);
        EXPECT_EQ(flipped(b), a);
    }
    for (I same : {I::BackInOut, I::SineInOut, I::Linear, I::Reverse, I::SmoothStep, I::Spring, I::QuadInOut})
        EXPECT_EQ(flipped(same), same);
}

TEST(FxPrimitives, RoughRootRoundingAndPowers) {
    EXPECT_EQ(msqrt(0.75f), 0.875f);
    EXPECT_EQ(msqrt(4.0f), 2.0f);
    EXPECT_TRUE(std::isnan(msqrt(-1.0f)));
    EXPECT_EQ(mround(2.5f), 3.0f);
    EXPECT_EQ(mround(-2.5f), -3.0f);
    EXPECT_EQ(mround(1e20f), 2147483647.0f);
    EXPECT_EQ(mfloor(-1.5f), -2.0f);
    EXPECT_EQ(mceil(1.2f), 2.0f);
    EXPECT_EQ(powi(2.0f, 10), 1024.0f);
    EXPECT_EQ(powi(2.0f, -2), 0.25f);
    EXPECT_EQ(wave_sin(0.25f), 1.0f);
    EXPECT_EQ(wave_sin(0.75f), -1.0f);
    EXPECT_EQ(wave_sin(-0.25f), -1.0f);
}

TEST(FxTimer, AdvanceAlphaAndReversal) {
    EffectTimer t = EffectTimer::from_ms(1000, I::Linear);
    EXPECT_EQ(t.alpha(), 0.0f);
    EXPECT_FALSE(t.started());
    EXPECT_EQ(t.process(500), std::nullopt);
    EXPECT_EQ(t.alpha(), 0.5f);
    EXPECT_EQ(t.reversed_copy().alpha(), 0.5f);
    EXPECT_EQ(t.process(250), std::nullopt);
    EXPECT_EQ(t.alpha(), 0.75f);
    EXPECT_EQ(t.reversed_copy().alpha(), 0.25f);
    EXPECT_EQ(t.process(250), std::nullopt);  // uses up exactly what was left
    EXPECT_TRUE(t.done());
    EXPECT_EQ(t.process(40), 40u);
    t.reset();
    EXPECT_EQ(t.remaining, 1000u);
    EXPECT_EQ(t.process(1300), 300u);

    // Zero length: done at once, alpha 1 (0 when reversed) without easing.
    EffectTimer z = EffectTimer::from_ms(0, I::BackIn);
    EXPECT_TRUE(z.done());
    EXPECT_EQ(z.alpha(), 1.0f);
    EXPECT_EQ(z.reversed_copy().alpha(), 0.0f);
    EXPECT_EQ(z.process(16), 16u);
    EXPECT_EQ(z.process(0), std::nullopt);

    // Mirroring flips the flag and the curve, so the eased path is retraced.
    EffectTimer q = EffectTimer::from_ms(100, I::QuadIn).mirrored();
    EXPECT_TRUE(q.reversed);
    EXPECT_EQ(q.interpolation, I::QuadOut);
    EXPECT_EQ(q.alpha(), 1.0f);

    // Multiplying saturates instead of wrapping.
    EXPECT_EQ(EffectTimer::from_ms(3000000000u, I::Linear).times(2).total, 4294967295u);
    EXPECT_EQ(EffectTimer::from_ms(300, I::CubicIn).mirrored().times(3),
              EffectTimer::from_ms(900, I::CubicOut));
}

TEST(FxRng, SequenceAndRanges) {
    struct Row {
        std::uint32_t seed;
        std::array<std::uint32_t, 5> draws;
    };
    const Row rows[] = {
        {0, {0xf322a0dd, 0x72cdeacb, 0x7fa24c82, 0x5dca340a, 0x411e5fbd}},
        {12345, {0xaff5bef1, 0xc92d48b2, 0x1178884a, 0x78d981b1, 0x7ad40950}},
        {0xffffffff, {0x035dc067, 0x25232587, 0x5091a980, 0x0cf8a385, 0x180f6559}},
    };
    for (const Row& row : rows) {
        Rng rng(row.seed);
        for (std::uint32_t want : row.draws) EXPECT_EQ(rng.next(), want) << row.seed;
    }
    Rng f(12345);
    EXPECT_EQ(f.next_f32(), static_cast<float>(0xaff5bef1u >> 9) / 8388608.0f);

    Rng r(0);
    EXPECT_EQ(r.range_u32(10, 20), 10 + 0xf322a0ddu % 10);
    EXPECT_EQ(r.range_u16(0, 7), (0x72cdeacbu >> 16) % 7);
    EXPECT_EQ(r.range_i32(-10, 10), -10 + static_cast<std::int32_t>(0x7fa24c82u % 20));
    Rng u(0);
    EXPECT_EQ(u.range_usize(0, 1000), ((std::uint64_t{0xf322a0dd} << 32) | 0x72cdeacb) % 1000);
    for (auto bad : {std::pair<int, int>{5, 5}, {7, 3}}) {
        Rng g(1);
        try {
            g.range_i32(bad.first, bad.second);
            ADD_FAILURE() << "empty range accepted";
        } catch (const Panic& e) {
            EXPECT_STREQ(e.what(), "range.end must be greater than range.start");
        }
    }
    EXPECT_THROW(Rng(1).range_u32(4, 4), Panic);
}

TEST(FxColor, NamedAndPaletteColoursAsRgb) {
    struct Row {
        Color c;
        Rgb8 rgb;
    };
    const Row rows[] = {
        {Color::named(Color::Reset), {0, 0, 0}},         {Color::named(Color::Red), {128, 0, 0}},
        {Color::named(Color::DarkGray), {96, 96, 96}},   {Color::named(Color::White), {192, 192, 192}},
        {Color::named(Color::LightBlue), {0, 0, 255}},   {Color::rgb(1, 2, 3), {1, 2, 3}},
        {Color::indexed(4), {0, 0, 0xEE}},               {Color::indexed(12), {0x5C, 0x5C, 0xFF}},
        {Color::indexed(16), {0, 0, 0}},                 {Color::indexed(196), {255, 0, 0}},
        {Color::indexed(110), {135, 175, 215}},          {Color::indexed(232), {8, 8, 8}},
        {Color::indexed(255), {238, 238, 238}},
    };
    for (const Row& row : rows) EXPECT_EQ(to_rgb(row.c), row.rgb) << color_repr(row.c);
}

TEST(FxColor, HslAndHsvConversions) {
    Hsx red = rgb_to_hsl({255, 0, 0});
    EXPECT_EQ(red.h, 0.0f);
    EXPECT_FLOAT_EQ(red.s, 100.0f);
    EXPECT_EQ(red.x, 50.0f);
    Hsx teal = rgb_to_hsl({0, 128, 128});
    EXPECT_EQ(teal.h, 180.0f);
    EXPECT_EQ(teal.s, 100.0f);
    Hsx magenta = rgb_to_hsl({255, 0, 128});  // r largest, g < b: the hue wraps past 300
    EXPECT_NEAR(magenta.h, 329.88f, 0.01f);
    Hsx grey = rgb_to_hsl({51, 51, 51});
    EXPECT_EQ(grey.s, 0.0f);
    EXPECT_EQ(hsl_to_rgb(grey.h, grey.s, grey.x), (Rgb8{51, 51, 51}));
    EXPECT_EQ(hsl_to_rgb(-120.0f, 100.0f, 50.0f), (Rgb8{0, 0, 255}));  // negative hues wrap
    EXPECT_EQ(hsl_to_rgb(480.0f, 100.0f, 50.0f), (Rgb8{0, 255, 0}));

    Hsx v = rgb_to_hsv({255, 128, 0});
    EXPECT_FLOAT_EQ(v.s, 100.0f);
    EXPECT_EQ(v.x, 100.0f);
    EXPECT_EQ(hsv_to_rgb(0.0f, 0.0f, 50.0f), (Rgb8{128, 128, 128}));

    // Round trips over a grid of colours.
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                const Rgb8 c{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
                const Hsx h = rgb_to_hsl(c);
                EXPECT_EQ(hsl_to_rgb(h.h, h.s, h.x), c) << r << "," << g << "," << b;
                const Hsx w = rgb_to_hsv(c);
                EXPECT_EQ(hsv_to_rgb(w.h, w.s, w.x), c) << r << "," << g << "," << b;
            }
}

TEST(FxColor, BlendingLightenSaturate) {
    const Color black = Color::rgb(0, 0, 0), white = Color::rgb(255, 255, 255);
    EXPECT_EQ(lerp(black, white, 0.5f, ColorSpace::Rgb), Color::rgb(127, 127, 127));
    EXPECT_EQ(lerp(black, white, 0.25f, ColorSpace::Rgb), Color::rgb(63, 63, 63));
    // The ends hand back the inputs unchanged, variant included; outside 0..1 clamps.
    EXPECT_EQ(lerp(Color::named(Color::Red), white, 0.0f, ColorSpace::Hsl), Color::named(Color::Red));
    EXPECT_EQ(lerp(Color::named(Color::Red), Color::indexed(3), 7.0f, ColorSpace::Hsv), Color::indexed(3));
    EXPECT_EQ(lerp(Color::named(Color::Red), Color::indexed(3), -1.0f, ColorSpace::Hsv), Color::named(Color::Red));
    // Hue takes the short way round: red to blue passes magenta.
    EXPECT_EQ(lerp(Color::rgb(255, 0, 0), Color::rgb(0, 0, 255), 0.5f, ColorSpace::Hsl), Color::rgb(255, 0, 255));
    EXPECT_EQ(lerp(Color::rgb(255, 0, 0), Color::rgb(0, 0, 255), 0.5f, ColorSpace::Hsv), Color::rgb(255, 0, 255));
    // NaN alpha: no crash, an Rgb colour.
    EXPECT_EQ(lerp(black, white, NAN, ColorSpace::Hsl).tag, Color::Rgb);

    EXPECT_EQ(lighten_rgb(Color::rgb(100, 100, 100), 0.5f), Color::rgb(177, 177, 177));
    EXPECT_EQ(lighten_rgb(Color::rgb(100, 100, 100), -0.5f), Color::rgb(50, 50, 50));
    EXPECT_EQ(lighten_rgb(Color::rgb(100, 100, 100), 9.0f), Color::rgb(255, 255, 255));
    EXPECT_EQ(lighten_rgb(Color::rgb(100, 100, 100), NAN), Color::rgb(0, 0, 0));
    EXPECT_EQ(saturate_rgb(Color::rgb(200, 100, 50), 0.0f), Color::rgb(124, 124, 124));
    EXPECT_EQ(saturate_rgb(Color::rgb(200, 100, 50), 1.0f), Color::rgb(200, 100, 50));
    EXPECT_EQ(saturate_rgb(Color::rgb(200, 100, 50), 2.0f), Color::rgb(255, 76, 0));
}

TEST(FxColor, CacheSharesResultsPerKeyAndForgetsTheOldest) {
    ColorCache<std::uint8_t> cache;
    int computed = 0;
    auto get = [&](Color c, std::uint8_t q) {
        return cache.get(c, q, [&] {
            ++computed;
            return Color::rgb(c.r, q, static_cast<std::uint8_t>(computed));
        });
    };
    const Color first = get(Color::rgb(1, 0, 0), 5);
    EXPECT_EQ(get(Color::rgb(1, 0, 0), 5), first);  // hit: the first result again
    EXPECT_EQ(computed, 1);
    for (std::uint8_t i = 0; i < 8; ++i) get(Color::rgb(2, 0, 0), i);  // eight new keys push it out
    EXPECT_EQ(computed, 9);
    get(Color::rgb(1, 0, 0), 5);
    EXPECT_EQ(computed, 10);
    get(Color::rgb(2, 0, 0), 7);  // still cached (recent)
    EXPECT_EQ(computed, 10);
}

TEST(FxPattern, RadialAlphaRisesFromTheCentre) {
    const Rect area{0, 0, 10, 10};
    const Pattern radial = Pattern::of(RadialPattern::center());
    for (float g : {0.0f, 1.0f}) {
        const PreparedPattern p(radial, g, area);
        for (std::uint16_t y = 0; y < 10; ++y)
            for (std::uint16_t x = 0; x < 10; ++x) EXPECT_EQ(p.alpha(x, y), g) << x << "," << y << " g=" << g;
    }
    const PreparedPattern half(radial, 0.5f, area);
    EXPECT_EQ(half.alpha(5, 5), 1.0f);
    EXPECT_EQ(half.alpha(0, 0), 0.0f);
    const PreparedPattern ident(Pattern::identity(), 0.3f, area);
    EXPECT_EQ(ident.alpha(0, 9), 0.3f);

    const RadialPattern c = RadialPattern::make(-0.5f, 1.5f);
    EXPECT_EQ(c.center_x, 0.0f);
    EXPECT_EQ(c.center_y, 1.0f);
    EXPECT_EQ(c.transition_width, 2.0f);
    EXPECT_EQ(RadialPattern::with_transition(0.5f, 0.5f, 0.0f).transition_width, 0.1f);
    EXPECT_EQ(RadialPattern::with_transition(0.5f, 0.5f, NAN).transition_width, 0.1f);
    EXPECT_TRUE(std::isnan(RadialPattern::make(NAN, 0.2f).center_x));
}
