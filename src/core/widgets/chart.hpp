// The Chart: datasets of (x, y) points drawn as scatter plots, line graphs or bar graphs between
// an x axis and a y axis, with axis titles and labels and a legend of the named datasets.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/layout.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/canvas.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::core {

struct Dataset {
    // Only named datasets are listed in the legend.
    std::optional<Line> name;
    std::vector<Point2> data;
    Marker marker = Marker::Dot;
    GraphType graph_type = GraphType::Scatter;
    // The legend row takes the whole style; the points take its foreground colour.
    Style style;
};

struct Axis {
    std::optional<Line> title;
    Bounds bounds{0.0, 0.0};
    // x: left to right; y: bottom to top.
    std::vector<Line> labels;
    Style style;
    // y: the labels' alignment left of the axis; x: the first label's place around the y axis.
    Alignment labels_alignment = Alignment::Left;
};

struct Chart {
    std::vector<Dataset> datasets;
    std::optional<Block> block;
    Axis x_axis;
    Axis y_axis;
    Style style;
    // Absent: no legend.
    std::optional<LegendPosition> legend_position = LegendPosition::TopRight;
    // The largest legend width and height allowed, as parts of the graph area.
    std::pair<Constraint, Constraint> hidden_legend_constraints{Constraint::ratio(1, 4), Constraint::ratio(1, 4)};

    void render(const Rect& area, Buffer& buf) const;

    // Where each part goes in a chart area.
    struct Parts {
        std::optional<Position> title_x;
        std::optional<Position> title_y;
        std::optional<std::uint16_t> label_x;  // row of the x labels
        std::optional<std::uint16_t> label_y;  // column where the y labels start
        std::optional<std::uint16_t> axis_x;   // row of the x axis
        std::optional<std::uint16_t> axis_y;   // column of the y axis
        std::optional<Rect> legend_area;
        Rect graph_area;
    };
    // Nothing for an empty area; parts that do not fit are left out.
    std::optional<Parts> layout(const Rect& area) const;

private:
    std::uint16_t max_width_of_labels_left_of_y_axis(const Rect& area, bool has_y_axis) const;
    void render_x_labels(Buffer& buf, const Parts& parts, const Rect& chart_area, const Rect& graph_area) const;
    void render_y_labels(Buffer& buf, const Parts& parts, const Rect& chart_area, const Rect& graph_area) const;
};

// The legend's rectangle in the graph area for a position, or nothing when it does not fit
// beside the axis titles.
std::optional<Rect> legend_rect(LegendPosition position, const Rect& area, std::uint16_t legend_width,
                                std::uint16_t legend_height, std::uint16_t x_title_width,
                                std::uint16_t y_title_width);

}  // namespace tarvo::core
