"""Render trees drawn through offscreen sessions: construction and its errors, layout of rows,
columns and stacks, gap, margin, absolute geometry, z order, visibility, cursor hints and keyed
areas."""

import sys

import pytest

from tarvo_core.rust.engine import CoreRenderContent, CoreRenderIR, CoreRenderNode, CoreSession, IrLine
from tarvo_core.rust.native import Constraint, Direction, Margin, Paragraph, Rect

C = Constraint


def notes(excinfo):
    return getattr(excinfo.value, "__notes__", [])


def text(s, **kw):
    return CoreRenderNode(content=CoreRenderContent.ir(CoreRenderIR.text_raw(s)), **kw)


def screen(node, w=10, h=4):
    s = CoreSession.offscreen(w, h)
    s.render(node)
    return s.buffer_snapshot().to_string_lines(), s


# ---- construction ----

def test_default_node():
    n = CoreRenderNode()
    assert (n.is_visible(), n.get_z(), n.has_absolute_geometry(), n.get_children(), n.get_effect_key()) == \
        (True, 0, False, [], None)
    assert n.get_content().is_empty()
    assert CoreRenderNode(x=None, content=None, effect_key=None).get_content().is_empty()


@pytest.mark.parametrize("kwargs, exc, message, note", [
    (dict(z=None), TypeError, None, "z"),
    (dict(gap=None), TypeError, None, "gap"),
    (dict(visible=None), TypeError, "'None' is not an instance of 'bool'", "visible"),
    (dict(children="ab"), TypeError, "Can't extract `str` to `Vec`", "children"),
    (dict(children=5), TypeError, "'int' object is not an instance of 'Sequence'", "children"),
    (dict(children=[1]), TypeError, "'int' object is not an instance of 'CoreRenderNode'", "children"),
    (dict(cursor_hint=(1, 2, 3)), ValueError, "expected tuple of length 2, but got tuple of length 3", "cursor_hint"),
    (dict(cursor_hint=[1, 2]), TypeError, "'list' object is not an instance of 'tuple'", "cursor_hint"),
    (dict(width=70000), OverflowError, "out of range integral type conversion attempted", "width"),
    (dict(z=2**31), OverflowError, "out of range integral type conversion attempted", "z"),
    (dict(constraints=[1]), TypeError, "'int' object is not an instance of 'Constraint'", "constraints"),
    (dict(direction=1), TypeError, "'int' object is not an instance of 'Direction'", "direction"),
    (dict(margin=(1, 1)), TypeError, "'tuple' object is not an instance of 'Margin'", "margin"),
    (dict(content="x"), TypeError, "'str' object is not an instance of 'CoreRenderContent'", "content"),
    (dict(effect_key=3), TypeError, "'int' object is not an instance of 'str'", "effect_key"),
])
def test_constructor_errors(kwargs, exc, message, note):
    with pytest.raises(exc) as e:
        CoreRenderNode(**kwargs)
    if message:
        assert str(e.value) == message
    assert notes(e) == [f"while processing '{note}'"]


def test_keyword_only_and_shorthands():
    with pytest.raises(TypeError):
        CoreRenderNode(1)
    assert not CoreRenderNode(x=1, y=2, width=3).has_absolute_geometry()
    assert CoreRenderNode(x=1, y=2, width=3, height=4).has_absolute_geometry()
    assert CoreRenderNode.stack(0, 0, 1, 1, []).has_absolute_geometry()
    assert CoreRenderNode.leaf(CoreRenderContent.empty()).get_content().is_empty()
    with pytest.raises(TypeError):
        CoreRenderNode.row([], gap=None)
    with pytest.raises(TypeError) as e:
        CoreRenderNode.leaf(None)
    assert notes(e) == ["while processing 'content'"]


def test_children_are_read_back_as_new_objects():
    child = CoreRenderNode(z=3, effect_key="k")
    n = CoreRenderNode(children=(child, CoreRenderNode(visible=False)))
    a, b = n.get_children(), n.get_children()
    assert a is not b and a[0] is not b[0] and a[0] is not child
    assert [(c.get_z(), c.get_effect_key(), c.is_visible()) for c in a] == [(3, "k", True), (0, None, False)]
    a.clear()
    assert len(n.get_children()) == 2


def test_contents():
    ir = CoreRenderIR.clear()
    cases = [(CoreRenderContent.empty(), (True, False, False, False)),
             (CoreRenderContent.widget(42), (False, False, False, False)),
             (CoreRenderContent.stateful(1, 2), (False, True, False, False)),
             (CoreRenderContent.drawable(None), (False, False, True, False)),
             (CoreRenderContent.ir(ir), (False, False, False, True))]
    for c, flags in cases:
        assert (c.is_empty(), c.is_stateful(), c.is_drawable(), c.is_ir()) == flags
        copy = CoreRenderNode(content=c).get_content()
        assert (copy.is_empty(), copy.is_stateful(), copy.is_drawable(), copy.is_ir()) == flags
    with pytest.raises(TypeError) as e:
        CoreRenderContent.ir(Paragraph.new("x"))
    assert str(e.value) == "'Paragraph' object is not an instance of 'CoreRenderIR'"
    assert notes(e) == ["while processing 'ir'"]


def test_contents_share_their_objects():
    obj = object()
    before = sys.getrefcount(obj)
    nodes = [CoreRenderNode(content=CoreRenderContent.widget(obj)) for _ in range(3)]
    copies = [n.get_content() for n in nodes]
    assert sys.getrefcount(obj) > before
    del nodes, copies
    assert sys.getrefcount(obj) == before


def test_deep_trees_build_release_and_refuse_to_draw():
    node = text("x")
    for _ in range(200_000):
        node = CoreRenderNode(children=[node], constraints=[C.fill(1)])
    with pytest.raises(RecursionError):
        CoreSession.offscreen(4, 1).render(node)
    del node  # released without recursion


# ---- layout ----

@pytest.mark.parametrize("node, expected", [
    (CoreRenderNode.row([text("a"), text("b"), text("c")], constraints=[C.length(2)] * 3),
     ["a b c", "", "", ""]),
    (CoreRenderNode.row([text("a"), text("b")], constraints=[C.length(2)] * 2, gap=3),
     ["a    b", "", "", ""]),
    (CoreRenderNode.column([text("a"), text("b")], constraints=[C.length(1)] * 2, gap=1),
     ["a", "", "b", ""]),
    # direction absent reads as Vertical
    (CoreRenderNode(children=[text("a"), text("b")], constraints=[C.length(2)] * 2), ["a", "", "b", ""]),
    (CoreRenderNode(direction=Direction.Horizontal, children=[text("a"), text("b")],
                    constraints=[C.length(4)] * 2), ["a   b", "", "", ""]),
    # more children than constraints: only the first ones are drawn, also when z reorders them
    (CoreRenderNode.row([text("a", z=9), text("b"), text("c", z=-1)], constraints=[C.length(2)] * 2),
     ["a b", "", "", ""]),
    # no constraints and not all absolute: no child is drawn
    (CoreRenderNode.column([text("a"), CoreRenderNode.stack(5, 0, 2, 1, [text("z")])]), ["", "", "", ""]),
    # all absolute: every child is drawn whatever the constraints
    (CoreRenderNode(children=[text("a", x=1, y=1, width=2, height=1), text("b", x=7, y=3, width=9, height=9)],
                    constraints=[C.length(1)]), ["", " a", "", "       b"]),
    # a stack of absolute children, each drawn at its own rectangle
    (CoreRenderNode.stack(2, 1, 5, 2, [text("ab", x=3, y=1, width=2, height=1),
                                       text("cd", x=4, y=2, width=9, height=1, z=-1)]),
     ["", "   ab", "    cd", ""]),
    # margin (2, 1) shrinks the children's area, not the node's own content
    (CoreRenderNode(content=CoreRenderContent.ir(CoreRenderIR.text_raw("top")), margin=Margin(2, 1),
                    children=[text("in")], constraints=[C.fill(1)]), ["top", "  in", "", ""]),
    # a margin larger than the area leaves the children nothing
    (CoreRenderNode(margin=Margin(6, 0), children=[text("in")], constraints=[C.fill(1)]), ["", "", "", ""]),
])
def test_layouts(node, expected):
    assert screen(node)[0] == expected


def test_absolute_geometry_is_clipped_to_the_buffer_not_the_parent():
    child = text("abcdef\nghijkl", x=7, y=2, width=6, height=6)
    parent = CoreRenderNode.column([CoreRenderNode(children=[child])], constraints=[C.length(1)])
    rows, s = screen(CoreRenderNode(children=[parent, text("k", effect_key="outside", x=20, y=0, width=1, height=1)],
                                    constraints=[C.fill(1), C.fill(1)]))
    assert rows == ["", "", "       abc", "       ghi"]
    assert s.effect_area_for("outside") is None


@pytest.mark.parametrize("zs, order", [
    ((5, 1, 1), "bca"),
    ((0, 0, 0), "abc"),
    ((-1, 2, 0), "acb"),
])
def test_z_order(zs, order):
    drawn = []

    def mark(name):
        return CoreRenderContent.drawable(lambda view, rect: drawn.append(name))

    kids = [CoreRenderNode(content=mark(ch), z=z) for ch, z in zip("abc", zs)]
    screen(CoreRenderNode.row(kids, constraints=[C.length(1)] * 3))
    assert "".join(drawn) == order


def test_higher_z_draws_over_lower():
    back = text("....\n....", x=0, y=0, width=4, height=2, z=1)
    front = CoreRenderNode(content=CoreRenderContent.ir(CoreRenderIR.glyph_overlay([IrLine.raw("A B")])),
                           x=0, y=1, width=4, height=1, z=2)
    assert screen(CoreRenderNode(children=[front, back]))[0] == ["....", "A.B.", "", ""]


def test_invisible_nodes_draw_nothing():
    hidden = CoreRenderNode(visible=False, content=CoreRenderContent.ir(CoreRenderIR.text_raw("hidden")),
                            children=[text("child", cursor_hint=(0, 0))], constraints=[C.fill(1)])
    rows, s = screen(CoreRenderNode.column([hidden, text("shown")], constraints=[C.length(1)] * 2))
    assert rows == ["", "shown", "", ""]
    rows, s = screen(CoreRenderNode(visible=False, content=CoreRenderContent.ir(CoreRenderIR.text_raw("x"))))
    assert rows == ["", "", "", ""]


def test_widgets_and_stateful_widgets_as_contents():
    from tarvo_core.rust.native import ListState, RatList

    state = ListState()
    state.select(5)
    tree = CoreRenderNode.column(
        [CoreRenderNode(content=CoreRenderContent.widget(Paragraph.new("para"))),
         CoreRenderNode(content=CoreRenderContent.stateful(RatList.new([f"i{k}" for k in range(9)]), state))],
        constraints=[C.length(1), C.length(3)])
    assert screen(tree)[0] == ["para", "i3", "i4", "i5"]
    assert state.offset == 3
