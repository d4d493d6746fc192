// Rect, Position, Size, Offset and Margin classes.
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/geometry.hpp"

namespace tarvo::bindings {

struct RectClass {
    using Value = core::Rect;
    static constexpr const char* name = "Rect";
    static PyTypeObject* create();
};
struct PositionClass {
    using Value = core::Position;
    static constexpr const char* name = "Position";
    static PyTypeObject* create();
};
struct SizeClass {
    using Value = core::Size;
    static constexpr const char* name = "Size";
    static PyTypeObject* create();
};
struct OffsetClass {
    using Value = core::Offset;
    static constexpr const char* name = "Offset";
    static PyTypeObject* create();
};
struct MarginClass {
    using Value = core::Margin;
    static constexpr const char* name = "Margin";
    static PyTypeObject* create();
};

// Methods that other binding files add to Rect (Rect.split comes with the layout classes).
// Each is a PyMethodDef kept for the life of the process; add before Rect is first created.
bool add_rect_method(PyMethodDef def);

}  // namespace tarvo::bindings
