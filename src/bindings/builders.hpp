// The shapes shared by the immutable builders of the value and widget classes: a builder copies
// the receiver's whole value, changes the copy and wraps it in a new object.
#pragma once

#include <utility>

#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings {

// A copy of `value` with `change` applied to it, as a new object of Tag's class; the receiver
// is left as it was.
template <typename Tag, typename F>
PyObject* rebuilt(const typename Tag::Value& value, F&& change) {
    typename Tag::Value copy = value;
    change(copy);
    return make<Tag>(std::move(copy));
}

// Argument kinds of the one-field builders: each reads argument `i` with the system's errors.
template <typename ClassTag>
struct InstanceArg {  // a copy of the value of an instance of ClassTag's class
    static typename ClassTag::Value read(const Args& a, std::size_t i) { return a.value<ClassTag>(i); }
};

template <typename T>
struct PlainArg {  // a number, bool or str converted to T
    static T read(const Args& a, std::size_t i) { return a.get<T>(i); }
};

template <typename EnumTag, typename CoreEnum>
struct EnumArg {  // a variant of an enumeration class, as the core's enumeration
    static CoreEnum read(const Args& a, std::size_t i) { return static_cast<CoreEnum>(a.value<EnumTag>(i)); }
};

// The builder method that returns a copy of the receiver with `Field` set to its one argument
// read as `Kind`; the receiver is only read. Use as
// `.method("style", "($self, style)", SetField<GaugeClass, &core::Gauge::style, StyleArg>{})`.
template <typename Tag, auto Field, typename Kind>
struct SetField {
    PyObject* operator()(const typename Tag::Value& receiver, Args& a) const {
        auto value = Kind::read(a, 0);
        return rebuilt<Tag>(receiver, [&](typename Tag::Value& out) { out.*Field = std::move(value); });
    }
};

}  // namespace tarvo::bindings
