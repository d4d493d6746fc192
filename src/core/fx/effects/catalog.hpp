// The effects the module's constructor functions build, by family. Each function takes the
// values as the caller converted them and returns the effect as it is stored before its first
// step (timers mirrored where the effect runs backwards).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/fx/effect.hpp"
#include "core/style.hpp"

namespace tarvo::core::fx {

// ---- colours (paint and fade live with the core) ----
// Amounts are clamped to -1..1 (NaN kept); darken negates them first. Neither amount given
// panics with "At least one of fg or bg must be Some".
Effect lighten(std::optional<float> fg, std::optional<float> bg, EffectTimer t);
Effect darken(std::optional<float> fg, std::optional<float> bg, EffectTimer t);
// Amounts unclamped; neither given panics as lighten does.
Effect saturate(std::optional<float> fg, std::optional<float> bg, EffectTimer t);
// Shifts of (hue degrees, saturation points, lightness points); neither given panics with
// "At least one of the foreground or background color must be changed".
using HslShift = std::array<float, 3>;
Effect hsl_shift(std::optional<HslShift> fg, std::optional<HslShift> bg, EffectTimer t);

// ---- reveal and motion ----
// The random ones seed their generator from the clock; sweeps start from 0.
Effect dissolve(std::optional<Style> style, EffectTimer t);
Effect coalesce(std::optional<Style> style, EffectTimer t);
Effect slide_in(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t);
Effect slide_out(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t);
Effect sweep_in(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color faded, EffectTimer t);
Effect sweep_out(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color faded, EffectTimer t);

// ---- transforms ----
enum class EvolveForm : std::uint8_t { Plain, Into, From };
Effect evolve(EvolveForm form, EvolveSymbolSet set, EffectTimer t, std::optional<Style> style);
Effect expand(ExpandDirection d, Style style, EffectTimer t);
Effect stretch(Motion m, Style style, EffectTimer t);
Effect explode(float force, float force_rng_factor, EffectTimer t);
// The ranges must be non-empty (min below max); see `glitch_range_error`.
Effect glitch(float ratio, std::uint32_t delay_min, std::uint32_t delay_max, std::uint32_t action_min,
              std::uint32_t action_max, std::optional<CellFilter> filter, Rng rng);
// Why a glitch cannot be built with these ranges, or nothing when it can.
std::optional<std::string> glitch_range_error(std::uint32_t delay_min, std::uint32_t delay_max,
                                              std::uint32_t action_min, std::uint32_t action_max);
Effect translate(Effect inner, float dx, float dy, EffectTimer t);
Effect resize_area(std::optional<Effect> inner, Size initial, EffectTimer t);

// ---- composition and timing ----
Effect sequence(std::vector<Effect> effects);
Effect parallel(std::vector<Effect> effects);
struct Repetition {
    RepeatMode mode = RepeatMode::Forever;
    std::uint32_t value = 0;  // the count or the milliseconds
};
Effect repeat(Effect inner, Repetition plan);
Effect ping_pong(Effect inner);
Effect run_once(Effect inner);
// alpha clamped to 0..1 (NaN kept).
Effect freeze_at(float alpha, bool raw, Effect inner);
Effect sleep_effect(std::uint32_t ms);
Effect delay(std::uint32_t ms, Effect inner);
Effect prolong_start(std::uint32_t ms, Effect inner);
Effect prolong_end(std::uint32_t ms, Effect inner);
// start = max(start, 0) (NaN: 0) at most 1; end = min(end, 1) (NaN: 1) at least 0.
Effect remap_alpha(float start, float end, Effect inner);
// consume_tick() lives with the effect manager (core/fx/manager.hpp).
Effect with_duration(std::uint32_t ms, Effect inner);
Effect never_complete(Effect inner);
Effect timed_never_complete(std::uint32_t ms, Effect inner);

// ---- nesting limits ----
// Effects nest at most this deep and a tree holds at most this many effects; deeper or larger
// trees would exhaust the stack or memory while they are copied, run or written out.
inline constexpr std::uint32_t kMaxNesting = 1000;
inline constexpr std::uint64_t kMaxEffects = std::uint64_t{1} << 20;
// Counts the children of a wrapper being built; `add` says why the wrapper cannot hold one
// more child, or nothing while it can.
class NestingBudget {
public:
    std::optional<std::string> add(const Effect& child);

private:
    std::uint32_t depth_ = 0;  // of the deepest child
    std::uint64_t count_ = 1;  // the wrapper and every effect of its children
};
// Why a wrapper around `children` cannot be built, or nothing when it can.
std::optional<std::string> nesting_error(const std::vector<const Effect*>& children);

}  // namespace tarvo::core::fx
