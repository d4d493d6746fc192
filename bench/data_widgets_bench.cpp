// Drawing the data widgets over a full screen: a sparkline, a gauge, a bar chart (vertical and
// horizontal), a canvas of shapes in each marker and a chart of two line datasets with axes and
// a legend.
#include <benchmark/benchmark.h>

#include <cmath>

#include "core/buffer.hpp"
#include "core/widgets/barchart.hpp"
#include "core/widgets/canvas.hpp"
#include "core/widgets/chart.hpp"
#include "core/widgets/gauge.hpp"
#include "core/widgets/sparkline.hpp"

namespace {

using namespace tarvo::core;

constexpr Rect kScreen{0, 0, 120, 40};

void BM_Sparkline(benchmark::State& state) {
    Sparkline s;
    for (std::uint64_t i = 0; i < 200; ++i) s.data.push_back(SparklineBar{(i * 7919) % 1000, std::nullopt});
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        s.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sparkline);

void BM_Gauge(benchmark::State& state) {
    Gauge g;
    g.ratio = 0.4321;
    g.use_unicode = true;
    g.block = Block::bordered();
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        g.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Gauge);

void BM_BarChart(benchmark::State& state) {
    BarChart c;
    for (int g = 0; g < 6; ++g) {
        BarGroup group;
        for (int b = 0; b < 5; ++b) {
            Bar bar;
            bar.value = static_cast<std::uint64_t>(g * 13 + b * 7);
            bar.label = Line::raw("B" + std::to_string(b));
            group.bars.push_back(bar);
        }
        c.data.push_back(group);
    }
    c.bar_width = 3;
    c.group_gap = 2;
    c.direction = state.range(0) ? Direction::Horizontal : Direction::Vertical;
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        c.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BarChart)->Arg(0)->Arg(1)->ArgName("horizontal");

void BM_Canvas(benchmark::State& state) {
    Canvas c;
    c.marker = static_cast<Marker>(state.range(0));
    c.x_bounds = {-180.0, 180.0};
    c.y_bounds = {-90.0, 90.0};
    for (int i = 0; i < 20; ++i) {
        c.shapes.emplace_back(CanvasLine{-180.0 + i * 18, -90.0, 180.0 - i * 18, 90.0, Color::named(Color::Red)});
        c.shapes.emplace_back(CanvasCircle{i * 5.0, 0.0, 10.0 + i, Color::named(Color::Green)});
    }
    c.shapes.emplace_back(CanvasRectangle{-100, -50, 200, 100, Color::named(Color::Blue)});
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        c.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Canvas)->DenseRange(0, 4)->ArgName("marker");

void BM_Chart(benchmark::State& state) {
    Chart c;
    for (int k = 0; k < 2; ++k) {
        Dataset d;
        d.name = Line::raw(k ? "cos" : "sin");
        d.marker = Marker::Braille;
        d.graph_type = GraphType::Line;
        for (int i = 0; i <= 1000; ++i) {
            const double x = i / 100.0;
            d.data.emplace_back(x, k ? std::cos(x) : std::sin(x));
        }
        c.datasets.push_back(d);
    }
    c.x_axis.bounds = {0.0, 10.0};
    c.y_axis.bounds = {-1.0, 1.0};
    for (const char* l : {"0", "5", "10"}) c.x_axis.labels.push_back(Line::raw(l));
    for (const char* l : {"-1", "0", "1"}) c.y_axis.labels.push_back(Line::raw(l));
    c.block = Block::bordered();
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        c.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Chart);

}  // namespace
