#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/terminal/backend.hpp"
#include "live_cells.hpp"

using namespace tarvo::core;
using namespace tarvo::core::terminal;

namespace {

std::string encoded(const std::vector<std::pair<Position, Cell>>& list) {
    DiffList cells;
    Buffer next;
    for (const auto& [p, c] : list) {
        cells.push_back(DiffCell{p.x, p.y, static_cast<std::uint32_t>(next.content.size())});
        next.content.push_back(c);
    }
    std::string out;
    encode_cells(out, cells, next);
    return out;
}

Cell look(const char* sym, Color fg = {}, Color bg = {}, std::uint16_t mods = 0, Color ul = {}) {
    Cell c;
    c.set_symbol(sym);
    c.fg = fg;
    c.bg = bg;
    c.modifier = mods;
    c.underline_color = ul;
    return c;
}

const Color kRed = Color::named(Color::Red);
const Color kBlue = Color::named(Color::Blue);
const Color kWhite = Color::named(Color::White);

struct BytesCase {
    const char* name;
    std::vector<std::pair<Position, Cell>> cells;
    std::string expected;
};

class Encode : public ::testing::TestWithParam<BytesCase> {};

TEST_P(Encode, ExactBytes) { EXPECT_EQ(encoded(GetParam().cells), GetParam().expected) << GetParam().name; }

INSTANTIATE_TEST_SUITE_P(
    Cases, Encode,
    ::testing::Values(
        BytesCase{"nothing", {}, ""},
        BytesCase{"plain cell", {{{0, 0}, look("a")}}, "\x1b[1;1Ha"},
        BytesCase{"absent symbol is a space", {{{4, 2}, Cell{}}}, "\x1b[3;5H "},
        BytesCase{"neighbours share a move", {{{3, 1}, look("a")}, {{4, 1}, look("b")}}, "\x1b[2;4Hab"},
        BytesCase{"gap needs a move", {{{3, 1}, look("a")}, {{5, 1}, look("b")}}, "\x1b[2;4Ha\x1b[2;6Hb"},
        BytesCase{"next row needs a move", {{{9, 0}, look("a")}, {{0, 1}, look("b")}}, "\x1b[1;10Ha\x1b[2;1Hb"},
        BytesCase{"after a wide glyph", {{{0, 0}, look("日")}, {{2, 0}, look("b")}}, "\x1b[1;1H日\x1b[1;3Hb"},
        BytesCase{"large coordinates in full", {{{65534, 65534}, look("z")}}, "\x1b[65535;65535Hz"},
        BytesCase{"named fg", {{{0, 0}, look("a", kRed)}}, "\x1b[1;1H\x1b[38;5;1ma\x1b[0m"},
        BytesCase{"fg and bg together", {{{0, 0}, look("a", kRed, kBlue)}}, "\x1b[1;1H\x1b[38;5;1;48;5;4ma\x1b[0m"},
        BytesCase{"white is index 15", {{{0, 0}, look("a", {}, kWhite)}}, "\x1b[1;1H\x1b[48;5;15ma\x1b[0m"},
        BytesCase{"rgb and indexed", {{{0, 0}, look("a", Color::rgb(1, 2, 3), Color::indexed(200))}},
                  "\x1b[1;1H\x1b[38;2;1;2;3;48;5;200ma\x1b[0m"},
        BytesCase{"underline colour", {{{0, 0}, look("a", {}, {}, 0, Color::named(Color::Green))}},
                  "\x1b[1;1H\x1b[58;5;2ma\x1b[0m"},
        BytesCase{"only the colour that differs", {{{0, 0}, look("a", kRed, kBlue)}, {{1, 0}, look("b", kRed)}},
                  "\x1b[1;1H\x1b[38;5;1;48;5;4ma\x1b[49mb\x1b[0m"},
        BytesCase{"same look written once", {{{0, 0}, look("a", kRed)}, {{1, 0}, look("b", kRed)}},
                  "\x1b[1;1H\x1b[38;5;1mab\x1b[0m"},
        BytesCase{"back to defaults needs no closing reset",
                  {{{0, 0}, look("a", kRed, {}, modifier::BOLD)}, {{1, 0}, look("b")}},
                  "\x1b[1;1H\x1b[1m\x1b[38;5;1ma\x1b[22m\x1b[39mb"},
        BytesCase{"modifiers before colours", {{{0, 0}, look("a", kRed, {}, modifier::ITALIC)}},
                  "\x1b[1;1H\x1b[3m\x1b[38;5;1ma\x1b[0m"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(Encode, ModifierChanges) {
    using namespace modifier;
    struct Row {
        std::uint16_t from, to;
        const char* bytes;
    } rows[] = {
        {0, 0, ""},
        {0, BOLD, "\x1b[1m"},
        {0, DIM, "\x1b[2m"},
        {0, ITALIC | UNDERLINED, "\x1b[3m\x1b[4m"},
        {0, REVERSED | HIDDEN | CROSSED_OUT, "\x1b[7m\x1b[9m\x1b[8m"},
        {0, SLOW_BLINK | RAPID_BLINK, "\x1b[5m\x1b[6m"},
        {0, ALL, "\x1b[7m\x1b[1m\x1b[3m\x1b[4m\x1b[2m\x1b[9m\x1b[8m\x1b[5m\x1b[6m"},
        {BOLD, 0, "\x1b[22m"},
        {DIM, BOLD, "\x1b[22m\x1b[1m"},
        {BOLD | DIM, DIM, "\x1b[22m\x1b[2m"},
        {BOLD | DIM, BOLD | DIM | ITALIC, "\x1b[3m"},
        {BOLD | ITALIC, DIM | ITALIC, "\x1b[22m\x1b[2m"},
        {REVERSED, UNDERLINED, "\x1b[27m\x1b[4m"},
        {ITALIC | UNDERLINED | CROSSED_OUT | HIDDEN, 0, "\x1b[23m\x1b[24m\x1b[29m\x1b[28m"},
        {SLOW_BLINK | RAPID_BLINK, RAPID_BLINK, "\x1b[25m"},
        {SLOW_BLINK, RAPID_BLINK, "\x1b[25m\x1b[6m"},
        {0x200, 0x400, ""},  // undefined bits never go out
    };
    for (const auto& r : rows) {
        std::string out;
        append_modifier_change(out, r.from, r.to);
        EXPECT_EQ(out, r.bytes) << r.from << " -> " << r.to;
    }
}

TEST(Encode, ColorParameters) {
    struct Row {
        Color c;
        const char *fg, *bg, *ul;
    } rows[] = {
        {Color{}, "39", "49", "59"},
        {Color::named(Color::Black), "38;5;0", "48;5;0", "58;5;0"},
        {Color::named(Color::DarkGray), "38;5;8", "48;5;8", "58;5;8"},
        {Color::named(Color::LightCyan), "38;5;14", "48;5;14", "58;5;14"},
        {Color::indexed(255), "38;5;255", "48;5;255", "58;5;255"},
        {Color::rgb(255, 0, 128), "38;2;255;0;128", "48;2;255;0;128", "58;2;255;0;128"},
    };
    for (const auto& r : rows) {
        std::string fg, bg, ul;
        append_color_param(fg, r.c, ColorLayer::Fg);
        append_color_param(bg, r.c, ColorLayer::Bg);
        append_color_param(ul, r.c, ColorLayer::Underline);
        EXPECT_EQ(fg, r.fg);
        EXPECT_EQ(bg, r.bg);
        EXPECT_EQ(ul, r.ul);
    }
}

TEST(Encode, NeverLongerThanThePlainEncoder) {
    // A frame of mixed looks: the minimal encoder writes far fewer bytes and the same cells.
    Buffer b = Buffer::empty(Rect{0, 0, 40, 10});
    for (std::size_t i = 0; i < b.content.size(); ++i) {
        Cell& c = b.content[i];
        c.set_char(static_cast<char>('a' + i % 26));
        c.fg = Color::named(static_cast<Color::Tag>(1 + (i / 3) % 16));
        if ((i / 7) % 2) c.bg = Color::rgb(static_cast<std::uint8_t>(i), 40, 90);
        if ((i / 11) % 3 == 0) c.modifier = modifier::BOLD | modifier::UNDERLINED;
    }
    DiffList all;
    for (std::size_t i = 0; i < b.content.size(); ++i)
        all.push_back(DiffCell{static_cast<std::uint16_t>(i % 40), static_cast<std::uint16_t>(i / 40),
                               static_cast<std::uint32_t>(i)});
    std::string tight, plain;
    encode_cells(tight, all, b);
    encode_cells_plain(plain, all, b);
    EXPECT_LT(tight.size(), plain.size() / 2);
    EXPECT_EQ(tight.compare(tight.size() - 4, 4, "\x1b[0m"), 0);
}

}  // namespace
