// The scrollbar widget and the scroll state it draws: a track with a thumb whose size and place
// follow how much of the content the view shows and where the view stands, between optional
// begin and end arrows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/numeric.hpp"
#include "core/style.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::core {

// How long the scrolled content is, where the view stands in it and how much of it the view
// shows. Nothing keeps `position` below `content_length`; the renderer clamps what it draws.
struct ScrollbarState {
    std::uint64_t content_length = 0;
    std::uint64_t position = 0;
    // 0 means "as long as the scrollbar's own track area".
    std::uint64_t viewport_content_length = 0;

    void first() noexcept { position = 0; }
    void last() noexcept { position = sat_sub<std::uint64_t>(content_length, 1); }
    void next() noexcept {
        position = std::min(sat_add<std::uint64_t>(position, 1), sat_sub<std::uint64_t>(content_length, 1));
    }
    void prev() noexcept { position = sat_sub<std::uint64_t>(position, 1); }
    void scroll(ScrollDirection direction) noexcept {
        if (direction == ScrollDirection::Forward) next();
        else prev();
    }
};

struct Scrollbar {
    ScrollbarOrientation orientation = ScrollbarOrientation::VerticalRight;
    std::string thumb_symbol;
    std::string track_symbol;
    std::optional<std::string> begin_symbol;
    std::optional<std::string> end_symbol;
    Style thumb_style;
    Style track_style;
    Style begin_style;
    Style end_style;

    // A scrollbar with the double-line symbols of its orientation and empty styles.
    static Scrollbar make(ScrollbarOrientation orientation);

    bool is_vertical() const noexcept {
        return orientation == ScrollbarOrientation::VerticalRight ||
               orientation == ScrollbarOrientation::VerticalLeft;
    }

    // Sets all four part styles.
    void set_style(const Style& style) noexcept { thumb_style = track_style = begin_style = end_style = style; }

    // The lengths of the track before the thumb, of the thumb and of the track after it.
    struct Parts {
        std::uint64_t track_before;
        std::uint64_t thumb;
        std::uint64_t track_after;
    };
    Parts part_lengths(const Rect& area, const ScrollbarState& state) const;
    // The cells along the bar between the arrows.
    std::uint16_t track_length(const Rect& area) const noexcept;

    // Draws along the right or left column, or the bottom or top row, of `area`. Nothing is
    // drawn for empty content or when no cell is left for the track. Cells outside the buffer
    // are not written.
    void render(const Rect& area, Buffer& buf, const ScrollbarState& state) const;
};

}  // namespace tarvo::core
