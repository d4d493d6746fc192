// Helpers for widget tests: buffers to draw into and their rows as whole strings.
#pragma once

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/unicode.hpp"

namespace widget_test {

using Rows = std::vector<std::string>;

inline tarvo::core::Buffer filled(std::uint16_t w, std::uint16_t h, const char* symbol) {
    tarvo::core::Cell cell;
    cell.set_symbol(symbol);
    return tarvo::core::Buffer::filled(tarvo::core::Rect{0, 0, w, h}, cell);
}

inline tarvo::core::Buffer blank(std::uint16_t w, std::uint16_t h) {
    return tarvo::core::Buffer::empty(tarvo::core::Rect{0, 0, w, h});
}

// Every row with every cell's shown text, nothing trimmed; the cells a wide symbol covers
// are left out, so a row reads as the text it shows.
inline Rows rows(const tarvo::core::Buffer& buf) {
    Rows out;
    for (std::uint32_t y = buf.area.y; y < buf.area.bottom(); ++y) {
        std::string row;
        std::size_t covered = 0;
        for (std::uint32_t x = buf.area.x; x < buf.area.right(); ++x) {
            const auto* cell = buf.cell_at(x, y);
            const std::string_view t = cell->symbol.view();
            if (covered > 0) {
                --covered;
                continue;
            }
            row += t.empty() ? std::string_view(" ") : t;
            const std::size_t w = t.empty() ? 1 : tarvo::core::unicode::str_width(t);
            covered = w > 1 ? w - 1 : 0;
        }
        out.push_back(row);
    }
    return out;
}

inline tarvo::core::Style fg(tarvo::core::Color::Tag t) {
    tarvo::core::Style s;
    s.fg = tarvo::core::Color::named(t);
    return s;
}

inline tarvo::core::Style fg_bg(tarvo::core::Color::Tag f, tarvo::core::Color::Tag b) {
    tarvo::core::Style s;
    s.fg = tarvo::core::Color::named(f);
    s.bg = tarvo::core::Color::named(b);
    return s;
}

}  // namespace widget_test
