// Where each binding file announces its classes and module functions. The module start-up
// walks its fixed registration order and takes each name from here.
//
//   TARVO_REGISTER_CLASS(RectClass);
//   TARVO_FUNCTION(color_lerp, "(a, b, t)", [](Args& a) -> PyObject* { ... });
//   TARVO_FUNCTION_DOC(render_widget, "(widget, area, buffer)", "Render ...", [](Args& a) { ... });
#pragma once

#include <string>
#include <string_view>

#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings {

using ClassFactory = PyTypeObject* (*)();

bool register_class(const char* name, ClassFactory factory);
bool register_function(const char* name, PyMethodDef* def);

ClassFactory find_class(std::string_view name);
PyMethodDef* find_function(std::string_view name);

namespace detail {

template <typename L>
PyObject* function_trampoline(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guard([&]() -> PyObject* {
        const Signature& sig = *signature_slot<L>();
        std::array<PyObject*, kMaxParams> slots{};
        sig.match(args, nargs, kwnames, slots.data());
        Args a(sig, slots.data());
        return L{}(a);
    });
}

// A persistent method definition for a module function `fn(Args&) -> PyObject*`.
template <typename L>
PyMethodDef* function_def(const char* name, const char* text_signature, const char* doc, L) {
    signature_slot<L>() = new Signature(name, text_signature);
    return new PyMethodDef{keep(name),
                           reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&function_trampoline<L>)),
                           METH_FASTCALL | METH_KEYWORDS,
                           keep(std::string(name) + text_signature + "\n--\n\n" + doc)};
}

}  // namespace detail

}  // namespace tarvo::bindings

#define TARVO_CONCAT_(a, b) a##b
#define TARVO_CONCAT(a, b) TARVO_CONCAT_(a, b)

#define TARVO_REGISTER_CLASS(Tag)                                                    \
    [[maybe_unused]] static const bool TARVO_CONCAT(registered_class_, __LINE__) = \
        ::tarvo::bindings::register_class(Tag::name, &::tarvo::bindings::type_of<Tag>)

#define TARVO_FUNCTION_DOC(fname, text_signature, doc, ...)                                    \
    [[maybe_unused]] static const bool TARVO_CONCAT(registered_fn_, fname) =                   \
        ::tarvo::bindings::register_function(                                                   \
            #fname, ::tarvo::bindings::detail::function_def(#fname, text_signature, doc, __VA_ARGS__))

#define TARVO_FUNCTION(fname, text_signature, ...) TARVO_FUNCTION_DOC(fname, text_signature, "", __VA_ARGS__)
