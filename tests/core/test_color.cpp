#include <gtest/gtest.h>

#include <cmath>
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

Color named(Color::Tag t) { return Color::named(t); }

struct ParseCase {
    std::string text;
    std::optional<Color> expected;
};

TEST(ColorParse, NamesIndicesAndHex) {
    const ParseCase cases[] = {
        {"red", named(Color::Red)},
        {"RED", named(Color::Red)},
        {"reset", named(Color::Reset)},
        {"Dark-Gray", named(Color::DarkGray)},
        {"dark gray", named(Color::DarkGray)},
        {"DARK_GREY", named(Color::DarkGray)},
        {"LightGray", named(Color::White)},
        {"Light Gray", named(Color::White)},
        {"light-grey", named(Color::White)},
        {"BrightGray", named(Color::White)},
        {"lightsilver", named(Color::White)},
        {"lightwhite", named(Color::White)},
        {"silver", named(Color::Gray)},
        {"grey", named(Color::Gray)},
        {"bright black", named(Color::DarkGray)},
        {"light_black", named(Color::DarkGray)},
        {"bright red", named(Color::LightRed)},
        {"L_i-g h tMagenta", named(Color::LightMagenta)},
        {"blac\xE2\x84\xAA", named(Color::Black)},    // KELVIN SIGN lower-cases to "k"
        {"\xC4\xB0ndigo", std::nullopt},               // dotted capital I keeps a combining mark
        {"r\xC3\xA9" "d", std::nullopt},
        {"lightgrey2", std::nullopt},
        {"12", Color::indexed(12)},
        {"+12", Color::indexed(12)},
        {"007", Color::indexed(7)},
        {"0255", Color::indexed(255)},
        {"0", Color::indexed(0)},
        {" 12", std::nullopt},
        {"-1", std::nullopt},
        {"-0", std::nullopt},
        {"256", std::nullopt},
        {"+", std::nullopt},
        {"", std::nullopt},
        {"++1", std::nullopt},
        {"#FF8000", Color::rgb(255, 128, 0)},
        {"#ff8000", Color::rgb(255, 128, 0)},
        {"#+f+f+f", Color::rgb(15, 15, 15)},
        {"#fff", std::nullopt},
        {"ff8000", std::nullopt},
        {"# FF8000", std::nullopt},
        {"#FF800", std::nullopt},
        {"#-f0000", std::nullopt},
        {"#GG0000", std::nullopt},
        {"#\xC3\xA9" "1234", std::nullopt},  // seven bytes, a field splits the two-byte character
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_color(c.text), c.expected) << "text: " << c.text;
    }
}

TEST(ColorPack, RoundTrips) {
    EXPECT_EQ(color_from_u32(0xFF123456u), Color::rgb(18, 52, 86));
    EXPECT_EQ(color_to_u32(Color::rgb(1, 2, 3)), (1u << 16) | (2u << 8) | 3u);
    EXPECT_EQ(color_to_u32(Color::indexed(7)), 7u);
    EXPECT_EQ(color_to_u32(named(Color::Red)), 0u);
    EXPECT_EQ(color_to_u32(named(Color::Reset)), 0u);
    for (std::uint32_t v : {0u, 1u, 0x00ABCDEFu, 0x00FFFFFFu, 0x00800000u})
        EXPECT_EQ(color_to_u32(color_from_u32(v)), v);
}

TEST(ColorRepr, TextsAndHash) {
    EXPECT_EQ(color_repr(named(Color::Reset)), "Reset");
    EXPECT_EQ(color_repr(named(Color::DarkGray)), "DarkGray");
    EXPECT_EQ(color_repr(named(Color::LightMagenta)), "LightMagenta");
    EXPECT_EQ(color_repr(named(Color::White)), "White");
    EXPECT_EQ(color_repr(Color::rgb(255, 0, 0)), "Rgb(255, 0, 0)");
    EXPECT_EQ(color_repr(Color::indexed(5)), "Indexed(5)");
    // Reference values of h = h * 31 + byte over the repr text, wrapping at 64 bits.
    EXPECT_EQ(color_hash(named(Color::Red)), 82033);
    EXPECT_EQ(color_hash(named(Color::Reset)), 78851375);
    EXPECT_EQ(color_hash(Color::rgb(255, 128, 0)), 8558497681873745849LL);
    EXPECT_EQ(color_hash(Color::indexed(200)), 1947711423269247662LL);
    EXPECT_EQ(color_hash(named(Color::LightMagenta)), 2019920458686483155LL);
}

TEST(ColorEquality, ComparesVariantAndPayload) {
    EXPECT_FALSE(color_equal(Color::rgb(0, 0, 0), named(Color::Black)));
    EXPECT_FALSE(color_equal(Color::indexed(1), Color::rgb(1, 0, 0)));
    EXPECT_TRUE(color_equal(Color{Color::Red, 9, 9, 9}, named(Color::Red)));
    EXPECT_TRUE(color_equal(Color{Color::Indexed, 4, 1, 2}, Color::indexed(4)));
    EXPECT_FALSE(color_equal(Color::rgb(1, 2, 3), Color::rgb(1, 2, 4)));
}

struct HslCase {
    float h, s, l;
    Color expected;
};

TEST(ColorHsl, EdgeValues) {
    // Exact single-precision lightness values whose channel lands on a half: ties go to even.
    const float two_and_half = 0x1.414142p-7f;   // * 255 == 2.5
    const float half_past_128 = 0x1.020202p-1f;  // * 255 == 128.5
    const HslCase cases[] = {
        {0, 1, 0.5f, Color::rgb(255, 0, 0)},
        {360, 1, 0.5f, Color::rgb(255, 0, 0)},
        {-360, 1, 0.5f, Color::rgb(255, 0, 0)},
        {720, 1, 0.5f, Color::rgb(255, 0, 0)},
        {120, 2.0f, 0.5f, Color::rgb(0, 255, 0)},
        {240, 1, 0.5f, Color::rgb(0, 0, 255)},
        {-120, 1, 0.5f, Color::rgb(0, 0, 255)},
        {60, 1, 0.5f, Color::rgb(255, 255, 0)},
        {180, 1, 0.5f, Color::rgb(0, 255, 255)},
        {300, 1, 0.5f, Color::rgb(255, 0, 255)},
        {30, 1, 0.5f, Color::rgb(255, 128, 0)},  // 127.5 goes to 128
        {0, 0, 0.5f, Color::rgb(128, 128, 128)},
        {0, 0, two_and_half, Color::rgb(2, 2, 2)},
        {0, 0, half_past_128, Color::rgb(128, 128, 128)},
        {0, 1, 1.5f, Color::rgb(255, 255, 255)},
        {0, 1, -0.5f, Color::rgb(0, 0, 0)},
        {0, -1, 0.5f, Color::rgb(128, 128, 128)},
        // A tiny negative hue wraps to exactly 360: the last sector.
        {-1e-6f, 1, 0.5f, Color::rgb(255, 0, 0)},
        // NaN propagates through the clamps; the cap at 255 turns it into 255.
        {kNaN, 1, 0.5f, Color::rgb(255, 0, 255)},
        {0, kNaN, 0.5f, Color::rgb(255, 255, 255)},
        {0, 1, kNaN, Color::rgb(255, 255, 255)},
        {kInf, 0, 0.5f, Color::rgb(128, 128, 255)},
        {-kInf, 1, 0.5f, Color::rgb(255, 0, 255)},
        {0, kInf, 0.5f, Color::rgb(255, 0, 0)},
        {0, 1, -kInf, Color::rgb(0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(color_from_hsl(c.h, c.s, c.l), c.expected)
            << "hsl(" << c.h << ", " << c.s << ", " << c.l << ") gave " << color_repr(color_from_hsl(c.h, c.s, c.l));
    }
}

TEST(ColorHsl, NarrowingSaturatesToInfinity) {
    EXPECT_EQ(narrow_to_float(1e300), kInf);
    EXPECT_EQ(narrow_to_float(-1e300), -kInf);
    EXPECT_TRUE(std::isnan(narrow_to_float(std::nan(""))));
    EXPECT_EQ(narrow_to_float(0.1), 0.1f);
    EXPECT_EQ(narrow_to_float(static_cast<double>(std::numeric_limits<float>::max())),
              std::numeric_limits<float>::max());
    EXPECT_EQ(narrow_to_float(0x1.ffffffp127), kInf);
    EXPECT_EQ(narrow_to_float(0x1.fffffefffffffp127), std::numeric_limits<float>::max());
}

TEST(ColorFunctions, ChannelRule) {
    const UnitRgb reset = color_to_unit_rgb(named(Color::Reset));
    EXPECT_EQ(reset.r, 0.5f);
    EXPECT_EQ(reset.b, 0.5f);
    const UnitRgb idx = color_to_unit_rgb(Color::indexed(255));
    EXPECT_EQ(idx.r, 0.0f);
    EXPECT_EQ(idx.g, 0.0f);
    EXPECT_EQ(idx.b, 1.0f);
    EXPECT_EQ(color_to_unit_rgb(Color::rgb(1, 0, 0)).r, 1.0f / 255.0f);
}

struct LerpCase {
    Color a, b;
    float t;
    Color expected;
};

TEST(ColorFunctions, Lerp) {
    const LerpCase cases[] = {
        {Color::rgb(0, 0, 0), Color::rgb(255, 255, 255), 0.5f, Color::rgb(128, 128, 128)},
        {Color::rgb(0, 0, 0), Color::rgb(255, 255, 255), 2.0f, Color::rgb(255, 255, 255)},
        {Color::rgb(0, 0, 0), Color::rgb(255, 255, 255), -1.0f, Color::rgb(0, 0, 0)},
        {named(Color::Red), named(Color::Blue), 0.3f, Color::rgb(128, 128, 128)},
        {Color::indexed(200), Color::rgb(0, 0, 0), 0.0f, Color::rgb(0, 0, 200)},
        {Color::rgb(10, 20, 30), Color::rgb(250, 0, 100), 0.25f, Color::rgb(70, 15, 48)},
        {Color::rgb(10, 20, 30), Color::rgb(250, 0, 100), kInf, Color::rgb(250, 0, 100)},
        {Color::rgb(10, 20, 30), Color::rgb(250, 0, 100), -kInf, Color::rgb(10, 20, 30)},
        {Color::rgb(10, 20, 30), Color::rgb(250, 0, 100), kNaN, Color::rgb(0, 0, 0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(color_lerp(c.a, c.b, c.t), c.expected) << "t=" << c.t << " gave " << color_repr(color_lerp(c.a, c.b, c.t));
    }
}

TEST(ColorFunctions, InterpolateSpaces) {
    const Color red = Color::rgb(255, 0, 0), blue = Color::rgb(0, 0, 255);
    auto hsl = interpolate_colors(red, blue, 0.5f, "HSL");
    ASSERT_TRUE(hsl.ok());
    EXPECT_EQ(hsl.color, Color::rgb(255, 0, 255));
    auto rgb = interpolate_colors(red, blue, 0.5f, "rgb");
    ASSERT_TRUE(rgb.ok());
    EXPECT_EQ(rgb.color, Color::rgb(128, 0, 128));
    // Shorter way from 300 degrees to 60 degrees passes through red.
    auto wrap = interpolate_colors(Color::rgb(255, 0, 255), Color::rgb(255, 255, 0), 0.5f, "hsl");
    EXPECT_EQ(wrap.color, Color::rgb(255, 0, 0));
    // Grey to red in HSL: hue stays 0, saturation rises; halves round away from zero.
    auto grey = interpolate_colors(Color::rgb(128, 128, 128), red, 0.5f, "Hsl");
    EXPECT_EQ(grey.color, Color::rgb(191, 64, 64));
    EXPECT_EQ(interpolate_colors(red, blue, 2.0f, "hsl").color, blue);
    EXPECT_EQ(interpolate_colors(red, blue, kNaN, "hsl").color, Color::rgb(0, 0, 0));
    auto bad = interpolate_colors(red, blue, 0.5f, "LAB");
    EXPECT_FALSE(bad.ok());
    EXPECT_EQ(bad.error, "unsupported color space: lab (expected 'rgb' or 'hsl')");
    EXPECT_EQ(interpolate_colors(red, blue, 0.5f, "").error, "unsupported color space:  (expected 'rgb' or 'hsl')");
}

struct HslOut {
    Color c;
    float h, s, l;
};

TEST(ColorFunctions, ToHsl) {
    const HslOut cases[] = {
        {Color::rgb(255, 0, 0), 0.0f, 1.0f, 0.5f},
        {Color::rgb(0, 0, 255), -120.0f, 1.0f, 0.5f},
        {Color::rgb(0, 255, 0), 120.0f, 1.0f, 0.5f},
        {Color::rgb(255, 0, 255), -60.0f, 1.0f, 0.5f},
        {Color::rgb(0, 255, 255), 180.0f, 1.0f, 0.5f},
        {Color::rgb(255, 255, 255), 0.0f, 0.0f, 1.0f},
        {named(Color::Red), 0.0f, 0.0f, 0.5f},
        {Color::indexed(255), -120.0f, 1.0f, 0.5f},
    };
    for (const auto& c : cases) {
        const UnitHsl v = color_to_hsl(c.c);
        EXPECT_EQ(v.h, c.h) << color_repr(c.c);
        EXPECT_EQ(v.s, c.s) << color_repr(c.c);
        EXPECT_EQ(v.l, c.l) << color_repr(c.c);
    }
    const UnitHsl grey = color_to_hsl(Color::rgb(128, 128, 128));
    EXPECT_EQ(grey.h, 0.0f);
    EXPECT_EQ(grey.s, 0.0f);
    EXPECT_EQ(grey.l, 128.0f / 255.0f);
    EXPECT_FALSE(std::signbit(grey.h));
}

TEST(ColorFunctions, FromHex) {
    const std::pair<const char*, std::optional<Color>> cases[] = {
        {"#FF8000", Color::rgb(255, 128, 0)},
        {"ff8000", Color::rgb(255, 128, 0)},
        {"##ff8000", Color::rgb(255, 128, 0)},
        {"#f80", Color::rgb(255, 136, 0)},
        {"ABC", Color::rgb(0xAA, 0xBB, 0xCC)},
        {"+12345", Color::rgb(0x01, 0x23, 0x45)},
        {"#ff80", std::nullopt},
        {"", std::nullopt},
        {"#", std::nullopt},
        {"+ab", std::nullopt},
        {"-12345", std::nullopt},
        {"ff800g", std::nullopt},
        {"\xC3\xA9" "1234", std::nullopt},
        {"ff8000#", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        const ColorResult r = color_from_hex(text);
        if (expected) {
            EXPECT_TRUE(r.ok()) << text;
            EXPECT_EQ(r.color, *expected) << text;
        } else {
            EXPECT_EQ(r.error, std::string("invalid hex color: ") + text);
        }
    }
}

TEST(ColorFunctions, TailwindPalette) {
    const struct {
        const char* name;
        std::uint16_t shade;
        std::uint32_t rgb;
    } samples[] = {
        {"red", 50, 0xFEF2F2},  {"Red", 500, 0xEF4444},   {"RED", 950, 0x450A0A},
        {"gray", 900, 0x111827}, {"green", 500, 0x22C55E}, {"sky", 400, 0x38BDF8},
        {"slate", 950, 0x020617}, {"violet", 50, 0xF5F3FF}, {"rose", 950, 0x4C0519},
        {"black", 0, 0x000000}, {"WHITE", 7, 0xFFFFFF},   {"white", 65535, 0xFFFFFF},
    };
    for (const auto& s : samples) {
        const ColorResult r = tailwind_color(s.name, s.shade);
        ASSERT_TRUE(r.ok()) << s.name << " " << s.shade;
        EXPECT_EQ(r.color, color_from_u32(s.rgb)) << s.name << " " << s.shade;
    }
    // Every family has every shade, and shades darken from 50 to 950.
    const char* families[] = {"slate", "gray", "zinc", "neutral", "stone", "red", "orange", "amber",
                              "yellow", "lime", "green", "emerald", "teal", "cyan", "sky", "blue",
                              "indigo", "violet", "purple", "fuchsia", "pink", "rose"};
    const std::uint16_t shades[] = {50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 950};
    for (const char* f : families) {
        float last = 2.0f;
        for (std::uint16_t sh : shades) {
            const ColorResult r = tailwind_color(f, sh);
            ASSERT_TRUE(r.ok()) << f << " " << sh;
            const float l = color_to_hsl(r.color).l;
            EXPECT_LT(l, last) << f << " " << sh;
            last = l;
        }
    }
    EXPECT_EQ(tailwind_color("red", 550).error, "invalid tailwind shade: 550");
    EXPECT_EQ(tailwind_color("red", 0).error, "invalid tailwind shade: 0");
    EXPECT_EQ(tailwind_color("Crimson", 12).error, "unknown tailwind palette: crimson");
    EXPECT_EQ(tailwind_color("Crimson", 500).error, "unknown tailwind palette: crimson");
    EXPECT_EQ(tailwind_color("sky ", 500).error, "unknown tailwind palette: sky ");
}

TEST(ModifierRepr, Texts) {
    EXPECT_EQ(modifier_repr(0), "NONE");
    EXPECT_EQ(modifier_repr(modifier::BOLD), "BOLD");
    EXPECT_EQ(modifier_repr(modifier::BOLD | modifier::CROSSED_OUT), "BOLD | CROSSED_OUT");
    EXPECT_EQ(modifier_repr(modifier::ALL),
              "BOLD | DIM | ITALIC | UNDERLINED | SLOW_BLINK | RAPID_BLINK | REVERSED | HIDDEN | CROSSED_OUT");
    EXPECT_EQ(modifier_repr(0x200), "0x200");
    EXPECT_EQ(modifier_repr(0xFE04), "ITALIC | 0xfe00");
}

TEST(StyleRepr, BuilderChains) {
    EXPECT_EQ(style_repr(Style{}), "Style::new()");
    Style s;
    s.fg = named(Color::Red);
    s.bg = named(Color::Blue);
    s.add_modifier = modifier::BOLD;
    EXPECT_EQ(style_repr(s), "Style::new().red().on_blue().bold()");
    EXPECT_EQ(style_repr(Style::reset()),
              "Style::new().fg(Color::Reset).bg(Color::Reset).underline_color(Color::Reset)"
              ".not_bold().not_dim().not_italic().not_underlined().not_slow_blink()"
              ".not_rapid_blink().not_reversed().not_hidden().not_crossed_out()");
    Style t;
    t.fg = Color::rgb(1, 2, 3);
    t.bg = Color::indexed(5);
    t.underline_color = named(Color::LightBlue);
    t.add_modifier = modifier::DIM | 0x400;
    t.sub_modifier = modifier::HIDDEN | 0x8000;
    EXPECT_EQ(style_repr(t),
              "Style::new().fg(Color::Rgb(1, 2, 3)).bg(Color::Indexed(5)).underline_color(Color::LightBlue)"
              ".dim().add_modifier(Modifier::0x400).not_hidden().remove_modifier(Modifier::0x8000)");
    Style u;
    u.fg = named(Color::DarkGray);
    u.bg = named(Color::LightMagenta);
    EXPECT_EQ(style_repr(u), "Style::new().dark_gray().on_light_magenta()");
}

TEST(StyleBuild, ModifiersAndPatch) {
    const Style b = Style{}.with_added(modifier::BOLD).with_removed(modifier::BOLD);
    EXPECT_EQ(b.add_modifier, 0);
    EXPECT_EQ(b.sub_modifier, modifier::BOLD);
    const Style c = b.with_added(modifier::BOLD | modifier::DIM);
    EXPECT_EQ(c.add_modifier, modifier::BOLD | modifier::DIM);
    EXPECT_EQ(c.sub_modifier, 0);

    struct PatchCase {
        Style base, over;
        OptColor fg, bg, ul;
        std::uint16_t add, sub;
    };
    Style red;
    red.fg = named(Color::Red);
    Style blue_bg;
    blue_bg.bg = named(Color::Blue);
    Style bold_not_dim = Style{}.with_added(modifier::BOLD).with_removed(modifier::DIM);
    Style dim_not_bold = Style{}.with_added(modifier::DIM).with_removed(modifier::BOLD);
    const Color reset = named(Color::Reset);
    const PatchCase cases[] = {
        {red, blue_bg, named(Color::Red), named(Color::Blue), std::nullopt, 0, 0},
        {red.patch(bold_not_dim), Style::reset(), reset, reset, reset, 0, modifier::ALL},
        {bold_not_dim, dim_not_bold, std::nullopt, std::nullopt, std::nullopt, modifier::DIM, modifier::BOLD},
        {dim_not_bold, bold_not_dim, std::nullopt, std::nullopt, std::nullopt, modifier::BOLD, modifier::DIM},
        {Style::reset(), red, named(Color::Red), reset, reset, 0, modifier::ALL},
        {Style::reset(), bold_not_dim, reset, reset, reset, modifier::BOLD,
         static_cast<std::uint16_t>(modifier::ALL & ~modifier::BOLD)},
    };
    for (const auto& pc : cases) {
        const Style p = pc.base.patch(pc.over);
        EXPECT_EQ(p.fg, pc.fg) << style_repr(p);
        EXPECT_EQ(p.bg, pc.bg) << style_repr(p);
        EXPECT_EQ(p.underline_color, pc.ul) << style_repr(p);
        EXPECT_EQ(p.add_modifier, pc.add) << style_repr(p);
        EXPECT_EQ(p.sub_modifier, pc.sub) << style_repr(p);
    }
}

}  // namespace
