// Live terminal figures over a 200x50 frame: the diff of a frame in which every cell changed,
// the bytes of that frame against a plain encoder, and the bytes of an unchanged frame and of
// a frame with one changed cell.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/terminal/terminal.hpp"

using namespace tarvo::core;
using namespace tarvo::core::terminal;

namespace {

constexpr Rect kArea{0, 0, 200, 50};

void paint(Buffer& b, int phase) {
    for (std::size_t i = 0; i < b.content.size(); ++i) {
        Cell& c = b.content[i];
        c.set_char(static_cast<char>('a' + (i + phase) % 26));
        c.fg = Color::named(static_cast<Color::Tag>(1 + (i / 3 + phase) % 16));
        c.bg = (i / 7) % 2 ? Color::rgb(static_cast<std::uint8_t>(i + phase), 40, 90) : Color{};
        c.modifier = (i / 11) % 3 == 0 ? modifier::BOLD | modifier::UNDERLINED : 0;
    }
}

void per_cell(benchmark::State& state) {
    state.counters["ns_per_cell"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kArea.area(),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_LiveDiffFullyChanged(benchmark::State& state) {
    Buffer prev = Buffer::empty(kArea), next = Buffer::empty(kArea);
    paint(prev, 0);
    paint(next, 1);
    DiffList out;
    
    for (auto _ : state) {
        buffer_diff(prev, next, out);
        benchmark::DoNotOptimize(out.begin());
    }
    if (out.size() != kArea.area()) state.SkipWithError("not every cell was listed");
    per_cell(state);
}
BENCHMARK(BM_LiveDiffFullyChanged);

void BM_LiveDiffUnchanged(benchmark::State& state) {
    Buffer prev = Buffer::empty(kArea);
    paint(prev, 0);
    Buffer next = prev;
    DiffList out;
    for (auto _ : state) {
        buffer_diff(prev, next, out);
        benchmark::DoNotOptimize(out.begin());
    }
    per_cell(state);
}
BENCHMARK(BM_LiveDiffUnchanged);

void BM_LiveEncodeFullyChanged(benchmark::State& state) {
    Buffer prev = Buffer::empty(kArea), next = Buffer::empty(kArea);
    paint(prev, 0);
    paint(next, 1);
    DiffList cells;
    buffer_diff(prev, next, cells);
    std::string out, plain;
    encode_cells_plain(plain, cells, next);
    for (auto _ : state) {
        out.clear();
        encode_cells(out, cells, next);
        benchmark::DoNotOptimize(out.begin());
    }
    per_cell(state);
    state.counters["bytes"] = static_cast<double>(out.size());
    state.counters["plain_bytes"] = static_cast<double>(plain.size());
}
BENCHMARK(BM_LiveEncodeFullyChanged);

struct CountingIo final : TerminalIo {
    std::size_t written = 0;
    void write(std::string_view b) override { written += b.size(); }
    void flush() override {}
    Size size() override { return Size{kArea.width, kArea.height}; }
    Position cursor_position() override { return {}; }
};

// A whole frame through the live terminal: diff, bytes, cursor, swap, in a synchronized update.
void BM_LiveFrameFullyChanged(benchmark::State& state) {
    CountingIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    int phase = 0;
    for (auto _ : state) {
        paint(t.current_buffer(), ++phase);
        io.write(kBeginSynchronizedUpdate);
        t.finish_frame(std::nullopt, kEndSynchronizedUpdate);
    }
    per_cell(state);
    state.counters["bytes_per_frame"] = static_cast<double>(io.written) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LiveFrameFullyChanged);

// Bytes of an unchanged frame and of a one-cell change, the synchronized-update pair and the
// cursor state included: one cell of plain text, and one bold underlined cell with a named
// foreground over an RGB background.
std::size_t frame_bytes(LiveTerminal& t, CountingIo& io, std::size_t changed, bool styled) {
    paint(t.current_buffer(), 0);
    if (changed < kArea.area()) {
        Cell& c = t.current_buffer().content[changed];
        if (!styled) c = Cell{};
        c.set_char('#');
    }
    io.written = 0;
    io.write(kBeginSynchronizedUpdate);
    t.finish_frame(std::nullopt, kEndSynchronizedUpdate);
    return io.written;
}

void BM_LiveFrameBytes(benchmark::State& state) {
    CountingIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    constexpr std::size_t kStyledCell = 1493;  // bold, underlined, rgb background
    std::size_t unchanged = 0, plain = 0, styled = 0;
    for (auto _ : state) {
        frame_bytes(t, io, SIZE_MAX, false);
        unchanged = frame_bytes(t, io, SIZE_MAX, false);
        plain = frame_bytes(t, io, kStyledCell, false);
        frame_bytes(t, io, SIZE_MAX, false);
        styled = frame_bytes(t, io, kStyledCell, true);
        frame_bytes(t, io, SIZE_MAX, false);
    }
    state.counters["unchanged_bytes"] = static_cast<double>(unchanged);
    state.counters["one_plain_cell_bytes"] = static_cast<double>(plain);
    state.counters["one_styled_cell_bytes"] = static_cast<double>(styled);
}
BENCHMARK(BM_LiveFrameBytes);

}  // namespace
