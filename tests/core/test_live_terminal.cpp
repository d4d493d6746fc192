#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/terminal/hooks.hpp"
#include "core/terminal/terminal.hpp"
#include "core/terminal/viewport.hpp"

using namespace tarvo::core;
using namespace tarvo::core::terminal;

namespace {

// A terminal that records what is written; its size and cursor are set by the test.
struct FakeIo final : TerminalIo {
    Size screen{10, 4};
    Position cursor{0, 0};
    std::string data;
    int flushes = 0;
    int cursor_queries = 0;
    bool fail_writes = false;
    void write(std::string_view b) override {
        if (fail_writes) throw std::runtime_error("Broken pipe (os error 32)");
        data.append(b);
    }
    void flush() override { ++flushes; }
    Size size() override { return screen; }
    Position cursor_position() override {
        ++cursor_queries;
        return cursor;
    }
    std::string take() { return std::exchange(data, {}); }
};

void put(LiveTerminal& t, std::uint16_t x, std::uint16_t y, const char* text, Style s = {}) {
    t.current_buffer().set_string(x, y, text, s);
}

std::vector<std::string> shown(const LiveTerminal& t) { return t.previous_buffer().to_string_lines(); }

TEST(LiveTerminal, FullScreenFrames) {
    FakeIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    EXPECT_EQ(io.take(), "");  // a full-screen terminal writes nothing when it starts
    EXPECT_EQ(t.viewport_area(), (Rect{0, 0, 10, 4}));

    // first frame, nothing drawn: only the cursor state
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[?25l");
    EXPECT_EQ(t.frame_count(), 1u);
    EXPECT_TRUE(t.cursor_hidden());

    put(t, 1, 1, "hi");
    t.finish_frame(Position{3, 2});
    EXPECT_EQ(io.take(), "\x1b[2;2Hhi\x1b[?25h\x1b[3;4H");
    EXPECT_FALSE(t.cursor_hidden());
    EXPECT_EQ(t.last_known_cursor(), (Position{3, 2}));
    EXPECT_EQ(shown(t), (std::vector<std::string>{"", " hi", "", ""}));
    EXPECT_TRUE(t.current_buffer() == Buffer::empty(t.viewport_area()));  // the next frame starts blank

    // the same frame again, in a synchronized update: the pair and the cursor state only
    put(t, 1, 1, "hi");
    t.finish_frame(std::nullopt, kEndSynchronizedUpdate);
    EXPECT_EQ(io.take(), "\x1b[?25l\x1b[?2026l");

    // one changed cell, styled
    Style red;
    red.fg = Color::named(Color::Red);
    put(t, 1, 1, "ho", red);
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[2;2H\x1b[38;5;1mho\x1b[0m\x1b[?25l");
    EXPECT_EQ(t.last_known_cursor(), (Position{2, 1}));
    EXPECT_EQ(t.frame_count(), 4u);

    // an empty frame erases what the last one showed
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[2;2H  \x1b[?25l");
}

TEST(LiveTerminal, FailedWriteKeepsBuffersAndCount) {
    FakeIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    put(t, 0, 0, "ab");
    io.fail_writes = true;
    EXPECT_THROW(t.finish_frame(std::nullopt), std::runtime_error);
    EXPECT_EQ(t.frame_count(), 0u);
    EXPECT_EQ(t.current_buffer().to_string_lines()[0], "ab");
    io.fail_writes = false;
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[1;1Hab\x1b[?25l");
}

TEST(LiveTerminal, NothingResizesOrSwapsALentBuffer) {
    FakeIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    {
        auto loan = t.lend_current();
        loan.access().get()->set_string(0, 0, "ab", Style{});
        io.screen = Size{20, 8};
        EXPECT_THROW(t.autoresize(), InUse);
        EXPECT_THROW(t.finish_frame(std::nullopt), InUse);
        EXPECT_THROW(t.current_buffer(), InUse);
        EXPECT_EQ(t.frame_count(), 0u);
        EXPECT_EQ(io.take(), "");
    }
    t.autoresize();
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[2J\x1b[1;1Hab\x1b[?25l");
}

TEST(LiveTerminal, ClearFlushAndCursorCommands) {
    FakeIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    put(t, 0, 0, "abc");
    t.finish_frame(std::nullopt);
    io.take();

    // flush: the blank current buffer against the frame shown, not flushed, no cursor
    const int flushes = io.flushes;
    t.flush();
    EXPECT_EQ(io.take(), "\x1b[1;1H   ");
    EXPECT_EQ(io.flushes, flushes);

    io.cursor = Position{4, 3};
    t.clear();
    EXPECT_EQ(io.take(), "\x1b[2J\x1b[4;5H");
    EXPECT_EQ(io.cursor_queries, 1);
    put(t, 0, 0, "abc");
    t.finish_frame(std::nullopt);  // everything drawn again after a clear
    EXPECT_EQ(io.take(), "\x1b[1;1Habc\x1b[?25l");

    t.show_cursor();
    t.set_cursor_position(Position{65535, 65535});
    t.hide_cursor();
    EXPECT_EQ(io.take(), "\x1b[?25h\x1b[65536;65536H\x1b[?25l");
    EXPECT_TRUE(t.cursor_hidden());
}

TEST(LiveTerminal, DropShowsAHiddenCursor) {
    FakeIo io;
    {
        LiveTerminal t(io, Viewport::fullscreen());
        t.finish_frame(std::nullopt);
        io.take();
    }
    EXPECT_EQ(io.take(), "\x1b[?25h");
    {
        LiveTerminal t(io, Viewport::fullscreen());
        t.finish_frame(Position{0, 0});
        io.take();
    }
    EXPECT_EQ(io.take(), "");
}

TEST(LiveTerminal, FullScreenResize) {
    FakeIo io;
    LiveTerminal t(io, Viewport::fullscreen());
    put(t, 0, 0, "abc");
    t.finish_frame(std::nullopt);
    io.take();
    t.autoresize();
    EXPECT_EQ(io.take(), "");  // same size: nothing

    io.screen = Size{12, 5};  // wider
    t.autoresize();
    EXPECT_EQ(io.take(), "\x1b[2J");
    EXPECT_EQ(t.viewport_area(), (Rect{0, 0, 12, 5}));
    EXPECT_EQ(t.current_buffer().area, t.viewport_area());
    put(t, 0, 0, "abc");
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[1;1Habc\x1b[?25l");

    io.screen = Size{6, 5};  // narrower: the whole screen is cleared twice
    t.autoresize();
    EXPECT_EQ(io.take(), "\x1b[2J\x1b[2J");
    EXPECT_EQ(t.last_known_area(), (Rect{0, 0, 6, 5}));
    EXPECT_EQ(t.current_buffer().content.size(), 30u);
}

struct PlaceCase {
    std::uint16_t height, rows, cursor_row, offset;
    std::uint32_t line_feeds;
    std::uint16_t top, vp_height;
};

TEST(InlineViewport, Placement) {
    const PlaceCase cases[] = {
        {6, 24, 20, 0, 5, 18, 6},   // near the bottom: the screen scrolls 2 rows
        {6, 24, 2, 0, 5, 2, 6},     // room enough below
        {6, 24, 18, 0, 5, 18, 6},   // exactly enough room
        {6, 24, 23, 0, 5, 18, 6},   // on the last row
        {1, 24, 23, 0, 0, 23, 1},   // one row needs no line feed
        {0, 24, 5, 0, 0, 5, 0},     // an empty viewport
        {30, 24, 10, 0, 29, 0, 24}, // taller than the screen
        {6, 24, 20, 2, 3, 18, 6},   // the cursor 2 rows into the old viewport
        {6, 24, 1, 3, 2, 0, 6},     // an offset beyond the cursor row saturates
    };
    for (const auto& c : cases) {
        const InlinePlacement p = place_inline(c.height, Size{80, c.rows}, c.cursor_row, c.offset);
        EXPECT_EQ(p.line_feeds, c.line_feeds) << c.height << "@" << c.cursor_row;
        EXPECT_EQ(p.area, (Rect{0, c.top, 80, c.vp_height})) << c.height << "@" << c.cursor_row;
    }
}

TEST(InlineViewport, FramesClearAndResize) {
    FakeIo io;
    io.screen = Size{10, 8};
    io.cursor = Position{3, 6};
    LiveTerminal t(io, Viewport::inline_rows(3));
    EXPECT_EQ(io.take(), "\n\n");  // room for 3 rows from row 6 of 8: one row scrolled
    EXPECT_EQ(t.viewport_area(), (Rect{0, 5, 10, 3}));
    EXPECT_EQ(t.last_known_cursor(), (Position{3, 6}));

    put(t, 0, 5, "top");
    put(t, 0, 7, "end");
    t.finish_frame(std::nullopt);
    EXPECT_EQ(io.take(), "\x1b[6;1Htop\x1b[8;1Hend\x1b[?25l");
    EXPECT_EQ(t.last_known_cursor(), (Position{2, 7}));

    io.cursor = Position{0, 1};
    t.clear();
    EXPECT_EQ(io.take(), "\x1b[6;1H\x1b[J\x1b[2;1H");

    // a taller screen: placed again from the cursor with the last frame's row offset
    io.screen = Size{10, 12};
    io.cursor = Position{0, 7};
    t.autoresize();
    EXPECT_EQ(t.viewport_area(), (Rect{0, 5, 10, 3}));
    EXPECT_EQ(io.take(), "\x1b[6;1H\x1b[J\x1b[8;1H");

    // a narrower screen: the band starts at the top of a cleared screen
    io.screen = Size{8, 12};
    io.cursor = Position{0, 9};
    t.autoresize();
    EXPECT_EQ(t.viewport_area(), (Rect{0, 0, 8, 3}));
    EXPECT_EQ(io.take(), "\x1b[2J\x1b[1;1H\x1b[J\x1b[10;1H");
}

TEST(RestoreHooks, RunNewestFirstAndTruncate) {
    std::string log;
    const std::size_t base = restore_hook_depth();
    const std::size_t a = push_restore_hook([&] { log += 'a'; });
    push_restore_hook([&] { throw std::runtime_error("write failed"); });
    const std::size_t c = push_restore_hook([&] { log += 'c'; });
    EXPECT_EQ(a, base);
    EXPECT_EQ(c, base + 2);
    run_restore_hooks();
    EXPECT_EQ(log, "ca");  // the throwing hook stops nothing
    truncate_restore_hooks(c);
    run_restore_hooks();
    EXPECT_EQ(log, "caa");
    truncate_restore_hooks(a);
    EXPECT_EQ(restore_hook_depth(), base);
    run_restore_hooks();
    EXPECT_EQ(log, "caa");
}

TEST(RestoreHooks, TerminationRestoreIsCounted) {
    EXPECT_FALSE(termination_restore_armed());
    arm_termination_restore("\x1b[?1049l");
    arm_termination_restore("ignored while armed");
    disarm_termination_restore();
    EXPECT_TRUE(termination_restore_armed());
    disarm_termination_restore();
    EXPECT_FALSE(termination_restore_armed());
    disarm_termination_restore();  // more disarms than arms change nothing
    EXPECT_FALSE(termination_restore_armed());
}

}  // namespace
