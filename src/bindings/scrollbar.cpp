// Scrollbar, an immutable builder over the core scrollbar, and ScrollbarState, the scroll
// position it draws, changed in place. A scrollbar is drawn only with its state.

#include <optional>
#include <string>
#include <utility>

#include "bindings/block.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "bindings/widget_enums.hpp"
#include "core/widgets/scrollbar.hpp"

namespace tarvo::bindings {

namespace {

struct ScrollbarClass {
    using Value = core::Scrollbar;
    static constexpr const char* name = "Scrollbar";
    static PyTypeObject* create();
};

struct ScrollbarStateClass {
    using Value = core::ScrollbarState;
    static constexpr const char* name = "ScrollbarState";
    static PyTypeObject* create();
};

// Builders of the form `name(symbol=None)`: a str sets the arrow, None or nothing removes it.
template <std::optional<std::string> core::Scrollbar::*Field>
PyObject* set_arrow(const core::Scrollbar& s, Args& a) {
    std::optional<std::string> symbol = a.has(0) ? a.get<std::optional<std::string>>(0) : std::nullopt;
    return rebuilt<ScrollbarClass>(s, [&](core::Scrollbar& c) { c.*Field = std::move(symbol); });
}

template <void (core::ScrollbarState::*Step)()>
PyObject* step(core::ScrollbarState& s) {
    (s.*Step)();
    return none();
}

PyTypeObject* ScrollbarClass::create() {
    using core::Scrollbar;
    return ClassBuilder<ScrollbarClass>()
        .static_method("new", "(orientation)",
                       [](Args& a) {
                           const auto o = static_cast<core::ScrollbarOrientation>(
                               a.value<ScrollbarOrientationClass>(0));
                           return make<ScrollbarClass>(Scrollbar::make(o));
                       })
        .method("style", "($self, style)",
                [](const Scrollbar& s, Args& a) {
                    const core::Style style = a.value<StyleClass>(0);
                    return rebuilt<ScrollbarClass>(s, [&](Scrollbar& c) { c.set_style(style); });
                })
        .method("thumb_style", "($self, style)", style_builder<ScrollbarClass, &Scrollbar::thumb_style>())
        .method("track_style", "($self, style)", style_builder<ScrollbarClass, &Scrollbar::track_style>())
        .method("begin_style", "($self, style)", style_builder<ScrollbarClass, &Scrollbar::begin_style>())
        .method("end_style", "($self, style)", style_builder<ScrollbarClass, &Scrollbar::end_style>())
        .method("begin_symbol", "($self, symbol=None)",
                [](const Scrollbar& s, Args& a) { return set_arrow<&Scrollbar::begin_symbol>(s, a); })
        .method("end_symbol", "($self, symbol=None)",
                [](const Scrollbar& s, Args& a) { return set_arrow<&Scrollbar::end_symbol>(s, a); })
        .build();
}

PyTypeObject* ScrollbarStateClass::create() {
    using core::ScrollbarState;
    return ClassBuilder<ScrollbarStateClass>()
        .constructor("(content_length)",
                     [](Args& a) { return ScrollbarState{a.get<std::uint64_t>(0), 0, 0}; })
        .method("set_position", "($self, value)",
                [](ScrollbarState& s, Args& a) {
                    s.position = a.get<std::uint64_t>(0);
                    return none();
                })
        .method("set_content_length", "($self, value)",
                [](ScrollbarState& s, Args& a) {
                    s.content_length = a.get<std::uint64_t>(0);
                    return none();
                })
        .method("viewport_content_length", "($self, value)",
                [](const ScrollbarState& s, Args& a) {
                    ScrollbarState copy = s;
                    copy.viewport_content_length = a.get<std::uint64_t>(0);
                    return make<ScrollbarStateClass>(copy);
                })
        .method("first", "($self)", [](ScrollbarState& s) { return step<&ScrollbarState::first>(s); })
        .method("last", "($self)", [](ScrollbarState& s) { return step<&ScrollbarState::last>(s); })
        .method("next", "($self)", [](ScrollbarState& s) { return step<&ScrollbarState::next>(s); })
        .method("prev", "($self)", [](ScrollbarState& s) { return step<&ScrollbarState::prev>(s); })
        .method("scroll", "($self, direction)",
                [](ScrollbarState& s, Args& a) {
                    s.scroll(static_cast<core::ScrollDirection>(a.value<ScrollDirectionClass>(0)));
                    return none();
                })
        .build();
}

// Only the stateful dispatch draws a scrollbar.
[[maybe_unused]] const bool scrollbar_drawn = register_stateful_renderer<ScrollbarClass, ScrollbarStateClass>(
    [](const core::Scrollbar& sb, core::ScrollbarState& s, const core::Rect& area, core::Buffer& buf) {
        sb.render(area, buf, s);
    });

}  // namespace

TARVO_REGISTER_CLASS(ScrollbarClass);
TARVO_REGISTER_CLASS(ScrollbarStateClass);

}  // namespace tarvo::bindings
