#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/widgets/paragraph.hpp"

using namespace tarvo::core;
using Rows = std::vector<std::string>;

namespace {

Rows draw(const Paragraph& p, std::uint16_t w, std::uint16_t h) {
    Buffer buf = Buffer::empty(Rect{0, 0, w, h});
    p.render(buf.area, buf);
    return buf.to_string_lines();
}

Paragraph para(std::string_view text, std::optional<Wrap> wrap = std::nullopt) {
    Paragraph p = Paragraph::of(Text::raw(text));
    p.wrap = wrap;
    return p;
}

Line aligned(const char* text, std::optional<Alignment> a) {
    Line l = Line::raw(text);
    l.alignment = a;
    return l;
}

Style fg(Color::Tag t) {
    Style s;
    s.fg = Color::named(t);
    return s;
}

constexpr Wrap kKeep{false};
constexpr Wrap kTrim{true};

}  // namespace

TEST(ParagraphWrap, WordsMoveToTheNextRow) {
    struct Case {
        const char* text;
        std::optional<Wrap> wrap;
        std::uint16_t width;
        Rows expected;
    };
    const char* fox = "The quick brown fox jumps over the lazy dog";
    const std::vector<Case> cases = {
        {fox, std::nullopt, 10, {"The quick", "", "", "", "", ""}},
        {fox, kKeep, 10, {"The quick", "brown fox", "jumps over", "the lazy", "dog", ""}},
        {fox, kTrim, 10, {"The quick", "brown fox", "jumps over", "the lazy", "dog", ""}},
        // A word longer than the row is broken at the row's end.
        {"abcdefghijklmnopqrstuvwxyz", kTrim, 10, {"abcdefghij", "klmnopqrst", "uvwxyz", "", "", ""}},
        {"abcdefghijklmnopqrstuvwxyz", std::nullopt, 10, {"abcdefghij", "", "", "", "", ""}},
        // Leading white space stays without trim and is dropped with it.
        {"  indented words", kKeep, 8, {"  indent", "ed words", "", "", "", ""}},
        {"  indented words", kTrim, 8, {"", "indented", "words", "", "", ""}},
        // White space at a break disappears with the break.
        {"one two   three", kKeep, 5, {"one", "two", "three", "", "", ""}},
        {"one two   three", kTrim, 5, {"one", "two", "three", "", "", ""}},
        // Every text line starts a new row.
        {"ab cd\nef", kTrim, 3, {"ab", "cd", "ef", "", "", ""}},
        // Whitespace-only lines: an empty row with trim, the spaces without.
        {"A\n   \nB", kTrim, 5, {"A", "", "B", "", "", ""}},
        {"A\n  x\nB", kKeep, 5, {"A", "  x", "B", "", "", ""}},
        {"A\n  x\nB", kTrim, 5, {"A", "x", "B", "", "", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(draw(para(c.text, c.wrap), c.width, 6), c.expected) << c.text;
}

TEST(ParagraphWrap, NoBreakSpaceJoinsAndWideGlyphsFit) {
    // A no-break space does not separate words.
    EXPECT_EQ(draw(para("ab\u00A0cd ef", kTrim), 5, 3), Rows({"ab\u00A0cd", "ef", ""}));
    // A wide glyph that would cross the edge goes to the next row; one wider than the row is dropped.
    EXPECT_EQ(draw(para("abc\u4E16d", kKeep), 4, 2), Rows({"abc", "\u4E16 d"}));
    EXPECT_EQ(draw(para("a\u4E16b", kKeep), 1, 2), Rows({"a", "b"}));
}

TEST(ParagraphWrap, BreaksAtWhiteSpaceOfEveryKind) {
    struct Case {
        const char* text;
        std::optional<Wrap> wrap;
        std::uint16_t width;
        Rows expected;
    };
    const std::vector<Case> cases = {
        // A zero-width space is a place to break and is never drawn.
        {"foo\u200Bbar", kTrim, 3, {"foo", "bar", "", ""}},
        {"foo\u200B", kTrim, 3, {"foo", "", "", ""}},
        // Without trim, white space longer than a row fills whole rows of its own.
        {"               4 Indent", kKeep, 10, {"", "    4", "Indent", ""}},
        // Wide glyphs and spaces: rows of 8, 20 and 17 columns.
        {"\u30B3\u30F3\u30D4\u30E5 \u30FC\u30BF\u4E0A\u3067\u6587\u5B57\u3092\u6271\u3046\u5834"
         "\u5408\u3001 \u5178\u578B\u7684",
         kTrim, 20,
         {"\u30B3 \u30F3 \u30D4 \u30E5", "\u30FC \u30BF \u4E0A \u3067 \u6587 \u5B57 \u3092 \u6271 \u3046 \u5834",
          "\u5408 \u3001  \u5178 \u578B \u7684", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(draw(para(c.text, c.wrap), c.width, 4), c.expected) << c.text;
}

TEST(ParagraphWrap, RowsNeverReachPastTheArea) {
    // A wide glyph or wide white space landing on a nearly full row moves to the next row
    // instead of covering the block's right border.
    struct Case {
        const char* text;
        Wrap wrap;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"ab\u4E16 c", kKeep, {"┌───┐", "│ab │", "│\u4E16  │", "│c  │", "└───┘"}},
        {"ab\u4E16 c", kTrim, {"┌───┐", "│ab │", "│\u4E16  │", "│c  │", "└───┘"}},
        {"c\u3000\u3000", kTrim, {"┌───┐", "│c  │", "│   │", "│   │", "└───┘"}},
    };
    for (const Case& c : cases) {
        Paragraph p = para(c.text, c.wrap);
        p.block = Block::bordered();
        Buffer buf = Buffer::empty(Rect{0, 0, 5, 5});
        p.render(buf.area, buf);
        Rows rows;
        for (std::uint16_t y = 0; y < 5; ++y) {
            std::string row;
            for (std::uint16_t x = 0; x < 5; ++x) {
                const std::string_view t = buf.cell_at(x, y)->symbol.view();
                row += t.empty() ? std::string_view(" ") : t;
            }
            rows.push_back(row);
        }
        EXPECT_EQ(rows, c.expected) << c.text;
    }
}

TEST(ParagraphText, ControlCharactersAreNeverDrawn) {
    // Tabs, escapes, carriage returns, NUL, DEL and C1 controls take no room and leave no cell.
    const std::string_view text("a\tb\x1B" "c\r\nd\x00" "e\x7F" "f\u0085g", 15);
    for (const std::optional<Wrap>& wrap : {std::optional<Wrap>{}, std::optional<Wrap>{kKeep}, std::optional<Wrap>{kTrim}}) {
        Paragraph p = Paragraph::of(Text{});
        p.text.lines = {Line::raw(text)};
        p.wrap = wrap;
        EXPECT_EQ(draw(p, 9, 1), Rows{"abcdefg"});
        // A tab does not separate words, so the seven letters wrap as one word.
        EXPECT_EQ(draw(p, 4, 2), wrap ? Rows({"abcd", "efg"}) : Rows({"abcd", ""}));
    }
}

TEST(ParagraphAlign, PerLineAlignmentOverParagraphAlignment) {
    Paragraph p = Paragraph::of(Text{});
    p.text.lines = {aligned("left", std::nullopt), aligned("mid", Alignment::Center),
                    aligned("right", Alignment::Right)};
    EXPECT_EQ(draw(p, 9, 3), Rows({"left", "   mid", "    right"}));
    p.alignment = Alignment::Right;
    EXPECT_EQ(draw(p, 9, 3), Rows({"     left", "   mid", "    right"}));
    // Centring halves both widths: (10 / 2) - (3 / 2) = 4 columns of indent.
    Paragraph c = para("abc");
    c.alignment = Alignment::Center;
    EXPECT_EQ(draw(c, 10, 1), Rows({"    abc"}));
    // A centred line wider than the area keeps its start.
    Paragraph wide = para("abcdefgh");
    wide.alignment = Alignment::Center;
    EXPECT_EQ(draw(wide, 5, 1), Rows({"abcde"}));
    // A text alignment becomes the paragraph's.
    Text t = Text::raw("x");
    t.alignment = Alignment::Right;
    EXPECT_EQ(Paragraph::of(t).alignment, Alignment::Right);
    EXPECT_EQ(draw(Paragraph::of(t), 3, 1), Rows({"  x"}));
}

TEST(ParagraphScroll, RowsAndColumns) {
    Paragraph p = para("first\nsecond\nthird\nfourth");
    p.scroll = Position{0, 2};
    EXPECT_EQ(draw(p, 8, 3), Rows({"third", "fourth", ""}));
    p.scroll = Position{3, 1};
    EXPECT_EQ(draw(p, 8, 2), Rows({"ond", "rd"}));
    // Columns scroll only unwrapped left-aligned lines.
    p.alignment = Alignment::Right;
    EXPECT_EQ(draw(p, 8, 2), Rows({"  second", "   third"}));
    // Wrapped text scrolls by wrapped rows.
    Paragraph w = para("aaa bbb ccc", kTrim);
    w.scroll = Position{0, 1};
    EXPECT_EQ(draw(w, 4, 3), Rows({"bbb", "ccc", ""}));
    w.scroll = Position{0, 9};
    EXPECT_EQ(draw(w, 4, 3), Rows({"", "", ""}));
    // Scrolling columns past a wide glyph's first half keeps the glyph whole.
    Paragraph wide = para("\u4E16\u754Cz");
    wide.scroll = Position{1, 0};
    EXPECT_EQ(draw(wide, 4, 1), Rows({"\u4E16 \u754C"}));
}

TEST(ParagraphStyle, BaseTextLineAndSpanStylesLayer) {
    Paragraph p = Paragraph::of(Text{});
    Line line;
    line.spans = {Span::styled("ab", fg(Color::Red)), Span::raw("cd")};
    line.style = Style{}.with_added(modifier::BOLD);
    p.text.lines = {line};
    p.text.style = Style{}.with_added(modifier::ITALIC);
    p.style.bg = Color::named(Color::Blue);

    Buffer buf = Buffer::empty(Rect{0, 0, 6, 2});
    p.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(0, 0)->fg.tag, Color::Red);
    EXPECT_EQ(buf.cell_at(2, 0)->fg.tag, Color::Reset);
    for (std::uint16_t x : {0, 3}) {
        EXPECT_EQ(buf.cell_at(x, 0)->modifier, modifier::BOLD | modifier::ITALIC);
        EXPECT_EQ(buf.cell_at(x, 0)->bg.tag, Color::Blue);
    }
    // The paragraph style covers the whole area; the line style only the drawn cells.
    EXPECT_EQ(buf.cell_at(5, 1)->bg.tag, Color::Blue);
    EXPECT_EQ(buf.cell_at(5, 0)->modifier, 0);
}

TEST(ParagraphBlock, DrawsInsideTheBlock) {
    Paragraph p = para("Hello there, folks", kKeep);
    p.block = Block::bordered();
    p.block->titles.push_back(BlockTitle{std::nullopt, Line::raw("Hi")});
    EXPECT_EQ(draw(p, 10, 4), Rows({"┌Hi──────┐", "│Hello   │", "│there,  │", "└────────┘"}));
    p.wrap.reset();
    EXPECT_EQ(draw(p, 10, 3), Rows({"┌Hi──────┐", "│Hello th│", "└────────┘"}));
}

TEST(ParagraphRender, ClipsAndIgnoresEmptyAreas) {
    Paragraph p = para("abcdef\nghijkl");
    Buffer buf = Buffer::empty(Rect{0, 0, 4, 2});
    p.render(Rect{2, 1, 10, 10}, buf);
    EXPECT_EQ(buf.to_string_lines(), Rows({"", "  ab"}));

    Buffer empty_area = Buffer::empty(Rect{0, 0, 4, 2});
    const Buffer before = empty_area;
    p.render(Rect{1, 1, 0, 3}, empty_area);
    p.render(Rect{9, 9, 3, 3}, empty_area);
    EXPECT_EQ(empty_area, before);
}

TEST(ParagraphRepr, FieldsInOrder) {
    Paragraph p = para("x", kTrim);
    p.scroll = Position{4, 3};
    p.alignment = Alignment::Center;
    EXPECT_EQ(p.repr(),
              "Paragraph { block: None, style: Style::new(), wrap: Some(Wrap { trim: true }), text: " + p.text.repr() +
                  ", scroll: Position { x: 4, y: 3 }, alignment: Center }");
    p.block = Block{};
    EXPECT_NE(p.repr().find("block: Some(Block { titles: []"), std::string::npos);
}
