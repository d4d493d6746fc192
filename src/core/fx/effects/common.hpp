// Pieces the effect families share: the text of a timer, of a wrapped effect, and the
// bookkeeping of nesting.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/fx/dsl.hpp"
#include "core/fx/effect.hpp"

namespace tarvo::core::fx::detail {

// A timer as its text shows it: a reversed timer shows the counterpart of its curve, so that a
// timer mirrored when its effect was built shows the curve it was given.
inline dsl::ExprPtr timer_expr(const EffectTimer& t) {
    const Interpolation shown = t.reversed ? flipped(t.interpolation) : t.interpolation;
    return dsl::timer(t.total, kInterpolationNames[static_cast<std::size_t>(shown)]);
}

inline dsl::ExprPtr fx_call(std::string_view name, std::vector<dsl::ExprPtr> args) {
    std::string n = "fx::";
    n += name;
    return dsl::call(std::move(n), std::move(args));
}

inline dsl::ExprPtr motion_expr(Motion m) { return dsl::path("Motion", kMotionNames[static_cast<std::size_t>(m)]); }

// The text of an effect held by a wrapper.
inline dsl::ExprPtr expr_of(const Effect& e) { return e.to_dsl(); }

inline std::uint32_t depth_of(const Effect& e) { return e.shader().depth(); }
inline std::uint64_t count_of(const Effect& e) { return e.shader().node_count(); }


}  // namespace tarvo::core::fx::detail
