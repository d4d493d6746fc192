#include "bindings/runtime/enums.hpp"

#include <string>

namespace tarvo::bindings::detail {

void raise_no_variant(const char* enum_name, unsigned v, std::size_t count) {
    raise(PyExc_ValueError, std::string(enum_name) + " has no variant " + std::to_string(v) + " (it has " +
                                std::to_string(count) + ")");
}

PyObject* enum_richcompare(std::uint8_t self_value, bool same_class, std::uint8_t other_value, PyObject* other,
                           int op) {
    if (op != Py_EQ && op != Py_NE) Py_RETURN_NOTIMPLEMENTED;
    bool equal;
    if (same_class) {
        equal = self_value == other_value;
    } else {
        PyObject* idx = PyNumber_Index(other);
        if (!idx) {
            PyErr_Clear();
            Py_RETURN_NOTIMPLEMENTED;
        }
        int overflow = 0;
        long long v = PyLong_AsLongLongAndOverflow(idx, &overflow);
        Py_DECREF(idx);
        if (v == -1 && PyErr_Occurred()) {
            PyErr_Clear();
            Py_RETURN_NOTIMPLEMENTED;
        }
        equal = overflow == 0 && v == self_value;
    }
    return to_py(op == Py_EQ ? equal : !equal);
}

}  // namespace tarvo::bindings::detail
