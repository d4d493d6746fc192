// Block, BorderSet and Padding classes, and the pieces the immutable widget builders share.
// Other widget classes take a Block through their `block(block)` builder: `a.value<BlockClass>(i)`
// copies the Block's value (with the wrong-class TypeError and the note naming the parameter),
// or `block_builder<Tag>()` is the whole method.
#pragma once

#include <utility>

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

// A copy of `value` with `change` applied to it, as a new object of Tag's class; the receiver
// is left as it was.
template <typename Tag, typename F>
PyObject* rebuilt(const typename Tag::Value& value, F&& change) {
    typename Tag::Value copy = value;
    change(copy);
    return make<Tag>(std::move(copy));
}

// The builder `(self, style)` that replaces the Style field `Field` of Tag's value whole.
template <typename Tag, auto Field>
constexpr auto style_builder() {
    return [](const typename Tag::Value& v, Args& a) {
        const core::Style s = a.value<StyleClass>(0);
        return rebuilt<Tag>(v, [&](typename Tag::Value& out) { out.*Field = s; });
    };
}

// The builder `block(block)` of a widget with an optional `block` field: a copy of the Block
// replaces any earlier one.
template <typename Tag>
constexpr auto block_builder() {
    return [](const typename Tag::Value& v, Args& a) {
        core::Block b = a.value<BlockClass>(0);
        return rebuilt<Tag>(v, [&](typename Tag::Value& out) { out.block = std::move(b); });
    };
}

}  // namespace tarvo::bindings
