"""The 52 effect constructors: signatures, defaults, conversions and their errors, stored timers,
names and text forms, what the effects draw over a buffer, and effects nested and reused."""

import threading

import pytest

import tarvo_core.rust.native as tc
from tarvo_core.rust.native import (Buffer, CellFilter, Color, EvolveSymbolSet, ExpandDirection,
                                    Interpolation as I, Motion, Offset, Rect, Size, Style)

E = tc.consume_tick_effect
RED, BLUE, CYAN, BLACK = Color.RED, Color.BLUE, Color.CYAN, Color.BLACK
LIN = "Interpolation::Linear"


def timer_text(ms, curve="Linear"):
    return f"EffectTimer::from_ms({ms}, Interpolation::{curve})"


SIGNATURES = {
    "fade_to_fg": "(color, duration_ms, interpolation=None)",
    "fade_from_fg": "(color, duration_ms, interpolation=None)",
    "fade_to": "(fg, bg, duration_ms, interpolation=None)",
    "fade_from": "(fg, bg, duration_ms, interpolation=None)",
    "paint": "(fg, bg, duration_ms, interpolation=None)",
    "paint_fg": "(fg, duration_ms, interpolation=None)",
    "paint_bg": "(bg, duration_ms, interpolation=None)",
    "slide_in": "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
    "slide_out": "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
    "sweep_in": "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
    "sweep_out": "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)",
    "dissolve": "(duration_ms, interpolation=None)",
    "dissolve_to": "(style, duration_ms, interpolation=None)",
    "coalesce": "(duration_ms, interpolation=None)",
    "coalesce_from": "(style, duration_ms, interpolation=None)",
    "sleep_effect": "(duration_ms)",
    "sequence_effects": "(effects)",
    "parallel_effects": "(effects)",
    "repeating_effect": "(effect)",
    "ping_pong_effect": "(effect)",
    "repeat_effect": "(effect, times=None, duration_ms=None)",
    "delay_effect": "(duration_ms, effect)",
    "prolong_start_effect": "(duration_ms, effect)",
    "prolong_end_effect": "(duration_ms, effect)",
    "saturate": "(duration_ms, fg=None, bg=None, interpolation=None)",
    "saturate_fg": "(fg, duration_ms, interpolation=None)",
    "saturate_bg": "(bg, duration_ms, interpolation=None)",
    "lighten": "(duration_ms, fg=None, bg=None, interpolation=None)",
    "lighten_fg": "(fg, duration_ms, interpolation=None)",
    "lighten_bg": "(bg, duration_ms, interpolation=None)",
    "darken": "(duration_ms, fg=None, bg=None, interpolation=None)",
    "darken_fg": "(fg, duration_ms, interpolation=None)",
    "darken_bg": "(bg, duration_ms, interpolation=None)",
    "hsl_shift": "(duration_ms, fg_h=None, fg_s=None, fg_l=None, bg_h=None, bg_s=None, bg_l=None, interpolation=None)",
    "hsl_shift_fg": "(h, s, l, duration_ms, interpolation=None)",
    "hsl_shift_bg": "(h, s, l, duration_ms, interpolation=None)",
    "evolve_effect": "(symbols, duration_ms, style=None, interpolation=None)",
    "evolve_into_effect": "(symbols, duration_ms, style=None, interpolation=None)",
    "evolve_from_effect": "(symbols, duration_ms, style=None, interpolation=None)",
    "explode_effect": "(force, force_rng_factor, duration_ms, interpolation=None)",
    "glitch_effect": "(cell_glitch_ratio, action_start_delay_min_ms, action_start_delay_max_ms, action_min_ms, "
                     "action_max_ms, filter=None, seed=None)",
    "translate_effect": "(effect, translate_by, duration_ms, interpolation=None)",
    "expand_effect": "(direction, style, duration_ms, interpolation=None)",
    "stretch_effect": "(direction, style, duration_ms, interpolation=None)",
    "resize_area_effect": "(initial_size, duration_ms, effect=None, interpolation=None)",
    "freeze_at_effect": "(alpha, set_raw_alpha, effect)",
    "remap_alpha_effect": "(alpha_start, alpha_end, effect)",
    "never_complete_effect": "(effect)",
    "run_once_effect": "(effect)",
    "consume_tick_effect": "()",
    "with_duration_effect": "(duration_ms, effect)",
    "timed_never_complete_effect": "(duration_ms, effect)",
}


@pytest.mark.parametrize("name,signature", sorted(SIGNATURES.items()))
def test_signature_and_documentation(name, signature):
    fn = getattr(tc, name)
    assert fn.__text_signature__ == signature
    assert fn.__doc__ in (None, "")
    assert name in tc.__all__


def test_there_are_52():
    assert len(SIGNATURES) == 52


def dis(ms=1000):
    return tc.dissolve(ms)


# (call, name(), to_dsl() text or RuntimeError text, stored timer (total, reversed) or None)
CASES = [
    (lambda: tc.paint(RED, BLUE, 300), "paint", f"fx::paint(Color::Red, Color::Blue, {timer_text(300)})", (300, False)),
    (lambda: tc.paint_fg(RED, 300), "paint_fg", f"fx::paint_fg(Color::Red, {timer_text(300)})", (300, False)),
    (lambda: tc.paint_bg(Color.rgb(29, 32, 33), 300, I.CircIn), "paint_bg",
     f"fx::paint_bg(Color::from_u32(1908769), {timer_text(300, 'CircIn')})", (300, False)),
    (lambda: tc.fade_to(Color.rgb(0, 0, 0), Color.rgb(0, 0, 0), 1000, I.QuadOut), "fade_to",
     "fx::fade_to(\n    Color::from_u32(0),\n    Color::from_u32(0),\n    EffectTimer::from_ms(1000, Interpolation::QuadOut)\n)",
     (1000, False)),
    (lambda: tc.fade_from(BLACK, BLACK, 1000, I.CircOut), "fade_from",
     f"fx::fade_from(Color::Black, Color::Black, {timer_text(1000, 'CircOut')})", (1000, True)),
    (lambda: tc.fade_to_fg(Color.indexed(42), 10), "fade_to", f"fx::fade_to_fg(Color::Indexed(42), {timer_text(10)})",
     (10, False)),
    (lambda: tc.fade_from_fg(RED, 10, I.QuadOut), "fade_from", f"fx::fade_from_fg(Color::Red, {timer_text(10, 'QuadOut')})",
     (10, True)),
    (lambda: tc.lighten(100, bg=0.2), "lighten_bg", f"fx::lighten(None, Some(0.2), {timer_text(100)})", (100, False)),
    (lambda: tc.lighten(100, 0.5, -0.3), "darken", f"fx::darken(Some(0.5), Some(0.3), {timer_text(100)})", (100, False)),
    (lambda: tc.lighten_fg(2.5, 100), "lighten_fg", f"fx::lighten_fg(1, {timer_text(100)})", (100, False)),
    (lambda: tc.lighten_fg(-7, 100), "darken_fg", f"fx::darken_fg(1, {timer_text(100)})", (100, False)),
    (lambda: tc.lighten_bg(0.2, 100), "lighten_bg", f"fx::lighten(None, Some(0.2), {timer_text(100)})", (100, False)),
    (lambda: tc.darken(500, fg=0.6, bg=0.4, interpolation=I.QuadOut), "darken",
     f"fx::darken(Some(0.6), Some(0.4), {timer_text(500, 'QuadOut')})", (500, False)),
    (lambda: tc.darken_fg(0.25, 100), "darken_fg", f"fx::darken_fg(0.25, {timer_text(100)})", (100, False)),
    (lambda: tc.darken_fg(0, 100), "lighten_fg", f"fx::lighten_fg(0, {timer_text(100)})", (100, False)),
    (lambda: tc.darken_bg(3, 100), "darken_bg", f"fx::darken(None, Some(1), {timer_text(100)})", (100, False)),
    (lambda: tc.saturate(1000, -1, -1), "saturate", f"fx::saturate(Some(-1), Some(-1), {timer_text(1000)})", (1000, False)),
    (lambda: tc.saturate_fg(3, 100), "saturate_fg", f"fx::saturate_fg(3, {timer_text(100)})", (100, False)),
    (lambda: tc.saturate_bg(-0.5, 1000), "saturate_bg", f"fx::saturate(None, Some(-0.5), {timer_text(1000)})",
     (1000, False)),
    (lambda: tc.hsl_shift(1000, fg_h=120, fg_s=25, fg_l=-10), "hsl_shift",
     f"hsl_shift(\n    Some([120, 25, -10]),\n    None,\n    {timer_text(1000)}\n)", (1000, False)),
    (lambda: tc.hsl_shift_fg(1.5, 2, 3, 7), "hsl_shift", f"hsl_shift(\n    Some([1.5, 2, 3]),\n    None,\n    {timer_text(7)}\n)",
     (7, False)),
    (lambda: tc.hsl_shift_bg(180, 0.5, -20, 800, I.SineInOut), "hsl_shift",
     f"hsl_shift(\n    None,\n    Some([180, 0.5, -20]),\n    {timer_text(800, 'SineInOut')}\n)", (800, False)),
    (lambda: tc.dissolve(1000), "dissolve", f"fx::dissolve({timer_text(1000)})", (1000, False)),
    (lambda: tc.dissolve_to(Style.new(), 100, I.SineOut), "dissolve_to",
     f"fx::dissolve_to(Style::new(), {timer_text(100, 'SineOut')})", (100, False)),
    (lambda: tc.coalesce(500, I.QuadOut), "coalesce", f"fx::coalesce({timer_text(500, 'QuadOut')})", (500, True)),
    (lambda: tc.coalesce_from(Style.new().fg(RED).add_modifier(tc.Modifier.BOLD), 10), "coalesce_from",
     f"fx::coalesce_from(\n    Style::new()\n        .fg(Color::Red)\n        .add_modifier(BOLD),\n    {timer_text(10)}\n)",
     (10, True)),
    (lambda: tc.slide_in(Motion.LeftToRight, 10, 5, Color.rgb(0, 0, 0), 1000), "slide_in",
     f"fx::slide_in(\n    Motion::LeftToRight,\n    10,\n    5,\n    Color::from_u32(0),\n    {timer_text(1000)}\n)",
     (1000, False)),
    (lambda: tc.slide_in(Motion.RightToLeft, 2, 0, BLACK, 300, I.QuadOut), "slide_in",
     f"fx::slide_in(\n    Motion::RightToLeft,\n    2,\n    0,\n    Color::Black,\n    {timer_text(300, 'QuadIn')}\n)",
     (300, True)),
    (lambda: tc.slide_out(Motion.DownToUp, 0, 0, BLACK, 300), "slide_out",
     f"fx::slide_out(\n    Motion::DownToUp,\n    0,\n    0,\n    Color::Black,\n    {timer_text(300)}\n)", (300, True)),
    (lambda: tc.sweep_in(Motion.UpToDown, 15, 5, CYAN, 2000, I.QuadOut), "sweep_in",
     f"fx::sweep_in(\n    Motion::UpToDown,\n    15,\n    5,\n    Color::Cyan,\n    {timer_text(2000, 'QuadOut')}\n)",
     (2000, False)),
    (lambda: tc.sweep_in(Motion.DownToUp, 2, 0, CYAN, 300), "sweep_in",
     f"fx::sweep_in(\n    Motion::DownToUp,\n    2,\n    0,\n    Color::Cyan,\n    {timer_text(300)}\n)", (300, True)),
    (lambda: tc.sweep_out(Motion.UpToDown, 2, 0, CYAN, 300, I.BounceIn), "sweep_out",
     f"fx::sweep_out(\n    Motion::UpToDown,\n    2,\n    0,\n    Color::Cyan,\n    {timer_text(300, 'BounceIn')}\n)",
     (300, True)),
    (lambda: tc.sweep_out(Motion.RightToLeft, 2, 0, CYAN, 300), "sweep_out",
     f"fx::sweep_out(\n    Motion::RightToLeft,\n    2,\n    0,\n    Color::Cyan,\n    {timer_text(300)}\n)", (300, False)),
    (lambda: tc.sleep_effect(1000), "sleep", "fx::sleep(1000)", (1000, False)),
    (lambda: tc.sequence_effects([dis(100), tc.sleep_effect(400)]), "sequence",
     f"fx::sequence(&[fx::dissolve({timer_text(100)}), fx::sleep(400)])", (500, False)),
    (lambda: tc.sequence_effects([]), "sequence", "fx::sequence(&[])", None),
    (lambda: tc.parallel_effects((E(), E())), "parallel", "fx::parallel(&[fx::consume_tick(), fx::consume_tick()])", None),
    (lambda: tc.parallel_effects([dis(100), tc.sleep_effect(250)]), "parallel",
     f"fx::parallel(&[fx::dissolve({timer_text(100)}), fx::sleep(250)])", (250, False)),
    (lambda: tc.repeating_effect(tc.fade_to_fg(RED, 1000)), "repeat",
     f"fx::repeat(\n    fx::fade_to_fg(Color::Red, {timer_text(1000)}),\n    RepeatMode::Forever\n)", (1000, False)),
    (lambda: tc.repeat_effect(E()), "repeat", "fx::repeat(fx::consume_tick(), RepeatMode::Forever)", None),
    (lambda: tc.repeat_effect(E(), times=2), "repeat", "fx::repeat(fx::consume_tick(), RepeatMode::Times(2))", None),
    (lambda: tc.repeat_effect(dis(100), 3), "repeat",
     f"fx::repeat(\n    fx::dissolve({timer_text(100)}),\n    RepeatMode::Times(3)\n)", (300, False)),
    (lambda: tc.repeat_effect(E(), duration_ms=1), "repeat",
     "fx::repeat(fx::consume_tick(), RepeatMode::Duration(Duration::from_millis(1)))", (1, False)),
    (lambda: tc.ping_pong_effect(tc.coalesce(1500, I.QuintIn)), "ping_pong",
     f"fx::ping_pong(fx::coalesce({timer_text(1500, 'QuintIn')}))", (3000, False)),
    (lambda: tc.run_once_effect(E()), "run_once", "fx::run_once(fx::consume_tick())", None),
    (lambda: tc.never_complete_effect(E()), "never_complete", "fx::never_complete(fx::consume_tick())", None),
    (lambda: tc.freeze_at_effect(0.5, False, dis()), "freeze_at", f"fx::freeze_at(0.5, false, fx::dissolve({timer_text(1000)}))",
     (1000, False)),
    (lambda: tc.freeze_at_effect(1.7, True, dis()), "freeze_at", f"fx::freeze_at(1, true, fx::dissolve({timer_text(1000)}))",
     (1000, False)),
    (lambda: tc.freeze_at_effect(-2, False, dis()), "freeze_at", f"fx::freeze_at(0, false, fx::dissolve({timer_text(1000)}))",
     (1000, False)),
    (lambda: tc.remap_alpha_effect(0.3, 0.6, dis()), "remap_alpha",
     f"fx::remap_alpha(0.3, 0.6, fx::dissolve({timer_text(1000)}))", (1000, False)),
    (lambda: tc.remap_alpha_effect(-0.5, 2.0, dis()), "remap_alpha",
     f"fx::remap_alpha(0, 1, fx::dissolve({timer_text(1000)}))", (1000, False)),
    (lambda: tc.remap_alpha_effect(0.8, 0.2, E()), "remap_alpha", "fx::remap_alpha(0.8, 0.2, fx::consume_tick())", (0, False)),
    (lambda: tc.delay_effect(250, tc.fade_to_fg(RED, 500)), "sequence",
     f"fx::sequence(&[\n    fx::sleep(250),\n    fx::fade_to_fg(Color::Red, {timer_text(500)})\n])", (750, False)),
    (lambda: tc.prolong_start_effect(100, E()), "prolong_start", f"fx::prolong_start({timer_text(100)}, fx::consume_tick())",
     (100, False)),
    (lambda: tc.prolong_end_effect(100, dis(20)), "prolong_end",
     f"fx::prolong_end(\n    {timer_text(100)},\n    fx::dissolve({timer_text(20)})\n)", (120, False)),
    (lambda: tc.with_duration_effect(1000, tc.sleep_effect(100)), "with_duration",
     "fx::with_duration(Duration::from_millis(1000), fx::sleep(100))", (1000, False)),
    (lambda: tc.timed_never_complete_effect(1000, dis(2000)), "with_duration",
     f"fx::with_duration(\n    Duration::from_millis(1000),\n    fx::never_complete(fx::dissolve({timer_text(2000)}))\n)",
     (1000, False)),
    (lambda: tc.consume_tick_effect(), "consume_tick", "fx::consume_tick()", None),
    (lambda: tc.resize_area_effect(Size(10, 4), 300), "resize_area",
     RuntimeError("The effect 'resize_area' can not be instantiated by the DSL."), (300, False)),
    (lambda: tc.resize_area_effect(Size(10, 4), 300, dis(), I.QuadIn), "resize_area",
     RuntimeError("The effect 'resize_area' can not be instantiated by the DSL."), (300, False)),
    (lambda: tc.evolve_effect(EvolveSymbolSet.Shaded, 500), "evolve",
     RuntimeError("The effect 'evolve' cannot be converted to DSL format."), (500, False)),
    (lambda: tc.evolve_into_effect(EvolveSymbolSet.Circles, 500, Style.new()), "evolve_into",
     RuntimeError("The effect 'evolve_into' cannot be converted to DSL format."), (500, False)),
    (lambda: tc.evolve_from_effect(EvolveSymbolSet.Squares, 500, None, I.CubicIn), "evolve_from",
     RuntimeError("The effect 'evolve_from' cannot be converted to DSL format."), (500, False)),
    (lambda: tc.expand_effect(ExpandDirection.Horizontal, Style.new().bg(CYAN), 1000), "Expand",
     f"fx::expand(\n    ExpandDirection::Horizontal,\n    Style::new()\n        .bg(Color::Cyan),\n    {timer_text(1000)}\n)", None),
    (lambda: tc.stretch_effect(Motion.UpToDown, Style.new(), 300), "stretch",
     f"fx::stretch(Motion::UpToDown, Style::new(), {timer_text(300)})", (300, False)),
    (lambda: tc.stretch_effect(Motion.LeftToRight, Style.new(), 300), "stretch",
     f"fx::stretch(\n    Motion::LeftToRight,\n    Style::new(),\n    {timer_text(300)}\n)", (300, False)),
    (lambda: tc.explode_effect(2, 0.5, 800), "explode", f"fx::explode({timer_text(800)}, 2, 0.5)", (800, False)),
    (lambda: tc.explode_effect(15, 2, 1000, I.QuadOut), "explode", f"fx::explode({timer_text(1000, 'QuadOut')}, 15, 2)",
     (1000, False)),
    (lambda: tc.glitch_effect(0.3, 0, 100, 50, 200), "glitch",
     RuntimeError("The effect 'glitch' can not be instantiated by the DSL."), None),
    (lambda: tc.translate_effect(tc.fade_to_fg(RED, 500), Offset(3, -2), 400), "translate_by",
     f"fx::translate(\n    fx::fade_to_fg(Color::Red, {timer_text(500)}),\n    Offset {{\n        x: 3,\n        y: -2,\n    }},\n"
     f"    {timer_text(400)}\n)", (400, False)),
    # nested compositions
    (lambda: tc.sequence_effects([dis(100), tc.parallel_effects([dis(200), dis(300), tc.sleep_effect(400)]),
                                  tc.repeating_effect(dis(500))]), "sequence",
     "fx::sequence(&[\n    fx::dissolve(EffectTimer::from_ms(100, Interpolation::Linear)),\n    fx::parallel(&[\n"
     "        fx::dissolve(EffectTimer::from_ms(200, Interpolation::Linear)),\n"
     "        fx::dissolve(EffectTimer::from_ms(300, Interpolation::Linear)),\n        fx::sleep(400)\n    ]),\n"
     "    fx::repeat(\n        fx::dissolve(EffectTimer::from_ms(500, Interpolation::Linear)),\n"
     "        RepeatMode::Forever\n    )\n])", (1000, False)),
    (lambda: tc.ping_pong_effect(tc.lighten_bg(0.2, 100)), "ping_pong",
     f"fx::ping_pong(\n    fx::lighten(None, Some(0.2), {timer_text(100)})\n)", (200, False)),
    (lambda: tc.never_complete_effect(tc.sequence_effects([dis(5), tc.glitch_effect(1, 0, 1, 1, 2)])), "never_complete",
     RuntimeError("The effect 'glitch' can not be instantiated by the DSL."), None),
    (lambda: tc.run_once_effect(tc.EffectManager().unique("k", dis(5))), "run_once",
     RuntimeError("The effect 'unique' cannot be converted to DSL format."), None),
]


@pytest.mark.parametrize("make,name,text,timer", CASES, ids=[c[1] + str(i) for i, c in enumerate(CASES)])
def test_built_effect(make, name, text, timer):
    e = make()
    assert e.name() == name
    if isinstance(text, Exception):
        with pytest.raises(RuntimeError) as err:
            e.to_dsl()
        assert str(err.value) == str(text)
    else:
        assert e.to_dsl() == text
    t = e.timer()
    if timer is None:
        assert t is None
    else:
        assert (t.duration_ms(), t.remaining_ms(), t.is_reversed()) == (timer[0], timer[0], timer[1])
    assert e.get_area() is None
    if name != "glitch":
        assert e.get_filter() is None


@pytest.mark.parametrize("a,b", [
    (lambda: tc.paint(RED, BLUE, 100), lambda: tc.paint(fg=RED, bg=BLUE, duration_ms=100, interpolation=None)),
    (lambda: tc.coalesce(300, None), lambda: tc.coalesce(300, I.Linear)),
    (lambda: tc.evolve_effect(EvolveSymbolSet.Shaded, 500), lambda: tc.evolve_effect(EvolveSymbolSet.Shaded, 500, None, None)),
    (lambda: tc.repeat_effect(E()), lambda: tc.repeat_effect(E(), None, None)),
    (lambda: tc.repeat_effect(E()), lambda: tc.repeating_effect(E())),
    (lambda: tc.resize_area_effect(Size(10, 4), 300), lambda: tc.resize_area_effect(Size(10, 4), 300, None, None)),
    (lambda: tc.timed_never_complete_effect(10, dis(5)), lambda: tc.with_duration_effect(10, tc.never_complete_effect(dis(5)))),
    (lambda: tc.delay_effect(10, dis(5)), lambda: tc.sequence_effects([tc.sleep_effect(10), dis(5)])),
])
def test_same_effect_both_ways(a, b):
    ea, eb = a(), b()
    assert ea.name() == eb.name()
    try:
        assert ea.to_dsl() == eb.to_dsl()
    except RuntimeError:
        pass
    buf_a, buf_b = screen(), screen()
    for ms in (0, 40, 80, 200):
        ea.process(ms, buf_a, buf_a.area)
        eb.process(ms, buf_b, buf_b.area)
        assert buf_a.to_string_lines() == buf_b.to_string_lines()


ERRORS = [
    (lambda: tc.paint(None, RED, 100), TypeError, "'None' is not an instance of 'Color'", "fg"),
    (lambda: tc.paint(RED, "blue", 100), TypeError, "'str' object is not an instance of 'Color'", "bg"),
    (lambda: tc.fade_to_fg(RED, -1), OverflowError, "out of range integral type conversion attempted", "duration_ms"),
    (lambda: tc.fade_to_fg(RED, 2**32), OverflowError, "out of range integral type conversion attempted", "duration_ms"),
    (lambda: tc.fade_to_fg(RED, 1.5), TypeError, None, "duration_ms"),
    (lambda: tc.paint_fg(RED, 10, 18), TypeError, "'int' object is not an instance of 'Interpolation'", "interpolation"),
    (lambda: tc.lighten_fg("x", 10), TypeError, None, "fg"),
    (lambda: tc.hsl_shift(500, fg_h=30, fg_s=0, fg_l=0, bg_h="x"), TypeError, None, "bg_h"),
    (lambda: tc.sweep_in(Motion.UpToDown, 65536, 0, RED, 300), OverflowError, "out of range integral type conversion attempted",
     "gradient_length"),
    (lambda: tc.slide_out(Motion.UpToDown, 1, -1, RED, 300), OverflowError, None, "randomness"),
    (lambda: tc.sweep_out(0, 5, 2, RED, 300), TypeError, "'int' object is not an instance of 'Motion'", "direction"),
    (lambda: tc.dissolve_to(None, 300), TypeError, "'None' is not an instance of 'Style'", "style"),
    (lambda: tc.sequence_effects("ab"), TypeError, "Can't extract `str` to `Vec`", "effects"),
    (lambda: tc.sequence_effects(5), TypeError, "'int' object is not an instance of 'Sequence'", "effects"),
    (lambda: tc.sequence_effects([E(), 5]), TypeError, "'int' object is not an instance of 'Effect'", "effects"),
    (lambda: tc.parallel_effects([None]), TypeError, "'None' is not an instance of 'Effect'", "effects"),
    (lambda: tc.repeat_effect(E(), times=-1, duration_ms=500), OverflowError, None, "times"),
    (lambda: tc.repeat_effect(None), TypeError, "'None' is not an instance of 'Effect'", "effect"),
    (lambda: tc.delay_effect(E(), 250), TypeError, None, "duration_ms"),
    (lambda: tc.freeze_at_effect(0.5, 1, E()), TypeError, "'int' object is not an instance of 'bool'", "set_raw_alpha"),
    (lambda: tc.freeze_at_effect("a", True, E()), TypeError, None, "alpha"),
    (lambda: tc.remap_alpha_effect(0, 1, "e"), TypeError, "'str' object is not an instance of 'Effect'", "effect"),
    (lambda: tc.resize_area_effect((10, 4), 300), TypeError, "'tuple' object is not an instance of 'Size'", "initial_size"),
    (lambda: tc.evolve_effect(5, 500), TypeError, "'int' object is not an instance of 'EvolveSymbolSet'", "symbols"),
    (lambda: tc.expand_effect(ExpandDirection.Vertical, None, 300), TypeError, "'None' is not an instance of 'Style'", "style"),
    (lambda: tc.expand_effect(Motion.UpToDown, Style.new(), 300), TypeError,
     "'Motion' object is not an instance of 'ExpandDirection'", "direction"),
    (lambda: tc.stretch_effect(ExpandDirection.Vertical, Style.new(), 300), TypeError,
     "'ExpandDirection' object is not an instance of 'Motion'", "direction"),
    (lambda: tc.explode_effect(None, 1, 10), TypeError, None, "force"),
    (lambda: tc.glitch_effect(0.3, 0, -1, 50, 200), OverflowError, None, "action_start_delay_max_ms"),
    (lambda: tc.glitch_effect(0.3, 0, 1, 50, 200, filter=Rect()), TypeError, "'Rect' object is not an instance of 'CellFilter'",
     "filter"),
    (lambda: tc.glitch_effect(0.3, 0, 1, 50, 200, CellFilter.ALL, -3), OverflowError, None, "seed"),
    (lambda: tc.translate_effect(E(), (3, -2), 400), TypeError, "'tuple' object is not an instance of 'Offset'", "translate_by"),
    (lambda: tc.translate_effect(E(), Offset(1, 1), 400, "Linear"), TypeError, None, "interpolation"),
]


@pytest.mark.parametrize("call,exc,message,param", ERRORS)
def test_conversion_errors(call, exc, message, param):
    with pytest.raises(exc) as err:
        call()
    if message is not None:
        assert str(err.value) == message
    assert err.value.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("call,exc,message", [
    (lambda: tc.hsl_shift(500, fg_h=30), ValueError, "fg_h, fg_s, and fg_l must all be provided together"),
    (lambda: tc.hsl_shift(500, fg_h=1, fg_s=2, fg_l=3, bg_s=0.1), ValueError, "bg_h, bg_s, and bg_l must all be provided together"),
    (lambda: tc.hsl_shift(500, None, None, None), ValueError, "at least one of foreground or background HSL shift must be provided"),
    (lambda: tc.repeat_effect(E(), 2, 500), ValueError, "specify either times or duration_ms, not both"),
    (lambda: tc.repeat_effect(E(), times=2, duration_ms=500), ValueError, "specify either times or duration_ms, not both"),
    (lambda: tc.glitch_effect(0.3, 5, 5, 50, 200), ValueError,
     "action_start_delay_min_ms must be less than action_start_delay_max_ms"),
    (lambda: tc.glitch_effect(0.3, 0, 1, 200, 50), ValueError, "action_min_ms must be less than action_max_ms"),
    (lambda: tc.consume_tick_effect(1), TypeError, "consume_tick_effect() takes 0 positional arguments but 1 was given"),
    (lambda: tc.paint(RED, BLUE, 100, I.QuadIn, 5), TypeError, "paint() takes from 3 to 4 positional arguments but 5 were given"),
    (lambda: tc.dissolve(), TypeError, "dissolve() missing 1 required positional argument: 'duration_ms'"),
])
def test_checks(call, exc, message):
    with pytest.raises(exc) as err:
        call()
    assert str(err.value) == message
    assert not getattr(err.value, "__notes__", None)


@pytest.mark.parametrize("call", [lambda: tc.lighten(100), lambda: tc.lighten(100, None, None), lambda: tc.darken(5),
                                  lambda: tc.saturate(100)])
def test_neither_amount_is_the_panic(call):
    with pytest.raises(BaseException) as err:
        call()
    assert type(err.value).__name__ == "PanicException"
    assert str(err.value) == "At least one of fg or bg must be Some"


# ---- over a buffer ----

def screen(width=6, height=2):
    buf = Buffer.empty(Rect(0, 0, width, height))
    for y in range(height):
        buf.set_string(0, y, "abcdef"[:width], Style.new().fg(Color.rgb(100, 100, 100)).bg(Color.rgb(200, 100, 0)))
    return buf


def run(effect, steps, buf=None):
    buf = buf or screen()
    for ms in steps:
        effect.process(ms, buf, buf.area)
    return buf


GREY, RUST = Color.rgb(100, 100, 100), Color.rgb(200, 100, 0)

# effect, steps, whole screen, {(x, y): (fg, bg)}
DRAWN = [
    (lambda: tc.lighten_fg(0.5, 100), [100], ["abcdef"] * 2, {(0, 0): (Color.rgb(177, 177, 177), RUST)}),
    (lambda: tc.darken_bg(0.5, 100), [100], ["abcdef"] * 2, {(3, 1): (GREY, Color.rgb(100, 50, 0))}),
    (lambda: tc.saturate_bg(-1, 100), [100], ["abcdef"] * 2, {(1, 0): (GREY, Color.rgb(118, 118, 118))}),
    (lambda: tc.hsl_shift_bg(120, 0, 0, 100), [100], ["abcdef"] * 2, {(0, 0): (GREY, Color.rgb(0, 200, 100))}),
    (lambda: tc.dissolve(100), [100], [""] * 2, {(0, 0): (GREY, RUST)}),
    (lambda: tc.dissolve_to(Style.new().bg(BLUE), 100), [100], [""] * 2, {(5, 1): (GREY, BLUE)}),
    (lambda: tc.coalesce(100), [100], ["abcdef"] * 2, {}),
    (lambda: tc.slide_out(Motion.LeftToRight, 2, 0, BLUE, 100), [50], ["   \u258cef"] * 2,
     {(0, 0): (RUST, BLUE), (4, 1): (GREY, RUST)}),
    (lambda: tc.slide_in(Motion.LeftToRight, 2, 0, BLUE, 100), [100], ["abcdef"] * 2, {(0, 0): (GREY, RUST)}),
    (lambda: tc.sweep_in(Motion.LeftToRight, 2, 0, BLUE, 100), [50], ["abcdef"] * 2,
     {(2, 0): (GREY, RUST), (5, 1): (BLUE, BLUE)}),
    (lambda: tc.sweep_out(Motion.UpToDown, 1, 0, BLUE, 100), [100], ["abcdef"] * 2, {(0, 0): (BLUE, BLUE)}),
    (lambda: tc.stretch_effect(Motion.LeftToRight, Style.new().bg(BLUE), 100), [50], ["   \u258f"] * 2,
     {(0, 0): (BLUE, RUST), (4, 0): (GREY, BLUE)}),
    (lambda: tc.expand_effect(ExpandDirection.Horizontal, Style.new().bg(BLUE), 100), [50], [" \u258c  \u258b"] * 2,
     {(0, 0): (GREY, BLUE), (1, 0): (BLUE, RUST)}),
    (lambda: tc.evolve_effect(EvolveSymbolSet.Shaded, 100), [50], ["\u2592" * 6] * 2, {}),
    (lambda: tc.evolve_into_effect(EvolveSymbolSet.Shaded, 100, Style.new().bg(BLUE)), [100], ["abcdef"] * 2,
     {(0, 0): (GREY, RUST)}),
    (lambda: tc.evolve_from_effect(EvolveSymbolSet.BlocksVertical, 100), [100], ["\u2588" * 6] * 2, {}),
    (lambda: tc.explode_effect(2, 0.5, 100), [100], None, {(0, 0): (None, BLACK), (5, 1): (None, BLACK)}),
    (lambda: tc.translate_effect(tc.paint_bg(BLUE, 100), Offset(4, 1), 100), [100], ["abcdef"] * 2,
     {(3, 1): (GREY, RUST), (4, 1): (GREY, BLUE), (4, 0): (GREY, RUST)}),
    (lambda: tc.resize_area_effect(Size(2, 2), 100, tc.paint_bg(BLUE, 100)), [50], ["ab  ef"] * 2,
     {(2, 0): (Color.RESET, BLUE), (1, 1): (GREY, RUST)}),
    (lambda: tc.sequence_effects([tc.paint_bg(RED, 10), tc.paint_bg(BLUE, 10)]), [15], ["abcdef"] * 2, {(0, 0): (GREY, BLUE)}),
    (lambda: tc.parallel_effects([tc.paint_bg(RED, 10), tc.paint_fg(BLUE, 20)]), [5], ["abcdef"] * 2, {(0, 0): (BLUE, RED)}),
    (lambda: tc.delay_effect(50, tc.paint_bg(BLUE, 10)), [40], ["abcdef"] * 2, {(0, 0): (GREY, RUST)}),
    (lambda: tc.freeze_at_effect(0.25, False, tc.lighten_fg(1, 100)), [10], ["abcdef"] * 2,
     {(0, 0): (Color.rgb(216, 216, 216), RUST)}),
    (lambda: tc.remap_alpha_effect(0.5, 1.0, tc.lighten_fg(1, 100)), [0], ["abcdef"] * 2,
     {(0, 0): (Color.rgb(177, 177, 177), RUST)}),
    (lambda: tc.glitch_effect(0.5, 0, 1, 10, 20, CellFilter.area(Rect(0, 0, 1, 2)), 7), [5], None,
     {(5, 0): (GREY, RUST)}),
]


@pytest.mark.parametrize("make,steps,lines,cells", DRAWN, ids=[str(i) for i in range(len(DRAWN))])
def test_drawn(make, steps, lines, cells):
    buf = run(make(), steps)
    if lines is not None:
        assert buf.to_string_lines() == lines
    for (x, y), (fg, bg) in cells.items():
        if fg is not None:
            assert buf.cell_fg(x, y) == fg, (x, y)
        if bg is not None:
            assert buf.cell_bg(x, y) == bg, (x, y)


@pytest.mark.parametrize("make", [
    lambda: tc.dissolve(100), lambda: tc.coalesce_from(Style.new().fg(RED), 100),
    lambda: tc.slide_in(Motion.UpToDown, 2, 3, BLUE, 100),
    lambda: tc.explode_effect(1, 2, 100).with_pattern(tc.RadialPattern.center()),
])
def test_same_seed_same_cells(make):
    def lines(seed):
        buf = run(make().with_rng(seed), [30, 20], screen(8, 6))
        return buf.to_ansi_lines()
    assert lines(7) == lines(7)
    assert lines(7) != lines(8)


def test_glitch_seed_is_with_rng():
    a = tc.glitch_effect(0.5, 0, 20, 30, 60, seed=7)
    b = tc.glitch_effect(0.5, 0, 20, 30, 60).with_rng(7)
    assert run(a, [5, 10, 30], screen(8, 6)).to_string_lines() == run(b, [5, 10, 30], screen(8, 6)).to_string_lines()
    assert a.timer() is None and not a.is_done() and a.is_running()
    for _ in range(20):
        a.process(1000, screen(), Rect(0, 0, 6, 2))
    assert not a.is_done() and a.is_running()


def test_glitch_keeps_its_filter():
    f = CellFilter.area(Rect(0, 0, 1, 1))
    g = tc.glitch_effect(0.3, 0, 100, 50, 200, filter=f)
    assert g.get_filter() is not None
    plain = tc.glitch_effect(0.3, 0, 100, 50, 200)
    assert plain.get_filter() is None
    plain.set_filter(f)
    assert plain.get_filter() is not None


# ---- effect arguments are copies ----

@pytest.mark.parametrize("wrap", [
    lambda e: tc.repeat_effect(e, times=3), lambda e: tc.sequence_effects([e, e]), lambda e: tc.parallel_effects((e,)),
    lambda e: tc.ping_pong_effect(e), lambda e: tc.run_once_effect(e), lambda e: tc.freeze_at_effect(0.5, False, e),
    lambda e: tc.delay_effect(1, e), lambda e: tc.prolong_start_effect(1, e), lambda e: tc.prolong_end_effect(1, e),
    lambda e: tc.remap_alpha_effect(0.2, 0.8, e), lambda e: tc.with_duration_effect(5, e), lambda e: tc.never_complete_effect(e),
    lambda e: tc.timed_never_complete_effect(5, e), lambda e: tc.translate_effect(e, Offset(1, 1), 5),
    lambda e: tc.resize_area_effect(Size(1, 1), 5, e),
])
def test_wrapped_effect_is_a_copy(wrap):
    e = tc.fade_to_fg(RED, 100)
    w = wrap(e)
    run(w, [30, 30, 30])
    assert e.timer().remaining_ms() == 100 and not e.is_done()
    e.process(100, screen(), Rect(0, 0, 6, 2))
    assert e.is_done()
    assert w.name()  # still usable on its own


def test_remap_alpha_copies_the_timer_of_its_effect():
    e = tc.dissolve(300)
    e.process(100, screen(), Rect(0, 0, 6, 2))
    r = tc.remap_alpha_effect(0.2, 0.8, e)
    assert (r.timer().duration_ms(), r.timer().remaining_ms()) == (300, 200)


def test_filter_and_area_pass_through_a_wrapper():
    e = tc.never_complete_effect(tc.paint_bg(BLUE, 100))
    e.set_filter(CellFilter.area(Rect(2, 0, 1, 2)))
    assert e.get_filter() is not None
    e.set_area(Rect(0, 1, 6, 1))
    area = e.get_area()
    assert (area.x, area.y, area.width, area.height) == (0, 1, 6, 1)
    buf = run(e, [10])
    assert [buf.cell_bg(x, y) == BLUE for y in range(2) for x in range(6)] == [False] * 8 + [True] + [False] * 3


def test_effect_from_another_thread_is_refused():
    made, ready, done = [], threading.Event(), threading.Event()

    def owner():
        made.append(tc.dissolve(10))
        ready.set()
        done.wait(10)
        made.clear()  # released on the thread that made it

    t = threading.Thread(target=owner)
    t.start()
    ready.wait(10)
    try:
        with pytest.raises(BaseException) as err:
            tc.repeating_effect(made[0])
        assert type(err.value).__name__ == "PanicException"
        assert str(err.value) == "tarvo_core::bindings::fx::PyEffect is unsendable, but sent to another thread"
    finally:
        done.set()
        t.join()


# ---- robustness ----

def test_nesting_is_bounded():
    e = E()
    for _ in range(999):
        e = tc.run_once_effect(e)
    text = e.to_dsl()
    assert text.count("fx::run_once(") == 999
    run(e, [10])
    with pytest.raises(ValueError, match="^effects cannot be nested more than 1000 deep$"):
        tc.never_complete_effect(e)
    with pytest.raises(ValueError):
        tc.sequence_effects([E(), e])
    manager = tc.EffectManager()
    with pytest.raises(ValueError, match="^effects cannot be nested more than 1000 deep$"):
        manager.unique("k", e)
    with pytest.raises(ValueError):
        manager.add_unique("k", e)
    assert not manager.is_running()
    session = tc.engine.CoreSession.offscreen(4, 1)
    with pytest.raises(ValueError, match="^effects cannot be nested more than 1000 deep$"):
        session.add_unique_effect("k", e)
    assert not session.is_animating()


def test_effects_given_their_own_results():
    e = tc.fade_to_fg(RED, 10)
    for _ in range(9):
        e = tc.sequence_effects([e, e])
    assert e.timer().duration_ms() == 10 * 512
    with pytest.raises(ValueError, match="^an effect cannot hold more than 1048576 effects$"):
        tc.parallel_effects([e] * 1030)
    run(e, [7, 5000, 200])
    assert e.is_done()


@pytest.mark.parametrize("make", [
    lambda: tc.lighten_fg(float("nan"), 10), lambda: tc.saturate(10, float("inf"), float("-inf")),
    lambda: tc.hsl_shift_fg(float("nan"), 1e30, -1e30, 10), lambda: tc.explode_effect(float("nan"), float("inf"), 10),
    lambda: tc.freeze_at_effect(float("nan"), False, tc.dissolve(10)), lambda: tc.remap_alpha_effect(float("nan"), float("nan"), tc.dissolve(10)),
    lambda: tc.glitch_effect(float("inf"), 0, 1, 1, 2, seed=1), lambda: tc.glitch_effect(1e30, 0, 1, 1, 2, seed=1),
    lambda: tc.translate_effect(tc.paint_bg(RED, 10), Offset(-2**31, 2**31 - 1), 10),
    lambda: tc.resize_area_effect(Size(65535, 65535), 10, tc.dissolve(10)),
    lambda: tc.slide_in(Motion.DownToUp, 65535, 65535, RED, 10), lambda: tc.sweep_out(Motion.RightToLeft, 0, 40000, RED, 10),
    lambda: tc.repeat_effect(tc.sleep_effect(0), times=2**32 - 1), lambda: tc.repeat_effect(tc.dissolve(2**32 - 1), times=2**32 - 1),
    lambda: tc.sequence_effects([tc.repeat_effect(tc.sleep_effect(0), times=2**32 - 1), tc.dissolve(5)]),
    lambda: tc.parallel_effects([]), lambda: tc.ping_pong_effect(tc.sleep_effect(0)),
])
def test_odd_values_give_a_sensible_effect(make):
    e = make()
    for area in (Rect(0, 0, 6, 2), Rect(0, 0, 65535, 65535), Rect(3, 1, 0, 0)):
        for ms in (0, 1, 2**32 - 1):
            e.process(ms, screen(), area)
    try:
        e.to_dsl()
    except RuntimeError:
        pass
