#include "core/fx/color_math.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
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

// The blend of four colours at once, lane by lane the same operations in the same order as
// lerp_hsx, so every lane rounds exactly as the single-colour code does (SSE arithmetic is the
// same IEEE single precision as the scalar instructions, and a reciprocal computed by division
// is the one the table holds). Returns false, having written nothing, when a lane's hue falls
// outside the range the remainder-free wrap covers.
// What happens between the conversions: a blend toward q by alpha, or a shift by d (the
// amounts already multiplied by the alpha).
struct Middle {
    Hsx q;
    float alpha = 0.0f;
    std::array<float, 3> d{};
};

inline __m128 select(__m128 mask, __m128 yes, __m128 no) noexcept {
    return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}
inline __m128i select_i(__m128i mask, __m128i yes, __m128i no) noexcept {
    return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}
inline __m128i max_i(__m128i a, __m128i b) noexcept { return select_i(_mm_cmpgt_epi32(a, b), a, b); }
inline __m128i min_i(__m128i a, __m128i b) noexcept { return select_i(_mm_cmpgt_epi32(a, b), b, a); }

// 1 / n, and 0 for n = 0, as kRecip has it.
inline __m128 recip4(__m128i n) noexcept {
    const __m128 zero_n = _mm_castsi128_ps(_mm_cmpeq_epi32(n, _mm_setzero_si128()));
    return _mm_andnot_ps(zero_n, _mm_div_ps(_mm_set1_ps(1.0f), _mm_cvtepi32_ps(n)));
}

inline __m128 fabs4(__m128 x) noexcept { return _mm_andnot_ps(_mm_set1_ps(-0.0f), x); }

// channel() on four values.
inline __m128i channel4(__m128 v) noexcept {
    const __m128 t = _mm_mul_ps(v, _mm_set1_ps(255.0f));
    const __m128 half = _mm_or_ps(_mm_and_ps(t, _mm_set1_ps(-0.0f)), _mm_set1_ps(0.5f));
    const __m128 r = _mm_add_ps(t, half);
    // max takes the second operand on NaN: a NaN becomes 0 as in channel().
    const __m128 c = _mm_min_ps(_mm_max_ps(r, _mm_setzero_ps()), _mm_set1_ps(255.0f));
    return _mm_cvttps_epi32(c);
}

// clampf(v, 0, 100): a NaN passes through.
inline __m128 clamp4(__m128 v) noexcept {
    const __m128 hi = _mm_set1_ps(100.0f);
    return select(_mm_cmplt_ps(v, _mm_setzero_ps()), _mm_setzero_ps(), select(_mm_cmpgt_ps(v, hi), hi, v));
}

inline __m128i in_set(__m128i k, int a, int b) noexcept {
    return _mm_or_si128(_mm_cmpeq_epi32(k, _mm_set1_epi32(a)), _mm_cmpeq_epi32(k, _mm_set1_epi32(b)));
}

template <bool Hsl, bool Shift>
bool lerp4(const Color* from, const Middle& mid, Color* out) noexcept {
    __m128i r, g, b;
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i byte = _mm_set1_epi32(0xFF);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(words, byte), _mm_set1_epi32(Color::Rgb))) == 0xFFFF &&
        std::endian::native == std::endian::little) {
        r = _mm_and_si128(_mm_srli_epi32(words, 8), byte);
        g = _mm_and_si128(_mm_srli_epi32(words, 16), byte);
        b = _mm_srli_epi32(words, 24);
    } else {
        const Rgb8 c0 = rgb_of(from[0]), c1 = rgb_of(from[1]), c2 = rgb_of(from[2]), c3 = rgb_of(from[3]);
        r = _mm_setr_epi32(c0.r, c1.r, c2.r, c3.r);
        g = _mm_setr_epi32(c0.g, c1.g, c2.g, c3.g);
        b = _mm_setr_epi32(c0.b, c1.b, c2.b, c3.b);
    }
    const __m128i mx = max_i(r, max_i(g, b)), mn = min_i(r, min_i(g, b));
    const __m128i delta = _mm_sub_epi32(mx, mn);
    const __m128 id = recip4(delta);
    const __m128i ones = _mm_set1_epi32(-1);
    const __m128i rmax = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi32(g, r), _mm_cmpgt_epi32(b, r)), ones);
    const __m128i gmax = _mm_andnot_si128(_mm_or_si128(rmax, _mm_cmpgt_epi32(b, g)), ones);
    const __m128i num = select_i(rmax, _mm_sub_epi32(g, b), select_i(gmax, _mm_sub_epi32(b, r), _mm_sub_epi32(r, g)));
    const __m128 off_r = _mm_and_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(b, g)), _mm_set1_ps(6.0f));
    const __m128 off = select(_mm_castsi128_ps(rmax), off_r,
                              select(_mm_castsi128_ps(gmax), _mm_set1_ps(2.0f), _mm_set1_ps(4.0f)));
    const __m128 ph = _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(num), id), off), _mm_set1_ps(60.0f));
    __m128 ps, px;
    if constexpr (Hsl) {
        const __m128i sum = _mm_add_epi32(mx, mn);
        const __m128i d = _mm_sub_epi32(sum, _mm_set1_epi32(255));
        const __m128i sign = _mm_srai_epi32(d, 31);
        const __m128i den = _mm_sub_epi32(_mm_set1_epi32(255), _mm_sub_epi32(_mm_xor_si128(d, sign), sign));
        ps = _mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(delta), _mm_set1_ps(100.0f)), recip4(den));
        px = _mm_mul_ps(_mm_cvtepi32_ps(sum), _mm_set1_ps(kL));
    } else {
        ps = _mm_mul_ps(_mm_mul_ps(_mm_cvtepi32_ps(delta), _mm_set1_ps(100.0f)), recip4(mx));
        px = _mm_mul_ps(_mm_cvtepi32_ps(mx), _mm_set1_ps(kV));
    }
    const __m128 c360 = _mm_set1_ps(360.0f), zero = _mm_setzero_ps();
    __m128 h, s, x;
    if constexpr (Shift) {
        // An HSL shift: the hue wrapped here and once more on the way back, as shift_hsl does.
        const __m128 h1 = _mm_add_ps(ph, _mm_set1_ps(mid.d[0]));
        const __m128 ok = _mm_and_ps(_mm_cmpgt_ps(h1, _mm_set1_ps(-360.0f)), _mm_cmplt_ps(h1, _mm_set1_ps(720.0f)));
        if (_mm_movemask_ps(ok) != 0xF) return false;
        const __m128 r1 = _mm_sub_ps(h1, _mm_and_ps(_mm_cmpge_ps(h1, c360), c360));
        const __m128 y1 = _mm_add_ps(r1, c360);
        const __m128 z1 = _mm_sub_ps(y1, _mm_and_ps(_mm_cmpge_ps(y1, c360), c360));
        h = _mm_sub_ps(z1, _mm_and_ps(_mm_cmpge_ps(z1, c360), c360));
        s = clamp4(_mm_add_ps(ps, _mm_set1_ps(mid.d[1])));
        x = clamp4(_mm_add_ps(px, _mm_set1_ps(mid.d[2])));
    } else {
        const Hsx& q = mid.q;
        const __m128 a = _mm_set1_ps(mid.alpha);
        __m128 dh = _mm_sub_ps(_mm_set1_ps(q.h), ph);
        const __m128 adj = select(_mm_cmpgt_ps(dh, _mm_set1_ps(180.0f)), c360,
                                  _mm_and_ps(_mm_cmplt_ps(dh, _mm_set1_ps(-180.0f)), _mm_set1_ps(-360.0f)));
        dh = _mm_sub_ps(dh, adj);
        h = _mm_add_ps(ph, _mm_mul_ps(dh, a));
        h = _mm_sub_ps(h, _mm_and_ps(_mm_cmplt_ps(h, zero), _mm_set1_ps(-360.0f)));
        h = _mm_sub_ps(h, _mm_and_ps(_mm_cmpge_ps(h, c360), c360));
        s = _mm_add_ps(ps, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(q.s), ps), a));
        x = _mm_add_ps(px, _mm_mul_ps(_mm_sub_ps(_mm_set1_ps(q.x), px), a));
    }

    // To RGB. The wrap: every lane must lie in -360..720 (NaN lanes do not).
    const __m128 in_range = _mm_and_ps(_mm_cmpgt_ps(h, _mm_set1_ps(-360.0f)), _mm_cmplt_ps(h, _mm_set1_ps(720.0f)));
    if (_mm_movemask_ps(in_range) != 0xF) return false;
    const __m128 wr = _mm_sub_ps(h, _mm_and_ps(_mm_cmpge_ps(h, c360), c360));
    const __m128 wy = _mm_add_ps(wr, c360);
    const __m128 wz = _mm_sub_ps(wy, _mm_and_ps(_mm_cmpge_ps(wy, c360), c360));
    const __m128 wh = _mm_sub_ps(wz, _mm_and_ps(_mm_cmpge_ps(wz, c360), c360));
    s = _mm_div_ps(s, _mm_set1_ps(100.0f));
    x = _mm_div_ps(x, _mm_set1_ps(100.0f));
    const __m128 hh = _mm_div_ps(wh, _mm_set1_ps(60.0f));
    const __m128i k = _mm_cvttps_epi32(_mm_max_ps(hh, zero));
    const __m128 one = _mm_set1_ps(1.0f);
    __m128i red, green, blue, grey_v;
    __m128 grey_mask;
    if constexpr (Hsl) {
        const __m128 l = x;
        const __m128 c = _mm_mul_ps(_mm_sub_ps(one, fabs4(_mm_sub_ps(_mm_mul_ps(_mm_set1_ps(2.0f), l), one))), s);
        const __m128 m = _mm_sub_ps(l, _mm_mul_ps(c, _mm_set1_ps(0.5f)));
        const __m128 f = _mm_sub_ps(hh, _mm_cvtepi32_ps(k));
        const __m128 h2 = _mm_add_ps(_mm_cvtepi32_ps(_mm_and_si128(k, _mm_set1_epi32(1))), f);
        const __m128 xx = _mm_mul_ps(c, _mm_sub_ps(one, fabs4(_mm_sub_ps(h2, one))));
        const __m128i A = channel4(_mm_add_ps(c, m)), B = channel4(_mm_add_ps(xx, m)), C = channel4(m);
        // Sextants 0..5 order (A B C), (B A C), (C A B), (C B A), (B C A), (A C B); 6 counts as 5.
        const __m128i kk = min_i(k, _mm_set1_epi32(5));
        red = select_i(in_set(kk, 0, 5), A, select_i(in_set(kk, 1, 4), B, C));
        green = select_i(in_set(kk, 1, 2), A, select_i(in_set(kk, 0, 3), B, C));
        blue = select_i(in_set(kk, 3, 4), A, select_i(in_set(kk, 2, 5), B, C));
        grey_v = channel4(l);
        grey_mask = _mm_cmpeq_ps(s, zero);
    } else {
        const __m128 v = x;
        const __m128 f = _mm_sub_ps(hh, _mm_cvtepi32_ps(k));
        const __m128 pp = _mm_mul_ps(v, _mm_sub_ps(one, s));
        const __m128 qq = _mm_mul_ps(v, _mm_sub_ps(one, _mm_mul_ps(s, f)));
        const __m128 tt = _mm_mul_ps(v, _mm_sub_ps(one, _mm_mul_ps(s, _mm_sub_ps(one, f))));
        const __m128i V = channel4(v), T = channel4(tt), P = channel4(pp), Q = channel4(qq);
        // Sextants 0..5 order (V T P), (Q V P), (P V T), (P Q V), (T P V), (V P Q); 6 counts as 5.
        const __m128i kk = min_i(k, _mm_set1_epi32(5));
        const __m128i k0 = _mm_cmpeq_epi32(kk, _mm_setzero_si128()), k1 = _mm_cmpeq_epi32(kk, _mm_set1_epi32(1)),
                      k2 = _mm_cmpeq_epi32(kk, _mm_set1_epi32(2)), k3 = _mm_cmpeq_epi32(kk, _mm_set1_epi32(3)),
                      k4 = _mm_cmpeq_epi32(kk, _mm_set1_epi32(4));
        red = select_i(_mm_or_si128(k2, k3), P, select_i(k1, Q, select_i(k4, T, V)));
        green = select_i(_mm_or_si128(k1, k2), V, select_i(k0, T, select_i(k3, Q, P)));
        blue = select_i(_mm_or_si128(k0, k1), P, select_i(k2, T, select_i(_mm_or_si128(k3, k4), V, Q)));
        grey_v = V;
        grey_mask = _mm_cmple_ps(s, zero);
    }
    const __m128i gm = _mm_castps_si128(grey_mask);
    red = select_i(gm, grey_v, red);
    green = select_i(gm, grey_v, green);
    blue = select_i(gm, grey_v, blue);
    if constexpr (std::endian::native == std::endian::little) {
        const __m128i colours = _mm_or_si128(
            _mm_or_si128(_mm_set1_epi32(Color::Rgb), _mm_slli_epi32(red, 8)),
            _mm_or_si128(_mm_slli_epi32(green, 16), _mm_slli_epi32(blue, 24)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), colours);
    } else {
        alignas(16) std::uint32_t rr[4], gg[4], bb[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(rr), red);
        _mm_store_si128(reinterpret_cast<__m128i*>(gg), green);
        _mm_store_si128(reinterpret_cast<__m128i*>(bb), blue);
        for (int i = 0; i < 4; ++i)
            out[i] = Color::rgb(static_cast<std::uint8_t>(rr[i]), static_cast<std::uint8_t>(gg[i]), static_cast<std::uint8_t>(bb[i]));
    }
    return true;
}



#if TARVO_FX_AVX2
// The same eight colours at a time, on processors that have AVX2.
inline __attribute__((target("avx2"))) __m256 select8(__m256 mask, __m256 yes, __m256 no) noexcept {
    return _mm256_or_ps(_mm256_and_ps(mask, yes), _mm256_andnot_ps(mask, no));
}
inline __attribute__((target("avx2"))) __m256i select_i8(__m256i mask, __m256i yes, __m256i no) noexcept {
    return _mm256_or_si256(_mm256_and_si256(mask, yes), _mm256_andnot_si256(mask, no));
}
inline __attribute__((target("avx2"))) __m256i max_i8(__m256i a, __m256i b) noexcept { return select_i8(_mm256_cmpgt_epi32(a, b), a, b); }
inline __attribute__((target("avx2"))) __m256i min_i8(__m256i a, __m256i b) noexcept { return select_i8(_mm256_cmpgt_epi32(a, b), b, a); }

// 1 / n, and 0 for n = 0, as kRecip has it.
inline __attribute__((target("avx2"))) __m256 recip8(__m256i n) noexcept {
    const __m256 zero_n = _mm256_castsi256_ps(_mm256_cmpeq_epi32(n, _mm256_setzero_si256()));
    return _mm256_andnot_ps(zero_n, _mm256_div_ps(_mm256_set1_ps(1.0f), _mm256_cvtepi32_ps(n)));
}

inline __attribute__((target("avx2"))) __m256 fabs8(__m256 x) noexcept { return _mm256_andnot_ps(_mm256_set1_ps(-0.0f), x); }

// channel() on four values.
inline __attribute__((target("avx2"))) __m256i channel8(__m256 v) noexcept {
    const __m256 t = _mm256_mul_ps(v, _mm256_set1_ps(255.0f));
    const __m256 half = _mm256_or_ps(_mm256_and_ps(t, _mm256_set1_ps(-0.0f)), _mm256_set1_ps(0.5f));
    const __m256 r = _mm256_add_ps(t, half);
    // max takes the second operand on NaN: a NaN becomes 0 as in channel().
    const __m256 c = _mm256_min_ps(_mm256_max_ps(r, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
    return _mm256_cvttps_epi32(c);
}

// clampf(v, 0, 100): a NaN passes through.
inline __attribute__((target("avx2"))) __m256 clamp8(__m256 v) noexcept {
    const __m256 hi = _mm256_set1_ps(100.0f);
    return select8(_mm256_cmp_ps(v, _mm256_setzero_ps(), _CMP_LT_OQ), _mm256_setzero_ps(), select8(_mm256_cmp_ps(v, hi, _CMP_GT_OQ), hi, v));
}

inline __attribute__((target("avx2"))) __m256i in_set8(__m256i k, int a, int b) noexcept {
    return _mm256_or_si256(_mm256_cmpeq_epi32(k, _mm256_set1_epi32(a)), _mm256_cmpeq_epi32(k, _mm256_set1_epi32(b)));
}

template <bool Hsl, bool Shift>
__attribute__((target("avx2"))) bool lerp8(const Color* from, const Middle& mid, Color* out) noexcept {
    __m256i r, g, b;
    const __m256i words = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
    const __m256i byte = _mm256_set1_epi32(0xFF);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(words, byte), _mm256_set1_epi32(Color::Rgb))) == -1 &&
        std::endian::native == std::endian::little) {
        r = _mm256_and_si256(_mm256_srli_epi32(words, 8), byte);
        g = _mm256_and_si256(_mm256_srli_epi32(words, 16), byte);
        b = _mm256_srli_epi32(words, 24);
    } else {
        alignas(32) std::int32_t rr[8], gg[8], bb[8];
        for (int i = 0; i < 8; ++i) {
            const Rgb8 c = rgb_of(from[i]);
            rr[i] = c.r;
            gg[i] = c.g;
            bb[i] = c.b;
        }
        r = _mm256_load_si256(reinterpret_cast<const __m256i*>(rr));
        g = _mm256_load_si256(reinterpret_cast<const __m256i*>(gg));
        b = _mm256_load_si256(reinterpret_cast<const __m256i*>(bb));
    }
    const __m256i mx = max_i8(r, max_i8(g, b)), mn = min_i8(r, min_i8(g, b));
    const __m256i delta = _mm256_sub_epi32(mx, mn);
    const __m256 id = recip8(delta);
    const __m256i ones = _mm256_set1_epi32(-1);
    const __m256i rmax = _mm256_andnot_si256(_mm256_or_si256(_mm256_cmpgt_epi32(g, r), _mm256_cmpgt_epi32(b, r)), ones);
    const __m256i gmax = _mm256_andnot_si256(_mm256_or_si256(rmax, _mm256_cmpgt_epi32(b, g)), ones);
    const __m256i num = select_i8(rmax, _mm256_sub_epi32(g, b), select_i8(gmax, _mm256_sub_epi32(b, r), _mm256_sub_epi32(r, g)));
    const __m256 off_r = _mm256_and_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(b, g)), _mm256_set1_ps(6.0f));
    const __m256 off = select8(_mm256_castsi256_ps(rmax), off_r,
                              select8(_mm256_castsi256_ps(gmax), _mm256_set1_ps(2.0f), _mm256_set1_ps(4.0f)));
    const __m256 ph = _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(num), id), off), _mm256_set1_ps(60.0f));
    __m256 ps, px;
    if constexpr (Hsl) {
        const __m256i sum = _mm256_add_epi32(mx, mn);
        const __m256i d = _mm256_sub_epi32(sum, _mm256_set1_epi32(255));
        const __m256i sign = _mm256_srai_epi32(d, 31);
        const __m256i den = _mm256_sub_epi32(_mm256_set1_epi32(255), _mm256_sub_epi32(_mm256_xor_si256(d, sign), sign));
        ps = _mm256_mul_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(delta), _mm256_set1_ps(100.0f)), recip8(den));
        px = _mm256_mul_ps(_mm256_cvtepi32_ps(sum), _mm256_set1_ps(kL));
    } else {
        ps = _mm256_mul_ps(_mm256_mul_ps(_mm256_cvtepi32_ps(delta), _mm256_set1_ps(100.0f)), recip8(mx));
        px = _mm256_mul_ps(_mm256_cvtepi32_ps(mx), _mm256_set1_ps(kV));
    }
    const __m256 c360 = _mm256_set1_ps(360.0f), zero = _mm256_setzero_ps();
    __m256 h, s, x;
    if constexpr (Shift) {
        // An HSL shift: the hue wrapped here and once more on the way back, as shift_hsl does.
        const __m256 h1 = _mm256_add_ps(ph, _mm256_set1_ps(mid.d[0]));
        const __m256 ok = _mm256_and_ps(_mm256_cmp_ps(h1, _mm256_set1_ps(-360.0f), _CMP_GT_OQ), _mm256_cmp_ps(h1, _mm256_set1_ps(720.0f), _CMP_LT_OQ));
        if (_mm256_movemask_ps(ok) != 0xFF) return false;
        const __m256 r1 = _mm256_sub_ps(h1, _mm256_and_ps(_mm256_cmp_ps(h1, c360, _CMP_GE_OQ), c360));
        const __m256 y1 = _mm256_add_ps(r1, c360);
        const __m256 z1 = _mm256_sub_ps(y1, _mm256_and_ps(_mm256_cmp_ps(y1, c360, _CMP_GE_OQ), c360));
        h = _mm256_sub_ps(z1, _mm256_and_ps(_mm256_cmp_ps(z1, c360, _CMP_GE_OQ), c360));
        s = clamp8(_mm256_add_ps(ps, _mm256_set1_ps(mid.d[1])));
        x = clamp8(_mm256_add_ps(px, _mm256_set1_ps(mid.d[2])));
    } else {
        const Hsx& q = mid.q;
        const __m256 a = _mm256_set1_ps(mid.alpha);
        __m256 dh = _mm256_sub_ps(_mm256_set1_ps(q.h), ph);
        const __m256 adj = select8(_mm256_cmp_ps(dh, _mm256_set1_ps(180.0f), _CMP_GT_OQ), c360,
                                  _mm256_and_ps(_mm256_cmp_ps(dh, _mm256_set1_ps(-180.0f), _CMP_LT_OQ), _mm256_set1_ps(-360.0f)));
        dh = _mm256_sub_ps(dh, adj);
        h = _mm256_add_ps(ph, _mm256_mul_ps(dh, a));
        h = _mm256_sub_ps(h, _mm256_and_ps(_mm256_cmp_ps(h, zero, _CMP_LT_OQ), _mm256_set1_ps(-360.0f)));
        h = _mm256_sub_ps(h, _mm256_and_ps(_mm256_cmp_ps(h, c360, _CMP_GE_OQ), c360));
        s = _mm256_add_ps(ps, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(q.s), ps), a));
        x = _mm256_add_ps(px, _mm256_mul_ps(_mm256_sub_ps(_mm256_set1_ps(q.x), px), a));
    }

    // To RGB. The wrap: every lane must lie in -360..720 (NaN lanes do not).
    const __m256 in_range = _mm256_and_ps(_mm256_cmp_ps(h, _mm256_set1_ps(-360.0f), _CMP_GT_OQ), _mm256_cmp_ps(h, _mm256_set1_ps(720.0f), _CMP_LT_OQ));
    if (_mm256_movemask_ps(in_range) != 0xFF) return false;
    const __m256 wr = _mm256_sub_ps(h, _mm256_and_ps(_mm256_cmp_ps(h, c360, _CMP_GE_OQ), c360));
    const __m256 wy = _mm256_add_ps(wr, c360);
    const __m256 wz = _mm256_sub_ps(wy, _mm256_and_ps(_mm256_cmp_ps(wy, c360, _CMP_GE_OQ), c360));
    const __m256 wh = _mm256_sub_ps(wz, _mm256_and_ps(_mm256_cmp_ps(wz, c360, _CMP_GE_OQ), c360));
    s = _mm256_div_ps(s, _mm256_set1_ps(100.0f));
    x = _mm256_div_ps(x, _mm256_set1_ps(100.0f));
    const __m256 hh = _mm256_div_ps(wh, _mm256_set1_ps(60.0f));
    const __m256i k = _mm256_cvttps_epi32(_mm256_max_ps(hh, zero));
    const __m256 one = _mm256_set1_ps(1.0f);
    __m256i red, green, blue, grey_v;
    __m256 grey_mask;
    if constexpr (Hsl) {
        const __m256 l = x;
        const __m256 c = _mm256_mul_ps(_mm256_sub_ps(one, fabs8(_mm256_sub_ps(_mm256_mul_ps(_mm256_set1_ps(2.0f), l), one))), s);
        const __m256 m = _mm256_sub_ps(l, _mm256_mul_ps(c, _mm256_set1_ps(0.5f)));
        const __m256 f = _mm256_sub_ps(hh, _mm256_cvtepi32_ps(k));
        const __m256 h2 = _mm256_add_ps(_mm256_cvtepi32_ps(_mm256_and_si256(k, _mm256_set1_epi32(1))), f);
        const __m256 xx = _mm256_mul_ps(c, _mm256_sub_ps(one, fabs8(_mm256_sub_ps(h2, one))));
        const __m256i A = channel8(_mm256_add_ps(c, m)), B = channel8(_mm256_add_ps(xx, m)), C = channel8(m);
        // Sextants 0..5 order (A B C), (B A C), (C A B), (C B A), (B C A), (A C B); 6 counts as 5.
        const __m256i kk = min_i8(k, _mm256_set1_epi32(5));
        red = select_i8(in_set8(kk, 0, 5), A, select_i8(in_set8(kk, 1, 4), B, C));
        green = select_i8(in_set8(kk, 1, 2), A, select_i8(in_set8(kk, 0, 3), B, C));
        blue = select_i8(in_set8(kk, 3, 4), A, select_i8(in_set8(kk, 2, 5), B, C));
        grey_v = channel8(l);
        grey_mask = _mm256_cmp_ps(s, zero, _CMP_EQ_OQ);
    } else {
        const __m256 v = x;
        const __m256 f = _mm256_sub_ps(hh, _mm256_cvtepi32_ps(k));
        const __m256 pp = _mm256_mul_ps(v, _mm256_sub_ps(one, s));
        const __m256 qq = _mm256_mul_ps(v, _mm256_sub_ps(one, _mm256_mul_ps(s, f)));
        const __m256 tt = _mm256_mul_ps(v, _mm256_sub_ps(one, _mm256_mul_ps(s, _mm256_sub_ps(one, f))));
        const __m256i V = channel8(v), T = channel8(tt), P = channel8(pp), Q = channel8(qq);
        // Sextants 0..5 order (V T P), (Q V P), (P V T), (P Q V), (T P V), (V P Q); 6 counts as 5.
        const __m256i kk = min_i8(k, _mm256_set1_epi32(5));
        const __m256i k0 = _mm256_cmpeq_epi32(kk, _mm256_setzero_si256()), k1 = _mm256_cmpeq_epi32(kk, _mm256_set1_epi32(1)),
                      k2 = _mm256_cmpeq_epi32(kk, _mm256_set1_epi32(2)), k3 = _mm256_cmpeq_epi32(kk, _mm256_set1_epi32(3)),
                      k4 = _mm256_cmpeq_epi32(kk, _mm256_set1_epi32(4));
        red = select_i8(_mm256_or_si256(k2, k3), P, select_i8(k1, Q, select_i8(k4, T, V)));
        green = select_i8(_mm256_or_si256(k1, k2), V, select_i8(k0, T, select_i8(k3, Q, P)));
        blue = select_i8(_mm256_or_si256(k0, k1), P, select_i8(k2, T, select_i8(_mm256_or_si256(k3, k4), V, Q)));
        grey_v = V;
        grey_mask = _mm256_cmp_ps(s, zero, _CMP_LE_OQ);
    }
    const __m256i gm = _mm256_castps_si256(grey_mask);
    red = select_i8(gm, grey_v, red);
    green = select_i8(gm, grey_v, green);
    blue = select_i8(gm, grey_v, blue);
    if constexpr (std::endian::native == std::endian::little) {
        const __m256i colours = _mm256_or_si256(
            _mm256_or_si256(_mm256_set1_epi32(Color::Rgb), _mm256_slli_epi32(red, 8)),
            _mm256_or_si256(_mm256_slli_epi32(green, 16), _mm256_slli_epi32(blue, 24)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), colours);
    } else {
        alignas(32) std::uint32_t rr[8], gg[8], bb[8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(rr), red);
        _mm256_store_si256(reinterpret_cast<__m256i*>(gg), green);
        _mm256_store_si256(reinterpret_cast<__m256i*>(bb), blue);
        for (int i = 0; i < 8; ++i)
            out[i] = Color::rgb(static_cast<std::uint8_t>(rr[i]), static_cast<std::uint8_t>(gg[i]), static_cast<std::uint8_t>(bb[i]));
    }
    return true;
}


#endif
// Runs `from` through the lanes, eight or four at a time, and `scalar` for what is left over
// and for any run of lanes that cannot take it.
template <bool Hsl, bool Shift, typename Scalar>
void run_lanes(const Color* from, Color* out, std::size_t n, const Middle& mid, bool wide, Scalar&& scalar) noexcept {
    static_assert(sizeof(Color) == 4 && alignof(Color) == 1);
    std::size_t i = 0;
#if TARVO_FX_AVX2
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (wide && avx2)
        for (; i + 8 <= n; i += 8)
            if (!lerp8<Hsl, Shift>(from + i, mid, out + i))
                for (std::size_t j = i; j < i + 8; ++j) out[j] = scalar(from[j]);
#endif
    for (; i + 4 <= n; i += 4)
        if (!lerp4<Hsl, Shift>(from + i, mid, out + i))
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
