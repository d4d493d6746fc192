"""Effect timers, durations, the effect enumerations, RefRect, RadialPattern and CellFilter builders."""

import threading

import pytest

from tarvo_core.rust.native import (CellFilter, Color, ColorSpace, Duration, EffectManager, EffectTimer,
                                    EvolveSymbolSet, ExpandDirection, Interpolation, Layout, Margin, Motion,
                                    RadialPattern, Rect, RefRect, RepeatMode)

CURVES = ["BackIn", "BackOut", "BackInOut", "BounceIn", "BounceOut", "BounceInOut", "CircIn", "CircOut",
          "CircInOut", "CubicIn", "CubicOut", "CubicInOut", "ElasticIn", "ElasticOut", "ElasticInOut", "ExpoIn",
          "ExpoOut", "ExpoInOut", "Linear", "QuadIn", "QuadOut", "QuadInOut", "QuartIn", "QuartOut", "QuartInOut",
          "QuintIn", "QuintOut", "QuintInOut", "Reverse", "SmoothStep", "Spring", "SineIn", "SineOut", "SineInOut"]

ENUMS = [
    (Interpolation, CURVES),
    (Motion, ["UpToDown", "DownToUp", "LeftToRight", "RightToLeft"]),
    (EvolveSymbolSet, ["BlocksHorizontal", "BlocksVertical", "CircleFill", "Circles", "Quadrants", "Shaded",
                       "Squares"]),
    (ExpandDirection, ["Horizontal", "Vertical"]),
    (RepeatMode, ["Forever", "Times", "Duration"]),
    (ColorSpace, ["Rgb", "Hsl", "Hsv"]),
]


@pytest.mark.parametrize("cls,names", ENUMS, ids=lambda v: getattr(v, "__name__", ""))
def test_enumerations(cls, names):
    for i, name in enumerate(names):
        v = getattr(cls, name)
        assert v is getattr(cls, name)
        assert int(v) == i and v == i and not (v != i)
        assert repr(v) == f"{cls.__name__}.{name}"
        assert v == v and not (v != v)
    first, last = getattr(cls, names[0]), getattr(cls, names[-1])
    assert first != last and (first == "x") is False and first != names[0]
    with pytest.raises(TypeError):
        first < last
    with pytest.raises(TypeError):
        hash(first)
    with pytest.raises(TypeError):
        cls()


def test_enumeration_arguments_accept_only_their_class():
    for bad in (18, "Linear", Motion.UpToDown, None):
        with pytest.raises(TypeError) as e:
            EffectTimer.from_ms(10, bad)
        assert e.value.__notes__ == ["while processing 'interpolation'"]


@pytest.mark.parametrize("total,alpha,done", [(1000, 0.0, False), (0, 1.0, True), (1, 0.0, False)])
def test_fresh_timers(total, alpha, done):
    t = EffectTimer.from_ms(total, Interpolation.Linear)
    assert t.alpha() == alpha and t.is_done() is done
    assert t.remaining_ms() == t.duration_ms() == total
    assert not t.started() and not t.is_reversed()


def test_timer_members():
    t = EffectTimer.from_ms(1000, Interpolation.QuadIn)
    assert repr(t) == "EffectTimer(remaining=1000ms, duration=1000ms)"
    assert t.reset() is None and t.remaining_ms() == 1000
    assert EffectTimer.from_ms(4294967295, Interpolation.Linear).duration_ms() == 4294967295
    with pytest.raises(OverflowError) as e:
        EffectTimer.from_ms(-1, Interpolation.Linear)
    assert e.value.__notes__ == ["while processing 'duration_ms'"]
    assert EffectTimer.from_ms.__text_signature__ == "(duration_ms, interpolation)"
    assert EffectTimer.alpha.__text_signature__ == "($self)"


def test_durations():
    assert Duration.from_secs(2).as_millis() == 2000
    assert repr(Duration.from_secs(2)) == "Duration(2000ms)"
    assert Duration.ZERO is Duration.ZERO and Duration.ZERO.is_zero()
    assert Duration.from_millis(5) == Duration.from_millis(5)
    assert Duration.from_millis(5) != Duration.from_millis(6)
    assert (Duration.from_millis(5) == 5) is False
    assert Duration.from_secs(4294967).as_millis() == 4294967000
    with pytest.raises(TypeError):
        Duration.from_millis(1) < Duration.from_millis(2)
    for bad, param, fn in [(-1, "milliseconds", Duration.from_millis), (2**32, "milliseconds", Duration.from_millis),
                           (4294968, "seconds", Duration.from_secs), (-1, "seconds", Duration.from_secs)]:
        with pytest.raises(OverflowError, match="out of range integral type conversion attempted") as e:
            fn(bad)
        assert e.value.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("rect,expected", [
    (Rect(2, 3, 4, 5), "RefRect(x=2, y=3, width=4, height=5)"),
    (Rect(65530, 0, 100, 1), "RefRect(x=65530, y=0, width=5, height=1)"),
])
def test_ref_rect(rect, expected):
    r = RefRect.new(rect)
    assert repr(r) == expected
    assert repr(r.get()) == repr(rect) and r.get() is not r.get()
    r.set(Rect(65535, 65535, 9, 9))
    assert repr(r) == "RefRect(x=65535, y=65535, width=0, height=0)"


@pytest.mark.parametrize("x,y,inside", [(2, 3, True), (6, 3, False), (5, 7, True), (5, 8, False), (1, 3, False)])
def test_ref_rect_contains(x, y, inside):
    assert RefRect.new(Rect(2, 3, 4, 5)).contains(x, y) is inside


def test_ref_rect_edges_and_errors():
    d = RefRect.default()
    assert repr(d) == "RefRect(x=0, y=0, width=0, height=0)" and not d.contains(0, 0)
    with pytest.raises(OverflowError) as e:
        d.contains(0, 65536)
    assert e.value.__notes__ == ["while processing 'y'"]
    with pytest.raises(TypeError) as e:
        RefRect.new((1, 2, 3, 4))
    assert e.value.__notes__ == ["while processing 'rect'"]


def test_radial_patterns_build_and_refuse_non_numbers():
    class Floaty:
        def __float__(self):
            return 0.25

    for p in (RadialPattern.new(-0.5, 1.5), RadialPattern.center().with_transition_width(0.0),
              RadialPattern.with_transition(Floaty(), 1, float("nan")), RadialPattern.center().with_center(2, -3)):
        assert type(p).__name__ == "RadialPattern"
    for call, param in [(lambda: RadialPattern.new("x", 0), "center_x"),
                        (lambda: RadialPattern.with_transition(0, 0, None), "transition_width"),
                        (lambda: RadialPattern.center().with_transition_width([]), "width")]:
        with pytest.raises(TypeError) as e:
            call()
        assert e.value.__notes__ == [f"while processing '{param}'"]


def test_cell_filter_builders():
    assert CellFilter.ALL is CellFilter.ALL
    for name in ("ALL", "TEXT", "NON_EMPTY", "BACKGROUND", "BACKGROUND_ONLY"):
        assert type(getattr(CellFilter, name)) is CellFilter
    made = [CellFilter.area(Rect(1, 1, 2, 2)), CellFilter.ref_area(RefRect.default()), CellFilter.fg_color(Color.RED),
            CellFilter.bg_color(Color.BLUE), CellFilter.inner(Margin(1, 1)), CellFilter.outer(Margin(1, 1)),
            CellFilter.all_of([]), CellFilter.any_of((CellFilter.TEXT,)), CellFilter.none_of([CellFilter.ALL]),
            CellFilter.not_(CellFilter.TEXT), CellFilter.layout(Layout.default(), 0), CellFilter.position_fn(None),
            CellFilter.eval_cell(lambda *a: True), CellFilter.TEXT.negated().negated(), CellFilter.ALL.into_static()]
    assert all(type(f) is CellFilter for f in made)
    with pytest.raises(TypeError, match="Can't extract `str` to `Vec`"):
        CellFilter.all_of("ab")
    with pytest.raises(TypeError, match="is not an instance of 'CellFilter'"):
        CellFilter.any_of([CellFilter.ALL, 3])
    with pytest.raises(OverflowError) as e:
        CellFilter.layout(Layout.default(), 65536)
    assert e.value.__notes__ == ["while processing 'index'"]
    with pytest.raises(TypeError) as e:
        CellFilter.area(Margin(1, 1))
    assert e.value.__notes__ == ["while processing 'rect'"]
    assert CellFilter.position_fn.__text_signature__ == "(callback)"


@pytest.mark.parametrize("make,path", [
    (lambda: CellFilter.TEXT, "PyCellFilter"),
    (lambda: RefRect.default(), "PyRefRect"),
    (lambda: EffectManager(), "PyEffectManager"),
])
def test_thread_bound_objects_refuse_other_threads(make, path):
    obj = make()
    use = {"PyCellFilter": lambda: obj.negated(), "PyRefRect": lambda: obj.get(),
           "PyEffectManager": lambda: obj.is_running()}[path]
    out = {}

    def run():
        try:
            use()
        except BaseException as e:  # the panic exception is a BaseException
            out["e"] = e.with_traceback(None)  # its traceback would put `obj` in a cycle, freed on any thread

    t = threading.Thread(target=run)
    t.start()
    t.join(10)
    assert type(out["e"]).__name__ == "PanicException"
    assert str(out["e"]) == f"tarvo_core::bindings::fx::{path} is unsendable, but sent to another thread"
    use()  # still fine on its own thread


def test_filters_too_deep_or_too_large_are_refused():
    f = CellFilter.ALL
    for _ in range(999):
        f = f.negated()
    for build in (f.negated, f.into_static, lambda: CellFilter.not_(f), lambda: CellFilter.none_of([CellFilter.TEXT, f])):
        with pytest.raises(ValueError, match="^cell filters cannot be nested more than 1000 deep$"):
            build()
    g = CellFilter.ALL
    with pytest.raises(ValueError, match=r"^a cell filter cannot hold more than 1048576 rules$"):
        for _ in range(40):  # doubling: refused long before memory runs out
            g = CellFilter.all_of([g, g])
    CellFilter.any_of([g])  # the largest allowed still builds
