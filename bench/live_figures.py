"""Live-terminal figures of the benchmark table: the bytes a full-screen session writes per frame
of the 200x50 dashboard of examples/engine_demo.py, once steady (the same content every frame)
and once animated (the frame counter, the selection, the load sparkline and the gauge move every
frame), measured on a pseudo-terminal (tests/ptyharness.py). Beside each, the bytes of a frame
that repaints every cell (the first frame), which a renderer without a diff writes every time.
bench/run.py runs it as the group "live" (`python3 bench/live_figures.py [--quick]`)."""

from __future__ import annotations

import json
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "bench"))
sys.path.insert(0, str(ROOT / "tests"))
sys.path.insert(0, str(ROOT / "examples"))

from figures import row  # noqa: E402

MARK = b"\x1b]1337;frame\x07"  # an OSC sequence: the emulator ignores it, the split finds it

CHILD = r"""
import os, sys
sys.path.insert(0, EXAMPLES)
import engine_demo
from tarvo_core.rust.engine import CoreSession
d = engine_demo.DashboardData()
s = CoreSession.init()
def frame(tree):
    s.render(tree)
    sys.stdout.flush()
    os.write(1, MARK)
for i in range(FRAMES):
    frame(engine_demo.ir_dashboard(d, 0))
for i in range(FRAMES):
    frame(engine_demo.ir_dashboard(d, i + 1))
s.restore()
report("done")
"""


def measure(frames: int) -> tuple[float, float, int]:
    from ptyharness import PtyChild

    code = (CHILD.replace("EXAMPLES", repr(str(ROOT / "examples"))).replace("MARK", repr(MARK))
            .replace("FRAMES", str(frames)))
    with PtyChild(code, cols=200, rows=50, timeout=120) as c:
        assert c.wait_report() == "done"
        c.check()
        pieces = bytes(c.output).split(MARK)
    steady, animated = pieces[1:frames], pieces[frames:2 * frames]
    first = len(pieces[0])
    return sum(map(len, steady)) / len(steady), sum(map(len, animated)) / len(animated), first


def main(argv: list[str]) -> int:
    names = ["Live session 200x50 dashboard, steady: bytes per frame",
             "Live session 200x50 dashboard, animated: bytes per frame"]
    try:
        import engine_demo  # noqa: F401
        from tarvo_core.rust.engine import CoreSession
        CoreSession.init  # noqa: B018
    except (ImportError, AttributeError) as exc:
        json.dump([row(n, "bytes", na=f"not built yet: {exc}") for n in names], sys.stdout)
        return 0
    frames = 20 if "--quick" in argv else 100
    try:
        steady, animated, first = measure(frames)
    except Exception as exc:  # noqa: BLE001 - reported in the table
        json.dump([row(n, "bytes", na=f"error: {exc}") for n in names], sys.stdout)
        return 0
    note = f"{frames} frames on a pseudo-terminal; the peer column: the first frame, every cell painted"
    json.dump([row(names[0], "bytes", steady, "full repaint", first, None, note),
               row(names[1], "bytes", animated, "full repaint", first, None, note)], sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
