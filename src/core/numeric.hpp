// The numeric rules the toolkit relies on, in one place: saturating unsigned arithmetic,
// float-to-int casts that saturate (NaN becomes 0), rounding half away from zero.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>

namespace tarvo::core {

template <typename T>
constexpr T sat_add(T a, T b) noexcept {
    static_assert(std::is_unsigned_v<T>);
    T r = static_cast<T>(a + b);
    return r < a ? std::numeric_limits<T>::max() : r;
}

template <typename T>
constexpr T sat_sub(T a, T b) noexcept {
    static_assert(std::is_unsigned_v<T>);
    return a > b ? static_cast<T>(a - b) : T{0};
}

template <typename T>
constexpr T sat_mul(T a, T b) noexcept {
    static_assert(std::is_unsigned_v<T>);
    if (a != 0 && b > std::numeric_limits<T>::max() / a) return std::numeric_limits<T>::max();
    return static_cast<T>(a * b);
}

// Saturating signed 32-bit addition.
constexpr std::int32_t sat_add_i32(std::int32_t a, std::int32_t b) noexcept {
    std::int64_t r = std::int64_t{a} + b;
    if (r > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (r < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

// Clamp any integer into the range of T.
template <typename T, typename U>
constexpr T clamp_to(U v) noexcept {
    using L = std::numeric_limits<T>;
    if constexpr (std::is_signed_v<U> && !std::is_signed_v<T>) {
        if (v < 0) return T{0};
        if (static_cast<std::make_unsigned_t<U>>(v) > L::max()) return L::max();
        return static_cast<T>(v);
    } else if constexpr (!std::is_signed_v<U> && std::is_signed_v<T>) {
        if (v > static_cast<std::make_unsigned_t<T>>(L::max())) return L::max();
        return static_cast<T>(v);
    } else {
        if (v > L::max()) return L::max();
        if (v < L::min()) return L::min();
        return static_cast<T>(v);
    }
}

// Float to integer the way a saturating cast does it: truncate toward zero, clamp to the
// integer's range, NaN gives 0.
template <typename T, typename F>
constexpr T sat_cast(F f) noexcept {
    static_assert(std::is_floating_point_v<F> && std::is_integral_v<T>);
    using L = std::numeric_limits<T>;
    if (std::isnan(f)) return T{0};
    if (f <= static_cast<F>(L::min())) return L::min();
    if (f >= static_cast<F>(L::max())) return L::max();
    return static_cast<T>(f);
}

// Round half away from zero (the rounding of `f64::round`).
inline double round_half_away(double v) noexcept { return std::round(v); }
inline float round_half_away(float v) noexcept { return std::round(v); }

// Round half to even (the rounding of `f64::round_ties_even`).
inline double round_half_even(double v) noexcept { return std::nearbyint(v); }
inline float round_half_even(float v) noexcept { return std::nearbyint(v); }

// Narrow a double to a float, rounding to nearest; magnitudes past the float range become
// infinities (a plain cast would be undefined there).
inline float narrow_to_float(double v) noexcept {
    constexpr double kOverflow = 0x1.ffffffp127;  // halfway between FLT_MAX and 2^128
    if (std::isnan(v)) return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(v) >= kOverflow)
        return std::signbit(v) ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// Fused multiply-add where the arithmetic is defined with one rounding.
inline double fused_mul_add(double a, double b, double c) noexcept { return std::fma(a, b, c); }

// The least of the values offered, the key it came with, and the next least (a value equal to
// the least counts as the next too).
template <typename Key>
struct TwoLeast {
    double least, next;
    Key key;
    constexpr void offer(double value, Key k) noexcept {
        if (value < least) {
            next = least;
            least = value;
            key = k;
        } else if (value < next) {
            next = value;
        }
    }
};

}  // namespace tarvo::core
