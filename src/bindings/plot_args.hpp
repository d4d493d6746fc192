// Argument conversions and builder shapes shared by the data widget classes (gauges, sparklines,
// bar charts, charts and canvases): a pair of bounds, a list of (x, y) points, a list of objects
// of one class, and the argument kinds of their one-field builders.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/runtime/klass.hpp"
#include "bindings/style.hpp"

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

// Copies of the values of a list of `Tag` objects; a non-list carries the parameter's note, an
// item of another class raises `item_error` without one.
template <typename Tag>
std::vector<typename Tag::Value> values_from_list(const Args& a, std::size_t i, const char* item_error) {
    PyObject* list = a[i];
    if (!PyList_Check(list)) with_note(a.name(i), [&] { raise_wrong_class(list, "list"); });
    std::vector<typename Tag::Value> out;
    for_each_list_item(list, [&](PyObject* item) {
        if (!is_instance<Tag>(item)) raise(PyExc_TypeError, item_error);
        Shared<Tag> held(item);
        out.push_back(*held);
    });
    return out;
}

// Argument kinds of the data widgets' one-field builders (see builders.hpp for the rest).
using ColorArg = InstanceArg<ColorClass>;

struct SpanArg {  // span-like
    static core::Span read(const Args& a, std::size_t i) { return extract_span(a[i]); }
};
struct LineArg {  // line-like
    static core::Line read(const Args& a, std::size_t i) { return extract_line(a[i]); }
};
struct BoundsArg {
    static std::array<double, 2> read(const Args& a, std::size_t i) { return bounds_arg(a, i); }
};
struct PointsArg {
    static std::vector<std::pair<double, double>> read(const Args& a, std::size_t i) { return points_arg(a, i); }
};

}  // namespace tarvo::bindings
