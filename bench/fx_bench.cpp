// Effect figures: one fade step over buffers of several sizes, alone and with the copy-out and
// write-back that Effect.process adds around it, and a manager step with a filtered effect.
#include <benchmark/benchmark.h>

#include <string>

#include "core/buffer.hpp"
#include "core/fx/effects/fade.hpp"
#include "core/fx/effects/paint.hpp"
#include "core/fx/manager.hpp"

using namespace tarvo::core;
using namespace tarvo::core::fx;

namespace {

// A screen of text: default colours, with a coloured span and a highlighted row here and there.
Buffer screen(std::uint16_t w, std::uint16_t h) {
    Buffer b = Buffer::empty(Rect{0, 0, w, h});
    std::string row;
    for (std::uint16_t x = 0; x < w; ++x) row += static_cast<char>('a' + x % 26);
    for (std::uint16_t y = 0; y < h; ++y) {
        b.set_string(0, y, row, Style{});
        for (std::uint16_t x = 0; x < w; ++x) {
            Cell& c = b.content[b.index_of(x, y)];
            if (x % 40 < 8) c.fg = Color::named(Color::Cyan);
            if (y % 10 == 0) c.bg = Color::rgb(30, 30, 60);
        }
    }
    return b;
}

// An effect that stays mid-way through its timer for as long as the benchmark runs.
Effect long_fade() {
    return fade_to(Color::rgb(200, 60, 20), Color::named(Color::Black),
                   EffectTimer::from_ms(4000000000u, Interpolation::SineInOut));
}

void set_counters(benchmark::State& state, std::size_t cells) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * cells));
    state.counters["ns_per_cell"] = benchmark::Counter(static_cast<double>(state.iterations() * cells),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Fx_FadeStep(benchmark::State& state) {
    const auto w = static_cast<std::uint16_t>(state.range(0)), h = static_cast<std::uint16_t>(state.range(1));
    const Buffer base = screen(w, h);
    Buffer buf = base;
    Effect e = long_fade();
    e.process(1000000000u, buf, buf.area);  // mid-way: every cell blends
    for (auto _ : state) {
        e.process(1, buf, buf.area);
        benchmark::DoNotOptimize(buf.content.data());
        state.PauseTiming();
        buf = base;  // the next frame redraws the screen
        state.ResumeTiming();
    }
    set_counters(state, std::size_t{w} * h);
}
BENCHMARK(BM_Fx_FadeStep)->Args({80, 24})->Args({200, 50})->Args({1000, 1000})->ArgNames({"w", "h"});

// What Effect.process does besides the step: copy the cells out and write them back.
void BM_Fx_FadeStepWithCopies(benchmark::State& state) {
    const auto w = static_cast<std::uint16_t>(state.range(0)), h = static_cast<std::uint16_t>(state.range(1));
    Buffer py = screen(w, h);
    Effect e = long_fade();
    {
        Buffer work = region_copy(py);
        e.process(1000000000u, work, work.area);
    }
    const Buffer base = py;
    for (auto _ : state) {
        Buffer work = region_copy(py);
        e.process(1, work, work.area);
        write_back(work, py);
        benchmark::DoNotOptimize(py.content.data());
        state.PauseTiming();
        py = base;
        state.ResumeTiming();
    }
    set_counters(state, std::size_t{w} * h);
}
BENCHMARK(BM_Fx_FadeStepWithCopies)->Args({80, 24})->Args({200, 50})->Args({1000, 1000})->ArgNames({"w", "h"});

// A manager step: a fade filtered to the text cells plus a painted border, over 200x50.
void BM_Fx_ManagerStep(benchmark::State& state) {
    const Buffer base = screen(200, 50);
    Buffer buf = base;
    EffectManager m(Rng(1));
    Effect fade = long_fade();
    fade.install_filter(CellFilter::text());
    m.add(fade);
    Effect border = paint(Color::named(Color::Yellow), std::nullopt, EffectTimer::from_ms(4000000000u, Interpolation::Linear));
    border.install_filter(CellFilter::outer(Margin{1, 1}));
    m.add(border);
    m.process(1000000000u, buf, buf.area);
    for (auto _ : state) {
        m.process(1, buf, buf.area);
        benchmark::DoNotOptimize(buf.content.data());
        state.PauseTiming();
        buf = base;
        state.ResumeTiming();
    }
    set_counters(state, 10000);
}
BENCHMARK(BM_Fx_ManagerStep);

}  // namespace
