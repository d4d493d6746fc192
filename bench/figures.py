"""The Python figures of the benchmark table. bench/run.py runs each group in a fresh
interpreter (`python3 bench/figures.py GROUP [--quick]`) and reads the JSON rows it prints.

A row: figure, unit ("s" per call, "fps", "ns/cell", "bytes"), ours, peer_name, peer, target
(None or [op, value]: the ratio over the peer that is aimed at), note, and na (the reason a
figure could not be measured). Figures whose classes are not built
yet report na and are measured automatically once they exist.
"""

from __future__ import annotations

import functools
import io
import json
import random
import sys
import textwrap
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import timing  # noqa: E402

import tarvo_core.rust.native as n  # noqa: E402

NOT_BUILT = "widgets not built yet"
NOT_BUILT_CLASSES = "not built yet"


# ---------------------------------------------------------------------------------------------
# availability


def missing(*names: str) -> list[str]:
    """The names (Class or Class.attr) that the module does not provide yet. A class that is
    still a placeholder has none of its methods."""
    out = []
    for name in names:
        cls_name, _, attr = name.partition(".")
        obj = getattr(n, cls_name, None)
        if obj is None or (attr and not hasattr(obj, attr)):
            out.append(name)
    return out


def probe(fn) -> str | None:
    """None when `fn` runs, else why not: a placeholder raises NotImplementedError."""
    try:
        fn()
    except NotImplementedError as exc:
        return str(exc)
    return None


def unavailable(names: list[str], check=None) -> str | None:
    """Why a figure cannot be measured yet (the missing names, or the placeholder's message), or
    None when everything it needs is there."""
    need = missing(*names)
    if need:
        return "missing " + ", ".join(need)
    return probe(check) if check else None


def row(figure, unit, ours=None, peer_name="", peer=None, target=None, note="", na=None):
    return dict(figure=figure, unit=unit, ours=ours, peer_name=peer_name, peer=peer, target=target,
                note=note, na=na)


def na_rows(figures, unit, detail, peer_name="", reason=NOT_BUILT):
    return [row(f, unit, peer_name=peer_name, note=detail, na=reason) for f in figures]


def words(count: int, seed: int = 7) -> list[str]:
    rng = random.Random(seed)
    vocabulary = ["lorem", "ipsum", "dolor", "sit", "amet", "consectetur", "adipiscing", "elit",
                  "sed", "do", "eiusmod", "tempor", "incididunt", "ut", "labore", "et", "dolore",
                  "magna", "aliqua", "enim", "minim", "veniam", "quis", "nostrud", "exercitation",
                  "ullamco", "laboris", "nisi", "aliquip", "commodo", "consequat", "a", "I"]
    return [rng.choice(vocabulary) for _ in range(count)]


def paragraph(size: int) -> str:
    text, out, total = words(size // 3), [], 0
    for w in text:
        out.append(w)
        total += len(w) + 1
        if total >= size:
            break
    return " ".join(out)[:size]


# ---------------------------------------------------------------------------------------------
# dashboard frame


class Dashboard:
    """The content of the dashboard: a status line, 30 list items, a paragraph and 40 rows."""

    def __init__(self) -> None:
        self.items = [f"item {i:02d}  {' '.join(words(3, i))}" for i in range(30)]
        self.text = paragraph(1600)
        rng = random.Random(3)
        self.rows = [[f"{i:4d}", " ".join(words(2, 100 + i)), f"{rng.random() * 1000:9.2f}",
                      rng.choice(["ok", "warn", "fail", "idle"])] for i in range(40)]
        self.header = ["id", "name", "value", "status"]


def tarvo_dashboard_available() -> str | None:
    return unavailable(
        ["Block.bordered", "Paragraph.new", "Wrap", "ListItem.new", "RatList.new", "RatTable.new",
         "Row.new", "Constraint.length", "Constraint.fill", "Buffer.empty"],
        lambda: n.RatTable.new([n.Row.new(["a"])], [n.Constraint.fill(1)]).block(
            n.Block.bordered()))


@functools.lru_cache(maxsize=None)
def layout_available() -> bool:
    return unavailable(["Layout.vertical", "Layout.horizontal", "Constraint.length"],
                       lambda: n.Layout.vertical([n.Constraint.length(1)]).split(n.Rect())) is None


def tarvo_areas():
    """(header, list, paragraph, table) rects of the 200x50 screen, split by Layout where it
    exists (by hand otherwise, with the same result)."""
    screen = n.Rect(0, 0, 200, 50)
    if layout_available():
        C = n.Constraint
        header, body = n.Layout.vertical([C.length(3), C.fill(1)]).split(screen)
        left, mid, right = n.Layout.horizontal([C.length(40), C.fill(1), C.length(70)]).split(body)
        return header, left, mid, right
    return (n.Rect(0, 0, 200, 3), n.Rect(0, 3, 40, 47), n.Rect(40, 3, 90, 47),
            n.Rect(130, 3, 70, 47))


def tarvo_frame(d: Dashboard, frame: int) -> list[str]:
    C, S = n.Color, n.Style
    buf = n.Buffer.empty(n.Rect(0, 0, 200, 50))
    header, left, mid, right = tarvo_areas()
    border = S.default().fg(C.CYAN)
    status = n.Paragraph.new(f"tarvo dashboard  frame {frame}  rows {len(d.rows)}").block(
        n.Block.bordered().title("Status").border_style(border))
    n.render_widget(status, header, buf)

    items = [n.ListItem.new(s) for s in d.items]
    lst = (n.RatList.new(items).block(n.Block.bordered().title("Items").border_style(border))
           .highlight_symbol("> ").highlight_style(S.default().fg(C.BLACK).bg(C.YELLOW)))
    state = n.ListState()
    state.select(frame % len(d.items))
    n.render_stateful_widget(lst, left, state, buf)

    para = (n.Paragraph.new(d.text).wrap(n.Wrap(trim=True))
            .block(n.Block.bordered().title("Log").border_style(border)))
    n.render_widget(para, mid, buf)

    status_colour = {"ok": C.GREEN, "warn": C.YELLOW, "fail": C.RED, "idle": C.GRAY}
    rows = [n.Row.new(r).style(S.default().fg(status_colour[r[3]])) for r in d.rows]
    widths = [n.Constraint.length(6), n.Constraint.fill(1), n.Constraint.length(10),
              n.Constraint.length(8)]
    table = (n.RatTable.new(rows, widths)
             .header(n.Row.new(d.header).style(S.default().add_modifier(n.Modifier.BOLD)))
             .block(n.Block.bordered().title("Table").border_style(border)))
    n.render_widget(table, right, buf)
    return buf.to_ansi_lines()


def rich_frame_factory(d: Dashboard):
    from rich.console import Console
    from rich.layout import Layout
    from rich.panel import Panel
    from rich.table import Table
    from rich.text import Text

    console = Console(width=200, height=50, file=io.StringIO(), force_terminal=True,
                      color_system="truecolor", legacy_windows=False, _environ={})
    status_colour = {"ok": "green", "warn": "yellow", "fail": "red", "idle": "grey50"}

    def frame(i: int) -> str:
        selected = i % len(d.items)
        items = Text(no_wrap=True, overflow="crop")
        for k, s in enumerate(d.items):
            if k == selected:
                items.append("> " + s + "\n", style="black on yellow")
            else:
                items.append("  " + s + "\n")
        table = Table(box=None, show_edge=False, pad_edge=False, header_style="bold",
                      expand=True)
        table.add_column("id", width=6)
        table.add_column("name", ratio=1)
        table.add_column("value", width=10)
        table.add_column("status", width=8)
        for r in d.rows:
            table.add_row(*r, style=status_colour[r[3]])
        root = Layout()
        body = Layout(name="body")
        root.split_column(
            Layout(Panel(Text(f"tarvo dashboard  frame {i}  rows {len(d.rows)}"),
                         title="Status", border_style="cyan", padding=0), size=3),
            body)
        body.split_row(
            Layout(Panel(items, title="Items", border_style="cyan", padding=0), size=40),
            Layout(Panel(Text(d.text), title="Log", border_style="cyan", padding=0)),
            Layout(Panel(table, title="Table", border_style="cyan", padding=0), size=70))
        console.file = io.StringIO()
        console.print(root, end="")
        return console.file.getvalue()

    return frame


def group_dashboard() -> list[dict]:
    figure = "Dashboard frame 200x50 (fps)"
    why = tarvo_dashboard_available()
    if why:
        return na_rows([figure], "fps", why, "Rich")
    d = Dashboard()
    counter = iter(range(1 << 62))
    first = tarvo_frame(d, 0)
    note = f"{len(first)} rows"
    try:
        rich_frame = rich_frame_factory(d)
        rich_rows = len(rich_frame(0).splitlines())
        note += f"; Rich {rich_rows} rows"
    except ImportError:
        t = timing.compare({"ours": lambda: tarvo_frame(d, next(counter))})
        return [row(figure, "fps", 1 / t["ours"], "Rich", None, [">=", 20], note)]
    t = timing.compare({"ours": lambda: tarvo_frame(d, next(counter)),
                        "rich": lambda: rich_frame(next(counter))})
    return [row(figure, "fps", 1 / t["ours"], "Rich", 1 / t["rich"], [">=", 20], note)]


# ---------------------------------------------------------------------------------------------
# text wrapping


def group_wrap() -> list[dict]:
    figures = ["Wrap 100 KB paragraph at width 80"]
    why = unavailable(["Paragraph.new", "Wrap", "Buffer.empty"],
                      lambda: n.Paragraph.new("x").wrap(n.Wrap(trim=True)))
    if why:
        return na_rows([figures[0] + " vs Rich", figures[0] + " vs textwrap"], "s", why)
    text = paragraph(100_000)
    expected = len(textwrap.wrap(text, 80))
    height = min(65535, expected * 2)
    buf = n.Buffer.empty(n.Rect(0, 0, 80, height))
    area = buf.area

    def ours():
        n.render_widget(n.Paragraph.new(text).wrap(n.Wrap(trim=True)), area, buf)

    ours()
    lines = buf.to_string_lines()
    used = len(lines)
    while used and not lines[used - 1]:
        used -= 1
    note = f"{used} lines (textwrap {expected})"
    contenders = {"ours": ours, "textwrap": lambda: textwrap.wrap(text, 80)}
    try:
        from rich.console import Console
        from rich.text import Text

        console = Console(width=80, file=io.StringIO(), _environ={})
        contenders["rich"] = lambda: Text(text).wrap(console, 80)
    except ImportError:
        pass
    t = timing.compare(contenders)
    return [row(figures[0] + " vs Rich", "s", t["ours"], "Rich Text.wrap", t.get("rich"), None,
                note),
            row(figures[0] + " vs textwrap", "s", t["ours"], "textwrap.wrap", t["textwrap"], None,
                note)]


# ---------------------------------------------------------------------------------------------
# layout

PATTERN = [("length", 10), ("percentage", 20), ("min", 5), ("max", 30), ("ratio", 1, 8),
           ("fill", 1), ("length", 4), ("fill", 2), ("min", 2), ("percentage", 5)]


def mixed(count: int) -> list[tuple]:
    return [PATTERN[i % len(PATTERN)] for i in range(count)]


def to_constraint(c: tuple):
    return getattr(n.Constraint, c[0])(*c[1:])


def group_layout() -> list[dict]:
    names = [f"Layout split of {k} constraints, {mode}" for k in (5, 20)
             for mode in ("cold", "repeated")]
    why = unavailable(["Layout.horizontal"] + [f"Constraint.{c[0]}" for c in PATTERN],
                      lambda: n.Layout.horizontal([n.Constraint.length(1)]).split(n.Rect(0, 0, 5, 1)))
    if why:
        return na_rows(names, "s", why, "kiwisolver", NOT_BUILT_CLASSES)
    try:
        import kiwi_layout
    except ImportError:
        kiwi_layout = None
    out = []
    for k in (5, 20):
        kinds = mixed(k)
        layout = n.Layout.horizontal([to_constraint(c) for c in kinds])
        # The splitter keeps the last 500 splits per thread: 1024 distinct areas never hit it.
        cold_areas = [n.Rect(0, 0, 150 + i, 50) for i in range(1024)]
        widths = [150 + i for i in range(1024)]
        same = n.Rect(0, 0, 200, 50)
        ci, ki = iter(range(1 << 62)), iter(range(1 << 62))
        cold = {"ours": lambda: layout.split(cold_areas[next(ci) & 1023])}
        repeated = {"ours": lambda: layout.split(same)}
        note = ""
        if kiwi_layout is not None:
            solver, variables = kiwi_layout.build(kinds, 0, 200)
            ours_rects = [(r.x, r.width) for r in layout.split(same)]
            theirs = kiwi_layout.segments(variables)
            note = "same rects" if ours_rects == theirs else f"rects differ: {ours_rects} / {theirs}"

            def kiwi_repeated(solver=solver, variables=variables):
                solver.updateVariables()
                return kiwi_layout.segments(variables)

            cold["kiwi"] = lambda: kiwi_layout.split(kinds, 0, widths[next(ki) & 1023])
            repeated["kiwi"] = kiwi_repeated
        for mode, contenders in (("cold", cold), ("repeated", repeated)):
            t = timing.compare(contenders)
            out.append(row(f"Layout split of {k} constraints, {mode}", "s", t["ours"], "kiwisolver",
                           t.get("kiwi"), [">", 1], note))
    return out


# ---------------------------------------------------------------------------------------------
# call overhead


def group_calls() -> list[dict]:
    out = []
    try:
        from rich.style import Style as RStyle
        from rich.text import Text as RText
    except ImportError:
        RStyle = RText = None

    figure = "Style by five builder calls"
    why = unavailable(["Style.default", "Style.fg", "Style.bg", "Style.add_modifier",
                       "Style.underline_color", "Color.RED", "Modifier.BOLD"])
    if why:
        out += na_rows([figure], "s", why, "Rich Style", NOT_BUILT_CLASSES)
    else:
        C, M, S = n.Color, n.Modifier, n.Style

        def ours():
            return (S.default().fg(C.RED).bg(C.BLUE).add_modifier(M.BOLD)
                    .add_modifier(M.ITALIC).underline_color(C.GREEN))

        contenders = {"ours": ours}
        if RStyle:
            contenders["rich"] = lambda: RStyle(color="red", bgcolor="blue", bold=True,
                                                italic=True, underline=True)
        t = timing.compare(contenders)
        out.append(row(figure, "s", t["ours"], "Rich Style(...)", t.get("rich"), None,
                       "Rich: one constructor call with the same five settings"))

    figure = "Span with a style"
    why = unavailable(["Span.styled", "Style.default"], lambda: n.Span.styled("x", n.Style.default()))
    if why:
        out += na_rows([figure], "s", why, "Rich Text", NOT_BUILT_CLASSES)
    else:
        style = n.Style.default().fg(n.Color.RED)
        contenders = {"ours": lambda: n.Span.styled("hello world", style)}
        if RText:
            rstyle = RStyle(color="red")
            contenders["rich"] = lambda: RText("hello world", style=rstyle)
        t = timing.compare(contenders)
        out.append(row(figure, "s", t["ours"], "Rich Text(...)", t.get("rich")))
    return out


# ---------------------------------------------------------------------------------------------
# cells and memory (their C++ counterparts come from core_bench; run.py pairs them)


def screen_rows() -> list[str]:
    return ["".join(chr(ord("!") + (x * 7 + y) % 90) for x in range(200)) for y in range(50)]


def group_cells() -> list[dict]:
    figures = ["Buffer.set_string over 200x50 (ns/cell)", "Buffer.to_string_lines 200x50 (ns/cell)"]
    why = unavailable(["Buffer.empty", "Buffer.set_string", "Buffer.to_string_lines"])
    if why:
        return na_rows(figures, "ns/cell", why, "C++ core", NOT_BUILT_CLASSES)
    buf = n.Buffer.empty(n.Rect(0, 0, 200, 50))
    rows = list(enumerate(screen_rows()))
    style = n.Style.default().fg(n.Color.GREEN)
    set_string = buf.set_string

    def write():
        for y, text in rows:
            set_string(0, y, text, style)

    write()
    t = timing.compare({"write": write, "dump": buf.to_string_lines})
    return [row(figures[0], "ns/cell", t["write"] * 1e9 / 10_000),
            row(figures[1], "ns/cell", t["dump"] * 1e9 / 10_000)]


def resident_bytes() -> int:
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * 4096


def resident_growth(make, count: int) -> float:
    """Resident bytes that each of `count` objects made by `make` adds."""
    import gc

    gc.collect()
    keep = [make()]  # warm up allocator pools and caches
    before = resident_bytes()
    keep += [make() for _ in range(count)]
    after = resident_bytes()
    del keep
    return (after - before) / count


def group_memory() -> list[dict]:
    figures = ["Memory per buffer cell (bytes)", "Resident size of a 200x50 buffer (bytes)"]
    why = unavailable(["Buffer.empty"])
    if why:
        return na_rows(figures, "bytes", why, "C++ core", NOT_BUILT_CLASSES)
    per_buffer = resident_growth(lambda: n.Buffer.empty(n.Rect(0, 0, 200, 50)), 400)
    # The C++ side (run.py pairs it in): sizeof(Cell) and the cell vector of one buffer.
    return [row(figures[0], "bytes", per_buffer / 10_000, note="resident growth over 400 buffers"),
            row(figures[1], "bytes", per_buffer, note="resident growth over 400 buffers")]


GROUPS = {
    "dashboard": group_dashboard,
    "wrap": group_wrap,
    "layout": group_layout,
    "calls": group_calls,
    "cells": group_cells,
    "memory": group_memory,
}


def main(argv: list[str]) -> int:
    names = [a for a in argv if not a.startswith("--")]
    timing.configure("--quick" in argv)
    rows = []
    for name in names or GROUPS:
        rows += GROUPS[name]()
    json.dump(rows, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
