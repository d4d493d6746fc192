// The effect constructor functions: each converts its arguments left to right, applies the
// defaults and checks of its family and returns a new Effect over the core effect.
#include <optional>
#include <utility>
#include <vector>

#include "bindings/fx.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/effects/paint.hpp"
#include "core/fx/manager.hpp"

namespace tarvo::bindings {

namespace {

namespace fx = core::fx;
using fx::Effect;
using fx::EffectTimer;

PyObject* result(Effect e) { return make_effect(std::move(e)); }

std::uint32_t ms_arg(Args& a, std::size_t i) { return a.get<std::uint32_t>(i); }
float amount(Args& a, std::size_t i) { return a.get<float>(i); }
std::optional<float> optional_amount(Args& a, std::size_t i) { return a.get_or<std::optional<float>>(i, std::nullopt); }
core::Color color(Args& a, std::size_t i) { return a.value<ColorClass>(i); }
core::Style style(Args& a, std::size_t i) { return a.value<StyleClass>(i); }
fx::Motion motion(Args& a, std::size_t i) { return static_cast<fx::Motion>(a.value<MotionClass>(i)); }
Effect effect(Args& a, std::size_t i) { return effect_arg(a, i); }
fx::Interpolation curve(Args& a, std::size_t i) { return interpolation_arg(a, i); }
// (duration_ms, interpolation=None) at i and i + 1, read in that order.
EffectTimer timer_arg(Args& a, std::size_t i) {
    const auto ms = ms_arg(a, i);
    return EffectTimer::from_ms(ms, curve(a, i + 1));
}

// Wrappers refuse trees too deep or too large to copy, run and write out safely.
void check_nesting(const std::vector<const Effect*>& children) {
    if (const auto err = fx::nesting_error(children)) raise(PyExc_ValueError, *err);
}

Effect wrapped(Args& a, std::size_t i) {
    Effect e = effect(a, i);
    check_nesting({&e});
    return e;
}

// ---- colours: (colours..., duration_ms, interpolation=None) ----

PyObject* paint_fn(Args& a) {
    const auto fg = color(a, 0);
    const auto bg = color(a, 1);
    return result(fx::paint(fg, bg, timer_arg(a, 2)));
}

template <bool Foreground>
PyObject* paint_one(Args& a) {
    const auto c = color(a, 0);
    const EffectTimer t = timer_arg(a, 1);
    return result(Foreground ? fx::paint(c, std::nullopt, t) : fx::paint(std::nullopt, c, t));
}

template <bool From>
PyObject* fade_fg_bg(Args& a) {
    const auto fg = color(a, 0);
    const auto bg = color(a, 1);
    const EffectTimer t = timer_arg(a, 2);
    return result(From ? fx::fade_from(fg, bg, t) : fx::fade_to(fg, bg, t));
}

template <bool From>
PyObject* fade_fg(Args& a) {
    const auto c = color(a, 0);
    const EffectTimer t = timer_arg(a, 1);
    return result(From ? fx::fade_from(c, std::nullopt, t) : fx::fade_to(c, std::nullopt, t));
}

using AmountEffect = Effect (*)(std::optional<float>, std::optional<float>, EffectTimer);

// (duration_ms, fg=None, bg=None, interpolation=None)
template <AmountEffect Make>
PyObject* amounts_fn(Args& a) {
    const auto ms = ms_arg(a, 0);
    const auto fg = optional_amount(a, 1);
    const auto bg = optional_amount(a, 2);
    return result(Make(fg, bg, EffectTimer::from_ms(ms, curve(a, 3))));
}

// (fg, duration_ms, interpolation=None) or (bg, ...)
template <AmountEffect Make, bool Foreground>
PyObject* amount_fn(Args& a) {
    const float v = amount(a, 0);
    const EffectTimer t = timer_arg(a, 1);
    return result(Foreground ? Make(v, std::nullopt, t) : Make(std::nullopt, v, t));
}

PyObject* hsl_shift_fn(Args& a) {
    const auto ms = ms_arg(a, 0);
    std::optional<float> v[6];
    for (std::size_t i = 0; i < 6; ++i) v[i] = optional_amount(a, i + 1);
    const fx::Interpolation c = curve(a, 7);
    auto side = [&](std::size_t first, const char* message) -> std::optional<fx::HslShift> {
        const int given = v[first].has_value() + v[first + 1].has_value() + v[first + 2].has_value();
        if (given == 0) return std::nullopt;
        if (given < 3) raise(PyExc_ValueError, message);
        return fx::HslShift{*v[first], *v[first + 1], *v[first + 2]};
    };
    const auto fg = side(0, "fg_h, fg_s, and fg_l must all be provided together");
    const auto bg = side(3, "bg_h, bg_s, and bg_l must all be provided together");
    if (!fg && !bg) raise(PyExc_ValueError, "at least one of foreground or background HSL shift must be provided");
    return result(fx::hsl_shift(fg, bg, EffectTimer::from_ms(ms, c)));
}

template <bool Foreground>
PyObject* hsl_one(Args& a) {
    const fx::HslShift s{amount(a, 0), amount(a, 1), amount(a, 2)};
    const EffectTimer t = timer_arg(a, 3);
    return result(Foreground ? fx::hsl_shift(s, std::nullopt, t) : fx::hsl_shift(std::nullopt, s, t));
}

// ---- reveal and motion ----

template <bool Coalesce>
PyObject* dissolve_fn(Args& a) {
    const EffectTimer t = timer_arg(a, 0);
    return result(Coalesce ? fx::coalesce(std::nullopt, t) : fx::dissolve(std::nullopt, t));
}

template <bool Coalesce>
PyObject* dissolve_style_fn(Args& a) {
    const auto s = style(a, 0);
    const EffectTimer t = timer_arg(a, 1);
    return result(Coalesce ? fx::coalesce(s, t) : fx::dissolve(s, t));
}

using TravelEffect = Effect (*)(fx::Motion, std::uint16_t, std::uint16_t, core::Color, EffectTimer);

template <TravelEffect Make>
PyObject* travel_fn(Args& a) {
    const auto m = motion(a, 0);
    const auto gradient = a.get<std::uint16_t>(1);
    const auto randomness = a.get<std::uint16_t>(2);
    const auto c = color(a, 3);
    return result(Make(m, gradient, randomness, c, timer_arg(a, 4)));
}

// ---- composition and timing ----

// Copies of the items, in order; a list too large for one effect stops before it is copied.
std::vector<Effect> effect_list(Args& a, std::size_t i) {
    fx::NestingBudget budget;
    return bounded_list_arg<EffectClass>(a, i, [&](const Effect& e) { return budget.add(e); });
}

template <bool Parallel>
PyObject* list_fn(Args& a) {
    std::vector<Effect> effects = effect_list(a, 0);
    return result(Parallel ? fx::parallel(std::move(effects)) : fx::sequence(std::move(effects)));
}

PyObject* repeat_fn(Args& a) {
    Effect e = effect(a, 0);
    const auto times = a.get_or<std::optional<std::uint32_t>>(1, std::nullopt);
    const auto duration = a.get_or<std::optional<std::uint32_t>>(2, std::nullopt);
    if (times && duration) raise(PyExc_ValueError, "specify either times or duration_ms, not both");
    check_nesting({&e});
    fx::Repetition plan;
    if (times) plan = {fx::RepeatMode::Times, *times};
    if (duration) plan = {fx::RepeatMode::Duration, *duration};
    return result(fx::repeat(std::move(e), plan));
}

using WrapEffect = Effect (*)(Effect);

template <WrapEffect Make>
PyObject* wrap_fn(Args& a) {
    return result(Make(wrapped(a, 0)));
}

Effect repeat_forever(Effect e) { return fx::repeat(std::move(e), {}); }

using TimedWrap = Effect (*)(std::uint32_t, Effect);

// (duration_ms, effect)
template <TimedWrap Make>
PyObject* timed_wrap_fn(Args& a) {
    const auto ms = ms_arg(a, 0);
    return result(Make(ms, wrapped(a, 1)));
}

PyObject* freeze_at_fn(Args& a) {
    const float alpha = amount(a, 0);
    const bool raw = a.get<bool>(1);
    return result(fx::freeze_at(alpha, raw, wrapped(a, 2)));
}

PyObject* remap_alpha_fn(Args& a) {
    const float start = amount(a, 0);
    const float end = amount(a, 1);
    return result(fx::remap_alpha(start, end, wrapped(a, 2)));
}

PyObject* resize_area_fn(Args& a) {
    const core::Size size = a.value<SizeClass>(0);
    const auto ms = ms_arg(a, 1);
    std::optional<Effect> inner;
    if (a.present(2)) inner = effect(a, 2);
    const fx::Interpolation c = curve(a, 3);
    if (inner) check_nesting({&*inner});
    return result(fx::resize_area(std::move(inner), size, EffectTimer::from_ms(ms, c)));
}

// ---- transforms ----

template <fx::EvolveForm Form>
PyObject* evolve_fn(Args& a) {
    const auto set = static_cast<fx::EvolveSymbolSet>(a.value<EvolveSymbolSetClass>(0));
    const auto ms = ms_arg(a, 1);
    const std::optional<core::Style> s = a.optional_value<StyleClass>(2);
    return result(fx::evolve(Form, set, EffectTimer::from_ms(ms, curve(a, 3)), s));
}

PyObject* expand_fn(Args& a) {
    const auto d = static_cast<fx::ExpandDirection>(a.value<ExpandDirectionClass>(0));
    const auto s = style(a, 1);
    return result(fx::expand(d, s, timer_arg(a, 2)));
}

PyObject* stretch_fn(Args& a) {
    const auto m = motion(a, 0);
    const auto s = style(a, 1);
    return result(fx::stretch(m, s, timer_arg(a, 2)));
}

PyObject* explode_fn(Args& a) {
    const float force = amount(a, 0);
    const float factor = amount(a, 1);
    return result(fx::explode(force, factor, timer_arg(a, 2)));
}

PyObject* glitch_fn(Args& a) {
    const float ratio = amount(a, 0);
    const auto delay_min = ms_arg(a, 1);
    const auto delay_max = ms_arg(a, 2);
    const auto action_min = ms_arg(a, 3);
    const auto action_max = ms_arg(a, 4);
    const std::optional<fx::CellFilter> filter = optional_filter_arg(a, 5);
    const auto seed = a.get_or<std::optional<std::uint32_t>>(6, std::nullopt);
    if (const auto err = fx::glitch_range_error(delay_min, delay_max, action_min, action_max))
        raise(PyExc_ValueError, *err);
    return result(fx::glitch(ratio, delay_min, delay_max, action_min, action_max, filter,
                             seed ? fx::Rng(*seed) : fx::Rng()));
}

PyObject* translate_fn(Args& a) {
    Effect e = effect(a, 0);
    const core::Offset by = a.value<OffsetClass>(1);
    const EffectTimer t = timer_arg(a, 2);
    check_nesting({&e});
    return result(fx::translate(std::move(e), static_cast<float>(by.x), static_cast<float>(by.y), t));
}

}  // namespace

// Each function its own lambda: signatures are kept per callable.
TARVO_FUNCTION(fade_to_fg, "(color, duration_ms, interpolation=None)", [](Args& a) { return fade_fg<false>(a); });
TARVO_FUNCTION(fade_from_fg, "(color, duration_ms, interpolation=None)", [](Args& a) { return fade_fg<true>(a); });
TARVO_FUNCTION(fade_to, "(fg, bg, duration_ms, interpolation=None)", [](Args& a) { return fade_fg_bg<false>(a); });
TARVO_FUNCTION(fade_from, "(fg, bg, duration_ms, interpolation=None)", [](Args& a) { return fade_fg_bg<true>(a); });
TARVO_FUNCTION(paint, "(fg, bg, duration_ms, interpolation=None)", [](Args& a) { return paint_fn(a); });
TARVO_FUNCTION(paint_fg, "(fg, duration_ms, interpolation=None)", [](Args& a) { return paint_one<true>(a); });
TARVO_FUNCTION(paint_bg, "(bg, duration_ms, interpolation=None)", [](Args& a) { return paint_one<false>(a); });
TARVO_FUNCTION(slide_in, "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
               [](Args& a) { return travel_fn<fx::slide_in>(a); });
TARVO_FUNCTION(slide_out, "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
               [](Args& a) { return travel_fn<fx::slide_out>(a); });
TARVO_FUNCTION(sweep_in, "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
               [](Args& a) { return travel_fn<fx::sweep_in>(a); });
TARVO_FUNCTION(sweep_out, "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
               [](Args& a) { return travel_fn<fx::sweep_out>(a); });
TARVO_FUNCTION(dissolve, "(duration_ms, interpolation=None)", [](Args& a) { return dissolve_fn<false>(a); });
TARVO_FUNCTION(dissolve_to, "(style, duration_ms, interpolation=None)", [](Args& a) { return dissolve_style_fn<false>(a); });
TARVO_FUNCTION(coalesce, "(duration_ms, interpolation=None)", [](Args& a) { return dissolve_fn<true>(a); });
TARVO_FUNCTION(coalesce_from, "(style, duration_ms, interpolation=None)", [](Args& a) { return dissolve_style_fn<true>(a); });
TARVO_FUNCTION(sleep_effect, "(duration_ms)", [](Args& a) { return result(fx::sleep_effect(ms_arg(a, 0))); });
TARVO_FUNCTION(sequence_effects, "(effects)", [](Args& a) { return list_fn<false>(a); });
TARVO_FUNCTION(parallel_effects, "(effects)", [](Args& a) { return list_fn<true>(a); });
TARVO_FUNCTION(repeating_effect, "(effect)", [](Args& a) { return wrap_fn<repeat_forever>(a); });
TARVO_FUNCTION(ping_pong_effect, "(effect)", [](Args& a) { return wrap_fn<fx::ping_pong>(a); });
TARVO_FUNCTION(repeat_effect, "(effect, times=None, duration_ms=None)", [](Args& a) { return repeat_fn(a); });
TARVO_FUNCTION(delay_effect, "(duration_ms, effect)", [](Args& a) { return timed_wrap_fn<fx::delay>(a); });
TARVO_FUNCTION(prolong_start_effect, "(duration_ms, effect)", [](Args& a) { return timed_wrap_fn<fx::prolong_start>(a); });
TARVO_FUNCTION(prolong_end_effect, "(duration_ms, effect)", [](Args& a) { return timed_wrap_fn<fx::prolong_end>(a); });
TARVO_FUNCTION(saturate, "(duration_ms, fg=None, bg=None, interpolation=None)",
               [](Args& a) { return amounts_fn<fx::saturate>(a); });
TARVO_FUNCTION(saturate_fg, "(fg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::saturate, true>(a); });
TARVO_FUNCTION(saturate_bg, "(bg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::saturate, false>(a); });
TARVO_FUNCTION(lighten, "(duration_ms, fg=None, bg=None, interpolation=None)",
               [](Args& a) { return amounts_fn<fx::lighten>(a); });
TARVO_FUNCTION(lighten_fg, "(fg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::lighten, true>(a); });
TARVO_FUNCTION(lighten_bg, "(bg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::lighten, false>(a); });
TARVO_FUNCTION(darken, "(duration_ms, fg=None, bg=None, interpolation=None)",
               [](Args& a) { return amounts_fn<fx::darken>(a); });
TARVO_FUNCTION(darken_fg, "(fg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::darken, true>(a); });
TARVO_FUNCTION(darken_bg, "(bg, duration_ms, interpolation=None)", [](Args& a) { return amount_fn<fx::darken, false>(a); });
TARVO_FUNCTION(hsl_shift,
               "(duration_ms, fg_h=None, fg_s=None, fg_l=None, bg_h=None, bg_s=None, bg_l=None, interpolation=None)",
               [](Args& a) { return hsl_shift_fn(a); });
TARVO_FUNCTION(hsl_shift_fg, "(h, s, l, duration_ms, interpolation=None)", [](Args& a) { return hsl_one<true>(a); });
TARVO_FUNCTION(hsl_shift_bg, "(h, s, l, duration_ms, interpolation=None)", [](Args& a) { return hsl_one<false>(a); });
TARVO_FUNCTION(evolve_effect, "(symbols, duration_ms, style=None, interpolation=None)",
               [](Args& a) { return evolve_fn<fx::EvolveForm::Plain>(a); });
TARVO_FUNCTION(evolve_into_effect, "(symbols, duration_ms, style=None, interpolation=None)",
               [](Args& a) { return evolve_fn<fx::EvolveForm::Into>(a); });
TARVO_FUNCTION(evolve_from_effect, "(symbols, duration_ms, style=None, interpolation=None)",
               [](Args& a) { return evolve_fn<fx::EvolveForm::From>(a); });
TARVO_FUNCTION(explode_effect, "(force, force_rng_factor, duration_ms, interpolation=None)",
               [](Args& a) { return explode_fn(a); });
TARVO_FUNCTION(glitch_effect,
               "(cell_glitch_ratio, action_start_delay_min_ms, action_start_delay_max_ms, action_min_ms, "
               "action_max_ms, filter=None, seed=None)",
               [](Args& a) { return glitch_fn(a); });
TARVO_FUNCTION(translate_effect, "(effect, translate_by, duration_ms, interpolation=None)",
               [](Args& a) { return translate_fn(a); });
TARVO_FUNCTION(expand_effect, "(direction, style, duration_ms, interpolation=None)", [](Args& a) { return expand_fn(a); });
TARVO_FUNCTION(stretch_effect, "(direction, style, duration_ms, interpolation=None)", [](Args& a) { return stretch_fn(a); });
TARVO_FUNCTION(resize_area_effect, "(initial_size, duration_ms, effect=None, interpolation=None)",
               [](Args& a) { return resize_area_fn(a); });
TARVO_FUNCTION(freeze_at_effect, "(alpha, set_raw_alpha, effect)", [](Args& a) { return freeze_at_fn(a); });
TARVO_FUNCTION(remap_alpha_effect, "(alpha_start, alpha_end, effect)", [](Args& a) { return remap_alpha_fn(a); });
TARVO_FUNCTION(never_complete_effect, "(effect)", [](Args& a) { return wrap_fn<fx::never_complete>(a); });
TARVO_FUNCTION(run_once_effect, "(effect)", [](Args& a) { return wrap_fn<fx::run_once>(a); });
TARVO_FUNCTION(consume_tick_effect, "()", [](Args&) { return result(fx::consume_tick()); });
TARVO_FUNCTION(with_duration_effect, "(duration_ms, effect)", [](Args& a) { return timed_wrap_fn<fx::with_duration>(a); });
TARVO_FUNCTION(timed_never_complete_effect, "(duration_ms, effect)",
               [](Args& a) { return timed_wrap_fn<fx::timed_never_complete>(a); });

}  // namespace tarvo::bindings
