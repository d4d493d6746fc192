// IrLine and CoreRenderIR: the render IR's Python face. Builders copy everything they are
// given into a core IR value; the value is shared (never copied) by every render content that
// holds the object.
#pragma once

#include <memory>

#include "bindings/runtime/klass.hpp"
#include "core/engine/ir.hpp"
#include "core/text.hpp"

namespace tarvo::bindings {

struct IrLineClass {
    using Value = core::Line;
    static constexpr const char* name = "IrLine";
    static constexpr const char* module = kEngineModule;
    static PyTypeObject* create();
};

struct CoreRenderIRClass {
    using Value = std::shared_ptr<const core::engine::IrValue>;
    static constexpr const char* name = "CoreRenderIR";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::render_ir::CoreRenderIR";
    static PyTypeObject* create();
};

}  // namespace tarvo::bindings
