// The conversions of text-like Python arguments into core text values. This is the one place
// that decides what counts as a span, a line or a text, and that raises the TypeErrors naming
// the accepted kinds. Every function returns a fresh value or throws PyError with the Python
// exception set; none adds the "while processing" note (callers that want it wrap the call in
// with_note). Kinds are tested by class membership, subclasses included; a "sequence" is a
// Python list or an instance of a list subclass, nothing else.
//
//   extract_span(v)        Span -> copy; Style -> empty span with that style; str -> unstyled
//                          span of str(v) (line feeds kept);
//                          else TypeError "expected str or Span, got {type}"
//   extract_line(v)        Line -> copy; Span -> line of that span; str -> Line.raw(str(v));
//                          list -> one span per item (extract_span);
//                          else TypeError "expected str, Span, or sequence of Span, got {type}"
//   extract_text(v)        Text -> copy; Line -> text of that line; Span -> text of one line of
//                          that span; str -> Text.raw(str(v)); list -> one line per item
//                          (extract_line), [] gives no lines;
//                          else TypeError "expected str, Line, Span, Text, or sequence, got {type}"
//   extract_str_or_line(v) Line -> copy; str -> Line.raw of its UTF-8 text (no str() call);
//                          else TypeError "expected str or Line"
//
// The str() text: a failing str() call is reported through the unraisable-exception hook and
// "<unprintable {type} object>" is used instead; lone surrogates become U+FFFD.
//
// List steps: collect_spans / collect_lines walk a list by index while the index is below both
// its length at the start and its current length, converting each item; the first failing item
// ends the walk with its own exception (no note) and nothing is returned. A non-list raises
// "'{type}' object is not an instance of 'list'" (no note). For a method parameter that must be
// such a list, span_list_arg / line_list_arg add the note naming the parameter to the non-list
// error only, as the parameter conventions require.
#pragma once

#include <cstddef>
#include <vector>

#include "bindings/runtime/args.hpp"
#include "bindings/runtime/python.hpp"
#include "core/text.hpp"

namespace tarvo::bindings {

core::Span extract_span(PyObject* value);
core::Line extract_line(PyObject* value);
core::Text extract_text(PyObject* value);
core::Line extract_str_or_line(PyObject* value);

std::vector<core::Span> collect_spans(PyObject* list);
std::vector<core::Line> collect_lines(PyObject* list);

std::vector<core::Span> span_list_arg(const Args& a, std::size_t i);
std::vector<core::Line> line_list_arg(const Args& a, std::size_t i);

}  // namespace tarvo::bindings
