#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/panic.hpp"
#include "core/text.hpp"

using namespace tarvo::core;
using Lines = std::vector<std::string>;

namespace {

Style fg_style(Color c) {
    Style s;
    s.fg = c;
    return s;
}

Buffer from_rows(const Lines& rows) {
    std::uint16_t w = 0;
    for (const auto& r : rows) w = std::max<std::uint16_t>(w, static_cast<std::uint16_t>(r.size()));
    Buffer b = Buffer::empty(Rect{0, 0, w, static_cast<std::uint16_t>(rows.size())});
    for (std::size_t y = 0; y < rows.size(); ++y)
        b.set_string(0, static_cast<std::uint16_t>(y), rows[y], Style{});
    return b;
}

Lines concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(Symbol, InlineUpTo24BytesAndHeapBeyond) {
    const std::string s24(24, 'a'), s25(25, 'b');
    Symbol a(s24), b(s25);
    EXPECT_FALSE(a.on_heap());
    EXPECT_TRUE(b.on_heap());
    EXPECT_EQ(a.view(), s24);
    EXPECT_EQ(b.view(), s25);

    Symbol c = b;  // deep copy
    b.assign("x");
    EXPECT_EQ(c.view(), s25);
    EXPECT_EQ(b.view(), "x");
    EXPECT_FALSE(b.on_heap());

    Symbol d = std::move(c);
    EXPECT_EQ(d.view(), s25);
    EXPECT_FALSE(c.has_value());
    d = d;  // self-assignment keeps the text
    EXPECT_EQ(d.view(), s25);
    d.assign(d.view().substr(3));  // assigning a view of itself
    EXPECT_EQ(d.view(), std::string(22, 'b'));
}

TEST(Symbol, AbsentReadsAsSpaceButEmptyDoesNot) {
    Symbol absent, empty(""), space(" ");
    EXPECT_EQ(absent.text(), " ");
    EXPECT_EQ(empty.text(), "");
    EXPECT_TRUE(absent == space);
    EXPECT_FALSE(absent == empty);
}

TEST(Cell, StylePatchTable) {
    struct Case {
        const char* name;
        Style style;
        Color fg, bg, ul;
        std::uint16_t mod;
    };
    // Start: fg Red, bg Blue, ul Green, BOLD | ITALIC.
    const Case cases[] = {
        {"empty style changes nothing", Style{}, Color::named(Color::Red), Color::named(Color::Blue),
         Color::named(Color::Green), modifier::BOLD | modifier::ITALIC},
        {"colours present win", Style{Color::indexed(7), Color::rgb(1, 2, 3), Color{}, 0, 0},
         Color::indexed(7), Color::rgb(1, 2, 3), Color{}, modifier::BOLD | modifier::ITALIC},
        {"add then sub", Style{std::nullopt, std::nullopt, std::nullopt, modifier::DIM, modifier::BOLD},
         Color::named(Color::Red), Color::named(Color::Blue), Color::named(Color::Green),
         modifier::ITALIC | modifier::DIM},
        {"sub wins over add of the same bit",
         Style{std::nullopt, std::nullopt, std::nullopt, modifier::HIDDEN, modifier::HIDDEN},
         Color::named(Color::Red), Color::named(Color::Blue), Color::named(Color::Green),
         modifier::BOLD | modifier::ITALIC},
    };
    for (const auto& c : cases) {
        Cell cell;
        cell.set_symbol("q");
        cell.fg = Color::named(Color::Red);
        cell.bg = Color::named(Color::Blue);
        cell.underline_color = Color::named(Color::Green);
        cell.modifier = modifier::BOLD | modifier::ITALIC;
        cell.set_style(c.style);
        EXPECT_EQ(cell.fg, c.fg) << c.name;
        EXPECT_EQ(cell.bg, c.bg) << c.name;
        EXPECT_EQ(cell.underline_color, c.ul) << c.name;
        EXPECT_EQ(cell.modifier, c.mod) << c.name;
        EXPECT_EQ(cell.symbol_text(), "q") << c.name;
    }
}

TEST(Cell, EqualityAndReset) {
    Cell a, b;
    b.set_symbol(" ");
    EXPECT_EQ(a, b);  // absent symbol equals a space
    b.skip = true;
    EXPECT_NE(a, b);
    b.skip = false;
    b.underline_color = Color::named(Color::Red);
    EXPECT_NE(a, b);
    EXPECT_TRUE(b.is_blank());  // the underline colour does not make a cell visible
    b.set_symbol(std::string(40, 'z'));
    b.modifier = modifier::BOLD;
    b.reset();
    EXPECT_EQ(a, b);
    EXPECT_FALSE(b.symbol.has_value());
}

TEST(Buffer, IndexMapping) {
    const Buffer b = Buffer::empty(Rect{5, 3, 4, 2});
    ASSERT_EQ(b.content.size(), 8u);
    EXPECT_EQ(b.index_of(5, 3), 0u);
    EXPECT_EQ(b.index_of(8, 4), 7u);
    struct Case {
        std::uint64_t index;
        Position pos;
    } cases[] = {{0, {5, 3}}, {3, {8, 3}}, {4, {5, 4}}, {7, {8, 4}}, {100, {5, 28}}};
    for (const auto& c : cases) EXPECT_EQ(b.pos_of(c.index), c.pos) << c.index;
    EXPECT_NE(b.cell_at(5, 3), nullptr);
    EXPECT_EQ(b.cell_at(9, 3), nullptr);
    EXPECT_EQ(b.cell_at(4, 3), nullptr);
    EXPECT_EQ(b.cell_at(5, 5), nullptr);
    EXPECT_EQ(b.cell_at(70000, 3), nullptr);
}

TEST(Buffer, PosOfPanics) {
    struct Case {
        Rect area;
        std::uint64_t index;
        const char* message;
    } cases[] = {
        {Rect{0, 0, 0, 5}, 0, "attempt to calculate the remainder with a divisor of zero"},
        {Rect{65000, 0, 535, 1}, 535 + 534, nullptr},  // x = 65534: fine
        {Rect{0, 65000, 10, 535}, 5360, "y overflow. This should never happen as area.height is u16"},
        {Rect{0, 0, 1, 1}, UINT64_MAX, "y overflow. This should never happen as area.height is u16"},
    };
    for (const auto& c : cases) {
        const Buffer b = Buffer::empty(c.area);
        if (!c.message) {
            EXPECT_NO_THROW((void)b.pos_of(c.index));
            continue;
        }
        try {
            (void)b.pos_of(c.index);
            ADD_FAILURE() << "no panic for index " << c.index;
        } catch (const Panic& p) {
            EXPECT_STREQ(p.what(), c.message);
        }
    }
}

struct WriteCase {
    const char* name;
    std::uint16_t width;
    const char* prefill;  // row content before writing
    std::uint16_t x;
    const char* text;
    std::size_t max_width;
    std::uint16_t end_x;
    const char* expected;  // to_string_lines()[0]
};

TEST(Buffer, SetStringnTable) {
    const WriteCase cases[] = {
        {"ascii", 5, "", 0, "abc", SIZE_MAX, 3, "abc"},
        {"clipped at the right edge", 4, "", 2, "abcdef", SIZE_MAX, 4, "  ab"},
        {"max width", 8, "", 1, "abcdef", 3, 4, " abc"},
        {"max width zero", 8, "zz", 0, "abc", 0, 0, "zz"},
        {"start beyond the edge", 4, "", 4, "abc", SIZE_MAX, 4, ""},
        {"wide graphemes", 6, "", 0, "日本", SIZE_MAX, 4, "日 本"},
        {"wide grapheme does not fit the edge", 3, "xyz", 0, "ab日", SIZE_MAX, 2, "abz"},
        {"wide grapheme does not fit max width", 10, "", 0, "a日b", 2, 1, "a"},
        {"writing stops at the first grapheme that does not fit", 3, "", 0, "a日b", SIZE_MAX, 3,
         "a日"},
        {"wide grapheme resets the covered cell", 4, "wxyz", 1, "日", SIZE_MAX, 3, "w日 z"},
        {"combining mark joins its base", 4, "", 0, "e\u0301x", SIZE_MAX, 2, "e\u0301x"},
        {"lone zero-width graphemes are dropped", 4, "", 0, "\u0301a\u200Bb", SIZE_MAX, 2, "ab"},
        {"control characters are dropped", 6, "", 0, "a\tb\r\nc\x7f\u0085d", SIZE_MAX, 4, "abcd"},
        {"zero-width joiner sequence is one wide grapheme", 4, "", 0,
         "\U0001F469\u200D\U0001F52C!", SIZE_MAX, 3, "\U0001F469\u200D\U0001F52C !"},
        {"flag pair", 3, "", 0, "\U0001F1EF\U0001F1F5", SIZE_MAX, 2, "\U0001F1EF\U0001F1F5"},
        {"ascii then combining mark then ascii", 6, "", 0, "ab\u0301cd", SIZE_MAX, 4,
         "ab\u0301cd"},
        {"symbol longer than the inline limit", 3, "", 0,
         "a\u0301\u0302\u0303\u0304\u0305\u0306\u0307\u0308\u0309\u030A\u030B\u030Cz", SIZE_MAX, 2,
         "a\u0301\u0302\u0303\u0304\u0305\u0306\u0307\u0308\u0309\u030A\u030B\u030Cz"},
    };
    for (const auto& c : cases) {
        Buffer b = Buffer::empty(Rect{0, 0, c.width, 1});
        b.set_string(0, 0, c.prefill, Style{});
        const Position end = b.set_stringn(c.x, 0, c.text, c.max_width, Style{});
        EXPECT_EQ(end, (Position{c.end_x, 0})) << c.name;
        EXPECT_EQ(b.to_string_lines(), Lines{c.expected}) << c.name;
    }
}

TEST(Buffer, SetStringOnOffsetAreaAndStyles) {
    Buffer b = Buffer::filled(Rect{5, 3, 4, 2}, Cell{}.set_char('.'));
    const Position end = b.set_string(7, 4, "日x", fg_style(Color::named(Color::Red)));
    EXPECT_EQ(end, (Position{9, 4}));
    EXPECT_EQ(b.to_string_lines(), (Lines{"....", "..日"}));
    EXPECT_EQ(b.cell_at(7, 4)->fg, Color::named(Color::Red));
    // The covered cell is reset, not styled; the text stopped before x.
    EXPECT_EQ(*b.cell_at(8, 4), Cell{});
    // Rows outside the area and columns left of it write nothing.
    EXPECT_EQ(b.set_string(5, 5, "zz", Style{}), (Position{5, 5}));
    EXPECT_EQ(b.set_string(4, 3, "zz", Style{}), (Position{4, 3}));
    EXPECT_EQ(b.to_string_lines(), (Lines{"....", "..日"}));
}

TEST(Buffer, SetStyleClipsToArea) {
    Buffer b = Buffer::empty(Rect{2, 2, 3, 3});
    b.set_style(Rect{0, 0, 4, 4}, fg_style(Color::named(Color::Blue)));
    for (std::uint16_t y = 2; y < 5; ++y)
        for (std::uint16_t x = 2; x < 5; ++x)
            EXPECT_EQ(b.cell_at(x, y)->fg, (x < 4 && y < 4 ? Color::named(Color::Blue) : Color{}))
                << x << "," << y;
    // Disjoint rectangles, also ones that share rows or columns with the buffer but no cell.
    for (const Rect r : {Rect{10, 10, 4, 4}, Rect{5, 2, 3, 3}, Rect{0, 2, 2, 3}, Rect{2, 5, 3, 1}}) {
        const Buffer before = b;
        b.set_style(r, fg_style(Color::named(Color::Red)));
        EXPECT_EQ(b, before) << r.x << "," << r.y;
    }
}

TEST(Buffer, ResizeKeepsIndices) {
    Buffer b = from_rows({"abcd", "efgh"});
    b.resize(Rect{0, 0, 2, 4});
    EXPECT_EQ(b.to_string_lines(), (Lines{"ab", "cd", "ef", "gh"}));
    b.resize(Rect{1, 1, 3, 1});
    EXPECT_EQ(b.area, (Rect{1, 1, 3, 1}));
    EXPECT_EQ(b.to_string_lines(), (Lines{"abc"}));
    b.resize(Rect{0, 0, 2, 2});
    EXPECT_EQ(b.content.size(), 4u);
    EXPECT_EQ(b.to_string_lines(), (Lines{"ab", "c"}));
    EXPECT_EQ(b.content[3], Cell{});
}

TEST(Buffer, StringLinesTable) {
    struct Case {
        const char* name;
        Rect area;
        Lines rows;
        Lines expected;
    } cases[] = {
        {"empty buffer", Rect{0, 0, 3, 1}, {}, {""}},
        {"zero width", Rect{0, 0, 0, 2}, {}, {"", ""}},
        {"zero height", Rect{0, 0, 4, 0}, {}, {}},
        {"trailing spaces trimmed, inner kept", Rect{0, 0, 6, 1}, {"a b  "}, {"a b"}},
        {"trailing unicode white space trimmed", Rect{0, 0, 6, 1},
         {"x\u00A0\u3000\u2003"}, {"x"}},
        {"leading white space kept", Rect{0, 0, 4, 1}, {"  q"}, {"  q"}},
        {"trailing zero width space is not white space", Rect{0, 0, 4, 1}, {"a\u200B"}, {"a\u200B"}},
    };
    for (const auto& c : cases) {
        Buffer b = Buffer::empty(c.area);
        for (std::size_t y = 0; y < c.rows.size(); ++y) {
            // Cell by cell, so that white space symbols land in cells unfiltered.
            std::size_t x = 0, i = 0;
            const std::string& s = c.rows[y];
            while (i < s.size()) {
                std::size_t len = 1;
                const auto b0 = static_cast<unsigned char>(s[i]);
                if (b0 >= 0xF0) len = 4;
                else if (b0 >= 0xE0) len = 3;
                else if (b0 >= 0xC0) len = 2;
                b.content[y * c.area.width + x++].set_symbol(s.substr(i, len));
                i += len;
            }
        }
        EXPECT_EQ(b.to_string_lines(), c.expected) << c.name;
    }
}

TEST(Buffer, StringLinesEmptySymbolAndWideFollower) {
    Buffer b = Buffer::empty(Rect{0, 0, 4, 1});
    b.content[0].set_symbol("");
    b.content[1].set_symbol("日");
    b.content[2].set_symbol("x");  // a wide grapheme's follower prints its own text
    EXPECT_EQ(b.to_string_lines(), Lines{" 日x"});
}

TEST(Buffer, AnsiLinesTable) {
    const Color red = Color::named(Color::Red);
    struct CellSpec {
        const char* sym;
        Color fg, bg;
        std::uint16_t mod;
        Color ul;
    };
    struct Case {
        const char* name;
        std::vector<CellSpec> row;
        std::string expected;
    } cases[] = {
        {"empty row", {{nullptr, {}, {}, 0, {}}, {nullptr, {}, {}, 0, {}}}, "\x1b[0m"},
        {"plain then red, trailing blank cut",
         {{"a", {}, {}, 0, {}}, {"b", red, {}, 0, {}}, {" ", {}, {}, 0, {}}},
         "a\x1b[31mb\x1b[0m"},
        {"back to reset fg without full reset",
         {{"a", red, {}, 0, {}}, {"b", {}, {}, 0, {}}}, "\x1b[31ma\x1b[39mb\x1b[0m"},
        {"losing bold resets everything",
         {{"a", red, {}, modifier::BOLD, {}}, {"b", red, {}, 0, {}}},
         "\x1b[31m\x1b[1ma\x1b[0m\x1b[31mb\x1b[0m"},
        {"bold and italic joined",
         {{"a", {}, {}, 0, {}}, {"b", {}, {}, modifier::BOLD | modifier::ITALIC, {}}},
         "a\x1b[1;3mb\x1b[0m"},
        {"all coded attributes in order",
         {{"a", {}, {}, modifier::ALL, {}}}, "\x1b[1;2;3;4;7;8;9ma\x1b[0m"},
        {"blink has no code but becomes current",
         {{"a", {}, {}, modifier::SLOW_BLINK, {}}, {"b", {}, {}, modifier::SLOW_BLINK, {}}},
         "ab\x1b[0m"},
        {"background space at the end is not blank",
         {{"a", {}, {}, 0, {}}, {" ", {}, Color::named(Color::Blue), 0, {}}},
         "a\x1b[44m \x1b[0m"},
        {"underline colour alone is blank",
         {{"a", {}, {}, 0, {}}, {" ", {}, {}, 0, red}}, "a\x1b[0m"},
        {"bright, rgb and indexed colours",
         {{"a", Color::named(Color::DarkGray), Color::named(Color::White), 0, {}},
          {"b", Color::rgb(1, 22, 255), Color::indexed(200), 0, {}},
          {"c", Color::named(Color::Black), Color::named(Color::Gray), 0, {}}},
         "\x1b[90m\x1b[107ma\x1b[38;2;1;22;255m\x1b[48;5;200mb\x1b[30m\x1b[47mc\x1b[0m"},
        {"empty symbol prints a space",
         {{"", red, {}, 0, {}}, {"x", {}, {}, 0, {}}}, "\x1b[31m \x1b[39mx\x1b[0m"},
        {"inner blank cells are kept",
         {{"a", {}, {}, 0, {}}, {nullptr, {}, {}, 0, {}}, {"b", {}, {}, 0, {}}}, "a b\x1b[0m"},
    };
    for (const auto& c : cases) {
        Buffer b = Buffer::empty(Rect{0, 0, static_cast<std::uint16_t>(c.row.size()), 1});
        for (std::size_t i = 0; i < c.row.size(); ++i) {
            Cell& cell = b.content[i];
            if (c.row[i].sym) cell.set_symbol(c.row[i].sym);
            cell.fg = c.row[i].fg;
            cell.bg = c.row[i].bg;
            cell.modifier = c.row[i].mod;
            cell.underline_color = c.row[i].ul;
        }
        EXPECT_EQ(b.to_ansi_lines(false), Lines{c.expected}) << c.name;
    }
}

TEST(Buffer, AnsiLinesClipBottom) {
    Buffer b = Buffer::empty(Rect{5, 3, 2, 4});
    EXPECT_EQ(b.to_ansi_lines(true), Lines{});
    EXPECT_EQ(b.to_ansi_lines(false), Lines(4, "\x1b[0m"));
    b.set_string(5, 3, "ab", Style{});
    b.set_string(6, 4, "c", Style{});
    EXPECT_EQ(b.to_ansi_lines(true), (Lines{"ab\x1b[0m", " c\x1b[0m"}));
    EXPECT_EQ(b.to_ansi_lines(false).size(), 4u);
    // A row whose only mark is an underline colour counts as blank and is clipped.
    b.content[3 * 2].underline_color = Color::named(Color::Red);
    EXPECT_EQ(b.to_ansi_lines(true).size(), 2u);
    EXPECT_EQ(Buffer::empty(Rect{0, 0, 0, 3}).to_ansi_lines(true), Lines{});
    EXPECT_EQ(Buffer::empty(Rect{0, 0, 0, 3}).to_ansi_lines(false), Lines(3, "\x1b[0m"));
}

TEST(BufferCopies, RegionCopyMakesSymbolsExplicitAndMasksModifiers) {
    Buffer src = Buffer::empty(Rect{3, 2, 4, 2});
    src.content[1].set_symbol("");
    src.content[2].set_symbol(std::string(30, 'w'));
    src.content[2].modifier = 0xFE01;  // BOLD plus undefined bits
    src.content[5].skip = true;
    src.content[5].underline_color = Color::indexed(9);
    const Buffer copy = region_copy(src);
    ASSERT_EQ(copy.area, src.area);
    ASSERT_EQ(copy.content.size(), 8u);
    EXPECT_TRUE(copy.content[0].symbol.has_value());
    EXPECT_EQ(copy.content[0].symbol.view(), " ");
    EXPECT_EQ(copy.content[1].symbol.view(), "");
    EXPECT_EQ(copy.content[2].symbol.view(), std::string(30, 'w'));
    EXPECT_EQ(copy.content[2].modifier, modifier::BOLD);
    EXPECT_TRUE(copy.content[5].skip);
    EXPECT_EQ(copy.content[5].underline_color, Color::indexed(9));
}

TEST(BufferCopies, WriteBackTable) {
    struct Case {
        const char* name;
        Rect core_area, py_area;
        Lines expected;
    } cases[] = {
        {"overlap only", Rect{0, 0, 10, 10}, Rect{5, 5, 10, 10},
         concat(Lines(5, "#####....."), Lines(5, ".........."))},
        {"disjoint areas write nothing", Rect{0, 0, 3, 3}, Rect{4, 4, 3, 3}, Lines(3, "...")},
        {"core inside python", Rect{2, 1, 2, 1}, Rect{0, 0, 5, 2}, {".....", "..##."}},
        {"core below and right of python", Rect{5, 5, 10, 10}, Rect{0, 0, 10, 10},
         concat(Lines(5, ".........."), Lines(5, ".....#####"))},
        {"columns overlap but rows do not", Rect{0, 0, 5, 2}, Rect{2, 3, 5, 2}, Lines(2, ".....")},
        {"python inside core", Rect{0, 0, 10, 10}, Rect{2, 2, 3, 2}, Lines(2, "###")},
    };
    for (const auto& c : cases) {
        const Buffer core = Buffer::filled(c.core_area, Cell{}.set_char('#'));
        Buffer py = Buffer::filled(c.py_area, Cell{}.set_char('.'));
        write_back(core, py);
        EXPECT_EQ(py.to_string_lines(), c.expected) << c.name;
    }
}

TEST(BufferCopies, WriteBackClearsModifiersAndCarriesEverything) {
    Buffer py = Buffer::empty(Rect{0, 0, 2, 1});
    py.content[0].modifier = modifier::BOLD;
    Buffer work = region_copy(py);
    work.content[0].modifier = 0;
    work.content[1].modifier = 0x8000 | modifier::DIM;
    work.content[1].set_symbol("k");
    work.content[1].bg = Color::rgb(9, 8, 7);
    write_back(work, py);
    EXPECT_EQ(py.content[0].modifier, 0);
    EXPECT_EQ(py.content[1].modifier, modifier::DIM);
    EXPECT_EQ(py.content[1].symbol.view(), "k");
    EXPECT_EQ(py.content[1].bg, Color::rgb(9, 8, 7));
    EXPECT_EQ(py.content[0].symbol.view(), " ");  // absent symbols come back explicit
}

TEST(Buffer, SetLineTable) {
    struct Case {
        const char* name;
        std::vector<const char*> spans;
        std::uint16_t x, max_width;
        std::uint16_t end_x;
        const char* expected;
    } cases[] = {
        {"spans side by side", {"ab", "cd"}, 0, 6, 4, "abcd"},
        {"room shared by the spans", {"abc", "def"}, 1, 4, 5, " abcd"},
        {"a span that stops early leaves room to the next", {"a\u65e5", "b"}, 0, 2, 2, "ab"},
        {"no room", {"ab"}, 0, 0, 0, ""},
        {"clipped at the right edge", {"abc", "def"}, 4, 100, 6, "    ab"},
        {"empty spans", {"", "x", ""}, 0, 6, 1, "x"},
    };
    for (const auto& c : cases) {
        Line line;
        for (const char* s : c.spans) line.spans.push_back(Span::raw(s));
        Buffer b = Buffer::empty(Rect{0, 0, 6, 1});
        EXPECT_EQ(b.set_line(c.x, 0, line, c.max_width), (Position{c.end_x, 0})) << c.name;
        EXPECT_EQ(b.to_string_lines(), Lines{c.expected}) << c.name;
    }
}

TEST(Buffer, SetLineLayersLineStyleUnderSpanStyle) {
    Line line;
    line.style.fg = Color::named(Color::Red);
    line.style.add_modifier = modifier::BOLD | modifier::ITALIC;
    Style span_style;
    span_style.bg = Color::named(Color::Blue);
    span_style.sub_modifier = modifier::ITALIC;
    line.spans.push_back(Span::styled("a", span_style));
    line.spans.push_back(Span::styled("b", fg_style(Color::named(Color::Green))));
    Buffer b = Buffer::empty(Rect{3, 1, 4, 1});
    EXPECT_EQ(b.set_line(4, 1, line, 3), (Position{6, 1}));
    const Cell& a = *b.cell_at(4, 1);
    EXPECT_EQ(a.fg, Color::named(Color::Red));
    EXPECT_EQ(a.bg, Color::named(Color::Blue));
    EXPECT_EQ(a.modifier, modifier::BOLD);
    const Cell& c = *b.cell_at(5, 1);
    EXPECT_EQ(c.fg, Color::named(Color::Green));
    EXPECT_EQ(c.modifier, modifier::BOLD | modifier::ITALIC);
    EXPECT_EQ(b.set_span(3, 1, Span::styled("xyz", fg_style(Color::named(Color::Cyan))), 2),
              (Position{5, 1}));
    EXPECT_EQ(b.to_string_lines(), Lines{"xyb"});
    EXPECT_EQ(b.cell_at(4, 1)->fg, Color::named(Color::Cyan));
    EXPECT_EQ(b.cell_at(4, 1)->bg, Color::named(Color::Blue));  // untouched by the span's style
}

TEST(BufferCopies, WriteBackReplacesSymbols) {
    Buffer py = Buffer::empty(Rect{0, 0, 3, 1});
    py.content[0].set_symbol(std::string(30, 'h'));  // held on the heap
    py.content[1].set_symbol("q");
    Buffer work = region_copy(py);
    work.content[0].set_symbol("x");
    work.content[1].set_symbol("");
    work.content[2].skip = true;
    write_back(work, py);
    EXPECT_EQ(py.content[0].symbol.view(), "x");
    EXPECT_FALSE(py.content[0].symbol.on_heap());
    EXPECT_TRUE(py.content[1].symbol.has_value());  // an empty symbol stays empty, not a space
    EXPECT_EQ(py.content[1].symbol.view(), "");
    EXPECT_TRUE(py.content[2].skip);
}

TEST(BufferCopies, RegionCopyCapsEdgesAt65535) {
    // An area reaching past the last coordinate: the copy is cut there, and the source rows are
    // still read with the source's own width.
    Buffer src = Buffer::empty(Rect{65530, 0, 10, 2});
    for (std::size_t i = 0; i < src.content.size(); ++i) src.content[i].set_char(static_cast<char>('a' + i));
    const Buffer copy = region_copy(src);
    EXPECT_EQ(copy.area, (Rect{65530, 0, 5, 2}));
    EXPECT_EQ(copy.to_string_lines(), (Lines{"abcde", "klmno"}));

    Buffer tall = Buffer::empty(Rect{0, 65534, 1, 3});
    tall.content[0].set_char('z');
    const Buffer cut = region_copy(tall);
    EXPECT_EQ(cut.area, (Rect{0, 65534, 1, 1}));
    EXPECT_EQ(cut.to_string_lines(), Lines{"z"});
}

TEST(BufferCopies, CellCountShortOfTheAreaPanics) {
    const auto short_of = [](Rect area, std::size_t missing) {
        Buffer b = Buffer::empty(area);
        b.content.resize(b.content.size() - missing);
        return b;
    };
    const Buffer good = Buffer::empty(Rect{0, 0, 2, 2});
    struct Case {
        const char* name;
        std::function<void()> run;
        const char* message;
    } cases[] = {
        {"region copy", [&] { (void)region_copy(short_of(Rect{0, 0, 2, 2}, 1)); },
         "index out of bounds: the len is 3 but the index is 3"},
        {"write-back from a short buffer",
         [&] {
             Buffer dst = good;
             write_back(short_of(Rect{0, 0, 2, 2}, 2), dst);
         },
         "index out of bounds: the len is 2 but the index is 2"},
        {"write-back into a short buffer",
         [&] {
             Buffer dst = short_of(Rect{0, 0, 2, 2}, 1);
             write_back(good, dst);
         },
         "index out of bounds: the len is 3 but the index is 3"},
    };
    for (const auto& c : cases) {
        try {
            c.run();
            ADD_FAILURE() << "no panic: " << c.name;
        } catch (const Panic& p) {
            EXPECT_STREQ(p.what(), c.message) << c.name;
        }
    }
}
