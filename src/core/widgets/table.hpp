// The table widget: rows of cells laid out in columns whose widths come from constraints, with
// an optional header and footer, a selectable row, column and cell, and vertical scrolling that
// keeps the selected row in view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/layout.hpp"
#include "core/numeric.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/enums.hpp"
#include "core/widgets/memo.hpp"
#include "core/widgets/selection.hpp"

namespace tarvo::core {

struct TableCell {
    Text content;
    // Layered over the cell's whole area before the content is drawn.
    Style style;
    // Columns the cell covers (with the spacing between them); 0 draws nothing.
    std::uint16_t column_span = 1;

    static TableCell from_line(Line line) { return TableCell{Text::from_line(std::move(line)), Style{}, 1}; }

    void render(const Rect& area, Buffer& buf) const {
        buf.set_style(area, style);
        content.render(area, buf);
    }
};

struct Row {
    std::vector<TableCell> cells;
    std::uint16_t height = 1;
    std::uint16_t top_margin = 0;
    std::uint16_t bottom_margin = 0;
    Style style;

    // Height plus both margins, saturating at 65535.
    std::uint16_t height_with_margin() const noexcept {
        return sat_add(sat_add(height, top_margin), bottom_margin);
    }
};

// The selection and scroll position of a table: a row as a list has, plus a column. Row and
// column steps are independent; the render bounds both to the table.
struct TableState : RowSelection {
    std::optional<std::uint64_t> selected_column;

    void select_column(std::optional<std::uint64_t> index) noexcept { selected_column = index; }
    // Both indexes, or (for nothing) no selection at all and the offset back at the top.
    void select_cell(std::optional<std::pair<std::uint64_t, std::uint64_t>> cell) noexcept {
        if (cell) {
            selected = cell->first;
            selected_column = cell->second;
        } else {
            selected.reset();
            selected_column.reset();
            offset = 0;
        }
    }
    std::optional<std::pair<std::uint64_t, std::uint64_t>> selected_cell() const noexcept {
        if (selected && selected_column) return std::make_pair(*selected, *selected_column);
        return std::nullopt;
    }

    void select_next_column() noexcept { select_column(index_after(selected_column)); }
    void select_previous_column() noexcept { select_column(index_before(selected_column)); }
    void select_first_column() noexcept { select_column(std::uint64_t{0}); }
    // The largest index stands for the last column.
    void select_last_column() noexcept { select_column(UINT64_MAX); }
    void scroll_right_by(std::uint16_t amount) noexcept { select_column(index_plus(selected_column, amount)); }
    void scroll_left_by(std::uint16_t amount) noexcept { select_column(index_minus(selected_column, amount)); }
};

struct Table {
    std::optional<Block> block;
    std::vector<Row> rows;
    std::optional<Row> header;
    std::optional<Row> footer;
    std::vector<Constraint> widths;
    std::uint16_t column_spacing = 1;
    Style style;
    Style row_highlight_style;
    Style column_highlight_style;
    Style cell_highlight_style;
    Text highlight_symbol;
    HighlightSpacing highlight_spacing = HighlightSpacing::WhenSelected;
    Flex flex = Flex::Start;

    // Panics with "Percentages should be between 0 and 100 inclusively." at the first
    // percentage width above 100.
    static void check_widths(const std::vector<Constraint>& widths);

    // Draws the table and updates the state: indexes past the end become the last row or
    // column, a table without rows or columns selects none, and the offset becomes the first
    // row shown. The symbol column and the cells stay inside the table's area.
    void render(const Rect& area, Buffer& buf, TableState& state) const;
    // Draws with a fresh state (nothing selected, offset 0).
    void render(const Rect& area, Buffer& buf) const {
        TableState state;
        render(area, buf, state);
    }

    // The most cells any row (header and footer included) has; counted once per table.
    std::size_t column_count() const noexcept;
    // (x relative to the table area, width) of every column, after the symbol column.
    std::vector<std::pair<std::uint16_t, std::uint16_t>> column_layout(std::uint16_t max_width,
                                                                       std::uint16_t selection_width,
                                                                       std::size_t count) const;
    // The rows shown as [first, end): from the offset, scrolled so that the selected row is
    // wholly in view, plus a partly shown row when space is left at the bottom.
    std::pair<std::size_t, std::size_t> visible_rows(const TableState& state, std::uint16_t height) const;

private:
    using Columns = std::vector<std::pair<std::uint16_t, std::uint16_t>>;
    void render_edge_row(const std::optional<Row>& row, const Rect& area, Buffer& buf, const Columns& cols) const;
    void render_rows(const Rect& area, Buffer& buf, TableState& state, std::uint16_t selection_width,
                     const Columns& cols) const;

    Memo column_count_;
};

}  // namespace tarvo::core
