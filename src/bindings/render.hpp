// Drawing any widget object handed in from Python into a core buffer.
//
// Every widget class registers how its value is drawn, by class, from its own binding file
// (from a static initialiser); without a function, the value's own render(area, buf) draws it:
//
//   static const bool gauge_drawn = register_widget_renderer<GaugeClass>();
//
//   static const bool list_drawn = register_stateful_renderer<RatListClass, ListStateClass>(
//       [](const core::List& l, core::ListState& s, const core::Rect& area, core::Buffer& buf) {
//           l.render(area, buf, s);
//       });
//
// The dispatch tests the registered classes in its fixed order (Paragraph, Block, RatList,
// RatTable, Gauge, Tabs, Sparkline, LineGauge, BarChart, Chart, Canvas, Clear, Span, Line, Text;
// stateful pairs: RatList/ListState, RatTable/TableState, Scrollbar/ScrollbarState), whatever
// order the registrations ran in. The module start-up refuses a draw function for a class
// outside that order (it would never be reached) and a place in the order without one. An instance
// of a subclass matches its class. The drawing function receives the object's value under a
// shared borrow (the state under an exclusive one) and must not call back into Python; an
// object held elsewhere in the conflicting way counts as no match.
//
// The C++ entry points serve the Buffer methods, terminal frames and the render engine. They
// throw PyError with the Python exception set (the TypeErrors of an unsupported widget or
// pair, errors of a Python `render(area)` method, RecursionError for a `render` chain that does
// not end) and core::Panic from the core; callers run inside the binding guard.
#pragma once

#include <new>

#include "bindings/runtime/klass.hpp"
#include "core/buffer.hpp"
#include "core/geometry.hpp"

namespace tarvo::bindings {

// Draws `widget` (any object) into `buf` over the absolute `area`.
void render_any(PyObject* widget, core::Rect area, core::Buffer& buf);
// Draws a widget with its state; the state object's value is updated in place.
void render_stateful_any(PyObject* widget, core::Rect area, PyObject* state, core::Buffer& buf);

namespace detail {

using TypeGetter = PyTypeObject* (*)();
using AnyFn = void (*)();  // the registered drawing function, cast back by its thunk
// Draws `obj` (an instance of the registered class) with the registered function `fn`;
// false when the object cannot be borrowed.
using WidgetThunk = bool (*)(AnyFn fn, PyObject* obj, const core::Rect& area, core::Buffer& buf);
using StatefulThunk = bool (*)(AnyFn fn, PyObject* widget, PyObject* state, const core::Rect& area,
                               core::Buffer& buf);

bool add_widget_renderer(const char* class_name, TypeGetter type, WidgetThunk thunk, AnyFn fn);
bool add_stateful_renderer(const char* widget_class, const char* state_class, TypeGetter widget_type,
                           TypeGetter state_type, StatefulThunk thunk, AnyFn fn);

template <typename Tag>
using DrawFn = void (*)(const typename Tag::Value&, const core::Rect&, core::Buffer&);
template <typename WidgetTag, typename StateTag>
using StatefulDrawFn = void (*)(const typename WidgetTag::Value&, typename StateTag::Value&, const core::Rect&,
                                core::Buffer&);

// A borrow that reports failure instead of raising.
template <typename B>
struct TryBorrow {
    alignas(B) unsigned char storage[sizeof(B)];
    bool held = false;
    explicit TryBorrow(PyObject* o) {
        try {
            new (storage) B(o);
            held = true;
        } catch (const PyError&) {
            PyErr_Clear();
        }
    }
    TryBorrow(const TryBorrow&) = delete;
    TryBorrow& operator=(const TryBorrow&) = delete;
    ~TryBorrow() {
        if (held) get().~B();
    }
    B& get() noexcept { return *reinterpret_cast<B*>(storage); }
};

template <typename Tag>
bool widget_thunk(AnyFn fn, PyObject* obj, const core::Rect& area, core::Buffer& buf) {
    TryBorrow<Shared<Tag>> hold(obj);
    if (!hold.held) return false;
    reinterpret_cast<DrawFn<Tag>>(fn)(*hold.get(), area, buf);
    return true;
}

template <typename WidgetTag, typename StateTag>
bool stateful_thunk(AnyFn fn, PyObject* widget, PyObject* state, const core::Rect& area, core::Buffer& buf) {
    TryBorrow<Shared<WidgetTag>> w(widget);
    if (!w.held) return false;
    TryBorrow<Exclusive<StateTag>> s(state);
    if (!s.held) return false;
    reinterpret_cast<StatefulDrawFn<WidgetTag, StateTag>>(fn)(*w.get(), *s.get(), area, buf);
    return true;
}

}  // namespace detail

// Registers how instances of Tag's class are drawn by render_widget.
template <typename Tag>
bool register_widget_renderer(detail::DrawFn<Tag> draw) {
    return detail::add_widget_renderer(Tag::name, &type_of<Tag>, &detail::widget_thunk<Tag>,
                                       reinterpret_cast<detail::AnyFn>(draw));
}

// Registers Tag's class as drawn by its value's own `render(area, buf)`.
template <typename Tag>
bool register_widget_renderer() {
    return register_widget_renderer<Tag>(
        [](const typename Tag::Value& w, const core::Rect& area, core::Buffer& buf) { w.render(area, buf); });
}

// Registers how a widget of WidgetTag's class is drawn with a state of StateTag's class by
// render_stateful_widget.
template <typename WidgetTag, typename StateTag>
bool register_stateful_renderer(detail::StatefulDrawFn<WidgetTag, StateTag> draw) {
    return detail::add_stateful_renderer(WidgetTag::name, StateTag::name, &type_of<WidgetTag>,
                                         &type_of<StateTag>, &detail::stateful_thunk<WidgetTag, StateTag>,
                                         reinterpret_cast<detail::AnyFn>(draw));
}

}  // namespace tarvo::bindings
