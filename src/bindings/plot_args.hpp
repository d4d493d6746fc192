// Argument conversions shared by the Canvas and Chart classes: a pair of bounds and a list of
// (x, y) points, each with the "while processing" note naming the parameter.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "bindings/runtime/convert.hpp"

namespace tarvo::bindings {

// Exactly two numbers from any sequence (a str included: it fails converting its items).
inline std::array<double, 2> bounds_arg(const Args& a, std::size_t i) {
    return with_note(a.name(i), [&] {
        PyObject* o = a[i];
        if (!PyUnicode_Check(o)) check_sequence(o);
        const Py_ssize_t len = PySequence_Size(o);
        if (len < 0) throw PyError{};
        if (len != 2)
            raise(PyExc_ValueError, "expected a sequence of length 2 (got " + std::to_string(len) + ")");
        std::array<double, 2> out{};
        for (Py_ssize_t k = 0; k < 2; ++k) {
            const Ref item = Ref::steal(check(PySequence_GetItem(o, k)));
            out[static_cast<std::size_t>(k)] = to_double(item.get());
        }
        return out;
    });
}

// An (x, y) tuple of two numbers.
struct PointConvert {
    static std::pair<double, double> from(PyObject* o) {
        const std::vector<PyObject*> items = tuple_items_exact(o, 2);
        const double x = to_double(items[0]);
        return {x, to_double(items[1])};
    }
};

// A sequence (not a str) of (x, y) tuples.
inline std::vector<std::pair<double, double>> points_arg(const Args& a, std::size_t i) {
    return with_note(a.name(i), [&] { return sequence_to_vector<std::pair<double, double>, PointConvert>(a[i]); });
}

}  // namespace tarvo::bindings
