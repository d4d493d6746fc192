"""CoreTextEditor and CoreKeyBinding: construction, text insertion, history, reprs and errors.

Key events come only from a terminal; the key table itself is covered by the core's tests, and
the tests below that need real key events run on a pseudo-terminal when the input functions are
available."""

import threading

import pytest

from tarvo_core.rust import native
from tarvo_core.rust.engine import CoreKeyBinding, CoreTextEditor


@pytest.mark.parametrize("text,lines,cursor", [
    ("", [""], (0, 0)),
    ("ab\ncd", ["ab", "cd"], (1, 2)),
    ("a\r\nb\n", ["a", "b"], (1, 1)),
    ("\n", [""], (0, 0)),
    ("a\n\n", ["a", ""], (1, 0)),
    ("x\r", ["x\r"], (0, 2)),
    ("あい\n🐶👩🏻", ["あい", "🐶👩🏻"], (1, 3)),
    ("e\u0301", ["e\u0301"], (0, 2)),
    ("\x00\x01\t\x7f", ["\x00\x01\t\x7f"], (0, 4)),
])
def test_construction(text, lines, cursor):
    e = CoreTextEditor(text)
    assert e.lines() == lines and e.cursor() == cursor and e.text() == "\n".join(lines)
    assert repr(e) == f"CoreTextEditor(lines={len(lines)}, cursor=({cursor[0]}, {cursor[1]}))"
    single = CoreTextEditor(text=text, single_line=True)
    assert single.lines() == lines  # line breaks of the initial text stay lines


@pytest.mark.parametrize("start,single,insert,text,cursor", [
    ("ab", False, "x\ny", "abx\ny", (1, 1)),
    ("ab", True, "x\ny", "abx y", (0, 5)),
    ("ab", True, "x\r\ny", "abx  y", (0, 6)),
    ("", False, "a\r\nb\r\n", "a\nb\n", (2, 0)),
    ("", False, "a\rb", "a\rb", (0, 3)),
    ("", False, "x\r", "x\r", (0, 2)),
    ("ab", False, "", "ab", (0, 2)),
    ("", False, "🐶\u200d🐱", "🐶\u200d🐱", (0, 3)),
])
def test_insert_text(start, single, insert, text, cursor):
    e = CoreTextEditor(start, single_line=single)
    assert e.insert_text(insert) is None
    assert e.text() == text and e.cursor() == cursor


def test_set_text_undo_and_redo():
    e = CoreTextEditor("old")
    assert e.undo() is False and e.redo() is False
    e.set_text("new\ntext")
    assert e.text() == "new\ntext" and e.cursor() == (1, 4)
    assert e.undo() is True and e.text() == "" and e.cursor() == (0, 0)
    assert e.undo() is True and e.text() == "old" and e.cursor() == (0, 3)
    assert e.undo() is False
    assert e.redo() is True and e.redo() is True and e.text() == "new\ntext"
    assert e.redo() is False
    e.set_text("")
    assert e.text() == "" and e.lines() == [""]


def test_history_keeps_fifty_edits():
    e = CoreTextEditor()
    for i in range(60):
        e.insert_text(str(i % 10))
    steps = 0
    while e.undo():
        steps += 1
    assert steps == 50 and e.text() == "0123456789"


def test_placeholder_is_stored_without_effect():
    e = CoreTextEditor("a")
    assert e.set_placeholder_text("type here") is None
    assert e.text() == "a" and e.cursor() == (0, 1)


def test_large_texts():
    line = "word " * 200_000
    e = CoreTextEditor(line + "\n" + "x\n" * 50_000)
    assert len(e.lines()) == 50_001 and e.cursor() == (50_000, 1)  # the final break starts no line
    e.insert_text("end")
    assert e.lines()[-1] == "xend" and e.lines()[0] == line
    many = "row\n" * 70_000 + "y" * 70_000  # beyond 16-bit rows and columns
    e.set_text(many)
    assert e.cursor() == (70_000, 70_000)
    e.set_text("all replaced")
    assert e.lines() == ["all replaced"] and e.undo() and e.undo() and e.text() == many


@pytest.mark.parametrize("call,param,exc", [
    (lambda: CoreTextEditor(None), "text", TypeError),
    (lambda: CoreTextEditor(1), "text", TypeError),
    (lambda: CoreTextEditor("a", single_line=1), "single_line", TypeError),
    (lambda: CoreTextEditor("a", single_line=None), "single_line", TypeError),
    (lambda: CoreTextEditor("\ud800"), "text", UnicodeEncodeError),
    (lambda: CoreTextEditor().insert_text(None), "text", TypeError),
    (lambda: CoreTextEditor().insert_text("a\udfffb"), "text", UnicodeEncodeError),
    (lambda: CoreTextEditor().set_text(b"x"), "text", TypeError),
    (lambda: CoreTextEditor().set_placeholder_text(3), "text", TypeError),
    (lambda: CoreTextEditor().input("a"), "key", TypeError),
    (lambda: CoreTextEditor().input(None), "key", TypeError),
    (lambda: CoreKeyBinding.parse(None), "binding", TypeError),
    (lambda: CoreKeyBinding.parse(b"ctrl+q"), "binding", TypeError),
    (lambda: CoreKeyBinding.parse("ctrl+q").matches("q"), "event", TypeError),
])
def test_argument_errors_are_noted(call, param, exc):
    with pytest.raises(exc) as info:
        call()
    assert f"while processing '{param}'" in getattr(info.value, "__notes__", [])


def test_refused_text_leaves_the_editor_as_it_was():
    e = CoreTextEditor("keep")
    with pytest.raises(UnicodeEncodeError):
        e.set_text("bad\ud800")
    assert e.text() == "keep" and e.cursor() == (0, 4) and e.undo() is False


def test_signatures_docs_and_class_properties():
    assert CoreTextEditor.__text_signature__ == '(text="", *, single_line=False)'
    assert CoreTextEditor.__module__ == CoreKeyBinding.__module__ == "tarvo_core.rust.engine"
    assert CoreTextEditor.input.__text_signature__ == "($self, key)"
    assert "Tab, BackTab and Esc" in CoreTextEditor.input.__doc__
    assert "single-line" in CoreTextEditor.input.__doc__ and "single-line" in CoreTextEditor.insert_text.__doc__
    assert CoreKeyBinding.parse.__text_signature__ == "(binding)"
    assert '"ctrl+q" or "shift+up"' in CoreKeyBinding.parse.__doc__
    assert "KeyEvent" in CoreKeyBinding.matches.__doc__
    with pytest.raises(TypeError):
        CoreKeyBinding()
    with pytest.raises(TypeError):
        CoreTextEditor("a", True)  # single_line is keyword-only
    assert CoreTextEditor(text="t").text() == "t"


def test_editor_is_bound_to_its_thread():
    e = CoreTextEditor("a")
    seen = []

    def use():
        try:
            e.text()
        except BaseException as exc:  # the panic exception derives from BaseException
            seen.append(exc.with_traceback(None))  # its traceback would put `e` in a cycle, freed on any thread

    t = threading.Thread(target=use)
    t.start()
    t.join()
    assert len(seen) == 1 and type(seen[0]).__name__ == "PanicException"
    assert str(seen[0]) == "tarvo_core::bindings::engine::editor::PyTextEditor is unsendable, but sent to another thread"


@pytest.mark.parametrize("text,repr_text", [
    ("ctrl+q", "ctrl+q"), ("CTRL+Shift+A", "ctrl+shift+a"), (" ctrl + enter ", "ctrl+enter"),
    ("Shift + Ctrl + PageUp", "ctrl+shift+pageup"), ("f12", "f12"), ("f09", "f9"), ("space", "space"),
    ("f", "f"), ("ctrl+f", "ctrl+f"), ("escape", "esc"), ("del", "delete"), ("page_down", "pagedown"),
    ("null", "Null"), ("keypadbegin", "KeypadBegin"), ("alt+shft+control+1", "ctrl+shift+alt+1"),
])
def test_binding_parse_and_repr(text, repr_text):
    b = CoreKeyBinding.parse(binding=text)
    assert repr(b) == f"CoreKeyBinding({repr_text})"


@pytest.mark.parametrize("text,message", [
    ("f13", "invalid function key: f13"),
    ("f0", "invalid function key: f0"),
    ("f100", "unknown key in binding: f100 (binding: f100)"),
    ("ctrl+", "unknown key in binding:  (binding: ctrl+)"),
    ("ctrl++", "unknown modifier  in binding ctrl++"),
    ("hyper+x", "unknown modifier hyper in binding hyper+x"),
    ("ctrl+é", "unknown key in binding: é (binding: ctrl+é)"),
    (" Ctrl+ENTERR ", "unknown key in binding: enterr (binding:  Ctrl+ENTERR )"),
])
def test_binding_errors(text, message):
    with pytest.raises(ValueError) as info:
        CoreKeyBinding.parse(text)
    assert str(info.value) == message


def test_bindings_are_not_bound_to_a_thread():
    b = CoreKeyBinding.parse("up")
    out = []
    t = threading.Thread(target=lambda: out.append(repr(b)))
    t.start()
    t.join()
    assert out == ["CoreKeyBinding(up)"]


# ---- real key events from a terminal ----

needs_input = pytest.mark.skipif(
    not callable(getattr(native, "read_event", None)) or "not available" in (native.read_event.__doc__ or ""),
    reason="terminal input is not built yet")


# ---- random use keeps the editor's invariants ----

from hypothesis import given, settings, strategies as st  # noqa: E402

TEXT = st.text(alphabet=st.characters(blacklist_categories=("Cs",)), max_size=30) | st.sampled_from(
    ["\n", "\r\n", "a\rb", "x\r", "\t\x00", "🐶\u200d🐱", "e\u0301", "あ\nい\nう"])
OPS = st.lists(st.tuples(st.sampled_from(["insert", "set", "undo", "redo"]), TEXT), max_size=25)


def normalised(text, single):
    if single:
        return text.replace("\r", " ").replace("\n", " ")
    return text.replace("\r\n", "\n")


@settings(max_examples=150, deadline=None)
@given(start=TEXT, single=st.booleans(), ops=OPS)
def test_random_use_keeps_the_invariants(start, single, ops):
    e = CoreTextEditor(start, single_line=single)
    for op, text in ops:
        if op == "insert":
            e.insert_text(text)
        elif op == "set":
            e.set_text(text)
            assert e.text() == normalised(text, single)
            lines = e.lines()
            assert e.cursor() == (len(lines) - 1, len(lines[-1]))
        elif op == "undo":
            e.undo()
        else:
            e.redo()
        lines = e.lines()
        row, col = e.cursor()
        assert lines and 0 <= row < len(lines) and 0 <= col <= len(lines[row])
        assert e.text() == "\n".join(lines) and all("\n" not in line for line in lines)
        if single:  # no insertion adds a line
            assert len(lines) <= len(CoreTextEditor(start).lines())
    # At most two edits per operation: the whole history fits, and undoing it all gives the start.
    while e.undo():
        pass
    assert e.lines() == CoreTextEditor(start).lines()
