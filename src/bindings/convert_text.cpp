#include "bindings/convert_text.hpp"

#include <string>
#include <string_view>

#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "bindings/text.hpp"
#include "core/unicode.hpp"

namespace tarvo::bindings {

namespace {

// The `__name__` of the value's type; a failure to read it is raised as it is.
std::string type_name_strict(PyObject* v) {
    Ref name = Ref::steal(check(PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(v)), "__name__")));
    return to_utf8(name.get());
}

[[noreturn]] void raise_kind_error(std::string_view expected, PyObject* v) {
    std::string message(expected);
    message += ", got ";
    message += type_name_strict(v);
    raise(PyExc_TypeError, message);
}

// The UTF-8 text of a str; code points that UTF-8 cannot carry (lone surrogates) become
// U+FFFD, one per byte of their surrogate-pass encoding.
std::string lossy_utf8(PyObject* s) {
    Py_ssize_t n = 0;
    if (const char* p = PyUnicode_AsUTF8AndSize(s, &n)) return std::string(p, static_cast<std::size_t>(n));
    PyErr_Clear();
    Ref bytes = Ref::steal(check(PyUnicode_AsEncodedString(s, "utf-8", "surrogatepass")));
    char* data = nullptr;
    Py_ssize_t len = 0;
    if (PyBytes_AsStringAndSize(bytes.get(), &data, &len) != 0) throw PyError{};
    const std::string_view raw(data, static_cast<std::size_t>(len));
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size();) {
        const core::unicode::Decoded d = core::unicode::decode(raw, i);
        if (d.valid) out.append(raw.substr(i, d.len));
        else out += "\xEF\xBF\xBD";
        i += d.len;
    }
    return out;
}

// What str() makes of the value, as UTF-8. A failing str() is reported as unraisable and
// stands as "<unprintable {type} object>".
std::string str_text(PyObject* v) {
    if (PyUnicode_CheckExact(v)) return lossy_utf8(v);
    Ref s = Ref::steal(PyObject_Str(v));
    if (s) return lossy_utf8(s.get());
    PyErr_WriteUnraisable(v);
    Ref name = Ref::steal(PyObject_GetAttrString(reinterpret_cast<PyObject*>(Py_TYPE(v)), "__name__"));
    if (name && PyUnicode_Check(name.get())) return "<unprintable " + lossy_utf8(name.get()) + " object>";
    PyErr_Clear();
    return "<unprintable object>";
}

}  // namespace

core::Span extract_span(PyObject* v) {
    if (is_instance<SpanClass>(v)) return value_of<SpanClass>(v);
    if (is_instance<StyleClass>(v)) return core::Span{std::string(), value_of<StyleClass>(v)};
    if (PyUnicode_Check(v)) return core::Span::raw(str_text(v));
    raise_kind_error("expected str or Span", v);
}

core::Line extract_line(PyObject* v) {
    if (is_instance<LineClass>(v)) return value_of<LineClass>(v);
    if (is_instance<SpanClass>(v)) return core::Line::from_span(value_of<SpanClass>(v));
    if (PyUnicode_Check(v)) return core::Line::raw(str_text(v));
    if (PyList_Check(v)) {
        core::Line line;
        line.spans = collect_spans(v);
        return line;
    }
    raise_kind_error("expected str, Span, or sequence of Span", v);
}

core::Text extract_text(PyObject* v) {
    if (is_instance<TextClass>(v)) return value_of<TextClass>(v);
    if (is_instance<LineClass>(v)) return core::Text::from_line(value_of<LineClass>(v));
    if (is_instance<SpanClass>(v)) return core::Text::from_line(core::Line::from_span(value_of<SpanClass>(v)));
    if (PyUnicode_Check(v)) return core::Text::raw(str_text(v));
    if (PyList_Check(v)) {
        core::Text text;
        text.lines = collect_lines(v);
        return text;
    }
    raise_kind_error("expected str, Line, Span, Text, or sequence", v);
}

core::Line extract_str_or_line(PyObject* v) {
    if (is_instance<LineClass>(v)) return value_of<LineClass>(v);
    if (PyUnicode_Check(v)) return core::Line::raw(to_utf8_view(v));
    raise(PyExc_TypeError, "expected str or Line");
}

std::vector<core::Span> collect_spans(PyObject* list) {
    std::vector<core::Span> out;
    for_each_list_item(list, [&](PyObject* item) { out.push_back(extract_span(item)); });
    return out;
}

std::vector<core::Line> collect_lines(PyObject* list) {
    std::vector<core::Line> out;
    for_each_list_item(list, [&](PyObject* item) { out.push_back(extract_line(item)); });
    return out;
}

namespace {

PyObject* list_param(const Args& a, std::size_t i) {
    PyObject* o = a[i];
    if (!o || !PyList_Check(o)) with_note(a.name(i), [&] { raise_wrong_class(o ? o : Py_None, "list"); });
    return o;
}

}  // namespace

std::vector<core::Span> span_list_arg(const Args& a, std::size_t i) { return collect_spans(list_param(a, i)); }

std::vector<core::Line> line_list_arg(const Args& a, std::size_t i) { return collect_lines(list_param(a, i)); }

}  // namespace tarvo::bindings
