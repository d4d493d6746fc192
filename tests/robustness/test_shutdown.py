"""Interpreter shutdown with the module's objects still alive: sessions holding effects whose
filters hold Python callables that hold the session back, draw callbacks kept in trees, editors,
managers and threads' objects left in module globals. The process ends cleanly, with nothing on
standard error."""

from __future__ import annotations

import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))  # the pty harness, from any directory
from ptyharness import run_captured  # noqa: E402

SETUP = """
import gc, threading
import tarvo_core.rust.native as n
from tarvo_core.rust.engine import (CoreKeyBinding, CoreRenderContent as RC, CoreRenderIR as IR,
                                    CoreRenderNode as N, CoreSession, CoreTextEditor)
session = CoreSession.offscreen(20, 4)
def predicate(*args):
    return session is not None          # the filter holds the session back: a cycle
session.add_unique_effect("k", n.fade_to_fg(n.Color.RED, 10_000).with_filter(n.CellFilter.eval_cell(predicate)))
tree = N(content=RC.drawable(lambda view, area: tree))  # a callback holding its own tree
session.render(tree)
manager = n.EffectManager()
manager.add(n.dissolve(10_000).with_filter(n.CellFilter.position_fn(lambda x, y: manager)))
buf = n.Buffer.empty(n.Rect(0, 0, 10, 2))
manager.process(5, buf, buf.area)
editor, binding = CoreTextEditor("text"), CoreKeyBinding.parse("ctrl+x")
other = []
t = threading.Thread(target=lambda: other.append((CoreSession.offscreen(3, 1), CoreTextEditor("x"))))
t.start(); t.join()
"""

ENDINGS = {
    "end": "",
    "collected first": "gc.collect()",
    "exception": "raise RuntimeError('at exit')",
    "sys.exit": "import sys; sys.exit(3)",
    "closed then dropped": "session.restore(); del session; gc.collect()",
}


@pytest.mark.parametrize("ending", list(ENDINGS))
def test_shutdown_with_live_objects(ending):
    child = run_captured(SETUP + ENDINGS[ending] + "\n", timeout=60)
    status = {"exception": 1, "sys.exit": 3}.get(ending, 0)
    assert child.returncode == status, child.stderr
    if ending == "exception":
        assert child.stderr.decode().rstrip().endswith("RuntimeError: at exit")
    else:
        assert child.stderr == b""
    assert child.stdout == b""
