"""Effect objects, the effect manager and cell filters working over real buffers."""

import threading

import pytest

import tarvo_core.rust.native as n
from tarvo_core.rust.native import (Buffer, CellFilter, Color, ColorSpace, EffectManager, Interpolation, Margin,
                                    RadialPattern, Rect, RefRect, Style)

LIN = Interpolation.Linear


def red_bg(ms=1000):
    return n.paint_bg(Color.RED, ms, LIN)


def grid():
    """6x3 at (0, 0): text, blanks, a blue background under '#' and under one space."""
    buf = Buffer.with_lines(["ab  12", "# #..x", "  ##  "])
    for x, y in [(0, 1), (1, 1), (2, 1), (2, 2), (3, 2)]:
        buf.set_style(Rect(x, y, 1, 1), Style.default().bg(Color.BLUE))
    return buf


def marks(buf, colour=Color.RED):
    """'x' where the cell's background is `colour`, '.' elsewhere."""
    a = buf.area
    return ["".join("x" if buf.cell_bg(x, y) == colour else "." for x in range(a.width)) for y in range(a.height)]


def selected(flt, area=None):
    buf = grid()
    red_bg().with_filter(flt).process(10, buf, area or buf.area)
    return marks(buf)


# ---- filters over a buffer ------------------------------------------------------------------

@pytest.mark.parametrize("flt,expected", [
    (CellFilter.ALL, ["xxxxxx", "xxxxxx", "xxxxxx"]),
    (CellFilter.TEXT, ["xxxxxx", ".x.xxx", "xx..xx"]),
    (CellFilter.NON_EMPTY, ["xx..xx", "x.xxxx", "..xx.."]),
    (CellFilter.BACKGROUND, ["......", "xxx...", "..xx.."]),
    (CellFilter.BACKGROUND_ONLY, ["......", ".x....", "......"]),
    (CellFilter.area(Rect(1, 1, 2, 5)), ["......", ".xx...", ".xx..."]),
    (CellFilter.inner(Margin(1, 1)), ["......", ".xxxx.", "......"]),
    (CellFilter.outer(Margin(1, 1)), ["xxxxxx", "x....x", "xxxxxx"]),
    (CellFilter.bg_color(Color.BLUE), ["......", "xxx...", "..xx.."]),
    (CellFilter.all_of([]), ["xxxxxx", "xxxxxx", "xxxxxx"]),
    (CellFilter.none_of([]), ["xxxxxx", "xxxxxx", "xxxxxx"]),
    (CellFilter.any_of([]), ["......", "......", "......"]),
    (CellFilter.any_of([CellFilter.BACKGROUND, CellFilter.area(Rect(5, 0, 1, 3))]), [".....x", "xxx..x", "..xx.x"]),
    (CellFilter.not_(CellFilter.TEXT), ["......", "x.x...", "..xx.."]),
    (CellFilter.TEXT.negated().negated(), ["xxxxxx", ".x.xxx", "xx..xx"]),
    (CellFilter.NON_EMPTY.into_static(), ["xx..xx", "x.xxxx", "..xx.."]),
    (CellFilter.layout(n.Layout.horizontal([n.Constraint.length(2), n.Constraint.fill(1)]), 0),
     ["xx....", "xx....", "xx...."]),
    (CellFilter.position_fn(lambda x, y: x == 3), ["...x..", "...x..", "...x.."]),
    (CellFilter.position_fn(lambda x, y: 1), ["......", "......", "......"]),
    (CellFilter.position_fn(None), ["......", "......", "......"]),
    (CellFilter.eval_cell(lambda s, fg, bg: s == "#"), ["......", "x.x...", "..xx.."]),
])
def test_filters_select_cells(flt, expected):
    assert selected(flt) == expected


def test_callbacks_get_positions_and_cell_values_and_errors_are_silent(capsys):
    seen = []
    selected(CellFilter.eval_cell(lambda *args: seen.append(args)))
    sym, fg, bg = seen[6]  # (0, 1)
    assert (sym, type(fg), type(bg)) == ("#", Color, Color) and bg == Color.BLUE and fg == Color.RESET
    positions = []
    selected(CellFilter.position_fn(lambda *args: positions.append(args)), Rect(4, 1, 9, 9))
    assert sorted(positions) == [(4, 1), (4, 2), (5, 1), (5, 2)]

    def boom(*args):
        raise ValueError("no")

    assert selected(CellFilter.eval_cell(boom)) == ["......"] * 3
    assert selected(CellFilter.position_fn(boom)) == ["......"] * 3
    assert capsys.readouterr() == ("", "")


def test_ref_area_follows_the_shared_rectangle():
    r = RefRect.new(Rect(0, 0, 2, 1))
    e = red_bg().with_filter(CellFilter.ref_area(r))
    buf = grid()
    e.process(10, buf, buf.area)
    assert marks(buf) == ["xx....", "......", "......"]
    r.set(Rect(4, 2, 10, 10))
    buf = grid()
    e.process(10, buf, buf.area)
    assert marks(buf) == ["......", "......", "....xx"]

    def move(x, y):  # changed in the middle of a step: read from the next cell on
        r.set(Rect(0, 0, 1, 1))
        return True

    e = red_bg().with_filter(CellFilter.all_of([CellFilter.ref_area(r), CellFilter.position_fn(move)]))
    buf = grid()
    e.process(1, buf, buf.area)
    assert marks(buf) == ["......", "......", "....x."]
    buf = grid()
    e.process(1, buf, buf.area)
    assert marks(buf) == ["x.....", "......", "......"]


# ---- Effect ---------------------------------------------------------------------------------

def test_process_returns_leftover_time_and_timers_are_copies():
    e = n.fade_to_fg(Color.RED, 1000, LIN)
    buf = Buffer.empty(Rect(0, 0, 4, 1))
    assert e.process(500, buf, buf.area) is None
    t1, t2 = e.timer(), e.timer()
    assert t1 is not t2 and repr(t1) == repr(t2) == repr(e.get_timer()) == "EffectTimer(remaining=500ms, duration=1000ms)"
    assert t1.alpha() == 0.5 and t1.started()
    assert e.reversed().timer().alpha() == 0.5
    assert e.process(250, buf, buf.area) is None
    assert e.timer().alpha() == 0.75 and e.reversed().timer().alpha() == 0.25
    t1.reset()
    assert e.timer().remaining_ms() == 250  # the copy is detached
    assert e.process(250, buf, buf.area) is None and e.is_done() and not e.is_running()
    assert e.process(40, buf, buf.area) == 40
    assert buf.cell_fg(0, 0) == Color.RED
    e.reset_timer()
    assert e.timer().remaining_ms() == 1000 and e.is_running()
    assert e.process(4294967295, buf, buf.area) == 4294967295 - 1000


def test_zero_length_and_huge_timers():
    e = n.paint_fg(Color.RED, 0, LIN)
    buf = Buffer.empty(Rect(0, 0, 1, 1))
    assert e.is_done() and e.process(0, buf, buf.area) is None and e.process(7, buf, buf.area) == 7
    big = n.paint_fg(Color.RED, 4294967295, LIN)
    assert big.process(4294967295, buf, buf.area) is None and big.is_done()


def test_reverse_and_reversed():
    e = red_bg()
    r = e.reversed()
    assert r is not e and r.timer().is_reversed() and not e.timer().is_reversed()
    assert e.reverse() is None and e.timer().is_reversed()


def test_filters_install_only_once_and_are_copied():
    e = red_bg()
    assert e.get_filter() is None
    assert e.set_filter(CellFilter.TEXT) is None
    e.set_filter(CellFilter.ALL)
    buf = grid()
    e.process(1, buf, buf.area)
    assert marks(buf) == ["xxxxxx", ".x.xxx", "xx..xx"]  # still TEXT
    f = e.get_filter()
    assert type(f) is CellFilter and f is not e.get_filter() and f is not CellFilter.TEXT
    w = red_bg().with_filter(CellFilter.BACKGROUND).with_filter(CellFilter.TEXT)
    buf = grid()
    w.process(1, buf, buf.area)
    assert marks(buf) == ["......", "xxx...", "..xx.."]


def test_areas():
    e = red_bg()
    assert e.get_area() is None
    assert repr(e.with_area(Rect(65000, 0, 1000, 10)).get_area()) == "Rect(x=65000, y=0, width=535, height=10)"
    assert e.get_area() is None
    e.set_area(Rect(4, 1, 9, 9))
    buf = grid()
    e.process(1, buf, Rect(0, 0, 2, 2))  # its own area wins
    assert marks(buf) == ["......", "....xx", "....xx"]
    buf = Buffer.empty(Rect(65530, 65530, 5, 5))
    red_bg().process(1, buf, Rect(65534, 65534, 65535, 65535))
    assert marks(buf) == ["....."] * 4 + ["....x"]


def test_copies_patterns_colour_space_and_rng_leave_the_receiver_alone():
    e = n.fade_to(Color.RED, Color.BLUE, 100, LIN)
    copies = [e.with_pattern(RadialPattern.center()), e.with_color_space(ColorSpace.Rgb), e.with_rng(7),
              e.with_area(Rect(0, 0, 1, 1)), e.reversed()]
    assert all(type(c) is n.Effect and c is not e for c in copies)
    assert e.get_area() is None and not e.timer().is_reversed()
    assert e.set_color_space(ColorSpace.Hsv) is None
    # Rgb and Hsl blends of the same step differ.
    a, b = Buffer.empty(Rect(0, 0, 1, 1)), Buffer.empty(Rect(0, 0, 1, 1))
    n.fade_to_fg(Color.RED, 100, LIN).with_color_space(ColorSpace.Rgb).process(50, a, a.area)
    n.fade_to_fg(Color.RED, 100, LIN).process(50, b, b.area)
    assert a.cell_fg(0, 0) != b.cell_fg(0, 0)
    # A radial pattern holds the rim back mid-way while the centre is done.
    buf = Buffer.empty(Rect(0, 0, 9, 9))
    n.paint_bg(Color.RED, 100, LIN).with_pattern(RadialPattern.center()).process(50, buf, buf.area)
    assert buf.cell_bg(4, 4) == Color.RED and buf.cell_bg(0, 0) == Color.RESET


@pytest.mark.parametrize("call,exc,param", [
    (lambda e, b: e.process(-1, b, b.area), OverflowError, "duration_ms"),
    (lambda e, b: e.process(2**32, b, b.area), OverflowError, "duration_ms"),
    (lambda e, b: e.process(1, "buf", b.area), TypeError, "buffer"),
    (lambda e, b: e.process(1, b, (0, 0, 1, 1)), TypeError, "area"),
    (lambda e, b: e.set_area(None), TypeError, "area"),
    (lambda e, b: e.set_filter(CellFilter), TypeError, "filter"),
    (lambda e, b: e.with_rng(-1), OverflowError, "seed"),
    (lambda e, b: e.with_pattern(CellFilter.ALL), TypeError, "pattern"),
    (lambda e, b: e.set_color_space(0), TypeError, "color_space"),
])
def test_argument_errors(call, exc, param):
    e, buf = red_bg(), Buffer.empty(Rect(0, 0, 1, 1))
    with pytest.raises(exc) as info:
        call(e, buf)
    assert info.value.__notes__ == [f"while processing '{param}'"]
    assert e.timer().remaining_ms() == 1000


def test_text_signatures():
    sigs = {"process": "($self, duration_ms, buffer, area)", "with_filter": "($self, filter)",
            "with_rng": "($self, seed)", "set_color_space": "($self, color_space)", "name": "($self)"}
    for name, sig in sigs.items():
        assert getattr(n.Effect, name).__text_signature__ == sig
    assert EffectManager.add_unique.__text_signature__ == "($self, key, effect)"
    with pytest.raises(TypeError):
        n.Effect()


def test_busy_effect_and_buffer_inside_a_callback():
    e = red_bg()
    buf = grid()
    errors = []

    def reenter(x, y):
        for call in (lambda: e.process(1, buf, buf.area), lambda: e.name(),
                     lambda: buf.set_string(0, 0, "z", Style.default())):
            try:
                call()
            except RuntimeError as err:
                errors.append(str(err))
        return True

    e.set_filter(CellFilter.position_fn(reenter))
    e.process(1, buf, buf.area)
    assert set(errors) == {"Already borrowed", "Already mutably borrowed"}
    assert marks(buf) == ["xxxxxx"] * 3  # every callback still selected its cell
    assert e.timer().remaining_ms() == 999


def test_to_dsl_of_an_effect_without_a_text_form():
    u = EffectManager().unique("k", red_bg())
    with pytest.raises(RuntimeError) as info:
        u.to_dsl()
    assert str(info.value) == "The effect 'unique' cannot be converted to DSL format."
    assert u.name() == "unique"


def run_on_thread(fn):
    out = {}

    def run():
        try:
            out["r"] = fn()
        except BaseException as e:  # the panic exception is a BaseException
            out["e"] = e.with_traceback(None)  # its traceback would put `fn` in a cycle, freed on any thread

    t = threading.Thread(target=run)
    t.start()
    t.join(10)
    return out


def test_effect_refuses_other_threads():
    e = red_bg()
    out = run_on_thread(lambda: e.reverse())
    assert type(out["e"]).__name__ == "PanicException"
    assert str(out["e"]) == "tarvo_core::bindings::fx::PyEffect is unsendable, but sent to another thread"
    assert not e.timer().is_reversed()
    m = EffectManager()
    out = run_on_thread(lambda: m.add(e))
    assert "PyEffectManager is unsendable" in str(out["e"]) and not m.is_running()


# ---- EffectManager --------------------------------------------------------------------------

def test_manager_copies_effects_and_runs_them_in_order():
    m = EffectManager()
    assert not m.is_running()
    e = n.paint_fg(Color.RED, 100, LIN)
    e.reverse()
    m.add(e)
    assert m.is_running()
    m.add(n.paint_fg(Color.BLUE, 10, LIN).with_area(Rect(1, 0, 1, 1)))  # added later: draws over
    buf = Buffer.empty(Rect(0, 0, 3, 1))
    assert m.process(10, buf, buf.area) is None
    assert [buf.cell_fg(x, 0) for x in range(3)] == [Color.RED, Color.BLUE, Color.RED]
    assert e.timer().remaining_ms() == 100  # the manager's copy ran, not `e`
    m.process(90, buf, buf.area)
    assert not m.is_running()
    done = n.paint_fg(Color.RED, 0, LIN)
    m.add(done)
    assert m.is_running()
    m.process(0, buf, buf.area)
    assert not m.is_running()


def test_supersession_and_cancel():
    m = EffectManager()
    buf = Buffer.empty(Rect(0, 0, 2, 1))
    m.add_unique("k", n.paint_bg(Color.RED, 1000, LIN))
    m.add_unique("k", n.paint_fg(Color.BLUE, 1000, LIN))
    m.process(10, buf, buf.area)
    assert (buf.cell_bg(0, 0), buf.cell_fg(0, 0)) == (Color.RED, Color.BLUE)  # the old one drew once more
    buf = Buffer.empty(Rect(0, 0, 2, 1))
    m.process(10, buf, buf.area)
    assert (buf.cell_bg(0, 0), buf.cell_fg(0, 0)) == (Color.RESET, Color.BLUE)

    held = m.unique("k", n.paint_bg(Color.GREEN, 1000, LIN))
    assert type(held) is n.Effect and m.is_running()
    assert held.is_running() and held.name() == "unique"
    m.process(10, buf, buf.area)
    assert not m.is_running()  # the listed "k" effect ended, `held` was never listed

    m.cancel("nothing")
    assert m.is_running()
    buf = Buffer.empty(Rect(0, 0, 2, 1))
    m.process(10, buf, buf.area)
    assert not m.is_running() and buf.cell_fg(0, 0) == Color.RESET

    m.add_unique("t", n.paint_bg(Color.RED, 1000, LIN))
    m.cancel("t")
    m.process(10, buf, buf.area)
    assert not m.is_running()

    # Its own unique effect handed back under the same key ends after one step.
    again = m.unique("u", red_bg())
    m.add_unique("u", again)
    m.add(again)
    m.process(1, buf, buf.area)
    assert not m.is_running()


@pytest.mark.parametrize("call,exc,param", [
    (lambda m, b: m.add("fx"), TypeError, "effect"),
    (lambda m, b: m.unique(1, red_bg()), TypeError, "key"),
    (lambda m, b: m.add_unique("k", None), TypeError, "effect"),
    (lambda m, b: m.cancel(b"k"), TypeError, "key"),
    (lambda m, b: m.process(-5, b, b.area), OverflowError, "duration_ms"),
    (lambda m, b: m.process(1, b.area, b.area), TypeError, "buffer"),
    (lambda m, b: m.process(1, b, None), TypeError, "area"),
])
def test_manager_argument_errors(call, exc, param):
    m, buf = EffectManager(), Buffer.empty(Rect(0, 0, 1, 1))
    with pytest.raises(exc) as info:
        call(m, buf)
    assert info.value.__notes__ == [f"while processing '{param}'"]
    assert not m.is_running()


def test_manager_busy_inside_a_callback():
    m = EffectManager()
    errors = []

    def reenter(x, y):
        for call in (lambda: m.add(red_bg()), lambda: m.is_running()):
            try:
                call()
            except RuntimeError as err:
                errors.append(str(err))
        return False

    m.add(red_bg().with_filter(CellFilter.position_fn(reenter)))
    buf = Buffer.empty(Rect(0, 0, 1, 1))
    m.process(1, buf, buf.area)
    assert errors == ["Already borrowed", "Already mutably borrowed"]
    assert m.is_running() and marks(buf) == ["."]
