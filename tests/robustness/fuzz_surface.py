"""The module's public surface as data for the robustness tests.

- `TARGETS`: every constructor, static method, function and instance method of the native module
  (and of the engine module) that does not touch the real terminal or wait for input, found from
  `__all__` and the class dictionaries, so that new classes are covered as soon as they exist.
- `POOL`: valid instances of each class, each with a recipe that makes a fresh one, found by
  calling the builders with plausible arguments.
- Hostile values: numbers at and past every integer limit, NaN and infinities, strings with lone
  surrogates, control characters and wide graphemes, objects whose `__index__`, `__str__` or
  `__eq__` raise, lists that are emptied while they are being converted, sequences that lie about
  their length, widget look-alikes whose hooks raise or return themselves, and objects that call
  back into the receiver of the call being made.
"""

from __future__ import annotations

import collections.abc
import inspect
import math
import os
import random
import re
import time
from dataclasses import dataclass, field
from typing import Any, Callable

import tarvo_core.rust.native as native

engine = native.engine

DISALLOW_INSTANTIATION = 1 << 7

# Running under AddressSanitizer (scripts/sanitize.sh --python): allocator statistics and the
# resident size mean nothing there, and the address space must not be limited.
SANITIZED = "asan" in os.environ.get("LD_PRELOAD", "") or "ASAN_OPTIONS" in os.environ

# Engine classes that drive the real terminal.
ENGINE_SKIPPED = {"CoreTerminalRef"}

# Sessions are made offscreen only, and only the methods that stay inside the session are called:
# the others start a live terminal, write mode sequences to standard output or wait for input.
SESSION_STATICS = {"offscreen", "supports_live_terminal"}
SESSION_METHODS = {"is_buffer_backed", "is_inline", "get_inline_height", "render", "buffer_snapshot",
                   "get_size", "get_viewport_area", "get_last_frame_area", "effect_area_for",
                   "add_effect", "add_unique_effect", "cancel_effect", "is_animating", "restore",
                   "get_terminal", "get_title", "get_cursor_style", "is_raw_mode_enabled",
                   "is_mouse_capture_enabled", "is_bracketed_paste_enabled", "is_focus_change_enabled",
                   "is_alternate_screen_enabled", "is_cursor_visible"}


def _callable_member(cls: type, name: str, kind: str) -> bool:
    if cls.__name__ == "CoreSession":
        return name in (SESSION_STATICS if kind == "static" else SESSION_METHODS)
    return True


def skipped_native_names() -> set[str]:
    """The terminal, event, cursor, terminal-mode, input-mode and console groups (everything
    registered after render_stateful_widget and before the effects), which write to or wait on
    the real terminal, and the module's non-callable entries."""
    names = list(native.__all__)
    start = names.index("render_stateful_widget") + 1
    end = names.index("Effect") if "Effect" in names else len(names)
    return set(names[start:end]) | {"poll_event", "read_event", "engine", "__version__"}


def is_panic(exc: BaseException) -> bool:
    t = type(exc)
    return t.__name__ == "PanicException" and t.__module__ == "tarvo_core.rust.native"


# ---------------------------------------------------------------------------------------------
# discovery


def _classes() -> list[type]:
    skipped = skipped_native_names()
    found: list[type] = []
    for name in native.__all__:
        obj = getattr(native, name)
        if name not in skipped and isinstance(obj, type) and obj not in found:
            found.append(obj)
    for name in engine.__all__:
        obj = getattr(engine, name)
        if name not in ENGINE_SKIPPED and isinstance(obj, type) and obj not in found:
            found.append(obj)
    # Variant classes reached as class attributes (LayoutSpacing.Space, ...).
    for cls in list(found):
        for value in vars(cls).values():
            if isinstance(value, type) and value not in found and value.__module__ == cls.__module__:
                found.append(value)
    return found


def _functions() -> list[Callable]:
    skipped = skipped_native_names()
    return [getattr(native, n) for n in native.__all__
            if n not in skipped and callable(getattr(native, n))
            and not isinstance(getattr(native, n), type)]


CLASSES: list[type] = _classes()
CLASS_SET = set(CLASSES)
FUNCTIONS: list[Callable] = _functions()


def is_native(obj: Any) -> bool:
    return type(obj) in CLASS_SET


def signature_of(fn: Any) -> tuple[list[str], int] | None:
    """(parameter names, number of required positional ones) from a callable's text signature;
    None when it has none."""
    try:
        sig = inspect.signature(fn)
    except (TypeError, ValueError):
        return None
    names, required = [], 0
    for p in sig.parameters.values():
        if p.kind in (p.VAR_POSITIONAL, p.VAR_KEYWORD):
            continue
        names.append(p.name)
        if p.default is p.empty and p.kind in (p.POSITIONAL_ONLY, p.POSITIONAL_OR_KEYWORD):
            required += 1
    return names, required


@dataclass
class Target:
    kind: str  # "function", "static", "constructor", "method"
    owner: type | None
    name: str
    fn: Any  # the callable; for methods the unbound method descriptor
    params: list[str] = field(default_factory=list)
    required: int = 0

    @property
    def id(self) -> str:
        return f"{self.owner.__name__}.{self.name}" if self.owner else self.name


def _targets() -> list[Target]:
    out: list[Target] = []
    for fn in FUNCTIONS:
        sig = signature_of(fn) or ([], 0)
        out.append(Target("function", None, fn.__name__, fn, *sig))
    for cls in CLASSES:
        if not cls.__flags__ & DISALLOW_INSTANTIATION:
            sig = signature_of(cls) or ([], 0)
            out.append(Target("constructor", cls, "__call__", cls, *sig))
        for name, value in vars(cls).items():
            if isinstance(value, staticmethod):
                if not _callable_member(cls, name, "static"):
                    continue
                sig = signature_of(value.__func__) or ([], 0)
                out.append(Target("static", cls, name, getattr(cls, name), *sig))
            elif type(value).__name__ == "method_descriptor":
                if not _callable_member(cls, name, "method"):
                    continue
                sig = signature_of(value) or ([], 0)
                if sig[0][:1] == ["self"]:
                    sig = (sig[0][1:], max(0, sig[1] - 1))
                out.append(Target("method", cls, name, value, *sig))
    return out


TARGETS: list[Target] = _targets()

# Under AddressSanitizer an allocation the machine cannot give aborts the process (operator new
# may not return null there) instead of raising MemoryError: buffers of billions of cells are
# refused before they reach the module.
SANITIZED_CELL_LIMIT = 1 << 24


def _cells(value: Any) -> int:
    try:
        return int(getattr(value, "width")) * int(getattr(value, "height"))
    except Exception:
        return 0


def _guard_offscreen(fn):
    def offscreen(*args, **kwargs):
        try:
            w, h = (list(args) + [kwargs.get("width"), kwargs.get("height")])[:2]
            huge = int(w) * int(h) > SANITIZED_CELL_LIMIT
        except Exception:
            huge = False
        if huge:
            raise MemoryError("refused under AddressSanitizer")
        return fn(*args, **kwargs)
    return offscreen


def _guard_area(fn):
    def with_area(*args, **kwargs):
        if any(_cells(v) > SANITIZED_CELL_LIMIT for v in list(args) + list(kwargs.values())):
            raise MemoryError("refused under AddressSanitizer")
        return fn(*args, **kwargs)
    return with_area


if SANITIZED:
    for _t in TARGETS:
        if _t.id == "CoreSession.offscreen":
            _t.fn = _guard_offscreen(_t.fn)
        elif _t.owner is not None and _t.owner.__name__ in ("Buffer", "CoreSession") or _t.id.startswith("render"):
            _t.fn = _guard_area(_t.fn)


def getters_of(cls: type) -> list[str]:
    return [n for n, v in vars(cls).items() if type(v).__name__ == "getset_descriptor"
            and not n.startswith("__")]


# ---------------------------------------------------------------------------------------------
# hostile values


class Boom(Exception):
    """Raised by the hostile objects' hooks."""


class RaisingIndex:
    def __index__(self):
        raise Boom("__index__")

    def __int__(self):
        raise Boom("__int__")

    def __float__(self):
        raise Boom("__float__")

    def __bool__(self):
        raise Boom("__bool__")


class RaisingStr:
    def __str__(self):
        raise Boom("__str__")

    def __repr__(self):
        raise Boom("__repr__")

    def __format__(self, spec):
        raise Boom("__format__")


class RaisingEq:
    def __eq__(self, other):
        raise Boom("__eq__")

    def __ne__(self, other):
        raise Boom("__ne__")

    def __hash__(self):
        raise Boom("__hash__")

    def __len__(self):
        raise Boom("__len__")

    def __iter__(self):
        raise Boom("__iter__")


class HugeIndex:
    def __index__(self):
        return 2**80


class NegativeIndex:
    def __index__(self):
        return -1


class WrongIndex:
    def __index__(self):
        return 1.5  # not an int: the interpreter refuses it


class IntRaisingIndex(int):
    def __index__(self):
        raise Boom("int subclass __index__")


class StrRaisingStr(str):
    def __str__(self):
        raise Boom("str subclass __str__")

    def __len__(self):
        raise Boom("str subclass __len__")


class FloatRaisingFloat(float):
    def __float__(self):
        raise Boom("float subclass __float__")


class PlainList(list):
    """A list subclass: accepted wherever a list is."""


class Clearer:
    """Empties `target` (dropping the last references to its items) when converted."""

    def __init__(self, target: list, value: Any = 1):
        self.target, self.value = target, value

    def _clear(self):
        self.target.clear()
        return self.value

    def __index__(self):
        return self._clear()

    def __int__(self):
        return self._clear()

    def __float__(self):
        return float(self._clear())

    def __bool__(self):
        self._clear()
        return True

    def __len__(self):
        self._clear()
        return 2

    def __getitem__(self, i):
        self._clear()
        if i >= 2:
            raise IndexError(i)
        return 1


class LyingList(list):
    """Claims more items than it has, and empties itself when read through the protocols."""

    def __len__(self):
        return list.__len__(self) + 3

    def __iter__(self):
        items = list(list.__iter__(self))
        self.clear()
        return iter(items)

    def __getitem__(self, i):
        self.clear()
        raise IndexError(i)


class LyingSequence(collections.abc.Sequence):
    """A Sequence whose length is a lie, or whose item access fails part-way."""

    def __init__(self, items: list, extra: int = 0, fail_at: int | None = None):
        self.items, self.extra, self.fail_at = items, extra, fail_at

    def __len__(self):
        return len(self.items) + self.extra

    def __getitem__(self, i):
        if isinstance(i, slice):
            return self.items[i]
        if self.fail_at is not None and i == self.fail_at:
            raise Boom("sequence item")
        return self.items[i]


class WidgetHooks:
    """A widget look-alike for the render dispatch: `_to_core`, `_inner` and `render` that
    raise, return themselves or return junk."""

    def __init__(self, mode: int):
        self.mode = mode

    def _to_core(self):
        if self.mode == 0:
            raise Boom("_to_core")
        if self.mode == 1:
            return self
        return 42

    @property
    def _inner(self):
        if self.mode == 3:
            raise Boom("_inner")
        return self

    def render(self, area):
        if self.mode == 4:
            raise Boom("render")
        if self.mode == 5:
            return self
        if self.mode == 6:
            return [self, None, 1]
        return None


class Reentrant:
    """Calls back into `victim` (the receiver of the call under test) from every hook the
    module may invoke while converting arguments or drawing, then answers plausibly."""

    def __init__(self, victim: Any, seed: int):
        self.victim, self.rng = victim, random.Random(seed)

    def _poke(self):
        victim = self.victim
        if victim is None:
            return
        try:
            repr(victim)
        except Exception:
            pass
        methods = [n for n, v in vars(type(victim)).items()
                   if type(v).__name__ == "method_descriptor"]
        for _ in range(2):
            if not methods:
                break
            name = self.rng.choice(methods)
            try:
                getattr(victim, name)(*plausible_args(self.rng, 2))
            except Exception:
                pass

    def __index__(self):
        self._poke()
        return 1

    def __float__(self):
        self._poke()
        return 0.5

    def __bool__(self):
        self._poke()
        return True

    def __len__(self):
        self._poke()
        return 1

    def __getitem__(self, i):
        self._poke()
        if i:
            raise IndexError(i)
        return 1

    def _to_core(self):
        self._poke()
        raise Boom("reentrant _to_core")

    def render(self, area):
        self._poke()
        return None


SPECIAL_INTS = [0, 1, -1, 2, 7, 255, 256, -128, 32767, 32768, -32768, -32769, 65535, 65536, -65536,
                2**31 - 1, 2**31, -2**31, -2**31 - 1, 2**32 - 1, 2**32, 2**53 + 1, 2**63 - 1, 2**63,
                -2**63, -2**63 - 1, 2**64 - 1, 2**64, -2**64, 2**100, -2**100, 10**30]
SPECIAL_FLOATS = [math.nan, -math.nan, math.inf, -math.inf, 0.0, -0.0, 0.5, -0.5, 1.0, 100.0,
                  1e-300, 5e-324, 1e308, -1e308, 2.0**64, 65535.5, 4294967296.0]
SPECIAL_STRINGS = ["", " ", "a", "ab\ncd", "\n", "\r\n", "\t", "\x00", "\x1b[31mred\x1b[0m", "\x7f",
                   "\u0301", "e\u0301", "日本語", "👩\u200d🔬", "🇯🇵", "\u200b", "\ufeff", "\ud800",
                   "a\udfffb", "\U0010ffff", "x" * 5000, "日" * 3000, "\u0300" * 100, "#ff0000",
                   "#FF00zz", "red", "Red", "light-red", "rgb(1,2,3)", "255", "-1", "nan", "true",
                   "ctrl+q", "\u2028", "\x85", "\uffff", " " * 300, "a\x00b", "Top", "None"]


def _numpy_values() -> list:
    try:
        import numpy as np
    except ImportError:
        return []
    return [np.bool_(True), np.bool_(False), np.int64(-1), np.uint64(2**64 - 1), np.int32(7),
            np.float32("nan"), np.float64(math.inf), np.array([1, 2]), np.array([]),
            np.array([[1, 2], [3, 4]])]


NUMPY_VALUES = _numpy_values()

OPAQUE = [object(), b"bytes", bytearray(b"ab"), memoryview(b"xy"), (), {}, set(), 1j, range(3),
          range(2**70), Ellipsis, NotImplemented, type, native, print, slice(1, 2), frozenset([1])]
if SANITIZED:
    # A sequence of 2**70 items is converted until memory runs out: a MemoryError under the
    # address-space ceiling of the plain run, but under AddressSanitizer (no ceiling) it would
    # take the machine's memory first.
    OPAQUE = [v for v in OPAQUE if not (isinstance(v, range) and v.stop > 2**40)]


# ---------------------------------------------------------------------------------------------
# the pool of valid instances


@dataclass
class Sample:
    cls: type
    make: Callable[[], Any]  # returns a fresh instance (or the class constant itself)
    text: str


POOL: dict[type, list[Sample]] = {}
_POOL_TEXTS: set[str] = set()
POOL_CAP = 8


def pool_objects() -> list:
    return [s.make() for samples in POOL.values() for s in samples]


def _remember(cls: type, make: Callable[[], Any], obj: Any) -> None:
    samples = POOL.setdefault(cls, [])
    if len(samples) >= POOL_CAP:
        return
    try:
        text = f"{cls.__name__}:{obj!r}"
    except Exception:
        text = f"{cls.__name__}:#{len(samples)}"
    if text in _POOL_TEXTS:
        return
    _POOL_TEXTS.add(text)
    samples.append(Sample(cls, make, text))


def _collect(result: Any, make: Callable[[], Any]) -> None:
    if is_native(result):
        _remember(type(result), make, result)
    elif isinstance(result, (list, tuple)):
        for i, item in enumerate(result[:4]):
            if is_native(item):
                _remember(type(item), lambda make=make, i=i: make()[i], item)


def _random_sample(rng: random.Random, cls: type | None = None):
    """A fresh instance from the pool (of `cls`, or of any class); None when there is none."""
    if cls is None:
        classes = [c for c, samples in POOL.items() if samples]
        if not classes:
            return None
        cls = rng.choice(classes)
    samples = POOL.get(cls)
    return rng.choice(samples).make() if samples else None


# Generators of plausible arguments: each takes a Random and returns a value.

def _gen_int(rng):
    return rng.randint(0, 12)


def _gen_str(rng):
    return rng.choice(["ab", "hello world", "x", "#00ff00", "red", "", "a\nb", "ctrl+q"])


def _gen_float(rng):
    return rng.choice([0.5, 0.0, 1.0, 3.0])


def _gen_bool(rng):
    return rng.random() < 0.5


def _gen_none(rng):
    return None


def _gen_str_list(rng):
    return ["ab", "cd", "e"][: rng.randint(1, 3)]


def _gen_int_list(rng):
    return [rng.randint(0, 9) for _ in range(rng.randint(1, 4))]


def _gen_point_list(rng):
    return [(float(i), float(rng.randint(0, 9))) for i in range(rng.randint(1, 3))]


def _gen_pair_list(rng):
    return [(rng.randint(0, 3), rng.randint(1, 4)) for _ in range(rng.randint(1, 3))]


def _gen_float_pair(rng):
    return (0.0, float(rng.randint(1, 10)))


_SIMPLE_GENS = [_gen_int, _gen_str, _gen_float, _gen_bool, _gen_none, _gen_str_list, _gen_int_list,
                _gen_point_list, _gen_pair_list, _gen_float_pair]


def _gen_instance_of(cls):
    def gen(rng):
        return _random_sample(rng, cls)
    return gen


def _gen_list_of(cls):
    def gen(rng):
        return [_random_sample(rng, cls) for _ in range(rng.randint(1, 3))]
    return gen


# What the pool search learnt: argument lists that calls accepted, generators that worked for a
# parameter name, and the class a parameter asked for in a wrong-class error.
GOOD_ARGS: dict[str, list[list]] = {}
GOOD_ARGS_CAP = 6
PARAM_GENS: dict = {}  # (target id, parameter) or parameter -> generators
PARAM_CLASS: dict = {}  # (target id, parameter) or parameter -> class or kind name
_CLASS_BY_NAME = {c.__name__: c for c in CLASSES}
_NOTE = re.compile(r"while processing '(\w+)'")
_SEQUENCE_OF = re.compile(r"sequence of (\w+)")


_KIND_GENS = {"int": [_gen_int], "float": [_gen_float, _gen_int], "str": [_gen_str],
              "bool": [_gen_bool], "tuple": [_gen_float_pair, _gen_pair_list],
              "list": [_gen_str_list, _gen_int_list, _gen_point_list, _gen_pair_list],
              "Sequence": [_gen_int_list, _gen_point_list, _gen_float_pair, _gen_pair_list]}


ITEM_CLASS: dict[str, str] = {}  # target id -> class named by an element error


def _item_class(key: tuple[str, str]) -> type | None:
    """The class a list parameter probably holds: named by an element error of the target, or
    by the parameter's name (`bars` -> Bar, `groups` -> BarGroup)."""
    name = ITEM_CLASS.get(key[0])
    cls = _CLASS_BY_NAME.get(name) if name else None
    if cls is None:
        singular = key[1][:-1].lower() if key[1].endswith("s") else key[1].lower()
        matches = [c for c in POOL if POOL[c] and c.__name__.lower().endswith(singular)]
        cls = min(matches, key=lambda c: len(c.__name__)) if matches else None
    return cls if cls is not None and POOL.get(cls) else None


def _pick_gen(rng: random.Random, key: tuple[str, str] | None):
    """A generator for the parameter `key` = (target id, parameter name): one that worked for it
    (or for that name elsewhere), one for the kind its errors asked for, or any."""
    if key is not None:
        learnt = PARAM_GENS.get(key) or PARAM_GENS.get(key[1])
        if learnt and rng.random() < 0.6:
            return rng.choice(learnt)
        wanted = PARAM_CLASS.get(key) or PARAM_CLASS.get(key[1])
        if wanted and rng.random() < 0.8:
            cls = _CLASS_BY_NAME.get(wanted)
            if cls is not None and POOL.get(cls):
                return _gen_instance_of(cls)
            if wanted in ("list", "Sequence"):
                item_cls = _item_class(key)
                if item_cls is not None and rng.random() < 0.7:
                    return _gen_list_of(item_cls)
                classes = [c for c, samples in POOL.items() if samples]
                if classes and rng.random() < 0.6:
                    return _gen_list_of(rng.choice(classes))
            if wanted in _KIND_GENS:
                return rng.choice(_KIND_GENS[wanted])
    classes = [c for c, samples in POOL.items() if samples]
    pick = rng.random()
    if classes and pick < 0.45:
        return _gen_instance_of(rng.choice(classes))
    if classes and pick < 0.6:
        return _gen_list_of(rng.choice(classes))
    return rng.choice(_SIMPLE_GENS)


def plausible_value(rng: random.Random, key: tuple[str, str] | None = None):
    """An argument that a builder may well accept: small numbers, short strings, pool instances
    and lists of them; for a known parameter, what it accepted before."""
    return _pick_gen(rng, key)(rng)


def plausible_args(rng: random.Random, count: int) -> list:
    return [plausible_value(rng) for _ in range(count)]


_WANTS = [(re.compile(r"is not an instance of '(\w+)'"), None),
          (re.compile(r"cannot be interpreted as an integer"), "int"),
          (re.compile(r"must be real number|a float is required"), "float")]


def _learn_from_error(target: Target, exc: BaseException) -> None:
    """Wrong-kind errors name the parameter in a note and the kind in the message."""
    text = str(exc)
    m = _SEQUENCE_OF.search(text)
    if m and m.group(1) in _CLASS_BY_NAME:
        ITEM_CLASS.setdefault(target.id, m.group(1))
    for note in getattr(exc, "__notes__", None) or []:
        n = _NOTE.search(str(note))
        if not n:
            continue
        for pattern, kind in _WANTS:
            m = pattern.search(text)
            if m:
                kind = kind or m.group(1)
                PARAM_CLASS.setdefault((target.id, n.group(1)), kind)
                PARAM_CLASS.setdefault(n.group(1), kind)
                return


def _attempt(target: Target, rng: random.Random, receiver_sample: Sample | None = None) -> None:
    count = rng.randint(target.required, max(target.required, len(target.params)))
    names = target.params[:count] + [None] * (count - len(target.params[:count]))
    gens = [_pick_gen(rng, (target.id, name) if name else None) for name in names]
    args = [g(rng) for g in gens]
    if receiver_sample is not None:
        def call(args=args):
            return target.fn(receiver_sample.make(), *args)
    else:
        def call(args=args):
            return target.fn(*args)
    try:
        result = call()
    except BaseException as exc:
        _learn_from_error(target, exc)
        return
    good = GOOD_ARGS.setdefault(target.id, [])
    if len(good) < GOOD_ARGS_CAP:
        good.append(args)
    for name, gen in zip(names, gens):
        if name is not None:
            for key in ((target.id, name), name):
                learnt = PARAM_GENS.setdefault(key, [])
                if gen not in learnt and len(learnt) < 12:
                    learnt.append(gen)
    _collect(result, call)


# Argument lists the random search rarely finds (lists of engine nodes, IR lines, spans given as
# 4-tuples, ...): each recipe makes fresh arguments; a recipe whose call fails (its class not built
# yet, say) is left out.
def _seed_recipes() -> dict[str, list[Callable[[], list]]]:
    n, e = native, engine
    N, RC, IR = e.CoreRenderNode, e.CoreRenderContent, e.CoreRenderIR

    def leaf(text="ab", **kw):
        return N(content=RC.ir(IR.text_raw(text)), **kw)

    def drawn(view, area):
        view.set_string(area.x, area.y, "cb", n.Style.default())

    def tree():
        return N.column([leaf("top", effect_key="top"),
                         N.row([leaf("l"), N(content=RC.drawable(drawn)),
                                N(content=RC.widget(n.Paragraph.new("para graph")))],
                               constraints=[n.Constraint.length(3), n.Constraint.fill(1), n.Constraint.min(2)]),
                         N.stack(1, 0, 4, 2, [leaf("over", z=2)])],
                        constraints=[n.Constraint.length(1)] * 3, gap=0)

    L = n.Constraint.length
    return {
        "CoreRenderNode.row": [lambda: [[leaf(), leaf("cd")]], lambda: [[tree(), leaf()], None, 1]],
        "CoreRenderNode.column": [lambda: [[leaf(), tree()]], lambda: [[leaf()] * 3, [L(1)] * 3]],
        "CoreRenderNode.stack": [lambda: [0, 0, 6, 3, [leaf(), tree()]], lambda: [2, 1, 3, 1, [leaf(z=-1)]]],
        "CoreRenderNode.__call__": [lambda: [], lambda: []],
        "CoreRenderContent.drawable": [lambda: [drawn]],
        "CoreRenderContent.widget": [lambda: [n.Paragraph.new("w")]],
        "IrLine.from_spans": [lambda: [[("ab", None, None, []), ("cd", n.Color.RED, n.Color.BLUE, [n.Modifier.BOLD])]]],
        "CoreRenderIR.text_lines": [lambda: [[e.IrLine.raw("a"), e.IrLine.styled("b", n.Color.RED)]]],
        "CoreRenderIR.glyph_overlay": [lambda: [[e.IrLine.raw("ab"), e.IrLine.raw("日本")]]],
        "CoreRenderIR.paragraph_lines": [lambda: [[e.IrLine.raw("a b c d"), e.IrLine.raw("")]]],
        "CoreRenderIR.list": [lambda: [[e.IrLine.raw("a"), e.IrLine.raw("b")], 1]],
        "CoreSession.offscreen": [lambda: [12, 5], lambda: [1, 1], lambda: [40, 10]],
        "CoreSession.render": [lambda: [tree()], lambda: [leaf()]],
        "CoreKeyBinding.parse": [lambda: ["ctrl+shift+f5"], lambda: ["alt+x"], lambda: ["enter"]],
        "CoreTextEditor.__call__": [lambda: ["one\ntwo 日本"], lambda: ["line"]],
        "RatTable.new": [lambda: [[n.Row.new(["a", "b"])], [L(2), L(3)]]],
        "Sparkline.from_bars": [lambda: [[n.SparklineBar(), n.SparklineBar()]]],
        "tailwind_color": [lambda: ["red", 500], lambda: ["slate", 50]],
        "render_stateful_widget": [lambda: [n.RatList.new(["a", "b"]), n.Rect(0, 0, 3, 2), n.ListState(),
                                            n.Buffer.empty(n.Rect(0, 0, 3, 2))]],
    }


def _seed() -> None:
    targets = {t.id: t for t in TARGETS}
    for target_id, recipes in _seed_recipes().items():
        t = targets.get(target_id)
        if t is None or t.kind == "method":
            continue
        for recipe in recipes:
            try:
                args = recipe()
                result = t.fn(*args)
            except BaseException:
                continue
            good = GOOD_ARGS.setdefault(t.id, [])
            if len(good) < GOOD_ARGS_CAP:
                good.append(args)
            _collect(result, lambda t=t, recipe=recipe: t.fn(*recipe()))


def _seed_methods() -> None:
    """Method recipes, once their receivers are in the pool."""
    targets = {t.id: t for t in TARGETS}
    for target_id, recipes in _seed_recipes().items():
        t = targets.get(target_id)
        if t is None or t.kind != "method" or not POOL.get(t.owner):
            continue
        for recipe in recipes:
            try:
                args = recipe()
                t.fn(POOL[t.owner][0].make(), *args)
            except BaseException:
                continue
            good = GOOD_ARGS.setdefault(t.id, [])
            if len(good) < GOOD_ARGS_CAP:
                good.append(args)


def build_pool(seed: int = 1234, rounds: int = 5, tries: int = 40) -> None:
    _seed()
    for cls in CLASSES:
        for name, value in vars(cls).items():
            if is_native(value):
                _remember(type(value), lambda cls=cls, name=name: getattr(cls, name), value)
    rng = random.Random(seed)
    factories = [t for t in TARGETS if t.kind in ("constructor", "static", "function")]
    methods = [t for t in TARGETS if t.kind == "method"]
    for _ in range(rounds):
        for t in factories:
            for _ in range(tries):
                _attempt(t, rng)
        for t in methods:
            samples = list(POOL.get(t.owner, []))
            for _ in range(tries if samples else 0):
                _attempt(t, rng, rng.choice(samples))
        for cls, samples in list(POOL.items()):
            for sample in list(samples):
                for g in getters_of(cls):
                    try:
                        value = getattr(sample.make(), g)
                    except BaseException:
                        continue
                    _collect(value, lambda sample=sample, g=g: getattr(sample.make(), g))


# Instances built from integers at the edges of the 16-bit range (rectangles at the far corner,
# huge margins and sizes): shared, and only those that are quick to make.
EXTREMES: list = []
EDGE_INTS = [0, 1, 255, 32767, 32768, 65534, 65535]


def build_extremes(seed: int = 99, tries: int = 8, per_class: int = 4) -> None:
    rng = random.Random(seed)
    counts: dict[type, int] = {}
    for t in TARGETS:
        if t.kind not in ("constructor", "static") or not t.params:
            continue
        if t.owner is not None and t.owner.__name__ == "CoreSession":
            continue  # a session of 65535x65535 cells is a memory error, not an edge case
        for _ in range(tries):
            args = [rng.choice(EDGE_INTS) for _ in t.params]
            start = time.perf_counter()
            try:
                result = t.fn(*args)
            except BaseException:
                continue
            cls = type(result)
            if (is_native(result) and time.perf_counter() - start < 0.005
                    and counts.get(cls, 0) < per_class):
                counts[cls] = counts.get(cls, 0) + 1
                EXTREMES.append(result)


build_pool()
_seed_methods()
build_extremes()
