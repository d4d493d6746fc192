#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "core/io_error.hpp"
#include "core/terminal/input.hpp"

namespace {

using namespace tarvo::core::terminal;
using tarvo::core::IoError;

// A reader over two pipes: one carries terminal bytes, the other stands for the window-change pipe.
struct PipeReader {
    int input[2];
    int wake[2];
    std::optional<InputReader> reader;

    PipeReader() {
        EXPECT_EQ(::pipe2(input, O_CLOEXEC), 0);
        EXPECT_EQ(::pipe2(wake, O_CLOEXEC | O_NONBLOCK), 0);
        InputReader::Hooks hooks{[] { return std::pair<std::uint16_t, std::uint16_t>(120, 40); }, [] { return true; }};
        reader.emplace(EventSource(input[0], wake[0], false), std::move(hooks));
    }
    ~PipeReader() {
        for (int fd : {input[0], input[1], wake[0], wake[1]})
            if (fd >= 0) ::close(fd);
    }
    void send(const std::string& bytes) { ASSERT_EQ(::write(input[1], bytes.data(), bytes.size()), ssize_t(bytes.size())); }
    void hang_up() {
        ::close(input[1]);
        input[1] = -1;
    }
    void window_change() { ASSERT_EQ(::write(wake[1], "x", 1), 1); }
    std::optional<InputItem> next(Want want, std::uint64_t ms = 1000) {
        if (!reader->poll(Deadline::after_ms(ms), want, false)) return std::nullopt;
        return reader->try_take(want);
    }
};

char32_t key_char(const std::optional<InputItem>& item) {
    return item && item->kind == InputItem::Kind::Event && item->event.kind == EventKind::Key ? item->event.key.code.ch()
                                                                                              : 0;
}

TEST(TerminalInput, EventsAndRepliesKeepTheirOrder) {
    PipeReader p;
    p.send("a\x1b[12;40Rb\x1b[?1u\x1b[?62c");
    EXPECT_EQ(key_char(p.next(Want::Event)), U'a');
    // The query's wait finds its reply behind the key and leaves the rest queued.
    auto report = p.next(Want::CursorReport);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->column, 39);
    EXPECT_EQ(report->row, 11);
    EXPECT_EQ(key_char(p.next(Want::Event)), U'b');
    EXPECT_FALSE(p.next(Want::Event, 0));
    auto flags = p.next(Want::FlagsOrAttributes);
    ASSERT_TRUE(flags);
    EXPECT_EQ(flags->kind, InputItem::Kind::FlagsReport);
    EXPECT_EQ(p.next(Want::DeviceAttributes)->kind, InputItem::Kind::DeviceAttributes);
    EXPECT_EQ(p.reader->queued(), 0u);
}

TEST(TerminalInput, RawModeDecidesLineFeed) {
    PipeReader p;
    p.send("\n");
    auto item = p.next(Want::Event);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->event.key.code.ch(), U'j');
    EXPECT_EQ(item->event.key.modifiers, key_modifiers::CONTROL);
}

TEST(TerminalInput, WindowChangeBecomesResize) {
    PipeReader p;
    p.window_change();
    p.window_change();  // two signals before the wait: one Resize
    auto item = p.next(Want::Event);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->event, TerminalEvent::resize(120, 40));
    EXPECT_FALSE(p.next(Want::Event, 0));
    // A resize during a query's wait is kept for the event waits.
    p.window_change();
    EXPECT_FALSE(p.next(Want::CursorReport, 20));
    EXPECT_EQ(p.next(Want::Event, 0)->event.kind, EventKind::Resize);
}

TEST(TerminalInput, TimeoutsAndUnfinishedSequences) {
    PipeReader p;
    EXPECT_FALSE(p.reader->poll(Deadline::after_ms(0), Want::Event, false));
    EXPECT_FALSE(p.reader->poll(Deadline::after_ms(15), Want::Event, false));
    // A sequence cut short does not hold a timed wait beyond its time.
    p.send("\x1b[1;5");
    EXPECT_FALSE(p.reader->poll(Deadline::after_ms(15), Want::Event, false));
    p.send("A");
    auto up = p.next(Want::Event);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->event.key.code, KeyCode::of(KeyTag::Up));
    EXPECT_EQ(up->event.key.modifiers, key_modifiers::CONTROL);
}

TEST(TerminalInput, HungUpTerminalFailsInsteadOfSpinning) {
    PipeReader p;
    p.send("z");
    p.hang_up();
    EXPECT_EQ(key_char(p.next(Want::Event)), U'z');  // what came before the hang-up is delivered
    EXPECT_THROW(p.reader->poll(Deadline::after_ms(1000), Want::Event, false), IoError);
    EXPECT_THROW(p.reader->poll(Deadline::forever(), Want::Event, true), IoError);
}

TEST(TerminalInput, NoSourceFailsAtOnce) {
    InputReader reader(std::nullopt, {});
    try {
        reader.poll(Deadline::forever(), Want::Event, true);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.text(), "Failed to initialize input reader");
    }
    EXPECT_FALSE(reader.has_source());
}

TEST(TerminalInput, DiscardDropsOnlyStaleReplies) {
    PipeReader p;
    p.send("\x1b[1;1Rk\x1b[5;5R");
    p.reader->discard(Want::CursorReport);
    EXPECT_EQ(p.reader->queued(), 1u);
    EXPECT_EQ(key_char(p.next(Want::Event, 0)), U'k');
    // Replies behind more than one read's worth of input go too; the input stays, in order.
    std::string many(3000, 'm');
    p.send(many + "\x1b[7;7R" + "n");
    p.reader->discard(Want::CursorReport);
    EXPECT_EQ(p.reader->queued(), many.size() + 1);
    EXPECT_FALSE(p.next(Want::CursorReport, 0));
}

TEST(TerminalInput, DeadlinesSaturate) {
    // timeout in ms, unbounded, poll(2) timeout bounds
    const std::vector<std::tuple<std::uint64_t, bool, int, int>> cases = {
        {0, false, 0, 0},
        {5, false, 1, 5},
        {2000, false, 1990, 2000},
        {std::uint64_t(INT_MAX) + 10, false, INT_MAX, INT_MAX},
        {std::uint64_t(INT64_MAX), true, -1, -1},
        {UINT64_MAX, true, -1, -1},
    };
    for (const auto& [ms, never, lo, hi] : cases) {
        const Deadline d = Deadline::after_ms(ms);
        EXPECT_EQ(d.never, never) << ms;
        EXPECT_GE(d.poll_timeout(), lo) << ms;
        EXPECT_LE(d.poll_timeout(), hi) << ms;
    }
    EXPECT_FALSE(Deadline::forever().passed());
}

}  // namespace
