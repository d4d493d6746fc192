// Text measuring figures: string width, grapheme walking and line rendering over ASCII,
// CJK and mixed text.
#include <benchmark/benchmark.h>

#include <string>

#include "core/buffer.hpp"
#include "core/text.hpp"
#include "core/unicode.hpp"

using namespace tarvo::core;

namespace {

std::string repeat_to(std::string_view unit, std::size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += unit;
    return s;
}

const std::string& sample(int which) {
    static const std::string ascii = repeat_to("The quick brown fox jumps over the lazy dog. ", 4096);
    static const std::string cjk = repeat_to("日本語のテキストと漢字、かな。", 4096);
    static const std::string mixed =
        repeat_to("e\u0301 日本 \U0001F469\u200D\U0001F52C #\uFE0F\u20E3 \U0001F1EF\U0001F1F5 ok ", 4096);
    return which == 0 ? ascii : which == 1 ? cjk : mixed;
}

void BM_StrWidth(benchmark::State& state) {
    const std::string& s = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(unicode::str_width(s));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_StrWidth)->Arg(0)->Arg(1)->Arg(2);

void BM_Graphemes(benchmark::State& state) {
    const std::string& s = sample(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::size_t n = 0;
        unicode::for_each_grapheme(s, [&](std::string_view g) { n += unicode::grapheme_width(g); });
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.size()));
}
BENCHMARK(BM_Graphemes)->Arg(0)->Arg(1)->Arg(2);

// A 200x50 text of centered lines, every line wider than the area.
void BM_TextRender(benchmark::State& state) {
    const std::string& s = sample(static_cast<int>(state.range(0)));
    Text text;
    for (int i = 0; i < 50; ++i) {
        Line line;
        for (int k = 0; k < 4; ++k) line.spans.push_back(Span::raw(s.substr(k * 97, 90)));
        line.alignment = Alignment::Center;
        text.lines.push_back(std::move(line));
    }
    Buffer buf = Buffer::empty(Rect{0, 0, 200, 50});
    for (auto _ : state) {
        text.render(buf.area, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TextRender)->Arg(0)->Arg(1)->Arg(2);

}  // namespace
