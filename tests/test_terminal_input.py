"""Terminal input on a real pseudo-terminal: key, mouse, paste, focus and resize events as Python
objects, signals during a wait, the two queries, and the failures without a terminal."""

import os
import signal

import pytest

from ptyharness import PtyChild, run_captured

# The child describes every event it reads until it reads the paste "END".
DESCRIBE = """
import tarvo_core.rust.native as n
KEY_TESTS = ["is_backspace", "is_enter", "is_left", "is_right", "is_up", "is_down", "is_home", "is_end",
             "is_page_up", "is_page_down", "is_tab", "is_back_tab", "is_delete", "is_insert", "is_function_key",
             "is_null", "is_esc", "is_caps_lock", "is_scroll_lock", "is_num_lock"]
def describe(e):
    d = {"kind": repr(e.kind), "kind_str": e.kind_str()}
    for name in ("paste", "width", "height"):
        if getattr(e, name) is not None:
            d[name] = getattr(e, name)
    k, m = e.key, e.mouse
    assert (k is None) == (d["kind_str"] != "key") and (m is None) == (d["kind_str"] != "mouse") and e.tick is None
    if k is not None:
        assert e.key is not k and repr(e.key) == repr(k)
        d["key"] = [repr(k), repr(k.code_name), repr(k.kind), k.modifiers.bits, k.state.bits, k.char(),
                    k.char_value(), k.function_number(), k.keyboard_kind_str(),
                    [t for t in KEY_TESTS if getattr(k, t)()]]
    if m is not None:
        assert (m.x, m.y) == (m.column, m.row)
        d["mouse"] = [m.kind, m.button, m.x, m.y, repr(m.event_kind), repr(m.mouse_button), m.modifiers.bits,
                      m.tarvo_kind_str(), m.tarvo_button_str()]
    return d
def read_all():
    out = []
    while True:
        e = n.read_event()
        if e.paste == "END":
            return out
        out.append(describe(e))
"""

RAW_READER = DESCRIBE + """
n.enable_raw_mode()
report("ready")
report(read_all())
n.disable_raw_mode()
"""


def key(r, code, kind="KeyEventKind.Press", mods=0, state=0, char=None, fn=None, kstr="press", tests=()):
    return {"kind": "CoreTerminalEventKind.Key", "kind_str": "key",
            "key": [r, code, kind, mods, state, char, char, fn, kstr, list(tests)]}


def mouse(kind, button, x, y, ek, mb, mods, tkind):
    return {"kind": "CoreTerminalEventKind.Mouse", "kind_str": "mouse",
            "mouse": [kind, button, x, y, ek, mb, mods, tkind, button]}


KEYS = [
    (b"q", [key("KeyEvent(Char('q'), Press)", "KeyCode.Char", char="q")]),
    (b"Q", [key("KeyEvent(Char('Q'), Press)", "KeyCode.Char", mods=1, char="Q")]),
    ("é€".encode(), [key("KeyEvent(Char('é'), Press)", "KeyCode.Char", char="é"),
                     key("KeyEvent(Char('€'), Press)", "KeyCode.Char", char="€")]),
    (b"\x03", [key("KeyEvent(Char('c'), Press)", "KeyCode.Char", mods=2, char="c")]),
    (b"\r\t\x7f", [key("KeyEvent(Enter, Press)", "KeyCode.Enter", tests=["is_enter"]),
                   key("KeyEvent(Tab, Press)", "KeyCode.Tab", tests=["is_tab"]),
                   key("KeyEvent(Backspace, Press)", "KeyCode.Backspace", tests=["is_backspace"])]),
    (b"\x1b[Z", [key("KeyEvent(BackTab, Press)", "KeyCode.BackTab", mods=1, tests=["is_tab", "is_back_tab"])]),
    (b"\x1b[A\x1b[B\x1b[1;5D\x1bOC", [
        key("KeyEvent(Up, Press)", "KeyCode.Up", tests=["is_up"]),
        key("KeyEvent(Down, Press)", "KeyCode.Down", tests=["is_down"]),
        key("KeyEvent(Left, Press)", "KeyCode.Left", mods=2, tests=["is_left"]),
        key("KeyEvent(Right, Press)", "KeyCode.Right", tests=["is_right"])]),
    (b"\x1b[H\x1b[F\x1b[5~\x1b[6~\x1b[2~\x1b[3~", [
        key("KeyEvent(Home, Press)", "KeyCode.Home", tests=["is_home"]),
        key("KeyEvent(End, Press)", "KeyCode.End", tests=["is_end"]),
        key("KeyEvent(PageUp, Press)", "KeyCode.PageUp", tests=["is_page_up"]),
        key("KeyEvent(PageDown, Press)", "KeyCode.PageDown", tests=["is_page_down"]),
        key("KeyEvent(Insert, Press)", "KeyCode.Insert", tests=["is_insert"]),
        key("KeyEvent(Delete, Press)", "KeyCode.Delete", tests=["is_delete"])]),
    (b"\x1b[15~\x1bOP", [key("KeyEvent(F(5), Press)", "KeyCode.F", fn=5, tests=["is_function_key"]),
                         key("KeyEvent(F(1), Press)", "KeyCode.F", fn=1, tests=["is_function_key"])]),
    (b"\x1b[1;5:3A", [key("KeyEvent(Up, Release)", "KeyCode.Up", "KeyEventKind.Release", mods=2,
                           kstr="release", tests=["is_up"])]),
    (b"\x1b[3;5:2~", [key("KeyEvent(Delete, Repeat)", "KeyCode.Delete", "KeyEventKind.Repeat", mods=2,
                           kstr="repeat", tests=["is_delete"])]),
    (b"\x1b[57399u\x1b[97;65u", [key("KeyEvent(Char('0'), Press)", "KeyCode.Char", state=1, char="0"),
                                 key("KeyEvent(Char('a'), Press)", "KeyCode.Char", state=2, char="a")]),
    (b"\x1b[57358u\x1b[57359u\x1b[57360u\x1b[57361u\x1b[57362u\x1b[57363u\x1b[57427u", [
        key("KeyEvent(CapsLock, Press)", "KeyCode.CapsLock", tests=["is_caps_lock"]),
        key("KeyEvent(ScrollLock, Press)", "KeyCode.ScrollLock", tests=["is_scroll_lock"]),
        key("KeyEvent(NumLock, Press)", "KeyCode.NumLock", tests=["is_num_lock"]),
        key("KeyEvent(PrintScreen, Press)", "KeyCode.PrintScreen"),
        key("KeyEvent(Pause, Press)", "KeyCode.Pause"),
        key("KeyEvent(Menu, Press)", "KeyCode.Menu"),
        key("KeyEvent(KeypadBegin, Press)", "KeyCode.KeypadBegin", state=1)]),
    (b"\x1b[57430u\x1b[57441;2u", [
        key("KeyEvent(Media(PlayPause), Press)", "KeyCode.Media"),
        key("KeyEvent(Modifier(LeftShift), Press)", "KeyCode.Modifier", mods=1)]),
    (b"\x1b[27u\x1b\x1b", [key("KeyEvent(Esc, Press)", "KeyCode.Esc", tests=["is_esc"]),
                           key("KeyEvent(Esc, Press)", "KeyCode.Esc", tests=["is_esc"])]),
    (b"\x00", [key("KeyEvent(Char(' '), Press)", "KeyCode.Char", mods=2, char=" ")]),
    (b"\x1b[39u\x1b[92u\x1b[31u\x1b[34u", [
        key("KeyEvent(Char('\\''), Press)", "KeyCode.Char", char="'"),
        key("KeyEvent(Char('\\\\'), Press)", "KeyCode.Char", char="\\"),
        key("KeyEvent(Char('\\u{1f}'), Press)", "KeyCode.Char", char="\x1f"),
        key("KeyEvent(Char('\"'), Press)", "KeyCode.Char", char='"')]),
    (b"\x1b[<0;11;4M\x1b[<0;11;4m", [
        mouse("down", "left", 10, 3, "MouseEventKind.Down", "MouseButton.Left", 0, "press"),
        mouse("up", "left", 10, 3, "MouseEventKind.Up", "MouseButton.Left", 0, "release")]),
    (b"\x1b[<35;1;1M\x1b[<65;2;2M\x1b[<64;2;2M\x1b[<34;5;6M\x1b[<16;1;1M", [
        mouse("moved", "none", 0, 0, "MouseEventKind.Moved", "MouseButton.NoButton", 0, "move"),
        mouse("scroll_down", "none", 1, 1, "MouseEventKind.ScrollDown", "MouseButton.NoButton", 0, "scroll_down"),
        mouse("scroll_up", "none", 1, 1, "MouseEventKind.ScrollUp", "MouseButton.NoButton", 0, "scroll_up"),
        mouse("drag", "right", 4, 5, "MouseEventKind.Drag", "MouseButton.Right", 0, "drag"),
        mouse("down", "left", 0, 0, "MouseEventKind.Down", "MouseButton.Left", 2, "press")]),
    (b"\x1b[<66;3;3M\x1b[<67;3;3M\x1b[<1;0;0M\x1b[M #$", [
        mouse("scroll_left", "none", 2, 2, "MouseEventKind.ScrollLeft", "MouseButton.NoButton", 0, "scroll_left"),
        mouse("scroll_right", "none", 2, 2, "MouseEventKind.ScrollRight", "MouseButton.NoButton", 0, "scroll_right"),
        mouse("down", "middle", 0, 0, "MouseEventKind.Down", "MouseButton.Middle", 0, "press"),
        mouse("down", "left", 2, 3, "MouseEventKind.Down", "MouseButton.Left", 0, "press")]),
    (b"\x1b[I\x1b[O", [{"kind": "CoreTerminalEventKind.FocusGained", "kind_str": "focus_gained"},
                       {"kind": "CoreTerminalEventKind.FocusLost", "kind_str": "focus_lost"}]),
    (b"\x1b[200~line one\r\nline \xff two\x1b[201~\x1b[200~\x1b[201~", [
        {"kind": "CoreTerminalEventKind.Paste", "kind_str": "paste", "paste": "line one\r\nline \ufffd two"},
        {"kind": "CoreTerminalEventKind.Paste", "kind_str": "paste", "paste": ""}]),
    # Replies are never events; a malformed sequence loses nothing after it.
    (b"\x1b[12;40R\x1b[?1u\x1b[?62;22c\x1b[?1;2Rz", [key("KeyEvent(Char('z'), Press)", "KeyCode.Char", char="z")]),
]


def test_real_input_becomes_event_objects():
    with PtyChild(RAW_READER) as child:
        assert child.wait_report() == "ready"
        for data, _ in KEYS:
            child.send(data)
        child.send(b"\x1b[200~END\x1b[201~")
        got = child.wait_report()
        child.check()
    want = [e for _, events in KEYS for e in events]
    assert len(got) == len(want)
    for g, w in zip(got, want):
        assert g == w


def test_resize_and_input_split_across_writes():
    code = DESCRIBE + """
n.enable_raw_mode()
n.poll_event(0)  # the reader, and with it the window-change hook, is set up
report("ready")
report(describe(n.read_event()))
report("resized")
report(read_all())
"""
    with PtyChild(code, cols=80, rows=24) as child:
        assert child.wait_report() == "ready"
        child.resize(100, 30)
        assert child.wait_report() == {"kind": "CoreTerminalEventKind.Resize", "kind_str": "resize",
                                       "width": 100, "height": 30}
        assert child.wait_report() == "resized"
        for piece in (b"\x1b[", b"1;", b"5A", b"\xc3", b"\xa9", b"\x1b[200~a", b"b\x1b[20", b"1~"):
            child.send(piece)
        child.send(b"\x1b[200~END\x1b[201~")
        got = child.wait_report()
        child.check()
    assert [g.get("key", [None])[0] for g in got] == ["KeyEvent(Up, Press)", "KeyEvent(Char('é'), Press)", None]
    assert got[2]["paste"] == "ab"


def test_cooked_mode_line_feed_and_timeouts():
    code = DESCRIBE + """
report(n.poll_event(0))
report(n.poll_event(timeout_ms=1))
report("ready")
e = n.poll_event(2**64 - 1)
report(repr(e.key))
e = n.read_event()
report(repr(e.key))
for bad in (-1, 2**64, "1", 1.5):
    report(outcome(n.poll_event, bad))
"""
    with PtyChild(code) as child:
        assert child.wait_report() is None
        assert child.wait_report() is None
        assert child.wait_report() == "ready"
        child.send(b"x\n")  # a whole line: canonical mode hands it over at the line feed
        assert child.wait_report() == "KeyEvent(Char('x'), Press)"
        assert child.wait_report() == "KeyEvent(Enter, Press)"
        assert child.wait_report()[:2] == ["err", "OverflowError"]
        assert child.wait_report()[:2] == ["err", "OverflowError"]
        assert child.wait_report()[:2] == ["err", "TypeError"]
        assert child.wait_report()[:2] == ["err", "TypeError"]
        child.check()


@pytest.mark.parametrize("how", ["signal", "ctrl-c"])
def test_interrupt_during_read_event_raises_keyboard_interrupt(how):
    code = """
import tarvo_core.rust.native as n
try:
    report("ready")
    n.read_event()
    report("returned")
except KeyboardInterrupt:
    report("KeyboardInterrupt")
"""
    with PtyChild(code) as child:
        assert child.wait_report() == "ready"
        if how == "signal":
            child.signal(signal.SIGINT)
        else:
            child.send(b"\x03")  # cooked mode: the terminal turns it into SIGINT
        assert child.wait_report() == "KeyboardInterrupt"
        child.check()


def test_signal_handler_raises_and_the_ready_event_stays_queued():
    # The signal is taken by another thread, so the wait itself is not cut short: the handler
    # runs when the wait ends for the key, raises, and the key is read by the next call.
    code = """
import signal, threading, time, tarvo_core.rust.native as n
class Stop(Exception):
    pass
def handler(*args):
    raise Stop()
signal.signal(signal.SIGUSR1, handler)
n.enable_raw_mode()
def poke():
    time.sleep(0.2)
    signal.pthread_kill(threading.get_ident(), signal.SIGUSR1)
    report("signalled")
threading.Thread(target=poke).start()
try:
    n.poll_event(20000)
    report("no exception")
except Stop:
    report("Stop")
e = n.poll_event(0)
report(repr(e.key) if e else None)
n.disable_raw_mode()
"""
    with PtyChild(code) as child:
        assert child.wait_report() == "signalled"
        child.send(b"k")
        assert child.wait_report() == "Stop"
        assert child.wait_report() == "KeyEvent(Char('k'), Press)"
        child.check()


def test_hung_up_terminal_raises_os_error():
    code = """
import signal, tarvo_core.rust.native as n
signal.signal(signal.SIGHUP, signal.SIG_IGN)
n.enable_raw_mode()
n.poll_event(0)  # the reader is set up on the live terminal
report("ready")
report(outcome(n.read_event))
report(outcome(n.poll_event, 100))
"""
    with PtyChild(code) as child:
        assert child.wait_report() == "ready"
        child._close(child.master)
        os.close(child.master)
        child.master = -1
        first = child.wait_report()
        second = child.wait_report()
        child.finish()
    assert first[:2] == ["err", "OSError"] and "os error" in first[2]
    assert second[:2] == ["err", "OSError"]


QUERIES = """
import tarvo_core.rust.native as n
n.print_text("abc")
report("ready")
def pos():
    p = n.get_cursor_position()
    return [p.x, p.y]
report(outcome(pos))
report(n.is_raw_mode_enabled())
report(outcome(n.supports_keyboard_enhancement))
report(outcome(n.supports_keyboard_enhancement))
report(n.is_raw_mode_enabled())
report(outcome(n.poll_event, 0))
"""


@pytest.mark.parametrize("enhanced", [True, False])
def test_queries_answered(enhanced):
    with PtyChild(QUERIES, keyboard_enhancement=enhanced) as child:
        assert child.wait_report() == "ready"
        assert child.wait_report() == ["ok", "[3, 0]"]
        assert child.wait_report() is False
        assert child.wait_report() == ["ok", repr(enhanced)]
        assert child.wait_report() == ["ok", repr(enhanced)]
        assert child.wait_report() is False
        assert child.wait_report() == ["ok", "None"]  # the replies never became events
        child.check()
    assert child.queries.count(b"\x1b[6n") == 1 and child.queries.count(b"\x1b[c") == 2


def test_stale_cursor_report_is_not_the_answer():
    code = """
import select, tarvo_core.rust.native as n
n.enable_raw_mode()
n.print_text("abcd")
report("ready")
select.select([0], [], [], 5)  # the stale report has arrived
p = n.get_cursor_position()
report([p.x, p.y])
report(n.poll_event(0))
"""
    with PtyChild(code) as child:
        assert child.wait_report() == "ready"
        child.send(b"\x1b[9;9R")
        assert child.wait_report() == [4, 0]
        assert child.wait_report() is None
        child.check()


def test_input_during_a_query_is_kept_in_order():
    code = DESCRIBE + """
import time
n.enable_raw_mode()
report("ready")
time.sleep(0.3)
p = n.get_cursor_position()
report([p.x, p.y])
report(read_all())
"""
    with PtyChild(code) as child:
        assert child.wait_report() == "ready"
        child.send(b"ab")
        assert child.wait_report() == [0, 0]
        child.send(b"c\x1b[200~END\x1b[201~")
        got = child.wait_report()
        child.check()
    assert [g["key"][5] for g in got] == ["a", "b", "c"]


def test_queries_unanswered_time_out():
    code = """
import tarvo_core.rust.native as n
report(outcome(n.get_cursor_position))
report(outcome(n.supports_keyboard_enhancement))
report(n.is_raw_mode_enabled())
"""
    with PtyChild(code, answer=()) as child:
        assert child.wait_report() == ["err", "OSError", "The cursor position could not be read within a normal duration"]
        assert child.wait_report() == [
            "err", "OSError", "The keyboard enhancement status could not be read within a normal duration"]
        assert child.wait_report() is False
        child.check()


def test_without_a_terminal_everything_fails_at_once():
    code = """
import tarvo_core.rust.native as n
report(outcome(n.poll_event, 0))
report(outcome(n.poll_event, 10**6))
report(outcome(n.read_event))
report(outcome(n.get_cursor_position))
report(outcome(n.supports_keyboard_enhancement))
def noted(*args):
    try:
        n.poll_event(*args)
    except BaseException as e:
        return [type(e).__name__, getattr(e, "__notes__", None)]
report(noted(-5))
report(noted(None))
"""
    r = run_captured(code).check().reports
    no_reader = ["err", "OSError", "Failed to initialize input reader"]
    assert r[:3] == [no_reader] * 3
    assert r[3][:2] == ["err", "OSError"] and r[4][:2] == ["err", "OSError"]
    assert r[5] == ["OverflowError", ["while processing 'timeout_ms'"]]
    assert r[6] == ["TypeError", ["while processing 'timeout_ms'"]]


KEY_METHODS = """
import tarvo_core.rust.native as n
n.enable_raw_mode()
report("ready")
a, f5, backtab, click = (n.read_event() for _ in range(4))
def err(fn, *args, **kwargs):
    try:
        fn(*args, **kwargs)
    except Exception as e:
        return [type(e).__name__, str(e), getattr(e, "__notes__", None)]
k = a.key
report([k.is_char("a"), k.is_char(ch="a"), k.is_char("A"), f5.key.is_char("a"), k.is_char("\\u00e9")])
report([err(k.is_char, "ab")[0:3], err(k.is_char, "")[0:3], err(k.is_char, 5)[0], err(k.is_char, 5)[2]])
report([f5.key.char(), f5.key.function_number(), f5.key.is_function_key(), repr(f5.key), k.function_number()])
report([backtab.key.is_tab(), backtab.key.is_back_tab(), repr(backtab.key.code_name), backtab.key.modifiers.shift()])
report([a.kind == 0, a.kind == n.CoreTerminalEventKind.Key, a.kind != 3, click.kind == 3, click.kind_str(),
        click.mouse.modifiers.control(), click.mouse.modifiers.bits, click.mouse.event_kind == 0,
        n.MouseButton.Middle == 2, int(n.MouseEventKind.ScrollRight)])
report([a.key.kind == n.KeyEventKind.Press, a.key.state.keypad(), a.key.state.bits, repr(a.key.modifiers)])
n.disable_raw_mode()
"""


def test_key_event_methods_on_real_keys():
    with PtyChild(KEY_METHODS) as child:
        assert child.wait_report() == "ready"
        child.send(b"a\x1b[15~\x1b[Z\x1b[<16;3;4M")
        assert child.wait_report() == [True, True, False, False, False]
        assert child.wait_report() == [
            ["ValueError", "expected a string of length 1", ["while processing 'ch'"]],
            ["ValueError", "expected a string of length 1", ["while processing 'ch'"]],
            "TypeError", ["while processing 'ch'"]]
        assert child.wait_report() == [None, 5, True, "KeyEvent(F(5), Press)", None]
        assert child.wait_report() == [True, True, "KeyCode.BackTab", True]
        assert child.wait_report() == [True, True, True, True, "mouse", True, 2, True, True, 7]
        assert child.wait_report() == [True, False, 0, "KeyModifiers(bits=0)"]
        child.check()
