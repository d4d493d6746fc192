"""The render engine's Python figures: the 200x50 dashboard of examples/engine_demo.py drawn by an
offscreen session, its tree built anew for every frame, once from render-IR values and once from
widget objects, beside Rich rendering the same content. bench/run.py runs it as the group
"engine" (`python3 bench/engine_figures.py [--quick]`) and reads the JSON rows it prints."""

from __future__ import annotations

import io
import json
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))
sys.path.insert(0, str(HERE.parent / "examples"))

import timing  # noqa: E402
from figures import row  # noqa: E402

import tarvo_core.rust.native as tc  # noqa: E402

TARGETS = {"ir": 2000, "widgets": 1000}


def rich_frame_factory(d):
    from rich.console import Console, Group
    from rich.layout import Layout
    from rich.panel import Panel
    from rich.progress_bar import ProgressBar
    from rich.table import Table
    from rich.text import Text

    console = Console(width=200, height=50, file=io.StringIO(), force_terminal=True, color_system="truecolor",
                      legacy_windows=False, _environ={})
    colour = {"ok": "green", "warn": "yellow", "fail": "red", "idle": "grey50"}
    blocks = " ▁▂▃▄▅▆▇█"

    def frame(i: int) -> str:
        selected = i % len(d.items)
        items = Text(no_wrap=True, overflow="crop")
        for k, s in enumerate(d.items):
            items.append(("> " if k == selected else "  ") + s + "\n", style="black on yellow" if k == selected else "")
        table = Table(box=None, show_edge=False, pad_edge=False, expand=True)
        for name, width in zip(d.header, (6, None, 10, 8)):
            table.add_column(name, width=width, ratio=None if width else 1)
        for k, r in enumerate(d.rows):
            table.add_row(*r[:3], Text(r[3], style=colour[r[3]]), style="on grey30" if k == selected % len(d.rows) else "")
        top = max(d.sales, key=lambda s: s[1])[1]
        sales = Text("\n".join(f"{q} " + "█" * (v * 8 // top) + f" {v}" for q, v in d.sales), style="green")
        load = d.load[i % 40:][:80]
        spark = Text("".join(blocks[v * 8 // max(load)] for v in load), style="red")
        root, body, right, middle, gauges = (Layout(), Layout(), Layout(), Layout(), Layout())
        root.split_column(Layout(Text(f"tarvo dashboard  frame {i}  rows {len(d.rows)}", style="white on blue"),
                                 size=1),
                          Layout(Text("  Overview │ Log │ Table"), size=1), body)
        body.split_row(Layout(Panel(items, title="Items", border_style="cyan"), size=40), middle,
                       Layout(right, size=70))
        middle.split_column(Layout(Panel(Text(d.log), title="Log", border_style="cyan")),
                            Layout(Panel(sales, title="Sales", border_style="cyan"), size=12))
        right.split_column(Layout(Panel(table, title="Table", border_style="cyan")),
                           Layout(Panel(spark, title="Load", border_style="cyan"), size=6), Layout(gauges, size=3))
        gauges.split_row(Layout(Panel(ProgressBar(100, (i % 100)), title="CPU")),
                         Layout(Panel(Group(Text("disk"), ProgressBar(100, 35)), title="Disk")))
        console.file = io.StringIO()
        console.print(root, end="")
        return console.file.getvalue()

    return frame


def main(argv: list[str]) -> int:
    timing.configure("--quick" in argv)
    try:
        import engine_demo
        from tarvo_core.rust.engine import CoreSession  # noqa: F401
    except ImportError as exc:
        names = ["Engine frame 200x50 from render-IR nodes (fps)", "Engine frame 200x50 from widget objects (fps)"]
        json.dump([row(n, "fps", peer_name="Rich", na=f"not built yet: {exc}") for n in names], sys.stdout)
        return 0
    d = engine_demo.DashboardData()
    session = engine_demo.CoreSession.offscreen(200, 50)
    state = tc.ListState()
    frames = iter(range(1 << 62))

    def ours_ir():
        session.render(engine_demo.ir_dashboard(d, next(frames)))

    def ours_widgets():
        session.render(engine_demo.widget_dashboard(d, next(frames), state))

    contenders = {"ir": ours_ir, "widgets": ours_widgets}
    try:
        rich_frame = rich_frame_factory(d)
        rich_frame(0)
        contenders["rich"] = lambda: rich_frame(next(frames))
    except ImportError:
        pass
    t = timing.compare(contenders)
    out = []
    for key, label in (("ir", "render-IR nodes"), ("widgets", "widget objects")):
        fps = 1 / t[key]
        out.append(row(f"Engine frame 200x50 from {label} (fps)", "fps", fps, "Rich",
                       1 / t["rich"] if "rich" in t else None, [">=", 20],
                       f"tree built every frame; target >= {TARGETS[key]:,} fps: "
                       + ("met" if fps >= TARGETS[key] else "NOT met")))
    json.dump(out, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
