import collections.abc

import pytest

from tarvo_core.rust.native import (
    Block, Buffer, BufferCell, Canvas, Color, Line, Marker, Rect, Span, Style, render_widget,
)


def draw(widget, width, height, fill=None):
    area = Rect(0, 0, width, height)
    buf = Buffer.filled(area, fill) if fill is not None else Buffer.empty(area)
    render_widget(widget, area, buf)
    return buf


def ten(marker):
    return Canvas.default().marker(marker).x_bounds([0, 10]).y_bounds([0, 10])


@pytest.mark.parametrize("marker,corner,diagonals", [
    (Marker.Block, ["█xxxx"] * 4 + ["█████"], ["█xxx█", "x█x█x", "xx█xx", "x█x█x", "█xxx█"]),
    (Marker.HalfBlock, ["█xxxx"] * 4 + ["█▄▄▄▄"], ["█xxx█", "x█x█x", "xx█xx", "x█x█x", "█xxx█"]),
    (Marker.Bar, ["▄xxxx"] * 4 + ["▄▄▄▄▄"], ["▄xxx▄", "x▄x▄x", "xx▄xx", "x▄x▄x", "▄xxx▄"]),
    (Marker.Braille, ["⡇xxxx"] * 4 + ["⣇⣀⣀⣀⣀"], ["⢣xxx⡜", "x⢣x⡜x", "xx⣿xx", "x⡜x⢣x", "⡜xxx⢣"]),
    (Marker.Dot, ["•xxxx"] * 4 + ["•••••"], ["•xxx•", "x•x•x", "xx•xx", "x•x•x", "•xxx•"]),
])
def test_markers(marker, corner, diagonals):
    x = BufferCell.new("x")
    c = ten(marker).line(0, 0, 0, 10, Color.RESET).line(0, 0, 10, 0, Color.RESET)
    assert draw(c, 5, 5, x).to_string_lines() == corner
    d = ten(marker).line(0, 10, 10, 0, Color.RESET).line(0, 0, 10, 10, Color.RESET)
    assert draw(d, 5, 5, x).to_string_lines() == diagonals


def test_default_canvas_sets_background_only():
    blue = BufferCell.new("z").set_style(Style.new().bg(Color.BLUE))
    buf = draw(Canvas.default(), 10, 5, blue)
    assert buf.to_string_lines() == ["zzzzzzzzzz"] * 5
    assert all(cell.bg == Color.RESET for cell in buf.content())


def test_background_color():
    buf = draw(ten(Marker.Dot).background_color(Color.GREEN).points([(5, 5)], Color.RED), 3, 3)
    assert buf.to_string_lines() == ["", " •", ""]
    assert all(cell.bg == Color.GREEN for cell in buf.content())
    assert buf.cell(1, 1).fg == Color.RED


def test_default_bounds_paint_nothing_but_label_at_origin():
    c = (Canvas.default().line(0, 0, 1, 1, Color.RED).points([(0, 0)], Color.RED).circle(0, 0, 1, Color.RED)
         .print(0.0, 0.0, "here").print(1, 0, "gone"))
    assert draw(c, 10, 5).to_string_lines() == ["here", "", "", "", ""]


def test_shapes():
    c = (ten(Marker.Block).rectangle(0, 0, 10, 10, Color.RED))
    buf = draw(c, 10, 10)
    assert buf.to_string_lines() == ["██████████"] + ["█        █"] * 8 + ["██████████"]
    assert (buf.cell(0, 0).fg, buf.cell(0, 0).bg) == (Color.RED, Color.RED)
    circle = Canvas.default().x_bounds([-10, 10]).y_bounds([-10, 10]).circle(5, 2, 5, Color.RESET)
    assert draw(circle, 10, 5).to_string_lines() == ["      ⣀⣀⣀", "     ⡞⠁ ⠈⢣", "     ⢇⡀ ⢀⡼", "      ⠉⠉⠉", ""]


def test_half_block_colours():
    c = ten(Marker.HalfBlock).rectangle(0, 0, 10, 10, Color.RED)
    buf = draw(c, 10, 10)
    assert buf.to_string_lines()[0] == "█▀▀▀▀▀▀▀▀█"
    assert buf.to_string_lines()[9] == "█▄▄▄▄▄▄▄▄█"
    assert (buf.cell(0, 0).fg, buf.cell(0, 0).bg) == (Color.RED, Color.RED)
    assert (buf.cell(4, 0).fg, buf.cell(4, 0).bg) == (Color.RED, Color.RESET)


def test_braille_shapes_share_cells_and_the_later_colour_wins():
    c = (Canvas.default().x_bounds([0, 1]).y_bounds([0, 1])
         .points([(0, 0)], Color.RED).points([(1, 1)], Color.BLUE))
    buf = draw(c, 1, 1)
    assert buf.to_string_lines() == ["⡈"]
    assert buf.cell(0, 0).fg == Color.BLUE


def test_labels():
    c = (ten(Marker.Braille).print(10, 0, "end").print(5, 5, Span.raw("mid")).print(0, 10, Line.raw("top"))
         .print(11, 5, "out").print(float("nan"), 5, ["n", "a"]))
    assert draw(c, 10, 5).to_string_lines() == ["top", "", "    mid", "", "         e"]


def test_block_and_tiny_area():
    c = ten(Marker.Block).line(0, 0, 10, 10, Color.RED).block(Block.bordered())
    assert draw(c, 4, 4).to_string_lines() == ["┌──┐", "│ █│", "│█ │", "└──┘"]
    assert draw(c, 2, 2).to_string_lines() == ["┌┐", "└┘"]


@pytest.mark.parametrize("x_bounds", [[5, 1], [3, 3], (0, float("nan"))])
def test_bounds_without_extent_paint_nothing(x_bounds):
    c = Canvas.default().x_bounds(x_bounds).y_bounds([0, 10]).marker(Marker.Dot).points([(3, 3)], Color.RED).line(
        0, 0, 10, 10, Color.RED)
    assert draw(c, 4, 4).to_string_lines() == [""] * 4


def test_undefined_numbers_draw_nothing():
    nan, inf = float("nan"), float("inf")
    c = (ten(Marker.Dot).points([(nan, 1), (1, nan), (inf, 1)], Color.RED).line(0, nan, 5, 5, Color.RED)
         .rectangle(nan, 0, 1, 1, Color.RED).circle(5, 5, nan, Color.RED))
    assert draw(c, 5, 5).to_string_lines() == [""] * 5


def test_builders_copy_and_record_in_order():
    c1 = ten(Marker.Dot)
    c2 = c1.line(0, 0, 10, 10, Color.RED)
    c3 = c1.points([(10, 10)], Color.RED)
    c4 = c1.circle(5, 5, 0, Color.RED)
    assert draw(c1, 3, 3).to_string_lines() == ["", "", ""]
    assert draw(c2, 3, 3).to_string_lines() == ["  •", " •", "•"]
    assert draw(c3, 3, 3).to_string_lines() == ["  •", "", ""]
    assert draw(c4, 3, 3).to_string_lines() == ["", " •", ""]
    # A negative size is kept and draws from the other corner; an empty point list draws nothing.
    c5 = c1.rectangle(2, 2, -2, -2, Color.RED).points([], Color.RED)
    assert draw(c5, 3, 3).to_string_lines() == ["", "", "•"]
    assert draw(c5, 3, 3).to_string_lines() == ["", "", "•"]


class Pair(collections.abc.Sequence):
    def __getitem__(self, i):
        return [0, 10][i]

    def __len__(self):
        return 2


@pytest.mark.parametrize("bounds", [[0, 10], (0, 10), Pair(), range(0, 20, 10)])
def test_bounds_sequences(bounds):
    c = Canvas.default().x_bounds(bounds).y_bounds(bounds).marker(Marker.Dot).points([(10, 0)], Color.RED)
    assert draw(c, 3, 3).to_string_lines() == ["", "", "  •"]


@pytest.mark.parametrize("bounds,exc,message", [
    ((0, 1, 2), ValueError, "expected a sequence of length 2 (got 3)"),
    ([1], ValueError, "expected a sequence of length 2 (got 1)"),
    ({1, 2}, TypeError, "'set' object is not an instance of 'Sequence'"),
    (None, TypeError, "'None' is not an instance of 'Sequence'"),
    ("ab", TypeError, None),
    ([1, "x"], TypeError, None),
])
def test_bounds_errors(bounds, exc, message):
    for method in ("x_bounds", "y_bounds"):
        with pytest.raises(exc) as e:
            getattr(Canvas.default(), method)(bounds)
        if message:
            assert str(e.value) == message
        assert e.value.__notes__ == ["while processing 'bounds'"]


@pytest.mark.parametrize("coords,exc,message", [
    ("ab", TypeError, "Can't extract `str` to `Vec`"),
    ([[1, 2]], TypeError, "'list' object is not an instance of 'tuple'"),
    ([(1, 2, 3)], ValueError, "expected tuple of length 2, but got tuple of length 3"),
    ([(1, "a")], TypeError, None),
    (3, TypeError, "'int' object is not an instance of 'Sequence'"),
])
def test_coords_errors(coords, exc, message):
    with pytest.raises(exc) as e:
        Canvas.default().points(coords, Color.RED)
    if message:
        assert str(e.value) == message
    assert e.value.__notes__ == ["while processing 'coords'"]


@pytest.mark.parametrize("call,param,message", [
    (lambda c: c.line(0, 0, 1, 1, "red"), "color", "'str' object is not an instance of 'Color'"),
    (lambda c: c.line(0, "a", 1, 1, Color.RED), "y1", None),
    (lambda c: c.rectangle(0, 0, None, 1, Color.RED), "width", None),
    (lambda c: c.circle(0, 0, 1, None), "color", "'None' is not an instance of 'Color'"),
    (lambda c: c.circle(0, 0, [], Color.RED), "radius", None),
    (lambda c: c.marker(3), "value", "'int' object is not an instance of 'Marker'"),
    (lambda c: c.block(Marker.Dot), "block", "'Marker' object is not an instance of 'Block'"),
    (lambda c: c.background_color(None), "color", "'None' is not an instance of 'Color'"),
    (lambda c: c.print("x", 0, "t"), "x", None),
    (lambda c: c.points([], 1), "color", None),
])
def test_argument_errors(call, param, message):
    with pytest.raises(TypeError) as e:
        call(Canvas.default())
    if message:
        assert str(e.value) == message
    assert e.value.__notes__ == [f"while processing '{param}'"]


def test_print_content_error_has_no_note():
    with pytest.raises(TypeError) as e:
        Canvas.default().print(0, 0, 5)
    assert str(e.value) == "expected str, Span, or sequence of Span, got int"
    assert not getattr(e.value, "__notes__", None)


def test_numbers_accept_index_and_float_objects():
    class F:
        def __float__(self):
            return 10.0

    class I:
        def __index__(self):
            return 0

    c = ten(Marker.Dot).line(I(), I(), F(), F(), Color.RED)
    assert draw(c, 3, 3).to_string_lines() == ["  •", " •", "•"]


@pytest.mark.parametrize("method,signature", [
    ("default", "()"), ("block", "($self, block)"), ("x_bounds", "($self, bounds)"), ("y_bounds", "($self, bounds)"),
    ("marker", "($self, value)"), ("background_color", "($self, color)"),
    ("line", "($self, x1, y1, x2, y2, color)"), ("points", "($self, coords, color)"),
    ("rectangle", "($self, x, y, width, height, color)"), ("circle", "($self, x, y, radius, color)"),
    ("print", "($self, x, y, content)"),
])
def test_text_signatures(method, signature):
    assert getattr(Canvas, method).__text_signature__ == signature
    assert getattr(Canvas, method).__doc__ is None


def test_not_instantiable():
    with pytest.raises(TypeError):
        Canvas()
