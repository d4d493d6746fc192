#include "bindings/render.hpp"

#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/buffer.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/text.hpp"

namespace tarvo::bindings {

namespace {

// The order in which the plain dispatch tests the widget classes.
constexpr std::array<std::string_view, 15> kWidgetOrder{
    "Paragraph", "Block",    "RatList", "RatTable", "Gauge", "Tabs", "Sparkline", "LineGauge",
    "BarChart",  "Chart",    "Canvas",  "Clear",    "Span",  "Line", "Text",
};

// The order in which the stateful dispatch tests widget/state pairs.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kStatefulOrder{{
    {"RatList", "ListState"},
    {"RatTable", "TableState"},
    {"Scrollbar", "ScrollbarState"},
}};

struct WidgetEntry {
    std::string_view name;
    detail::TypeGetter type;
    detail::WidgetThunk thunk;
    detail::AnyFn fn;
};

struct StatefulEntry {
    std::string_view widget;
    std::string_view state;
    detail::TypeGetter widget_type;
    detail::TypeGetter state_type;
    detail::StatefulThunk thunk;
    detail::AnyFn fn;
};

// Filled by static initialisers, read once the module runs.
std::vector<WidgetEntry>& widget_entries() {
    static std::vector<WidgetEntry> entries;
    return entries;
}
std::vector<StatefulEntry>& stateful_entries() {
    static std::vector<StatefulEntry> entries;
    return entries;
}

// The registered entries in dispatch order (built on first use, after every registration).
const std::vector<const WidgetEntry*>& widget_order() {
    static const std::vector<const WidgetEntry*> order = [] {
        std::vector<const WidgetEntry*> out;
        for (std::string_view name : kWidgetOrder)
            for (const WidgetEntry& e : widget_entries())
                if (e.name == name) out.push_back(&e);
        return out;
    }();
    return order;
}
const std::vector<const StatefulEntry*>& stateful_order() {
    static const std::vector<const StatefulEntry*> order = [] {
        std::vector<const StatefulEntry*> out;
        for (const auto& [widget, state] : kStatefulOrder)
            for (const StatefulEntry& e : stateful_entries())
                if (e.widget == widget && e.state == state) out.push_back(&e);
        return out;
    }();
    return order;
}

// Every widget class that has a draw function has its place in the dispatch order, and every
// place is taken: checked when the module starts.
std::vector<std::string> dispatch_problems() {
    std::vector<std::string_view> drawn, stateful_drawn;
    for (const WidgetEntry& e : widget_entries()) drawn.push_back(e.name);
    std::deque<std::string> pairs;  // "Widget/State", kept in place for the views below
    for (const StatefulEntry& e : stateful_entries()) {
        pairs.push_back(std::string(e.widget) + "/" + std::string(e.state));
        stateful_drawn.push_back(pairs.back());
    }
    std::vector<std::string_view> stateful_order_names;
    for (const auto& [widget, state] : kStatefulOrder) {
        pairs.push_back(std::string(widget) + "/" + std::string(state));
        stateful_order_names.push_back(pairs.back());
    }
    std::vector<std::string> out = order_problems("widget dispatch", {kWidgetOrder.begin(), kWidgetOrder.end()}, drawn);
    std::vector<std::string> more = order_problems("stateful widget dispatch", stateful_order_names, stateful_drawn);
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

[[maybe_unused]] const bool dispatch_checked = register_startup_check(&dispatch_problems);

bool is_a(PyObject* o, detail::TypeGetter type) { return PyObject_TypeCheck(o, type()) != 0; }

// The `__name__` of an object's type (a failure to read it is raised).
Ref type_name_object(PyObject* o) {
    return Ref::steal(check(PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(o)), "__name__")));
}

// Step 1 of a pass: the object a `_to_core()` call returns, else the `_inner` attribute, else
// the object itself. Every failure on the way is discarded.
Ref unwrap(PyObject* entered) {
    if (Ref to_core = Ref::steal(PyObject_GetAttrString(entered, "_to_core"))) {
        if (Ref result = Ref::steal(PyObject_CallObject(to_core.get(), nullptr))) return result;
        PyErr_Clear();
        return Ref::borrow(entered);
    }
    PyErr_Clear();
    if (Ref inner = Ref::steal(PyObject_GetAttrString(entered, "_inner"))) return inner;
    PyErr_Clear();
    return Ref::borrow(entered);
}

bool draw_native(PyObject* obj, const core::Rect& area, core::Buffer& buf) {
    for (const WidgetEntry* e : widget_order())
        if (is_a(obj, e->type) && e->thunk(e->fn, obj, area, buf)) return true;
    return false;
}

// Leaves the recursion levels entered for a chain of Python `render` results.
struct RecursionLevels {
    int entered = 0;
    ~RecursionLevels() {
        for (; entered > 0; --entered) Py_LeaveRecursiveCall();
    }
};

PyObject* render_widget_fn(Args& a) {
    const core::Rect area = a.value<RectClass>(1);
    PyObject* buffer = a.object<BufferClass>(2);
    Exclusive<BufferClass> held(buffer);
    render_any(a[0], area, *held);
    return none();
}

PyObject* render_stateful_widget_fn(Args& a) {
    const core::Rect area = a.value<RectClass>(1);
    PyObject* buffer = a.object<BufferClass>(3);
    Exclusive<BufferClass> held(buffer);
    render_stateful_any(a[0], area, a[2], *held);
    return none();
}

}  // namespace

namespace detail {

bool add_widget_renderer(const char* class_name, TypeGetter type, WidgetThunk thunk, AnyFn fn) {
    widget_entries().push_back(WidgetEntry{class_name, type, thunk, fn});
    return true;
}

bool add_stateful_renderer(const char* widget_class, const char* state_class, TypeGetter widget_type,
                           TypeGetter state_type, StatefulThunk thunk, AnyFn fn) {
    stateful_entries().push_back(StatefulEntry{widget_class, state_class, widget_type, state_type, thunk, fn});
    return true;
}

}  // namespace detail

void render_any(PyObject* widget, core::Rect area, core::Buffer& buf) {
    // A `render(area)` result starts a new pass. The passes run in a loop, each counted as one
    // level of recursion, so a chain that never ends stops with RecursionError at the
    // interpreter's limit without using native stack.
    RecursionLevels levels;
    Ref entered = Ref::borrow(widget);
    for (;;) {
        const Ref obj = unwrap(entered.get());
        if (draw_native(obj.get(), area, buf)) return;

        Ref render = Ref::steal(PyObject_GetAttrString(obj.get(), "render"));
        if (!render) {
            PyErr_Clear();
            const Ref name = type_name_object(entered.get());
            PyErr_Format(PyExc_TypeError, "unsupported widget type: %S", name.get());
            throw PyError{};
        }
        const Ref rect = Ref::steal(make<RectClass>(area));
        Ref result = Ref::steal(check(PyObject_CallFunctionObjArgs(render.get(), rect.get(), nullptr)));
        if (levels.entered >= Py_GetRecursionLimit()) {
            raise(PyExc_RecursionError, "maximum recursion depth exceeded while rendering a widget");
        }
        if (Py_EnterRecursiveCall(" while rendering a widget") != 0) throw PyError{};
        ++levels.entered;
        entered = std::move(result);
    }
}

void render_stateful_any(PyObject* widget, core::Rect area, PyObject* state, core::Buffer& buf) {
    for (const StatefulEntry* e : stateful_order()) {
        if (!is_a(widget, e->widget_type) || !is_a(state, e->state_type)) continue;
        if (e->thunk(e->fn, widget, state, area, buf)) return;
    }
    const Ref widget_name = type_name_object(widget);
    const Ref state_name = type_name_object(state);
    PyErr_Format(PyExc_TypeError, "unsupported stateful widget/state pair: %S / %S", widget_name.get(),
                 state_name.get());
    throw PyError{};
}

// The text values draw themselves.
[[maybe_unused]] static const bool span_drawn = register_widget_renderer<SpanClass>();
[[maybe_unused]] static const bool line_drawn = register_widget_renderer<LineClass>();
[[maybe_unused]] static const bool text_drawn = register_widget_renderer<TextClass>();

TARVO_FUNCTION_DOC(render_widget, "(widget, area, buffer)", "Render any supported widget into a buffer region.",
                   [](Args& a) -> PyObject* { return render_widget_fn(a); });
TARVO_FUNCTION_DOC(render_stateful_widget, "(widget, area, state, buffer)",
                   "Render any supported stateful widget into a buffer region.",
                   [](Args& a) -> PyObject* { return render_stateful_widget_fn(a); });

// The same two entry points as Buffer methods, with the receiver as the buffer.
[[maybe_unused]] static const bool buffer_render_widget = add_buffer_method(method_def<BufferClass>(
    "render_widget", "($self, widget, area)", [](PyObject* self, Args& a) -> PyObject* {
        const core::Rect area = a.value<RectClass>(1);
        Exclusive<BufferClass> held(self);
        render_any(a[0], area, *held);
        return none();
    }));
[[maybe_unused]] static const bool buffer_render_stateful_widget = add_buffer_method(method_def<BufferClass>(
    "render_stateful_widget", "($self, widget, area, state)", [](PyObject* self, Args& a) -> PyObject* {
        const core::Rect area = a.value<RectClass>(1);
        Exclusive<BufferClass> held(self);
        render_stateful_any(a[0], area, a[2], *held);
        return none();
    }));

}  // namespace tarvo::bindings
