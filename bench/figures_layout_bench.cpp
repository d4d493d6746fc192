// Layout figures that bench/run.py prints beside the Python ones: splits of 5 and 20 mixed
// constraints, solved afresh and served from the cache.
#include <benchmark/benchmark.h>

#include "core/layout.hpp"

using namespace tarvo::core;

namespace {

// The mixed constraint lists of the layout figure (the Python side builds the same ones).
Layout mixed_layout(int n) {
    static const Constraint pattern[] = {
        Constraint::length(10), Constraint::percentage(20), Constraint::min(5), Constraint::max(30),
        Constraint::ratio(1, 8), Constraint::fill(1), Constraint::length(4), Constraint::fill(2),
        Constraint::min(2), Constraint::percentage(5),
    };
    Layout l;
    l.direction = Direction::Horizontal;
    for (int i = 0; i < n; ++i) l.constraints.push_back(pattern[i % 10]);
    return l;
}

void BM_Figure_SplitCold(benchmark::State& state) {
    const Layout l = mixed_layout(static_cast<int>(state.range(0)));
    const Rect area{0, 0, 200, 50};
    for (auto _ : state) benchmark::DoNotOptimize(solve_split(l, area));
}
BENCHMARK(BM_Figure_SplitCold)->Arg(5)->Arg(20)->ArgName("n");

void BM_Figure_SplitRepeated(benchmark::State& state) {
    const Layout l = mixed_layout(static_cast<int>(state.range(0)));
    const Rect area{0, 0, 200, 50};
    clear_split_cache();
    l.split(area);
    for (auto _ : state) benchmark::DoNotOptimize(l.split(area));
}
BENCHMARK(BM_Figure_SplitRepeated)->Arg(5)->Arg(20)->ArgName("n");

}  // namespace
