// The Canvas: shapes and text labels recorded in world coordinates and drawn onto the cells of
// an area with a marker (dots, blocks, bars, Braille patterns or half blocks).
//
// CanvasContext is the drawing surface shared with the Chart: a grid of points at the marker's
// resolution over a canvas area, onto which shapes are rasterised and which is then laid onto
// a buffer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "core/buffer.hpp"
#include "core/color.hpp"
#include "core/geometry.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::core {

using Bounds = std::array<double, 2>;
using Point2 = std::pair<double, double>;

struct CanvasLine {
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
    Color color;
};
struct CanvasPoints {
    std::vector<Point2> coords;
    Color color;
};
// (x, y) is the lower-left corner.
struct CanvasRectangle {
    double x = 0.0, y = 0.0, width = 0.0, height = 0.0;
    Color color;
};
struct CanvasCircle {
    double x = 0.0, y = 0.0, radius = 0.0;
    Color color;
};
using CanvasShape = std::variant<CanvasLine, CanvasPoints, CanvasRectangle, CanvasCircle>;

struct CanvasLabel {
    double x = 0.0;
    double y = 0.0;
    Line line;
};

// One layer of marker points over a canvas area of `width` x `height` cells, with x running
// over [left, right] and y over [bottom, top] of the bounds. Only the cells of `visible` (in
// cells relative to the canvas area) are kept; points elsewhere are dropped.
class CanvasContext {
public:
    CanvasContext(std::uint16_t width, std::uint16_t height, Bounds x_bounds, Bounds y_bounds, Marker marker,
                  Rect visible);

    // The grid point of a world position: nothing outside the bounds, for bounds of no extent
    // (or reversed) and for NaN.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> grid_point(double x, double y) const;

    void paint(std::uint64_t gx, std::uint64_t gy, Color color);
    void draw(const CanvasShape& shape);
    void draw_points(const std::vector<Point2>& coords, Color color);
    void draw_line(double x1, double y1, double x2, double y2, Color color);

    // Lays the painted cells onto the buffer, `area` being the canvas area: a painted cell
    // takes the marker's symbol and the colours the marker gives it; other cells stay.
    void apply(const Rect& area, Buffer& buf) const;

private:
    struct Painted {
        std::uint8_t bits = 0;  // Braille dots, or which half blocks are painted
        std::optional<Color> upper;  // the colour (the upper half's for half blocks)
        std::optional<Color> lower;  // the lower half's colour (half blocks)
    };

    void paint_segment(std::uint64_t x1, std::uint64_t y1, std::uint64_t x2, std::uint64_t y2, Color color);

    Marker marker_;
    std::uint16_t width_;
    std::uint16_t height_;
    Bounds x_bounds_;
    Bounds y_bounds_;
    double res_x_;
    double res_y_;
    Rect visible_;
    std::vector<Painted> cells_;  // visible_.width * visible_.height, row by row
};

struct Canvas {
    std::optional<Block> block;
    Bounds x_bounds{0.0, 0.0};
    Bounds y_bounds{0.0, 0.0};
    Marker marker = Marker::Braille;
    Color background_color;
    std::vector<CanvasShape> shapes;
    std::vector<CanvasLabel> labels;

    void render(const Rect& area, Buffer& buf) const;
};

// Draws a canvas area: the background colour over the area, the shapes `paint` draws into a
// fresh context (one layer), then the labels.
template <typename Paint>
void draw_canvas_area(const Rect& area, Buffer& buf, Bounds x_bounds, Bounds y_bounds, Marker marker,
                      Color background, Paint&& paint, const std::vector<CanvasLabel>& labels);

void canvas_background(const Rect& area, Buffer& buf, Color background);
void canvas_labels(const Rect& area, Buffer& buf, Bounds x_bounds, Bounds y_bounds,
                   const std::vector<CanvasLabel>& labels);

template <typename Paint>
void draw_canvas_area(const Rect& area, Buffer& buf, Bounds x_bounds, Bounds y_bounds, Marker marker,
                      Color background, Paint&& paint, const std::vector<CanvasLabel>& labels) {
    if (area.is_empty()) return;
    canvas_background(area, buf, background);
    const Rect shown = area.intersection(buf.area);
    CanvasContext ctx(area.width, area.height, x_bounds, y_bounds, marker,
                      Rect{static_cast<std::uint16_t>(shown.x - area.x), static_cast<std::uint16_t>(shown.y - area.y),
                           shown.width, shown.height});
    paint(ctx);
    ctx.apply(area, buf);
    canvas_labels(area, buf, x_bounds, y_bounds, labels);
}

}  // namespace tarvo::core
