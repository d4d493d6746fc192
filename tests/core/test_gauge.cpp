#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/panic.hpp"
#include "core/widgets/gauge.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

TEST(GaugeCore, RangeChecks) {
    EXPECT_EQ(gauge_percent_ratio(0), 0.0);
    EXPECT_EQ(gauge_percent_ratio(50), 0.5);
    EXPECT_EQ(gauge_percent_ratio(100), 1.0);
    EXPECT_THROW(gauge_percent_ratio(101), Panic);
    EXPECT_EQ(gauge_checked_ratio(1.0), 1.0);
    EXPECT_TRUE(std::signbit(gauge_checked_ratio(-0.0)));
    for (double bad : {-0.1, 1.0000001, std::nan(""), std::numeric_limits<double>::infinity()}) {
        try {
            gauge_checked_ratio(bad);
            ADD_FAILURE() << bad;
        } catch (const Panic& p) {
            EXPECT_STREQ(p.what(), "Ratio should be between 0 and 1 inclusively.");
        }
    }
}

TEST(GaugeCore, DefaultLabels) {
    EXPECT_EQ(gauge_default_label(0.0), "0%");
    EXPECT_EQ(gauge_default_label(0.425), "43%");   // rounds half away from zero
    EXPECT_EQ(gauge_default_label(1.0), "100%");
    EXPECT_EQ(gauge_default_label(-0.0), "-0%");
    // Rounded half to even and padded to three columns.
    EXPECT_EQ(line_gauge_default_label(0.125), " 12%");
    EXPECT_EQ(line_gauge_default_label(0.135), " 14%");
    EXPECT_EQ(line_gauge_default_label(0.0), "  0%");
    EXPECT_EQ(line_gauge_default_label(-0.0), " -0%");
    EXPECT_EQ(line_gauge_default_label(1.0), "100%");
}

TEST(GaugeCore, Screens) {
    struct Case {
        const char* name;
        Gauge gauge;
        std::uint16_t w, h;
        Rows expected;
    };
    Gauge half;
    half.ratio = 0.5;
    Gauge unicode;
    unicode.ratio = 0.59375;  // 9.5 of 16 cells
    unicode.use_unicode = true;
    Gauge labelled;
    labelled.ratio = 0.25;
    labelled.label = Span::raw("load");
    Gauge boxed;
    boxed.ratio = 1.0;
    boxed.block = Block::bordered();
    Gauge full;
    full.ratio = 1.0;
    Gauge wide_label;
    wide_label.ratio = 1.0;
    wide_label.label = Span::raw("far too long a label");
    const std::vector<Case> cases = {
        {"half", half, 10, 1, {"███50%    "}},
        {"unicode partial cell", unicode, 16, 1, {"██████59%▌      "}},
        {"label row is the middle one", labelled, 8, 3, {"██      ", "██load  ", "██      "}},
        {"inside a block", boxed, 6, 3, {"┌────┐", "│100%│", "└────┘"}},
        {"filled again right after the label", full, 10, 1, {"███100%███"}},
        {"label cut to the width", wide_label, 6, 1, {"far to"}},
        {"nothing in an empty area", half, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buf = blank(c.w, c.h);
        c.gauge.render(buf.area, buf);
        EXPECT_EQ(rows(buf), c.expected);
    }
}

TEST(GaugeCore, ColoursSwapUnderTheLabel) {
    Gauge g;
    g.ratio = 0.5;
    g.gauge_style = fg_bg(Color::Red, Color::Blue);
    g.style = fg(Color::Green);
    Buffer buf = blank(10, 1);
    g.render(buf.area, buf);
    const Cell& filled = *buf.cell_at(0, 0);
    EXPECT_EQ(filled.fg, Color::named(Color::Red));
    EXPECT_EQ(filled.bg, Color::named(Color::Blue));
    const Cell& under_label = *buf.cell_at(3, 0);  // "5", inside the filled part
    EXPECT_EQ(under_label.symbol_text(), "5");
    EXPECT_EQ(under_label.fg, Color::named(Color::Blue));
    EXPECT_EQ(under_label.bg, Color::named(Color::Red));
    const Cell& empty = *buf.cell_at(9, 0);  // the gauge style over the widget style
    EXPECT_EQ(empty.fg, Color::named(Color::Red));
    EXPECT_EQ(empty.bg, Color::named(Color::Blue));
}

TEST(GaugeCore, FilledCellsWithoutColoursAreReset) {
    Gauge g;
    g.ratio = 1.0;
    Buffer buf = blank(4, 1);
    for (Cell& c : buf.content) c.fg = c.bg = Color::named(Color::Yellow);
    g.render(buf.area, buf);
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color{});
    EXPECT_EQ(buf.cell_at(0, 0)->bg, Color{});
}

TEST(GaugeCore, AreaPartlyOutsideTheBufferIsClipped) {
    Gauge g;
    g.ratio = 1.0;
    g.use_unicode = true;
    Buffer buf = blank(4, 2);
    g.render(Rect{2, 1, 10, 5}, buf);
    EXPECT_EQ(rows(buf), (Rows{"    ", "  ██"}));
}

TEST(GaugeCore, Repr) {
    Gauge g;
    EXPECT_EQ(g.repr(),
              "Gauge { block: None, ratio: 0.0, label: None, use_unicode: false, style: Style::new(), "
              "gauge_style: Style::new() }");
    g.ratio = 0.5;
    g.label = Span::raw("x");
    g.use_unicode = true;
    EXPECT_EQ(g.repr(),
              "Gauge { block: None, ratio: 0.5, label: Some(Span::from(\"x\")), use_unicode: true, "
              "style: Style::new(), gauge_style: Style::new() }");
}

TEST(LineGaugeCore, Screens) {
    struct Case {
        const char* name;
        LineGauge gauge;
        std::uint16_t w, h;
        Rows expected;
    };
    LineGauge half;
    half.ratio = 0.5;
    LineGauge labelled;
    labelled.ratio = 1.0;
    labelled.label = Line::raw("ab");
    LineGauge boxed;
    boxed.ratio = 0.0;
    boxed.block = Block::bordered();
    const std::vector<Case> cases = {
        {"half", half, 10, 1, {" 50% ─────"}},
        {"own label, full", labelled, 6, 2, {"ab ───", "      "}},
        {"inside a block", boxed, 9, 3, {"┌───────┐", "│  0% ──│", "└───────┘"}},
        {"label fills the row", half, 4, 1, {" 50%"}},
        {"one cell after the label", half, 6, 1, {" 50% ─"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buf = blank(c.w, c.h);
        c.gauge.render(buf.area, buf);
        EXPECT_EQ(rows(buf), c.expected);
    }
}

TEST(LineGaugeCore, FilledAndUnfilledStyles) {
    LineGauge g;
    g.ratio = 0.5;
    g.filled_style = fg(Color::Green);
    g.unfilled_style = fg(Color::Red);
    Buffer buf = blank(10, 1);
    g.render(buf.area, buf);
    for (std::uint32_t x = 5; x < 7; ++x) EXPECT_EQ(buf.cell_at(x, 0)->fg, Color::named(Color::Green)) << x;
    for (std::uint32_t x = 7; x < 10; ++x) EXPECT_EQ(buf.cell_at(x, 0)->fg, Color::named(Color::Red)) << x;
    EXPECT_EQ(buf.cell_at(4, 0)->fg, Color{});
}

}  // namespace
