"""Property tests of the places where the module calls back into Python: draw callbacks of
offscreen sessions and cell-filter predicates of effects. Callbacks that raise, re-enter the
session or the effect, keep the view they were lent, close the session mid-frame, panic, or drop
the last references to what is being drawn let only ordinary exceptions (or the panic exception,
or the interrupt a callback raised itself) out; reference counts do not fall; the session, the
effect and the manager stay usable afterwards."""

from __future__ import annotations

import gc
import os
import sys
import threading

import pytest
from hypothesis import HealthCheck, given, settings
from hypothesis import strategies as st

import fuzz_surface as fs

n = fs.native
e = fs.engine
N, RC, IR = e.CoreRenderNode, e.CoreRenderContent, e.CoreRenderIR

EXAMPLES = int(os.environ.get("TARVO_FUZZ_EXAMPLES", "0")) or 60
PROPERTY = settings(max_examples=EXAMPLES, deadline=None, database=None,
                    derandomize=bool(os.environ.get("CI")), suppress_health_check=list(HealthCheck))

pytestmark = pytest.mark.filterwarnings("ignore::pytest.PytestUnraisableExceptionWarning")


class Planted(KeyboardInterrupt):
    """An interrupt raised by a callback on purpose: it may come out of the call it was raised in."""


def allowed(exc: BaseException) -> bool:
    return isinstance(exc, (Exception, Planted)) or fs.is_panic(exc)


def outcome(fn, *args):
    """None, or the exception `fn` raised; anything but an ordinary one fails the test."""
    try:
        fn(*args)
    except SystemError as exc:
        pytest.fail(f"SystemError {exc!r}")
    except BaseException as exc:  # noqa: B036 - every way out is inspected
        assert allowed(exc), f"{type(exc).__name__} escaped: {exc!r}"
        return exc
    return None


# ---------------------------------------------------------------------------------------------
# draw callbacks of offscreen sessions

BEHAVIOURS = ["draw", "raise", "interrupt", "keep", "render again", "snapshot", "close", "panic",
              "junk", "drop tree", "effects", "other session", "other thread", "areas", "sizes",
              "huge write", "view after close"]


class World:
    """What the callbacks of one example share."""

    def __init__(self, session):
        self.session = session
        self.kept = []
        self.trees = []
        self.closed = False


def make_callback(world: World, behaviour: str, depth: int):
    def callback(view, area):
        s = world.session
        if behaviour == "draw":
            view.set_string(area.x, area.y, "drawn", n.Style.default().fg(n.Color.RED))
            view.set_style(area, n.Style.default().add_modifier(n.Modifier.BOLD))
            view.get_cell(area.x, area.y)
        elif behaviour == "raise":
            raise ValueError("from a draw callback")
        elif behaviour == "interrupt":
            raise Planted()
        elif behaviour == "keep":
            world.kept.append(view)
        elif behaviour == "render again":
            world.kept.append(outcome(s.render, N(content=RC.ir(IR.text_raw("nested")))))
        elif behaviour == "snapshot":
            world.kept.append(s.buffer_snapshot())
        elif behaviour == "close":
            s.restore()
            world.closed = True
        elif behaviour == "panic":
            n.Gauge.default().ratio(2.0)
        elif behaviour == "junk":
            return view, area, object()
        elif behaviour == "drop tree":
            world.trees.clear()
            gc.collect()
        elif behaviour == "effects":
            outcome(s.add_unique_effect, "fx", n.fade_to_fg(n.Color.RED, 100))
            outcome(s.cancel_effect, "fx")
            outcome(s.add_effect, n.dissolve(50))
        elif behaviour == "other session":
            other = e.CoreSession.offscreen(3, 1)
            other.render(N(content=RC.drawable(lambda v, r: v.set_string(0, 0, "x", n.Style.default()))))
        elif behaviour == "other thread":
            seen = []
            t = threading.Thread(target=lambda: seen.append(outcome(s.render, N())))
            t.start()
            t.join()
        elif behaviour == "areas":
            outcome(s.effect_area_for, "key")
            outcome(s.get_last_frame_area)
            outcome(s.get_viewport_area)
        elif behaviour == "sizes":
            outcome(s.get_size)
            outcome(view.area)
        elif behaviour == "huge write":
            outcome(view.set_string, 65535, 65535, "x" * 100, n.Style.default())
            outcome(view.set_style, n.Rect(0, 0, 65535, 65535), n.Style.default())
        elif behaviour == "view after close":
            s.restore()
            world.closed = True
            view.set_string(0, 0, "after", n.Style.default())
        return None

    return callback


@st.composite
def tree(draw, world: World, depth: int = 0):
    kind = draw(st.sampled_from(["callback", "callback", "text", "widget", "row", "column", "stack", "hidden"])
                if depth < 3 else st.sampled_from(["callback", "text"]))
    key = draw(st.sampled_from([None, "key", "other"]))
    z = draw(st.integers(-2, 2))
    if kind == "callback":
        behaviour = draw(st.sampled_from(BEHAVIOURS))
        return N(content=RC.drawable(make_callback(world, behaviour, depth)), effect_key=key, z=z)
    if kind == "text":
        return N(content=RC.ir(IR.text_raw(draw(st.sampled_from(["a", "日本", "", "x" * 90])))), z=z)
    if kind == "widget":
        return N(content=RC.widget(n.Paragraph.new("para").block(n.Block.bordered())), effect_key=key)
    if kind == "hidden":
        return N(content=RC.drawable(make_callback(world, "raise", depth)), visible=False)
    kids = draw(st.lists(tree(world, depth + 1), min_size=0, max_size=3))
    if kind == "stack":
        return N.stack(draw(st.integers(0, 6)), draw(st.integers(0, 3)), draw(st.integers(0, 8)),
                       draw(st.integers(0, 4)), kids)
    constraints = draw(st.one_of(st.none(), st.just([n.Constraint.fill(1)] * len(kids))))
    make = N.row if kind == "row" else N.column
    return make(kids, constraints=constraints, gap=draw(st.integers(0, 2)))


@PROPERTY
@given(data=st.data())
def test_draw_callbacks_of_every_kind(data):
    session = e.CoreSession.offscreen(data.draw(st.integers(1, 30)), data.draw(st.integers(1, 8)))
    world = World(session)
    frames = data.draw(st.integers(1, 3))
    roots = [data.draw(tree(world)) for _ in range(frames)]
    world.trees.extend(roots)
    gc.collect()
    base = sys.getrefcount(session)
    for i in range(frames):
        outcome(session.render, world.trees[i] if i < len(world.trees) else roots[i])
    # Views kept past their frame refuse every use.
    for view in [k for k in world.kept if type(k).__name__ == "BufferMutView"]:
        for use in (lambda v: v.set_string(0, 0, "late", n.Style.default()), lambda v: v.area(),
                    lambda v: v.get_cell(0, 0), lambda v: v.set_style(n.Rect(0, 0, 1, 1), n.Style.default())):
            assert outcome(use, view) is not None, "a view was usable after its frame"
        assert isinstance(repr(view), str)
    world.kept.clear()
    world.trees.clear()
    del roots
    gc.collect()
    assert sys.getrefcount(session) <= base + 1 and sys.getrefcount(session) >= 2
    # The session still draws (or, once closed, stays quietly closed).
    assert outcome(session.render, N(content=RC.ir(IR.text_raw("ok")))) is None
    snapshot = session.buffer_snapshot()
    if not world.closed:
        assert snapshot.to_string_lines()[0].startswith("ok"[: snapshot.area.width])
    assert session.is_buffer_backed() is True
    session.restore()


@pytest.mark.parametrize("behaviour", BEHAVIOURS)
def test_each_draw_callback_behaviour_alone(behaviour):
    """Every behaviour once on its own, so none of them hides behind another's exception."""
    session = e.CoreSession.offscreen(8, 2)
    world = World(session)
    cb = make_callback(world, behaviour, 0)
    base = sys.getrefcount(cb)
    world.trees.append(N.column([N(content=RC.drawable(cb)), N(content=RC.ir(IR.text_raw("next")))],
                                constraints=[n.Constraint.length(1)] * 2))
    exc = outcome(session.render, world.trees[0] if world.trees else N())
    # The frame holds the session: reading its buffer or closing it inside the frame is refused.
    expected = {"raise": ValueError, "interrupt": Planted, "snapshot": RuntimeError, "close": RuntimeError,
                "view after close": RuntimeError}
    if behaviour in expected:
        assert isinstance(exc, expected[behaviour]), repr(exc)
    elif behaviour == "panic":
        assert fs.is_panic(exc)
    else:
        assert exc is None, repr(exc)
    if not world.closed and behaviour not in ("drop tree",):
        # The node after the callback is drawn whatever the callback did.
        assert session.buffer_snapshot().to_string_lines()[1] == "next"
    exc = None  # its traceback holds the tree
    world.kept.clear()
    world.trees.clear()
    gc.collect()
    assert sys.getrefcount(cb) == base


# ---------------------------------------------------------------------------------------------
# cell-filter predicates of effects

def effect_makers():
    """Effect constructor calls the surface search saw accepted."""
    makers = []
    for t in fs.TARGETS:
        if t.kind != "function":
            continue
        for args in fs.GOOD_ARGS.get(t.id, [])[:2]:
            try:
                made = t.fn(*args)
            except BaseException:  # noqa: B036
                continue
            if isinstance(made, n.Effect):
                makers.append((t.id, lambda t=t, args=args: t.fn(*args)))
    return makers


EFFECT_MAKERS = effect_makers()
PREDICATE_BEHAVIOURS = ["true", "false", "raise", "interrupt", "junk", "process again", "reset",
                        "swap filter", "manager", "keep", "gc", "ref rect"]


class FxWorld:
    def __init__(self, effect, manager, buffer, ref_rect):
        self.effect, self.manager, self.buffer, self.ref_rect = effect, manager, buffer, ref_rect
        self.kept = []


def make_predicate(world: FxWorld, behaviour: str):
    def predicate(*args):
        if behaviour == "true":
            return True
        if behaviour == "false":
            return False
        if behaviour == "raise":
            raise ValueError("from a predicate")
        if behaviour == "interrupt":
            raise Planted()
        if behaviour == "junk":
            return args
        if behaviour == "process again":
            world.kept.append(outcome(world.effect.process, 5, world.buffer, world.buffer.area))
        elif behaviour == "reset":
            world.kept.append(outcome(world.effect.reset))
        elif behaviour == "swap filter":
            world.kept.append(outcome(world.effect.set_filter, n.CellFilter.ALL))
        elif behaviour == "manager":
            world.kept.append(outcome(world.manager.cancel, "k"))
            world.kept.append(outcome(world.manager.process, 5, world.buffer, world.buffer.area))
            world.kept.append(outcome(world.manager.add_unique, "k", n.dissolve(10)))
        elif behaviour == "keep":
            world.kept.append(args)
        elif behaviour == "gc":
            gc.collect()
        elif behaviour == "ref rect":
            world.ref_rect.set(n.Rect(0, 0, 1, 1))
        return True

    return predicate


@pytest.mark.skipif(not EFFECT_MAKERS, reason="no effect could be made")
@PROPERTY
@given(data=st.data())
def test_effects_with_hostile_filter_predicates(data):
    buffer = n.Buffer.empty(n.Rect(0, 0, data.draw(st.integers(1, 12)), data.draw(st.integers(1, 4))))
    buffer.set_string(0, 0, "hello world, 日本", n.Style.default().fg(n.Color.GREEN))
    name, make = data.draw(st.sampled_from(EFFECT_MAKERS))
    effect = outcome(make) or make()
    manager = n.EffectManager()
    world = FxWorld(effect, manager, buffer, n.RefRect.new(buffer.area))
    behaviour = data.draw(st.sampled_from(PREDICATE_BEHAVIOURS))
    predicate = make_predicate(world, behaviour)
    pick = data.draw(st.integers(0, 4))
    if pick == 0:
        flt = n.CellFilter.eval_cell(predicate)
    elif pick == 1:
        flt = n.CellFilter.position_fn(predicate)
    elif pick == 2:
        flt = n.CellFilter.all_of([n.CellFilter.eval_cell(predicate), n.CellFilter.ref_area(world.ref_rect)])
    elif pick == 3:
        flt = n.CellFilter.any_of([n.CellFilter.position_fn(predicate).negated(), n.CellFilter.TEXT])
    else:
        flt = n.CellFilter.not_(n.CellFilter.eval_cell(predicate)).into_static()
    base = sys.getrefcount(predicate)
    outcome(effect.set_filter, flt)
    if data.draw(st.booleans()):
        outcome(manager.add_unique, "k", effect.with_filter(flt))
        outcome(manager.add, effect)
    for step in data.draw(st.lists(st.sampled_from([0, 1, 16, 100, 1000, 2**32]), min_size=1, max_size=5)):
        outcome(effect.process, step, buffer, buffer.area)
        outcome(manager.process, step, buffer, buffer.area)
        outcome(effect.process, step, buffer, n.Rect(0, 0, 65535, 65535))
    # Still usable afterwards.
    assert isinstance(repr(effect), str) and isinstance(effect.name(), str)
    outcome(effect.to_dsl)  # not every kind has a text form
    outcome(effect.reset)
    outcome(effect.process, 1, buffer, buffer.area)
    assert isinstance(manager.is_running(), bool)
    assert isinstance(buffer.to_string_lines(), list)
    del flt, effect, manager
    world.kept.clear()
    world.effect = world.manager = None
    gc.collect()
    assert sys.getrefcount(predicate) <= base


@pytest.mark.parametrize("behaviour", PREDICATE_BEHAVIOURS)
def test_each_predicate_behaviour_alone_keeps_the_effect_usable(behaviour):
    if not EFFECT_MAKERS:
        pytest.skip("no effect could be made")
    buffer = n.Buffer.empty(n.Rect(0, 0, 6, 2))
    buffer.set_string(0, 0, "abcdef", n.Style.default())
    effect = n.fade_to_fg(n.Color.RED, 100)
    world = FxWorld(effect, n.EffectManager(), buffer, n.RefRect.new(buffer.area))
    predicate = make_predicate(world, behaviour)
    effect.set_filter(n.CellFilter.eval_cell(predicate))
    # A predicate's exception is never raised by process (it only leaves the cell out).
    assert outcome(effect.process, 50, buffer, buffer.area) is None
    assert outcome(effect.process, 60, buffer, buffer.area) is None
    assert effect.is_done() is True
    effect.reset()
    assert effect.is_done() is False
    # Re-entrant calls met the borrow and were refused with an ordinary error.
    for kept in world.kept:
        assert kept is None or isinstance(kept, (Exception, tuple)), repr(kept)


# ---------------------------------------------------------------------------------------------
# effects of a session whose predicates re-enter the session

SESSION_REENTRY = {
    "render": lambda s: s.render(N(content=RC.ir(IR.text_raw("x")))),
    "restore": lambda s: s.restore(),
    "snapshot": lambda s: s.buffer_snapshot(),
    "cancel": lambda s: s.cancel_effect("k"),
    "replace": lambda s: s.add_unique_effect("k", n.dissolve(10)),
    "add": lambda s: s.add_effect(n.fade_to_fg(n.Color.RED, 10)),
    "areas": lambda s: (s.effect_area_for("k"), s.get_last_frame_area(), s.is_animating()),
}


@pytest.mark.parametrize("reentry", list(SESSION_REENTRY))
def test_session_effect_predicates_that_re_enter_the_session(reentry):
    session = e.CoreSession.offscreen(12, 3)
    results = []

    def predicate(*args):
        results.append(outcome(SESSION_REENTRY[reentry], session))
        return True

    base = sys.getrefcount(predicate)
    for add in (lambda f: session.add_unique_effect("k", n.fade_to_fg(n.Color.RED, 1000).with_filter(f)),
                lambda f: session.add_effect(n.paint_fg(n.Color.BLUE, 1000).with_filter(f))):
        add(n.CellFilter.eval_cell(predicate))
        add(n.CellFilter.position_fn(predicate))
    for _ in range(3):
        assert outcome(session.render, N(content=RC.ir(IR.text_raw("hello")), effect_key="k")) is None
    assert results, "no predicate was called"
    # Inside a frame the session is held: every re-entry is refused with the borrow error.
    assert all(isinstance(r, RuntimeError) for r in results), {repr(r) for r in results}
    assert session.buffer_snapshot().to_string_lines()[0] == "hello"
    session.restore()
    del session  # its effects, and their filters, go with it
    results.clear()
    gc.collect()
    assert sys.getrefcount(predicate) == base
