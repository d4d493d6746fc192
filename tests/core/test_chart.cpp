#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "core/widgets/chart.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

Axis axis(std::vector<std::string> labels, Alignment align = Alignment::Left, Bounds bounds = {0.0, 1.0}) {
    Axis a;
    a.bounds = bounds;
    for (const std::string& l : labels) a.labels.push_back(Line::raw(l));
    a.labels_alignment = align;
    return a;
}

Dataset named(const char* name) {
    Dataset d;
    d.name = Line::raw(name);
    return d;
}

Rows draw(const Chart& c, std::uint16_t w, std::uint16_t h) {
    Buffer buf = blank(w, h);
    c.render(buf.area, buf);
    return rows(buf);
}

Chart axes(Axis x, Axis y) {
    Chart c;
    c.x_axis = std::move(x);
    c.y_axis = std::move(y);
    return c;
}

TEST(ChartCore, LongLabels) {
    struct Case {
        Axis x, y;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {axis({"AAAA", "B"}), axis({}), {"          ", "          ", "          ", "   ───────", "AAA      B"}},
        {axis({"A", "BBBB"}), axis({}), {"          ", "          ", "          ", " ─────────", "A     BBBB"}},
        {axis({"AAAAAAAAAAA", "B"}), axis({}), {"          ", "          ", "          ", "   ───────", "AAA      B"}},
        {axis({"A", "B"}), axis({"CCCCCCC", "D"}), {"D  │      ", "   │      ", "CCC│      ", "   └──────", "   A     B"}},
        {axis({"AAAAAAAAAA", "B"}, Alignment::Center), axis({"C", "D"}),
         {"D  │      ", "   │      ", "C  │      ", "   └──────", "AAAAAAA  B"}},
        {axis({"AAAAAAA", "B"}, Alignment::Right), axis({"C", "D"}),
         {"D│        ", " │        ", "C│        ", " └────────", " AAAAA   B"}},
        {axis({"AAAAAAA", "BBBBBBB"}, Alignment::Right), axis({"C", "D"}),
         {"D│        ", " │        ", "C│        ", " └────────", " AAAAABBBB"}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draw(axes(cases[i].x, cases[i].y), 10, 5), cases[i].expected);
    }
}

TEST(ChartCore, LabelAlignments) {
    const std::vector<std::pair<Alignment, Rows>> x_cases = {
        {Alignment::Left, {"          ", "          ", "          ", "   ───────", "AAA   B  C"}},
        {Alignment::Center, {"          ", "          ", "          ", "  ────────", "AAAA B   C"}},
        {Alignment::Right, {"          ", "          ", "          ", "──────────", "AAA B    C"}},
    };
    for (const auto& [align, expected] : x_cases) EXPECT_EQ(draw(axes(axis({"AAAA", "B", "C"}, align), Axis{}), 10, 5), expected);

    const std::vector<std::pair<Alignment, Rows>> y_cases = {
        {Alignment::Left,
         {"D   │               ", "    │               ", "C   │               ", "    └───────────────",
          "AAAAA              B"}},
        {Alignment::Center,
         {" D  │               ", "    │               ", " C  │               ", "    └───────────────",
          "AAAAA              B"}},
        {Alignment::Right,
         {"   D│               ", "    │               ", "   C│               ", "    └───────────────",
          "AAAAA              B"}},
    };
    for (const auto& [align, expected] : y_cases)
        EXPECT_EQ(draw(axes(axis({"AAAAA", "B"}), axis({"C", "D"}, align)), 20, 5), expected);
}

TEST(ChartCore, TitleOverTheDataKeepsItsStyle) {
    Style title_style = fg_bg(Color::Red, Color::LightRed);
    Chart c;
    Dataset d;
    d.data = {{0.0, 1.0}, {1.0, 1.0}};
    d.graph_type = GraphType::Line;
    d.style = fg(Color::Blue);
    c.datasets = {d};
    c.y_axis = axis({"a", "b"});
    c.y_axis.title = Line::from_span(Span::styled("abc", title_style));
    c.x_axis.bounds = {0.0, 1.0};
    Buffer buf = blank(9, 5);
    c.render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"b│abc••••", " │       ", " │       ", " │       ", "a│       "}));
    EXPECT_EQ(buf.cell_at(2, 0)->fg, Color::named(Color::Red));
    EXPECT_EQ(buf.cell_at(4, 0)->bg, Color::named(Color::LightRed));
    EXPECT_EQ(buf.cell_at(5, 0)->fg, Color::named(Color::Blue));
    EXPECT_EQ(buf.cell_at(5, 0)->bg, Color{});
}

TEST(ChartCore, BarGraph) {
    Chart c;
    Dataset d;
    d.data = {{0, 0}, {2, 1}, {4, 4}, {6, 8}, {8, 9}, {10, 10}};
    d.graph_type = GraphType::Bar;
    c.datasets = {d};
    c.x_axis.bounds = {0, 10};
    c.y_axis.bounds = {0, 10};
    EXPECT_EQ(draw(c, 11, 11), (Rows{"          •", "        • •", "      • • •", "      • • •", "      • • •",
                                     "      • • •", "    • • • •", "    • • • •", "    • • • •", "  • • • • •",
                                     "• • • • • •"}));
}

TEST(ChartCore, LegendPositions) {
    Chart c;
    c.datasets = {named("Data")};
    c.hidden_legend_constraints = {Constraint::percentage(100), Constraint::percentage(100)};
    const std::vector<std::pair<LegendPosition, Rows>> cases = {
        {LegendPosition::TopLeft, {"┌────┐   ", "│Data│   ", "└────┘   ", "         ", "         ", "         "}},
        {LegendPosition::Top, {" ┌────┐  ", " │Data│  ", " └────┘  ", "         ", "         ", "         "}},
        {LegendPosition::TopRight, {"   ┌────┐", "   │Data│", "   └────┘", "         ", "         ", "         "}},
        {LegendPosition::Left, {"         ", "┌────┐   ", "│Data│   ", "└────┘   ", "         ", "         "}},
        {LegendPosition::Right, {"         ", "   ┌────┐", "   │Data│", "   └────┘", "         ", "         "}},
        {LegendPosition::BottomLeft, {"         ", "         ", "         ", "┌────┐   ", "│Data│   ", "└────┘   "}},
        {LegendPosition::Bottom, {"         ", "         ", "         ", " ┌────┐  ", " │Data│  ", " └────┘  "}},
        {LegendPosition::BottomRight, {"         ", "         ", "         ", "   ┌────┐", "   │Data│", "   └────┘"}},
    };
    for (const auto& [pos, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(pos));
        c.legend_position = pos;
        EXPECT_EQ(draw(c, 9, 6), expected);
        // A legend exactly as large as the chart fits at every position.
        EXPECT_EQ(draw(c, 6, 3), (Rows{"┌────┐", "│Data│", "└────┘"}));
    }
    c.legend_position.reset();
    EXPECT_EQ(draw(c, 9, 6), Rows(6, "         "));
}

TEST(ChartCore, LegendVisibility) {
    Chart c;
    for (int i = 0; i < 10; ++i) c.datasets.push_back(named(("Dataset #" + std::to_string(i)).c_str()));
    c.x_axis.title = Line::raw("X axis");
    c.y_axis.title = Line::raw("Y axis");
    EXPECT_EQ(c.layout(Rect{0, 0, 100, 100})->legend_area, (Rect{88, 0, 12, 12}));
    c.hidden_legend_constraints = {Constraint::ratio(1, 10), Constraint::ratio(1, 4)};
    EXPECT_FALSE(c.layout(Rect{0, 0, 100, 100})->legend_area);
    c.hidden_legend_constraints = {Constraint::length(0), Constraint::ratio(1, 1)};
    EXPECT_FALSE(c.layout(Rect{0, 0, 100, 100})->legend_area);

    Chart rows_only;
    rows_only.datasets = {named("data1"), Dataset{}, named("")};
    EXPECT_EQ(rows_only.layout(Rect{0, 0, 50, 25})->legend_area->height, 4);  // an empty name still takes a row
    Chart unnamed;
    unnamed.datasets = {Dataset{}, Dataset{}};
    EXPECT_FALSE(unnamed.layout(Rect{0, 0, 50, 25})->legend_area);
    Chart all_empty;
    all_empty.datasets = {named(""), named("")};
    EXPECT_FALSE(all_empty.layout(Rect{0, 0, 50, 25})->legend_area);
}

TEST(ChartCore, LegendRowsTakeTheDatasetStyle) {
    Chart c;
    Dataset long_name = named("Very long name");
    Dataset short_name = named("Short name");
    short_name.name->alignment = Alignment::Right;
    short_name.style = fg(Color::Red);
    c.datasets = {long_name, short_name};
    c.hidden_legend_constraints = {Constraint::length(100), Constraint::length(100)};
    Buffer buf = blank(20, 5);
    c.render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"    ┌──────────────┐", "    │Very long name│", "    │    Short name│",
                               "    └──────────────┘", "                    "}));
    EXPECT_EQ(buf.cell_at(9, 2)->fg, Color::named(Color::Red));
}

TEST(ChartCore, TitlesAndLegendTogether) {
    Chart c;
    c.datasets = {named("Ds1")};
    c.y_axis.title = Line::raw("The title overlap a legend.");
    Rows expected(20, "                              ");
    expected[0] = "The title overlap a legend.   ";
    expected[1] = "                         ┌───┐";
    expected[2] = "                         │Ds1│";
    expected[3] = "                         └───┘";
    EXPECT_EQ(draw(c, 30, 20), expected);
    // Too narrow for the title: nothing is drawn at all.
    EXPECT_EQ(draw(c, 10, 10), Rows(10, "          "));
    Chart wide_titles;
    wide_titles.x_axis.title = Line::raw("xxxxxxxxxxxxxxxx");
    wide_titles.y_axis.title = Line::raw("xxxxxxxxxxxxxxxx");
    EXPECT_EQ(draw(wide_titles, 8, 4), Rows(4, "        "));
}

TEST(ChartCore, SingleYLabelSitsAtTheBottom) {
    EXPECT_EQ(draw(axes(Axis{}, axis({"y"})), 5, 3), (Rows{" │   ", " │   ", "y│   "}));
}

TEST(ChartCore, DegenerateInputsDrawSafely) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    Chart c;
    Dataset d;
    d.marker = Marker::Braille;
    d.data = {{0.0, 0.0}, {kNaN, 1.0}, {1e300, -1e300}, {std::numeric_limits<double>::infinity(), 0.5}};
    d.graph_type = GraphType::Line;
    c.datasets = {d, Dataset{}};
    c.block = Block::bordered();
    c.x_axis = axis({"0.0", "1.0"}, Alignment::Left, {0.0, 0.0});
    c.y_axis = axis({"0.0", "1.0"}, Alignment::Left, {1.0, 0.0});
    for (auto [w, h] : std::vector<std::pair<std::uint16_t, std::uint16_t>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 2}, {3, 3}, {100, 100}}) {
        Buffer buf = blank(w, h);
        c.render(buf.area, buf);
    }
    Buffer small = blank(4, 4);
    c.render(Rect{2, 2, 60000, 60000}, small);
    c.render(Rect{65000, 65000, 535, 535}, small);
    // Zero-extent bounds: axes and labels but no point.
    Chart plain;
    plain.datasets = {d};
    plain.x_axis = axis({"0", "1"}, Alignment::Left, {0.0, 0.0});
    plain.y_axis = axis({"0", "1"}, Alignment::Left, {0.0, 0.0});
    EXPECT_EQ(draw(plain, 6, 4), (Rows{"1│    ", "0│    ", " └────", " 0   1"}));
}

TEST(ChartCore, LargeBoundsKeepPrecision) {
    Chart c;
    Dataset d;
    d.marker = Marker::Braille;
    d.data = {{1588298471.0, 1.0}, {1588298473.0, 0.0}, {1588298496.0, 1.0}};
    c.datasets = {d};
    c.x_axis = axis({"1588298471.0", "1588992600.0"}, Alignment::Left, {1588298471.0, 1588992600.0});
    c.y_axis = axis({"0.0", "1.0"});
    Buffer buf = blank(80, 30);
    c.render(buf.area, buf);
    // The y labels get the columns left of the axis, which the wide first x label widened.
    EXPECT_EQ(rows(buf)[27].rfind("0.0        │⡀ ", 0), 0u);
    EXPECT_EQ(rows(buf)[0].rfind("1.0        │⠁ ", 0), 0u);
}

}  // namespace
