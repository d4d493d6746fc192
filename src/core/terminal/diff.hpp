// The frame diff: which cells of the buffer just drawn must be written to the terminal so that
// the screen, which shows the previous buffer, comes to show the new one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/buffer.hpp"

namespace tarvo::core::terminal {

// One cell to write: its absolute position and its index in the new buffer's cells.
struct DiffCell {
    std::uint16_t x;
    std::uint16_t y;
    std::uint32_t index;
};

// The cells a diff lists. Unlike a vector it grows without initialising its room, so a diff
// writes its entries straight into memory it keeps from frame to frame.
class DiffList {
public:
    const DiffCell* begin() const noexcept { return data_.get(); }
    const DiffCell* end() const noexcept { return data_.get() + size_; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    const DiffCell& operator[](std::size_t i) const noexcept { return data_[i]; }
    const DiffCell& back() const noexcept { return data_[size_ - 1]; }
    void clear() noexcept { size_ = 0; }
    void push_back(const DiffCell& d) {
        if (size_ == cap_) reserve(cap_ == 0 ? 16 : 2 * cap_);
        data_[size_++] = d;
    }
    // Room for n entries at least, the entries held kept.
    void reserve(std::size_t n) {
        if (n <= cap_) return;
        std::unique_ptr<DiffCell[]> bigger(new DiffCell[n]);
        std::copy(begin(), end(), bigger.get());
        data_ = std::move(bigger);
        cap_ = n;
    }
    // For writers that reserved first: the room after the entries held, and the new count.
    DiffCell* room() noexcept { return data_.get(); }
    void set_size(std::size_t n) noexcept { size_ = n; }

private:
    std::unique_ptr<DiffCell[]> data_;
    std::size_t size_ = 0;
    std::size_t cap_ = 0;
};

std::size_t wide_cell_width(std::string_view symbol) noexcept;

// Columns a cell takes on screen, as the buffer counts them: 1 for a one-byte or absent symbol,
// otherwise the symbol's width plus one per halfwidth sound mark.
inline std::size_t cell_width(const Cell& cell) noexcept {
    const std::string_view s = cell.symbol.view();
    return s.size() <= 1 ? 1 : wide_cell_width(s);
}

// True when a blank of this cell still shows on screen: a background other than Reset, or a
// modifier that draws on empty cells (reversed, underlined, blinking, crossed out).
bool style_visible_when_blank(const Cell& cell) noexcept;

// Lists, in row-major order, the cells of `next` to write over a screen showing `prev`. Both
// buffers must share their area's x, y and width; only the cells both hold are compared.
//
// A skipped cell is never written. An unchanged cell is not written and its trailing cells (a
// wide symbol covers width - 1 more) are not looked at. A changed cell is written; after it:
// - a wide symbol with an emoji presentation selector (U+FE0F) has its trailing cells written
//   where their symbol changed, since terminals disagree on how wide such a symbol is;
// - another wide symbol covers its trailing cells, which are not looked at;
// - a narrow cell over a wider one whose style shows when blank has the cells the old symbol
//   covered written again, whatever they hold, so that no stale background is left behind.
// `out` is cleared first; its capacity is kept between frames.
void buffer_diff(const Buffer& prev, const Buffer& next, DiffList& out);

}  // namespace tarvo::core::terminal
