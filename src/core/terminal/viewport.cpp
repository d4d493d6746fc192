#include "core/terminal/viewport.hpp"

#include <algorithm>

namespace tarvo::core::terminal {

namespace {
constexpr std::uint32_t sat_sub(std::uint32_t a, std::uint32_t b) noexcept { return a > b ? a - b : 0; }
}  // namespace

InlinePlacement place_inline(std::uint16_t height, Size screen, std::uint16_t cursor_row,
                             std::uint16_t offset) noexcept {
    InlinePlacement p;
    p.line_feeds = sat_sub(sat_sub(height, offset), 1);
    const std::uint32_t available = sat_sub(sat_sub(screen.height, cursor_row), 1);
    const std::uint32_t missing = sat_sub(p.line_feeds, available);
    const std::uint32_t top = sat_sub(sat_sub(cursor_row, missing), offset);
    p.area = Rect{0, static_cast<std::uint16_t>(top), screen.width,
                  std::min<std::uint16_t>(height, screen.height)};
    return p;
}

}  // namespace tarvo::core::terminal
