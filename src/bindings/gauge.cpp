// Gauge and LineGauge: immutable builders over the core progress widgets.

#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
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

// The ratio of `Gauge.percent` and the checked ratio of `ratio`.
struct PercentArg {
    static double read(const Args& a, std::size_t i) { return core::gauge_percent_ratio(a.get<std::uint16_t>(i)); }
};
struct RatioArg {
    static double read(const Args& a, std::size_t i) { return core::gauge_checked_ratio(a.get<double>(i)); }
};

PyTypeObject* GaugeClass::create() {
    using core::Gauge;
    using G = GaugeClass;
    return ClassBuilder<GaugeClass>()
        .static_method("new", "()", [](Args&) { return make<GaugeClass>(Gauge{}); })
        .static_method("default", "()", [](Args&) { return make<GaugeClass>(Gauge{}); })
        .method("block", "($self, block)", SetField<G, &Gauge::block, BlockArg>{})
        .method("style", "($self, style)", SetField<G, &Gauge::style, StyleArg>{})
        .method("gauge_style", "($self, style)", SetField<G, &Gauge::gauge_style, StyleArg>{})
        .method("percent", "($self, value)", SetField<G, &Gauge::ratio, PercentArg>{})
        .method("ratio", "($self, value)", SetField<G, &Gauge::ratio, RatioArg>{})
        .method("label", "($self, label)", SetField<G, &Gauge::label, SpanArg>{})
        .method("use_unicode", "($self, value)", SetField<G, &Gauge::use_unicode, PlainArg<bool>>{})
        .repr([](const Gauge& g) { return g.repr(); })
        .build();
}

PyTypeObject* LineGaugeClass::create() {
    using core::LineGauge;
    using G = LineGaugeClass;
    return ClassBuilder<LineGaugeClass>()
        .static_method("new", "()", [](Args&) { return make<LineGaugeClass>(LineGauge{}); })
        .method("block", "($self, block)", SetField<G, &LineGauge::block, BlockArg>{})
        .method("label", "($self, label)", SetField<G, &LineGauge::label, LineArg>{})
        .method("ratio", "($self, value)", SetField<G, &LineGauge::ratio, RatioArg>{})
        .method("style", "($self, style)", SetField<G, &LineGauge::style, StyleArg>{})
        .method("filled_style", "($self, style)", SetField<G, &LineGauge::filled_style, StyleArg>{})
        .method("unfilled_style", "($self, style)", SetField<G, &LineGauge::unfilled_style, StyleArg>{})
        .build();
}

TARVO_REGISTER_CLASS(GaugeClass);
TARVO_REGISTER_CLASS(LineGaugeClass);

[[maybe_unused]] const bool gauge_drawn = register_widget_renderer<GaugeClass>();
[[maybe_unused]] const bool line_gauge_drawn = register_widget_renderer<LineGaugeClass>();

}  // namespace

}  // namespace tarvo::bindings
