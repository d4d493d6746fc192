// Dataset, Axis and Chart: immutable builders over the core chart.

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/layout.hpp"
#include "bindings/layout_enums.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
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
    return ClassBuilder<DatasetClass>()
        .static_method("default", "()", [](Args&) { return make<DatasetClass>(Dataset{}); })
        .method("name", "($self, value)",
                [](const Dataset& d, Args& a) {
                    core::Line name = extract_line(a[0]);
                    Dataset c = d;
                    c.name = std::move(name);
                    return make<DatasetClass>(std::move(c));
                })
        .method("data", "($self, values)",
                [](const Dataset& d, Args& a) {
                    std::vector<core::Point2> data = points_arg(a, 0);
                    Dataset c = d;
                    c.data = std::move(data);
                    return make<DatasetClass>(std::move(c));
                })
        .method("marker", "($self, value)",
                [](const Dataset& d, Args& a) {
                    const core::Marker marker = to_core_marker(a.value<MarkerClass>(0));
                    Dataset c = d;
                    c.marker = marker;
                    return make<DatasetClass>(std::move(c));
                })
        .method("graph_type", "($self, value)",
                [](const Dataset& d, Args& a) {
                    const core::GraphType type = to_core_graph_type(a.value<GraphTypeClass>(0));
                    Dataset c = d;
                    c.graph_type = type;
                    return make<DatasetClass>(std::move(c));
                })
        .method("style", "($self, value)",
                [](const Dataset& d, Args& a) {
                    Dataset c = d;
                    c.style = a.value<StyleClass>(0);
                    return make<DatasetClass>(std::move(c));
                })
        .build();
}

PyTypeObject* AxisClass::create() {
    using core::Axis;
    return ClassBuilder<AxisClass>()
        .static_method("default", "()", [](Args&) { return make<AxisClass>(Axis{}); })
        .method("title", "($self, value)",
                [](const Axis& ax, Args& a) {
                    core::Line title = extract_line(a[0]);
                    Axis c = ax;
                    c.title = std::move(title);
                    return make<AxisClass>(std::move(c));
                })
        .method("bounds", "($self, bounds)",
                [](const Axis& ax, Args& a) {
                    const core::Bounds bounds = bounds_arg(a, 0);
                    Axis c = ax;
                    c.bounds = bounds;
                    return make<AxisClass>(std::move(c));
                })
        .method("labels", "($self, values)",
                [](const Axis& ax, Args& a) {
                    std::vector<core::Line> labels = line_list_arg(a, 0);
                    Axis c = ax;
                    c.labels = std::move(labels);
                    return make<AxisClass>(std::move(c));
                })
        .method("labels_alignment", "($self, alignment)",
                [](const Axis& ax, Args& a) {
                    const std::uint8_t alignment = a.value<AlignmentClass>(0);
                    Axis c = ax;
                    c.labels_alignment = static_cast<core::Alignment>(alignment);
                    return make<AxisClass>(std::move(c));
                })
        .method("style", "($self, value)",
                [](const Axis& ax, Args& a) {
                    Axis c = ax;
                    c.style = a.value<StyleClass>(0);
                    return make<AxisClass>(std::move(c));
                })
        .build();
}

PyTypeObject* ChartClass::create() {
    using core::Chart;
    return ClassBuilder<ChartClass>()
        .static_method("new", "(datasets)",
                       [](Args& a) {
                           Chart chart;
                           chart.datasets = values_from_list<DatasetClass>(a, 0, "expected Dataset");
                           return make<ChartClass>(std::move(chart));
                       })
        .method("block", "($self, block)",
                [](const Chart& ch, Args& a) {
                    Chart c = ch;
                    c.block = a.value<BlockClass>(0);
                    return make<ChartClass>(std::move(c));
                })
        .method("style", "($self, value)",
                [](const Chart& ch, Args& a) {
                    Chart c = ch;
                    c.style = a.value<StyleClass>(0);
                    return make<ChartClass>(std::move(c));
                })
        .method("x_axis", "($self, axis)",
                [](const Chart& ch, Args& a) {
                    Chart c = ch;
                    c.x_axis = a.value<AxisClass>(0);
                    return make<ChartClass>(std::move(c));
                })
        .method("y_axis", "($self, axis)",
                [](const Chart& ch, Args& a) {
                    Chart c = ch;
                    c.y_axis = a.value<AxisClass>(0);
                    return make<ChartClass>(std::move(c));
                })
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

[[maybe_unused]] const bool chart_drawn = register_widget_renderer<ChartClass>(
    [](const core::Chart& c, const core::Rect& area, core::Buffer& buf) { c.render(area, buf); });

}  // namespace

}  // namespace tarvo::bindings
