// Enumeration classes: one cached object per variant, repr "Class.Variant", int(), == and !=
// against the same class or anything with __index__, no ordering, unhashable.
//
//   struct FlexClass {
//       using Value = std::uint8_t;
//       static constexpr const char* name = "Flex";
//       static constexpr std::array<const char*, 7> variants{"Legacy", "Start", ...};
//       static PyTypeObject* create() { return create_enum<FlexClass>(); }
//   };
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings {

namespace detail {

template <typename Tag>
std::vector<PyObject*>& variant_cache() {
    static std::vector<PyObject*> cache;  // process-wide; the objects are never freed
    return cache;
}

PyObject* enum_richcompare(std::uint8_t self_value, bool same_class, std::uint8_t other_value, PyObject* other,
                           int op);

template <typename Tag>
PyObject* enum_compare(PyObject* self, PyObject* other, int op) {
    return guard([&]() -> PyObject* {
        const bool same = is_instance<Tag>(other);
        return enum_richcompare(instance<Tag>(self)->value, same, same ? instance<Tag>(other)->value : 0, other, op);
    });
}

template <typename Tag>
PyObject* enum_int(PyObject* self) {
    return guard([&] { return to_py(static_cast<std::uint64_t>(instance<Tag>(self)->value)); });
}

// ValueError "<Name> has no variant <v> (it has <n>)".
[[noreturn]] void raise_no_variant(const char* enum_name, unsigned v, std::size_t count);

template <typename Tag>
std::uint8_t checked_variant(std::uint8_t v) {
    if (v >= Tag::variants.size()) raise_no_variant(Tag::name, v, Tag::variants.size());
    return v;
}

template <typename Tag>
struct EnumRepr {
    std::string operator()(const std::uint8_t& v) const {
        return std::string(Tag::name) + "." + Tag::variants[checked_variant<Tag>(v)];
    }
};

}  // namespace detail

// The cached object of variant `v` (a new reference); a number outside the variants raises
// ValueError naming the enumeration.
template <typename Tag>
PyObject* enum_variant(std::uint8_t v) {
    type_of<Tag>();
    PyObject* o = detail::variant_cache<Tag>()[detail::checked_variant<Tag>(v)];
    Py_INCREF(o);
    return o;
}

template <typename Tag>
PyTypeObject* create_enum() {
    ClassBuilder<Tag> b;
    b.template repr(detail::EnumRepr<Tag>{});
    b.slot(Py_tp_richcompare, &detail::enum_compare<Tag>);
    b.slot(Py_nb_int, &detail::enum_int<Tag>);
    for (std::size_t i = 0; i < Tag::variants.size(); ++i) {
        b.class_attr(Tag::variants[i], [i]() -> PyObject* {
            auto& cache = detail::variant_cache<Tag>();
            if (cache.size() <= i) cache.resize(Tag::variants.size(), nullptr);
            if (!cache[i]) cache[i] = make<Tag>(static_cast<std::uint8_t>(i));
            Py_INCREF(cache[i]);
            return cache[i];
        });
    }
    return b.build();
}

}  // namespace tarvo::bindings
