// Buffer figures that bench/run.py prints beside the Python ones: nanoseconds per cell of the
// text writer and the plain dump over a full 200x50 buffer, and the memory of such a buffer.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/buffer.hpp"

using namespace tarvo::core;

namespace {

constexpr Rect kScreen{0, 0, 200, 50};

void per_cell(benchmark::State& state, std::size_t cells) {
    state.counters["ns_per_cell"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * static_cast<double>(cells),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

std::vector<std::string> screen_rows() {
    std::vector<std::string> rows;
    for (int y = 0; y < kScreen.height; ++y) {
        std::string s;
        for (int x = 0; x < kScreen.width; ++x) s += static_cast<char>('!' + (x * 7 + y) % 90);
        rows.push_back(std::move(s));
    }
    return rows;
}

void BM_Figure_SetStringFull(benchmark::State& state) {
    Buffer b = Buffer::empty(kScreen);
    const std::vector<std::string> rows = screen_rows();
    Style style;
    style.fg = Color::named(Color::Green);
    for (auto _ : state) {
        for (std::uint16_t y = 0; y < kScreen.height; ++y) b.set_string(0, y, rows[y], style);
        benchmark::ClobberMemory();
    }
    per_cell(state, kScreen.area());
}
BENCHMARK(BM_Figure_SetStringFull);

void BM_Figure_ToStringLines(benchmark::State& state) {
    Buffer b = Buffer::empty(kScreen);
    const std::vector<std::string> rows = screen_rows();
    for (std::uint16_t y = 0; y < kScreen.height; ++y) b.set_string(0, y, rows[y], Style{});
    for (auto _ : state) benchmark::DoNotOptimize(b.to_string_lines());
    per_cell(state, kScreen.area());
}
BENCHMARK(BM_Figure_ToStringLines);

// Allocating an empty 200x50 buffer; the counters give its memory.
void BM_Figure_BufferMemory(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        Buffer b = Buffer::empty(kScreen);
        bytes = sizeof(Buffer) + b.content.capacity() * sizeof(Cell);
        benchmark::DoNotOptimize(b.content.data());
    }
    state.counters["bytes_per_cell"] = static_cast<double>(sizeof(Cell));
    state.counters["buffer_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Figure_BufferMemory);

}  // namespace
