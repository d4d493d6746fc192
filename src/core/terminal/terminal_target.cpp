#include "core/terminal/terminal_target.hpp"

#include <algorithm>

#include "core/terminal/commands.hpp"
#include "core/terminal/hooks.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::core::terminal {

std::shared_ptr<LiveScreen> LiveScreen::open(std::optional<std::uint16_t> inline_rows) {
    std::shared_ptr<LiveScreen> s(new LiveScreen);
    s->inline_ = inline_rows.has_value();
    // Newest first on a failure: the terminal's restore, then the session's own resets around
    // it.
    s->hook_depth_ = push_restore_hook([] {
        term::reset_terminal_modes();
        term::restore_terminal();
        term::reset_terminal_modes();
    });
    push_restore_hook([] { term::restore_terminal(); });
    try {
        const Viewport vp = inline_rows ? Viewport::inline_rows(std::max<std::uint16_t>(*inline_rows, 1))
                                        : Viewport::fullscreen();
        s->term_ = claim_terminal(vp, !inline_rows);
    } catch (...) {
        truncate_restore_hooks(s->hook_depth_);
        throw;
    }
    return s;
}

LiveScreen::~LiveScreen() {
    close_pending_ = false;
    busy_ = 0;
    close();
}

void LiveScreen::close() noexcept {
    if (!term_) return;
    if (busy_ > 0) {
        close_pending_ = true;
        return;
    }
    close_pending_ = false;
    term::reset_terminal_modes();
    auto& out = term::stdout_stream();
    if (inline_) {
        if (last_frame_area) {
            const std::uint32_t row = std::min<std::uint32_t>(
                std::uint32_t{last_frame_area->y} + last_frame_area->height, 65535);
            try {
                out.send(term::move_to(0, static_cast<std::uint16_t>(row)));
            } catch (...) {
            }
        }
        try {
            term::disable_raw_mode();
        } catch (...) {
        }
        try {
            out.flush();
        } catch (...) {
        }
    } else {
        term::restore_terminal();
    }
    term_.reset();
    term::reset_terminal_modes();
    truncate_restore_hooks(hook_depth_);
    release_claim();
}

LiveTerminal& LiveTarget::terminal() const {
    LiveTerminal* t = screen_->terminal();
    if (!t) throw engine::SessionClosed();
    return *t;
}

Rect LiveTarget::frame_area() {
    const Rect area = terminal().viewport_area();
    screen_->last_frame_area = area;
    return area;
}

void LiveTarget::draw(const Paint& paint, bool show_cursor) {
    LiveTerminal& t = terminal();
    screen_->drawing([&] {
        TerminalIo& io = stdout_terminal_io();
        const bool own_update = !(modes_ && modes_->synchronized_update);
        if (own_update) io.write(kBeginSynchronizedUpdate);
        try {
            t.autoresize();
            const std::optional<Position> cursor = paint(t.current_lendable());
            t.finish_frame(show_cursor ? cursor : std::nullopt, own_update ? kEndSynchronizedUpdate : "");
        } catch (...) {
            if (own_update) {
                try {
                    io.write(kEndSynchronizedUpdate);
                    io.flush();
                } catch (...) {
                }
            }
            throw;
        }
    });
}

const Buffer& LiveTarget::buffer() const { return terminal().current_view(); }

Size LiveTarget::size() {
    const term::CellSize s = term::terminal_size();
    return Size{s.columns, s.rows};
}

}  // namespace tarvo::core::terminal
