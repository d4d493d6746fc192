// The travelling window of slides and sweeps: a value per position along the direction's axis
// (0 before the window, 1 past it, a ramp over the gradient), and the walk that jitters each row
// or column by a random amount.
#pragma once

#include <cstdint>
#include <vector>

#include "core/buffer.hpp"
#include "core/fx/enums.hpp"
#include "core/fx/rng.hpp"

namespace tarvo::core::fx {

class SlidingWindow {
public:
    // `progress` is the timer's alpha; the window is `gradient` + `randomness` cells wide and
    // travels from just before the area's start to just past its end.
    SlidingWindow(Motion m, Rect area, float progress, std::uint16_t gradient, std::uint16_t randomness) noexcept {
        const float g = static_cast<float>(std::uint32_t{gradient} + randomness);
        const bool horizontal = is_horizontal(m);
        const float origin = horizontal ? area.x : area.y;
        const float length = horizontal ? area.width : area.height;
        start_ = (origin - g) + (length + g) * progress;
        end_ = start_ + g;
        inv_ = 1.0f / (end_ - start_);
        invert_ = m == Motion::LeftToRight || m == Motion::UpToDown;
    }

    // The window at axis coordinate `c`.
    float value(float c) const noexcept {
        float v;
        if (c < start_) v = 0.0f;
        else if (c > end_) v = 1.0f;
        else v = inv_ * (c - start_);
        return invert_ ? 1.0f - v : v;
    }

private:
    float start_, end_, inv_;
    bool invert_;
};

// Visits area ∩ buffer row by row and calls fn(position, cell, shifted) where `shifted` is the
// cell's coordinate along the motion's axis moved by the row's (horizontal motions) or the
// column's (vertical motions) random offset, never below 0. Offsets are drawn below
// `randomness` and point along the motion; with no randomness nothing is drawn.
template <typename F>
void walk_window(Buffer& buf, Rect area, Motion m, std::uint16_t randomness, Rng& rng, F&& fn) {
    const Rect r = area.intersection(buf.area);
    if (r.is_empty()) return;
    const bool horizontal = is_horizontal(m);
    const std::int32_t sign = (m == Motion::RightToLeft || m == Motion::DownToUp) ? -1 : 1;
    auto draw = [&]() -> std::int32_t {
        if (randomness == 0) return 0;
        return sign * static_cast<std::int32_t>(rng.next() % randomness);
    };
    auto shift = [](std::uint32_t coord, std::int32_t d) -> std::int32_t {
        const std::int32_t v = static_cast<std::int32_t>(coord) + d;
        return v < 0 ? 0 : v;
    };
    const bool per_column = randomness != 0 && !horizontal;
    std::vector<std::int32_t> column_offsets;  // one allocation a step, none a cell
    if (per_column) {
        column_offsets.reserve(r.width);
        for (std::uint32_t x = r.x; x < r.right(); ++x) column_offsets.push_back(draw());
    }
    for (std::uint32_t y = r.y; y < r.bottom(); ++y) {
        const std::int32_t row_offset = per_column ? 0 : draw();
        Cell* row = &buf.content[buf.index_of(r.x, static_cast<std::uint16_t>(y))];
        for (std::uint32_t x = r.x; x < r.right(); ++x) {
            const Position p{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
            const std::int32_t shifted =
                horizontal ? shift(x, row_offset) : shift(y, per_column ? column_offsets[x - r.x] : row_offset);
            fn(p, row[x - r.x], shifted);
        }
    }
}

}  // namespace tarvo::core::fx
