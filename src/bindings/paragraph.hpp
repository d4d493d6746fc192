// Paragraph, Wrap and Clear classes.
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/widgets/clear.hpp"
#include "core/widgets/paragraph.hpp"

namespace tarvo::bindings {

struct ParagraphClass {
    using Value = core::Paragraph;
    static constexpr const char* name = "Paragraph";
    static PyTypeObject* create();
};

struct WrapClass {
    using Value = core::Wrap;
    static constexpr const char* name = "Wrap";
    static PyTypeObject* create();
};

struct ClearClass {
    using Value = core::Clear;
    static constexpr const char* name = "Clear";
    static PyTypeObject* create();
};

}  // namespace tarvo::bindings
