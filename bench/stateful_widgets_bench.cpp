// Drawing the stateful widgets over a full screen: a long list scrolled to a selection near its
// end (with and without scroll padding) and one whose state is kept from frame to frame, a
// table of many rows and columns with a header and a selected cell, and a scrollbar.
#include <benchmark/benchmark.h>

#include <string>

#include "core/buffer.hpp"
#include "core/widgets/list.hpp"
#include "core/widgets/scrollbar.hpp"
#include "core/widgets/table.hpp"

namespace {

using namespace tarvo::core;

constexpr Rect kScreen{0, 0, 120, 40};

List long_list(std::size_t n, std::uint64_t padding) {
    List l;
    l.items.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        l.items.push_back(ListItem::from_line(Line::raw("item number " + std::to_string(i) + " of the list")));
    l.highlight_symbol = Line::raw(">> ");
    l.highlight_style.bg = Color::named(Color::Blue);
    l.scroll_padding = padding;
    l.block = Block::bordered();
    return l;
}

void BM_ListScrolledSelection(benchmark::State& st) {
    const List l = long_list(static_cast<std::size_t>(st.range(0)), static_cast<std::uint64_t>(st.range(1)));
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : st) {
        ListState s;
        s.select(l.items.size() - 3);
        l.render(kScreen, buf, s);
        benchmark::DoNotOptimize(buf.content.data());
    }
}
BENCHMARK(BM_ListScrolledSelection)->Args({1000, 0})->Args({1000, 5})->Args({100000, 5});

// The usual frame: one state kept between frames, the selection moving down by one each time
// (back to the top at the end), so the list scrolls by at most one item.
void BM_ListKeptState(benchmark::State& st) {
    const List l = long_list(static_cast<std::size_t>(st.range(0)), 2);
    Buffer buf = Buffer::empty(kScreen);
    ListState s;
    for (auto _ : st) {
        if (s.selected && *s.selected + 1 >= l.items.size()) s.select_first();
        else s.select_next();
        l.render(kScreen, buf, s);
        benchmark::DoNotOptimize(buf.content.data());
    }
}
BENCHMARK(BM_ListKeptState)->Arg(100000);

void BM_TableSelectedCell(benchmark::State& st) {
    Table t;
    for (int r = 0; r < st.range(0); ++r) {
        Row row;
        for (int c = 0; c < 6; ++c)
            row.cells.push_back(TableCell::from_line(Line::raw("r" + std::to_string(r) + "c" + std::to_string(c))));
        t.rows.push_back(std::move(row));
    }
    Row header;
    for (int c = 0; c < 6; ++c) header.cells.push_back(TableCell::from_line(Line::raw("Column " + std::to_string(c))));
    t.header = header;
    for (int c = 0; c < 6; ++c) t.widths.push_back(c % 2 ? Constraint::fill(1) : Constraint::length(12));
    t.highlight_symbol = Text::raw(">> ");
    t.row_highlight_style.bg = Color::named(Color::Blue);
    t.column_highlight_style.fg = Color::named(Color::Yellow);
    t.block = Block::bordered();
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : st) {
        TableState s;
        s.select_cell(std::make_pair<std::uint64_t, std::uint64_t>(static_cast<std::uint64_t>(st.range(0) / 2), 3));
        t.render(kScreen, buf, s);
        benchmark::DoNotOptimize(buf.content.data());
    }
}
BENCHMARK(BM_TableSelectedCell)->Arg(100)->Arg(10000);

void BM_Scrollbar(benchmark::State& st) {
    const Scrollbar bar = Scrollbar::make(ScrollbarOrientation::VerticalRight);
    ScrollbarState s{100000, 4321, 0};
    Buffer buf = Buffer::empty(kScreen);
    for (auto _ : st) {
        bar.render(kScreen, buf, s);
        benchmark::DoNotOptimize(buf.content.data());
    }
}
BENCHMARK(BM_Scrollbar);

}  // namespace
