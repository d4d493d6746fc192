// Conversions between Python values and C++ values, with the system's error texts.
//
//   Convert<T>::from(obj) -> T        raises (throws PyError) with the system's text
//   to_py(value)          -> PyObject* new reference
//
// Args::get<T>(i) wraps Convert<T>::from and adds the "while processing" note.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bindings/runtime/args.hpp"
#include "bindings/runtime/error.hpp"
#include "bindings/runtime/ref.hpp"
#include "core/numeric.hpp"

namespace tarvo::bindings {

// ---- Python -> C++ ----

// Integers through __index__; out of the type's range: OverflowError
// "out of range integral type conversion attempted".
std::int64_t index_to_i64_checked(PyObject* o, std::int64_t lo, std::int64_t hi);
// Unsigned 64-bit through __index__, with the interpreter's own OverflowError.
std::uint64_t index_to_u64(PyObject* o);
double to_double(PyObject* o);
// True/False and NumPy bool scalars; anything else is refused as not a 'bool'.
bool to_bool(PyObject* o);
// A str (or subclass) as UTF-8; anything else is refused as not a 'str'.
std::string to_utf8(PyObject* o);
std::string_view to_utf8_view(PyObject* o);  // valid while `o` lives

template <typename T, typename = void>
struct Convert;

template <typename T>
struct IntConvert {
    static T from(PyObject* o) {
        return static_cast<T>(index_to_i64_checked(o, static_cast<std::int64_t>(std::numeric_limits<T>::min()),
                                                   static_cast<std::int64_t>(std::numeric_limits<T>::max())));
    }
};
template <> struct Convert<std::uint8_t> : IntConvert<std::uint8_t> {};
template <> struct Convert<std::uint16_t> : IntConvert<std::uint16_t> {};
template <> struct Convert<std::uint32_t> : IntConvert<std::uint32_t> {};
template <> struct Convert<std::int32_t> : IntConvert<std::int32_t> {};
template <> struct Convert<std::int64_t> : IntConvert<std::int64_t> {};
template <> struct Convert<std::uint64_t> {
    static std::uint64_t from(PyObject* o) { return index_to_u64(o); }
};
template <> struct Convert<double> {
    static double from(PyObject* o) { return to_double(o); }
};
template <> struct Convert<float> {
    static float from(PyObject* o) { return core::narrow_to_float(to_double(o)); }
};
template <> struct Convert<bool> {
    static bool from(PyObject* o) { return to_bool(o); }
};
template <> struct Convert<std::string> {
    static std::string from(PyObject* o) { return to_utf8(o); }
};
// None -> nullopt.
template <typename T>
struct Convert<std::optional<T>> {
    static std::optional<T> from(PyObject* o) {
        if (o == Py_None) return std::nullopt;
        return Convert<T>::from(o);
    }
};

template <typename T>
T Args::get(std::size_t i) const {
    try {
        return Convert<T>::from(slots_[i]);
    } catch (const PyError&) {
        add_processing_note(name(i));
        throw;
    }
}

// Runs `f` and, if it fails with a Python exception, adds the "while processing" note.
template <typename F>
decltype(auto) with_note(std::string_view param, F&& f) {
    try {
        return f();
    } catch (const PyError&) {
        add_processing_note(param);
        throw;
    }
}

// A `list` (or subclass) walked in index order while the index is below both the length at the
// start and the current length. Element errors carry no note. Anything not a list is refused
// as not a 'list'.
template <typename F>
void for_each_list_item(PyObject* list, F&& f) {
    if (!PyList_Check(list)) raise_wrong_class(list, "list");
    const Py_ssize_t start_len = PyList_Size(list);
    for (Py_ssize_t i = 0; i < start_len && i < PyList_Size(list); ++i) {
        Ref item = Ref::borrow(PyList_GetItem(list, i));
        f(item.get());
    }
}

// A sequence of T (anything passing the sequence check or registered as a
// collections.abc.Sequence; a str is refused with "Can't extract `str` to `Vec`").
void check_sequence(PyObject* o);
template <typename T, typename Elem = Convert<T>>
std::vector<T> sequence_to_vector(PyObject* o) {
    check_sequence(o);
    std::vector<T> out;
    Py_ssize_t n = PySequence_Size(o);
    if (n < 0) {
        PyErr_Clear();
        n = 0;
    }
    out.reserve(static_cast<std::size_t>(n));
    Ref it = Ref::steal(check(PyObject_GetIter(o)));
    while (Ref item = Ref::steal(PyIter_Next(it.get()))) out.push_back(Elem::from(item.get()));
    throw_if_error();
    return out;
}
// A sequence that must hold exactly `n` items ("expected a sequence of length {} (got {})").
std::vector<Ref> sequence_items_exact(PyObject* o, Py_ssize_t n);
// A tuple of exactly `n` items ("expected tuple of length {}, but got tuple of length {}").
std::vector<PyObject*> tuple_items_exact(PyObject* o, Py_ssize_t n);

// ---- C++ -> Python (new references; failures throw PyError) ----
PyObject* to_py(bool v);
PyObject* to_py(std::int64_t v);
PyObject* to_py(std::uint64_t v);
inline PyObject* to_py(std::int32_t v) { return to_py(static_cast<std::int64_t>(v)); }
inline PyObject* to_py(std::uint32_t v) { return to_py(static_cast<std::uint64_t>(v)); }
inline PyObject* to_py(std::uint16_t v) { return to_py(static_cast<std::uint64_t>(v)); }
inline PyObject* to_py(std::uint8_t v) { return to_py(static_cast<std::uint64_t>(v)); }
PyObject* to_py(double v);
inline PyObject* to_py(float v) { return to_py(static_cast<double>(v)); }
PyObject* to_py(std::string_view v);
inline PyObject* to_py(const std::string& v) { return to_py(std::string_view(v)); }
inline PyObject* to_py(const char* v) { return to_py(std::string_view(v)); }
PyObject* none();
// A new list from items converted by `f` (each returning a new reference).
template <typename C, typename F>
PyObject* list_of(const C& items, F&& f) {
    Ref list = Ref::steal(check(PyList_New(static_cast<Py_ssize_t>(std::size(items)))));
    Py_ssize_t i = 0;
    for (const auto& item : items) PyList_SetItem(list.get(), i++, f(item));  // steals
    return list.release();
}
// A new tuple of already-owned references (stolen).
PyObject* tuple_of(std::initializer_list<PyObject*> items);

}  // namespace tarvo::bindings
