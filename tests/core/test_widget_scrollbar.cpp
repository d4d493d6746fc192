#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/widgets/scrollbar.hpp"

using namespace tarvo::core;
using Lines = std::vector<std::string>;

namespace {

ScrollbarState state_of(std::uint64_t length, std::uint64_t position, std::uint64_t viewport = 0) {
    return ScrollbarState{length, position, viewport};
}

// A horizontal bar with ASCII symbols, arrows optional.
Scrollbar ascii(bool arrows) {
    Scrollbar s{ScrollbarOrientation::HorizontalTop, std::string(1, '#'), std::string(1, '-'),
                std::nullopt, std::nullopt, Style{}, Style{}, Style{}, Style{}};
    if (arrows) {
        s.begin_symbol.emplace(1, '<');
        s.end_symbol.emplace(1, '>');
    }
    return s;
}

std::string draw_row(const Scrollbar& s, std::uint16_t width, const ScrollbarState& state) {
    Buffer buf = Buffer::empty(Rect{0, 0, width, 1});
    s.render(buf.area, buf, state);
    return buf.to_string_lines()[0];
}

}  // namespace

TEST(ScrollbarWidget, ThumbFollowsPosition) {
    struct Case {
        bool arrows;
        std::uint64_t position, length, viewport;
        std::uint16_t width;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {false, 0, 2, 0, 2, "#-"},
        {false, 1, 2, 0, 2, "-#"},
        {false, 0, 10, 0, 10, "#####-----"},
        {false, 1, 10, 0, 10, "-#####----"},
        {false, 4, 10, 0, 10, "--#####---"},
        {false, 9, 10, 0, 10, "-----#####"},
        {false, 0, 1, 0, 10, "##########"},
        {false, 1, 2, 0, 10, "-#########"},
        {true, 0, 10, 0, 10, "<####---->"},
        {true, 1, 10, 0, 10, "<#####--->"},
        {true, 8, 10, 0, 10, "<---#####>"},
        {true, 9, 10, 0, 10, "<----####>"},
        {true, 500, 10, 0, 10, "<----####>"},
        {true, UINT64_MAX, UINT64_MAX, 0, 10, "<-------#>"},
        {false, 4, 10, 2, 10, "----#-----"},
        {false, 6, 10, 2, 10, "-----##---"},
        {false, 10, 10, 2, 10, "--------##"},
        {false, 20, 100, 2, 5, "-#---"},
        {false, 90, 100, 2, 5, "----#"},
        {false, 0, 0, 0, 10, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(draw_row(ascii(c.arrows), c.width, state_of(c.length, c.position, c.viewport)), c.expected)
            << c.position << "/" << c.length;
    }
}

TEST(ScrollbarWidget, FourOrientationsWithDefaultSymbols) {
    const ScrollbarState state = state_of(10, 0);
    struct Case {
        ScrollbarOrientation o;
        Rect area;
        Lines expected;
    };
    const std::vector<Case> cases = {
        {ScrollbarOrientation::VerticalRight, {0, 0, 3, 5}, {"  ▲", "  █", "  ║", "  ║", "  ▼"}},
        {ScrollbarOrientation::VerticalLeft, {1, 0, 3, 5}, {" ▲", " █", " ║", " ║", " ▼"}},
        {ScrollbarOrientation::HorizontalBottom, {0, 0, 5, 4}, {"", "", "", "◄█══►", ""}},
        {ScrollbarOrientation::HorizontalTop, {0, 1, 5, 4}, {"", "◄█══►", "", "", ""}},
    };
    for (const Case& c : cases) {
        Buffer buf = Buffer::empty(Rect{0, 0, 5, 5});
        Scrollbar::make(c.o).render(c.area, buf, state);
        EXPECT_EQ(buf.to_string_lines(), c.expected) << static_cast<int>(c.o);
    }
}

TEST(ScrollbarWidget, PartStylesAndEmptyArrow) {
    Scrollbar s = Scrollbar::make(ScrollbarOrientation::HorizontalBottom);
    Style red, blue, green, yellow;
    red.fg = Color::named(Color::Red);
    blue.fg = Color::named(Color::Blue);
    green.fg = Color::named(Color::Green);
    yellow.fg = Color::named(Color::Yellow);
    s.begin_style = red;
    s.track_style = blue;
    s.thumb_style = green;
    s.end_style = yellow;
    Buffer buf = Buffer::empty(Rect{0, 0, 6, 1});
    s.render(buf.area, buf, state_of(4, 3));
    EXPECT_EQ(buf.to_string_lines(), Lines{"◄═███►"});
    const Color::Tag want[] = {Color::Red, Color::Blue, Color::Green, Color::Green, Color::Green, Color::Yellow};
    for (std::uint16_t x = 0; x < 6; ++x) EXPECT_EQ(buf.cell_at(x, 0)->fg.tag, want[x]) << x;

    s.set_style(red);
    EXPECT_EQ(s.thumb_style, red);
    EXPECT_EQ(s.end_style, red);

    // An empty arrow takes no track room but still takes its turn in the sequence, so the
    // end arrow falls off the bar.
    Scrollbar e = ascii(true);
    e.begin_symbol = "";
    EXPECT_EQ(draw_row(e, 6, state_of(2, 0)), " ####-");
}

TEST(ScrollbarWidget, NothingDrawnWithoutContentOrRoom) {
    Scrollbar s = ascii(true);
    Buffer buf = Buffer::empty(Rect{0, 0, 10, 10});
    s.render(Rect{0, 0, 10, 0}, buf, state_of(10, 0));
    s.render(Rect{0, 0, 0, 10}, buf, state_of(10, 0));
    s.render(Rect{0, 0, 2, 1}, buf, state_of(10, 0));  // only the arrows fit
    s.render(buf.area, buf, state_of(0, 0));
    Scrollbar v = Scrollbar::make(ScrollbarOrientation::VerticalRight);
    v.render(Rect{0, 0, 0, 10}, buf, state_of(10, 0));  // a track but no column
    EXPECT_EQ(buf, Buffer::empty(buf.area));

    // An area reaching past the buffer writes only the cells inside it.
    v.render(Rect{8, 8, 100, 100}, buf, state_of(10, 0));
    EXPECT_EQ(buf, Buffer::empty(buf.area));
    Scrollbar h = Scrollbar::make(ScrollbarOrientation::HorizontalTop);
    h.render(Rect{8, 9, 100, 100}, buf, state_of(10, 0));
    EXPECT_EQ(buf.to_string_lines().back(), "        ◄█");
}

TEST(ScrollbarWidget, StateSteps) {
    ScrollbarState s = state_of(0, 0);
    s.last();
    EXPECT_EQ(s.position, 0u);
    s.next();
    EXPECT_EQ(s.position, 0u);

    s = state_of(10, 0);
    for (int i = 0; i < 10; ++i) s.next();
    EXPECT_EQ(s.position, 9u);
    s.first();
    s.prev();
    EXPECT_EQ(s.position, 0u);
    s.last();
    EXPECT_EQ(s.position, 9u);

    s.position = 100;
    s.prev();
    EXPECT_EQ(s.position, 99u);
    s.next();
    EXPECT_EQ(s.position, 9u);
    s.position = UINT64_MAX;
    s.content_length = UINT64_MAX;
    s.scroll(ScrollDirection::Forward);
    EXPECT_EQ(s.position, UINT64_MAX - 1);
    s.scroll(ScrollDirection::Backward);
    EXPECT_EQ(s.position, UINT64_MAX - 2);
}
