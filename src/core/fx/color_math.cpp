#include "core/fx/color_math.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && defined(__GNUC__)
#define TARVO_FX_AVX2 1
#else
#define TARVO_FX_AVX2 0
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

namespace tarvo::core::fx {

#if defined(__SSE2__)
namespace {

// What happens between the conversions: a blend toward q by alpha, or a shift by d (the
// amounts already multiplied by the alpha).
struct Middle {
    Hsx q;
    float alpha = 0.0f;
    std::array<float, 3> d{};
};

// The eight-lane forms are used only inlined into code built for AVX2, so the warning that
// passing them by value to code built without it would change the calling convention does not
// apply.
#pragma GCC diagnostic ignored "-Wpsabi"

// N colours at once in GCC's vector types. Arithmetic is lane by lane the same IEEE single
// precision as the scalar code, a comparison gives −1 (true) or 0 in each lane, `m ? a : b`
// picks lane by lane, and a cast between two of these types keeps the bits.
template <int N>
struct Vectors;
template <>
struct Vectors<4> {
    typedef float F __attribute__((vector_size(16)));
    typedef std::int32_t I __attribute__((vector_size(16)));
    typedef std::uint32_t U __attribute__((vector_size(16)));
};
template <>
struct Vectors<8> {
    typedef float F __attribute__((vector_size(32)));
    typedef std::int32_t I __attribute__((vector_size(32)));
    typedef std::uint32_t U __attribute__((vector_size(32)));
};

template <int N>
struct Lanes {
    using F = typename Vectors<N>::F;
    using I = typename Vectors<N>::I;
    using U = typename Vectors<N>::U;

    [[gnu::always_inline]] static F to_float(I v) noexcept { return __builtin_convertvector(v, F); }
    [[gnu::always_inline]] static I truncate(F v) noexcept { return __builtin_convertvector(v, I); }
    // Whether every lane is true. (Compared as bytes, which the compiler turns into one vector
    // comparison; a loop over the lanes would take them out one by one.)
    [[gnu::always_inline]] static bool all(I m) noexcept {
        const I yes = I{} - 1;
        return std::memcmp(&m, &yes, sizeof m) == 0;
    }
    [[gnu::always_inline]] static I max_i(I a, I b) noexcept { return a > b ? a : b; }
    [[gnu::always_inline]] static I min_i(I a, I b) noexcept { return a > b ? b : a; }
    // The processor's max(x, 0): a NaN becomes 0.
    [[gnu::always_inline]] static F max0(F x) noexcept { return x > 0.0f ? x : F{} + 0.0f; }
    // 1 / n, and 0 for n = 0, as kRecip has it.
    [[gnu::always_inline]] static F recip(I n) noexcept { return n == 0 ? F{} + 0.0f : 1.0f / to_float(n); }
    [[gnu::always_inline]] static F fabs(F x) noexcept { return (F)((I)x & 0x7FFFFFFF); }
    // x − 360 where `wrap` holds, else x − 0.
    [[gnu::always_inline]] static F minus_turn(F x, I wrap) noexcept { return x - (wrap ? F{} + 360.0f : F{} + 0.0f); }
    // channel() on every lane.
    [[gnu::always_inline]] static I channel(F v) noexcept {
        const F t = v * 255.0f;
        const F half = (F)(((I)t & INT32_MIN) | (I)(F{} + 0.5f));
        const F c = max0(t + half);
        return truncate(c < 255.0f ? c : F{} + 255.0f);
    }
    // clampf(v, 0, 100): a NaN passes through.
    [[gnu::always_inline]] static F clamp(F v) noexcept {
        return v < 0.0f ? F{} + 0.0f : (v > 100.0f ? F{} + 100.0f : v);
    }
    [[gnu::always_inline]] static I in_set(I k, int a, int b) noexcept { return (k == a) | (k == b); }
};

// The blend of N colours at once, lane by lane the same operations in the same order as
// lerp_hsx (or hsl_shift_color), so every lane rounds exactly as the single-colour code does:
// a reciprocal computed by division is the one the table holds. Returns false, having written
// nothing, when a lane's hue falls outside the range the remainder-free wrap covers.
template <int N, bool Hsl, bool Shift>
[[gnu::always_inline]] inline bool blend_lanes(const Color* from, const Middle& mid, Color* out) noexcept {
    using L = Lanes<N>;
    using F = typename L::F;
    using I = typename L::I;
    using U = typename L::U;
    static_assert(sizeof(Color) == 4);
    constexpr std::uint32_t kRgbTag = Color::Rgb;  // the low byte of an Rgb colour's word
    I r, g, b;
    U words;
    std::memcpy(&words, from, sizeof words);
    if (std::endian::native == std::endian::little && L::all((words & 0xFFu) == kRgbTag)) {
        r = (I)((words >> 8) & 0xFFu);
        g = (I)((words >> 16) & 0xFFu);
        b = (I)(words >> 24);
    } else {
        alignas(sizeof(I)) std::int32_t rr[N], gg[N], bb[N];
        for (int i = 0; i < N; ++i) {
            const Rgb8 c = rgb_of(from[i]);
            rr[i] = c.r;
            gg[i] = c.g;
            bb[i] = c.b;
        }
        std::memcpy(&r, rr, sizeof r);
        std::memcpy(&g, gg, sizeof g);
        std::memcpy(&b, bb, sizeof b);
    }
    const I mx = L::max_i(r, L::max_i(g, b)), mn = L::min_i(r, L::min_i(g, b));
    const I delta = mx - mn;
    const F id = L::recip(delta);
    const I rmax = ~((g > r) | (b > r));
    const I gmax = ~(rmax | (b > g));
    const I num = rmax ? g - b : (gmax ? b - r : r - g);
    const F off_r = b > g ? F{} + 6.0f : F{} + 0.0f;
    const F off = rmax ? off_r : (gmax ? F{} + 2.0f : F{} + 4.0f);
    const F ph = (L::to_float(num) * id + off) * 60.0f;
    F ps, px;
    if constexpr (Hsl) {
        const I sum = mx + mn;
        const I d = sum - 255;
        const I sign = d >> 31;
        ps = L::to_float(delta) * 100.0f * L::recip(255 - ((d ^ sign) - sign));
        px = L::to_float(sum) * kL;
    } else {
        ps = L::to_float(delta) * 100.0f * L::recip(mx);
        px = L::to_float(mx) * kV;
    }
    F h, s, x;
    if constexpr (Shift) {
        // An HSL shift: the hue wrapped here and once more on the way back, as shift_hsl does.
        const F h1 = ph + mid.d[0];
        if (!L::all((h1 > -360.0f) & (h1 < 720.0f))) return false;
        const F r1 = L::minus_turn(h1, h1 >= 360.0f);
        const F y1 = r1 + 360.0f;
        const F z1 = L::minus_turn(y1, y1 >= 360.0f);
        h = L::minus_turn(z1, z1 >= 360.0f);
        s = L::clamp(ps + mid.d[1]);
        x = L::clamp(px + mid.d[2]);
    } else {
        const Hsx& q = mid.q;
        const float a = mid.alpha;
        F dh = q.h - ph;
        dh = dh - (dh > 180.0f ? F{} + 360.0f : (dh < -180.0f ? F{} - 360.0f : F{} + 0.0f));
        h = ph + dh * a;
        h = h - (h < 0.0f ? F{} - 360.0f : F{} + 0.0f);
        h = L::minus_turn(h, h >= 360.0f);
        s = ps + (q.s - ps) * a;
        x = px + (q.x - px) * a;
    }

    // To RGB. The wrap: every lane must lie in -360..720 (NaN lanes do not).
    if (!L::all((h > -360.0f) & (h < 720.0f))) return false;
    const F wr = L::minus_turn(h, h >= 360.0f);
    const F wy = wr + 360.0f;
    const F wz = L::minus_turn(wy, wy >= 360.0f);
    const F wh = L::minus_turn(wz, wz >= 360.0f);
    s = s / 100.0f;
    x = x / 100.0f;
    const F hh = wh / 60.0f;
    const I k = L::truncate(L::max0(hh));
    // Sextant 6 counts as 5.
    const I kk = L::min_i(k, I{} + 5);
    I red, green, blue, grey_v, grey_mask;
    if constexpr (Hsl) {
        const F l = x;
        const F c = (1.0f - L::fabs(2.0f * l - 1.0f)) * s;
        const F m = l - c * 0.5f;
        const F f = hh - L::to_float(k);
        const F h2 = L::to_float(k & 1) + f;
        const F xx = c * (1.0f - L::fabs(h2 - 1.0f));
        const I A = L::channel(c + m), B = L::channel(xx + m), C = L::channel(m);
        // Sextants 0..5 order (A B C), (B A C), (C A B), (C B A), (B C A), (A C B).
        red = L::in_set(kk, 0, 5) ? A : (L::in_set(kk, 1, 4) ? B : C);
        green = L::in_set(kk, 1, 2) ? A : (L::in_set(kk, 0, 3) ? B : C);
        blue = L::in_set(kk, 3, 4) ? A : (L::in_set(kk, 2, 5) ? B : C);
        grey_v = L::channel(l);
        grey_mask = s == 0.0f;
    } else {
        const F v = x;
        const F f = hh - L::to_float(k);
        const I V = L::channel(v), T = L::channel(v * (1.0f - s * (1.0f - f))), P = L::channel(v * (1.0f - s)),
                Q = L::channel(v * (1.0f - s * f));
        // Sextants 0..5 order (V T P), (Q V P), (P V T), (P Q V), (T P V), (V P Q).
        const I k0 = kk == 0, k1 = kk == 1, k2 = kk == 2, k3 = kk == 3, k4 = kk == 4;
        red = (k2 | k3) ? P : (k1 ? Q : (k4 ? T : V));
        green = (k1 | k2) ? V : (k0 ? T : (k3 ? Q : P));
        blue = (k0 | k1) ? P : (k2 ? T : ((k3 | k4) ? V : Q));
        grey_v = V;
        grey_mask = s <= 0.0f;
    }
    red = grey_mask ? grey_v : red;
    green = grey_mask ? grey_v : green;
    blue = grey_mask ? grey_v : blue;
    if constexpr (std::endian::native == std::endian::little) {
        const U colours = kRgbTag | ((U)red << 8) | ((U)green << 16) | ((U)blue << 24);
        std::memcpy(static_cast<void*>(out), &colours, sizeof colours);
    } else {
        for (int i = 0; i < N; ++i)
            out[i] = Color::rgb(static_cast<std::uint8_t>(red[i]), static_cast<std::uint8_t>(green[i]),
                                static_cast<std::uint8_t>(blue[i]));
    }
    return true;
}

template <bool Hsl, bool Shift>
bool blend4(const Color* from, const Middle& mid, Color* out) noexcept {
    return blend_lanes<4, Hsl, Shift>(from, mid, out);
}

#if TARVO_FX_AVX2
// The same eight colours at a time, on processors that have AVX2.
template <bool Hsl, bool Shift>
__attribute__((target("avx2"))) bool blend8(const Color* from, const Middle& mid, Color* out) noexcept {
    return blend_lanes<8, Hsl, Shift>(from, mid, out);
}
#endif

// Runs `from` through the lanes, eight or four at a time, and `scalar` for what is left over
// and for any run of lanes that cannot take it.
template <bool Hsl, bool Shift, typename Scalar>
void run_lanes(const Color* from, Color* out, std::size_t n, const Middle& mid, bool wide, Scalar&& scalar) noexcept {
    std::size_t i = 0;
#if TARVO_FX_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (wide && avx2)
        for (; i + 8 <= n; i += 8)
            if (!blend8<Hsl, Shift>(from + i, mid, out + i))
                for (std::size_t j = i; j < i + 8; ++j) out[j] = scalar(from[j]);
#endif
    for (; i + 4 <= n; i += 4)
        if (!blend4<Hsl, Shift>(from + i, mid, out + i))
            for (std::size_t j = i; j < i + 4; ++j) out[j] = scalar(from[j]);
    for (; i < n; ++i) out[i] = scalar(from[i]);
}

}  // namespace
#endif

void lerp_many(const Color* from, Color* out, std::size_t n, const BlendTarget& to, float a, ColorSpace space,
               bool wide) noexcept {
    auto one = [&](Color c) { return lerp(c, to, a, space); };
#if defined(__SSE2__)
    const float ac = clamp01(a);
    if (space != ColorSpace::Rgb && ac != 0.0f && ac != 1.0f && !std::isnan(ac)) {
        Middle mid;
        mid.alpha = ac;
        if (space == ColorSpace::Hsl) {
            mid.q = to.hsl;
            run_lanes<true, false>(from, out, n, mid, wide, one);
        } else {
            mid.q = to.hsv;
            run_lanes<false, false>(from, out, n, mid, wide, one);
        }
        return;
    }
#endif
    for (std::size_t i = 0; i < n; ++i) out[i] = one(from[i]);
}

Color hsl_shift_color(Color c, const std::array<float, 3>& d, float a) noexcept {
    const Hsx v = rgb_to_hsl(rgb_of(c));
    const float h = wrap_hue(v.h + d[0] * a);
    const float s = clampf(v.s + d[1] * a, 0.0f, 100.0f);
    const float l = clampf(v.x + d[2] * a, 0.0f, 100.0f);
    return rgb_color(hsl_to_rgb_impl(h, s, l));
}

void hsl_shift_many(const Color* from, Color* out, std::size_t n, const std::array<float, 3>& d, float a,
                    bool wide) noexcept {
    auto one = [&](Color c) { return hsl_shift_color(c, d, a); };
#if defined(__SSE2__)
    Middle mid;
    mid.d = {d[0] * a, d[1] * a, d[2] * a};
    run_lanes<true, true>(from, out, n, mid, wide, one);
#else
    for (std::size_t i = 0; i < n; ++i) out[i] = one(from[i]);
#endif
}

}  // namespace tarvo::core::fx
