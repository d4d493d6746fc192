// A session's live terminal: the screen it claims (full screen on the alternate screen, or an
// inline band of rows), shared with the terminal references the session hands out, and the
// frame target that shows the session's frames on it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "core/engine/session.hpp"
#include "core/terminal/terminal.hpp"

namespace tarvo::core::terminal {

class LiveScreen {
public:
    // Claims the terminal: restore hooks that give it back if the system fails, raw mode, the
    // alternate screen for a full screen, and the live terminal (an inline band of
    // max(inline_rows, 1) rows). A failure undoes what was done and is rethrown (IoError).
    static std::shared_ptr<LiveScreen> open(std::optional<std::uint16_t> inline_rows);
    ~LiveScreen();
    LiveScreen(const LiveScreen&) = delete;
    LiveScreen& operator=(const LiveScreen&) = delete;

    // The terminal, or null once the screen was given back.
    LiveTerminal* terminal() noexcept { return term_.get(); }
    bool is_inline() const noexcept { return inline_; }
    bool busy() const noexcept { return busy_ > 0; }

    // Runs `f` as the one frame being drawn on the screen: a second frame from inside it (the
    // session's or a reference's) is refused with InUse. A close asked for meanwhile is carried
    // out once the frame is over.
    template <typename F>
    decltype(auto) drawing(F&& f) {
        if (busy_ > 0) throw InUse();
        struct Hold {
            LiveScreen& s;
            explicit Hold(LiveScreen& screen) : s(screen) { ++s.busy_; }
            ~Hold() {
                if (--s.busy_ == 0 && s.close_pending_) s.close();
            }
        } hold(*this);
        return f();
    }

    // The area of the session's last frame, for closing an inline band.
    std::optional<Rect> last_frame_area;

    // Gives the terminal back; never fails, every I/O error is dropped. Full screen: the mode
    // resets, raw mode left and the alternate screen left, the mode resets again. Inline: the
    // mode resets, the cursor put below the last frame when one is known, raw mode left, the
    // mode resets again. The restore hooks are removed. While a frame is being drawn, the close
    // waits for its end. Closing twice does nothing.
    void close() noexcept;

private:
    LiveScreen() = default;

    std::unique_ptr<LiveTerminal> term_;
    bool inline_ = false;
    std::size_t hook_depth_ = 0;
    int busy_ = 0;
    bool close_pending_ = false;
};

// Shows a session's frames on its live screen, each inside a synchronized update unless the
// session's caller holds one open.
class LiveTarget final : public engine::FrameTarget {
public:
    explicit LiveTarget(std::shared_ptr<LiveScreen> screen) : screen_(std::move(screen)) {}
    // The session's mode record, read for its synchronized-update flag (set once the session
    // has its final place).
    void watch_modes(const engine::SessionModes* modes) noexcept { modes_ = modes; }
    const std::shared_ptr<LiveScreen>& screen() const noexcept { return screen_; }

    bool is_live() const noexcept override { return true; }
    Rect frame_area() override;
    void draw(const Paint& paint, bool show_cursor) override;
    const Buffer& buffer() const override;
    Size size() override;
    void close() noexcept override { screen_->close(); }
    bool in_use() const noexcept override { return screen_->busy(); }

private:
    LiveTerminal& terminal() const;

    std::shared_ptr<LiveScreen> screen_;
    const engine::SessionModes* modes_ = nullptr;
};

}  // namespace tarvo::core::terminal
