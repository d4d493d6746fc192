// Block, BorderSet and Padding classes. Other widget classes take a Block through their
// `block(block)` builder: `a.value<BlockClass>(i)` copies the Block's value (with the
// wrong-class TypeError and the note naming the parameter).
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/widgets/block.hpp"

namespace tarvo::bindings {

struct BlockClass {
    using Value = core::Block;
    static constexpr const char* name = "Block";
    static PyTypeObject* create();
};

struct BorderSetClass {
    using Value = core::BorderSet;
    static constexpr const char* name = "BorderSet";
    static PyTypeObject* create();
};

struct PaddingClass {
    using Value = core::Padding;
    static constexpr const char* name = "Padding";
    static PyTypeObject* create();
};

}  // namespace tarvo::bindings
