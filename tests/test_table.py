import pytest

from tarvo_core.rust.native import (
    Block, Buffer, Cell, Color, Constraint, HighlightSpacing, Line, ListState, RatTable, Rect, Row, Span, Style,
    TableState, Text, render_stateful_widget, render_widget,
)

U64_MAX = 2**64 - 1
L5 = [Constraint.length(5), Constraint.length(5)]


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


def draw(widget, width, height, state=None):
    buf = Buffer.empty(Rect(0, 0, width, height))
    if state is None:
        render_widget(widget, Rect(0, 0, width, height), buf)
    else:
        render_stateful_widget(widget, Rect(0, 0, width, height), state, buf)
    return buf


def rows(*texts):
    return [Row.new(list(t)) for t in texts]


def state_of(row=None, column=None):
    s = TableState()
    s.select(row)
    s.select_column(column)
    return s


def fg_row(buf, y, width):
    return [buf.cell(x, y).fg for x in range(width)]


TWO = rows(["Cell1", "Cell2"], ["Cell3", "Cell4"])


@pytest.mark.parametrize("table,size,lines", [
    (RatTable.new(TWO[:1], L5).header(Row.new(["H1", "H2"])).footer(Row.new(["F1", "F2"])), (15, 3),
     ["H1    H2", "Cell1 Cell2", "F1    F2"]),
    (RatTable.new(TWO, L5).header(Row.new(["Head1", "Head2"]).bottom_margin(1)), (15, 3),
     ["Head1 Head2", "", "Cell1 Cell2"]),
    (RatTable.new([Row.new(["a\nb", "c"]).height(2), Row.new(["d", "e"]).height(3)], L5), (15, 3),
     ["ab    c", "", "d     e"]),
    (RatTable.new(TWO, L5).block(Block.bordered().title("Block")), (15, 3),
     ["┌Block────────┐", "│Cell1 Cell2  │", "└─────────────┘"]),
    (RatTable.new(TWO, L5).column_spacing(3), (15, 2), ["Cell1   Cell2", "Cell3   Cell4"]),
    (RatTable.new(TWO, []), (13, 1), ["Cell1  Cell2"]),
    (RatTable.new([], []), (5, 2), ["", ""]),
])
def test_screens(table, size, lines):
    assert draw(table, *size).to_string_lines() == lines


def test_selected_row_symbol_and_highlight_layers():
    table = (RatTable.new(rows(["Cell1", "Cell2", "Cell3"], ["Cell4", "Cell5", "Cell6"]),
                          [Constraint.length(5)] * 3)
             .highlight_symbol(">>")
             .row_highlight_style(Style.new().fg(Color.RED))
             .column_highlight_style(Style.new().fg(Color.BLUE))
             .cell_highlight_style(Style.new().fg(Color.GREEN)))
    state = state_of(1, 2)
    buf = draw(table, 20, 3, state)
    assert buf.to_string_lines() == ["  Cell1 Cell2 Cell3", ">>Cell4 Cell5 Cell6", ""]
    n, r, b, g = Color.RESET, Color.RED, Color.BLUE, Color.GREEN
    assert fg_row(buf, 0, 20) == [n] * 14 + [b] * 5 + [n]
    assert fg_row(buf, 1, 20) == [r] * 14 + [g] * 5 + [r]
    assert fg_row(buf, 2, 20) == [n] * 14 + [b] * 5 + [n]
    assert (state.selected, state.selected_column, state.offset) == (1, 2, 0)
    # A plain render uses a fresh state: no symbol column, no highlight.
    plain = draw(table, 20, 3)
    assert plain.to_string_lines()[0] == "Cell1 Cell2 Cell3"
    assert fg_row(plain, 1, 20) == [n] * 20


def test_multi_line_highlight_symbol_and_spacing_modes():
    table = RatTable.new([Row.new(["a\nb"]).height(2), Row.new(["c"])], [Constraint.length(3)])
    sym = table.highlight_symbol(["=>", Line.raw("->")])
    assert draw(sym, 6, 3, state_of(0)).to_string_lines() == ["=>ab", "->", "  c"]
    always = sym.highlight_spacing(HighlightSpacing.Always)
    assert draw(always, 6, 3, state_of()).to_string_lines() == ["  ab", "", "  c"]
    never = sym.highlight_spacing(HighlightSpacing.Never)
    assert draw(never, 6, 3, state_of(1)).to_string_lines() == ["ab", "", "c"]


@pytest.mark.parametrize("selected,lines,offset", [
    (20, ["20", "21", "22"], 20),
    (55, ["53", "54", "55"], 53),
    (U64_MAX, ["97", "98", "99"], 97),
])
def test_scrolling_keeps_selection_in_view(selected, lines, offset):
    table = RatTable.new([Row.new([str(i)]) for i in range(100)], [Constraint.length(2)])
    state = TableState()
    state.select(52)
    assert draw(table, 2, 3, state).to_string_lines() == ["50", "51", "52"]
    assert state.offset == 50
    state.select(selected)
    assert draw(table, 2, 3, state).to_string_lines() == lines
    assert (state.selected, state.offset) == (min(selected, 99), offset)


def test_state_is_bounded_by_the_table():
    one = RatTable.new(rows(["only"]), [Constraint.percentage(100)])
    s = TableState()
    s.select_last()
    s.select_last_column()
    draw(one, 10, 2, s)
    assert (s.selected, s.selected_column, s.selected_cell()) == (0, 0, (0, 0))
    empty = RatTable.new([], [Constraint.percentage(100)])
    s = state_of(3, 4)
    draw(empty, 10, 2, s)
    assert (s.selected, s.selected_column, s.offset) == (None, None, 0)
    s = state_of(1, 2)
    draw(empty, 0, 2, s)  # nothing drawn: the state stays as it was
    assert (s.selected, s.selected_column) == (1, 2)


def test_row_and_cell_builders():
    red = Style.new().fg(Color.RED)
    row = Row.new(["a", Span.raw("b"), Cell.new("c"), [Span.raw("d"), "e"], Line.raw("f")])
    assert draw(RatTable.new([row], [Constraint.length(2)] * 5), 14, 1).to_string_lines() == ["a  b  c  de f"]
    kept_style = Cell.new("x").style(red).content("y")
    buf = draw(RatTable.new([Row.new([kept_style])], [Constraint.length(3)]), 3, 1)
    assert buf.to_string_lines() == ["y"] and buf.cell(2, 0).fg == Color.RED
    tall = Row.new(["a"]).height(3).cells(["b"])
    assert draw(RatTable.new([tall, Row.new(["c"])], [Constraint.length(1)]), 1, 4).to_string_lines() == \
        ["b", "", "", "c"]
    styled = Row.new(["r"]).style(red)
    buf = draw(RatTable.new([styled], [Constraint.length(1)]), 3, 1)
    assert buf.cell(2, 0).fg == Color.RED


def test_builders_leave_the_receiver_unchanged():
    t = RatTable.new(TWO, L5)
    t2 = t.header(Row.new(["H", "H"]))
    assert t2 is not t
    assert draw(t, 15, 1).to_string_lines() == ["Cell1 Cell2"]
    assert draw(t2, 15, 1).to_string_lines() == ["H     H"]
    r = Row.new(["a"])
    r2 = r.height(2)
    assert draw(RatTable.new([r, r], [Constraint.length(1)]), 1, 2).to_string_lines() == ["a", "a"]
    assert draw(RatTable.new([r2, r], [Constraint.length(1)]), 1, 3).to_string_lines() == ["a", "", "a"]
    assert not hasattr(RatTable, "__len__")


@pytest.mark.parametrize("call,exc,message,note", [
    (lambda: RatTable.new("ab", 5), TypeError, "'str' object is not an instance of 'list'", "rows"),
    (lambda: RatTable.new([1], 5), TypeError, "'int' object is not an instance of 'list'", "widths"),
    (lambda: RatTable.new(["x"], []), TypeError, "expected Row", None),
    (lambda: RatTable.new([Row.new([])], ["10"]), ValueError, "expected a sequence of Constraint", None),
    (lambda: RatTable.new([], []).rows((Row.new([]),)), TypeError, "'tuple' object is not an instance of 'list'",
     "rows"),
    (lambda: RatTable.new([], []).widths([Constraint.length(1), 2]), ValueError,
     "expected a sequence of Constraint", None),
    (lambda: RatTable.new([], []).header("h"), TypeError, "'str' object is not an instance of 'Row'", "row"),
    (lambda: RatTable.new([], []).footer(None), TypeError, "'None' is not an instance of 'Row'", "row"),
    (lambda: RatTable.new([], []).block(Row.new([])), TypeError, "'Row' object is not an instance of 'Block'",
     "block"),
    (lambda: RatTable.new([], []).cell_highlight_style(1), TypeError, "'int' object is not an instance of 'Style'",
     "style"),
    (lambda: RatTable.new([], []).highlight_spacing(1), TypeError,
     "'int' object is not an instance of 'HighlightSpacing'", "spacing"),
    (lambda: RatTable.new([], []).highlight_symbol(5), TypeError,
     "expected str, Line, Span, Text, or sequence, got int", None),
    (lambda: RatTable.new([], []).column_spacing(65536), OverflowError,
     "out of range integral type conversion attempted", "value"),
    (lambda: Row.new(["a"]).height(-1), OverflowError, "out of range integral type conversion attempted", "value"),
    (lambda: Row.new(["a"]).top_margin("1"), TypeError, None, "value"),
    (lambda: Row.new("a"), TypeError, "'str' object is not an instance of 'list'", "cells"),
    (lambda: Row.new(["a", 3]), TypeError, "expected str, Span, or sequence of Span, got int", None),
    (lambda: Cell.new(Text.raw("t")), TypeError, "expected str, Span, or sequence of Span, got Text", None),
    (lambda: Cell.new("a").content(None), TypeError, "expected str, Span, or sequence of Span, got NoneType", None),
])
def test_argument_errors(call, exc, message, note):
    with pytest.raises(exc) as e:
        call()
    if message is not None:
        assert str(e.value) == message
    assert notes(e) == ([f"while processing '{note}'"] if note else [])


@pytest.mark.parametrize("make", [
    lambda w: RatTable.new([Row.new(["a"])], w),
    lambda w: RatTable.new([], []).widths(w),
])
def test_percentage_above_100_is_a_panic(make):
    with pytest.raises(BaseException) as e:
        make([Constraint.length(3), Constraint.percentage(101)])
    assert type(e.value).__name__ == "PanicException" and not isinstance(e.value, Exception)
    assert str(e.value) == "Percentages should be between 0 and 100 inclusively."
    make([Constraint.percentage(100), Constraint.ratio(3, 1), Constraint.min(500)])


@pytest.mark.parametrize("steps,selected,column,offset", [
    ([], None, None, 0),
    ([("select", 2)], 2, None, 0),
    ([("select_previous",)], U64_MAX, None, 0),
    ([("select_previous",), ("select_next",)], U64_MAX, None, 0),
    ([("select_previous_column",), ("select_next_column",)], None, U64_MAX, 0),
    ([("select_next_column",), ("select_first",)], 0, 0, 0),
    ([("select_last",), ("select_last_column",), ("select_first_column",)], U64_MAX, 0, 0),
    ([("select_cell", (1, 2))], 1, 2, 0),
    ([("select_cell", (1, 2)), ("select_cell", None)], None, None, 0),
    ([("select_cell", (1, 2)), ("select_cell",)], None, None, 0),
    ([("select_column", 5), ("select_column", None)], None, None, 0),
    ([("scroll_left_by", 3)], None, 0, 0),
    ([("scroll_right_by", 3)], None, 3, 0),
    ([("scroll_down_by", 65535), ("scroll_down_by", 65535)], 131070, None, 0),
    ([("select", 3), ("scroll_up_by", 7)], 0, None, 0),
    ([("select", U64_MAX), ("scroll_down_by", 1)], U64_MAX, None, 0),
])
def test_state_steps(steps, selected, column, offset):
    s = TableState()
    for name, *args in steps:
        assert getattr(s, name)(*args) is None
    assert (s.selected, s.selected_column, s.offset) == (selected, column, offset)
    expected_cell = (selected, column) if selected is not None and column is not None else None
    assert s.selected_cell() == expected_cell


def test_state_offset_is_changed_only_by_renders_and_clearing():
    table = RatTable.new([Row.new([str(i)]) for i in range(10)], [Constraint.length(2)])
    s = TableState()
    s.select(8)
    draw(table, 2, 3, s)
    assert s.offset == 6
    s.select_column(None)
    s.select_cell((1, 0))
    assert s.offset == 6
    s.select_cell(None)
    assert (s.selected, s.offset) == (None, 0)
    assert not hasattr(s, "set_offset")


@pytest.mark.parametrize("call,exc,message,param", [
    (lambda s: s.select_cell((1,)), ValueError, "expected tuple of length 2, but got tuple of length 1", "indexes"),
    (lambda s: s.select_cell([1, 2]), TypeError, "'list' object is not an instance of 'tuple'", "indexes"),
    (lambda s: s.select_cell((1, -1)), OverflowError, None, "indexes"),
    (lambda s: s.select_cell(("a", 1)), TypeError, None, "indexes"),
    (lambda s: s.select(-1), OverflowError, None, "index"),
    (lambda s: s.select_column(2**64), OverflowError, None, "index"),
    (lambda s: s.scroll_up_by(70000), OverflowError, "out of range integral type conversion attempted", "amount"),
    (lambda s: s.scroll_right_by(1.0), TypeError, None, "amount"),
])
def test_state_errors_leave_it_unchanged(call, exc, message, param):
    s = state_of(4, 5)
    with pytest.raises(exc) as e:
        call(s)
    if message is not None:
        assert str(e.value) == message
    assert notes(e) == [f"while processing '{param}'"]
    assert (s.selected, s.selected_column) == (4, 5)


def test_pairs_are_checked_by_class():
    table = RatTable.new(TWO, L5)
    buf = Buffer.empty(Rect(0, 0, 5, 1))
    with pytest.raises(TypeError, match="unsupported stateful widget/state pair: RatTable / ListState"):
        render_stateful_widget(table, Rect(0, 0, 5, 1), ListState(), buf)


def test_symbol_is_cut_at_the_table_edge():
    table = RatTable.new(rows(["ab"], ["cd"]), [Constraint.length(2)]).highlight_symbol(">>>>>>")
    state = state_of(1)
    assert draw(table.block(Block.bordered()), 5, 4, state).to_string_lines() == ["┌───┐", "│   │", "│>>>│", "└───┘"]
    buf = Buffer.empty(Rect(0, 0, 8, 1))
    render_stateful_widget(table, Rect(0, 0, 3, 1), state_of(0), buf)
    assert buf.to_string_lines() == [">>>"]


def test_header_footer_and_cell_styles():
    red, blue, green = (Style.new().fg(c) for c in (Color.RED, Color.BLUE, Color.GREEN))
    table = (RatTable.new([Row.new(["a", Cell.new("b").style(green)])], L5)
             .header(Row.new(["H"]).style(red))
             .footer(Row.new(["F"]).style(blue)))
    buf = draw(table, 12, 3)
    assert buf.to_string_lines() == ["H", "a     b", "F"]
    assert fg_row(buf, 0, 12) == [Color.RED] * 12
    assert fg_row(buf, 1, 12) == [Color.RESET] * 6 + [Color.GREEN] * 5 + [Color.RESET]
    assert fg_row(buf, 2, 12) == [Color.BLUE] * 12


def test_select_cell_holds_the_state_while_converting():
    s = state_of(4, 5)

    class Sneaky:
        def __index__(self):
            return s.selected

    with pytest.raises(RuntimeError, match="Already mutably borrowed") as e:
        s.select_cell((1, Sneaky()))
    assert notes(e) == ["while processing 'indexes'"]
    assert (s.selected, s.selected_column) == (4, 5)
    s.select_cell(type("Pair", (tuple,), {})((7, 8)))
    assert s.selected_cell() == (7, 8)


def test_arguments_by_name():
    row = Row.new(cells=["a"]).height(value=1).top_margin(value=0).bottom_margin(value=0).style(style=Style.new())
    cell = Cell.new(content="x").content(value="y").style(style=Style.new())
    table = (RatTable.new(rows=[row, Row.new([cell])], widths=[Constraint.length(1)])
             .rows(rows=[row]).widths(widths=[Constraint.length(1)]).header(row=row).footer(row=row)
             .highlight_symbol(symbol=">").highlight_spacing(spacing=HighlightSpacing.Never)
             .column_spacing(value=0).row_highlight_style(style=Style.new()))
    assert draw(table, 1, 3).to_string_lines() == ["a", "a", "a"]
    s = TableState()
    s.select(index=1)
    s.select_column(index=2)
    s.scroll_right_by(amount=1)
    s.select_cell(indexes=(s.selected, s.selected_column))
    assert s.selected_cell() == (1, 3)
