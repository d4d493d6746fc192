#include "bindings/tabs.hpp"

#include <string>

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"

namespace tarvo::bindings {

namespace {

using core::Tabs;

// A copy of the receiver with one change, as a new Tabs object.
template <typename F>
PyObject* changed(const Tabs& t, F&& change) {
    Tabs out = t;
    change(out);
    return make<TabsClass>(std::move(out));
}

}  // namespace

PyTypeObject* TabsClass::create() {
    return ClassBuilder<TabsClass>()
        .static_method("new", "(titles)", [](Args& a) { return make<TabsClass>(Tabs::of(line_list_arg(a, 0))); })
        .method("block", "($self, block)",
                [](const Tabs& t, Args& a) {
                    core::Block b = a.value<BlockClass>(0);
                    return changed(t, [&](Tabs& out) { out.block = std::move(b); });
                })
        .method("style", "($self, style)",
                [](const Tabs& t, Args& a) {
                    const core::Style s = a.value<StyleClass>(0);
                    return changed(t, [&](Tabs& out) { out.style = s; });
                })
        .method("highlight_style", "($self, style)",
                [](const Tabs& t, Args& a) {
                    const core::Style s = a.value<StyleClass>(0);
                    return changed(t, [&](Tabs& out) { out.highlight_style = s; });
                })
        .method("titles", "($self, titles)",
                [](const Tabs& t, Args& a) {
                    std::vector<core::Line> lines = line_list_arg(a, 0);
                    return changed(t, [&](Tabs& out) { out.set_titles(std::move(lines)); });
                })
        .method("select", "($self, index=None)",
                [](const Tabs& t, Args& a) {
                    const auto index = a.get_or<std::optional<std::uint64_t>>(0, std::nullopt);
                    return changed(t, [&](Tabs& out) {
                        out.selected = index ? std::optional<std::size_t>(*index) : std::nullopt;
                    });
                })
        .method("divider", "($self, symbol)",
                [](const Tabs& t, Args& a) {
                    core::Span d = core::Span::raw(a.get<std::string>(0));
                    return changed(t, [&](Tabs& out) { out.divider = std::move(d); });
                })
        .method("padding", "($self, left, right)",
                [](const Tabs& t, Args& a) {
                    const std::string left = a.get<std::string>(0);
                    const std::string right = a.get<std::string>(1);
                    return changed(t, [&](Tabs& out) {
                        out.padding_left = core::Line::raw(left);
                        out.padding_right = core::Line::raw(right);
                    });
                })
        .method("padding_left", "($self, value)",
                [](const Tabs& t, Args& a) {
                    core::Line l = core::Line::raw(a.get<std::string>(0));
                    return changed(t, [&](Tabs& out) { out.padding_left = std::move(l); });
                })
        .method("padding_right", "($self, value)",
                [](const Tabs& t, Args& a) {
                    core::Line l = core::Line::raw(a.get<std::string>(0));
                    return changed(t, [&](Tabs& out) { out.padding_right = std::move(l); });
                })
        .build();
}

TARVO_REGISTER_CLASS(TabsClass);

[[maybe_unused]] static const bool tabs_drawn = register_widget_renderer<TabsClass>(
    [](const core::Tabs& t, const core::Rect& area, core::Buffer& buf) { t.render(area, buf); });

}  // namespace tarvo::bindings
