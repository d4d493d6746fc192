// Canvas: an immutable builder that records shapes and labels for the core canvas.

#include "bindings/block.hpp"
#include "bindings/convert_text.hpp"
#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/style.hpp"
#include "bindings/widget_enums.hpp"
#include "core/widgets/canvas.hpp"

namespace tarvo::bindings {

namespace {

struct CanvasClass {
    using Value = core::Canvas;
    static constexpr const char* name = "Canvas";
    static PyTypeObject* create();
};

PyObject* with_shape(const core::Canvas& c, core::CanvasShape shape) {
    core::Canvas copy = c;
    copy.shapes.push_back(std::move(shape));
    return make<CanvasClass>(std::move(copy));
}

PyTypeObject* CanvasClass::create() {
    using core::Canvas;
    return ClassBuilder<CanvasClass>()
        .static_method("default", "()", [](Args&) { return make<CanvasClass>(Canvas{}); })
        .method("block", "($self, block)",
                [](const Canvas& c, Args& a) {
                    Canvas copy = c;
                    copy.block = a.value<BlockClass>(0);
                    return make<CanvasClass>(std::move(copy));
                })
        .method("x_bounds", "($self, bounds)",
                [](const Canvas& c, Args& a) {
                    const core::Bounds bounds = bounds_arg(a, 0);
                    Canvas copy = c;
                    copy.x_bounds = bounds;
                    return make<CanvasClass>(std::move(copy));
                })
        .method("y_bounds", "($self, bounds)",
                [](const Canvas& c, Args& a) {
                    const core::Bounds bounds = bounds_arg(a, 0);
                    Canvas copy = c;
                    copy.y_bounds = bounds;
                    return make<CanvasClass>(std::move(copy));
                })
        .method("marker", "($self, value)",
                [](const Canvas& c, Args& a) {
                    const core::Marker marker = to_core_marker(a.value<MarkerClass>(0));
                    Canvas copy = c;
                    copy.marker = marker;
                    return make<CanvasClass>(std::move(copy));
                })
        .method("background_color", "($self, color)",
                [](const Canvas& c, Args& a) {
                    Canvas copy = c;
                    copy.background_color = a.value<ColorClass>(0);
                    return make<CanvasClass>(std::move(copy));
                })
        .method("line", "($self, x1, y1, x2, y2, color)",
                [](const Canvas& c, Args& a) {
                    core::CanvasLine line;
                    line.x1 = a.get<double>(0);
                    line.y1 = a.get<double>(1);
                    line.x2 = a.get<double>(2);
                    line.y2 = a.get<double>(3);
                    line.color = a.value<ColorClass>(4);
                    return with_shape(c, line);
                })
        .method("points", "($self, coords, color)",
                [](const Canvas& c, Args& a) {
                    core::CanvasPoints points;
                    points.coords = points_arg(a, 0);
                    points.color = a.value<ColorClass>(1);
                    return with_shape(c, std::move(points));
                })
        .method("rectangle", "($self, x, y, width, height, color)",
                [](const Canvas& c, Args& a) {
                    core::CanvasRectangle rect;
                    rect.x = a.get<double>(0);
                    rect.y = a.get<double>(1);
                    rect.width = a.get<double>(2);
                    rect.height = a.get<double>(3);
                    rect.color = a.value<ColorClass>(4);
                    return with_shape(c, rect);
                })
        .method("circle", "($self, x, y, radius, color)",
                [](const Canvas& c, Args& a) {
                    core::CanvasCircle circle;
                    circle.x = a.get<double>(0);
                    circle.y = a.get<double>(1);
                    circle.radius = a.get<double>(2);
                    circle.color = a.value<ColorClass>(3);
                    return with_shape(c, circle);
                })
        .method("print", "($self, x, y, content)",
                [](const Canvas& c, Args& a) {
                    core::CanvasLabel label;
                    label.x = a.get<double>(0);
                    label.y = a.get<double>(1);
                    label.line = extract_line(a[2]);
                    Canvas copy = c;
                    copy.labels.push_back(std::move(label));
                    return make<CanvasClass>(std::move(copy));
                })
        .build();
}

TARVO_REGISTER_CLASS(CanvasClass);

[[maybe_unused]] const bool canvas_drawn = register_widget_renderer<CanvasClass>(
    [](const core::Canvas& c, const core::Rect& area, core::Buffer& buf) { c.render(area, buf); });

}  // namespace

}  // namespace tarvo::bindings
