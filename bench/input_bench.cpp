// Input decoder figures: megabytes of terminal input decoded per second, on typed text and on a
// mix of escape sequences (mouse motion, enhanced-keyboard keys, modified arrows, pastes), fed
// in 1024-byte reads as the input reader does; with the heap allocations made per decoded key.
//
// The two inputs are built by a fixed recipe that bench/input_figures.py repeats byte for byte
// for the Python peer; `checksum` lets bench/run.py confirm that both were fed the same bytes.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "core/terminal/decoder.hpp"

// Heap allocations of the whole benchmark program are counted, so that a figure can say how many
// happened while it ran.
namespace {
std::atomic<std::uint64_t> g_allocations{0};
}

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace tarvo::core::terminal;

constexpr std::size_t kSize = std::size_t{1} << 20;

// Typed text: a sentence with capitals, digits and punctuation, each line ended by Enter.
std::string typed_text() {
    const std::string line = "The quick brown Fox jumps over the lazy dog, 0123456789 times!\r";
    std::string s;
    while (s.size() < kSize) s += line;
    s.resize(kSize);
    return s;
}

// Escape sequences: per block a mouse motion report, a Ctrl+letter in the enhanced keyboard
// protocol and a Ctrl+Up or a left-Shift press; every 16th block a 200-byte paste.
std::string escape_mix() {
    std::string s;
    std::string paste_text;
    for (int i = 0; i < 200; ++i) paste_text += static_cast<char>('a' + i % 26);
    for (int i = 0; s.size() < kSize; ++i) {
        s += "\x1b[<35;" + std::to_string(i % 200 + 1) + ";" + std::to_string(i % 50 + 1) + "M";
        s += "\x1b[" + std::to_string(97 + i % 26) + ";5u";
        s += (i % 2) ? "\x1b[1;5A" : "\x1b[57441;2u";
        if (i % 16 == 15) s += "\x1b[200~" + paste_text + "\x1b[201~";
    }
    return s;
}

double checksum(const std::string& s) {
    std::uint32_t sum = 0;
    for (unsigned char c : s) sum = sum * 31 + c;
    return static_cast<double>(sum);
}

void decode_all(benchmark::State& state, const std::string& input) {
    Decoder decoder;
    std::vector<InputItem> items;
    items.reserve(4096);
    const auto* data = reinterpret_cast<const std::uint8_t*>(input.data());
    std::uint64_t keys = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state) {
        const std::uint64_t before = g_allocations.load(std::memory_order_relaxed);
        for (std::size_t at = 0; at < input.size(); at += 1024) {
            const std::size_t n = std::min<std::size_t>(1024, input.size() - at);
            items.clear();
            decoder.feed(data + at, n, n == 1024, true, items);
            keys += items.size();
            benchmark::DoNotOptimize(items.data());
        }
        allocations += g_allocations.load(std::memory_order_relaxed) - before;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
    state.counters["events_per_iteration"] = static_cast<double>(keys) / static_cast<double>(state.iterations());
    state.counters["allocs_per_event"] = keys ? static_cast<double>(allocations) / static_cast<double>(keys) : 0.0;
    state.counters["checksum"] = checksum(input);
}

void BM_Input_DecodeTypedText(benchmark::State& state) { decode_all(state, typed_text()); }
BENCHMARK(BM_Input_DecodeTypedText)->Unit(benchmark::kMicrosecond);

void BM_Input_DecodeEscapeMix(benchmark::State& state) { decode_all(state, escape_mix()); }
BENCHMARK(BM_Input_DecodeEscapeMix)->Unit(benchmark::kMicrosecond);

}  // namespace
