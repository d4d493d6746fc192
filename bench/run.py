#!/usr/bin/env python3
"""Runs every benchmark and prints one table: each figure beside its peer, measured in the same
run, with the ratio.

    python3 bench/run.py [--quick] [--build-dir DIR] [--no-build] [GROUP ...]

Steps: builds the module and the `core_bench` Google Benchmark target (-DTARVO_BUILD_BENCH=ON)
in the build directory (default build/bench); installs the peers (rich, kiwisolver, prompt_toolkit) with pip
into a private folder of that build directory, never into the environment; runs core_bench;
runs each group of Python figures (bench/figures.py) in a fresh interpreter; prints the table.
Groups: dashboard, wrap, layout, calls, cells, memory, engine, input, effects, live, scale, slow
(default: all).

Timings are printed, never judged: the "target" column only says whether a ratio aimed at in
the project's goals was reached on this machine in this run.
"""

from __future__ import annotations

import argparse
import json
import os
import platform
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BENCH = ROOT / "bench"
PEERS = ["rich", "kiwisolver", "prompt_toolkit"]
GROUPS = ["dashboard", "wrap", "layout", "calls", "cells", "memory", "engine", "input", "effects", "live", "scale",
          "slow"]

# C++ figures (core_bench) shown beside the Python ones: benchmark -> (Python figure, counter)
CORE_PAIRS = {
    "BM_Figure_SetStringFull": ("Buffer.set_string over 200x50 (ns/cell)", "ns_per_cell"),
    "BM_Figure_ToStringLines": ("Buffer.to_string_lines 200x50 (ns/cell)", "ns_per_cell"),
    "BM_Fx_FadeStep/w:200/h:50": ("Effect.process fade over 200x50 (ns/cell)", "ns_per_cell"),
}
# Per-cell targets of the paired C++ figures other than the default "< 5 ns": benchmark -> ns (at most)
CORE_TARGET_NS = {"BM_Fx_FadeStep/w:200/h:50": 10}
# C++ figures shown on their own rows: benchmark -> figure
CORE_ROWS = {
    "BM_Terminal_Burst/flush_each:1": "Terminal: 10,000 cursor moves + 10,000 styled prints into a pipe, "
                                      "each flushed, C++",
    "BM_Terminal_Burst/flush_each:0": "Terminal: the same burst buffered, one flush, C++",
}


def log(msg: str) -> None:
    print(msg, file=sys.stderr, flush=True)


# ---------------------------------------------------------------------------------------------
# build, peers, core_bench


def build(build_dir: Path) -> None:
    jobs = str(os.cpu_count() or 2)
    log(f"building the module and core_bench in {build_dir} ...")
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release", "-DTARVO_BUILD_BENCH=ON"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "-j", jobs, "--target", "native", "core_bench"],
                   check=True, stdout=subprocess.DEVNULL)


def peers_env(build_dir: Path) -> dict[str, str]:
    env = dict(os.environ)
    paths = [str(build_dir / "pkg"), str(build_dir / "bench-peers")]
    if env.get("PYTHONPATH"):
        paths.append(env["PYTHONPATH"])
    env["PYTHONPATH"] = os.pathsep.join(paths)
    return env


def install_peers(build_dir: Path) -> None:
    target = build_dir / "bench-peers"
    env = peers_env(build_dir)
    probe = [sys.executable, "-c", "import " + ", ".join(PEERS)]
    if subprocess.run(probe, env=env, capture_output=True).returncode == 0:
        return
    log(f"installing the peers ({', '.join(PEERS)}) into {target} ...")
    result = subprocess.run([sys.executable, "-m", "pip", "install", "-q", "--disable-pip-version-check",
                             "--target", str(target), "--upgrade", *PEERS],
                            capture_output=True, text=True)
    if result.returncode != 0:
        log("could not install the peers; their columns stay empty:\n" + result.stderr[-2000:])


def peer_versions(build_dir: Path) -> str:
    code = ("import importlib.metadata as m\n"
            f"for p in {PEERS!r}:\n"
            "    try: print(p, m.version(p))\n"
            "    except Exception: print(p, 'missing')")
    out = subprocess.run([sys.executable, "-c", code], env=peers_env(build_dir),
                         capture_output=True, text=True).stdout
    return ", ".join(line for line in out.splitlines())


def run_core_bench(build_dir: Path, quick: bool) -> list[dict]:
    exe = build_dir / "core_bench"
    if not exe.exists():
        log(f"{exe} not found; C++ figures left out")
        return []
    log("running core_bench ...")
    result = subprocess.run([str(exe), "--benchmark_format=json",
                             f"--benchmark_min_time={0.05 if quick else 0.3}"],
                            capture_output=True, text=True)
    if result.returncode != 0:
        log("core_bench failed:\n" + result.stderr[-2000:])
        return []
    return json.loads(result.stdout).get("benchmarks", [])


# ---------------------------------------------------------------------------------------------
# Python figures


def run_group(build_dir: Path, group: str, quick: bool) -> list[dict]:
    log(f"measuring {group} ...")
    script = {"engine": ["engine_figures.py"], "input": ["input_figures.py"],
              "effects": ["fx_figures.py"], "live": ["live_figures.py"],
              "scale": ["scale_figures.py"], "slow": ["slow_splits.py"]}.get(group, ["figures.py", group])
    cmd = [sys.executable, str(BENCH / script[0]), *script[1:]] + (["--quick"] if quick else [])
    result = subprocess.run(cmd, env=peers_env(build_dir), capture_output=True, text=True)
    if result.returncode != 0:
        last = (result.stderr.strip().splitlines() or ["no output"])[-1]
        return [dict(figure=f"{group}", unit="s", ours=None, peer_name="", peer=None, target=None,
                     note="", na=f"error: {last}")]
    return json.loads(result.stdout)


# ---------------------------------------------------------------------------------------------
# the table


def fmt(value, unit: str) -> str:
    if value is None:
        return "-"
    if unit == "s":
        for scale, name in ((1, "s"), (1e-3, "ms"), (1e-6, "us"), (1e-9, "ns")):
            if value >= scale:
                return f"{value / scale:.3g} {name}"
        return f"{value * 1e9:.3g} ns"
    if unit == "fps":
        return f"{value:,.1f} fps"
    if unit == "MB/s":
        return f"{value:,.1f} MB/s"
    if unit == "ns/cell":
        return f"{value:.3g} ns"
    if unit == "bytes":
        if value >= 10 * 1024:
            return f"{value / 1024:,.1f} KiB"
        return f"{value:,.1f} B"
    return f"{value:.4g} {unit}"


def ratio(r: dict) -> float | None:
    """How many times faster (or smaller) ours is than the peer; below 1 means slower."""
    ours, peer = r.get("ours"), r.get("peer")
    if not ours or not peer:
        return None
    return ours / peer if r["unit"] in ("fps", "MB/s") else peer / ours


def target_text(r: dict, q: float | None) -> str:
    t = r.get("target")
    if not t:
        return ""
    op, value = t
    text = f"{op}{value:g}x"
    if q is None:
        return text
    met = q >= value if op == ">=" else q > value
    return f"{text} {'met' if met else 'NOT met'}"


def pair_core(rows: list[dict], core: list[dict]) -> list[dict]:
    """Adds the C++ rows: the per-cell figures beside the Python ones, the memory counters, and the
    layout splits."""
    by_name = {b["name"]: b for b in core}
    extra = []
    for name, (figure, counter) in CORE_PAIRS.items():
        b = by_name.get(name)
        if b is None or counter not in b:
            continue
        value = b[counter] * 1e9  # the counter is an inverted rate in seconds per cell
        extra.append(dict(figure=figure.replace("Buffer.", "core ") + " C++", unit="ns/cell",
                          ours=value, peer_name="", peer=None, target=None,
                          note=(f"target <= {CORE_TARGET_NS[name]} ns: "
                                + ("met" if value <= CORE_TARGET_NS[name] else "NOT met"))
                          if name in CORE_TARGET_NS else "target < 5 ns: " + ("met" if value < 5 else "NOT met"),
                          na=None))
        for r in rows:
            if r["figure"] == figure and r.get("ours") is not None:
                r["peer_name"], r["peer"] = "C++ core", value
    mem = by_name.get("BM_Figure_BufferMemory")
    if mem:
        for r in rows:
            if r["figure"].startswith("Memory per buffer cell") and r.get("ours") is not None:
                r["peer_name"], r["peer"] = "C++ sizeof(Cell)", mem["bytes_per_cell"]
            if r["figure"].startswith("Resident size of a 200x50") and r.get("ours") is not None:
                r["peer_name"], r["peer"] = "C++ cells + Buffer", mem["buffer_bytes"]
    for k in (5, 20):
        for mode, bench in (("cold", "BM_Figure_SplitCold"), ("repeated", "BM_Figure_SplitRepeated")):
            b = by_name.get(f"{bench}/n:{k}")
            if b:
                seconds = b["real_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1}[b["time_unit"]]
                extra.append(dict(figure=f"Layout split of {k} constraints, {mode}, C++", unit="s",
                                  ours=seconds, peer_name="", peer=None, target=None, note="",
                                  na=None))
    for name, figure in CORE_ROWS.items():
        b = by_name.get(name)
        if b:
            seconds = b["real_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1}[b["time_unit"]]
            extra.append(dict(figure=figure, unit="s", ours=seconds, peer_name="", peer=None, target=None,
                              note=f"{b.get('ns_per_command', 0) * 1e9:.3g} ns per command", na=None))
    input_rows(rows, by_name)
    return rows + extra + engine_rows(by_name) + editor_rows(by_name) + fx_rows(by_name) + live_rows(by_name)


def fx_rows(by_name: dict) -> list[dict]:
    """The C++ fade step (bench/fx_bench.cpp) at each size, with and without Effect.process's copies."""
    out = []
    for w, h in ((80, 24), (200, 50), (1000, 1000)):
        for bench, what in (("BM_Fx_FadeStep", "fade step"), ("BM_Fx_FadeStepWithCopies", "fade step + copies")):
            b = by_name.get(f"{bench}/w:{w}/h:{h}")
            if b and "ns_per_cell" in b:
                out.append(dict(figure=f"Effects: {what} over {w}x{h}, C++ (ns/cell)", unit="ns/cell",
                                ours=b["ns_per_cell"] * 1e9, peer_name="", peer=None, target=None, na=None,
                                note=f"{b.get('items_per_second', 0) / 1e6:,.1f} M cells/s"))
    return out


def live_rows(by_name: dict) -> list[dict]:
    """The live terminal (bench/live_bench.cpp): the diff of a fully changed 200x50 frame, the
    bytes of that frame beside a plain encoder's, and the bytes of small frames."""
    diff, enc, small = (by_name.get(f"BM_Live{n}") for n in ("DiffFullyChanged", "EncodeFullyChanged", "FrameBytes"))
    out = []
    if diff:
        ns = diff["ns_per_cell"] * 1e9
        out.append(dict(figure="Live: diff of a fully changed 200x50 frame, C++ (ns/cell)", unit="ns/cell", ours=ns,
                        peer_name="", peer=None, target=None, na=None,
                        note=f"target <= 3 ns: {'met' if ns <= 3 else 'NOT met'}"))
    if enc:
        out.append(dict(figure="Live: bytes of that frame", unit="bytes", ours=enc["bytes"], peer_name="plain encoder",
                        peer=enc["plain_bytes"], target=None, na=None,
                        note="no more than the plain encoder: " + ("met" if enc["bytes"] <= enc["plain_bytes"] else "NOT met")))
    if small:
        out.append(dict(figure="Live: bytes of an unchanged frame / one changed cell", unit="bytes",
                        ours=small["unchanged_bytes"], peer_name="one plain cell", peer=small["one_plain_cell_bytes"],
                        target=None, na=None,
                        note=f"synchronized-update pair + cursor only; one styled cell "
                             f"{small['one_styled_cell_bytes']:.0f} bytes; one plain cell < 40: "
                             + ("met" if small["one_plain_cell_bytes"] < 40 else "NOT met")))
    return out


# The decoder's speed targets (MB/s) by input, beside prompt_toolkit's parser fed the same bytes.
INPUT_TARGETS = {"TypedText": 200, "EscapeMix": 50}


def input_rows(rows: list[dict], by_name: dict) -> None:
    for r in rows:
        core = r.get("core")
        b = by_name.get(f"BM_Input_Decode{core}") if core else None
        if not b:
            continue
        r["ours"] = b["bytes_per_second"] / 1e6
        r["na"] = None
        same = "same bytes" if int(b.get("checksum", -1)) == r.get("checksum") else "DIFFERENT bytes"
        target = INPUT_TARGETS[core]
        r["note"] = (f"C++ decoder; target >= {target} MB/s: {'met' if r['ours'] >= target else 'NOT met'}; "
                     f"{b.get('allocs_per_event', 0):.3f} allocations per event; {same}; " + (r.get("note") or ""))


def engine_rows(by_name: dict) -> list[dict]:
    """The engine's C++ frame, and what its walk costs beyond drawing, counted in buffer copies."""
    frame, draw, copy = (by_name.get(f"BM_Engine_{n}") for n in ("IrFrame", "IrDrawOnly", "BufferCopy"))
    if not (frame and draw and copy):
        return []
    walk = (frame["real_time"] - draw["real_time"]) / copy["real_time"]
    return [dict(figure="Engine frame 200x50 from render-IR nodes, C++ (fps)", unit="fps",
                 ours=frame["fps"], peer_name="", peer=None, target=None, na=None,
                 note=f"{frame.get('ir_nodes', 0):.0f} IR nodes; the walk beyond drawing costs {walk:.2f} "
                      f"buffer copies of 200x50 (target <= 2: {'met' if walk <= 2 else 'NOT met'})")]


# Editor figures: (benchmark on 10 MB, the same on 1 MB, figure); the two should cost alike.
EDITOR_ROWS = [
    ("BM_Editor_TypeChar/10", "BM_Editor_TypeChar/1", "Editor: type + delete a character in a 10 MB text, C++"),
    ("BM_Editor_Undo50/10", "BM_Editor_Undo50/1", "Editor: 50 typed edits + 50 undos in a 10 MB text, C++"),
]


def editor_rows(by_name: dict) -> list[dict]:
    """The editor's costs on a 10 MB text beside the same on 1 MB (target: they stay alike)."""
    unit = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1}
    out = []
    for big, small, figure in EDITOR_ROWS:
        b, s_ = by_name.get(big), by_name.get(small)
        if not (b and s_):
            continue
        growth = b["real_time"] / s_["real_time"]
        out.append(dict(figure=figure, unit="s", ours=b["real_time"] * unit[b["time_unit"]], peer_name="",
                        peer=None, target=None, na=None,
                        note=f"{growth:.2f}x the 1 MB figure (target: about 1x, the line touched, not the text)"))
    words = by_name.get("BM_Editor_WordMovesAlongLine/1")
    if words:
        out.append(dict(figure="Editor: Ctrl+Right from start to end of a 1 MB line, C++", unit="s",
                        ours=words["real_time"] * unit[words["time_unit"]], peer_name="", peer=None, target=None,
                        na=None, note=f"{words.get('ns_per_move', 0) * 1e9:.3g} ns per word move"))
    return out


def print_table(rows: list[dict]) -> None:
    header = ["figure", "ours", "peer", "peer value", "ratio", "target", "note"]
    lines = []
    for r in rows:
        if r.get("na"):
            lines.append([r["figure"], f"n/a ({r['na']})", r.get("peer_name", ""), "", "", "",
                          r.get("note") or ""])
            continue
        q = ratio(r)
        lines.append([r["figure"], fmt(r["ours"], r["unit"]), r.get("peer_name") or "",
                      fmt(r["peer"], r["unit"]) if r.get("peer_name") else "",
                      f"{q:.2f}x" if q is not None else "", target_text(r, q), r.get("note") or ""])
    widths = [max(len(str(x[i])) for x in lines + [header]) for i in range(len(header))]
    # Keep the note column last and unpadded.
    def out(cols):
        print("  ".join(str(c).ljust(w) for c, w in zip(cols[:-1], widths)) + "  " + str(cols[-1]))

    out(header)
    out(["-" * w for w in widths[:-1]] + ["-" * 4])
    for line in lines:
        out(line)
    print("\nratio: how many times faster (or smaller) ours is than the peer; below 1 means slower.")


def print_effects(core: list[dict]) -> None:
    """Every kind of effect stepping a 200x50 buffer (bench/fx_effects_bench.cpp), per cell, with
    the copy of the buffer each step starts from taken out, beside the 20 ns target."""
    rows = {b["name"][len("BM_FxEffect_"):]: b["ns_per_cell"] * 1e9
            for b in core if b["name"].startswith("BM_FxEffect_") and "ns_per_cell" in b}
    if not rows:
        return
    copy = rows.pop("copy_only", 0.0)
    print(f"\nEffects stepping a 200x50 buffer, C++ (ns per cell, the buffer copy of {copy:.2g} ns taken out):")
    width = max(len(k) for k in rows)
    for kind, value in rows.items():
        own = max(value - copy, 0.0)
        print(f"  {kind.ljust(width)}  {own:6.2f} ns  target <= 20 ns: {'met' if own <= 20 else 'NOT met'}")


def print_core(core: list[dict]) -> None:
    if not core:
        return
    print("\nC++ core (core_bench, every benchmark):")
    skip = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads",
            "iterations", "real_time", "cpu_time", "time_unit", "family_index",
            "per_family_instance_index", "aggregate_name", "aggregate_unit", "label"}
    width = max(len(b["name"]) for b in core)
    for b in core:
        counters = ", ".join(
            f"{k}={b[k] * 1e9:.3g} ns" if k.startswith("ns_per") else f"{k}={b[k]:.4g}"
            for k in b if k not in skip and isinstance(b[k], (int, float)))
        print(f"  {b['name'].ljust(width)}  {b['real_time']:10.1f} {b['time_unit']}  {counters}")


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("groups", nargs="*", metavar="GROUP", help="one of: " + ", ".join(GROUPS))
    ap.add_argument("--build-dir", type=Path, default=ROOT / "build" / "bench")
    ap.add_argument("--quick", action="store_true", help="shorter samples (rough figures)")
    ap.add_argument("--no-build", action="store_true", help="use the build directory as it is")
    ap.add_argument("--no-peers", action="store_true", help="do not install the peers")
    args = ap.parse_args()
    unknown = [g for g in args.groups if g not in GROUPS]
    if unknown:
        ap.error("unknown group: " + ", ".join(unknown))
    build_dir = args.build_dir.resolve()

    if not args.no_build:
        build(build_dir)
    if not args.no_peers:
        install_peers(build_dir)
    core = run_core_bench(build_dir, args.quick)
    rows = []
    for group in args.groups or GROUPS:
        rows += run_group(build_dir, group, args.quick)
    rows = pair_core(rows, core)

    print(f"tarvo_core benchmarks: Python {platform.python_version()}, {os.cpu_count()} CPUs, "
          f"peers: {peer_versions(build_dir)}")
    print(f"module: {build_dir / 'pkg'}\n")
    print_table(rows)
    print_effects(core)
    print_core(core)
    return 0


if __name__ == "__main__":
    sys.exit(main())
