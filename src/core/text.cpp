#include "core/text.hpp"

#include <algorithm>
#include <string>

#include "core/buffer.hpp"
#include "core/debug.hpp"
#include "core/numeric.hpp"
#include "core/unicode.hpp"

namespace tarvo::core {

namespace {

constexpr std::string_view kStylePrefix = "Style::new()";

// The area moved right by `n` columns and narrowed by as much.
Rect indent_x(const Rect& r, std::uint16_t n) noexcept {
    return Rect{sat_add<std::uint16_t>(r.x, n), r.y, sat_sub<std::uint16_t>(r.width, n), r.height};
}

std::uint16_t to_u16(std::size_t v) noexcept { return v > 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(v); }

void append_symbol(Cell& cell, std::string_view g) {
    std::string joined(cell.symbol.view());
    joined += g;
    cell.set_symbol(joined);
}

// Draws spans side by side from the area's left edge, leaving out the first `skip` columns of
// the line: spans that lie wholly in the skipped part are dropped, and the one the cut falls
// into loses graphemes from its start.
void render_spans(const std::vector<Span>& spans, Rect area, Buffer& buf, std::size_t skip) {
    for (const Span& span : spans) {
        const std::size_t width = span.width();
        if (skip >= width) {  // also drops every span of width 0
            skip -= width;
            continue;
        }
        const std::size_t available = width - skip;
        skip = 0;
        if (width <= available) {
            if (area.is_empty()) break;
            span.render(area, buf);
            area = indent_x(area, to_u16(width));
            continue;
        }
        const unicode::Truncated cut = unicode::truncate_start(span.content, available);
        // A wide grapheme cut in half leaves its visible column blank.
        area = indent_x(area, to_u16(available - cut.width));
        if (area.is_empty()) break;
        Span{std::string(cut.text), span.style}.render(area, buf);
        area = indent_x(area, to_u16(cut.width));
    }
}

std::string joined_reprs(const std::vector<Span>& spans) {
    return debug::list(spans, [](const Span& s) { return s.repr(); });
}

}  // namespace

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t nl = text.find('\n', start);
        if (nl == std::string_view::npos) {
            out.push_back(text.substr(start));
            break;
        }
        std::size_t end = nl;
        if (end > start && text[end - 1] == '\r') --end;
        out.push_back(text.substr(start, end - start));
        start = nl + 1;
    }
    return out;
}

std::string style_calls(const Style& style) {
    if (style == Style{}) return {};
    std::string s = style_repr(style);
    if (s.compare(0, kStylePrefix.size(), kStylePrefix) == 0) s.erase(0, kStylePrefix.size());
    return s;
}

std::string_view alignment_call(std::optional<Alignment> alignment) noexcept {
    if (!alignment) return {};
    switch (*alignment) {
        case Alignment::Left: return ".left_aligned()";
        case Alignment::Center: return ".centered()";
        case Alignment::Right: return ".right_aligned()";
    }
    return {};
}

// ---- Span ----

std::size_t Span::width() const noexcept { return unicode::str_width(content); }

std::string Span::repr() const {
    std::string out = content.empty() ? std::string("Span::default()")
                                      : "Span::from(" + debug::quoted(content) + ")";
    out += style_calls(style);
    return out;
}

void Span::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    if (area.is_empty()) return;
    // Columns are counted in 32 bits: the area may end at the grid's last column, where a
    // 16-bit sum would saturate and place the next grapheme past the buffer.
    std::uint32_t x = area.x;
    const std::uint16_t y = area.y;
    const std::uint32_t right = area.right();
    std::size_t index = 0;
    unicode::for_each_grapheme(content, [&](std::string_view g) {
        if (unicode::has_control(g)) return true;
        const std::size_t w = unicode::grapheme_width(g);
        const std::uint32_t next_x = x + to_u16(w);
        if (next_x > right) return false;
        if (index == 0) {
            buf.cell_at(x, y)->set_symbol(g).set_style(style);
        } else if (x == area.x) {
            // Zero-width graphemes at the start share the first cell.
            Cell& cell = *buf.cell_at(x, y);
            append_symbol(cell, g);
            cell.set_style(style);
        } else if (w == 0) {
            Cell& cell = *buf.cell_at(x - 1, y);
            append_symbol(cell, g);
            cell.set_style(style);
        } else {
            buf.cell_at(x, y)->set_symbol(g).set_style(style);
        }
        // The cells a wide grapheme covers are cleared so that nothing hidden shows up later.
        for (std::uint32_t hx = x + 1; hx < next_x; ++hx) buf.cell_at(hx, y)->reset();
        x = next_x;
        ++index;
        return true;
    });
}

// ---- Line ----

Line Line::raw(std::string_view content) {
    Line l;
    for (std::string_view piece : split_lines(content)) l.spans.push_back(Span::raw(std::string(piece)));
    return l;
}

Line Line::styled(std::string_view content, const Style& style) {
    Line l = raw(content);
    l.style = style;
    return l;
}

std::size_t Line::width() const noexcept {
    std::size_t w = 0;
    for (const Span& s : spans) w += s.width();
    return w;
}

std::string Line::repr() const {
    std::string out;
    if (spans.empty()) {
        out = "Line::default()";
    } else if (spans.size() == 1 && spans[0].style == Style{}) {
        out = "Line::from(\"" + spans[0].content + "\")";
    } else if (spans.size() == 1) {
        out = "Line::from(" + spans[0].repr() + ")";
    } else {
        out = "Line::from_iter(" + joined_reprs(spans) + ")";
    }
    out += alignment_call(alignment);
    out += style_calls(style);
    return out;
}

void Line::render(const Rect& target, Buffer& buf, std::optional<Alignment> fallback) const {
    Rect area = target.intersection(buf.area);
    if (area.is_empty()) return;
    area.height = 1;
    const std::size_t line_width = width();
    if (line_width == 0) return;
    buf.set_style(area, style);
    const Alignment align = alignment.value_or(fallback.value_or(Alignment::Left));
    const std::size_t area_width = area.width;
    if (line_width <= area_width) {
        const std::size_t spare = area_width - line_width;
        const std::size_t indent =
            align == Alignment::Center ? spare / 2 : align == Alignment::Right ? spare : 0;
        render_spans(spans, indent_x(area, to_u16(indent)), buf, 0);
    } else {
        const std::size_t excess = line_width - area_width;
        const std::size_t skip =
            align == Alignment::Center ? excess / 2 : align == Alignment::Right ? excess : 0;
        render_spans(spans, area, buf, skip);
    }
}

// ---- Text ----

Text Text::raw(std::string_view content) {
    Text t;
    const std::vector<std::string_view> pieces = split_lines(content);
    if (pieces.empty()) {
        t.lines.emplace_back();
        return t;
    }
    t.lines.reserve(pieces.size());
    for (std::string_view piece : pieces) t.lines.push_back(Line::from_span(Span::raw(std::string(piece))));
    return t;
}

Text Text::styled(std::string_view content, const Style& style) {
    Text t = raw(content);
    t.style = style;
    return t;
}

std::size_t Text::width() const noexcept {
    std::size_t w = 0;
    for (const Line& l : lines) w = std::max(w, l.width());
    return w;
}

std::string Text::repr() const {
    std::string out;
    if (lines.empty()) {
        out = "Text::default()";
    } else if (lines.size() == 1) {
        out = "Text::from(" + lines[0].repr() + ")";
    } else {
        out = "Text::from_iter(" + debug::list(lines, [](const Line& l) { return l.repr(); }) + ")";
    }
    out += alignment_call(alignment);
    out += style_calls(style);
    return out;
}

void Text::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    buf.set_style(area, style);
    const std::size_t rows = std::min<std::size_t>(lines.size(), area.height);
    for (std::size_t i = 0; i < rows; ++i) {
        const Rect row{area.x, static_cast<std::uint16_t>(area.y + i), area.width, 1};
        lines[i].render(row, buf, alignment);
    }
}

}  // namespace tarvo::core
