// CellFilter (with predicates that call Python), RefRect and RadialPattern.
#include <string>

#include "bindings/fx.hpp"
#include "bindings/geometry.hpp"
#include "bindings/layout.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"

namespace tarvo::bindings {

namespace fx = core::fx;

namespace {

// Holds a Python callable for a predicate; the reference is released under the interpreter
// lock (predicates may be dropped by code that does not hold it).
class PyCallable {
public:
    explicit PyCallable(PyObject* fn) : fn_(fn) { Py_INCREF(fn_); }
    PyCallable(const PyCallable&) = delete;
    PyCallable& operator=(const PyCallable&) = delete;
    ~PyCallable() {
        if (!Py_IsInitialized()) return;
        const PyGILState_STATE s = PyGILState_Ensure();
        Py_DECREF(fn_);
        PyGILState_Release(s);
    }

    // Calls fn(*args) (stealing the argument references; a null one means the arguments could
    // not be made). Only a True result selects; an exception or any other result does not, and
    // the exception is dropped unprinted.
    bool call(std::initializer_list<PyObject*> args) const {
        const PyGILState_STATE s = PyGILState_Ensure();
        PyObject *saved_type, *saved_value, *saved_tb;
        PyErr_Fetch(&saved_type, &saved_value, &saved_tb);
        bool selected = false;
        bool complete = true;
        for (PyObject* o : args) complete = complete && o != nullptr;
        if (complete) {
            PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(args.size()));
            if (tuple) {
                Py_ssize_t i = 0;
                for (PyObject* o : args) PyTuple_SetItem(tuple, i++, o);  // steals
                PyObject* r = PyObject_Call(fn_, tuple, nullptr);
                Py_DECREF(tuple);
                selected = r == Py_True;
                Py_XDECREF(r);
            }
        } else {
            for (PyObject* o : args) Py_XDECREF(o);
        }
        PyErr_Clear();
        PyErr_Restore(saved_type, saved_value, saved_tb);
        PyGILState_Release(s);
        return selected;
    }

private:
    PyObject* fn_;
};

class PyPositionPredicate final : public fx::PositionPredicate {
public:
    explicit PyPositionPredicate(PyObject* fn) : fn_(fn) {}
    bool operator()(core::Position p) const override {
        return fn_.call({PyLong_FromLong(p.x), PyLong_FromLong(p.y)});
    }

private:
    PyCallable fn_;
};

// Makes a Color object without raising (null on failure).
PyObject* color_object(core::Color c) noexcept {
    try {
        return make<ColorClass>(c);
    } catch (...) {
        PyErr_Clear();
        return nullptr;
    }
}

class PyCellPredicate final : public fx::CellPredicate {
public:
    explicit PyCellPredicate(PyObject* fn) : fn_(fn) {}
    bool operator()(const core::Cell& cell) const override {
        const std::string_view sym = cell.symbol.text();
        return fn_.call({PyUnicode_DecodeUTF8(sym.data(), static_cast<Py_ssize_t>(sym.size()), "replace"),
                         color_object(cell.fg), color_object(cell.bg)});
    }

private:
    PyCallable fn_;
};

struct FilterElem {
    static fx::CellFilter from(PyObject* o) { return value_of<CellFilterClass>(o); }
};

// Refuses a rule over `operands` that would nest too deeply or hold too many rules.
void check_nesting(const std::vector<const fx::CellFilter*>& operands) {
    if (const auto err = fx::filter_nesting_error(operands)) raise(PyExc_ValueError, *err);
}

// Copies of the filters of a sequence; each is measured before it is copied, so a list that
// would make too large a rule is refused without copying it first.
std::vector<fx::CellFilter> filters_arg(const Args& a, std::size_t i) {
    std::uint32_t depth = 0;
    std::uint64_t count = 1;
    return bounded_list_arg<CellFilterClass>(a, i, [&](const fx::CellFilter& f) {
        depth = std::max(depth, f.depth());
        count += f.node_count();
        return fx::filter_size_error(depth + 1, count);
    });
}

// The filter of argument i, checked to fit inside one more rule.
fx::CellFilter operand_arg(const Args& a, std::size_t i) {
    fx::CellFilter f = a.value<CellFilterClass>(i);
    check_nesting({&f});
    return f;
}

PyObject* filter_object(fx::CellFilter f) { return make<CellFilterClass>(std::move(f)); }

std::string ref_rect_repr(const fx::RefRect& r) {
    const core::Rect v = r.get();
    return "RefRect(x=" + std::to_string(v.x) + ", y=" + std::to_string(v.y) + ", width=" + std::to_string(v.width) +
           ", height=" + std::to_string(v.height) + ")";
}

}  // namespace

PyTypeObject* CellFilterClass::create() {
    using fx::CellFilter;
    return ClassBuilder<CellFilterClass>()
        .doc("Which cells of its area an effect touches.")
        .static_method("area", "(rect)", [](Args& a) { return filter_object(CellFilter::area(a.value<RectClass>(0))); })
        .static_method("ref_area", "(ref_rect)",
                       [](Args& a) { return filter_object(CellFilter::ref_area(a.value<RefRectClass>(0))); })
        .static_method("fg_color", "(color)",
                       [](Args& a) { return filter_object(CellFilter::fg_color(a.value<ColorClass>(0))); })
        .static_method("bg_color", "(color)",
                       [](Args& a) { return filter_object(CellFilter::bg_color(a.value<ColorClass>(0))); })
        .static_method("inner", "(margin)",
                       [](Args& a) { return filter_object(CellFilter::inner(a.value<MarginClass>(0))); })
        .static_method("outer", "(margin)",
                       [](Args& a) { return filter_object(CellFilter::outer(a.value<MarginClass>(0))); })
        .static_method("all_of", "(filters)",
                       [](Args& a) { return filter_object(CellFilter::all_of(filters_arg(a, 0))); })
        .static_method("any_of", "(filters)",
                       [](Args& a) { return filter_object(CellFilter::any_of(filters_arg(a, 0))); })
        .static_method("none_of", "(filters)",
                       [](Args& a) { return filter_object(CellFilter::none_of(filters_arg(a, 0))); })
        .static_method("not_", "(filter)",
                       [](Args& a) { return filter_object(CellFilter::negation(operand_arg(a, 0))); })
        .static_method("layout", "(layout, index)",
                       [](Args& a) {
                           core::Layout l = a.value<LayoutClass>(0);
                           const auto index = a.get<std::uint16_t>(1);
                           return filter_object(CellFilter::layout_segment(std::move(l), index));
                       })
        .static_method("position_fn", "(callback)",
                       [](Args& a) {
                           return filter_object(CellFilter::position(std::make_shared<PyPositionPredicate>(a[0])));
                       })
        .static_method("eval_cell", "(callback)",
                       [](Args& a) {
                           return filter_object(CellFilter::eval_cell(std::make_shared<PyCellPredicate>(a[0])));
                       })
        .method("negated", "($self)",
                [](const CellFilter& f) {
                    check_nesting({&f});
                    return filter_object(CellFilter::negation(f));
                })
        .method("into_static", "($self)",
                [](const CellFilter& f) {
                    check_nesting({&f});
                    return filter_object(CellFilter::into_static(f));
                })
        .class_attr("ALL", [] { return filter_object(CellFilter::all()); })
        .class_attr("TEXT", [] { return filter_object(CellFilter::text()); })
        .class_attr("NON_EMPTY", [] { return filter_object(CellFilter::non_empty()); })
        .class_attr("BACKGROUND", [] { return filter_object(CellFilter::eval_cell(fx::background_predicate())); })
        .class_attr("BACKGROUND_ONLY",
                    [] { return filter_object(CellFilter::eval_cell(fx::background_only_predicate())); })
        .build();
}
TARVO_REGISTER_CLASS(CellFilterClass);

PyTypeObject* RefRectClass::create() {
    using fx::RefRect;
    return ClassBuilder<RefRectClass>()
        .doc("A shared rectangle: filters made from it follow its changes while their effect runs.")
        .static_method("new", "(rect)", [](Args& a) { return make<RefRectClass>(RefRect(a.value<RectClass>(0))); })
        .static_method("default", "()", [](Args&) { return make<RefRectClass>(RefRect()); })
        .method("get", "($self)", [](const RefRect& r) { return make<RectClass>(r.get()); })
        .method("set", "($self, rect)",
                [](const RefRect& r, Args& a) {
                    r.set(a.value<RectClass>(0));
                    return none();
                })
        .method("contains", "($self, x, y)",
                [](const RefRect& r, Args& a) {
                    const auto x = a.get<std::uint16_t>(0);
                    const auto y = a.get<std::uint16_t>(1);
                    return to_py(r.contains(x, y));
                })
        .repr([](const RefRect& r) { return ref_rect_repr(r); })
        .build();
}
TARVO_REGISTER_CLASS(RefRectClass);

PyTypeObject* RadialPatternClass::create() {
    using fx::RadialPattern;
    return ClassBuilder<RadialPatternClass>()
        .doc("A progress that spreads out from a centre, for Effect.with_pattern.")
        .static_method("new", "(center_x, center_y)",
                       [](Args& a) {
                           const auto cx = a.get<float>(0);
                           const auto cy = a.get<float>(1);
                           return make<RadialPatternClass>(RadialPattern::make(cx, cy));
                       })
        .static_method("center", "()", [](Args&) { return make<RadialPatternClass>(RadialPattern::center()); })
        .static_method("with_transition", "(center_x, center_y, transition_width)",
                       [](Args& a) {
                           const auto cx = a.get<float>(0);
                           const auto cy = a.get<float>(1);
                           const auto w = a.get<float>(2);
                           return make<RadialPatternClass>(RadialPattern::with_transition(cx, cy, w));
                       })
        .method("with_center", "($self, center_x, center_y)",
                [](const RadialPattern& p, Args& a) {
                    const auto cx = a.get<float>(0);
                    const auto cy = a.get<float>(1);
                    return make<RadialPatternClass>(RadialPattern::with_transition(cx, cy, p.transition_width));
                })
        .method("with_transition_width", "($self, width)",
                [](const RadialPattern& p, Args& a) {
                    const auto w = a.get<float>(0);
                    return make<RadialPatternClass>(RadialPattern::with_transition(p.center_x, p.center_y, w));
                })
        .build();
}
TARVO_REGISTER_CLASS(RadialPatternClass);

}  // namespace tarvo::bindings
