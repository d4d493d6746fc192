"""The enumeration mechanism, through Flex, Direction and Alignment."""

import pytest

from tarvo_core.rust.native import Alignment, Direction, Flex

ENUMS = [
    (Flex, ["Legacy", "Start", "End", "Center", "SpaceBetween", "SpaceAround", "SpaceEvenly"]),
    (Direction, ["Horizontal", "Vertical"]),
    (Alignment, ["Left", "Center", "Right"]),
]


@pytest.mark.parametrize("cls,names", ENUMS, ids=lambda v: getattr(v, "__name__", ""))
def test_variants_are_cached_numbered_and_named(cls, names):
    own = [k for k in vars(cls) if not k.startswith("__")]
    assert own == names
    for number, name in enumerate(names):
        v = getattr(cls, name)
        assert v is getattr(cls, name)
        assert int(v) == number
        assert repr(v) == str(v) == f"{cls.__name__}.{name}"
        assert v == number and number == v and not (v != number)
        assert v == getattr(cls, name)


@pytest.mark.parametrize("other,equal", [
    (2, True), (3, False), (-1, False), (True, False), (2**70, False), (2.0, False), ("2", False), (None, False),
])
def test_equality_with_other_objects(other, equal):
    assert (Alignment.Right == other) is equal
    assert (Alignment.Right != other) is (not equal)


def test_index_objects_and_bools():
    class Two:
        def __index__(self):
            return 2

    class Bad:
        def __index__(self):
            raise ValueError("nope")

    assert Flex.End == Two()
    assert Flex.Legacy == False  # noqa: E712
    assert (Flex.End == Bad()) is False
    assert Direction.Horizontal != Alignment.Left


@pytest.mark.parametrize("op", ["<", "<=", ">", ">="])
def test_no_ordering(op):
    with pytest.raises(TypeError):
        eval(f"Flex.Start {op} Flex.End")
    with pytest.raises(TypeError):
        eval(f"Flex.Start {op} 1")


def test_unhashable_and_not_an_index():
    with pytest.raises(TypeError):
        {Flex.Start}
    with pytest.raises(TypeError):
        {Flex.Start: 1}
    with pytest.raises(TypeError):
        [1, 2][Direction.Vertical]
    with pytest.raises(TypeError):
        Flex(1)
