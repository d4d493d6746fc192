#include "bindings/runtime/args.hpp"

#include <cstdio>
#include <cstdlib>

#include "bindings/runtime/error.hpp"
#include "bindings/runtime/ref.hpp"

namespace tarvo::bindings {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string quoted_list(const std::vector<std::string>& names) {
    // 'a'  /  'a' and 'b'  /  'a', 'b', and 'c'
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) out += names.size() == 2 ? " and " : (i + 1 == names.size() ? ", and " : ", ");
        out += "'" + names[i] + "'";
    }
    return out;
}

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

}  // namespace

Signature::Signature(std::string name, std::string_view text) : name_(std::move(name)), text_(text) {
    if (!name_.empty() && name_.back() != ')') name_ += "()";
    auto open = text.find('('), close = text.rfind(')');
    std::string_view body = open == std::string_view::npos ? text : text.substr(open + 1, close - open - 1);
    bool keyword_only = false;
    int depth = 0;
    std::size_t start = 0;
    auto take = [&](std::string_view item) {
        item = trim(item);
        if (item.empty()) return;
        if (item == "*") {
            keyword_only = true;
            return;
        }
        if (item.front() == '$') return;  // $self / $cls / $type
        auto eq = item.find('=');
        Param p{std::string(trim(item.substr(0, eq))), eq == std::string_view::npos, keyword_only};
        if (!keyword_only) {
            ++positional_;
            if (p.required) ++required_positional_;
        }
        params_.push_back(std::move(p));
    };
    for (std::size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '(' || c == '[' || c == '{') ++depth;
        if (c == ')' || c == ']' || c == '}') --depth;
        if (c == ',' && depth == 0) {
            take(body.substr(start, i - start));
            start = i + 1;
        }
    }
    take(body.substr(start));
    // The entry points match arguments into a fixed array of slots.
    if (params_.size() > kMaxSignatureParams) {
        std::fprintf(stderr, "%s: more than %zu parameters\n", name_.c_str(), kMaxSignatureParams);
        std::abort();
    }
}

void Signature::too_many_positional(Py_ssize_t given) const {
    std::string msg = name_ + " takes ";
    if (required_positional_ != positional_) {
        msg += "from " + std::to_string(required_positional_) + " to " + std::to_string(positional_) +
               " positional arguments";
    } else {
        msg += plural(positional_, "positional argument");
    }
    msg += " but " + std::to_string(given) + (given == 1 ? " was" : " were") + " given";
    raise(PyExc_TypeError, msg);
}

void Signature::check_missing(PyObject** out) const {
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < positional_; ++i)
        if (params_[i].required && !out[i]) missing.push_back(params_[i].name);
    if (!missing.empty()) {
        raise(PyExc_TypeError, name_ + " missing " + plural(missing.size(), "required positional argument") +
                                   ": " + quoted_list(missing));
    }
    for (std::size_t i = positional_; i < params_.size(); ++i)
        if (params_[i].required && !out[i]) missing.push_back(params_[i].name);
    if (!missing.empty()) {
        raise(PyExc_TypeError, name_ + " missing " + plural(missing.size(), "required keyword-only argument") +
                                   ": " + quoted_list(missing));
    }
}

void Signature::assign_keyword(PyObject* key, PyObject* value, std::size_t npos_given, PyObject** out) const {
    Py_ssize_t len = 0;
    const char* k = PyUnicode_Check(key) ? PyUnicode_AsUTF8AndSize(key, &len) : nullptr;
    if (!k) {
        PyErr_Clear();
        raise(PyExc_TypeError, name_ + " keywords must be strings");
    }
    std::string_view kv(k, static_cast<std::size_t>(len));
    for (std::size_t i = 0; i < params_.size(); ++i) {
        if (params_[i].name != kv) continue;
        if (out[i] || (i < npos_given)) {
            raise(PyExc_TypeError, name_ + " got multiple values for argument '" + std::string(kv) + "'");
        }
        out[i] = value;
        return;
    }
    raise(PyExc_TypeError, name_ + " got an unexpected keyword argument '" + std::string(kv) + "'");
}

void Signature::match(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames, PyObject** out) const {
    for (std::size_t i = 0; i < params_.size(); ++i) out[i] = nullptr;
    if (static_cast<std::size_t>(nargs) > positional_) too_many_positional(nargs);
    for (Py_ssize_t i = 0; i < nargs; ++i) out[i] = args[i];
    if (kwnames) {
        Py_ssize_t nk = PyTuple_Size(kwnames);
        for (Py_ssize_t j = 0; j < nk; ++j)
            assign_keyword(PyTuple_GetItem(kwnames, j), args[nargs + j], static_cast<std::size_t>(nargs), out);
    }
    check_missing(out);
}

void Signature::match_tuple(PyObject* args, PyObject* kwargs, PyObject** out) const {
    for (std::size_t i = 0; i < params_.size(); ++i) out[i] = nullptr;
    Py_ssize_t nargs = args ? PyTuple_Size(args) : 0;
    if (static_cast<std::size_t>(nargs) > positional_) too_many_positional(nargs);
    for (Py_ssize_t i = 0; i < nargs; ++i) out[i] = PyTuple_GetItem(args, i);
    if (kwargs) {
        PyObject *key = nullptr, *value = nullptr;
        Py_ssize_t pos = 0;
        while (PyDict_Next(kwargs, &pos, &key, &value))
            assign_keyword(key, value, static_cast<std::size_t>(nargs), out);
    }
    check_missing(out);
}

}  // namespace tarvo::bindings
