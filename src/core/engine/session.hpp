// The render loop's session: where frames go (a frame target), the frame and tick clocks, the
// keyed areas of the last frame and the session's record of the terminal modes it switched.
//
// A frame target is the place a frame is drawn into and shown from. The buffer-backed target
// paints into an in-memory buffer; a live terminal target sits beside it and shows each frame
// on the terminal. The session drives any target the same way: it asks for the frame area,
// hands the target a paint step (the walk, then the effects) and records the outcome.
// The effects run in place on the frame buffer over the frame area.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "core/buffer.hpp"
#include "core/engine/render_tree.hpp"
#include "core/fx/manager.hpp"
#include "core/geometry.hpp"

namespace tarvo::core::engine {

class FrameTarget {
public:
    // Draws one frame into the frame buffer it is handed and returns the cursor position the
    // frame asks for.
    using Paint = std::function<std::optional<Position>(LendableBuffer&)>;

    virtual ~FrameTarget() = default;
    // True for a target that shows frames on a terminal.
    virtual bool is_live() const noexcept = 0;
    // The area the next frame is laid out over.
    virtual Rect frame_area() = 0;
    // Runs one frame: `paint` draws into the frame buffer, then the target shows the result.
    // `show_cursor` says whether a cursor asked for by the frame may be shown.
    virtual void draw(const Paint& paint, bool show_cursor) = 0;
    // The buffer frames are drawn into.
    virtual const Buffer& buffer() const = 0;
    // The size of what the target shows, in cells.
    virtual Size size() = 0;
    // Gives back what the target holds (a terminal); never fails. The session drops a live
    // target after closing it and keeps a buffer-backed one.
    virtual void close() noexcept {}
    // True while a frame is being drawn on the target from elsewhere (a terminal reference);
    // closing it then is refused by the callers that can refuse.
    virtual bool in_use() const noexcept { return false; }
};

// Frames drawn into an in-memory buffer. The buffer is not cleared between frames: a frame
// draws over what the previous one left.
class OffscreenTarget final : public FrameTarget {
public:
    OffscreenTarget(std::uint16_t width, std::uint16_t height) : buffer_(Buffer::empty(Rect{0, 0, width, height})) {}

    bool is_live() const noexcept override { return false; }
    Rect frame_area() override { return buffer_.get().area; }
    void draw(const Paint& paint, bool) override { paint(buffer_); }
    const Buffer& buffer() const override { return buffer_.get(); }
    Size size() override { return buffer_.get().area.as_size(); }

private:
    LendableBuffer buffer_;
};

// Raised by a frame or snapshot on a session that has nowhere to draw.
struct SessionClosed : std::runtime_error {
    SessionClosed() : std::runtime_error("session closed") {}
};

// The session's own account of the terminal modes its methods switched.
struct SessionModes {
    bool raw_mode = false;
    bool mouse_capture = false;
    bool bracketed_paste = false;
    bool focus_change = false;
    bool alternate_screen = false;
    bool synchronized_update = false;
    bool cursor_visible = false;
    std::uint8_t cursor_style = 0;
    std::optional<std::string> title;

    // What closing a session (or tearing its device state down) leaves: mouse capture,
    // bracketed paste, focus change and synchronized update off, the cursor shown in the default
    // style. Raw mode, the alternate screen and the title are left as they are.
    void reset_device_state() noexcept {
        mouse_capture = bracketed_paste = focus_change = synchronized_update = false;
        cursor_visible = true;
        cursor_style = 0;
    }
};

class Session {
public:
    using Clock = std::chrono::steady_clock;

    // A session over `target` with ticks every `tick_rate` (zero: no ticks).
    explicit Session(std::unique_ptr<FrameTarget> target, Clock::duration tick_rate = Clock::duration::zero());
    // A buffer-backed session over a blank buffer of the given size.
    static Session offscreen(std::uint16_t width, std::uint16_t height);

    Session(Session&&) noexcept = default;
    Session& operator=(Session&&) noexcept = default;
    ~Session();

    // Where frames go; null once a live session was closed.
    FrameTarget* target() const noexcept { return target_.get(); }
    bool is_buffer_backed() const noexcept { return !target_ || !target_->is_live(); }

    // Draws one frame of the tree under `root`: restarts the frame clock, walks the tree over
    // the frame area with `ctx`, runs the effects for the time since the previous frame and lets
    // the target show the frame. Keyed areas are kept only when no content failed. Throws
    // SessionClosed when there is no target (the frame clock is restarted all the same).
    void render(const RenderNode& root, WalkContext& ctx);

    // The frame buffer (the buffer-backed one, or the live target's current one).
    const Buffer& buffer() const;

    // Milliseconds since the previous frame (0 when the clock reads earlier), saturated to 32
    // bits; the frame clock restarts at `now`.
    std::uint32_t take_frame_time(Clock::time_point now) noexcept;

    // Ticks: the time left until the next tick is due (nothing without a tick rate), and the
    // tick itself when it is due at `now` (its milliseconds since the previous tick; the tick
    // clock restarts at `now`).
    std::optional<Clock::duration> time_to_tick(Clock::time_point now) const noexcept;
    std::optional<std::uint64_t> take_tick(Clock::time_point now) noexcept;
    Clock::duration tick_rate() const noexcept { return tick_rate_; }

    const EffectAreas& effect_areas() const noexcept { return effect_areas_; }
    std::optional<Rect> last_frame_area() const noexcept { return last_frame_area_; }

    // The effects run over every frame, after the tree is drawn, for the time since the
    // previous frame. A frame without effects leaves the frame buffer as the walk drew it.
    fx::EffectManager& effects() noexcept { return effects_; }
    const fx::EffectManager& effects() const noexcept { return effects_; }

    SessionModes& modes() noexcept { return modes_; }
    const SessionModes& modes() const noexcept { return modes_; }

    // Closes the session; never fails. A live target is closed and dropped; a buffer-backed one
    // stays, so the session keeps drawing into its buffer. The device-state modes are reset
    // either way.
    void close() noexcept;

private:
    std::unique_ptr<FrameTarget> target_;
    fx::EffectManager effects_;
    Clock::duration tick_rate_;
    Clock::time_point last_tick_;
    Clock::time_point last_frame_;
    EffectAreas effect_areas_;
    std::optional<Rect> last_frame_area_;
    SessionModes modes_;
};

}  // namespace tarvo::core::engine
