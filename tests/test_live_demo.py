"""The demo: live in a terminal (keys switch screens, q quits, the terminal comes back), printed
offscreen frames without one."""

from pathlib import Path

from ptyharness import PtyChild, run_captured

DEMO = Path(__file__).resolve().parent.parent / "examples" / "demo.py"
RUN = f"import runpy, sys; sys.argv = [{str(DEMO)!r}]; runpy.run_path({str(DEMO)!r}, run_name='__main__')"


def shows(c, text):
    c._pump_until(lambda: any(text in line for line in c.screen_lines()), 10, repr(text))


def test_live_dashboard_keys_and_quit():
    with PtyChild(RUN, cols=120, rows=40, timeout=30) as c:
        shows(c, "tarvo dashboard")
        shows(c, "[1] render IR  [2] widgets  [3] keys    screen 1")
        assert any("Items" in line for line in c.screen_lines())
        for key, text in ((b"3", "q / Esc    quit"), (b"2", "┌Items"), (b"\t", "screen 3"), (b"1", "screen 1")):
            c.send(key)
            shows(c, text)
        c.send(b"q")
        c.check()
    out = bytes(c.output)
    assert out.startswith(b"\x1b[?1049h") and b"\x1b[?1049l" in out[-400:]
    assert c.screen.cursor.hidden is False


def test_without_a_terminal_the_frames_are_printed():
    c = run_captured(RUN, stdout="pipe").check()
    text = c.stdout.decode()
    assert "tarvo dashboard" in text and "render-IR dashboard" in text
    assert b"\x1b[?1049h" not in c.stdout
