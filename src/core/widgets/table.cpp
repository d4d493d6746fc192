#include "core/widgets/table.hpp"

#include <algorithm>

#include "core/panic.hpp"

namespace tarvo::core {

void Table::check_widths(const std::vector<Constraint>& widths) {
    for (const Constraint& c : widths)
        if (c.kind == Constraint::Kind::Percentage && c.value > 100)
            panic("Percentages should be between 0 and 100 inclusively.");
}

std::size_t Table::column_count() const noexcept {
    return static_cast<std::size_t>(column_count_.get([this] {
        std::size_t n = 0;
        for (const Row& r : rows) n = std::max(n, r.cells.size());
        if (header) n = std::max(n, header->cells.size());
        if (footer) n = std::max(n, footer->cells.size());
        return static_cast<std::uint64_t>(n);
    }));
}

Table::Columns Table::column_layout(std::uint16_t max_width, std::uint16_t selection_width,
                                    std::size_t count) const {
    Layout columns;
    columns.direction = Direction::Horizontal;
    if (widths.empty()) {
        // Without widths every column gets an equal share.
        const auto share = static_cast<std::uint16_t>(max_width / std::max<std::size_t>(count, 1));
        columns.constraints.assign(count, Constraint::length(share));
    } else {
        columns.constraints = widths;
    }
    columns.flex = flex;
    columns.spacing = Spacing::space(column_spacing);

    // The symbol column always takes its share first.
    Layout outer;
    outer.direction = Direction::Horizontal;
    outer.constraints = {Constraint::length(selection_width), Constraint::fill(0)};
    const Rect columns_area = outer.split(Rect{0, 0, max_width, 1})[1];

    Columns out;
    if (columns.constraints.empty()) return out;
    const std::vector<Rect> rects = columns.split(columns_area);
    out.reserve(rects.size());
    for (const Rect& r : rects) out.emplace_back(r.x, r.width);
    return out;
}

std::pair<std::size_t, std::size_t> Table::visible_rows(const TableState& state, std::uint16_t height) const {
    const std::size_t n = rows.size();
    if (n == 0) return {0, 0};
    std::uint64_t start = std::min<std::uint64_t>(state.offset, n - 1);
    if (state.selected) start = std::min(start, *state.selected);

    // A row is taken while its own height fits; its margins may run past the bottom.
    RowWindow window = RowWindow::fill(
        static_cast<std::size_t>(start), n, height, [this](std::size_t i) { return std::uint64_t{rows[i].height}; },
        [this](std::size_t i) { return std::uint64_t{rows[i].height_with_margin()}; });
    if (state.selected)
        window.scroll_down_to(static_cast<std::size_t>(std::min<std::uint64_t>(*state.selected, n - 1)), height,
                              [this](std::size_t i) { return std::uint64_t{rows[i].height_with_margin()}; });

    // Room left at the bottom shows the top part of the next row.
    if (window.used < height && window.last < n) ++window.last;
    return {window.first, window.last};
}

void Table::render_edge_row(const std::optional<Row>& row, const Rect& area, Buffer& buf, const Columns& cols) const {
    if (!row) return;
    buf.set_style(area, row->style);
    const std::size_t n = std::min(cols.size(), row->cells.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto [x, w] = cols[i];
        row->cells[i].render(Rect::clipped(sat_add(area.x, x), area.y, w, area.height), buf);
    }
}

void Table::render_rows(const Rect& area, Buffer& buf, TableState& state, std::uint16_t selection_width,
                        const Columns& cols) const {
    if (rows.empty()) return;
    const auto [start, end] = visible_rows(state, area.height);
    state.offset = start;

    std::uint64_t y_offset = 0;
    std::optional<Rect> selected_row_area;
    for (std::size_t i = start; i < end; ++i) {
        const Row& row = rows[i];
        const std::uint64_t y = std::uint64_t{area.y} + y_offset + row.top_margin;
        const std::uint64_t bottom = area.bottom();
        Rect row_area{area.x, static_cast<std::uint16_t>(std::min<std::uint64_t>(y, bottom)), area.width, 0};
        if (y < bottom) row_area.height = static_cast<std::uint16_t>(std::min<std::uint64_t>(y + row.height, bottom) - y);
        buf.set_style(row_area, row.style);

        const bool is_selected = state.selected == i;
        if (selection_width > 0 && is_selected) {
            // The symbol column is cut at the table's right edge.
            const Rect symbol_area{row_area.x, row_area.y, std::min(selection_width, row_area.width), row_area.height};
            buf.set_style(symbol_area, row.style);
            highlight_symbol.render(symbol_area, buf);
        }

        // Each cell takes the next `column_span` columns and the spacing between them.
        std::size_t next_column = 0;
        for (const TableCell& cell : row.cells) {
            if (cell.column_span == 0 || next_column >= cols.size()) continue;
            const std::uint16_t x = cols[next_column].first;
            std::uint16_t width = cols[next_column].second;
            ++next_column;
            for (std::uint16_t k = 1; k < cell.column_span && next_column < cols.size(); ++k, ++next_column)
                width = sat_add(sat_add(width, cols[next_column].second), column_spacing);
            cell.render(Rect::clipped(sat_add(row_area.x, x), row_area.y, width, row_area.height).intersection(row_area),
                        buf);
        }

        if (is_selected) selected_row_area = row_area;
        y_offset += row.height_with_margin();
    }

    std::optional<Rect> selected_column_area;
    if (state.selected_column && *state.selected_column < cols.size()) {
        const auto [x, w] = cols[static_cast<std::size_t>(*state.selected_column)];
        selected_column_area = Rect::clipped(sat_add(area.x, x), area.y, w, area.height);
    }

    // Row, then column, then the cell where they cross: each layer over the one before.
    if (selected_row_area) buf.set_style(*selected_row_area, row_highlight_style);
    if (selected_column_area) buf.set_style(*selected_column_area, column_highlight_style);
    if (selected_row_area && selected_column_area)
        buf.set_style(selected_row_area->intersection(*selected_column_area), cell_highlight_style);
}

void Table::render(const Rect& area, Buffer& buf, TableState& state) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect inner = inner_area(block, area);
    if (inner.is_empty()) return;

    state.bound_to(rows.size());
    const std::size_t count = column_count();
    state.select_column(bounded_index(state.selected_column, count));

    const std::uint16_t selection_width =
        highlight_spacing_applies(highlight_spacing, state.selected.has_value())
            ? clamp_to<std::uint16_t>(highlight_symbol.width())
            : std::uint16_t{0};
    const Columns cols = column_layout(inner.width, selection_width, count);

    // Header and footer keep their heights and margins; the rows take what is left.
    const auto edge = [](const std::optional<Row>& r, std::uint16_t Row::*field) {
        return Constraint::length(r ? (*r).*field : std::uint16_t{0});
    };
    Layout vertical;
    vertical.direction = Direction::Vertical;
    vertical.constraints = {edge(header, &Row::top_margin), edge(header, &Row::height),
                            edge(header, &Row::bottom_margin), Constraint::min(0),
                            edge(footer, &Row::top_margin), edge(footer, &Row::height),
                            edge(footer, &Row::bottom_margin)};
    const std::vector<Rect> parts = vertical.split(inner);

    render_edge_row(header, parts[1], buf, cols);
    render_rows(parts[3], buf, state, selection_width, cols);
    render_edge_row(footer, parts[5], buf, cols);
}

}  // namespace tarvo::core
