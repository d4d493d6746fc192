import sys
import threading

import pytest

from tarvo_core.rust import native
from tarvo_core.rust.native import Alignment, Color, Line, Modifier, Span, Style, Text, styled_span

span_from = getattr(Span, "from")
BOLD_STYLE = Style.new().add_modifier(Modifier.BOLD)
RED_STYLE = Style.new().fg(Color.RED)


def notes(e):
    return getattr(e.value, "__notes__", [])


def raises(exc, call, message=None, param=None):
    with pytest.raises(exc) as e:
        call()
    if message is not None:
        assert str(e.value) == message
    if param is not None:
        assert notes(e) == [f"while processing '{param}'"]
    else:
        assert notes(e) == []
    return e


# ---- kinds used by the conversion tests ----

class StrSub(str):
    pass


class ShoutingStr(str):
    def __str__(self):
        return self.upper()


class BrokenStr(str):
    def __str__(self):
        raise RuntimeError("no text")


class ListSub(list):
    pass


class BadNameMeta(type):
    @property
    def __name__(cls):
        raise ValueError("no name")


class Nameless(metaclass=BadNameMeta):
    pass


# ---- Span ----

def test_span_values():
    assert Span.raw("").text == "" and Span.raw("").width() == 0
    assert Span.default().text == "" and Span.default().width() == 0
    assert repr(Span.default()) == "Span::default()"
    assert Span.raw("a\nb").text == "a\nb"
    assert Span.raw("日本").width() == 4
    assert Span.raw("test\ncontent").width() == 12
    assert Span.raw("#\ufe0f").width() == 2
    assert repr(Span.styled("x", RED_STYLE)) == 'Span::from("x").red()'
    assert repr(Span.raw('q"\t')) == 'Span::from("q\\"\\t")'
    assert repr(Span.styled("", BOLD_STYLE)) == "Span::default().bold()"
    assert Span.raw(StrSub("sub")).text == "sub"


def test_span_builders_leave_the_receiver_alone():
    s = Span.styled("abc", BOLD_STYLE)
    assert repr(s.style(RED_STYLE)) == 'Span::from("abc").red()'
    assert repr(s.content("xy")) == 'Span::from("xy").bold()'
    assert repr(s.patch_style(Style.default())) == repr(s)
    assert repr(s.patch_style(RED_STYLE)) == 'Span::from("abc").red().bold()'
    assert repr(s) == 'Span::from("abc").bold()'
    copy = span_from(s)
    assert copy is not s and repr(copy) == repr(s)
    assert repr(span_from("x\ny")) == 'Span::from("x\\ny")'


def test_span_reset_style():
    reset = Span.styled("x", BOLD_STYLE.fg(Color.RED)).reset_style()
    assert repr(reset) == (
        'Span::from("x").fg(Color::Reset).bg(Color::Reset).underline_color(Color::Reset).not_bold()'
        ".not_dim().not_italic().not_underlined().not_slow_blink().not_rapid_blink().not_reversed()"
        ".not_hidden().not_crossed_out()")


@pytest.mark.parametrize("call, message, param", [
    (lambda: Span.styled("x", 3), "'int' object is not an instance of 'Style'", "style"),
    (lambda: Span.styled(None, Style.new()), "'None' is not an instance of 'str'", "content"),
    (lambda: Span.raw(b"x"), "'bytes' object is not an instance of 'str'", "content"),
    (lambda: Span.raw("x").content(1), "'int' object is not an instance of 'str'", "value"),
    (lambda: Span.raw("x").style(Color.RED), "'Color' object is not an instance of 'Style'", "style"),
    (lambda: Span.raw("x").patch_style("bold"), "'str' object is not an instance of 'Style'", "style"),
])
def test_span_argument_errors(call, message, param):
    raises(TypeError, call, message, param)


@pytest.mark.parametrize("value", [5, None, Line.raw("x"), Style.new(), b"x", ["a"]])
def test_span_from_refuses(value):
    raises(TypeError, lambda: span_from(value), "expected str or Span")


def test_span_lone_surrogate_is_the_interpreters_encoding_error():
    raises(UnicodeEncodeError, lambda: Span.raw("a\ud800"), param="content")


def test_span_signatures_and_no_constructor():
    assert Span.styled.__text_signature__ == "(content, style)"
    assert Span.width.__text_signature__ == "($self)"
    assert span_from.__name__ == "from"
    for cls in (Span, Line, Text):
        raises(TypeError, cls)


# ---- Line ----

def test_line_from_strings():
    assert repr(Line.raw("")) == "Line::default()" and Line.raw("").width() == 0
    assert repr(Line.raw("a\r\nb\n")) == 'Line::from_iter([Span::from("a"), Span::from("b")])'
    assert repr(Line.raw("a\n\nb")) == 'Line::from_iter([Span::from("a"), Span::default(), Span::from("b")])'
    assert repr(Line.raw('say "hi"')) == 'Line::from("say "hi"")'
    styled = Line.styled("x", RED_STYLE)
    assert repr(styled) == 'Line::from("x").red()'


@pytest.mark.parametrize("content, line, text", [
    ("\n", 'Line::from("")', 'Text::from(Line::from(""))'),
    ("x\n\n", 'Line::from_iter([Span::from("x"), Span::default()])',
     'Text::from_iter([Line::from("x"), Line::from("")])'),
    ("\r\n\r\n", "Line::from_iter([Span::default(), Span::default()])",
     'Text::from_iter([Line::from(""), Line::from("")])'),
    # a carriage return without a line feed after it stays in the text
    ("a\r", 'Line::from("a\r")', 'Text::from(Line::from("a\r"))'),
    ("a\rb\r\n", 'Line::from("a\rb")', 'Text::from(Line::from("a\rb"))'),
])
def test_splitting_into_lines(content, line, text):
    assert repr(Line.raw(content)) == line
    assert repr(Text.raw(content)) == text


def test_line_from_spans_and_width():
    assert repr(Line.from_spans([])) == "Line::default()"
    three = Line.from_spans(["a", Span.raw("b"), Style.default()])
    assert repr(three) == 'Line::from_iter([Span::from("a"), Span::from("b"), Span::default()])'
    assert Line.from_spans(["ab", "日"]).width() == 4
    # a line measures its spans one by one
    assert Line.from_spans(["#", "\ufe0f"]).width() == 1
    assert repr(Line.from_spans([Span.styled("x", RED_STYLE)])) == 'Line::from(Span::from("x").red())'


def test_line_builders():
    line = Line.raw("hi")
    centered = line.centered()
    assert repr(line) == 'Line::from("hi")'
    assert repr(centered) == 'Line::from("hi").centered()'
    assert repr(line.left_aligned()) == 'Line::from("hi").left_aligned()'
    assert repr(line.right_aligned()) == 'Line::from("hi").right_aligned()'
    assert repr(line.alignment(Alignment.Right)) == 'Line::from("hi").right_aligned()'
    styled = centered.style(BOLD_STYLE)
    # alignment before style
    assert repr(styled) == 'Line::from("hi").centered().bold()'
    assert repr(styled.patch_style(RED_STYLE)) == 'Line::from("hi").centered().red().bold()'
    assert repr(styled.reset_style()).startswith('Line::from("hi").centered().fg(Color::Reset)')
    replaced = styled.spans(["a", "b"])
    assert repr(replaced) == 'Line::from_iter([Span::from("a"), Span::from("b")]).centered().bold()'
    pushed = styled.push_span(Span.styled("!", RED_STYLE))
    assert repr(pushed) == 'Line::from_iter([Span::from("hi"), Span::from("!").red()]).centered().bold()'
    assert repr(styled) == 'Line::from("hi").centered().bold()'


@pytest.mark.parametrize("call, message, param", [
    (lambda: Line.from_spans(("a",)), "'tuple' object is not an instance of 'list'", "spans"),
    (lambda: Line.from_spans("ab"), "'str' object is not an instance of 'list'", "spans"),
    (lambda: Line.raw("x").spans(None), "'None' is not an instance of 'list'", "spans"),
    (lambda: Line.raw(3), "'int' object is not an instance of 'str'", "content"),
    (lambda: Line.styled("x", "red"), "'str' object is not an instance of 'Style'", "style"),
    (lambda: Line.raw("x").alignment(0), "'int' object is not an instance of 'Alignment'", "alignment"),
    (lambda: Line.raw("x").style(None), "'None' is not an instance of 'Style'", "style"),
])
def test_line_argument_errors(call, message, param):
    raises(TypeError, call, message, param)


@pytest.mark.parametrize("call, message", [
    (lambda: Line.from_spans(["a", 3]), "expected str or Span, got int"),
    (lambda: Line.raw("x").spans([None]), "expected str or Span, got NoneType"),
    (lambda: Line.raw("x").push_span(3.5), "expected str or Span, got float"),
    (lambda: Line.raw("x").push_span(Line.raw("y")), "expected str or Span, got Line"),
])
def test_line_item_errors_carry_no_note(call, message):
    raises(TypeError, call, message)


# ---- Text and styled_span ----

def test_text_values():
    empty = Text.raw("")
    assert empty.height() == 1 and empty.width() == 0
    assert repr(empty) == "Text::from(Line::default())"
    none = Text.from_lines([])
    assert none.height() == 0 and repr(none) == "Text::default()"
    t = Text.raw("a\nbb\n")
    assert t.height() == 2 and t.width() == 2
    assert repr(Text.raw("a\n\nb")) == 'Text::from_iter([Line::from("a"), Line::from(""), Line::from("b")])'
    assert repr(Text.styled("x", RED_STYLE)) == 'Text::from(Line::from("x")).red()'


def test_text_builders():
    t = Text.from_lines(["a", Span.raw("b"), Line.raw("c").centered(), ["d", "e"]])
    assert t.height() == 4
    assert repr(t) == ('Text::from_iter([Line::from("a"), Line::from("b"), Line::from("c").centered(), '
                       'Line::from_iter([Span::from("d"), Span::from("e")])])')
    taller = t.push_line("x")
    assert t.height() == 4 and taller.height() == 5
    assert repr(t.right_aligned().style(BOLD_STYLE)).endswith("]).right_aligned().bold()")
    assert repr(t.alignment(Alignment.Center).left_aligned()).endswith("]).left_aligned()")
    assert repr(Text.raw("x").centered().patch_style(RED_STYLE).reset_style()).startswith(
        'Text::from(Line::from("x")).centered().fg(Color::Reset)')
    assert Text.from_lines(["ab", "日本語"]).width() == 6


@pytest.mark.parametrize("call, message, param", [
    (lambda: Text.from_lines("abc"), "'str' object is not an instance of 'list'", "lines"),
    (lambda: Text.raw(None), "'None' is not an instance of 'str'", "content"),
    (lambda: Text.styled("x", 1), "'int' object is not an instance of 'Style'", "style"),
    (lambda: Text.raw("x").alignment("Left"), "'str' object is not an instance of 'Alignment'", "alignment"),
    (lambda: styled_span("x", fg="red"), "'str' object is not an instance of 'Color'", "fg"),
    (lambda: styled_span("x", bg=Style.new()), "'Style' object is not an instance of 'Color'", "bg"),
    (lambda: styled_span("x", modifiers=Color.RED), "'Color' object is not an instance of 'Modifier'",
     "modifiers"),
    (lambda: styled_span(1), "'int' object is not an instance of 'str'", "content"),
])
def test_text_and_styled_span_argument_errors(call, message, param):
    raises(TypeError, call, message, param)


@pytest.mark.parametrize("call, message", [
    (lambda: Text.from_lines(["a", 3]), "expected str, Span, or sequence of Span, got int"),
    (lambda: Text.from_lines([["a", 3]]), "expected str or Span, got int"),
    (lambda: Text.raw("x").push_line(Style.new()), "expected str, Span, or sequence of Span, got Style"),
    (lambda: Text.raw("x").push_line(("a",)), "expected str, Span, or sequence of Span, got tuple"),
])
def test_text_item_errors_carry_no_note(call, message):
    raises(TypeError, call, message)


def test_styled_span():
    assert repr(styled_span("x")) == 'Span::from("x")'
    assert repr(styled_span("x", None, None, None)) == 'Span::from("x")'
    assert repr(styled_span("x", modifiers=Modifier.BOLD)) == 'Span::from("x").bold()'
    assert repr(styled_span("x", Color.RED, Color.BLUE, Modifier.BOLD | Modifier.ITALIC)) == \
        'Span::from("x").red().on_blue().bold().italic()'
    assert styled_span.__doc__ == "Create a styled span from a string and style shorthand methods."


# ---- the conversions, through their callers ----

@pytest.mark.parametrize("value, expected", [
    (Span.styled("s", RED_STYLE), 'Span::from("s").red()'),
    (BOLD_STYLE, "Span::default().bold()"),
    ("a\nb", 'Span::from("a\\nb")'),
    (StrSub("sub"), 'Span::from("sub")'),
    (ShoutingStr("loud"), 'Span::from("LOUD")'),
    ("a\ud800b", 'Span::from("a\ufffd\ufffd\ufffdb")'),
])
def test_extract_span_kinds(value, expected):
    line = Line.raw("p").push_span(value)
    assert repr(line) == f'Line::from_iter([Span::from("p"), {expected}])'


def test_extract_span_copies():
    src = Span.styled("s", RED_STYLE)
    line = Line.from_spans([src])
    assert repr(src.content("changed")) != repr(line)
    assert repr(line) == 'Line::from(Span::from("s").red())'


def test_extract_span_unprintable_str_reports_unraisable():
    seen = []
    old = sys.unraisablehook
    sys.unraisablehook = lambda u: seen.append(u)
    try:
        line = Line.raw("").push_span(BrokenStr("x"))
    finally:
        sys.unraisablehook = old
    assert repr(line) == 'Line::from("<unprintable BrokenStr object>")'
    assert len(seen) == 1 and isinstance(seen[0].exc_value, RuntimeError)


@pytest.mark.parametrize("value, expected", [
    (Line.styled("l", RED_STYLE).right_aligned(), 'Line::from("l").right_aligned().red()'),
    (Span.styled("s", BOLD_STYLE), 'Line::from(Span::from("s").bold())'),
    ("a\nb\r\nc", 'Line::from_iter([Span::from("a"), Span::from("b"), Span::from("c")])'),
    ("", "Line::default()"),
    (ShoutingStr("x\ny"), 'Line::from_iter([Span::from("X"), Span::from("Y")])'),
    ([], "Line::default()"),
    (["a", Span.raw("b"), RED_STYLE], 'Line::from_iter([Span::from("a"), Span::from("b"), Span::default().red()])'),
    (ListSub(["z"]), 'Line::from("z")'),
])
def test_extract_line_kinds(value, expected):
    text = Text.from_lines([]).push_line(value)
    assert repr(text) == f"Text::from({expected})"


@pytest.mark.parametrize("value, type_name", [
    (("a", "b"), "tuple"), (RED_STYLE, "Style"), (None, "NoneType"), ({"a": 1}, "dict"), (3, "int"),
    (Text.raw("t"), "Text"), (range(2), "range"),
])
def test_extract_line_refuses(value, type_name):
    raises(TypeError, lambda: Text.from_lines([]).push_line(value),
           f"expected str, Span, or sequence of Span, got {type_name}")


def test_type_name_failure_is_raised_as_it_is():
    raises(ValueError, lambda: Line.raw("").push_span(Nameless()), "no name")
    raises(ValueError, lambda: Text.raw("").push_line(Nameless()), "no name")


def test_list_walk_stops_at_the_shorter_length():
    items = []

    class Shrinks(str):
        def __str__(self):
            del items[2:]
            return "s"

    class Grows(str):
        def __str__(self):
            items.append("more")
            return "g"

    items[:] = ["a", Shrinks("x"), "c", "d"]
    assert repr(Line.from_spans(items)) == 'Line::from_iter([Span::from("a"), Span::from("s")])'
    items[:] = ["a", Grows("x")]
    assert repr(Line.from_spans(items)) == 'Line::from_iter([Span::from("a"), Span::from("g")])'
    items[:] = [Shrinks("x"), "b", "c"]
    assert Text.from_lines(items).height() == 2


def test_first_failing_item_wins():
    calls = []

    class Counted(str):
        def __str__(self):
            calls.append(1)
            return "c"

    raises(TypeError, lambda: Line.from_spans([Counted("a"), 1, Counted("b")]), "expected str or Span, got int")
    assert len(calls) == 1


def test_values_are_readable_from_other_threads():
    line = Line.raw("shared").centered()
    out = []
    t = threading.Thread(target=lambda: out.append(repr(line.push_span("!"))))
    t.start()
    t.join()
    assert out == ['Line::from_iter([Span::from("shared"), Span::from("!")]).centered()']


# ---- conversions whose callers live in other classes ----

def _callable(fn):
    try:
        fn()
    except (NotImplementedError, AttributeError):
        return False
    except Exception:
        return True
    return True


needs_with_lines = pytest.mark.skipif(
    not _callable(lambda: native.Buffer.with_lines(["x"])), reason="Buffer.with_lines not available")


@needs_with_lines
@pytest.mark.parametrize("value, row", [
    ("ab", "ab"), (Line.from_spans(["c", "d"]), "cd"), ("x\ny", "xy"), (StrSub("s"), "s"),
    # the str's own text, not what str() makes of it
    (ShoutingStr("quiet"), "quiet"),
])
def test_extract_str_or_line_kinds(value, row):
    buf = native.Buffer.with_lines([value])
    assert buf.to_string_lines() == [row]


@needs_with_lines
@pytest.mark.parametrize("value", [Span.raw("s"), 3, None, ["a"], Text.raw("t")])
def test_extract_str_or_line_refuses(value):
    raises(TypeError, lambda: native.Buffer.with_lines([value]), "expected str or Line")


def _render_text(value, width=6, height=3):
    para = native.Paragraph.new(value)
    buf = native.Buffer.empty(native.Rect(0, 0, width, height))
    native.render_widget(para, native.Rect(0, 0, width, height), buf)
    return buf.to_string_lines()


needs_paragraph = pytest.mark.skipif(
    not _callable(lambda: _render_text("x")), reason="Paragraph not available")


@needs_paragraph
@pytest.mark.parametrize("value, rows", [
    (Text.raw("a\nb"), ["a", "b", "", ""]),
    (Line.from_spans(["a", "b"]), ["ab", "", "", ""]),
    (["a", Span.raw("b"), Line.raw("c").right_aligned(), ["d", "e"]], ["a", "b", "     c", "de"]),
])
def test_extract_text_draws(value, rows):
    assert _render_text(value, height=4) == rows


def _converted_text(value):
    text = repr(native.Paragraph.new(value))
    start, end = text.index("text: ") + len("text: "), text.index(", scroll: ")
    return text[start:end]


@needs_paragraph
@pytest.mark.parametrize("value, expected", [
    (Text.raw("a\nb").centered().style(RED_STYLE),
     'Text::from_iter([Line::from("a"), Line::from("b")]).centered().red()'),
    (Line.raw("l").right_aligned().style(RED_STYLE), 'Text::from(Line::from("l").right_aligned().red())'),
    (Span.styled("s", BOLD_STYLE), 'Text::from(Line::from(Span::from("s").bold()))'),
    ("x\r\ny\n", 'Text::from_iter([Line::from("x"), Line::from("y")])'),
    (ShoutingStr("a\nb"), 'Text::from_iter([Line::from("A"), Line::from("B")])'),
    ("", "Text::from(Line::default())"),
    ([], "Text::default()"),
    ([[]], "Text::from(Line::default())"),
    (["a", Span.raw("b"), Line.raw("c").centered(), ["d", "e"]],
     'Text::from_iter([Line::from("a"), Line::from("b"), Line::from("c").centered(), '
     'Line::from_iter([Span::from("d"), Span::from("e")])])'),
])
def test_extract_text_values(value, expected):
    assert _converted_text(value) == expected


@needs_paragraph
@pytest.mark.parametrize("value, message", [
    (3, "expected str, Line, Span, Text, or sequence, got int"),
    (("a",), "expected str, Line, Span, Text, or sequence, got tuple"),
    (Style.new(), "expected str, Line, Span, Text, or sequence, got Style"),
    ([3], "expected str, Span, or sequence of Span, got int"),
    ([["a", None]], "expected str or Span, got NoneType"),
])
def test_extract_text_refuses(value, message):
    with pytest.raises(TypeError) as e:
        native.Paragraph.new(value)
    assert str(e.value) == message


@pytest.mark.parametrize("make", [Span.raw, Line.raw, Text.raw], ids=["span", "line", "text"])
def test_wide_graphemes_at_the_last_column_of_the_grid(make):
    from tarvo_core.rust.native import Buffer, Rect, render_widget

    area = Rect(65530, 0, 5, 1)
    buf = Buffer.empty(area)
    render_widget(make("😃😃a b"), area, buf)
    assert buf.to_string_lines() == ["😃 😃 a"]
