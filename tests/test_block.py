import pytest

from tarvo_core.rust.native import (
    Alignment, Block, Borders, BorderSet, BorderType, Buffer, Color, GraphType, HighlightSpacing,
    LegendPosition, Line, ListDirection, Marker, Modifier, Padding, Rect, ScrollbarOrientation,
    ScrollDirection, Span, Style, TitlePosition, render_widget,
)

PLAIN_SET = ('Set { top_left: "┌", top_right: "┐", bottom_left: "└", bottom_right: "┘", '
             'vertical_left: "│", vertical_right: "│", horizontal_top: "─", horizontal_bottom: "─" }')
DEFAULT_REPR = (
    "Block { titles: [], titles_style: Style::new(), titles_alignment: Left, titles_position: Top, "
    f"borders: NONE, border_style: Style::new(), border_set: {PLAIN_SET}, style: Style::new(), "
    "padding: Padding { left: 0, right: 0, top: 0, bottom: 0 }, merge_borders: Replace, shadow: None }"
)


def draw(widget, width, height):
    buf = Buffer.empty(Rect(0, 0, width, height))
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf


def screen(widget, width, height):
    return draw(widget, width, height).to_string_lines()


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


# ---- enumerations and Borders ----

ENUMS = [
    (HighlightSpacing, ["Always", "WhenSelected", "Never"]),
    (ScrollDirection, ["Forward", "Backward"]),
    (ScrollbarOrientation, ["VerticalRight", "VerticalLeft", "HorizontalBottom", "HorizontalTop"]),
    (ListDirection, ["TopToBottom", "BottomToTop"]),
    (GraphType, ["Scatter", "Line", "Bar"]),
    (LegendPosition, ["Top", "TopRight", "TopLeft", "Left", "Right", "Bottom", "BottomRight", "BottomLeft"]),
    (Marker, ["Dot", "Block", "Bar", "Braille", "HalfBlock"]),
    (BorderType, ["Plain", "Rounded", "Double", "Thick", "QuadrantInside", "QuadrantOutside"]),
    (TitlePosition, ["Top", "Bottom"]),
]


@pytest.mark.parametrize("cls,names", ENUMS, ids=[c.__name__ for c, _ in ENUMS])
def test_enumeration_variants(cls, names):
    for number, name in enumerate(names):
        v = getattr(cls, name)
        assert v is getattr(cls, name)
        assert repr(v) == str(v) == f"{cls.__name__}.{name}"
        assert int(v) == number
        assert v == number and v == getattr(cls, name)
        assert v != number + 1
    first = getattr(cls, names[0])
    with pytest.raises(TypeError):
        hash(first)
    with pytest.raises(TypeError):
        first < first
    with pytest.raises(TypeError):
        cls()
    assert cls.__module__ == "tarvo_core.rust.native"


def test_borders_texts_and_or():
    assert [repr(b) for b in (Borders.NONE, Borders.TOP, Borders.RIGHT, Borders.BOTTOM, Borders.LEFT,
                              Borders.ALL)] == ["NONE", "TOP", "RIGHT", "BOTTOM", "LEFT", "ALL"]
    assert repr(Borders.TOP | Borders.LEFT) == repr(Borders.LEFT | Borders.TOP) == "TOP | LEFT"
    assert str(Borders.BOTTOM | Borders.RIGHT) == "RIGHT | BOTTOM"
    assert repr(Borders.TOP | Borders.RIGHT | Borders.BOTTOM | Borders.LEFT) == "ALL"
    same = Borders.TOP | Borders.NONE
    assert repr(same) == "TOP" and same is not Borders.TOP
    assert (same == Borders.TOP) is False
    assert Borders.TOP == Borders.TOP and Borders.ALL is Borders.ALL
    assert len({Borders.TOP, Borders.LEFT, Borders.TOP}) == 2


@pytest.mark.parametrize("op", [
    lambda: Borders.TOP | 1,
    lambda: 1 | Borders.TOP,
    lambda: Borders.TOP & Borders.ALL,
    lambda: ~Borders.TOP,
    lambda: int(Borders.TOP),
    lambda: Borders(),
])
def test_borders_refuses_other_operations(op):
    with pytest.raises(TypeError):
        op()


# ---- Block values ----

def test_block_constructors_and_repr():
    assert repr(Block.new()) == repr(Block.default()) == DEFAULT_REPR
    assert repr(Block.bordered()) == DEFAULT_REPR.replace("borders: NONE", "borders: ALL")
    assert repr(Block.new().border_type(BorderType.Plain)) == DEFAULT_REPR
    with pytest.raises(TypeError):
        Block()


def test_titles_accumulate_without_changing_receivers():
    a = Block.new().title("a")
    b = a.title_bottom("b")
    c = b.title_at("c", TitlePosition.Top)
    assert '[(None, Line::from("a")), (Some(Bottom), Line::from("b")), (Some(Top), Line::from("c"))]' in repr(c)
    assert "titles: [(None, " in repr(a) and "Bottom" not in repr(a)
    assert "Top), Line" not in repr(b)
    mixed = Block.new().title(["a", Span.raw("b")])
    assert screen(mixed, 4, 1) == ["ab"]


def test_builders_replace_their_field():
    red = Style.new().fg(Color.RED)
    block = (Block.new().borders(Borders.TOP | Borders.LEFT).border_style(red).style(red).title_style(red)
             .title_alignment(Alignment.Center).title_position(TitlePosition.Bottom)
             .padding(Padding.new(1, 2, 3, 4)))
    text = repr(block)
    for part in ["borders: TOP | LEFT", "titles_alignment: Center", "titles_position: Bottom",
                 "padding: Padding { left: 1, right: 2, top: 3, bottom: 4 }"]:
        assert part in text
    assert text.count("Style::new().red()") == 3
    assert repr(Block.new()) == DEFAULT_REPR


def test_border_type_and_border_set_last_call_wins():
    assert screen(Block.bordered().border_type(BorderType.Double).border_set(BorderSet.PLAIN), 3, 2) == ["┌─┐", "└─┘"]
    assert screen(Block.bordered().border_set(BorderSet.PLAIN).border_type(BorderType.Double), 3, 2) == ["╔═╗", "╚═╝"]


@pytest.mark.parametrize("call,param", [
    (lambda: Block.new().borders(1), "borders"),
    (lambda: Block.new().border_style(Color.RED), "style"),
    (lambda: Block.new().border_type(Borders.TOP), "border_type"),
    (lambda: Block.new().border_set("x"), "border_set"),
    (lambda: Block.new().style(None), "style"),
    (lambda: Block.new().title_alignment(TitlePosition.Top), "alignment"),
    (lambda: Block.new().title_position(Alignment.Left), "position"),
    (lambda: Block.new().title_at(3, "top"), "position"),
    (lambda: Block.new().padding(Rect()), "padding"),
    (lambda: Block.new().inner((0, 0, 1, 1)), "area"),
])
def test_wrong_classes_name_the_parameter(call, param):
    with pytest.raises(TypeError) as e:
        call()
    assert notes(e) == [f"while processing '{param}'"]


def test_title_conversion_errors_have_no_note():
    with pytest.raises(TypeError) as e:
        Block.new().title(3)
    assert notes(e) == []
    with pytest.raises(TypeError) as e:
        Block.new().title_at(3, TitlePosition.Top)
    assert notes(e) == []
    with pytest.raises(TypeError, match="unexpected keyword"):
        Block.new().title(titel="x")


def test_border_set_values():
    assert BorderSet.PLAIN is BorderSet.PLAIN
    assert repr(BorderSet.PLAIN) == f"BorderSet({PLAIN_SET})"
    assert '"╭"' in repr(BorderSet.ROUNDED) and '"┏"' in repr(BorderSet.THICK) and '"╔"' in repr(BorderSet.DOUBLE)
    empty = BorderSet.new("", "", "", "", "", "", "", "")
    assert repr(empty).count('""') == 8
    wide = BorderSet.new(top_left="<<", top_right=">>", bottom_left="a", bottom_right="b",
                         vertical_left="\"", vertical_right="|", horizontal_top="=", horizontal_bottom="-")
    assert 'top_left: "<<"' in repr(wide) and 'vertical_left: "\\""' in repr(wide)
    with pytest.raises(TypeError) as e:
        BorderSet.new("a", "b", "c", "d", "e", "f", 7, "h")
    assert notes(e) == ["while processing 'horizontal_top'"]
    assert screen(Block.bordered().border_set(BorderSet.new("1", "2", "3", "4", "L", "R", "T", "B")), 4, 3) == [
        "1TT2", "L  R", "3BB4"]


@pytest.mark.parametrize("make,inner", [
    (lambda: Padding.new(1, 2, 3, 4), Rect(2, 4, 15, 11)),
    (lambda: Padding.zero(), Rect(1, 1, 18, 18)),
    (lambda: Padding.uniform(2), Rect(3, 3, 14, 14)),
    (lambda: Padding.horizontal(3), Rect(4, 1, 12, 18)),
    (lambda: Padding.vertical(3), Rect(1, 4, 18, 12)),
    (lambda: Padding.symmetric(1, 2), Rect(2, 3, 16, 14)),
    (lambda: Padding.uniform(65535), Rect(65535, 65535, 0, 0)),
])
def test_padding_constructors(make, inner):
    got = Block.bordered().padding(make()).inner(Rect(0, 0, 20, 20))
    assert (got.x, got.y, got.width, got.height) == (inner.x, inner.y, inner.width, inner.height)


@pytest.mark.parametrize("call,param,exc", [
    (lambda: Padding.uniform(65536), "value", OverflowError),
    (lambda: Padding.uniform(-1), "value", OverflowError),
    (lambda: Padding.new(0, 0, 0, 1.5), "bottom", TypeError),
    (lambda: Padding.symmetric(1, 70000), "vertical", OverflowError),
])
def test_padding_range_errors(call, param, exc):
    with pytest.raises(exc) as e:
        call()
    assert notes(e) == [f"while processing '{param}'"]
    if exc is OverflowError:
        assert str(e.value) == "out of range integral type conversion attempted"


@pytest.mark.parametrize("block,area,expected", [
    (Block.bordered(), Rect(0, 0, 10, 5), (1, 1, 8, 3)),
    (Block.new(), Rect(3, 4, 5, 6), (3, 4, 5, 6)),
    (Block.bordered(), Rect(0, 0, 1, 1), (1, 1, 0, 0)),
    (Block.new().title("t"), Rect(0, 0, 4, 4), (0, 1, 4, 3)),
    (Block.new().title("t").title_position(TitlePosition.Bottom), Rect(0, 0, 4, 4), (0, 0, 4, 3)),
    (Block.new().borders(Borders.LEFT | Borders.BOTTOM).title_top("t"), Rect(2, 2, 4, 4), (3, 3, 3, 2)),
])
def test_inner(block, area, expected):
    r = block.inner(area)
    assert (r.x, r.y, r.width, r.height) == expected


# ---- drawing ----

def test_bordered_block_with_titles_screen():
    block = (Block.bordered().border_type(BorderType.Rounded)
             .title("Left").title(Line.raw("Mid").centered()).title(Line.raw("R").right_aligned())
             .title_bottom(Line.raw("bottom").right_aligned()))
    assert screen(block, 20, 4) == [
        "╭Left───Mid───────R╮",
        "│                  │",
        "│                  │",
        "╰────────────bottom╯",
    ]


@pytest.mark.parametrize("btype,rows", [
    (BorderType.Plain, ["┌─┐", "└─┘"]),
    (BorderType.Rounded, ["╭─╮", "╰─╯"]),
    (BorderType.Double, ["╔═╗", "╚═╝"]),
    (BorderType.Thick, ["┏━┓", "┗━┛"]),
    (BorderType.QuadrantInside, ["▗▄▖", "▝▀▘"]),
    (BorderType.QuadrantOutside, ["▛▀▜", "▙▄▟"]),
])
def test_border_types(btype, rows):
    assert screen(Block.bordered().border_type(btype), 3, 2) == rows


def test_styles_of_chosen_cells():
    block = (Block.bordered().style(Style.new().bg(Color.BLUE)).border_style(Style.new().fg(Color.GREEN))
             .title_style(Style.new().fg(Color.YELLOW).add_modifier(Modifier.BOLD))
             .title(Span.styled("T", Style.new().add_modifier(Modifier.ITALIC))))
    buf = draw(block, 5, 3)
    assert buf.to_string_lines() == ["┌T──┐", "│   │", "└───┘"]
    inside, border, title = buf.cell(2, 1), buf.cell(0, 1), buf.cell(1, 0)
    assert inside.bg == Color.BLUE and inside.fg == Color.RESET
    assert border.fg == Color.GREEN and border.bg == Color.BLUE
    assert title.fg == Color.YELLOW and repr(title.modifier) == "BOLD | ITALIC"
    assert buf.cell(2, 0).fg == Color.GREEN


def test_padding_does_not_change_the_frame():
    assert screen(Block.bordered().padding(Padding.uniform(5)), 4, 3) == ["┌──┐", "│  │", "└──┘"]


def test_partly_outside_and_empty_areas():
    buf = Buffer.empty(Rect(0, 0, 6, 3))
    render_widget(Block.bordered().title("Title"), Rect(3, 1, 40, 40), buf)
    assert buf.to_string_lines() == ["", "   ┌T┐", "   └─┘"]
    before = buf.to_string_lines()
    render_widget(Block.bordered(), Rect(1, 1, 0, 2), buf)
    render_widget(Block.bordered(), Rect(50, 50, 5, 5), buf)
    assert buf.to_string_lines() == before
