"""The argument conversions shared by every entry point, exercised through public callables."""

import numpy as np
import pytest

import tarvo_core.rust.native as n


def raised(fn):
    with pytest.raises(BaseException) as e:
        fn()
    return e.value


INTS = [
    # (callable taking one int through the named parameter, parameter, low, high)
    (lambda v: n.Color.rgb(v, 0, 0), "r", 0, 255),                  # u8
    (lambda v: n.Rect(width=v), "width", 0, 65535),                 # u16
    (lambda v: n.Offset(x=v), "x", -(2**31), 2**31 - 1),            # i32
]


@pytest.mark.parametrize("call,param,lo,hi", INTS, ids=["u8", "u16", "i32"])
def test_integer_ranges(call, param, lo, hi):
    call(lo)
    call(hi)
    for bad in (lo - 1, hi + 1, 2**64, -(2**70)):
        e = raised(lambda: call(bad))
        assert type(e) is OverflowError
        assert str(e) == "out of range integral type conversion attempted"
        assert e.__notes__ == [f"while processing '{param}'"]


@pytest.mark.parametrize("call,param,lo,hi", INTS, ids=["u8", "u16", "i32"])
@pytest.mark.parametrize("value", [1.0, "1", None, [1], np.float64(1.0)])
def test_integers_refuse_non_integers(call, param, lo, hi, value):
    e = raised(lambda: call(value))
    assert type(e) is TypeError
    assert e.__notes__ == [f"while processing '{param}'"]


def test_integers_accept_index_objects():
    class Index:
        def __index__(self):
            return 7

    assert n.Rect(width=Index()).width == 7
    assert n.Rect(width=True).width == 1
    assert n.Rect(width=np.int16(9)).width == 9


def test_u64_uses_the_interpreters_own_overflow():
    state = n.ListState()
    e = raised(lambda: state.select(-1))
    assert type(e) is OverflowError and "negative" in str(e)
    assert e.__notes__ == ["while processing 'index'"]
    e = raised(lambda: state.select(2**64))
    assert type(e) is OverflowError
    state.select(2**64 - 1)


@pytest.mark.parametrize("value,ok", [(True, True), (False, True), (np.bool_(True), True), (np.bool_(False), True),
                                      (1, False), (0, False), (None, False), ("yes", False), (np.int8(1), False)])
def test_bool(value, ok):
    if ok:
        n.Wrap(trim=value)
        return
    e = raised(lambda: n.Wrap(trim=value))
    assert type(e) is TypeError
    name = "None" if value is None else type(value).__name__
    expected = ("'None' is not an instance of 'bool'" if value is None
                else f"'{name}' object is not an instance of 'bool'")
    assert str(e) == expected
    assert e.__notes__ == ["while processing 'trim'"]


def test_floats():
    assert n.color_from_hsl(0, 0, 1.0).to_u32() == n.color_from_hsl(0.0, 0.0, True).to_u32()

    class F:
        def __float__(self):
            return 0.5

    n.color_from_hsl(F(), 0, 0)
    e = raised(lambda: n.color_from_hsl("0", 0, 0))
    assert type(e) is TypeError and e.__notes__ == ["while processing 'h'"]
    n.color_from_hsl(1e308, float("nan"), float("-inf"))  # never undefined behaviour


def test_str():
    e = raised(lambda: n.Color.parse(3))
    assert type(e) is TypeError and str(e) == "'int' object is not an instance of 'str'"
    e = raised(lambda: n.Color.parse("\ud800"))
    assert isinstance(e, UnicodeEncodeError)


@pytest.mark.parametrize("value,error,text", [
    ("abc", TypeError, "Can't extract `str` to `Vec`"),
    (5, TypeError, "'int' object is not an instance of 'Sequence'"),
    ({1: 2}, TypeError, "'dict' object is not an instance of 'Sequence'"),
    ([1, "x"], TypeError, None),
])
def test_sequences(value, error, text):
    e = raised(lambda: n.Constraint.from_lengths(value))
    assert type(e) is error
    if text:
        assert str(e) == text
    assert e.__notes__ == ["while processing 'values'"]


def test_sequences_accept_any_sequence():
    assert repr(n.Constraint.from_lengths((1, 2))) == "[Length(1), Length(2)]"
    assert len(n.Constraint.from_lengths(range(3))) == 3


def test_sequence_mutated_during_conversion():
    values = [1, 2, 3, 4]

    class Shrink:
        def __index__(self):
            values.clear()
            return 9

    values[0] = Shrink()
    assert repr(n.Constraint.from_lengths(values)) == "[Length(9)]"


def test_lists_accept_only_lists():
    e = raised(lambda: n.Layout.default().constraints((n.Constraint.min(1),)))
    assert str(e) == "'tuple' object is not an instance of 'list'"
    assert e.__notes__ == ["while processing 'constraints'"]

    class MyList(list):
        pass

    n.Layout.default().constraints(MyList([n.Constraint.min(1)]))


def test_raising_index_propagates_unchanged():
    class Boom:
        def __index__(self):
            raise KeyError("boom")

    e = raised(lambda: n.Rect(x=Boom()))
    assert type(e) is KeyError
    assert e.__notes__ == ["while processing 'x'"]


def test_borrow_and_guard_leave_objects_usable():
    # A failed call leaves no exception pending and the receiver keeps working.
    r = n.Rect(1, 2, 3, 4)
    raised(lambda: r.inner("margin"))
    assert repr(r.inner(n.Margin(0, 0))) == "Rect(x=1, y=2, width=3, height=4)"
