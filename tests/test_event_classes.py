"""The key, mouse and engine event enumerations and the KeyModifiers and KeyEventState flag sets."""

import pytest

from tarvo_core.rust import engine
from tarvo_core.rust.native import (
    CoreEvent, CoreTerminalEventKind, CoreTickEvent, KeyCode, KeyEvent, KeyEventKind, KeyEventState, KeyModifiers,
    MouseButton, MouseEvent, MouseEventKind,
)

ENUMS = [
    (KeyCode, ["Char", "Enter", "Esc", "Backspace", "Tab", "BackTab", "Up", "Down", "Left", "Right", "Home", "End",
               "PageUp", "PageDown", "Insert", "Delete", "F", "Null", "CapsLock", "ScrollLock", "NumLock",
               "PrintScreen", "Pause", "Menu", "KeypadBegin", "Media", "Modifier", "Other"]),
    (KeyEventKind, ["Press", "Repeat", "Release"]),
    (MouseEventKind, ["Down", "Up", "Drag", "Moved", "ScrollDown", "ScrollUp", "ScrollLeft", "ScrollRight"]),
    (MouseButton, ["Left", "Right", "Middle", "NoButton"]),
    (CoreTerminalEventKind, ["Key", "Resize", "Paste", "Mouse", "FocusGained", "FocusLost", "Tick"]),
]


@pytest.mark.parametrize("cls,names", ENUMS, ids=lambda v: getattr(v, "__name__", ""))
def test_enumerations(cls, names):
    own = [k for k in vars(cls) if not k.startswith("__")]
    assert own == names
    for number, name in enumerate(names):
        v = getattr(cls, name)
        assert v is getattr(cls, name)
        assert int(v) == number and v == number and not (v != number)
        assert repr(v) == f"{cls.__name__}.{name}"
    first = getattr(cls, names[0])
    with pytest.raises(TypeError):
        first < getattr(cls, names[1])
    with pytest.raises(TypeError):
        hash(first)


@pytest.mark.parametrize("cls,consts,tests", [
    (KeyModifiers, {"NONE": 0, "SHIFT": 1, "CONTROL": 2, "ALT": 4, "SUPER": 8, "HYPER": 16, "META": 32},
     {"shift": 1, "control": 2, "alt": 4, "super_": 8, "hyper": 16, "meta": 32}),
    (KeyEventState, {"NONE": 0, "KEYPAD": 1, "CAPS_LOCK": 2, "NUM_LOCK": 4},
     {"keypad": 1, "caps_lock": 2, "num_lock": 4}),
])
def test_flag_constants_and_tests(cls, consts, tests):
    for name, bits in consts.items():
        v = getattr(cls, name)
        assert v is getattr(cls, name)
        assert v.bits == bits
        assert repr(v) == f"{cls.__name__}(bits={bits})"
        for method, bit in tests.items():
            assert getattr(v, method)() is (bits == bit)


def test_key_modifiers_union_and_contains():
    both = KeyModifiers.CONTROL | KeyModifiers.SHIFT
    assert both.bits == 3 and repr(both) == "KeyModifiers(bits=3)"
    assert repr(KeyModifiers.CONTROL | KeyModifiers.ALT) == "KeyModifiers(bits=6)"
    same = KeyModifiers.SHIFT | KeyModifiers.NONE
    assert same is not KeyModifiers.SHIFT and (same == KeyModifiers.SHIFT) is False
    assert same.bits == KeyModifiers.SHIFT.bits
    assert KeyModifiers.NONE.contains(KeyModifiers.NONE)
    assert both.contains(KeyModifiers.SHIFT) and both.contains(other=KeyModifiers.CONTROL)
    assert not KeyModifiers.SHIFT.contains(KeyModifiers.SHIFT | KeyModifiers.ALT)
    with pytest.raises(TypeError):
        KeyModifiers.SHIFT | 1
    with pytest.raises(TypeError):
        1 | KeyModifiers.SHIFT
    with pytest.raises(TypeError):
        KeyEventState.KEYPAD | KeyEventState.CAPS_LOCK
    with pytest.raises(TypeError) as e:
        KeyModifiers.SHIFT.contains(3)
    assert e.value.__notes__ == ["while processing 'other'"]


@pytest.mark.parametrize("cls", [KeyEvent, MouseEvent, CoreEvent, CoreTickEvent, KeyModifiers, KeyEventState])
def test_no_constructor(cls):
    with pytest.raises(TypeError):
        cls()


def test_engine_classes_and_docs():
    assert CoreEvent is engine.CoreEvent and CoreTickEvent is engine.CoreTickEvent
    assert CoreEvent.__module__ == "tarvo_core.rust.engine"
    assert CoreEvent.kind_str.__doc__.splitlines() == [
        "Returns the event type as a string without any Python-side comparison.",
        'Values: "key", "resize", "paste", "mouse", "focus_gained", "focus_lost", "tick".',
    ]
    for text in ("press", "repeat", "release"):
        assert text in KeyEvent.keyboard_kind_str.__doc__
    for text in ("press", "release", "drag", "move", "scroll_up", "scroll_down", "scroll_left", "scroll_right"):
        assert f'"{text}"' in MouseEvent.tarvo_kind_str.__doc__
    for text in ("left", "right", "middle", "none"):
        assert f'"{text}"' in MouseEvent.tarvo_button_str.__doc__
