"""The terminal writers: exact bytes on descriptor 1, argument errors, OSError on a closed,
broken or full standard output, restore_terminal, and the enumeration and flag classes."""

import json

import pytest

import tarvo_core.rust.native as n
from ptyharness import run_captured

C, A, CT, CS, KF = n.ConsoleColor, n.ConsoleAttribute, n.ClearType, n.CursorStyle, n.KeyboardEnhancementFlags

FIXED = {
    "enable_focus_change": b"\x1b[?1004h",
    "disable_focus_change": b"\x1b[?1004l",
    "enable_mouse_capture": b"\x1b[?1000h\x1b[?1002h\x1b[?1003h\x1b[?1015h\x1b[?1006h",
    "disable_mouse_capture": b"\x1b[?1006l\x1b[?1015l\x1b[?1003l\x1b[?1002l\x1b[?1000l",
    "enable_bracketed_paste": b"\x1b[?2004h",
    "disable_bracketed_paste": b"\x1b[?2004l",
    "pop_keyboard_enhancement_flags": b"\x1b[<1u",
    "enable_line_wrap": b"\x1b[?7h",
    "disable_line_wrap": b"\x1b[?7l",
    "enter_alternate_screen": b"\x1b[?1049h",
    "leave_alternate_screen": b"\x1b[?1049l",
    "begin_synchronized_update": b"\x1b[?2026h",
    "end_synchronized_update": b"\x1b[?2026l",
    "hide_cursor": b"\x1b[?25l",
    "show_cursor": b"\x1b[?25h",
    "save_cursor_position": b"\x1b7",
    "restore_cursor_position": b"\x1b8",
    "enable_cursor_blinking": b"\x1b[?12h",
    "disable_cursor_blinking": b"\x1b[?12l",
    "flush_stdout_buffer": b"",
    "reset_color": b"\x1b[0m",
}

NAMED_INDEX = {"Black": 0, "DarkGrey": 8, "Red": 9, "DarkRed": 1, "Green": 10, "DarkGreen": 2, "Yellow": 11,
               "DarkYellow": 3, "Blue": 12, "DarkBlue": 4, "Magenta": 13, "DarkMagenta": 5, "Cyan": 14,
               "DarkCyan": 6, "White": 15, "Grey": 7}
SGR = ["0", "1", "2", "3", "4", "4:2", "4:3", "4:4", "4:5", "5", "6", "7", "8", "9", "20", "21", "22", "23", "24",
       "25", "27", "28", "29", "51", "52", "53", "54", "55"]

# (call, bytes written)
WRITES = [(f"{name}()", data) for name, data in FIXED.items()] + [
    ("move_cursor_to(0, 0)", b"\x1b[1;1H"),
    ("move_cursor_to(5, 2)", b"\x1b[3;6H"),
    ("move_cursor_to(y=7, x=65535)", b"\x1b[8;65536H"),
    ("move_cursor_up()", b"\x1b[1A"),
    ("move_cursor_up(0)", b"\x1b[0A"),
    ("move_cursor_down(count=65535)", b"\x1b[65535B"),
    ("move_cursor_right(4)", b"\x1b[4C"),
    ("move_cursor_left()", b"\x1b[1D"),
    ("move_cursor_to_next_line(2)", b"\x1b[2E"),
    ("move_cursor_to_previous_line()", b"\x1b[1F"),
    ("move_cursor_to_column(65535)", b"\x1b[65536G"),
    ("move_cursor_to_row(0)", b"\x1b[1d"),
    ("scroll_up(0)", b""),
    ("scroll_up()", b"\x1b[1S"),
    ("scroll_down(0)", b""),
    ("scroll_down(300)", b"\x1b[300T"),
    ("set_terminal_title('')", b"\x1b]0;\x07"),
    ("set_terminal_title(title='h\u00e9llo \u2603')", "\x1b]0;h\u00e9llo \u2603\x07".encode()),
    ("push_keyboard_enhancement_flags(KF.DISAMBIGUATE_ESCAPE_CODES | KF.REPORT_ALTERNATE_KEYS)", b"\x1b[>5u"),
    ("push_keyboard_enhancement_flags(KF.DISAMBIGUATE_ESCAPE_CODES | KF.REPORT_EVENT_TYPES | "
     "KF.REPORT_ALTERNATE_KEYS | KF.REPORT_ALL_KEYS_AS_ESCAPE_CODES)", b"\x1b[>15u"),
    ("push_keyboard_enhancement_flags(KF.REPORT_ALL_KEYS_AS_ESCAPE_CODES)", b"\x1b[>8u"),
    ("set_foreground_color(C.Reset)", b"\x1b[39m"),
    ("set_background_color(C.Reset, ansi_value=3)", b"\x1b[49m"),
    ("set_foreground_color(C.AnsiValue, ansi_value=202)", b"\x1b[38;5;202m"),
    ("set_background_color(C.AnsiValue, ansi_value=0, rgb=(9, 9, 9))", b"\x1b[48;5;0m"),
    ("set_foreground_color(C.Rgb, rgb=(1, 2, 3))", b"\x1b[38;2;1;2;3m"),
    ("set_background_color(C.Rgb, ansi_value=4, rgb=(255, 0, 255))", b"\x1b[48;2;255;0;255m"),
    ("set_foreground_color(C.Blue, ansi_value=7)", b"\x1b[38;5;12m"),
    ("print_text('plain \\n text')", b"plain \n text"),
    ("print_text('')", b""),
    ("print_styled_content('hi')", b"hi"),
    ("print_styled_content('hi', foreground=C.Green)", b"\x1b[38;5;10mhi\x1b[39m"),
    ("print_styled_content('hi', foreground=C.Green, attribute=A.Bold)", b"\x1b[38;5;10m\x1b[1mhi\x1b[0m"),
    ("print_styled_content('hi', background=C.Reset, foreground=C.Reset)", b"\x1b[49m\x1b[39mhi\x1b[49m\x1b[39m"),
    ("print_styled_content('x', background=C.Rgb, background_rgb=(1, 2, 3), foreground=C.AnsiValue, "
     "foreground_ansi=99, attribute=A.Undercurled)", b"\x1b[48;2;1;2;3m\x1b[38;5;99m\x1b[4:3mx\x1b[0m"),
    ("print_styled_content('x', background=C.Red, foreground_ansi=5, foreground_rgb=(1, 2, 3))",
     b"\x1b[48;5;9mx\x1b[49m"),
    ("print_styled_content('x', attribute=A.Reset)", b"\x1b[0mx\x1b[0m"),
] + [(f"clear_terminal(CT.{name})", data) for name, data in [
    ("All", b"\x1b[2J"), ("Purge", b"\x1b[3J"), ("FromCursorDown", b"\x1b[J"), ("FromCursorUp", b"\x1b[1J"),
    ("CurrentLine", b"\x1b[2K"), ("UntilNewLine", b"\x1b[K")]] + [
    (f"set_cursor_style(style=CS.{name})", b"\x1b[%d q" % i) for i, name in enumerate(
        ["DefaultUserShape", "BlinkingBlock", "SteadyBlock", "BlinkingUnderline", "SteadyUnderline",
         "BlinkingBar", "SteadyBar"])] + [
    (f"set_foreground_color(C.{name}, rgb=(1, 2, 3))", b"\x1b[38;5;%dm" % i) for name, i in NAMED_INDEX.items()] + [
    (f"set_background_color(C.{name})", b"\x1b[48;5;%dm" % i) for name, i in NAMED_INDEX.items()] + [
    (f"set_attribute(A.{name})", b"\x1b[%sm" % SGR[i].encode()) for i, name in enumerate(
        ["Reset", "Bold", "Dim", "Italic", "Underlined", "DoubleUnderlined", "Undercurled", "Underdotted",
         "Underdashed", "SlowBlink", "RapidBlink", "Reverse", "Hidden", "CrossedOut", "Fraktur", "NoBold",
         "NormalIntensity", "NoItalic", "NoUnderline", "NoBlink", "NoReverse", "NoHidden", "NotCrossedOut",
         "Framed", "Encircled", "OverLined", "NotFramedOrEncircled", "NotOverLined"])]

OVERFLOW = "out of range integral type conversion attempted"
# (call, exception type, message, note) — nothing may be written.
ERRORS = [
    ("move_cursor_up(70000)", "OverflowError", OVERFLOW, "count"),
    ("move_cursor_up(-1)", "OverflowError", OVERFLOW, "count"),
    ("move_cursor_to(3, 65536)", "OverflowError", OVERFLOW, "y"),
    ("move_cursor_to_column('1')", "TypeError", None, "x"),
    ("move_cursor_to(1)", "TypeError", "move_cursor_to() missing 1 required positional argument: 'y'", None),
    ("scroll_up(1, 2)", "TypeError", "scroll_up() takes from 0 to 1 positional arguments but 2 were given", None),
    ("show_cursor(now=True)", "TypeError", "show_cursor() got an unexpected keyword argument 'now'", None),
    ("clear_terminal(0)", "TypeError", "'int' object is not an instance of 'ClearType'", "clear_type"),
    ("set_cursor_style(None)", "TypeError", "'None' is not an instance of 'CursorStyle'", "style"),
    ("set_cursor_style(CT.All)", "TypeError", "'ClearType' object is not an instance of 'CursorStyle'", "style"),
    ("push_keyboard_enhancement_flags(5)", "TypeError",
     "'int' object is not an instance of 'KeyboardEnhancementFlags'", "flags"),
    ("set_terminal_title(b'x')", "TypeError", None, "title"),
    ("set_foreground_color(C.Red, rgb=(1, 2))", "ValueError",
     "expected tuple of length 3, but got tuple of length 2", "rgb"),
    ("set_foreground_color(C.Rgb, rgb=[1, 2, 3])", "TypeError", None, "rgb"),
    ("set_foreground_color(C.Rgb, rgb=(1, 2, 256))", "OverflowError", OVERFLOW, "rgb"),
    ("set_background_color(C.Red, ansi_value=256)", "OverflowError", OVERFLOW, "ansi_value"),
    ("set_foreground_color(C.AnsiValue)", "ValueError", "ansi_value is required for ConsoleColor.AnsiValue", None),
    ("set_foreground_color(C.AnsiValue, ansi_value=None, rgb=(1, 2, 3))", "ValueError",
     "ansi_value is required for ConsoleColor.AnsiValue", None),
    ("set_background_color(C.Rgb, ansi_value=3)", "ValueError", "rgb values are required for ConsoleColor.Rgb", None),
    ("set_foreground_color(A.Bold)", "TypeError", "'ConsoleAttribute' object is not an instance of 'ConsoleColor'",
     "color"),
    ("set_foreground_color(C.Red, 5)", "TypeError", None, None),
    ("set_attribute(1)", "TypeError", "'int' object is not an instance of 'ConsoleAttribute'", "attribute"),
    ("print_styled_content('x', foreground=C.AnsiValue)", "ValueError",
     "ansi_value is required for ConsoleColor.AnsiValue", None),
    ("print_styled_content('x', background=C.Rgb, foreground=C.Red)", "ValueError",
     "rgb values are required for ConsoleColor.Rgb", None),
    ("print_styled_content('x', foreground=C.Red, background_rgb=(1,))", "ValueError",
     "expected tuple of length 3, but got tuple of length 1", "background_rgb"),
    ("print_styled_content('x', attribute=C.Red)", "TypeError",
     "'ConsoleColor' object is not an instance of 'ConsoleAttribute'", "attribute"),
    ("print_styled_content(3)", "TypeError", None, "text"),
    ("print_text(None)", "TypeError", None, "text"),
]

# Each call runs with descriptor 1 on a fresh pipe; the child reports the bytes and the outcome.
_CAPTURE_CHILD = """
import os, sys, tarvo_core.rust.native as n
from tarvo_core.rust.native import ConsoleColor as C, ConsoleAttribute as A, ClearType as CT
from tarvo_core.rust.native import CursorStyle as CS, KeyboardEnhancementFlags as KF
saved = os.dup(1)
for call in CALLS:
    r, w = os.pipe()
    os.dup2(w, 1)
    os.close(w)
    try:
        eval("n." + call)
        result = None
    except BaseException as e:
        result = [type(e).__name__, str(e), getattr(e, "__notes__", [])]
    os.dup2(saved, 1)
    data = b""
    while chunk := os.read(r, 65536):
        data += chunk
    os.close(r)
    report([call, data.hex(), result])
"""


@pytest.fixture(scope="module")
def captured():
    calls = [c for c, _ in WRITES] + [c for c, *_ in ERRORS]
    child = run_captured(f"CALLS = {calls!r}\n" + _CAPTURE_CHILD).check()
    assert child.stdout == b""
    return {call: (bytes.fromhex(data), result) for call, data, result in child.reports}


@pytest.mark.parametrize("call,expected", WRITES, ids=[c for c, _ in WRITES])
def test_writer_bytes(captured, call, expected):
    data, error = captured[call]
    assert error is None
    assert data == expected


@pytest.mark.parametrize("call,exc,message,note", ERRORS, ids=[c for c, *_ in ERRORS])
def test_bad_arguments_write_nothing(captured, call, exc, message, note):
    data, error = captured[call]
    assert data == b""
    assert error is not None and error[0] == exc
    if message is not None:
        assert error[1] == message
    if note is not None:
        assert f"while processing '{note}'" in error[2]


WRITERS = ["show_cursor()", "move_cursor_to(1, 2)", "scroll_up(3)", "set_terminal_title('t')",
           "clear_terminal(n.ClearType.All)", "set_foreground_color(n.ConsoleColor.Red)",
           "print_styled_content('x', foreground=n.ConsoleColor.Red)", "print_text('x')",
           "push_keyboard_enhancement_flags(n.KeyboardEnhancementFlags.REPORT_EVENT_TYPES)",
           "enable_mouse_capture()"]
BROKEN = {"closed": "Bad file descriptor (os error 9)", "broken": "Broken pipe (os error 32)",
          "full": "No space left on device (os error 28)"}


@pytest.mark.parametrize("mode", sorted(BROKEN))
def test_unwritable_stdout_raises_oserror(mode):
    code = f"""
import tarvo_core.rust.native as n
for call in {WRITERS!r} + ["scroll_up(0)", "flush_stdout_buffer()"]:
    report([call, outcome(eval, "n." + call)])
report(outcome(n.restore_terminal))
"""
    child = run_captured(code, stdout=mode).check()
    results = dict(child.reports[:-1])
    for call in WRITERS:
        assert results[call] == ["err", "OSError", BROKEN[mode]], call
    # Writing nothing cannot fail.
    assert results["scroll_up(0)"] == ["ok", "None"]
    assert results["flush_stdout_buffer()"] == ["ok", "None"]
    assert child.reports[-1] == ["ok", "None"]
    assert child.stderr.decode() == f"Failed to restore terminal: {BROKEN[mode]}\n"


def test_restore_terminal_without_raw_mode_leaves_the_alternate_screen():
    child = run_captured("""
import tarvo_core.rust.native as n
report(outcome(n.restore_terminal))
report(n.is_raw_mode_enabled())
""").check()
    assert child.stdout == b"\x1b[?1049l"
    assert child.reports == [["ok", "None"], False]
    assert child.stderr == b""


def test_environment_changes_no_byte():
    code = f"""
import tarvo_core.rust.native as n
from tarvo_core.rust.native import ConsoleColor as C, ConsoleAttribute as A
n.print_styled_content('x', foreground=C.Red, background=C.Rgb, background_rgb=(1, 2, 3), attribute=A.Bold)
n.set_foreground_color(C.Blue)
n.move_cursor_to(3, 4)
"""
    plain = run_captured(code).check().stdout
    dressed = run_captured(code, env={"NO_COLOR": "1", "TERM": "dumb", "COLORTERM": "truecolor"}).check().stdout
    assert plain == dressed == b"\x1b[48;2;1;2;3m\x1b[38;5;9m\x1b[1mx\x1b[0m\x1b[38;5;12m\x1b[5;4H"


def test_no_terminal_queries_and_raw_mode_fail_with_oserror():
    child = run_captured("""
import tarvo_core.rust.native as n
for fn in (n.enable_raw_mode, n.terminal_window_size, n.is_raw_mode_enabled, n.disable_raw_mode):
    report(outcome(fn))
""").check()
    assert child.reports == [
        ["err", "OSError", "No such device or address (os error 6)"],
        ["err", "OSError", "Inappropriate ioctl for device (os error 25)"],
        ["ok", "False"],
        ["ok", "None"],
    ]


# ---- the enumeration and flag classes ----

ENUMS = [(CT, 6, "UntilNewLine"), (CS, 7, "SteadyBar"), (C, 19, "Rgb"), (A, 28, "NotOverLined")]


@pytest.mark.parametrize("cls,count,last", ENUMS, ids=[e[0].__name__ for e in ENUMS])
def test_enumeration_classes(cls, count, last):
    variant = getattr(cls, last)
    assert variant is getattr(cls, last)
    assert int(variant) == count - 1
    assert repr(variant) == f"{cls.__name__}.{last}"
    assert variant == count - 1 and variant != 0
    with pytest.raises(TypeError):
        variant < variant  # noqa: B015
    with pytest.raises(TypeError):
        {variant}
    with pytest.raises(TypeError):
        cls()
    names = [k for k in vars(cls) if not k.startswith("_")]
    assert len(names) == count
    assert sorted(int(getattr(cls, k)) for k in names) == list(range(count))


def test_console_enum_edges():
    assert C.Rgb == 18
    assert repr(A.NotOverLined) == "ConsoleAttribute.NotOverLined"
    assert CT.All != CS.DefaultUserShape  # other classes never compare equal
    with pytest.raises(TypeError):
        C.Red < C.Blue  # noqa: B015


def test_keyboard_enhancement_flags():
    d, t, a, k = (KF.DISAMBIGUATE_ESCAPE_CODES, KF.REPORT_EVENT_TYPES, KF.REPORT_ALTERNATE_KEYS,
                  KF.REPORT_ALL_KEYS_AS_ESCAPE_CODES)
    assert [f.bits for f in (d, t, a, k)] == [1, 2, 4, 8]
    both = d | a
    assert both.bits == 5 and repr(both) == "KeyboardEnhancementFlags(bits=5)"
    assert (d | t | a | k).bits == 15
    assert d is KF.DISAMBIGUATE_ESCAPE_CODES
    assert (d | d) is not d and (d | d) != d  # no equality of its own: compare bits
    for bad in (1, None, n.KeyModifiers.SHIFT if hasattr(n.KeyModifiers, "SHIFT") else 1.5):
        with pytest.raises(TypeError):
            d | bad
        with pytest.raises(TypeError):
            bad | d
    with pytest.raises(TypeError):
        KF()
