"""The event value classes, which only a terminal makes: a child on a pseudo-terminal reads the
events of the decoder's fuzz corpus and of seeded random input, and calls every method and
getter of every event, key, mouse event and tick with arbitrary arguments, feeds the keys to a
text editor and to key bindings, and sets, deletes and compares attributes. Only ordinary
exceptions come out, nothing fails, and every event stays printable."""

from __future__ import annotations

import random
import sys
from pathlib import Path

import pytest

pytest.importorskip("pyte")
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))  # the pty harness, from any directory
from ptyharness import PtyChild  # noqa: E402

CORPUS = Path(__file__).resolve().parent.parent / "fuzz" / "corpus" / "decoder"

CHILD = r"""
import gc, sys
import tarvo_core.rust.native as n
from tarvo_core.rust.engine import CoreKeyBinding, CoreTextEditor

ARGS = [None, 0, -1, 2**64, 1.5, float("nan"), "a", "", "\ud800", "日", b"x", [], (), object(), n.KeyCode.Char,
        n.KeyModifiers.CONTROL]
bindings = [CoreKeyBinding.parse(b) for b in ("ctrl+c", "a", "shift+tab", "alt+enter", "f5", "ctrl+shift+left")]
editors = [CoreTextEditor(), CoreTextEditor("one\ntwo", single_line=True)]
bad = []
counts = {}


def poke(obj, depth=0):
    counts[type(obj).__name__] = counts.get(type(obj).__name__, 0) + 1
    for name in dir(type(obj)):
        if name.startswith("__"):
            continue
        try:
            attr = getattr(obj, name)
        except Exception:
            continue
        except BaseException as e:
            bad.append([type(obj).__name__, name, repr(e)])
            continue
        calls = [()] + [(a,) for a in ARGS] + [(a, a) for a in ARGS[:3]] if callable(attr) else []
        for args in calls:
            try:
                result = attr(*args)
                repr(result)
            except Exception:
                pass
            except BaseException as e:
                bad.append([type(obj).__name__, name, repr(args), repr(e)])
        if not callable(attr) and depth < 2 and type(attr).__module__.startswith("tarvo_core"):
            poke(attr, depth + 1)
        for value in (None, 1, attr):
            try:
                setattr(obj, name, value)
            except Exception:
                pass
        try:
            delattr(obj, name)
        except Exception:
            pass
    for op in (lambda: obj == obj, lambda: obj != 3, lambda: hash(obj), lambda: bool(obj), lambda: str(obj),
               lambda: obj < obj, lambda: obj | obj, lambda: [*obj], lambda: obj[0]):
        try:
            op()
        except Exception:
            pass
        except BaseException as e:
            bad.append([type(obj).__name__, "operator", repr(e)])
    repr(obj)


n.enable_raw_mode()
report("ready")
events = 0
while True:
    e = n.read_event()
    if e.paste == "END":
        break
    events += 1
    poke(e)
    key = e.key
    if key is not None:
        for ed in editors:
            ed.input(key)
        for b in bindings:
            b.matches(key)
    if events % 50 == 0:
        gc.collect()
n.disable_raw_mode()
report([events, bad, sorted(counts), [ed.lines()[:2] for ed in editors]])
"""


def inputs() -> list[bytes]:
    """The decoder corpus (its first byte is the fuzz case's mode byte) and seeded random input
    made of escape fragments, text and control bytes."""
    out = [p.read_bytes()[1:] for p in sorted(CORPUS.iterdir())]
    rng = random.Random(20)
    pieces = [b"\x1b[", b"\x1b[<", b"M", b"~", b";", b"1", b"5", b"u", b"A", b"\x1b", b"a", b"\xe6\x97\xa5", b"\r",
              b"\x7f", b"\x1bO", b"\x1b[200~", b"\x1b[201~", b"\x1b[I", b"\x1b[O", b"\x1b[M !!", b"\x03", b"\t"]
    for _ in range(40):
        out.append(b"".join(rng.choice(pieces) for _ in range(rng.randint(1, 30))))
    return out


def test_every_event_value_with_arbitrary_arguments():
    with PtyChild(CHILD, cols=60, rows=10, timeout=60) as c:
        assert c.wait_report() == "ready"
        for chunk in inputs():
            # A lone trailing escape waits for more bytes: each chunk ends on a plain key.
            c.send(chunk + b"z")
        c.send(b"\x1b[200~END\x1b[201~")
        events, bad, kinds, lines = c.wait_report()
        c.check()
    assert bad == []
    assert events > 200
    assert {"CoreEvent", "KeyEvent", "MouseEvent"} <= set(kinds), kinds
    assert all(isinstance(x, list) for x in lines)
