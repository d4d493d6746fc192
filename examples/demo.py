"""A small tour of tarvo_core's values: geometry, layout enumerations and the module itself."""

import sys

import tarvo_core.rust.native as tc


def main() -> None:
    banner()
    print(f"tarvo_core {tc.__version__}: {len(tc.__all__)} names")
    screen = tc.Rect(0, 0, 80, 24)
    print("screen:", repr(screen), "as", str(screen), "area", screen.area())
    body = screen.inner(tc.Margin(2, 1))
    print("inside a margin of 2x1:", repr(body))
    moved = body.offset(tc.Offset(5, -3))
    print("moved by (5, -3):", repr(moved))
    print("overlap with the screen:", repr(moved.intersection(screen)))
    print("rows of a 3x2 rect:", tc.Rect(0, 0, 3, 2).rows())
    print("flex modes:", ", ".join(repr(getattr(tc.Flex, n)) for n in
                                   ("Legacy", "Start", "End", "Center", "SpaceBetween", "SpaceAround", "SpaceEvenly")))
    widgets_screen()
    stateful_widgets_screen()
    dashboard_screen()
    engine_screen()
    effects_screen()


def effects_screen() -> None:
    """Effects running over a small screen, frame after frame (examples/effects_demo.py)."""
    from pathlib import Path

    sys.path.insert(0, str(Path(__file__).resolve().parent))
    import effects_demo

    effects_demo.main()


def engine_screen() -> None:
    """The dashboard again, as a render tree drawn by an offscreen session (examples/engine_demo.py)."""
    import sys
    from pathlib import Path

    sys.path.insert(0, str(Path(__file__).resolve().parent))
    import engine_demo

    engine_demo.main()


def banner() -> None:
    """A one-line styled banner, written straight to the terminal through the console functions."""
    sys.stdout.flush()  # the console functions write to descriptor 1 themselves, unbuffered by Python
    color, attr = tc.ConsoleColor, tc.ConsoleAttribute
    tc.print_styled_content(" tarvo ", foreground=color.Black, background=color.Cyan, attribute=attr.Bold)
    tc.print_text(" ")
    tc.set_foreground_color(color.Rgb, rgb=(255, 170, 0))
    tc.set_attribute(attr.Italic)
    tc.print_text("terminal interfaces for Python")
    tc.reset_color()
    tc.print_styled_content(f"  v{tc.__version__}", foreground=color.AnsiValue, foreground_ansi=244)
    tc.print_text("\n")


def widgets_screen() -> None:
    """Bordered blocks, wrapped paragraphs and tabs drawn into one buffer, printed in colour."""
    buf = tc.Buffer.empty(tc.Rect(0, 0, 60, 12))
    accent = tc.Style.new().fg(tc.Color.CYAN).add_modifier(tc.Modifier.BOLD)
    tabs = (tc.Tabs.new(["Overview", "Blocks", "Text"]).select(1)
            .highlight_style(tc.Style.new().fg(tc.Color.BLACK).bg(tc.Color.CYAN))
            .block(tc.Block.bordered().border_type(tc.BorderType.Rounded).title(tc.Span.styled(" tarvo ", accent))))
    tc.render_widget(tabs, tc.Rect(0, 0, 60, 3), buf)
    story = ("A block frames whatever is drawn inside it; a paragraph wraps its words "
             "to the room it is given and keeps each line's own alignment.")
    left = (tc.Paragraph.new(story).wrap(tc.Wrap(trim=True))
            .block(tc.Block.bordered().title("Wrapped").title_bottom(tc.Line.raw("trim").right_aligned())
                   .border_style(tc.Style.new().fg(tc.Color.GREEN)).padding(tc.Padding.horizontal(1))))
    tc.render_widget(left, tc.Rect(0, 3, 30, 9), buf)
    lines = [tc.Line.raw("left"), tc.Line.raw("centre").centered(), tc.Line.raw("right").right_aligned(),
             tc.Line.styled("styled", tc.Style.new().fg(tc.Color.YELLOW).add_modifier(tc.Modifier.ITALIC))]
    right = (tc.Paragraph.new(lines)
             .block(tc.Block.bordered().border_type(tc.BorderType.Double)
                    .title(tc.Line.raw("Aligned").centered()).title_style(accent)))
    tc.render_widget(right, tc.Rect(30, 3, 30, 9), buf)
    for row in buf.to_ansi_lines():
        print(row)


def stateful_widgets_screen() -> None:
    """A selectable list, a table with a header and a scrollbar; their states follow the selection."""
    buf = tc.Buffer.empty(tc.Rect(0, 0, 60, 8))
    picked = tc.Style.new().fg(tc.Color.BLACK).bg(tc.Color.YELLOW)
    fruits = [f"fruit {i}" for i in range(12)]
    fruit_list = (tc.RatList.new(fruits).highlight_symbol("> ").highlight_style(picked)
                  .block(tc.Block.bordered().title("List")))
    list_state = tc.ListState()
    list_state.select(4)
    list_state.scroll_down_by(5)  # past the rows shown: the list scrolls to keep it in view
    tc.render_stateful_widget(fruit_list, tc.Rect(0, 0, 20, 8), list_state, buf)
    bar_state = tc.ScrollbarState(len(fruits))
    bar_state.set_position(list_state.selected)
    tc.render_stateful_widget(tc.Scrollbar.new(tc.ScrollbarOrientation.VerticalRight),
                              tc.Rect(19, 1, 1, 6), bar_state, buf)
    header = tc.Row.new(["Name", "Kind", "Size"]).style(tc.Style.new().add_modifier(tc.Modifier.BOLD))
    rows = [tc.Row.new(cells) for cells in (["core", "C++", "large"], ["bindings", "C++", "thin"],
                                            ["tests", "Python", "many"], ["demo", "Python", "small"])]
    table = (tc.RatTable.new(rows, [tc.Constraint.length(10), tc.Constraint.length(8), tc.Constraint.fill(1)])
             .header(header.bottom_margin(1)).highlight_symbol(">> ").row_highlight_style(picked)
             .block(tc.Block.bordered().title("Table")))
    table_state = tc.TableState()
    table_state.select(2)
    tc.render_stateful_widget(table, tc.Rect(20, 0, 40, 8), table_state, buf)
    for row in buf.to_ansi_lines():
        print(row)
    print(repr(list_state), "table row", table_state.selected, "offset", table_state.offset)


def dashboard_screen() -> None:
    """A dashboard: a line chart with a legend, a bar chart, two gauges and a sparkline."""
    import math

    buf = tc.Buffer.empty(tc.Rect(0, 0, 60, 20))
    sine = [(x / 4, math.sin(x / 4)) for x in range(41)]
    cosine = [(x / 4, math.cos(x / 4)) for x in range(41)]
    chart = (tc.Chart.new([
        tc.Dataset.default().name("sin").data(sine).marker(tc.Marker.Braille).graph_type(tc.GraphType.Line)
        .style(tc.Style.new().fg(tc.Color.CYAN)),
        tc.Dataset.default().name("cos").data(cosine).marker(tc.Marker.Braille).graph_type(tc.GraphType.Line)
        .style(tc.Style.new().fg(tc.Color.MAGENTA)),
    ]).block(tc.Block.bordered().title("Waves"))
        .hidden_legend_constraints(tc.Constraint.ratio(1, 2), tc.Constraint.ratio(1, 2))
        .x_axis(tc.Axis.default().bounds([0, 10]).labels(["0", "5", "10"]).title("t"))
        .y_axis(tc.Axis.default().bounds([-1, 1]).labels(["-1", "0", "1"])))
    tc.render_widget(chart, tc.Rect(0, 0, 36, 12), buf)
    sales = tc.BarGroup.new([tc.Bar.new(v, m).style(tc.Style.new().fg(tc.Color.GREEN))
                             for m, v in (("Q1", 4), ("Q2", 7), ("Q3", 5), ("Q4", 9))])
    bars = (tc.BarChart.new([sales]).bar_width(3).value_style(tc.Style.new().fg(tc.Color.BLACK).bg(tc.Color.GREEN))
            .block(tc.Block.bordered().title("Sales")))
    tc.render_widget(bars, tc.Rect(36, 0, 24, 12), buf)
    cpu = (tc.Gauge.new().percent(62).use_unicode(True).gauge_style(tc.Style.new().fg(tc.Color.YELLOW))
           .block(tc.Block.bordered().title("CPU")))
    tc.render_widget(cpu, tc.Rect(0, 12, 30, 3), buf)
    disk = (tc.LineGauge.new().ratio(0.35).label("disk").filled_style(tc.Style.new().fg(tc.Color.BLUE))
            .block(tc.Block.bordered().title("Disk")))
    tc.render_widget(disk, tc.Rect(30, 12, 30, 3), buf)
    load = [3, 5, 4, 8, 6, 9, 12, 7, 5, 6, 10, 14, 11, 9, 7, 8, 12, 15, 13, 10]
    spark = (tc.Sparkline.new(load * 3).style(tc.Style.new().fg(tc.Color.RED))
             .block(tc.Block.bordered().title("Requests")))
    tc.render_widget(spark, tc.Rect(0, 15, 60, 5), buf)
    for row in buf.to_ansi_lines():
        print(row)


def live() -> None:
    """On a terminal: the dashboard live, until q (examples/live_demo.py)."""
    from pathlib import Path

    sys.path.insert(0, str(Path(__file__).resolve().parent))
    import live_demo

    live_demo.main([])


if __name__ == "__main__":
    if sys.stdin.isatty() and sys.stdout.isatty():
        live()
    else:
        main()
