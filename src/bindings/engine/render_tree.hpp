// CoreRenderNode: one node of a render tree. Its value is a shared pointer to an immutable core
// node, so a node handed to several trees (or read back with get_children) is shared, not
// copied.
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/engine/render_tree.hpp"

namespace tarvo::bindings {

struct CoreRenderNodeClass {
    using Value = core::engine::NodePtr;
    static constexpr const char* name = "CoreRenderNode";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::render_tree::PyRenderNode";
    static PyTypeObject* create();
};

}  // namespace tarvo::bindings
