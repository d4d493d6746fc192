"""Constraint, LayoutSpacing and Layout: constructors, conversions, builders, splits and reprs."""

import threading
from collections import UserList

import pytest

import tarvo_core.rust.native as native
from tarvo_core.rust.native import Constraint, Direction, Flex, Layout, LayoutSpacing, Margin, Rect

C = Constraint


def xw(rects):
    return [(r.x, r.width) for r in rects]


def fields(r):
    return (r.x, r.y, r.width, r.height)


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", None)


# ---- Constraint ----

@pytest.mark.parametrize("make,text", [
    (lambda: C.min(5), "Min(5)"),
    (lambda: C.max(0), "Max(0)"),
    (lambda: C.length(65535), "Length(65535)"),
    (lambda: C.percentage(150), "Percentage(150)"),
    (lambda: C.ratio(1, 3), "Ratio(1, 3)"),
    (lambda: C.ratio(4294967295, 0), "Ratio(4294967295, 0)"),
    (lambda: C.fill(2), "Fill(2)"),
    (lambda: C.ratio(denominator=4, numerator=1), "Ratio(1, 4)"),
])
def test_constraint_constructors_and_repr(make, text):
    c = make()
    assert repr(c) == text
    assert type(c) is Constraint


@pytest.mark.parametrize("call,param", [
    (lambda: C.length(70000), "value"),
    (lambda: C.min(-1), "value"),
    (lambda: C.ratio(2**32, 1), "numerator"),
    (lambda: C.ratio(1, -1), "denominator"),
])
def test_constraint_amounts_out_of_range(call, param):
    with pytest.raises(OverflowError, match="^out of range integral type conversion attempted") as e:
        call()
    assert notes(e) == [f"while processing '{param}'"]


def test_constraint_non_int_and_no_constructor():
    with pytest.raises(TypeError) as e:
        C.fill(1.5)
    assert notes(e) == ["while processing 'value'"]
    with pytest.raises(TypeError):
        Constraint()
    assert C.min(1) != C.min(1)


@pytest.mark.parametrize("c,length,expected", [
    (C.percentage(50), 7, 3), (C.percentage(150), 10, 10), (C.percentage(33), 65535, 21626),
    (C.ratio(1, 0), 9, 9), (C.ratio(0, 0), 9, 0), (C.ratio(3, 2), 100, 100), (C.ratio(1, 3), 65535, 21845),
    (C.min(5), 3, 5), (C.max(5), 3, 3), (C.length(50), 100, 50), (C.length(200), 100, 100),
    (C.fill(2), 10, 2), (C.fill(20), 10, 10),
])
def test_constraint_apply(c, length, expected):
    assert c.apply(length) == expected


def test_constraint_apply_range():
    with pytest.raises(OverflowError) as e:
        C.min(1).apply(65536)
    assert notes(e) == ["while processing 'length'"]


class SeqLike:
    """A sequence only through the interpreter's sequence check."""

    def __getitem__(self, i):
        if i >= 3:
            raise IndexError
        return i + 1

    def __len__(self):
        return 3


@pytest.mark.parametrize("method,values,expected", [
    ("from_lengths", range(3), ["Length(0)", "Length(1)", "Length(2)"]),
    ("from_percentages", [25, 50], ["Percentage(25)", "Percentage(50)"]),
    ("from_mins", (1,), ["Min(1)"]),
    ("from_maxes", SeqLike(), ["Max(1)", "Max(2)", "Max(3)"]),
    ("from_fills", UserList([0, 65535]), ["Fill(0)", "Fill(65535)"]),
    ("from_lengths", [], []),
    ("from_ratios", [(1, 2), (0, 0)], ["Ratio(1, 2)", "Ratio(0, 0)"]),
    ("from_ratios", ((4294967295, 1),), ["Ratio(4294967295, 1)"]),
])
def test_constraint_list_constructors(method, values, expected):
    result = getattr(C, method)(values)
    assert type(result) is list
    assert [repr(c) for c in result] == expected


@pytest.mark.parametrize("method,values,exc,message", [
    ("from_lengths", "12", TypeError, "Can't extract `str` to `Vec`"),
    ("from_ratios", "12", TypeError, "Can't extract `str` to `Vec`"),
    ("from_mins", 5, TypeError, "'int' object is not an instance of 'Sequence'"),
    ("from_fills", {1, 2}, TypeError, "'set' object is not an instance of 'Sequence'"),
    ("from_maxes", None, TypeError, "'None' is not an instance of 'Sequence'"),
    ("from_lengths", [1, 70000], OverflowError, "out of range integral type conversion attempted"),
    ("from_percentages", [1, -1], OverflowError, "out of range integral type conversion attempted"),
    ("from_ratios", [(1, 2), (1, 2, 3)], ValueError, "expected tuple of length 2, but got tuple of length 3"),
    ("from_ratios", [[1, 2]], TypeError, "'list' object is not an instance of 'tuple'"),
    ("from_ratios", [(1, 2**32)], OverflowError, "out of range integral type conversion attempted"),
])
def test_constraint_list_constructor_errors(method, values, exc, message):
    with pytest.raises(exc) as e:
        getattr(C, method)(values)
    assert str(e.value) == message
    assert notes(e) == ["while processing 'values'"]


@pytest.mark.parametrize("owner,name,signature", [
    *[(C, m, "(value)") for m in ("min", "max", "length", "percentage", "fill")],
    (C, "ratio", "(numerator, denominator)"),
    *[(C, m, "(values)") for m in ("from_lengths", "from_percentages", "from_mins", "from_maxes", "from_fills",
                                    "from_ratios")],
    (C, "apply", "($self, length)"),
    (Layout, "new", "(direction, constraints)"),
    (Layout, "vertical", "(constraints)"),
    (Layout, "horizontal", "(constraints)"),
    (Layout, "default", "()"),
    (Layout, "direction", "($self, direction)"),
    (Layout, "constraints", "($self, constraints)"),
    *[(Layout, m, "($self, value)") for m in ("margin", "horizontal_margin", "vertical_margin", "spacing")],
    (Layout, "margin_xy", "($self, margin)"),
    (Layout, "flex", "($self, flex)"),
    (Layout, "spacing_layout", "($self, spacing)"),
    (Layout, "split", "($self, area)"),
    (Layout, "split_with_spacers", "($self, area)"),
    (Rect, "split", "($self, layout)"),
])
def test_text_signatures(owner, name, signature):
    method = getattr(owner, name)
    assert method.__text_signature__ == signature
    assert method.__doc__ is None  # nothing but the signature


@pytest.mark.parametrize("cls", [LayoutSpacing.Space, LayoutSpacing.Overlap])
def test_variant_signatures(cls):
    assert cls.__text_signature__ == "(_0)"
    assert cls.__doc__ == ""


# ---- LayoutSpacing ----

@pytest.mark.parametrize("cls,name", [(LayoutSpacing.Space, "Space"), (LayoutSpacing.Overlap, "Overlap")])
def test_spacing_variants_are_tuple_like(cls, name):
    v = cls(7)
    assert isinstance(v, LayoutSpacing) and type(v) is cls
    assert cls.__qualname__ == f"LayoutSpacing.{name}"
    assert cls.__name__ == name and cls.__module__ == "tarvo_core.rust.native"
    assert cls.__match_args__ == ("_0",)
    assert v._0 == 7 and v[0] == 7 and len(v) == 1
    assert cls(_0=65535)._0 == 65535
    with pytest.raises(IndexError, match="^tuple index out of range$"):
        v[1]
    with pytest.raises(OverflowError) as e:
        v[-1]
    assert notes(e) == ["while processing 'idx'"]
    with pytest.raises(OverflowError) as e:
        cls(65536)
    assert notes(e) == ["while processing '_0'"]
    with pytest.raises(AttributeError):
        v._0 = 1
    assert cls(1) != cls(1)


def test_spacing_pattern_matching():
    def kind(s):
        match s:
            case LayoutSpacing.Space(n):
                return ("space", n)
            case LayoutSpacing.Overlap(n):
                return ("overlap", n)
        return None

    assert kind(LayoutSpacing.Space(3)) == ("space", 3)
    assert kind(LayoutSpacing.Overlap(2)) == ("overlap", 2)


def test_layout_spacing_base():
    with pytest.raises(TypeError):
        LayoutSpacing()

    class Mine(LayoutSpacing):
        pass

    assert issubclass(Mine, LayoutSpacing)
    assert not hasattr(native, "Space") and not hasattr(native, "Overlap")
    assert "Space" not in native.__all__ and "LayoutSpacing" in native.__all__
    assert LayoutSpacing.Space is LayoutSpacing.Space


# ---- Layout values ----

DEFAULT_REPR = ("Layout { direction: Vertical, constraints: [], margin: Margin { horizontal: 0, vertical: 0 }, "
                "flex: Start, spacing: Space(0) }")


def test_layout_default_and_constructors():
    assert repr(Layout.default()) == DEFAULT_REPR
    assert repr(Layout.vertical([])) == DEFAULT_REPR
    assert repr(Layout.horizontal([C.min(5), C.ratio(1, 3)])) == (
        "Layout { direction: Horizontal, constraints: [Min(5), Ratio(1, 3)], margin: Margin { horizontal: 0, "
        "vertical: 0 }, flex: Start, spacing: Space(0) }")
    assert repr(Layout.new(Direction.Horizontal, [C.fill(1)])).startswith(
        "Layout { direction: Horizontal, constraints: [Fill(1)],")
    with pytest.raises(TypeError):
        Layout()


class ConstraintList(list):
    pass


def test_layout_builders_copy():
    base = Layout.default()
    built = (base.direction(Direction.Horizontal).constraints(ConstraintList([C.length(2)])).margin(2)
             .horizontal_margin(4).flex(Flex.SpaceAround).spacing(-3))
    assert repr(base) == DEFAULT_REPR
    assert repr(built) == (
        "Layout { direction: Horizontal, constraints: [Length(2)], margin: Margin { horizontal: 4, vertical: 2 }, "
        "flex: SpaceAround, spacing: Overlap(3) }")
    assert "margin: Margin { horizontal: 3, vertical: 1 }" in repr(base.margin_xy(Margin(3, 1)))
    assert "margin: Margin { horizontal: 0, vertical: 9 }" in repr(base.vertical_margin(9))
    assert "spacing: Space(40000)" in repr(base.spacing_layout(LayoutSpacing.Space(40000)))
    assert "spacing: Overlap(1)" in repr(base.spacing_layout(LayoutSpacing.Overlap(1)))


@pytest.mark.parametrize("value,text", [
    (-5, "Overlap(5)"), (0, "Space(0)"), (7, "Space(7)"), (100000, "Space(32767)"), (-100000, "Overlap(32768)"),
    (-32768, "Overlap(32768)"), (32767, "Space(32767)"), (2**31 - 1, "Space(32767)"), (-(2**31), "Overlap(32768)"),
])
def test_layout_signed_spacing(value, text):
    assert f"spacing: {text} }}" in repr(Layout.default().spacing(value))


@pytest.mark.parametrize("method,value", [
    ("spacing", 2**31), ("spacing", -(2**31) - 1), ("margin", 65536), ("horizontal_margin", -1),
    ("vertical_margin", 70000),
])
def test_layout_int_ranges(method, value):
    with pytest.raises(OverflowError, match="^out of range integral type conversion attempted") as e:
        getattr(Layout.default(), method)(value)
    assert notes(e) == ["while processing 'value'"]


@pytest.mark.parametrize("call,message,param", [
    (lambda: Layout.vertical((C.length(1),)), "'tuple' object is not an instance of 'list'", "constraints"),
    (lambda: Layout.default().constraints(None), "'None' is not an instance of 'list'", "constraints"),
    (lambda: Layout.new(1, []), "'int' object is not an instance of 'Direction'", "direction"),
    (lambda: Layout.new(Flex.Start, []), "'Flex' object is not an instance of 'Direction'", "direction"),
    (lambda: Layout.default().flex(Direction.Vertical), "'Direction' object is not an instance of 'Flex'", "flex"),
    (lambda: Layout.default().margin_xy((1, 1)), "'tuple' object is not an instance of 'Margin'", "margin"),
    (lambda: Layout.default().spacing_layout(3), "'int' object is not an instance of 'LayoutSpacing'", "spacing"),
    (lambda: Layout.default().split(None), "'None' is not an instance of 'Rect'", "area"),
    (lambda: Layout.default().split_with_spacers(Margin()), "'Margin' object is not an instance of 'Rect'", "area"),
    (lambda: Rect().split(Rect()), "'Rect' object is not an instance of 'Layout'", "layout"),
])
def test_layout_wrong_classes(call, message, param):
    with pytest.raises(TypeError) as e:
        call()
    assert str(e.value) == message
    assert notes(e) == [f"while processing '{param}'"]


@pytest.mark.parametrize("items", [[C.length(1), 1], [Rect()], [None, C.min(1)]])
def test_layout_constraint_items_must_be_constraints(items):
    with pytest.raises(ValueError) as e:
        Layout.vertical(items)
    assert str(e.value) == "constraints must be a sequence of Constraint"
    assert notes(e) is None


# ---- splitting ----

L, S, E, CE, SB, SA, SE = (Flex.Legacy, Flex.Start, Flex.End, Flex.Center, Flex.SpaceBetween, Flex.SpaceAround,
                           Flex.SpaceEvenly)


@pytest.mark.parametrize("flex,spacing,constraints,expected", [
    (S, 0, [C.length(3), C.fill(1)], [(0, 3), (3, 97)]),
    (L, 0, [C.length(25), C.length(25)], [(0, 25), (25, 75)]),
    (E, 0, [C.max(25), C.max(25)], [(50, 25), (75, 25)]),
    (CE, 0, [C.percentage(25), C.percentage(25)], [(25, 25), (50, 25)]),
    (SB, 0, [C.length(25), C.length(25), C.length(25)], [(0, 25), (38, 25), (75, 25)]),
    (SE, 0, [C.length(25), C.length(25)], [(17, 25), (58, 25)]),
    (SA, 0, [C.length(25), C.length(25)], [(13, 25), (63, 25)]),
    (S, 0, [C.min(25), C.min(25)], [(0, 50), (50, 50)]),
    (L, 0, [C.fill(1), C.fill(3), C.min(50), C.fill(2), C.fill(4)], [(0, 5), (5, 15), (20, 50), (70, 10), (80, 20)]),
    (L, 0, [C.ratio(1, 4), C.length(25), C.percentage(25)], [(0, 50), (50, 25), (75, 25)]),
    (S, 2, [C.length(20)] * 3, [(0, 20), (22, 20), (44, 20)]),
    (CE, 2, [C.length(20)] * 3, [(18, 20), (40, 20), (62, 20)]),
    (SA, 2, [C.length(20)] * 3, [(7, 20), (40, 20), (73, 20)]),
    (S, -1, [C.length(20)] * 3, [(0, 20), (19, 20), (38, 20)]),
    (E, -1, [C.length(20)] * 3, [(42, 20), (61, 20), (80, 20)]),
    (SE, -1, [C.length(20)] * 3, [(10, 20), (40, 20), (70, 20)]),
    (L, -10, [C.fill(1), C.fill(1)], [(0, 55), (45, 55)]),
    (SA, 10, [C.fill(1), C.length(10), C.fill(1)], [(10, 15), (45, 10), (75, 15)]),
    (CE, 80, [C.length(10), C.length(10)], [(0, 10), (90, 10)]),
    (S, 0, [C.fill(0), C.fill(0)], [(0, 50), (50, 50)]),
])
def test_split_horizontal_row(flex, spacing, constraints, expected):
    layout = Layout.horizontal(constraints).flex(flex).spacing(spacing)
    rects = layout.split(Rect(0, 0, 100, 1))
    assert type(rects) is list and all(type(r) is Rect for r in rects)
    assert xw(rects) == expected
    assert all((r.y, r.height) == (0, 1) for r in rects)


@pytest.mark.parametrize("flex,spacing,expected", [
    (L, 0, [(0, 0), (10, 0), (100, 0)]), (SB, 0, [(0, 0), (10, 80), (100, 0)]),
    (SE, 0, [(0, 27), (37, 26), (73, 27)]), (SA, 0, [(0, 20), (30, 40), (80, 20)]),
    (S, 5, [(0, 0), (10, 5), (25, 75)]), (CE, 5, [(0, 38), (48, 5), (63, 37)]),
    (CE, -1, [(0, 41), (51, 0), (60, 40)]), (E, -1, [(0, 81), (91, 0), (100, 0)]),
    (SE, 200, [(0, 33), (33, 34), (67, 33)]), (S, 200, [(0, 0), (0, 100), (100, 0)]),
])
def test_split_with_spacers(flex, spacing, expected):
    layout = Layout.horizontal([C.length(10), C.length(10)]).flex(flex).spacing(spacing)
    result = layout.split_with_spacers(Rect(0, 0, 100, 1))
    assert type(result) is tuple and len(result) == 2
    segments, spacers = result
    assert xw(spacers) == expected
    assert xw(segments) == xw(layout.split(Rect(0, 0, 100, 1)))


@pytest.mark.parametrize("layout,area,expected", [
    (Layout.default().constraints([C.min(0)]).margin(2), Rect(0, 0, 10, 10), [(2, 2, 6, 6)]),
    (Layout.default().constraints([C.min(0)]).horizontal_margin(2), Rect(0, 0, 10, 10), [(2, 0, 6, 10)]),
    (Layout.default().constraints([C.min(0)]).margin_xy(Margin(0, 2)), Rect(0, 0, 10, 10), [(0, 2, 10, 6)]),
    (Layout.vertical([C.percentage(20), C.ratio(1, 5), C.length(2), C.min(2), C.max(2)]), Rect(0, 0, 10, 10),
     [(0, 0, 10, 2), (0, 2, 10, 2), (0, 4, 10, 2), (0, 6, 10, 2), (0, 8, 10, 2)]),
    (Layout.horizontal([C.length(3), C.fill(1)]), Rect(20, 7, 10, 4), [(20, 7, 3, 4), (23, 7, 7, 4)]),
    (Layout.horizontal([C.length(3), C.fill(1)]).margin(3), Rect(7, 4, 5, 5), [(0, 0, 0, 0), (0, 0, 0, 0)]),
    (Layout.vertical([C.length(3), C.percentage(50)]).flex(Flex.End), Rect(5, 6, 0, 0), [(5, 6, 0, 0)] * 2),
    (Layout.vertical([C.max(12), C.percentage(25), C.min(26), C.percentage(100), C.fill(0)])
     .horizontal_margin(2).flex(Flex.SpaceBetween), Rect(14, 0, 8, 32),
     [(16, 0, 4, 0), (16, 0, 4, 0), (16, 0, 4, 26), (16, 26, 4, 6), (16, 32, 4, 0)]),
    (Layout.default(), Rect(1, 2, 3, 4), []),
])
def test_split_whole_rects(layout, area, expected):
    assert [fields(r) for r in layout.split(area)] == expected
    assert [fields(r) for r in area.split(layout)] == expected


def test_sixteen_bit_spacing_and_min_wrap():
    lengths = Layout.horizontal([C.length(20)] * 3)
    area = Rect(0, 0, 100, 1)
    assert xw(lengths.spacing_layout(LayoutSpacing.Space(65535)).split(area)) == [(0, 20), (19, 20), (38, 20)]
    assert xw(lengths.spacing_layout(LayoutSpacing.Overlap(65535)).split(area)) == [(0, 20), (21, 20), (42, 20)]
    assert xw(Layout.horizontal([C.min(40000), C.length(10)]).split(area)) == [(0, 90), (90, 10)]


def test_no_constraints_give_one_spacer():
    segments, spacers = Layout.horizontal([]).spacing(3).split_with_spacers(Rect(4, 1, 30, 2))
    assert segments == []
    assert [fields(r) for r in spacers] == [(4, 1, 30, 2)]


@pytest.mark.parametrize("constraints,width,expected", [
    # 49.6 hundredths of a cell round to 50, then to a whole cell: rounding once would give 0.
    ([C.ratio(496, 1000)], 1, [(0, 1)]),
    ([C.ratio(494, 1000)], 1, [(0, 0)]),
    # Ends at 2.5 and 7.5 cells: halves go away from zero.
    ([C.percentage(25)] * 3, 10, [(0, 3), (3, 2), (5, 3)]),
    # A zero denominator counts as 1.
    ([C.ratio(1, 0)], 9, [(0, 9)]),
    ([C.ratio(0, 0), C.fill(1)], 10, [(0, 0), (0, 10)]),
])
def test_split_rounding(constraints, width, expected):
    assert xw(Layout.horizontal(constraints).split(Rect(0, 0, width, 1))) == expected


@pytest.mark.parametrize("count,width,spacing", [(65, 200, 0), (120, 1000, 1), (150, 1000, 0)])
def test_many_fill_columns_share_evenly(count, width, spacing):
    layout = Layout.horizontal([C.fill(1)] * count).spacing(spacing)
    rects = Rect(0, 0, width, 1).split(layout)
    assert len(rects) == count
    assert rects[0].x == 0 and rects[-1].x + rects[-1].width == width
    assert all(b.x == a.x + a.width + spacing for a, b in zip(rects, rects[1:]))
    share = (width - spacing * (count - 1)) / count
    widths = {r.width for r in rects}
    assert max(widths) - min(widths) <= 1 and min(widths) <= share <= max(widths)


def test_layout_the_solver_used_to_give_up_on():
    kinds = [C.fill(2), C.fill(2), C.fill(1), C.fill(3), C.fill(3), C.fill(3), C.fill(3), C.min(0), C.min(0),
             C.fill(3), C.min(0), C.fill(3), C.min(2), C.fill(2), C.min(3), C.fill(2), C.max(13), C.min(5),
             C.fill(1), C.fill(1), C.min(3), C.min(0), C.fill(1), C.max(5), C.min(1), C.fill(1), C.length(5),
             C.min(1)]
    layout = Layout.horizontal(kinds).flex(Flex.SpaceEvenly).spacing(-1)
    segments, spacers = layout.split_with_spacers(Rect(0, 0, 13, 1))
    assert len(segments) == 28 and len(spacers) == 29
    # The gaps stay equal, at 0 (the outer ones cannot overlap the edges); the minimums give up
    # only the two cells the area lacks.
    minimums = [int(repr(c)[4:-1]) if repr(c).startswith("Min") else 0 for c in kinds]
    assert all(s.width == 0 and s.x + s.width == r.x for s, r in zip(spacers, segments))
    assert spacers[-1].x == 13
    assert sum(max(0, m - r.width) for r, m in zip(segments, minimums)) == 2


def test_badly_scaled_large_split_is_not_refused():
    # Zero fills (a scale of a millionth) with overlap once made the solver lose its pivot to
    # rounding, and the split raised.
    words = ("F2 X0 F3 F3 N0 F2 X0 F0 F1 R3:1 R5:1 X0 P106 F2 N0 R2:6 N0 L0 X0 F3 R4:1 X0 L0 X0 R0:1 X0 R1:6 F0 "
             "N0 P99 L0 L0 L0 N0 N0 L0 R4:2 P114 R1:1 F1 F2 P22 N0 P100 X0 R1:1 N0 R4:4 F0 R2:0 N0 X0 F1 F2 R3:2 "
             "P109 F2 N0 F2 R1:1 N0 R0:4 R5:6 N0 L0 L0 P48 R4:0 N0 R5:1 P112 P48").split()
    make = {"X": C.max, "N": C.min, "L": C.length, "P": C.percentage, "F": C.fill}
    kinds = [C.ratio(*map(int, w[1:].split(":"))) if w[0] == "R" else make[w[0]](int(w[1:])) for w in words]
    layout = Layout.horizontal(kinds).flex(Flex.SpaceAround).spacing(-3)
    segments = layout.split(Rect(0, 0, 13, 1))
    assert len(segments) == 72 and all(r.x + r.width <= 13 for r in segments)
    assert all(a.x + a.width <= b.x for a, b in zip(segments, segments[1:]))
    assert all(r.width == 0 for r, w in zip(segments, words) if w in ("X0", "L0"))


def test_huge_values_split_inside_the_area():
    layout = Layout.horizontal([C.length(65535), C.percentage(65535), C.ratio(2**32 - 1, 1), C.fill(65535),
                                C.min(65535), C.max(65535)]).flex(Flex.SpaceEvenly).spacing(-32768)
    segments, spacers = layout.split_with_spacers(Rect(0, 0, 65535, 65535))
    assert len(segments) == 6 and len(spacers) == 7
    assert all(r.x + r.width <= 65535 and r.height == 65535 for r in segments + spacers)


def test_splits_are_fresh_objects_and_work_across_threads():
    layout = Layout.horizontal([C.length(3), C.fill(1)])
    area = Rect(0, 0, 10, 1)
    first, second = layout.split(area), layout.split(area)
    assert first is not second and first[0] is not second[0]
    results = []
    worker = threading.Thread(target=lambda: results.append(xw(layout.split(area))))
    worker.start()
    worker.join()
    assert results == [[(0, 3), (3, 7)]]
