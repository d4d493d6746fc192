#include "core/widgets/scrollbar.hpp"

#include <cmath>

#include "core/unicode.hpp"

namespace tarvo::core {

namespace {

std::uint16_t symbol_width(const std::optional<std::string>& s) noexcept {
    return s ? clamp_to<std::uint16_t>(unicode::str_width(*s)) : std::uint16_t{0};
}

}  // namespace

Scrollbar Scrollbar::make(ScrollbarOrientation orientation) {
    Scrollbar s;
    s.orientation = orientation;
    s.thumb_symbol = "\u2588";  // █
    if (s.is_vertical()) {
        s.track_symbol = "\u2551";  // ║
        s.begin_symbol = "\u25B2";  // ▲
        s.end_symbol = "\u25BC";    // ▼
    } else {
        s.track_symbol = "\u2550";  // ═
        s.begin_symbol = "\u25C4";  // ◄
        s.end_symbol = "\u25BA";    // ►
    }
    return s;
}

std::uint16_t Scrollbar::track_length(const Rect& area) const noexcept {
    const std::uint16_t arrows = sat_add(symbol_width(begin_symbol), symbol_width(end_symbol));
    return sat_sub(is_vertical() ? area.height : area.width, arrows);
}

Scrollbar::Parts Scrollbar::part_lengths(const Rect& area, const ScrollbarState& state) const {
    const double track = static_cast<double>(track_length(area));
    const std::uint64_t viewport_cells = state.viewport_content_length != 0
                                             ? state.viewport_content_length
                                             : (is_vertical() ? area.height : area.width);
    const double viewport = static_cast<double>(viewport_cells);

    // The thumb reaches the end of the track when the last position is at the start of the
    // view, so positions run over the content plus one view.
    const double max_position = static_cast<double>(sat_sub<std::uint64_t>(state.content_length, 1));
    const double start = std::clamp(static_cast<double>(state.position), 0.0, max_position);
    const double max_viewport_position = max_position + viewport;
    const double end = start + viewport;

    const double thumb_start = start * track / max_viewport_position;
    const double thumb_end = end * track / max_viewport_position;

    // Rounding both ends to the nearest cell (rather than flooring the start and ceiling the
    // size) keeps the thumb steady; it is always at least one cell long.
    const auto first = sat_cast<std::uint64_t>(std::clamp(std::round(thumb_start), 0.0, track - 1.0));
    const auto last = sat_cast<std::uint64_t>(std::clamp(std::round(thumb_end), 0.0, track));
    const std::uint64_t thumb = std::max<std::uint64_t>(sat_sub(last, first), 1);
    const std::uint64_t after = sat_sub(static_cast<std::uint64_t>(track_length(area)), sat_add(first, thumb));
    return Parts{first, thumb, after};
}

void Scrollbar::render(const Rect& area, Buffer& buf, const ScrollbarState& state) const {
    if (state.content_length == 0 || track_length(area) == 0 || area.is_empty()) return;

    Rect bar = area;
    switch (orientation) {
        case ScrollbarOrientation::VerticalLeft: bar.width = 1; break;
        case ScrollbarOrientation::VerticalRight:
            bar.x = static_cast<std::uint16_t>(area.right() - 1);
            bar.width = 1;
            break;
        case ScrollbarOrientation::HorizontalTop: bar.height = 1; break;
        case ScrollbarOrientation::HorizontalBottom:
            bar.y = static_cast<std::uint16_t>(area.bottom() - 1);
            bar.height = 1;
            break;
    }

    const Parts parts = part_lengths(bar, state);
    const std::uint64_t cells = is_vertical() ? bar.height : bar.width;
    // The symbols run begin arrow, track, thumb, track, end arrow, one per cell, until either
    // the cells or the symbols run out.
    std::uint64_t k = 0;
    auto put = [&](const std::string& symbol, const Style& style) {
        if (k >= cells) return false;
        const std::uint16_t x = is_vertical() ? bar.x : static_cast<std::uint16_t>(bar.x + k);
        const std::uint16_t y = is_vertical() ? static_cast<std::uint16_t>(bar.y + k) : bar.y;
        buf.set_string(x, y, symbol, style);
        ++k;
        return true;
    };
    auto run = [&](const std::string& symbol, const Style& style, std::uint64_t n) {
        for (std::uint64_t i = 0; i < n; ++i)
            if (!put(symbol, style)) return false;
        return true;
    };
    if (begin_symbol && !put(*begin_symbol, begin_style)) return;
    if (!run(track_symbol, track_style, parts.track_before)) return;
    if (!run(thumb_symbol, thumb_style, parts.thumb)) return;
    if (!run(track_symbol, track_style, parts.track_after)) return;
    if (end_symbol) put(*end_symbol, end_style);
}

}  // namespace tarvo::core
