#include "core/engine/session.hpp"

#include <algorithm>

namespace tarvo::core::engine {

namespace {

std::uint64_t whole_millis(Session::Clock::duration d) noexcept {
    if (d <= Session::Clock::duration::zero()) return 0;
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
}

}  // namespace

Session::Session(std::unique_ptr<FrameTarget> target, Clock::duration tick_rate)
    : target_(std::move(target)), tick_rate_(std::max(tick_rate, Clock::duration::zero())) {
    last_tick_ = Clock::now();
    last_frame_ = Clock::now();
    if (target_ && !target_->is_live()) last_frame_area_ = target_->frame_area();
}

Session Session::offscreen(std::uint16_t width, std::uint16_t height) {
    return Session(std::make_unique<OffscreenTarget>(width, height));
}

Session::~Session() { close(); }

std::uint32_t Session::take_frame_time(Clock::time_point now) noexcept {
    const std::uint64_t ms = whole_millis(now - last_frame_);
    last_frame_ = now;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, UINT32_MAX));
}

std::optional<Session::Clock::duration> Session::time_to_tick(Clock::time_point now) const noexcept {
    if (tick_rate_ == Clock::duration::zero()) return std::nullopt;
    const Clock::duration since = now - last_tick_;
    return since >= tick_rate_ ? Clock::duration::zero() : tick_rate_ - since;
}

std::optional<std::uint64_t> Session::take_tick(Clock::time_point now) noexcept {
    if (tick_rate_ == Clock::duration::zero()) return std::nullopt;
    const Clock::duration since = now - last_tick_;
    if (since < tick_rate_) return std::nullopt;
    last_tick_ = now;
    return whole_millis(since);
}

void Session::render(const RenderNode& root, WalkContext& ctx) {
    const std::uint32_t elapsed = take_frame_time(Clock::now());
    if (!target_) throw SessionClosed();
    const Rect area = target_->frame_area();
    last_frame_area_ = area;
    target_->draw(
        [&](LendableBuffer& frame) {
            std::optional<Position> cursor = render_tree(root, area, frame, ctx);
            if (effects_.is_running()) effects_.process(elapsed, frame.change(), area);
            return cursor;
        },
        modes_.cursor_visible);
    if (!ctx.failed) effect_areas_ = std::move(ctx.areas);
}

const Buffer& Session::buffer() const {
    if (!target_) throw SessionClosed();
    return target_->buffer();
}

void Session::close() noexcept {
    if (target_ && target_->is_live()) {
        target_->close();
        target_.reset();
    }
    modes_.reset_device_state();
}

}  // namespace tarvo::core::engine
