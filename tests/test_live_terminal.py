"""Terminal, Frame and CompletedFrame on a real pseudo-terminal (tests/ptyharness.py): the bytes of
each frame, the screen through the VT emulator, resize, and the terminal given back on every
way out of the process."""

import signal

import pytest
from pyte.graphics import FG_BG_256

from ptyharness import PtyChild, attributes_given_back, run_captured, run_pty

PRELUDE = """
import sys, tarvo_core.rust.native as n
def text(s, x=0, y=0, w=20, style=None):
    span = n.Span.styled(s, style) if style else n.Span.raw(s)
    return lambda f: f.render_widget(span, n.Rect(x, y, w, 1))
"""


def child(code, **kw):
    return run_pty(PRELUDE + code, **kw).check()


def test_frames_write_only_what_changed():
    c = child("""
t = n.Terminal.init()
t.draw(lambda f: None)                                   # nothing drawn: hide the cursor
def hi(f):
    text("hi", 1, 1)(f)
    f.set_cursor_position(n.Position(3, 2))
t.draw(hi)
t.draw(hi)                                               # unchanged: cursor state only
t.draw(text("ho", 1, 1, style=n.Style.new().fg(n.Color.RED)))
t.draw(lambda f: None)                                   # blanks over the last frame
with t: pass
""", cols=20, rows=5)
    assert bytes(c.output) == (
        b"\x1b[?1049h" b"\x1b[?25l"
        b"\x1b[2;2Hhi\x1b[?25h\x1b[3;4H"
        b"\x1b[?25h\x1b[3;4H"
        b"\x1b[2;2H\x1b[38;5;1mho\x1b[0m\x1b[?25l"
        b"\x1b[2;2H  \x1b[?25l"
        b"\x1b[?1049l"
        b"\x1b[?25h")  # released with the cursor hidden: shown again


def test_screen_after_each_frame_and_resize():
    code = """
import os
t = n.Terminal.init()
frames = [text("first frame"), text("second", 2, 1), text("wide 日本 text", 0, 3)]
for draw in frames + [text("after resize", 5, 6)]:
    t.draw(draw)
    report(n.terminal_size().width)
    os.read(0, 1)
with t: pass
"""
    with PtyChild(PRELUDE + code, cols=30, rows=8) as c:
        expected = ["first frame", "  second", "wide 日本 text"]
        for i, want in enumerate(expected):
            assert c.wait_report() == 30
            # Only this frame's line: the previous frame is gone.
            c.wait_screen(lambda lines: want in lines and sum(1 for ln in lines if ln) == 1, repr(want))
            if i == len(expected) - 1:
                c.resize(40, 10)  # before the next frame is drawn
            c.send(b"x")
        assert c.wait_report() == 40
        c.wait_screen(lambda lines: lines[6] == "     after resize" and sum(1 for ln in lines if ln) == 1,
                      "the frame after the resize")
        c.send(b"x")
        c.check()
        assert b"\x1b[2J" in bytes(c.output)  # the resize cleared the screen first


def test_styles_on_screen():
    c = child("""
t = n.Terminal.init()
t.draw(text("ab", 0, 0, style=n.Style.new().fg(n.Color.GREEN).bg(n.Color.BLUE).add_modifier(n.Modifier.BOLD)))
report(1)
import os; os.read(0, 0)
""", cols=10, rows=3)
    a = c.cell(0, 0)  # named colours go out as 256-colour indexes
    assert (a.data, a.fg, a.bg, a.bold) == ("a", FG_BG_256[2], FG_BG_256[4], True)


def test_try_draw_counts_and_completed_frames():
    c = child("""
t = n.Terminal.init()
first = t.try_draw(text("one"))
def boom(f):
    text("half", 0, 1)(f)
    raise ValueError("no")
report(outcome(t.try_draw, boom))
second = t.try_draw(lambda f: None)
report([first.count, second.count, first.area.width, first.area.height])
report([first.buffer.to_string_lines()[0], second.buffer.to_string_lines()[:2]])
b = first.buffer
b.set_string(0, 0, "zz", n.Style.new())
report(first.buffer.to_string_lines()[0])               # every access is a new copy
report(outcome(t.try_draw, 42))                           # not callable: fails when called
with t: pass
""", cols=12, rows=3)
    assert c.reports == [
        ["err", "OSError", "Python draw callback failed"],
        [0, 1, 12, 3],
        ["one", ["", "half"]],                         # cells of the failed frame stay and show
        "one",
        ["err", "OSError", "Python draw callback failed"],
    ]


def test_draw_prints_the_callback_error_and_still_writes():
    c = child("""
t = n.Terminal.init()
def boom(f):
    text("kept")(f)
    raise KeyError("lost")
report(outcome(t.draw, boom))
with t: pass
""", cols=12, rows=2)
    assert c.reports == [["ok", "None"]]
    assert b"KeyError: 'lost'" in c.stderr and b"Traceback" in c.stderr
    assert b"\x1b[1;1Hkept" in bytes(c.output)


def test_frame_operations_expiry_and_reentrance():
    c = child("""
t = n.Terminal.init()
kept = []
def probe(f):
    kept.append(f)
    report([repr(f.area()) == repr(f.viewport()), repr(f.size()), f.count(), f.buffer().to_string_lines()])
    report(outcome(t.draw, lambda g: None))                      # the terminal is held
    report(outcome(f.set_cursor_position, (1, 2)))
    report(outcome(f.render_widget, n.Span.raw("x"), "area"))
    f.set_cursor_position(n.Position(3, 1)); f.hide_cursor()       # last call wins: hidden
t.draw(probe)
t.draw(lambda f: (f.hide_cursor(), f.set_cursor_position(n.Position(2, 1))))
for op in ("area", "size", "count", "buffer", "hide_cursor"):
    report(outcome(getattr(kept[0], op)))
with t: pass
""", cols=6, rows=2)
    assert c.reports[0] == [True, "Size(width=6, height=2)", 0, ["", ""]]
    assert c.reports[1] == ["err", "RuntimeError", "Already borrowed"]
    assert c.reports[2][:2] == ["err", "TypeError"]
    assert c.reports[3][:2] == ["err", "TypeError"]
    assert c.reports[4:] == [["err", "RuntimeError", "Frame expired"]] * 5
    assert bytes(c.output).endswith(b"\x1b[?25h\x1b[2;3H\x1b[?1049l")


def test_flush_puts_blanks_over_the_last_frame():
    c = child("""
t = n.Terminal.init()
t.draw(text("abc"))
t.flush()
n.flush_stdout_buffer() if hasattr(n, "flush_stdout_buffer") else None
with t: pass
""", cols=6, rows=2)
    assert bytes(c.output).endswith(b"\x1b[1;1Habc\x1b[?25l\x1b[1;1H   \x1b[?1049l\x1b[?25h")


def test_init_without_a_terminal_changes_nothing():
    c = run_captured("""
import tarvo_core.rust.native as n
report(outcome(n.Terminal.init))
report(n.is_raw_mode_enabled())
""").check()
    assert c.reports == [
        ["err", "PanicException",
         'failed to initialize terminal: Os { code: 6, kind: Uncategorized, message: "No such device or address" }'],
        False,
    ]
    assert c.stdout == b""


# ---- the terminal given back on every way out ----

EXIT_CHILD = """
import os, threading
report(os.ttyname(0))
os.read(0, 1)
t = n.Terminal.init()
t.draw(text("live"))
report("drawn")
os.read(0, 1)
WAY
"""

WAYS = {
    "with-block": "with t: pass",
    "exception-in-with": "with t: raise RuntimeError('inside')",
    "unhandled-exception": "raise RuntimeError('never caught')",
    "panic": "threading.Thread(target=lambda: report(outcome(t.size))).start(); import time; time.sleep(0.5)",
    "sigterm": "report('wait'); os.read(0, 1)",
}


@pytest.mark.parametrize("way", list(WAYS))
def test_terminal_is_restored(way):
    code = PRELUDE + "import signal\n" + EXIT_CHILD.replace("WAY", WAYS[way])
    with PtyChild(code, cols=20, rows=4) as c:
        attributes_given_back(c, "drawn", sigterm=way == "sigterm", panic=way == "panic")
        c.finish()
        out = bytes(c.output)
        assert b"\x1b[?1049l" in out[out.index(b"live"):], out[-300:]
        assert c.screen.cursor.hidden is False
        if way == "sigterm":
            assert c.proc.returncode == -signal.SIGTERM


def test_clear_reads_the_cursor_and_puts_it_back():
    c = child("""
t = n.Terminal.init()
t.draw(text("abc"))
sys.stdout.flush(); import os; os.write(1, b"<mark>")
n.move_cursor_to(4, 2)
t.clear()
os.write(1, b"<mark>")
t.draw(text("abc"))                                    # everything is drawn again
with t: pass
""", cols=10, rows=4)
    _, cleared, redrawn = bytes(c.output).split(b"<mark>")
    assert cleared == b"\x1b[3;5H" b"\x1b[6n\x1b[2J\x1b[3;5H"
    assert redrawn.startswith(b"\x1b[1;1Habc\x1b[?25l")


def test_frame_effects_run_over_the_frame():
    c = child("""
t = n.Terminal.init()
m = n.EffectManager()
m.add(n.paint_fg(n.Color.RED, 100))
def d(f):
    text("abc")(f)
    f.process_effects(m, 100, n.Rect(0, 0, 2, 1))        # only the first two cells
    report([outcome(f.process_effects, "m", 1, n.Rect(0, 0, 1, 1))[1],
            outcome(f.process_effects, m, -1, n.Rect(0, 0, 1, 1))[1]])
t.draw(d)
with t: pass
""", cols=6, rows=2)
    assert c.reports == [["TypeError", "OverflowError"]]
    assert b"\x1b[1;1H\x1b[38;5;1mab\x1b[39mc\x1b[?25l" in bytes(c.output)
