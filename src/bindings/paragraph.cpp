#include "bindings/paragraph.hpp"

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

using core::Paragraph;

PyObject* aligned(const Paragraph& p, core::Alignment a) {
    return rebuilt<ParagraphClass>(p, [&](Paragraph& out) { out.alignment = a; });
}

}  // namespace

PyTypeObject* ParagraphClass::create() {
    return ClassBuilder<ParagraphClass>()
        .static_method("new", "(content)",
                       [](Args& a) { return make<ParagraphClass>(Paragraph::of(extract_text(a[0]))); })
        .method("block", "($self, block)", block_builder<ParagraphClass>())
        .method("style", "($self, style)", style_builder<ParagraphClass, &Paragraph::style>())
        .method("wrap", "($self, wrap)",
                [](const Paragraph& p, Args& a) {
                    const core::Wrap w = a.value<WrapClass>(0);
                    return rebuilt<ParagraphClass>(p, [&](Paragraph& out) { out.wrap = w; });
                })
        .method("alignment", "($self, alignment)",
                [](const Paragraph& p, Args& a) {
                    return aligned(p, static_cast<core::Alignment>(a.value<AlignmentClass>(0)));
                })
        .method("left_aligned", "($self)", [](const Paragraph& p) { return aligned(p, core::Alignment::Left); })
        .method("centered", "($self)", [](const Paragraph& p) { return aligned(p, core::Alignment::Center); })
        .method("right_aligned", "($self)", [](const Paragraph& p) { return aligned(p, core::Alignment::Right); })
        .method("scroll", "($self, x, y)",
                [](const Paragraph& p, Args& a) {
                    // The first argument counts rows, the second columns.
                    const auto rows = a.get<std::uint16_t>(0);
                    const auto columns = a.get<std::uint16_t>(1);
                    return rebuilt<ParagraphClass>(p, [&](Paragraph& out) { out.scroll = core::Position{columns, rows}; });
                })
        .repr([](const Paragraph& p) { return p.repr(); })
        .build();
}

PyTypeObject* WrapClass::create() {
    return ClassBuilder<WrapClass>()
        .constructor("(trim=False)", [](Args& a) { return core::Wrap{a.get_or<bool>(0, false)}; })
        .build();
}

PyTypeObject* ClearClass::create() {
    return ClassBuilder<ClearClass>()
        .static_method("new", "()", [](Args&) { return make<ClearClass>(core::Clear{}); })
        .build();
}

TARVO_REGISTER_CLASS(ParagraphClass);
TARVO_REGISTER_CLASS(WrapClass);
TARVO_REGISTER_CLASS(ClearClass);

[[maybe_unused]] static const bool paragraph_drawn = register_widget_renderer<ParagraphClass>();
[[maybe_unused]] static const bool clear_drawn = register_widget_renderer<ClearClass>();

}  // namespace tarvo::bindings
