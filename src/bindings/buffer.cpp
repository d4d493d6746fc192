#include "bindings/buffer.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "bindings/convert_text.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "bindings/text.hpp"
#include "core/debug.hpp"

namespace tarvo::bindings {

namespace {

using core::Buffer;
using core::Cell;

std::vector<PyMethodDef>& extra_buffer_methods() {
    static std::vector<PyMethodDef> defs;
    return defs;
}

[[noreturn]] void position_out_of_bounds(std::uint16_t x, std::uint16_t y) {
    raise(PyExc_IndexError, "position (" + std::to_string(x) + ", " + std::to_string(y) + ") out of bounds");
}

// Positions given relative to the area's origin: x and y must lie inside the area's size.
void check_position(const core::Rect& area, std::uint16_t x, std::uint16_t y) {
    if (x >= area.width || y >= area.height) position_out_of_bounds(x, y);
}

// The cell at a checked relative position, or null when it falls outside the grid.
const Cell* cell_at_relative(const Buffer& b, std::uint16_t x, std::uint16_t y) {
    return b.cell_at(std::uint32_t{b.area.x} + x, std::uint32_t{b.area.y} + y);
}

// The cell at the relative position given by arguments 0 and 1; IndexError outside the area.
const Cell& cell_arg(const Buffer& b, Args& a) {
    const auto x = a.get<std::uint16_t>(0);
    const auto y = a.get<std::uint16_t>(1);
    check_position(b.area, x, y);
    const Cell* c = cell_at_relative(b, x, y);
    if (!c) position_out_of_bounds(x, y);
    return *c;
}

Cell& writable_cell(Buffer& b, std::uint16_t x, std::uint16_t y) {
    Cell* c = b.cell_at(std::uint32_t{b.area.x} + x, std::uint32_t{b.area.y} + y);
    if (!c) position_out_of_bounds(x, y);
    return *c;
}

std::string_view str_arg(Args& a, std::size_t i) {
    return with_note(a.name(i), [&] { return to_utf8_view(a[i]); });
}

PyObject* cell_to_py(const Cell& c) { return make<BufferCellClass>(c); }

std::string area_str(const core::Rect& r) {
    return std::to_string(r.width) + "x" + std::to_string(r.height) + "+" + std::to_string(r.x) + "+" +
           std::to_string(r.y);
}

PyObject* string_list(const std::vector<std::string>& lines) {
    return list_of(lines, [](const std::string& s) { return to_py(s); });
}

// The arguments (x, y, text, style) of set_cell and set_string, converted in order.
struct TextAt {
    std::uint16_t x, y;
    std::string_view text;
    core::Style style;
};

TextAt text_at_args(Args& a) {
    const auto x = a.get<std::uint16_t>(0);
    const auto y = a.get<std::uint16_t>(1);
    const std::string_view text = str_arg(a, 2);
    return TextAt{x, y, text, a.value<StyleClass>(3)};
}

// set_cell: the symbol exactly as given, then the style layered over the cell.
void set_cell(Buffer& b, const TextAt& t) {
    check_position(b.area, t.x, t.y);
    writable_cell(b, t.x, t.y).set_symbol(t.text).set_style(t.style);
}

void set_string(Buffer& b, const TextAt& t) {
    check_position(b.area, t.x, t.y);
    b.set_string(static_cast<std::uint16_t>(b.area.x + t.x), static_cast<std::uint16_t>(b.area.y + t.y), t.text,
                 t.style);
}

void set_style(Buffer& b, Args& a) {
    const core::Rect area = a.value<RectClass>(0);
    const core::Style style = a.value<StyleClass>(1);
    b.set_style(area, style);
}

// The result of the span and line writers: the end position relative to the area's origin.
PyObject* end_position(const Buffer& b, const core::Position& end, std::uint16_t y) {
    return tuple_of({to_py(static_cast<std::uint16_t>(end.x - b.area.x)), to_py(y)});
}

PyObject* set_span(Buffer& b, Args& a) {
    const auto x = a.get<std::uint16_t>(0);
    const auto y = a.get<std::uint16_t>(1);
    const core::Span span = a.value<SpanClass>(2);
    const auto max_width = a.get_or<std::optional<std::uint16_t>>(3, std::nullopt);
    check_position(b.area, x, y);
    const std::uint16_t room = max_width ? *max_width : static_cast<std::uint16_t>(b.area.width - x);
    const core::Position end = b.set_span(static_cast<std::uint16_t>(b.area.x + x),
                                          static_cast<std::uint16_t>(b.area.y + y), span, room);
    return end_position(b, end, y);
}

PyObject* set_line(Buffer& b, Args& a) {
    const auto y = a.get<std::uint16_t>(0);
    const auto x = a.get_or<std::uint16_t>(2, 0);
    const auto max_width = a.get_or<std::optional<std::uint16_t>>(3, std::nullopt);
    if (y >= b.area.height) raise(PyExc_IndexError, "row " + std::to_string(y) + " out of bounds");
    const core::Line line = extract_str_or_line(a[1]);
    // A start at or beyond the right edge leaves no room: nothing is written.
    if (x >= b.area.width) return tuple_of({to_py(x), to_py(y)});
    const std::uint16_t room = max_width ? *max_width : static_cast<std::uint16_t>(b.area.width - x);
    const core::Position end = b.set_line(static_cast<std::uint16_t>(b.area.x + x),
                                          static_cast<std::uint16_t>(b.area.y + y), line, room);
    return end_position(b, end, y);
}

// A buffer at (0, 0) just large enough for the lines, each written at column 0 of its row.
// Sizes beyond 65535 cells are refused rather than cut.
PyObject* with_lines(Args& a) {
    PyObject* list = a[0];
    if (!PyList_Check(list)) with_note(a.name(0), [&] { raise_wrong_class(list, "list"); });
    std::vector<core::Line> lines;
    for_each_list_item(list, [&](PyObject* item) { lines.push_back(extract_str_or_line(item)); });
    std::size_t width = 0;
    for (const core::Line& l : lines) width = std::max(width, l.width());
    if (lines.size() > 65535)
        raise(PyExc_OverflowError, "Buffer.with_lines: " + std::to_string(lines.size()) +
                                       " lines do not fit in a buffer of at most 65535 rows");
    if (width > 65535)
        raise(PyExc_OverflowError, "Buffer.with_lines: a line " + std::to_string(width) +
                                       " cells wide does not fit in a buffer of at most 65535 columns");
    const auto w = static_cast<std::uint16_t>(width);
    Buffer b = Buffer::empty(core::Rect{0, 0, w, static_cast<std::uint16_t>(lines.size())});
    for (std::size_t y = 0; y < lines.size(); ++y) b.set_line(0, static_cast<std::uint16_t>(y), lines[y], w);
    return make<BufferClass>(std::move(b));
}

// ---- BufferCell.EMPTY: a descriptor that builds a new empty cell on every access ----

PyObject* fresh_empty_cell(PyObject*, PyObject*, PyObject*) {
    return guard([]() -> PyObject* { return cell_to_py(Cell{}); });
}

PyObject* fresh_empty_cell_descriptor() {
    static PyTypeObject* type = [] {
        static PyType_Slot slots[] = {{Py_tp_descr_get, reinterpret_cast<void*>(&fresh_empty_cell)}, {0, nullptr}};
        static PyType_Spec spec = {"tarvo_core.rust.native.BufferCellEmpty", static_cast<int>(sizeof(PyObject)), 0,
                                   Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION, slots};
        return reinterpret_cast<PyTypeObject*>(check(PyType_FromSpec(&spec)));
    }();
    auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
    return check(alloc(type, 0));
}

// ---- BufferMutView ----

// Every view method converts its arguments first, then refuses an expired view.
Buffer& live_frame(const MutView& v) {
    Buffer* frame = v.get();
    if (!frame) raise(PyExc_RuntimeError, "BufferMutView expired");
    return *frame;
}

}  // namespace

bool add_buffer_method(PyMethodDef def) {
    extra_buffer_methods().push_back(def);
    return true;
}

PyTypeObject* BufferClass::create() {
    ClassBuilder<BufferClass> b;
    b.static_method("empty", "(area)", [](Args& a) { return make<BufferClass>(Buffer::empty(a.value<RectClass>(0))); })
        .static_method("filled", "(area, cell)",
                       [](Args& a) {
                           const core::Rect area = a.value<RectClass>(0);
                           const Cell cell = a.value<BufferCellClass>(1);
                           return make<BufferClass>(Buffer::filled(area, cell));
                       })
        .static_method("with_lines", "(lines)", [](Args& a) { return with_lines(a); })
        .getter("area", [](const Buffer& b) { return make<RectClass>(b.area); })
        .method("cell", "($self, x, y)",
                [](const Buffer& b, Args& a) {
                    const auto x = a.get<std::uint16_t>(0);
                    const auto y = a.get<std::uint16_t>(1);
                    check_position(b.area, x, y);
                    const Cell* c = cell_at_relative(b, x, y);
                    return c ? cell_to_py(*c) : none();
                })
        .method("cell_symbol", "($self, x, y)",
                [](const Buffer& b, Args& a) { return to_py(cell_arg(b, a).symbol_text()); })
        .method("cell_fg", "($self, x, y)",
                [](const Buffer& b, Args& a) { return color_to_py(cell_arg(b, a).fg); })
        .method("cell_bg", "($self, x, y)",
                [](const Buffer& b, Args& a) { return color_to_py(cell_arg(b, a).bg); })
        .method("cell_modifier", "($self, x, y)",
                [](const Buffer& b, Args& a) { return modifier_to_py(cell_arg(b, a).modifier); })
        .method("set_cell", "($self, x, y, symbol, style)",
                [](Buffer& b, Args& a) {
                    set_cell(b, text_at_args(a));
                    return none();
                })
        .method("set_string", "($self, x, y, string, style)",
                [](Buffer& b, Args& a) {
                    set_string(b, text_at_args(a));
                    return none();
                })
        .method("set_span", "($self, x, y, span, max_width=None)",
                [](Buffer& b, Args& a) { return set_span(b, a); })
        .method("set_line", "($self, y, line, x=0, max_width=None)",
                [](Buffer& b, Args& a) { return set_line(b, a); })
        .method("set_style", "($self, area, style)",
                [](Buffer& b, Args& a) {
                    set_style(b, a);
                    return none();
                })
        .method("resize", "($self, area)",
                [](Buffer& b, Args& a) {
                    b.resize(a.value<RectClass>(0));
                    return none();
                })
        .method("index_of", "($self, x, y)",
                [](const Buffer& b, Args& a) {
                    const auto x = a.get<std::uint16_t>(0);
                    const auto y = a.get<std::uint16_t>(1);
                    check_position(b.area, x, y);
                    return to_py(std::uint64_t{y} * b.area.width + x);
                })
        .method("pos_of", "($self, index)",
                [](const Buffer& b, Args& a) { return make<PositionClass>(b.pos_of(a.get<std::uint64_t>(0))); })
        .method("content", "($self)", [](const Buffer& b) { return list_of(b.content, cell_to_py); })
        .method("to_string_lines", "($self)", [](const Buffer& b) { return string_list(b.to_string_lines()); })
        .method("to_ansi_lines", "($self, clip_bottom=False)",
                [](const Buffer& b, Args& a) { return string_list(b.to_ansi_lines(a.get_or<bool>(0, false))); })
        .repr([](const Buffer& b) {
            return "Buffer(area=" + area_str(b.area) + ", cells=" + std::to_string(b.content.size()) + ")";
        });
    for (const PyMethodDef& def : extra_buffer_methods()) b.raw_method(def);
    return b.build();
}

PyTypeObject* BufferCellClass::create() {
    return ClassBuilder<BufferCellClass>()
        .static_method("new", "(symbol)",
                       [](Args& a) {
                           Cell c;
                           c.set_symbol(str_arg(a, 0));
                           return cell_to_py(c);
                       })
        .getter("symbol", [](const Cell& c) { return to_py(c.symbol_text()); })
        .getter("fg", [](const Cell& c) { return color_to_py(c.fg); })
        .getter("bg", [](const Cell& c) { return color_to_py(c.bg); })
        .getter("modifier", [](const Cell& c) { return modifier_to_py(c.modifier); })
        .getter("style", [](const Cell& c) { return style_to_py(c.style()); })
        .method("reset", "($self)",
                [](Cell& c) {
                    c.reset();
                    return none();
                })
        .method("set_symbol", "($self, symbol)",
                [](Cell& c, Args& a) {
                    c.set_symbol(str_arg(a, 0));
                    return cell_to_py(c);
                })
        .method("set_style", "($self, style)",
                [](Cell& c, Args& a) {
                    c.set_style(a.value<StyleClass>(0));
                    return cell_to_py(c);
                })
        .repr([](const Cell& c) {
            return "BufferCell(symbol=" + core::debug::quoted(c.symbol_text()) + ", fg=" + core::color_repr(c.fg) +
                   ", bg=" + core::color_repr(c.bg) + ")";
        })
        .class_attr("EMPTY", fresh_empty_cell_descriptor)
        .build();
}

PyTypeObject* BufferMutViewClass::create() {
    return ClassBuilder<BufferMutViewClass>()
        .doc("Mutable view onto a live buffer, valid only for the duration of a drawable callback.")
        .method("area", "($self)", [](const MutView& v) { return make<RectClass>(live_frame(v).area); })
        .method("get_area", "($self)", [](const MutView& v) { return make<RectClass>(live_frame(v).area); })
        .method("get_cell", "($self, x, y)",
                [](const MutView& v, Args& a) {
                    const auto x = a.get<std::uint16_t>(0);
                    const auto y = a.get<std::uint16_t>(1);
                    const Buffer& b = live_frame(v);
                    check_position(b.area, x, y);
                    const Cell* c = cell_at_relative(b, x, y);
                    return c ? cell_to_py(*c) : none();
                })
        .method("set_cell", "($self, x, y, symbol, style)",
                [](const MutView& v, Args& a) {
                    const TextAt t = text_at_args(a);
                    set_cell(live_frame(v), t);
                    return none();
                })
        .method("set_string", "($self, x, y, string, style)",
                [](const MutView& v, Args& a) {
                    const TextAt t = text_at_args(a);
                    set_string(live_frame(v), t);
                    return none();
                })
        .method("set_style", "($self, area, style)",
                [](const MutView& v, Args& a) {
                    const core::Rect area = a.value<RectClass>(0);
                    const core::Style style = a.value<StyleClass>(1);
                    live_frame(v).set_style(area, style);
                    return none();
                })
        .build();
}

TARVO_REGISTER_CLASS(BufferCellClass);
TARVO_REGISTER_CLASS(BufferClass);
TARVO_REGISTER_CLASS(BufferMutViewClass);

}  // namespace tarvo::bindings
