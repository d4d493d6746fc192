// CoreSession: the render loop's handle on the screen. The record holds the core session (its
// frame target, clocks, keyed areas and mode flags) and what only the bindings know of.
//
// A live backend adds itself beside the buffer-backed one: it makes a session over its own
// core::engine::FrameTarget (is_live() true; draw() runs the terminal frame; close() gives the
// terminal back) and fills the fields below that belong to live sessions. `render`,
// `buffer_snapshot`, the size and area getters, the events and the effects work through the
// target and need no change.
#pragma once

#include <cstdint>
#include <optional>

#include "bindings/runtime/klass.hpp"
#include "core/engine/session.hpp"

namespace tarvo::bindings {

struct PySession {
    core::engine::Session session;
    // The row count asked for by an inline live session (as passed, not raised to 1).
    std::optional<std::uint16_t> inline_height;
};

struct CoreSessionClass {
    using Value = PySession;
    static constexpr const char* name = "CoreSession";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::session::PySession";
    static PyTypeObject* create();
};

// Methods that other binding files add to CoreSession (the live terminal's: init, the mode
// methods, get_terminal). Each is kept for the life of the process; add them from a static
// initialiser, before the class is first created.
bool add_session_method(PyMethodDef def);

// One event wait of a session with a live terminal: the next event or due tick as a new
// CoreEvent, or null when nothing came within `timeout_ms`. session.cpp waits on the terminal
// event reader itself; a different wait can be put in its place.
using LiveEventWait = PyObject* (*)(PySession& s, std::uint64_t timeout_ms);
bool set_live_event_wait(LiveEventWait wait);

// Draws one frame of `node` (a CoreRenderNode object) on the session: the walk with the
// Python contents drawn through the widget dispatch and draw callbacks, the effects, and the
// target's showing of the frame. A content failure is raised after the frame; a session with
// nowhere to draw raises RuntimeError "session closed".
void render_session_frame(PySession& s, PyObject* node);

}  // namespace tarvo::bindings
