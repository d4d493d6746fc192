"""The effects' Python figures: Effect.process of a fade (copy-out, step, write-back) over
buffers of 80x24, 200x50 and 1000x1000, in ns per cell and cells per second. bench/run.py runs
it as the group "effects" (`python3 bench/fx_figures.py [--quick]`), pairs the 200x50 figure
with the C++ step of bench/fx_bench.cpp and reads the JSON rows it prints."""

from __future__ import annotations

import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import timing  # noqa: E402
from figures import na_rows, row, unavailable  # noqa: E402

import tarvo_core.rust.native as n  # noqa: E402

SIZES = [(80, 24), (200, 50), (1000, 1000)]


def figure(w: int, h: int) -> str:
    return f"Effect.process fade over {w}x{h} (ns/cell)"


def screen(w: int, h: int):
    buf = n.Buffer.empty(n.Rect(0, 0, w, h))
    text = "".join(chr(97 + x % 26) for x in range(w))
    cyan = n.Style.default().fg(n.Color.CYAN)
    for y in range(h):
        buf.set_string(0, y, text, cyan if y % 10 == 0 else n.Style.default())
    return buf


def main(argv: list[str]) -> int:
    timing.configure("--quick" in argv)
    why = unavailable(["fade_to", "Effect.process", "Buffer.empty"],
                      check=lambda: n.fade_to(n.Color.RED, n.Color.BLACK, 1, n.Interpolation.Linear))
    if why:
        print(json.dumps(na_rows([figure(w, h) for w, h in SIZES], "ns/cell", why, "C++ core", "not built yet")))
        return 0
    rows = []
    for w, h in SIZES:
        buf, area = screen(w, h), n.Rect(0, 0, w, h)
        effect = n.fade_to(n.Color.rgb(200, 60, 20), n.Color.BLACK, 4_000_000_000, n.Interpolation.SineInOut)
        effect.process(1_000_000_000, buf, area)  # mid-way: every cell blends
        process = effect.process
        per_call = timing.compare({"step": lambda: process(1, buf, area)})["step"]
        cells = w * h
        rows.append(row(figure(w, h), "ns/cell", per_call * 1e9 / cells,
                        target=[">=", 1 / 3] if (w, h) == (200, 50) else None,
                        note=f"{cells / per_call / 1e6:,.1f} M cells/s"))
    print(json.dumps(rows))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
