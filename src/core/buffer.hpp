// The cell buffer: a grid of terminal cells over an area, the text writers that widgets draw
// with, and the plain and SGR text dumps of a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/color.hpp"
#include "core/geometry.hpp"
#include "core/style.hpp"

namespace tarvo::core {

struct Span;
struct Line;

// The text of one cell: absent (reads as a single space) or any text. Up to kInlineCapacity
// bytes are kept inside the object; longer texts go to the heap. The object is byte-aligned
// so that a Cell packs into 40 bytes.
class Symbol {
public:
    static constexpr std::size_t kInlineCapacity = 24;

    Symbol() noexcept = default;
    explicit Symbol(std::string_view s) { assign(s); }
    Symbol(const Symbol& o) { copy_from(o); }
    Symbol(Symbol&& o) noexcept {
        std::memcpy(bytes_, o.bytes_, sizeof bytes_);
        state_ = o.state_;
        o.state_ = kAbsent;
    }
    Symbol& operator=(const Symbol& o) {
        if (this != &o) copy_from(o);
        return *this;
    }
    Symbol& operator=(Symbol&& o) noexcept {
        if (this != &o) {
            release();
            std::memcpy(bytes_, o.bytes_, sizeof bytes_);
            state_ = o.state_;
            o.state_ = kAbsent;
        }
        return *this;
    }
    ~Symbol() { release(); }

    bool has_value() const noexcept { return state_ != kAbsent; }
    bool on_heap() const noexcept { return state_ == kHeap; }
    // The stored text; empty when absent.
    std::string_view view() const noexcept {
        if (state_ == kHeap) return {heap_ptr(), heap_len()};
        if (state_ == kAbsent) return {};
        return {reinterpret_cast<const char*>(bytes_), static_cast<std::size_t>(state_ - 1)};
    }
    // The text as shown: a single space when absent.
    std::string_view text() const noexcept { return has_value() ? view() : std::string_view(" "); }

    void assign(std::string_view s) {
        if (s.size() <= kInlineCapacity) {
            if (state_ == kHeap) {
                // `s` may point into the heap text that is about to be released.
                unsigned char tmp[kInlineCapacity];
                std::memcpy(tmp, s.data(), s.size());
                release();
                std::memcpy(bytes_, tmp, s.size());
            } else {
                std::memmove(bytes_, s.data(), s.size());
            }
            state_ = static_cast<std::uint8_t>(s.size() + 1);
        } else {
            char* p = new char[s.size()];
            std::memcpy(p, s.data(), s.size());
            release();
            const std::size_t n = s.size();
            std::memcpy(bytes_, &p, sizeof p);
            std::memcpy(bytes_ + sizeof p, &n, sizeof n);
            state_ = kHeap;
        }
    }
    // Writes a one-byte text without touching the heap unless a heap text was held.
    void assign_byte(char c) noexcept {
        release();
        bytes_[0] = static_cast<unsigned char>(c);
        state_ = 2;
    }
    void clear() noexcept {
        release();
        state_ = kAbsent;
    }

    // Symbols compare by their shown text: an absent symbol equals " ".
    friend bool operator==(const Symbol& a, const Symbol& b) noexcept { return a.text() == b.text(); }

private:
    static constexpr std::uint8_t kAbsent = 0;  // so that the empty cell is all zero bytes
    static constexpr std::uint8_t kHeap = 0xFF;  // inline texts use state = length + 1

    const char* heap_ptr() const noexcept {
        char* p;
        std::memcpy(&p, bytes_, sizeof p);
        return p;
    }
    std::size_t heap_len() const noexcept {
        std::size_t n;
        std::memcpy(&n, bytes_ + sizeof(char*), sizeof n);
        return n;
    }
    void release() noexcept {
        if (state_ == kHeap) {
            delete[] heap_ptr();
            state_ = kAbsent;
        }
    }
    void copy_from(const Symbol& o) {
        if (o.state_ == kHeap) {
            assign(o.view());
        } else {
            release();
            std::memcpy(bytes_, o.bytes_, sizeof bytes_);
            state_ = o.state_;
        }
    }

    unsigned char bytes_[kInlineCapacity] = {};
    std::uint8_t state_ = kAbsent;
};

// One terminal cell. The default value is the empty cell: no symbol, colours Reset, no
// modifiers, not skipped.
struct Cell {
    Symbol symbol;
    // Diff hint: a skipped cell is left alone when a frame is written to the terminal.
    bool skip = false;
    std::uint16_t modifier = 0;
    Color fg;
    Color bg;
    Color underline_color;

    std::string_view symbol_text() const noexcept { return symbol.text(); }
    Cell& set_symbol(std::string_view s) {
        symbol.assign(s);
        return *this;
    }
    Cell& set_char(char c) noexcept {
        symbol.assign_byte(c);
        return *this;
    }
    // Layers a style over the cell: colours the style sets replace the cell's, the others stay;
    // the modifier gains add_modifier and loses sub_modifier.
    Cell& set_style(const Style& s) noexcept {
        if (s.fg) fg = *s.fg;
        if (s.bg) bg = *s.bg;
        if (s.underline_color) underline_color = *s.underline_color;
        modifier = static_cast<std::uint16_t>((modifier | s.add_modifier) & ~s.sub_modifier);
        return *this;
    }
    // The cell's look as a style: every colour set, the modifier as add_modifier.
    Style style() const noexcept { return Style{fg, bg, underline_color, modifier, 0}; }
    void reset() noexcept {
        symbol.clear();
        skip = false;
        modifier = 0;
        fg = bg = underline_color = Color{};
    }
    // A blank cell shows nothing on the default colours: no symbol, an empty one or a space,
    // Reset fg and bg, no modifier (the underline colour does not count).
    bool is_blank() const noexcept {
        const std::string_view v = symbol.view();
        return (v.empty() || v == " ") && fg.tag == Color::Reset && bg.tag == Color::Reset &&
               modifier == 0;
    }

    friend bool operator==(const Cell& a, const Cell& b) noexcept {
        return color_equal(a.fg, b.fg) && color_equal(a.bg, b.bg) &&
               color_equal(a.underline_color, b.underline_color) && a.modifier == b.modifier &&
               a.skip == b.skip && a.symbol == b.symbol;
    }
};

// A grid of cells over `area`, stored row by row: the cell at absolute (X, Y) has index
// (Y - area.y) * area.width + (X - area.x). `content` holds area.width * area.height cells.
struct Buffer {
    Rect area;
    std::vector<Cell> content;

    Buffer() = default;
    static Buffer empty(Rect area);
    static Buffer filled(Rect area, const Cell& cell);

    // Index of an absolute position, which must lie inside the area.
    std::size_t index_of(std::uint16_t x, std::uint16_t y) const noexcept {
        return std::size_t{static_cast<std::uint16_t>(y - area.y)} * area.width +
               static_cast<std::uint16_t>(x - area.x);
    }
    // Absolute position of an index (not compared with the cell count). Panics on a
    // zero-width area or a coordinate beyond 65535.
    Position pos_of(std::uint64_t index) const;

    // The cell at an absolute position, or null outside the grid.
    Cell* cell_at(std::uint32_t x, std::uint32_t y) noexcept {
        return const_cast<Cell*>(std::as_const(*this).cell_at(x, y));
    }
    const Cell* cell_at(std::uint32_t x, std::uint32_t y) const noexcept {
        if (x < area.x || y < area.y || x >= area.right() || y >= area.bottom()) return nullptr;
        const std::size_t i = index_of(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y));
        return i < content.size() ? &content[i] : nullptr;
    }

    // Writes `text` from the absolute position (x, y) rightwards, grapheme by grapheme, into at
    // most `max_width` cells and never past the area's right edge. Graphemes holding control
    // characters and graphemes of width 0 are dropped; a grapheme wider than the room left
    // ends the writing. A wide grapheme takes its first cell and resets the cells it covers.
    // The style is layered over every written cell. Returns the position after the last
    // written cell. A row outside the area writes nothing.
    Position set_stringn(std::uint16_t x, std::uint16_t y, std::string_view text,
                         std::size_t max_width, const Style& style);
    Position set_string(std::uint16_t x, std::uint16_t y, std::string_view text, const Style& style) {
        return set_stringn(x, y, text, SIZE_MAX, style);
    }

    // Writes a span's content with its style from the absolute position (x, y), into at most
    // `max_width` cells (as set_stringn).
    Position set_span(std::uint16_t x, std::uint16_t y, const Span& span, std::uint16_t max_width);
    // Writes a line's spans one after the other from the absolute position (x, y), each with the
    // line's style layered under its own, each limited to the room the spans before it left;
    // stops once no room is left. The alignment is not looked at.
    Position set_line(std::uint16_t x, std::uint16_t y, const Line& line, std::uint16_t max_width);

    // Layers a style over every cell of the intersection of `area` (absolute) with the buffer.
    void set_style(const Rect& area, const Style& style);
    // Cuts the cell vector to, or extends it with empty cells to, the new area's size, then
    // takes the new area. Cells keep their index; rows are not re-laid out.
    void resize(const Rect& new_area);
    // Makes every cell empty.
    void reset() noexcept;

    // One string per row: each cell's text (an absent or empty symbol counts as a space),
    // trailing white space removed.
    std::vector<std::string> to_string_lines() const;
    // One string per row with SGR sequences for fg, bg and modifiers, trailing blank cells cut
    // and "\x1b[0m" at the end of every row. With clip_bottom, trailing blank rows are left out.
    std::vector<std::string> to_ansi_lines(bool clip_bottom) const;

    friend bool operator==(const Buffer&, const Buffer&) = default;
};

// Copies for the widget-library side of rendering: `region_copy` gives a new buffer over the
// same area with every cell copied (an absent symbol becomes an explicit " ", only the defined
// modifier bits kept); `write_back` copies the cells of `src` into `dst` where their areas
// overlap, the same way. The caller keeps `dst` for the whole copy, work, write-back sequence.
Buffer region_copy(const Buffer& src);
void write_back(const Buffer& src, Buffer& dst);

}  // namespace tarvo::core
