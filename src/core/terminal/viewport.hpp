// Where a live terminal draws: the whole screen, or an inline viewport of a fixed number of
// rows at the cursor, below the text already on screen.
#pragma once

#include <cstdint>

#include "core/geometry.hpp"

namespace tarvo::core::terminal {

struct Viewport {
    enum class Kind : std::uint8_t { Fullscreen, Inline };
    Kind kind = Kind::Fullscreen;
    std::uint16_t height = 0;  // rows of an inline viewport

    static constexpr Viewport fullscreen() noexcept { return Viewport{}; }
    static constexpr Viewport inline_rows(std::uint16_t h) noexcept { return Viewport{Kind::Inline, h}; }
    constexpr bool is_inline() const noexcept { return kind == Kind::Inline; }
};

// Placing an inline viewport of `height` rows on a screen of `screen` cells whose cursor is on
// row `cursor_row`, `offset` rows below the viewport's top. Line feeds make room below the
// cursor (the screen scrolls once the cursor is on the last row); the viewport then starts as
// far up as the scrolling moved the cursor's row, less the offset.
struct InlinePlacement {
    std::uint32_t line_feeds = 0;  // "\n" to write before the viewport is used
    Rect area;                     // the viewport, full width
};
InlinePlacement place_inline(std::uint16_t height, Size screen, std::uint16_t cursor_row,
                             std::uint16_t offset) noexcept;

}  // namespace tarvo::core::terminal
