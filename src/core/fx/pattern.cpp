#include "core/fx/pattern.hpp"

#include <cmath>

#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

float clamp_center(float v) noexcept { return clamp01(v); }
float floor_width(float w) noexcept { return fmaxf_nan(w, 0.1f); }

float radial_distance(float dx, float dy) noexcept { return msqrt(dx * dx + 4.0f * dy * dy); }

}  // namespace

RadialPattern RadialPattern::make(float cx, float cy) noexcept {
    return {clamp_center(cx), clamp_center(cy), 2.0f};
}

RadialPattern RadialPattern::with_transition(float cx, float cy, float width) noexcept {
    return {clamp_center(cx), clamp_center(cy), floor_width(width)};
}

PreparedPattern::PreparedPattern(const Pattern& p, float g, Rect area) noexcept
    : identity_(p.is_identity()), g_(g) {
    if (identity_) return;
    const float X = area.x, Y = area.y, W = area.width, H = area.height;
    cx_ = X + p.radial.center_x * W;
    cy_ = Y + p.radial.center_y * H;
    const float w = floor_width(p.radial.transition_width);
    float r = 0.0f;
    const float xs[2] = {X, X + W}, ys[2] = {Y, Y + H};
    for (float cy : ys)
        for (float cx : xs) r = fmaxf_nan(r, radial_distance(cx - cx_, cy - cy_));
    t0_ = g * (r + 2.0f * w) - w;
    t1_ = t0_ + w;
    inv_ = 1.0f / w;
}

float PreparedPattern::alpha(std::uint16_t x, std::uint16_t y) const noexcept {
    if (identity_) return g_;
    const float d = radial_distance(static_cast<float>(x) - cx_, static_cast<float>(y) - cy_);
    if (d <= t0_) return 1.0f;
    if (d <= t1_) return 1.0f - clamp01((d - t0_) * inv_);
    return 0.0f;
}

}  // namespace tarvo::core::fx
