// Span, Line and Text classes. Their values are the core's text values; the conversions that
// turn Python arguments into them are in convert_text.hpp.
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/text.hpp"

namespace tarvo::bindings {

struct SpanClass {
    using Value = core::Span;
    static constexpr const char* name = "Span";
    static PyTypeObject* create();
};

struct LineClass {
    using Value = core::Line;
    static constexpr const char* name = "Line";
    static PyTypeObject* create();
};

struct TextClass {
    using Value = core::Text;
    static constexpr const char* name = "Text";
    static PyTypeObject* create();
};

// New Python objects holding a copy of a value (new references).
inline PyObject* span_to_py(core::Span v) { return make<SpanClass>(std::move(v)); }
inline PyObject* line_to_py(core::Line v) { return make<LineClass>(std::move(v)); }
inline PyObject* text_to_py(core::Text v) { return make<TextClass>(std::move(v)); }

}  // namespace tarvo::bindings
