// Widgets keep what they work out from all their data (the largest value, the widest label,
// the number of columns) from one draw to the next; a copy that is changed works it out again.
#include <gtest/gtest.h>

#include "core/widgets/barchart.hpp"
#include "core/widgets/sparkline.hpp"
#include "core/widgets/table.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

Rows draw(const auto& widget, std::uint16_t w, std::uint16_t h) {
    Buffer buf = blank(w, h);
    widget.render(buf.area, buf);
    return rows(buf);
}

Bar labelled(std::uint64_t value, const char* label) {
    Bar b;
    b.value = value;
    b.label = Line::raw(label);
    return b;
}

TEST(WidgetSummaries, SparklineScaleFollowsEachValue) {
    Sparkline s;
    for (std::uint64_t v : {2, 4, 8}) s.data.push_back({v, std::nullopt});
    EXPECT_EQ(draw(s, 3, 1), (Rows{"▂▄█"}));
    EXPECT_EQ(s.top(), 8u);
    Sparkline taller = s;
    taller.data.push_back({16, std::nullopt});
    EXPECT_EQ(taller.top(), 16u);
    EXPECT_EQ(draw(taller, 4, 1), (Rows{"▁▂▄█"}));
    EXPECT_EQ(draw(s, 3, 1), (Rows{"▂▄█"}));  // the original keeps its own scale
    Sparkline assigned;
    assigned = taller;
    assigned.data.resize(2);
    EXPECT_EQ(assigned.top(), 4u);
    assigned.max = 100;  // an explicit maximum wins over the kept one
    EXPECT_EQ(assigned.top(), 100u);
}

TEST(WidgetSummaries, HorizontalBarChartKeepsMaximumAndLabelColumn) {
    BarChart c;
    c.direction = Direction::Horizontal;
    c.bar_gap = 0;
    c.data.push_back(BarGroup{{labelled(2, "a"), labelled(4, "b")}, std::nullopt});
    const Rows before{"a 2█  ", "b 4███"};
    EXPECT_EQ(draw(c, 6, 2), before);
    EXPECT_EQ(draw(c, 6, 2), before);
    BarChart more = c;
    more.data.push_back(BarGroup{{labelled(8, "ccc")}, std::nullopt});
    EXPECT_EQ(draw(more, 8, 3), (Rows{"a   2   ", "b   4█  ", "ccc 8███"}));
    EXPECT_EQ(draw(c, 6, 2), before);
}

TEST(WidgetSummaries, TableColumnCountFollowsEachValue) {
    Table t;
    t.column_spacing = 0;
    Row two;
    two.cells = {TableCell::from_line(Line::raw("a")), TableCell::from_line(Line::raw("b"))};
    t.rows.assign(3, two);
    EXPECT_EQ(t.column_count(), 2u);
    Table wider = t;
    Row three = two;
    three.cells.push_back(TableCell::from_line(Line::raw("c")));
    wider.rows.push_back(three);
    EXPECT_EQ(wider.column_count(), 3u);
    EXPECT_EQ(t.column_count(), 2u);
    EXPECT_EQ(draw(wider, 6, 4), (Rows{"a b   ", "a b   ", "a b   ", "a b c "}));
}

}  // namespace
