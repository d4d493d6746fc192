// Render engine figures: a 200x50 dashboard of about twenty render-IR nodes drawn by an
// offscreen session, the same IR values drawn straight into their areas (the drawing alone),
// and one copy of a 200x50 buffer, so that the walk's own cost per frame can be read against a
// buffer copy.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/engine/ir.hpp"
#include "core/engine/render_tree.hpp"
#include "core/engine/session.hpp"

using namespace tarvo::core;
using namespace tarvo::core::engine;

namespace {

struct NoPainter : ContentPainter {
    bool paint(const RenderContent&, const Rect&, LendableBuffer&) override { return true; }
    void too_deep() override {}
};

NodePtr leaf(IrValue v, std::vector<NodePtr>& leaves) {
    RenderNode n;
    n.content.kind = RenderContent::Kind::Ir;
    n.content.ir = std::make_shared<const IrValue>(std::move(v));
    n.content.ir_thread = std::this_thread::get_id();
    n.effect_key = "leaf" + std::to_string(leaves.size());
    auto p = std::make_shared<const RenderNode>(std::move(n));
    leaves.push_back(p);
    return p;
}

NodePtr split(Direction d, std::vector<NodePtr> kids, std::vector<Constraint> cs, std::uint16_t gap = 0) {
    RenderNode n;
    n.direction = d;
    n.children = std::move(kids);
    n.constraints = std::move(cs);
    n.gap = gap;
    return std::make_shared<const RenderNode>(std::move(n));
}

NodePtr titled(const std::string& title, IrValue body, std::vector<NodePtr>& leaves) {
    Style bold = ir_style(Color::named(Color::Cyan), std::nullopt, modifier::BOLD);
    return split(Direction::Vertical, {leaf(ir_span(title, bold), leaves), leaf(std::move(body), leaves)},
                 {Constraint::length(1), Constraint::fill(1)});
}

// The dashboard: status, tabs, a list, a wrapped log, a bar chart, a table, a sparkline, two
// gauges and a scrollbar.
NodePtr dashboard(std::vector<NodePtr>& leaves) {
    const char* words[] = {"alpha", "beta", "gamma", "delta", "omega", "sigma", "kappa", "lambda"};
    std::string log;
    for (int i = 0; i < 260; ++i) log += std::string(words[(i * 7) % 8]) + " ";
    ListDesc list;
    for (int i = 0; i < 30; ++i) list.items.push_back(Line::raw("item " + std::to_string(i) + "  " + words[i % 8]));
    list.selected = 7;
    TableDesc table;
    for (int i = 0; i < 40; ++i) {
        IrTableRow row;
        for (const std::string& s : {std::to_string(i), std::string(words[i % 8]) + " " + words[(i + 3) % 8],
                                     std::to_string(i * 37 % 1000) + ".25", std::string("ok")})
            row.cells.push_back(IrTableCell{Line::raw(s), Style{}});
        table.rows.push_back(std::move(row));
    }
    table.widths = {{0, 6}, {2, 1}, {0, 10}, {0, 8}};
    table.selected_row = 7;
    BarChartDesc bars;
    bars.bar_width = 5;
    bars.groups.push_back(IrBarGroup{std::nullopt, {{4, "Q1", {}, {}, {}}, {7, "Q2", {}, {}, {}}, {5, "Q3", {}, {}, {}}}});
    SparklineDesc spark;
    for (int i = 0; i < 80; ++i) spark.data.push_back(static_cast<std::uint64_t>(8 + 7 * std::sin(i / 3.0)));
    TabsDesc tabs;
    tabs.titles = {Line::raw("Overview"), Line::raw("Log"), Line::raw("Table")};
    LineGaugeDesc disk;
    disk.progress = 0.35;
    disk.label = "disk";
    ScrollbarDesc scroll;
    scroll.content_length = 40;
    scroll.position = 7;

    NodePtr status = leaf(ir_text(Text::raw("tarvo dashboard  frame 7  rows 40").lines,
                                  ir_style(Color::named(Color::White), Color::named(Color::Blue)), std::nullopt),
                          leaves);
    NodePtr tab_row = leaf(ir_tabs(tabs), leaves);
    NodePtr items = titled("Items", ir_list(list), leaves);
    NodePtr middle = split(Direction::Vertical,
                           {titled("Log", ir_paragraph(Text::raw(log).lines, Style{}, std::nullopt, true), leaves),
                            titled("Sales", ir_bar_chart(bars), leaves)},
                           {Constraint::fill(1), Constraint::length(12)});
    NodePtr gauges = split(Direction::Horizontal,
                           {titled("CPU", ir_progress_bar(0.62, std::nullopt, Style{}), leaves),
                            titled("Disk", ir_line_gauge(disk), leaves)},
                           {Constraint::fill(1), Constraint::fill(1)}, 1);
    NodePtr right = split(Direction::Vertical,
                          {titled("Table", ir_table(table), leaves), titled("Load", ir_sparkline(spark), leaves), gauges},
                          {Constraint::fill(1), Constraint::length(6), Constraint::length(3)});
    NodePtr body = split(Direction::Horizontal, {items, middle, right, leaf(ir_scrollbar(scroll), leaves)},
                         {Constraint::length(40), Constraint::fill(1), Constraint::length(70), Constraint::length(1)}, 1);
    return split(Direction::Vertical, {status, tab_row, body},
                 {Constraint::length(1), Constraint::length(1), Constraint::fill(1)});
}

void BM_Engine_IrFrame(benchmark::State& state) {
    std::vector<NodePtr> leaves;
    const NodePtr root = dashboard(leaves);
    Session session = Session::offscreen(200, 50);
    NoPainter painter;
    for (auto _ : state) {
        WalkContext ctx(painter);
        session.render(*root, ctx);
        benchmark::DoNotOptimize(session.buffer().content.data());
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["ir_nodes"] = static_cast<double>(leaves.size());
}
BENCHMARK(BM_Engine_IrFrame);

// The same IR values drawn straight into the areas a walk gave them: the frame without the walk.
void BM_Engine_IrDrawOnly(benchmark::State& state) {
    std::vector<NodePtr> leaves;
    const NodePtr root = dashboard(leaves);
    LendableBuffer frame(Buffer::empty(Rect{0, 0, 200, 50}));
    NoPainter painter;
    WalkContext ctx(painter);
    render_tree(*root, frame.get().area, frame, ctx);
    Buffer& buf = frame.change();
    std::vector<std::pair<const IrValue*, Rect>> draws;
    for (const NodePtr& l : leaves) draws.emplace_back(l->content.ir.get(), ctx.areas.at(*l->effect_key));
    for (auto _ : state) {
        for (const auto& [value, area] : draws) render_ir(*value, area, buf);
        benchmark::DoNotOptimize(buf.content.data());
    }
}
BENCHMARK(BM_Engine_IrDrawOnly);

void BM_Engine_BufferCopy(benchmark::State& state) {
    const Buffer src = Buffer::empty(Rect{0, 0, 200, 50});
    Buffer dst = src;
    for (auto _ : state) {
        dst = src;
        benchmark::DoNotOptimize(dst.content.data());
    }
}
BENCHMARK(BM_Engine_BufferCopy);

}  // namespace
