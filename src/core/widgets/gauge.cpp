#include "core/widgets/gauge.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/debug.hpp"
#include "core/numeric.hpp"
#include "core/panic.hpp"

namespace tarvo::core {

namespace {

// The block element that shows `frac` (0..1) of a cell filled from the left.
const char* partial_block(double frac) {
    switch (sat_cast<std::uint16_t>(std::round(frac * 8.0))) {
        case 1: return "\u258F";
        case 2: return "\u258E";
        case 3: return "\u258D";
        case 4: return "\u258C";
        case 5: return "\u258B";
        case 6: return "\u258A";
        case 7: return "\u2589";
        case 8: return "\u2588";
        default: return " ";
    }
}

// An integral float as the plain decimal text of its value ("-0" for negative zero).
std::string integral_text(double v) {
    if (v == 0.0) return std::signbit(v) ? "-0" : "0";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
}

}  // namespace

double gauge_percent_ratio(std::uint16_t percent) {
    if (percent > 100) panic("Percentage should be between 0 and 100 inclusively.");
    return static_cast<double>(percent) / 100.0;
}

double gauge_checked_ratio(double ratio) {
    if (!(ratio >= 0.0 && ratio <= 1.0)) panic("Ratio should be between 0 and 1 inclusively.");
    return ratio;
}

std::string gauge_default_label(double ratio) {
    return integral_text(std::round(ratio * 100.0)) + "%";
}

std::string line_gauge_default_label(double ratio) {
    // Rounds half to even, as formatting with no decimals does, and pads the number to three
    // columns so that the line starts in the same column at every ratio.
    std::string number = integral_text(std::nearbyint(ratio * 100.0));
    if (number.size() < 3) number.insert(0, 3 - number.size(), ' ');
    return number + "%";
}

std::string Gauge::repr() const {
    return debug::Struct("Gauge")
        .field("block", optional_block_repr(block))
        .field("ratio", debug::f64(ratio))
        .field("label", debug::option(label, [](const Span& s) { return s.repr(); }))
        .field("use_unicode", debug::boolean(use_unicode))
        .field("style", style_repr(style))
        .field("gauge_style", style_repr(gauge_style))
        .finish();
}

void Gauge::render(const Rect& area, Buffer& buf) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect g = inner_area(block, area);
    if (g.is_empty()) return;

    buf.set_style(g, gauge_style);

    const Span fallback = label ? Span{} : Span::raw(gauge_default_label(ratio));
    const Span& text = label ? *label : fallback;
    const std::uint32_t label_width = static_cast<std::uint32_t>(std::min<std::size_t>(g.width, text.width()));
    const std::uint32_t label_col = g.x + (g.width - label_width) / 2;
    const std::uint32_t label_row = g.y + g.height / 2;

    // The filled part runs from the left edge to `end` (exclusive).
    const double filled_width = static_cast<double>(g.width) * ratio;
    const double whole = use_unicode ? std::floor(filled_width) : std::round(filled_width);
    const std::uint32_t end = g.x + std::min<std::uint32_t>(sat_cast<std::uint16_t>(whole), g.width);

    const Color fill_fg = gauge_style.fg.value_or(Color{});
    const Color fill_bg = gauge_style.bg.value_or(Color{});
    // Only the part of the gauge inside the buffer is visited.
    const Rect shown = g.intersection(buf.area);
    const std::uint32_t fill_end = std::min<std::uint32_t>(end, shown.right());
    for (std::uint32_t y = shown.y; y < shown.bottom(); ++y) {
        for (std::uint32_t x = shown.x; x < fill_end; ++x) {
            Cell* cell = buf.cell_at(x, y);
            if (!cell) continue;
            // Under the label the colours are swapped so that the text stays readable.
            if (x < label_col || x >= label_col + label_width || y != label_row) {
                cell->set_symbol("\u2588");
                cell->fg = fill_fg;
                cell->bg = fill_bg;
            } else {
                cell->set_symbol(" ");
                cell->fg = fill_bg;
                cell->bg = fill_fg;
            }
        }
        if (use_unicode && ratio < 1.0) {
            if (Cell* cell = buf.cell_at(end, y); cell && end < g.right())
                cell->set_symbol(partial_block(std::fmod(filled_width, 1.0)));
        }
    }
    buf.set_span(static_cast<std::uint16_t>(label_col), static_cast<std::uint16_t>(label_row), text,
                 static_cast<std::uint16_t>(label_width));
}

void LineGauge::render(const Rect& area, Buffer& buf) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect g = inner_area(block, area);
    if (g.is_empty()) return;

    const Line fallback = label ? Line{} : Line::raw(line_gauge_default_label(ratio));
    const Line& text = label ? *label : fallback;
    const Position after = buf.set_line(g.x, g.y, text, g.width);
    const std::uint32_t start = std::uint32_t{after.x} + 1;
    const std::uint32_t right = g.right();
    if (start >= right) return;

    const double filled = std::floor(static_cast<double>(right - start) * ratio);
    const std::uint32_t end = start + std::min<std::uint32_t>(sat_cast<std::uint16_t>(filled), right - start);
    const std::uint32_t shown_right = std::min<std::uint32_t>(right, buf.area.right());
    for (std::uint32_t x = std::max<std::uint32_t>(start, buf.area.x); x < shown_right; ++x) {
        if (Cell* cell = buf.cell_at(x, after.y)) {
            cell->set_symbol(kLineSymbol);
            cell->set_style(x < end ? filled_style : unfilled_style);
        }
    }
}

}  // namespace tarvo::core
