"""How many cold splits of long repeated rows take over a second: rows of one or two kinds of
constraint repeated to 500 to 10,000 segments, with up to two others at either end, in a random
flex mode, spacing (an overlap of 3 to a gap of 3) and width (5 to 65,535 cells). Each row is split
in a fresh interpreter, four at a time, and given up after 5 s. bench/run.py runs it as the group
"slow" (`python3 bench/slow_splits.py [--quick] [--first SEED] [--count N] [--list]`); --list also
prints each slow row, as `seed seconds flex width spacing constraints`, to the standard error.
"""

from __future__ import annotations

import json
import random
import subprocess
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from figures import row  # noqa: E402

FLEXES = ["Legacy", "Start", "End", "Center", "SpaceBetween", "SpaceAround", "SpaceEvenly"]
CAP = 5.0  # seconds a row is given
AT_ONCE = 4


def constraint(rng: random.Random) -> str:
    kind = rng.choice("LMXPRF")
    if kind in "LMX":
        return f"{kind}{rng.choice([0, 1, 2, 3, 5, 10, 50])}"
    if kind == "P":
        return f"P{rng.choice([0, 1, 5, 10, 50, 100])}"
    if kind == "R":
        b = rng.randint(2, 10)
        return f"R{rng.randint(0, b)}/{b}"
    return f"F{rng.choice([0, 1, 2, 3, 5])}"


def drawn(seed: int) -> tuple[int, int, int, list[str]]:
    """The row of a seed: flex index, width, spacing and its constraints, one code each."""
    rng = random.Random(seed)
    flex = rng.randint(0, 6)
    width = rng.choice([5, 10, 30, 80, 117, 200, 1000, 2000, 9000, 30000, 65535])
    spacing = rng.choice([-3, -2, -1, 0, 1, 2, 3])
    count = rng.choice([500, 1000, 3000, 5000, 10000])
    unit = [constraint(rng) for _ in range(rng.randint(1, 2))]
    head = [constraint(rng) for _ in range(rng.choice([0, 0, 1, 2]))]
    tail = [constraint(rng) for _ in range(rng.choice([0, 0, 1, 2]))]
    return flex, width, spacing, head + unit * (count // len(unit)) + tail


def split_one(seed: int) -> None:
    import tarvo_core.rust.native as n

    flex, width, spacing, codes = drawn(seed)
    make = {"L": n.Constraint.length, "M": n.Constraint.min, "X": n.Constraint.max,
            "P": n.Constraint.percentage, "F": n.Constraint.fill}

    def of(code: str):
        if code[0] == "R":
            a, b = code[1:].split("/")
            return n.Constraint.ratio(int(a), int(b))
        return make[code[0]](int(code[1:]))

    layout = n.Layout.horizontal([of(c) for c in codes]).flex(getattr(n.Flex, FLEXES[flex])).spacing(spacing)
    layout.split(n.Rect(0, 0, width, 1))


def timed(seed: int) -> float:
    start = time.perf_counter()
    try:
        subprocess.run([sys.executable, __file__, "--row", str(seed)], check=True, timeout=CAP,
                       stdout=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return float("inf")
    return time.perf_counter() - start


def main() -> int:
    args = sys.argv[1:]
    if "--row" in args:
        split_one(int(args[args.index("--row") + 1]))
        return 0
    first = int(args[args.index("--first") + 1]) if "--first" in args else 0
    count = int(args[args.index("--count") + 1]) if "--count" in args else (100 if "--quick" in args else 400)
    seeds = range(first, first + count)
    with ThreadPoolExecutor(AT_ONCE) as pool:
        times = list(pool.map(timed, seeds))
    slow = [(seed, took) for seed, took in zip(seeds, times) if took > 1.0]
    if "--list" in args:
        for seed, took in slow:
            flex, width, spacing, codes = drawn(seed)
            shown = f"over {CAP:g}s" if took == float("inf") else f"{took:.1f}s"
            print(seed, shown, FLEXES[flex], width, spacing, ",".join(codes[:4]) + f",... ({len(codes)})",
                  file=sys.stderr)
    json.dump([row(f"Layout cold splits of long repeated rows, seeds {first} to {first + count - 1}: "
                   "how many take over 1 s", "rows", float(len(slow)),
                   note=f"goal: none; timed {AT_ONCE} at a time, each given {CAP:g} s")], sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
