#include "core/widgets/canvas.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "core/numeric.hpp"

namespace tarvo::core {

namespace {

// The Braille dot of each position in a 2 x 4 cell: [row][column].
constexpr std::uint8_t kBrailleDots[4][2] = {{0x01, 0x08}, {0x02, 0x10}, {0x04, 0x20}, {0x40, 0x80}};

void append_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The Braille pattern of a cell whose positions are set in `bits` (bit column + 2 * row).
std::string braille_symbol(std::uint8_t bits) {
    std::uint32_t dots = 0;
    for (int b = 0; b < 8; ++b)
        if (bits & (1u << b)) dots |= kBrailleDots[b / 2][b % 2];
    std::string s;
    append_utf8(s, 0x2800 + dots);
    return s;
}

// cos and sin of each whole degree, 0 to 359.
const std::array<std::pair<double, double>, 360>& unit_circle() {
    static const std::array<std::pair<double, double>, 360> table = [] {
        constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
        std::array<std::pair<double, double>, 360> t{};
        for (int angle = 0; angle < 360; ++angle) {
            const double radians = static_cast<double>(angle) * kRadiansPerDegree;
            t[static_cast<std::size_t>(angle)] = {std::cos(radians), std::sin(radians)};
        }
        return t;
    }();
    return table;
}

// Bresenham's walk: the major coordinate runs from a1 up to a2 while the minor one starts at b1
// and moves one step towards b2 whenever the error term says so; `plot(major, minor)` paints.
template <typename Plot>
void walk_segment(std::uint64_t a1, std::uint64_t b1, std::uint64_t a2, std::uint64_t b2, Plot&& plot) {
    const std::int64_t da = static_cast<std::int64_t>(a2 - a1);
    const std::int64_t db = std::llabs(static_cast<std::int64_t>(b2) - static_cast<std::int64_t>(b1));
    std::int64_t d = 2 * db - da;
    std::uint64_t b = b1;
    for (std::uint64_t a = a1; a <= a2; ++a) {
        plot(a, b);
        if (d > 0) {
            b = b1 > b2 ? sat_sub<std::uint64_t>(b, 1) : sat_add<std::uint64_t>(b, 1);
            d -= 2 * da;
        }
        d += 2 * db;
    }
}

bool any_nan(std::initializer_list<double> values) {
    return std::any_of(values.begin(), values.end(), [](double v) { return std::isnan(v); });
}

// Cohen-Sutherland clipping of a segment to the window [xmin, xmax] x [ymin, ymax].
struct Clip {
    double xmin, xmax, ymin, ymax;

    static constexpr unsigned kLeft = 1, kRight = 2, kBottom = 4, kTop = 8;

    unsigned region(double x, double y) const {
        unsigned r = 0;
        if (x < xmin)
            r |= kLeft;
        else if (x > xmax)
            r |= kRight;
        if (y < ymin)
            r |= kBottom;
        else if (y > ymax)
            r |= kTop;
        return r;
    }

    // Moves (x1, y1), which lies in `r`, along the segment towards (x2, y2) onto the window edge.
    void move_onto_edge(double& x1, double& y1, double x2, double y2, unsigned r) const {
        const double dx = x2 - x1, dy = y2 - y1;
        if (r & kLeft) {
            y1 = y1 + (xmin - x1) * dy / dx;
            x1 = xmin;
        } else if (r & kRight) {
            y1 = y1 + (xmax - x1) * dy / dx;
            x1 = xmax;
        } else if (r & kBottom) {
            x1 = x1 + (ymin - y1) * dx / dy;
            y1 = ymin;
        } else if (r & kTop) {
            x1 = x1 + (ymax - y1) * dx / dy;
            y1 = ymax;
        }
    }

    bool operator()(double& x1, double& y1, double& x2, double& y2) const {
        unsigned r1 = region(x1, y1), r2 = region(x2, y2);
        // Each step puts one end on an edge; a handful of steps settles any segment, and the
        // bound keeps degenerate inputs from looping.
        for (int step = 0; step < 16 && (r1 || r2); ++step) {
            if (r1 & r2) return false;
            if (r1) {
                move_onto_edge(x1, y1, x2, y2, r1);
                r1 = region(x1, y1);
            } else {
                move_onto_edge(x2, y2, x1, y1, r2);
                r2 = region(x2, y2);
            }
        }
        return !(r1 || r2);
    }
};

}  // namespace

CanvasContext::CanvasContext(std::uint16_t width, std::uint16_t height, Bounds x_bounds, Bounds y_bounds,
                             Marker marker, Rect visible)
    : marker_(marker), width_(width), height_(height), x_bounds_(x_bounds), y_bounds_(y_bounds), visible_(visible) {
    switch (marker) {
        case Marker::Braille:
            res_x_ = width * 2.0;
            res_y_ = height * 4.0;
            break;
        case Marker::HalfBlock:
            res_x_ = width;
            res_y_ = height * 2.0;
            break;
        default:
            res_x_ = width;
            res_y_ = height;
            break;
    }
    cells_.resize(std::size_t{visible_.width} * visible_.height);
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> CanvasContext::grid_point(double x, double y) const {
    const auto [left, right] = x_bounds_;
    const auto [bottom, top] = y_bounds_;
    if (any_nan({x, y})) return std::nullopt;
    if (x < left || x > right || y < bottom || y > top) return std::nullopt;
    const double w = right - left, h = top - bottom;
    if (!(w > 0.0) || !(h > 0.0)) return std::nullopt;
    const double gx = std::round((x - left) * (res_x_ - 1.0) / w);
    const double gy = std::round((top - y) * (res_y_ - 1.0) / h);
    if (any_nan({gx, gy})) return std::nullopt;
    return std::pair{sat_cast<std::uint64_t>(gx), sat_cast<std::uint64_t>(gy)};
}

void CanvasContext::paint(std::uint64_t gx, std::uint64_t gy, Color color) {
    std::uint64_t col, row;
    bool lower = false;
    switch (marker_) {
        case Marker::Braille:
            col = gx / 2;
            row = gy / 4;
            break;
        case Marker::HalfBlock:
            if (gx >= width_ || gy >= std::uint64_t{height_} * 2) return;
            col = gx;
            row = gy / 2;
            lower = gy % 2 == 1;
            break;
        default:
            col = gx;
            row = gy;
            break;
    }
    if (marker_ != Marker::HalfBlock) {
        if (col < width_) {
            if (row >= height_) return;
        } else {
            // A cell index past the end of a row runs on into the next row, as the grid is one
            // vector of cells.
            const std::uint64_t index = sat_add(sat_mul(row, std::uint64_t{width_}), col);
            if (width_ == 0 || index >= std::uint64_t{width_} * height_) return;
            col = index % width_;
            row = index / width_;
        }
    }
    if (col < visible_.x || row < visible_.y || col >= visible_.right() || row >= visible_.bottom()) return;
    Painted& cell = cells_[(row - visible_.y) * visible_.width + (col - visible_.x)];
    switch (marker_) {
        case Marker::Braille:
            cell.bits |= static_cast<std::uint8_t>(1u << ((gx % 2) + 2 * (gy % 4)));
            cell.upper = color;
            break;
        case Marker::HalfBlock:
            (lower ? cell.lower : cell.upper) = color;
            break;
        default:
            cell.upper = color;
            break;
    }
}

void CanvasContext::draw_points(const std::vector<Point2>& coords, Color color) {
    for (const auto& [x, y] : coords)
        if (const auto p = grid_point(x, y)) paint(p->first, p->second, color);
}

void CanvasContext::paint_segment(std::uint64_t x1, std::uint64_t y1, std::uint64_t x2, std::uint64_t y2,
                                  Color color) {
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(x2) - static_cast<std::int64_t>(x1));
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(y2) - static_cast<std::int64_t>(y1));
    if (dx == 0) {
        for (std::uint64_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y) paint(x1, y, color);
        return;
    }
    if (dy == 0) {
        for (std::uint64_t x = std::min(x1, x2); x <= std::max(x1, x2); ++x) paint(x, y1, color);
        return;
    }
    // Step along the axis of the larger change, from the end with the smaller coordinate on it.
    if (dy < dx) {
        if (x1 > x2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        walk_segment(x1, y1, x2, y2, [&](std::uint64_t x, std::uint64_t y) { paint(x, y, color); });
    } else {
        if (y1 > y2) {
            std::swap(x1, x2);
            std::swap(y1, y2);
        }
        walk_segment(y1, x1, y2, x2, [&](std::uint64_t y, std::uint64_t x) { paint(x, y, color); });
    }
}

void CanvasContext::draw_line(double x1, double y1, double x2, double y2, Color color) {
    if (any_nan({x1, y1, x2, y2})) return;
    const Clip clip{x_bounds_[0], x_bounds_[1], y_bounds_[0], y_bounds_[1]};
    if (!clip(x1, y1, x2, y2)) return;
    const auto p1 = grid_point(x1, y1);
    if (!p1) return;
    const auto p2 = grid_point(x2, y2);
    if (!p2) return;
    paint_segment(p1->first, p1->second, p2->first, p2->second, color);
}

void CanvasContext::draw(const CanvasShape& shape) {
    if (const auto* line = std::get_if<CanvasLine>(&shape)) {
        draw_line(line->x1, line->y1, line->x2, line->y2, line->color);
    } else if (const auto* points = std::get_if<CanvasPoints>(&shape)) {
        draw_points(points->coords, points->color);
    } else if (const auto* rect = std::get_if<CanvasRectangle>(&shape)) {
        const double x = rect->x, y = rect->y, right = rect->x + rect->width, top = rect->y + rect->height;
        draw_line(x, y, x, top, rect->color);
        draw_line(x, top, right, top, rect->color);
        draw_line(right, y, right, top, rect->color);
        draw_line(x, y, right, y, rect->color);
    } else if (const auto* circle = std::get_if<CanvasCircle>(&shape)) {
        // 360 points, one per degree.
        for (const auto& [cos_a, sin_a] : unit_circle()) {
            const double px = std::fma(circle->radius, cos_a, circle->x);
            const double py = std::fma(circle->radius, sin_a, circle->y);
            if (const auto p = grid_point(px, py)) paint(p->first, p->second, circle->color);
        }
    }
}

void CanvasContext::apply(const Rect& area, Buffer& buf) const {
    static const char* const kDot = "\u2022";
    static const char* const kFull = "\u2588";
    static const char* const kLowerHalf = "\u2584";
    static const char* const kUpperHalf = "\u2580";
    for (std::uint32_t r = 0; r < visible_.height; ++r) {
        for (std::uint32_t c = 0; c < visible_.width; ++c) {
            const Painted& p = cells_[r * visible_.width + c];
            if (!p.upper && !p.lower) continue;
            Cell* cell = buf.cell_at(std::uint32_t{area.x} + visible_.x + c, std::uint32_t{area.y} + visible_.y + r);
            if (!cell) continue;
            switch (marker_) {
                case Marker::Braille:
                    cell->set_symbol(braille_symbol(p.bits));
                    cell->fg = *p.upper;
                    break;
                case Marker::Dot:
                    cell->set_symbol(kDot);
                    cell->fg = *p.upper;
                    break;
                case Marker::Bar:
                    cell->set_symbol(kLowerHalf);
                    cell->fg = *p.upper;
                    break;
                case Marker::Block:
                    // The colour goes to the background too, so that a later layer can draw over it.
                    cell->set_symbol(kFull);
                    cell->fg = *p.upper;
                    cell->bg = *p.upper;
                    break;
                case Marker::HalfBlock:
                    if (!p.upper) {
                        cell->set_symbol(kLowerHalf);
                        cell->fg = *p.lower;
                    } else if (!p.lower) {
                        cell->set_symbol(kUpperHalf);
                        cell->fg = *p.upper;
                    } else {
                        cell->set_symbol(color_equal(*p.upper, *p.lower) ? kFull : kUpperHalf);
                        cell->fg = *p.upper;
                        cell->bg = *p.lower;
                    }
                    break;
            }
        }
    }
}

void canvas_background(const Rect& area, Buffer& buf, Color background) {
    Style s;
    s.bg = background;
    buf.set_style(area, s);
}

void canvas_labels(const Rect& area, Buffer& buf, Bounds x_bounds, Bounds y_bounds,
                   const std::vector<CanvasLabel>& labels) {
    const double left = x_bounds[0], right = x_bounds[1];
    const double bottom = y_bounds[0], top = y_bounds[1];
    const double width = std::fabs(right - left), height = std::fabs(top - bottom);
    const double res_x = static_cast<double>(area.width) - 1.0;
    const double res_y = static_cast<double>(area.height) - 1.0;
    for (const CanvasLabel& label : labels) {
        if (!(label.x >= left && label.x <= right && label.y <= top && label.y >= bottom)) continue;
        // Bounds of no extent give NaN here, which lands on the first cell.
        const std::uint32_t x = sat_cast<std::uint16_t>((label.x - left) * res_x / width) + std::uint32_t{area.x};
        const std::uint32_t y = sat_cast<std::uint16_t>((top - label.y) * res_y / height) + std::uint32_t{area.y};
        if (x > 65535 || y > 65535) continue;
        const std::uint16_t room = area.right() > x ? static_cast<std::uint16_t>(area.right() - x) : 0;
        buf.set_line(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), label.line, room);
    }
}

void Canvas::render(const Rect& area, Buffer& buf) const {
    render_block(block, area, buf);
    const Rect canvas_area = inner_area(block, area);
    draw_canvas_area(
        canvas_area, buf, x_bounds, y_bounds, marker, background_color,
        [&](CanvasContext& ctx) {
            for (const CanvasShape& shape : shapes) ctx.draw(shape);
        },
        labels);
}

}  // namespace tarvo::core
