import pytest

from tarvo_core.rust.native import (
    Block, Buffer, Color, Line, Modifier, Rect, Span, Style, Tabs, render_widget,
)


def draw(widget, width, height=1):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


def highlighted(buf, y=0):
    """The columns of a row drawn with REVERSED, as a string of '^' and '.'."""
    return "".join("^" if "REVERSED" in repr(buf.cell(x, y).modifier) else "."
                   for x in range(buf.area.width))


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


ABC = ["Tab1", "Tab2", "Tab3"]


@pytest.mark.parametrize("tabs,width,row,marks", [
    (Tabs.new(ABC), 20, " Tab1 │ Tab2 │ Tab3", ".^^^^..............."),
    (Tabs.new(ABC).select(2), 20, " Tab1 │ Tab2 │ Tab3", "...............^^^^."),
    (Tabs.new(ABC).select(None), 20, " Tab1 │ Tab2 │ Tab3", "...................."),
    (Tabs.new(ABC).select(), 20, " Tab1 │ Tab2 │ Tab3", "...................."),
    (Tabs.new(ABC).divider(" | ").padding("", ""), 18, "Tab1 | Tab2 | Tab3", "^^^^.............."),
    (Tabs.new(ABC).padding_left("[").padding_right("]").divider(""), 18, "[Tab1][Tab2][Tab3]", ".^^^^............."),
    (Tabs.new(ABC), 8, " Tab1 │", ".^^^^..."),
    (Tabs.new(ABC), 3, " Ta", ".^^"),
    (Tabs.new([]), 4, "", "...."),
    (Tabs.new(["a", Span.raw("b"), Line.raw("c"), ["d", Span.raw("e")]]), 16, " a │ b │ c │ de", ".^.............."),
])
def test_screens_and_highlight(tabs, width, row, marks):
    buf = draw(tabs, width)
    assert buf.to_string_lines() == [row]
    assert highlighted(buf) == marks


@pytest.mark.parametrize("tabs,marks", [
    (Tabs.new(["a", "b", "c"]).select(2).titles(["x"]), ".^....."),
    (Tabs.new(["a", "b", "c"]).select(None).titles(["x", "y"]), ".^....."),
    (Tabs.new(["a", "b", "c"]).select(1).titles(["x", "y", "z"]), ".....^."),
    (Tabs.new(["a", "b"]).titles([]), "......."),
    (Tabs.new([]).titles(["x"]), ".^....."),
    (Tabs.new(["a"]).select(10), "......."),
])
def test_titles_keep_the_selection_in_range(tabs, marks):
    assert highlighted(draw(tabs, 7)) == marks


def test_styles_block_and_receiver_unchanged():
    t = Tabs.new(ABC)
    u = t.highlight_style(Style.default())
    assert highlighted(draw(t, 20)) == ".^^^^..............."
    assert highlighted(draw(u, 20)) == "...................."
    styled = (Tabs.new(ABC).select(1).style(Style.new().fg(Color.GREEN))
              .highlight_style(Style.new().fg(Color.YELLOW).add_modifier(Modifier.BOLD))
              .block(Block.bordered().title("T")))
    buf = draw(styled, 14, 3)
    assert buf.to_string_lines() == ["┌T───────────┐", "│ Tab1 │ Tab2│", "└────────────┘"]
    assert buf.cell(0, 0).fg == Color.GREEN
    assert buf.cell(9, 1).fg == Color.YELLOW and repr(buf.cell(9, 1).modifier) == "BOLD"
    assert buf.cell(2, 1).fg == Color.GREEN and repr(buf.cell(2, 1).modifier) == "NONE"


@pytest.mark.parametrize("divider,row", [("/", " a / b"), ("", " a  b"), (" :: ", " a  ::  b"), ("\u2502", " a │ b")])
def test_divider_text_is_used_whole(divider, row):
    assert draw(Tabs.new(["a", "b"]).divider(divider), 12).to_string_lines() == [row]


@pytest.mark.parametrize("call,param,exc", [
    (lambda: Tabs.new(("a", "b")), "titles", TypeError),
    (lambda: Tabs.new(["a"]).titles("ab"), "titles", TypeError),
    (lambda: Tabs.new(["a"]).select(-1), "index", OverflowError),
    (lambda: Tabs.new(["a"]).select(2 ** 64), "index", OverflowError),
    (lambda: Tabs.new(["a"]).select("0"), "index", TypeError),
    (lambda: Tabs.new(["a"]).divider(Span.raw("|")), "symbol", TypeError),
    (lambda: Tabs.new(["a"]).padding("", 1), "right", TypeError),
    (lambda: Tabs.new(["a"]).padding(1, 1), "left", TypeError),
    (lambda: Tabs.new(["a"]).padding_left(None), "value", TypeError),
    (lambda: Tabs.new(["a"]).padding_right(Line.raw("x")), "value", TypeError),
    (lambda: Tabs.new(["a"]).block("b"), "block", TypeError),
    (lambda: Tabs.new(["a"]).style(None), "style", TypeError),
    (lambda: Tabs.new(["a"]).highlight_style(1), "style", TypeError),
])
def test_argument_errors(call, param, exc):
    with pytest.raises(exc) as e:
        call()
    assert notes(e) == [f"while processing '{param}'"]


def test_item_errors_have_no_note():
    with pytest.raises(TypeError) as e:
        Tabs.new(["a", 5])
    assert notes(e) == [] and "int" in str(e.value)
    with pytest.raises(TypeError):
        Tabs()


def test_partly_outside_the_buffer():
    buf = Buffer.empty(Rect(0, 0, 6, 1))
    render_widget(Tabs.new(ABC), Rect(2, 0, 30, 1), buf)
    assert buf.to_string_lines() == ["   Tab"]
    render_widget(Tabs.new(ABC), Rect(0, 4, 6, 1), buf)
    render_widget(Tabs.new(ABC), Rect(0, 0, 0, 0), buf)
    assert buf.to_string_lines() == ["   Tab"]


@pytest.mark.parametrize("buffer_area,area,rows", [
    # The part of the area inside the buffer is drawn on, starting at its own first column.
    (Rect(5, 0, 10, 1), Rect(0, 0, 15, 1), [" Tab1 │ Ta"]),
    (Rect(0, 2, 6, 2), Rect(0, 0, 6, 4), [" Tab1", ""]),
])
def test_area_reaching_before_the_buffer(buffer_area, area, rows):
    buf = Buffer.empty(buffer_area)
    render_widget(Tabs.new(ABC), area, buf)
    assert buf.to_string_lines() == rows


def test_block_cut_by_the_buffer_keeps_its_border():
    buf = Buffer.empty(Rect(0, 0, 10, 3))
    render_widget(Tabs.new(ABC).block(Block.bordered()), Rect(0, 0, 30, 3), buf)
    assert buf.to_string_lines() == ["┌────────┐", "│ Tab1 │ │", "└────────┘"]
