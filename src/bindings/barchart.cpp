// Bar, BarGroup and BarChart: immutable builders over the core bar chart.

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "core/widgets/barchart.hpp"

namespace tarvo::bindings {

namespace {

struct BarClass {
    using Value = core::Bar;
    static constexpr const char* name = "Bar";
    static PyTypeObject* create();
};

struct BarGroupClass {
    using Value = core::BarGroup;
    static constexpr const char* name = "BarGroup";
    static PyTypeObject* create();
};

struct BarChartClass {
    using Value = core::BarChart;
    static constexpr const char* name = "BarChart";
    static PyTypeObject* create();
};

PyTypeObject* BarClass::create() {
    using core::Bar;
    return ClassBuilder<BarClass>()
        .static_method("default", "()", [](Args&) { return make<BarClass>(Bar{}); })
        .static_method("new", "(value, label)",
                       [](Args& a) {
                           Bar b;
                           b.value = a.get<std::uint64_t>(0);
                           b.label = core::Line::raw(a.get<std::string>(1));
                           return make<BarClass>(std::move(b));
                       })
        .method("value", "($self, value)",
                [](const Bar& b, Args& a) {
                    const std::uint64_t value = a.get<std::uint64_t>(0);
                    Bar c = b;
                    c.value = value;
                    return make<BarClass>(std::move(c));
                })
        .method("label", "($self, label)",
                [](const Bar& b, Args& a) {
                    core::Line label = extract_line(a[0]);
                    Bar c = b;
                    c.label = std::move(label);
                    return make<BarClass>(std::move(c));
                })
        .method("text_value", "($self, value)",
                [](const Bar& b, Args& a) {
                    std::string text = a.get<std::string>(0);
                    Bar c = b;
                    c.text_value = std::move(text);
                    return make<BarClass>(std::move(c));
                })
        .method("style", "($self, style)",
                [](const Bar& b, Args& a) {
                    Bar c = b;
                    c.style = a.value<StyleClass>(0);
                    return make<BarClass>(std::move(c));
                })
        .method("value_style", "($self, style)",
                [](const Bar& b, Args& a) {
                    Bar c = b;
                    c.value_style = a.value<StyleClass>(0);
                    return make<BarClass>(std::move(c));
                })
        .build();
}

PyTypeObject* BarGroupClass::create() {
    return ClassBuilder<BarGroupClass>()
        .static_method("new", "(bars)",
                       [](Args& a) {
                           core::BarGroup g;
                           g.bars = values_from_list<BarClass>(a, 0, "expected Bar");
                           return make<BarGroupClass>(std::move(g));
                       })
        .build();
}

template <typename Field>
PyObject* with_u16(const core::BarChart& chart, Args& a, Field field) {
    const std::uint16_t value = a.get<std::uint16_t>(0);
    core::BarChart c = chart;
    c.*field = value;
    return make<BarChartClass>(std::move(c));
}

template <typename Field>
PyObject* with_style(const core::BarChart& chart, Args& a, Field field) {
    core::BarChart c = chart;
    c.*field = a.value<StyleClass>(0);
    return make<BarChartClass>(std::move(c));
}

PyTypeObject* BarChartClass::create() {
    using core::BarChart;
    return ClassBuilder<BarChartClass>()
        .static_method("new", "(groups)",
                       [](Args& a) {
                           BarChart chart;
                           chart.data = values_from_list<BarGroupClass>(a, 0, "expected BarGroup");
                           return make<BarChartClass>(std::move(chart));
                       })
        .method("block", "($self, block)",
                [](const BarChart& b, Args& a) {
                    BarChart c = b;
                    c.block = a.value<BlockClass>(0);
                    return make<BarChartClass>(std::move(c));
                })
        .method("style", "($self, style)",
                [](const BarChart& b, Args& a) { return with_style(b, a, &BarChart::style); })
        .method("bar_width", "($self, value)",
                [](const BarChart& b, Args& a) { return with_u16(b, a, &BarChart::bar_width); })
        .method("bar_gap", "($self, value)",
                [](const BarChart& b, Args& a) { return with_u16(b, a, &BarChart::bar_gap); })
        .method("group_gap", "($self, value)",
                [](const BarChart& b, Args& a) { return with_u16(b, a, &BarChart::group_gap); })
        .method("max", "($self, value)",
                [](const BarChart& b, Args& a) {
                    const std::uint64_t max = a.get<std::uint64_t>(0);
                    BarChart c = b;
                    c.max = max;
                    return make<BarChartClass>(std::move(c));
                })
        .method("bar_style", "($self, style)",
                [](const BarChart& b, Args& a) { return with_style(b, a, &BarChart::bar_style); })
        .method("value_style", "($self, style)",
                [](const BarChart& b, Args& a) { return with_style(b, a, &BarChart::value_style); })
        .method("label_style", "($self, style)",
                [](const BarChart& b, Args& a) { return with_style(b, a, &BarChart::label_style); })
        .method("direction", "($self, direction)",
                [](const BarChart& b, Args& a) {
                    const std::uint8_t direction = a.value<DirectionClass>(0);
                    BarChart c = b;
                    c.direction = static_cast<core::Direction>(direction);
                    return make<BarChartClass>(std::move(c));
                })
        .build();
}

TARVO_REGISTER_CLASS(BarClass);
TARVO_REGISTER_CLASS(BarGroupClass);
TARVO_REGISTER_CLASS(BarChartClass);

[[maybe_unused]] const bool barchart_drawn = register_widget_renderer<BarChartClass>(
    [](const core::BarChart& b, const core::Rect& area, core::Buffer& buf) { b.render(area, buf); });

}  // namespace

}  // namespace tarvo::bindings
