// Block, BorderSet and Padding classes, and the pieces the immutable widget builders share.
// Other widget classes take a Block through their `block(block)` builder: `a.value<BlockClass>(i)`
// copies the Block's value (with the wrong-class TypeError and the note naming the parameter),
// or `block_builder<Tag>()` is the whole method.
#pragma once

#include <utility>

#include "bindings/builders.hpp"
#include "bindings/runtime/klass.hpp"
#include "bindings/style.hpp"
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

using StyleArg = InstanceArg<StyleClass>;
using BlockArg = InstanceArg<BlockClass>;

// The builder `(self, style)` that replaces the Style field `Field` of Tag's value whole.
template <typename Tag, auto Field>
constexpr auto style_builder() {
    return SetField<Tag, Field, StyleArg>{};
}

// The builder `block(block)` of a widget with an optional `block` field: a copy of the Block
// replaces any earlier one.
template <typename Tag>
constexpr auto block_builder() {
    return SetField<Tag, &Tag::Value::block, BlockArg>{};
}

}  // namespace tarvo::bindings
