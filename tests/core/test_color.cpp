#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "core/color.hpp"
#include "core/palette.hpp"
#include "core/style.hpp"

using namespace tarvo::core;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();
constexpr Color named(Color::Tag t) { return Color::named(t); }

TEST(ColorParse, NamesIndicesAndHex) {
    const std::pair<std::string, std::optional<Color>> cases[] = {
        {"DARK_GREY", named(Color::DarkGray)}, {"Light Gray", named(Color::White)},
        {"BrightGray", named(Color::White)},   {"lightsilver", named(Color::White)},
        {"silver", named(Color::Gray)},        {"bright black", named(Color::DarkGray)},
        {"bright red", named(Color::LightRed)}, {"L_i-g h tMagenta", named(Color::LightMagenta)},
        {"blac\xE2\x84\xAA", named(Color::Black)},  // KELVIN SIGN lower-cases to "k"
        {"\xC4\xB0ndigo", std::nullopt},              // dotted capital I keeps a combining mark
        {"+12", Color::indexed(12)}, {"0255", Color::indexed(255)}, {" 12", std::nullopt},
        {"-0", std::nullopt}, {"256", std::nullopt}, {"+", std::nullopt}, {"", std::nullopt},
        {"#ff8000", Color::rgb(255, 128, 0)}, {"#+f+f+f", Color::rgb(15, 15, 15)},
        {"#fff", std::nullopt}, {"# FF8000", std::nullopt}, {"#-f0000", std::nullopt},
        {"#\xC3\xA9" "1234", std::nullopt},  // seven bytes; a field splits the two-byte character
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parse_color(text), expected) << text;
}

TEST(ColorRepr, TextsAndHash) {
    EXPECT_EQ(color_repr(named(Color::LightMagenta)), "LightMagenta");
    EXPECT_EQ(color_repr(Color::rgb(255, 0, 0)), "Rgb(255, 0, 0)");
    EXPECT_EQ(color_repr(Color::indexed(5)), "Indexed(5)");
    // h = h * 31 + byte over the repr text, wrapping at 64 bits (reference values).
    EXPECT_EQ(color_hash(named(Color::Red)), 82033);
    EXPECT_EQ(color_hash(Color::rgb(255, 128, 0)), 8558497681873745849LL);
    EXPECT_EQ(color_hash(named(Color::LightMagenta)), 2019920458686483155LL);
}

TEST(ColorHsl, EdgeValues) {
    const float tie_2_5 = 0x1.414142p-7f;    // lightness * 255 == 2.5 exactly
    const float tie_128_5 = 0x1.020202p-1f;  // lightness * 255 == 128.5 exactly
    const struct {
        float h, s, l;
        Color expected;
    } cases[] = {
        {-360, 1, 0.5f, Color::rgb(255, 0, 0)},   {720, 1, 0.5f, Color::rgb(255, 0, 0)},
        {120, 2, 0.5f, Color::rgb(0, 255, 0)},    {-120, 1, 0.5f, Color::rgb(0, 0, 255)},
        {30, 1, 0.5f, Color::rgb(255, 128, 0)},   {0, 0, tie_2_5, Color::rgb(2, 2, 2)},
        {0, 0, tie_128_5, Color::rgb(128, 128, 128)}, {0, -1, 1.5f, Color::rgb(255, 255, 255)},
        {-1e-6f, 1, 0.5f, Color::rgb(255, 0, 0)},  // wraps to exactly 360: the last sector
        {kNaN, 1, 0.5f, Color::rgb(255, 0, 255)},  // NaN survives the clamps; the cap makes it 255
        {0, kNaN, 0.5f, Color::rgb(255, 255, 255)}, {kInf, 0, 0.5f, Color::rgb(128, 128, 255)},
        {0, 1, -kInf, Color::rgb(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(color_from_hsl(c.h, c.s, c.l), c.expected) << c.h << " " << c.s << " " << c.l;
    EXPECT_EQ(narrow_to_float(1e300), kInf);
    EXPECT_EQ(narrow_to_float(0x1.ffffffp127), kInf);
    EXPECT_EQ(narrow_to_float(0x1.fffffefffffffp127), std::numeric_limits<float>::max());
}

TEST(ColorFunctions, Blends) {
    const Color red = Color::rgb(255, 0, 0), blue = Color::rgb(0, 0, 255);
    const Color a = Color::rgb(10, 20, 30), b = Color::rgb(250, 0, 100);
    EXPECT_EQ(color_lerp(Color::rgb(0, 0, 0), Color::rgb(255, 255, 255), 0.5f), Color::rgb(128, 128, 128));
    EXPECT_EQ(color_lerp(named(Color::Red), named(Color::Blue), 0.3f), Color::rgb(128, 128, 128));
    EXPECT_EQ(color_lerp(Color::indexed(200), a, 0.0f), Color::rgb(0, 0, 200));
    EXPECT_EQ(color_lerp(a, b, 0.25f), Color::rgb(70, 15, 48));
    EXPECT_EQ(color_lerp(a, b, kInf), b);
    EXPECT_EQ(color_lerp(a, b, kNaN), Color::rgb(0, 0, 0));
    EXPECT_EQ(interpolate_colors(red, blue, 0.5f, "HSL").color, Color::rgb(255, 0, 255));
    EXPECT_EQ(interpolate_colors(red, blue, 0.5f, "rgb").color, Color::rgb(128, 0, 128));
    // The shorter way from 300 to 60 degrees passes through red.
    EXPECT_EQ(interpolate_colors(Color::rgb(255, 0, 255), Color::rgb(255, 255, 0), 0.5f, "hsl").color, red);
    EXPECT_EQ(interpolate_colors(Color::rgb(128, 128, 128), red, 0.5f, "Hsl").color, Color::rgb(191, 64, 64));
    EXPECT_EQ(interpolate_colors(red, blue, kNaN, "hsl").color, Color::rgb(0, 0, 0));
    EXPECT_EQ(interpolate_colors(red, blue, 0.5f, "LAB").error, "unsupported color space: lab (expected 'rgb' or 'hsl')");
}

TEST(ColorFunctions, ToHsl) {
    const struct {
        Color c;
        float h, s, l;
    } cases[] = {
        {Color::rgb(0, 0, 255), -120, 1, 0.5f}, {Color::rgb(0, 255, 0), 120, 1, 0.5f},
        {Color::rgb(255, 0, 255), -60, 1, 0.5f}, {Color::rgb(0, 255, 255), 180, 1, 0.5f},
        {Color::rgb(255, 255, 255), 0, 0, 1},   {named(Color::Red), 0, 0, 0.5f},
        {Color::indexed(255), -120, 1, 0.5f},
    };
    for (const auto& c : cases) {
        const UnitHsl v = color_to_hsl(c.c);
        EXPECT_EQ(v.h, c.h) << color_repr(c.c);
        EXPECT_EQ(v.s, c.s) << color_repr(c.c);
        EXPECT_EQ(v.l, c.l) << color_repr(c.c);
    }
}

TEST(ColorFunctions, HexAndPalette) {
    EXPECT_EQ(color_from_hex("##ff8000").color, Color::rgb(255, 128, 0));
    EXPECT_EQ(color_from_hex("#f80").color, Color::rgb(255, 136, 0));
    EXPECT_EQ(color_from_hex("+12345").color, Color::rgb(0x01, 0x23, 0x45));
    for (const char* bad : {"#ff80", "#", "+ab", "-12345", "ff800g", "ff8000#"})
        EXPECT_EQ(color_from_hex(bad).error, std::string("invalid hex color: ") + bad);
    EXPECT_EQ(tailwind_color("RED", 950).color, color_from_u32(0x450A0A));
    EXPECT_EQ(tailwind_color("violet", 50).color, color_from_u32(0xF5F3FF));
    EXPECT_EQ(tailwind_color("white", 65535).color, Color::rgb(255, 255, 255));
    EXPECT_EQ(tailwind_color("red", 550).error, "invalid tailwind shade: 550");
    EXPECT_EQ(tailwind_color("Crimson", 500).error, "unknown tailwind palette: crimson");
}

TEST(StyleRepr, ModifiersAndBuilderChains) {
    EXPECT_EQ(modifier_repr(0), "NONE");
    EXPECT_EQ(modifier_repr(modifier::BOLD | modifier::CROSSED_OUT), "BOLD | CROSSED_OUT");
    EXPECT_EQ(modifier_repr(0xFE04), "ITALIC | 0xfe00");
    Style t;
    t.fg = Color::rgb(1, 2, 3);
    t.bg = Color::indexed(5);
    t.underline_color = named(Color::LightBlue);
    t.add_modifier = modifier::DIM | 0x400;
    t.sub_modifier = modifier::HIDDEN | 0x8000;
    EXPECT_EQ(style_repr(t),
              "Style::new().fg(Color::Rgb(1, 2, 3)).bg(Color::Indexed(5)).underline_color(Color::LightBlue)"
              ".dim().add_modifier(Modifier::0x400).not_hidden().remove_modifier(Modifier::0x8000)");
    t.fg = named(Color::DarkGray);
    t.bg = named(Color::LightMagenta);
    t.underline_color.reset();
    t.add_modifier = t.sub_modifier = 0;
    EXPECT_EQ(style_repr(t), "Style::new().dark_gray().on_light_magenta()");
}

TEST(StyleBuild, Patch) {
    const Style bold_not_dim = Style{}.with_added(modifier::BOLD).with_removed(modifier::DIM);
    const Style dim_not_bold = Style{}.with_added(modifier::DIM).with_removed(modifier::BOLD);
    Style red;
    red.fg = named(Color::Red);
    const Color reset = named(Color::Reset);
    const struct {
        Style base, over;
        OptColor fg, bg;
        std::uint16_t add, sub;
    } cases[] = {
        {bold_not_dim, dim_not_bold, std::nullopt, std::nullopt, modifier::DIM, modifier::BOLD},
        {red.patch(bold_not_dim), Style::reset(), reset, reset, 0, modifier::ALL},
        {Style::reset(), red.patch(bold_not_dim), named(Color::Red), reset, modifier::BOLD,
         static_cast<std::uint16_t>(modifier::ALL & ~modifier::BOLD)},
    };
    for (const auto& c : cases) {
        const Style p = c.base.patch(c.over);
        EXPECT_EQ(p.fg, c.fg) << style_repr(p);
        EXPECT_EQ(p.bg, c.bg) << style_repr(p);
        EXPECT_EQ(p.add_modifier, c.add) << style_repr(p);
        EXPECT_EQ(p.sub_modifier, c.sub) << style_repr(p);
    }
}

}  // namespace
