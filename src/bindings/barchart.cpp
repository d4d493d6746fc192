// Bar, BarGroup and BarChart: immutable builders over the core bar chart.

#include "bindings/layout_enums.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
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
        .method("value", "($self, value)", SetField<BarClass, &Bar::value, PlainArg<std::uint64_t>>{})
        .method("label", "($self, label)", SetField<BarClass, &Bar::label, LineArg>{})
        .method("text_value", "($self, value)", SetField<BarClass, &Bar::text_value, PlainArg<std::string>>{})
        .method("style", "($self, style)", SetField<BarClass, &Bar::style, StyleArg>{})
        .method("value_style", "($self, style)", SetField<BarClass, &Bar::value_style, StyleArg>{})
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

PyTypeObject* BarChartClass::create() {
    using core::BarChart;
    using C = BarChartClass;
    using U16 = PlainArg<std::uint16_t>;
    return ClassBuilder<BarChartClass>()
        .static_method("new", "(groups)",
                       [](Args& a) {
                           BarChart chart;
                           for (core::BarGroup& g : values_from_list<BarGroupClass>(a, 0, "expected BarGroup"))
                               chart.add_group(std::move(g));
                           return make<BarChartClass>(std::move(chart));
                       })
        .method("block", "($self, block)", SetField<C, &BarChart::block, BlockArg>{})
        .method("style", "($self, style)", SetField<C, &BarChart::style, StyleArg>{})
        .method("bar_width", "($self, value)", SetField<C, &BarChart::bar_width, U16>{})
        .method("bar_gap", "($self, value)", SetField<C, &BarChart::bar_gap, U16>{})
        .method("group_gap", "($self, value)", SetField<C, &BarChart::group_gap, U16>{})
        .method("max", "($self, value)", SetField<C, &BarChart::max, PlainArg<std::uint64_t>>{})
        .method("bar_style", "($self, style)", SetField<C, &BarChart::bar_style, StyleArg>{})
        .method("value_style", "($self, style)", SetField<C, &BarChart::value_style, StyleArg>{})
        .method("label_style", "($self, style)", SetField<C, &BarChart::label_style, StyleArg>{})
        .method("direction", "($self, direction)",
                SetField<C, &BarChart::direction, EnumArg<DirectionClass, core::Direction>>{})
        .build();
}

TARVO_REGISTER_CLASS(BarClass);
TARVO_REGISTER_CLASS(BarGroupClass);
TARVO_REGISTER_CLASS(BarChartClass);

[[maybe_unused]] const bool barchart_drawn = register_widget_renderer<BarChartClass>();

}  // namespace

}  // namespace tarvo::bindings
