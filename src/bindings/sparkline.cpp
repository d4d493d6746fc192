// SparklineBar and Sparkline: immutable builders over the core sparkline.

#include "bindings/block.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "core/widgets/sparkline.hpp"

namespace tarvo::bindings {

namespace {

struct SparklineBarClass {
    using Value = core::SparklineBar;
    static constexpr const char* name = "SparklineBar";
    static PyTypeObject* create();
};

struct SparklineClass {
    using Value = core::Sparkline;
    static constexpr const char* name = "Sparkline";
    static PyTypeObject* create();
};

// Plain bars (a value, no style) from a sequence of unsigned 64-bit integers.
std::vector<core::SparklineBar> bars_from_values(const Args& a) {
    const std::vector<std::uint64_t> values =
        with_note(a.name(0), [&] { return sequence_to_vector<std::uint64_t>(a[0]); });
    std::vector<core::SparklineBar> bars;
    bars.reserve(values.size());
    for (std::uint64_t v : values) bars.push_back(core::SparklineBar{v, std::nullopt});
    return bars;
}

// Copies of the bars of a list of SparklineBar objects.
std::vector<core::SparklineBar> bars_from_list(const Args& a) {
    PyObject* list = a[0];
    if (!PyList_Check(list)) with_note(a.name(0), [&] { raise_wrong_class(list, "list"); });
    std::vector<core::SparklineBar> bars;
    for_each_list_item(list, [&](PyObject* item) {
        if (!is_instance<SparklineBarClass>(item)) raise(PyExc_TypeError, "expected SparklineBar");
        Shared<SparklineBarClass> held(item);
        bars.push_back(*held);
    });
    return bars;
}

PyTypeObject* SparklineBarClass::create() {
    using core::SparklineBar;
    return ClassBuilder<SparklineBarClass>()
        .static_method("new", "(value)",
                       [](Args& a) {
                           return make<SparklineBarClass>(SparklineBar{a.get<std::uint64_t>(0), std::nullopt});
                       })
        .method("style", "($self, style)",
                [](const SparklineBar& b, Args& a) {
                    SparklineBar c = b;
                    c.style = a.value<StyleClass>(0);
                    return make<SparklineBarClass>(std::move(c));
                })
        .build();
}

PyTypeObject* SparklineClass::create() {
    using core::Sparkline;
    return ClassBuilder<SparklineClass>()
        .static_method("default", "()", [](Args&) { return make<SparklineClass>(Sparkline{}); })
        .static_method("new", "(data)",
                       [](Args& a) {
                           Sparkline s;
                           s.data = bars_from_values(a);
                           return make<SparklineClass>(std::move(s));
                       })
        .static_method("from_bars", "(bars)",
                       [](Args& a) {
                           Sparkline s;
                           s.data = bars_from_list(a);
                           return make<SparklineClass>(std::move(s));
                       })
        .method("data", "($self, data)",
                [](const Sparkline& s, Args& a) {
                    std::vector<core::SparklineBar> bars = bars_from_values(a);
                    Sparkline c = s;
                    c.data = std::move(bars);
                    return make<SparklineClass>(std::move(c));
                })
        .method("bars", "($self, bars)",
                [](const Sparkline& s, Args& a) {
                    std::vector<core::SparklineBar> bars = bars_from_list(a);
                    Sparkline c = s;
                    c.data = std::move(bars);
                    return make<SparklineClass>(std::move(c));
                })
        .method("block", "($self, block)",
                [](const Sparkline& s, Args& a) {
                    Sparkline c = s;
                    c.block = a.value<BlockClass>(0);
                    return make<SparklineClass>(std::move(c));
                })
        .method("style", "($self, style)",
                [](const Sparkline& s, Args& a) {
                    Sparkline c = s;
                    c.style = a.value<StyleClass>(0);
                    return make<SparklineClass>(std::move(c));
                })
        .method("max", "($self, value)",
                [](const Sparkline& s, Args& a) {
                    const std::uint64_t max = a.get<std::uint64_t>(0);
                    Sparkline c = s;
                    c.max = max;
                    return make<SparklineClass>(std::move(c));
                })
        .method("absent_value_style", "($self, style)",
                [](const Sparkline& s, Args& a) {
                    Sparkline c = s;
                    c.absent_value_style = a.value<StyleClass>(0);
                    return make<SparklineClass>(std::move(c));
                })
        .method("absent_value_symbol", "($self, symbol)",
                [](const Sparkline& s, Args& a) {
                    std::string symbol = a.get<std::string>(0);
                    Sparkline c = s;
                    c.absent_value_symbol = std::move(symbol);
                    return make<SparklineClass>(std::move(c));
                })
        .build();
}

TARVO_REGISTER_CLASS(SparklineBarClass);
TARVO_REGISTER_CLASS(SparklineClass);

[[maybe_unused]] const bool sparkline_drawn = register_widget_renderer<SparklineClass>(
    [](const core::Sparkline& s, const core::Rect& area, core::Buffer& buf) { s.render(area, buf); });

}  // namespace

}  // namespace tarvo::bindings
