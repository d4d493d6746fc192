#include "core/terminal/terminal.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include <exception>

#include "core/io_error.hpp"
#include "core/terminal/hooks.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/queries.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::core::terminal {

namespace {

Rect screen_area(Size s) noexcept { return Rect{0, 0, s.width, s.height}; }

// Places an inline viewport as the cursor now stands, writing the line feeds it needs.
Rect place_inline_now(TerminalIo& io, std::uint16_t height, Size screen, std::uint16_t offset,
                      Position& cursor_read) {
    cursor_read = io.cursor_position();
    const InlinePlacement p = place_inline(height, screen, cursor_read.y, offset);
    if (p.line_feeds > 0) {
        io.write(std::string(p.line_feeds, '\n'));
        io.flush();
    }
    return p.area;
}

void report_on_stderr(std::string_view head, std::string_view what) noexcept {
    std::string line(head);
    line += what;
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(2, line.data() + done, line.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

LiveTerminal::LiveTerminal(TerminalIo& io, Viewport viewport) : io_(io), viewport_(viewport) {
    last_known_area_ = screen_area(io_.size());
    if (viewport_.is_inline()) {
        viewport_area_ = place_inline_now(io_, viewport_.height, Size{last_known_area_.width, last_known_area_.height},
                                          0, last_cursor_);
    } else {
        viewport_area_ = last_known_area_;
    }
    buffers_[0].change() = Buffer::empty(viewport_area_);
    buffers_[1].change() = Buffer::empty(viewport_area_);
}

LiveTerminal::~LiveTerminal() {
    if (!cursor_hidden_) return;
    try {
        io_.write(kShowCursor);
        io_.flush();
    } catch (const std::exception& e) {
        report_on_stderr("Failed to show the cursor: ", e.what());
    } catch (...) {
        report_on_stderr("Failed to show the cursor: ", "unknown error");
    }
}

void LiveTerminal::clear_viewport(std::string& out) const {
    if (viewport_.is_inline()) {
        append_move_to(out, 0, viewport_area_.y);
        out += kClearFromCursorDown;
    } else {
        out += kClearAll;
    }
}

void LiveTerminal::emit(std::string& out) {
    last_write_ = out.size();
    if (!out.empty()) io_.write(out);
}

void LiveTerminal::autoresize() {
    const Rect area = screen_area(io_.size());
    if (buffers_[current_].lent()) throw InUse();
    if (area == last_known_area_) return;
    const Size screen{area.width, area.height};
    Rect next = area;
    Position cursor_read;
    if (viewport_.is_inline()) {
        const std::uint16_t offset =
            last_cursor_.y > viewport_area_.y ? static_cast<std::uint16_t>(last_cursor_.y - viewport_area_.y) : 0;
        next = place_inline_now(io_, viewport_.height, screen, offset, cursor_read);
    }
    out_.clear();
    if (next.width < viewport_area_.width) {
        // A narrower screen reflows what was on it: start again from a clean screen.
        next.y = 0;
        io_.write(kClearAll);
        io_.flush();
    }
    buffers_[current_].change().resize(next);
    buffers_[1 - current_].change().resize(next);
    viewport_area_ = next;
    clear_viewport(out_);
    buffers_[1 - current_].change().reset();
    if (viewport_.is_inline()) append_move_to(out_, cursor_read.x, cursor_read.y);
    io_.write(out_);
    io_.flush();
    last_known_area_ = area;
}

void LiveTerminal::finish_frame(std::optional<Position> cursor, std::string_view suffix) {
    const Buffer& cur = buffers_[current_].change();
    Buffer& prev = buffers_[1 - current_].change();
    buffer_diff(prev, cur, diff_);
    out_.clear();
    encode_cells(out_, diff_, cur);
    if (cursor) {
        out_ += kShowCursor;
        append_move_to(out_, cursor->x, cursor->y);
    } else {
        out_ += kHideCursor;
    }
    out_ += suffix;
    emit(out_);
    io_.flush();
    if (!diff_.empty()) last_cursor_ = Position{diff_.back().x, diff_.back().y};
    if (cursor) last_cursor_ = *cursor;
    cursor_hidden_ = !cursor;
    prev.reset();
    current_ = 1 - current_;
    ++frame_count_;
}

void LiveTerminal::clear() {
    const Position back = io_.cursor_position();
    out_.clear();
    clear_viewport(out_);
    io_.write(out_);
    buffers_[1 - current_].change().reset();
    out_.clear();
    append_move_to(out_, back.x, back.y);
    io_.write(out_);
    io_.flush();
}

void LiveTerminal::flush() {
    buffer_diff(buffers_[1 - current_].get(), buffers_[current_].get(), diff_);
    out_.clear();
    encode_cells(out_, diff_, buffers_[current_].get());
    emit(out_);
    if (!diff_.empty()) last_cursor_ = Position{diff_.back().x, diff_.back().y};
}

void LiveTerminal::hide_cursor() {
    io_.write(kHideCursor);
    io_.flush();
    cursor_hidden_ = true;
}

void LiveTerminal::show_cursor() {
    io_.write(kShowCursor);
    io_.flush();
    cursor_hidden_ = false;
}

void LiveTerminal::set_cursor_position(Position p) {
    out_.clear();
    append_move_to(out_, p.x, p.y);
    io_.write(out_);
    io_.flush();
    last_cursor_ = p;
}

namespace {

class StdoutIo final : public TerminalIo {
public:
    void write(std::string_view bytes) override { term::stdout_stream().write(bytes); }
    void flush() override { term::stdout_stream().flush(); }
    Size size() override {
        const term::CellSize s = term::terminal_size();
        return Size{s.columns, s.rows};
    }
    Position cursor_position() override {
        const CursorPosition p = terminal::cursor_position();
        return Position{p.column, p.row};
    }
};

}  // namespace

TerminalIo& stdout_terminal_io() {
    static StdoutIo io;
    return io;
}

namespace {

// A descriptor of the terminal that stays open for the life of the process, for the last-resort
// restore: 0 when standard input is the terminal, else /dev/tty opened once; -1 without one.
int lasting_tty_fd() noexcept {
    static const int fd = [] {
        if (::isatty(0)) return 0;
        return ::open("/dev/tty", O_RDWR | O_CLOEXEC);
    }();
    return fd;
}

// At the end of the process a terminal still claimed, or still in raw mode, is given back. A
// claim outlives raw mode when a failure's restore hooks already left raw mode but the modes the
// program switched on (mouse capture, paste, focus, keyboard flags) are still on.
void restore_at_exit() {
    if (!term::is_raw_mode_enabled() && !termination_restore_armed()) return;
    term::reset_terminal_modes();
    term::restore_terminal();
}

std::string termination_bytes(bool alternate) {
    std::string bytes;
    for (std::string_view step : term::kResetSteps) bytes += step;
    if (alternate) bytes += "\x1b[?1049l";
    return bytes;
}

}  // namespace

std::unique_ptr<LiveTerminal> claim_terminal(Viewport viewport, bool alternate) {
    static std::once_flag exit_hook;
    std::call_once(exit_hook, [] { std::atexit(restore_at_exit); });
    const bool was_raw = term::is_raw_mode_enabled();
    bool entered_alternate = false;
    try {
        term::enable_raw_mode();
        if (alternate) {
            term::stdout_stream().send("\x1b[?1049h");
            entered_alternate = true;
        }
        auto live = std::make_unique<LiveTerminal>(stdout_terminal_io(), viewport);
        if (const auto saved = term::saved_terminal_attributes(); saved && lasting_tty_fd() >= 0)
            set_termination_attributes(lasting_tty_fd(), *saved);
        arm_termination_restore(termination_bytes(alternate));
        return live;
    } catch (...) {
        try {
            if (entered_alternate) term::stdout_stream().send("\x1b[?1049l");
        } catch (...) {
        }
        try {
            if (!was_raw) term::disable_raw_mode();
        } catch (...) {
        }
        throw;
    }
}

void release_claim() noexcept { disarm_termination_restore(); }

std::string io_error_debug_text(const IoError& e) {
    std::string quoted;
    for (char c : e.text()) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    if (e.code() == 0) return "Custom { kind: Other, error: \"" + quoted + "\" }";
    const char* kind = "Uncategorized";
    switch (e.code()) {
        case ENOENT: kind = "NotFound"; break;
        case EPERM:
        case EACCES: kind = "PermissionDenied"; break;
        case EPIPE: kind = "BrokenPipe"; break;
        case EINTR: kind = "Interrupted"; break;
        case EAGAIN: kind = "WouldBlock"; break;
        case EINVAL: kind = "InvalidInput"; break;
        case ENOSPC: kind = "StorageFull"; break;
        case ENOMEM: kind = "OutOfMemory"; break;
        case ETIMEDOUT: kind = "TimedOut"; break;
        case EEXIST: kind = "AlreadyExists"; break;
    }
    // The message without the " (os error N)" the display text ends with.
    std::string message = system_error_text(e.code());
    return "Os { code: " + std::to_string(e.code()) + ", kind: " + kind + ", message: \"" + message + "\" }";
}

}  // namespace tarvo::core::terminal
