#include "bindings/runtime/error.hpp"

#include <new>
#include <stdexcept>

#include "bindings/runtime/ref.hpp"
#include "core/buffer_loan.hpp"
#include "core/io_error.hpp"
#include "core/panic.hpp"
#include "core/terminal/hooks.hpp"

namespace tarvo::bindings {

void raise(PyObject* type, std::string_view message) {
    Ref text = Ref::steal(PyUnicode_FromStringAndSize(message.data(), static_cast<Py_ssize_t>(message.size())));
    if (text) PyErr_SetObject(type, text.get());
    throw PyError{};
}

void throw_if_error() {
    if (PyErr_Occurred()) throw PyError{};
}

PyObject* check(PyObject* o) {
    if (!o) {
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_SystemError, "error return without exception set");
        throw PyError{};
    }
    return o;
}

PyObject* panic_exception_type() {
    static PyObject* type = nullptr;
    if (!type) {
        type = PyErr_NewExceptionWithDoc(
            "tarvo_core.rust.native.PanicException",
            "The exception raised when the native core fails unexpectedly.", PyExc_BaseException,
            nullptr);
        if (!type) throw PyError{};
    }
    return type;
}

// The terminal is given back before any panic reaches Python.
void raise_panic(std::string_view message) {
    core::terminal::run_restore_hooks();
    raise(panic_exception_type(), message);
}

std::string type_name_of_type(PyTypeObject* t) {
    Ref name = Ref::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(t), "__name__"));
    if (name && PyUnicode_Check(name.get())) {
        Py_ssize_t n = 0;
        if (const char* s = PyUnicode_AsUTF8AndSize(name.get(), &n)) return std::string(s, n);
    }
    PyErr_Clear();
    return "object";
}

std::string type_name(PyObject* o) { return type_name_of_type(Py_TYPE(o)); }

void raise_wrong_class(PyObject* o, std::string_view expected) {
    std::string msg;
    if (o == Py_None) {
        msg.append("'None' is not an instance of '");
    } else {
        msg.append("'").append(type_name(o)).append("' object is not an instance of '");
    }
    msg.append(expected).append("'");
    raise(PyExc_TypeError, msg);
}

void add_note_to_pending(std::string_view note) {
    PyObject *type = nullptr, *value = nullptr, *tb = nullptr;
    PyErr_Fetch(&type, &value, &tb);
    if (!type) return;
    PyErr_NormalizeException(&type, &value, &tb);
    if (value) {
        Ref text = Ref::steal(PyUnicode_FromStringAndSize(note.data(), static_cast<Py_ssize_t>(note.size())));
        bool done = false;
        if (text && PyObject_HasAttrString(value, "add_note")) {
            Ref r = Ref::steal(PyObject_CallMethod(value, "add_note", "O", text.get()));
            done = static_cast<bool>(r);
        } else if (text) {
            Ref notes = Ref::steal(PyObject_GetAttrString(value, "__notes__"));
            if (!notes) {
                PyErr_Clear();
                notes = Ref::steal(PyList_New(0));
                if (notes && PyObject_SetAttrString(value, "__notes__", notes.get()) != 0) notes = Ref();
            }
            done = notes && PyList_Check(notes.get()) && PyList_Append(notes.get(), text.get()) == 0;
        }
        if (!done) PyErr_Clear();
    }
    PyErr_Restore(type, value, tb);
}

void add_processing_note(std::string_view param) {
    std::string note = "while processing '";
    note += param;
    note += "'";
    add_note_to_pending(note);
}

void set_os_error(const core::IoError& e) {
    Ref text = Ref::steal(PyUnicode_FromStringAndSize(e.text().data(), static_cast<Py_ssize_t>(e.text().size())));
    if (!text) return;
    Ref err = Ref::steal(PyObject_CallFunctionObjArgs(PyExc_OSError, text.get(), nullptr));
    if (!err) return;
    if (e.code() != 0) {
        Ref code = Ref::steal(PyLong_FromLong(e.code()));
        if (!code || PyObject_SetAttrString(err.get(), "errno", code.get()) != 0) return;
    }
    PyErr_SetObject(PyExc_OSError, err.get());
}

void raise_os_error(const core::IoError& e) {
    set_os_error(e);
    throw PyError{};
}

void translate_current_exception() {
    try {
        throw;
    } catch (const PyError&) {
        if (!PyErr_Occurred()) PyErr_SetString(PyExc_SystemError, "error return without exception set");
    } catch (const core::Panic& p) {
        PyErr_Clear();
        try {
            raise_panic(p.what());
        } catch (const PyError&) {
        }
    } catch (const core::InUse& e) {
        PyErr_Clear();
        PyErr_SetString(PyExc_RuntimeError, e.what());
    } catch (const core::IoError& e) {
        PyErr_Clear();
        set_os_error(e);
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        PyErr_Clear();
        try {
            raise_panic(e.what());
        } catch (const PyError&) {
        }
    } catch (...) {
        PyErr_Clear();
        try {
            raise_panic("unknown failure in the native core");
        } catch (const PyError&) {
        }
    }
}

}  // namespace tarvo::bindings
