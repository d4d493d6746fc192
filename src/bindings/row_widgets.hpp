// What the list and table bindings share: lists of items or cells given as objects of their
// own class or as lines, and the members of the states that select a row.
#pragma once

#include <cstdint>
#include <optional>
#include <type_traits>
#include <vector>

#include "bindings/convert_text.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/widgets/selection.hpp"

namespace tarvo::bindings {

// Argument i as a list of Tag's values: Tag objects are copied, anything else goes through the
// line conversion and becomes a value holding that one line. A non-list is refused with the
// parameter's note; the first element that fails ends the walk with its own error.
template <typename Tag>
std::vector<typename Tag::Value> values_or_lines(const Args& a, std::size_t i) {
    PyObject* list = a[i];
    if (!PyList_Check(list)) with_note(a.name(i), [&] { raise_wrong_class(list, "list"); });
    std::vector<typename Tag::Value> out;
    for_each_list_item(list, [&](PyObject* item) {
        if (is_instance<Tag>(item)) {
            Shared<Tag> held(item);
            out.push_back(*held);
        } else {
            out.push_back(Tag::Value::from_line(extract_line(item)));
        }
    });
    return out;
}

// The `selected` and `offset` attributes and the in-place methods that move the selected row.
// Each method holds the state exclusively while it converts its argument and changes it.
template <typename Tag>
ClassBuilder<Tag>& add_row_selection(ClassBuilder<Tag>& b) {
    using State = typename Tag::Value;
    static_assert(std::is_base_of_v<core::RowSelection, State>);
    return b.getter("selected", [](const State& s) { return s.selected ? to_py(*s.selected) : none(); })
        .getter("offset", [](const State& s) { return to_py(s.offset); })
        .method("select", "($self, index=None)",
                [](State& s, Args& a) {
                    s.select(a.has(0) ? a.get<std::optional<std::uint64_t>>(0) : std::nullopt);
                    return none();
                })
        .method("select_next", "($self)",
                [](State& s) {
                    s.select_next();
                    return none();
                })
        .method("select_previous", "($self)",
                [](State& s) {
                    s.select_previous();
                    return none();
                })
        .method("select_first", "($self)",
                [](State& s) {
                    s.select_first();
                    return none();
                })
        .method("select_last", "($self)",
                [](State& s) {
                    s.select_last();
                    return none();
                })
        .method("scroll_down_by", "($self, amount)",
                [](State& s, Args& a) {
                    s.scroll_down_by(a.get<std::uint16_t>(0));
                    return none();
                })
        .method("scroll_up_by", "($self, amount)",
                [](State& s, Args& a) {
                    s.scroll_up_by(a.get<std::uint16_t>(0));
                    return none();
                });
}

}  // namespace tarvo::bindings
