// RatList, ListItem and ListState: immutable builders over the core list and its items, and
// the list's selection state, changed in place.

#include <optional>
#include <utility>
#include <vector>

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/row_widgets.hpp"
#include "bindings/style.hpp"
#include "bindings/widget_enums.hpp"
#include "core/widgets/list.hpp"

namespace tarvo::bindings {

namespace {

struct ListItemClass {
    using Value = core::ListItem;
    static constexpr const char* name = "ListItem";
    static PyTypeObject* create();
};

struct RatListClass {
    using Value = core::List;
    static constexpr const char* name = "RatList";
    static PyTypeObject* create();
};

struct ListStateClass {
    using Value = core::ListState;
    static constexpr const char* name = "ListState";
    static PyTypeObject* create();
};

PyTypeObject* ListItemClass::create() {
    using core::ListItem;
    return ClassBuilder<ListItemClass>()
        .static_method("new", "(content)",
                       [](Args& a) { return make<ListItemClass>(ListItem::from_line(extract_line(a[0]))); })
        .method("style", "($self, style)", style_builder<ListItemClass, &ListItem::style>())
        .repr([](const ListItem& item) { return item.repr(); })
        .build();
}

PyTypeObject* RatListClass::create() {
    using core::List;
    return ClassBuilder<RatListClass>()
        .static_method("new", "(items)",
                       [](Args& a) {
                           List l;
                           l.items = values_or_lines<ListItemClass>(a, 0);
                           return make<RatListClass>(std::move(l));
                       })
        .method("items", "($self, items)",
                [](const List& l, Args& a) {
                    auto items = values_or_lines<ListItemClass>(a, 0);
                    return rebuilt<RatListClass>(l, [&](List& c) { c.items = std::move(items); });
                })
        .method("block", "($self, block)", block_builder<RatListClass>())
        .method("style", "($self, style)", style_builder<RatListClass, &List::style>())
        .method("highlight_style", "($self, style)", style_builder<RatListClass, &List::highlight_style>())
        .method("highlight_symbol", "($self, symbol)",
                [](const List& l, Args& a) {
                    auto symbol = core::Line::raw(a.get<std::string>(0));
                    return rebuilt<RatListClass>(l, [&](List& c) { c.highlight_symbol = std::move(symbol); });
                })
        .method("repeat_highlight_symbol", "($self, repeat)",
                [](const List& l, Args& a) {
                    const bool repeat = a.get<bool>(0);
                    return rebuilt<RatListClass>(l, [&](List& c) { c.repeat_highlight_symbol = repeat; });
                })
        .method("highlight_spacing", "($self, spacing)",
                [](const List& l, Args& a) {
                    const auto spacing = static_cast<core::HighlightSpacing>(a.value<HighlightSpacingClass>(0));
                    return rebuilt<RatListClass>(l, [&](List& c) { c.highlight_spacing = spacing; });
                })
        .method("direction", "($self, direction)",
                [](const List& l, Args& a) {
                    const auto direction = static_cast<core::ListDirection>(a.value<ListDirectionClass>(0));
                    return rebuilt<RatListClass>(l, [&](List& c) { c.direction = direction; });
                })
        .method("scroll_padding", "($self, padding)",
                [](const List& l, Args& a) {
                    const std::uint64_t padding = a.get<std::uint64_t>(0);
                    return rebuilt<RatListClass>(l, [&](List& c) { c.scroll_padding = padding; });
                })
        .method("len", "($self)", [](const List& l) { return to_py(static_cast<std::uint64_t>(l.items.size())); })
        .method("is_empty", "($self)", [](const List& l) { return to_py(l.items.empty()); })
        .repr([](const List& l) { return l.repr(); })
        .build();
}

PyTypeObject* ListStateClass::create() {
    using core::ListState;
    ClassBuilder<ListStateClass> b;
    b.constructor("()", [](Args&) { return ListState{}; });
    return add_row_selection(b)
        .method("set_offset", "($self, value)",
                [](ListState& s, Args& a) {
                    s.offset = a.get<std::uint64_t>(0);
                    return none();
                })
        .repr([](const ListState& s) { return s.repr(); })
        .build();
}

// A plain render draws with a fresh state; a stateful one updates the given state.
[[maybe_unused]] const bool list_drawn = register_widget_renderer<RatListClass>();
[[maybe_unused]] const bool list_state_drawn = register_stateful_renderer<RatListClass, ListStateClass>(
    [](const core::List& l, core::ListState& s, const core::Rect& area, core::Buffer& buf) {
        l.render(area, buf, s);
    });

}  // namespace

TARVO_REGISTER_CLASS(ListItemClass);
TARVO_REGISTER_CLASS(RatListClass);
TARVO_REGISTER_CLASS(ListStateClass);

}  // namespace tarvo::bindings
