import struct

import pytest

from tarvo_core.rust import native
from tarvo_core.rust.native import (
    Color, Modifier, Style, color_from_hex, color_from_hsl, color_lerp, color_to_hsl, color_to_srgb,
    interpolate_colors, tailwind_color,
)

COLOR_NAMES = ["RESET", "BLACK", "RED", "GREEN", "YELLOW", "BLUE", "MAGENTA", "CYAN", "GRAY", "DARK_GRAY",
               "LIGHT_RED", "LIGHT_GREEN", "LIGHT_YELLOW", "LIGHT_BLUE", "LIGHT_MAGENTA", "LIGHT_CYAN", "WHITE"]
VARIANT_NAMES = ["Reset", "Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan", "Gray", "DarkGray",
                 "LightRed", "LightGreen", "LightYellow", "LightBlue", "LightMagenta", "LightCyan", "White"]
MODIFIER_NAMES = ["BOLD", "DIM", "ITALIC", "UNDERLINED", "SLOW_BLINK", "RAPID_BLINK", "REVERSED", "HIDDEN",
                  "CROSSED_OUT"]
NAN, INF = float("nan"), float("inf")


def f32(x):
    return struct.unpack("f", struct.pack("f", x))[0]


def notes(e):
    return getattr(e.value, "__notes__", [])


def raises(exc, call, message=None, param=None):
    with pytest.raises(exc) as e:
        call()
    if message is not None:
        assert str(e.value) == message
    if param is not None:
        assert notes(e) == [f"while processing '{param}'"]


def test_class_attributes_in_order_and_created_once():
    assert [k for k in vars(Color) if k.isupper()] == COLOR_NAMES
    assert [k for k in vars(Modifier) if k.isupper()] == MODIFIER_NAMES + ["EMPTY"]
    for cls, name in [(Color, n) for n in COLOR_NAMES] + [(Modifier, n) for n in MODIFIER_NAMES]:
        assert getattr(cls, name) is getattr(cls, name)
    assert [repr(getattr(Color, n)) for n in COLOR_NAMES] == VARIANT_NAMES
    assert [repr(getattr(Modifier, n)) for n in MODIFIER_NAMES + ["EMPTY"]] == MODIFIER_NAMES + ["NONE"]
    assert str(Color.DARK_GRAY) == "DarkGray"
    for cls in (Color, Modifier, Style):
        raises(TypeError, cls)
        raises(TypeError, lambda: type("Sub", (cls,), {}))


@pytest.mark.parametrize("text, expected", [
    ("ReSeT", "Reset"), ("Dark-Gray", "DarkGray"), ("dark gray", "DarkGray"), ("DARK_GREY", "DarkGray"),
    ("LightGray", "White"), ("light-grey", "White"), ("BrightGray", "White"), ("lightsilver", "White"),
    ("SILVER", "Gray"), ("light_black", "DarkGray"), ("Bright_Red", "LightRed"), ("blac\u212a", "Black"),
    ("12", "Indexed(12)"), ("007", "Indexed(7)"), ("+12", "Indexed(12)"), ("0255", "Indexed(255)"),
    ("#FF8000", "Rgb(255, 128, 0)"), ("#ff8000", "Rgb(255, 128, 0)"), ("#+f+f+F", "Rgb(15, 15, 15)"),
])
def test_parse(text, expected):
    c = Color.parse(value=text)
    assert repr(c) == expected
    assert c is not Color.parse(text)  # a new object every call, never a cached constant


# "lightlightgray" becomes "lightwhite" and is not rescanned; only U+0020 counts as a blank.
@pytest.mark.parametrize("text", [" 12", "-1", "256", "", "+", "#fff", "ff8000", "# FF8000", "\u0130ndigo",
                                  "#\u00e91234", "lightlightgray", "\tred"])
def test_parse_refuses(text):
    raises(ValueError, lambda: Color.parse(text), "Failed to parse Colors")


@pytest.mark.parametrize("call, exc, message, param", [
    (lambda: Color.parse(5), TypeError, "'int' object is not an instance of 'str'", "value"),
    (lambda: Color.parse(None), TypeError, "'None' is not an instance of 'str'", "value"),
    (lambda: Color.parse("\ud800"), UnicodeEncodeError, None, "value"),
    (lambda: Color.indexed(256), OverflowError, "out of range integral type conversion attempted", "value"),
    (lambda: Color.rgb(0, 0, -1), OverflowError, "out of range integral type conversion attempted", "b"),
    (lambda: Color.rgb(0, 1.5, 0), TypeError, None, "g"),
    (lambda: Color.from_u32(-1), OverflowError, "out of range integral type conversion attempted", "value"),
    (lambda: Color.from_u32(2**32), OverflowError, "out of range integral type conversion attempted", "value"),
    (lambda: Color.from_hsl(0, "x", 0), TypeError, None, "s"),
    (lambda: color_from_hsl(0, 0, 10**400), OverflowError, None, "l"),
])
def test_color_argument_errors(call, exc, message, param):
    raises(exc, call, message, param)


def test_u32_packing():
    assert repr(Color.from_u32(0xFF123456)) == "Rgb(18, 52, 86)"
    assert Color.rgb(1, 2, 3).to_u32() == 0x010203
    assert Color.RED.to_u32() == 0 and Color.RESET.to_u32() == 0
    assert Color.indexed(7).to_u32() == 7
    for v in (0, 0xABCDEF, 0xFFFFFF):
        assert Color.from_u32(v).to_u32() == v


def repr_hash(text):
    h = 0
    for b in text.encode():
        h = (h * 31 + b) % 2**64
    h = h - 2**64 if h >= 2**63 else h
    return -2 if h == -1 else h


@pytest.mark.parametrize("a, b, equal", [
    (Color.parse("red"), Color.RED, True), (Color.rgb(0, 0, 0), Color.BLACK, False),
    (Color.indexed(3), Color.rgb(3, 0, 0), False), (Color.rgb(1, 2, 3), Color.from_u32(0x010203), True),
    (Color.rgb(1, 2, 3), Color.rgb(1, 2, 4), False), (Color.GRAY, Color.parse("grey"), True),
])
def test_equality_and_hash(a, b, equal):
    assert (a == b) is equal and (a != b) is (not equal)
    assert hash(a) == repr_hash(repr(a))
    if equal:
        assert hash(a) == hash(b) and len({a, b}) == 1


def test_comparison_with_other_objects():
    class RaisingEq:
        def __eq__(self, other):
            raise KeyError("eq")

    class BadTruth:
        def __bool__(self):
            raise ZeroDivisionError

    class WeirdEq:
        def __eq__(self, other):
            return BadTruth()

    assert (Color.RED == 5) is False and (Color.RED != 5) is True
    raises(TypeError, lambda: Color.RED < Color.BLUE)
    raises(TypeError, lambda: Color.RED >= Color.BLUE)
    raises(KeyError, lambda: Color.RED != RaisingEq())
    raises(ZeroDivisionError, lambda: Color.RED != WeirdEq())


class FloatLike:
    def __float__(self):
        return 120.0


class IndexLike:
    def __index__(self):
        return 1


@pytest.mark.parametrize("h, s, l, expected", [
    (0, 1, 0.5, (255, 0, 0)), (360, 1, 0.5, (255, 0, 0)), (-360, 1, 0.5, (255, 0, 0)),
    (120, 2.0, 0.5, (0, 255, 0)), (30, 1, 0.5, (255, 128, 0)),
    (0, 0, struct.unpack(">f", bytes.fromhex("3c20a0a1"))[0], (2, 2, 2)),  # 2.5 goes to even
    (FloatLike(), IndexLike(), 0.5, (0, 255, 0)), (1e300, 0, 0.5, (128, 128, 255)),
    (NAN, 1, 0.5, (255, 0, 255)), (0, INF, 0.5, (255, 0, 0)),
])
def test_from_hsl(h, s, l, expected):
    assert Color.from_hsl(h, s, l) == color_from_hsl(h=h, s=s, l=l) == Color.rgb(*expected)


def test_modifier_algebra():
    bd = Modifier.BOLD | Modifier.DIM
    assert repr(bd) == "BOLD | DIM" and repr(Modifier.CROSSED_OUT | Modifier.BOLD) == "BOLD | CROSSED_OUT"
    assert bd.contains(Modifier.BOLD) and not Modifier.BOLD.contains(bd)
    assert Modifier.EMPTY.contains(Modifier.EMPTY) and bd.contains(Modifier.EMPTY)
    assert (Modifier.BOLD | Modifier.EMPTY) is not Modifier.BOLD
    assert (Modifier.BOLD & Modifier.BOLD) is not Modifier.BOLD
    assert repr(bd & Modifier.DIM) == "DIM" and repr(bd.intersection(Modifier.ITALIC)) == "NONE"
    assert Modifier.EMPTY.is_empty() and not bd.is_empty() and bool(Modifier.EMPTY)
    assert (Modifier.BOLD | Modifier.DIM) != (Modifier.BOLD | Modifier.DIM)  # identity only
    m = Modifier.BOLD
    m |= Modifier.ITALIC
    assert repr(m) == "BOLD | ITALIC" and repr(Modifier.BOLD) == "BOLD"
    m &= Modifier.ITALIC
    assert repr(m) == "ITALIC" and repr(Modifier.ITALIC) == "ITALIC"


@pytest.mark.parametrize("op", [
    lambda: Modifier.BOLD | 1, lambda: 1 & Modifier.BOLD, lambda: Modifier.BOLD ^ Modifier.DIM,
    lambda: ~Modifier.BOLD, lambda: Modifier.BOLD in Modifier.DIM,
])
def test_modifier_unsupported_operations(op):
    raises(TypeError, op)


@pytest.mark.parametrize("call, message, param", [
    (lambda: Modifier.BOLD.contains(1), "'int' object is not an instance of 'Modifier'", "other"),
    (lambda: Modifier.BOLD.intersection(None), "'None' is not an instance of 'Modifier'", "other"),
    (lambda: Style.new().fg(None), "'None' is not an instance of 'Color'", "color"),
    (lambda: Style.new().underline_color("red"), "'str' object is not an instance of 'Color'", "color"),
    (lambda: Style.new().add_modifier(Color.RED), "'Color' object is not an instance of 'Modifier'", "modifier"),
    (lambda: Style.new().patch(Modifier.BOLD), "'Modifier' object is not an instance of 'Style'", "other"),
])
def test_wrong_classes(call, message, param):
    raises(TypeError, call, message, param)


@pytest.mark.parametrize("build, text", [
    (lambda s: s, "Style::new()"),
    (lambda s: s.fg(Color.RED).bg(Color.BLUE).add_modifier(Modifier.BOLD), "Style::new().red().on_blue().bold()"),
    (lambda s: s.bg(Color.indexed(5)).fg(Color.rgb(1, 2, 3)), "Style::new().fg(Color::Rgb(1, 2, 3)).bg(Color::Indexed(5))"),
    (lambda s: s.underline_color(Color.RED), "Style::new().underline_color(Color::Red)"),
    (lambda s: s.add_modifier(Modifier.BOLD).remove_modifier(Modifier.BOLD), "Style::new().not_bold()"),
    (lambda s: s.remove_modifier(Modifier.ITALIC).add_modifier(Modifier.ITALIC | Modifier.DIM),
     "Style::new().dim().italic()"),
    (lambda s: s.fg(Color.RED).patch(Style.new().bg(Color.BLUE)), "Style::new().red().on_blue()"),
    (lambda s: s.fg(Color.RED).add_modifier(Modifier.BOLD).patch(Style.reset()), repr(Style.reset())),
])
def test_style_builders(build, text):
    base = Style.default()
    assert repr(build(base)) == text
    assert repr(base) == "Style::new()"


def test_style_reset_and_getters():
    r = Style.reset()
    assert repr(r) == ("Style::new().fg(Color::Reset).bg(Color::Reset).underline_color(Color::Reset).not_bold()"
                       ".not_dim().not_italic().not_underlined().not_slow_blink().not_rapid_blink().not_reversed()"
                       ".not_hidden().not_crossed_out()")
    assert r.get_fg() == r.get_bg() == r.get_underline_color() == Color.RESET
    assert r.get_modifiers().is_empty() and repr(r.get_sub_modifiers()) == " | ".join(MODIFIER_NAMES)
    s = Style.new().fg(Color.RED)
    assert s.get_fg() is not Color.RED and s.get_bg() is None and Style.new().get_fg() is None


@pytest.mark.parametrize("a, b, t, space, expected", [
    (Color.rgb(0, 0, 0), Color.rgb(255, 255, 255), 0.5, "rgb", (128, 128, 128)),
    (Color.rgb(0, 0, 0), Color.rgb(255, 255, 255), 2.0, "rgb", (255, 255, 255)),
    (Color.rgb(0, 0, 0), Color.rgb(255, 255, 255), -1.0, "RGB", (0, 0, 0)),
    (Color.RED, Color.BLUE, 0.3, "rgb", (128, 128, 128)),
    (Color.rgb(10, 20, 30), Color.rgb(250, 0, 100), NAN, "rgb", (0, 0, 0)),
    (Color.rgb(255, 0, 0), Color.rgb(0, 0, 255), 0.5, "rgb", (128, 0, 128)),
    (Color.rgb(255, 0, 0), Color.rgb(0, 0, 255), 0.5, "HSL", (255, 0, 255)),
    (Color.rgb(128, 128, 128), Color.rgb(255, 0, 0), 0.5, "hsl", (191, 64, 64)),
    (Color.rgb(255, 0, 0), Color.rgb(0, 0, 255), 5, "hsl", (0, 0, 255)),
    # Halves round away from zero here (2.5 gives 3), unlike from_hsl.
    (Color.rgb(0, 0, 0), Color.rgb(5, 5, 5), 0.5, "rgb", (3, 3, 3)),
    (Color.rgb(0, 0, 0), Color.rgb(5, 5, 5), 0.5, "hsl", (3, 3, 3)),
    # A hue difference of exactly half a turn goes forward either way: 180 -> 270 and 0 -> 90.
    (Color.rgb(0, 255, 255), Color.rgb(255, 0, 0), 0.5, "hsl", (128, 0, 255)),
    (Color.rgb(255, 0, 0), Color.rgb(0, 255, 255), 0.5, "hsl", (128, 255, 0)),
])
def test_blends(a, b, t, space, expected):
    assert interpolate_colors(a, b, t, space=space) == Color.rgb(*expected)
    if space.lower() == "rgb":
        assert color_lerp(a=a, b=b, t=t) == interpolate_colors(a, b, t) == Color.rgb(*expected)


@pytest.mark.parametrize("call, exc, message, param", [
    (lambda: interpolate_colors(Color.RED, Color.RED, 0.5, "LAB"), ValueError,
     "unsupported color space: lab (expected 'rgb' or 'hsl')", None),
    (lambda: interpolate_colors(Color.RED, 1, "x"), TypeError, "'int' object is not an instance of 'Color'", "b"),
    (lambda: interpolate_colors(Color.RED, Color.RED, "x", "lab"), TypeError, None, "t"),
    (lambda: interpolate_colors(Color.RED, Color.RED, 0.5, 7), TypeError, None, "space"),
    (lambda: color_lerp(None, Color.RED, 0.5), TypeError, "'None' is not an instance of 'Color'", "a"),
    (lambda: color_to_hsl(None), TypeError, "'None' is not an instance of 'Color'", "color"),
    (lambda: color_from_hex("#ff80"), ValueError, "invalid hex color: #ff80", None),
    (lambda: color_from_hex("\u00e91234"), ValueError, "invalid hex color: \u00e91234", None),
    (lambda: color_from_hex(1), TypeError, None, "value"),
    (lambda: tailwind_color("red", 550), ValueError, "invalid tailwind shade: 550", None),
    (lambda: tailwind_color("Crimson", 550), ValueError, "unknown tailwind palette: crimson", None),
    (lambda: tailwind_color(5, 70000), TypeError, None, "name"),
    (lambda: tailwind_color("red", 65536), OverflowError, "out of range integral type conversion attempted", "shade"),
    (lambda: tailwind_color("Crimson", 70000), OverflowError, "out of range integral type conversion attempted",
     "shade"),
])
def test_function_errors(call, exc, message, param):
    raises(exc, call, message, param)


def test_conversions_to_floats():
    srgb = color_to_srgb(Color.rgb(1, 0, 0))
    assert type(srgb) is tuple and srgb == (f32(1 / 255), 0.0, 0.0) and srgb[0] != 1 / 255
    assert color_to_srgb(Color.RESET) == (0.5, 0.5, 0.5)
    assert color_to_srgb(Color.indexed(255)) == (0.0, 0.0, 1.0)
    assert color_to_hsl(Color.rgb(255, 0, 0)) == (0.0, 1.0, 0.5)
    assert color_to_hsl(Color.rgb(0, 0, 255)) == (-120.0, 1.0, 0.5)
    assert color_to_hsl(Color.rgb(128, 128, 128)) == (0.0, 0.0, f32(128 / 255))


@pytest.mark.parametrize("name, shade, packed", [
    ("red", 50, 0xFEF2F2), ("Red", 500, 0xEF4444), ("RED", 950, 0x450A0A), ("gray", 900, 0x111827),
    ("green", 500, 0x22C55E), ("sky", 400, 0x38BDF8), ("black", 65535, 0x000000), ("WHITE", 7, 0xFFFFFF),
])
def test_palette_samples(name, shade, packed):
    assert tailwind_color(name=name, shade=shade) == Color.from_u32(packed)


def test_hex_and_palette():
    for text in ("#FF8000", "ff8000", "##ff8000"):
        assert color_from_hex(text) == Color.rgb(255, 128, 0)
    assert color_from_hex("#f80") == Color.rgb(255, 136, 0)
    shades = [50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 950]
    for family in ["slate", "gray", "zinc", "neutral", "stone", "red", "orange", "amber", "yellow", "lime", "green",
                   "emerald", "teal", "cyan", "sky", "blue", "indigo", "violet", "purple", "fuchsia", "pink", "rose"]:
        lightness = [color_to_hsl(tailwind_color(family, s))[2] for s in shades]
        assert lightness == sorted(lightness, reverse=True), family


@pytest.mark.parametrize("owner, names, signature", [
    (Color, "parse indexed from_u32", "(value)"), (Color, "rgb", "(r, g, b)"), (Color, "from_hsl", "(h, s, l)"),
    (Color, "to_u32", "($self)"), (Modifier, "contains intersection", "($self, other)"),
    (Modifier, "is_empty", "($self)"), (Style, "new default reset", "()"),
    (Style, "fg bg underline_color", "($self, color)"), (Style, "add_modifier remove_modifier", "($self, modifier)"),
    (Style, "patch", "($self, other)"),
    (Style, "get_fg get_bg get_underline_color get_modifiers get_sub_modifiers", "($self)"),
    (native, "color_lerp", "(a, b, t)"), (native, "interpolate_colors", '(a, b, t, space="rgb")'),
    (native, "color_to_srgb color_to_hsl", "(color)"), (native, "color_from_hsl", "(h, s, l)"),
    (native, "color_from_hex", "(value)"), (native, "tailwind_color", "(name, shade)"),
])
def test_text_signatures(owner, names, signature):
    for name in names.split():
        f = getattr(owner, name)
        assert f.__text_signature__ == signature, name
        assert f.__doc__ is None, name
