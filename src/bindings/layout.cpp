#include "bindings/layout.hpp"

#include <string>
#include <utility>

#include "bindings/geometry.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

using core::Constraint;

PyObject* rect_list(const std::vector<core::Rect>& rects) {
    return list_of(rects, [](const core::Rect& r) { return make<RectClass>(r); });
}

PyObject* constraint_list(const std::vector<Constraint>& cs) {
    return list_of(cs, [](const Constraint& c) { return make<ConstraintClass>(c); });
}

// from_lengths and friends: a sequence of 16-bit amounts, one constraint each.
template <Constraint (*Make)(std::uint16_t)>
PyObject* constraints_from_amounts(Args& a) {
    const auto amounts = with_note(a.name(0), [&] { return sequence_to_vector<std::uint16_t>(a[0]); });
    std::vector<Constraint> cs;
    cs.reserve(amounts.size());
    for (std::uint16_t v : amounts) cs.push_back(Make(v));
    return constraint_list(cs);
}

// An item of from_ratios: a tuple (numerator, denominator).
struct RatioItem {
    static Constraint from(PyObject* o) {
        const auto items = tuple_items_exact(o, 2);
        const std::uint32_t n = Convert<std::uint32_t>::from(items[0]);
        const std::uint32_t d = Convert<std::uint32_t>::from(items[1]);
        return Constraint::ratio(n, d);
    }
};

template <typename Tag>
PyObject* spacing_item(PyObject* self, PyObject* key) {
    return guard([&]() -> PyObject* {
        const std::uint64_t idx = with_note("idx", [&] { return index_to_u64(key); });
        if (idx != 0) raise(PyExc_IndexError, "tuple index out of range");
        return to_py(instance<Tag>(self)->value.amount);
    });
}

Py_ssize_t spacing_length(PyObject*) { return 1; }

// Space and Overlap: tuple-like variants of LayoutSpacing with one field `_0`.
template <typename Tag, core::Spacing::Kind K>
PyTypeObject* create_spacing_variant(const char* qualname) {
    static const char* const kQualname = qualname;
    return ClassBuilder<Tag>()
        .base(type_of<LayoutSpacingClass>())
        .constructor("(_0)", [](Args& a) { return core::Spacing{K, a.get<std::uint16_t>(0)}; })
        .getter("_0", [](const core::Spacing& s) { return to_py(s.amount); })
        .slot(Py_mp_subscript, &spacing_item<Tag>)
        .slot(Py_mp_length, &spacing_length)
        .slot(Py_sq_length, &spacing_length)
        .class_attr("__match_args__", [] { return tuple_of({to_py("_0")}); })
        .class_attr("__qualname__", [] { return to_py(kQualname); })
        .build();
}

std::vector<Constraint> constraints_arg(Args& a, std::size_t i) {
    if (!PyList_Check(a[i])) with_note(a.name(i), [&] { raise_wrong_class(a[i], "list"); });
    return collect_layout_constraints(a[i]);
}

core::Direction direction_arg(Args& a, std::size_t i) {
    return static_cast<core::Direction>(a.value<DirectionClass>(i));
}

PyObject* new_layout(core::Direction direction, std::vector<Constraint> constraints) {
    core::Layout l;
    l.direction = direction;
    l.constraints = std::move(constraints);
    return make<LayoutClass>(std::move(l));
}

// A builder: a copy of the receiver with one change.
template <typename F>
PyObject* changed(const core::Layout& l, F&& change) {
    core::Layout copy = l;
    change(copy);
    return make<LayoutClass>(std::move(copy));
}

std::vector<Constraint> collect_constraints(PyObject* list, const char* message) {
    std::vector<Constraint> out;
    for_each_list_item(list, [&](PyObject* item) {
        if (!is_instance<ConstraintClass>(item)) raise(PyExc_ValueError, message);
        out.push_back(value_of<ConstraintClass>(item));
    });
    return out;
}

}  // namespace

std::vector<Constraint> collect_layout_constraints(PyObject* list) {
    return collect_constraints(list, "constraints must be a sequence of Constraint");
}

std::vector<Constraint> collect_table_widths(PyObject* list) {
    return collect_constraints(list, "expected a sequence of Constraint");
}

PyTypeObject* ConstraintClass::create() {
    return ClassBuilder<ConstraintClass>()
        .static_method("min", "(value)",
                       [](Args& a) { return make<ConstraintClass>(Constraint::min(a.get<std::uint16_t>(0))); })
        .static_method("max", "(value)",
                       [](Args& a) { return make<ConstraintClass>(Constraint::max(a.get<std::uint16_t>(0))); })
        .static_method("length", "(value)",
                       [](Args& a) { return make<ConstraintClass>(Constraint::length(a.get<std::uint16_t>(0))); })
        .static_method("percentage", "(value)",
                       [](Args& a) {
                           return make<ConstraintClass>(Constraint::percentage(a.get<std::uint16_t>(0)));
                       })
        .static_method("ratio", "(numerator, denominator)",
                       [](Args& a) {
                           const std::uint32_t n = a.get<std::uint32_t>(0);
                           const std::uint32_t d = a.get<std::uint32_t>(1);
                           return make<ConstraintClass>(Constraint::ratio(n, d));
                       })
        .static_method("fill", "(value)",
                       [](Args& a) { return make<ConstraintClass>(Constraint::fill(a.get<std::uint16_t>(0))); })
        .static_method("from_lengths", "(values)",
                       [](Args& a) { return constraints_from_amounts<&Constraint::length>(a); })
        .static_method("from_percentages", "(values)",
                       [](Args& a) { return constraints_from_amounts<&Constraint::percentage>(a); })
        .static_method("from_mins", "(values)",
                       [](Args& a) { return constraints_from_amounts<&Constraint::min>(a); })
        .static_method("from_maxes", "(values)",
                       [](Args& a) { return constraints_from_amounts<&Constraint::max>(a); })
        .static_method("from_fills", "(values)",
                       [](Args& a) { return constraints_from_amounts<&Constraint::fill>(a); })
        .static_method("from_ratios", "(values)",
                       [](Args& a) {
                           return constraint_list(with_note(
                               a.name(0), [&] { return sequence_to_vector<Constraint, RatioItem>(a[0]); }));
                       })
        .method("apply", "($self, length)",
                [](const Constraint& c, Args& a) { return to_py(c.apply(a.get<std::uint16_t>(0))); })
        .repr([](const Constraint& c) { return c.debug(); })
        .build();
}

PyTypeObject* LayoutSpacingClass::create() {
    return ClassBuilder<LayoutSpacingClass>()
        .subclassable()
        .class_attr("Space", [] { return Ref::borrow(reinterpret_cast<PyObject*>(type_of<SpaceClass>())).release(); })
        .class_attr("Overlap",
                    [] { return Ref::borrow(reinterpret_cast<PyObject*>(type_of<OverlapClass>())).release(); })
        .build();
}

PyTypeObject* SpaceClass::create() {
    return create_spacing_variant<SpaceClass, core::Spacing::Kind::Space>("LayoutSpacing.Space");
}

PyTypeObject* OverlapClass::create() {
    return create_spacing_variant<OverlapClass, core::Spacing::Kind::Overlap>("LayoutSpacing.Overlap");
}

PyTypeObject* LayoutClass::create() {
    using core::Layout;
    return ClassBuilder<LayoutClass>()
        .static_method("new", "(direction, constraints)",
                       [](Args& a) {
                           const core::Direction d = direction_arg(a, 0);
                           return new_layout(d, constraints_arg(a, 1));
                       })
        .static_method("vertical", "(constraints)",
                       [](Args& a) { return new_layout(core::Direction::Vertical, constraints_arg(a, 0)); })
        .static_method("horizontal", "(constraints)",
                       [](Args& a) { return new_layout(core::Direction::Horizontal, constraints_arg(a, 0)); })
        .static_method("default", "()", [](Args&) { return make<LayoutClass>(Layout{}); })
        .method("direction", "($self, direction)",
                [](const Layout& l, Args& a) {
                    const core::Direction d = direction_arg(a, 0);
                    return changed(l, [&](Layout& c) { c.direction = d; });
                })
        .method("constraints", "($self, constraints)",
                [](const Layout& l, Args& a) {
                    auto cs = constraints_arg(a, 0);
                    return changed(l, [&](Layout& c) { c.constraints = std::move(cs); });
                })
        .method("margin", "($self, value)",
                [](const Layout& l, Args& a) {
                    const std::uint16_t v = a.get<std::uint16_t>(0);
                    return changed(l, [&](Layout& c) { c.margin = core::Margin{v, v}; });
                })
        .method("margin_xy", "($self, margin)",
                [](const Layout& l, Args& a) {
                    const core::Margin m = a.value<MarginClass>(0);
                    return changed(l, [&](Layout& c) { c.margin = m; });
                })
        .method("horizontal_margin", "($self, value)",
                [](const Layout& l, Args& a) {
                    const std::uint16_t v = a.get<std::uint16_t>(0);
                    return changed(l, [&](Layout& c) { c.margin.horizontal = v; });
                })
        .method("vertical_margin", "($self, value)",
                [](const Layout& l, Args& a) {
                    const std::uint16_t v = a.get<std::uint16_t>(0);
                    return changed(l, [&](Layout& c) { c.margin.vertical = v; });
                })
        .method("flex", "($self, flex)",
                [](const Layout& l, Args& a) {
                    const auto f = static_cast<core::Flex>(a.value<FlexClass>(0));
                    return changed(l, [&](Layout& c) { c.flex = f; });
                })
        .method("spacing", "($self, value)",
                [](const Layout& l, Args& a) {
                    const core::Spacing s = core::Spacing::from_signed(a.get<std::int32_t>(0));
                    return changed(l, [&](Layout& c) { c.spacing = s; });
                })
        .method("spacing_layout", "($self, spacing)",
                [](const Layout& l, Args& a) {
                    const core::Spacing s = a.value<LayoutSpacingClass>(0);
                    return changed(l, [&](Layout& c) { c.spacing = s; });
                })
        .method("split", "($self, area)",
                [](const Layout& l, Args& a) { return rect_list(l.split(a.value<RectClass>(0))); })
        .method("split_with_spacers", "($self, area)",
                [](const Layout& l, Args& a) {
                    const core::Split s = l.split_with_spacers(a.value<RectClass>(0));
                    Ref segments = Ref::steal(rect_list(s.segments));
                    Ref spacers = Ref::steal(rect_list(s.spacers));
                    return tuple_of({segments.release(), spacers.release()});
                })
        .repr([](const Layout& l) { return l.debug(); })
        .build();
}

// Rect.split(layout) belongs with the layouts; Rect's own file builds the class.
[[maybe_unused]] static const bool rect_split_added = add_rect_method(method_def<RectClass>(
    "split", "($self, layout)", [](const core::Rect& r, Args& a) {
        PyObject* layout = a.object<LayoutClass>(0);
        Shared<LayoutClass> b(layout);
        return rect_list(b->split(r));
    }));

TARVO_REGISTER_CLASS(ConstraintClass);
TARVO_REGISTER_CLASS(LayoutSpacingClass);
TARVO_REGISTER_CLASS(LayoutClass);

}  // namespace tarvo::bindings
