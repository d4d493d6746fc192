import pytest

from tarvo_core.rust.native import (
    Block, Buffer, Color, Gauge, Line, LineGauge, Rect, Span, Style, render_widget,
)


def draw(widget, width, height):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


def assert_panic(excinfo, message):
    assert type(excinfo.value).__name__ == "PanicException"
    assert not isinstance(excinfo.value, Exception)
    assert str(excinfo.value) == message


@pytest.mark.parametrize("gauge,width,height,lines", [
    (Gauge.new().percent(50), 10, 1, ["███50%"]),
    (Gauge.default().ratio(0.59375).use_unicode(True), 16, 1, ["██████59%▌"]),
    (Gauge.new().ratio(0.25).label("load"), 8, 3, ["██", "██load", "██"]),
    (Gauge.new().ratio(0.25).label(Span.styled("a", Style.new().fg(Color.RED))), 4, 1, ["█a"]),
    (Gauge.new().percent(100).block(Block.bordered()), 6, 3, ["┌────┐", "│100%│", "└────┘"]),
    (Gauge.new(), 5, 1, [" 0%"]),
    # The fill goes on right after the label: only the label's own cells show its text.
    (Gauge.new().percent(100), 10, 1, ["███100%███"]),
    (Gauge.new().ratio(0.8).label(""), 5, 1, ["████"]),
    # Unicode partial cells: eighths rounded, a nearly full cell drawn full, none at 100%.
    (Gauge.new().ratio(0.599).use_unicode(True).label(""), 10, 1, ["██████"]),
    (Gauge.new().ratio(0.05).use_unicode(True).label(""), 10, 1, ["▌"]),
    (Gauge.new().ratio(0.01).use_unicode(True).label(""), 10, 1, ["▏"]),
    (Gauge.new().ratio(0.006).use_unicode(True).label(""), 10, 1, [""]),
    (Gauge.new().ratio(1.0).use_unicode(True), 6, 1, ["█100%█"]),
    # The label sits on the lower middle row of an even height.
    (Gauge.new().label("ab"), 4, 4, ["", "", " ab", ""]),
])
def test_gauge_screens(gauge, width, height, lines):
    assert draw(gauge, width, height).to_string_lines() == lines


def test_gauge_label_colours_are_swapped_over_the_fill():
    style = Style.new().fg(Color.RED).bg(Color.BLUE)
    buf = draw(Gauge.new().percent(50).gauge_style(style), 10, 1)
    assert (buf.cell(0, 0).fg, buf.cell(0, 0).bg) == (Color.RED, Color.BLUE)
    assert buf.cell(3, 0).symbol == "5"
    assert (buf.cell(3, 0).fg, buf.cell(3, 0).bg) == (Color.BLUE, Color.RED)
    assert (buf.cell(9, 0).fg, buf.cell(9, 0).bg) == (Color.RED, Color.BLUE)
    full = draw(Gauge.new().percent(100).gauge_style(style), 10, 1)
    assert [(full.cell(x, 0).fg, full.cell(x, 0).bg) for x in (2, 3, 6, 7)] == [
        (Color.RED, Color.BLUE), (Color.BLUE, Color.RED), (Color.BLUE, Color.RED), (Color.RED, Color.BLUE)]


def test_gauge_builders_copy():
    g = Gauge.new()
    g2 = g.ratio(0.5)
    assert g2 is not g
    assert draw(g, 10, 1).to_string_lines() == ["    0%"]
    assert draw(g2, 10, 1).to_string_lines() == ["███50%"]
    assert "ratio: 0.0" in repr(g)


def test_gauge_repr():
    assert repr(Gauge.new()) == (
        "Gauge { block: None, ratio: 0.0, label: None, use_unicode: false, "
        "style: Style::new(), gauge_style: Style::new() }"
    )
    r = repr(Gauge.new().percent(25).label("x").use_unicode(True).block(Block.bordered()))
    assert r.startswith("Gauge { block: Some(Block {")
    assert ", ratio: 0.25, label: Some(Span::from(\"x\")), use_unicode: true, style: Style::new(), " in r


@pytest.mark.parametrize("value,ratio_label", [(0, "0%"), (100, "100%"), (37, "37%")])
def test_percent_accepts_0_to_100(value, ratio_label):
    assert draw(Gauge.new().percent(value), 6, 1).to_string_lines()[0].strip("█ ") == ratio_label


@pytest.mark.parametrize("value", [101, 65535])
def test_percent_above_100_panics(value):
    with pytest.raises(BaseException) as e:
        Gauge.new().percent(value)
    assert_panic(e, "Percentage should be between 0 and 100 inclusively.")


@pytest.mark.parametrize("value,exc", [(-1, OverflowError), (65536, OverflowError), (1.5, TypeError), ("5", TypeError)])
def test_percent_argument_errors(value, exc):
    with pytest.raises(exc) as e:
        Gauge.new().percent(value)
    assert e.value.__notes__ == ["while processing 'value'"]


@pytest.mark.parametrize("cls", [Gauge, LineGauge])
@pytest.mark.parametrize("value", [1.0000001, -0.1, float("nan"), float("inf"), 2])
def test_ratio_out_of_range_panics(cls, value):
    with pytest.raises(BaseException) as e:
        cls.new().ratio(value)
    assert_panic(e, "Ratio should be between 0 and 1 inclusively.")


@pytest.mark.parametrize("cls", [Gauge, LineGauge])
def test_ratio_accepts_numbers(cls):
    class Half:
        def __float__(self):
            return 0.5

    for value in (0, 1, 1.0, -0.0, Half()):
        cls.new().ratio(value)
    with pytest.raises(TypeError) as e:
        cls.new().ratio("0.5")
    assert e.value.__notes__ == ["while processing 'value'"]


def test_use_unicode_takes_only_bool():
    Gauge.new().use_unicode(False)
    with pytest.raises(TypeError) as e:
        Gauge.new().use_unicode(1)
    assert str(e.value) == "'int' object is not an instance of 'bool'"
    assert e.value.__notes__ == ["while processing 'value'"]


def test_label_conversions():
    with pytest.raises(TypeError) as e:
        Gauge.new().label(["a"])
    assert str(e.value) == "expected str or Span, got list"
    assert not getattr(e.value, "__notes__", None)
    LineGauge.new().label(["a", "b"])
    with pytest.raises(TypeError) as e:
        LineGauge.new().label(5)
    assert str(e.value) == "expected str, Span, or sequence of Span, got int"


@pytest.mark.parametrize("cls,method,param,expected", [
    (Gauge, "style", "style", "Style"),
    (Gauge, "gauge_style", "style", "Style"),
    (Gauge, "block", "block", "Block"),
    (LineGauge, "filled_style", "style", "Style"),
    (LineGauge, "unfilled_style", "style", "Style"),
    (LineGauge, "block", "block", "Block"),
])
def test_wrong_classes(cls, method, param, expected):
    with pytest.raises(TypeError) as e:
        getattr(cls.new(), method)(None)
    assert str(e.value) == f"'None' is not an instance of '{expected}'"
    assert e.value.__notes__ == [f"while processing '{param}'"]
    with pytest.raises(TypeError) as e:
        getattr(cls.new(), method)(**{param: 3})
    assert str(e.value) == f"'int' object is not an instance of '{expected}'"


@pytest.mark.parametrize("gauge,width,lines", [
    # The default label pads the percentage to three columns, so the line keeps its place.
    (LineGauge.new().ratio(0.5), 10, [" 50% ─────"]),
    (LineGauge.new().ratio(1.0), 10, ["100% ─────"]),
    (LineGauge.new().ratio(0.005), 10, ["  0% ─────"]),
    (LineGauge.new().ratio(0.015), 10, ["  2% ─────"]),
    (LineGauge.new().ratio(-0.0), 7, [" -0% ──"]),
    (LineGauge.new().ratio(1.0).label("ab"), 6, ["ab ───"]),
    (LineGauge.new().label(""), 3, [" ──"]),
    (LineGauge.new(), 5, ["  0%"]),
    (LineGauge.new().ratio(0.5), 3, [" 50"]),
])
def test_line_gauge_screens(gauge, width, lines):
    assert draw(gauge, width, 1).to_string_lines() == lines


def test_line_gauge_parts_differ_only_in_style():
    g = LineGauge.new().ratio(0.5).filled_style(Style.new().fg(Color.GREEN)).unfilled_style(
        Style.new().fg(Color.RED))
    buf = draw(g, 20, 1)
    assert buf.to_string_lines() == [" 50% ───────────────"]
    assert [buf.cell(x, 0).fg for x in range(5, 20)] == [Color.GREEN] * 7 + [Color.RED] * 8
    assert buf.cell(4, 0).fg == Color.RESET


def test_line_gauge_in_block_with_style():
    g = LineGauge.new().ratio(0.25).block(Block.bordered()).style(Style.new().bg(Color.BLUE))
    buf = draw(g, 10, 3)
    assert buf.to_string_lines() == ["┌────────┐", "│ 25% ───│", "└────────┘"]
    assert buf.cell(9, 2).bg == Color.BLUE


@pytest.mark.parametrize("cls,method,signature", [
    (Gauge, "new", "()"), (Gauge, "default", "()"), (Gauge, "block", "($self, block)"),
    (Gauge, "style", "($self, style)"), (Gauge, "gauge_style", "($self, style)"),
    (Gauge, "percent", "($self, value)"), (Gauge, "ratio", "($self, value)"), (Gauge, "label", "($self, label)"),
    (Gauge, "use_unicode", "($self, value)"),
    (LineGauge, "new", "()"), (LineGauge, "block", "($self, block)"), (LineGauge, "label", "($self, label)"),
    (LineGauge, "ratio", "($self, value)"), (LineGauge, "style", "($self, style)"),
    (LineGauge, "filled_style", "($self, style)"), (LineGauge, "unfilled_style", "($self, style)"),
])
def test_text_signatures(cls, method, signature):
    assert getattr(cls, method).__text_signature__ == signature
    assert getattr(cls, method).__doc__ is None


def test_classes_cannot_be_instantiated():
    for cls in (Gauge, LineGauge):
        with pytest.raises(TypeError):
            cls()
    assert not hasattr(LineGauge, "default")
