"""Robustness suite set-up: an address-space ceiling so that a runaway allocation ends in
MemoryError instead of taking the machine (not under AddressSanitizer, which reserves its shadow
memory up front), and a summary of the panic messages the property tests met."""

from __future__ import annotations

import os
import resource

ADDRESS_SPACE_LIMIT = 16 << 30


def pytest_configure(config):
    sanitized = "asan" in os.environ.get("LD_PRELOAD", "") or "ASAN_OPTIONS" in os.environ
    if not sanitized and hasattr(resource, "RLIMIT_AS"):
        soft, hard = resource.getrlimit(resource.RLIMIT_AS)
        if soft == resource.RLIM_INFINITY or soft > ADDRESS_SPACE_LIMIT:
            limit = ADDRESS_SPACE_LIMIT if hard == resource.RLIM_INFINITY else min(hard, ADDRESS_SPACE_LIMIT)
            resource.setrlimit(resource.RLIMIT_AS, (limit, hard))


def pytest_terminal_summary(terminalreporter):
    try:
        from test_fuzz_calls import PANICS
    except ImportError:
        return
    if not PANICS:
        return
    terminalreporter.section("panic exceptions raised (allowed: each carries its message)")
    for label in sorted(PANICS):
        for message in sorted(PANICS[label]):
            terminalreporter.line(f"{label}: {message}")
