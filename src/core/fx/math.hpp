// The single-precision primitives the effects compute with. They are deliberately rough (the
// root is a bit trick, sine and cosine are a parabola wave) because every animation frame must
// come out the same on every machine; never replace them with the C library's functions.
// Everything here relies on the build compiling without floating-point contraction.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "core/numeric.hpp"

namespace tarvo::core::fx {

inline constexpr float kPi = 3.14159265f;
inline constexpr float kTau = 2.0f * kPi;
inline constexpr float kE = 2.71828183f;
inline constexpr float kInvTau = 0.15915494f;

// Square root by halving the exponent bits: exact for even powers of two, about 6 % off
// elsewhere. NaN for negative input and NaN.
inline float msqrt(float x) noexcept {
    if (!(x >= 0.0f)) return std::numeric_limits<float>::quiet_NaN();
    return std::bit_cast<float>((std::bit_cast<std::uint32_t>(x) + 0x3F800000u) >> 1);
}

// Rounds half away from zero through a saturating 32-bit conversion.
inline float mround(float x) noexcept {
    return static_cast<float>(sat_cast<std::int32_t>(x + std::copysign(0.5f, x)));
}

inline float mfloor(float x) noexcept {
    const float t = static_cast<float>(sat_cast<std::int32_t>(x));
    return x < t ? t - 1.0f : t;
}

inline float mceil(float x) noexcept { return -mfloor(-x); }

inline float mfract(float x) noexcept { return x - std::trunc(x); }

// A sine-shaped wave of period 1: 0 at 0, 1 at 0.25, 0 at 0.5, -1 at 0.75.
inline float wave_sin(float t) noexcept {
    float f = mfract(t);
    if (f < 0.0f) f += 1.0f;
    const float p = 1.0f - 2.0f * f;
    return 4.0f * p * (1.0f - std::fabs(p));
}

inline float psin(float x) noexcept { return wave_sin(x * kInvTau); }
inline float pcos(float x) noexcept { return wave_sin(x * kInvTau + 0.25f); }

// Integer power by repeated squaring (the exact product order matters for bit-equal results).
inline float powi(float a, std::int32_t n) noexcept {
    const bool negative = n < 0;
    std::int64_t k = n;
    float r = 1.0f;
    for (;;) {
        if (k % 2 != 0) r = r * a;
        k /= 2;
        if (k == 0) break;
        a = a * a;
    }
    return negative ? 1.0f / r : r;
}

inline float clamp01(float v) noexcept {
    // NaN passes through.
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

inline float clampf(float v, float lo, float hi) noexcept {
    if (v < lo) return lo;
    if (v > hi) return hi;
    return v;
}

// The larger of two floats where a NaN operand is ignored.
inline float fmaxf_nan(float a, float b) noexcept {
    if (std::isnan(a)) return b;
    if (std::isnan(b)) return a;
    return a < b ? b : a;
}

}  // namespace tarvo::core::fx
