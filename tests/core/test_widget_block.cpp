#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/unicode.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/enums.hpp"

using namespace tarvo::core;
using Rows = std::vector<std::string>;

namespace {

// Every row of the buffer, each cell's shown text, nothing trimmed.
Rows screen(const Buffer& buf) {
    Rows out;
    for (std::uint32_t y = buf.area.y; y < buf.area.bottom(); ++y) {
        std::string row;
        for (std::uint32_t x = buf.area.x; x < buf.area.right(); ++x) {
            const std::string_view t = buf.cell_at(x, y)->symbol.view();
            row += t.empty() ? std::string_view(" ") : t;
        }
        out.push_back(row);
    }
    return out;
}

Rows draw(const Block& b, std::uint16_t w, std::uint16_t h) {
    Buffer buf = Buffer::empty(Rect{0, 0, w, h});
    b.render(buf.area, buf);
    return screen(buf);
}

Block with_borders(std::uint8_t bits) {
    Block b;
    b.borders = bits;
    return b;
}

Block titled(std::vector<BlockTitle> titles, std::uint8_t bits = borders::ALL) {
    Block b = with_borders(bits);
    b.titles = std::move(titles);
    return b;
}

BlockTitle title(const char* text, std::optional<Alignment> align = std::nullopt,
                 std::optional<TitlePosition> pos = std::nullopt) {
    Line l = Line::raw(text);
    l.alignment = align;
    return BlockTitle{pos, std::move(l)};
}

Style fg(Color::Tag t) {
    Style s;
    s.fg = Color::named(t);
    return s;
}

}  // namespace

TEST(BlockBorders, EveryBorderTypeDrawsItsSet) {
    struct Case {
        BorderType type;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {BorderType::Plain, {"┌──┐", "│  │", "└──┘"}},
        {BorderType::Rounded, {"╭──╮", "│  │", "╰──╯"}},
        {BorderType::Double, {"╔══╗", "║  ║", "╚══╝"}},
        {BorderType::Thick, {"┏━━┓", "┃  ┃", "┗━━┛"}},
        {BorderType::QuadrantInside, {"▗▄▄▖", "▐  ▌", "▝▀▀▘"}},
        {BorderType::QuadrantOutside, {"▛▀▀▜", "▌  ▐", "▙▄▄▟"}},
    };
    for (const Case& c : cases) {
        Block b = Block::bordered();
        b.border_set = BorderSet::of(c.type);
        EXPECT_EQ(draw(b, 4, 3), c.expected) << name_of(c.type);
    }
}

TEST(BlockBorders, CornersOnlyWhereBothSidesAreDrawn) {
    struct Case {
        std::uint8_t bits;
        Rows expected;
    };
    using namespace borders;
    const std::vector<Case> cases = {
        {NONE, {"    ", "    ", "    "}},
        {TOP, {"────", "    ", "    "}},
        {BOTTOM, {"    ", "    ", "────"}},
        {LEFT, {"│   ", "│   ", "│   "}},
        {RIGHT, {"   │", "   │", "   │"}},
        {TOP | LEFT, {"┌───", "│   ", "│   "}},
        {TOP | RIGHT, {"───┐", "   │", "   │"}},
        {BOTTOM | LEFT, {"│   ", "│   ", "└───"}},
        {BOTTOM | RIGHT, {"   │", "   │", "───┘"}},
        {LEFT | RIGHT, {"│  │", "│  │", "│  │"}},
        {TOP | BOTTOM, {"────", "    ", "────"}},
        {TOP | LEFT | RIGHT, {"┌──┐", "│  │", "│  │"}},
        {ALL, {"┌──┐", "│  │", "└──┘"}},
    };
    for (const Case& c : cases) EXPECT_EQ(draw(with_borders(c.bits), 4, 3), c.expected) << borders_repr(c.bits);
}

TEST(BlockBorders, TinyAreasAndCustomSymbols) {
    EXPECT_EQ(draw(Block::bordered(), 1, 1), Rows{"┌"});
    EXPECT_EQ(draw(Block::bordered(), 2, 1), Rows({"┌┐"}));
    EXPECT_EQ(draw(Block::bordered(), 1, 2), Rows({"┌", "└"}));
    Block b = Block::bordered();
    b.border_set = BorderSet{"1", "2", "3", "4", "L", "R", "T", ""};
    // The empty bottom symbol leaves empty cells behind (shown as spaces).
    EXPECT_EQ(draw(b, 4, 3), Rows({"1TT2", "L  R", "3  4"}));
}

TEST(BlockTitles, PositionsAndAlignments) {
    struct Case {
        const char* what;
        Block block;
        Rows expected;
    };
    Block bottom_default = titled({title("A"), title("B", Alignment::Right)});
    bottom_default.titles_position = TitlePosition::Bottom;
    Block centered_default = titled({title("ab"), title("c", Alignment::Left)});
    centered_default.titles_alignment = Alignment::Center;
    const std::vector<Case> cases = {
        {"left", titled({title("Ti")}), {"┌Ti────┐", "│      │", "└──────┘"}},
        {"center odd room", titled({title("Ti", Alignment::Center)}), {"┌──Ti──┐", "│      │", "└──────┘"}},
        {"right", titled({title("Ti", Alignment::Right)}), {"┌────Ti┐", "│      │", "└──────┘"}},
        {"bottom", titled({title("Ti", std::nullopt, TitlePosition::Bottom)}), {"┌──────┐", "│      │", "└Ti────┘"}},
        {"no side borders", titled({title("Ti"), title("x", Alignment::Right)}, borders::TOP),
         {"Ti─────x", "        ", "        "}},
        {"default position bottom", bottom_default, {"┌──────┐", "│      │", "└A────B┘"}},
        {"default alignment center", centered_default, {"┌c─ab──┐", "│      │", "└──────┘"}},
        {"several in one row",
         titled({title("a"), title("b"), title("r1", Alignment::Right), title("r2", Alignment::Right)}),
         {"┌a─b──────r1─r2┐", "│              │", "└──────────────┘"}},
        {"top and bottom", titled({title("T"), title("B", Alignment::Center, TitlePosition::Bottom)}),
         {"┌T─────┐", "│      │", "└──B───┘"}},
    };
    for (const Case& c : cases) {
        const auto w = static_cast<std::uint16_t>(unicode::str_width(c.expected[0]));
        EXPECT_EQ(draw(c.block, w, 3), c.expected) << c.what;
    }
}

TEST(BlockTitles, CrowdedRowsOverlapAndTruncate) {
    struct Case {
        const char* what;
        std::vector<BlockTitle> titles;
        std::string row;
    };
    const auto C = Alignment::Center;
    const auto R = Alignment::Right;
    const std::vector<Case> cases = {
        {"left ones in order", {title("L12"), title("L34")}, "L12 L34   "},
        {"left ones cut at the right edge", {title("L12345"), title("L67890")}, "L12345 L67"},
        {"centred ones as a group", {title("C12", C), title("C34", C)}, " C12 C34  "},
        // A centred group wider than the row loses columns on both sides.
        {"centred ones cut on both sides", {title("C12345", C), title("C67890", C)}, "12345 C678"},
        {"right ones, the last outermost", {title("R12", R), title("R34", R)}, "   R12 R34"},
        {"right ones cut at the left", {title("R12345", R), title("R67890", R)}, "345 R67890"},
        // Left titles are drawn first, then centred ones, then right ones over both.
        {"centred over left", {title("L1234"), title("C5678", C)}, "L1C5678   "},
        {"right over left", {title("L12345"), title("R67890", R)}, "L123R67890"},
        {"right over centred", {title("C12345", C), title("R67890", R)}, "  C1R67890"},
    };
    for (const Case& c : cases) EXPECT_EQ(draw(titled(c.titles, borders::NONE), 10, 1), Rows{c.row}) << c.what;
    // A title longer than the row between borders is cut at its right end.
    EXPECT_EQ(draw(titled({title("abcdefgh")}), 6, 2), Rows({"┌abcd┐", "└────┘"}));
    // On a one-row block the bottom titles are drawn after the top ones.
    EXPECT_EQ(draw(titled({title("top"), title("B", std::nullopt, TitlePosition::Bottom)}, borders::NONE), 5, 1),
              Rows{"Bop  "});
}

TEST(BlockStyles, BlockBorderAndTitleStylesLayer) {
    Block b = Block::bordered();
    b.style = fg(Color::Red);
    b.style.bg = Color::named(Color::Blue);
    b.border_style = fg(Color::Green);
    b.titles_style = fg(Color::Yellow).with_added(modifier::BOLD);
    Line t = Line::raw("Ab");
    t.spans[0].style = Style{}.with_added(modifier::ITALIC);
    b.titles.push_back(BlockTitle{std::nullopt, t});

    Buffer buf = Buffer::empty(Rect{0, 0, 5, 3});
    b.render(buf.area, buf);
    const Cell& inside = *buf.cell_at(2, 1);
    EXPECT_EQ(inside.fg.tag, Color::Red);
    EXPECT_EQ(inside.bg.tag, Color::Blue);
    const Cell& border = *buf.cell_at(0, 1);
    EXPECT_EQ(border.fg.tag, Color::Green);
    EXPECT_EQ(border.bg.tag, Color::Blue);
    const Cell& title_cell = *buf.cell_at(1, 0);
    EXPECT_EQ(title_cell.symbol.text(), "A");
    EXPECT_EQ(title_cell.fg.tag, Color::Yellow);
    EXPECT_EQ(title_cell.modifier, modifier::BOLD | modifier::ITALIC);
    EXPECT_EQ(buf.cell_at(3, 0)->fg.tag, Color::Green);  // the border after the title
}

TEST(BlockInner, BordersTitlesAndPadding) {
    struct Case {
        Block block;
        Rect area;
        Rect expected;
    };
    Block top_title;
    top_title.titles.push_back(title("t"));
    Block bottom_title;
    bottom_title.titles.push_back(title("t", std::nullopt, TitlePosition::Bottom));
    Block padded = Block::bordered();
    padded.padding = Padding{1, 2, 3, 4};
    Block huge = Block::bordered();
    huge.padding = Padding{65535, 65535, 65535, 65535};
    const std::vector<Case> cases = {
        {Block{}, {3, 4, 10, 5}, {3, 4, 10, 5}},
        {Block::bordered(), {0, 0, 10, 5}, {1, 1, 8, 3}},
        {Block::bordered(), {0, 0, 1, 1}, {1, 1, 0, 0}},
        {Block::bordered(), {0, 0, 0, 0}, {0, 0, 0, 0}},
        {with_borders(borders::LEFT), {0, 0, 1, 1}, {1, 0, 0, 1}},
        {with_borders(borders::RIGHT), {0, 0, 2, 1}, {0, 0, 1, 1}},
        {top_title, {0, 0, 4, 3}, {0, 1, 4, 2}},
        {bottom_title, {0, 0, 4, 3}, {0, 0, 4, 2}},
        {padded, {0, 0, 20, 20}, {2, 4, 15, 11}},
        {padded, {0, 0, 4, 4}, {2, 4, 0, 0}},
        {huge, {10, 10, 30, 30}, {65535, 65535, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.block.inner(c.area), c.expected);
}

TEST(BlockRender, ClipsToTheBufferAndSkipsEmptyAreas) {
    Buffer buf = Buffer::empty(Rect{0, 0, 5, 3});
    Block b = Block::bordered();
    b.titles.push_back(title("Title"));
    b.render(Rect{2, 1, 10, 10}, buf);
    EXPECT_EQ(screen(buf), Rows({"     ", "  ┌T┐", "  └─┘"}));

    Buffer untouched = Buffer::empty(Rect{0, 0, 3, 2});
    const Buffer before = untouched;
    Block::bordered().render(Rect{1, 1, 0, 5}, untouched);
    Block::bordered().render(Rect{7, 7, 3, 3}, untouched);
    EXPECT_EQ(untouched, before);

    // A buffer that does not start at the origin.
    Buffer offset = Buffer::empty(Rect{10, 5, 4, 2});
    Block::bordered().render(Rect{8, 4, 4, 3}, offset);
    // The block is drawn around the part of the area inside the buffer.
    EXPECT_EQ(screen(offset), Rows({"┌┐  ", "└┘  "}));
}

TEST(BlockRepr, DefaultAndCustomisedFields) {
    EXPECT_EQ(Block{}.repr(),
              "Block { titles: [], titles_style: Style::new(), titles_alignment: Left, titles_position: Top, "
              "borders: NONE, border_style: Style::new(), border_set: Set { top_left: \"┌\", top_right: \"┐\", "
              "bottom_left: \"└\", bottom_right: \"┘\", vertical_left: \"│\", vertical_right: \"│\", "
              "horizontal_top: \"─\", horizontal_bottom: \"─\" }, style: Style::new(), padding: Padding { left: 0, "
              "right: 0, top: 0, bottom: 0 }, merge_borders: Replace, shadow: None }");
    Block b = with_borders(borders::TOP | borders::LEFT);
    b.titles.push_back(title("a"));
    b.titles.push_back(title("b", std::nullopt, TitlePosition::Bottom));
    b.padding = Padding{1, 2, 3, 4};
    b.titles_alignment = Alignment::Right;
    const std::string r = b.repr();
    EXPECT_NE(r.find("titles: [(None, Line::from(\"a\")), (Some(Bottom), Line::from(\"b\"))]"), std::string::npos) << r;
    EXPECT_NE(r.find("borders: TOP | LEFT"), std::string::npos);
    EXPECT_NE(r.find("titles_alignment: Right"), std::string::npos);
    EXPECT_NE(r.find("padding: Padding { left: 1, right: 2, top: 3, bottom: 4 }"), std::string::npos);
}

TEST(BordersRepr, NamesInSideOrder) {
    using namespace borders;
    EXPECT_EQ(borders_repr(NONE), "NONE");
    EXPECT_EQ(borders_repr(ALL), "ALL");
    EXPECT_EQ(borders_repr(LEFT | TOP), "TOP | LEFT");
    EXPECT_EQ(borders_repr(RIGHT), "RIGHT");
    EXPECT_EQ(borders_repr(BOTTOM | RIGHT | LEFT), "RIGHT | BOTTOM | LEFT");
}
