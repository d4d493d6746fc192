"""The render IR: every builder drawn through an offscreen session as whole screens, the
styles of chosen cells, measure, signatures and the argument errors."""

import pytest

from tarvo_core.rust.engine import CoreRenderContent, CoreRenderIR, CoreRenderNode, CoreSession, IrLine
from tarvo_core.rust.native import Color, Constraint, Modifier

E = CoreRenderIR
R = IrLine.raw
RED, BLUE, GREEN = Color.RED, Color.BLUE, Color.GREEN


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


def draw(ir, w=10, h=3, under=None):
    """The buffer after drawing `ir` over the whole screen (over `under` when given)."""
    s = CoreSession.offscreen(w, h)
    kids = [CoreRenderNode(content=CoreRenderContent.ir(x), x=0, y=0, width=w, height=h, z=z)
            for z, x in enumerate([under, ir]) if x is not None]
    s.render(CoreRenderNode(children=kids))
    return s.buffer_snapshot()


def cell(buf, x, y):
    c = buf.cell(x, y)
    return c.symbol, c.fg, c.bg, repr(c.modifier)


table_row = lambda *cells, fg=None, bg=None, h=1: ([(R(c), None, None, []) for c in cells], fg, bg, h)


@pytest.mark.parametrize("ir, w, h, expected", [
    (E.span("hé\nllo"), 8, 1, ["héllo"]),  # the line break stays in the one span and is not drawn
    (E.line(IrLine.raw("ab\ncd")), 6, 1, ["abcd"]),
    (E.text_raw("ab\ncd\n"), 4, 3, ["ab", "cd", ""]),
    (E.text_raw("first\nsecond"), 8, 1, ["first"]),
    (E.paragraph_raw("abc def"), 5, 2, ["abc", "def"]),
    (E.paragraph_raw("abc def", wrap=False), 5, 2, ["abc d", ""]),
    (E.paragraph_lines([R("ab"), R("c")], align=2), 5, 2, ["   ab", "    c"]),
    (E.text_lines([R("ab"), R("c")], align=1), 5, 2, [" ab", "  c"]),
    (E.text_lines([R("ab"), R("c")], align=5), 5, 2, ["ab", "c"]),
    (E.list([R("x"), R("y")]), 6, 2, ["x", "y"]),
    (E.list([R("x"), R("y")], selected=0), 6, 2, ["> x", "  y"]),
    (E.list([R("x"), R("y")], selected=9), 6, 2, ["  x", "> y"]),
    (E.list([R(f"i{k}") for k in range(10)], selected=7), 6, 3, ["  i5", "  i6", "> i7"]),
    (E.list([R("x")], selected=0, highlight_symbol="->"), 6, 1, ["->x"]),
    (E.tabs([R("a"), R("b")]), 10, 1, [" a │ b"]),
    (E.tabs([R("a"), R("b")], divider="/", padding_left=""), 10, 1, ["a /b"]),
    (E.progress_bar(1.5), 6, 1, ["█100%█"]),
    (E.progress_bar(-2), 6, 1, ["  0%"]),
    (E.progress_bar(0.5, label="hi"), 6, 1, ["██hi"]),
    (E.progress_bar(float("nan")), 6, 1, ["  0%"]),
    (E.line_gauge(1.5), 8, 1, ["100% ───"]),
    (E.line_gauge(-0.2), 8, 1, ["  0% ───"]),
    (E.line_gauge(0.25, label="x"), 8, 1, ["x ──────"]),
    (E.line_gauge(float("nan")), 8, 1, ["  0% ───"]),
    (E.sparkline(list(range(9))), 9, 1, [" ▁▂▃▄▅▆▇█"]),
    (E.sparkline([1, 2], max_value=4), 2, 1, ["▂▄"]),
    (E.bar_chart([(None, [(3, "a", None, None, None, None, None), (6, "b", "x", None, None, None, None)])]), 5, 4,
     ["  █", "▄ █", "3 x", "a b"]),
    (E.bar_chart([("g", [(3, "a", None, None, None, None, None)])], max_value=6), 3, 4, ["", "3", "a", "g"]),
    (E.bar_chart([(None, [(3, "a", None, None, None, None, None), (6, "b", None, None, None, None, None)])],
                 horizontal=True), 8, 3, ["a 3██", "", "b 6█████"]),
    (E.table([table_row("a1", "b1"), table_row("a2", "b2")], header=table_row("A", "B"), widths=[(0, 3), (0, 3)],
             selected_row=1, highlight_symbol=">"), 10, 3, [" A   B", " a1  b1", ">a2  b2"]),
    (E.table([table_row("a1", "b1")], footer=table_row("F"), widths=[(0, 2), (2, 1)], column_spacing=0,
             highlight_symbol=">"), 6, 3, ["a1b1", "", "F"]),
    (E.table(), 4, 1, [""]),
    (E.scrollbar(content_length=10), 3, 4, ["  █", "  ║", "  ║", "  ║"]),
    (E.scrollbar(orientation=7, content_length=10), 3, 4, ["  █", "  ║", "  ║", "  ║"]),
    (E.scrollbar(orientation=2, content_length=10, position=9, begin_symbol="<", end_symbol=">"), 6, 2,
     ["", "<══██>"]),
    (E.scrollbar(orientation=1, content_length=4, viewport_length=2, begin_symbol="^"), 2, 4, ["^", "█", "║", "║"]),
    (E.canvas([("rect", 0, 0, 1, 1, RED), ("print", 0, 0, [("hi", None, None, [])])], marker=1), 4, 3,
     ["████", "█  █", "hi██"]),
    (E.canvas([("line", 0, 0, 1, 0, RED)], marker=0), 3, 2, ["", "•••"]),
    (E.canvas([("points", [(0, 1), (2, 2)], RED)], marker=4), 2, 1, ["▀"]),
    (E.canvas([("circle", 1, 1, 1, RED)], x_bounds=(0, 2), y_bounds=(0, 2), marker=1), 5, 3,
     ["█████", "█   █", "█████"]),
])
def test_kinds_drawn(ir, w, h, expected):
    assert draw(ir, w, h).to_string_lines() == expected


def test_glyph_overlay_leaves_blanks_and_beyond_alone():
    under = E.text_raw("......\n......\n......")
    over = E.glyph_overlay([R("a b"), IrLine.from_spans([("世x", RED, None, [Modifier.BOLD])]), R("z")])
    buf = draw(over, 6, 2, under)
    assert buf.to_string_lines() == ["a.b...", "世x...."]
    assert cell(buf, 1, 1) == ("x", RED, Color.RESET, "BOLD")
    assert over.measure() == (3, 3)
    # writing into the area's right edge stops; an area past the buffer is cut silently
    s = CoreSession.offscreen(3, 1)
    s.render(CoreRenderNode(content=CoreRenderContent.ir(E.glyph_overlay([R("abcdef")])), x=1, y=0, width=9, height=4))
    assert s.buffer_snapshot().to_string_lines() == [" ab"]


def test_text_styles():
    buf = draw(E.text_raw("ab", fg=RED, bg=BLUE, modifiers=[Modifier.BOLD]), 4, 2)
    assert cell(buf, 0, 0) == ("a", RED, BLUE, "BOLD")
    assert cell(buf, 3, 1) == (" ", RED, Color.RESET, "BOLD")
    # the IR background replaces the spans' own; without it the spans keep theirs
    spans = IrLine.from_spans([("x", None, GREEN, [])])
    assert cell(draw(E.text_lines([spans], bg=BLUE), 2, 1), 0, 0)[2] == BLUE
    assert cell(draw(E.paragraph_lines([spans]), 2, 1), 0, 0)[2] == GREEN
    # a styled line's colour shows under spans that set none
    assert cell(draw(E.line(IrLine.styled("ab", fg=RED)), 3, 1), 1, 0)[1] == RED
    assert cell(draw(E.span("ab", bg=BLUE), 3, 1), 2, 0)[2] == Color.RESET


def test_selection_styles():
    buf = draw(E.list([R("x"), R("y")], selected=1, highlight_fg=RED, highlight_bg=BLUE, fg=GREEN), 4, 2)
    assert cell(buf, 2, 1) == ("y", RED, BLUE, "NONE")
    assert cell(buf, 2, 0)[1] == GREEN
    tabs = draw(E.tabs([R("a"), R("b")], highlight_fg=RED), 8, 1)
    assert cell(tabs, 1, 0) == ("a", RED, Color.RESET, "NONE")
    assert cell(draw(E.tabs([R("a")]), 4, 1), 1, 0)[3] == "NONE"  # no reverse video by default
    table = draw(E.table([table_row("a"), table_row("b", fg=GREEN)], widths=[(0, 2)], selected_row=1,
                         highlight_bg=BLUE), 4, 2)
    assert cell(table, 0, 1) == ("b", GREEN, BLUE, "NONE")


def test_canvas_background_and_later_shapes_win():
    buf = draw(E.canvas([("rect", 0, 0, 1, 1, RED), ("rect", 0, 0, 1, 1, GREEN)], background=BLUE, marker=0), 3, 3)
    assert cell(buf, 0, 0)[:3] == ("•", GREEN, BLUE)
    assert cell(buf, 1, 1) == (" ", Color.RESET, BLUE, "NONE")


@pytest.mark.parametrize("ir, size", [
    (E.span("héllo"), (5, 1)), (E.span(""), (0, 1)), (E.span("世"), (2, 1)),
    (E.line(R("ab\ncd")), (4, 1)), (E.line(R("")), (0, 1)),
    (E.text_raw("ab\ncde"), (3, 2)), (E.text_lines([]), (0, 1)), (E.paragraph_raw(""), (0, 1)),
    (E.glyph_overlay([]), (0, 1)),
    (E.list([]), (0, 1)), (E.list([R("ab"), R("abcd")]), (6, 2)), (E.list([R("a")], highlight_symbol=""), (1, 1)),
    (E.progress_bar(0.5), (0, 1)), (E.sparkline(), (0, 1)), (E.line_gauge(0), (0, 1)), (E.tabs(), (0, 1)),
    (E.clear(), (0, 0)), (E.bar_chart(), (0, 0)), (E.canvas(), (0, 0)),
    (E.table(), (0, 0)), (E.table([table_row("a")] * 3, header=table_row("h"), footer=table_row("f")), (0, 5)),
    (E.scrollbar(), (1, 0)), (E.scrollbar(orientation=1), (1, 0)), (E.scrollbar(orientation=2), (0, 1)),
    (E.scrollbar(orientation=3), (0, 1)), (E.scrollbar(orientation=200), (1, 0)),
])
def test_measure(ir, size):
    assert ir.measure() == size


def test_a_table_of_many_rows_measures_its_real_height():
    assert E.table([table_row("a")] * 70000).measure() == (0, 70000)


def test_clear_blanks_its_area():
    assert draw(E.clear(), 3, 2, E.text_raw("abc\ndef")).to_string_lines() == ["", ""]


@pytest.mark.parametrize("call, exc, message, note", [
    (lambda: E.span(5), TypeError, "'int' object is not an instance of 'str'", "content"),
    (lambda: E.span("a", fg="red"), TypeError, "'str' object is not an instance of 'Color'", "fg"),
    (lambda: E.span("a", modifiers="b"), TypeError, "Can't extract `str` to `Vec`", "modifiers"),
    (lambda: E.span("a", modifiers=[1]), TypeError, "'int' object is not an instance of 'Modifier'", "modifiers"),
    (lambda: E.line("x"), TypeError, "'str' object is not an instance of 'IrLine'", "ir_line"),
    (lambda: E.text_lines("ab"), TypeError, "Can't extract `str` to `Vec`", "lines"),
    (lambda: E.text_lines([R("a"), "b"]), TypeError, "'str' object is not an instance of 'IrLine'", "lines"),
    (lambda: E.text_raw("x", align=300), OverflowError, "out of range integral type conversion attempted", "align"),
    (lambda: E.paragraph_raw("x", wrap=1), TypeError, "'int' object is not an instance of 'bool'", "wrap"),
    (lambda: E.list([R("a")], selected=-1), OverflowError, None, "selected"),
    (lambda: E.list([R("a")], highlight_symbol=None), TypeError, "'None' is not an instance of 'str'",
     "highlight_symbol"),
    (lambda: E.tabs(selected=None), TypeError, None, "selected"),
    (lambda: E.tabs(padding_left=None), TypeError, "'None' is not an instance of 'str'", "padding_left"),
    (lambda: E.progress_bar("0.5"), TypeError, None, "progress"),
    (lambda: E.line_gauge("0.5"), TypeError, None, "progress"),
    (lambda: E.sparkline([1, 2, None]), TypeError, None, "data"),
    (lambda: E.sparkline("12"), TypeError, "Can't extract `str` to `Vec`", "data"),
    (lambda: E.sparkline(absent_value_symbol=1), TypeError, "'int' object is not an instance of 'str'",
     "absent_value_symbol"),
    (lambda: E.bar_chart([(None, [(1, "a", None, None, None, None)])]), ValueError,
     "expected tuple of length 7, but got tuple of length 6", "groups"),
    (lambda: E.bar_chart([[None, []]]), TypeError, "'list' object is not an instance of 'tuple'", "groups"),
    (lambda: E.bar_chart([(None, [(-1, "a", None, None, None, None, None)])]), OverflowError, None, "groups"),
    (lambda: E.bar_chart([(None, [(1, None, None, None, None, None, None)])]), TypeError,
     "'None' is not an instance of 'str'", "groups"),
    (lambda: E.bar_chart(bar_width=70000), OverflowError, "out of range integral type conversion attempted",
     "bar_width"),
    (lambda: E.bar_chart(horizontal=1), TypeError, "'int' object is not an instance of 'bool'", "horizontal"),
    (lambda: E.table(5), TypeError, "'int' object is not an instance of 'Sequence'", "rows"),
    (lambda: E.table([([(R("a"), None, None)], None, None, 1)]), ValueError,
     "expected tuple of length 4, but got tuple of length 3", "rows"),
    (lambda: E.table([([("a", None, None, [])], None, None, 1)]), TypeError,
     "'str' object is not an instance of 'IrLine'", "rows"),
    (lambda: E.table(header=[[], None, None, 1]), TypeError, "'list' object is not an instance of 'tuple'", "header"),
    (lambda: E.table([([], None, None, 70000)]), OverflowError, "out of range integral type conversion attempted",
     "rows"),
    (lambda: E.table(widths=[(0, 1, 2)]), ValueError, "expected tuple of length 2, but got tuple of length 3",
     "widths"),
    (lambda: E.table(widths=[(1, 101)]), ValueError, "Percentages should be between 0 and 100 inclusively.",
     "widths"),
    (lambda: E.table(column_spacing=None), TypeError, None, "column_spacing"),
    (lambda: E.table(highlight_symbol=3), TypeError, "'int' object is not an instance of 'str'", "highlight_symbol"),
    (lambda: E.scrollbar(orientation=256), OverflowError, "out of range integral type conversion attempted",
     "orientation"),
    (lambda: E.scrollbar(position=-1), OverflowError, None, "position"),
    (lambda: E.scrollbar(thumb_fg=1), TypeError, "'int' object is not an instance of 'Color'", "thumb_fg"),
    (lambda: E.canvas("x"), TypeError, "Can't extract `str` to `Vec`", "shapes"),
    (lambda: E.canvas(x_bounds=[0, 1]), TypeError, "'list' object is not an instance of 'tuple'", "x_bounds"),
    (lambda: E.canvas(y_bounds=(0, 1, 2)), ValueError, "expected tuple of length 2, but got tuple of length 3",
     "y_bounds"),
    (lambda: E.canvas(marker=256), OverflowError, "out of range integral type conversion attempted", "marker"),
    (lambda: E.canvas(background=0), TypeError, "'int' object is not an instance of 'Color'", "background"),
    (lambda: IrLine.raw(1), TypeError, "'int' object is not an instance of 'str'", "content"),
    (lambda: IrLine.styled("a", bg=2), TypeError, "'int' object is not an instance of 'Color'", "bg"),
    (lambda: IrLine.from_spans("ab"), TypeError, "Can't extract `str` to `Vec`", "spans"),
    (lambda: IrLine.from_spans([("a", None, None)]), ValueError, "expected tuple of length 4, but got tuple of length 3",
     "spans"),
    (lambda: IrLine.from_spans([["a", None, None, []]]), TypeError, "'list' object is not an instance of 'tuple'",
     "spans"),
])
def test_builder_errors(call, exc, message, note):
    with pytest.raises(exc) as e:
        call()
    if message:
        assert str(e.value) == message
    assert notes(e) == [f"while processing '{note}'"]


@pytest.mark.parametrize("shape, exc, message", [
    (("Line", 0, 0, 1, 1, RED), ValueError, "unknown canvas shape tag: Line"),
    (("line", 0, 0, 1, 1, None), TypeError, "'None' is not an instance of 'Color'"),
    ((1, 0), TypeError, "'int' object is not an instance of 'str'"),
    (("print", 0, 0, "hi"), TypeError, "Can't extract `str` to `Vec`"),
    (("print", 0, 0, [("hi", None, None)]), ValueError, "expected tuple of length 4, but got tuple of length 3"),
    (("points", [(0, 0, 0)], RED), ValueError, "expected tuple of length 2, but got tuple of length 3"),
    (("points", [[0, 0]], RED), TypeError, "'list' object is not an instance of 'tuple'"),
    (("circle", 0, 0, 1), IndexError, None),
    (("rect", "0", 0, 1, 1, RED), TypeError, None),
    (5, TypeError, None),
])
def test_canvas_shape_errors_carry_no_note(shape, exc, message):
    with pytest.raises(exc) as e:
        E.canvas([("rect", 0, 0, 1, 1, RED), shape])
    if message:
        assert str(e.value) == message
    assert notes(e) == []


def test_signatures_and_docs():
    sigs = {
        "span": "(content, fg=None, bg=None, modifiers=...)", "line": "(ir_line)",
        "text_raw": "(content, fg=None, bg=None, modifiers=..., align=None)",
        "glyph_overlay": "(lines)", "clear": "()",
        "list": "(items, selected=None, fg=None, bg=None, highlight_fg=None, highlight_bg=None, highlight_symbol=...)",
        "canvas": "(shapes=..., x_bounds=..., y_bounds=..., background=None, marker=None)",
    }
    for name, sig in sigs.items():
        assert getattr(E, name).__text_signature__ == sig
    assert E.measure.__text_signature__ == "($self)"
    assert IrLine.from_spans.__doc__ == "Accept a list of `(content, fg, bg, modifiers)` 4-tuples."
    assert E.glyph_overlay.__doc__.startswith("A transparent overlay of styled glyph lines.\n\nUnlike `text_lines`")
    assert E.scrollbar.__doc__ == "orientation: 0=VerticalRight, 1=VerticalLeft, 2=HorizontalBottom, 3=HorizontalTop"
    assert E.canvas.__doc__.splitlines()[1:] == ['  ("line",   x1, y1, x2, y2, Color)', '  ("points", [(x,y),...], Color)',
                                                '  ("rect",   x, y, w, h, Color)', '  ("circle", x, y, r, Color)',
                                                '  ("print",  x, y, text_str)']
    with pytest.raises(TypeError):
        CoreRenderIR()


def test_ir_objects_are_thread_bound():
    import threading

    ir = E.clear()
    out = {}

    def other():
        try:
            ir.measure()
        except BaseException as exc:  # the panic exception derives from BaseException
            out["e"] = exc.with_traceback(None)  # its traceback would put `ir` in a cycle, freed on any thread

    t = threading.Thread(target=other)
    t.start()
    t.join()
    assert "tarvo_core::bindings::engine::render_ir::CoreRenderIR is unsendable, but sent to another thread" in str(out["e"])


def test_ir_built_on_another_thread_fails_the_frame_not_the_walk():
    import threading

    made = {}
    t = threading.Thread(target=lambda: made.setdefault("ir", E.text_raw("far")))
    t.start()
    t.join()
    s = CoreSession.offscreen(4, 2)
    tree = CoreRenderNode.column([CoreRenderNode(content=CoreRenderContent.ir(made["ir"])),
                                  CoreRenderNode(content=CoreRenderContent.ir(E.text_raw("near")))],
                                 constraints=[Constraint.length(1)] * 2)
    with pytest.raises(BaseException, match="CoreRenderIR is unsendable"):
        s.render(tree)
    assert s.buffer_snapshot().to_string_lines() == ["", "near"]
    # released on its own thread, as thread-bound objects must be
    del tree
    t = threading.Thread(target=made.clear)
    t.start()
    t.join()
