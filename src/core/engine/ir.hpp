// The render IR: widget descriptions held as plain values, measured and drawn without any
// call back into the caller. Each kind keeps the widget it draws ready built, so a frame of
// many IR values costs only their drawing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/barchart.hpp"
#include "core/widgets/canvas.hpp"
#include "core/widgets/clear.hpp"
#include "core/widgets/gauge.hpp"
#include "core/widgets/list.hpp"
#include "core/widgets/paragraph.hpp"
#include "core/widgets/scrollbar.hpp"
#include "core/widgets/sparkline.hpp"
#include "core/widgets/table.hpp"
#include "core/widgets/tabs.hpp"

namespace tarvo::core::engine {

// ---- the kinds, in declaration order ----

// One run of text, kept whole (line breaks are not split).
struct SpanIr {
    Paragraph paragraph;
};
// One line of styled runs.
struct LineIr {
    Paragraph paragraph;
};
// Lines without wrapping; the style's background is carried by the text cells only.
struct TextIr {
    Paragraph paragraph;
};
// Lines with optional word wrapping; the style's background is carried by the text cells only.
struct ParagraphIr {
    Paragraph paragraph;
};
// Lines written over what is below them: blanks leave cells alone, one column per character.
struct GlyphOverlayIr {
    std::vector<Line> lines;
};
struct ListIr {
    List list;
    std::optional<std::uint64_t> selected;
};
struct ProgressBarIr {
    Gauge gauge;
};
struct ClearIr {};
struct SparklineIr {
    Sparkline sparkline;
};
struct LineGaugeIr {
    LineGauge gauge;
};
struct BarChartIr {
    BarChart chart;
};
struct TableIr {
    Table table;
    std::optional<std::uint64_t> selected_row;
    std::optional<std::uint64_t> selected_column;
};
struct ScrollbarIr {
    Scrollbar scrollbar;
    ScrollbarState state;
};
struct TabsIr {
    Tabs tabs;
};
struct CanvasIr {
    Canvas canvas;
};

using IrValue = std::variant<SpanIr, LineIr, TextIr, ParagraphIr, GlyphOverlayIr, ListIr, ProgressBarIr, ClearIr,
                             SparklineIr, LineGaugeIr, BarChartIr, TableIr, ScrollbarIr, TabsIr, CanvasIr>;

// ---- building ----

// The style of `fg`, `bg` and an added modifier set (nothing removed, no underline colour).
Style ir_style(OptColor fg, OptColor bg, std::uint16_t modifiers = 0);
// 0 Left, 1 Center, 2 Right; anything else leaves the alignment unset.
std::optional<Alignment> ir_alignment(std::optional<std::uint8_t> align);

IrValue ir_span(std::string content, const Style& style);
IrValue ir_line(Line line);
// `text` as the text builders make it: its lines, then the style and alignment put on it here.
IrValue ir_text(std::vector<Line> lines, const Style& style, std::optional<Alignment> align);
IrValue ir_paragraph(std::vector<Line> lines, const Style& style, std::optional<Alignment> align, bool wrap);
IrValue ir_glyph_overlay(std::vector<Line> lines);

struct ListDesc {
    std::vector<Line> items;
    std::optional<std::uint64_t> selected;
    std::string highlight_symbol = "> ";
    Style style;
    Style highlight_style;
};
IrValue ir_list(ListDesc desc);

// `progress` is clamped into 0..1; NaN draws an empty bar.
IrValue ir_progress_bar(double progress, std::optional<std::string> label, const Style& style);
IrValue ir_clear();

struct SparklineDesc {
    std::vector<std::uint64_t> data;
    std::optional<std::uint64_t> max_value;
    std::optional<std::string> absent_value_symbol;
    Style style;
    Style absent_value_style;
};
IrValue ir_sparkline(SparklineDesc desc);

struct LineGaugeDesc {
    double progress = 0.0;  // clamped into 0..1 when drawn; NaN draws an empty line
    std::optional<std::string> label;
    Style style;
    Style filled_style;
    Style unfilled_style;
};
IrValue ir_line_gauge(LineGaugeDesc desc);

struct IrBar {
    std::uint64_t value = 0;
    std::string label;
    std::optional<std::string> text_value;
    Style style;
    Style value_style;
};
struct IrBarGroup {
    std::optional<std::string> label;
    std::vector<IrBar> bars;
};
struct BarChartDesc {
    std::vector<IrBarGroup> groups;
    std::uint16_t bar_width = 1;
    std::uint16_t bar_gap = 1;
    std::uint16_t group_gap = 0;
    std::optional<std::uint64_t> max_value;
    bool horizontal = false;
    Style bar_style;
    Style value_style;
    Style label_style;
};
IrValue ir_bar_chart(BarChartDesc desc);

struct IrTableCell {
    Line line;
    Style style;
};
struct IrTableRow {
    std::vector<IrTableCell> cells;
    Style style;
    std::uint16_t height = 1;
};
// A column width: kind 1 Percentage, 2 Fill, anything else Length; the value is truncated
// toward zero into 0..65535 (NaN gives 0).
struct IrWidth {
    std::uint8_t kind = 0;
    double value = 0.0;
};
Constraint ir_width_constraint(const IrWidth& width);
struct TableDesc {
    std::vector<IrTableRow> rows;
    std::optional<IrTableRow> header;
    std::optional<IrTableRow> footer;
    std::vector<IrWidth> widths;
    std::uint16_t column_spacing = 1;
    std::optional<std::uint64_t> selected_row;
    std::optional<std::uint64_t> selected_column;
    Style highlight_style;
    std::optional<std::string> highlight_symbol;
};
// Throws Panic("Percentages should be between 0 and 100 inclusively.") for a percentage width
// above 100, which the table cannot lay out; callers turn it into their own error.
IrValue ir_table(TableDesc desc);

struct ScrollbarDesc {
    std::uint8_t orientation = 0;  // 0 VerticalRight, 1 VerticalLeft, 2 HorizontalBottom, 3 HorizontalTop; others 0
    std::uint64_t content_length = 0;
    std::uint64_t position = 0;
    std::optional<std::uint64_t> viewport_length;
    Style style;
    Style thumb_style;
    Style track_style;
    std::optional<std::string> begin_symbol;
    std::optional<std::string> end_symbol;
};
IrValue ir_scrollbar(ScrollbarDesc desc);

struct TabsDesc {
    std::vector<Line> titles;
    std::uint64_t selected = 0;
    Style style;
    Style highlight_style;
    std::optional<std::string> divider;
    std::string padding_left = " ";
    std::string padding_right = " ";
};
IrValue ir_tabs(TabsDesc desc);

struct CanvasDesc {
    std::vector<CanvasShape> shapes;
    std::vector<CanvasLabel> labels;
    Bounds x_bounds{0.0, 1.0};
    Bounds y_bounds{0.0, 1.0};
    std::optional<Color> background;
    std::optional<std::uint8_t> marker;  // 0 Dot .. 4 HalfBlock; others and none: Braille
};
IrValue ir_canvas(CanvasDesc desc);

// ---- measuring and drawing ----

// The natural (width, height) of a value in cells.
std::pair<std::uint64_t, std::uint64_t> measure(const IrValue& value);

// Draws `value` into `area` of `buf`. Never fails for a built value.
void render_ir(const IrValue& value, const Rect& area, Buffer& buf);

// The glyph overlay's writer: each line from the area's top row down, characters one column
// each from the left edge, blanks skipped, only the spans' own styles applied.
void overlay_glyphs(const std::vector<Line>& lines, const Rect& area, Buffer& buf);

}  // namespace tarvo::core::engine
