"""Input figures of the benchmark table (`python3 bench/input_figures.py [--quick]`, run by
bench/run.py, which prints JSON rows like bench/figures.py).

- The peer's decoding speed: prompt_toolkit's VT100 input parser fed the bytes that
  bench/input_bench.cpp feeds our decoder (same recipe, same checksum), in 1024-byte reads.
  bench/run.py puts the C++ figure beside it.
- The latency of a key: a child on a pseudo-terminal (tests/ptyharness.py) waits in
  `read_event`; the time from writing a key into the terminal to the moment `read_event`
  returned it, on the one monotonic clock both processes share.
"""

from __future__ import annotations

import json
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "bench"))
sys.path.insert(0, str(ROOT / "tests"))

import timing  # noqa: E402

SIZE = 1 << 20


def typed_text() -> bytes:
    line = b"The quick brown Fox jumps over the lazy dog, 0123456789 times!\r"
    return (line * (SIZE // len(line) + 1))[:SIZE]


def escape_mix() -> bytes:
    paste = bytes(ord("a") + i % 26 for i in range(200))
    out = bytearray()
    i = 0
    while len(out) < SIZE:
        out += b"\x1b[<35;%d;%dM" % (i % 200 + 1, i % 50 + 1)
        out += b"\x1b[%d;5u" % (97 + i % 26)
        out += b"\x1b[1;5A" if i % 2 else b"\x1b[57441;2u"
        if i % 16 == 15:
            out += b"\x1b[200~" + paste + b"\x1b[201~"
        i += 1
    return bytes(out)


def checksum(data: bytes) -> int:
    s = 0
    for c in data:
        s = (s * 31 + c) & 0xFFFFFFFF
    return s


def row(figure, unit, ours=None, peer_name="", peer=None, target=None, note="", na=None, **extra):
    return dict(figure=figure, unit=unit, ours=ours, peer_name=peer_name, peer=peer, target=target, note=note,
                na=na, **extra)


def peer_rows() -> list[dict]:
    inputs = [("typed text", "TypedText", typed_text()), ("escape-sequence mix", "EscapeMix", escape_mix())]
    try:
        from prompt_toolkit.input.vt100_parser import Vt100Parser
    except ImportError as exc:
        return [row(f"Input decoder, {name} (MB/s)", "MB/s", core=core, na=f"prompt_toolkit missing: {exc}")
                for name, core, _ in inputs]
    out = []
    for name, core, data in inputs:
        text = data.decode("utf-8")
        chunks = [text[i:i + 1024] for i in range(0, len(text), 1024)]
        events = []

        def feed():
            events.clear()
            parser = Vt100Parser(events.append)
            for chunk in chunks:
                parser.feed(chunk)
            parser.flush()

        seconds = timing.compare({"peer": feed})["peer"]
        out.append(row(f"Input decoder, {name} (MB/s)", "MB/s", peer_name="prompt_toolkit Vt100Parser",
                       peer=len(data) / seconds / 1e6, target=None, core=core, checksum=checksum(data),
                       note=f"{len(events)} peer key presses per MiB"))
    return out


LATENCY_CHILD = """
import time, tarvo_core.rust.native as n
n.enable_raw_mode()
report("ready")
while True:
    e = n.read_event()
    t = time.monotonic_ns()
    c = e.key.char() if e.key else None
    report([c, t])
    if c == "q":
        break
n.disable_raw_mode()
"""


def latency_rows(quick: bool) -> list[dict]:
    figure = "Input: key typed into a pty to read_event's caller (median)"
    try:
        from ptyharness import PtyChild
    except ImportError as exc:
        return [row(figure, "s", na=f"pty harness unavailable: {exc}")]
    samples = []
    with PtyChild(LATENCY_CHILD) as child:
        assert child.wait_report() == "ready"
        for _ in range(50 if quick else 300):
            start = time.monotonic_ns()
            child.send(b"a")
            _, stamp = child.wait_report()
            samples.append((stamp - start) / 1e9)
            time.sleep(0.001)
        child.send(b"q")
        child.wait_report()
        child.finish()
    samples.sort()
    median = statistics.median(samples)
    p99 = samples[int(len(samples) * 0.99) - 1]
    met = "met" if median < 1e-3 else "NOT met"
    return [row(figure, "s", ours=median,
                note=f"target < 1 ms: {met}; p99 {p99 * 1e6:.0f} us over {len(samples)} keys")]


def main(argv: list[str]) -> int:
    quick = "--quick" in argv
    timing.configure(quick)
    rows = peer_rows() + latency_rows(quick)
    json.dump(rows, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
