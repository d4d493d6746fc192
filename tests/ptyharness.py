"""Child processes for terminal tests: on a pseudo-terminal, or with no terminal at all.

A child is a Python program given as source text. It runs with a side channel for its results:
the child calls ``report(value)`` (any JSON value) and the test reads the values in order, so
the child's standard output stays free for terminal bytes. ``outcome(fn, *args, **kwargs)``
in the child calls fn and gives ``["ok", repr(result)]`` or ``["err", exception type name,
str(exception)]``, handy for table-driven checks.

On a pseudo-terminal (``PtyChild`` / ``run_pty``) the child is a session leader whose
controlling terminal is the pty (so "/dev/tty" works) with the given size. Every byte it
writes to the terminal is kept exactly (``output``) and fed to a VT emulator (pyte,
``screen``); the harness answers the terminal's queries as a real terminal would:

- cursor position "ESC [ 6 n" -> "ESC [ row ; col R" (1-based, from the emulator's cursor at
  the moment of the query, so earlier output is accounted for);
- primary device attributes "ESC [ c" -> "ESC [ ? 62 ; 22 c";
- keyboard flags "ESC [ ? u" -> "ESC [ ? flags u" with the flags of the push/pop stack the
  child wrote ("ESC [ > n u", "ESC [ < n u", "ESC [ = n ; m u"), only when
  ``keyboard_enhancement`` is true (otherwise unanswered, like a terminal without the
  protocol, which still answers the device attributes query).

``answer`` chooses which of "cursor", "device", "keyboard" are answered (pass an empty set to
leave every query unanswered, e.g. to test a query's timeout).

pyte misreads a few sequences (underline colours, "4:k" underline kinds, the keyboard flag
protocol, ZWJ sequences). The emulator is therefore fed a cleaned copy: the keyboard protocol
and the queries are removed, "4:k" becomes "4" and underline colours (58/59) are dropped.
Check writers and diffs by exact bytes (``output``, or a captured child below) and use the
screen for screen-level checks.

Without a terminal (``run_captured``) the child runs in a new session with no controlling
terminal (setsid; "/dev/tty" cannot be opened), standard input from /dev/null and standard
output captured exactly, or made closed / broken / full on purpose. The outcome does not
depend on how the test suite itself was started.

Every wait has a hard timeout: on expiry the child is killed and ``HarnessTimeout`` is raised
with what was seen so far.
"""

from __future__ import annotations

import codecs
import dataclasses
import fcntl
import json
import os
import re
import select
import signal
import struct
import subprocess
import sys
import termios
import textwrap
import time

import pyte

DEFAULT_TIMEOUT = 10.0

# Defines report() and outcome() in the child, then runs the test's code.
_PRELUDE = """\
import json as _json, os as _os
_side = int(_os.environ.pop("PTYHARNESS_FD"))
def report(value):
    data = (_json.dumps(value) + "\\n").encode()
    while data:
        data = data[_os.write(_side, data):]
def outcome(fn, *args, **kwargs):
    try:
        return ["ok", repr(fn(*args, **kwargs))]
    except BaseException as e:
        return ["err", type(e).__name__, str(e)]
"""


class HarnessTimeout(AssertionError):
    """A child did not do what was awaited in time (it has been killed)."""


def _child_source(code: str) -> str:
    return _PRELUDE + textwrap.dedent(code)


def _child_env(extra: dict | None, side_fd: int, term: str | None) -> dict:
    env = dict(os.environ)
    if term is not None:
        env["TERM"] = term
    env["PTYHARNESS_FD"] = str(side_fd)
    env.setdefault("PYTHONUNBUFFERED", "1")
    for k, v in (extra or {}).items():
        if v is None:
            env.pop(k, None)
        else:
            env[k] = v
    return env


def _read_lines(buf: bytearray) -> list:
    out = []
    while True:
        nl = buf.find(b"\n")
        if nl < 0:
            return out
        out.append(json.loads(bytes(buf[:nl]).decode()))
        del buf[: nl + 1]


# ---------------------------------------------------------------------------------------------
# No terminal

@dataclasses.dataclass
class Captured:
    stdout: bytes
    stderr: bytes
    returncode: int
    reports: list

    def check(self) -> "Captured":
        """Raises AssertionError with the child's standard error unless it exited with 0."""
        if self.returncode != 0:
            raise AssertionError(f"child exited with {self.returncode}:\n{self.stderr.decode(errors='replace')}")
        return self


def run_captured(code: str, *, stdout: str = "pipe", env: dict | None = None,
                 timeout: float = DEFAULT_TIMEOUT) -> Captured:
    """Runs `code` with no controlling terminal and returns what it wrote.

    stdout: "pipe" (captured exactly), "closed" (descriptor 1 not open), "broken" (a pipe whose
    reader has gone: writes fail with EPIPE), "full" (/dev/full: writes fail with ENOSPC).
    """
    side_r, side_w = os.pipe()
    out_r = None
    pass_fds = [side_w]
    if stdout == "pipe":
        child_stdout = subprocess.PIPE
    elif stdout == "broken":
        out_r, out_w = os.pipe()
        child_stdout = out_w
    elif stdout == "full":
        child_stdout = os.open("/dev/full", os.O_WRONLY)
    elif stdout == "closed":
        child_stdout = subprocess.DEVNULL  # closed below, before the program runs
    else:
        raise ValueError(f"unknown stdout mode {stdout!r}")
    source = _child_source(code)
    if stdout == "closed":
        source = "import os as _o\n_o.close(1)\n" + source
    try:
        proc = subprocess.Popen(
            [sys.executable, "-c", source], stdin=subprocess.DEVNULL, stdout=child_stdout,
            stderr=subprocess.PIPE, pass_fds=pass_fds, env=_child_env(env, side_w, None),
            start_new_session=True)
    finally:
        os.close(side_w)
        if isinstance(child_stdout, int) and child_stdout >= 0:
            os.close(child_stdout)
        if out_r is not None:
            os.close(out_r)  # the reader goes away: the child's writes break
    side = bytearray()
    try:
        out, err = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        proc.kill()
        out, err = proc.communicate()
        os.close(side_r)
        raise HarnessTimeout(f"child did not finish within {timeout}s; stderr:\n{err.decode(errors='replace')}")
    while True:
        chunk = os.read(side_r, 65536)
        if not chunk:
            break
        side += chunk
    os.close(side_r)
    return Captured(out or b"", err or b"", proc.returncode, _read_lines(side))


# ---------------------------------------------------------------------------------------------
# Pseudo-terminal

_QUERY = re.compile(rb"\x1b\[(?:(6)n|(0?)c|(\?)u|([<>=])([0-9;]*)u)")
_INCOMPLETE_CSI = re.compile(rb"\x1b(?:\[[0-9;:?<>=]*)?\Z")
_SGR = re.compile(rb"\x1b\[([0-9;:]*)m")


def _clean_sgr(m: re.Match) -> bytes:
    """An SGR sequence as pyte understands it: "4:k" -> "4", underline colours dropped."""
    params = m.group(1).split(b";")
    out = []
    i = 0
    while i < len(params):
        p = params[i]
        if p.startswith(b"4:"):
            out.append(b"4" if p != b"4:0" else b"24")
        elif p == b"58":
            if i + 1 < len(params) and params[i + 1] == b"5":
                i += 2
            elif i + 1 < len(params) and params[i + 1] == b"2":
                i += 4
        elif p == b"59" or b":" in p:
            pass
        else:
            out.append(p)
        i += 1
    if not out and m.group(1):
        return b""
    return b"\x1b[" + b";".join(out) + b"m"


class PtyChild:
    """A Python child on a pseudo-terminal of `cols` x `rows` (see the module's notes)."""

    def __init__(self, code: str, *, cols: int = 80, rows: int = 24, env: dict | None = None,
                 term: str = "xterm-256color", answer=("cursor", "device", "keyboard"),
                 keyboard_enhancement: bool = True, stderr_to_tty: bool = False,
                 timeout: float = DEFAULT_TIMEOUT):
        self.timeout = timeout
        self.answer = set(answer)
        self.keyboard_enhancement = keyboard_enhancement
        self.keyboard_stack: list[int] = []
        self.output = bytearray()          # every byte the child wrote to the terminal
        self.queries: list[bytes] = []     # the queries seen, in order
        self.stderr = bytearray()
        self.reports: list = []            # side-channel values not yet taken by wait_report
        self.returncode: int | None = None
        self.screen = pyte.Screen(cols, rows)
        self._stream = pyte.Stream(self.screen)
        self._decoder = codecs.getincrementaldecoder("utf-8")("replace")
        self._held = b""
        self._side = bytearray()
        self._deadline_start = time.monotonic()

        self.master, slave = os.openpty()
        self._set_size(slave, cols, rows)
        side_r, side_w = os.pipe()
        err_r = None
        stderr = slave
        if not stderr_to_tty:
            err_r, err_w = os.pipe()
            stderr = err_w
        try:
            self.proc = subprocess.Popen(
                [sys.executable, "-c", _child_source(code)], stdin=slave, stdout=slave, stderr=stderr,
                pass_fds=[side_w], env=_child_env(env, side_w, term), start_new_session=True,
                preexec_fn=_take_controlling_tty)
        finally:
            os.close(slave)
            os.close(side_w)
            if err_r is not None:
                os.close(err_w)
        self._side_r = side_r
        self._err_r = err_r
        self._open = {self.master, side_r} | ({err_r} if err_r is not None else set())

    # ---- driving the child ----

    def send(self, data: bytes | str) -> None:
        """Types `data` into the terminal (the child reads it as input)."""
        if isinstance(data, str):
            data = data.encode()
        while data:
            data = data[os.write(self.master, data):]

    def resize(self, cols: int, rows: int) -> None:
        """Changes the window size; the kernel sends SIGWINCH to the child."""
        self._set_size(self.master, cols, rows)
        self.screen.resize(rows, cols)

    def signal(self, sig: int = signal.SIGINT) -> None:
        self.proc.send_signal(sig)

    def wait_report(self, timeout: float | None = None):
        """The next value the child reported (waits for it)."""
        self._pump_until(lambda: bool(self.reports), timeout, "a report")
        return self.reports.pop(0)

    def wait_screen(self, done, what: str, timeout: float | None = None) -> list[str]:
        """Waits until done(lines) holds for the screen's lines, right-stripped (a report can
        overtake the frame drawn before it); returns those lines."""
        lines = lambda: [ln.rstrip() for ln in self.screen.display]  # noqa: E731
        self._pump_until(lambda: done(lines()), timeout, what)
        return lines()

    def wait_output(self, needle: bytes, timeout: float | None = None) -> None:
        """Waits until the child has written `needle` to the terminal."""
        self._pump_until(lambda: needle in self.output, timeout, f"output {needle!r}")

    def finish(self, timeout: float | None = None) -> "PtyChild":
        """Waits for the child to exit and for all its output; returns self."""
        self._pump_until(lambda: not self._open and self.proc.poll() is not None, timeout, "the child's exit")
        self.returncode = self.proc.wait()
        return self

    def check(self) -> "PtyChild":
        """finish(), then AssertionError with the child's standard error unless it exited with 0."""
        self.finish()
        if self.returncode != 0:
            raise AssertionError(f"child exited with {self.returncode}:\n{self.stderr.decode(errors='replace')}")
        return self

    def kill(self) -> None:
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait()
        for fd in list(self._open):
            self._close(fd)

    def __enter__(self) -> "PtyChild":
        return self

    def __exit__(self, *exc) -> None:
        self.kill()
        if self.master >= 0:
            os.close(self.master)
            self.master = -1

    # ---- the screen ----

    def screen_lines(self) -> list[str]:
        """The emulator's screen as text lines (trailing blanks kept)."""
        return list(self.screen.display)

    def cell(self, x: int, y: int):
        """The emulator's cell at column x, row y (pyte Char: data, fg, bg, bold, ...)."""
        return self.screen.buffer[y][x]

    def cursor(self) -> tuple[int, int]:
        """The emulator's cursor (column, row), 0-based."""
        return self.screen.cursor.x, self.screen.cursor.y

    # ---- internals ----

    @staticmethod
    def _set_size(fd: int, cols: int, rows: int) -> None:
        fcntl.ioctl(fd, termios.TIOCSWINSZ, struct.pack("HHHH", rows, cols, 0, 0))

    def _close(self, fd: int) -> None:
        if fd in self._open:
            self._open.discard(fd)
            if fd != self.master:
                os.close(fd)

    def _pump_until(self, done, timeout, what: str) -> None:
        limit = time.monotonic() + (self.timeout if timeout is None else timeout)
        while not done():
            left = limit - time.monotonic()
            if left <= 0:
                self.kill()
                raise HarnessTimeout(
                    f"waited {what} in vain; output so far: {bytes(self.output)!r}\n"
                    f"stderr: {self.stderr.decode(errors='replace')}")
            if not self._open:
                if self.proc.poll() is None:
                    time.sleep(min(left, 0.01))
                    continue
                if done():
                    return
                raise AssertionError(
                    f"child exited ({self.proc.returncode}) before {what}; output: {bytes(self.output)!r}\n"
                    f"stderr: {self.stderr.decode(errors='replace')}")
            ready, _, _ = select.select(list(self._open), [], [], min(left, 0.05))
            for fd in ready:
                try:
                    chunk = os.read(fd, 65536)
                except OSError:  # EIO: every slave descriptor is closed
                    chunk = b""
                if not chunk:
                    self._close(fd)
                elif fd == self.master:
                    self._terminal_bytes(chunk)
                elif fd == self._side_r:
                    self._side += chunk
                    self.reports.extend(_read_lines(self._side))
                else:
                    self.stderr += chunk

    def _terminal_bytes(self, chunk: bytes) -> None:
        self.output += chunk
        data = self._held + chunk
        self._held = b""
        pos = 0
        for m in _QUERY.finditer(data):
            self._feed(data[pos:m.start()])
            pos = m.end()
            self._query(m)
        rest = data[pos:]
        esc = rest.rfind(b"\x1b")
        if esc >= 0 and _INCOMPLETE_CSI.match(rest, esc):
            self._held = rest[esc:]
            rest = rest[:esc]
        self._feed(rest)

    def _feed(self, data: bytes) -> None:
        if data:
            self._stream.feed(self._decoder.decode(_SGR.sub(_clean_sgr, data)))

    def _reply(self, data: bytes) -> None:
        try:
            self.send(data)
        except OSError:
            pass

    def _query(self, m: re.Match) -> None:
        self.queries.append(m.group(0))
        if m.group(1):
            if "cursor" in self.answer:
                x, y = self.cursor()
                self._reply(b"\x1b[%d;%dR" % (y + 1, x + 1))
        elif m.group(2) is not None and m.group(0).endswith(b"c"):
            if "device" in self.answer:
                self._reply(b"\x1b[?62;22c")
        elif m.group(3):
            if "keyboard" in self.answer and self.keyboard_enhancement:
                flags = self.keyboard_stack[-1] if self.keyboard_stack else 0
                self._reply(b"\x1b[?%du" % flags)
        else:
            self._keyboard_protocol(m.group(4), m.group(5))

    def _keyboard_protocol(self, op: bytes, params: bytes) -> None:
        fields = [int(p) if p else 0 for p in params.split(b";")] if params else []
        if op == b">":
            self.keyboard_stack.append((fields[0] if fields else 0) & 31)
        elif op == b"<":
            n = fields[0] if fields and fields[0] else 1
            del self.keyboard_stack[max(0, len(self.keyboard_stack) - n):]
        else:  # "=" flags ; mode (1 set, 2 or, 3 and-not)
            flags = fields[0] if fields else 0
            mode = fields[1] if len(fields) > 1 else 1
            cur = self.keyboard_stack[-1] if self.keyboard_stack else 0
            new = flags if mode == 1 else cur | flags if mode == 2 else cur & ~flags
            if self.keyboard_stack:
                self.keyboard_stack[-1] = new
            else:
                self.keyboard_stack.append(new)


def attributes_given_back(c: "PtyChild", ready, *, sigterm: bool = False, panic: bool = False) -> None:
    """The exit check shared by the restore tests. The child reports its tty's name, waits for a
    line, claims the terminal, reports `ready`, waits for a byte and then leaves in its own way:
    raw mode must be on while it holds the terminal, and the line discipline's attributes must
    come back exactly once it is gone. With `sigterm` the child reports "wait" and is sent
    SIGTERM; with `panic` it reports the panic it caught, by which time the terminal is back."""
    slave = os.open(c.wait_report(), os.O_RDWR | os.O_NOCTTY)
    try:
        before = termios.tcgetattr(slave)
        c.send(b"\n")  # a whole line: the terminal is still in canonical mode
        assert c.wait_report() == ready
        assert termios.tcgetattr(slave) != before  # raw mode is on
        c.send(b"x")
        if sigterm:
            assert c.wait_report() == "wait"
            c.signal(signal.SIGTERM)
        if panic:
            assert c.wait_report()[:2] == ["err", "PanicException"]
            assert termios.tcgetattr(slave) == before  # given back before it was raised
        c.proc.wait(timeout=10)
        assert termios.tcgetattr(slave) == before
    finally:
        os.close(slave)


def _take_controlling_tty() -> None:
    # Runs in the child after setsid(): the pty (descriptor 0) becomes its controlling terminal.
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


def run_pty(code: str, **kwargs) -> PtyChild:
    """Runs `code` on a pseudo-terminal to its end; returns the finished PtyChild (checked for
    exit status 0)."""
    child = PtyChild(code, **kwargs)
    try:
        return child.check()
    finally:
        child.kill()
        if child.master >= 0:
            os.close(child.master)
            child.master = -1
