#include "bindings/runtime/registry.hpp"

#include <algorithm>
#include <map>
#include <set>

namespace tarvo::bindings {

namespace {

// Function-local so that registration from any file's static initialiser finds them built.
std::map<std::string, ClassFactory, std::less<>>& classes() {
    static std::map<std::string, ClassFactory, std::less<>> m;
    return m;
}
std::map<std::string, PyMethodDef*, std::less<>>& functions() {
    static std::map<std::string, PyMethodDef*, std::less<>> m;
    return m;
}
std::vector<std::string>& recorded_problems() {
    static std::vector<std::string> problems;
    return problems;
}
std::vector<StartupCheck>& startup_checks() {
    static std::vector<StartupCheck> checks;
    return checks;
}

std::string quoted(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 2);
    out.push_back('\'');
    out.append(name);
    out.push_back('\'');
    return out;
}

// ---- placeholders for names whose binding has not been written yet ----

PyObject* placeholder_new(PyTypeObject* type, PyObject*, PyObject*) {
    std::string msg = type_name_of_type(type) + " is not available in this build yet";
    PyErr_SetString(PyExc_NotImplementedError, msg.c_str());
    return nullptr;
}

void placeholder_dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);
}

PyTypeObject* make_placeholder_class(const Row& row, const char* module) {
    std::vector<PyType_Slot> slots{{Py_tp_dealloc, reinterpret_cast<void*>(&placeholder_dealloc)}};
    unsigned int flags = Py_TPFLAGS_DEFAULT;
    std::string doc;
    if (row.signature) {
        doc = std::string(row.name) + row.signature + "\n--\n\n" + (row.doc ? row.doc : "");
        slots.push_back({Py_tp_new, reinterpret_cast<void*>(&placeholder_new)});
    } else {
        flags |= Py_TPFLAGS_DISALLOW_INSTANTIATION;
        if (row.doc) doc = row.doc;
    }
    if (!doc.empty()) slots.push_back({Py_tp_doc, const_cast<char*>(detail::keep(doc))});
    slots.push_back({0, nullptr});
    auto* spec = new PyType_Spec{detail::keep(std::string(module) + "." + row.name),
                                 static_cast<int>(sizeof(PyObject)), 0, flags, detail::keep_array(std::move(slots))};
    return reinterpret_cast<PyTypeObject*>(check(PyType_FromSpec(spec)));
}

// Class objects are process-wide: a later execution of the module reuses them.
PyTypeObject* placeholder_class(const Row& row, const char* module) {
    static std::map<std::string, PyTypeObject*, std::less<>> made;
    const std::string key = std::string(module) + "." + row.name;
    auto it = made.find(key);
    if (it == made.end()) it = made.emplace(key, make_placeholder_class(row, module)).first;
    return it->second;
}

PyObject* placeholder_function_call(PyObject*, PyObject* const*, Py_ssize_t, PyObject*) {
    PyErr_SetString(PyExc_NotImplementedError, "this function is not available in this build yet");
    return nullptr;
}

PyMethodDef* placeholder_function(const Row& row) {
    static std::map<std::string, PyMethodDef*, std::less<>> made;
    auto it = made.find(row.name);
    if (it != made.end()) return it->second;
    std::string doc = std::string(row.name) + (row.signature ? row.signature : "()") + "\n--\n\n" +
                      (row.doc ? row.doc : "");
    auto* def = new PyMethodDef{row.name,
                                reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&placeholder_function_call)),
                                METH_FASTCALL | METH_KEYWORDS, detail::keep(doc)};
    made.emplace(row.name, def);
    return def;
}

void add_row(PyObject* module, const Row& row, const char* module_name) {
    if (row.kind == RowKind::Class) {
        ClassFactory factory = find_class(row.name);
        PyTypeObject* type = factory ? factory() : placeholder_class(row, module_name);
        if (factory) {
            Ref owner = Ref::steal(check(PyObject_GetAttrString(reinterpret_cast<PyObject*>(type), "__module__")));
            Py_ssize_t n = 0;
            const char* text = PyUnicode_Check(owner.get()) ? PyUnicode_AsUTF8AndSize(owner.get(), &n) : nullptr;
            if (!text) PyErr_Clear();
            if (!text || std::string_view(text, static_cast<std::size_t>(n)) != module_name)
                report_registration_problem("class " + quoted(row.name) + " belongs to " +
                                            quoted(text ? std::string_view(text, static_cast<std::size_t>(n)) : "?") +
                                            " but is listed in " + quoted(module_name));
        }
        add_attribute(module, row.name, reinterpret_cast<PyObject*>(type));
        return;
    }
    PyMethodDef* def = find_function(row.name);
    if (!def) def = placeholder_function(row);
    Ref mod_name = Ref::steal(check(PyObject_GetAttrString(module, "__name__")));
    Ref fn = Ref::steal(check(PyCFunction_NewEx(def, module, mod_name.get())));
    add_attribute(module, row.name, fn.get());
}

}  // namespace

bool register_class(const char* name, ClassFactory factory) {
    if (!classes().emplace(name, factory).second)
        report_registration_problem("class " + quoted(name) + " is registered twice");
    return true;
}

bool register_function(const char* name, PyMethodDef* def) {
    if (!functions().emplace(name, def).second)
        report_registration_problem("function " + quoted(name) + " is registered twice");
    return true;
}

ClassFactory find_class(std::string_view name) {
    auto it = classes().find(name);
    return it == classes().end() ? nullptr : it->second;
}

PyMethodDef* find_function(std::string_view name) {
    auto it = functions().find(name);
    return it == functions().end() ? nullptr : it->second;
}

void add_attribute(PyObject* module, const char* name, PyObject* value) {
    Ref all = Ref::steal(PyObject_GetAttrString(module, "__all__"));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw PyError{};
        PyErr_Clear();
        all = Ref::steal(check(PyList_New(0)));
        if (PyObject_SetAttrString(module, "__all__", all.get()) != 0) throw PyError{};
    } else if (!PyList_Check(all.get())) {
        raise_wrong_class(all.get(), "list");
    }
    Ref text = Ref::steal(PyUnicode_FromString(name));
    if (!text) {
        PyErr_Clear();
        raise_panic("could not create the name of a module attribute");
    }
    if (PyList_Append(all.get(), text.get()) != 0) {
        PyErr_Clear();
        raise_panic("could not append __name__ to __all__");
    }
    if (PyObject_SetAttr(module, text.get(), value) != 0) throw PyError{};
}

void add_rows(PyObject* module, const std::vector<Row>& rows, const char* module_name) {
    for (const Row& row : rows) add_row(module, row, module_name);
}

void report_registration_problem(std::string problem) { recorded_problems().push_back(std::move(problem)); }

bool register_startup_check(StartupCheck check) {
    startup_checks().push_back(check);
    return true;
}

std::vector<std::string> startup_problems(const std::vector<const std::vector<Row>*>& modules) {
    std::vector<std::string> out = recorded_problems();
    std::set<std::string, std::less<>> listed_classes, listed_functions;
    for (const std::vector<Row>* rows : modules) {
        for (const Row& row : *rows) {
            const bool is_class = row.kind == RowKind::Class;
            auto& listed = is_class ? listed_classes : listed_functions;
            const char* kind = is_class ? "class " : "function ";
            if (!listed.insert(row.name).second) out.push_back(kind + quoted(row.name) + " is listed twice");
            const bool registered = is_class ? find_class(row.name) != nullptr : find_function(row.name) != nullptr;
            if (!registered && !row.pending)
                out.push_back(kind + quoted(row.name) +
                              " is listed but nothing registers it (mark it P(...) if it is still to come)");
        }
    }
    for (const auto& [name, factory] : classes())
        if (!listed_classes.count(name))
            out.push_back("class " + quoted(name) + " is registered but no module lists it");
    for (const auto& [name, def] : functions())
        if (!listed_functions.count(name))
            out.push_back("function " + quoted(name) + " is registered but no module lists it");
    for (StartupCheck check : startup_checks()) {
        std::vector<std::string> more = check();
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

void check_startup(const std::vector<const std::vector<Row>*>& modules) {
    const std::vector<std::string> problems = startup_problems(modules);
    if (problems.empty()) return;
    std::string msg = "the module's registrations are inconsistent:";
    for (const std::string& p : problems) msg += "\n  - " + p;
    raise(PyExc_RuntimeError, msg);
}

std::vector<std::string> order_problems(std::string_view what, const std::vector<std::string_view>& order,
                                        const std::vector<std::string_view>& registered) {
    std::vector<std::string> out;
    std::set<std::string_view> seen;
    for (std::string_view name : registered) {
        if (!seen.insert(name).second) {
            out.push_back(quoted(name) + " is registered twice for the " + std::string(what));
        } else if (std::find(order.begin(), order.end(), name) == order.end()) {
            out.push_back(quoted(name) + " is registered for the " + std::string(what) +
                          " but has no place in its order, so it would never be reached");
        }
    }
    for (std::string_view name : order)
        if (!seen.count(name))
            out.push_back(quoted(name) + " is in the " + std::string(what) + " order but nothing registers it");
    return out;
}

namespace detail {

void claim_signature(const Signature*& slot, std::string name, const char* text_signature) {
    if (!slot) {
        slot = new Signature(std::move(name), text_signature);
        return;
    }
    Signature probe(name, text_signature);
    if (probe.name() == slot->name() && probe.text() == slot->text()) return;
    report_registration_problem("one callable type serves both " + quoted(slot->name()) + " and " +
                                quoted(probe.name()) +
                                ": each registration needs its own lambda or functor type");
}

}  // namespace detail

}  // namespace tarvo::bindings
