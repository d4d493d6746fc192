// The members ListState and TableState share: the `selected` and `offset` attributes and the
// in-place methods that move the selected row. Each method holds the state exclusively while
// it converts its argument and changes the state.
#pragma once

#include <cstdint>
#include <optional>

#include "bindings/runtime/registry.hpp"
#include "core/widgets/selection.hpp"

namespace tarvo::bindings {

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
