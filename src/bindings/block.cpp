#include "bindings/block.hpp"

#include <string>

#include "bindings/convert_text.hpp"
#include "bindings/geometry.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "bindings/widget_enums.hpp"

namespace tarvo::bindings {

namespace {

using core::Block;

PyObject* with_title(const Block& b, core::Line line, std::optional<core::TitlePosition> position) {
    return rebuilt<BlockClass>(b, [&](Block& out) { out.titles.push_back(core::BlockTitle{position, std::move(line)}); });
}

PyObject* padding_of(std::uint16_t left, std::uint16_t right, std::uint16_t top, std::uint16_t bottom) {
    return make<PaddingClass>(core::Padding{left, right, top, bottom});
}

}  // namespace

PyTypeObject* BlockClass::create() {
    return ClassBuilder<BlockClass>()
        .static_method("new", "()", [](Args&) { return make<BlockClass>(Block{}); })
        .static_method("default", "()", [](Args&) { return make<BlockClass>(Block{}); })
        .static_method("bordered", "()", [](Args&) { return make<BlockClass>(Block::bordered()); })
        .method("borders", "($self, borders)",
                [](const Block& b, Args& a) {
                    const std::uint8_t bits = a.value<BordersClass>(0);
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.borders = bits; });
                })
        .method("border_style", "($self, style)", style_builder<BlockClass, &Block::border_style>())
        .method("border_type", "($self, border_type)",
                [](const Block& b, Args& a) {
                    const core::BorderType t = to_core_border_type(a.value<BorderTypeClass>(0));
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.border_set = core::BorderSet::of(t); });
                })
        .method("border_set", "($self, border_set)",
                [](const Block& b, Args& a) {
                    core::BorderSet set = a.value<BorderSetClass>(0);
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.border_set = std::move(set); });
                })
        .method("style", "($self, style)", style_builder<BlockClass, &Block::style>())
        .method("title", "($self, title)",
                [](const Block& b, Args& a) { return with_title(b, extract_line(a[0]), std::nullopt); })
        .method("title_top", "($self, title)",
                [](const Block& b, Args& a) {
                    return with_title(b, extract_line(a[0]), core::TitlePosition::Top);
                })
        .method("title_bottom", "($self, title)",
                [](const Block& b, Args& a) {
                    return with_title(b, extract_line(a[0]), core::TitlePosition::Bottom);
                })
        .method("title_at", "($self, title, position)",
                [](const Block& b, Args& a) {
                    const core::TitlePosition p = to_core_title_position(a.value<TitlePositionClass>(1));
                    return with_title(b, extract_line(a[0]), p);
                })
        .method("title_alignment", "($self, alignment)",
                [](const Block& b, Args& a) {
                    const auto al = static_cast<core::Alignment>(a.value<AlignmentClass>(0));
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.titles_alignment = al; });
                })
        .method("title_style", "($self, style)", style_builder<BlockClass, &Block::titles_style>())
        .method("title_position", "($self, position)",
                [](const Block& b, Args& a) {
                    const core::TitlePosition p = to_core_title_position(a.value<TitlePositionClass>(0));
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.titles_position = p; });
                })
        .method("padding", "($self, padding)",
                [](const Block& b, Args& a) {
                    const core::Padding p = a.value<PaddingClass>(0);
                    return rebuilt<BlockClass>(b, [&](Block& out) { out.padding = p; });
                })
        .method("inner", "($self, area)",
                [](const Block& b, Args& a) { return make<RectClass>(b.inner(a.value<RectClass>(0))); })
        .repr([](const Block& b) { return b.repr(); })
        .build();
}

PyTypeObject* BorderSetClass::create() {
    return ClassBuilder<BorderSetClass>()
        .static_method("new",
                       "(top_left, top_right, bottom_left, bottom_right, vertical_left, vertical_right, "
                       "horizontal_top, horizontal_bottom)",
                       [](Args& a) {
                           core::BorderSet s;
                           s.top_left = a.get<std::string>(0);
                           s.top_right = a.get<std::string>(1);
                           s.bottom_left = a.get<std::string>(2);
                           s.bottom_right = a.get<std::string>(3);
                           s.vertical_left = a.get<std::string>(4);
                           s.vertical_right = a.get<std::string>(5);
                           s.horizontal_top = a.get<std::string>(6);
                           s.horizontal_bottom = a.get<std::string>(7);
                           return make<BorderSetClass>(std::move(s));
                       })
        .repr([](const core::BorderSet& s) { return "BorderSet(" + s.repr() + ")"; })
        .class_attr("PLAIN", [] { return make<BorderSetClass>(core::BorderSet::plain()); })
        .class_attr("THICK", [] { return make<BorderSetClass>(core::BorderSet::thick()); })
        .class_attr("DOUBLE", [] { return make<BorderSetClass>(core::BorderSet::double_line()); })
        .class_attr("ROUNDED", [] { return make<BorderSetClass>(core::BorderSet::rounded()); })
        .build();
}

PyTypeObject* PaddingClass::create() {
    using U = std::uint16_t;
    return ClassBuilder<PaddingClass>()
        .static_method("new", "(left, right, top, bottom)",
                       [](Args& a) {
                           const U l = a.get<U>(0), r = a.get<U>(1), t = a.get<U>(2), b = a.get<U>(3);
                           return padding_of(l, r, t, b);
                       })
        .static_method("zero", "()", [](Args&) { return padding_of(0, 0, 0, 0); })
        .static_method("uniform", "(value)",
                       [](Args& a) {
                           const U v = a.get<U>(0);
                           return padding_of(v, v, v, v);
                       })
        .static_method("horizontal", "(value)",
                       [](Args& a) {
                           const U v = a.get<U>(0);
                           return padding_of(v, v, 0, 0);
                       })
        .static_method("vertical", "(value)",
                       [](Args& a) {
                           const U v = a.get<U>(0);
                           return padding_of(0, 0, v, v);
                       })
        .static_method("symmetric", "(horizontal, vertical)",
                       [](Args& a) {
                           const U h = a.get<U>(0), v = a.get<U>(1);
                           return padding_of(h, h, v, v);
                       })
        .build();
}

TARVO_REGISTER_CLASS(BlockClass);
TARVO_REGISTER_CLASS(BorderSetClass);
TARVO_REGISTER_CLASS(PaddingClass);

[[maybe_unused]] static const bool block_drawn = register_widget_renderer<BlockClass>();

}  // namespace tarvo::bindings
