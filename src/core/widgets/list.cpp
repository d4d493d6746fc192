#include "core/widgets/list.hpp"

#include <algorithm>

#include "core/debug.hpp"

namespace tarvo::core {

std::string ListItem::repr() const {
    return debug::Struct("ListItem").field("content", content.repr()).field("style", style_repr(style)).finish();
}

std::string ListState::repr() const {
    return "ListState(selected=" + debug::option(selected, [](std::uint64_t v) { return std::to_string(v); }) +
           ", offset=" + std::to_string(offset) + ")";
}

std::string List::repr() const {
    return debug::Struct("List")
        .field("block", optional_block_repr(block))
        .field("items", debug::list(items, [](const ListItem& i) { return i.repr(); }))
        .field("style", style_repr(style))
        .field("direction", std::string(name_of(direction)))
        .field("highlight_style", style_repr(highlight_style))
        .field("highlight_symbol", debug::option(highlight_symbol, [](const Line& l) { return l.repr(); }))
        .field("repeat_highlight_symbol", debug::boolean(repeat_highlight_symbol))
        .field("highlight_spacing", std::string(name_of(highlight_spacing)))
        .field("scroll_padding", std::to_string(scroll_padding))
        .finish();
}

std::size_t List::padded_target(std::size_t selected, std::size_t max_height, std::size_t first,
                                std::size_t last) const {
    const std::size_t last_valid = items.size() - 1;
    const std::size_t sel = std::min(selected, last_valid);

    // Shrink the padding until the selection and the items around it fit. A padding beyond the
    // item count covers the same items as the item count itself, so start from there.
    std::size_t pad = static_cast<std::size_t>(std::min<std::uint64_t>(scroll_padding, items.size()));
    if (pad > 0) {
        std::size_t lo = sel >= pad ? sel - pad : 0;
        std::size_t hi = std::min(sel + pad, last_valid);
        std::size_t around = 0;
        for (std::size_t i = lo; i <= hi; ++i) around += items[i].height();
        while (pad > 0 && around > max_height) {
            // Going from `pad` to `pad - 1` drops the item at each end that the window held.
            if (pad <= sel) around -= items[sel - pad].height();
            if (sel + pad <= last_valid) around -= items[sel + pad].height();
            --pad;
        }
    }

    std::size_t target;
    if (std::min(sel + pad, last_valid) >= last) {
        target = sel + pad;
    } else if ((sel >= pad ? sel - pad : 0) < first) {
        target = sel >= pad ? sel - pad : 0;
    } else {
        target = sel;
    }
    return std::min(target, last_valid);
}

std::pair<std::size_t, std::size_t> List::visible_bounds(std::optional<std::uint64_t> selected,
                                                         std::uint64_t offset, std::size_t max_height) const {
    const std::size_t n = items.size();
    if (n == 0) return {0, 0};
    const auto height = [this](std::size_t i) { return std::uint64_t{items[i].height()}; };
    const std::size_t start = static_cast<std::size_t>(std::min<std::uint64_t>(offset, n - 1));
    RowWindow window = RowWindow::fill(start, n, max_height, height, height);

    // Without a selection the list stays where the offset put it.
    const std::size_t target =
        selected ? padded_target(static_cast<std::size_t>(std::min<std::uint64_t>(*selected, n - 1)), max_height,
                                 window.first, window.last)
                 : start;
    window.scroll_down_to(target, max_height, height);
    window.scroll_up_to(target, max_height, height);
    return {window.first, window.last};
}

void List::render(const Rect& area, Buffer& buf, ListState& state) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect inner = inner_area(block, area);
    if (inner.is_empty()) return;

    state.bound_to(items.size());
    if (items.empty()) return;

    const auto [first, last] = visible_bounds(state.selected, state.offset, inner.height);
    state.offset = first;

    static const Line no_symbol;
    const Line& symbol = highlight_symbol ? *highlight_symbol : no_symbol;
    const std::uint16_t symbol_width = clamp_to<std::uint16_t>(symbol.width());
    const Line blank = Line::raw(std::string(symbol_width, ' '));
    const bool with_symbol_column = highlight_spacing_applies(highlight_spacing, state.selected.has_value());
    // The symbol column is cut at the list's right edge.
    const std::uint16_t column_width = std::min(symbol_width, inner.width);

    // The items shown fit in the inner height, so every row below lies inside it.
    std::uint32_t used = 0;
    for (std::size_t i = first; i < last; ++i) {
        const ListItem& item = items[i];
        const auto h = static_cast<std::uint16_t>(item.height());
        std::uint16_t y;
        if (direction == ListDirection::BottomToTop) {
            used += h;
            y = static_cast<std::uint16_t>(inner.bottom() - used);
        } else {
            y = static_cast<std::uint16_t>(inner.y + used);
            used += h;
        }
        const Rect row{inner.x, y, inner.width, h};
        buf.set_style(row, style.patch(item.style));

        const bool is_selected = state.selected == i;
        if (with_symbol_column) {
            item.content.render(Rect{static_cast<std::uint16_t>(row.x + column_width), y,
                                     static_cast<std::uint16_t>(row.width - column_width), h},
                                buf);
            for (std::uint16_t j = 0; j < h; ++j) {
                const Line& mark = is_selected && (j == 0 || repeat_highlight_symbol) ? symbol : blank;
                mark.render(Rect{row.x, static_cast<std::uint16_t>(y + j), column_width, 1}, buf);
            }
        } else {
            item.content.render(row, buf);
        }
        // The highlight covers the whole row, the symbol included.
        if (is_selected) buf.set_style(row, highlight_style);
    }
}

}  // namespace tarvo::core
