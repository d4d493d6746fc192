#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/widgets/canvas.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace widget_test;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

Canvas canvas(Marker marker, std::vector<CanvasShape> shapes, Bounds x = {0.0, 10.0}, Bounds y = {0.0, 10.0}) {
    Canvas c;
    c.marker = marker;
    c.shapes = std::move(shapes);
    c.x_bounds = x;
    c.y_bounds = y;
    return c;
}

CanvasLine line(double x1, double y1, double x2, double y2, Color color = Color{}) {
    return CanvasLine{x1, y1, x2, y2, color};
}

Rows draw_on_x(const Canvas& c, std::uint16_t w, std::uint16_t h) {
    Buffer buf = filled(w, h, "x");
    c.render(buf.area, buf);
    return rows(buf);
}

TEST(CanvasCore, MarkersDrawCrossingLines) {
    struct Case {
        Marker marker;
        Rows corner;
        Rows diagonals;
    };
    const std::vector<Case> cases = {
        {Marker::Block,
         {"█xxxx", "█xxxx", "█xxxx", "█xxxx", "█████"},
         {"█xxx█", "x█x█x", "xx█xx", "x█x█x", "█xxx█"}},
        {Marker::HalfBlock,
         {"█xxxx", "█xxxx", "█xxxx", "█xxxx", "█▄▄▄▄"},
         {"█xxx█", "x█x█x", "xx█xx", "x█x█x", "█xxx█"}},
        {Marker::Bar,
         {"▄xxxx", "▄xxxx", "▄xxxx", "▄xxxx", "▄▄▄▄▄"},
         {"▄xxx▄", "x▄x▄x", "xx▄xx", "x▄x▄x", "▄xxx▄"}},
        {Marker::Braille,
         {"⡇xxxx", "⡇xxxx", "⡇xxxx", "⡇xxxx", "⣇⣀⣀⣀⣀"},
         {"⢣xxx⡜", "x⢣x⡜x", "xx⣿xx", "x⡜x⢣x", "⡜xxx⢣"}},
        {Marker::Dot,
         {"•xxxx", "•xxxx", "•xxxx", "•xxxx", "•••••"},
         {"•xxx•", "x•x•x", "xx•xx", "x•x•x", "•xxx•"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.marker));
        EXPECT_EQ(draw_on_x(canvas(c.marker, {line(0, 0, 0, 10), line(0, 0, 10, 0)}), 5, 5), c.corner);
        EXPECT_EQ(draw_on_x(canvas(c.marker, {line(0, 10, 10, 0), line(0, 0, 10, 10)}), 5, 5), c.diagonals);
    }
}

TEST(CanvasCore, LinesAreClippedAndRasterised) {
    struct Case {
        const char* name;
        CanvasLine l;
        Rows expected;
    };
    const Rows empty(10, "          ");
    const Rows rising = {"         •", "        • ", "       •  ", "      •   ", "     •    ",
                         "    •     ", "   •      ", "  •       ", " •        ", "•         "};
    const std::vector<Case> cases = {
        {"left of the bounds", line(-1, 0, -1, 10), empty},
        {"below the bounds", line(0, -1, 10, -1), empty},
        {"wholly left", line(-10, 5, -1, 5), empty},
        {"wholly above", line(5, 11, 5, 20), empty},
        {"starts outside",
         line(-10, 0, 5, 0),
         {"          ", "          ", "          ", "          ", "          ", "          ", "          ",
          "          ", "          ", "••••••    "}},
        {"both ends outside", line(-1, -1, 11, 11), rising},
        {"end outside", line(0, 0, 11, 11), rising},
        {"shallow", line(0, 0, 10, 5),
         {"          ", "          ", "          ", "          ", "          ", "        ••", "      ••  ",
          "    ••    ", "  ••      ", "••        "}},
        {"shallow, drawn leftwards", line(10, 0, 0, 5),
         {"          ", "          ", "          ", "          ", "          ", "••        ", "  ••      ",
          "    ••    ", "      ••  ", "        ••"}},
        {"steep", line(0, 0, 5, 10),
         {"     •    ", "    •     ", "    •     ", "   •      ", "   •      ", "  •       ", "  •       ",
          " •        ", " •        ", "•         "}},
        {"steep, drawn downwards", line(0, 10, 5, 0),
         {"•         ", " •        ", " •        ", "  •       ", "  •       ", "   •      ", "   •      ",
          "    •     ", "    •     ", "     •    "}},
        {"NaN end", line(0, 0, kNaN, 5), empty},
        {"infinite end", line(0, 5, kInf, 5), empty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buffer buf = blank(10, 10);
        canvas(Marker::Dot, {c.l}).render(buf.area, buf);
        EXPECT_EQ(rows(buf), c.expected);
    }
}

TEST(CanvasCore, Rectangles) {
    Buffer block = blank(10, 10);
    canvas(Marker::Block, {CanvasRectangle{0, 0, 10, 10, Color::named(Color::Red)}}).render(block.area, block);
    EXPECT_EQ(rows(block), (Rows{"██████████", "█        █", "█        █", "█        █", "█        █",
                                 "█        █", "█        █", "█        █", "█        █", "██████████"}));
    EXPECT_EQ(block.cell_at(0, 0)->bg, Color::named(Color::Red));
    EXPECT_EQ(block.cell_at(5, 5)->bg, Color{});

    Buffer half = blank(10, 10);
    canvas(Marker::HalfBlock, {CanvasRectangle{0, 0, 10, 10, Color::named(Color::Red)}}).render(half.area, half);
    EXPECT_EQ(rows(half), (Rows{"█▀▀▀▀▀▀▀▀█", "█        █", "█        █", "█        █", "█        █",
                                "█        █", "█        █", "█        █", "█        █", "█▄▄▄▄▄▄▄▄█"}));
    EXPECT_EQ(half.cell_at(0, 0)->bg, Color::named(Color::Red));  // both halves red
    EXPECT_EQ(half.cell_at(4, 0)->bg, Color{});                    // upper half only
    EXPECT_EQ(half.cell_at(4, 9)->fg, Color::named(Color::Red));

    Buffer braille = blank(10, 10);
    canvas(Marker::Braille,
           {CanvasRectangle{0, 0, 20, 20, Color::named(Color::Red)},
            CanvasRectangle{4, 4, 12, 12, Color::named(Color::Green)}},
           {0, 20}, {0, 20})
        .render(braille.area, braille);
    EXPECT_EQ(rows(braille), (Rows{"⡏⠉⠉⠉⠉⠉⠉⠉⠉⢹", "⡇        ⢸", "⡇ ⡏⠉⠉⠉⠉⢹ ⢸", "⡇ ⡇    ⢸ ⢸", "⡇ ⡇    ⢸ ⢸",
                                   "⡇ ⡇    ⢸ ⢸", "⡇ ⡇    ⢸ ⢸", "⡇ ⣇⣀⣀⣀⣀⣸ ⢸", "⡇        ⢸", "⣇⣀⣀⣀⣀⣀⣀⣀⣀⣸"}));
    EXPECT_EQ(braille.cell_at(0, 0)->fg, Color::named(Color::Red));
    EXPECT_EQ(braille.cell_at(2, 2)->fg, Color::named(Color::Green));

    // Negative sizes draw the same outline from the other corner.
    Buffer flipped = blank(10, 10);
    canvas(Marker::Block, {CanvasRectangle{10, 10, -10, -10, Color::named(Color::Red)}}).render(flipped.area, flipped);
    EXPECT_EQ(rows(flipped), rows(block));
}

TEST(CanvasCore, Circle) {
    Buffer buf = blank(10, 5);
    canvas(Marker::Braille, {CanvasCircle{5, 2, 5, Color{}}}, {-10, 10}, {-10, 10}).render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"      ⣀⣀⣀ ", "     ⡞⠁ ⠈⢣", "     ⢇⡀ ⢀⡼", "      ⠉⠉⠉ ", "          "}));
    Buffer zero = blank(5, 5);
    canvas(Marker::Dot, {CanvasCircle{5, 5, 0, Color{}}}).render(zero.area, zero);
    EXPECT_EQ(rows(zero), (Rows{"     ", "     ", "  •  ", "     ", "     "}));
}

TEST(CanvasCore, LaterShapesWinSharedCells) {
    Buffer buf = blank(1, 1);
    canvas(Marker::Braille,
           {CanvasPoints{{{0, 0}}, Color::named(Color::Red)}, CanvasPoints{{{1, 1}}, Color::named(Color::Blue)}},
           {0, 1}, {0, 1})
        .render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"⡈"}));  // both dots stay
    EXPECT_EQ(buf.cell_at(0, 0)->fg, Color::named(Color::Blue));
}

TEST(CanvasCore, PointsOutsideOrUndefinedAreSkipped) {
    Buffer buf = blank(3, 3);
    canvas(Marker::Dot, {CanvasPoints{{{-1, 0}, {0, 11}, {kNaN, 5}, {5, kNaN}, {kInf, 1}, {10, 10}}, Color{}}})
        .render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"  •", "   ", "   "}));
}

TEST(CanvasCore, BoundsWithoutExtentPaintNothing) {
    for (auto [x, y] : std::vector<std::pair<Bounds, Bounds>>{
             {{0, 0}, {0, 10}}, {{5, 1}, {0, 10}}, {{0, 10}, {3, 3}}, {{kNaN, 10}, {0, 10}}}) {
        Buffer buf = blank(4, 4);
        canvas(Marker::Block,
               {line(0, 0, 10, 10), CanvasPoints{{{1, 1}, {5, 5}}, Color{}}, CanvasRectangle{1, 1, 2, 2, Color{}},
                CanvasCircle{5, 5, 2, Color{}}},
               x, y)
            .render(buf.area, buf);
        EXPECT_EQ(rows(buf), Rows(4, "    "));
    }
}

TEST(CanvasCore, BackgroundAndLabels) {
    Canvas c;
    c.background_color = Color::named(Color::Blue);
    c.labels = {CanvasLabel{0, 0, Line::raw("hi")}, CanvasLabel{1, 0, Line::raw("no")}};
    Buffer buf = blank(10, 5);
    c.render(buf.area, buf);
    // Default bounds: a label at exactly (0, 0) lands on the first cell; others are outside.
    EXPECT_EQ(rows(buf)[0], "hi        ");
    EXPECT_EQ(rows(buf)[1], "          ");
    for (const Cell& cell : buf.content) EXPECT_EQ(cell.bg, Color::named(Color::Blue));

    Canvas labelled;
    labelled.x_bounds = {0, 10};
    labelled.y_bounds = {0, 10};
    labelled.labels = {CanvasLabel{10, 0, Line::raw("end")}, CanvasLabel{5, 5, Line::raw("mid")},
                       CanvasLabel{0, 10, Line::raw("top")}, CanvasLabel{11, 5, Line::raw("out")},
                       CanvasLabel{kNaN, 5, Line::raw("nan")}};
    Buffer b2 = blank(10, 5);
    labelled.render(b2.area, b2);
    EXPECT_EQ(rows(b2), (Rows{"top       ", "          ", "    mid   ", "          ", "         e"}));
}

TEST(CanvasCore, BlockAroundTheCanvas) {
    Canvas c = canvas(Marker::Block, {line(0, 0, 10, 10)});
    c.block = Block::bordered();
    Buffer buf = blank(4, 4);
    c.render(buf.area, buf);
    EXPECT_EQ(rows(buf), (Rows{"┌──┐", "│ █│", "│█ │", "└──┘"}));
    Buffer tiny = blank(2, 2);
    c.render(tiny.area, tiny);
    EXPECT_EQ(rows(tiny), (Rows{"┌┐", "└┘"}));
}

TEST(CanvasCore, AreasBeyondTheBufferAreClippedSafely) {
    Canvas c = canvas(Marker::Braille, {line(0, 0, 10, 10), CanvasCircle{5, 5, 5, Color{}}});
    c.labels = {CanvasLabel{0, 10, Line::raw("label")}};
    Buffer buf = blank(4, 4);
    c.render(Rect{2, 2, 60000, 60000}, buf);
    EXPECT_EQ(rows(buf)[0], "    ");
    EXPECT_EQ(rows(buf)[2], "  la");
    c.render(Rect{65000, 65000, 535, 535}, buf);
    Buffer none = blank(0, 0);
    c.render(Rect{0, 0, 10, 10}, none);
}

TEST(CanvasCore, RenderingTwiceGivesTheSameCells) {
    Canvas c = canvas(Marker::HalfBlock, {line(0, 0, 10, 3, Color::named(Color::Red)), CanvasCircle{5, 5, 3, Color{}}});
    Buffer a = blank(8, 6), b = blank(8, 6);
    c.render(a.area, a);
    c.render(b.area, b);
    c.render(b.area, b);
    EXPECT_EQ(a, b);
}

}  // namespace
