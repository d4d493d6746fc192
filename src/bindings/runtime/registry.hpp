// Where each binding file announces its classes and module functions. The module start-up
// walks its fixed registration order and takes each name from here.
//
//   TARVO_REGISTER_CLASS(RectClass);
//   TARVO_FUNCTION(color_lerp, "(a, b, t)", [](Args& a) -> PyObject* { ... });
//   TARVO_FUNCTION_DOC(render_widget, "(widget, area, buffer)", "Render ...", [](Args& a) { ... });
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings {

using ClassFactory = PyTypeObject* (*)();

// Announce a class or module function under its Python name (from a static initialiser, through
// the macros below). A name announced twice is a registration problem.
bool register_class(const char* name, ClassFactory factory);
bool register_function(const char* name, PyMethodDef* def);

ClassFactory find_class(std::string_view name);
PyMethodDef* find_function(std::string_view name);

// ---- the module's rows: every name it publishes, in order ----

enum class RowKind { Class, Function };

struct Row {
    RowKind kind;
    const char* name;
    const char* signature = nullptr;  // constructor or function text signature (placeholders)
    const char* doc = nullptr;        // class or function documentation (placeholders)
    bool pending = false;             // may still lack a registration: then a placeholder stands in
};

// The row makers, short for the long lists: `using namespace rows;`.
namespace rows {
constexpr Row C(const char* name, const char* ctor = nullptr, const char* doc = nullptr) {
    return Row{RowKind::Class, name, ctor, doc};
}
constexpr Row F(const char* name, const char* sig, const char* doc = nullptr) {
    return Row{RowKind::Function, name, sig, doc};
}
// A row whose binding is not written yet: a placeholder raising NotImplementedError stands in
// until something registers the name (then the registration is used; drop the P() then).
constexpr Row P(Row row) {
    row.pending = true;
    return row;
}
}  // namespace rows

// Sets `module.<name>` to `value` and appends the name to the module's `__all__`.
void add_attribute(PyObject* module, const char* name, PyObject* value);

// Adds every row to `module` in order (and to its `__all__`): the registered class or function,
// or the placeholder of a pending row. `module_name` is the module's dotted name.
void add_rows(PyObject* module, const std::vector<Row>& rows, const char* module_name);

// ---- problems found when the module starts ----

// Records a problem of the registrations (a duplicate name, a signature clash, ...).
void report_registration_problem(std::string problem);

// A check that runs at start-up, after every row is added; it returns its problems.
using StartupCheck = std::vector<std::string> (*)();
bool register_startup_check(StartupCheck check);

// Every problem: those recorded, the rows' (a registered name in no row, a row that is neither
// registered nor pending) and those of the start-up checks. `modules` lists each module's rows.
std::vector<std::string> startup_problems(const std::vector<const std::vector<Row>*>& modules);
// Raises RuntimeError listing the problems, if any.
void check_startup(const std::vector<const std::vector<Row>*>& modules);

// Problems of a fixed dispatch `order` of names against the names `registered` for it: a name
// registered twice, a registered name outside the order (never reached), a name of the order
// that nothing registered. `what` names the dispatch in the messages.
std::vector<std::string> order_problems(std::string_view what, const std::vector<std::string_view>& order,
                                        const std::vector<std::string_view>& registered);

namespace detail {

template <typename L>
PyObject* function_trampoline(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return guard([&]() -> PyObject* {
        const Signature& sig = *signature_slot<FunctionKey<L>>();
        std::array<PyObject*, kMaxParams> slots{};
        sig.match(args, nargs, kwnames, slots.data());
        Args a(sig, slots.data());
        return L{}(a);
    });
}

// A persistent method definition for a module function `fn(Args&) -> PyObject*`.
template <typename L>
PyMethodDef* function_def(const char* name, const char* text_signature, const char* doc, L) {
    claim_signature(signature_slot<FunctionKey<L>>(), name, text_signature);
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
