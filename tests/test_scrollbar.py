import pytest

from tarvo_core.rust.native import (
    Buffer, Color, Rect, ScrollDirection, Scrollbar, ScrollbarOrientation, ScrollbarState, Style,
    render_stateful_widget, render_widget,
)

O = ScrollbarOrientation
U64_MAX = 2**64 - 1


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


def draw(bar, state, width, height, area=None):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_stateful_widget(bar, area or Rect(0, 0, width, height), state, buf)
    return buf


def position(state):
    """The state's position, read back from a drawing in which every position has its own cell."""
    probe = state.viewport_content_length(1)
    probe.set_content_length(1000)
    bar = Scrollbar.new(O.HorizontalTop).begin_symbol().end_symbol()
    return draw(bar, probe, 1000, 1).to_string_lines()[0].index("█")


@pytest.mark.parametrize("orientation,lines", [
    (O.VerticalRight, ["  ▲", "  █", "  ║", "  ║", "  ▼"]),
    (O.VerticalLeft, ["▲", "█", "║", "║", "▼"]),
    (O.HorizontalBottom, ["", "", "", "", "◄█══►"]),
    (O.HorizontalTop, ["◄█══►", "", "", "", ""]),
])
def test_orientations_and_default_symbols(orientation, lines):
    width = 3 if orientation == O.VerticalRight else 5
    assert draw(Scrollbar.new(orientation), ScrollbarState(10), width, 5).to_string_lines() == lines


@pytest.mark.parametrize("length,pos,viewport,line", [
    (10, 0, 0, "█████═════"),
    (10, 3, 0, "══█████═══"),
    (10, 9, 0, "═════█████"),
    (10, 500, 0, "═════█████"),
    (1, 0, 0, "██████████"),
    (10, 4, 2, "════█═════"),
    (10, 6, 2, "═════██═══"),
    (100, 20, 2, "═█═══"),
    (U64_MAX, U64_MAX, 0, "═════════█"),
    (0, 0, 0, ""),
])
def test_thumb_size_and_place(length, pos, viewport, line):
    state = ScrollbarState(length)
    state.set_position(pos)
    if viewport:
        state = state.viewport_content_length(viewport)
    bar = Scrollbar.new(O.HorizontalBottom).begin_symbol(None).end_symbol(None)
    assert draw(bar, state, len(line) or 10, 1).to_string_lines() == [line]


def test_part_styles_and_arrows():
    red, blue, green, yellow = (Style.new().fg(c) for c in (Color.RED, Color.BLUE, Color.GREEN, Color.YELLOW))
    bar = (Scrollbar.new(O.HorizontalTop).begin_style(red).track_style(blue).thumb_style(green).end_style(yellow)
           .begin_symbol("<").end_symbol(">"))
    state = ScrollbarState(4)
    state.last()
    buf = draw(bar, state, 6, 1)
    assert buf.to_string_lines() == ["<═███>"]
    assert [buf.cell(x, 0).fg for x in range(6)] == [Color.RED, Color.BLUE, Color.GREEN, Color.GREEN, Color.GREEN,
                                                     Color.YELLOW]
    all_red = draw(bar.style(red), state, 6, 1)
    assert {all_red.cell(x, 0).fg for x in range(6)} == {Color.RED}
    # The builders copied: the first bar keeps its own styles.
    assert draw(bar, state, 6, 1).cell(1, 0).fg == Color.BLUE


def test_begin_symbol_none_differs_from_empty():
    vertical = Scrollbar.new(O.VerticalRight)
    state = ScrollbarState(2)
    assert draw(vertical.begin_symbol(), state, 1, 4).to_string_lines() == ["█", "█", "║", "▼"]
    # An empty arrow takes no room on the track but still takes the first cell.
    assert draw(vertical.begin_symbol(""), state, 1, 4).to_string_lines() == ["", "█", "█", "║"]
    assert draw(vertical.end_symbol(symbol=None), state, 1, 4).to_string_lines() == ["▲", "█", "█", "║"]
    assert draw(vertical, state, 1, 4).to_string_lines() == ["▲", "█", "█", "▼"]


@pytest.mark.parametrize("length,steps,expected", [
    (0, ["last"], 0),
    (0, ["next"], 0),
    (10, ["next"] * 10, 9),
    (10, ["prev"], 0),
    (10, ["last"], 9),
    (10, ["last", "first"], 0),
    (10, [("set_position", 100), "next"], 9),
    (10, [("set_position", 100), "prev"], 99),
    (10, [("set_position", 5), ("scroll", ScrollDirection.Forward)], 6),
    (10, [("set_position", 5), ("scroll", ScrollDirection.Backward)], 4),
    (10, [("set_position", 9), ("scroll", ScrollDirection.Forward)], 9),
    (10, [("set_position", 7), ("set_content_length", 500)], 7),
    (500, [("set_position", 5), ("set_content_length", 3), "next"], 2),
])
def test_state_operations(length, steps, expected):
    state = ScrollbarState(length)
    for step in steps:
        name, *args = (step,) if isinstance(step, str) else step
        assert getattr(state, name)(*args) is None
    assert position(state) == expected


def test_viewport_content_length_returns_an_independent_copy():
    s = ScrollbarState(10)
    s2 = s.viewport_content_length(5)
    assert s2 is not s and isinstance(s2, ScrollbarState)
    s.next()
    assert (position(s), position(s2)) == (1, 0)
    bar = Scrollbar.new(O.HorizontalTop).begin_symbol().end_symbol()
    assert draw(bar, s2, 10, 1).to_string_lines() == ["████══════"]
    assert draw(bar, ScrollbarState(10), 10, 1).to_string_lines() == ["█████═════"]


@pytest.mark.parametrize("call,exc,message,param", [
    (lambda: Scrollbar.new(0), TypeError, "'int' object is not an instance of 'ScrollbarOrientation'", "orientation"),
    (lambda: Scrollbar.new(O.VerticalLeft).style("x"), TypeError, "'str' object is not an instance of 'Style'",
     "style"),
    (lambda: Scrollbar.new(O.VerticalLeft).thumb_style(None), TypeError, "'None' is not an instance of 'Style'",
     "style"),
    (lambda: Scrollbar.new(O.VerticalLeft).begin_symbol(5), TypeError, "'int' object is not an instance of 'str'",
     "symbol"),
    (lambda: Scrollbar.new(O.VerticalLeft).end_symbol(b"x"), TypeError, "'bytes' object is not an instance of 'str'",
     "symbol"),
    (lambda: ScrollbarState(-1), OverflowError, None, "content_length"),
    (lambda: ScrollbarState(2**64), OverflowError, None, "content_length"),
    (lambda: ScrollbarState("1"), TypeError, None, "content_length"),
    (lambda: ScrollbarState(1).set_position(-1), OverflowError, None, "value"),
    (lambda: ScrollbarState(1).viewport_content_length(1.5), TypeError, None, "value"),
    (lambda: ScrollbarState(1).scroll(0), TypeError, "'int' object is not an instance of 'ScrollDirection'",
     "direction"),
])
def test_argument_errors(call, exc, message, param):
    with pytest.raises(exc) as e:
        call()
    if message is not None:
        assert str(e.value) == message
    assert notes(e) == [f"while processing '{param}'"]


def test_failed_operations_leave_the_state_unchanged():
    s = ScrollbarState(10)
    s.set_position(4)
    for call in (lambda: s.set_position(-1), lambda: s.scroll(O.VerticalLeft), lambda: s.set_content_length("9")):
        with pytest.raises((OverflowError, TypeError)):
            call()
    assert position(s) == 4


def test_only_the_stateful_dispatch_draws_a_scrollbar():
    buf = Buffer.empty(Rect(0, 0, 3, 3))
    with pytest.raises(TypeError, match="^unsupported widget type: Scrollbar$"):
        render_widget(Scrollbar.new(O.VerticalRight), Rect(0, 0, 3, 3), buf)
    with pytest.raises(TypeError):
        Scrollbar()
    # Areas partly or wholly outside the buffer write only the cells inside it.
    draw(Scrollbar.new(O.VerticalRight), ScrollbarState(5), 3, 3, Rect(2, 2, 60000, 60000))
    tail = draw(Scrollbar.new(O.HorizontalBottom), ScrollbarState(5), 3, 3, Rect(1, 0, 100, 3))
    assert tail.to_string_lines() == ["", "", " ◄█"]


def test_borrow_conflicts_raise_and_change_nothing():
    s = ScrollbarState(10)
    s.set_position(4)

    class Steps:
        def __index__(self):
            s.next()
            return 2

    class Reads:
        def __index__(self):
            s.viewport_content_length(1)
            return 7

    # The copy holds the state for reading while it converts: a change meanwhile is refused.
    with pytest.raises(RuntimeError) as e:
        s.viewport_content_length(Steps())
    assert str(e.value) == "Already borrowed"
    # An in-place change holds it for writing: reading meanwhile is refused.
    with pytest.raises(RuntimeError) as e:
        s.set_position(Reads())
    assert str(e.value) == "Already mutably borrowed"
    assert position(s) == 4


def test_arguments_by_name():
    bar = (Scrollbar.new(orientation=O.HorizontalTop).begin_symbol(symbol="<").end_symbol(symbol=">")
           .style(style=Style.new()).thumb_style(style=Style.new()).track_style(style=Style.new())
           .begin_style(style=Style.new()).end_style(style=Style.new()))
    s = ScrollbarState(content_length=4)
    s.set_content_length(value=3)
    s.set_position(value=1)
    s.scroll(direction=ScrollDirection.Forward)
    assert draw(bar, s.viewport_content_length(value=1), 5, 1).to_string_lines() == ["<══█>"]
