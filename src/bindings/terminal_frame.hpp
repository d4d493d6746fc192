// Terminal, Frame and CompletedFrame, and the draw protocol that the engine's terminal reference
// shares: a Python callable draws one frame through a Frame handle that expires when it returns.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "bindings/runtime/klass.hpp"
#include "core/buffer.hpp"
#include "core/buffer_loan.hpp"
#include "core/terminal/terminal.hpp"

namespace tarvo::bindings {

// The frame being drawn, owned by the draw that runs the callable.
struct LiveFrame {
    core::Rect area;
    std::uint64_t count = 0;
    std::optional<core::Position> cursor;
};

// What a Frame object holds: the terminal's current buffer, lent for the callable's run (the
// same loan a BufferMutView holds), and the frame record. Once the loan ends the frame is over
// and every use of the Frame is refused without touching either.
struct FrameRef {
    core::BufferAccess buffer;
    LiveFrame* frame = nullptr;
    LiveFrame* get() const noexcept { return buffer.get() ? frame : nullptr; }
};

struct FrameClass {
    using Value = FrameRef;
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
