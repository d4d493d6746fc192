"""Module start-up: registration order, __all__, the engine module and class properties."""

import sys
import weakref

import pytest

import tarvo_core.rust.native as native

engine = native.engine

CONSTRUCTIBLE = {
    "Rect": "(x=0, y=0, width=0, height=0)",
    "Size": "(width, height)",
    "Margin": "(horizontal=0, vertical=0)",
    "Offset": "(x=0, y=0)",
    "Position": "(x, y)",
    "Wrap": "(trim=False)",
    "ListState": "()",
    "TableState": "()",
    "ScrollbarState": "(content_length)",
    "EffectManager": "()",
}


def project_version():
    """The version written in the project's metadata, the one source the module takes it from."""
    import pathlib
    import re

    text = (pathlib.Path(__file__).resolve().parent.parent / "pyproject.toml").read_text()
    return re.search(r'^version *= *"([^"]+)"', text, re.M).group(1)


def native_classes():
    return [getattr(native, n) for n in native.__all__[:-5] if isinstance(getattr(native, n), type)]


def engine_classes():
    return [getattr(engine, n) for n in engine.__all__]


def test_all_lists_every_name_in_registration_order():
    names = native.__all__
    assert len(names) == 204
    assert names[:6] == ["Rect", "Margin", "Direction", "Alignment", "Flex", "Constraint"]
    assert names[names.index("Canvas") + 1] == "BufferCell"
    assert names[-5:] == ["engine", "CoreEvent", "CoreTickEvent", "CoreTerminalEventKind", "__version__"]
    assert len(native_classes()) == 86
    functions = [n for n in names[:-5] if not isinstance(getattr(native, n), type)]
    assert len(functions) == 113
    assert names.index("color_from_hsl") == names.index("Style") + 1
    assert names[names.index("render_widget") - 1] == "BufferMutView"
    assert names[-6] == "timed_never_complete_effect"


def test_engine_module():
    assert engine.__all__ == [
        "CoreTerminalEventKind", "CoreTickEvent", "CoreEvent", "CoreRenderContent", "CoreRenderNode", "IrLine",
        "CoreRenderIR", "CoreKeyBinding", "CoreSession", "CoreTerminalRef", "CoreTextEditor",
    ]
    assert engine.__name__ == "tarvo_core.rust.engine"
    assert engine.__package__ == "tarvo_core.rust"
    lines = engine.__doc__.split("\n")
    assert len(lines) == 5 and lines[0] == "tarvo_core.rust.engine" and lines[1] == ""
    assert lines[2] == "Runtime shim for the C++-implemented engine submodule. Importing"
    assert lines[3] == ":mod:`tarvo_core.rust.native` registers the real module object on"
    assert lines[4] == "``sys.modules`` under this name."
    assert not hasattr(engine, "__file__")
    assert engine.__spec__ is None and engine.__loader__ is None
    assert sys.modules["tarvo_core.rust.engine"] is engine
    assert sys.modules["tarvo_core.rust.native"] is native


def test_reexports_and_version():
    assert native.CoreEvent is engine.CoreEvent
    assert native.CoreTickEvent is engine.CoreTickEvent
    assert native.CoreTerminalEventKind is engine.CoreTerminalEventKind
    assert native.__version__ == project_version()
    assert native.__doc__ == ""
    assert not hasattr(native, "Space") and not hasattr(native, "Overlap")


def test_class_names_and_modules():
    for cls in native_classes():
        assert cls.__module__ == "tarvo_core.rust.native", cls
        assert cls.__qualname__ == cls.__name__
    for cls in engine_classes():
        assert cls.__module__ == "tarvo_core.rust.engine", cls


@pytest.mark.parametrize("cls", native_classes() + engine_classes(), ids=lambda c: c.__name__)
def test_classes_refuse_subclassing(cls):
    if cls.__name__ == "LayoutSpacing":
        pytest.skip("the one base class")
    with pytest.raises(TypeError):
        type("Sub", (cls,), {})


def test_constructor_signatures():
    for name, sig in CONSTRUCTIBLE.items():
        cls = getattr(native, name)
        assert cls.__text_signature__ == sig, name
    assert engine.CoreTextEditor.__text_signature__ == '(text="", *, single_line=False)'
    assert engine.CoreTextEditor.__doc__ == "Stateful text editor engine backing multi-line `Text` input fields."
    assert engine.CoreRenderNode.__text_signature__.startswith("(*, x=None, y=None, width=None")


@pytest.mark.parametrize("name", ["Flex", "Color", "Block", "Style", "Buffer", "Terminal", "KeyCode"])
def test_classes_without_constructor_cannot_be_called(name):
    with pytest.raises(TypeError):
        getattr(native, name)()


def test_class_docs():
    assert native.BufferMutView.__doc__ == (
        "Mutable view onto a live buffer, valid only for the duration of a drawable callback.")
    assert native.Frame.__doc__ == "Frame context valid only for the duration of a `Terminal.draw` callback."
    assert native.CompletedFrame.__doc__ == "Snapshot of terminal state after a successful draw."
    first, second = engine.CoreKeyBinding.__doc__.split("\n")
    assert first.startswith("Parsed form of an tarvo keyboard binding string such as ")
    assert first.endswith('``"ctrl+q"``.')
    assert native.Rect.__doc__ == ""


def test_instances_are_closed():
    r = native.Rect()
    with pytest.raises(TypeError):
        weakref.ref(r)
    with pytest.raises(AttributeError):
        r.extra = 1
    with pytest.raises(AttributeError):
        r.x = 3


def test_function_signatures():
    assert native.move_cursor_up.__text_signature__ == "(count=1)"
    assert native.set_foreground_color.__text_signature__ == "(color, *, ansi_value=None, rgb=None)"
    assert native.render_widget.__doc__ == "Render any supported widget into a buffer region."
    assert native.move_cursor_to.__module__ == "tarvo_core.rust.native"


def test_a_second_execution_reuses_the_class_objects():
    import importlib.util

    saved = {k: sys.modules[k] for k in ("tarvo_core.rust.native", "tarvo_core.rust.engine")}
    try:
        module_spec = importlib.util.find_spec("tarvo_core.rust.native")
        again = importlib.util.module_from_spec(module_spec)
        module_spec.loader.exec_module(again)
        assert again is not native
        assert again.Rect is native.Rect and again.Terminal is native.Terminal
        assert again.Flex.Start is native.Flex.Start
        assert again.engine is not engine and again.engine.CoreSession is engine.CoreSession
        assert again.__all__ == native.__all__
        assert sys.modules["tarvo_core.rust.engine"] is again.engine
    finally:
        sys.modules.update(saved)


def test_a_preset_all_must_be_a_list():
    import importlib.util

    saved = {k: sys.modules[k] for k in ("tarvo_core.rust.native", "tarvo_core.rust.engine")}
    try:
        module_spec = importlib.util.find_spec("tarvo_core.rust.native")
        fresh = importlib.util.module_from_spec(module_spec)
        fresh.__all__ = ("x",)
        with pytest.raises(TypeError, match="'tuple' object is not an instance of 'list'"):
            module_spec.loader.exec_module(fresh)
        extended = importlib.util.module_from_spec(module_spec)
        extended.__all__ = ["mine"]
        module_spec.loader.exec_module(extended)
        assert extended.__all__[0] == "mine" and len(extended.__all__) == 205
    finally:
        sys.modules.update(saved)
