// The bytes of a frame: the cells a diff lists, written with as few cursor moves and colour and
// attribute changes as the terminal needs to show them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/color.hpp"
#include "core/terminal/diff.hpp"

namespace tarvo::core::terminal {

// Where the live terminal's bytes go. `write` queues bytes, `flush` sends what is queued. Both
// may throw; the terminal keeps its buffers as they were when a call fails.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void write(std::string_view bytes) = 0;
    virtual void flush() = 0;
};

// A sink that collects everything written, for tests and measurements.
class StringSink final : public ByteSink {
public:
    void write(std::string_view bytes) override { data.append(bytes); }
    void flush() override { ++flushes; }
    std::string data;
    std::size_t flushes = 0;
};

// Appends the decimal form of v.
void append_decimal(std::string& out, std::uint32_t v);
// Appends "\x1b[{y+1};{x+1}H" (full numbers: 65535 becomes 65536).
void append_move_to(std::string& out, std::uint32_t x, std::uint32_t y);

// The SGR parameter of a colour as foreground (38/39), background (48/49) or underline colour
// (58/59): named colours and palette indexes go out as 256-colour indexes.
enum class ColorLayer : std::uint8_t { Fg, Bg, Underline };
void append_color_param(std::string& out, Color c, ColorLayer layer);

// Appends the attribute changes that turn modifier set `from` into `to`: the removed attributes
// switched off first (bold and dim share one switch-off, after which the kept one comes back),
// then the added ones switched on. Only the nine defined bits count.
void append_modifier_change(std::string& out, std::uint16_t from, std::uint16_t to);

// Appends the bytes that show the listed cells of `next`. The terminal is taken to start with default
// colours and attributes and an unknown cursor position. A cell is preceded by a cursor move
// unless the cell listed just before it sat one column to its left on the same row; then come
// the attribute and colour changes from the previous cell's look, then the symbol (a space for
// an absent one). When any colour or attribute was changed, "\x1b[0m" ends the cells, so the
// terminal is left on its defaults. Nothing is appended for an empty list.
void encode_cells(std::string& out, const DiffList& cells, const Buffer& next);

// A plain encoder for comparison: every listed cell gets a move, a full reset and its full look.
void encode_cells_plain(std::string& out, const DiffList& cells, const Buffer& next);

}  // namespace tarvo::core::terminal
