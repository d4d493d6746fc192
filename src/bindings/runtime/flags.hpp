// Flag-set classes: each object wraps one unsigned integer of bits; the named flags are class
// attributes created once with the class; `|` (and optionally `&`) make new objects; there is no
// equality or hash of their own, so objects compare by identity.
//
//   struct KeyModifiersClass {
//       using Value = std::uint8_t;
//       static constexpr const char* name = "KeyModifiers";
//       static constexpr std::array<Flag<std::uint8_t>, 3> flags{{{"NONE", 0}, {"SHIFT", 1}, {"CONTROL", 2}}};
//       static PyTypeObject* create() {
//           return FlagClassBuilder<KeyModifiersClass>()
//               .bits_getter().union_operator().contains()
//               .test<1>("shift").test<2>("control")
//               .build();      // repr "KeyModifiers(bits=3)"; FlagClassBuilder<Tag, &fn> for another
//       }
//   };
//
// FlagClassBuilder is a ClassBuilder: after the flag calls, any ClassBuilder call may follow.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings {

template <typename V>
struct Flag {
    const char* name;
    V bits;
};

namespace detail {

template <typename Tag>
using FlagBits = typename Tag::Value;

// `a | b` / `a & b` of two instances of Tag's class, kept to `Mask`; NotImplemented otherwise.
template <typename Tag, bool Or, FlagBits<Tag> Mask>
PyObject* flag_binop(PyObject* x, PyObject* y) {
    return guard([&]() -> PyObject* {
        if (!is_instance<Tag>(x) || !is_instance<Tag>(y)) Py_RETURN_NOTIMPLEMENTED;
        const FlagBits<Tag> a = value_of<Tag>(x), b = value_of<Tag>(y);
        return make<Tag>(static_cast<FlagBits<Tag>>((Or ? (a | b) : (a & b)) & Mask));
    });
}

template <typename Tag>
struct FlagBitsGetter {
    PyObject* operator()(const FlagBits<Tag>& v) const { return to_py(static_cast<std::uint64_t>(v)); }
};

// True when every flag of the argument within `Mask` is set in the receiver.
template <typename Tag, FlagBits<Tag> Mask>
struct FlagContains {
    PyObject* operator()(const FlagBits<Tag>& v, Args& a) const {
        const FlagBits<Tag> want = static_cast<FlagBits<Tag>>(a.value<Tag>(0) & Mask);
        return to_py((v & want) == want);
    }
};

template <typename Tag, FlagBits<Tag> Bit>
struct FlagTest {
    PyObject* operator()(const FlagBits<Tag>& v) const { return to_py((v & Bit) == Bit); }
};

template <typename Tag>
struct FlagBitsRepr {
    std::string operator()(const FlagBits<Tag>& v) const {
        return std::string(Tag::name) + "(bits=" + std::to_string(static_cast<std::uint64_t>(v)) + ")";
    }
};

template <typename Tag, auto Fn>
struct FlagReprVia {
    std::string operator()(const FlagBits<Tag>& v) const { return Fn(v); }
};

}  // namespace detail

// `ReprFn(Value) -> std::string` gives the repr (and so str); without it the repr is
// "Name(bits=n)". The class attributes of Tag::flags are added in their order.
template <typename Tag, auto ReprFn = nullptr>
class FlagClassBuilder : public ClassBuilder<Tag> {
public:
    using Value = typename Tag::Value;
    static_assert(std::is_unsigned_v<Value>, "a flag set holds unsigned bits");
    static constexpr Value kAll = static_cast<Value>(~Value{0});

    FlagClassBuilder() {
        if constexpr (std::is_same_v<decltype(ReprFn), std::nullptr_t>) {
            this->repr(detail::FlagBitsRepr<Tag>{});
        } else {
            this->repr(detail::FlagReprVia<Tag, ReprFn>{});
        }
        for (const Flag<Value>& f : Tag::flags) {
            const Value bits = f.bits;
            this->class_attr(f.name, [bits] { return make<Tag>(bits); });
        }
    }

    // The read-only attribute `bits`, the value as an int.
    FlagClassBuilder& bits_getter() {
        this->getter("bits", detail::FlagBitsGetter<Tag>{});
        return *this;
    }
    // `a | b` (both operands of this class), the result kept to `Mask`.
    template <Value Mask = kAll>
    FlagClassBuilder& union_operator() {
        this->slot(Py_nb_or, &detail::flag_binop<Tag, true, Mask>);
        return *this;
    }
    // `a & b` (both operands of this class).
    FlagClassBuilder& intersection_operator() {
        this->slot(Py_nb_and, &detail::flag_binop<Tag, false, kAll>);
        return *this;
    }
    // `contains(other)`: every flag of `other` within `Mask` is set in the receiver.
    template <Value Mask = kAll>
    FlagClassBuilder& contains() {
        this->method("contains", "($self, other)", detail::FlagContains<Tag, Mask>{});
        return *this;
    }
    // A method without arguments: True when `Bit` is set.
    template <Value Bit>
    FlagClassBuilder& test(const char* method_name) {
        this->method(method_name, "($self)", detail::FlagTest<Tag, Bit>{});
        return *this;
    }
};

}  // namespace tarvo::bindings
