#include "core/widgets/barchart.hpp"

#include <algorithm>

#include "core/numeric.hpp"
#include "core/unicode.hpp"
#include "core/widgets/bar_symbols.hpp"

namespace tarvo::core {

namespace {

using Ticks = std::vector<std::vector<std::uint64_t>>;

constexpr std::uint64_t kTicksPerCell = 8;
constexpr std::uint64_t kMaxCoord = 65535;

// A rectangle from wide coordinates: empty when it starts off the 16-bit grid, else cut to it.
Rect grid_rect(std::uint64_t x, std::uint64_t y, std::uint64_t w, std::uint64_t h) {
    if (x > kMaxCoord || y > kMaxCoord) return Rect{};
    return Rect::clipped(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                         static_cast<std::uint16_t>(std::min(w, kMaxCoord)),
                         static_cast<std::uint16_t>(std::min(h, kMaxCoord)));
}

// set_stringn from wide coordinates; writes nothing off the 16-bit grid.
void put_string(Buffer& buf, std::uint64_t x, std::uint64_t y, std::string_view text, std::size_t max_width,
                const Style& style) {
    if (x > kMaxCoord || y > kMaxCoord) return;
    buf.set_stringn(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), text, max_width, style);
}

std::uint16_t width_u16(std::size_t w) { return static_cast<std::uint16_t>(std::min<std::size_t>(w, kMaxCoord)); }

std::uint64_t scale_ticks(std::uint64_t value, std::uint64_t max, std::uint16_t max_length) {
    const unsigned __int128 max_ticks = static_cast<unsigned __int128>(max_length) * kTicksPerCell;
    const unsigned __int128 ticks = static_cast<unsigned __int128>(value) * max_ticks / max;
    return static_cast<std::uint64_t>(std::min(ticks, max_ticks));
}

// The value drawn at the bottom of a vertical bar, centred on it, when it fits.
void render_bar_value(const Bar& bar, Buffer& buf, std::uint16_t max_width, std::uint64_t x, std::uint64_t y,
                      const Style& default_style, std::uint64_t ticks) {
    if (bar.value == 0) return;
    const std::string text = bar.value_text();
    const std::size_t width = unicode::str_width(text);
    if (width < max_width || (width == max_width && ticks >= kTicksPerCell)) {
        const std::uint64_t offset = sat_sub<std::uint16_t>(max_width, width_u16(width)) >> 1;
        put_string(buf, x + offset, y, text, SIZE_MAX, default_style.patch(bar.value_style));
    }
}

// The bar's label centred under a vertical bar; the label style covers the label's cells only.
void render_bar_label(const Bar& bar, Buffer& buf, std::uint16_t max_width, std::uint64_t x, std::uint64_t y,
                      const Style& default_style) {
    const std::uint16_t width = bar.label ? width_u16(std::min<std::size_t>(bar.label->width(), max_width)) : 0;
    const Rect area = grid_rect(x + (max_width - width) / 2, y, width, 1);
    buf.set_style(area, default_style);
    if (bar.label) bar.label->render(area, buf);
}

// The value written over a horizontal bar: the part inside the bar in the value style, the rest
// in the bar's style.
void render_bar_value_split(const Bar& bar, Buffer& buf, const Rect& area, std::uint64_t bar_length,
                            const Style& default_value_style, const Style& bar_style) {
    const std::string text = bar.value_text();
    if (text.empty()) return;
    put_string(buf, area.x, area.y, text, bar_length, default_value_style.patch(bar.value_style));
    if (text.size() <= bar_length) return;
    // Cut after the last character that starts before byte `bar_length`.
    std::size_t cut = 0;
    for (std::size_t i = 0; i < text.size() && i < bar_length;) {
        i += unicode::decode(text, i).len;
        cut = i;
    }
    const std::string_view second = std::string_view(text).substr(cut);
    put_string(buf, std::uint64_t{area.x} + cut, area.y, second, area.width > cut ? area.width - cut : 0,
               bar_style.patch(bar.style));
}

// A group's label along the group, placed by its own alignment.
void render_group_label(const BarGroup& group, Buffer& buf, const Rect& area, const Style& default_style) {
    if (!group.label) return;
    const std::uint16_t width = width_u16(group.label->width());
    std::uint64_t x = area.x;
    switch (group.label->alignment.value_or(Alignment::Left)) {
        case Alignment::Center: x += sat_sub(area.width, width) / 2; break;
        case Alignment::Right: x += sat_sub(area.width, width); break;
        case Alignment::Left: break;
    }
    const Rect label_area = grid_rect(x, area.y, width, area.height);
    buf.set_style(label_area, default_style);
    group.label->render(label_area, buf);
}

}  // namespace

std::string Bar::value_text() const { return text_value ? *text_value : std::to_string(value); }

std::optional<std::uint64_t> BarGroup::max() const {
    if (bars.empty()) return std::nullopt;
    std::uint64_t m = 0;
    for (const Bar& b : bars) m = std::max(m, b.value);
    return m;
}

void BarChart::add_group(BarGroup group) {
    if (!group.bars.empty()) data.push_back(std::move(group));
}

std::uint64_t BarChart::maximum_data_value() const {
    if (max) return std::max<std::uint64_t>(*max, 1);
    return largest_.get([this] {
        std::uint64_t m = 0;
        for (const BarGroup& g : data) m = std::max(m, g.max().value_or(0));
        return std::max<std::uint64_t>(m, 1);
    });
}

std::size_t BarChart::widest_bar_label() const {
    return static_cast<std::size_t>(widest_label_.get([this] {
        std::size_t widest = 0;
        for (const BarGroup& group : data)
            for (const Bar& bar : group.bars)
                if (bar.label) widest = std::max(widest, bar.label->width());
        return static_cast<std::uint64_t>(widest);
    }));
}

Ticks BarChart::group_ticks(std::uint32_t available_space, std::uint16_t bar_max_length) const {
    const std::uint64_t top = maximum_data_value();
    const std::uint64_t width = bar_width, gap = bar_gap;
    std::uint64_t space = available_space;
    Ticks out;
    for (const BarGroup& group : data) {
        if (space == 0) break;
        const std::uint64_t n_bars = group.bars.size();
        const std::uint64_t group_width = n_bars * width + (n_bars > 0 ? n_bars - 1 : 0) * gap;
        std::uint64_t shown;
        if (space > group_width) {
            const std::uint64_t used = group_width + group_gap + gap;
            space = space > used ? space - used : 0;
            shown = n_bars;
        } else {
            shown = (space + gap) / (width + gap);
            if (shown == 0) break;
            space = 0;
        }
        std::vector<std::uint64_t> ticks;
        ticks.reserve(std::min<std::uint64_t>(shown, n_bars));
        for (std::uint64_t i = 0; i < shown && i < n_bars; ++i)
            ticks.push_back(scale_ticks(group.bars[i].value, top, bar_max_length));
        out.push_back(std::move(ticks));
    }
    return out;
}

BarChart::LabelInfo BarChart::label_info(std::uint16_t available_height) const {
    if (available_height == 0) return {};
    const std::uint64_t labels = labels_.get([this] {
        const bool bars = std::any_of(data.begin(), data.end(), [](const BarGroup& g) {
            return std::any_of(g.bars.begin(), g.bars.end(), [](const Bar& b) { return b.label.has_value(); });
        });
        const bool groups =
            std::any_of(data.begin(), data.end(), [](const BarGroup& g) { return g.label.has_value(); });
        return std::uint64_t{bars ? 1u : 0u} | std::uint64_t{groups ? 2u : 0u};
    });
    const bool bar_labels = (labels & 1) != 0;
    if (available_height == 1 && bar_labels) return {false, true, 1};
    const bool group_labels = (labels & 2) != 0;
    return {group_labels, bar_labels, static_cast<std::uint16_t>(int{group_labels} + int{bar_labels})};
}

void BarChart::render(const Rect& area, Buffer& buf) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect inner = inner_area(block, area);
    if (inner.is_empty() || data.empty() || bar_width == 0) return;
    if (direction == Direction::Horizontal)
        render_horizontal(inner, buf);
    else
        render_vertical(inner, buf);
}

void BarChart::render_vertical(const Rect& area, Buffer& buf) const {
    const LabelInfo info = label_info(sat_sub<std::uint16_t>(area.height, 1));
    Rect bars_area = area;
    bars_area.height = sat_sub(area.height, info.height);
    const Ticks ticks = group_ticks(bars_area.width, bars_area.height);
    render_vertical_bars(bars_area, buf, ticks);
    render_labels_and_values(area, buf, info, ticks);
}

void BarChart::render_vertical_bars(const Rect& area, Buffer& buf, const Ticks& ticks) const {
    const Rect shown = area.intersection(buf.area);
    std::uint64_t bar_x = area.x;
    for (std::size_t g = 0; g < ticks.size() && g < data.size(); ++g) {
        const BarGroup& group = data[g];
        for (std::size_t b = 0; b < ticks[g].size() && b < group.bars.size(); ++b) {
            const Style cell_style = bar_style.patch(group.bars[b].style);
            const std::uint64_t ticks_here = ticks[g][b];
            // Filled from the bottom row up; only cells inside the buffer are visited.
            const std::uint64_t x_end = std::min<std::uint64_t>(bar_x + bar_width, shown.right());
            for (std::uint32_t y = shown.y; y < shown.bottom(); ++y) {
                const std::uint64_t below = (std::uint64_t{area.bottom()} - 1 - y) * kTicksPerCell;
                const char* symbol = bar_symbols::nine_levels(ticks_here > below ? ticks_here - below : 0);
                for (std::uint64_t x = std::max<std::uint64_t>(bar_x, shown.x); x < x_end; ++x) {
                    if (Cell* cell = buf.cell_at(static_cast<std::uint32_t>(x), y)) {
                        cell->set_symbol(symbol);
                        cell->set_style(cell_style);
                    }
                }
            }
            bar_x += std::uint64_t{bar_gap} + bar_width;
        }
        bar_x += group_gap;
    }
}

void BarChart::render_labels_and_values(const Rect& area, Buffer& buf, LabelInfo info, const Ticks& ticks) const {
    std::uint64_t bar_x = area.x;
    // The row of the values: the bottom row of the bars.
    const std::uint64_t bar_y = std::uint64_t{area.bottom()} - info.height - 1;
    for (std::size_t g = 0; g < data.size() && g < ticks.size(); ++g) {
        const BarGroup& group = data[g];
        if (group.bars.empty()) {
            // An empty group still takes its gap, as it does among the bars.
            bar_x += group_gap;
            continue;
        }
        if (info.group_label_visible) {
            // The width of the shown bars and the gaps between them (at least one bar is shown).
            const std::uint64_t label_width = ticks[g].size() * (std::uint64_t{bar_width} + bar_gap) - bar_gap;
            render_group_label(group, buf, grid_rect(bar_x, std::uint64_t{area.bottom()} - 1, label_width, 1),
                               label_style);
        }
        for (std::size_t b = 0; b < ticks[g].size() && b < group.bars.size(); ++b) {
            const Bar& bar = group.bars[b];
            if (info.bar_label_visible) render_bar_label(bar, buf, bar_width, bar_x, bar_y + 1, label_style);
            render_bar_value(bar, buf, bar_width, bar_x, bar_y, value_style, ticks[g][b]);
            bar_x += std::uint64_t{bar_gap} + bar_width;
        }
        bar_x += group_gap;
    }
}

void BarChart::render_horizontal(const Rect& area, Buffer& buf) const {
    // The widest bar label sets the width of the label column.
    const std::uint16_t label_size = width_u16(widest_bar_label());
    const std::uint16_t margin = label_size != 0 ? 1 : 0;
    const std::uint64_t bars_x = std::uint64_t{area.x} + label_size + margin;
    const std::uint16_t bars_width = sat_sub(sat_sub(area.width, label_size), margin);
    const Rect bars_area = grid_rect(bars_x, area.y, bars_width, area.height);
    const std::uint64_t bars_bottom = area.bottom();

    const Ticks ticks = group_ticks(area.height, bars_width);
    std::uint64_t bar_y = area.y;
    for (std::size_t g = 0; g < ticks.size() && g < data.size(); ++g) {
        const BarGroup& group = data[g];
        for (std::size_t b = 0; b < ticks[g].size() && b < group.bars.size(); ++b) {
            const Bar& bar = group.bars[b];
            const std::uint64_t bar_length = ticks[g][b] / kTicksPerCell;
            const Style cell_style = bar_style.patch(bar.style);
            // Only the cells inside the buffer are visited.
            const std::uint64_t y_end = std::min<std::uint64_t>(bar_y + bar_width, buf.area.bottom());
            const std::uint64_t x_end = std::min<std::uint64_t>(bars_x + bars_width, buf.area.right());
            for (std::uint64_t y = std::max<std::uint64_t>(bar_y, buf.area.y); y < y_end; ++y) {
                for (std::uint64_t x = std::max<std::uint64_t>(bars_x, buf.area.x); x < x_end; ++x) {
                    Cell* cell = buf.cell_at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
                    if (!cell) continue;
                    cell->set_symbol(x - bars_x < bar_length ? "\u2588" : " ");
                    cell->set_style(cell_style);
                }
            }
            const std::uint64_t value_y = bar_y + (bar_width >> 1);
            if (bar.label) {
                if (area.x <= kMaxCoord && value_y <= kMaxCoord)
                    buf.set_line(area.x, static_cast<std::uint16_t>(value_y), *bar.label, label_size);
            }
            if (value_y <= kMaxCoord && bars_x <= kMaxCoord) {
                Rect value_area = bars_area;
                value_area.y = static_cast<std::uint16_t>(value_y);
                value_area.x = static_cast<std::uint16_t>(bars_x);
                value_area.width = bars_width;
                render_bar_value_split(bar, buf, value_area, bar_length, value_style, bar_style);
            }
            bar_y += std::uint64_t{bar_gap} + bar_width;
        }
        // The group label takes the row after the group when there is a gap for it.
        if (bar_y >= std::uint64_t{area.y} + bar_gap) {
            const std::uint64_t label_y = bar_y - bar_gap;
            if (group_gap > 0 && label_y < bars_bottom) {
                render_group_label(group, buf, grid_rect(bars_x, label_y, bars_width, bars_area.height), label_style);
                bar_y += group_gap;
            }
        }
    }
}

}  // namespace tarvo::core
