#include "core/widgets/tabs.hpp"

#include <algorithm>

#include "core/buffer.hpp"
#include "core/numeric.hpp"

namespace tarvo::core {

void Tabs::set_titles(std::vector<Line> lines) {
    titles = std::move(lines);
    if (titles.empty()) {
        selected.reset();
    } else if (selected) {
        selected = std::min(*selected, titles.size() - 1);
    } else {
        selected = 0;
    }
}

void Tabs::render(const Rect& target, Buffer& buf) const {
    // Only the part of the area inside the buffer is drawn on, so the bar and its block's frame
    // line up.
    const Rect area = target.intersection(buf.area);
    buf.set_style(area, style);
    const Rect bar = render_block(block, area, buf);
    if (bar.is_empty()) return;

    const std::uint16_t y = bar.y;
    const std::uint16_t end = bar.right();
    std::uint16_t x = bar.x;
    auto room = [&] { return sat_sub(end, x); };

    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (room() == 0) break;
        x = buf.set_line(x, y, padding_left, room()).x;
        if (room() == 0) break;

        const std::uint16_t start = x;
        x = buf.set_line(x, y, titles[i], room()).x;
        if (selected && *selected == i) buf.set_style(Rect{start, y, sat_sub(x, start), 1}, highlight_style);
        if (room() == 0) break;

        x = buf.set_line(x, y, padding_right, room()).x;
        if (room() == 0 || i + 1 == titles.size()) break;

        x = buf.set_span(x, y, divider, room()).x;
    }
}

}  // namespace tarvo::core
