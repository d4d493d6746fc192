"""The layout figures' peer: the same constraint system that our splitter solves, posed to
kiwisolver. One horizontal split without margin, in any flex mode and with a gap: 2n+2
variables in hundredths of a cell (spacer, segment, spacer, ..., spacer), the same constraints
with the same strengths, added in the same order."""

from __future__ import annotations

import kiwisolver as kiwi

REQUIRED = 1_001_001_000.0
EMPTY = REQUIRED - 1.0
SPACER_EQ = REQUIRED / 10.0
MIN_GE = MAX_LE = 100_000_000.0
LENGTH_EQ = 10_000_000.0
PERCENT_EQ = 1_000_000.0
RATIO_EQ = 100_000.0
MAX_EQ = MIN_EQ = 10_000.0
SPACE_GROW = 10.0
FILL_GROW = 1_000.0
GROW = 100.0
SEGMENT_EQ = 1.0


def build(constraints: list[tuple], start: int, end: int, flex: str = "start", spacing: int = 0):
    """A solver holding the system for a split of [start, end) by `constraints`, each a tuple
    such as ("length", 10), ("ratio", 1, 8), with flex "legacy", "start", "end", "center",
    "space_between", "space_around" or "space_evenly" and a gap of `spacing` cells. Returns
    (solver, variables)."""
    solver = kiwi.Solver()
    add = solver.addConstraint
    n = len(constraints)
    v = [kiwi.Variable() for _ in range(2 * n + 2)]
    first, last = v[0], v[-1]
    area = last - first
    gap = spacing * 100.0

    add(first == start * 100.0)
    add(last == end * 100.0)
    for x in v:
        add(x >= first)
        add(x <= last)
    for i in range(n):
        add(v[2 * i + 1] <= v[2 * i + 2])

    spacers = [v[2 * i + 1] - v[2 * i] for i in range(n + 1)]
    middle = spacers[1:-1] if n >= 2 else []

    def pairs_equal(items):
        for i in range(len(items)):
            for j in range(i + 1, len(items)):
                add((items[i] == items[j]) | SPACER_EQ)

    def growing(items):
        for s in items:
            add((s >= gap) | SPACER_EQ)
            add((s == area) | SPACE_GROW)

    if flex in ("legacy", "start", "center", "end"):
        for s in middle:
            add((s == gap) | SPACER_EQ)
        if flex == "legacy":
            add((spacers[0] == 0.0) | EMPTY)
            add((spacers[-1] == 0.0) | EMPTY)
        elif flex == "start":
            add((spacers[0] == 0.0) | EMPTY)
            add((spacers[-1] == area) | GROW)
        elif flex == "center":
            add((spacers[0] == area) | GROW)
            add((spacers[-1] == area) | GROW)
            add((spacers[0] == spacers[-1]) | SPACER_EQ)
        else:
            add((spacers[-1] == 0.0) | EMPTY)
            add((spacers[0] == area) | GROW)
    elif flex == "space_between":
        pairs_equal(middle)
        growing(middle)
        add((spacers[0] == 0.0) | EMPTY)
        add((spacers[-1] == 0.0) | EMPTY)
    elif flex == "space_around" and n >= 2:
        pairs_equal(middle)
        add((spacers[1] == 2.0 * spacers[0]) | SPACER_EQ)
        add((spacers[1] == 2.0 * spacers[-1]) | SPACER_EQ)
        growing(spacers)
    else:  # space_evenly, and space_around with fewer than two segments
        pairs_equal(spacers)
        growing(spacers)

    segs = [v[2 * i + 2] - v[2 * i + 1] for i in range(n)]
    scaled = []
    for seg, c in zip(segs, constraints):
        kind = c[0]
        if kind == "max":
            add((seg <= c[1] * 100.0) | MAX_LE)
            add((seg == c[1] * 100.0) | MAX_EQ)
        elif kind == "min":
            add((seg >= c[1] * 100.0) | MIN_GE)
            if flex == "legacy":
                add((seg == c[1] * 100.0) | MIN_EQ)
            else:
                add((seg == area) | FILL_GROW)
                scaled.append((seg, 1.0))
        elif kind == "length":
            add((seg == c[1] * 100.0) | LENGTH_EQ)
        elif kind == "percentage":
            add((seg == area * (c[1] / 100.0)) | PERCENT_EQ)
        elif kind == "ratio":
            add((seg == area * (c[1] / max(c[2], 1))) | RATIO_EQ)
        elif kind == "fill":
            add((seg == area) | FILL_GROW)
            scaled.append((seg, max(float(c[1]), 1e-6)))
        else:
            raise ValueError(kind)
    for i in range(len(scaled)):
        for j in range(i + 1, len(scaled)):
            (si, wi), (sj, wj) = scaled[i], scaled[j]
            add((wj * si == wi * sj) | GROW)
    if flex != "legacy":
        for a, b in zip(segs, segs[1:]):
            add((a == b) | SEGMENT_EQ)
    solver.updateVariables()
    return solver, v


def _cell(value: float) -> int:
    def half_away(x: float) -> float:
        return float(int(x + 0.5)) if x >= 0 else -float(int(-x + 0.5))

    return max(0, min(65535, int(half_away(half_away(value) / 100.0))))


def segments(v) -> list[tuple[int, int]]:
    """(x, width) of every segment from solved variables."""
    out = []
    for i in range((len(v) - 2) // 2):
        start, end = _cell(v[2 * i + 1].value()), _cell(v[2 * i + 2].value())
        out.append((start, max(0, end - start)))
    return out


def split(constraints: list[tuple], start: int, end: int, flex: str = "start",
          spacing: int = 0) -> list[tuple[int, int]]:
    return segments(build(constraints, start, end, flex, spacing)[1])
