// CoreTerminalRef: a session's live terminal reached from Python with the Terminal's draw
// protocol. The session keeps the terminal; a reference reaches it only while the session holds
// it, and once the session gave it back every use is refused.

#include <memory>

#include "bindings/engine/session.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_frame.hpp"
#include "core/terminal/size.hpp"
#include "core/terminal/terminal_target.hpp"

namespace tarvo::bindings {

namespace live = core::terminal;

struct TerminalRefValue {
    std::shared_ptr<live::LiveScreen> screen;
};

struct CoreTerminalRefClass {
    using Value = TerminalRefValue;
    static constexpr const char* name = "CoreTerminalRef";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::session::PyTerminalRef";
    static PyTypeObject* create();
};

namespace {

live::LiveScreen& screen_of(const TerminalRefValue& r) {
    if (!r.screen || !r.screen->terminal()) raise(PyExc_RuntimeError, "terminal reference expired");
    return *r.screen;
}

// Runs `f` on the referred terminal as the one frame on the screen.
template <typename F>
PyObject* on_terminal(const TerminalRefValue& r, F&& f) {
    live::LiveScreen& screen = screen_of(r);
    return screen.drawing([&] { return f(*screen.terminal()); });
}

const bool get_terminal_added = add_session_method(
    method_def<CoreSessionClass>("get_terminal", "($self)", [](PySession& s) -> PyObject* {
        auto* target = dynamic_cast<live::LiveTarget*>(s.session.target());
        if (!target || !target->screen()->terminal()) raise(PyExc_RuntimeError, "session has no live terminal");
        return make<CoreTerminalRefClass>(TerminalRefValue{target->screen()});
    }));

}  // namespace

PyTypeObject* CoreTerminalRefClass::create() {
    using R = TerminalRefValue;
    return ClassBuilder<CoreTerminalRefClass>()
        .method("draw", "($self, callback)",
                [](R& r, Args& a) {
                    return on_terminal(r, [&](live::LiveTerminal& t) { return draw_frame(t, a[0], false); });
                })
        .method("try_draw", "($self, callback)",
                [](R& r, Args& a) {
                    return on_terminal(r, [&](live::LiveTerminal& t) { return draw_frame(t, a[0], true); });
                })
        .method("clear", "($self)",
                [](R& r) {
                    return on_terminal(r, [](live::LiveTerminal& t) {
                        t.clear();
                        return none();
                    });
                })
        .method("flush", "($self)",
                [](R& r) {
                    return on_terminal(r, [](live::LiveTerminal& t) {
                        t.flush();
                        return none();
                    });
                })
        .method("size", "($self)",
                [](const R&) {
                    const core::term::CellSize s = core::term::terminal_size();
                    return make<SizeClass>(core::Size{s.columns, s.rows});
                })
        .build();
}
TARVO_REGISTER_CLASS(CoreTerminalRefClass);

}  // namespace tarvo::bindings
