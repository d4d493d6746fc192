// Cell buffer figures: text writing speed and the two text dumps over a 200x50 buffer.
#include <benchmark/benchmark.h>

#include <string>

#include "core/buffer.hpp"

using namespace tarvo::core;

namespace {

constexpr Rect kArea{0, 0, 200, 50};

std::string ascii_row() {
    std::string s;
    for (int i = 0; i < 200; ++i) s += static_cast<char>('a' + i % 26);
    return s;
}

std::string mixed_row() {
    // Latin with combining marks, CJK and emoji: the segmenting path.
    std::string s;
    while (s.size() < 600) s += "e\u0301 日本 \U0001F469\u200D\U0001F52C ok ";
    return s;
}

Buffer styled_buffer() {
    Buffer b = Buffer::empty(kArea);
    const std::string row = ascii_row();
    for (std::uint16_t y = 0; y < kArea.height; ++y) {
        b.set_string(0, y, row, Style{});
        for (std::uint16_t x = 0; x < kArea.width; ++x) {
            Cell& c = b.content[b.index_of(x, y)];
            c.fg = Color::named(static_cast<Color::Tag>(1 + (x / 3) % 16));
            if ((x / 7) % 2) c.bg = Color::rgb(static_cast<std::uint8_t>(x), 40, 90);
            if ((x / 11) % 3 == 0) c.modifier = modifier::BOLD | modifier::UNDERLINED;
        }
    }
    return b;
}

void BM_SetStringAscii(benchmark::State& state) {
    Buffer b = Buffer::empty(kArea);
    const std::string row = ascii_row();
    Style style;
    style.fg = Color::named(Color::Red);
    for (auto _ : state) {
        for (std::uint16_t y = 0; y < kArea.height; ++y) b.set_string(0, y, row, style);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kArea.area());
    state.counters["ns_per_cell"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kArea.area(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SetStringAscii);

void BM_SetStringMixed(benchmark::State& state) {
    Buffer b = Buffer::empty(kArea);
    const std::string row = mixed_row();
    for (auto _ : state) {
        for (std::uint16_t y = 0; y < kArea.height; ++y) b.set_string(0, y, row, Style{});
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kArea.area());
    state.counters["ns_per_cell"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kArea.area(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SetStringMixed);

void BM_ToStringLines(benchmark::State& state) {
    const Buffer b = styled_buffer();
    for (auto _ : state) benchmark::DoNotOptimize(b.to_string_lines());
    state.SetItemsProcessed(state.iterations() * kArea.area());
}
BENCHMARK(BM_ToStringLines);

void BM_ToAnsiLines(benchmark::State& state) {
    const Buffer b = styled_buffer();
    for (auto _ : state) benchmark::DoNotOptimize(b.to_ansi_lines(false));
    state.SetItemsProcessed(state.iterations() * kArea.area());
}
BENCHMARK(BM_ToAnsiLines);

// The copy-in and write-back around every effects pass: a 200x50 styled buffer copied into a
// rendering buffer and written back.
void BM_RegionCopyAndWriteBack(benchmark::State& state) {
    Buffer py = styled_buffer();
    for (auto _ : state) {
        Buffer work = region_copy(py);
        write_back(work, py);
        benchmark::DoNotOptimize(py.content.data());
    }
    state.SetItemsProcessed(state.iterations() * kArea.area());
    state.counters["ns_per_cell"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kArea.area(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RegionCopyAndWriteBack);

}  // namespace
