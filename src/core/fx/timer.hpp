// An effect's clock and the easing curves that turn its elapsed time into progress.
#pragma once

#include <cstdint>
#include <optional>

#include "core/fx/enums.hpp"

namespace tarvo::core::fx {

// The eased value of linear progress `t` (usually 0..1; curves are not clamped, so Back,
// Elastic and Spring leave 0..1).
float ease(Interpolation curve, float t) noexcept;

// In <-> Out for the curve families that have both; the others stay as they are.
Interpolation flipped(Interpolation curve) noexcept;

// A span of time in whole milliseconds.
struct Duration {
    std::uint32_t ms = 0;
    friend constexpr bool operator==(const Duration&, const Duration&) = default;
};

struct EffectTimer {
    std::uint32_t remaining = 0;  // milliseconds left
    std::uint32_t total = 0;      // milliseconds the timer lasts
    Interpolation interpolation = Interpolation::Linear;
    bool reversed = false;

    static constexpr EffectTimer from_ms(std::uint32_t ms, Interpolation curve) noexcept {
        return EffectTimer{ms, ms, curve, false};
    }

    // Advances by `ms`: nothing when the timer had that much left, else the part of `ms` it did
    // not use (the timer then stands at 0).
    std::optional<std::uint32_t> process(std::uint32_t ms) noexcept {
        if (remaining >= ms) {
            remaining -= ms;
            return std::nullopt;
        }
        const std::uint32_t rest = ms - remaining;
        remaining = 0;
        return rest;
    }

    // Eased progress: from the curve at 0 (fresh) to the curve at 1 (done); a reversed timer
    // runs from 1 down to 0. A zero-length timer gives 1, or 0 when reversed, without easing.
    float alpha() const noexcept;

    bool done() const noexcept { return remaining == 0; }
    bool started() const noexcept { return remaining != total; }
    void reset() noexcept { remaining = total; }

    // Copy that runs the other way.
    EffectTimer reversed_copy() const noexcept {
        EffectTimer t = *this;
        t.reversed = !t.reversed;
        return t;
    }
    // Copy that runs the other way on the flipped curve, so that it retraces the original.
    EffectTimer mirrored() const noexcept {
        EffectTimer t = reversed_copy();
        t.interpolation = flipped(interpolation);
        return t;
    }
    // A fresh timer `n` times as long (saturating at the largest count), same curve, forward.
    EffectTimer times(std::uint32_t n) const noexcept;

    friend constexpr bool operator==(const EffectTimer&, const EffectTimer&) = default;
};

}  // namespace tarvo::core::fx
