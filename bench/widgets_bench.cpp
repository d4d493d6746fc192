// Drawing a full screen: a bordered, titled block alone, a wrapped paragraph of many lines
// inside a block (with and without trimming), the same text cut without wrapping, and a tab bar.
#include <benchmark/benchmark.h>

#include <string>

#include "core/buffer.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/paragraph.hpp"
#include "core/widgets/tabs.hpp"

namespace {

using namespace tarvo::core;

constexpr Rect kScreen{0, 0, 120, 40};

Block framed() {
    Block b = Block::bordered();
    b.titles.push_back(BlockTitle{std::nullopt, Line::raw("Left")});
    Line mid = Line::raw("Centre");
    mid.alignment = Alignment::Center;
    b.titles.push_back(BlockTitle{std::nullopt, mid});
    b.titles.push_back(BlockTitle{TitlePosition::Bottom, Line::raw("bottom")});
    return b;
}

std::string prose() {
    std::string s;
    for (int i = 0; i < 60; ++i) s += "Words of every length wrap across the rows, some short and some rather long. ";
    s += "\n";
    return s + s + s;
}

void BM_Block(benchmark::State& state) {
    const Block b = framed();
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        b.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Block);

void BM_Paragraph(benchmark::State& state) {
    Paragraph p = Paragraph::of(Text::raw(prose()));
    p.block = framed();
    if (state.range(0) > 0) p.wrap = Wrap{state.range(0) == 2};
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : state) {
        p.render(kScreen, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Paragraph)->Arg(0)->Arg(1)->Arg(2)->ArgName("cut0_wrap1_trim2");

void BM_Tabs(benchmark::State& state) {
    std::vector<Line> titles;
    for (int i = 0; i < 12; ++i) titles.push_back(Line::raw("Tab " + std::to_string(i)));
    Tabs t = Tabs::of(std::move(titles));
    t.selected = 5;
    Buffer buf = Buffer::empty(Rect{0, 0, 120, 1});
    for (auto _ : state) {
        t.render(buf.area, buf);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Tabs);

}  // namespace
