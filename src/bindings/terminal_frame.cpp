// Terminal, Frame and CompletedFrame.

#include "bindings/terminal_frame.hpp"

#include "bindings/buffer.hpp"
#include "bindings/fx.hpp"
#include "bindings/geometry.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/terminal/hooks.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::bindings {

namespace {

namespace live = core::terminal;

LiveFrame& frame_of(const FrameRef& f) {
    LiveFrame* frame = f.get();
    if (!frame) raise(PyExc_RuntimeError, "Frame expired");
    return *frame;
}

core::Buffer& buffer_of(const FrameRef& f) {
    frame_of(f);
    return *f.buffer.get();
}

PyObject* size_of(core::Size s) { return make<SizeClass>(s); }

}  // namespace

PyObject* draw_frame(live::LiveTerminal& t, PyObject* callback, bool checked) {
    t.autoresize();
    LiveFrame frame{t.viewport_area(), t.frame_count(), std::nullopt};
    bool failed = false;
    {
        const core::LendableBuffer::Loan loan = t.lend_current();
        const Ref handle = Ref::steal(make<FrameClass>(FrameRef{loan.access(), &frame}));
        const Ref result = Ref::steal(PyObject_CallFunctionObjArgs(callback, handle.get(), nullptr));
        failed = !result;
    }  // the loan ends: the Frame expires
    if (failed) {
        if (checked) {
            PyErr_Clear();
            raise_os_error(core::IoError::other("Python draw callback failed"));
        }
        PyErr_PrintEx(0);
    }
    t.finish_frame(frame.cursor);
    if (!checked) return none();
    return make<CompletedFrameClass>(CompletedFrameValue{t.previous_buffer(), t.last_known_area(), frame.count});
}

PyTypeObject* FrameClass::create() {
    using F = FrameRef;

    return ClassBuilder<FrameClass>()
        .doc("Frame context valid only for the duration of a `Terminal.draw` callback.")
        .method("area", "($self)", [](const F& f) { return make<RectClass>(frame_of(f).area); })
        .method("viewport", "($self)", [](const F& f) { return make<RectClass>(frame_of(f).area); })
        .method("size", "($self)",
                [](const F& f) {
                    const core::Rect a = frame_of(f).area;
                    return size_of(core::Size{a.width, a.height});
                })
        .method("count", "($self)", [](const F& f) { return to_py(frame_of(f).count); })
        .method("buffer", "($self)", [](F& f) { return make<BufferClass>(buffer_of(f)); })
        .method("get_buffer", "($self)", [](F& f) { return make<BufferClass>(buffer_of(f)); })
        .method("hide_cursor", "($self)",
                [](F& f) {
                    frame_of(f).cursor.reset();
                    return none();
                })
        .method("set_cursor_position", "($self, position)",
                [](F& f, Args& a) {
                    const core::Position p = a.value<PositionClass>(0);
                    frame_of(f).cursor = p;
                    return none();
                })
        .method("render_widget", "($self, widget, area)",
                [](F& f, Args& a) {
                    const core::Rect area = a.value<RectClass>(1);
                    render_any(a[0], area, buffer_of(f));
                    return none();
                })
        .method("render_stateful_widget", "($self, widget, area, state)",
                [](F& f, Args& a) {
                    const core::Rect area = a.value<RectClass>(1);
                    render_stateful_any(a[0], area, a[2], buffer_of(f));
                    return none();
                })
        .method("process_effects", "($self, manager, duration_ms, area)",
                [](F& f, Args& a) {
                    PyObject* manager = a.object<EffectManagerClass>(0);
                    const auto ms = a.get<std::uint32_t>(1);
                    const core::Rect area = a.value<RectClass>(2);
                    core::Buffer& buf = buffer_of(f);
                    Exclusive<EffectManagerClass> m(manager);
                    process_over_py_buffer(*m, ms, buf, area);
                    return none();
                })
        .build();
}
TARVO_REGISTER_CLASS(FrameClass);

PyTypeObject* CompletedFrameClass::create() {
    return ClassBuilder<CompletedFrameClass>()
        .doc("Snapshot of terminal state after a successful draw.")
        .getter("buffer", [](const CompletedFrameValue& c) { return make<BufferClass>(c.buffer); })
        .getter("area", [](const CompletedFrameValue& c) { return make<RectClass>(c.area); })
        .getter("count", [](const CompletedFrameValue& c) { return to_py(c.count); })
        .build();
}
TARVO_REGISTER_CLASS(CompletedFrameClass);

namespace {

live::LiveTerminal& live_of(TerminalValue& t) {
    if (!t.live) raise(PyExc_RuntimeError, "terminal closed");
    return *t.live;
}

}  // namespace

PyTypeObject* TerminalClass::create() {
    return ClassBuilder<TerminalClass>()
        .static_method("init", "()",
                       [](Args&) -> PyObject* {
                           // Every failure from here on gives the terminal back first.
                           const std::size_t hook = live::push_restore_hook([] { core::term::restore_terminal(); });
                           TerminalValue v;
                           try {
                               v.live = live::claim_terminal(live::Viewport::fullscreen(), true);
                           } catch (const core::IoError& e) {
                               live::truncate_restore_hooks(hook);
                               raise_panic("failed to initialize terminal: " + live::io_error_debug_text(e));
                           }
                           v.claimed = true;
                           return make<TerminalClass>(std::move(v));
                       })
        .method("draw", "($self, callback)",
                [](TerminalValue& t, Args& a) { return draw_frame(live_of(t), a[0], false); })
        .method("try_draw", "($self, callback)",
                [](TerminalValue& t, Args& a) { return draw_frame(live_of(t), a[0], true); })
        .method("size", "($self)",
                [](const TerminalValue&) {
                    const core::term::CellSize s = core::term::terminal_size();
                    return size_of(core::Size{s.columns, s.rows});
                })
        .method("clear", "($self)",
                [](TerminalValue& t) {
                    live_of(t).clear();
                    return none();
                })
        .method("flush", "($self)",
                [](TerminalValue& t) {
                    live_of(t).flush();
                    return none();
                })
        .method("__enter__", "($self)",
                [](PyObject* self, Args&) {
                    Exclusive<TerminalClass> hold(self);
                    Py_INCREF(self);
                    return self;
                })
        .method("__exit__", "($self, _exc_type, _exc_value, _traceback)",
                [](TerminalValue& t, Args&) {
                    core::term::restore_terminal();
                    if (t.claimed) {
                        live::release_claim();
                        t.claimed = false;
                    }
                    return none();
                })
        .build();
}
TARVO_REGISTER_CLASS(TerminalClass);

}  // namespace tarvo::bindings
