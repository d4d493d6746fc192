#include "core/geometry.hpp"

#include <algorithm>

#include "core/numeric.hpp"

namespace tarvo::core {

Rect Rect::inner(Margin margin) const noexcept {
    const std::uint16_t h2 = sat_mul<std::uint16_t>(margin.horizontal, 2);
    const std::uint16_t v2 = sat_mul<std::uint16_t>(margin.vertical, 2);
    if (width < h2 || height < v2) return Rect{};
    return Rect{sat_add(x, margin.horizontal), sat_add(y, margin.vertical),
                static_cast<std::uint16_t>(width - h2), static_cast<std::uint16_t>(height - v2)};
}

Rect Rect::offset(Offset off) const noexcept {
    const std::int32_t nx = std::clamp(sat_add_i32(x, off.x), 0, 65535 - std::int32_t{width});
    const std::int32_t ny = std::clamp(sat_add_i32(y, off.y), 0, 65535 - std::int32_t{height});
    return Rect{static_cast<std::uint16_t>(nx), static_cast<std::uint16_t>(ny), width, height};
}

Rect Rect::union_with(const Rect& o) const noexcept {
    const std::uint16_t l = std::min(x, o.x), t = std::min(y, o.y);
    const std::uint16_t r = std::max(right(), o.right()), b = std::max(bottom(), o.bottom());
    return Rect{l, t, static_cast<std::uint16_t>(r - l), static_cast<std::uint16_t>(b - t)};
}

Rect Rect::intersection(const Rect& o) const noexcept {
    const std::uint16_t l = std::max(x, o.x), t = std::max(y, o.y);
    const std::uint16_t r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
    return Rect{l, t, sat_sub(r, l), sat_sub(b, t)};
}

bool Rect::intersects(const Rect& o) const noexcept {
    return x < o.right() && right() > o.x && y < o.bottom() && bottom() > o.y;
}

Rect Rect::clamp(const Rect& o) const noexcept {
    const std::uint16_t w = std::min(width, o.width), h = std::min(height, o.height);
    const std::uint16_t nx = std::clamp<std::uint16_t>(x, o.x, sat_sub(o.right(), w));
    const std::uint16_t ny = std::clamp<std::uint16_t>(y, o.y, sat_sub(o.bottom(), h));
    return Rect{nx, ny, w, h};
}

std::vector<Rect> Rect::rows() const {
    std::vector<Rect> out;
    out.reserve(height);
    for (std::uint16_t row = y; row < bottom(); ++row) out.push_back(Rect{x, row, width, 1});
    return out;
}

std::vector<Rect> Rect::columns() const {
    std::vector<Rect> out;
    out.reserve(width);
    for (std::uint16_t col = x; col < right(); ++col) out.push_back(Rect{col, y, 1, height});
    return out;
}

}  // namespace tarvo::core
