#include "bindings/runtime/registry.hpp"

#include <map>

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

}  // namespace

bool register_class(const char* name, ClassFactory factory) {
    classes()[name] = factory;
    return true;
}

bool register_function(const char* name, PyMethodDef* def) {
    functions()[name] = def;
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

}  // namespace tarvo::bindings
