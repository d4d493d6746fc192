// The list widget: items of one or more lines stacked in a column, one of which may be
// selected and marked with a highlight style and symbol, scrolled so that the selection stays in
// view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/enums.hpp"
#include "core/widgets/selection.hpp"

namespace tarvo::core {

struct ListItem {
    Text content;
    // Layered over the item's whole row area.
    Style style;

    static ListItem from_line(Line line) { return ListItem{Text::from_line(std::move(line)), Style{}}; }

    std::size_t height() const noexcept { return content.height(); }
    // "ListItem { content: ..., style: ... }".
    std::string repr() const;
};

// The selection and scroll position of a list.
struct ListState : RowSelection {
    // "ListState(selected=Some(3), offset=0)".
    std::string repr() const;
};

struct List {
    std::optional<Block> block;
    std::vector<ListItem> items;
    Style style;
    ListDirection direction = ListDirection::TopToBottom;
    Style highlight_style;
    std::optional<Line> highlight_symbol;
    bool repeat_highlight_symbol = false;
    HighlightSpacing highlight_spacing = HighlightSpacing::WhenSelected;
    // Items to keep in view before and after the selected one, where there is room.
    std::uint64_t scroll_padding = 0;

    // Draws the list and updates the state: a selection past the end becomes the last item, an
    // empty list selects nothing, and the offset becomes the first item shown. The symbol
    // column and the items stay inside the list's area.
    void render(const Rect& area, Buffer& buf, ListState& state) const;
    // Draws with a fresh state (nothing selected, offset 0).
    void render(const Rect& area, Buffer& buf) const {
        ListState state;
        render(area, buf, state);
    }

    // The items shown as [first, last): starting from `offset` (moved as little as possible so
    // that the selection and its padding are in view) and as many as fit in `max_height` rows.
    std::pair<std::size_t, std::size_t> visible_bounds(std::optional<std::uint64_t> selected,
                                                       std::uint64_t offset, std::size_t max_height) const;

    // "List { block: ..., items: [...], style: ..., direction: TopToBottom, ... }".
    std::string repr() const;

private:
    std::size_t padded_target(std::size_t selected, std::size_t max_height, std::size_t first,
                              std::size_t last) const;
};

}  // namespace tarvo::core
