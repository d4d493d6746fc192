// Layout splitting: a cold solve of five constraints, a split served from the cache, and cold
// solves of wide rows (a table of many columns: one cell of spacing, flex Start).
#include <benchmark/benchmark.h>

#include "core/layout.hpp"

namespace {

using tarvo::core::Constraint;
using tarvo::core::Direction;
using tarvo::core::Flex;
using tarvo::core::Layout;
using tarvo::core::Rect;
using tarvo::core::Spacing;

Layout five_constraints(Flex flex) {
    Layout l;
    l.direction = Direction::Horizontal;
    l.constraints = {Constraint::length(10), Constraint::percentage(20), Constraint::min(5),
                     Constraint::ratio(1, 4), Constraint::fill(1)};
    l.flex = flex;
    l.spacing = Spacing::space(1);
    return l;
}

void BM_SplitCold(benchmark::State& state) {
    const Layout l = five_constraints(static_cast<Flex>(state.range(0)));
    const Rect area{0, 0, 120, 40};
    for (auto _ : state) benchmark::DoNotOptimize(tarvo::core::solve_split(l, area));
}
BENCHMARK(BM_SplitCold)->DenseRange(0, 6)->ArgName("flex");

void BM_SplitCached(benchmark::State& state) {
    const Layout l = five_constraints(Flex::Start);
    const Rect area{0, 0, 120, 40};
    tarvo::core::clear_split_cache();
    l.split(area);
    for (auto _ : state) benchmark::DoNotOptimize(l.split(area));
}
BENCHMARK(BM_SplitCached);

enum class Columns { Lengths, Fills, Percentages };

// n columns across 1000 cells: Length(4) each (they fit: 200 × 4 + 199 gaps = 999), Fill(1)
// each, or Percentage(100 / n) each.
Layout columns(Columns kind, int n) {
    Layout l;
    l.direction = Direction::Horizontal;
    l.spacing = Spacing::space(1);
    for (int i = 0; i < n; ++i) {
        switch (kind) {
            case Columns::Lengths: l.constraints.push_back(Constraint::length(4)); break;
            case Columns::Fills: l.constraints.push_back(Constraint::fill(1)); break;
            case Columns::Percentages:
                l.constraints.push_back(Constraint::percentage(static_cast<std::uint16_t>(100 / n)));
                break;
        }
    }
    return l;
}

void BM_SplitColumns(benchmark::State& state) {
    const Layout l = columns(static_cast<Columns>(state.range(0)), static_cast<int>(state.range(1)));
    const Rect area{0, 0, 1000, 1};
    for (auto _ : state) benchmark::DoNotOptimize(tarvo::core::solve_split(l, area));
}
BENCHMARK(BM_SplitColumns)
    ->ArgNames({"kind", "n"})
    ->ArgsProduct({{0, 1, 2}, {50, 200}})
    ->Unit(benchmark::kMillisecond);

}  // namespace
