"""Rect, Position, Size, Offset and Margin: construction, arithmetic at the 16-bit edges, reprs."""

import pytest

from tarvo_core.rust.native import Margin, Offset, Position, Rect, Size


def fields(r):
    return (r.x, r.y, r.width, r.height)


@pytest.mark.parametrize("args,expected", [
    ((), (0, 0, 0, 0)),
    ((1, 2, 3, 4), (1, 2, 3, 4)),
    ((65000, 0, 1000, 10), (65000, 0, 535, 10)),
    ((0, 65535, 1, 65535), (0, 65535, 1, 0)),
    ((65535, 65535, 65535, 65535), (65535, 65535, 0, 0)),
])
def test_rect_construction_cuts_to_the_grid(args, expected):
    assert fields(Rect(*args)) == expected


def test_rect_keywords():
    assert fields(Rect(height=4, x=1)) == (1, 0, 0, 4)


@pytest.mark.parametrize("kwargs,param", [
    ({"width": 70000}, "width"), ({"x": -1}, "x"), ({"height": 65536}, "height"), ({"y": 2**80}, "y"),
])
def test_rect_out_of_range(kwargs, param):
    with pytest.raises(OverflowError, match="out of range integral type conversion attempted") as e:
        Rect(**kwargs)
    assert e.value.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("value", [1.5, "3", None, [1]])
def test_rect_wrong_types(value):
    with pytest.raises(TypeError) as e:
        Rect(x=value)
    assert e.value.__notes__ == ["while processing 'x'"]


def test_argument_matching_errors():
    with pytest.raises(TypeError, match=r"^Rect\(\) takes from 0 to 4 positional arguments but 5 were given$"):
        Rect(1, 2, 3, 4, 5)
    with pytest.raises(TypeError, match=r"^Rect\(\) got multiple values for argument 'x'$"):
        Rect(1, x=2)
    with pytest.raises(TypeError, match=r"^Rect\(\) got an unexpected keyword argument 'depth'$"):
        Rect(depth=2)
    with pytest.raises(TypeError, match=r"^Size\(\) missing 2 required positional arguments: 'width' and 'height'$"):
        Size()
    with pytest.raises(TypeError, match=r"^Position\(\) missing 1 required positional argument: 'y'$"):
        Position(1)
    with pytest.raises(TypeError, match=r"^Rect.area\(\) takes 0 positional arguments but 1 was given$"):
        Rect().area(1)


def test_rect_text_forms():
    r = Rect(1, 2, 30, 40)
    assert repr(r) == "Rect(x=1, y=2, width=30, height=40)"
    assert str(r) == "30x40+1+2"
    assert repr(Size(3, 4)) == str(Size(3, 4)) == "Size(width=3, height=4)"
    assert repr(Margin(1, 2)) == str(Margin(1, 2)) == "Margin(horizontal=1, vertical=2)"
    assert repr(Position(1, 2)).startswith("<tarvo_core.rust.native.Position object at")


def test_rect_measures():
    r = Rect(65530, 1, 5, 3)
    assert (r.left(), r.right(), r.top(), r.bottom()) == (65530, 65535, 1, 4)
    assert Rect(0, 0, 65535, 65535).area() == 65535 * 65535
    assert Rect(3, 3, 0, 5).is_empty() and not r.is_empty()
    assert r.contains(65534, 3) and not r.contains(65535, 3) and not r.contains(65530, 4)
    with pytest.raises(OverflowError):
        r.contains(-1, 0)


@pytest.mark.parametrize("rect,margin,expected", [
    ((0, 0, 10, 10), (5, 0), (5, 0, 0, 10)),
    ((0, 0, 10, 10), (6, 0), (0, 0, 0, 0)),
    ((2, 3, 10, 10), (1, 2), (3, 5, 8, 6)),
    ((0, 0, 65535, 65535), (40000, 0), (40000, 0, 0, 65535)),
])
def test_inner(rect, margin, expected):
    assert fields(Rect(*rect).inner(Margin(*margin))) == expected


@pytest.mark.parametrize("rect,offset,expected", [
    ((10, 10, 5, 5), (-100, 70000), (0, 65530, 5, 5)),
    ((10, 10, 5, 5), (3, -4), (13, 6, 5, 5)),
    ((100, 0, 1, 1), (2**31 - 1, -(2**31)), (65534, 0, 1, 1)),
])
def test_offset(rect, offset, expected):
    assert fields(Rect(*rect).offset(Offset(*offset))) == expected


def test_offset_range():
    with pytest.raises(OverflowError):
        Offset(2**31)
    assert (Offset(-5).x, Offset(-5).y) == (-5, 0)


def test_union_intersection():
    a, b = Rect(0, 0, 5, 5), Rect(10, 10, 5, 5)
    assert fields(a.union(b)) == (0, 0, 15, 15)
    assert fields(a.intersection(b)) == (10, 10, 0, 0)
    assert not a.intersects(b)
    assert not a.intersects(Rect(5, 0, 5, 5))
    assert a.intersects(Rect(4, 4, 1, 1))


def test_rows_columns():
    assert [fields(r) for r in Rect(0, 0, 3, 2).rows()] == [(0, 0, 3, 1), (0, 1, 3, 1)]
    assert [fields(r) for r in Rect(1, 1, 2, 2).columns()] == [(1, 1, 1, 2), (2, 1, 1, 2)]
    assert Rect(0, 0, 0, 2).columns() == []


def test_constants_and_identity():
    assert Rect.ZERO is Rect.ZERO
    assert Rect.zero() is not Rect.zero()
    assert Position.ORIGIN is Position.ORIGIN
    assert fields(Rect.ZERO) == (0, 0, 0, 0)
    assert Rect(0, 0, 1, 1) != Rect(0, 0, 1, 1)


@pytest.mark.parametrize("method,arg", [("inner", "margin"), ("offset", "offset"), ("union", "other"),
                                         ("intersection", "other"), ("intersects", "other")])
def test_wrong_class_arguments(method, arg):
    expected = {"margin": "Margin", "offset": "Offset", "other": "Rect"}[arg]
    with pytest.raises(TypeError) as e:
        getattr(Rect(), method)(3)
    assert str(e.value) == f"'int' object is not an instance of '{expected}'"
    assert e.value.__notes__ == [f"while processing '{arg}'"]
    with pytest.raises(TypeError) as e:
        getattr(Rect(), method)(None)
    assert str(e.value) == f"'None' is not an instance of '{expected}'"


def test_index_subclass_with_raising_index_is_reported():
    class Bad(int):
        pass

    class Raises:
        def __index__(self):
            raise ZeroDivisionError("boom")

    assert Rect(Bad(3)).x == 3
    with pytest.raises(ZeroDivisionError):
        Rect(Raises())
