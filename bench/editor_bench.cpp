// Text editor figures: typing into a large text, word moves along a long line, undoing a full
// history. Each costs time in proportion to the line it touches, not to the whole text: the
// 1 MB and 10 MB rows should come out alike.
#include <benchmark/benchmark.h>

#include <string>

#include "core/editor/text_editor.hpp"

using namespace tarvo::core;
using namespace tarvo::core::editor;

namespace {

terminal::KeyEvent key(terminal::KeyCode code, std::uint8_t mods = 0) {
    terminal::KeyEvent k;
    k.code = code;
    k.modifiers = mods;
    return k;
}

// `megabytes` of 79-character lines.
std::string text_of(std::size_t megabytes) {
    const std::string line = std::string(78, 'x') + "y\n";
    std::string s;
    s.reserve(megabytes << 20);
    while (s.size() < (megabytes << 20)) s += line;
    return s;
}

// Types a character in the middle of the text and deletes it again (two edits per iteration).
void BM_Editor_TypeChar(benchmark::State& state) {
    TextEditor e(text_of(static_cast<std::size_t>(state.range(0))));
    const std::size_t middle = e.line_count() / 2;
    while (e.cursor().row > middle) e.input(key(terminal::KeyCode::of(terminal::KeyTag::Up)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(e.input(key(terminal::KeyCode::character(U'a'))));
        benchmark::DoNotOptimize(e.input(key(terminal::KeyCode::of(terminal::KeyTag::Backspace))));
    }
    state.counters["lines"] = static_cast<double>(e.line_count());
}
BENCHMARK(BM_Editor_TypeChar)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

// Ctrl+Right from the start to the end of one line of `range(0)` MB of five-letter words.
void BM_Editor_WordMovesAlongLine(benchmark::State& state) {
    std::string line;
    while (line.size() < (static_cast<std::size_t>(state.range(0)) << 20)) line += "word ";
    TextEditor e(line);
    const auto right = key(terminal::KeyCode::of(terminal::KeyTag::Right), terminal::key_modifiers::CONTROL);
    const auto home = key(terminal::KeyCode::of(terminal::KeyTag::Home));
    std::size_t moves = 0;
    for (auto _ : state) {
        e.input(home);
        std::size_t last = 0;
        for (;;) {
            e.input(right);
            ++moves;
            if (e.cursor().col == last) break;
            last = e.cursor().col;
        }
    }
    state.counters["ns_per_move"] =
        benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Editor_WordMovesAlongLine)->Arg(1)->Unit(benchmark::kMillisecond);

// 50 typed characters spread over the text, then 50 undos, on a text of `range(0)` MB.
void BM_Editor_Undo50(benchmark::State& state) {
    TextEditor e(text_of(static_cast<std::size_t>(state.range(0))));
    const auto up = key(terminal::KeyCode::of(terminal::KeyTag::Up));
    const auto a = key(terminal::KeyCode::character(U'a'));
    for (auto _ : state) {
        for (int i = 0; i < 50; ++i) {
            e.input(a);
            e.input(up);
        }
        for (int i = 0; i < 50; ++i) benchmark::DoNotOptimize(e.undo());
    }
}
BENCHMARK(BM_Editor_Undo50)->Arg(1)->Arg(10)->Unit(benchmark::kMicrosecond);

}  // namespace
