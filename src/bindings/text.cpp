#include "bindings/text.hpp"

#include <string>
#include <utility>

#include "bindings/convert_text.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"

namespace tarvo::bindings {

namespace {

using core::Alignment;
using core::Line;
using core::Span;
using core::Style;
using core::Text;

Alignment alignment_arg(Args& a, std::size_t i) { return static_cast<Alignment>(a.value<AlignmentClass>(i)); }

template <typename V>
PyObject* with_alignment(const V& v, Alignment al) {
    V copy = v;
    copy.alignment = al;
    if constexpr (std::is_same_v<V, Line>) return line_to_py(std::move(copy));
    else return text_to_py(std::move(copy));
}

template <typename V>
PyObject* with_style(const V& v, const Style& s) {
    V copy = v;
    copy.style = s;
    if constexpr (std::is_same_v<V, Line>) return line_to_py(std::move(copy));
    else return text_to_py(std::move(copy));
}

}  // namespace

PyTypeObject* SpanClass::create() {
    ClassBuilder<SpanClass> b;
    b.static_method("raw", "(content)", [](Args& a) { return span_to_py(Span::raw(a.get<std::string>(0))); })
        .static_method("styled", "(content, style)",
                       [](Args& a) {
                           std::string content = a.get<std::string>(0);
                           return span_to_py(Span::styled(std::move(content), a.value<StyleClass>(1)));
                       })
        .static_method("from", "(content)",
                       [](Args& a) -> PyObject* {
                           PyObject* v = a[0];
                           if (is_instance<SpanClass>(v)) return span_to_py(value_of<SpanClass>(v));
                           if (PyUnicode_Check(v)) return span_to_py(Span::raw(to_utf8(v)));
                           raise(PyExc_TypeError, "expected str or Span");
                       })
        .static_method("default", "()", [](Args&) { return span_to_py(Span{}); })
        .method("content", "($self, value)",
                [](const Span& s, Args& a) { return span_to_py(Span{a.get<std::string>(0), s.style}); })
        .method("style", "($self, style)",
                [](const Span& s, Args& a) { return span_to_py(Span{s.content, a.value<StyleClass>(0)}); })
        .method("patch_style", "($self, style)",
                [](const Span& s, Args& a) { return span_to_py(s.patched(a.value<StyleClass>(0))); })
        .method("reset_style", "($self)", [](const Span& s) { return span_to_py(s.reset()); })
        .method("width", "($self)", [](const Span& s) { return to_py(static_cast<std::uint64_t>(s.width())); })
        .getter("text", [](const Span& s) { return to_py(s.content); })
        .repr([](const Span& s) { return s.repr(); });
    return b.build();
}

PyTypeObject* LineClass::create() {
    ClassBuilder<LineClass> b;
    b.static_method("raw", "(content)", [](Args& a) { return line_to_py(Line::raw(a.get<std::string>(0))); })
        .static_method("styled", "(content, style)",
                       [](Args& a) {
                           const std::string content = a.get<std::string>(0);
                           return line_to_py(Line::styled(content, a.value<StyleClass>(1)));
                       })
        .static_method("from_spans", "(spans)",
                       [](Args& a) {
                           Line l;
                           l.spans = span_list_arg(a, 0);
                           return line_to_py(std::move(l));
                       })
        .method("spans", "($self, spans)",
                [](const Line& l, Args& a) {
                    Line copy{span_list_arg(a, 0), l.style, l.alignment};
                    return line_to_py(std::move(copy));
                })
        .method("push_span", "($self, span)",
                [](const Line& l, Args& a) {
                    Span span = extract_span(a[0]);
                    Line copy = l;
                    copy.spans.push_back(std::move(span));
                    return line_to_py(std::move(copy));
                })
        .method("style", "($self, style)",
                [](const Line& l, Args& a) { return with_style(l, a.value<StyleClass>(0)); })
        .method("patch_style", "($self, style)",
                [](const Line& l, Args& a) { return with_style(l, l.style.patch(a.value<StyleClass>(0))); })
        .method("reset_style", "($self)", [](const Line& l) { return with_style(l, l.style.patch(Style::reset())); })
        .method("alignment", "($self, alignment)",
                [](const Line& l, Args& a) { return with_alignment(l, alignment_arg(a, 0)); })
        .method("left_aligned", "($self)", [](const Line& l) { return with_alignment(l, Alignment::Left); })
        .method("centered", "($self)", [](const Line& l) { return with_alignment(l, Alignment::Center); })
        .method("right_aligned", "($self)", [](const Line& l) { return with_alignment(l, Alignment::Right); })
        .method("width", "($self)", [](const Line& l) { return to_py(static_cast<std::uint64_t>(l.width())); })
        .repr([](const Line& l) { return l.repr(); });
    return b.build();
}

PyTypeObject* TextClass::create() {
    ClassBuilder<TextClass> b;
    b.static_method("raw", "(content)", [](Args& a) { return text_to_py(Text::raw(a.get<std::string>(0))); })
        .static_method("styled", "(content, style)",
                       [](Args& a) {
                           const std::string content = a.get<std::string>(0);
                           return text_to_py(Text::styled(content, a.value<StyleClass>(1)));
                       })
        .static_method("from_lines", "(lines)",
                       [](Args& a) {
                           Text t;
                           t.lines = line_list_arg(a, 0);
                           return text_to_py(std::move(t));
                       })
        .method("push_line", "($self, line)",
                [](const Text& t, Args& a) {
                    Line line = extract_line(a[0]);
                    Text copy = t;
                    copy.lines.push_back(std::move(line));
                    return text_to_py(std::move(copy));
                })
        .method("style", "($self, style)",
                [](const Text& t, Args& a) { return with_style(t, a.value<StyleClass>(0)); })
        .method("patch_style", "($self, style)",
                [](const Text& t, Args& a) { return with_style(t, t.style.patch(a.value<StyleClass>(0))); })
        .method("reset_style", "($self)", [](const Text& t) { return with_style(t, t.style.patch(Style::reset())); })
        .method("alignment", "($self, alignment)",
                [](const Text& t, Args& a) { return with_alignment(t, alignment_arg(a, 0)); })
        .method("left_aligned", "($self)", [](const Text& t) { return with_alignment(t, Alignment::Left); })
        .method("centered", "($self)", [](const Text& t) { return with_alignment(t, Alignment::Center); })
        .method("right_aligned", "($self)", [](const Text& t) { return with_alignment(t, Alignment::Right); })
        .method("width", "($self)", [](const Text& t) { return to_py(static_cast<std::uint64_t>(t.width())); })
        .method("height", "($self)", [](const Text& t) { return to_py(static_cast<std::uint64_t>(t.height())); })
        .repr([](const Text& t) { return t.repr(); });
    return b.build();
}

TARVO_REGISTER_CLASS(SpanClass);
TARVO_REGISTER_CLASS(LineClass);
TARVO_REGISTER_CLASS(TextClass);

TARVO_FUNCTION_DOC(styled_span, "(content, fg=None, bg=None, modifiers=None)",
                   "Create a styled span from a string and style shorthand methods.", [](Args& a) -> PyObject* {
                       std::string content = a.get<std::string>(0);
                       Style style;
                       style.fg = a.optional_value<ColorClass>(1);
                       style.bg = a.optional_value<ColorClass>(2);
                       style.add_modifier = a.optional_value<ModifierClass>(3).value_or(0);
                       return span_to_py(Span{std::move(content), style});
                   });

}  // namespace tarvo::bindings
