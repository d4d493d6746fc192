#include "core/widgets/chart.hpp"

#include <algorithm>

#include "core/numeric.hpp"

namespace tarvo::core {

namespace {

constexpr std::int64_t kMaxCoord = 65535;

std::uint16_t width_u16(std::size_t w) { return static_cast<std::uint16_t>(std::min<std::size_t>(w, 65535)); }

// A rectangle from wide coordinates: empty when it starts off the 16-bit grid, else cut to it.
Rect grid_rect(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) {
    if (x < 0 || y < 0 || x > kMaxCoord || y > kMaxCoord || w <= 0 || h <= 0) return Rect{};
    return Rect::clipped(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                         static_cast<std::uint16_t>(std::min(w, kMaxCoord)),
                         static_cast<std::uint16_t>(std::min(h, kMaxCoord)));
}

// Draws a label into an area with the given alignment in place of its own.
void render_label(Buffer& buf, const Line& label, const Rect& area, Alignment alignment) {
    Line aligned = label;
    aligned.alignment = alignment;
    aligned.render(area, buf);
}

Cell* cell_at(Buffer& buf, std::int64_t x, std::int64_t y) {
    if (x < 0 || y < 0 || x > kMaxCoord || y > kMaxCoord) return nullptr;
    return buf.cell_at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
}

}  // namespace

std::optional<Rect> legend_rect(LegendPosition position, const Rect& area, std::uint16_t legend_width,
                                std::uint16_t legend_height, std::uint16_t x_title_width,
                                std::uint16_t y_title_width) {
    std::int64_t height_margin = std::int64_t{area.height} - legend_height;
    if (x_title_width != 0) --height_margin;
    if (y_title_width != 0) --height_margin;
    if (height_margin < 0) return std::nullopt;

    const std::int64_t left = area.left(), right = area.right(), top = area.top(), bottom = area.bottom();
    const std::int64_t lw = legend_width, lh = legend_height;
    std::int64_t x = 0, y = 0;
    switch (position) {
        case LegendPosition::TopRight:
            x = right - lw;
            y = lw + y_title_width > area.width ? top + 1 : top;
            break;
        case LegendPosition::TopLeft:
            x = left;
            y = y_title_width != 0 ? top + 1 : top;
            break;
        case LegendPosition::Top: {
            // The offset is compared with the absolute left edge, as the widget library does.
            const std::int64_t offset = (std::int64_t{area.width} - lw) / 2;
            x = left + offset;
            y = left + y_title_width > offset ? top + 1 : top;
            break;
        }
        case LegendPosition::Left:
        case LegendPosition::Right: {
            std::int64_t dy = (std::int64_t{area.height} - lh) / 2;
            if (y_title_width != 0) ++dy;
            if (x_title_width != 0) dy = std::max<std::int64_t>(dy - 1, 0);
            x = position == LegendPosition::Left ? left : right - lw;
            y = top + dy;
            break;
        }
        case LegendPosition::BottomLeft:
            x = left;
            y = std::int64_t{x_title_width} + lw > area.width ? bottom - lh - 1 : bottom - lh;
            break;
        case LegendPosition::BottomRight:
            x = right - lw;
            y = x_title_width != 0 ? bottom - lh - 1 : bottom - lh;
            break;
        case LegendPosition::Bottom:
            x = left + (std::int64_t{area.width} - lw) / 2;
            y = x + lw > right - x_title_width ? bottom - lh - 1 : bottom - lh;
            break;
    }
    if (x < 0 || y < 0 || x > kMaxCoord || y > kMaxCoord) return std::nullopt;
    return Rect::clipped(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y), legend_width, legend_height);
}

std::uint16_t Chart::max_width_of_labels_left_of_y_axis(const Rect& area, bool has_y_axis) const {
    std::size_t widest = 0;
    for (const Line& l : y_axis.labels) widest = std::max(widest, l.width());
    std::uint16_t max_width = width_u16(widest);
    if (!x_axis.labels.empty()) {
        const std::uint16_t first = width_u16(x_axis.labels.front().width());
        std::uint16_t left_of_axis = 0;
        switch (x_axis.labels_alignment) {
            // The label's last character sits under the y axis when there is one.
            case Alignment::Left: left_of_axis = sat_sub<std::uint16_t>(first, has_y_axis ? 1 : 0); break;
            case Alignment::Center: left_of_axis = first / 2; break;
            case Alignment::Right: left_of_axis = 0; break;
        }
        max_width = std::max(max_width, left_of_axis);
    }
    // The y labels and the first x label take at most a third of the width.
    return std::min<std::uint16_t>(max_width, area.width / 3);
}

std::optional<Chart::Parts> Chart::layout(const Rect& area) const {
    if (area.is_empty()) return std::nullopt;
    Parts parts;
    std::int64_t x = area.left();
    std::int64_t y = std::int64_t{area.bottom()} - 1;

    if (!x_axis.labels.empty() && y > area.top()) {
        parts.label_x = static_cast<std::uint16_t>(y);
        --y;
    }
    if (!y_axis.labels.empty()) parts.label_y = static_cast<std::uint16_t>(x);
    x += max_width_of_labels_left_of_y_axis(area, !y_axis.labels.empty());
    if (!x_axis.labels.empty() && y > area.top()) {
        parts.axis_x = static_cast<std::uint16_t>(y);
        --y;
    }
    if (!y_axis.labels.empty() && x + 1 < area.right()) {
        parts.axis_y = static_cast<std::uint16_t>(x);
        ++x;
    }
    const std::int64_t graph_width = std::max<std::int64_t>(std::int64_t{area.right()} - x, 0);
    const std::int64_t graph_height = std::max<std::int64_t>(y - area.top(), 0) + 1;
    const Rect graph = Rect::clipped(static_cast<std::uint16_t>(x), area.top(), static_cast<std::uint16_t>(graph_width),
                                     static_cast<std::uint16_t>(graph_height));
    parts.graph_area = graph;

    if (x_axis.title) {
        const std::uint16_t w = width_u16(x_axis.title->width());
        if (w < graph.width && graph.height > 2)
            parts.title_x = Position{static_cast<std::uint16_t>(x + graph.width - w), static_cast<std::uint16_t>(y)};
    }
    if (y_axis.title) {
        const std::uint32_t w = width_u16(y_axis.title->width());
        if (w + 1 < graph.width && graph.height > 2)
            parts.title_y = Position{static_cast<std::uint16_t>(x), area.top()};
    }

    if (legend_position) {
        std::size_t named = 0, widest = 0;
        for (const Dataset& d : datasets) {
            if (!d.name) continue;
            ++named;
            widest = std::max<std::size_t>(widest, width_u16(d.name->width()));
        }
        if (named > 0) {
            const std::uint32_t legend_width = static_cast<std::uint32_t>(widest) + 2;
            const std::uint64_t legend_height = std::uint64_t{named} + 2;
            core::Layout horizontal;
            horizontal.direction = Direction::Horizontal;
            horizontal.constraints = {hidden_legend_constraints.first};
            horizontal.flex = Flex::Start;
            core::Layout vertical;
            vertical.direction = Direction::Vertical;
            vertical.constraints = {hidden_legend_constraints.second};
            vertical.flex = Flex::Start;
            const std::uint16_t max_width = horizontal.split(graph).at(0).width;
            const std::uint16_t max_height = vertical.split(graph).at(0).height;
            if (widest > 0 && legend_width <= max_width && legend_height <= max_height) {
                const std::uint16_t x_title_width = parts.title_x ? width_u16(x_axis.title->width()) : 0;
                const std::uint16_t y_title_width = parts.title_y ? width_u16(y_axis.title->width()) : 0;
                parts.legend_area =
                    legend_rect(*legend_position, graph, static_cast<std::uint16_t>(legend_width),
                                static_cast<std::uint16_t>(legend_height), x_title_width, y_title_width);
            }
        }
    }
    return parts;
}

void Chart::render_x_labels(Buffer& buf, const Parts& parts, const Rect& chart_area, const Rect& graph_area) const {
    if (!parts.label_x) return;
    const std::int64_t y = *parts.label_x;
    const std::size_t count = x_axis.labels.size();
    if (count < 2) return;
    const std::int64_t between = graph_area.width / static_cast<std::int64_t>(count);

    // The first label goes around the y axis, as the alignment says.
    const Line& first = x_axis.labels.front();
    const std::int64_t first_width = width_u16(first.width());
    std::int64_t min_x = 0, max_x = 0;
    Alignment first_alignment = Alignment::Right;
    switch (x_axis.labels_alignment) {
        case Alignment::Left:
            min_x = chart_area.left();
            max_x = graph_area.left();
            first_alignment = Alignment::Right;
            break;
        case Alignment::Center:
            min_x = chart_area.left();
            max_x = graph_area.left() + std::min(between, first_width);
            first_alignment = Alignment::Center;
            break;
        case Alignment::Right:
            min_x = std::max<std::int64_t>(std::int64_t{graph_area.left()} - 1, 0);
            max_x = graph_area.left() + between;
            first_alignment = Alignment::Left;
            break;
    }
    render_label(buf, first, grid_rect(min_x, y, max_x - min_x, 1), first_alignment);

    // The labels in between are centred in their share of the width, one column in.
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const std::int64_t x = graph_area.left() + static_cast<std::int64_t>(i) * between + 1;
        render_label(buf, x_axis.labels[i], grid_rect(x, y, std::max<std::int64_t>(between - 1, 0), 1),
                     Alignment::Center);
    }
    // The last label ends at the right edge of the graph.
    const std::int64_t x = std::int64_t{graph_area.right()} - between;
    render_label(buf, x_axis.labels.back(), grid_rect(x, y, between, 1), Alignment::Right);
}

void Chart::render_y_labels(Buffer& buf, const Parts& parts, const Rect& chart_area, const Rect& graph_area) const {
    if (!parts.label_y) return;
    const std::int64_t x = *parts.label_y;
    const std::size_t count = y_axis.labels.size();
    // A single label sits at the bottom.
    const std::int64_t steps = count > 1 ? static_cast<std::int64_t>(count - 1) : 1;
    const std::int64_t label_width = std::max<std::int64_t>(std::int64_t{graph_area.left()} - chart_area.left() - 1, 0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t dy = static_cast<std::int64_t>(i) * (std::int64_t{graph_area.height} - 1) / steps;
        if (dy >= graph_area.bottom()) continue;
        const std::int64_t y = std::max<std::int64_t>(std::int64_t{graph_area.bottom()} - 1, 0) - dy;
        render_label(buf, y_axis.labels[i], grid_rect(x, y, label_width, 1), y_axis.labels_alignment);
    }
}

void Chart::render(const Rect& area, Buffer& buf) const {
    buf.set_style(area, style);
    render_block(block, area, buf);
    const Rect chart_area = inner_area(block, area);
    const std::optional<Parts> parts = layout(chart_area);
    if (!parts) return;
    const Rect graph = parts->graph_area;

    // The look of the widget's first cell; titles and the legend are laid on it so that they
    // hide whatever the graph drew under them.
    const Cell* first_cell = buf.cell_at(area.x, area.y);
    const Style original_style = first_cell ? first_cell->style() : Cell{}.style();

    render_x_labels(buf, *parts, chart_area, graph);
    render_y_labels(buf, *parts, chart_area, graph);

    if (parts->axis_x) {
        for (std::uint32_t x = graph.left(); x < graph.right(); ++x) {
            if (Cell* cell = buf.cell_at(x, *parts->axis_x)) {
                cell->set_symbol("\u2500");
                cell->set_style(x_axis.style);
            }
        }
    }
    if (parts->axis_y) {
        for (std::uint32_t y = graph.top(); y < graph.bottom(); ++y) {
            if (Cell* cell = buf.cell_at(*parts->axis_y, y)) {
                cell->set_symbol("\u2502");
                cell->set_style(y_axis.style);
            }
        }
    }
    if (parts->axis_x && parts->axis_y) {
        if (Cell* cell = cell_at(buf, *parts->axis_y, *parts->axis_x)) {
            cell->set_symbol("\u2514");
            cell->set_style(x_axis.style);
        }
    }

    const Color background = style.bg.value_or(Color{});
    static const std::vector<CanvasLabel> kNoLabels;
    for (const Dataset& d : datasets) {
        const Color color = d.style.fg.value_or(Color{});
        draw_canvas_area(
            graph, buf, x_axis.bounds, y_axis.bounds, d.marker, background,
            [&](CanvasContext& ctx) {
                ctx.draw_points(d.data, color);
                if (d.graph_type == GraphType::Line) {
                    for (std::size_t i = 1; i < d.data.size(); ++i)
                        ctx.draw_line(d.data[i - 1].first, d.data[i - 1].second, d.data[i].first, d.data[i].second,
                                      color);
                } else if (d.graph_type == GraphType::Bar) {
                    for (const auto& [x, y] : d.data) ctx.draw_line(x, 0.0, x, y, color);
                }
            },
            kNoLabels);
    }

    const auto draw_title = [&](const std::optional<Position>& at, const Line& title) {
        const std::uint16_t width = std::min(sat_sub(graph.right(), at->x), width_u16(title.width()));
        buf.set_style(Rect::clipped(at->x, at->y, width, 1), original_style);
        buf.set_line(at->x, at->y, title, width);
    };
    if (parts->title_x) draw_title(parts->title_x, *x_axis.title);
    if (parts->title_y) draw_title(parts->title_y, *y_axis.title);

    if (parts->legend_area) {
        const Rect legend = *parts->legend_area;
        buf.set_style(legend, original_style);
        Block::bordered().render(legend, buf);
        std::uint32_t row = 0;
        for (const Dataset& d : datasets) {
            if (!d.name) continue;
            Line name = *d.name;
            name.style = name.style.patch(d.style);
            name.render(grid_rect(std::int64_t{legend.x} + 1, std::int64_t{legend.y} + 1 + row,
                                  std::int64_t{legend.width} - 2, 1),
                        buf);
            ++row;
        }
    }
}

}  // namespace tarvo::core
