import sys

import pytest

from tarvo_core.rust import native
from tarvo_core.rust.native import (
    Block, Buffer, Clear, Line, ListState, Paragraph, RatList, RatTable, Rect, Row, Scrollbar,
    ScrollbarOrientation, ScrollbarState, Span, Style, TableState, Tabs, Text, render_stateful_widget,
    render_widget,
)


def fresh(width=8, height=2):
    return Buffer.empty(Rect(0, 0, width, height))


def drawn(widget, width=8, height=2):
    buf = fresh(width, height)
    render_widget(widget, Rect(0, 0, width, height), buf)
    return buf.to_string_lines()


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


class ToCore:
    def __init__(self, result):
        self.result = result
        self.calls = 0

    def _to_core(self):
        self.calls += 1
        return self.result


class FailingToCore:
    _inner = Paragraph.new("inner")

    def _to_core(self):
        raise ValueError("no core today")


class FailingToCoreButRenders(FailingToCore):
    def render(self, area):
        return Text.raw("rendered")


class Inner:
    def __init__(self, inner):
        self._inner = inner


class Renders:
    def __init__(self, result):
        self.result = result
        self.args = []

    def render(self, *args, **kwargs):
        self.args.append((args, kwargs))
        return self.result


class RaisingInner:
    @property
    def _inner(self):
        raise KeyError("boom")


# ---- the module functions and the Buffer methods ----

def test_documentation():
    assert render_widget.__doc__ == "Render any supported widget into a buffer region."
    assert render_widget.__text_signature__ == "(widget, area, buffer)"
    assert render_stateful_widget.__doc__ == "Render any supported stateful widget into a buffer region."
    assert render_stateful_widget.__text_signature__ == "(widget, area, state, buffer)"
    assert Buffer.render_widget.__text_signature__ == "($self, widget, area)"
    assert Buffer.render_stateful_widget.__text_signature__ == "($self, widget, area, state)"


@pytest.mark.parametrize("widget,rows", [
    (Paragraph.new("para"), ["para", ""]),
    (Block.bordered(), ["┌──────┐", "└──────┘"]),
    (Tabs.new(["a", "b"]), [" a │ b", ""]),
    (Span.raw("span"), ["span", ""]),
    (Line.raw("line").right_aligned(), ["    line", ""]),
    (Text.raw("te\nxt"), ["te", "xt"]),
    (RatList.new(["x", "y"]), ["x", "y"]),
])
def test_native_widgets_draw(widget, rows):
    assert drawn(widget) == rows
    buf = fresh()
    buf.render_widget(widget, Rect(0, 0, 8, 2))
    assert buf.to_string_lines() == rows


def test_area_is_absolute_and_clipped():
    buf = Buffer.empty(Rect(10, 5, 6, 2))
    render_widget(Paragraph.new("abcdef"), Rect(12, 6, 10, 10), buf)
    assert buf.to_string_lines() == ["", "  abcd"]
    render_widget(Clear.new(), Rect(0, 0, 13, 7), buf)
    assert buf.to_string_lines() == ["", "   bcd"]
    render_widget(Paragraph.new("zz"), Rect(0, 0, 3, 3), buf)
    render_widget(Block.bordered(), Rect(13, 6, 0, 0), buf)
    assert buf.to_string_lines() == ["", "   bcd"]


def test_argument_errors_in_order():
    buf = fresh()
    with pytest.raises(TypeError) as e:
        render_widget(Span.raw("x"), (0, 0, 1, 1), "not a buffer")
    assert notes(e) == ["while processing 'area'"]
    with pytest.raises(TypeError) as e:
        render_widget(Span.raw("x"), Rect(), "not a buffer")
    assert notes(e) == ["while processing 'buffer'"]
    with pytest.raises(TypeError) as e:
        render_stateful_widget(RatList.new([]), Rect(), ListState(), None)
    assert "'None' is not an instance of 'Buffer'" in str(e.value)
    assert notes(e) == ["while processing 'buffer'"]
    with pytest.raises(TypeError) as e:
        buf.render_widget(Span.raw("x"), None)
    assert notes(e) == ["while processing 'area'"]
    with pytest.raises(TypeError, match="missing 1 required positional argument: 'buffer'"):
        render_widget(Span.raw("x"), Rect())


@pytest.mark.parametrize("obj,name", [
    ("a plain str", "str"),
    (42, "int"),
    (None, "NoneType"),
    (Style.new(), "Style"),
    (ScrollbarState(3), "ScrollbarState"),
    (Scrollbar.new(ScrollbarOrientation.VerticalRight), "Scrollbar"),
])
def test_unsupported_widgets(obj, name):
    with pytest.raises(TypeError) as e:
        render_widget(obj, Rect(0, 0, 2, 2), fresh())
    assert str(e.value) == f"unsupported widget type: {name}"


# ---- unwrapping ----

def test_to_core_result_is_drawn():
    wrapper = ToCore(Paragraph.new("core"))
    assert drawn(wrapper) == ["core", ""]
    assert wrapper.calls == 1


def test_failing_to_core_falls_back_to_the_object_not_inner():
    with pytest.raises(TypeError) as e:
        render_widget(FailingToCore(), Rect(0, 0, 8, 2), fresh())
    assert str(e.value) == "unsupported widget type: FailingToCore"
    assert drawn(FailingToCoreButRenders()) == ["rendered", ""]


def test_to_core_wins_over_inner():
    wrapper = ToCore(Span.raw("to_core"))
    wrapper._inner = Span.raw("inner")
    assert drawn(wrapper) == ["to_core", ""]


def test_inner_is_read_not_called():
    assert drawn(Inner(Block.bordered())) == ["┌──────┐", "└──────┘"]
    with pytest.raises(TypeError) as e:
        render_widget(Inner(lambda: Block.bordered()), Rect(0, 0, 8, 2), fresh())
    assert str(e.value) == "unsupported widget type: Inner"
    with pytest.raises(TypeError) as e:
        render_widget(RaisingInner(), Rect(0, 0, 8, 2), fresh())
    assert str(e.value) == "unsupported widget type: RaisingInner"


@pytest.mark.parametrize("to_core", [5, None, "not callable"])
def test_uncallable_to_core_is_ignored_and_inner_is_not_read(to_core):
    class Odd:
        _inner = Span.raw("inner")

        def render(self, area):
            return Span.raw("own render")

    Odd._to_core = to_core
    assert drawn(Odd()) == ["own rend", ""]


def test_one_unwrap_per_pass():
    # The result of _to_core is not unwrapped again; its own render(area) is what is called.
    assert drawn(ToCore(Renders(Text.raw("via render")))) == ["via rend", ""]
    with pytest.raises(TypeError) as e:
        render_widget(ToCore(ToCore(Span.raw("deep"))), Rect(0, 0, 8, 2), fresh())
    assert str(e.value) == "unsupported widget type: ToCore"


def test_unsupported_unwrapped_value_names_the_wrapper():
    with pytest.raises(TypeError) as e:
        render_widget(ToCore(5), Rect(0, 0, 8, 2), fresh())
    assert str(e.value) == "unsupported widget type: ToCore"


# ---- the render(area) fallback ----

def test_render_result_is_drawn_with_a_fresh_rect():
    obj = Renders(Text.raw("from render"))
    area = Rect(1, 0, 11, 1)
    buf = fresh(14, 1)
    render_widget(obj, area, buf)
    assert buf.to_string_lines() == [" from render"]
    (args, kwargs), = obj.args
    assert kwargs == {} and len(args) == 1
    got = args[0]
    assert isinstance(got, Rect) and got is not area
    assert (got.x, got.y, got.width, got.height) == (1, 0, 11, 1)


def test_render_chain_and_unwrap_on_each_pass():
    inner = Renders(ToCore(Line.raw("deep")))
    outer = Renders(inner)
    assert drawn(outer) == ["deep", ""]
    assert len(inner.args) == 1 and len(outer.args) == 1


def test_render_returning_none_names_nonetype():
    with pytest.raises(TypeError) as e:
        render_widget(Renders(None), Rect(0, 0, 2, 2), fresh())
    assert str(e.value) == "unsupported widget type: NoneType"


def test_failure_to_read_the_type_name_is_raised():
    class Nameless(type):
        @property
        def __name__(cls):
            raise LookupError("no name")

    class Opaque(metaclass=Nameless):
        pass

    with pytest.raises(LookupError, match="no name"):
        render_widget(Opaque(), Rect(0, 0, 2, 2), fresh())
    with pytest.raises(LookupError, match="no name"):
        render_stateful_widget(Opaque(), Rect(0, 0, 2, 2), ListState(), fresh())


def test_render_errors_reach_the_caller():
    class Boom:
        def render(self, area):
            raise ZeroDivisionError("inside render")

    with pytest.raises(ZeroDivisionError, match="inside render"):
        render_widget(Boom(), Rect(0, 0, 2, 2), fresh())


def test_render_cycle_ends_in_recursion_error():
    class Self:
        def render(self, area):
            return self

    class A:
        def render(self, area):
            return B()

    class B:
        def render(self, area):
            return A()

    for obj in (Self(), A()):
        with pytest.raises(RecursionError):
            render_widget(obj, Rect(0, 0, 2, 2), fresh())
    # The interpreter is fine afterwards.
    assert drawn(Span.raw("ok")) == ["ok", ""]


def test_render_cycle_with_a_high_recursion_limit():
    class Self:
        def render(self, area):
            return self

    old = sys.getrecursionlimit()
    sys.setrecursionlimit(100000)
    try:
        with pytest.raises(RecursionError):
            render_widget(Self(), Rect(0, 0, 1, 1), fresh())
    finally:
        sys.setrecursionlimit(old)


def test_buffer_is_held_while_render_runs():
    buf = fresh()
    seen = []

    class Touches:
        def __init__(self, action):
            self.action = action

        def render(self, area):
            try:
                self.action()
            except RuntimeError as e:
                seen.append(str(e))
            return Span.raw("done")

    render_widget(Touches(lambda: buf.to_string_lines()), Rect(0, 0, 8, 1), buf)
    render_widget(Touches(lambda: buf.set_string(0, 0, "x", Style.new())), Rect(0, 0, 8, 1), buf)
    buf.render_widget(Touches(lambda: render_widget(Span.raw("x"), Rect(0, 0, 1, 1), buf)), Rect(0, 0, 8, 1))
    assert seen == ["Already mutably borrowed", "Already borrowed", "Already borrowed"]
    assert buf.to_string_lines() == ["done", ""]


# ---- stateful dispatch ----

def test_plain_dispatch_uses_a_fresh_list_state():
    state = ListState()
    state.select(4)
    items = ["a", "b", "c", "d", "e", "f"]
    assert drawn(RatList.new(items).highlight_symbol(">"), 4, 2) == ["a", "b"]
    buf = fresh(4, 2)
    render_stateful_widget(RatList.new(items).highlight_symbol(">"), Rect(0, 0, 4, 2), state, buf)
    assert buf.to_string_lines() == [" d", ">e"]
    assert state.selected == 4 and state.offset == 3


def test_stateful_buffer_method_and_table_pair():
    state = TableState()
    buf = fresh(6, 2)
    buf.render_stateful_widget(RatTable.new([Row.new(["r1"]), Row.new(["r2"])], [native.Constraint.length(3)]),
                               Rect(0, 0, 6, 2), state)
    assert buf.to_string_lines() == ["r1", "r2"]


@pytest.mark.parametrize("widget,state,names", [
    (lambda: RatTable.new([], []), ListState, "RatTable / ListState"),
    (lambda: RatList.new([]), TableState, "RatList / TableState"),
    (lambda: Paragraph.new("x"), ListState, "Paragraph / ListState"),
    (lambda: ToCore(RatList.new([])), ListState, "ToCore / ListState"),
    (lambda: Inner(RatList.new([])), ListState, "Inner / ListState"),
    (lambda: Scrollbar.new(ScrollbarOrientation.VerticalRight), lambda: 3, "Scrollbar / int"),
])
def test_unsupported_pairs(widget, state, names):
    with pytest.raises(TypeError) as e:
        render_stateful_widget(widget(), Rect(0, 0, 4, 2), state(), fresh())
    assert str(e.value) == f"unsupported stateful widget/state pair: {names}"


def test_scrollbar_pair_is_drawn():
    buf = fresh(1, 4)
    render_stateful_widget(Scrollbar.new(ScrollbarOrientation.VerticalRight), Rect(0, 0, 1, 4),
                           ScrollbarState(10), buf)
    rows = buf.to_string_lines()
    assert rows[0] == "▲" and rows[-1] == "▼"
