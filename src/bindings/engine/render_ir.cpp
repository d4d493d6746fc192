// IrLine and CoreRenderIR with every builder: argument shapes, conversions and their errors.

#include "bindings/engine/render_ir.hpp"

#include <string>
#include <utility>
#include <vector>

#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "core/panic.hpp"

namespace tarvo::bindings {

namespace {

namespace ce = core::engine;
using core::Line;
using core::OptColor;
using core::Style;

// ---- shared argument conversions ----

// None or a Color, as an optional colour (no note: callers add the one they need).
OptColor opt_color(PyObject* o) {
    if (o == Py_None) return std::nullopt;
    return value_of<ColorClass>(o);
}

OptColor color_arg(const Args& a, std::size_t i) { return a.optional_value<ColorClass>(i); }

// A sequence of Modifier objects ORed into one set.
std::uint16_t modifier_set(PyObject* o) {
    struct Elem {
        static std::uint16_t from(PyObject* m) { return value_of<ModifierClass>(m); }
    };
    std::uint16_t bits = 0;
    for (std::uint16_t m : sequence_to_vector<std::uint16_t, Elem>(o)) bits |= m;
    return bits;
}

std::uint16_t modifiers_arg(const Args& a, std::size_t i) {
    if (!a.has(i)) return 0;
    return with_note(a.name(i), [&] { return modifier_set(a[i]); });
}

Style style_arg(const Args& a, std::size_t fg, std::size_t bg) { return ce::ir_style(color_arg(a, fg), color_arg(a, bg)); }

// The line held by an IrLine object, copied.
Line ir_line_of(PyObject* o) { return value_of<IrLineClass>(o); }

// A sequence of IrLine objects (a str is refused).
std::vector<Line> lines_of(PyObject* o) {
    struct Elem {
        static Line from(PyObject* item) { return ir_line_of(item); }
    };
    return sequence_to_vector<Line, Elem>(o);
}

std::vector<Line> lines_arg(const Args& a, std::size_t i) {
    if (!a.has(i)) return {};
    return with_note(a.name(i), [&] { return lines_of(a[i]); });
}

// The lines of a string: one line of one unstyled span per piece; "" gives one empty line.
std::vector<Line> content_lines(const std::string& content) { return core::Text::raw(content).lines; }

std::optional<core::Alignment> align_arg(const Args& a, std::size_t i) {
    return ce::ir_alignment(a.get_or<std::optional<std::uint8_t>>(i, std::nullopt));
}

// Every item of a sequence (a str is refused), as owned references.
std::vector<Ref> items_of(PyObject* o) {
    check_sequence(o);
    std::vector<Ref> out;
    Ref it = Ref::steal(check(PyObject_GetIter(o)));
    while (Ref item = Ref::steal(PyIter_Next(it.get()))) out.push_back(std::move(item));
    throw_if_error();
    return out;
}

PyObject* ir_object(ce::IrValue value) {
    return make<CoreRenderIRClass>(std::make_shared<const ce::IrValue>(std::move(value)));
}

// A static method whose documentation goes on after its signature.
template <typename L>
PyMethodDef documented_static(const char* name, const char* text_signature, const char* doc, L fn) {
    PyMethodDef def = method_def<CoreRenderIRClass>(name, text_signature, fn, METH_STATIC);
    def.ml_doc = detail::keep(std::string(name) + text_signature + "\n--\n\n" + doc);
    return def;
}

// ---- table ----

ce::IrTableRow table_row(PyObject* o) {
    const std::vector<PyObject*> row = tuple_items_exact(o, 4);
    ce::IrTableRow out;
    for (const Ref& cell_obj : items_of(row[0])) {
        const std::vector<PyObject*> cell = tuple_items_exact(cell_obj.get(), 4);
        ce::IrTableCell c;
        c.line = ir_line_of(cell[0]);
        c.style = ce::ir_style(opt_color(cell[1]), opt_color(cell[2]), modifier_set(cell[3]));
        out.cells.push_back(std::move(c));
    }
    out.style = ce::ir_style(opt_color(row[1]), opt_color(row[2]));
    out.height = Convert<std::uint16_t>::from(row[3]);
    return out;
}

std::optional<ce::IrTableRow> optional_row(const Args& a, std::size_t i) {
    if (!a.present(i)) return std::nullopt;
    return with_note(a.name(i), [&] { return table_row(a[i]); });
}

PyObject* build_table(Args& a) {
    ce::TableDesc desc;
    if (a.has(0)) {
        with_note("rows", [&] {
            for (const Ref& r : items_of(a[0])) desc.rows.push_back(table_row(r.get()));
        });
    }
    desc.header = optional_row(a, 1);
    desc.footer = optional_row(a, 2);
    if (a.has(3)) {
        with_note("widths", [&] {
            for (const Ref& w : items_of(a[3])) {
                const std::vector<PyObject*> pair = tuple_items_exact(w.get(), 2);
                desc.widths.push_back(ce::IrWidth{Convert<std::uint8_t>::from(pair[0]), to_double(pair[1])});
            }
            // A percentage above 100 cannot be laid out: refuse it here rather than at every frame.
            for (const ce::IrWidth& w : desc.widths) {
                const core::Constraint c = ce::ir_width_constraint(w);
                if (c.kind == core::Constraint::Kind::Percentage && c.value > 100)
                    raise(PyExc_ValueError, "Percentages should be between 0 and 100 inclusively.");
            }
        });
    }
    desc.column_spacing = a.get_or<std::uint16_t>(4, 1);
    desc.selected_row = a.get_or<std::optional<std::uint64_t>>(5, std::nullopt);
    desc.selected_column = a.get_or<std::optional<std::uint64_t>>(6, std::nullopt);
    desc.highlight_style = style_arg(a, 7, 8);
    desc.highlight_symbol = a.get_or<std::optional<std::string>>(9, std::nullopt);
    return ir_object(ce::ir_table(std::move(desc)));
}

// ---- bar chart ----

ce::IrBarGroup bar_group(PyObject* o) {
    const std::vector<PyObject*> group = tuple_items_exact(o, 2);
    ce::IrBarGroup out;
    out.label = Convert<std::optional<std::string>>::from(group[0]);
    for (const Ref& bar_obj : items_of(group[1])) {
        const std::vector<PyObject*> bar = tuple_items_exact(bar_obj.get(), 7);
        ce::IrBar b;
        b.value = index_to_u64(bar[0]);
        b.label = to_utf8(bar[1]);
        b.text_value = Convert<std::optional<std::string>>::from(bar[2]);
        b.style = ce::ir_style(opt_color(bar[3]), opt_color(bar[4]));
        // The value text takes both of its colours.
        b.value_style = ce::ir_style(opt_color(bar[5]), opt_color(bar[6]));
        out.bars.push_back(std::move(b));
    }
    return out;
}

PyObject* build_bar_chart(Args& a) {
    ce::BarChartDesc desc;
    if (a.has(0)) {
        with_note("groups", [&] {
            for (const Ref& g : items_of(a[0])) desc.groups.push_back(bar_group(g.get()));
        });
    }
    desc.bar_width = a.get_or<std::uint16_t>(1, 1);
    desc.bar_gap = a.get_or<std::uint16_t>(2, 1);
    desc.group_gap = a.get_or<std::uint16_t>(3, 0);
    desc.max_value = a.get_or<std::optional<std::uint64_t>>(4, std::nullopt);
    desc.horizontal = a.get_or<bool>(5, false);
    desc.bar_style = ce::ir_style(color_arg(a, 6), std::nullopt);
    desc.value_style = ce::ir_style(color_arg(a, 7), std::nullopt);
    desc.label_style = ce::ir_style(color_arg(a, 8), std::nullopt);
    return ir_object(ce::ir_bar_chart(std::move(desc)));
}

// ---- canvas ----

// Item `k` of a shape object, by the interpreter's indexing.
Ref shape_item(PyObject* shape, Py_ssize_t k) {
    Ref key = Ref::steal(check(PyLong_FromSsize_t(k)));
    return Ref::steal(check(PyObject_GetItem(shape, key.get())));
}

double shape_number(PyObject* shape, Py_ssize_t k) { return to_double(shape_item(shape, k).get()); }
core::Color shape_color(PyObject* shape, Py_ssize_t k) { return value_of<ColorClass>(shape_item(shape, k).get()); }

void parse_shape(PyObject* shape, ce::CanvasDesc& desc) {
    const Ref tag_obj = shape_item(shape, 0);
    const std::string tag = to_utf8(tag_obj.get());
    if (tag == "line") {
        core::CanvasLine l;
        l.x1 = shape_number(shape, 1);
        l.y1 = shape_number(shape, 2);
        l.x2 = shape_number(shape, 3);
        l.y2 = shape_number(shape, 4);
        l.color = shape_color(shape, 5);
        desc.shapes.emplace_back(l);
    } else if (tag == "points") {
        core::CanvasPoints p;
        for (const Ref& pt : items_of(shape_item(shape, 1).get())) {
            const std::vector<PyObject*> xy = tuple_items_exact(pt.get(), 2);
            p.coords.emplace_back(to_double(xy[0]), to_double(xy[1]));
        }
        p.color = shape_color(shape, 2);
        desc.shapes.emplace_back(std::move(p));
    } else if (tag == "rect") {
        core::CanvasRectangle r;
        r.x = shape_number(shape, 1);
        r.y = shape_number(shape, 2);
        r.width = shape_number(shape, 3);
        r.height = shape_number(shape, 4);
        r.color = shape_color(shape, 5);
        desc.shapes.emplace_back(r);
    } else if (tag == "circle") {
        core::CanvasCircle c;
        c.x = shape_number(shape, 1);
        c.y = shape_number(shape, 2);
        c.radius = shape_number(shape, 3);
        c.color = shape_color(shape, 4);
        desc.shapes.emplace_back(c);
    } else if (tag == "print") {
        core::CanvasLabel label;
        label.x = shape_number(shape, 1);
        label.y = shape_number(shape, 2);
        for (const Ref& s : items_of(shape_item(shape, 3).get())) {
            const std::vector<PyObject*> span = tuple_items_exact(s.get(), 4);
            std::string text = to_utf8(span[0]);
            label.line.spans.push_back(core::Span{
                std::move(text), ce::ir_style(opt_color(span[1]), opt_color(span[2]), modifier_set(span[3]))});
        }
        desc.labels.push_back(std::move(label));
    } else {
        raise(PyExc_ValueError, "unknown canvas shape tag: " + tag);
    }
}

core::Bounds bounds_arg(const Args& a, std::size_t i) {
    if (!a.has(i)) return core::Bounds{0.0, 1.0};
    return with_note(a.name(i), [&] {
        const std::vector<PyObject*> pair = tuple_items_exact(a[i], 2);
        return core::Bounds{to_double(pair[0]), to_double(pair[1])};
    });
}

PyObject* build_canvas(Args& a) {
    std::vector<Ref> shapes;
    if (a.has(0)) shapes = with_note("shapes", [&] { return items_of(a[0]); });
    ce::CanvasDesc desc;
    desc.x_bounds = bounds_arg(a, 1);
    desc.y_bounds = bounds_arg(a, 2);
    desc.background = color_arg(a, 3);
    desc.marker = a.get_or<std::optional<std::uint8_t>>(4, std::nullopt);
    for (const Ref& shape : shapes) parse_shape(shape.get(), desc);
    return ir_object(ce::ir_canvas(std::move(desc)));
}

// ---- the other kinds ----

PyObject* build_list(Args& a) {
    ce::ListDesc desc;
    desc.items = with_note("items", [&] { return lines_of(a[0]); });
    desc.selected = a.get_or<std::optional<std::uint64_t>>(1, std::nullopt);
    desc.style = style_arg(a, 2, 3);
    desc.highlight_style = style_arg(a, 4, 5);
    desc.highlight_symbol = a.get_or<std::string>(6, "> ");
    return ir_object(ce::ir_list(std::move(desc)));
}

PyObject* build_tabs(Args& a) {
    ce::TabsDesc desc;
    desc.titles = lines_arg(a, 0);
    desc.selected = a.get_or<std::uint64_t>(1, 0);
    desc.style = style_arg(a, 2, 3);
    desc.highlight_style = style_arg(a, 4, 5);
    desc.divider = a.get_or<std::optional<std::string>>(6, std::nullopt);
    desc.padding_left = a.get_or<std::string>(7, " ");
    desc.padding_right = a.get_or<std::string>(8, " ");
    return ir_object(ce::ir_tabs(std::move(desc)));
}

PyObject* build_sparkline(Args& a) {
    ce::SparklineDesc desc;
    if (a.has(0)) desc.data = with_note("data", [&] { return sequence_to_vector<std::uint64_t>(a[0]); });
    desc.max_value = a.get_or<std::optional<std::uint64_t>>(1, std::nullopt);
    desc.style = style_arg(a, 2, 3);
    desc.absent_value_style = ce::ir_style(color_arg(a, 4), std::nullopt);
    desc.absent_value_symbol = a.get_or<std::optional<std::string>>(5, std::nullopt);
    return ir_object(ce::ir_sparkline(std::move(desc)));
}

PyObject* build_line_gauge(Args& a) {
    ce::LineGaugeDesc desc;
    desc.progress = a.get<double>(0);
    desc.label = a.get_or<std::optional<std::string>>(1, std::nullopt);
    desc.style = style_arg(a, 2, 3);
    desc.filled_style = ce::ir_style(color_arg(a, 4), std::nullopt);
    desc.unfilled_style = ce::ir_style(color_arg(a, 5), std::nullopt);
    return ir_object(ce::ir_line_gauge(std::move(desc)));
}

PyObject* build_scrollbar(Args& a) {
    ce::ScrollbarDesc desc;
    desc.orientation = a.get_or<std::uint8_t>(0, 0);
    desc.content_length = a.get_or<std::uint64_t>(1, 0);
    desc.position = a.get_or<std::uint64_t>(2, 0);
    desc.viewport_length = a.get_or<std::optional<std::uint64_t>>(3, std::nullopt);
    desc.style = ce::ir_style(color_arg(a, 4), std::nullopt);
    desc.thumb_style = ce::ir_style(color_arg(a, 5), std::nullopt);
    desc.track_style = ce::ir_style(color_arg(a, 6), std::nullopt);
    desc.begin_symbol = a.get_or<std::optional<std::string>>(7, std::nullopt);
    desc.end_symbol = a.get_or<std::optional<std::string>>(8, std::nullopt);
    return ir_object(ce::ir_scrollbar(std::move(desc)));
}

constexpr const char* kGlyphOverlayDoc =
    "A transparent overlay of styled glyph lines.\n"
    "\n"
    "Unlike `text_lines`, space cells are left untouched instead of painted,\n"
    "so lower-z content shows through the gaps. This is the building block\n"
    "for placing centered characters over an image or animation on a higher\n"
    "z without a background band swallowing everything around the glyphs.";

constexpr const char* kBarChartDoc =
    "groups: list of (label: Optional[str], bars: list of\n"
    "  (value, bar_label, text_value, bar_fg, bar_bg, value_fg, value_bg))";

constexpr const char* kTableDoc =
    "rows: list of (cells, row_fg, row_bg, height)\n"
    "each cell: (IrLine, cell_fg, cell_bg, cell_mods)\n"
    "widths: list of (kind: int, value: float) \u2014 kind 0=Length, 1=Pct, 2=Fill";

constexpr const char* kScrollbarDoc = "orientation: 0=VerticalRight, 1=VerticalLeft, 2=HorizontalBottom, 3=HorizontalTop";

constexpr const char* kCanvasDoc =
    "shapes: list of tagged tuples, one per shape:\n"
    "  (\"line\",   x1, y1, x2, y2, Color)\n"
    "  (\"points\", [(x,y),...], Color)\n"
    "  (\"rect\",   x, y, w, h, Color)\n"
    "  (\"circle\", x, y, r, Color)\n"
    "  (\"print\",  x, y, text_str)";

}  // namespace

PyTypeObject* IrLineClass::create() {
    ClassBuilder<IrLineClass> b;
    b.static_method("raw", "(content)", [](Args& a) { return make<IrLineClass>(Line::raw(a.get<std::string>(0))); })
        .static_method("styled", "(content, fg=None, bg=None, modifiers=...)", [](Args& a) {
            Line line = Line::raw(a.get<std::string>(0));
            line.style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
            return make<IrLineClass>(std::move(line));
        });
    PyMethodDef from_spans = method_def<IrLineClass>(
        "from_spans", "(spans)",
        [](Args& a) {
            Line line;
            with_note("spans", [&] {
                for (const Ref& s : items_of(a[0])) {
                    const std::vector<PyObject*> t = tuple_items_exact(s.get(), 4);
                    std::string content = to_utf8(t[0]);
                    line.spans.push_back(
                        core::Span{std::move(content), ce::ir_style(opt_color(t[1]), opt_color(t[2]), modifier_set(t[3]))});
                }
            });
            return make<IrLineClass>(std::move(line));
        },
        METH_STATIC);
    from_spans.ml_doc = detail::keep("from_spans(spans)\n--\n\nAccept a list of `(content, fg, bg, modifiers)` 4-tuples.");
    b.raw_method(from_spans);
    return b.build();
}

PyTypeObject* CoreRenderIRClass::create() {
    ClassBuilder<CoreRenderIRClass> b;
    b.static_method("span", "(content, fg=None, bg=None, modifiers=...)",
                    [](Args& a) {
                        std::string content = a.get<std::string>(0);
                        const Style style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
                        return ir_object(ce::ir_span(std::move(content), style));
                    })
        .static_method("line", "(ir_line)", [](Args& a) { return ir_object(ce::ir_line(a.value<IrLineClass>(0))); })
        .static_method("text_raw", "(content, fg=None, bg=None, modifiers=..., align=None)",
                       [](Args& a) {
                           std::vector<Line> lines = content_lines(a.get<std::string>(0));
                           const Style style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
                           return ir_object(ce::ir_text(std::move(lines), style, align_arg(a, 4)));
                       })
        .static_method("text_lines", "(lines, fg=None, bg=None, modifiers=..., align=None)",
                       [](Args& a) {
                           std::vector<Line> lines = lines_arg(a, 0);
                           const Style style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
                           return ir_object(ce::ir_text(std::move(lines), style, align_arg(a, 4)));
                       })
        .raw_method(documented_static("glyph_overlay", "(lines)", kGlyphOverlayDoc,
                                      [](Args& a) { return ir_object(ce::ir_glyph_overlay(lines_arg(a, 0))); }))
        .static_method("paragraph_raw", "(content, fg=None, bg=None, modifiers=..., align=None, wrap=True)",
                       [](Args& a) {
                           std::vector<Line> lines = content_lines(a.get<std::string>(0));
                           const Style style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
                           const auto align = align_arg(a, 4);
                           const bool wrap = a.get_or<bool>(5, true);
                           return ir_object(ce::ir_paragraph(std::move(lines), style, align, wrap));
                       })
        .static_method("paragraph_lines", "(lines, fg=None, bg=None, modifiers=..., align=None, wrap=True)",
                       [](Args& a) {
                           std::vector<Line> lines = lines_arg(a, 0);
                           const Style style = ce::ir_style(color_arg(a, 1), color_arg(a, 2), modifiers_arg(a, 3));
                           const auto align = align_arg(a, 4);
                           const bool wrap = a.get_or<bool>(5, true);
                           return ir_object(ce::ir_paragraph(std::move(lines), style, align, wrap));
                       })
        .static_method("list",
                       "(items, selected=None, fg=None, bg=None, highlight_fg=None, highlight_bg=None, "
                       "highlight_symbol=...)",
                       [](Args& a) { return build_list(a); })
        .static_method("progress_bar", "(progress, label=None, fg=None, bg=None)",
                       [](Args& a) {
                           const double progress = a.get<double>(0);
                           auto label = a.get_or<std::optional<std::string>>(1, std::nullopt);
                           return ir_object(ce::ir_progress_bar(progress, std::move(label), style_arg(a, 2, 3)));
                       })
        .static_method("clear", "()", [](Args&) { return ir_object(ce::ir_clear()); })
        .static_method("sparkline",
                       "(data=..., max_value=None, fg=None, bg=None, absent_value_fg=None, absent_value_symbol=None)",
                       [](Args& a) { return build_sparkline(a); })
        .static_method("line_gauge", "(progress, label=None, fg=None, bg=None, filled_fg=None, unfilled_fg=None)",
                       [](Args& a) { return build_line_gauge(a); })
        .raw_method(documented_static("bar_chart",
                                      "(groups=..., bar_width=1, bar_gap=1, group_gap=0, max_value=None, "
                                      "horizontal=False, fg=None, value_fg=None, label_fg=None)",
                                      kBarChartDoc, [](Args& a) { return build_bar_chart(a); }))
        .raw_method(documented_static("table",
                                      "(rows=..., header=None, footer=None, widths=..., column_spacing=1, "
                                      "selected_row=None, selected_column=None, highlight_fg=None, "
                                      "highlight_bg=None, highlight_symbol=None)",
                                      kTableDoc, [](Args& a) { return build_table(a); }))
        .raw_method(documented_static("scrollbar",
                                      "(orientation=0, content_length=0, position=0, viewport_length=None, "
                                      "fg=None, thumb_fg=None, track_fg=None, begin_symbol=None, end_symbol=None)",
                                      kScrollbarDoc, [](Args& a) { return build_scrollbar(a); }))
        .static_method("tabs",
                       "(titles=..., selected=0, fg=None, bg=None, highlight_fg=None, highlight_bg=None, "
                       "divider=None, padding_left=..., padding_right=...)",
                       [](Args& a) { return build_tabs(a); })
        .raw_method(documented_static("canvas", "(shapes=..., x_bounds=..., y_bounds=..., background=None, marker=None)",
                                      kCanvasDoc, [](Args& a) { return build_canvas(a); }))
        .method("measure", "($self)", [](const std::shared_ptr<const ce::IrValue>& v) {
            const auto [w, h] = ce::measure(*v);
            return tuple_of({to_py(w), to_py(h)});
        });
    return b.build();
}

TARVO_REGISTER_CLASS(IrLineClass);
TARVO_REGISTER_CLASS(CoreRenderIRClass);

}  // namespace tarvo::bindings
