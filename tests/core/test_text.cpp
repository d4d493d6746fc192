#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/text.hpp"
#include "core/unicode.hpp"

namespace {

using namespace tarvo::core;
using Lines = std::vector<std::string>;

Style fg(Color::Tag t) {
    Style s;
    s.fg = Color::named(t);
    return s;
}

Buffer blank(std::uint16_t w, std::uint16_t h) { return Buffer::empty(Rect{0, 0, w, h}); }

// A row written as the cells show it (a wide grapheme covers the next cell) in the form of the
// plain dump: the covered cell reads as a space, trailing spaces are trimmed.
std::string dumped(std::string_view row) {
    std::string out;
    unicode::for_each_grapheme(row, [&](std::string_view g) {
        out += g;
        for (std::size_t k = 1; k < unicode::grapheme_width(g); ++k) out += ' ';
    });
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

Line aligned(Line l, std::optional<Alignment> a) {
    l.alignment = a;
    return l;
}

TEST(TextCore, SplitLines) {
    struct Case {
        std::string in;
        std::vector<std::string> out;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\n", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"a\rb", {"a\rb"}},
        {"a\r", {"a\r"}},
        {"\r\n\r\n", {"", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::vector<std::string> got;
        for (auto p : split_lines(c.in)) got.emplace_back(p);
        EXPECT_EQ(got, c.out);
    }
}

TEST(TextCore, ValuesFromStrings) {
    EXPECT_TRUE(Line::raw("").spans.empty());
    EXPECT_EQ(Line::raw("a\n\nb").spans.size(), 3u);
    const Text empty = Text::raw("");
    ASSERT_EQ(empty.height(), 1u);
    EXPECT_TRUE(empty.lines[0].spans.empty());
    const Text t = Text::raw("a\n\nbb\n");
    ASSERT_EQ(t.height(), 3u);
    ASSERT_EQ(t.lines[1].spans.size(), 1u);  // the middle line holds one empty span
    EXPECT_EQ(t.lines[1].spans[0].content, "");
    EXPECT_EQ(t.width(), 2u);
    const Line styled = Line::styled("x", fg(Color::Red));
    EXPECT_EQ(styled.style, fg(Color::Red));
    EXPECT_EQ(styled.spans[0].style, Style{});
}

TEST(TextCore, Widths) {
    // A line's width is the sum of its spans' widths, not the width of the joined text.
    Line keycap;
    keycap.spans = {Span::raw("#"), Span::raw("\xEF\xB8\x8F")};
    EXPECT_EQ(keycap.width(), 1u);
    EXPECT_EQ(Span::raw("#\xEF\xB8\x8F").width(), 2u);
    Line mixed;
    mixed.spans = {Span::raw("ab"), Span::raw("\xE6\x97\xA5")};
    EXPECT_EQ(mixed.width(), 4u);
    EXPECT_EQ(Span::raw("test\ncontent").width(), 12u);
    Text t;
    t.lines = {Line::raw("abc"), mixed, Line{}};
    EXPECT_EQ(t.width(), 4u);
    EXPECT_EQ(Text{}.width(), 0u);
}

TEST(TextCore, Reprs) {
    Style bold;
    bold.add_modifier = modifier::BOLD;
    const Span plain = Span::raw("a\"b\n");
    const Span red = Span::styled("x", fg(Color::Red));
    Line two;
    two.spans = {Span::raw("a"), red};
    Line centered = Line::raw("hi");
    centered.alignment = Alignment::Center;
    centered.style = bold;
    Text text;
    text.lines = {Line::raw("q\""), two};
    text.alignment = Alignment::Right;
    text.style = fg(Color::Blue);

    struct Case {
        std::string got, want;
    };
    const std::vector<Case> cases = {
        {Span{}.repr(), "Span::default()"},
        {Span::styled("", bold).repr(), "Span::default().bold()"},
        {plain.repr(), "Span::from(\"a\\\"b\\n\")"},
        {red.repr(), "Span::from(\"x\").red()"},
        {Span::raw("x").reset().repr(),
         "Span::from(\"x\").fg(Color::Reset).bg(Color::Reset).underline_color(Color::Reset)"
         ".not_bold().not_dim().not_italic().not_underlined().not_slow_blink()"
         ".not_rapid_blink().not_reversed().not_hidden().not_crossed_out()"},
        {Line{}.repr(), "Line::default()"},
        {Line::raw("a\"b").repr(), "Line::from(\"a\"b\")"},
        {Line::from_span(red).repr(), "Line::from(Span::from(\"x\").red())"},
        {two.repr(), "Line::from_iter([Span::from(\"a\"), Span::from(\"x\").red()])"},
        {centered.repr(), "Line::from(\"hi\").centered().bold()"},
        {Text{}.repr(), "Text::default()"},
        {Text::raw("").repr(), "Text::from(Line::default())"},
        {text.repr(),
         "Text::from_iter([Line::from(\"q\"\"), Line::from_iter([Span::from(\"a\"), "
         "Span::from(\"x\").red()])]).right_aligned().blue()"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(TextCore, SpanRendering) {
    struct Case {
        const char* what;
        std::string content;
        Rect area;
        Lines screen;
    };
    const std::vector<Case> cases = {
        {"cut at the right edge", "hello", {1, 0, 3, 1}, {" hel"}},
        {"wide grapheme that would cross the edge stops", "a\xE6\x97\xA5" "b", {0, 0, 2, 1}, {"a"}},
        {"controls are skipped", "a\tb\r\nc", {0, 0, 5, 1}, {"abc"}},
        {"area partly outside the buffer", "abcdef", {3, 0, 10, 1}, {"   abc"}},
        {"area outside the buffer", "abc", {10, 5, 3, 1}, {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Buffer buf = blank(6, 1);
        Span::raw(c.content).render(c.area, buf);
        EXPECT_EQ(buf.to_string_lines(), c.screen);
    }
}

TEST(TextCore, SpanRenderingCells) {
    Buffer buf = blank(6, 1);
    for (auto& cell : buf.content) cell.set_symbol("x");
    // A wide grapheme clears the cell it covers; a zero-width one joins the previous cell.
    Span::styled("\xE6\x97\xA5" "a\xE2\x80\x8B" "b", fg(Color::Green)).render(Rect{0, 0, 6, 1}, buf);
    EXPECT_EQ(buf.cell_at(0, 0)->symbol_text(), "\xE6\x97\xA5");
    EXPECT_FALSE(buf.cell_at(1, 0)->symbol.has_value());
    EXPECT_EQ(buf.cell_at(2, 0)->symbol_text(), "a\xE2\x80\x8B");
    EXPECT_EQ(buf.cell_at(3, 0)->symbol_text(), "b");
    EXPECT_EQ(buf.cell_at(4, 0)->symbol_text(), "x");
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Green));
    EXPECT_EQ(buf.cell_at(4, 0)->fg, Color{});

    // Zero-width graphemes at the start share the first cell with what follows.
    Buffer b2 = blank(3, 1);
    Span::raw("\xE2\x80\x8B" "ab").render(Rect{0, 0, 3, 1}, b2);
    EXPECT_EQ(b2.cell_at(0, 0)->symbol_text(), "\xE2\x80\x8B" "a");
    EXPECT_EQ(b2.cell_at(1, 0)->symbol_text(), "b");

    // A halfwidth sound mark takes a cell of its own.
    Buffer b3 = blank(3, 1);
    Span::raw("\xEF\xBD\xB6\xEF\xBE\x9E" "z").render(Rect{0, 0, 3, 1}, b3);
    EXPECT_EQ(b3.cell_at(2, 0)->symbol_text(), "z");
}

TEST(TextCore, LineAlignmentAndTruncation) {
    struct Case {
        const char* what;
        Line line;
        std::optional<Alignment> fallback;
        std::uint16_t width;
        std::string row;
    };
    Line spans;
    spans.spans = {Span::raw("ab"), Span::raw("\xE6\x97\xA5\xE6\x9C\xAC"), Span::raw("cd")};
    const std::vector<Case> cases = {
        {"left by default", Line::raw("abc"), std::nullopt, 7, "abc"},
        {"centered", aligned(Line::raw("abc"), Alignment::Center), std::nullopt, 8, "  abc"},
        {"right", aligned(Line::raw("abc"), Alignment::Right), std::nullopt, 7, "    abc"},
        {"fallback alignment", Line::raw("abc"), Alignment::Right, 5, "  abc"},
        {"own alignment beats the fallback", aligned(Line::raw("abc"), Alignment::Left),
         Alignment::Right, 5, "abc"},
        {"too wide, left", Line::raw("Hello World"), std::nullopt, 5, "Hello"},
        {"too wide, centered", aligned(Line::raw("Hello World"), Alignment::Center), std::nullopt, 5,
         "lo Wo"},
        {"too wide, right", aligned(Line::raw("Hello World"), Alignment::Right), std::nullopt, 5,
         "World"},
        // width 8, area 5: three columns skipped, the first wide char is cut in half
        {"cut through a wide char", aligned(spans, Alignment::Right), std::nullopt, 5,
         " \xE6\x9C\xAC cd"},
        {"cut between spans", aligned(spans, Alignment::Right), std::nullopt, 6,
         "\xE6\x97\xA5 \xE6\x9C\xAC cd"},
        // "aa" + lam-alef measures 3, its graphemes 4: the kept lam-alef fills both columns
        {"cut before a ligature", aligned(Line::raw("aa\xD9\x84\xD8\xA7"), Alignment::Right), std::nullopt, 2,
         "\xD9\x84\xD8\xA7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Buffer buf = blank(c.width, 2);
        c.line.render(Rect{0, 0, c.width, 2}, buf, c.fallback);
        EXPECT_EQ(buf.to_string_lines(), (Lines{c.row, ""}));
    }
}

TEST(TextCore, LineStyles) {
    Line line;
    line.spans = {Span::raw("a"), Span::styled("b", fg(Color::Red))};
    line.style = fg(Color::Blue);
    line.style.add_modifier = modifier::BOLD;
    line.alignment = Alignment::Center;
    Buffer buf = blank(6, 2);
    line.render(Rect{0, 0, 6, 2}, buf);
    EXPECT_EQ(buf.to_string_lines(), (Lines{"  ab", ""}));
    // The line style covers the whole row; the span style is layered over it.
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color::named(Color::Blue));
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Blue));
    EXPECT_EQ(buf.cell_at(3, 0)->fg, Color::named(Color::Red));
    EXPECT_EQ(buf.cell_at(3, 0)->modifier, modifier::BOLD);
    EXPECT_EQ(buf.cell_at(5, 0)->modifier, modifier::BOLD);
    EXPECT_EQ(buf.cell_at(0, 1)->fg, Color{});

    // A line of width 0 draws nothing, not even its style.
    Line empty;
    empty.style = fg(Color::Blue);
    Buffer b2 = blank(3, 1);
    empty.render(Rect{0, 0, 3, 1}, b2);
    EXPECT_EQ(b2.cell_at(0, 0)->fg, Color{});
}

TEST(TextCore, TextRendering) {
    Text text = Text::raw("one\ntwo\nthree\nfour");
    text.alignment = Alignment::Center;
    text.lines[1].alignment = Alignment::Left;
    text.style = fg(Color::Yellow);
    Buffer buf = blank(7, 4);
    text.render(Rect{0, 1, 7, 3}, buf);
    EXPECT_EQ(buf.to_string_lines(), (Lines{"", "  one", "two", " three"}));
    EXPECT_EQ(buf.cell_at(6, 3)->fg, Color::named(Color::Yellow));
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color{});

    // An area larger than the buffer is clipped to it.
    Buffer small = blank(3, 2);
    Text::raw("abcdef\nxyz\nmore").render(Rect{1, 0, 50, 50}, small);
    EXPECT_EQ(small.to_string_lines(), (Lines{" ab", " xy"}));
}

}  // namespace

namespace {

const std::string kCrab = "\xF0\x9F\xA6\x80";

TEST(TextCore, LineTruncationAroundWideGraphemes) {
    struct Case {
        std::string content;
        std::optional<Alignment> align;
        std::uint16_t width;
        std::string row;  // as the cells show it
    };
    const std::string digits = "1234" + kCrab + "7890";
    const std::vector<Case> cases = {
        {digits, Alignment::Left, 4, "1234"},
        {digits, Alignment::Left, 5, "1234 "},
        {digits, Alignment::Left, 6, "1234" + kCrab},
        {digits, Alignment::Left, 7, "1234" + kCrab + "7"},
        {digits, Alignment::Right, 4, "7890"},
        {digits, Alignment::Right, 5, " 7890"},
        {digits, Alignment::Right, 6, kCrab + "7890"},
        {digits, Alignment::Right, 7, "4" + kCrab + "7890"},
        {"ab" + kCrab + "cd", Alignment::Center, 0, ""},
        {"ab" + kCrab + "cd", Alignment::Center, 1, " "},
        {"ab" + kCrab + "cd", Alignment::Center, 2, kCrab},
        {"ab" + kCrab + "cd", Alignment::Center, 3, "b" + kCrab},
        {"ab" + kCrab + "cd", Alignment::Center, 4, "b" + kCrab + "c"},
        {"ab" + kCrab + "cde", Alignment::Center, 1, " "},
        {"ab" + kCrab + "cde", Alignment::Center, 3, kCrab + "c"},
        {"ab" + kCrab + "cde", Alignment::Center, 4, "b" + kCrab + "c"},
        {"ab" + kCrab + "cdef", Alignment::Center, 2, " c"},
        {"ab" + kCrab + "cdef", Alignment::Center, 3, kCrab + "c"},
        {"ab" + kCrab + "cdef", Alignment::Center, 5, "b" + kCrab + "cd"},
        {"ab" + kCrab + "cdefg", Alignment::Center, 1, "c"},
        {"ab" + kCrab + "cdefg", Alignment::Center, 3, " cd"},
        {"ab" + kCrab + "cdefg", Alignment::Center, 6, "b" + kCrab + "cde"},
        // a flag is one grapheme of two regional indicators
        {"\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8" "1234", std::nullopt, 1, " "},
        {"\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8" "1234", std::nullopt, 3,
         "\xF0\x9F\x87\xBA\xF0\x9F\x87\xB8" "1"},
        {"Hello\nworld!", std::nullopt, 11, "Helloworld!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content + " @" + std::to_string(c.width));
        Buffer buf = blank(c.width, 1);
        aligned(Line::raw(c.content), c.align).render(buf.area, buf);
        const Lines want = c.width == 0 ? Lines{""} : Lines{dumped(c.row)};
        EXPECT_EQ(buf.to_string_lines(), want);
    }
}

TEST(TextCore, LineTruncationKeepsWhatIsUnderACutWideGrapheme) {
    struct Case {
        std::optional<Alignment> align;
        Rect area;
        std::uint16_t buf_width;
        std::string row;
    };
    const std::vector<Case> cases = {
        {Alignment::Left, {2, 0, 6, 1}, 10, "XXa" + kCrab + "bcXXX"},
        {Alignment::Center, {2, 0, 6, 1}, 10, "XX" + kCrab + "bc" + kCrab + "XX"},
        {Alignment::Right, {2, 0, 6, 1}, 10, "XXXbc" + kCrab + "dXX"},
        {Alignment::Right, {0, 0, 4, 1}, 4, "c" + kCrab + "d"},
        {Alignment::Right, {0, 0, 6, 1}, 6, "Xbc" + kCrab + "d"},
        {Alignment::Right, {0, 0, 8, 1}, 8, "a" + kCrab + "bc" + kCrab + "d"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Line line;
        line.spans = {Span::raw("a" + kCrab + "b"), Span::raw("c" + kCrab + "d")};
        line.alignment = c.align;
        Cell x;
        x.set_symbol("X");
        Buffer buf = Buffer::filled(Rect{0, 0, c.buf_width, 1}, x);
        line.render(c.area, buf);
        EXPECT_EQ(buf.to_string_lines(), Lines{dumped(c.row)});
    }
}

TEST(TextCore, LinesWiderThanTheCoordinateRange) {
    const std::string part =
        "This is some content with a somewhat long width to be repeated over and over again to "
        "create horribly long Line over u16::MAX";
    const std::size_t factor = (65536 + part.size() - 1) / part.size();
    Line many;
    for (std::size_t i = 0; i < factor; ++i) many.spans.push_back(Span::raw(part));
    std::string joined;
    for (std::size_t i = 0; i < factor; ++i) joined += part;
    const Line single = Line::raw(joined);
    for (const Line* l : {static_cast<const Line*>(&many), &single}) {
        Buffer left = blank(32, 1), right = blank(32, 1);
        aligned(*l, Alignment::Left).render(left.area, left);
        aligned(*l, Alignment::Right).render(right.area, right);
        EXPECT_EQ(left.to_string_lines(), Lines{"This is some content with a some"});
        EXPECT_EQ(right.to_string_lines(), Lines{"horribly long Line over u16::MAX"});
    }
}

}  // namespace

namespace {

TEST(TextCore, ZeroWidthGraphemesJoinANeighbouringCell) {
    const std::string zw = "\xE2\x80\x8B";
    struct Case {
        std::string content;
        std::vector<std::string> cells;
    };
    const std::vector<Case> cases = {
        {zw + "abc", {zw + "a", "b", "c"}},
        {"a" + zw + "bc", {"a" + zw, "b", "c"}},
        {"ab" + zw + "c", {"a", "b" + zw, "c"}},
        {"abc" + zw, {"a", "b", "c" + zw}},
    };
    for (const Case& c : cases) {
        Buffer buf = blank(3, 1);
        Span::raw(c.content).render(buf.area, buf);
        std::vector<std::string> got;
        for (const Cell& cell : buf.content) got.emplace_back(cell.symbol_text());
        EXPECT_EQ(got, c.cells);
    }
}

}  // namespace
