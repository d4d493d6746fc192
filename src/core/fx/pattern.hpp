// Patterns turn an effect's progress into a progress per cell. The identity pattern gives every
// cell the same progress; the radial pattern spreads it outward from a centre.
#pragma once

#include <cstdint>

#include "core/geometry.hpp"

namespace tarvo::core::fx {

struct RadialPattern {
    float center_x = 0.5f;  // fractions of the effect's area, 0..1
    float center_y = 0.5f;
    float transition_width = 2.0f;  // at least 0.1

    // Centre clamped to 0..1 (NaN kept), width 2.
    static RadialPattern make(float cx, float cy) noexcept;
    static RadialPattern center() noexcept { return {}; }
    // Centre clamped, width floored at 0.1 (NaN becomes 0.1).
    static RadialPattern with_transition(float cx, float cy, float width) noexcept;
};

// A pattern as an effect stores it.
struct Pattern {
    enum class Kind : std::uint8_t { Identity, Radial };
    Kind kind = Kind::Identity;
    RadialPattern radial;

    static Pattern identity() noexcept { return {}; }
    static Pattern of(RadialPattern r) noexcept { return {Kind::Radial, r}; }
    bool is_identity() const noexcept { return kind == Kind::Identity; }
};

// A pattern prepared for one step: the progress `g` of the step over `area` (as the step got it,
// not cut to the buffer). alpha(x, y) is the progress of the cell at (x, y).
class PreparedPattern {
public:
    PreparedPattern(const Pattern& p, float g, Rect area) noexcept;
    float alpha(std::uint16_t x, std::uint16_t y) const noexcept;
    bool is_identity() const noexcept { return identity_; }

private:
    bool identity_;
    float g_;
    float cx_ = 0, cy_ = 0, t0_ = 0, t1_ = 0, inv_ = 0;
};

}  // namespace tarvo::core::fx
