#include "bindings/tabs.hpp"

#include <string>

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

using core::Tabs;

// `padding_left(value)` and `padding_right(value)`: the Line that Line.raw builds from a str.
template <core::Line Tabs::*Side>
PyObject* with_padding(const Tabs& t, Args& a) {
    core::Line l = core::Line::raw(a.get<std::string>(0));
    return rebuilt<TabsClass>(t, [&](Tabs& out) { out.*Side = std::move(l); });
}

}  // namespace

PyTypeObject* TabsClass::create() {
    return ClassBuilder<TabsClass>()
        .static_method("new", "(titles)", [](Args& a) { return make<TabsClass>(Tabs::of(line_list_arg(a, 0))); })
        .method("block", "($self, block)", block_builder<TabsClass>())
        .method("style", "($self, style)", style_builder<TabsClass, &Tabs::style>())
        .method("highlight_style", "($self, style)", style_builder<TabsClass, &Tabs::highlight_style>())
        .method("titles", "($self, titles)",
                [](const Tabs& t, Args& a) {
                    std::vector<core::Line> lines = line_list_arg(a, 0);
                    return rebuilt<TabsClass>(t, [&](Tabs& out) { out.set_titles(std::move(lines)); });
                })
        .method("select", "($self, index=None)",
                [](const Tabs& t, Args& a) {
                    const auto index = a.get_or<std::optional<std::uint64_t>>(0, std::nullopt);
                    return rebuilt<TabsClass>(t, [&](Tabs& out) {
                        out.selected = index ? std::optional<std::size_t>(*index) : std::nullopt;
                    });
                })
        .method("divider", "($self, symbol)",
                [](const Tabs& t, Args& a) {
                    core::Span d = core::Span::raw(a.get<std::string>(0));
                    return rebuilt<TabsClass>(t, [&](Tabs& out) { out.divider = std::move(d); });
                })
        .method("padding", "($self, left, right)",
                [](const Tabs& t, Args& a) {
                    const std::string left = a.get<std::string>(0);
                    const std::string right = a.get<std::string>(1);
                    return rebuilt<TabsClass>(t, [&](Tabs& out) {
                        out.padding_left = core::Line::raw(left);
                        out.padding_right = core::Line::raw(right);
                    });
                })
        .method("padding_left", "($self, value)",
                [](const Tabs& t, Args& a) { return with_padding<&Tabs::padding_left>(t, a); })
        .method("padding_right", "($self, value)",
                [](const Tabs& t, Args& a) { return with_padding<&Tabs::padding_right>(t, a); })
        .build();
}

TARVO_REGISTER_CLASS(TabsClass);

[[maybe_unused]] static const bool tabs_drawn = register_widget_renderer<TabsClass>();

}  // namespace tarvo::bindings
