#include "bindings/paragraph.hpp"

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"

namespace tarvo::bindings {

namespace {

using core::Paragraph;

// A copy of the receiver with one change, as a new Paragraph object.
template <typename F>
PyObject* changed(const Paragraph& p, F&& change) {
    Paragraph out = p;
    change(out);
    return make<ParagraphClass>(std::move(out));
}

PyObject* aligned(const Paragraph& p, core::Alignment a) {
    return changed(p, [&](Paragraph& out) { out.alignment = a; });
}

}  // namespace

PyTypeObject* ParagraphClass::create() {
    return ClassBuilder<ParagraphClass>()
        .static_method("new", "(content)",
                       [](Args& a) { return make<ParagraphClass>(Paragraph::of(extract_text(a[0]))); })
        .method("block", "($self, block)",
                [](const Paragraph& p, Args& a) {
                    core::Block b = a.value<BlockClass>(0);
                    return changed(p, [&](Paragraph& out) { out.block = std::move(b); });
                })
        .method("style", "($self, style)",
                [](const Paragraph& p, Args& a) {
                    const core::Style s = a.value<StyleClass>(0);
                    return changed(p, [&](Paragraph& out) { out.style = s; });
                })
        .method("wrap", "($self, wrap)",
                [](const Paragraph& p, Args& a) {
                    const core::Wrap w = a.value<WrapClass>(0);
                    return changed(p, [&](Paragraph& out) { out.wrap = w; });
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
                    return changed(p, [&](Paragraph& out) { out.scroll = core::Position{columns, rows}; });
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

[[maybe_unused]] static const bool paragraph_drawn = register_widget_renderer<ParagraphClass>(
    [](const core::Paragraph& p, const core::Rect& area, core::Buffer& buf) { p.render(area, buf); });
[[maybe_unused]] static const bool clear_drawn = register_widget_renderer<ClearClass>(
    [](const core::Clear& c, const core::Rect& area, core::Buffer& buf) { c.render(area, buf); });

}  // namespace tarvo::bindings
