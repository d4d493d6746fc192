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


def test_a_lent_buffer_changed_by_its_owner_raises_already_borrowed():
    with pytest.raises(RuntimeError, match="^Already borrowed$"):
        probe.lend_twice()


# ---- registrations against the module's rows ----

EXPECTED_PROBLEMS = [
    "class 'ProbeFlags' is registered twice",
    "function 'fail_os' is registered twice",
    "one callable type serves both 'ProbeClash.first()' and 'ProbeClash.second()': "
    "each registration needs its own lambda or functor type",
    "class 'ProbeElsewhere' belongs to 'tarvo_core.rust.engine' but is listed in '_toolkit_probe'",
    "class 'ProbeMissing' is listed but nothing registers it (mark it P(...) if it is still to come)",
    "function 'missing_function' is listed but nothing registers it (mark it P(...) if it is still to come)",
    "class 'ProbeFlags' is listed twice",
    "class 'ProbeUnlisted' is registered but no module lists it",
    "the probe's own start-up check ran",
]


def test_every_registration_problem_is_found():
    assert probe.problems() == EXPECTED_PROBLEMS


def test_problems_stop_the_start_up_with_all_of_them_listed():
    with pytest.raises(RuntimeError) as info:
        probe.check()
    assert str(info.value) == "the module's registrations are inconsistent:" + "".join(
        "\n  - " + p for p in EXPECTED_PROBLEMS)


def test_the_first_registration_of_a_clashing_callable_keeps_its_signature():
    assert probe.ProbeClash.ONE.first() == 0
    with pytest.raises(TypeError, match=r"^ProbeClash\.first\(\) takes 0 positional arguments but 1 was given$"):
        probe.ProbeClash.ONE.second(1)


def test_pending_rows_use_the_registration_or_a_placeholder():
    assert repr(probe.ProbeMasked.LOW) == "SOME"  # pending but registered: the real class
    with pytest.raises(NotImplementedError, match="ProbeLater is not available in this build yet"):
        probe.ProbeLater(1)
    with pytest.raises(TypeError):
        probe.ProbeLaterFixed()
    with pytest.raises(NotImplementedError):
        probe.later_function(1)
    assert probe.ProbeLater.__doc__ == "Comes later." and probe.ProbeLater.__text_signature__ == "(x=0)"
    assert probe.later_function.__text_signature__ == "(a, b=1)"
    assert probe.__all__[:3] == ["ProbeFlags", "ProbeMasked", "ProbeEnum"]


@pytest.mark.parametrize("order,registered,expected", [
    (["A", "B"], ["B", "A"], []),
    (["A", "B"], ["A"], ["'B' is in the widget dispatch order but nothing registers it"]),
    (["A"], ["A", "C"], ["'C' is registered for the widget dispatch but has no place in its order, "
                         "so it would never be reached"]),
    (["A"], ["A", "A"], ["'A' is registered twice for the widget dispatch"]),
    ([], [], []),
])
def test_dispatch_order_problems(order, registered, expected):
    assert probe.order_problems("widget dispatch", order, registered) == expected


# ---- enumeration numbers outside the variants ----

@pytest.mark.parametrize("n,name", [(0, "Zero"), (2, "Two")])
def test_enum_variants_in_range(n, name):
    assert probe.variant(n) is getattr(probe.ProbeEnum, name)


@pytest.mark.parametrize("n", [3, 7, 255])
def test_enum_number_outside_the_variants_names_the_enumeration(n):
    with pytest.raises(ValueError, match=rf"^ProbeEnum has no variant {n} \(it has 3\)$"):
        probe.variant(n)
    odd = probe.raw_variant(n)
    with pytest.raises(ValueError, match=rf"^ProbeEnum has no variant {n} \(it has 3\)$"):
        repr(odd)
    assert int(odd) == n
