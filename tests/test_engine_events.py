"""Session event waits on a pseudo-terminal (tests/ptyharness.py): ticks at the tick rate, a
key before a due tick, nothing at once with a zero timeout, and the ticks of a closed session."""

from ptyharness import PtyChild, run_pty

PRELUDE = """
import time
from tarvo_core.rust.engine import CoreSession
def kind(e):
    return None if e is None else repr(e.kind).split(".")[-1]
"""


def test_ticks_come_at_the_tick_rate():
    c = run_pty(PRELUDE + """
s = CoreSession.init(tick_rate_ms=100)
e = s.poll_event(10**9)  # the tick ends the wait long before the timeout
report([kind(e), e.tick.elapsed_ms >= 100])
report([kind(s.poll_event(0))])
s.restore()
# a closed session has no terminal: its ticks still come, and nothing is waited for
report([s.is_buffer_backed(), kind(s.poll_event(0))])
time.sleep(0.12)
report([kind(s.poll_event(10**9))])
e = s.read_event()
report([kind(e), e.tick.elapsed_ms >= 90])
""", cols=20, rows=4)
    assert c.reports == [["Tick", True], [None], [True, None], ["Tick"], ["Tick", True]]


def test_a_key_comes_before_a_due_tick():
    with PtyChild(PRELUDE + """
s = CoreSession.init(tick_rate_ms=50)
report("ready")
time.sleep(0.3)
first, second = s.poll_event(1000), s.poll_event(1000)
report([kind(first), kind(second)])
s.restore()
""", cols=20, rows=4) as child:
        assert child.wait_report() == "ready"
        child.send(b"x")
        child.finish()
        assert child.reports[-1] == ["Key", "Tick"]


def test_sizes_of_a_closed_session_come_from_the_terminal():
    c = run_pty(PRELUDE + """
s = CoreSession.init()
s.restore()
report([(z.width, z.height) for z in (s.get_size(), s.get_window_size())])
""", cols=33, rows=7)
    assert c.reports == [[[33, 7], [33, 7]]]
