#include "core/widgets/sparkline.hpp"

#include <algorithm>

#include "core/widgets/bar_symbols.hpp"

namespace tarvo::core {

std::uint64_t Sparkline::top() const {
    if (max) return *max;
    return largest_.get([this] {
        std::uint64_t top = 1;
        bool any = false;
        for (const SparklineBar& bar : data) {
            if (!bar.value) continue;
            top = any ? std::max(top, *bar.value) : *bar.value;
            any = true;
        }
        return top;
    });
}

void Sparkline::render(const Rect& area, Buffer& buf) const {
    render_block(block, area, buf);
    const Rect spark = inner_area(block, area);
    if (spark.is_empty()) return;

    const std::uint64_t top = this->top();

    const std::uint64_t full = std::uint64_t{spark.height} * 8;
    const std::size_t count = std::min<std::size_t>(spark.width, data.size());
    // Only the bars and rows inside the buffer are visited.
    const Rect shown = spark.intersection(buf.area);
    const std::size_t first = shown.x - spark.x;
    const std::size_t last = std::min<std::size_t>(count, std::size_t{shown.right()} - spark.x);
    for (std::size_t i = first; i < last; ++i) {
        const SparklineBar& bar = data[i];
        const std::uint32_t x = spark.x + static_cast<std::uint32_t>(i);
        // Height in eighths of a cell; scaled in 128 bits so that no value can overflow, and
        // capped at the full height (anything above draws the same).
        std::uint64_t height = full;
        Style cell_style = style;
        const bool absent = !bar.value;
        if (!absent) {
            if (top == 0) {
                height = 0;
            } else {
                const unsigned __int128 scaled =
                    static_cast<unsigned __int128>(*bar.value) * full / top;
                height = scaled > full ? full : static_cast<std::uint64_t>(scaled);
            }
            if (bar.style) cell_style = style.patch(*bar.style);
        } else {
            cell_style = style.patch(absent_value_style);
        }
        // Filled from the bottom row up: each row below takes eight eighths of the height.
        for (std::uint32_t y = shown.y; y < shown.bottom(); ++y) {
            Cell* cell = buf.cell_at(x, y);
            if (!cell) continue;
            const std::uint64_t below = std::uint64_t{spark.bottom()} - 1 - y;
            const char* symbol = bar_symbols::nine_levels(height > below * 8 ? height - below * 8 : 0);
            if (absent)
                cell->set_symbol(absent_value_symbol);
            else
                cell->set_symbol(symbol);
            cell->set_style(cell_style);
        }
    }
}

}  // namespace tarvo::core
