"""Raw mode, sizes and the console writers on a real pseudo-terminal (tests/ptyharness.py)."""

import shutil

import pytest

from ptyharness import PtyChild, run_captured, run_pty

RAW_CHILD = """
import os, termios, tarvo_core.rust.native as n
if STDIN_DEVNULL:  # the terminal is then found through /dev/tty
    fd = os.open("/dev/null", os.O_RDONLY); os.dup2(fd, 0); os.close(fd)
tty = os.open("/dev/tty", os.O_RDWR)
def attrs():
    return termios.tcgetattr(tty)
before = attrs()
report(n.is_raw_mode_enabled())
n.enable_raw_mode()
raw = attrs()
n.enable_raw_mode()                      # already raw: nothing changes, nothing re-saved
report([n.is_raw_mode_enabled(), attrs() == raw])
iflag, oflag, cflag, lflag = raw[:4]
report([iflag & (termios.BRKINT | termios.ICRNL | termios.IXON | termios.ISTRIP | termios.INLCR | termios.IGNCR),
        oflag & termios.OPOST,
        lflag & (termios.ECHO | termios.ICANON | termios.ISIG | termios.IEXTEN | termios.ECHONL),
        cflag & (termios.CSIZE | termios.PARENB) == termios.CS8,
        raw[6][termios.VMIN], raw[6][termios.VTIME]])
n.disable_raw_mode()
report([n.is_raw_mode_enabled(), attrs() == before])
n.disable_raw_mode()                     # nothing saved: no change
report([n.is_raw_mode_enabled(), attrs() == before])
# A second enable after a disable saves the attributes of that moment.
new = attrs(); new[3] &= ~termios.ECHOE
termios.tcsetattr(tty, termios.TCSANOW, new)
n.enable_raw_mode(); n.disable_raw_mode()
report(attrs() == new)
# restore_terminal leaves raw mode too.
n.enable_raw_mode(); n.restore_terminal()
report([n.is_raw_mode_enabled(), attrs() == new])
"""


@pytest.mark.parametrize("stdin_devnull", [False, True], ids=["stdin", "dev-tty"])
def test_raw_mode_round_trip_restores_the_attributes_exactly(stdin_devnull):
    child = run_pty(f"STDIN_DEVNULL = {stdin_devnull}\n" + RAW_CHILD)
    assert child.reports == [
        False,
        [True, True],
        [0, 0, 0, True, 1, 0],
        [False, True],
        [False, True],
        True,
        [False, True],
    ]
    assert child.output.endswith(b"\x1b[?1049l")


SIZE_CHILD = """
import tarvo_core.rust.native as n
for fn in (n.terminal_size, n.terminal_window_size):
    s = fn()
    report([s.width, s.height])
"""


@pytest.mark.parametrize("cols,rows", [(80, 24), (132, 50), (1, 1), (300, 2)])
def test_sizes_on_a_pty(cols, rows):
    child = run_pty(SIZE_CHILD, cols=cols, rows=rows)
    assert child.reports == [[cols, rows], [cols, rows]]
    assert child.output == b""  # the queries write nothing


def test_size_follows_a_resize():
    with PtyChild("""
import sys, tarvo_core.rust.native as n
report(repr(n.terminal_size()))
sys.stdin.readline()
report(repr(n.terminal_size()))
report(repr(n.terminal_window_size()))
""", cols=80, rows=24) as child:
        assert child.wait_report() == "Size(width=80, height=24)"
        child.resize(100, 40)
        child.send(b"\n")
        assert child.wait_report() == "Size(width=100, height=40)"
        assert child.wait_report() == "Size(width=100, height=40)"
        child.check()


@pytest.mark.skipif(shutil.which("tput") is None, reason="tput is not installed")
def test_size_falls_back_to_tput_without_a_terminal():
    code = """
import tarvo_core.rust.native as n
report(outcome(n.terminal_size))
report(outcome(n.terminal_window_size))
"""
    with_term = run_captured(code, env={"TERM": "xterm", "COLUMNS": "123", "LINES": "45"}).check()
    assert with_term.reports == [
        ["ok", "Size(width=123, height=45)"],
        ["err", "OSError", "Inappropriate ioctl for device (os error 25)"],
    ]
    # tput gives no number: the window-size request's own error is raised.
    without = run_captured(code, env={"TERM": None, "COLUMNS": None, "LINES": None}).check()
    assert without.reports == [["err", "OSError", "Inappropriate ioctl for device (os error 25)"]] * 2


def test_console_writers_on_the_screen():
    child = run_pty("""
import tarvo_core.rust.native as n
C, A = n.ConsoleColor, n.ConsoleAttribute
n.clear_terminal(n.ClearType.All)
n.move_cursor_to(2, 1)
n.print_styled_content("hot", foreground=C.Red, attribute=A.Bold)
n.move_cursor_to(0, 3)
n.set_background_color(C.Rgb, rgb=(0, 0, 255))
n.print_text("sky")
n.reset_color()
n.print_text("!")
n.set_terminal_title("demo")
n.move_cursor_to_column(9)
n.move_cursor_up(2)
n.save_cursor_position()
n.move_cursor_to(0, 0)
n.restore_cursor_position()
""", cols=20, rows=5)
    assert child.screen_lines() == [
        " " * 20,
        "  hot" + " " * 15,
        " " * 20,
        "sky!" + " " * 16,
        " " * 20,
    ]
    hot = child.cell(2, 1)
    assert (hot.data, hot.fg, hot.bold) == ("h", "ff0000", True)
    sky, bang = child.cell(0, 3), child.cell(3, 3)
    assert (sky.bg, bang.bg) == ("0000ff", "default")
    assert child.screen.title == "demo"
    assert child.cursor() == (9, 1)


def test_cursor_query_is_answered_from_the_emulator():
    # The harness answers a raw-mode cursor query with the position reached by earlier output.
    child = run_pty("""
import os, select, tarvo_core.rust.native as n
n.enable_raw_mode()
n.move_cursor_to(6, 3)
os.write(1, b"\\x1b[6n")
reply = b""
while not reply.endswith(b"R") and select.select([0], [], [], 5)[0]:
    reply += os.read(0, 32)
n.disable_raw_mode()
report(reply.decode())
""")
    assert child.reports == ["\x1b[4;7R"]
    assert child.queries == [b"\x1b[6n"]


KEYBOARD_CHILD = """
import os, select, tarvo_core.rust.native as n
F = n.KeyboardEnhancementFlags
n.enable_raw_mode()
n.push_keyboard_enhancement_flags(F.DISAMBIGUATE_ESCAPE_CODES | F.REPORT_ALTERNATE_KEYS)
n.push_keyboard_enhancement_flags(F.REPORT_EVENT_TYPES)
n.pop_keyboard_enhancement_flags()
os.write(1, b"\\x1b[?u\\x1b[c")
reply = b""
while not reply.endswith(b"c") and select.select([0], [], [], 5)[0]:
    reply += os.read(0, 64)
n.disable_raw_mode()
report(reply.decode())
"""


@pytest.mark.parametrize("enhanced,reply", [(True, "\x1b[?5u\x1b[?62;22c"), (False, "\x1b[?62;22c")])
def test_keyboard_flag_queries_are_answered_like_a_terminal(enhanced, reply):
    child = run_pty(KEYBOARD_CHILD, keyboard_enhancement=enhanced)
    assert child.reports == [reply]
    assert child.queries == [b"\x1b[>5u", b"\x1b[>2u", b"\x1b[<1u", b"\x1b[?u", b"\x1b[c"]
    assert child.keyboard_stack == [5]
