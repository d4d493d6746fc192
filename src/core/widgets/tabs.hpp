// Tabs: a one-row bar of title lines, each between a left and a right padding, separated by a
// divider, the selected one in a highlight style, optionally inside a Block.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"

namespace tarvo::core {

struct Buffer;

struct Tabs {
    std::optional<Block> block;
    std::vector<Line> titles;
    std::optional<std::size_t> selected;
    Style style;
    Style highlight_style = Style{}.with_added(modifier::REVERSED);
    Span divider = Span::raw("\u2502");
    Line padding_left = Line::raw(" ");
    Line padding_right = Line::raw(" ");

    // Tabs over `titles`, the first one selected (none when there are no titles).
    static Tabs of(std::vector<Line> titles) {
        Tabs t;
        if (!titles.empty()) t.selected = 0;
        t.titles = std::move(titles);
        return t;
    }

    // Replaces the titles and keeps the selection on an existing title: cut to the last one,
    // or the first one when nothing was selected, or none when there are no titles.
    void set_titles(std::vector<Line> lines);

    // Draws the bar into the first row of the area (or of the block's inner area), the area cut
    // to the buffer first; what does not fit on the row is left out.
    void render(const Rect& area, Buffer& buf) const;
};

}  // namespace tarvo::core
