// Errors across the boundary: C++ code throws, the guard around every entry point turns what it
// catches into a Python exception (core::Panic: the panic exception; core::IoError: OSError;
// core::InUse: RuntimeError; std::bad_alloc: MemoryError). No C++ exception ever reaches the interpreter.
#pragma once

#include <string>
#include <string_view>

#include "bindings/runtime/python.hpp"

namespace tarvo::core {
class IoError;
}

namespace tarvo::bindings {

// Thrown when a Python exception is already set (by the interpreter or by raise()).
struct PyError {};

// Sets `type` with `message` and throws PyError.
[[noreturn]] void raise(PyObject* type, std::string_view message);
// Throws PyError if a Python exception is set, else does nothing.
void throw_if_error();
// Throws PyError when `o` is null (a failed C API call), else returns it.
PyObject* check(PyObject* o);

// OSError with the I/O error's display text as its one argument and `errno` set to the error
// number (left None for an error built from a message). A core::IoError thrown through the guard
// is raised this way.
[[noreturn]] void raise_os_error(const core::IoError& e);

// The process-wide panic exception type (derives from BaseException).
PyObject* panic_exception_type();
[[noreturn]] void raise_panic(std::string_view message);

// Adds "while processing '<param>'" to the pending exception.
void add_processing_note(std::string_view param);
// Adds a note to the pending exception (add_note where it exists, else __notes__).
void add_note_to_pending(std::string_view note);

// Names a Python object's type as the messages do ("int", "NoneType").
std::string type_name(PyObject* o);
std::string type_name_of_type(PyTypeObject* t);

// "'{type}' object is not an instance of '{expected}'" ("'None' is not an instance of ..." for None).
[[noreturn]] void raise_wrong_class(PyObject* o, std::string_view expected);

// Runs `f`, turning any C++ exception into a Python exception; returns `fail` on failure.
void translate_current_exception();

template <typename F, typename R = decltype(std::declval<F>()())>
R guard(F&& f, R fail) noexcept {
    try {
        return f();
    } catch (...) {
        translate_current_exception();
        return fail;
    }
}

template <typename F>
PyObject* guard(F&& f) noexcept {
    return guard(std::forward<F>(f), static_cast<PyObject*>(nullptr));
}

}  // namespace tarvo::bindings
