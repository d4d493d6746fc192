import pytest

from tarvo_core.rust.native import (
    Alignment, Block, Buffer, BufferCell, Clear, Color, Line, Modifier, Paragraph, Rect, Span, Style, Text, Wrap,
    render_widget,
)


def draw(widget, width, height):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


def screen(widget, width, height):
    return draw(widget, width, height).to_string_lines()


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


FOX = "The quick brown fox jumps over the lazy dog"


# ---- values ----

def test_new_takes_the_text_alignment():
    centered = Paragraph.new(Text.raw("x").centered())
    assert repr(centered).endswith("alignment: Center }")
    left = centered.left_aligned()
    assert repr(left).endswith("alignment: Left }")
    assert "centered()" in repr(left)  # the text keeps its own alignment
    assert repr(Paragraph.new("x")).endswith("alignment: Left }")


def test_repr_fields_in_order():
    assert repr(Paragraph.new("x")) == (
        "Paragraph { block: None, style: Style::new(), wrap: None, text: Text::from(Line::from(\"x\")), "
        "scroll: Position { x: 0, y: 0 }, alignment: Left }")
    text = repr(Paragraph.new("x").scroll(3, 5).wrap(Wrap(trim=True)).block(Block.bordered()).right_aligned())
    assert "scroll: Position { x: 5, y: 3 }" in text
    assert "wrap: Some(Wrap { trim: true })" in text
    assert "block: Some(Block { titles: [], " in text and "borders: ALL" in text
    assert text.endswith("alignment: Right }")


def test_builders_leave_the_receiver_alone():
    p = Paragraph.new("x")
    before = repr(p)
    q = p.block(Block.bordered()).style(Style.new().fg(Color.RED)).centered().scroll(1, 1).wrap(Wrap())
    assert repr(p) == before and repr(q) != before
    assert repr(p.alignment(Alignment.Right)).endswith("alignment: Right }")


def test_wrap_stays_on_once_set():
    p = Paragraph.new("x").wrap(Wrap(trim=True)).wrap(Wrap())
    assert "wrap: Some(Wrap { trim: false })" in repr(p)


@pytest.mark.parametrize("value,ok", [(True, True), (False, True), (1, False), ("yes", False), (None, False)])
def test_wrap_trim_must_be_bool(value, ok):
    if ok:
        Wrap(trim=value)
        Wrap(value)
        return
    with pytest.raises(TypeError) as e:
        Wrap(trim=value)
    assert notes(e) == ["while processing 'trim'"]


@pytest.mark.parametrize("args,param,exc", [
    ((65536, 0), "x", OverflowError),
    ((-1, 0), "x", OverflowError),
    ((0, 65536), "y", OverflowError),
    ((-1, -1), "x", OverflowError),
    ((0, 1.0), "y", TypeError),
])
def test_scroll_range(args, param, exc):
    Paragraph.new("x").scroll(65535, 65535)
    with pytest.raises(exc) as e:
        Paragraph.new("x").scroll(*args)
    assert notes(e) == [f"while processing '{param}'"]


@pytest.mark.parametrize("call,param", [
    (lambda p: p.block(Block), "block"),
    (lambda p: p.style(Color.RED), "style"),
    (lambda p: p.wrap(True), "wrap"),
    (lambda p: p.alignment(0), "alignment"),
])
def test_wrong_classes(call, param):
    with pytest.raises(TypeError) as e:
        call(Paragraph.new("x"))
    assert notes(e) == [f"while processing '{param}'"]


def test_content_errors_are_the_text_conversions():
    with pytest.raises(TypeError) as e:
        Paragraph.new(12)
    assert "int" in str(e.value) and notes(e) == []
    with pytest.raises(TypeError, match="missing 1 required positional argument: 'content'"):
        Paragraph.new()
    with pytest.raises(TypeError):
        Paragraph()


# ---- drawing ----

@pytest.mark.parametrize("para,width,rows", [
    (Paragraph.new(FOX), 10, ["The quick", "", ""]),
    (Paragraph.new(FOX).wrap(Wrap()), 10, ["The quick", "brown fox", "jumps over"]),
    (Paragraph.new("abcdefghijklmnopqrstuvwxyz").wrap(Wrap(trim=True)), 10, ["abcdefghij", "klmnopqrst", "uvwxyz"]),
    (Paragraph.new("  indented words").wrap(Wrap(trim=False)), 8, ["  indent", "ed words", ""]),
    (Paragraph.new("one two   three").wrap(Wrap(trim=True)), 5, ["one", "two", "three"]),
    (Paragraph.new(["first", Line.raw("mid").centered(), Line.raw("end").right_aligned()]), 9,
     ["first", "   mid", "      end"]),
    (Paragraph.new("abc").centered(), 10, ["    abc", "", ""]),
    (Paragraph.new("abc\nde").right_aligned(), 6, ["   abc", "    de", ""]),
])
def test_screens(para, width, rows):
    assert screen(para, width, 3) == rows


@pytest.mark.parametrize("wrap", [None, Wrap(trim=False), Wrap(trim=True)])
def test_control_characters_are_never_drawn(wrap):
    para = Paragraph.new(Line.raw("a\tb\x1bc\r\nd\x00e\x7ff\x85g"))
    if wrap is not None:
        para = para.wrap(wrap)
    buf = draw(para, 9, 2)
    assert buf.to_string_lines() == ["abcdefg", ""]
    assert [buf.cell(x, 0).symbol for x in range(9)] == list("abcdefg  ")


def test_scroll_counts_rows_first():
    text = "first\nsecond\nthird\nfourth"
    assert screen(Paragraph.new(text).scroll(2, 0), 8, 3) == ["third", "fourth", ""]
    assert screen(Paragraph.new(text).scroll(0, 3), 8, 2) == ["st", "ond"]
    assert screen(Paragraph.new(text).scroll(1, 2), 8, 2) == ["cond", "ird"]
    # Wrapped text scrolls by wrapped rows; columns do not apply.
    assert screen(Paragraph.new("aaa bbb ccc").wrap(Wrap()).scroll(1, 2), 4, 3) == ["bbb", "ccc", ""]
    assert screen(Paragraph.new(text).scroll(9, 0), 8, 2) == ["", ""]


@pytest.mark.parametrize("trim", [False, True])
def test_wide_glyphs_wrap_inside_the_block(trim):
    para = Paragraph.new("ab世 c").wrap(Wrap(trim=trim)).block(Block.bordered())
    buf = draw(para, 5, 5)
    assert buf.to_string_lines() == ["┌───┐", "│ab │", "│世  │", "│c  │", "└───┘"]
    assert buf.cell(4, 1).symbol == buf.cell(4, 2).symbol == "│"


def test_paragraph_in_a_block():
    para = Paragraph.new("Hello there, folks").block(Block.bordered().title("Hi")).wrap(Wrap())
    assert screen(para, 10, 4) == ["┌Hi──────┐", "│Hello   │", "│there,  │", "└────────┘"]


def test_styles_of_chosen_cells():
    line = Line.from_spans([Span.styled("ab", Style.new().fg(Color.RED)), Span.raw("cd")])
    para = Paragraph.new([line]).style(Style.new().bg(Color.BLUE).add_modifier(Modifier.BOLD))
    buf = draw(para, 6, 2)
    assert buf.to_string_lines() == ["abcd", ""]
    assert buf.cell(0, 0).fg == Color.RED and buf.cell(0, 0).bg == Color.BLUE
    assert buf.cell(2, 0).fg == Color.RESET
    assert buf.cell(5, 1).bg == Color.BLUE and repr(buf.cell(5, 1).modifier) == "BOLD"


def test_area_outside_the_buffer_is_clipped():
    buf = Buffer.empty(Rect(0, 0, 4, 2))
    render_widget(Paragraph.new("abcdef\nghij").centered(), Rect(2, 1, 30, 30), buf)
    assert buf.to_string_lines() == ["", "  ab"]
    render_widget(Paragraph.new("zzz"), Rect(0, 0, 0, 2), buf)
    render_widget(Paragraph.new("zzz"), Rect(9, 9, 2, 2), buf)
    assert buf.to_string_lines() == ["", "  ab"]


# ---- Clear ----

def test_clear_blanks_exactly_its_area():
    buf = Buffer.filled(Rect(0, 0, 4, 3), BufferCell.new("x"))
    buf.set_style(Rect(0, 0, 4, 3), Style.new().fg(Color.RED))
    render_widget(Clear.new(), Rect(1, 1, 2, 9), buf)
    assert buf.to_string_lines() == ["xxxx", "x  x", "x  x"]
    assert buf.cell(1, 1).fg == Color.RESET and buf.cell(0, 1).fg == Color.RED
    assert buf.cell(3, 2).fg == Color.RED
    with pytest.raises(TypeError):
        Clear()


# A grapheme of two cells whose string width is one (a halfwidth kana with a halfwidth voiced
# sound mark) takes two cells, as Buffer.set_string draws it.
@pytest.mark.parametrize("wrap", [None, Wrap(trim=False), Wrap(trim=True)])
@pytest.mark.parametrize("text", ["\uff76\uff9ex", "a\uff76\uff9f\uff76\uff9eb", "\uff76\uff9e \uff8a\uff9f"])
def test_grapheme_wider_than_its_string_takes_its_cells(wrap, text):
    para = Paragraph.new(text)
    if wrap is not None:
        para = para.wrap(wrap)
    buf = draw(para, 10, 1)
    expected = Buffer.empty(Rect(0, 0, 10, 1))
    expected.set_string(0, 0, text, Style.new())
    assert [buf.cell(x, 0).symbol for x in range(10)] == [expected.cell(x, 0).symbol for x in range(10)]
    assert buf.to_string_lines() == expected.to_string_lines()


@pytest.mark.parametrize("trim", [False, True])
@pytest.mark.parametrize("scroll", [0, 1, 4000])
def test_long_line_wraps_from_the_scroll_offset(trim, scroll):
    # 100,000 words of six letters: two per row of 13 cells.
    text = " ".join(f"w{i:05d}" for i in range(100_000))
    buf = draw(Paragraph.new(text).wrap(Wrap(trim=trim)).scroll(scroll, 0), 13, 3)
    first = 2 * scroll
    rows = [f"w{first + 2 * r:05d} w{first + 2 * r + 1:05d}" for r in range(3)]
    assert buf.to_string_lines() == rows
