// CoreRenderContent, what a render node draws, and the bridge between the core's opaque
// content handles and the Python objects they stand for.
#pragma once

#include <memory>

#include "bindings/runtime/klass.hpp"
#include "core/engine/render_tree.hpp"

namespace tarvo::bindings {

struct CoreRenderContentClass {
    using Value = core::engine::RenderContent;
    static constexpr const char* name = "CoreRenderContent";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::content_bridge::PyRenderContent";
    static PyTypeObject* create();
};

// A handle that keeps a strong reference to `o` and releases it with the last copy. Handles
// are released on the thread that holds the interpreter lock (every render object is bound to
// its thread).
std::shared_ptr<const void> hold_object(PyObject* o);
// The object behind a handle (borrowed).
inline PyObject* held_object(const std::shared_ptr<const void>& h) noexcept {
    return const_cast<PyObject*>(static_cast<const PyObject*>(h.get()));
}

}  // namespace tarvo::bindings
