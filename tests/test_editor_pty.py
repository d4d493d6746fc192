"""Real key events from a pseudo-terminal fed into CoreTextEditor.input and CoreKeyBinding.matches."""

import pytest

from tarvo_core.rust import native

pytest.importorskip("pyte")
from ptyharness import PtyChild  # noqa: E402

try:
    native.poll_event(0)
    HAS_INPUT = True
except NotImplementedError:
    HAS_INPUT = False
except Exception:  # no terminal here: the function exists
    HAS_INPUT = True

pytestmark = pytest.mark.skipif(not HAS_INPUT, reason="terminal input is not built yet")

BINDINGS = ["ctrl+w", "ctrl+a", "enter", "shift+right", "left", "h", "H", "ctrl+shift+left", "alt+b", "tab"]

# Each key event goes to a multi-line and a single-line editor and to every binding; the child
# reports, per key, both results and the bindings that matched, and at the end both texts.
CHILD = f"""
import tarvo_core.rust.native as n
from tarvo_core.rust.engine import CoreKeyBinding, CoreTextEditor
bindings = [(b, CoreKeyBinding.parse(b)) for b in {BINDINGS!r}]
multi, single = CoreTextEditor(), CoreTextEditor(single_line=True)
n.enable_raw_mode()
report("ready")
steps = []
while True:
    e = n.read_event()
    if e.paste == "END":
        break
    k = e.key
    steps.append([repr(k), multi.input(k), single.input(k), [b for b, kb in bindings if kb.matches(event=k)],
                  list(multi.cursor())])
n.disable_raw_mode()
report([steps, multi.lines(), single.lines(), repr(multi)])
"""

# (bytes typed, [(multi result, single result, matching bindings, multi cursor after)])
KEYS = [
    (b"hi", [(True, True, ["h", "H"], [0, 1]), (True, True, [], [0, 2])]),  # "H" is the key h
    (b"H", [(True, True, [], [0, 3])]),                       # Char('H') with SHIFT: inserted, no match
    (b" world", [(True, True, [], [0, 4 + i]) for i in range(6)]),
    (b"\x17", [(True, True, ["ctrl+w"], [0, 4])]),            # Ctrl+W: the word before goes to the yank
    (b"\x19", [(True, True, [], [0, 9])]),                    # Ctrl+Y: pasted back
    (b"\x1b[D", [(False, False, ["left"], [0, 8])]),
    (b"\x1bb", [(False, False, ["alt+b"], [0, 4])]),          # Alt+B: back one word
    (b"\x01", [(False, False, ["ctrl+a"], [0, 0])]),
    (b"\t", [(False, False, ["tab"], [0, 0])]),               # Tab falls through
    (b"\r", [(True, False, ["enter"], [1, 0])]),              # Enter: refused when single-line
    (b"\x1b[1;2C", [(False, False, ["shift+right"], [1, 1])]),  # Shift+Right starts a selection
    (b"\x18", [(True, True, [], [1, 0])]),                    # Ctrl+X cuts it
    (b"\x15", [(True, True, [], [1, 1])]),                    # Ctrl+U undoes the cut
    (b"\x1b[1;6D", [(False, False, ["ctrl+shift+left"], [1, 0])]),
]


def test_real_keys_edit_and_match():
    with PtyChild(CHILD) as child:
        assert child.wait_report() == "ready"
        for data, _ in KEYS:
            child.send(data)
        child.send(b"\x1b[200~END\x1b[201~")
        steps, multi_lines, single_lines, multi_repr = child.wait_report()
        child.check()
    want = [w for _, ws in KEYS for w in ws]
    assert len(steps) == len(want)
    for (key_repr, m, s, matched, cursor), (wm, ws, wmatched, wcursor) in zip(steps, want):
        assert (m, s, matched, cursor) == (wm, ws, wmatched, wcursor), key_repr
    assert multi_lines == ["", "hiH world"] and multi_repr == "CoreTextEditor(lines=2, cursor=(1, 0))"
    # The single-line editor saw the same keys but kept Enter out.
    assert single_lines == ["hiH world"]
