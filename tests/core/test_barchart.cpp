#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "core/widgets/barchart.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

Bar bar(std::uint64_t value, const char* label = nullptr) {
    Bar b;
    b.value = value;
    if (label) b.label = Line::raw(label);
    return b;
}

BarGroup group(std::vector<Bar> bars, const char* label = nullptr, Alignment align = Alignment::Left) {
    BarGroup g;
    g.bars = std::move(bars);
    if (label) {
        g.label = Line::raw(label);
        g.label->alignment = align;
    }
    return g;
}

BarChart chart(std::vector<BarGroup> groups) {
    BarChart c;
    c.data = std::move(groups);
    return c;
}

BarChart foo_bar() { return chart({group({bar(1, "foo"), bar(2, "bar")})}); }

BarGroup nine() {
    return group({bar(0, "a"), bar(1, "b"), bar(2, "c"), bar(3, "d"), bar(4, "e"), bar(5, "f"), bar(6, "g"),
                  bar(7, "h"), bar(8, "i")},
                 "Group", Alignment::Center);
}

BarChart horizontal_groups() {
    BarChart c = chart({group({bar(2), bar(3), bar(4)}, "G1"), group({bar(3), bar(4), bar(5)}, "G2")});
    c.group_gap = 1;
    c.bar_gap = 0;
    c.direction = Direction::Horizontal;
    return c;
}

TEST(BarChartCore, Screens) {
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
    struct Case {
        const char* name;
        BarChart chart;
        Rect area;
        Rows expected;
    };
    BarChart boxed = foo_bar();
    boxed.block = Block::bordered();
    BarChart big = chart({group({bar(1, "foo"), bar(2, "bar"), bar(100, "baz")})});
    BarChart capped = big;
    capped.max = 2;
    BarChart wide = foo_bar();
    wide.bar_width = 3;
    BarChart gapped = foo_bar();
    gapped.bar_gap = 2;
    BarChart unicode_values = chart({group({bar(123, "B1"), bar(321, "B2"), bar(333, "B2")})});
    for (Bar& b : unicode_values.data[0].bars) b.text_value = "写";
    unicode_values.bar_width = 3;
    BarChart halves = chart({group({bar(1, "a"), bar(2, "b")}), group({bar(1, "a"), bar(2, "b")})});
    halves.bar_width = 2;
    BarChart top = chart({group({bar(kMax)})});
    top.max = kMax;
    BarChart near_top = chart({group({bar(kMax - 1)})});
    near_top.max = kMax;
    BarChart centred = chart({group({bar(1, "a"), bar(2, "b"), bar(3, "c"), bar(4, "c")}, "G1", Alignment::Center),
                              group({bar(1, "a"), bar(2, "b"), bar(3, "c"), bar(4, "c")}, "G2", Alignment::Center)});
    BarChart labels_h = chart({group({bar(10, "Jan"), bar(20, "Feb"), bar(5, "Mar")})});
    labels_h.direction = Direction::Horizontal;
    labels_h.bar_gap = 0;
    BarChart with_empty = chart({group({bar(1, "a")}), group({}), group({bar(2, "b")})});
    with_empty.group_gap = 2;
    const std::vector<Case> cases = {
        {"default", BarChart{}, Rect{0, 0, 10, 3}, {"          ", "          ", "          "}},
        {"two bars", foo_bar(), Rect{0, 0, 10, 3}, {"  █       ", "1 2       ", "f b       "}},
        {"inside a block", boxed, Rect{0, 0, 10, 5},
         {"┌────────┐", "│  █     │", "│1 2     │", "│f b     │", "└────────┘"}},
        {"largest value sets the scale", big, Rect{0, 0, 10, 3}, {"    █     ", "    █     ", "f b b     "}},
        {"max below the values", capped, Rect{0, 0, 10, 3}, {"  █ █     ", "1 2 █     ", "f b b     "}},
        {"bar width", wide, Rect{0, 0, 10, 3}, {"    ███   ", "█1█ █2█   ", "foo bar   "}},
        {"bar gap", gapped, Rect{0, 0, 10, 3}, {"   █      ", "1  2      ", "f  b      "}},
        {"nine levels", chart({nine()}), Rect{0, 1, 17, 2}, {"                 ", "  ▁ ▂ ▃ ▄ ▅ ▆ ▇ 8", "a b c d e f g h i"}},
        {"group label row", chart({nine()}), Rect{0, 0, 17, 3},
         {"  ▁ ▂ ▃ ▄ ▅ ▆ ▇ 8", "a b c d e f g h i", "      Group      "}},
        {"one row", chart({nine()}), Rect{0, 0, 17, 1}, {"  ▁ ▂ ▃ ▄ ▅ ▆ ▇ 8"}},
        {"centred group labels", centred, Rect{0, 0, 13, 5},
         {"    ▂ █     ▂", "  ▄ █ █   ▄ █", "▆ 2 3 4 ▆ 2 3", "a b c c a b c", "  G1     G2  "}},
        {"wide value text", unicode_values, Rect{0, 0, 11, 5},
         {"    ▆▆▆ ███", "    ███ ███", "▃▃▃ ███ ███", "写█ 写█ 写█", "B1  B2  B2 "}},
        {"bars that do not fit are left out", halves, Rect{0, 0, 7, 6},
         {"   ██  ", "   ██  ", "▄▄ ██  ", "██ ██  ", "1█ 2█  ", "a  b   "}},
        {"u64 max", top, Rect{0, 0, 5, 5}, {"█    ", "█    ", "█    ", "█    ", "█    "}},
        {"precision near u64 max", near_top, Rect{0, 0, 1, 1}, {"▇"}},
        {"horizontal groups", horizontal_groups(), Rect{0, 0, 5, 8},
         {"2█   ", "3██  ", "4███ ", "G1   ", "3██  ", "4███ ", "5████", "G2   "}},
        {"horizontal, no room for the last label", horizontal_groups(), Rect{0, 0, 5, 7},
         {"2█   ", "3██  ", "4███ ", "G1   ", "3██  ", "4███ ", "5████"}},
        {"horizontal, bars cut", horizontal_groups(), Rect{0, 0, 5, 5}, {"2█   ", "3██  ", "4███ ", "G1   ", "3██  "}},
        {"horizontal labels", labels_h, Rect{0, 0, 10, 3}, {"Jan 10█   ", "Feb 20████", "Mar 5     "}},
        {"empty group keeps labels under their bars", with_empty, Rect{0, 0, 8, 3},
         {"      █ ", "1     2 ", "a     b "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buf = blank(c.area.right(), c.area.bottom());
        c.chart.render(c.area, buf);
        EXPECT_EQ(rows(buf), c.expected);
    }
}

TEST(BarChartCore, Styles) {
    BarChart c = foo_bar();
    c.bar_style = fg(Color::Red);
    c.value_style = fg(Color::Green);
    c.label_style = fg(Color::Blue);
    c.style = fg_bg(Color::Yellow, Color::Black);
    c.data[0].bars[1].style = fg(Color::Magenta);
    Buffer buf = blank(10, 3);
    c.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Magenta));  // the bar's own style wins
    EXPECT_EQ(buf.cell_at(0, 1)->fg, Color::named(Color::Green));    // value "1"
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color::named(Color::Red));      // empty part of bar "foo"
    EXPECT_EQ(buf.cell_at(0, 2)->fg, Color::named(Color::Blue));     // label "f"
    EXPECT_EQ(buf.cell_at(9, 2)->fg, Color::named(Color::Yellow));   // widget style elsewhere
    EXPECT_EQ(buf.cell_at(9, 2)->bg, Color::named(Color::Black));
}

TEST(BarChartCore, HorizontalValueLongerThanTheBar) {
    Bar first = bar(2);
    first.text_value = "label";
    first.value_style = fg(Color::Red);
    BarChart c = chart({group({first, bar(5)})});
    c.direction = Direction::Horizontal;
    c.bar_style = fg(Color::Yellow);
    c.value_style.add_modifier = modifier::ITALIC;
    c.bar_gap = 0;
    Buffer buf = blank(5, 2);
    c.render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"label", "5████"}));
    // The part over the bar has the value style, the rest the bar style.
    EXPECT_EQ(buf.cell_at(1, 0)->fg, Color::named(Color::Red));
    EXPECT_EQ(buf.cell_at(1, 0)->modifier, modifier::ITALIC);
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Yellow));
    EXPECT_EQ(buf.cell_at(2, 0)->modifier, 0);
}

TEST(BarChartCore, MultiByteValueTextsDoNotSplitCharacters) {
    std::vector<Bar> bars;
    for (std::uint64_t v = 0; v < 5; ++v) {
        Bar b = bar(v);
        b.text_value = "\u202F";
        bars.push_back(b);
    }
    BarChart c = chart({group(bars)});
    c.direction = Direction::Horizontal;
    c.bar_gap = 0;
    Buffer buf = blank(4, 5);
    c.render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"\u202F   ", "\u202F   ", "\u202F█  ", "\u202F██ ", "\u202F███"}));
}

TEST(BarChartCore, TinyAndDegenerateAreasDrawSafely) {
    for (Direction d : {Direction::Vertical, Direction::Horizontal}) {
        BarChart c = foo_bar();
        c.bar_width = 3;
        c.direction = d;
        Buffer one = blank(1, 1);
        c.render(one.area, one);
        EXPECT_EQ(rows(one), (Rows{" "}));
        Buffer none = blank(0, 0);
        c.render(none.area, none);
        c.bar_width = 0;
        c.bar_gap = 0;
        Buffer tall = blank(3, 10);
        c.render(tall.area, tall);
        EXPECT_EQ(rows(tall), Rows(10, "   "));
        // An area far off the buffer writes nothing.
        c.bar_width = 65535;
        c.group_gap = 65535;
        c.render(Rect{65000, 65000, 535, 535}, tall);
        EXPECT_EQ(rows(tall), Rows(10, "   "));
    }
}

}  // namespace
