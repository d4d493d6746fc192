#include "bindings/runtime/convert.hpp"

#include <limits>

namespace tarvo::bindings {

std::int64_t index_to_i64_checked(PyObject* o, std::int64_t lo, std::int64_t hi) {
    Ref idx = Ref::steal(check(PyNumber_Index(o)));
    int overflow = 0;
    long long v = PyLong_AsLongLongAndOverflow(idx.get(), &overflow);
    if (v == -1 && PyErr_Occurred()) throw PyError{};
    if (overflow != 0 || v < lo || v > hi)
        raise(PyExc_OverflowError, "out of range integral type conversion attempted");
    return v;
}

std::uint64_t index_to_u64(PyObject* o) {
    Ref idx = Ref::steal(check(PyNumber_Index(o)));
    unsigned long long v = PyLong_AsUnsignedLongLong(idx.get());
    if (v == static_cast<unsigned long long>(-1) && PyErr_Occurred()) throw PyError{};
    return v;
}

double to_double(PyObject* o) {
    double v = PyFloat_AsDouble(o);
    if (v == -1.0 && PyErr_Occurred()) throw PyError{};
    return v;
}

bool to_bool(PyObject* o) {
    if (o == Py_True) return true;
    if (o == Py_False) return false;
    // NumPy's bool scalar (numpy.bool_ / numpy.bool) converts through its truth value.
    PyTypeObject* t = Py_TYPE(o);
    Ref module = Ref::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(t), "__module__"));
    if (!module) PyErr_Clear();
    if (module && PyUnicode_Check(module.get()) && PyUnicode_CompareWithASCIIString(module.get(), "numpy") == 0) {
        std::string name = type_name_of_type(t);
        if (name == "bool_" || name == "bool") {
            int truth = PyObject_IsTrue(o);
            if (truth < 0) throw PyError{};
            return truth != 0;
        }
    }
    raise_wrong_class(o, "bool");
}

std::string_view to_utf8_view(PyObject* o) {
    if (!PyUnicode_Check(o)) raise_wrong_class(o, "str");
    Py_ssize_t n = 0;
    const char* s = PyUnicode_AsUTF8AndSize(o, &n);
    if (!s) throw PyError{};
    return std::string_view(s, static_cast<std::size_t>(n));
}

std::string to_utf8(PyObject* o) { return std::string(to_utf8_view(o)); }

void check_sequence(PyObject* o) {
    if (PyUnicode_Check(o)) raise(PyExc_TypeError, "Can't extract `str` to `Vec`");
    if (PySequence_Check(o)) return;
    static PyObject* abc_sequence = nullptr;
    if (!abc_sequence) {
        Ref abc = Ref::steal(check(PyImport_ImportModule("collections.abc")));
        abc_sequence = check(PyObject_GetAttrString(abc.get(), "Sequence"));
    }
    int is = PyObject_IsInstance(o, abc_sequence);
    if (is < 0) throw PyError{};
    if (!is) raise_wrong_class(o, "Sequence");
}

std::vector<Ref> sequence_items_exact(PyObject* o, Py_ssize_t n) {
    if (PyUnicode_Check(o)) raise(PyExc_TypeError, "Can't extract `str` to `Vec`");
    check_sequence(o);
    Py_ssize_t len = PySequence_Size(o);
    if (len < 0) throw PyError{};
    if (len != n) {
        raise(PyExc_ValueError, "expected a sequence of length " + std::to_string(n) + " (got " +
                                    std::to_string(len) + ")");
    }
    std::vector<Ref> items;
    for (Py_ssize_t i = 0; i < n; ++i) items.push_back(Ref::steal(check(PySequence_GetItem(o, i))));
    return items;
}

std::vector<PyObject*> tuple_items_exact(PyObject* o, Py_ssize_t n) {
    if (!PyTuple_Check(o)) raise_wrong_class(o, "tuple");
    Py_ssize_t len = PyTuple_Size(o);
    if (len != n) {
        raise(PyExc_ValueError, "expected tuple of length " + std::to_string(n) + ", but got tuple of length " +
                                    std::to_string(len));
    }
    std::vector<PyObject*> items;
    for (Py_ssize_t i = 0; i < n; ++i) items.push_back(PyTuple_GetItem(o, i));
    return items;
}

PyObject* to_py(bool v) { return check(PyBool_FromLong(v)); }
PyObject* to_py(std::int64_t v) { return check(PyLong_FromLongLong(v)); }
PyObject* to_py(std::uint64_t v) { return check(PyLong_FromUnsignedLongLong(v)); }
PyObject* to_py(double v) { return check(PyFloat_FromDouble(v)); }
PyObject* to_py(std::string_view v) {
    return check(PyUnicode_FromStringAndSize(v.data(), static_cast<Py_ssize_t>(v.size())));
}
PyObject* none() { Py_RETURN_NONE; }

PyObject* tuple_of(std::initializer_list<PyObject*> items) {
    PyObject* t = PyTuple_New(static_cast<Py_ssize_t>(items.size()));
    if (!t) {
        for (PyObject* o : items) Py_XDECREF(o);
        throw PyError{};
    }
    Py_ssize_t i = 0;
    for (PyObject* o : items) PyTuple_SetItem(t, i++, o);
    return t;
}

}  // namespace tarvo::bindings
