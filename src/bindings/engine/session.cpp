// CoreSession: offscreen sessions, frames, snapshots, sizes and areas, the event wait of a
// session without a terminal, and closing. The live terminal's parts are added beside these
// (see session.hpp).

#include "bindings/engine/session.hpp"

#include <algorithm>
#include <chrono>
#include <time.h>
#include <vector>

#include "bindings/buffer.hpp"
#include "bindings/engine/content_bridge.hpp"
#include "bindings/engine/render_ir.hpp"
#include "bindings/engine/render_tree.hpp"
#include "bindings/fx.hpp"
#include "bindings/geometry.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/gil.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_events.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::bindings {

namespace {

namespace ce = core::engine;
using Kind = ce::RenderContent::Kind;

std::vector<PyMethodDef>& extra_session_methods() {
    static std::vector<PyMethodDef> methods;
    return methods;
}

// Draws the Python contents of a frame and keeps the last failure, to be raised once the frame
// is complete.
class FramePainter final : public ce::ContentPainter {
public:
    FramePainter() = default;
    FramePainter(const FramePainter&) = delete;
    FramePainter& operator=(const FramePainter&) = delete;
    ~FramePainter() override { drop(); }

    bool paint(const ce::RenderContent& content, const core::Rect& area, core::LendableBuffer& frame) override {
        try {
            switch (content.kind) {
                case Kind::Widget:
                    render_any(held_object(content.first), area, frame.change());
                    break;
                case Kind::Stateful:
                    render_stateful_any(held_object(content.first), area, held_object(content.second),
                                        frame.change());
                    break;
                case Kind::Drawable:
                    call_drawable(held_object(content.first), area, frame);
                    break;
                case Kind::Ir: {
                    // Reached for a value built on another thread: the borrow refuses it.
                    Shared<CoreRenderIRClass> ir(held_object(content.first));
                    ce::render_ir(**ir, area, frame.change());
                    break;
                }
                case Kind::Empty:
                    break;
            }
            return true;
        } catch (...) {
            translate_current_exception();
            keep_pending();
            return false;
        }
    }

    void too_deep() override {
        PyErr_SetString(PyExc_RecursionError, "maximum recursion depth exceeded while drawing a render tree");
        keep_pending();
    }

    // Raises the kept failure, if any.
    void raise_kept() {
        if (!type_) return;
        PyErr_Restore(type_, value_, tb_);
        type_ = value_ = tb_ = nullptr;
        throw PyError{};
    }

private:
    // The callback gets a write view over the whole frame buffer and the node's area; the view
    // expires when the callback returns, however it returns.
    static void call_drawable(PyObject* callback, const core::Rect& area, core::LendableBuffer& frame) {
        const core::LendableBuffer::Loan loan = frame.lend();
        const Ref view = Ref::steal(make_buffer_mut_view(loan));
        const Ref rect = Ref::steal(make<RectClass>(area));
        const Ref result = Ref::steal(check(PyObject_CallFunctionObjArgs(callback, view.get(), rect.get(), nullptr)));
    }

    void keep_pending() {
        drop();
        PyErr_Fetch(&type_, &value_, &tb_);
        PyErr_NormalizeException(&type_, &value_, &tb_);
        if (tb_ && value_) PyException_SetTraceback(value_, tb_);
    }

    void drop() {
        Py_CLEAR(type_);
        Py_CLEAR(value_);
        Py_CLEAR(tb_);
    }

    PyObject* type_ = nullptr;
    PyObject* value_ = nullptr;
    PyObject* tb_ = nullptr;
};

// Runs `f`, raising a session with nowhere to draw as RuntimeError "session closed". (Terminal
// I/O errors of a live target are core::IoError, which every entry point raises as OSError.)
template <typename F>
decltype(auto) raising_closed(F&& f) {
    try {
        return f();
    } catch (const ce::SessionClosed&) {
        raise(PyExc_RuntimeError, "session closed");
    }
}

// Sleeps up to `d` with the interpreter lock released; a signal cuts the sleep short.
void sleep_released(std::chrono::nanoseconds d) {
    const auto secs = std::chrono::duration_cast<std::chrono::seconds>(d);
    struct timespec ts;
    ts.tv_sec = static_cast<time_t>(secs.count());
    ts.tv_nsec = static_cast<long>((d - secs).count());
    WithoutGil released;
    nanosleep(&ts, nullptr);
}

void check_signals() {
    if (PyErr_CheckSignals() != 0) throw PyError{};
}

// One wait of a session without a terminal: the pending signal handlers, then a due tick or
// nothing, at once.
PyObject* wait_without_terminal(PySession& s) {
    check_signals();
    if (auto tick = s.session.take_tick(ce::Session::Clock::now()))
        return make_core_event(core::terminal::EventRecord::of_tick(*tick));
    return nullptr;
}

bool has_terminal(const PySession& s) { return s.session.target() && s.session.target()->is_live(); }
// A buffer-backed target: its buffer is the session's size. Otherwise the terminal's size is
// asked for, also for a closed live session.
bool has_buffer(const PySession& s) { return s.session.target() && !s.session.target()->is_live(); }

// A frame drawn through the session's terminal reference is running: the terminal stays.
void refuse_close_while_drawing(const PySession& s) {
    if (s.session.target() && s.session.target()->in_use()) raise(PyExc_RuntimeError, "Already borrowed");
}

LiveEventWait& live_wait_slot() {
    static LiveEventWait wait = nullptr;
    return wait;
}

// One wait of a session with a terminal: for the timeout, but no longer than until the next
// tick is due (an hour without ticks); a terminal event first, else the tick that came due.
PyObject* wait_with_terminal(PySession& s, std::uint64_t timeout_ms) {
    using namespace std::chrono;
    const nanoseconds to_tick = s.session.time_to_tick(ce::Session::Clock::now()).value_or(hours(1));
    const auto tick_ms = static_cast<std::uint64_t>(duration_cast<milliseconds>(to_tick + nanoseconds(999'999)).count());
    if (std::optional<core::terminal::EventRecord> record = poll_terminal_event(std::min(timeout_ms, tick_ms)))
        return make_core_event(std::move(*record));
    if (auto tick = s.session.take_tick(ce::Session::Clock::now()))
        return make_core_event(core::terminal::EventRecord::of_tick(*tick));
    return nullptr;
}

LiveEventWait live_wait() {
    LiveEventWait wait = live_wait_slot();
    return wait ? wait : &wait_with_terminal;
}

// How long read_event sleeps between rounds when no tick comes sooner; signals end a sleep
// early, so this only bounds how late a signal raised on another thread is seen.
constexpr std::chrono::milliseconds kIdleRound{250};

PyObject* read_without_terminal(PySession& s) {
    for (;;) {
        if (PyObject* e = wait_without_terminal(s)) return e;
        std::chrono::nanoseconds pause = kIdleRound;
        if (auto due = s.session.time_to_tick(ce::Session::Clock::now()))
            pause = std::min<std::chrono::nanoseconds>(pause, *due);
        sleep_released(pause);
    }
}

// read_event, with the documentation of its wait.
PyMethodDef read_event_def() {
    PyMethodDef def = method_def<CoreSessionClass>("read_event", "($self)", [](PySession& s) -> PyObject* {
        if (!has_terminal(s)) return read_without_terminal(s);
        for (;;)
            if (PyObject* e = live_wait()(s, static_cast<std::uint64_t>(INT64_MAX))) return e;
    });
    def.ml_doc = detail::keep(
        "read_event($self)\n--\n\n"
        "Wait for the next event and return it as a CoreEvent.\n"
        "\n"
        "A session without a terminal returns its next tick. When it has no tick rate\n"
        "either (every offscreen session), no event can ever come: the call then sleeps,\n"
        "without using the CPU, until a Python signal handler raises (Ctrl-C raises\n"
        "KeyboardInterrupt), and raises that exception.");
    return def;
}

}  // namespace

bool set_live_event_wait(LiveEventWait wait) {
    live_wait_slot() = wait;
    return true;
}

bool add_session_method(PyMethodDef def) {
    extra_session_methods().push_back(def);
    return true;
}

void render_session_frame(PySession& s, PyObject* node) {
    const ce::NodePtr root = with_note("node", [&] { return value_of<CoreRenderNodeClass>(node); });
    FramePainter painter;
    ce::WalkContext ctx(painter, static_cast<std::size_t>(std::max(Py_GetRecursionLimit(), 1)));
    raising_closed([&] { s.session.render(*root, ctx); });
    painter.raise_kept();
}

PyTypeObject* CoreSessionClass::create() {
    ClassBuilder<CoreSessionClass> b;
    b.static_method("offscreen", "(width, height)",
                    [](Args& a) {
                        const auto w = a.get<std::uint16_t>(0);
                        const auto h = a.get<std::uint16_t>(1);
                        return make<CoreSessionClass>(PySession{ce::Session::offscreen(w, h), std::nullopt});
                    })
        .static_method("supports_live_terminal", "()", [](Args&) { return to_py(true); })
        .method("is_buffer_backed", "($self)", [](const PySession& s) { return to_py(s.session.is_buffer_backed()); })
        .method("is_inline", "($self)", [](const PySession& s) { return to_py(s.inline_height.has_value()); })
        .method("get_inline_height", "($self)",
                [](const PySession& s) { return s.inline_height ? to_py(*s.inline_height) : none(); })
        .method("render", "($self, node)",
                [](PySession& s, Args& a) {
                    render_session_frame(s, a[0]);
                    return none();
                })
        .method("buffer_snapshot", "($self)",
                [](PySession& s) { return make<BufferClass>(raising_closed([&]() -> core::Buffer { return s.session.buffer(); })); })
        .method("get_size", "($self)",
                [](const PySession& s) {
                    if (has_buffer(s)) return make<SizeClass>(s.session.target()->size());
                    const core::term::CellSize z = core::term::terminal_size();
                    return make<SizeClass>(core::Size{z.columns, z.rows});
                })
        .method("get_window_size", "($self)",
                [](const PySession& s) {
                    if (has_buffer(s)) return make<SizeClass>(s.session.target()->size());
                    const core::term::WindowSize z = core::term::window_size();
                    return make<SizeClass>(core::Size{z.columns, z.rows});
                })
        .method("get_viewport_area", "($self)",
                [](PySession& s) { return make<RectClass>(raising_closed([&] { return s.session.buffer().area; })); })
        .method("get_last_frame_area", "($self)",
                [](const PySession& s) {
                    const auto area = s.session.last_frame_area();
                    return area ? make<RectClass>(*area) : none();
                })
        .method("effect_area_for", "($self, key)",
                [](const PySession& s, Args& a) {
                    const std::string key = a.get<std::string>(0);
                    const auto& areas = s.session.effect_areas();
                    const auto it = areas.find(key);
                    return it == areas.end() ? none() : make<RectClass>(it->second);
                })
        .method("add_effect", "($self, effect)",
                [](PySession& s, Args& a) {
                    s.session.effects().add(effect_arg(a, 0));
                    return none();
                })
        .method("add_unique_effect", "($self, key, effect)",
                [](PySession& s, Args& a) {
                    const std::string key = a.get<std::string>(0);
                    s.session.effects().add_unique(key, unique_effect_arg(a, 1));
                    return none();
                })
        .method("cancel_effect", "($self, key)",
                [](PySession& s, Args& a) {
                    s.session.effects().cancel(a.get<std::string>(0));
                    return none();
                })
        .method("is_animating", "($self)", [](const PySession& s) { return to_py(s.session.effects().is_running()); })
        .method("poll_event", "($self, timeout_ms=16)",
                [](PySession& s, Args& a) -> PyObject* {
                    const auto timeout = a.get_or<std::uint64_t>(0, 16);
                    PyObject* e = has_terminal(s) ? live_wait()(s, timeout) : wait_without_terminal(s);
                    return e ? e : none();
                })
        .raw_method(read_event_def())
        .method("restore", "($self)",
                [](PySession& s) {
                    refuse_close_while_drawing(s);
                    s.session.close();
                    return none();
                })
        .method("__enter__", "($self)",
                [](PyObject* self, Args&) {
                    Exclusive<CoreSessionClass> held(self);
                    Py_INCREF(self);
                    return self;
                })
        .method("__exit__", "($self, exc_type=None, exc_value=None, traceback=None)",
                [](PySession& s, Args&) {
                    refuse_close_while_drawing(s);
                    s.session.close();
                    return to_py(false);
                });
    for (const PyMethodDef& def : extra_session_methods()) b.raw_method(def);
    return b.build();
}

TARVO_REGISTER_CLASS(CoreSessionClass);

}  // namespace tarvo::bindings
