// Terminal, Frame and CompletedFrame, and the draw protocol that the engine's terminal reference
// shares: a Python callable draws one frame through a Frame handle that expires when it returns.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "bindings/runtime/klass.hpp"
#include "core/buffer.hpp"
#include "core/terminal/terminal.hpp"

namespace tarvo::bindings {

// The frame being drawn, owned by the draw that runs the callable.
struct LiveFrame {
    core::Buffer* buffer = nullptr;
    core::Rect area;
    std::uint64_t count = 0;
    std::optional<core::Position> cursor;
};

// A handle on something another object owns for a limited time (a frame, a write view, a
// session's terminal): `target` may be used only while `*alive` holds. The owner keeps the
// flag and clears it when the target's time is over; from then on the handle refuses every use
// with its own RuntimeError, never touching the target.
template <typename T>
struct Expiring {
    T* target = nullptr;
    std::shared_ptr<bool> alive;
    T* get() const noexcept { return alive && *alive ? target : nullptr; }
};

// Clears an alive flag when the scope ends, however it ends.
class AliveScope {
public:
    AliveScope() : flag_(std::make_shared<bool>(true)) {}
    AliveScope(const AliveScope&) = delete;
    AliveScope& operator=(const AliveScope&) = delete;
    ~AliveScope() { *flag_ = false; }
    const std::shared_ptr<bool>& flag() const noexcept { return flag_; }

private:
    std::shared_ptr<bool> flag_;
};

struct FrameClass {
    using Value = Expiring<LiveFrame>;
    static constexpr const char* name = "Frame";
    static constexpr const char* thread_path = "tarvo_core::bindings::terminal::PyFrame";
    static PyTypeObject* create();
};

struct CompletedFrameValue {
    core::Buffer buffer;
    core::Rect area;
    std::uint64_t count = 0;
};

struct CompletedFrameClass {
    using Value = CompletedFrameValue;
    static constexpr const char* name = "CompletedFrame";
    static PyTypeObject* create();
};

struct TerminalValue {
    std::unique_ptr<core::terminal::LiveTerminal> live;
    bool claimed = false;  // the SIGTERM guard of its claim is still held
};

struct TerminalClass {
    using Value = TerminalValue;
    static constexpr const char* name = "Terminal";
    static constexpr const char* thread_path = "tarvo_core::bindings::terminal::PyTerminal";
    static PyTypeObject* create();
};

// One frame on `live`: autoresize, the callable called with a new Frame, then the frame
// finished. `checked`: a raising callable abandons the frame and OSError "Python draw callback
// failed" is raised, and a CompletedFrame is returned; otherwise its exception is printed and
// the frame still written, and None is returned.
PyObject* draw_frame(core::terminal::LiveTerminal& live, PyObject* callback, bool checked);

}  // namespace tarvo::bindings
