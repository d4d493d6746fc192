#include "core/fx/timer.hpp"

#include <cmath>

#include "core/fx/math.hpp"
#include "core/numeric.hpp"

namespace tarvo::core::fx {

namespace {

constexpr float kC1 = 1.70158f;
constexpr float kC2 = kC1 * 1.525f;
constexpr float kC3 = kC1 + 1.0f;
constexpr float kC4 = kTau / 3.0f;
constexpr float kSpringFreq = 4.5f * kTau;

float bounce_out(float t) noexcept {
    constexpr float n = 7.5625f, d = 2.75f;
    if (t < 1.0f / d) return n * t * t;
    if (t < 2.0f / d) {
        const float u = t - 1.5f / d;
        return n * u * u + 0.75f;
    }
    if (t < 2.5f / d) {
        const float u = t - 2.25f / d;
        return n * u * u + 0.9375f;
    }
    const float u = t - 2.625f / d;
    return n * u * u + 0.984375f;
}

float circ_out(float t) noexcept { return msqrt(1.0f - (t - 1.0f) * (t - 1.0f)); }

float elastic_out(float t) noexcept {
    if (t == 0.0f) return 0.0f;
    if (t == 1.0f) return 1.0f;
    return std::pow(2.0f, -10.0f * t) * psin(t * kC4 - kPi / 2.0f) + 1.0f;
}

float expo_in(float t) noexcept {
    if (t == 0.0f) return 0.0f;
    return std::pow(2.0f, 10.0f * (t - 1.0f));
}

}  // namespace

float ease(Interpolation curve, float t) noexcept {
    using I = Interpolation;
    switch (curve) {
        case I::BackIn: return kC3 * t * t * t - kC1 * t * t;
        case I::BackOut: return 1.0f + kC3 * powi(t - 1.0f, 3) + kC1 * powi(t - 1.0f, 2);
        case I::BackInOut:
            if (t < 0.5f) return powi(2.0f * t, 2) * ((kC2 + 1.0f) * 2.0f * t - kC2) / 2.0f;
            return (powi(2.0f * t - 2.0f, 2) * ((kC2 + 1.0f) * (t * 2.0f - 2.0f) + kC2) + 2.0f) / 2.0f;
        case I::BounceIn: return 1.0f - bounce_out(1.0f - t);
        case I::BounceOut: return bounce_out(t);
        case I::BounceInOut:
            if (t < 0.5f) return (1.0f - bounce_out(1.0f - 2.0f * t)) / 2.0f;
            return (1.0f + bounce_out(2.0f * t - 1.0f)) / 2.0f;
        case I::CircIn: return 1.0f - msqrt(1.0f - t * t);
        case I::CircOut: return circ_out(t);
        case I::CircInOut:
            if (t < 0.5f) return (1.0f - circ_out(1.0f - 2.0f * t)) / 2.0f;
            return (circ_out(2.0f * t - 1.0f) + 1.0f) / 2.0f;
        case I::CubicIn: return t * t * t;
        case I::CubicOut: return 1.0f - powi(1.0f - t, 3);
        case I::CubicInOut:
            if (t < 0.5f) return 4.0f * t * t * t;
            return 1.0f - powi(-2.0f * t + 2.0f, 3) / 2.0f;
        case I::ElasticIn:
            if (t == 0.0f) return 0.0f;
            if (t == 1.0f) return 1.0f;
            return -std::pow(2.0f, 10.0f * (t - 1.0f)) * psin((t - 1.0f) * kC4 - kPi / 2.0f);
        case I::ElasticOut: return elastic_out(t);
        case I::ElasticInOut:
            if (t == 0.0f) return 0.0f;
            if (t == 1.0f) return 1.0f;
            if (t < 0.5f) return -(elastic_out(1.0f - 2.0f * t) - 1.0f) / 2.0f;
            return (elastic_out(2.0f * t - 1.0f) + 1.0f) / 2.0f;
        case I::ExpoIn: return expo_in(t);
        case I::ExpoOut:
            if (t == 1.0f) return 1.0f;
            return 1.0f - std::pow(2.0f, -10.0f * t);
        case I::ExpoInOut:
            if (t == 0.0f) return 0.0f;
            if (t == 1.0f) return 1.0f;
            if (t < 0.5f) return expo_in(2.0f * t) / 2.0f;
            return (2.0f - expo_in(2.0f * (1.0f - t))) / 2.0f;
        case I::Linear: return t;
        case I::QuadIn: return t * t;
        case I::QuadOut: return 1.0f - (1.0f - t) * (1.0f - t);
        case I::QuadInOut:
            if (t < 0.5f) return 2.0f * t * t;
            return 1.0f - powi(-2.0f * t + 2.0f, 2) / 2.0f;
        case I::QuartIn: return t * t * t * t;
        case I::QuartOut: return 1.0f - powi(1.0f - t, 4);
        case I::QuartInOut:
            if (t < 0.5f) return 8.0f * t * t * t * t;
            return 1.0f - powi(-2.0f * t + 2.0f, 4) / 2.0f;
        case I::QuintIn: return t * t * t * t * t;
        case I::QuintOut: return 1.0f - powi(1.0f - t, 5);
        case I::QuintInOut:
            if (t < 0.5f) return 16.0f * t * t * t * t * t;
            return 1.0f - powi(-2.0f * t + 2.0f, 5) / 2.0f;
        case I::Reverse: return 1.0f - t;
        case I::SmoothStep: return t * t * (3.0f - 2.0f * t);
        case I::Spring: return 1.0f - std::pow(kE, -6.0f * t) * pcos(kSpringFreq * t);
        case I::SineIn: return 1.0f - wave_sin(0.25f + t * 0.25f);
        case I::SineOut: return wave_sin(t * 0.25f);
        case I::SineInOut: return -pcos(t * kPi) / 2.0f + 0.5f;
    }
    return t;
}

Interpolation flipped(Interpolation curve) noexcept {
    using I = Interpolation;
    switch (curve) {
        case I::BackIn: return I::BackOut;
        case I::BackOut: return I::BackIn;
        case I::BounceIn: return I::BounceOut;
        case I::BounceOut: return I::BounceIn;
        case I::CircIn: return I::CircOut;
        case I::CircOut: return I::CircIn;
        case I::CubicIn: return I::CubicOut;
        case I::CubicOut: return I::CubicIn;
        case I::ElasticIn: return I::ElasticOut;
        case I::ElasticOut: return I::ElasticIn;
        case I::ExpoIn: return I::ExpoOut;
        case I::ExpoOut: return I::ExpoIn;
        case I::QuadIn: return I::QuadOut;
        case I::QuadOut: return I::QuadIn;
        case I::QuartIn: return I::QuartOut;
        case I::QuartOut: return I::QuartIn;
        case I::QuintIn: return I::QuintOut;
        case I::QuintOut: return I::QuintIn;
        case I::SineIn: return I::SineOut;
        case I::SineOut: return I::SineIn;
        default: return curve;
    }
}

float EffectTimer::alpha() const noexcept {
    if (total == 0) return reversed ? 0.0f : 1.0f;
    const float r = static_cast<float>(remaining) / static_cast<float>(total);
    return ease(interpolation, reversed ? r : 1.0f - r);
}

EffectTimer EffectTimer::times(std::uint32_t n) const noexcept {
    return EffectTimer::from_ms(sat_mul(total, n), interpolation);
}

}  // namespace tarvo::core::fx
