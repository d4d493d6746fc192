"""The dashboard as a render tree: the engine lays it out, draws it offscreen and hands back the
buffer. Two forms of the same screen: one of render-IR values, drawn without calling back into
Python, and one of the toolkit's widget objects, drawn through the widget dispatch."""

from __future__ import annotations

import math
import random
import time

import tarvo_core.rust.native as tc
from tarvo_core.rust.engine import CoreRenderContent, CoreRenderIR, CoreRenderNode, CoreSession, IrLine

C = tc.Constraint
IR = CoreRenderIR


class DashboardData:
    """What the dashboard shows: list items, a log, table rows, series for the charts."""

    def __init__(self, seed: int = 3) -> None:
        rng = random.Random(seed)
        words = ["alpha", "beta", "gamma", "delta", "omega", "sigma", "kappa", "lambda", "theta", "zeta"]
        self.items = [f"item {i:02d}  {' '.join(rng.choice(words) for _ in range(3))}" for i in range(30)]
        self.log = " ".join(rng.choice(words) for _ in range(260))
        self.rows = [(f"{i:4d}", f"{rng.choice(words)} {rng.choice(words)}", f"{rng.random() * 1000:9.2f}",
                      rng.choice(["ok", "warn", "fail", "idle"])) for i in range(40)]
        self.header = ("id", "name", "value", "status")
        self.load = [int(8 + 7 * math.sin(i / 3)) for i in range(120)]
        self.sales = [("Q1", 4), ("Q2", 7), ("Q3", 5), ("Q4", 9)]


STATUS = {"ok": tc.Color.GREEN, "warn": tc.Color.YELLOW, "fail": tc.Color.RED, "idle": tc.Color.GRAY}


def ir(value, **kw) -> CoreRenderNode:
    return CoreRenderNode(content=CoreRenderContent.ir(value), **kw)


def titled(title: str, body: CoreRenderNode) -> CoreRenderNode:
    """A panel: a bold cyan title row above its body."""
    head = ir(IR.span(title, fg=tc.Color.CYAN, modifiers=[tc.Modifier.BOLD]))
    return CoreRenderNode.column([head, body], constraints=[C.length(1), C.fill(1)])


def ir_dashboard(d: DashboardData, frame: int) -> CoreRenderNode:
    """The 200x50 dashboard of about twenty render-IR nodes."""
    selected = frame % len(d.items)
    status = ir(IR.text_raw(f"tarvo dashboard  frame {frame}  rows {len(d.rows)}", fg=tc.Color.WHITE,
                            bg=tc.Color.BLUE), effect_key="status")
    tabs = ir(IR.tabs([IrLine.raw(t) for t in ("Overview", "Log", "Table")], selected=frame % 3,
                      highlight_fg=tc.Color.BLACK, highlight_bg=tc.Color.CYAN))
    items = titled("Items", ir(IR.list([IrLine.raw(s) for s in d.items], selected=selected,
                                       highlight_fg=tc.Color.BLACK, highlight_bg=tc.Color.YELLOW)))
    log = titled("Log", ir(IR.paragraph_raw(d.log)))
    bars = titled("Sales", ir(IR.bar_chart([(None, [(v, q, None, tc.Color.GREEN, None, None, None)
                                                    for q, v in d.sales])], bar_width=5)))
    cell = lambda s, fg=None: (IrLine.raw(s), fg, None, [])
    table = titled("Table", ir(IR.table(
        [([cell(a), cell(b), cell(c), cell(s, STATUS[s])], None, None, 1) for a, b, c, s in d.rows],
        header=([cell(h) for h in d.header], None, None, 1),
        widths=[(0, 6), (2, 1), (0, 10), (0, 8)], selected_row=selected % len(d.rows),
        highlight_bg=tc.Color.DARK_GRAY)))
    load = titled("Load", ir(IR.sparkline(d.load[frame % 40:][:80], fg=tc.Color.RED)))
    cpu = titled("CPU", ir(IR.progress_bar((frame % 100) / 100, fg=tc.Color.YELLOW)))
    disk = titled("Disk", ir(IR.line_gauge(0.35, label="disk", filled_fg=tc.Color.BLUE)))
    scroll = ir(IR.scrollbar(content_length=len(d.rows), position=selected % len(d.rows)))
    right = CoreRenderNode.column([table, load, CoreRenderNode.row([cpu, disk], constraints=[C.fill(1)] * 2, gap=1)],
                                  constraints=[C.fill(1), C.length(6), C.length(3)])
    middle = CoreRenderNode.column([log, bars], constraints=[C.fill(1), C.length(12)])
    body = CoreRenderNode.row([items, middle, right, scroll],
                              constraints=[C.length(40), C.fill(1), C.length(70), C.length(1)], gap=1)
    return CoreRenderNode.column([status, tabs, body], constraints=[C.length(1), C.length(1), C.fill(1)],
                                 margin=tc.Margin(1, 0))


def widget_dashboard(d: DashboardData, frame: int, state: tc.ListState) -> CoreRenderNode:
    """The same dashboard of the toolkit's widget objects, in bordered blocks."""
    selected = frame % len(d.items)
    S = tc.Style.default
    border = S().fg(tc.Color.CYAN)

    def block(title):
        return tc.Block.bordered().title(title).border_style(border)

    def widget(w, **kw):
        return CoreRenderNode(content=CoreRenderContent.widget(w), **kw)

    status = widget(tc.Paragraph.new(f"tarvo dashboard  frame {frame}  rows {len(d.rows)}")
                    .style(S().fg(tc.Color.WHITE).bg(tc.Color.BLUE)))
    tabs = widget(tc.Tabs.new(["Overview", "Log", "Table"]).select(frame % 3)
                  .highlight_style(S().fg(tc.Color.BLACK).bg(tc.Color.CYAN)))
    state.select(selected)
    items = CoreRenderNode(content=CoreRenderContent.stateful(
        tc.RatList.new(d.items).block(block("Items")).highlight_style(S().fg(tc.Color.BLACK).bg(tc.Color.YELLOW))
        .highlight_symbol("> "), state))
    log = widget(tc.Paragraph.new(d.log).wrap(tc.Wrap(trim=False)).block(block("Log")))
    bars = widget(tc.BarChart.new([tc.BarGroup.new([tc.Bar.new(v, q).style(S().fg(tc.Color.GREEN))
                                                    for q, v in d.sales])]).bar_width(5).block(block("Sales")))
    rows = [tc.Row.new(list(r)).style(S().fg(STATUS[r[3]])) for r in d.rows]
    table = widget(tc.RatTable.new(rows, [C.length(6), C.fill(1), C.length(10), C.length(8)])
                   .header(tc.Row.new(list(d.header))).block(block("Table")))
    load = widget(tc.Sparkline.new(d.load[frame % 40:][:80]).style(S().fg(tc.Color.RED)).block(block("Load")))
    cpu = widget(tc.Gauge.new().ratio((frame % 100) / 100).gauge_style(S().fg(tc.Color.YELLOW)).block(block("CPU")))
    disk = widget(tc.LineGauge.new().ratio(0.35).label("disk").filled_style(S().fg(tc.Color.BLUE))
                  .block(block("Disk")))
    right = CoreRenderNode.column([table, load, CoreRenderNode.row([cpu, disk], constraints=[C.fill(1)] * 2, gap=1)],
                                  constraints=[C.fill(1), C.length(6), C.length(3)])
    middle = CoreRenderNode.column([log, bars], constraints=[C.fill(1), C.length(12)])
    body = CoreRenderNode.row([items, middle, right], constraints=[C.length(40), C.fill(1), C.length(70)], gap=1)
    return CoreRenderNode.column([status, tabs, body], constraints=[C.length(1), C.length(1), C.fill(1)],
                                 margin=tc.Margin(1, 0))


def overlay_note(width: int) -> CoreRenderNode:
    """A note drawn over the dashboard on a higher z, letting what is below show between words."""
    return ir(IR.glyph_overlay([IrLine.from_spans([("drawn by the render engine", tc.Color.MAGENTA, None,
                                                    [tc.Modifier.ITALIC])])]),
              x=width - 30, y=0, width=28, height=1, z=5)


def fade_status_in(session: CoreSession, tree: CoreRenderNode) -> None:
    """An effect aimed at the keyed status row: its colours fade in over the next frames."""
    try:
        fade = tc.fade_from_fg(tc.Color.BLACK, 300).with_area(session.effect_area_for("status"))
    except NotImplementedError:
        return  # effect constructors not built in this module
    session.add_unique_effect("status", fade)
    frames = 0
    while session.is_animating():
        session.render(tree)
        frames += 1
        if frames == 1:
            print("status row as the fade starts:", session.buffer_snapshot().to_ansi_lines()[0][:60])
        time.sleep(0.05)
    print(f"the fade ran over {frames} frames")


def main() -> None:
    data = DashboardData()
    with CoreSession.offscreen(200, 50) as session:
        tree = ir_dashboard(data, 7)
        # An absolute child still takes its own slot of the split: give the note an empty one.
        session.render(CoreRenderNode(children=[tree, overlay_note(200)], constraints=[C.fill(1), C.length(0)]))
        print("render-IR dashboard, status row at", session.effect_area_for("status"))
        for row in session.buffer_snapshot().to_ansi_lines()[:24]:
            print(row)
        fade_status_in(session, tree)
        # An offscreen frame draws over the previous one: start this one from blank cells.
        session.render(CoreRenderNode(content=CoreRenderContent.ir(IR.clear()),
                                      children=[widget_dashboard(data, 7, tc.ListState())], constraints=[C.fill(1)]))
        print("the same dashboard from widget objects:")
        for row in session.buffer_snapshot().to_ansi_lines()[:24]:
            print(row)


if __name__ == "__main__":
    main()
