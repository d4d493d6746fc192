// Gauge and LineGauge: immutable builders over the core progress widgets.

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "core/widgets/gauge.hpp"

namespace tarvo::bindings {

namespace {

struct GaugeClass {
    using Value = core::Gauge;
    static constexpr const char* name = "Gauge";
    static PyTypeObject* create();
};

struct LineGaugeClass {
    using Value = core::LineGauge;
    static constexpr const char* name = "LineGauge";
    static PyTypeObject* create();
};

PyTypeObject* GaugeClass::create() {
    using core::Gauge;
    return ClassBuilder<GaugeClass>()
        .static_method("new", "()", [](Args&) { return make<GaugeClass>(Gauge{}); })
        .static_method("default", "()", [](Args&) { return make<GaugeClass>(Gauge{}); })
        .method("block", "($self, block)",
                [](const Gauge& g, Args& a) {
                    Gauge c = g;
                    c.block = a.value<BlockClass>(0);
                    return make<GaugeClass>(std::move(c));
                })
        .method("style", "($self, style)",
                [](const Gauge& g, Args& a) {
                    Gauge c = g;
                    c.style = a.value<StyleClass>(0);
                    return make<GaugeClass>(std::move(c));
                })
        .method("gauge_style", "($self, style)",
                [](const Gauge& g, Args& a) {
                    Gauge c = g;
                    c.gauge_style = a.value<StyleClass>(0);
                    return make<GaugeClass>(std::move(c));
                })
        .method("percent", "($self, value)",
                [](const Gauge& g, Args& a) {
                    const std::uint16_t percent = a.get<std::uint16_t>(0);
                    Gauge c = g;
                    c.ratio = core::gauge_percent_ratio(percent);
                    return make<GaugeClass>(std::move(c));
                })
        .method("ratio", "($self, value)",
                [](const Gauge& g, Args& a) {
                    const double ratio = a.get<double>(0);
                    Gauge c = g;
                    c.ratio = core::gauge_checked_ratio(ratio);
                    return make<GaugeClass>(std::move(c));
                })
        .method("label", "($self, label)",
                [](const Gauge& g, Args& a) {
                    core::Span label = extract_span(a[0]);
                    Gauge c = g;
                    c.label = std::move(label);
                    return make<GaugeClass>(std::move(c));
                })
        .method("use_unicode", "($self, value)",
                [](const Gauge& g, Args& a) {
                    const bool value = a.get<bool>(0);
                    Gauge c = g;
                    c.use_unicode = value;
                    return make<GaugeClass>(std::move(c));
                })
        .repr([](const Gauge& g) { return g.repr(); })
        .build();
}

PyTypeObject* LineGaugeClass::create() {
    using core::LineGauge;
    return ClassBuilder<LineGaugeClass>()
        .static_method("new", "()", [](Args&) { return make<LineGaugeClass>(LineGauge{}); })
        .method("block", "($self, block)",
                [](const LineGauge& g, Args& a) {
                    LineGauge c = g;
                    c.block = a.value<BlockClass>(0);
                    return make<LineGaugeClass>(std::move(c));
                })
        .method("label", "($self, label)",
                [](const LineGauge& g, Args& a) {
                    core::Line label = extract_line(a[0]);
                    LineGauge c = g;
                    c.label = std::move(label);
                    return make<LineGaugeClass>(std::move(c));
                })
        .method("ratio", "($self, value)",
                [](const LineGauge& g, Args& a) {
                    const double ratio = a.get<double>(0);
                    LineGauge c = g;
                    c.ratio = core::gauge_checked_ratio(ratio);
                    return make<LineGaugeClass>(std::move(c));
                })
        .method("style", "($self, style)",
                [](const LineGauge& g, Args& a) {
                    LineGauge c = g;
                    c.style = a.value<StyleClass>(0);
                    return make<LineGaugeClass>(std::move(c));
                })
        .method("filled_style", "($self, style)",
                [](const LineGauge& g, Args& a) {
                    LineGauge c = g;
                    c.filled_style = a.value<StyleClass>(0);
                    return make<LineGaugeClass>(std::move(c));
                })
        .method("unfilled_style", "($self, style)",
                [](const LineGauge& g, Args& a) {
                    LineGauge c = g;
                    c.unfilled_style = a.value<StyleClass>(0);
                    return make<LineGaugeClass>(std::move(c));
                })
        .build();
}

TARVO_REGISTER_CLASS(GaugeClass);
TARVO_REGISTER_CLASS(LineGaugeClass);

[[maybe_unused]] const bool gauge_drawn = register_widget_renderer<GaugeClass>(
    [](const core::Gauge& g, const core::Rect& area, core::Buffer& buf) { g.render(area, buf); });
[[maybe_unused]] const bool line_gauge_drawn = register_widget_renderer<LineGaugeClass>(
    [](const core::LineGauge& g, const core::Rect& area, core::Buffer& buf) { g.render(area, buf); });

}  // namespace

}  // namespace tarvo::bindings
