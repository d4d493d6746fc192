#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/buffer.hpp"
#include "core/panic.hpp"
#include "core/widgets/table.hpp"

using namespace tarvo::core;
using Lines = std::vector<std::string>;
using Columns = std::vector<std::pair<std::uint16_t, std::uint16_t>>;

namespace {

Style fg(Color::Tag c) {
    Style s;
    s.fg = Color::named(c);
    return s;
}

// A row of cells; "\n" in a text gives a cell of several lines.
Row row_of(const std::vector<std::string>& texts) {
    Row r;
    for (const auto& t : texts) r.cells.push_back(TableCell{Text::raw(t), Style{}, 1});
    return r;
}

Row spanned(const std::vector<std::pair<std::string, std::uint16_t>>& cells) {
    Row r;
    for (const auto& [t, span] : cells) r.cells.push_back(TableCell{Text::raw(t), Style{}, span});
    return r;
}

Table table_of(std::vector<Row> rows, std::vector<Constraint> widths) {
    Table t;
    t.rows = std::move(rows);
    t.widths = std::move(widths);
    return t;
}

std::vector<Constraint> lengths(std::size_t n, std::uint16_t v) { return std::vector<Constraint>(n, Constraint::length(v)); }

Lines draw(const Table& t, std::uint16_t w, std::uint16_t h, TableState* state = nullptr) {
    Buffer buf = Buffer::empty(Rect{0, 0, w, h});
    if (state) t.render(buf.area, buf, *state);
    else t.render(buf.area, buf);
    return buf.to_string_lines();
}

TableState state_with(std::optional<std::uint64_t> row, std::optional<std::uint64_t> column = std::nullopt,
                      std::uint64_t offset = 0) {
    TableState s;
    s.selected = row;
    s.selected_column = column;
    s.offset = offset;
    return s;
}

// Foreground colour tags of one row of a buffer.
std::vector<Color::Tag> fg_row(const Buffer& buf, std::uint16_t y) {
    std::vector<Color::Tag> out;
    for (std::uint16_t x = buf.area.x; x < buf.area.right(); ++x) out.push_back(static_cast<Color::Tag>(buf.cell_at(x, y)->fg.tag));
    return out;
}

}  // namespace

TEST(TableWidget, HeaderFooterMarginsAndBlock) {
    const std::vector<Row> two = {row_of({"Cell1", "Cell2"}), row_of({"Cell3", "Cell4"})};
    struct Case {
        std::optional<Row> header, footer;
        std::vector<Row> rows;
        Lines expected;
    };
    Row header_margin = row_of({"Head1", "Head2"});
    header_margin.bottom_margin = 1;
    Row footer_margin = row_of({"Foot1", "Foot2"});
    footer_margin.top_margin = 1;
    Row spaced = row_of({"Cell1", "Cell2"});
    spaced.bottom_margin = 1;
    const std::vector<Case> cases = {
        {std::nullopt, std::nullopt, two, {"Cell1 Cell2", "Cell3 Cell4", ""}},
        {row_of({"Head1", "Head2"}), std::nullopt, two, {"Head1 Head2", "Cell1 Cell2", "Cell3 Cell4"}},
        {std::nullopt, row_of({"Foot1", "Foot2"}), two, {"Cell1 Cell2", "Cell3 Cell4", "Foot1 Foot2"}},
        {row_of({"Head1", "Head2"}), row_of({"Foot1", "Foot2"}), {two[0]}, {"Head1 Head2", "Cell1 Cell2", "Foot1 Foot2"}},
        {header_margin, std::nullopt, two, {"Head1 Head2", "", "Cell1 Cell2"}},
        {std::nullopt, footer_margin, {two[0]}, {"Cell1 Cell2", "", "Foot1 Foot2"}},
        {std::nullopt, std::nullopt, {spaced, two[1]}, {"Cell1 Cell2", "", "Cell3 Cell4"}},
    };
    for (const Case& c : cases) {
        Table t = table_of(c.rows, lengths(2, 5));
        t.header = c.header;
        t.footer = c.footer;
        EXPECT_EQ(draw(t, 15, 3), c.expected);
    }

    Table t = table_of(two, lengths(2, 5));
    Block b = Block::bordered();
    b.titles.push_back(BlockTitle{std::nullopt, Line::raw("Block")});
    t.block = b;
    EXPECT_EQ(draw(t, 15, 3), (Lines{"┌Block────────┐", "│Cell1 Cell2  │", "└─────────────┘"}));
}

TEST(TableWidget, TallRowsAreCutAtTheBottom) {
    Row tall = row_of({"Cell3-Line1\nCell3-Line2\nCell3-Line3", "Cell4-Line1\nCell4-Line2\nCell4-Line3"});
    tall.height = 3;
    Table t = table_of({row_of({"Cell1", "Cell2"}), tall}, lengths(2, 11));
    EXPECT_EQ(draw(t, 23, 3), (Lines{"Cell1       Cell2", "Cell3-Line1 Cell4-Line1", "Cell3-Line2 Cell4-Line2"}));

    // A selected tall row is scrolled fully into view.
    TableState state = state_with(1);
    t.highlight_symbol = Text::raw(">");
    EXPECT_EQ(draw(t, 24, 3, &state),
              (Lines{">Cell3-Line1 Cell4-Line1", " Cell3-Line2 Cell4-Line2", " Cell3-Line3 Cell4-Line3"}));
    EXPECT_EQ(state.offset, 1u);
}

TEST(TableWidget, ColumnSpans) {
    struct Case {
        std::vector<Row> rows;
        std::size_t columns;
        std::uint16_t width;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {{spanned({{"Cell1", 0}, {"Cell2", 1}}), row_of({"Cell3", "Cell4"})}, 2, 15, {"Cell2", "Cell3 Cell4"}},
        {{spanned({{"Cell1", 2}, {"Cell2", 1}}), row_of({"Cell3", "Cell4"})}, 2, 15, {"Cell1", "Cell3 Cell4"}},
        {{spanned({{"Cell1", 2}, {"Cell2", 1}}), row_of({"Cell3", "Cell4", "Cell5"})},
         3,
         17,
         {"Cell1       Cell2", "Cell3 Cell4 Cell5"}},
        {{spanned({{"11111111111111111111", 2}, {"22222222222222222222", 1}}),
          spanned({{"33333333333333333333", 1}, {"44444444444444444444", 2}, {"55555555555555555555", 1}})},
         3,
         17,
         {"11111111111 22222", "33333 44444444444"}},
        {{spanned({{"Cell1", 5}})}, 2, 15, {"Cell1", ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(draw(table_of(c.rows, lengths(c.columns, 5)), c.width, 2), c.expected);

    Table t;
    t.rows = {spanned({{"ABCDEFGHIJK", 2}, {"12345678901", 1}, {"XYZXYZXYZXY", 1}})};
    t.highlight_symbol = Text::raw(">>>");
    TableState none;
    EXPECT_EQ(draw(t, 15, 1, &none), Lines{"ABCDEFGHIJ 1234"});
    TableState first = state_with(0);
    EXPECT_EQ(draw(t, 15, 1, &first), Lines{">>>ABCDEFGH 123"});
}

TEST(TableWidget, RowColumnAndCellHighlightsLayer) {
    Table t = table_of({row_of({"Cell1", "Cell2", "Cell3"}), row_of({"Cell4", "Cell5", "Cell6"}),
                        row_of({"Cell7", "Cell8", "Cell9"})},
                       lengths(3, 5));
    t.highlight_symbol = Text::raw(">>");
    t.row_highlight_style = fg(Color::Red);
    t.column_highlight_style = fg(Color::Blue);
    t.cell_highlight_style = fg(Color::Green);

    Buffer buf = Buffer::empty(Rect{0, 0, 20, 4});
    TableState state = state_with(1, 2);
    t.render(buf.area, buf, state);
    EXPECT_EQ(buf.to_string_lines(), (Lines{"  Cell1 Cell2 Cell3", ">>Cell4 Cell5 Cell6", "  Cell7 Cell8 Cell9", ""}));
    const auto R = Color::Red, B = Color::Blue, G = Color::Green, N = Color::Reset;
    std::vector<Color::Tag> top(20, N), mid(20, R);
    for (int x = 14; x < 19; ++x) top[x] = B, mid[x] = G;
    EXPECT_EQ(fg_row(buf, 0), top);
    EXPECT_EQ(fg_row(buf, 1), mid);
    EXPECT_EQ(fg_row(buf, 3), top);  // the column highlight runs down the whole rows area

    // Only a column selected: the symbol column is not allocated.
    Table two = table_of({row_of({"Cell1", "Cell2"}), row_of({"Cell3", "Cell4"})}, lengths(2, 5));
    two.highlight_symbol = Text::raw(">>");
    two.column_highlight_style = fg(Color::Blue);
    Buffer only = Buffer::empty(Rect{0, 0, 15, 3});
    TableState column = state_with(std::nullopt, 1);
    two.render(only.area, only, column);
    EXPECT_EQ(only.to_string_lines(), (Lines{"Cell1 Cell2", "Cell3 Cell4", ""}));
    std::vector<Color::Tag> col(15, N);
    for (int x = 6; x < 11; ++x) col[x] = B;
    for (std::uint16_t y = 0; y < 3; ++y) EXPECT_EQ(fg_row(only, y), col);
    EXPECT_EQ(column.selected, std::nullopt);
    EXPECT_EQ(column.selected_column, 1u);
}

TEST(TableWidget, SelectionAndOffset) {
    struct Case {
        std::optional<std::uint64_t> selected;
        std::uint64_t offset_after;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 50, {"50", "51", "52", "53", "54"}}, {20, 20, {"20", "21", "22", "23", "24"}},
        {49, 49, {"49", "50", "51", "52", "53"}},           {50, 50, {"50", "51", "52", "53", "54"}},
        {54, 50, {"50", "51", "52", "53", "54"}},           {55, 51, {"51", "52", "53", "54", "55"}},
        {80, 76, {"76", "77", "78", "79", "80"}},           {UINT64_MAX, 95, {"95", "96", "97", "98", "99"}},
    };
    std::vector<Row> rows;
    for (int i = 0; i < 100; ++i) rows.push_back(row_of({std::to_string(i)}));
    const Table t = table_of(rows, {Constraint::length(2)});
    for (const Case& c : cases) {
        TableState state = state_with(c.selected, std::nullopt, 50);
        EXPECT_EQ(draw(t, 2, 5, &state), c.expected);
        EXPECT_EQ(state.offset, c.offset_after);
    }
}

TEST(TableWidget, StateIsBoundedByTheTable) {
    Table t = table_of({row_of({"Item 1"})}, {Constraint::percentage(100)});
    TableState s = state_with(UINT64_MAX, UINT64_MAX, 9);
    draw(t, 10, 10, &s);
    EXPECT_EQ(s.selected, 0u);
    EXPECT_EQ(s.selected_column, 0u);
    EXPECT_EQ(s.offset, 0u);

    Table empty = table_of({}, {Constraint::percentage(100)});
    s = state_with(0, 3, 4);
    draw(empty, 10, 10, &s);
    EXPECT_EQ(s.selected, std::nullopt);
    EXPECT_EQ(s.selected_column, std::nullopt);
    EXPECT_EQ(s.offset, 0u);

    // A selected column beyond the widths draws no column highlight and does not fail.
    Table narrow = table_of({row_of({"Row1", "Row2", "Row3"})}, {Constraint::length(10)});
    s = state_with(std::nullopt, 2);
    EXPECT_EQ(draw(narrow, 20, 3, &s), (Lines{"Row1", "", ""}));
    EXPECT_EQ(s.selected_column, 2u);
}

TEST(TableWidget, ColumnWidthsFromConstraints) {
    struct Case {
        std::vector<Constraint> widths;
        std::uint16_t max_width, selection;
        Columns expected;
        Flex flex = Flex::Start;
    };
    const auto L = Constraint::length(4), N = Constraint::min(4), X = Constraint::max(4);
    const auto P = Constraint::percentage(30), R = Constraint::ratio(1, 3);
    const std::vector<Case> cases = {
        {{L, L}, 20, 0, {{0, 4}, {5, 4}}},
        {{L, L}, 7, 0, {{0, 3}, {4, 3}}},
        {{L, L}, 7, 3, {{3, 2}, {6, 1}}},
        {{N, N}, 20, 0, {{0, 10}, {11, 9}}},
        {{P, P}, 20, 0, {{0, 6}, {7, 6}}},
        {{P, P}, 7, 3, {{3, 1}, {5, 1}}},
        {{R, R}, 20, 0, {{0, 7}, {8, 6}}},
        {{R, R}, 20, 3, {{3, 6}, {10, 5}}},
        {{R, R}, 7, 0, {{0, 2}, {3, 3}}},
        {{R, R}, 7, 3, {{3, 1}, {5, 2}}},
        {{P, P}, 20, 3, {{3, 5}, {9, 5}}},
        {{P, P}, 7, 0, {{0, 2}, {3, 2}}},
        {{N, N}, 20, 3, {{3, 8}, {12, 8}}},
        {{N, N}, 7, 3, {{3, 2}, {6, 1}}},
        {{X, X}, 20, 3, {{3, 4}, {8, 4}}},
        {{X, X}, 7, 0, {{0, 3}, {4, 3}}},
        {{Constraint::min(10), Constraint::min(10), Constraint::min(1)},
         62,
         0,
         {{0, 20}, {21, 20}, {42, 20}},
         Flex::SpaceBetween},
        {{Constraint::min(10), Constraint::min(10), Constraint::min(1)}, 62, 0, {{0, 20}, {21, 20}, {42, 20}}},
        {{Constraint::min(10), Constraint::min(10), Constraint::min(1)},
         62,
         0,
         {{0, 10}, {11, 10}, {22, 40}},
         Flex::Legacy},
    };
    for (const Case& c : cases) {
        Table t;
        t.widths = c.widths;
        t.flex = c.flex;
        EXPECT_EQ(t.column_layout(c.max_width, c.selection, 0), c.expected) << c.max_width << " " << c.selection;
    }

    // Without widths the columns share the width equally.
    Table t;
    t.rows = {row_of({"a", "b"}), row_of({"c", "d", "e"})};
    t.header = row_of({"f", "g"});
    t.column_spacing = 0;
    EXPECT_EQ(t.column_count(), 3u);
    EXPECT_EQ(t.column_layout(30, 0, 3), (Columns{{0, 10}, {10, 10}, {20, 10}}));
    EXPECT_TRUE(t.column_layout(30, 0, 0).empty());
    // The header alone, or the footer alone, sets the column count too.
    Table header_only;
    header_only.header = row_of({"f", "g"});
    Table footer_only;
    footer_only.footer = row_of({"h", "i", "j"});
    EXPECT_EQ(header_only.column_count(), 2u);
    EXPECT_EQ(footer_only.column_count(), 3u);
}

TEST(TableWidget, SymbolColumnStaysInsideTheTable) {
    Table t = table_of({row_of({"ab"}), row_of({"cd"})}, {Constraint::length(2)});
    t.highlight_symbol = Text::raw(">>>>>>");
    t.block = Block::bordered();
    TableState state = state_with(1);
    EXPECT_EQ(draw(t, 5, 4, &state), (Lines{"┌───┐", "│   │", "│>>>│", "└───┘"}));

    Buffer buf = Buffer::empty(Rect{0, 0, 8, 1});
    t.block.reset();
    state = state_with(0);
    t.render(Rect{0, 0, 3, 1}, buf, state);
    EXPECT_EQ(buf.to_string_lines(), Lines{">>>"});
}

TEST(TableWidget, SymbolColumnAndSpacingAllocation) {
    struct Case {
        HighlightSpacing spacing;
        std::uint16_t width, column_spacing;
        std::optional<std::uint64_t> selected;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {HighlightSpacing::Never, 15, 0, std::nullopt, "ABCDE  12345"},
        {HighlightSpacing::Never, 15, 0, 0, "ABCDE  12345"},
        {HighlightSpacing::WhenSelected, 15, 0, std::nullopt, "ABCDE  12345"},
        {HighlightSpacing::WhenSelected, 15, 0, 0, ">>>ABCDE 12345"},
        {HighlightSpacing::Always, 15, 0, std::nullopt, "   ABCDE 12345"},
        {HighlightSpacing::Always, 15, 0, 0, ">>>ABCDE 12345"},
        {HighlightSpacing::Never, 10, 1, std::nullopt, "ABCDE 1234"},
        {HighlightSpacing::Always, 10, 1, std::nullopt, "   ABC 123"},
        {HighlightSpacing::Always, 9, 1, std::nullopt, "   ABC 12"},
        {HighlightSpacing::Always, 8, 1, std::nullopt, "   AB 12"},
        {HighlightSpacing::Always, 7, 1, std::nullopt, "   AB 1"},
        {HighlightSpacing::WhenSelected, 10, 1, 0, ">>>ABC 123"},
        {HighlightSpacing::Always, 10, 0, std::nullopt, "   ABCD123"},
        {HighlightSpacing::WhenSelected, 10, 0, 0, ">>>ABCD123"},
    };
    for (const Case& c : cases) {
        Table t;
        t.rows = {row_of({"ABCDE", "12345"})};
        t.highlight_spacing = c.spacing;
        t.highlight_symbol = Text::raw(">>>");
        t.column_spacing = c.column_spacing;
        TableState state = state_with(c.selected);
        EXPECT_EQ(draw(t, c.width, 1, &state), Lines{c.expected}) << c.width << " " << c.column_spacing;
    }
}

TEST(TableWidget, DegenerateAreasAndBadWidths) {
    Table t = table_of({row_of({"Cell1", "Cell2", "Cell3"}), row_of({"Cell4", "Cell5", "Cell6"})}, lengths(3, 10));
    t.header = row_of({"Header1", "Header2", "Header3"});
    t.footer = row_of({"Footer1", "Footer2", "Footer3"});
    EXPECT_EQ(draw(t, 1, 1), Lines{""});
    Buffer zero = Buffer::empty(Rect{});
    t.render(zero.area, zero);
    Buffer buf = Buffer::empty(Rect{0, 0, 15, 3});
    t.render(Rect{0, 0, 0, 0}, buf);
    EXPECT_EQ(buf, Buffer::empty(buf.area));
    // An area far larger than the buffer draws only what falls inside it.
    Buffer small = Buffer::empty(Rect{10, 10, 5, 2});
    TableState state = state_with(1, 1);
    t.render(Rect{8, 9, 65000, 65000}, small, state);
    EXPECT_EQ(small.to_string_lines(), (Lines{"Cell1", "Cell4"}));
    EXPECT_EQ(state.selected, 1u);

    EXPECT_THROW(Table::check_widths({Constraint::length(5), Constraint::percentage(101)}), Panic);
    try {
        Table::check_widths({Constraint::percentage(200)});
    } catch (const Panic& p) {
        EXPECT_STREQ(p.what(), "Percentages should be between 0 and 100 inclusively.");
    }
    EXPECT_NO_THROW(Table::check_widths({Constraint::percentage(100), Constraint::ratio(5, 1), Constraint::min(300)}));
}

TEST(TableWidget, StateSteps) {
    TableState s;
    EXPECT_EQ(s.selected_cell(), std::nullopt);
    s.select(2);
    EXPECT_EQ(s.selected_cell(), std::nullopt);
    s.select_column(0);
    EXPECT_EQ(s.selected_cell(), std::make_optional(std::make_pair<std::uint64_t, std::uint64_t>(2, 0)));

    s = TableState{};
    s.select_previous();
    EXPECT_EQ(s.selected, UINT64_MAX);
    s.select_next();
    EXPECT_EQ(s.selected, UINT64_MAX);
    s.select_previous_column();
    EXPECT_EQ(s.selected_column, UINT64_MAX);
    s.select_next_column();
    EXPECT_EQ(s.selected_column, UINT64_MAX);

    s = TableState{};
    s.scroll_left_by(3);
    EXPECT_EQ(s.selected_column, 0u);
    s.scroll_right_by(3);
    EXPECT_EQ(s.selected_column, 3u);
    s.scroll_down_by(65535);
    s.scroll_down_by(65535);
    EXPECT_EQ(s.selected, 131070u);
    s.offset = 5;
    s.select_column(std::nullopt);
    s.select_last();
    EXPECT_EQ(s.offset, 5u);
    s.select_cell(std::make_pair<std::uint64_t, std::uint64_t>(1, 2));
    EXPECT_EQ(s.offset, 5u);
    s.select_cell(std::nullopt);
    EXPECT_EQ(s.selected, std::nullopt);
    EXPECT_EQ(s.selected_column, std::nullopt);
    EXPECT_EQ(s.offset, 0u);
}
