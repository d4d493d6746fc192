#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/widgets/list.hpp"

using namespace tarvo::core;
using Lines = std::vector<std::string>;

namespace {

Style fg(Color::Tag c) {
    Style s;
    s.fg = Color::named(c);
    return s;
}

// Items from strings; "\n" splits an item into several lines.
std::vector<ListItem> items_of(const std::vector<std::string>& texts) {
    std::vector<ListItem> out;
    for (const auto& t : texts) out.push_back(ListItem{Text::raw(t), Style{}});
    return out;
}

List list_of(const std::vector<std::string>& texts, const char* symbol = nullptr) {
    List l;
    l.items = items_of(texts);
    if (symbol) l.highlight_symbol = Line::raw(symbol);
    return l;
}

Lines draw(const List& list, std::uint16_t w, std::uint16_t h, ListState* state = nullptr) {
    Buffer buf = Buffer::empty(Rect{0, 0, w, h});
    if (state) list.render(buf.area, buf, *state);
    else list.render(buf.area, buf);
    return buf.to_string_lines();
}

ListState state_with(std::optional<std::uint64_t> selected, std::uint64_t offset = 0) {
    ListState s;
    s.selected = selected;
    s.offset = offset;
    return s;
}

}  // namespace

TEST(ListWidget, SelectionAndSymbolColumn) {
    struct Case {
        std::vector<std::string> items;
        std::optional<std::uint64_t> selected;
        Lines expected;
        std::optional<std::uint64_t> selected_after;
    };
    const std::vector<Case> cases = {
        {{}, std::nullopt, {"", "", ""}, std::nullopt},
        {{}, 0, {"", "", ""}, std::nullopt},
        {{"Item 0"}, std::nullopt, {"Item 0", "", ""}, std::nullopt},
        {{"Item 0"}, 0, {">>Item 0", "", ""}, 0},
        {{"Item 0"}, 1, {">>Item 0", "", ""}, 0},
        {{"Item 0", "Item 1", "Item 2"}, 1, {"  Item 0", ">>Item 1", "  Item 2"}, 1},
        {{"Item 0", "Item 1", "Item 2"}, UINT64_MAX, {"  Item 0", "  Item 1", ">>Item 2"}, 2},
        {{"Item 0\nLine 2", "Item 1"}, 0, {">>Item 0", "  Line 2", "  Item 1"}, 0},
        {{"Item 0\nLine 2", "Item 1"}, 1, {"  Item 0", "  Line 2", ">>Item 1"}, 1},
    };
    for (const Case& c : cases) {
        ListState state = state_with(c.selected);
        EXPECT_EQ(draw(list_of(c.items, ">>"), 10, 3, &state), c.expected);
        EXPECT_EQ(state.selected, c.selected_after);
    }
}

TEST(ListWidget, HighlightSpacingModes) {
    struct Case {
        HighlightSpacing spacing;
        std::optional<std::uint64_t> selected;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {HighlightSpacing::WhenSelected, std::nullopt, {"Item 0", "Item 1"}},
        {HighlightSpacing::WhenSelected, 1, {"  Item 0", ">>Item 1"}},
        {HighlightSpacing::Always, std::nullopt, {"  Item 0", "  Item 1"}},
        {HighlightSpacing::Always, 1, {"  Item 0", ">>Item 1"}},
        {HighlightSpacing::Never, std::nullopt, {"Item 0", "Item 1"}},
        {HighlightSpacing::Never, 1, {"Item 0", "Item 1"}},
    };
    for (const Case& c : cases) {
        List l = list_of({"Item 0", "Item 1"}, ">>");
        l.highlight_spacing = c.spacing;
        ListState state = state_with(c.selected);
        EXPECT_EQ(draw(l, 10, 2, &state), c.expected) << static_cast<int>(c.spacing);
    }
}

TEST(ListWidget, HighlightStyleCoversTheRowAndRepeatMarksEveryLine) {
    List l = list_of({"Item 0\nLine 2", "Item 1"}, ">>");
    l.highlight_style = fg(Color::Yellow);
    l.repeat_highlight_symbol = true;
    Buffer buf = Buffer::empty(Rect{0, 0, 10, 3});
    ListState state = state_with(0);
    l.render(buf.area, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{">>Item 0", ">>Line 2", "  Item 1"}));
    for (std::uint16_t x = 0; x < 10; ++x) {
        EXPECT_EQ(buf.cell_at(x, 0)->fg.tag, Color::Yellow);
        EXPECT_EQ(buf.cell_at(x, 1)->fg.tag, Color::Yellow);
        EXPECT_EQ(buf.cell_at(x, 2)->fg.tag, Color::Reset);
    }

    l.repeat_highlight_symbol = false;
    state = state_with(0);
    EXPECT_EQ(draw(l, 10, 3, &state), (Lines{">>Item 0", "  Line 2", "  Item 1"}));
}

TEST(ListWidget, StylesLayerListThenItemThenContent) {
    List l = list_of({"a", "b"});
    l.style = fg(Color::Red);
    l.items[1].style.bg = Color::named(Color::Blue);
    Buffer buf = Buffer::empty(Rect{0, 0, 3, 3});
    l.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(2, 2)->fg.tag, Color::Red);  // the list style fills the whole area
    EXPECT_EQ(buf.cell_at(2, 1)->bg.tag, Color::Blue);  // the item style fills its row
    EXPECT_EQ(buf.cell_at(2, 1)->fg.tag, Color::Red);
    EXPECT_EQ(buf.cell_at(2, 0)->bg.tag, Color::Reset);
}

TEST(ListWidget, BottomToTopStacksFromTheBottomEdge) {
    List l = list_of({"Item 0", "Item 1\nmore", "Item 2"}, ">");
    l.direction = ListDirection::BottomToTop;
    EXPECT_EQ(draw(l, 8, 5), (Lines{"", "Item 2", "Item 1", "more", "Item 0"}));
    ListState state = state_with(2);
    EXPECT_EQ(draw(l, 8, 3, &state), (Lines{">Item 2", " Item 1", " more"}));
    EXPECT_EQ(state.offset, 1u);
}

TEST(ListWidget, OffsetMovesLeastToShowTheSelection) {
    struct Case {
        std::optional<std::uint64_t> selected;
        std::uint64_t offset;
        Lines expected;
        std::uint64_t offset_after;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 3, {"Item 3", "Item 4", "Item 5"}, 3},
        {std::nullopt, 100, {"Item 6", "", ""}, 6},
        {1, 3, {">>Item 1", "  Item 2", "  Item 3"}, 1},
        {6, 3, {"  Item 4", "  Item 5", ">>Item 6"}, 4},
        {4, 3, {"  Item 3", ">>Item 4", "  Item 5"}, 3},
        {UINT64_MAX, UINT64_MAX, {">>Item 6", "", ""}, 6},
    };
    for (const Case& c : cases) {
        ListState state = state_with(c.selected, c.offset);
        EXPECT_EQ(draw(list_of({"Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6"}, ">>"), 10, 3,
                       &state),
                  c.expected);
        EXPECT_EQ(state.offset, c.offset_after);
    }
}

TEST(ListWidget, ScrollPaddingKeepsNeighboursInView) {
    struct Case {
        std::uint16_t height;
        std::uint64_t offset;
        std::uint64_t padding;
        std::uint64_t selected;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {4, 2, 0, 2, {">> Item 2", "   Item 3", "   Item 4", "   Item 5"}},
        {4, 2, 1, 2, {"   Item 1", ">> Item 2", "   Item 3", "   Item 4"}},
        {4, 1, 1, 4, {"   Item 2", "   Item 3", ">> Item 4", "   Item 5"}},
        {4, 1, 2, 4, {"   Item 2", "   Item 3", ">> Item 4", "   Item 5"}},
        {5, 2, 0, 3, {"   Item 2", ">> Item 3", "   Item 4", "   Item 5", ""}},
        {5, 2, 2, 3, {"   Item 1", "   Item 2", ">> Item 3", "   Item 4", "   Item 5"}},
        {4, 0, 4, 1, {"   Item 0", ">> Item 1", "   Item 2", "   Item 3"}},
        // A padding beyond every item behaves as the largest padding that fits.
        {4, 0, UINT64_MAX, 1, {"   Item 0", ">> Item 1", "   Item 2", "   Item 3"}},
        {3, 0, UINT64_MAX, 5, {"   Item 3", "   Item 4", ">> Item 5"}},
    };
    for (const Case& c : cases) {
        List l = list_of({"Item 0", "Item 1", "Item 2", "Item 3", "Item 4", "Item 5"}, ">> ");
        l.scroll_padding = c.padding;
        ListState state = state_with(c.selected, c.offset);
        EXPECT_EQ(draw(l, 10, c.height, &state), c.expected) << c.padding << " " << c.selected;
    }
}

TEST(ListWidget, ScrollPaddingWithUnevenItemsAndNoFlicker) {
    List l = list_of({"Item 0", "Item 1", "Item 2", "Item 3", "Item 4\nTest\nTest", "Item 5"}, ">> ");
    l.scroll_padding = 1;
    ListState state = state_with(3);
    EXPECT_EQ(draw(l, 10, 3, &state), (Lines{"   Item 1", "   Item 2", ">> Item 3"}));

    List eight = list_of({"0", "1", "2", "3", "4", "5", "6", "7"}, ">");
    eight.scroll_padding = 3;
    ListState s2 = state_with(4, 2);
    draw(eight, 10, 5, &s2);
    const std::uint64_t once = s2.offset;
    draw(eight, 10, 5, &s2);
    EXPECT_EQ(s2.offset, once);
}

TEST(ListWidget, ItemTallerThanTheAreaIsNotDrawn) {
    ListState state = state_with(0);
    EXPECT_EQ(draw(list_of({"a\nb\nc\nd", "e"}, ">"), 4, 2, &state), (Lines{"", ""}));
    EXPECT_EQ(state.offset, 0u);
}

TEST(ListWidget, SymbolWiderThanTheItemRoom) {
    struct Case {
        const char* symbol;
        const char* expected;
    };
    for (const Case& c : {Case{">>>>", ">>>>Item1"}, Case{">>>>>", ">>>>>Item1"}, Case{">>>>>>", ">>>>>>Item"},
                          Case{">>>>>>>>>>>>", ">>>>>>>>>>"}}) {
        ListState state = state_with(0);
        EXPECT_EQ(draw(list_of({"Item1"}, c.symbol), 10, 1, &state), Lines{c.expected});
    }
}

TEST(ListWidget, SymbolColumnStaysInsideTheList) {
    List bordered = list_of({"ab", "cd\nef"}, ">>>>>>");
    bordered.block = Block::bordered();
    bordered.repeat_highlight_symbol = true;
    struct Case {
        std::optional<std::uint64_t> selected;
        Lines expected;
    };
    for (const Case& c : {Case{0, {"┌───┐", "│>>>│", "│   │", "│   │", "└───┘"}},
                          Case{1, {"┌───┐", "│   │", "│>>>│", "│>>>│", "└───┘"}}}) {
        ListState state = state_with(c.selected);
        EXPECT_EQ(draw(bordered, 5, 5, &state), c.expected);
    }

    // Drawn into part of a wider buffer, nothing lands right of the list's area.
    Buffer buf = Buffer::empty(Rect{0, 0, 8, 2});
    ListState state = state_with(0);
    list_of({"ab", "cd"}, ">>>>>>").render(Rect{0, 0, 3, 2}, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{">>>", ""}));
}

TEST(ListWidget, HighlightStyleCoversAStyledSymbol) {
    List l = list_of({"a", "b"});
    Line symbol = Line::raw(">");
    symbol.style = fg(Color::Green);
    l.highlight_symbol = symbol;
    l.highlight_style = fg(Color::Yellow);
    Buffer buf = Buffer::empty(Rect{0, 0, 3, 2});
    ListState state = state_with(1);
    l.render(buf.area, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{" a", ">b"}));
    EXPECT_EQ(buf.cell_at(0, 1)->fg.tag, Color::Yellow);
    EXPECT_EQ(buf.cell_at(0, 0)->fg.tag, Color::Reset);
}

TEST(ListWidget, BlockAndDegenerateAreas) {
    List l = list_of({"Item 0", "Item 1"}, ">>");
    Block b = Block::bordered();
    b.titles.push_back(BlockTitle{std::nullopt, Line::raw("List")});
    l.block = b;
    EXPECT_EQ(draw(l, 10, 4), (Lines{"┌List────┐", "│Item 0  │", "│Item 1  │", "└────────┘"}));
    EXPECT_EQ(draw(l, 10, 2), (Lines{"┌List────┐", "└────────┘"}));

    // Zero-sized areas and areas hanging off the buffer write nothing outside it.
    Buffer buf = Buffer::empty(Rect{5, 5, 6, 3});
    ListState state = state_with(1);
    l.render(Rect{5, 5, 0, 3}, buf, state);
    l.render(Rect{5, 5, 6, 0}, buf, state);
    EXPECT_EQ(buf, Buffer::empty(buf.area));
    l.block.reset();
    state = state_with(0);
    l.render(Rect{8, 7, 60000, 60000}, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{"", "", "   >>I"}));
    l.render(Rect{0, 0, 3, 3}, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{"", "", "   >>I"}));
}

TEST(ListWidget, StateStepsSaturate) {
    ListState s;
    s.select_previous();
    EXPECT_EQ(s.selected, UINT64_MAX);
    s.select_next();
    EXPECT_EQ(s.selected, UINT64_MAX);
    s = ListState{};
    s.select_next();
    EXPECT_EQ(s.selected, 0u);
    s.select(3);
    s.scroll_up_by(5);
    EXPECT_EQ(s.selected, 0u);
    s = ListState{};
    s.scroll_down_by(2);
    EXPECT_EQ(s.selected, 2u);
    s.offset = 7;
    s.select_last();
    EXPECT_EQ(s.offset, 7u);
    s.select(std::nullopt);
    EXPECT_EQ(s.offset, 0u);
    EXPECT_EQ(s.repr(), "ListState(selected=None, offset=0)");
    s.select(3);
    EXPECT_EQ(s.repr(), "ListState(selected=Some(3), offset=0)");
}

TEST(ListWidget, DebugText) {
    List l = list_of({"a"});
    EXPECT_EQ(l.repr(),
              "List { block: None, items: [ListItem { content: Text::from(Line::from(\"a\")), style: Style::new() }], "
              "style: Style::new(), direction: TopToBottom, highlight_style: Style::new(), highlight_symbol: None, "
              "repeat_highlight_symbol: false, highlight_spacing: WhenSelected, scroll_padding: 0 }");
}
