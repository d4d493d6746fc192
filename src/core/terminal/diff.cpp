#include "core/terminal/diff.hpp"

#include <algorithm>
#include <cstring>

#include "core/style.hpp"
#include "core/unicode.hpp"

namespace tarvo::core::terminal {

std::size_t wide_cell_width(std::string_view symbol) noexcept { return unicode::grapheme_width(symbol); }

bool style_visible_when_blank(const Cell& cell) noexcept {
    constexpr std::uint16_t kShowsOnBlank = modifier::REVERSED | modifier::UNDERLINED |
                                            modifier::SLOW_BLINK | modifier::RAPID_BLINK |
                                            modifier::CROSSED_OUT;
    return cell.bg.tag != Color::Reset || (cell.modifier & kShowsOnBlank) != 0;
}

namespace {

// U+FE0F VARIATION SELECTOR-16 as UTF-8.
bool has_emoji_presentation(std::string_view s) noexcept {
    return s.find("\xEF\xB8\x8F") != std::string_view::npos;
}

// Equal cells, with identical bytes as the quick answer (a cell has no padding bytes; the same
// heap pointer is the same text).
inline bool same_cell(const Cell& a, const Cell& b) noexcept {
    return std::memcmp(&a, &b, sizeof(Cell)) == 0 || a == b;
}

}  // namespace

void buffer_diff(const Buffer& prev, const Buffer& next, DiffList& out) {
    out.clear();
    const std::size_t n = std::min(prev.content.size(), next.content.size());
    if (n == 0 || next.area.width == 0) return;
    const Cell* const p = prev.content.data();
    const Cell* const c = next.content.data();
    const std::uint32_t width = next.area.width;
    const std::uint32_t ox = next.area.x;
    const std::uint32_t oy = next.area.y;

    // Every index is listed at most once, in increasing order: n entries are room enough.
    out.reserve(n);
    DiffCell* const list = out.room();
    std::size_t count = 0;
    // The row of the last listed index is followed along, never computed by division.
    std::size_t row_start = 0;
    std::uint32_t row = 0;
    auto emit = [&](std::size_t j) {
        while (j >= row_start + width) {
            row_start += width;
            ++row;
        }
        list[count++] = DiffCell{static_cast<std::uint16_t>(ox + (j - row_start)),
                                 static_cast<std::uint16_t>(oy + row), static_cast<std::uint32_t>(j)};
    };

    // Walks the `span` cells covered by the symbol at `i`, listing those after it that are not
    // skipped (only those whose text changed when `changed_only`); a wide cell met on the way
    // stretches the walk over its own cells. Returns the index after the walk.
    auto past_trailing_cells = [&](std::size_t i, std::size_t span, bool changed_only) {
        std::size_t end = i + span;
        std::size_t j = i + 1;
        while (j < std::min(end, n)) {
            const Cell& t = c[j];
            if (!t.skip && (!changed_only || !(t.symbol == p[j].symbol))) emit(j);
            const std::size_t tw = cell_width(t);
            if (tw > 1) {
                end = std::max(end, j + tw);
                j += tw;
            } else {
                ++j;
            }
        }
        return std::max(j, end);
    };

    std::size_t i = 0;
    while (i < n) {
        const Cell& cur = c[i];
        if (cur.skip) {
            ++i;
            continue;
        }
        if (same_cell(cur, p[i])) {
            i += std::max<std::size_t>(cell_width(cur), 1);
            continue;
        }
        emit(i);
        const std::size_t w = cell_width(cur);
        if (w > 1) {
            if (!has_emoji_presentation(cur.symbol.view())) {
                i += w;
                continue;
            }
            // Trailing cells of an emoji-presentation symbol: rewrite those whose text changed.
            i = past_trailing_cells(i, w, true);
            continue;
        }
        const std::size_t pw = cell_width(p[i]);
        if (pw > w && style_visible_when_blank(p[i])) {
            // The old wide symbol's styled trailing cells: write what is there now.
            i = past_trailing_cells(i, pw, false);
            continue;
        }
        ++i;
    }
    out.set_size(count);
}

}  // namespace tarvo::core::terminal
