// Dataset, Axis and Chart: immutable builders over the core chart.

#include "bindings/layout.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/widget_enums.hpp"
#include "core/widgets/chart.hpp"

namespace tarvo::bindings {

namespace {

struct DatasetClass {
    using Value = core::Dataset;
    static constexpr const char* name = "Dataset";
    static PyTypeObject* create();
};

struct AxisClass {
    using Value = core::Axis;
    static constexpr const char* name = "Axis";
    static PyTypeObject* create();
};

struct ChartClass {
    using Value = core::Chart;
    static constexpr const char* name = "Chart";
    static PyTypeObject* create();
};

PyTypeObject* DatasetClass::create() {
    using core::Dataset;
    using D = DatasetClass;
    return ClassBuilder<DatasetClass>()
        .static_method("default", "()", [](Args&) { return make<DatasetClass>(Dataset{}); })
        .method("name", "($self, value)", SetField<D, &Dataset::name, LineArg>{})
        .method("data", "($self, values)", SetField<D, &Dataset::data, PointsArg>{})
        .method("marker", "($self, value)", SetField<D, &Dataset::marker, EnumArg<MarkerClass, core::Marker>>{})
        .method("graph_type", "($self, value)",
                SetField<D, &Dataset::graph_type, EnumArg<GraphTypeClass, core::GraphType>>{})
        .method("style", "($self, value)", SetField<D, &Dataset::style, StyleArg>{})
        .build();
}

// A list of line-like values.
struct LinesArg {
    static std::vector<core::Line> read(const Args& a, std::size_t i) { return line_list_arg(a, i); }
};

PyTypeObject* AxisClass::create() {
    using core::Axis;
    using A = AxisClass;
    return ClassBuilder<AxisClass>()
        .static_method("default", "()", [](Args&) { return make<AxisClass>(Axis{}); })
        .method("title", "($self, value)", SetField<A, &Axis::title, LineArg>{})
        .method("bounds", "($self, bounds)", SetField<A, &Axis::bounds, BoundsArg>{})
        .method("labels", "($self, values)", SetField<A, &Axis::labels, LinesArg>{})
        .method("labels_alignment", "($self, alignment)",
                SetField<A, &Axis::labels_alignment, EnumArg<AlignmentClass, core::Alignment>>{})
        .method("style", "($self, value)", SetField<A, &Axis::style, StyleArg>{})
        .build();
}

PyTypeObject* ChartClass::create() {
    using core::Chart;
    using C = ChartClass;
    return ClassBuilder<ChartClass>()
        .static_method("new", "(datasets)",
                       [](Args& a) {
                           Chart chart;
                           chart.datasets = values_from_list<DatasetClass>(a, 0, "expected Dataset");
                           return make<ChartClass>(std::move(chart));
                       })
        .method("block", "($self, block)", SetField<C, &Chart::block, BlockArg>{})
        .method("style", "($self, value)", SetField<C, &Chart::style, StyleArg>{})
        .method("x_axis", "($self, axis)", SetField<C, &Chart::x_axis, InstanceArg<AxisClass>>{})
        .method("y_axis", "($self, axis)", SetField<C, &Chart::y_axis, InstanceArg<AxisClass>>{})
        .method("legend_position", "($self, position=None)",
                [](const Chart& ch, Args& a) {
                    const std::optional<std::uint8_t> position = a.optional_value<LegendPositionClass>(0);
                    Chart c = ch;
                    c.legend_position.reset();
                    if (position) c.legend_position = to_core_legend_position(*position);
                    return make<ChartClass>(std::move(c));
                })
        .method("hidden_legend_constraints", "($self, width, height)",
                [](const Chart& ch, Args& a) {
                    const core::Constraint width = a.value<ConstraintClass>(0);
                    const core::Constraint height = a.value<ConstraintClass>(1);
                    Chart c = ch;
                    c.hidden_legend_constraints = {width, height};
                    return make<ChartClass>(std::move(c));
                })
        .build();
}

TARVO_REGISTER_CLASS(DatasetClass);
TARVO_REGISTER_CLASS(AxisClass);
TARVO_REGISTER_CLASS(ChartClass);

[[maybe_unused]] const bool chart_drawn = register_widget_renderer<ChartClass>();

}  // namespace

}  // namespace tarvo::bindings
