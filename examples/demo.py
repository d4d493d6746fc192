"""A small tour of tarvo_core's values: geometry, layout enumerations and the module itself."""

import tarvo_core.rust.native as tc


def main() -> None:
    print(f"tarvo_core {tc.__version__}: {len(tc.__all__)} names")
    screen = tc.Rect(0, 0, 80, 24)
    print("screen:", repr(screen), "as", str(screen), "area", screen.area())
    body = screen.inner(tc.Margin(2, 1))
    print("inside a margin of 2x1:", repr(body))
    moved = body.offset(tc.Offset(5, -3))
    print("moved by (5, -3):", repr(moved))
    print("overlap with the screen:", repr(moved.intersection(screen)))
    print("rows of a 3x2 rect:", tc.Rect(0, 0, 3, 2).rows())
    print("flex modes:", ", ".join(repr(getattr(tc.Flex, n)) for n in
                                   ("Legacy", "Start", "End", "Center", "SpaceBetween", "SpaceAround", "SpaceEvenly")))


if __name__ == "__main__":
    main()
