// Layout splitting: a cold solve of five constraints and a split served from the cache.
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

}  // namespace
