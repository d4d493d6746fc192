#include "core/engine/ir.hpp"

#include <algorithm>
#include <cmath>

#include "core/numeric.hpp"

namespace tarvo::core::engine {

namespace {

// The lines of a text with `bg` put on every span (replacing the spans' own background).
std::vector<Line> with_span_background(std::vector<Line> lines, Color bg) {
    for (Line& line : lines)
        for (Span& span : line.spans) span.style.bg = bg;
    return lines;
}

// The paragraph of the text kinds: the style's background goes into the spans, the rest of the
// style onto the paragraph (and so onto every cell of the area).
Paragraph text_paragraph(Text text, Style style) {
    if (style.bg) {
        text.lines = with_span_background(std::move(text.lines), *style.bg);
        style.bg.reset();
    }
    Paragraph p = Paragraph::of(std::move(text));
    p.style = style;
    return p;
}

double clamp_ratio(double progress) {
    if (std::isnan(progress)) return 0.0;
    return std::clamp(progress, 0.0, 1.0);
}

Row table_row(IrTableRow row) {
    Row out;
    out.cells.reserve(row.cells.size());
    for (IrTableCell& cell : row.cells) out.cells.push_back(TableCell{Text::from_line(std::move(cell.line)), cell.style, 1});
    out.style = row.style;
    out.height = row.height;
    return out;
}

std::uint64_t widest(const std::vector<Line>& lines) {
    std::uint64_t w = 0;
    for (const Line& l : lines) w = std::max<std::uint64_t>(w, l.width());
    return w;
}

std::pair<std::uint64_t, std::uint64_t> text_size(const Text& text) {
    return {widest(text.lines), std::max<std::uint64_t>(text.lines.size(), 1)};
}

// The byte length of the UTF-8 scalar value starting with `lead` (1 for a stray byte).
std::size_t scalar_length(unsigned char lead) noexcept {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

struct Measure {
    std::pair<std::uint64_t, std::uint64_t> operator()(const SpanIr& v) const {
        return {v.paragraph.text.lines.front().spans.front().width(), 1};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const LineIr& v) const {
        return {v.paragraph.text.lines.front().width(), 1};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const TextIr& v) const { return text_size(v.paragraph.text); }
    std::pair<std::uint64_t, std::uint64_t> operator()(const ParagraphIr& v) const {
        return text_size(v.paragraph.text);
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const GlyphOverlayIr& v) const {
        return {widest(v.lines), std::max<std::uint64_t>(v.lines.size(), 1)};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const ListIr& v) const {
        const auto& items = v.list.items;
        if (items.empty()) return {0, 1};
        std::uint64_t w = 0;
        for (const ListItem& item : items) w = std::max(w, widest(item.content.lines));
        const std::uint64_t symbol = v.list.highlight_symbol ? v.list.highlight_symbol->width() : 0;
        return {symbol + w, items.size()};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const ProgressBarIr&) const { return {0, 1}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const ClearIr&) const { return {0, 0}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const SparklineIr&) const { return {0, 1}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const LineGaugeIr&) const { return {0, 1}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const BarChartIr&) const { return {0, 0}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const TableIr& v) const {
        // Counted in 64 bits: a table of more than 65535 rows reports its real height.
        return {0, std::uint64_t{v.table.rows.size()} + (v.table.header ? 1 : 0) + (v.table.footer ? 1 : 0)};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const ScrollbarIr& v) const {
        return v.scrollbar.is_vertical() ? std::pair<std::uint64_t, std::uint64_t>{1, 0}
                                         : std::pair<std::uint64_t, std::uint64_t>{0, 1};
    }
    std::pair<std::uint64_t, std::uint64_t> operator()(const TabsIr&) const { return {0, 1}; }
    std::pair<std::uint64_t, std::uint64_t> operator()(const CanvasIr&) const { return {0, 0}; }
};

struct Draw {
    const Rect& area;
    Buffer& buf;

    void operator()(const SpanIr& v) const { v.paragraph.render(area, buf); }
    void operator()(const LineIr& v) const { v.paragraph.render(area, buf); }
    void operator()(const TextIr& v) const { v.paragraph.render(area, buf); }
    void operator()(const ParagraphIr& v) const { v.paragraph.render(area, buf); }
    void operator()(const GlyphOverlayIr& v) const { overlay_glyphs(v.lines, area, buf); }
    void operator()(const ListIr& v) const {
        ListState state;
        state.selected = v.selected;
        v.list.render(area, buf, state);
    }
    void operator()(const ProgressBarIr& v) const { v.gauge.render(area, buf); }
    void operator()(const ClearIr&) const { Clear{}.render(area, buf); }
    void operator()(const SparklineIr& v) const { v.sparkline.render(area, buf); }
    void operator()(const LineGaugeIr& v) const { v.gauge.render(area, buf); }
    void operator()(const BarChartIr& v) const { v.chart.render(area, buf); }
    void operator()(const TableIr& v) const {
        TableState state;
        state.selected = v.selected_row;
        state.selected_column = v.selected_column;
        v.table.render(area, buf, state);
    }
    void operator()(const ScrollbarIr& v) const { v.scrollbar.render(area, buf, v.state); }
    void operator()(const TabsIr& v) const { v.tabs.render(area, buf); }
    void operator()(const CanvasIr& v) const { v.canvas.render(area, buf); }
};

}  // namespace

Style ir_style(OptColor fg, OptColor bg, std::uint16_t modifiers) {
    Style s;
    s.fg = fg;
    s.bg = bg;
    s.add_modifier = modifiers;
    return s;
}

std::optional<Alignment> ir_alignment(std::optional<std::uint8_t> align) {
    if (!align || *align > 2) return std::nullopt;
    return static_cast<Alignment>(*align);
}

IrValue ir_span(std::string content, const Style& style) {
    Paragraph p = Paragraph::of(Text::from_line(Line::from_span(Span{std::move(content), style})));
    return SpanIr{std::move(p)};
}

IrValue ir_line(Line line) {
    Paragraph p = Paragraph::of(Text::from_line(std::move(line)));
    p.alignment = Alignment::Left;
    return LineIr{std::move(p)};
}

IrValue ir_text(std::vector<Line> lines, const Style& style, std::optional<Alignment> align) {
    Text text;
    text.lines = std::move(lines);
    text.style = style;
    text.alignment = align;
    return TextIr{text_paragraph(std::move(text), style)};
}

IrValue ir_paragraph(std::vector<Line> lines, const Style& style, std::optional<Alignment> align, bool wrap) {
    Text text;
    text.lines = std::move(lines);
    Paragraph p = text_paragraph(std::move(text), style);
    if (wrap) p.wrap = Wrap{false};
    if (align) p.alignment = *align;
    return ParagraphIr{std::move(p)};
}

IrValue ir_glyph_overlay(std::vector<Line> lines) { return GlyphOverlayIr{std::move(lines)}; }

IrValue ir_list(ListDesc desc) {
    ListIr v;
    v.list.items.reserve(desc.items.size());
    for (Line& line : desc.items) v.list.items.push_back(ListItem::from_line(std::move(line)));
    v.list.style = desc.style;
    v.list.highlight_style = desc.highlight_style;
    v.list.highlight_symbol = Line::raw(desc.highlight_symbol);
    v.selected = desc.selected;
    return v;
}

IrValue ir_progress_bar(double progress, std::optional<std::string> label, const Style& style) {
    ProgressBarIr v;
    v.gauge.ratio = clamp_ratio(progress);
    v.gauge.style = style;
    if (label) v.gauge.label = Span::raw(std::move(*label));
    return v;
}

IrValue ir_clear() { return ClearIr{}; }

IrValue ir_sparkline(SparklineDesc desc) {
    SparklineIr v;
    v.sparkline.data.reserve(desc.data.size());
    for (std::uint64_t d : desc.data) v.sparkline.data.push_back(SparklineBar{d, std::nullopt});
    v.sparkline.max = desc.max_value;
    v.sparkline.style = desc.style;
    v.sparkline.absent_value_style = desc.absent_value_style;
    if (desc.absent_value_symbol) v.sparkline.absent_value_symbol = std::move(*desc.absent_value_symbol);
    return v;
}

IrValue ir_line_gauge(LineGaugeDesc desc) {
    LineGaugeIr v;
    v.gauge.ratio = clamp_ratio(desc.progress);
    if (desc.label) v.gauge.label = Line::raw(*desc.label);
    v.gauge.style = desc.style;
    v.gauge.filled_style = desc.filled_style;
    v.gauge.unfilled_style = desc.unfilled_style;
    return v;
}

IrValue ir_bar_chart(BarChartDesc desc) {
    BarChartIr v;
    BarChart& c = v.chart;
    c.bar_width = desc.bar_width;
    c.bar_gap = desc.bar_gap;
    c.group_gap = desc.group_gap;
    c.max = desc.max_value;
    c.direction = desc.horizontal ? Direction::Horizontal : Direction::Vertical;
    c.bar_style = desc.bar_style;
    c.value_style = desc.value_style;
    c.label_style = desc.label_style;
    for (IrBarGroup& g : desc.groups) {
        BarGroup group;
        if (g.label) group.label = Line::raw(*g.label);
        group.bars.reserve(g.bars.size());
        for (IrBar& b : g.bars) {
            Bar bar;
            bar.value = b.value;
            bar.label = Line::raw(b.label);
            bar.text_value = std::move(b.text_value);
            bar.style = b.style;
            bar.value_style = b.value_style;
            group.bars.push_back(std::move(bar));
        }
        c.add_group(std::move(group));
    }
    return v;
}

Constraint ir_width_constraint(const IrWidth& width) {
    const std::uint16_t n = sat_cast<std::uint16_t>(width.value);
    if (width.kind == 1) return Constraint::percentage(n);
    if (width.kind == 2) return Constraint::fill(n);
    return Constraint::length(n);
}

IrValue ir_table(TableDesc desc) {
    TableIr v;
    Table& t = v.table;
    t.rows.reserve(desc.rows.size());
    for (IrTableRow& r : desc.rows) t.rows.push_back(table_row(std::move(r)));
    if (desc.header) t.header = table_row(std::move(*desc.header));
    if (desc.footer) t.footer = table_row(std::move(*desc.footer));
    t.widths.reserve(desc.widths.size());
    for (const IrWidth& w : desc.widths) t.widths.push_back(ir_width_constraint(w));
    Table::check_widths(t.widths);
    t.column_spacing = desc.column_spacing;
    t.row_highlight_style = desc.highlight_style;
    if (desc.highlight_symbol) t.highlight_symbol = Text::raw(*desc.highlight_symbol);
    v.selected_row = desc.selected_row;
    v.selected_column = desc.selected_column;
    return v;
}

IrValue ir_scrollbar(ScrollbarDesc desc) {
    const auto orientation = static_cast<ScrollbarOrientation>(desc.orientation <= 3 ? desc.orientation : 0);
    ScrollbarIr v;
    v.scrollbar = Scrollbar::make(orientation);
    v.scrollbar.begin_symbol = std::move(desc.begin_symbol);
    v.scrollbar.end_symbol = std::move(desc.end_symbol);
    v.scrollbar.thumb_style = desc.thumb_style;
    v.scrollbar.track_style = desc.track_style;
    v.scrollbar.begin_style = desc.style;
    v.scrollbar.end_style = desc.style;
    v.state.content_length = desc.content_length;
    v.state.position = desc.position;
    v.state.viewport_content_length = desc.viewport_length.value_or(0);
    return v;
}

IrValue ir_tabs(TabsDesc desc) {
    TabsIr v;
    v.tabs.titles = std::move(desc.titles);
    v.tabs.selected = static_cast<std::size_t>(desc.selected);
    v.tabs.style = desc.style;
    v.tabs.highlight_style = desc.highlight_style;
    v.tabs.padding_left = Line::raw(desc.padding_left);
    v.tabs.padding_right = Line::raw(desc.padding_right);
    if (desc.divider) v.tabs.divider = Span::raw(std::move(*desc.divider));
    return v;
}

IrValue ir_canvas(CanvasDesc desc) {
    CanvasIr v;
    v.canvas.shapes = std::move(desc.shapes);
    v.canvas.labels = std::move(desc.labels);
    v.canvas.x_bounds = desc.x_bounds;
    v.canvas.y_bounds = desc.y_bounds;
    v.canvas.marker = desc.marker && *desc.marker <= 4 ? static_cast<Marker>(*desc.marker) : Marker::Braille;
    if (desc.background) v.canvas.background_color = *desc.background;
    return v;
}

std::pair<std::uint64_t, std::uint64_t> measure(const IrValue& value) { return std::visit(Measure{}, value); }

void render_ir(const IrValue& value, const Rect& area, Buffer& buf) { std::visit(Draw{area, buf}, value); }

void overlay_glyphs(const std::vector<Line>& lines, const Rect& area, Buffer& buf) {
    const std::uint32_t right = area.right();
    const std::uint32_t bottom = area.bottom();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::uint32_t row = std::min<std::uint64_t>(std::uint64_t{area.y} + i, 65535);
        if (row >= bottom) break;
        std::uint32_t col = area.x;
        for (const Span& span : lines[i].spans) {
            const std::string_view s = span.content;
            for (std::size_t at = 0; at < s.size();) {
                if (col >= right) break;
                const std::size_t n = std::min(scalar_length(static_cast<unsigned char>(s[at])), s.size() - at);
                const std::string_view ch = s.substr(at, n);
                at += n;
                if (ch != " ") {
                    if (Cell* cell = buf.cell_at(col, row)) {
                        cell->set_symbol(ch);
                        cell->set_style(span.style);
                    }
                }
                col = std::min<std::uint32_t>(col + 1, 65535);
            }
        }
    }
}

}  // namespace tarvo::core::engine
