import pytest

from tarvo_core.rust.native import (
    Bar, BarChart, BarGroup, Block, Buffer, Color, Direction, Line, Modifier, Rect, Span, Style, render_widget,
)

U64_MAX = 2**64 - 1


def draw(widget, width, height, area=None):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, area or Rect(0, 0, width, height), buf)
    return buf


def chart(*groups):
    return BarChart.new([BarGroup.new([Bar.new(v, label) for label, v in g]) for g in groups])


FOO_BAR = [("foo", 1), ("bar", 2)]
NINE = [(c, i) for i, c in enumerate("abcdefghi")]


@pytest.mark.parametrize("widget,width,height,lines", [
    (BarChart.new([]), 10, 3, ["", "", ""]),
    (chart(FOO_BAR), 10, 3, ["  █", "1 2", "f b"]),
    (chart(FOO_BAR).block(Block.bordered()), 10, 5,
     ["┌────────┐", "│  █     │", "│1 2     │", "│f b     │", "└────────┘"]),
    (chart(FOO_BAR + [("baz", 100)]), 10, 3, ["    █", "    █", "f b b"]),
    (chart(FOO_BAR + [("baz", 100)]).max(2), 10, 3, ["  █ █", "1 2 █", "f b b"]),
    (chart(FOO_BAR).bar_width(3), 10, 3, ["    ███", "█1█ █2█", "foo bar"]),
    (chart(FOO_BAR).bar_gap(2), 10, 3, ["   █", "1  2", "f  b"]),
    (chart(NINE), 17, 1, ["  ▁ ▂ ▃ ▄ ▅ ▆ ▇ 8"]),
    (chart(NINE), 17, 2, ["  ▁ ▂ ▃ ▄ ▅ ▆ ▇ 8", "a b c d e f g h i"]),
    (chart([("a", 1), ("b", 2)], [("a", 1), ("b", 2)]).bar_width(2), 7, 6,
     ["   ██", "   ██", "▄▄ ██", "██ ██", "1█ 2█", "a  b"]),
    (BarChart.new([BarGroup.new([Bar.default().value(U64_MAX)])]).max(U64_MAX), 5, 2, ["█", "█"]),
    (BarChart.new([BarGroup.new([Bar.default().value(U64_MAX - 1)])]).max(U64_MAX), 1, 1, ["▇"]),
    (chart(FOO_BAR).bar_width(0), 10, 3, ["", "", ""]),
    (chart([("Jan", 10), ("Feb", 20), ("Mar", 5)]).direction(Direction.Horizontal).bar_gap(0), 10, 3,
     ["Jan 10█", "Feb 20████", "Mar 5"]),
    (chart([("a", 2), ("b", 4)]).direction(Direction.Horizontal).bar_width(2), 6, 5,
     ["  ██", "a 2█", "", "  ████", "b 4███"]),
])
def test_screens(widget, width, height, lines):
    assert draw(widget, width, height).to_string_lines() == lines


def test_fresh_chart_draws_thin_vertical_bars_one_apart():
    bars = [Bar.default().value(v) for v in (1, 2, 3)]
    assert draw(BarChart.new([BarGroup.new(bars), BarGroup.new(bars)]), 12, 3).to_string_lines() == [
        "    █     █", "  █ █   █ █", "1 2 3 1 2 3"]


def test_group_gap():
    assert draw(chart([("a", 1)], [("b", 1)]).group_gap(3), 8, 2).to_string_lines() == ["1    1", "a    b"]


@pytest.mark.parametrize("direction", [Direction.Vertical, Direction.Horizontal])
def test_groups_without_bars_take_no_room(direction):
    group = BarGroup.new([Bar.new(1, "a"), Bar.new(2, "b")])
    empty = BarGroup.new([])
    with_empties = BarChart.new([empty, group, empty, empty, group, empty]).group_gap(2).direction(direction)
    without = BarChart.new([group, group]).group_gap(2).direction(direction)
    assert draw(with_empties, 12, 8).to_string_lines() == draw(without, 12, 8).to_string_lines()
    assert draw(BarChart.new([empty]), 4, 2).to_string_lines() == ["", ""]


def test_styles():
    widget = (
        BarChart.new([BarGroup.new([Bar.new(1, "foo"), Bar.new(2, "bar").style(Style.new().fg(Color.MAGENTA))])])
        .bar_style(Style.new().fg(Color.RED))
        .value_style(Style.new().fg(Color.GREEN))
        .label_style(Style.new().fg(Color.BLUE))
        .style(Style.new().fg(Color.YELLOW).bg(Color.BLACK))
    )
    buf = draw(widget, 10, 3)
    assert buf.cell(2, 0).fg == Color.MAGENTA
    assert buf.cell(0, 0).fg == Color.RED
    assert buf.cell(0, 1).fg == Color.GREEN
    assert buf.cell(0, 2).fg == Color.BLUE
    assert (buf.cell(9, 2).fg, buf.cell(9, 2).bg) == (Color.YELLOW, Color.BLACK)


def test_horizontal_value_wider_than_its_bar():
    first = Bar.default().value(2).text_value("label").value_style(Style.new().fg(Color.RED))
    widget = (BarChart.new([BarGroup.new([first, Bar.default().value(5)])])
              .direction(Direction.Horizontal).bar_gap(0).bar_style(Style.new().fg(Color.YELLOW)))
    buf = draw(widget, 5, 2)
    assert buf.to_string_lines() == ["label", "5████"]
    assert [buf.cell(x, 0).fg for x in range(5)] == [Color.RED] * 2 + [Color.YELLOW] * 3


def test_bar_value_and_label_builders():
    bar = Bar.default().value(7).label(Line.raw("L")).text_value("seven").value_style(
        Style.new().add_modifier(Modifier.BOLD))
    buf = draw(BarChart.new([BarGroup.new([bar])]).bar_width(7), 7, 3)
    assert buf.to_string_lines() == ["███████", "█seven█", "   L"]
    assert repr(buf.cell(1, 1).modifier) == repr(Modifier.BOLD)
    assert buf.cell(0, 1).modifier.is_empty()


@pytest.mark.parametrize("text,bar_width,start", [
    ("中文", 8, 2),   # 4 cells on 8: two before
    ("中文", 5, 0),
    ("写", 6, 2),
    ("ab中", 8, 2),
    ("abcd", 8, 2),
    ("中文字", 8, 1),
])
def test_vertical_value_is_centred_by_display_width(text, bar_width, start):
    bar = Bar.default().value(5).text_value(text)
    buf = draw(BarChart.new([BarGroup.new([bar])]).bar_width(bar_width), bar_width, 1)
    expected = Buffer.empty(Rect(0, 0, bar_width, 1))
    for x in range(bar_width):
        expected.set_string(x, 0, "█", Style.new())
    expected.set_string(start, 0, text, Style.new())
    assert [buf.cell(x, 0).symbol for x in range(bar_width)] == [expected.cell(x, 0).symbol for x in range(bar_width)]


def test_value_texts_are_placed_by_their_width():
    # A value is centred on its bar by its display width, and split over a horizontal bar after
    # the last whole character that starts inside the bar.
    wide = BarGroup.new([Bar.default().value(v).label("B").text_value("写") for v in (123, 321, 333)])
    buf = draw(BarChart.new([wide]).bar_width(3), 11, 5)
    assert [buf.cell(x, 3).symbol for x in (0, 2, 4, 6, 8, 10)] == ["写", "█", "写", "█", "写", "█"]
    narrow = BarGroup.new([Bar.default().text_value("\u202f").value(v) for v in range(5)])
    buf = draw(BarChart.new([narrow]).bar_gap(0).direction(Direction.Horizontal), 4, 5)
    assert [[buf.cell(x, y).symbol for x in range(4)] for y in (0, 1, 4)] == [
        ["\u202f", " ", " ", " "], ["\u202f", " ", " ", " "], ["\u202f", "█", "█", "█"]]


def test_bar_new_label_is_raw_line():
    buf = draw(BarChart.new([BarGroup.new([Bar.new(1, "a\nb")])]), 3, 3)
    assert buf.to_string_lines() == ["█", "1", "a"]
    with pytest.raises(TypeError) as e:
        Bar.new(1, Span.raw("x"))
    assert str(e.value) == "'Span' object is not an instance of 'str'"
    assert e.value.__notes__ == ["while processing 'label'"]
    Bar.default().label(Span.raw("x"))


def test_builders_copy():
    c = chart(FOO_BAR)
    c2 = c.bar_width(3)
    assert draw(c, 10, 3).to_string_lines() == ["  █", "1 2", "f b"]
    assert draw(c2, 10, 3).to_string_lines() == ["    ███", "█1█ █2█", "foo bar"]


def test_list_conversions():
    with pytest.raises(TypeError) as e:
        BarChart.new([BarGroup.new([Bar.new(3, "a")]), 5])
    assert str(e.value) == "expected BarGroup"
    assert not getattr(e.value, "__notes__", None)
    with pytest.raises(TypeError) as e:
        BarGroup.new([Bar.default(), "x"])
    assert str(e.value) == "expected Bar"
    with pytest.raises(TypeError) as e:
        BarGroup.new((Bar.default(),))
    assert str(e.value) == "'tuple' object is not an instance of 'list'"
    assert e.value.__notes__ == ["while processing 'bars'"]
    with pytest.raises(TypeError) as e:
        BarChart.new(None)
    assert e.value.__notes__ == ["while processing 'groups'"]


@pytest.mark.parametrize("call,param,exc", [
    (lambda: BarChart.new([]).bar_width(65536), "value", OverflowError),
    (lambda: BarChart.new([]).bar_gap(-1), "value", OverflowError),
    (lambda: BarChart.new([]).group_gap("1"), "value", TypeError),
    (lambda: BarChart.new([]).max(2**64), "value", OverflowError),
    (lambda: BarChart.new([]).direction(1), "direction", TypeError),
    (lambda: BarChart.new([]).block(1), "block", TypeError),
    (lambda: BarChart.new([]).label_style(1), "style", TypeError),
    (lambda: Bar.default().value(-1), "value", OverflowError),
    (lambda: Bar.default().text_value(1), "value", TypeError),
    (lambda: Bar.new(-1, "a"), "value", OverflowError),
    (lambda: Bar.default().value_style(None), "style", TypeError),
])
def test_argument_errors(call, param, exc):
    with pytest.raises(exc) as e:
        call()
    assert e.value.__notes__ == [f"while processing '{param}'"]


def test_out_of_range_message_for_u16_options():
    with pytest.raises(OverflowError) as e:
        BarChart.new([]).bar_width(65536)
    assert str(e.value) == "out of range integral type conversion attempted"
    BarChart.new([]).bar_width(0)


def test_line_label_errors():
    with pytest.raises(TypeError) as e:
        Bar.default().label(3)
    assert str(e.value) == "expected str, Span, or sequence of Span, got int"
    assert not getattr(e.value, "__notes__", None)


@pytest.mark.parametrize("direction", [Direction.Vertical, Direction.Horizontal])
@pytest.mark.parametrize("width,height", [(1, 1), (0, 0), (0, 5), (3, 0)])
def test_tiny_areas(direction, width, height):
    buf = draw(chart(FOO_BAR).bar_width(3).direction(direction), width, height)
    assert all(line == "" for line in buf.to_string_lines())


@pytest.mark.parametrize("cls,method,signature", [
    (Bar, "default", "()"), (Bar, "new", "(value, label)"), (Bar, "value", "($self, value)"),
    (Bar, "label", "($self, label)"), (Bar, "text_value", "($self, value)"), (Bar, "style", "($self, style)"),
    (Bar, "value_style", "($self, style)"), (BarGroup, "new", "(bars)"), (BarChart, "new", "(groups)"),
    (BarChart, "block", "($self, block)"), (BarChart, "style", "($self, style)"),
    (BarChart, "bar_width", "($self, value)"), (BarChart, "bar_gap", "($self, value)"),
    (BarChart, "group_gap", "($self, value)"), (BarChart, "max", "($self, value)"),
    (BarChart, "bar_style", "($self, style)"), (BarChart, "value_style", "($self, style)"),
    (BarChart, "label_style", "($self, style)"), (BarChart, "direction", "($self, direction)"),
])
def test_text_signatures(cls, method, signature):
    assert getattr(cls, method).__text_signature__ == signature
    assert getattr(cls, method).__doc__ is None


def test_not_instantiable():
    for cls in (Bar, BarGroup, BarChart):
        with pytest.raises(TypeError):
            cls()
