"""The terminal given back on every way out of a process — the end of the script, an unhandled
exception, a panic raised inside a frame, SIGTERM — for the module-level Terminal, a full-screen
session and an inline session, each with mouse capture, bracketed paste, focus reports and the
keyboard-enhancement flags turned on and the cursor hidden: the line discipline's attributes
come back exactly, the alternate screen is left, the cursor shown and every mode turned off."""

import signal

import pytest

pytest.importorskip("pyte")
from ptyharness import PtyChild, attributes_given_back  # noqa: E402

PRELUDE = """
import os, signal, sys
import tarvo_core.rust.native as n
from tarvo_core.rust.engine import CoreRenderContent as RC, CoreRenderIR as IR, CoreRenderNode as N, CoreSession
FLAGS = n.KeyboardEnhancementFlags.DISAMBIGUATE_ESCAPE_CODES
def panic():
    n.Gauge.default().ratio(2.0)
report(os.ttyname(0))
os.read(0, 1)
"""

TARGETS = {
    "terminal": """
t = n.Terminal.init()
n.enable_mouse_capture(); n.enable_bracketed_paste(); n.enable_focus_change()
n.push_keyboard_enhancement_flags(FLAGS); n.hide_cursor()
t.draw(lambda f: f.render_widget(n.Span.raw("live"), n.Rect(0, 0, 10, 1)))
def frame_that_panics():
    t.draw(lambda f: panic())
""",
    "session": """
s = CoreSession.init()
s.enable_mouse_capture(); s.enable_bracketed_paste(); s.enable_focus_change()
s.push_keyboard_enhancement_flags(FLAGS); s.hide_cursor()
s.render(N(content=RC.ir(IR.text_raw("live"))))
def frame_that_panics():
    s.render(N(content=RC.drawable(lambda view, area: panic())))
""",
    "inline": """
print("above")
s = CoreSession.init(inline_height=3)
s.enable_mouse_capture(); s.enable_bracketed_paste(); s.enable_focus_change()
s.push_keyboard_enhancement_flags(FLAGS); s.hide_cursor()
s.render(N(content=RC.ir(IR.text_raw("live"))))
def frame_that_panics():
    s.render(N(content=RC.drawable(lambda view, area: panic())))
""",
}

# way -> (code run once the terminal is live, exit status)
WAYS = {
    "end-of-script": ("pass", 0),
    "unhandled-exception": ("raise RuntimeError('never caught')", 1),
    "panic-in-frame": ("frame_that_panics()", 1),  # Terminal.draw prints a callback's failure: 0
    "sigterm": ("report('wait'); os.read(0, 1)", -signal.SIGTERM),
}

MODES_OFF = [b"\x1b[?1000l", b"\x1b[?2004l", b"\x1b[?1004l", b"\x1b[?25h"]


def cases():
    for target in TARGETS:
        for way in WAYS:
            yield pytest.param(target, way, id=f"{target}-{way}")


@pytest.mark.parametrize("target,way", list(cases()))
def test_terminal_is_given_back(target, way):
    body, status = WAYS[way]
    code = PRELUDE + TARGETS[target] + "sys.stdout.flush(); os.write(1, b'<live>')\nreport('live')\nos.read(0, 1)\n" + body
    with PtyChild(code, cols=30, rows=8) as c:
        attributes_given_back(c, "live", sigterm=way == "sigterm")
        c.finish()
        out = bytes(c.output)
        setup, tail = out.split(b"<live>", 1)
        if target == "terminal" and way == "panic-in-frame":
            status = 0
        assert c.proc.returncode == status
        for mode in MODES_OFF:
            assert mode in tail, (mode, tail[-300:])
        assert b"\x1b[<1u" in tail, tail[-300:]  # the pushed keyboard flags popped
        if target == "inline":
            assert b"\x1b[?1049h" not in setup
            assert "above" in [line.rstrip() for line in c.screen_lines()]
        else:
            assert b"\x1b[?1049h" in setup and b"\x1b[?1049l" in tail
        assert c.screen.cursor.hidden is False
        if way == "panic-in-frame":
            assert b"PanicException: Ratio should be between 0 and 1 inclusively." in bytes(c.stderr)
