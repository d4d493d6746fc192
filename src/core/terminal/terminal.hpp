// The live terminal: two cell buffers over a viewport (the whole screen or an inline band of
// rows), each frame drawn into the current buffer and written as its difference from the
// previous one, then the buffers swapped.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/buffer.hpp"
#include "core/buffer_loan.hpp"
#include "core/io_error.hpp"
#include "core/geometry.hpp"
#include "core/terminal/backend.hpp"
#include "core/terminal/diff.hpp"
#include "core/terminal/viewport.hpp"

namespace tarvo::core::terminal {

// What the live terminal needs of the terminal it runs on. Every call may throw the terminal
// layer's I/O error; the live terminal lets it through.
class TerminalIo : public ByteSink {
public:
    // The terminal's size in cells (columns, rows).
    virtual Size size() = 0;
    // The cursor's position, 0-based, as the terminal reports it.
    virtual Position cursor_position() = 0;
};

class LiveTerminal {
public:
    // Claims nothing: reads the size and, for an inline viewport, the cursor position, and
    // writes the line feeds that make room for the viewport. A full-screen terminal writes
    // nothing.
    LiveTerminal(TerminalIo& io, Viewport viewport);
    // Shows the cursor again when a frame hid it; a failure is reported on standard error.
    ~LiveTerminal();
    LiveTerminal(const LiveTerminal&) = delete;
    LiveTerminal& operator=(const LiveTerminal&) = delete;

    Viewport viewport() const noexcept { return viewport_; }
    // The area both buffers cover: absolute screen cells.
    Rect viewport_area() const noexcept { return viewport_area_; }
    // (0, 0, columns, rows) as last read.
    Rect last_known_area() const noexcept { return last_known_area_; }
    Position last_known_cursor() const noexcept { return last_cursor_; }
    bool cursor_hidden() const noexcept { return cursor_hidden_; }
    std::uint64_t frame_count() const noexcept { return frame_count_; }

    // The buffer the next frame draws into, and the one the screen shows. While the current
    // buffer is lent to a frame's writers, nothing resizes, swaps or resets it: those calls
    // throw InUse ("Already borrowed").
    Buffer& current_buffer() { return buffers_[current_].change(); }
    const Buffer& current_view() const noexcept { return buffers_[current_].get(); }
    LendableBuffer::Loan lend_current() { return buffers_[current_].lend(); }
    LendableBuffer& current_lendable() noexcept { return buffers_[current_]; }
    const Buffer& previous_buffer() const noexcept { return buffers_[1 - current_].get(); }

    // When the terminal's size changed since it was last read: the viewport is placed again,
    // both buffers take its size, the screen (or the inline band) is cleared and the next frame
    // repaints every cell.
    void autoresize();

    // Writes the difference between the previous buffer and the current one, then the cursor
    // (shown and placed at `cursor`, or hidden), swaps the buffers (the new current one blank),
    // flushes and counts the frame. Afterwards previous_buffer() is the frame just drawn.
    // `suffix` goes out right after the cursor, in the same write (the end of a synchronized
    // update). A failure leaves the buffers unswapped and the count unchanged.
    void finish_frame(std::optional<Position> cursor, std::string_view suffix = {});

    // Clears the viewport on screen and forgets what the screen shows, so that the next frame
    // repaints every cell; the cursor goes back where the terminal reported it before.
    void clear();
    // Writes the difference between the previous and the current buffer, without flushing,
    // placing the cursor or swapping.
    void flush();
    Size size() { return io_.size(); }

    void hide_cursor();
    void show_cursor();
    void set_cursor_position(Position p);

    // Bytes written by the last finish_frame or flush (kept for measurements).
    std::size_t last_write_size() const noexcept { return last_write_; }

private:
    void clear_viewport(std::string& out) const;
    void emit(std::string& out);

    TerminalIo& io_;
    Viewport viewport_;
    Rect viewport_area_;
    Rect last_known_area_;
    Position last_cursor_;
    LendableBuffer buffers_[2];
    int current_ = 0;
    bool cursor_hidden_ = false;
    std::uint64_t frame_count_ = 0;
    DiffList diff_;
    std::string out_;
    std::size_t last_write_ = 0;
};

// The process's terminal: bytes to standard output (the shared output stream), the size from
// the window-size request with its fallback, the cursor from the terminal's position report.
TerminalIo& stdout_terminal_io();

// Takes the process's terminal over for a live terminal: raw mode, the alternate screen when
// `alternate`, then a live terminal over stdout_terminal_io(). While it is held, SIGTERM and the
// end of the process give the terminal back (see hooks.hpp). A failure undoes the steps already
// done, in reverse order, and is rethrown.
std::unique_ptr<LiveTerminal> claim_terminal(Viewport viewport, bool alternate);
// Ends the SIGTERM guard of one claim (the terminal itself is given back by the caller).
void release_claim() noexcept;

// The debug text of an I/O error as the initialisation failure reports it:
// `Os { code: 6, kind: Uncategorized, message: "No such device or address" }` for an OS error,
// `Custom { kind: Other, error: "..." }` otherwise.
std::string io_error_debug_text(const IoError& e);

// Fixed sequences of a frame.
inline constexpr std::string_view kBeginSynchronizedUpdate = "\x1b[?2026h";
inline constexpr std::string_view kEndSynchronizedUpdate = "\x1b[?2026l";
inline constexpr std::string_view kShowCursor = "\x1b[?25h";
inline constexpr std::string_view kHideCursor = "\x1b[?25l";
inline constexpr std::string_view kClearAll = "\x1b[2J";
inline constexpr std::string_view kClearFromCursorDown = "\x1b[J";

}  // namespace tarvo::core::terminal
