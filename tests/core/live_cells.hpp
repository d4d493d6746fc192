// Helpers for the live terminal tests: buffers written as rows of cell tokens.
//
// A row is cells separated by '|'. A token is the cell's symbol (empty: no symbol), optionally
// followed by '~' and flags: r background red, b background blue, f foreground green,
// u underlined, k bold, s skipped.
#pragma once

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/style.hpp"

namespace live_test {

using namespace tarvo::core;

inline Cell parse_cell(const std::string& token) {
    Cell c;
    const std::size_t tilde = token.find('~');
    const std::string sym = token.substr(0, tilde);
    if (!sym.empty()) c.set_symbol(sym);
    if (tilde != std::string::npos) {
        for (char f : token.substr(tilde + 1)) {
            switch (f) {
                case 'r': c.bg = Color::named(Color::Red); break;
                case 'b': c.bg = Color::named(Color::Blue); break;
                case 'f': c.fg = Color::named(Color::Green); break;
                case 'u': c.modifier |= modifier::UNDERLINED; break;
                case 'k': c.modifier |= modifier::BOLD; break;
                case 's': c.skip = true; break;
            }
        }
    }
    return c;
}

inline std::vector<Cell> parse_row(const std::string& row) {
    std::vector<Cell> cells;
    std::size_t start = 0;
    while (true) {
        const std::size_t bar = row.find('|', start);
        cells.push_back(parse_cell(row.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return cells;
}

// A buffer at (x, y) whose rows are given as tokens; every row must have the same cell count.
inline Buffer cells(const std::vector<std::string>& rows, std::uint16_t x = 0, std::uint16_t y = 0) {
    std::vector<std::vector<Cell>> parsed;
    for (const auto& r : rows) parsed.push_back(parse_row(r));
    const auto w = static_cast<std::uint16_t>(parsed.empty() ? 0 : parsed[0].size());
    Buffer b = Buffer::empty(Rect{x, y, w, static_cast<std::uint16_t>(rows.size())});
    std::size_t i = 0;
    for (auto& r : parsed)
        for (auto& c : r) b.content[i++] = c;
    return b;
}

}  // namespace live_test
