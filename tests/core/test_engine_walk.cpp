// The render walk, the IR values and the session core, without Python: trees of IR values and
// opaque contents drawn by a recording painter.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/engine/ir.hpp"
#include "core/engine/render_tree.hpp"
#include "core/engine/session.hpp"
#include "core/fx/effects/paint.hpp"
#include "widget_screen.hpp"

namespace {

using namespace tarvo::core;
using namespace tarvo::core::engine;
using widget_test::rows;

// Records the opaque contents it is asked to draw (by the text their handle points at) and
// fails those whose text starts with '!'.
struct Recorder : ContentPainter {
    std::vector<std::string> painted;
    int failures = 0, too_deep_calls = 0;
    bool paint(const RenderContent& c, const Rect& area, LendableBuffer& frame) override {
        const auto& name = *static_cast<const std::string*>(c.first.get());
        painted.push_back(name);
        if (name[0] == '!') {
            ++failures;
            return false;
        }
        frame.change().set_string(area.x, area.y, name, Style{});
        return true;
    }
    void too_deep() override { ++too_deep_calls; }
};

RenderContent opaque(std::string name) {
    RenderContent c;
    c.kind = RenderContent::Kind::Drawable;
    c.first = std::make_shared<const std::string>(std::move(name));
    return c;
}

RenderContent ir(IrValue v) {
    RenderContent c;
    c.kind = RenderContent::Kind::Ir;
    c.ir = std::make_shared<const IrValue>(std::move(v));
    c.ir_thread = std::this_thread::get_id();
    return c;
}

RenderContent text(const std::string& s) { return ir(ir_text(Text::raw(s).lines, Style{}, std::nullopt)); }

struct N {  // a terse node builder
    RenderNode n;
    N& content(RenderContent c) { n.content = std::move(c); return *this; }
    N& kids(std::vector<NodePtr> k) { n.children = std::move(k); return *this; }
    N& fixed(std::vector<std::uint16_t> lengths) {
        for (auto l : lengths) n.constraints.push_back(Constraint::length(l));
        return *this;
    }
    N& at(std::uint16_t x, std::uint16_t y, std::uint16_t w, std::uint16_t h) {
        n.x = x; n.y = y; n.width = w; n.height = h;
        return *this;
    }
    N& z(std::int32_t v) { n.z = v; return *this; }
    N& row() { n.direction = Direction::Horizontal; return *this; }
    N& cursor(std::uint16_t x, std::uint16_t y) { n.cursor_hint = Position{x, y}; return *this; }
    N& key(std::string k) { n.effect_key = std::move(k); return *this; }
    N& hidden() { n.visible = false; return *this; }
    N& margin(std::uint16_t h, std::uint16_t v) { n.margin = Margin{h, v}; return *this; }
    NodePtr done() { return std::make_shared<const RenderNode>(std::move(n)); }
};

struct Frame {
    std::vector<std::string> screen;
    std::optional<Position> cursor;
    Recorder rec;
    bool failed;
    EffectAreas areas;
};

Frame walk(const NodePtr& root, std::uint16_t w = 8, std::uint16_t h = 3, std::size_t depth = SIZE_MAX) {
    Frame f;
    LendableBuffer frame(Buffer::empty(Rect{0, 0, w, h}));
    WalkContext ctx(f.rec, depth);
    f.cursor = render_tree(*root, frame.get().area, frame, ctx);
    f.screen = rows(frame.get());
    f.failed = ctx.failed;
    f.areas = ctx.areas;
    return f;
}

TEST(EngineWalk, LayoutMarginGeometryAndZ) {
    struct Case {
        const char* name;
        NodePtr tree;
        std::vector<std::string> screen;
    };
    const std::vector<Case> cases = {
        {"row with gap", N().row().fixed({2, 2}).kids({N().content(text("a")).done(), N().content(text("b")).done()}).done(),
         {"a b     ", "        ", "        "}},
        {"margin insets children only",
         N().content(text("T")).margin(1, 1).fixed({1}).kids({N().content(text("in")).done()}).done(),
         {"T       ", " in     ", "        "}},
        {"absolute child outside its parent",
         N().fixed({1}).kids({N().fixed({1}).kids({N().content(text("far")).at(6, 2, 9, 9).done()}).done()}).done(),
         {"        ", "        ", "      fa"}},
        {"z sorts, equal z keeps order",
         N().kids({N().content(text("111")).at(0, 0, 3, 1).z(5).done(), N().content(text("22")).at(0, 0, 2, 1).z(1).done(),
                   N().content(text("3")).at(0, 0, 1, 1).z(1).done()}).done(),
         {"111     ", "        ", "        "}},
        {"hidden subtree", N().fixed({1, 1}).kids({N().content(text("h")).hidden().done(), N().content(text("v")).done()}).done(),
         {"        ", "v       ", "        "}},
        {"more children than slots",
         N().fixed({1}).kids({N().content(text("x")).z(2).done(), N().content(text("y")).z(1).done()}).done(),
         {"x       ", "        ", "        "}},
    };
    for (const Case& c : cases) {
        Frame f = walk(c.tree);
        EXPECT_EQ(f.screen, c.screen) << c.name;
        EXPECT_FALSE(f.failed) << c.name;
    }
}

TEST(EngineWalk, DrawingOrderIsStableByZ) {
    auto order = [](std::vector<std::int32_t> zs) {
        std::vector<NodePtr> kids;
        for (auto z : zs) kids.push_back(N().z(z).done());
        return drawing_order(kids);
    };
    EXPECT_TRUE(order({0, 0, 3}).empty());
    EXPECT_EQ(order({5, 1, 1}), (std::vector<std::size_t>{1, 2, 0}));
    EXPECT_EQ(order({2, -1, 2, -1}), (std::vector<std::size_t>{1, 3, 0, 2}));
}

TEST(EngineWalk, InsetAndAbsoluteAreas) {
    EXPECT_EQ(inset(Rect{1, 1, 10, 6}, Margin{2, 1}), (Rect{3, 2, 6, 4}));
    EXPECT_EQ(inset(Rect{1, 1, 3, 6}, Margin{2, 1}), Rect{});
    EXPECT_EQ(inset(Rect{0, 0, 65535, 2}, Margin{40000, 0}), (Rect{40000, 0, 0, 2}));  // doubled margins cap at 65535
    RenderNode n;
    n.x = 65000; n.y = 2; n.width = 1000; n.height = 3;
    EXPECT_EQ(n.absolute_area(Rect{0, 0, 65535, 65535}), (Rect{65000, 2, 535, 3}));
    EXPECT_EQ(n.absolute_area(Rect{0, 0, 10, 10}).is_empty(), true);
}

TEST(EngineWalk, CursorOfTheLastNodeInDrawingOrder) {
    auto f = walk(N().cursor(1, 1).fixed({1, 1}).kids({N().cursor(3, 0).done(), N().z(-1).cursor(5, 0).done()}).done());
    EXPECT_EQ(f.cursor, (Position{3, 0}));  // the z -1 child is drawn first
    f = walk(N().at(10, 10, 1, 1).cursor(65535, 65535).done(), 20, 20);
    EXPECT_EQ(f.cursor, (Position{65535, 65535}));
    f = walk(N().cursor(1, 1).hidden().done());
    EXPECT_FALSE(f.cursor);
    f = walk(N().fixed({1, 1}).kids({N().cursor(2, 0).done(), N().content(opaque("!bad")).cursor(4, 0).done()}).done());
    EXPECT_EQ(f.cursor, (Position{2, 0}));  // a failed node yields no cursor
}

TEST(EngineWalk, FailuresAreRecordedAndTheWalkGoesOn) {
    auto f = walk(N().fixed({1, 1, 1})
                      .kids({N().content(opaque("!one")).fixed({1}).kids({N().content(opaque("skipped")).done()}).done(),
                             N().content(opaque("two")).done(), N().content(opaque("!three")).done()})
                      .done());
    EXPECT_TRUE(f.failed);
    EXPECT_EQ(f.rec.painted, (std::vector<std::string>{"!one", "two", "!three"}));
    EXPECT_EQ(f.screen[1], "two     ");
}

TEST(EngineWalk, KeyedAreasLastDrawnWins) {
    auto f = walk(N().fixed({1, 1, 0}).kids({N().key("k").done(), N().key("k").done(), N().key("empty").done()}).done());
    ASSERT_EQ(f.areas.size(), 1u);
    EXPECT_EQ(f.areas.at("k"), (Rect{0, 1, 8, 1}));
}

TEST(EngineWalk, DepthLimit) {
    NodePtr node = N().content(text("deep")).done();
    for (int i = 0; i < 5; ++i) node = N().fixed({3}).kids({node}).done();
    EXPECT_FALSE(walk(node, 8, 3, 6).failed);
    auto f = walk(node, 8, 3, 5);
    EXPECT_TRUE(f.failed);
    EXPECT_EQ(f.rec.too_deep_calls, 1);
    // a very deep chain is released without recursion
    for (int i = 0; i < 300000; ++i) node = N().fixed({1}).kids({node}).done();
    node.reset();
}

TEST(EngineWalk, IrFromAnotherThreadGoesToThePainter) {
    RenderContent c = ir(ir_clear());
    std::thread([&] { c.ir_thread = std::this_thread::get_id(); }).join();
    c.first = std::make_shared<const std::string>("!foreign");
    auto f = walk(N().content(c).done());
    EXPECT_EQ(f.rec.painted, (std::vector<std::string>{"!foreign"}));
}

TEST(EngineIr, MeasureAndOverlay) {
    EXPECT_EQ(measure(ir_span("h\xC3\xA9llo", Style{})), (std::pair<std::uint64_t, std::uint64_t>{5, 1}));
    EXPECT_EQ(measure(ir_text(Text::raw("ab\ncde").lines, Style{}, std::nullopt)), (std::pair<std::uint64_t, std::uint64_t>{3, 2}));
    ListDesc list;
    list.items = {Line::raw("ab"), Line::raw("abcd")};
    EXPECT_EQ(measure(ir_list(list)), (std::pair<std::uint64_t, std::uint64_t>{6, 2}));
    EXPECT_EQ(ir_alignment(7), std::nullopt);
    EXPECT_EQ(ir_alignment(2), Alignment::Right);
    EXPECT_EQ(ir_width_constraint({1, 50.7}), Constraint::percentage(50));
    EXPECT_EQ(ir_width_constraint({0, -3.0}), Constraint::length(0));
    EXPECT_EQ(ir_width_constraint({0, 1e9}), Constraint::length(65535));
    EXPECT_EQ(ir_width_constraint({7, 4.0}), Constraint::length(4));
    EXPECT_EQ(ir_width_constraint({2, 1.0}), Constraint::fill(1));

    Buffer buf = widget_test::filled(6, 2, ".");
    Line wide;
    wide.spans = {Span::raw("\xE4\xB8\x96x"), Span::styled(" y", Style{}.with_added(modifier::BOLD))};
    overlay_glyphs({Line::raw("a b"), wide, Line::raw("zzz")}, Rect{1, 0, 4, 5}, buf);
    EXPECT_EQ(buf.cell_at(1, 0)->symbol_text(), "a");
    EXPECT_EQ(buf.cell_at(2, 0)->symbol_text(), ".");
    EXPECT_EQ(buf.cell_at(2, 1)->symbol_text(), "x");  // one column per character, wide or not
    EXPECT_EQ(buf.cell_at(4, 1)->symbol_text(), "y");
    EXPECT_EQ(buf.cell_at(4, 1)->modifier, modifier::BOLD);
    EXPECT_EQ(buf.cell_at(5, 1)->symbol_text(), ".");
}

TEST(EngineSession, FramesAreasAndTicks) {
    Session s = Session::offscreen(6, 2);
    EXPECT_TRUE(s.is_buffer_backed());
    EXPECT_EQ(s.last_frame_area(), (Rect{0, 0, 6, 2}));
    Recorder rec;
    WalkContext ok(rec);
    s.render(*N().fixed({1, 1}).kids({N().content(text("hi")).key("a").done(), N().content(opaque("cb")).done()}).done(), ok);
    EXPECT_EQ(rows(s.buffer()), (std::vector<std::string>{"hi    ", "cb    "}));
    EXPECT_EQ(s.effect_areas().at("a"), (Rect{0, 0, 6, 1}));
    WalkContext bad(rec);
    s.render(*N().content(opaque("!x")).key("b").done(), bad);
    EXPECT_TRUE(s.effect_areas().count("a"));  // a failed frame keeps the last good areas
    s.close();
    EXPECT_TRUE(s.modes().cursor_visible);
    EXPECT_NE(s.target(), nullptr);  // a buffer-backed session keeps drawing after close

    EXPECT_FALSE(s.time_to_tick(Session::Clock::now()));
    EXPECT_FALSE(s.take_tick(Session::Clock::now()));
    Session ticking(std::make_unique<OffscreenTarget>(1, 1), std::chrono::milliseconds(100));
    const auto t0 = Session::Clock::now();
    EXPECT_FALSE(ticking.take_tick(t0));
    const auto due = ticking.take_tick(t0 + std::chrono::milliseconds(250));
    ASSERT_TRUE(due);
    EXPECT_GE(*due, 250u);
    EXPECT_EQ(ticking.time_to_tick(t0 + std::chrono::milliseconds(300)), std::chrono::milliseconds(50));
    EXPECT_EQ(ticking.take_frame_time(t0 - std::chrono::hours(1)), 0u);
}

TEST(EngineSession, EffectsRunOverTheFrameUntilTheyEnd) {
    Session s = Session::offscreen(4, 1);
    Recorder rec;
    const NodePtr tree = N().content(text("ab")).done();
    const auto red = fx::paint(Color::named(Color::Red), std::nullopt, fx::EffectTimer::from_ms(60000, fx::Interpolation::Linear));
    s.effects().add(red);
    WalkContext first(rec);
    s.render(*tree, first);
    EXPECT_EQ(s.buffer().cell_at(3, 0)->fg, Color::named(Color::Red));
    EXPECT_TRUE(s.effects().is_running());
    // a cancelled key ends after one more frame and leaves that frame as the walk drew it
    s.effects().cancel("k");
    Session plain = Session::offscreen(4, 1);
    plain.effects().cancel("k");
    WalkContext second(rec);
    plain.render(*tree, second);
    EXPECT_FALSE(plain.effects().is_running());
    EXPECT_EQ(plain.buffer().cell_at(0, 0)->fg, Color{});
}

}  // namespace
