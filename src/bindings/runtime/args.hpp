// Matching of positional and keyword arguments against a signature, with the interpreter's
// wording for every mismatch. A signature is read from the function's text signature, e.g.
// "($self, x, y=0, *, flag=False)": parameters with "=" are optional (their defaults are
// applied by the caller), those after "*" are keyword-only.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/runtime/python.hpp"

namespace tarvo::bindings {

// The most parameters one signature may have.
inline constexpr std::size_t kMaxSignatureParams = 24;

class Signature {
public:
    // `name` is the function's full name as the messages print it ("Rect.inner").
    Signature(std::string name, std::string_view text_signature);

    const std::string& name() const noexcept { return name_; }
    const std::string& text() const noexcept { return text_; }
    std::size_t size() const noexcept { return params_.size(); }
    const std::string& param(std::size_t i) const noexcept { return params_[i].name; }

    // Fills `out` (size()) with borrowed references; a parameter not given stays null.
    void match(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject** out) const;
    // The same for tp_new / tp_init style calls (args tuple, kwargs dict).
    void match_tuple(PyObject* args, PyObject* kwargs, PyObject** out) const;

private:
    struct Param {
        std::string name;
        bool required;
        bool keyword_only;
    };
    [[noreturn]] void too_many_positional(Py_ssize_t given) const;
    void check_missing(PyObject** out) const;
    void assign_keyword(PyObject* key, PyObject* value, std::size_t npos_given, PyObject** out) const;

    std::string name_;
    std::string text_;
    std::vector<Param> params_;
    std::size_t positional_ = 0;           // parameters that may be given by position
    std::size_t required_positional_ = 0;  // of those, the ones without a default
};

// The matched arguments of one call: borrowed references, null where a parameter was not given.
class Args {
public:
    Args(const Signature& sig, PyObject** slots) : sig_(sig), slots_(slots) {}

    std::size_t size() const noexcept { return sig_.size(); }
    bool has(std::size_t i) const noexcept { return slots_[i] != nullptr; }
    // True when the parameter was given and is not None.
    bool present(std::size_t i) const noexcept { return slots_[i] != nullptr && slots_[i] != Py_None; }
    PyObject* operator[](std::size_t i) const noexcept { return slots_[i]; }
    const std::string& name(std::size_t i) const noexcept { return sig_.param(i); }
    const Signature& signature() const noexcept { return sig_; }

    // Converts argument i with the conversion of T (see convert.hpp); a failure gains the note
    // "while processing '<name>'".
    template <typename T>
    T get(std::size_t i) const;
    // As get(), with `fallback` when the argument was not given.
    template <typename T>
    T get_or(std::size_t i, T fallback) const {
        return has(i) ? get<T>(i) : std::move(fallback);
    }
    // The value of an instance of a class of the system (see klass.hpp), with the note.
    template <typename Tag>
    typename Tag::Value value(std::size_t i) const;
    // As value(), with nullopt for an argument not given or None.
    template <typename Tag>
    std::optional<typename Tag::Value> optional_value(std::size_t i) const;
    // The argument itself, checked to be an instance of Tag's class.
    template <typename Tag>
    PyObject* object(std::size_t i) const;

private:
    const Signature& sig_;
    PyObject** slots_;
};

}  // namespace tarvo::bindings
