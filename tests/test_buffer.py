"""Buffer and BufferCell: positions relative to the area origin, cell copies, writers, dumps."""

import pytest

from tarvo_core.rust.native import Buffer, BufferCell, Color, Line, Modifier, Rect, Span, Style

PLAIN = Style.new()
RED = Style.new().fg(Color.RED)


def area_fields(r):
    return (r.x, r.y, r.width, r.height)


@pytest.fixture
def offset_buffer():
    return Buffer.empty(Rect(5, 3, 4, 2))


def test_fresh_buffer_reads_empty_cells():
    b = Buffer.empty(Rect(0, 0, 3, 1))
    assert b.cell_symbol(0, 0) == " "
    assert b.cell_fg(0, 0) == Color.RESET
    assert b.cell_bg(2, 0) == Color.RESET
    assert b.cell_modifier(1, 0).is_empty()
    assert b.to_string_lines() == [""]
    assert b.to_ansi_lines() == ["\x1b[0m"]


def test_positions_are_relative_to_the_origin(offset_buffer):
    b = offset_buffer
    assert area_fields(b.area) == (5, 3, 4, 2)
    b.set_string(0, 0, "ab", PLAIN)
    assert b.to_string_lines() == ["ab", ""]
    assert b.index_of(3, 1) == 7
    p = b.pos_of(7)
    assert (p.x, p.y) == (8, 4)
    # pos_of does not compare the index with the cell count.
    p = b.pos_of(9)
    assert (p.x, p.y) == (6, 5)


@pytest.mark.parametrize("method,args", [
    ("cell", ()), ("cell_symbol", ()), ("cell_fg", ()), ("cell_bg", ()), ("cell_modifier", ()),
    ("index_of", ()), ("set_cell", ("z", PLAIN)), ("set_string", ("z", PLAIN)),
])
@pytest.mark.parametrize("x,y", [(4, 0), (0, 2), (65535, 65535)])
def test_positions_outside_the_area(offset_buffer, method, args, x, y):
    with pytest.raises(IndexError, match=rf"^position \({x}, {y}\) out of bounds$"):
        getattr(offset_buffer, method)(x, y, *args)
    assert offset_buffer.to_string_lines() == ["", ""]


@pytest.mark.parametrize("method", ["cell", "set_cell", "set_string", "index_of"])
@pytest.mark.parametrize("x,y,param", [(-1, 0, "x"), (0, 65536, "y"), (2**64, 0, "x")])
def test_coordinates_are_u16(offset_buffer, method, x, y, param):
    args = {"set_cell": ("z", PLAIN), "set_string": ("z", PLAIN)}.get(method, ())
    with pytest.raises(OverflowError, match="out of range integral type conversion attempted") as e:
        getattr(offset_buffer, method)(x, y, *args)
    assert e.value.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("call,param,message", [
    (lambda b: b.set_cell(0, 0, 5, PLAIN), "symbol", "'int' object is not an instance of 'str'"),
    (lambda b: b.set_cell(0, 0, "a", None), "style", "'None' is not an instance of 'Style'"),
    (lambda b: b.set_string(0, 0, "a", Color.RED), "style", "'Color' object is not an instance of 'Style'"),
    (lambda b: b.set_style((0, 0, 1, 1), PLAIN), "area", "'tuple' object is not an instance of 'Rect'"),
    (lambda b: b.resize("x"), "area", "'str' object is not an instance of 'Rect'"),
    (lambda b: b.to_ansi_lines(1), "clip_bottom", "'int' object is not an instance of 'bool'"),
    (lambda b: Buffer.filled(Rect(), "x"), "cell", "'str' object is not an instance of 'BufferCell'"),
])
def test_wrong_argument_classes(offset_buffer, call, param, message):
    with pytest.raises(TypeError) as e:
        call(offset_buffer)
    assert str(e.value) == message
    assert e.value.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("call,error,param", [
    (lambda b: b.set_cell(99, 0, 5, PLAIN), TypeError, "symbol"),
    (lambda b: b.set_string(0, 99, "a", None), TypeError, "style"),
    (lambda b: b.set_span(99, 0, "abc"), TypeError, "span"),
    (lambda b: b.set_span(99, 0, Span.raw("abc"), 70000), OverflowError, "max_width"),
])
def test_arguments_are_converted_before_the_position_check(offset_buffer, call, error, param):
    with pytest.raises(error) as e:
        call(offset_buffer)
    assert e.value.__notes__ == [f"while processing '{param}'"]


def test_cell_returns_copies(offset_buffer):
    c = offset_buffer.cell(1, 1)
    c.set_symbol("x")
    assert offset_buffer.cell_symbol(1, 1) == " "
    offset_buffer.set_cell(1, 1, "q", RED)
    assert c.symbol == "x"
    assert repr(offset_buffer.cell(1, 1)) == 'BufferCell(symbol="q", fg=Red, bg=Reset)'


def test_set_cell_stores_the_symbol_as_given(offset_buffer):
    b = offset_buffer
    b.set_cell(0, 0, "", PLAIN)
    assert b.cell_symbol(0, 0) == ""
    b.set_cell(1, 0, "abc\u65e5", PLAIN)  # several graphemes, unfiltered
    assert b.cell_symbol(1, 0) == "abc\u65e5"
    long = "\u00e9" * 40
    b.set_cell(2, 0, long, Style.new().bg(Color.BLUE).add_modifier(Modifier.BOLD))
    cell = b.cell(2, 0)
    assert cell.symbol == long
    assert cell.bg == Color.BLUE
    assert cell.modifier.contains(Modifier.BOLD)
    cell.reset()
    assert cell.symbol == " "


def test_set_cell_patches_the_style():
    b = Buffer.empty(Rect(0, 0, 1, 1))
    b.set_cell(0, 0, "a", Style.new().fg(Color.RED).add_modifier(Modifier.BOLD | Modifier.ITALIC))
    b.set_cell(0, 0, "b", Style.new().bg(Color.GREEN).remove_modifier(Modifier.BOLD))
    c = b.cell(0, 0)
    assert (c.symbol, c.fg, c.bg) == ("b", Color.RED, Color.GREEN)
    assert c.modifier.contains(Modifier.ITALIC) and not c.modifier.contains(Modifier.BOLD)


@pytest.mark.parametrize("width,x,text,expected", [
    (5, 0, "hello world", ["hello"]),
    (5, 3, "abc", ["   ab"]),
    (4, 0, "\u65e5\u672c\u8a9e", ["\u65e5 \u672c"]),
    (3, 1, "a\u65e5", [" a"]),  # the wide grapheme does not fit at the edge
    (4, 0, "e\u0301\u200bx\ty", ["e\u0301xy"]),  # combining mark kept, zero width and tab dropped
    (6, 0, "\U0001F469\u200d\U0001F52C\U0001F1EF\U0001F1F5", ["\U0001F469\u200d\U0001F52C \U0001F1EF\U0001F1F5"]),
    # at the right edge
    (2, 0, "ab\u0301", ["ab\u0301"]),  # a combining mark joins the grapheme in the last column
    (2, 0, "ab\u200b\u00ad", ["ab"]),  # zero-width graphemes past the edge are simply dropped
    (3, 1, "\u2764\ufe0f", [" \u2764\ufe0f"]),  # an emoji sequence two cells wide just fits
    (2, 1, "\u2764\ufe0fx", [""]),  # it does not fit; nothing after it is written either
])
def test_set_string_graphemes(width, x, text, expected):
    b = Buffer.empty(Rect(0, 0, width, 1))
    b.set_string(x, 0, text, PLAIN)
    assert b.to_string_lines() == expected


def test_wide_grapheme_resets_the_cell_it_covers():
    b = Buffer.filled(Rect(0, 0, 3, 1), BufferCell.new("x").set_style(RED))
    b.set_string(0, 0, "\u65e5", PLAIN)
    covered = b.cell(1, 0)
    assert (covered.symbol, covered.fg) == (" ", Color.RESET)
    assert b.cell(0, 0).fg == Color.RED  # a written cell keeps the colours the style leaves alone
    assert b.to_string_lines() == ["\u65e5 x"]


def test_set_style_is_absolute_and_clipped(offset_buffer):
    b = offset_buffer
    b.set_style(Rect(0, 0, 7, 4), RED)
    assert [[b.cell_fg(x, y) == Color.RED for x in range(4)] for y in range(2)] == [
        [True, True, False, False], [False, False, False, False]]


@pytest.mark.parametrize("new_area,lines", [
    (Rect(0, 0, 2, 4), ["ab", "cd", "ef", "gh"]),
    (Rect(9, 9, 3, 1), ["abc"]),
    (Rect(0, 0, 5, 2), ["abcde", "fgh"]),
    (Rect(0, 0, 0, 0), []),
])
def test_resize_keeps_cell_order(new_area, lines):
    b = Buffer.empty(Rect(0, 0, 4, 2))
    b.set_string(0, 0, "abcd", PLAIN)
    b.set_string(0, 1, "efgh", PLAIN)
    b.resize(new_area)
    assert area_fields(b.area) == area_fields(new_area)
    assert b.to_string_lines() == lines
    assert len(b.content()) == new_area.width * new_area.height


def test_content_is_a_list_of_copies():
    b = Buffer.empty(Rect(1, 1, 2, 1))
    b.set_string(0, 0, "ab", RED)
    cells = b.content()
    assert [c.symbol for c in cells] == ["a", "b"]
    cells[0].set_symbol("z")
    assert b.cell_symbol(0, 0) == "a"


def test_filled_copies_the_whole_cell():
    cell = BufferCell.new("#").set_style(Style.new().fg(Color.indexed(7)).underline_color(Color.RED))
    b = Buffer.filled(Rect(2, 2, 2, 2), cell)
    assert b.to_string_lines() == ["##", "##"]
    assert all(c.fg == Color.indexed(7) and c.style.get_underline_color() == Color.RED for c in b.content())


def test_repr():
    assert repr(Buffer.empty(Rect(1, 2, 3, 4))) == "Buffer(area=3x4+1+2, cells=12)"


@pytest.mark.parametrize("area,index,message", [
    (Rect(0, 0, 0, 3), 0, "attempt to calculate the remainder with a divisor of zero"),
    (Rect(0, 65000, 10, 535), 5360, "y overflow. This should never happen as area.height is u16"),
])
def test_pos_of_panics(area, index, message):
    with pytest.raises(BaseException) as e:
        Buffer.empty(area).pos_of(index)
    assert type(e.value).__name__ == "PanicException"
    assert not isinstance(e.value, Exception)
    assert str(e.value) == message


def test_pos_of_index_is_u64():
    b = Buffer.empty(Rect(0, 0, 2, 2))
    with pytest.raises(OverflowError) as e:
        b.pos_of(-1)
    assert e.value.__notes__ == ["while processing 'index'"]


READERS = [
    lambda b: b.area, lambda b: repr(b), lambda b: b.cell(0, 0), lambda b: b.cell_symbol(0, 0),
    lambda b: b.cell_fg(0, 0), lambda b: b.cell_bg(0, 0), lambda b: b.cell_modifier(0, 0),
    lambda b: b.index_of(0, 0), lambda b: b.pos_of(0), lambda b: b.content(),
    lambda b: b.to_string_lines(), lambda b: b.to_ansi_lines(),
]
WRITERS = [
    lambda b: b.set_cell(0, 0, "x", PLAIN), lambda b: b.set_string(0, 0, "x", PLAIN),
    lambda b: b.set_span(0, 0, Span.raw("x")), lambda b: b.set_line(0, "x"),
    lambda b: b.set_style(Rect(0, 0, 1, 1), RED), lambda b: b.resize(Rect(0, 0, 1, 1)),
]


@pytest.mark.parametrize("action,message", [(a, "Already mutably borrowed") for a in READERS] +
                         [(a, "Already borrowed") for a in WRITERS])
def test_methods_meet_the_buffer_held_by_a_render(action, message):
    # A Python widget's render(area) runs while the buffer is held exclusively: readers are
    # refused with one message, writers with the other, and the buffer is left as drawn.
    from tarvo_core.rust.native import render_widget
    b = Buffer.empty(Rect(0, 0, 3, 1))
    seen = []

    class Touches:
        def render(self, area):
            try:
                action(b)
            except RuntimeError as e:
                seen.append(str(e))
            return Span.raw("ok")

    render_widget(Touches(), Rect(0, 0, 3, 1), b)
    assert seen == [message]
    assert b.to_string_lines() == ["ok"]


def test_buffers_and_cells_are_not_bound_to_a_thread():
    import threading
    b = Buffer.empty(Rect(0, 0, 2, 1))
    c = BufferCell.new("a")
    results = []

    def work():
        b.set_string(0, 0, "xy", RED)
        c.set_symbol("q")
        results.append((b.to_string_lines(), c.symbol))

    t = threading.Thread(target=work)
    t.start()
    t.join()
    assert results == [(["xy"], "q")]
    assert b.cell_fg(1, 0) == Color.RED


# ---- span and line writers, with_lines ----

def test_set_span_defaults_to_the_rest_of_the_row(offset_buffer):
    b = offset_buffer
    assert b.set_span(2, 1, Span.raw("xyz")) == (4, 1)
    assert b.to_string_lines() == ["", "  xy"]
    assert b.set_span(0, 0, Span.styled("abc", RED), max_width=2) == (2, 0)
    assert b.to_string_lines() == ["ab", "  xy"]
    assert b.cell_fg(1, 0) == Color.RED
    assert b.set_span(3, 0, Span.raw("\u65e5")) == (3, 0)  # too wide for the last column


@pytest.mark.parametrize("value,message", [
    ("abc", "'str' object is not an instance of 'Span'"),
    (Line.raw("abc"), "'Line' object is not an instance of 'Span'"),
])
def test_set_span_takes_only_a_span(offset_buffer, value, message):
    with pytest.raises(TypeError) as e:
        offset_buffer.set_span(0, 0, value)
    assert str(e.value) == message
    assert e.value.__notes__ == ["while processing 'span'"]


@pytest.mark.parametrize("args,kwargs,result,rows", [
    ((0, "hello"), {"x": 3}, (4, 0), ["   h", ""]),
    ((1, "hello"), {}, (4, 1), ["", "hell"]),
    ((1, "hello"), {"x": 1, "max_width": 2}, (3, 1), ["", " he"]),
    ((0, "hello"), {"x": 4}, (4, 0), ["", ""]),
    ((0, "hello"), {"x": 9}, (9, 0), ["", ""]),
    ((0, "hello"), {"x": 65535, "max_width": 65535}, (65535, 0), ["", ""]),
    ((0, "hello"), {"max_width": 0}, (0, 0), ["", ""]),
    ((0, "a\u65e5b"), {"max_width": 2}, (1, 0), ["a", ""]),  # stops at the grapheme that does not fit
])
def test_set_line_text(offset_buffer, args, kwargs, result, rows):
    assert offset_buffer.set_line(*args, **kwargs) == result
    assert offset_buffer.to_string_lines() == rows


def test_set_line_layers_the_line_style_under_each_span():
    b = Buffer.empty(Rect(0, 0, 4, 1))
    line = Line.from_spans([Span.styled("a", Style.new().bg(Color.BLUE)), Span.raw("b")]).style(RED)
    assert b.set_line(0, line) == (2, 0)
    assert [(c.symbol, c.fg, c.bg) for c in b.content()[:2]] == [
        ("a", Color.RED, Color.BLUE), ("b", Color.RED, Color.RESET)]


@pytest.mark.parametrize("line", ["abc", 5, None, Span.raw("x")])
def test_set_line_checks_the_row_before_the_line(offset_buffer, line):
    with pytest.raises(IndexError, match=r"^row 2 out of bounds$"):
        offset_buffer.set_line(2, line)


def test_set_line_converts_x_and_max_width_before_the_row_check(offset_buffer):
    with pytest.raises(OverflowError) as e:
        offset_buffer.set_line(9, "abc", x=-1)
    assert e.value.__notes__ == ["while processing 'x'"]
    with pytest.raises(OverflowError) as e:
        offset_buffer.set_line(9, "abc", max_width=70000)
    assert e.value.__notes__ == ["while processing 'max_width'"]


@pytest.mark.parametrize("line", [5, Span.raw("x"), ["a"]])
def test_set_line_refuses_other_kinds(offset_buffer, line):
    with pytest.raises(TypeError, match="^expected str or Line$"):
        offset_buffer.set_line(0, line)


@pytest.mark.parametrize("lines,area,rows", [
    (["ab", "cde"], (0, 0, 3, 2), ["ab", "cde"]),
    ([], (0, 0, 0, 0), []),
    ([Line.from_spans([Span.raw("\u65e5"), Span.raw("x")]), ""], (0, 0, 3, 2), ["\u65e5 x", ""]),
    (["a\nb"], (0, 0, 2, 1), ["ab"]),  # a raw line holds one span per piece
])
def test_with_lines(lines, area, rows):
    b = Buffer.with_lines(lines)
    assert area_fields(b.area) == area
    assert b.to_string_lines() == rows


def test_with_lines_errors():
    with pytest.raises(TypeError, match="^expected str or Line$") as e:
        Buffer.with_lines(["ok", 1])
    assert not getattr(e.value, "__notes__", None)
    with pytest.raises(TypeError) as e:
        Buffer.with_lines(("a",))
    assert str(e.value) == "'tuple' object is not an instance of 'list'"
    assert e.value.__notes__ == ["while processing 'lines'"]


def test_with_lines_list_subclass():
    class L(list):
        pass
    assert Buffer.with_lines(L(["xy"])).to_string_lines() == ["xy"]


@pytest.mark.parametrize("lines", [["x" * 65536], ["a"] * 65536])
def test_with_lines_refuses_sizes_beyond_the_grid(lines):
    # A width or height above 65535 would wrap around to a tiny buffer and lose the text.
    with pytest.raises(OverflowError, match="65535"):
        Buffer.with_lines(lines)


def test_with_lines_at_the_largest_width():
    b = Buffer.with_lines(["x" * 65535])
    assert b.area.width == 65535
    assert b.to_string_lines() == ["x" * 65535]


# ---- BufferCell ----

def test_buffer_cell_empty_is_new_each_time():
    a = BufferCell.EMPTY
    assert a is not BufferCell.EMPTY
    a.set_symbol("x")
    assert BufferCell.EMPTY.symbol == " "
    assert repr(BufferCell.EMPTY) == 'BufferCell(symbol=" ", fg=Reset, bg=Reset)'


def test_buffer_cell_setters_return_copies():
    c = BufferCell.new("a")
    d = c.set_style(Style.new().fg(Color.rgb(1, 2, 3)).add_modifier(Modifier.DIM))
    assert d is not c
    d.set_symbol("q")
    assert c.symbol == "a"
    assert repr(c) == 'BufferCell(symbol="a", fg=Rgb(1, 2, 3), bg=Reset)'
    s = c.style
    assert (s.get_fg(), s.get_bg(), s.get_underline_color()) == (Color.rgb(1, 2, 3), Color.RESET, Color.RESET)
    assert s.get_sub_modifiers().is_empty() and s.get_modifiers().contains(Modifier.DIM)


@pytest.mark.parametrize("symbol,text", [
    ('"', r'"\""'), ("\\", r'"\\"'), ("\n", r'"\n"'), ("", '""'), ("\u65e5", '"\u65e5"'),
])
def test_buffer_cell_repr_quotes_the_symbol(symbol, text):
    assert repr(BufferCell.new(symbol)) == f"BufferCell(symbol={text}, fg=Reset, bg=Reset)"


def test_classes_cannot_be_instantiated_or_subclassed():
    for cls in (Buffer, BufferCell):
        with pytest.raises(TypeError):
            cls()
        with pytest.raises(TypeError):
            type("Sub", (cls,), {})


# ---- dumps ----

def _row(cells):
    """A one-row buffer from (symbol, style) pairs."""
    b = Buffer.empty(Rect(0, 0, len(cells), 1))
    for x, (sym, style) in enumerate(cells):
        if sym is not None:
            b.set_cell(x, 0, sym, style)
        else:
            b.set_style(Rect(x, 0, 1, 1), style)
    return b


BOLD = Style.new().add_modifier(Modifier.BOLD)


@pytest.mark.parametrize("cells,ansi,plain", [
    ([("a", PLAIN), ("b", RED), (None, PLAIN)], "a\x1b[31mb\x1b[0m", "ab"),
    ([("a", RED), ("b", RED)], "\x1b[31mab\x1b[0m", "ab"),
    ([("a", RED), ("b", Style.new().fg(Color.RESET))], "\x1b[31ma\x1b[39mb\x1b[0m", "ab"),
    ([("a", BOLD), ("b", Style.new().remove_modifier(Modifier.BOLD))], "\x1b[1ma\x1b[0mb\x1b[0m", "ab"),
    ([("a", PLAIN), ("b", Style.new().add_modifier(Modifier.BOLD | Modifier.ITALIC))],
     "a\x1b[1;3mb\x1b[0m", "ab"),
    ([("a", PLAIN), (" ", Style.new().bg(Color.LIGHT_BLUE))], "a\x1b[104m \x1b[0m", "a"),
    ([("a", PLAIN), (" ", Style.new().underline_color(Color.RED))], "a\x1b[0m", "a"),
    ([("x", Style.new().fg(Color.rgb(1, 2, 3)).bg(Color.indexed(250)))],
     "\x1b[38;2;1;2;3m\x1b[48;5;250mx\x1b[0m", "x"),
    ([("a", PLAIN), ("\u00a0", PLAIN), ("\u3000", PLAIN)], "a\u00a0\u3000\x1b[0m", "a"),
    ([("", PLAIN), ("b", PLAIN), ("", PLAIN)], " b\x1b[0m", " b"),
])
def test_dumps_of_a_row(cells, ansi, plain):
    b = _row(cells)
    assert b.to_ansi_lines() == [ansi]
    assert b.to_string_lines() == [plain]


def test_ansi_clip_bottom():
    b = Buffer.empty(Rect(5, 3, 3, 4))
    assert b.to_ansi_lines(clip_bottom=True) == []
    assert b.to_ansi_lines(False) == ["\x1b[0m"] * 4
    b.set_string(0, 0, "ab", PLAIN)
    b.set_string(2, 1, "c", RED)
    assert b.to_ansi_lines(True) == ["ab\x1b[0m", "  \x1b[31mc\x1b[0m"]
    assert b.to_ansi_lines() == ["ab\x1b[0m", "  \x1b[31mc\x1b[0m", "\x1b[0m", "\x1b[0m"]
    assert b.to_string_lines() == ["ab", "  c", "", ""]


def test_ansi_clip_bottom_accepts_numpy_bool():
    np = pytest.importorskip("numpy")
    b = Buffer.empty(Rect(0, 0, 1, 2))
    assert b.to_ansi_lines(np.bool_(True)) == []
    assert b.to_ansi_lines(np.bool_(False)) == ["\x1b[0m"] * 2


def test_dumps_of_zero_sized_areas():
    assert Buffer.empty(Rect(0, 0, 0, 2)).to_string_lines() == ["", ""]
    assert Buffer.empty(Rect(0, 0, 3, 0)).to_string_lines() == []
    assert Buffer.empty(Rect(0, 0, 0, 2)).to_ansi_lines(True) == []


def test_buffer_mut_view_is_only_handed_out():
    from tarvo_core.rust.native import BufferMutView
    with pytest.raises(TypeError):
        BufferMutView()
    assert BufferMutView.__doc__ == (
        "Mutable view onto a live buffer, valid only for the duration of a drawable callback.")
    assert BufferMutView.__module__ == "tarvo_core.rust.native"
