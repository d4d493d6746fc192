// A shared, changeable rectangle: every copy sees the same cell, so a filter built over it
// follows the rectangle while its effect runs. Stored rectangles are cut at the 65535 edges.
#pragma once

#include <memory>

#include "core/geometry.hpp"

namespace tarvo::core::fx {

class RefRect {
public:
    RefRect() : cell_(std::make_shared<Rect>()) {}
    explicit RefRect(Rect r) : cell_(std::make_shared<Rect>(clip(r))) {}

    Rect get() const noexcept { return *cell_; }
    void set(Rect r) const noexcept { *cell_ = clip(r); }
    bool contains(std::uint16_t x, std::uint16_t y) const noexcept { return cell_->contains(Position{x, y}); }
    // True when both hold the same cell.
    bool same_cell(const RefRect& o) const noexcept { return cell_ == o.cell_; }

    static constexpr Rect clip(Rect r) noexcept { return Rect::clipped(r.x, r.y, r.width, r.height); }

private:
    std::shared_ptr<Rect> cell_;
};

}  // namespace tarvo::core::fx
