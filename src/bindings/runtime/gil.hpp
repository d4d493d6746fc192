// Releasing the interpreter lock around a blocking wait.
//
//   bool ready;
//   {
//       WithoutGil unlocked;                  // other Python threads run meanwhile
//       ready = core_wait_for_input(timeout); // core code only: no Python object, no Python call
//   }                                         // the lock is taken back, even when it threw
//   check_signals();                          // a Ctrl+C that arrived meanwhile raises here
//
// While the lock is released, nothing may touch a Python object or call the C API; C++
// exceptions (core::IoError, core::Panic) may pass through: the destructor takes the lock back
// before the guard turns them into Python exceptions.
#pragma once

#include "bindings/runtime/error.hpp"

namespace tarvo::bindings {

class WithoutGil {
public:
    WithoutGil() noexcept : state_(PyEval_SaveThread()) {}
    WithoutGil(const WithoutGil&) = delete;
    WithoutGil& operator=(const WithoutGil&) = delete;
    ~WithoutGil() { PyEval_RestoreThread(state_); }

private:
    PyThreadState* state_;
};

// Runs `f()` with the interpreter lock released and returns its result.
template <typename F>
decltype(auto) without_gil(F&& f) {
    WithoutGil unlocked;
    return f();
}

// Runs the Python signal handlers that are due (the main thread only; elsewhere nothing); a
// handler that raised (KeyboardInterrupt from Ctrl+C) is thrown as PyError.
inline void check_signals() {
    if (PyErr_CheckSignals() != 0) throw PyError{};
}

}  // namespace tarvo::bindings
