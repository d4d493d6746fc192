// Canvas: an immutable builder that records shapes and labels for the core canvas.

#include "bindings/plot_args.hpp"
#include "bindings/render.hpp"
#include "bindings/runtime/registry.hpp"
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

// The builder that appends a shape whose numbers are the arguments before the last, read in
// parameter order into `Fields`, and whose colour is the last argument.
template <typename Shape, auto... Fields>
struct AddShape {
    PyObject* operator()(const core::Canvas& c, Args& a) const {
        Shape shape;
        std::size_t i = 0;
        ((shape.*Fields = a.get<double>(i++)), ...);
        shape.color = a.value<ColorClass>(i);
        return with_shape(c, std::move(shape));
    }
};

PyTypeObject* CanvasClass::create() {
    using core::Canvas;
    using C = CanvasClass;
    return ClassBuilder<CanvasClass>()
        .static_method("default", "()", [](Args&) { return make<CanvasClass>(Canvas{}); })
        .method("block", "($self, block)", SetField<C, &Canvas::block, BlockArg>{})
        .method("x_bounds", "($self, bounds)", SetField<C, &Canvas::x_bounds, BoundsArg>{})
        .method("y_bounds", "($self, bounds)", SetField<C, &Canvas::y_bounds, BoundsArg>{})
        .method("marker", "($self, value)", SetField<C, &Canvas::marker, EnumArg<MarkerClass, core::Marker>>{})
        .method("background_color", "($self, color)", SetField<C, &Canvas::background_color, ColorArg>{})
        .method("line", "($self, x1, y1, x2, y2, color)",
                AddShape<core::CanvasLine, &core::CanvasLine::x1, &core::CanvasLine::y1, &core::CanvasLine::x2,
                         &core::CanvasLine::y2>{})
        .method("points", "($self, coords, color)",
                [](const Canvas& c, Args& a) {
                    core::CanvasPoints points;
                    points.coords = points_arg(a, 0);
                    points.color = a.value<ColorClass>(1);
                    return with_shape(c, std::move(points));
                })
        .method("rectangle", "($self, x, y, width, height, color)",
                AddShape<core::CanvasRectangle, &core::CanvasRectangle::x, &core::CanvasRectangle::y,
                         &core::CanvasRectangle::width, &core::CanvasRectangle::height>{})
        .method("circle", "($self, x, y, radius, color)",
                AddShape<core::CanvasCircle, &core::CanvasCircle::x, &core::CanvasCircle::y,
                         &core::CanvasCircle::radius>{})
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

[[maybe_unused]] const bool canvas_drawn = register_widget_renderer<CanvasClass>();

}  // namespace

}  // namespace tarvo::bindings
