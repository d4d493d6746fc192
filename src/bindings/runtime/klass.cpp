#include "bindings/runtime/klass.hpp"

namespace tarvo::bindings::detail {

const char* keep(std::string s) {
    static std::deque<std::string> store;
    store.push_back(std::move(s));
    return store.back().c_str();
}

void raise_unsendable(const char* path) {
    raise_panic(std::string(path) + " is unsendable, but sent to another thread");
}

void report_dropped_on_other_thread(const char* path) {
    PyObject *type = nullptr, *value = nullptr, *tb = nullptr;
    PyErr_Fetch(&type, &value, &tb);
    std::string msg = std::string(path) + " is unsendable, but is being dropped on another thread";
    PyErr_SetString(PyExc_RuntimeError, msg.c_str());
    PyErr_WriteUnraisable(nullptr);
    PyErr_Restore(type, value, tb);
}

}  // namespace tarvo::bindings::detail
