"""Side-by-side timing: every contender of a figure is sampled in turn, round after round, so
that drift of a shared machine hits all of them alike. The best sample of each is kept."""

from __future__ import annotations

import gc
import time
from typing import Callable

# Seconds one sample should last at least, and the number of rounds; --quick lowers both.
MIN_SAMPLE = 0.1
ROUNDS = 5


def configure(quick: bool) -> None:
    global MIN_SAMPLE, ROUNDS
    if quick:
        MIN_SAMPLE, ROUNDS = 0.02, 3


def _run(fn: Callable[[], object], number: int) -> float:
    gc_was_enabled = gc.isenabled()
    gc.disable()
    try:
        start = time.perf_counter()
        for _ in range(number):
            fn()
        return time.perf_counter() - start
    finally:
        if gc_was_enabled:
            gc.enable()


def _calibrate(fn: Callable[[], object]) -> int:
    number = 1
    while True:
        elapsed = _run(fn, number)
        if elapsed >= MIN_SAMPLE or number >= 1 << 24:
            return number
        # Aim a little past the minimum so the next try usually succeeds.
        guess = int(number * MIN_SAMPLE * 1.2 / elapsed) if elapsed > 0 else number * 10
        number = max(number * 2, min(guess, number * 100))


def compare(contenders: dict[str, Callable[[], object]]) -> dict[str, float]:
    """Seconds per call of each contender: the best of ROUNDS interleaved samples."""
    numbers = {name: _calibrate(fn) for name, fn in contenders.items()}
    best = {name: float("inf") for name in contenders}
    for _ in range(ROUNDS):
        for name, fn in contenders.items():
            best[name] = min(best[name], _run(fn, numbers[name]) / numbers[name])
    return best
