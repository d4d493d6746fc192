#include <gtest/gtest.h>

#include <limits>

#include "core/widgets/sparkline.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

Sparkline of(std::vector<std::optional<std::uint64_t>> values) {
    Sparkline s;
    for (auto v : values) s.data.push_back(SparklineBar{v, std::nullopt});
    return s;
}

TEST(SparklineCore, Screens) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        const char* name;
        Sparkline spark;
        std::uint16_t w, h;
        Rows expected;
    };
    Sparkline capped = of({0, 1, 2});
    capped.max = 0;
    Sparkline low_max = of({1, 4, 8});
    low_max.max = 4;
    Sparkline boxed = of({1, 2});
    boxed.block = Block::bordered();
    Sparkline absent = of({std::nullopt, 8});
    absent.absent_value_symbol = "*";
    Sparkline empty_symbol = of({std::nullopt, 8});
    empty_symbol.absent_value_symbol = "";
    const std::vector<Case> cases = {
        {"nine levels", of({0, 1, 2, 3, 4, 5, 6, 7, 8}), 12, 1, {" ▁▂▃▄▅▆▇█xxx"}},
        {"double height", of({0, 1, 2, 3, 4, 5, 6, 7, 8}), 12, 2, {"     ▂▄▆█xxx", " ▂▄▆█████xxx"}},
        {"all zero", of({0, 0, 0}), 6, 1, {"   xxx"}},
        {"max of zero", capped, 6, 1, {"   xxx"}},
        {"values above max are full", low_max, 3, 2, {" ██", "▄██"}},
        {"data wider than the area", of({8, 8, 8, 8}), 2, 1, {"██"}},
        {"inside a block", boxed, 4, 3, {"┌──┐", "│▄█│", "└──┘"}},
        {"absent values fill the height", absent, 3, 2, {"*█x", "*█x"}},
        {"empty absent symbol", empty_symbol, 3, 1, {" █x"}},
        {"largest values", of({kMax, kMax - 1, kMax / 2}), 3, 1, {"█▇▃"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buf = filled(c.w, c.h, "x");
        c.spark.render(buf.area, buf);
        EXPECT_EQ(rows(buf), c.expected);
    }
}

TEST(SparklineCore, HugeValuesScaleWithoutOverflow) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    // Scaled in plain 64-bit arithmetic, kMax / 2 * 8 * 16 would wrap around.
    Sparkline s = of({kMax, kMax / 2});
    Buffer buf = blank(2, 16);
    s.render(buf.area, buf);
    const Rows r = rows(buf);
    EXPECT_EQ(r.front(), "█ ");
    EXPECT_EQ(r[7], "█ ");
    EXPECT_EQ(r[8], "█▇");
    EXPECT_EQ(r[9], "██");
    EXPECT_EQ(r.back(), "██");
}

TEST(SparklineCore, Styles) {
    Sparkline s = of({std::nullopt, 8, 8});
    s.style = fg_bg(Color::Green, Color::Black);
    s.absent_value_style = fg(Color::Red);
    s.data[2].style = fg(Color::Blue);
    Buffer buf = blank(4, 1);
    s.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color::named(Color::Red));    // absent style over the widget's
    EXPECT_EQ(buf.cell_at(0, 0)->bg, Color::named(Color::Black));
    EXPECT_EQ(buf.cell_at(1, 0)->fg, Color::named(Color::Green));  // the widget's style
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Blue));   // the bar's style over it
    EXPECT_EQ(buf.cell_at(2, 0)->bg, Color::named(Color::Black));
    EXPECT_EQ(buf.cell_at(3, 0)->fg, Color{});                     // no bar: untouched
}

TEST(SparklineCore, LongAbsentSymbolIsKeptWhole) {
    Sparkline s = of({std::nullopt});
    s.absent_value_symbol = std::string(40, 'a');
    Buffer buf = blank(1, 1);
    s.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(0, 0)->symbol_text(), std::string(40, 'a'));
}

}  // namespace
