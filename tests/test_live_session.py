"""Live CoreSession on a pseudo-terminal (tests/ptyharness.py): frames inside synchronized
updates, the mode methods' bytes and flags, the terminal reference, re-entrance, and the
terminal given back on every way out."""

import signal

import pytest

from ptyharness import PtyChild, attributes_given_back, run_captured, run_pty

PRELUDE = """
import os, sys
from tarvo_core.rust.engine import CoreRenderContent as RC, CoreRenderIR as IR, CoreRenderNode as N, CoreSession
import tarvo_core.rust.native as n
C = n.Constraint
def text(s, **kw): return N(content=RC.ir(IR.text_raw(s)), **kw)
def column(*kids): return N.column(list(kids), constraints=[C.length(1)] * len(kids))
def call(fn): return N(content=RC.drawable(fn))
def mark():
    sys.stdout.flush(); os.write(1, b"<mark>")
"""


def child(code, **kw):
    return run_pty(PRELUDE + code, **kw).check()


def after_marks(out):
    """The bytes between successive <mark> writes."""
    return bytes(out).split(b"<mark>")[1:]


def test_frames_and_closing():
    c = child("""
s = CoreSession.init()
report([s.is_raw_mode_enabled(), s.is_alternate_screen_enabled(), s.is_cursor_visible(), s.is_buffer_backed()])
mark(); s.render(column(text("hello"), text("world", cursor_hint=(2, 0))))
mark(); s.render(column(text("hello"), text("world", cursor_hint=(2, 0))))
mark(); s.render(column(text("hello")))
mark(); s.restore()
mark(); s.restore()
report([s.is_buffer_backed(), s.is_cursor_visible(), s.is_raw_mode_enabled(), s.is_mouse_capture_enabled()])
report([outcome(s.render, text("x")), outcome(s.get_terminal)])
""", cols=20, rows=4)
    assert c.reports == [
        [True, True, True, False],
        [True, True, True, False],
        [["err", "RuntimeError", "session closed"], ["err", "RuntimeError", "session has no live terminal"]],
    ]
    first, unchanged, shrink, close, second_close = after_marks(c.output)
    assert first == b"\x1b[?2026h\x1b[1;1Hhello\x1b[2;1Hworld\x1b[?25h\x1b[2;3H\x1b[?2026l"
    assert unchanged == b"\x1b[?2026h\x1b[?25h\x1b[2;3H\x1b[?2026l"
    assert shrink == b"\x1b[?2026h\x1b[2;1H     \x1b[?25l\x1b[?2026l"
    resets = b"".join([b"\x1b[?2026l", b"\x1b[?2026l"]) + b"\x1b[?1006l"
    assert close.startswith(resets) and b"\x1b[?1049l\x1b[?25h" in close and close.endswith(b"\x1b[?2026l")
    assert second_close == b""
    assert c.output.startswith(b"\x1b[?1049h")


MODES = [
    ("enable_mouse_capture()", b"\x1b[?1000h\x1b[?1002h\x1b[?1003h\x1b[?1015h\x1b[?1006h", "is_mouse_capture_enabled", True),
    ("disable_mouse_capture()", b"\x1b[?1006l\x1b[?1015l\x1b[?1003l\x1b[?1002l\x1b[?1000l", "is_mouse_capture_enabled", False),
    ("enable_bracketed_paste()", b"\x1b[?2004h", "is_bracketed_paste_enabled", True),
    ("disable_bracketed_paste()", b"\x1b[?2004l", "is_bracketed_paste_enabled", False),
    ("enable_focus_change()", b"\x1b[?1004h", "is_focus_change_enabled", True),
    ("disable_focus_change()", b"\x1b[?1004l", "is_focus_change_enabled", False),
    ("leave_alternate_screen()", b"\x1b[?1049l", "is_alternate_screen_enabled", False),
    ("enter_alternate_screen()", b"\x1b[?1049h", "is_alternate_screen_enabled", True),
    ("push_keyboard_enhancement_flags(n.KeyboardEnhancementFlags.DISAMBIGUATE_ESCAPE_CODES | n.KeyboardEnhancementFlags.REPORT_ALL_KEYS_AS_ESCAPE_CODES)",
     b"\x1b[>9u", None, None),
    ("pop_keyboard_enhancement_flags()", b"\x1b[<1u", None, None),
    ("hide_cursor()", b"\x1b[?25l", "is_cursor_visible", False),
    ("show_cursor()", b"\x1b[?25h", "is_cursor_visible", True),
    ("set_cursor_style(n.CursorStyle.SteadyBar)", b"\x1b[6 q", "get_cursor_style", "CursorStyle.SteadyBar"),
    ("move_cursor_to(0, 0)", b"\x1b[1;1H", None, None),
    ("move_cursor_to(65535, 9)", b"\x1b[10;65536H", None, None),
    ("save_cursor_position()", b"\x1b7", None, None),
    ("restore_cursor_position()", b"\x1b8", None, None),
    ("clear(n.ClearType.Purge)", b"\x1b[3J", None, None),
    ("clear(n.ClearType.UntilNewLine)", b"\x1b[K", None, None),
    ("set_title('tarvo ✓')", "\x1b]0;tarvo ✓\x07".encode(), "get_title", "tarvo ✓"),
    ("scroll_up(3)", b"\x1b[3S", None, None),
    ("scroll_down(65535)", b"\x1b[65535T", None, None),
    ("begin_synchronized_update()", b"\x1b[?2026h", None, None),
    ("begin_synchronized_update()", b"", None, None),
    ("end_synchronized_update()", b"\x1b[?2026l", None, None),
    ("end_synchronized_update()", b"", None, None),
    ("disable_raw_mode()", b"", "is_raw_mode_enabled", False),
    ("enable_raw_mode()", b"", "is_raw_mode_enabled", True),
]


def test_mode_methods_write_and_record():
    lines = ["s = CoreSession.init()", "report(repr(s.get_cursor_style()))", "report(s.get_title())"]
    for call_text, _, reader, _ in MODES:
        lines.append(f"mark(); s.{call_text}")
        lines.append(f"report(repr(s.{reader}()) if {reader!r} == 'get_cursor_style' else s.{reader}())" if reader else "report(None)")
    lines.append("mark(); s.restore()")
    c = child("\n".join(lines) + "\n", cols=20, rows=4)
    assert c.reports[:2] == ["CursorStyle.DefaultUserShape", None]
    chunks = after_marks(c.output)
    for (call_text, expected, reader, flag), chunk, seen in zip(MODES, chunks, c.reports[2:]):
        assert chunk == expected, call_text
        assert seen == flag, call_text


def test_mode_arguments_are_checked_before_writing():
    c = child("""
s = CoreSession.init()
mark()
report([outcome(s.move_cursor_to, -1, 0)[1], outcome(s.set_cursor_style, 3)[1], outcome(s.clear, "All")[1],
        outcome(s.scroll_up, 70000)[1], outcome(s.set_title, 5)[1], outcome(s.push_keyboard_enhancement_flags, 1)[1]])
mark(); s.restore()
""", cols=20, rows=4)
    assert c.reports == [["OverflowError", "TypeError", "TypeError", "OverflowError", "TypeError", "TypeError"]]
    assert after_marks(c.output)[0] == b""


def test_synchronized_update_and_cursor_flags_shape_frames():
    c = child("""
s = CoreSession.init()
s.begin_synchronized_update()
mark(); s.render(text("ab", cursor_hint=(1, 0)))
s.end_synchronized_update()
s.hide_cursor()
mark(); s.render(text("ab", cursor_hint=(1, 0)))
s.teardown_device_state()
report([s.is_cursor_visible(), s.is_raw_mode_enabled(), s.is_alternate_screen_enabled()])
mark(); s.render(text("ab", cursor_hint=(1, 0)))
mark(); s.restore()
""", cols=10, rows=2)
    held, hidden, shown, _ = after_marks(c.output)
    # the caller's update spans the frame (no pair of its own), then its end and hide_cursor
    assert held == b"\x1b[1;1Hab\x1b[?25h\x1b[1;2H" b"\x1b[?2026l" b"\x1b[?25l"
    # hidden by the session: the hint is not shown; then the device state is torn down
    assert hidden.startswith(b"\x1b[?2026h\x1b[?25l\x1b[?2026l\x1b[?2026l\x1b[?2026l\x1b[?1006l")
    assert len(hidden) == 22 + 219
    assert shown == b"\x1b[?2026h\x1b[?25h\x1b[1;2H\x1b[?2026l"
    assert c.reports == [[True, True, True]]


def test_offscreen_modes_change_flags_without_terminal_writes():
    c = run_captured(PRELUDE + """
s = CoreSession.offscreen(4, 2)
s.begin_synchronized_update(); s.end_synchronized_update(); s.teardown_device_state()
mark(); s.enable_mouse_capture()
report([s.is_mouse_capture_enabled(), s.is_cursor_visible()])
""").check()
    assert c.stdout == b"<mark>\x1b[?1000h\x1b[?1002h\x1b[?1003h\x1b[?1015h\x1b[?1006h"
    assert c.reports == [[True, True]]


def test_init_without_a_terminal():
    c = run_captured(PRELUDE + """
report(outcome(CoreSession.init))
report(outcome(CoreSession.init, inline_height=3))
report(outcome(CoreSession.init, tick_rate_ms=-1))
report(n.is_raw_mode_enabled())
""").check()
    nxio = ["err", "OSError", "No such device or address (os error 6)"]
    assert c.reports[:2] == [nxio, nxio]
    assert c.reports[2][:2] == ["err", "OverflowError"]
    assert c.reports[3] is False
    assert c.stdout == b""


def test_terminal_reference():
    c = child("""
s = CoreSession.init(tick_rate_ms=2**64 - 1)
r = s.get_terminal()
s.render(text("one"))
report([r.try_draw(lambda f: f.render_widget(n.Span.raw("two"), n.Rect(0, 1, 5, 1))).count, r.try_draw(lambda f: None).count])
report(outcome(r.try_draw, lambda f: 1 / 0))
def nested_render(f):
    report(outcome(s.render, text("x")))
    report(outcome(s.restore))
    report(outcome(r.draw, lambda g: None))
r.draw(nested_render)
def nested_ref(buf, area):
    report(outcome(r.draw, lambda g: None))
    report(outcome(r.clear))
s.render(call(nested_ref))
report(s.is_buffer_backed())
s.restore()
report([outcome(op, *args) for op, args in ((r.draw, (print,)), (r.try_draw, (print,)), (r.clear, ()), (r.flush, ()))])
report(repr(r.size()))
""", cols=12, rows=3)
    refused = ["err", "RuntimeError", "Already borrowed"]
    expired = ["err", "RuntimeError", "terminal reference expired"]
    assert c.reports == [
        [1, 2],
        ["err", "OSError", "Python draw callback failed"],
        refused, refused, refused,
        refused, refused,
        False,
        [expired] * 4,
        "Size(width=12, height=3)",
    ]


def test_content_failure_raised_after_the_frame():
    c = child("""
s = CoreSession.init()
def boom(buf, area):
    raise ValueError("drawn anyway")
mark(); report(outcome(s.render, column(call(boom), text("after"))))
mark(); s.restore()
""", cols=10, rows=2)
    assert c.reports == [["err", "ValueError", "drawn anyway"]]
    assert b"\x1b[2;1Hafter" in after_marks(c.output)[0]


EXIT_CHILD = """
import threading, signal
report(os.ttyname(0))
os.read(0, 1)
s = CoreSession.init()
s.render(text("live"))
report("drawn")
os.read(0, 1)
WAY
"""

WAYS = {
    "with-block": "with s: pass",
    "exception-in-with": "with s: raise RuntimeError('inside')",
    "unhandled-exception": "raise RuntimeError('never caught')",
    "released": "del s",
    "panic": "threading.Thread(target=lambda: report(outcome(s.is_inline))).start(); import time; time.sleep(0.5)",
    "sigterm": "report('wait'); os.read(0, 1)",
}


@pytest.mark.parametrize("way", list(WAYS))
def test_session_terminal_is_restored(way):
    with PtyChild(PRELUDE + EXIT_CHILD.replace("WAY", WAYS[way]), cols=20, rows=4) as c:
        attributes_given_back(c, "drawn", sigterm=way == "sigterm", panic=way == "panic")
        c.finish()
        out = bytes(c.output)
        tail = out[out.index(b"live"):]
        assert b"\x1b[?1049l" in tail and b"\x1b[?1000l" in tail, tail
        assert c.screen.cursor.hidden is False
        if way == "sigterm":
            assert c.proc.returncode == -signal.SIGTERM


def test_inline_viewport_near_the_bottom_and_closing_below_it():
    code = """
for i in range(ROW):
    print(f"line {i}")
s = CoreSession.init(inline_height=HEIGHT)
report([s.is_inline(), s.get_inline_height(), s.is_alternate_screen_enabled(), repr(s.get_viewport_area())])
s.render(column(*[text(f"band {i}") for i in range(min(max(HEIGHT, 1), 8))]))
report(repr(s.get_last_frame_area()))
os.read(0, 1)
mark(); s.restore()
print("after")
"""
    cases = [  # rows above, height: viewport rows, line feeds written to make room
        (2, 3, "Rect(x=0, y=2, width=30, height=3)", 2),
        (7, 3, "Rect(x=0, y=5, width=30, height=3)", 2),   # the screen scrolls 2 rows
        (7, 0, "Rect(x=0, y=7, width=30, height=1)", 0),   # inline_height 0 is one row
        (3, 12, "Rect(x=0, y=0, width=30, height=8)", 11),  # taller than the screen
    ]
    for row, height, area, feeds in cases:
        with PtyChild(PRELUDE + code.replace("ROW", str(row)).replace("HEIGHT", str(height)), cols=30, rows=8) as c:
            assert c.wait_report() == [True, height, False, area]
            assert c.wait_report() == area
            top = int(area.split("y=")[1].split(",")[0])
            rows_shown = min(max(height, 1), 8)
            bands = [f"band {i}" for i in range(rows_shown)]
            shown = c.wait_screen(lambda lines: lines[top:top + rows_shown] == bands, f"the bands at row {top}")
            if top > 0 and row > 0:
                assert shown[top - 1] == f"line {row - 1}"
            c.send(b"x")
            c.check()
            assert c.output.split(b"\x1b[6n")[1].startswith(b"\n" * feeds + b"\x1b[?2026h")
            below = min(top + rows_shown, 65535)
            close = after_marks(c.output)[0]
            assert f"\x1b[{below + 1};1H".encode() in close and b"\x1b[?1049l" not in close
            assert c.output.endswith(b"after\r\n")


def test_inline_resize_and_clear():
    code = """
print("above")
s = CoreSession.init(inline_height=2)
r = s.get_terminal()
s.render(column(text("one"), text("two")))
report(repr(s.get_viewport_area()))
os.read(0, 1)
mark(); r.clear()
mark(); s.render(column(text("one"), text("two")))
report(repr(s.get_viewport_area()))
mark(); s.restore()
"""
    with PtyChild(PRELUDE + code, cols=20, rows=6) as c:
        assert c.wait_report() == "Rect(x=0, y=1, width=20, height=2)"
        c.resize(30, 6)
        c.send(b"x")
        assert c.wait_report() == "Rect(x=0, y=1, width=30, height=2)"
        c.check()
        cleared, wider, _ = after_marks(c.output)
        assert cleared.startswith(b"\x1b[6n\x1b[2;1H\x1b[J\x1b[")     # the cursor read, the band cleared
        # a wider screen: the band placed again from the cursor, cleared, then every cell repainted
        assert b"\x1b[6n" in wider and b"\x1b[2;1H\x1b[J" in wider
        assert b"\x1b[2;1Hone\x1b[3;1Htwo" in wider


def test_events_and_ticks():
    code = """
import time
s = CoreSession.init(tick_rate_ms=TICK)
report("ready")
os.read(0, 0)
e = s.poll_event(5000)
while e.kind_str() == "tick":          # a slow machine may reach the tick before the key
    e = s.poll_event(5000)
report([e.kind_str(), e.key.char()])
report(outcome(s.poll_event, -1)[1])
if TICK:
    t0 = time.monotonic()
    e = s.poll_event(5000)
    report([e.kind_str(), e.tick.elapsed_ms >= TICK])
    time.sleep(TICK / 1000 * 1.5)      # a tick is due ...
    report("typed")
    import select; select.select([0], [], [], 5)
    k = s.poll_event(0)                  # ... but the key waiting comes first
    t = s.poll_event(0)
    report([k.kind_str(), t.kind_str()])
else:
    report(s.poll_event(0))
    report(s.read_event().kind_str())
s.restore()
"""
    for tick in (0, 50):
        with PtyChild(PRELUDE + code.replace("TICK", str(tick)), cols=20, rows=4) as c:
            assert c.wait_report() == "ready"
            c.send(b"q")
            assert c.wait_report() == ["key", "q"]  # typed while the wait ran
            assert c.wait_report() == "OverflowError"
            if tick:
                assert c.wait_report() == ["tick", True]
                assert c.wait_report() == "typed"
                c.send(b"z")
                assert c.wait_report() == ["key", "tick"]
            else:
                assert c.wait_report() is None
                c.send(b"\x1b[B")
                assert c.wait_report() == "key"
            c.check()


def test_session_cursor_position():
    c = child("""
s = CoreSession.init()
s.move_cursor_to(7, 2)
p = s.get_cursor_position()
report([p.x, p.y])
s.restore()
""", cols=20, rows=4)
    assert c.reports == [[7, 2]]
