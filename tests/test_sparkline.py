import collections.abc

import pytest

from tarvo_core.rust.native import Block, Buffer, Color, Rect, Sparkline, SparklineBar, Style, render_widget

U64_MAX = 2**64 - 1


def draw(widget, width, height):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


@pytest.mark.parametrize("spark,width,height,lines", [
    (Sparkline.new(range(9)), 12, 1, [" ▁▂▃▄▅▆▇█"]),
    (Sparkline.new(list(range(9))), 12, 2, ["     ▂▄▆█", " ▂▄▆█████"]),
    (Sparkline.new((0, 0, 0)), 4, 1, [""]),
    (Sparkline.new([0, 1, 2]).max(0), 4, 1, [""]),
    (Sparkline.new([1, 4, 8]).max(4), 3, 2, [" ██", "▄██"]),
    (Sparkline.new([8, 8, 8, 8]), 2, 1, ["██"]),
    (Sparkline.new([1, 2]).block(Block.bordered()), 4, 3, ["┌──┐", "│▄█│", "└──┘"]),
    (Sparkline.new([U64_MAX, U64_MAX - 1, U64_MAX // 2]), 3, 1, ["█▇▃"]),
    (Sparkline.default(), 3, 1, [""]),
    (Sparkline.new([]), 3, 1, [""]),
])
def test_screens(spark, width, height, lines):
    assert draw(spark, width, height).to_string_lines() == lines


def test_huge_values_scale_without_overflow():
    lines = draw(Sparkline.new([U64_MAX, U64_MAX // 2]), 2, 16).to_string_lines()
    assert lines[7] == "█"
    assert lines[8] == "█▇"
    assert lines[15] == "██"


def test_bar_styles_layer_over_the_widget_style():
    spark = Sparkline.from_bars([
        SparklineBar.new(8),
        SparklineBar.new(8).style(Style.new().fg(Color.BLUE)),
    ]).style(Style.new().fg(Color.GREEN).bg(Color.BLACK))
    buf = draw(spark, 3, 1)
    assert buf.to_string_lines() == ["██"]
    assert (buf.cell(0, 0).fg, buf.cell(0, 0).bg) == (Color.GREEN, Color.BLACK)
    assert (buf.cell(1, 0).fg, buf.cell(1, 0).bg) == (Color.BLUE, Color.BLACK)
    assert buf.cell(2, 0).fg == Color.RESET


def test_absent_value_symbol_and_style_are_stored():
    # The class makes no absent values itself; the symbol and style are kept for the widget.
    s = Sparkline.default().absent_value_symbol("").absent_value_style(Style.new().fg(Color.RED))
    assert draw(s.data([1]), 2, 1).to_string_lines() == ["█"]


def test_builders_leave_the_receiver_alone():
    s = Sparkline.new([1, 2])
    s2 = s.max(10)
    assert s2 is not s
    assert draw(s, 2, 1).to_string_lines() == ["▄█"]
    assert draw(s2, 2, 1).to_string_lines() == [" ▁"]
    s3 = s.data([2, 1])
    assert draw(s3, 2, 1).to_string_lines() == ["█▄"]
    assert draw(s, 2, 1).to_string_lines() == ["▄█"]


class MySeq(collections.abc.Sequence):
    def __getitem__(self, i):
        return [3, 6][i]

    def __len__(self):
        return 2


class BadLen(collections.abc.Sequence):
    def __getitem__(self, i):
        if i >= 1:
            raise IndexError
        return 8

    def __len__(self):
        raise RuntimeError("no length")


@pytest.mark.parametrize("data", [[1, 2], (1, 2), range(2), MySeq(), BadLen(), [0, U64_MAX]])
def test_data_accepts_sequences(data):
    Sparkline.new(data)
    Sparkline.default().data(data)


@pytest.mark.parametrize("data,exc,message", [
    ("123", TypeError, "Can't extract `str` to `Vec`"),
    ({1, 2}, TypeError, "'set' object is not an instance of 'Sequence'"),
    (5, TypeError, "'int' object is not an instance of 'Sequence'"),
    ([1, -1], OverflowError, None),
    ([2**64], OverflowError, None),
    ([1.5], TypeError, None),
])
def test_data_errors(data, exc, message):
    for call in (Sparkline.new, Sparkline.default().data):
        with pytest.raises(exc) as e:
            call(data)
        if message:
            assert str(e.value) == message
        assert e.value.__notes__ == ["while processing 'data'"]


def test_bars_conversion():
    with pytest.raises(TypeError) as e:
        Sparkline.from_bars((SparklineBar.new(1),))
    assert str(e.value) == "'tuple' object is not an instance of 'list'"
    assert e.value.__notes__ == ["while processing 'bars'"]
    with pytest.raises(TypeError) as e:
        Sparkline.default().bars([SparklineBar.new(1), 2])
    assert str(e.value) == "expected SparklineBar"
    assert not getattr(e.value, "__notes__", None)


def test_list_subclasses_are_lists():
    class Bars(list):
        pass

    spark = Sparkline.from_bars(Bars([SparklineBar.new(8)]))
    assert draw(spark, 3, 1).to_string_lines() == ["█"]


@pytest.mark.parametrize("call,param,exc", [
    (lambda: SparklineBar.new(-1), "value", OverflowError),
    (lambda: SparklineBar.new(2**64), "value", OverflowError),
    (lambda: SparklineBar.new("1"), "value", TypeError),
    (lambda: Sparkline.default().max(-1), "value", OverflowError),
    (lambda: Sparkline.default().max(1.0), "value", TypeError),
    (lambda: Sparkline.default().absent_value_symbol(1), "symbol", TypeError),
    (lambda: Sparkline.default().style(1), "style", TypeError),
    (lambda: Sparkline.default().absent_value_style(None), "style", TypeError),
    (lambda: Sparkline.default().block(1), "block", TypeError),
    (lambda: SparklineBar.new(1).style(1), "style", TypeError),
])
def test_argument_errors(call, param, exc):
    with pytest.raises(exc) as e:
        call()
    assert e.value.__notes__ == [f"while processing '{param}'"]


def test_index_objects_are_values():
    class Idx:
        def __index__(self):
            return 8

    assert draw(Sparkline.from_bars([SparklineBar.new(Idx())]), 1, 1).to_string_lines() == ["█"]
    assert draw(Sparkline.new([Idx(), 4]), 2, 1).to_string_lines() == ["█▄"]


@pytest.mark.parametrize("cls,method,signature", [
    (SparklineBar, "new", "(value)"), (SparklineBar, "style", "($self, style)"),
    (Sparkline, "default", "()"), (Sparkline, "new", "(data)"), (Sparkline, "from_bars", "(bars)"),
    (Sparkline, "data", "($self, data)"), (Sparkline, "bars", "($self, bars)"), (Sparkline, "block", "($self, block)"),
    (Sparkline, "style", "($self, style)"), (Sparkline, "max", "($self, value)"),
    (Sparkline, "absent_value_style", "($self, style)"), (Sparkline, "absent_value_symbol", "($self, symbol)"),
])
def test_text_signatures(cls, method, signature):
    assert getattr(cls, method).__text_signature__ == signature
    assert getattr(cls, method).__doc__ is None


def test_not_instantiable():
    for cls in (Sparkline, SparklineBar):
        with pytest.raises(TypeError):
            cls()
