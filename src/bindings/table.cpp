// RatTable, Row and Cell: immutable builders over the core table, its rows and cells; and
// TableState, the table's selection and scroll position, changed in place.

#include <optional>
#include <utility>
#include <vector>

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/layout.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/row_widgets.hpp"
#include "bindings/style.hpp"
#include "bindings/widget_enums.hpp"
#include "core/widgets/table.hpp"

namespace tarvo::bindings {

namespace {

struct CellClass {
    using Value = core::TableCell;
    static constexpr const char* name = "Cell";
    static PyTypeObject* create();
};

struct RowClass {
    using Value = core::Row;
    static constexpr const char* name = "Row";
    static PyTypeObject* create();
};

struct RatTableClass {
    using Value = core::Table;
    static constexpr const char* name = "RatTable";
    static PyTypeObject* create();
};

struct TableStateClass {
    using Value = core::TableState;
    static constexpr const char* name = "TableState";
    static PyTypeObject* create();
};

// Argument i must be a Python list; otherwise the wrong-class TypeError with the note.
PyObject* list_param(const Args& a, std::size_t i) {
    PyObject* list = a[i];
    if (!PyList_Check(list)) with_note(a.name(i), [&] { raise_wrong_class(list, "list"); });
    return list;
}

// Argument i as rows: a list whose every element is a Row.
std::vector<core::Row> rows_arg(const Args& a, std::size_t i) { return values_from_list<RowClass>(a, i, "expected Row"); }

// Argument i as column widths, refusing percentages above 100.
std::vector<core::Constraint> widths_arg(const Args& a, std::size_t i) {
    std::vector<core::Constraint> widths = collect_table_widths(list_param(a, i));
    core::Table::check_widths(widths);
    return widths;
}

// Builders of the form `name(value)` with a 0..65535 value, setting one row field.
template <std::uint16_t core::Row::*Field>
PyObject* set_row_amount(const core::Row& r, Args& a) {
    const std::uint16_t value = a.get<std::uint16_t>(0);
    return rebuilt<RowClass>(r, [&](core::Row& c) { c.*Field = value; });
}

// Builders of the form `name(row)` setting the header or the footer to a copy of the row.
template <std::optional<core::Row> core::Table::*Field>
PyObject* set_edge_row(const core::Table& t, Args& a) {
    core::Row row = a.value<RowClass>(0);
    return rebuilt<RatTableClass>(t, [&](core::Table& c) { c.*Field = std::move(row); });
}

PyTypeObject* CellClass::create() {
    using core::TableCell;
    return ClassBuilder<CellClass>()
        .static_method("new", "(content)",
                       [](Args& a) { return make<CellClass>(TableCell::from_line(extract_line(a[0]))); })
        .method("content", "($self, value)",
                [](const TableCell& c, Args& a) {
                    core::Text content = core::Text::from_line(extract_line(a[0]));
                    return rebuilt<CellClass>(c, [&](TableCell& d) { d.content = std::move(content); });
                })
        .method("style", "($self, style)", style_builder<CellClass, &TableCell::style>())
        .build();
}

PyTypeObject* RowClass::create() {
    using core::Row;
    return ClassBuilder<RowClass>()
        .static_method("new", "(cells)",
                       [](Args& a) {
                           Row r;
                           r.cells = values_or_lines<CellClass>(a, 0);
                           return make<RowClass>(std::move(r));
                       })
        .method("cells", "($self, cells)",
                [](const Row& r, Args& a) {
                    auto cells = values_or_lines<CellClass>(a, 0);
                    return rebuilt<RowClass>(r, [&](Row& c) { c.cells = std::move(cells); });
                })
        .method("style", "($self, style)", style_builder<RowClass, &Row::style>())
        .method("height", "($self, value)", [](const Row& r, Args& a) { return set_row_amount<&Row::height>(r, a); })
        .method("top_margin", "($self, value)",
                [](const Row& r, Args& a) { return set_row_amount<&Row::top_margin>(r, a); })
        .method("bottom_margin", "($self, value)",
                [](const Row& r, Args& a) { return set_row_amount<&Row::bottom_margin>(r, a); })
        .build();
}

PyTypeObject* RatTableClass::create() {
    using core::Table;
    return ClassBuilder<RatTableClass>()
        .static_method("new", "(rows, widths)",
                       [](Args& a) {
                           // Both arguments are checked to be lists before any element is.
                           list_param(a, 0);
                           list_param(a, 1);
                           Table t;
                           t.rows = rows_arg(a, 0);
                           t.widths = widths_arg(a, 1);
                           return make<RatTableClass>(std::move(t));
                       })
        .method("rows", "($self, rows)",
                [](const Table& t, Args& a) {
                    auto rows = rows_arg(a, 0);
                    return rebuilt<RatTableClass>(t, [&](Table& c) { c.rows = std::move(rows); });
                })
        .method("widths", "($self, widths)",
                [](const Table& t, Args& a) {
                    auto widths = widths_arg(a, 0);
                    return rebuilt<RatTableClass>(t, [&](Table& c) { c.widths = std::move(widths); });
                })
        .method("header", "($self, row)", [](const Table& t, Args& a) { return set_edge_row<&Table::header>(t, a); })
        .method("footer", "($self, row)", [](const Table& t, Args& a) { return set_edge_row<&Table::footer>(t, a); })
        .method("block", "($self, block)", block_builder<RatTableClass>())
        .method("style", "($self, style)", style_builder<RatTableClass, &Table::style>())
        .method("row_highlight_style", "($self, style)", style_builder<RatTableClass, &Table::row_highlight_style>())
        .method("column_highlight_style", "($self, style)",
                style_builder<RatTableClass, &Table::column_highlight_style>())
        .method("cell_highlight_style", "($self, style)", style_builder<RatTableClass, &Table::cell_highlight_style>())
        .method("highlight_symbol", "($self, symbol)",
                [](const Table& t, Args& a) {
                    core::Text symbol = extract_text(a[0]);
                    return rebuilt<RatTableClass>(t, [&](Table& c) { c.highlight_symbol = std::move(symbol); });
                })
        .method("highlight_spacing", "($self, spacing)",
                [](const Table& t, Args& a) {
                    const auto spacing = static_cast<core::HighlightSpacing>(a.value<HighlightSpacingClass>(0));
                    return rebuilt<RatTableClass>(t, [&](Table& c) { c.highlight_spacing = spacing; });
                })
        .method("column_spacing", "($self, value)",
                [](const Table& t, Args& a) {
                    const std::uint16_t value = a.get<std::uint16_t>(0);
                    return rebuilt<RatTableClass>(t, [&](Table& c) { c.column_spacing = value; });
                })
        .build();
}

// In-place column methods without arguments: run the core step, return None.
template <void (core::TableState::*Step)()>
PyObject* step(core::TableState& s) {
    (s.*Step)();
    return none();
}

// In-place column methods taking an `amount` of 0..65535.
template <void (core::TableState::*Step)(std::uint16_t)>
PyObject* step_by(core::TableState& s, Args& a) {
    (s.*Step)(a.get<std::uint16_t>(0));
    return none();
}

PyTypeObject* TableStateClass::create() {
    using core::TableState;
    ClassBuilder<TableStateClass> b;
    b.constructor("()", [](Args&) { return TableState{}; });
    return add_row_selection(b)
        .getter("selected_column", [](const TableState& s) { return s.selected_column ? to_py(*s.selected_column) : none(); })
        .method("selected_cell", "($self)",
                [](const TableState& s) {
                    const auto cell = s.selected_cell();
                    if (!cell) return none();
                    Ref row = Ref::steal(to_py(cell->first));
                    Ref column = Ref::steal(to_py(cell->second));
                    return tuple_of({row.release(), column.release()});
                })
        .method("select_column", "($self, index=None)",
                [](TableState& s, Args& a) {
                    s.select_column(a.has(0) ? a.get<std::optional<std::uint64_t>>(0) : std::nullopt);
                    return none();
                })
        .method("select_cell", "($self, indexes=None)",
                [](TableState& s, Args& a) {
                    if (!a.present(0)) {
                        s.select_cell(std::nullopt);
                        return none();
                    }
                    // Both items convert before either field is written.
                    const auto cell = with_note(a.name(0), [&] {
                        const std::vector<PyObject*> items = tuple_items_exact(a[0], 2);
                        const std::uint64_t row = index_to_u64(items[0]);
                        const std::uint64_t column = index_to_u64(items[1]);
                        return std::make_pair(row, column);
                    });
                    s.select_cell(cell);
                    return none();
                })
        .method("select_next_column", "($self)",
                [](TableState& s) { return step<&TableState::select_next_column>(s); })
        .method("select_previous_column", "($self)",
                [](TableState& s) { return step<&TableState::select_previous_column>(s); })
        .method("select_first_column", "($self)",
                [](TableState& s) { return step<&TableState::select_first_column>(s); })
        .method("select_last_column", "($self)",
                [](TableState& s) { return step<&TableState::select_last_column>(s); })
        .method("scroll_right_by", "($self, amount)",
                [](TableState& s, Args& a) { return step_by<&TableState::scroll_right_by>(s, a); })
        .method("scroll_left_by", "($self, amount)",
                [](TableState& s, Args& a) { return step_by<&TableState::scroll_left_by>(s, a); })
        .build();
}

// A plain render draws with a fresh state; a stateful one updates the given state.
[[maybe_unused]] const bool table_drawn = register_widget_renderer<RatTableClass>();
[[maybe_unused]] const bool table_state_drawn = register_stateful_renderer<RatTableClass, TableStateClass>(
    [](const core::Table& t, core::TableState& s, const core::Rect& area, core::Buffer& buf) {
        t.render(area, buf, s);
    });

}  // namespace

TARVO_REGISTER_CLASS(CellClass);
TARVO_REGISTER_CLASS(RowClass);
TARVO_REGISTER_CLASS(RatTableClass);
TARVO_REGISTER_CLASS(TableStateClass);

}  // namespace tarvo::bindings
