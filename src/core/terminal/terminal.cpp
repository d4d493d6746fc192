#include "core/terminal/terminal.hpp"

#include <unistd.h>

#include <exception>

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
    buffers_[0] = Buffer::empty(viewport_area_);
    buffers_[1] = Buffer::empty(viewport_area_);
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
    buffers_[current_].resize(next);
    buffers_[1 - current_].resize(next);
    viewport_area_ = next;
    clear_viewport(out_);
    buffers_[1 - current_].reset();
    if (viewport_.is_inline()) append_move_to(out_, cursor_read.x, cursor_read.y);
    io_.write(out_);
    io_.flush();
    last_known_area_ = area;
}

void LiveTerminal::finish_frame(std::optional<Position> cursor, std::string_view suffix) {
    Buffer& cur = buffers_[current_];
    Buffer& prev = buffers_[1 - current_];
    buffer_diff(prev, cur, diff_);
    out_.clear();
    encode_cells(out_, diff_, buffers_[current_]);
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
    buffers_[1 - current_].reset();
    out_.clear();
    append_move_to(out_, back.x, back.y);
    io_.write(out_);
    io_.flush();
}

void LiveTerminal::flush() {
    buffer_diff(buffers_[1 - current_], buffers_[current_], diff_);
    out_.clear();
    encode_cells(out_, diff_, buffers_[current_]);
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

}  // namespace tarvo::core::terminal
