// Constraint, LayoutSpacing (with its variants Space and Overlap) and Layout classes, and the
// two list steps that turn a Python list of Constraint objects into constraint values.
#pragma once

#include <vector>

#include "bindings/runtime/klass.hpp"
#include "core/layout.hpp"

namespace tarvo::bindings {

struct ConstraintClass {
    using Value = core::Constraint;
    static constexpr const char* name = "Constraint";
    static PyTypeObject* create();
};

// The base of the two spacing variants; it is never instantiated itself.
struct LayoutSpacingClass {
    using Value = core::Spacing;
    static constexpr const char* name = "LayoutSpacing";
    static PyTypeObject* create();
};
struct SpaceClass {
    using Value = core::Spacing;
    static constexpr const char* name = "Space";
    static PyTypeObject* create();
};
struct OverlapClass {
    using Value = core::Spacing;
    static constexpr const char* name = "Overlap";
    static PyTypeObject* create();
};

struct LayoutClass {
    using Value = core::Layout;
    static constexpr const char* name = "Layout";
    static PyTypeObject* create();
};

// The constraint values of a Python list (callers have checked that it is a list): every item
// must be a Constraint, else ValueError "constraints must be a sequence of Constraint"
// (layouts) or "expected a sequence of Constraint" (table widths), without a note.
std::vector<core::Constraint> collect_layout_constraints(PyObject* list);
std::vector<core::Constraint> collect_table_widths(PyObject* list);

}  // namespace tarvo::bindings
