// Cell geometry: rectangles, positions, sizes, offsets and margins on the 16-bit grid.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo::core {

struct Position {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    friend constexpr bool operator==(const Position&, const Position&) = default;
};

struct Size {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    friend constexpr bool operator==(const Size&, const Size&) = default;
};

struct Offset {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend constexpr bool operator==(const Offset&, const Offset&) = default;
};

struct Margin {
    std::uint16_t horizontal = 0;
    std::uint16_t vertical = 0;
    friend constexpr bool operator==(const Margin&, const Margin&) = default;
};

// A rectangle of cells. Invariant: x + width <= 65535 and y + height <= 65535; right and
// bottom edges are exclusive.
struct Rect {
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;

    // Builds a rect, cutting width and height so that the invariant holds.
    static constexpr Rect clipped(std::uint16_t x, std::uint16_t y, std::uint16_t w,
                                  std::uint16_t h) noexcept {
        std::uint32_t r = std::uint32_t{x} + w, b = std::uint32_t{y} + h;
        if (r > 65535) r = 65535;
        if (b > 65535) b = 65535;
        return Rect{x, y, static_cast<std::uint16_t>(r - x), static_cast<std::uint16_t>(b - y)};
    }

    constexpr std::uint32_t area() const noexcept { return std::uint32_t{width} * height; }
    constexpr bool is_empty() const noexcept { return width == 0 || height == 0; }
    constexpr std::uint16_t left() const noexcept { return x; }
    constexpr std::uint16_t top() const noexcept { return y; }
    constexpr std::uint16_t right() const noexcept {
        std::uint32_t r = std::uint32_t{x} + width;
        return static_cast<std::uint16_t>(r > 65535 ? 65535 : r);
    }
    constexpr std::uint16_t bottom() const noexcept {
        std::uint32_t b = std::uint32_t{y} + height;
        return static_cast<std::uint16_t>(b > 65535 ? 65535 : b);
    }
    constexpr bool contains(Position p) const noexcept {
        return x <= p.x && p.x < right() && y <= p.y && p.y < bottom();
    }
    constexpr Position as_position() const noexcept { return {x, y}; }
    constexpr Size as_size() const noexcept { return {width, height}; }

    Rect inner(Margin margin) const noexcept;
    Rect offset(Offset offset) const noexcept;
    Rect union_with(const Rect& other) const noexcept;
    Rect intersection(const Rect& other) const noexcept;
    bool intersects(const Rect& other) const noexcept;
    // Clamp this rect so that it fits inside `other` (moving it first, then shrinking it).
    Rect clamp(const Rect& other) const noexcept;
    std::vector<Rect> rows() const;
    std::vector<Rect> columns() const;

    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace tarvo::core
