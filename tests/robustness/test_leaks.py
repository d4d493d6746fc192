"""Leak checks. A million builder, render and conversion calls (every call the surface search
found accepted, and the failing forms of them, mixed with the hot paths of a frame: effects,
render trees on offscreen sessions, the editor) leave the process's resident memory flat; and no single call leaves Python objects or heap bytes behind."""

from __future__ import annotations

import ctypes
import gc
import os
import random
import sys
import time

import pytest

import fuzz_surface as fs

native = fs.native

pytestmark = pytest.mark.skipif(fs.SANITIZED, reason="AddressSanitizer has its own leak checks")

CALLS = int(os.environ.get("TARVO_LEAK_CALLS", "1000000"))
RESIDENT_BOUND = 6 << 20  # bytes the resident set may grow over the whole run
PAGE = os.sysconf("SC_PAGE_SIZE")


def resident() -> int:
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * PAGE


class _MallInfo2(ctypes.Structure):
    _fields_ = [(name, ctypes.c_size_t) for name in
                ("arena", "ordblks", "smblks", "hblks", "hblkhd", "usmblks", "fsmblks", "uordblks",
                 "fordblks", "keepcost")]


def _malloc_in_use():
    try:
        fn = ctypes.CDLL(None).mallinfo2
    except (AttributeError, OSError):
        return None
    fn.restype = _MallInfo2

    def in_use() -> int:
        info = fn()
        return info.uordblks + info.hblkhd

    return in_use


malloc_in_use = _malloc_in_use()


# ---------------------------------------------------------------------------------------------
# the operations


def _hot_paths() -> list[tuple[str, object]]:
    """A frame's worth of common calls, each only when its classes are built, plus error paths
    (the wrong-class and overflow errors carry notes, which are easy to leak)."""
    n = native
    ops = []

    def add(name, fn):
        try:
            fn()
        except NotImplementedError:
            return
        except AttributeError:
            return
        ops.append((name, fn))

    def raising(fn, exc):
        def call():
            try:
                fn()
            except exc:
                return
            raise AssertionError("no error")
        return call

    add("style chain", lambda: n.Style.default().fg(n.Color.RED).bg(n.Color.rgb(1, 2, 3))
        .add_modifier(n.Modifier.BOLD).remove_modifier(n.Modifier.ITALIC))
    add("colour parse", lambda: n.Color.parse("#ff8800"))
    add("rect", lambda: n.Rect(1, 2, 30, 40).inner(n.Margin(1, 2)).intersection(n.Rect(0, 0, 9, 9)))
    add("wrong class", raising(lambda: n.Style.default().fg(1), TypeError))
    add("overflow", raising(lambda: n.Rect(-1), OverflowError))
    add("bad colour", raising(lambda: n.Color.parse("no such colour"), ValueError))
    add("span", lambda: n.Span.styled("héllo 日本", n.Style.default()).width())
    add("line", lambda: n.Line.from_spans(["a", n.Span.raw("b"), n.Style.default()]))
    add("text", lambda: n.Text.from_lines(["a", ["b", "c"], n.Line.raw("d")]).height())
    buf = n.Buffer.empty(n.Rect(0, 0, 40, 10))
    add("buffer write", lambda: buf.set_string(0, 1, "hello 👩‍🔬 world", n.Style.default()))
    add("buffer dumps", lambda: (buf.to_string_lines(), buf.to_ansi_lines()))
    add("buffer cell", lambda: buf.cell(3, 1))
    add("block", lambda: n.render_widget(n.Block.bordered().title("t"), n.Rect(0, 0, 20, 5), buf))
    add("paragraph", lambda: n.render_widget(
        n.Paragraph.new("lorem ipsum dolor " * 8).wrap(n.Wrap(trim=True)), buf.area, buf))
    add("layout", lambda: n.Layout.horizontal([n.Constraint.length(3), n.Constraint.fill(1)])
        .split(n.Rect(0, 0, 40, 3)))
    add("list", lambda: n.render_widget(n.RatList.new(["a", "b", "c"]), buf.area, buf))
    add("table", lambda: n.render_widget(
        n.RatTable.new([n.Row.new(["a", "b"])], [n.Constraint.length(3), n.Constraint.fill(1)]),
        buf.area, buf))
    add("unsupported widget", raising(lambda: n.render_widget(object(), buf.area, buf), TypeError))
    _engine_paths(add, raising)
    return ops


def _engine_paths(add, raising) -> None:
    """Effects over a buffer and through a manager, render trees on an offscreen session (draw
    callbacks included, raising ones too), and editor and key-binding calls."""
    n, e = native, fs.engine
    N, RC, IR = e.CoreRenderNode, e.CoreRenderContent, e.CoreRenderIR

    def later(name, make):
        """`make()` builds the operation; nothing is added while its classes are missing."""
        try:
            fn = make()
        except (NotImplementedError, AttributeError):
            return
        add(name, fn)

    def effect_steps():
        fx = n.sequence_effects([n.fade_to_fg(n.Color.RED, 40), n.dissolve(30),
                                 n.sweep_in(n.Motion.LeftToRight, 5, 0, n.Color.BLUE, 30)])
        small = n.Buffer.empty(n.Rect(0, 0, 20, 3))
        small.set_string(0, 0, "effects over text", n.Style.default())
        return lambda: [fx.process(16, small, small.area) for _ in range(3)] and fx.is_done()

    def manager_steps():
        mgr = n.EffectManager()
        small = n.Buffer.empty(n.Rect(0, 0, 20, 3))

        def step():
            mgr.add_unique("k", n.fade_from_fg(n.Color.GREEN, 30))
            mgr.add(n.hsl_shift_fg(10.0, 0.0, 0.0, 20))
            mgr.process(16, small, small.area)
        return step

    def filtered():
        fx = n.paint_fg(n.Color.RED, 50).with_filter(n.CellFilter.eval_cell(lambda s, fg, bg: s != " "))
        small = n.Buffer.empty(n.Rect(0, 0, 10, 2))
        small.set_string(0, 0, "a b c", n.Style.default())
        return lambda: (fx.reset(), fx.process(20, small, small.area))

    session = e.CoreSession.offscreen(40, 8)

    def drawn(view, area):
        view.set_string(area.x, area.y, "cb", n.Style.default())

    def failing(view, area):
        raise ValueError("draw")

    def tree():
        return N.column([N(content=RC.ir(IR.text_raw("status", fg=n.Color.RED)), effect_key="status"),
                         N.row([N(content=RC.drawable(drawn)),
                                N(content=RC.widget(n.Paragraph.new("para").block(n.Block.bordered()))),
                                N(content=RC.ir(IR.list([e.IrLine.raw("a"), e.IrLine.raw("b")], 1)))],
                               constraints=[n.Constraint.fill(1)] * 3)],
                        constraints=[n.Constraint.length(1), n.Constraint.fill(1)])

    def editor_ops():
        ed = e.CoreTextEditor("start")

        def step():
            ed.insert_text("typed 日本\n")
            ed.undo()
            ed.redo()
            ed.set_text("x" * 20)
            return ed.lines(), ed.cursor(), ed.text()
        return step

    later("effect steps", effect_steps)
    later("effect manager", manager_steps)
    later("filtered effect", filtered)
    later("effect text form", lambda: (lambda: n.fade_to_fg(n.Color.RED, 10).to_dsl()))
    later("offscreen frame", lambda: (lambda: (session.render(tree()), session.buffer_snapshot())))
    later("offscreen failing frame",
          lambda: raising(lambda: session.render(N(content=RC.drawable(failing))), ValueError))
    later("offscreen keyed area", lambda: (lambda: session.effect_area_for("status")))
    later("editor", editor_ops)
    later("key binding", lambda: (lambda: e.CoreKeyBinding.parse("ctrl+shift+f5")))
    later("bad key binding", lambda: raising(lambda: e.CoreKeyBinding.parse("ctrl+nonsense"), ValueError))


def _surface_ops() -> list[tuple[str, object]]:
    """Every call the surface search saw accepted, and the same call with one argument of the
    wrong kind; method receivers are made afresh each time."""
    ops = []
    for t in fs.TARGETS:
        for args in fs.GOOD_ARGS.get(t.id, [])[:2]:
            variants = [("", list(args))]
            if args:
                broken = list(args)
                broken[-1] = object()
                variants.append((" (wrong kind)", broken))
            for suffix, a in variants:
                if t.kind == "method":
                    sample = fs.POOL[t.owner][0]
                    fn = (lambda t=t, a=a, sample=sample: t.fn(sample.make(), *a))
                else:
                    fn = (lambda t=t, a=a: t.fn(*a))
                ops.append((t.id + suffix, fn))
    return ops


def _quietly(fn):
    def call():
        try:
            fn()
        except Exception:
            pass
        except BaseException as exc:  # noqa: B036 - the panic exception
            if not fs.is_panic(exc):
                raise
    return call


def _affordable(ops, limit=0.002):
    """Drops calls slower than `limit` seconds so the run stays short."""
    kept = []
    for name, fn in ops:
        call = _quietly(fn)
        start = time.perf_counter()
        call()
        if time.perf_counter() - start < limit:
            kept.append((name, call))
    return kept


HOT = _affordable(_hot_paths())
OPS = HOT + _affordable(_surface_ops())


# ---------------------------------------------------------------------------------------------
# the checks


def resident_growth(schedule, calls: int, batches: int = 8):
    """Runs `calls` calls of `schedule` (after a warm-up) in `batches` equal batches and gives the
    resident growth over them, its slope per batch (least squares), the sizes and the time."""
    size = len(schedule)

    def run(count):
        for i in range(count):
            schedule[i % size]()

    run(min(calls // 5, 200_000))  # warm-up: caches, free lists and allocator pools fill up
    gc.collect()
    sizes = [resident()]
    start = time.perf_counter()
    for _ in range(batches):
        run(calls // batches)
        gc.collect()
        sizes.append(resident())
    elapsed = time.perf_counter() - start
    mean_x, mean_y = batches / 2, sum(sizes) / len(sizes)
    slope = (sum((i - mean_x) * (y - mean_y) for i, y in enumerate(sizes))
             / sum((i - mean_x) ** 2 for i in range(len(sizes))))
    return sizes[-1] - sizes[0], slope, sizes, elapsed


def flat(growth: float, slope: float, batches: int = 8) -> bool:
    return growth < RESIDENT_BOUND and slope * batches < RESIDENT_BOUND


def test_a_million_calls_leave_resident_memory_flat():
    hot = [fn for _, fn in HOT]
    everything = [fn for _, fn in OPS]
    assert everything, "no operation could be made"
    # Half the calls go to the hot paths, half spread over everything.
    rng = random.Random(5)
    schedule = [rng.choice(hot) if hot and i % 2 else rng.choice(everything) for i in range(4096)]
    growth, slope, sizes, elapsed = resident_growth(schedule, CALLS)
    print(f"{CALLS} calls in {elapsed:.1f} s over {len(everything)} operations; resident growth "
          f"{growth / 1024:.0f} KiB, {slope / 1024:.1f} KiB per {CALLS // 8} calls")
    assert flat(growth, slope), f"resident memory grew: {sizes}"


def test_the_resident_check_sees_a_leak():
    kept = []
    growth, slope, sizes, _ = resident_growth([lambda: kept.append(bytes(100))], 100_000)
    assert not flat(growth, slope), sizes


def leaking_calls(ops, rounds=300):
    """The operations whose calls leave Python blocks or C heap bytes behind: each runs `rounds`
    times in a row, twice, and counts as leaking when both runs grow with the number of calls."""
    suspects = []
    gc.collect()
    gc.disable()  # the module's objects hold no cycles; a collection would only add noise
    try:
        for name, fn in ops:
            for _ in range(20):
                fn()
            growth = []
            for _ in range(2):
                blocks = sys.getallocatedblocks()
                heap = malloc_in_use() if malloc_in_use else 0
                for _ in range(rounds):
                    fn()
                grown_blocks = sys.getallocatedblocks() - blocks
                grown_heap = (malloc_in_use() - heap) if malloc_in_use else 0
                growth.append((grown_blocks, grown_heap))
            if all(b >= rounds // 2 or h >= rounds * 16 for b, h in growth):
                b, h = growth[-1]
                suspects.append(f"{name}: +{b} blocks, +{h} heap bytes per {rounds} calls")
    finally:
        gc.enable()
    return suspects


def test_the_per_call_check_sees_a_leak():
    kept = []
    assert leaking_calls([("leaks an object", lambda: kept.append(object()))])
    assert leaking_calls([("leaks heap bytes", lambda: kept.append(bytes(4096)))])


@pytest.mark.parametrize("chunk", range(4))
def test_no_call_leaves_objects_or_heap_bytes_behind(chunk):
    suspects = leaking_calls(OPS[chunk::4])
    assert not suspects, "calls that leak:\n" + "\n".join(suspects)
