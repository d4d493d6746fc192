#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "core/terminal/commands.hpp"
#include "core/io_error.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/size.hpp"

using namespace tarvo::core;
using namespace tarvo::core::term;

// Counts heap allocations made while `g_counting` is set (the encoders must make none).
namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};
}  // namespace

// The replacements pair malloc with free; GCC takes the free in a replaced delete for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t n) {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
// The nothrow forms too (std::stable_sort's temporary buffer uses them): under AddressSanitizer
// they would otherwise come from the sanitizer and be freed by the replacement above.
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    if (g_counting.load(std::memory_order_relaxed)) g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n ? n : 1);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

struct SeqCase {
    Seq seq;
    std::string_view expected;
};

TEST(TerminalCommands, ParametrisedSequences) {
    const SeqCase cases[] = {
        {move_to(0, 0), "\x1b[1;1H"},
        {move_to(5, 2), "\x1b[3;6H"},
        {move_to(65535, 65535), "\x1b[65536;65536H"},
        {move_up(1), "\x1b[1A"},
        {move_up(0), "\x1b[0A"},
        {move_down(65535), "\x1b[65535B"},
        {move_right(12), "\x1b[12C"},
        {move_left(3), "\x1b[3D"},
        {move_to_next_line(2), "\x1b[2E"},
        {move_to_previous_line(9), "\x1b[9F"},
        {move_to_column(65535), "\x1b[65536G"},
        {move_to_column(0), "\x1b[1G"},
        {move_to_row(0), "\x1b[1d"},
        {move_to_row(41), "\x1b[42d"},
        {scroll_up(0), ""},
        {scroll_up(4), "\x1b[4S"},
        {scroll_down(0), ""},
        {scroll_down(10), "\x1b[10T"},
        {push_keyboard_flags(5), "\x1b[>5u"},
        {push_keyboard_flags(15), "\x1b[>15u"},
        {push_keyboard_flags(0xff), "\x1b[>15u"},
        {push_keyboard_flags(0), "\x1b[>0u"},
        {foreground(TermColor::reset()), "\x1b[39m"},
        {background(TermColor::reset()), "\x1b[49m"},
        {foreground(TermColor::indexed(202)), "\x1b[38;5;202m"},
        {background(TermColor::indexed(0)), "\x1b[48;5;0m"},
        {foreground(TermColor::rgb(1, 2, 3)), "\x1b[38;2;1;2;3m"},
        {background(TermColor::rgb(255, 255, 255)), "\x1b[48;2;255;255;255m"},
        {styled_prefix(std::nullopt, std::nullopt, std::nullopt), ""},
        {styled_prefix(TermColor::indexed(10), std::nullopt, std::nullopt), "\x1b[38;5;10m"},
        {styled_prefix(TermColor::indexed(10), std::nullopt, ConsoleAttribute::Bold), "\x1b[38;5;10m\x1b[1m"},
        {styled_prefix(TermColor::rgb(255, 255, 255), TermColor::rgb(255, 255, 255), ConsoleAttribute::Underdashed),
         "\x1b[48;2;255;255;255m\x1b[38;2;255;255;255m\x1b[4:5m"},
        {styled_prefix(TermColor::reset(), TermColor::reset(), std::nullopt), "\x1b[49m\x1b[39m"},
        {styled_suffix(false, false, false), ""},
        {styled_suffix(true, false, false), "\x1b[39m"},
        {styled_suffix(true, true, false), "\x1b[49m\x1b[39m"},
        {styled_suffix(false, true, false), "\x1b[49m"},
        {styled_suffix(true, true, true), "\x1b[0m"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.seq.view(), c.expected);
}

TEST(TerminalCommands, EnumerationTables) {
    const std::string_view clears[] = {"\x1b[2J", "\x1b[3J", "\x1b[J", "\x1b[1J", "\x1b[2K", "\x1b[K"};
    for (int i = 0; i < kClearTypeCount; ++i) EXPECT_EQ(clear(static_cast<ClearType>(i)), clears[i]) << i;
    for (int i = 0; i < kCursorStyleCount; ++i) {
        EXPECT_EQ(cursor_style(static_cast<CursorStyle>(i)).view(), "\x1b[" + std::to_string(i) + " q");
    }
    const std::string_view sgr[] = {"0",  "1",  "2",  "3",  "4",  "4:2", "4:3", "4:4", "4:5", "5",
                                    "6",  "7",  "8",  "9",  "20", "21",  "22",  "23",  "24",  "25",
                                    "27", "28", "29", "51", "52", "53",  "54",  "55"};
    for (int i = 0; i < kConsoleAttributeCount; ++i) {
        const auto a = static_cast<ConsoleAttribute>(i);
        EXPECT_EQ(attribute_sgr(a), sgr[i]) << i;
        EXPECT_EQ(attribute(a).view(), "\x1b[" + std::string(sgr[i]) + "m") << i;
    }
}

TEST(TerminalCommands, ConsoleColours) {
    // Named colours by variant number -> palette index; extras are ignored.
    const int index[] = {-1, 0, 8, 9, 1, 10, 2, 11, 3, 12, 4, 13, 5, 14, 6, 15, 7};
    for (int i = 1; i <= 16; ++i) {
        const auto c = console_color_to_color(static_cast<ConsoleColor>(i), 7, Rgb{1, 2, 3});
        ASSERT_TRUE(c.has_value()) << i;
        EXPECT_EQ(*c, TermColor::indexed(static_cast<std::uint8_t>(index[i]))) << i;
    }
    EXPECT_EQ(console_color_to_color(ConsoleColor::Reset, 7, Rgb{}), TermColor::reset());
    EXPECT_EQ(console_color_to_color(ConsoleColor::AnsiValue, 202, Rgb{1, 2, 3}), TermColor::indexed(202));
    EXPECT_EQ(console_color_to_color(ConsoleColor::AnsiValue, std::nullopt, Rgb{1, 2, 3}), std::nullopt);
    EXPECT_EQ(console_color_to_color(ConsoleColor::Rgb, 5, Rgb{1, 2, 3}), TermColor::rgb(1, 2, 3));
    EXPECT_EQ(console_color_to_color(ConsoleColor::Rgb, 5, std::nullopt), std::nullopt);
}

TEST(TerminalCommands, FixedSequences) {
    EXPECT_EQ(seq::kEnableMouseCapture.size(), 40u);
    EXPECT_EQ(seq::kDisableMouseCapture.size(), 40u);
    std::size_t total = 0;
    for (auto s : kResetSteps) total += s.size();
    EXPECT_EQ(total, 219u);
    EXPECT_EQ(kResetSteps[11].size(), 118u);
    EXPECT_EQ(kResetSteps[2], seq::kDisableMouseCapture);
    EXPECT_EQ(kResetSteps[11].substr(0, 5), "\x1b[!p\x0f");
}

TEST(TerminalCommands, EncodersDoNotAllocate) {
    g_allocations = 0;
    g_counting = true;
    std::size_t n = 0;
    for (std::uint32_t i = 0; i < 65536; i += 997) {
        const auto v = static_cast<std::uint16_t>(i);
        n += move_to(v, v).size() + move_up(v).size() + scroll_down(v).size() + move_to_column(v).size();
        n += styled_prefix(TermColor::rgb(1, 2, 3), TermColor::indexed(static_cast<std::uint8_t>(i)),
                           ConsoleAttribute::Undercurled)
                 .size();
        n += foreground(TermColor::rgb(255, 0, 9)).size() + push_keyboard_flags(static_cast<std::uint8_t>(i)).size();
    }
    g_counting = false;
    EXPECT_GT(n, 0u);
    EXPECT_EQ(g_allocations.load(), 0);
}

TEST(TerminalRawMode, MakeRawClearsAndSetsTheRawFlags) {
    termios t{};
    t.c_iflag = IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IUTF8;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ECHO | ECHONL | ICANON | ISIG | IEXTEN | ECHOE;
    t.c_cflag = CS7 | PARENB | CREAD;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 5;
    t.c_cc[VINTR] = 3;
    const termios r = make_raw(t);
    EXPECT_EQ(r.c_iflag, static_cast<tcflag_t>(IUTF8));
    EXPECT_EQ(r.c_oflag, static_cast<tcflag_t>(ONLCR));
    EXPECT_EQ(r.c_lflag, static_cast<tcflag_t>(ECHOE));
    EXPECT_EQ(r.c_cflag, static_cast<tcflag_t>(CS8 | CREAD));
    EXPECT_EQ(r.c_cc[VMIN], 1);
    EXPECT_EQ(r.c_cc[VTIME], 0);
    EXPECT_EQ(r.c_cc[VINTR], 3);
}

TEST(TerminalSize, TputNumbers) {
    const std::pair<std::string_view, std::optional<std::uint16_t>> cases[] = {
        {"80\n", 80}, {"  132 \r\n", 132}, {"+7", 7}, {"0", 0}, {"65535", 65535}, {"65536", std::nullopt},
        {"", std::nullopt}, {"\n", std::nullopt}, {"8 0", std::nullopt}, {"-1", std::nullopt},
        {"80x", std::nullopt}, {"+", std::nullopt}, {"99999999999", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parse_tput_number(text), expected) << text;
}

// ---- the buffered stream over a pipe ----

struct Pipe {
    int r = -1, w = -1;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == 0) {
            r = fds[0];
            w = fds[1];
        }
    }
    ~Pipe() {
        if (r >= 0) ::close(r);
        if (w >= 0) ::close(w);
    }
    // Everything readable now (the write end must be non-blocking-safe: we only read what is there).
    std::string drain() {
        std::string out;
        ::fcntl(r, F_SETFL, O_NONBLOCK);
        char buf[4096];
        for (ssize_t n; (n = ::read(r, buf, sizeof buf)) > 0;) out.append(buf, static_cast<std::size_t>(n));
        return out;
    }
};

TEST(TerminalOutput, BuffersUntilFlushAndKeepsOrder) {
    Pipe p;
    OutputStream out(p.w, 16);
    out.write("abc");
    out.write({"de", "", "f"});
    EXPECT_EQ(p.drain(), "");
    EXPECT_EQ(out.lock().pending(), 6u);
    out.write("0123456789xyz");  // does not fit: the buffer is drained first, then it is kept
    EXPECT_EQ(p.drain(), "abcdef");
    out.write(std::string(40, 'L'));  // larger than the buffer: straight through
    EXPECT_EQ(p.drain(), "0123456789xyz" + std::string(40, 'L'));
    out.send({"<", move_to(1, 1), ">"});
    EXPECT_EQ(p.drain(), "<\x1b[2;2H>");
    out.flush();  // nothing pending: no write
    EXPECT_EQ(p.drain(), "");
}

TEST(TerminalOutput, LargeWritesArriveWholeThroughShortWrites) {
    Pipe p;
    OutputStream out(p.w, 1024);
    std::string big;
    for (int i = 0; i < 300000; ++i) big.push_back(static_cast<char>('a' + i % 26));
    std::string got;
    std::thread reader([&] {
        char buf[8192];
        while (got.size() < big.size()) {
            const ssize_t n = ::read(p.r, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
    });
    out.send(big);  // far more than a pipe holds: the kernel takes it in pieces
    reader.join();
    EXPECT_EQ(got, big);
}

TEST(TerminalOutput, FailuresCarryTheSystemTextAndDropTheBytes) {
    ::signal(SIGPIPE, SIG_IGN);
    {
        Pipe p;
        ::close(p.r);
        p.r = -1;
        OutputStream out(p.w);
        out.write("x");
        try {
            out.flush();
            FAIL() << "flush into a pipe without a reader succeeded";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "Broken pipe (os error 32)");
            EXPECT_EQ(e.code(), EPIPE);
        }
        EXPECT_EQ(out.lock().pending(), 0u);
        out.flush();  // the failed bytes are gone: nothing left to write
    }
    {
        const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        ::close(fd);
        OutputStream out(fd);
        try {
            out.send("\x1b[?25h");
            FAIL() << "write to a closed descriptor succeeded";
        } catch (const IoError& e) {
            EXPECT_STREQ(e.what(), "Bad file descriptor (os error 9)");
        }
    }
    {
        const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            OutputStream out(fd);
            EXPECT_THROW(out.send("abc"), IoError);
            ::close(fd);
        }
    }
}

// Runs `f` with descriptor 1 on a fresh pipe (or closed) and returns what reached it.
template <typename F>
std::string with_stdout(bool closed, F&& f) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    Pipe p;
    if (closed) {
        ::close(STDOUT_FILENO);
    } else {
        ::dup2(p.w, STDOUT_FILENO);
    }
    f();
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return p.drain();
}

TEST(TerminalRestore, ResetWritesTheTwelveStepsInOrder) {
    std::string expected;
    for (auto s : kResetSteps) expected.append(s);
    EXPECT_EQ(with_stdout(false, [] { reset_terminal_modes(); }), expected);
    EXPECT_EQ(with_stdout(true, [] { reset_terminal_modes(); }), "");
    // The closed descriptor left nothing behind for the next writer.
    EXPECT_EQ(with_stdout(false, [] { stdout_stream().send("ok"); }), "ok");
}

}  // namespace
