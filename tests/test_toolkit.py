"""The binding toolkit's own mechanisms, driven through the test-only probe module."""

import errno
import os
import signal
import threading

import pytest

from tarvo_core.rust.native import Borders, Modifier

probe = pytest.importorskip("_toolkit_probe")
Flags, Masked = probe.ProbeFlags, probe.ProbeMasked


@pytest.mark.parametrize("cls,names", [
    (Flags, ["NONE", "A", "B", "C"]),
    (Masked, ["LOW", "HIGH", "OUTSIDE"]),
    (Borders, ["NONE", "TOP", "RIGHT", "BOTTOM", "LEFT", "ALL"]),
    (Modifier, ["BOLD", "DIM", "ITALIC", "UNDERLINED", "SLOW_BLINK", "RAPID_BLINK", "REVERSED", "HIDDEN",
                "CROSSED_OUT", "EMPTY"]),
], ids=lambda v: getattr(v, "__name__", ""))
def test_flag_constants_are_created_once_in_order(cls, names):
    attrs = [k for k, v in vars(cls).items() if isinstance(v, cls)]
    assert attrs == names
    for n in names:
        assert getattr(cls, n) is getattr(cls, n)
    with pytest.raises(TypeError):
        cls()


@pytest.mark.parametrize("expr,bits,text", [
    (lambda: Flags.A | Flags.C, 5, "ProbeFlags(bits=5)"),
    (lambda: (Flags.A | Flags.B) & (Flags.B | Flags.C), 2, "ProbeFlags(bits=2)"),
    (lambda: Flags.NONE, 0, "ProbeFlags(bits=0)"),
    (lambda: Flags.A | Flags.A, 1, "ProbeFlags(bits=1)"),
])
def test_flag_operators_bits_and_repr(expr, bits, text):
    v = expr()
    assert v.bits == bits and repr(v) == str(v) == text


def test_flag_results_are_new_objects_compared_by_identity():
    a = Flags.A | Flags.NONE
    assert a is not Flags.A and a != Flags.A and a.bits == Flags.A.bits
    assert len({Flags.A, Flags.A, a}) == 2


@pytest.mark.parametrize("left,right", [
    (Flags.A, 1), (1, Flags.A), (Flags.A, Masked.LOW), (Masked.LOW, Flags.A), (Flags.A, None),
    (Borders.TOP, Modifier.BOLD),
])
def test_flag_operators_refuse_foreign_operands(left, right):
    with pytest.raises(TypeError):
        left | right
    with pytest.raises(TypeError):
        left & right


@pytest.mark.parametrize("receiver,other,expected", [
    (Flags.A | Flags.B, Flags.A, True), (Flags.A, Flags.A | Flags.B, False), (Flags.NONE, Flags.NONE, True),
    (Flags.C, Flags.NONE, True),
])
def test_flag_contains_and_tests(receiver, other, expected):
    assert receiver.contains(other) is expected
    assert receiver.a() is bool(receiver.bits & 1) and receiver.c() is bool(receiver.bits & 4)


def test_flag_contains_refuses_other_classes_with_a_note():
    with pytest.raises(TypeError) as info:
        Flags.A.contains(1)
    assert "while processing 'other'" in getattr(info.value, "__notes__", [])
    with pytest.raises(TypeError):
        Flags.A.contains()


def test_masked_union_custom_repr_and_missing_features():
    v = Masked.LOW | Masked.OUTSIDE
    assert repr(v) == str(v) == "SOME" and repr(Masked.OUTSIDE | Masked.OUTSIDE) == "NOTHING"
    for attr in ("bits", "contains", "a"):
        assert not hasattr(v, attr)
    with pytest.raises(TypeError):
        Masked.LOW & Masked.HIGH


def test_lock_is_released_during_the_wait():
    r, w = os.pipe()
    try:
        writer = threading.Thread(target=os.write, args=(w, b"x"))
        writer.start()
        # With the lock held the writer could never run and the wait would time out.
        assert probe.wait_readable(r, 20000) is True
        writer.join()
    finally:
        os.close(r)
        os.close(w)


def test_signal_during_the_wait_raises_after_it():
    class Woken(Exception):
        pass

    def handler(signum, frame):
        raise Woken

    r, w = os.pipe()
    old = signal.signal(signal.SIGALRM, handler)
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.05)
        with pytest.raises(Woken):
            probe.wait_readable(r, 20000)
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, old)
        os.close(r)
        os.close(w)


def test_os_error_text_is_the_system_form():
    with pytest.raises(OSError, match=r"^No such device or address \(os error 6\)$"):
        probe.fail_os(6)


@pytest.mark.parametrize("code", [errno.ENXIO, errno.EBADF, errno.EPIPE, errno.ENOENT, 4242])
def test_os_error_from_the_core(code):
    with pytest.raises(OSError) as info:
        probe.fail_os(code)
    e = info.value
    text = f"{os.strerror(code)} (os error {code})"
    assert type(e) is OSError and e.args == (text,) and str(e) == text and e.errno == code


def test_os_error_from_a_message():
    with pytest.raises(OSError) as info:
        probe.fail_message("The cursor position could not be read within a normal duration")
    e = info.value
    assert type(e) is OSError and e.errno is None
    assert e.args == ("The cursor position could not be read within a normal duration",)
