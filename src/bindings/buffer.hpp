// Buffer, BufferCell and BufferMutView classes, and what other binding files need of them:
// the core value of a Buffer object, the write view the render engine hands to draw
// callbacks, and the copies between a Buffer and a rendering buffer.
#pragma once

#include <memory>

#include "bindings/runtime/klass.hpp"
#include "core/buffer.hpp"
#include "core/buffer_loan.hpp"

namespace tarvo::bindings {

struct BufferClass {
    using Value = core::Buffer;
    static constexpr const char* name = "Buffer";
    static PyTypeObject* create();
};

struct BufferCellClass {
    using Value = core::Cell;
    static constexpr const char* name = "BufferCell";
    static PyTypeObject* create();
};

// A write view onto a frame buffer that someone else owns and lends (core::LendableBuffer):
// the view reaches the buffer while the loan is open; from then on every use of the view fails
// with "BufferMutView expired". While the loan is open the owner cannot resize or replace the
// buffer (core::InUse, raised as RuntimeError "Already borrowed").
struct MutView {
    core::BufferAccess frame;

    core::Buffer* get() const noexcept { return frame.get(); }
};

struct BufferMutViewClass {
    using Value = MutView;
    static constexpr const char* name = "BufferMutView";
    static constexpr const char* thread_path = "tarvo_core::bindings::buffer::PyBufferMutView";
    static PyTypeObject* create();
};

// A new BufferMutView over the lent buffer (new reference). Open the loan around the callback
// that receives the view:
//   auto loan = frame.lend();
//   Ref view = Ref::steal(make_buffer_mut_view(loan));
//   call the callback with view ...   // the loan ends with its scope, and the view expires
inline PyObject* make_buffer_mut_view(const core::LendableBuffer::Loan& loan) {
    return make<BufferMutViewClass>(MutView{loan.access()});
}

// Reading a Buffer object's value: borrow it with Shared<BufferClass> / Exclusive<BufferClass>
// (hold Exclusive for a whole copy-in, work, write-back sequence). A new Buffer object holding
// a copy: make<BufferClass>(buffer).

// Region copy: a new rendering buffer over the Python buffer's area with every cell copied
// (absent symbols as " ", only the defined modifier bits).
inline core::Buffer py_buffer_to_core(const core::Buffer& py) { return core::region_copy(py); }
// Write-back: the rendering buffer's cells copied into the Python buffer where the areas overlap.
inline void core_buffer_to_py(const core::Buffer& rendered, core::Buffer& py) {
    core::write_back(rendered, py);
}

// Methods that other binding files add to Buffer (the widget render methods). Each is kept for
// the life of the process; add before Buffer is first created (from a static initialiser).
bool add_buffer_method(PyMethodDef def);

}  // namespace tarvo::bindings
