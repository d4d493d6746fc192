import pytest

from tarvo_core.rust.native import (
    Alignment, Block, Buffer, Color, HighlightSpacing, Line, ListDirection, ListItem, ListState, RatList, Rect, Span,
    Style, Text, render_stateful_widget, render_widget,
)

U64_MAX = 2**64 - 1
ITEMS = ["Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6"]


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


def draw(widget, width, height, state=None):
    buf = Buffer.empty(Rect(0, 0, width, height))
    if state is None:
        render_widget(widget, Rect(0, 0, width, height), buf)
    else:
        render_stateful_widget(widget, Rect(0, 0, width, height), state, buf)
    return buf


def state_of(selected=None, offset=0):
    s = ListState()
    s.set_offset(offset)
    if selected is not None:
        s.select(selected)
    return s


@pytest.mark.parametrize("make,selected,offset,size,lines,after", [
    (lambda: RatList.new(["Item 0", "Item 1", "Item 2"]).highlight_symbol(">>"), 1, 0, (10, 4),
     ["  Item 0", ">>Item 1", "  Item 2", ""], (1, 0)),
    (lambda: RatList.new([]).highlight_symbol(">>"), 3, 2, (10, 2), ["", ""], (None, 0)),
    (lambda: RatList.new(ITEMS).highlight_symbol(">>"), 6, 3, (10, 3),
     ["  Item 4", "  Item 5", ">>Item 6"], (6, 4)),
    (lambda: RatList.new(ITEMS).highlight_symbol(">>"), U64_MAX, U64_MAX, (10, 3),
     [">>Item 6", "", ""], (6, 6)),
    (lambda: RatList.new(ITEMS), None, 3, (10, 3), ["Item 3", "Item 4", "Item 5"], (None, 3)),
    (lambda: RatList.new(ITEMS).highlight_symbol(">> ").scroll_padding(U64_MAX), 6, 0, (10, 3),
     ["   Item 4", "   Item 5", ">> Item 6"], (6, 4)),
    (lambda: RatList.new(ITEMS[:3]).direction(ListDirection.BottomToTop).highlight_symbol(">"), 0, 0, (8, 4),
     ["", " Item 2", " Item 1", ">Item 0"], (0, 0)),
    (lambda: RatList.new(ITEMS[:2]).highlight_symbol(">>").highlight_spacing(HighlightSpacing.Never), 0, 0,
     (10, 2), ["Item 0", "Item 1"], (0, 0)),
    (lambda: RatList.new(ITEMS[:2]).block(Block.bordered()).highlight_symbol(">"), 1, 0, (8, 4),
     ["┌──────┐", "│ Item │", "│>Item │", "└──────┘"], (1, 0)),
    (lambda: RatList.new(ITEMS).highlight_symbol(">"), 2, 0, (8, 0), [], (2, 0)),
    # A symbol wider than the list is cut at the list's edge and leaves the border alone.
    (lambda: RatList.new(["ab", "cd"]).block(Block.bordered()).highlight_symbol(">>>>>>"), 1, 0, (5, 4),
     ["┌───┐", "│   │", "│>>>│", "└───┘"], (1, 0)),
    (lambda: RatList.new([Line.raw("ab").alignment(Alignment.Right), "cd"]), None, 0, (6, 2),
     ["    ab", "cd"], (None, 0)),
])
def test_stateful_screens_and_state_after(make, selected, offset, size, lines, after):
    state = state_of(selected, offset)
    assert draw(make(), *size, state).to_string_lines() == lines
    assert (state.selected, state.offset) == after


def test_plain_render_ignores_any_selection_and_block_title():
    items = RatList.new(["Item 0", "Item 1"]).highlight_symbol(">>")
    assert draw(items, 10, 2).to_string_lines() == ["Item 0", "Item 1"]
    titled = items.block(Block.bordered().title("List"))
    assert draw(titled, 10, 4).to_string_lines() == ["┌List────┐", "│Item 0  │", "│Item 1  │", "└────────┘"]


def test_styles_of_list_item_and_highlight():
    lst = (RatList.new(["a", ListItem.new("b").style(Style.new().bg(Color.BLUE)), "c"])
           .style(Style.new().fg(Color.RED))
           .highlight_style(Style.new().fg(Color.YELLOW))
           .highlight_symbol(">")
           .repeat_highlight_symbol(True))
    buf = draw(lst, 4, 4, state_of(2))
    assert buf.to_string_lines() == [" a", " b", ">c", ""]
    assert (buf.cell(3, 0).fg, buf.cell(3, 0).bg) == (Color.RED, Color.RESET)
    assert (buf.cell(3, 1).fg, buf.cell(3, 1).bg) == (Color.RED, Color.BLUE)
    assert buf.cell(0, 2).fg == Color.YELLOW and buf.cell(3, 2).fg == Color.YELLOW
    assert buf.cell(3, 3).fg == Color.RED


def test_items_conversion_and_len():
    styled = ListItem.new(Span.styled("s", Style.new().fg(Color.GREEN)))
    lst = RatList.new(["a", Span.raw("b"), Line.raw("c"), [Span.raw("d"), "e"], styled, "x\ny"])
    assert lst.len() == 6 and lst.is_empty() is False
    assert draw(lst, 4, 6).to_string_lines() == ["a", "b", "c", "de", "s", "xy"]
    assert RatList.new([]).len() == 0 and RatList.new([]).is_empty() is True
    assert not hasattr(RatList, "__len__")
    assert lst.items(["z"]).len() == 1 and lst.len() == 6


@pytest.mark.parametrize("items,exc,message,note", [
    (("a", "b"), TypeError, "'tuple' object is not an instance of 'list'", ["while processing 'items'"]),
    (["a", 5], TypeError, "expected str, Span, or sequence of Span, got int", []),
    ([Text.raw("a")], TypeError, "expected str, Span, or sequence of Span, got Text", []),
])
def test_items_errors(items, exc, message, note):
    with pytest.raises(exc) as e:
        RatList.new(items)
    assert str(e.value) == message and notes(e) == note
    with pytest.raises(exc):
        RatList.new([]).items(items)


@pytest.mark.parametrize("method,arg,param,message", [
    ("block", 1, "block", "'int' object is not an instance of 'Block'"),
    ("style", None, "style", "'None' is not an instance of 'Style'"),
    ("highlight_style", "x", "style", "'str' object is not an instance of 'Style'"),
    ("direction", 0, "direction", "'int' object is not an instance of 'ListDirection'"),
    ("highlight_spacing", ListDirection.TopToBottom, "spacing",
     "'ListDirection' object is not an instance of 'HighlightSpacing'"),
    ("highlight_symbol", 5, "symbol", "'int' object is not an instance of 'str'"),
    ("repeat_highlight_symbol", 1, "repeat", "'int' object is not an instance of 'bool'"),
])
def test_builder_argument_errors(method, arg, param, message):
    with pytest.raises(TypeError) as e:
        getattr(RatList.new(["a"]), method)(arg)
    assert str(e.value) == message
    assert notes(e) == [f"while processing '{param}'"]


@pytest.mark.parametrize("value,exc", [(-1, OverflowError), (2**64, OverflowError), ("1", TypeError)])
def test_scroll_padding_range(value, exc):
    with pytest.raises(exc) as e:
        RatList.new([]).scroll_padding(value)
    assert notes(e) == ["while processing 'padding'"]


def test_builders_copy_and_repr():
    lst = RatList.new(["a"])
    before = repr(lst)
    changed = lst.style(Style.new().fg(Color.RED)).highlight_symbol("> ").scroll_padding(2)
    assert repr(lst) == before
    assert repr(lst) == (
        'List { block: None, items: [ListItem { content: Text::from(Line::from("a")), style: Style::new() }], '
        "style: Style::new(), direction: TopToBottom, highlight_style: Style::new(), highlight_symbol: None, "
        "repeat_highlight_symbol: false, highlight_spacing: WhenSelected, scroll_padding: 0 }")
    assert "style: Style::new().red()" in repr(changed)
    assert 'highlight_symbol: Some(Line::from("> "))' in repr(changed) and "scroll_padding: 2 }" in repr(changed)
    item = ListItem.new("x")
    assert repr(item.style(Style.new().fg(Color.RED))) == (
        'ListItem { content: Text::from(Line::from("x")), style: Style::new().red() }')
    assert repr(item) == 'ListItem { content: Text::from(Line::from("x")), style: Style::new() }'


@pytest.mark.parametrize("steps,selected,offset", [
    ([], None, 0),
    ([("select_previous",)], U64_MAX, 0),
    ([("select_previous",), ("select_next",)], U64_MAX, 0),
    ([("select_next",)], 0, 0),
    ([("select", 3), ("scroll_up_by", 5)], 0, 0),
    ([("scroll_down_by", 2)], 2, 0),
    ([("scroll_down_by", 65535), ("scroll_down_by", 65535)], 131070, 0),
    ([("select", 4), ("set_offset", 2)], 4, 2),
    ([("select", 4), ("set_offset", 2), ("select", None)], None, 0),
    ([("select", 4), ("set_offset", 2), ("select",), ("select_first",)], 0, 0),
    ([("set_offset", 9), ("select_last",)], U64_MAX, 9),
    ([("set_offset", U64_MAX), ("select", U64_MAX)], U64_MAX, U64_MAX),
])
def test_state_steps(steps, selected, offset):
    s = ListState()
    for name, *args in steps:
        assert getattr(s, name)(*args) is None
    assert (s.selected, s.offset) == (selected, offset)


def test_state_repr_and_errors():
    s = ListState()
    assert repr(s) == "ListState(selected=None, offset=0)"
    s.select(3)
    assert repr(s) == "ListState(selected=Some(3), offset=0)"
    for call, exc, param in [(lambda: s.scroll_down_by(65536), OverflowError, "amount"),
                             (lambda: s.scroll_up_by(-1), OverflowError, "amount"),
                             (lambda: s.select(-1), OverflowError, "index"),
                             (lambda: s.set_offset(2**64), OverflowError, "value"),
                             (lambda: s.set_offset(1.5), TypeError, "value")]:
        with pytest.raises(exc) as e:
            call()
        assert notes(e) == [f"while processing '{param}'"]
    assert (s.selected, s.offset) == (3, 0)
    with pytest.raises(OverflowError, match="out of range integral type conversion attempted"):
        s.scroll_down_by(65536)


def test_state_is_held_exclusively_while_changed():
    s = ListState()

    class Sneaky:
        def __index__(self):
            repr(s)
            return 1

    with pytest.raises(RuntimeError, match="Already mutably borrowed"):
        s.set_offset(Sneaky())
    assert s.offset == 0
    s.set_offset(2)
    assert s.offset == 2


def test_symbol_stays_inside_a_narrow_area():
    buf = Buffer.empty(Rect(0, 0, 8, 2))
    state = state_of(0)
    render_stateful_widget(RatList.new(["ab", "cd"]).highlight_symbol(">>>>>>"), Rect(0, 0, 3, 2), state, buf)
    assert buf.to_string_lines() == [">>>", ""]


def test_repeat_accepts_numpy_bool():
    np = pytest.importorskip("numpy")
    lst = RatList.new(["a\nb"]).highlight_symbol(">").repeat_highlight_symbol(np.bool_(True))
    assert "repeat_highlight_symbol: true" in repr(lst)


def test_arguments_by_name():
    lst = RatList.new(items=["a", "b"]).highlight_symbol(symbol=">").scroll_padding(padding=1)
    lst = lst.style(style=Style.new()).block(block=Block.bordered()).repeat_highlight_symbol(repeat=True)
    lst = lst.direction(direction=ListDirection.TopToBottom).highlight_spacing(spacing=HighlightSpacing.Always)
    assert lst.items(items=["z"]).len() == 1
    assert "ListItem" in repr(ListItem.new(content="x").style(style=Style.new()))
    s = ListState()
    s.select(index=2)
    s.set_offset(value=1)
    s.scroll_down_by(amount=3)
    assert (s.selected, s.offset) == (5, 1)
