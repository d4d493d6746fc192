"""The dashboard live in the terminal: the render engine draws it on the alternate screen and
writes only the cells that change from frame to frame.

Keys: 1, 2, 3 or Tab switch screens, Up and Down move the selection, q or Esc quits. The first
frame sweeps in; every tick advances the gauges and the charts.

    python3 examples/live_demo.py               # until q
    python3 examples/live_demo.py --frames 500  # draw 500 frames, print frames per CPU second
"""

from __future__ import annotations

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import tarvo_core.rust.native as tc  # noqa: E402
from engine_demo import DashboardData, ir, ir_dashboard, widget_dashboard  # noqa: E402
from tarvo_core.rust.engine import CoreRenderContent, CoreRenderIR, CoreRenderNode, CoreSession  # noqa: E402

C = tc.Constraint
IR = CoreRenderIR
SCREENS = ("render IR", "widgets", "keys")


def help_screen(frame: int) -> CoreRenderNode:
    lines = [
        "tarvo live demo",
        "",
        "1  the dashboard of render-IR values",
        "2  the same dashboard of widget objects",
        "3  this page",
        "Tab        next screen",
        "Up / Down  move the selection",
        "q / Esc    quit",
        "",
        f"frame {frame}",
    ]
    text = ir(IR.paragraph_raw("\n".join(lines), fg=tc.Color.WHITE))
    return CoreRenderNode.column([text], constraints=[C.fill(1)], margin=tc.Margin(4, 2))


def footer(screen: int, frame: int) -> CoreRenderNode:
    names = "  ".join(f"[{i + 1}] {n}" for i, n in enumerate(SCREENS))
    return ir(IR.text_raw(f" {names}    screen {screen + 1}  frame {frame}    q quits ", fg=tc.Color.BLACK,
                          bg=tc.Color.CYAN))


class Demo:
    def __init__(self) -> None:
        self.data = DashboardData()
        self.state = tc.ListState()
        self.screen = 0
        self.frame = 0
        self.offset = 0

    def tree(self) -> CoreRenderNode:
        frame = self.frame + self.offset
        if self.screen == 0:
            body = ir_dashboard(self.data, frame)
        elif self.screen == 1:
            body = widget_dashboard(self.data, frame, self.state)
        else:
            body = help_screen(frame)
        # Each screen starts from blank cells: the clear below it wipes what the last one left.
        page = CoreRenderNode(content=CoreRenderContent.ir(IR.clear()), children=[body], constraints=[C.fill(1)],
                              effect_key="page")
        return CoreRenderNode.column([page, footer(self.screen, self.frame)], constraints=[C.fill(1), C.length(1)])

    def key(self, event) -> bool:
        """Handles a key event; False once the demo should end."""
        k = event.key
        if k is None:
            return True
        ch = k.char()
        if k.is_esc() or ch == "q":
            return False
        if k.is_tab():
            self.screen = (self.screen + 1) % len(SCREENS)
        elif ch is not None and ch in "123":
            self.screen = int(ch) - 1
        elif k.is_down():
            self.offset += 1
        elif k.is_up():
            self.offset -= 1
        return True


def sweep_in(session: CoreSession) -> None:
    """The effect on start: the page sweeps in from the left."""
    try:
        effect = tc.sweep_in(tc.Motion.LeftToRight, 12, 0, tc.Color.BLACK, 700)
    except (AttributeError, NotImplementedError):
        return
    session.add_unique_effect("start", effect)


def run(frames: int | None) -> None:
    demo = Demo()
    started = time.process_time()
    drawn = 0
    with CoreSession.init(tick_rate_ms=100) as session:
        session.render(demo.tree())
        sweep_in(session)
        while frames is None or drawn < frames:
            session.render(demo.tree())
            drawn += 1
            if frames is not None:
                demo.frame += 1
                continue
            event = session.poll_event(16 if session.is_animating() else 1000)
            if event is None:
                continue
            kind = event.kind_str()
            if kind == "tick":
                demo.frame += 1
            elif kind == "key" and not demo.key(event):
                break
    if frames is not None:
        cpu = time.process_time() - started
        print(f"{drawn} frames in {cpu:.3f} s of CPU time: {drawn / cpu:.0f} frames per CPU second", file=sys.stderr)


def main(argv: list[str] | None = None) -> None:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--frames", type=int, default=None, help="draw this many frames, then print the rate")
    args = parser.parse_args(argv)
    run(args.frames)


if __name__ == "__main__":
    main()
