import pytest

from tarvo_core.rust.native import (
    Alignment, Axis, Block, Buffer, Chart, Color, Constraint, Dataset, GraphType, LegendPosition, Line, Marker,
    Rect, Span, Style, render_widget,
)


def draw(widget, width, height):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


def lines(widget, width, height):
    return draw(widget, width, height).to_string_lines()


def axes(x, y):
    return Chart.new([]).x_axis(x).y_axis(y)


def legend_chart():
    def ds(name, color, pts):
        return Dataset.default().name(name).style(Style.new().fg(color)).data(pts).graph_type(GraphType.Line)

    return (Chart.new([ds("Dataset 1", Color.BLUE, [(i * 10.0, float(i)) for i in range(11)]),
                       ds("Dataset 2", Color.GREEN, [(i * 10.0, 10.0 - i) for i in range(11)])])
            .style(Style.new().bg(Color.WHITE)).block(Block.bordered().title("Chart Test"))
            .x_axis(Axis.default().bounds([0.0, 100.0]).title(Span.styled("X Axis", Style.new().fg(Color.YELLOW)))
                    .labels(["0.0", "50.0", "100.0"]))
            .y_axis(Axis.default().bounds([0.0, 10.0]).title("Y Axis").labels(["0.0", "5.0", "10.0"])))


def test_full_chart_frame_labels_titles_and_legend():
    buf = draw(legend_chart(), 60, 30)
    screen = buf.to_string_lines()
    assert screen[0] == "┌Chart Test────────────────────────────────────────────────┐"
    assert screen[1] == "│10.0│Y Axis                                    ┌─────────┐│"
    assert screen[2].endswith("│Dataset 1││")
    assert screen[3].endswith("│Dataset 2││")
    assert screen[4].endswith("└─────────┘│")
    assert screen[14].startswith("│5.0 │")
    assert screen[26].startswith("│0.0 │•") and screen[26].endswith("X Axis│")
    assert screen[27] == "│    └─────────────────────────────────────────────────────│"
    assert screen[28] == "│  0.0                        50.0                    100.0│"
    assert screen[29] == "└──────────────────────────────────────────────────────────┘"
    # (50, 5) of both lines lands on column 6 + round(50 * 52 / 100), row 1 + round(5 * 25 / 10).
    assert buf.cell(32, 14).symbol == "•"
    assert buf.cell(49, 2).fg == Color.BLUE and buf.cell(49, 3).fg == Color.GREEN
    assert buf.cell(53, 26).fg == Color.YELLOW
    assert all(cell.bg == Color.WHITE for cell in buf.content())


@pytest.mark.parametrize("x,y,expected", [
    (Axis.default().labels(["AAAA", "B"]), Axis.default(), ["", "", "", "   ───────", "AAA      B"]),
    (Axis.default().labels(["A", "BBBB"]), Axis.default(), ["", "", "", " ─────────", "A     BBBB"]),
    (Axis.default().labels(["A", "B"]), Axis.default().labels(["CCCCCCC", "D"]),
     ["D  │", "   │", "CCC│", "   └──────", "   A     B"]),
    (Axis.default().labels(["AAAAAAAAAA", "B"]).labels_alignment(Alignment.Center), Axis.default().labels(["C", "D"]),
     ["D  │", "   │", "C  │", "   └──────", "AAAAAAA  B"]),
    (Axis.default().labels(["AAAAAAA", "BBBBBBB"]).labels_alignment(Alignment.Right),
     Axis.default().labels(["C", "D"]), ["D│", " │", "C│", " └────────", " AAAAABBBB"]),
    (Axis.default().labels(["AAAA", "B", "C"]), Axis.default(), ["", "", "", "   ───────", "AAA   B  C"]),
    (Axis.default().labels(["AAAA", "B", "C"]).labels_alignment(Alignment.Right), Axis.default(),
     ["", "", "", "──────────", "AAA B    C"]),
])
def test_axis_labels(x, y, expected):
    assert lines(axes(x, y), 10, 5) == expected


@pytest.mark.parametrize("alignment,first", [(Alignment.Left, "D   │"), (Alignment.Center, " D  │"),
                                             (Alignment.Right, "   D│")])
def test_y_label_alignment(alignment, first):
    chart = axes(Axis.default().labels([Span.raw("AAAAA"), "B"]),
                 Axis.default().labels(["C", Line.raw("D")]).labels_alignment(alignment))
    assert lines(chart, 20, 5)[0] == first


def test_bar_graph_and_markers():
    data = [(0.0, 0.0), (2.0, 1.0), (4.0, 4.0), (6.0, 8.0), (8.0, 9.0), (10.0, 10.0)]
    chart = (Chart.new([Dataset.default().data(data).marker(Marker.Dot).graph_type(GraphType.Bar)])
             .x_axis(Axis.default().bounds([0, 10])).y_axis(Axis.default().bounds([0, 10])))
    assert lines(chart, 11, 11) == [
        "          •", "        • •", "      • • •", "      • • •", "      • • •", "      • • •",
        "    • • • •", "    • • • •", "    • • • •", "  • • • • •", "• • • • • •"]
    braille = (Chart.new([Dataset.default().data([(0, 0), (1, 1)]).marker(Marker.Braille).graph_type(GraphType.Line)])
               .x_axis(Axis.default().bounds([0, 1])).y_axis(Axis.default().bounds([0, 1])))
    assert lines(braille, 2, 1) == ["⡠⠊"]


def test_scatter_uses_only_the_foreground():
    ds = Dataset.default().data([(0.5, 0.5)]).style(Style.new().fg(Color.RED).bg(Color.BLUE)).marker(Marker.Block)
    chart = Chart.new([ds]).x_axis(Axis.default().bounds([0, 1])).y_axis(Axis.default().bounds([0, 1]))
    buf = draw(chart, 3, 3)
    assert buf.to_string_lines() == ["", " █", ""]
    assert (buf.cell(1, 1).fg, buf.cell(1, 1).bg) == (Color.RED, Color.RED)


@pytest.mark.parametrize("position,expected", [
    (LegendPosition.TopLeft, ["┌────┐", "│Data│", "└────┘", "", "", ""]),
    (LegendPosition.Top, [" ┌────┐", " │Data│", " └────┘", "", "", ""]),
    (LegendPosition.TopRight, ["   ┌────┐", "   │Data│", "   └────┘", "", "", ""]),
    (LegendPosition.Left, ["", "┌────┐", "│Data│", "└────┘", "", ""]),
    (LegendPosition.Right, ["", "   ┌────┐", "   │Data│", "   └────┘", "", ""]),
    (LegendPosition.BottomLeft, ["", "", "", "┌────┐", "│Data│", "└────┘"]),
    (LegendPosition.Bottom, ["", "", "", " ┌────┐", " │Data│", " └────┘"]),
    (LegendPosition.BottomRight, ["", "", "", "   ┌────┐", "   │Data│", "   └────┘"]),
])
def test_legend_positions(position, expected):
    full = Constraint.percentage(100)
    chart = Chart.new([Dataset.default().name("Data")]).hidden_legend_constraints(full, full)
    assert lines(chart.legend_position(position), 9, 6) == expected
    assert lines(chart.legend_position(None), 9, 6) == [""] * 6
    assert lines(chart.legend_position(), 9, 6) == [""] * 6


def test_legend_rules():
    named = Dataset.default().name("abc")
    assert lines(Chart.new([]), 12, 8) == [""] * 8
    # The default constraints hide a legend wider than a quarter of the graph.
    assert lines(Chart.new([named]), 12, 8) == [""] * 8
    assert lines(Chart.new([named]), 20, 12)[:3] == ["               ┌───┐", "               │abc│", "               └───┘"]
    ratio = Constraint.ratio(1, 1)
    chart = Chart.new([named, Dataset.default(), Dataset.default().name("")]).hidden_legend_constraints(ratio, ratio)
    assert lines(chart, 12, 8)[:4] == ["       ┌───┐", "       │abc│", "       │   │", "       └───┘"]
    hidden = chart.hidden_legend_constraints(Constraint.length(0), ratio)
    assert lines(hidden, 12, 8) == [""] * 8
    empty_names = Chart.new([Dataset.default().name(""), Dataset.default().name([])]).hidden_legend_constraints(
        ratio, ratio)
    assert lines(empty_names, 12, 8) == [""] * 8


def test_legend_row_takes_the_dataset_style():
    ds = Dataset.default().name(Line.raw("x").right_aligned()).style(Style.new().fg(Color.RED))
    full = Constraint.percentage(100)
    buf = draw(Chart.new([Dataset.default().name("wide"), ds]).hidden_legend_constraints(full, full), 6, 4)
    assert buf.to_string_lines() == ["┌────┐", "│wide│", "│   x│", "└────┘"]
    assert buf.cell(4, 2).fg == Color.RED


def test_degenerate_inputs_draw_safely():
    nan, inf = float("nan"), float("inf")
    ds = Dataset.default().data([(0, 0), (nan, 1), (inf, -inf), (1e308, 1e308)]).graph_type(GraphType.Line).marker(
        Marker.Braille).name("d")
    chart = (Chart.new([ds, Dataset.default()]).block(Block.bordered().title("Plot"))
             .x_axis(Axis.default().bounds([0, 0]).labels(["0.0", "1.0"]))
             .y_axis(Axis.default().bounds([1, 0]).labels(["0.0"])))
    for w, h in [(0, 0), (0, 1), (1, 0), (1, 1), (2, 2), (5, 4), (100, 100)]:
        draw(chart, w, h)
    assert lines(axes(Axis.default(), Axis.default().labels(["y"])), 5, 3) == [" │", " │", "y│"]
    plain = axes(Axis.default().labels(["0", "1"]), Axis.default().labels(["0", "1"]))
    assert lines(plain.style(Style.new()), 6, 4) == ["1│", "0│", " └────", " 0   1"]


def test_new_copies_datasets():
    d = Dataset.default().name("a").data([(0.5, 0.5)]).marker(Marker.Block)
    chart = Chart.new([d, d]).x_axis(Axis.default().bounds([0, 1])).y_axis(Axis.default().bounds([0, 1]))
    d.name("b").data([(0, 0)])
    ratio = Constraint.ratio(1, 1)
    assert lines(chart.hidden_legend_constraints(ratio, ratio), 5, 5) == ["  ┌─┐", "  │a│", "  │a│", "  └─┘", ""]
    assert lines(chart.legend_position(None), 3, 3) == ["", " █", ""]


def test_list_conversions():
    d = Dataset.default()
    with pytest.raises(TypeError) as e:
        Chart.new((d, d))
    assert str(e.value) == "'tuple' object is not an instance of 'list'"
    assert e.value.__notes__ == ["while processing 'datasets'"]
    with pytest.raises(TypeError) as e:
        Chart.new([d, "x"])
    assert str(e.value) == "expected Dataset"
    assert not getattr(e.value, "__notes__", None)
    Axis.default().labels([])
    Axis.default().labels(["0", Span.raw("5"), Line.raw("10")])
    with pytest.raises(TypeError) as e:
        Axis.default().labels(("0", "5"))
    assert str(e.value) == "'tuple' object is not an instance of 'list'"
    assert e.value.__notes__ == ["while processing 'values'"]
    with pytest.raises(TypeError) as e:
        Axis.default().labels(["0", 5])
    assert str(e.value) == "expected str, Span, or sequence of Span, got int"
    assert not getattr(e.value, "__notes__", None)


@pytest.mark.parametrize("call,exc,message,param", [
    (lambda: Axis.default().bounds([1]), ValueError, "expected a sequence of length 2 (got 1)", "bounds"),
    (lambda: Axis.default().bounds(5), TypeError, "'int' object is not an instance of 'Sequence'", "bounds"),
    (lambda: Dataset.default().data([[0, 1]]), TypeError, "'list' object is not an instance of 'tuple'", "values"),
    (lambda: Dataset.default().data([(0, 1, 2)]), ValueError,
     "expected tuple of length 2, but got tuple of length 3", "values"),
    (lambda: Dataset.default().data("ab"), TypeError, "Can't extract `str` to `Vec`", "values"),
    (lambda: Dataset.default().data([(0, "y")]), TypeError, None, "values"),
    (lambda: Dataset.default().marker(GraphType.Line), TypeError,
     "'GraphType' object is not an instance of 'Marker'", "value"),
    (lambda: Dataset.default().graph_type(None), TypeError, "'None' is not an instance of 'GraphType'", "value"),
    (lambda: Dataset.default().style(1), TypeError, None, "value"),
    (lambda: Axis.default().style(1), TypeError, None, "value"),
    (lambda: Axis.default().labels_alignment(0), TypeError, "'int' object is not an instance of 'Alignment'",
     "alignment"),
    (lambda: Chart.new([]).style(None), TypeError, None, "value"),
    (lambda: Chart.new([]).x_axis(Dataset.default()), TypeError, "'Dataset' object is not an instance of 'Axis'",
     "axis"),
    (lambda: Chart.new([]).y_axis(None), TypeError, "'None' is not an instance of 'Axis'", "axis"),
    (lambda: Chart.new([]).block(1), TypeError, None, "block"),
    (lambda: Chart.new([]).legend_position(1), TypeError, "'int' object is not an instance of 'LegendPosition'",
     "position"),
    (lambda: Chart.new([]).hidden_legend_constraints(1, Constraint.min(0)), TypeError, None, "width"),
    (lambda: Chart.new([]).hidden_legend_constraints(Constraint.min(0), None), TypeError, None, "height"),
])
def test_argument_errors(call, exc, message, param):
    with pytest.raises(exc) as e:
        call()
    if message:
        assert str(e.value) == message
    assert e.value.__notes__ == [f"while processing '{param}'"]


def test_name_and_title_conversions():
    with pytest.raises(TypeError) as e:
        Dataset.default().name(3)
    assert str(e.value) == "expected str, Span, or sequence of Span, got int"
    with pytest.raises(TypeError):
        Axis.default().title(None)
    Axis.default().title(["a", Span.raw("b")])
    Axis.default().bounds([10, 0])
    with pytest.raises(TypeError) as e:
        Axis.default().bounds("ab")
    assert e.value.__notes__ == ["while processing 'bounds'"]


@pytest.mark.parametrize("cls,method,signature", [
    (Dataset, "default", "()"), (Dataset, "name", "($self, value)"), (Dataset, "data", "($self, values)"),
    (Dataset, "marker", "($self, value)"), (Dataset, "graph_type", "($self, value)"),
    (Dataset, "style", "($self, value)"),
    (Axis, "default", "()"), (Axis, "title", "($self, value)"), (Axis, "bounds", "($self, bounds)"),
    (Axis, "labels", "($self, values)"), (Axis, "labels_alignment", "($self, alignment)"),
    (Axis, "style", "($self, value)"),
    (Chart, "new", "(datasets)"), (Chart, "block", "($self, block)"), (Chart, "style", "($self, value)"),
    (Chart, "x_axis", "($self, axis)"), (Chart, "y_axis", "($self, axis)"),
    (Chart, "legend_position", "($self, position=None)"),
    (Chart, "hidden_legend_constraints", "($self, width, height)"),
])
def test_text_signatures(cls, method, signature):
    assert getattr(cls, method).__text_signature__ == signature
    assert getattr(cls, method).__doc__ is None


def test_not_instantiable():
    for cls in (Chart, Axis, Dataset):
        with pytest.raises(TypeError):
            cls()


@pytest.mark.parametrize("make", [
    lambda tc: tc.Gauge.new().percent(40).use_unicode(True),
    lambda tc: tc.LineGauge.new().ratio(0.4),
    lambda tc: tc.Sparkline.new(range(100000)),
    lambda tc: tc.BarChart.new([tc.BarGroup.new([tc.Bar.new(i, "b") for i in range(1, 2000)])]).bar_gap(0),
    lambda tc: tc.BarChart.new([tc.BarGroup.new([tc.Bar.new(i, "b") for i in range(1, 2000)])]).bar_gap(0)
    .direction(tc.Direction.Horizontal),
    lambda tc: tc.Canvas.default().x_bounds([0, 1]).y_bounds([0, 1]).line(0, 0, 1, 1, tc.Color.RED)
    .circle(0.5, 0.5, 0.5, tc.Color.RED).print(0, 1, "label"),
    lambda tc: legend_chart(),
])
def test_huge_area_over_a_small_buffer_draws_only_what_is_inside(make):
    import tarvo_core.rust.native as tc

    buf = Buffer.empty(Rect(10, 10, 4, 3))
    for area in (Rect(0, 0, 65535, 65535), Rect(11, 11, 65000, 65000), Rect(60000, 60000, 5535, 5535)):
        render_widget(make(tc), area, buf)
    assert len(buf.to_string_lines()) == 3
