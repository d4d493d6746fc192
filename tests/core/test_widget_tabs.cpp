#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/widgets/clear.hpp"
#include "core/widgets/tabs.hpp"

using namespace tarvo::core;
using Rows = std::vector<std::string>;

namespace {

Tabs three() { return Tabs::of({Line::raw("Tab1"), Line::raw("Tab2"), Line::raw("Tab3")}); }

Buffer drawn(const Tabs& t, std::uint16_t w, std::uint16_t h = 1) {
    Buffer buf = Buffer::empty(Rect{0, 0, w, h});
    t.render(buf.area, buf);
    return buf;
}

// The columns of the buffer's first row whose cells carry REVERSED.
std::string reversed_columns(const Buffer& buf) {
    std::string out;
    for (std::uint32_t x = buf.area.x; x < buf.area.right(); ++x)
        out += (buf.cell_at(x, buf.area.y)->modifier & modifier::REVERSED) ? '^' : '.';
    return out;
}

}  // namespace

TEST(TabsRender, PaddingDividerAndHighlight) {
    struct Case {
        const char* what;
        Tabs tabs;
        std::uint16_t width;
        std::string row;
        std::string highlight;
    };
    Tabs second = three();
    second.selected = 1;
    Tabs bare = three();
    bare.divider = Span::raw(" | ");
    bare.padding_left = Line::raw("");
    bare.padding_right = Line::raw("");
    Tabs arrows = three();
    arrows.padding_left = Line::raw("->");
    arrows.padding_right = Line::raw("<-");
    arrows.selected = 2;
    Tabs out_of_range = three();
    out_of_range.selected = 10;
    Tabs none = three();
    none.selected.reset();
    const std::vector<Case> cases = {
        {"defaults", three(), 20, " Tab1 │ Tab2 │ Tab3", ".^^^^..............."},
        {"second selected", second, 20, " Tab1 │ Tab2 │ Tab3", "........^^^^........"},
        {"custom divider, no padding", bare, 18, "Tab1 | Tab2 | Tab3", "^^^^.............."},
        {"custom padding", arrows, 26, "->Tab1<-│->Tab2<-│->Tab3<-", "....................^^^^.."},
        {"selection beyond the titles", out_of_range, 20, " Tab1 │ Tab2 │ Tab3", "...................."},
        {"no selection", none, 20, " Tab1 │ Tab2 │ Tab3", "...................."},
        {"cut after a divider", three(), 8, " Tab1 │", ".^^^^..."},
        {"cut inside a title", three(), 3, " Ta", ".^^"},
        {"no titles", Tabs::of({}), 5, "", "....."},
    };
    for (const Case& c : cases) {
        const Buffer buf = drawn(c.tabs, c.width);
        EXPECT_EQ(buf.to_string_lines(), Rows{c.row}) << c.what;
        EXPECT_EQ(reversed_columns(buf), c.highlight) << c.what;
    }
}

TEST(TabsRender, StylesBlockAndClipping) {
    Tabs t = three();
    t.style.fg = Color::named(Color::Green);
    t.highlight_style = Style{}.with_added(modifier::BOLD);
    t.highlight_style.fg = Color::named(Color::Yellow);
    t.block = Block::bordered();
    const Buffer buf = drawn(t, 12, 3);
    EXPECT_EQ(buf.to_string_lines(), Rows({"┌──────────┐", "│ Tab1 │ Ta│", "└──────────┘"}));
    EXPECT_EQ(buf.cell_at(0, 0)->fg.tag, Color::Green);  // the style covers the whole area
    EXPECT_EQ(buf.cell_at(2, 1)->fg.tag, Color::Yellow);
    EXPECT_EQ(buf.cell_at(2, 1)->modifier, modifier::BOLD);
    EXPECT_EQ(buf.cell_at(9, 1)->fg.tag, Color::Green);
    EXPECT_EQ(buf.cell_at(9, 1)->modifier, 0);

    // An area reaching past the buffer draws what falls inside it.
    Buffer small = Buffer::empty(Rect{0, 0, 6, 1});
    three().render(Rect{2, 0, 20, 1}, small);
    EXPECT_EQ(small.to_string_lines(), Rows({"   Tab"}));
    Buffer far = Buffer::empty(Rect{0, 0, 6, 1});
    const Buffer before = far;
    three().render(Rect{0, 3, 6, 1}, far);
    three().render(Rect{0, 0, 0, 1}, far);
    EXPECT_EQ(far, before);
}

TEST(TabsRender, AreaIsCutToTheBufferFirst) {
    // An area that starts left of the buffer draws the bar from the buffer's first column.
    Buffer left = Buffer::empty(Rect{5, 0, 10, 1});
    three().render(Rect{0, 0, 15, 1}, left);
    EXPECT_EQ(left.to_string_lines(), Rows({" Tab1 │ Ta"}));
    EXPECT_EQ(reversed_columns(left), ".^^^^.....");
    // Above the buffer: the bar takes the first row inside it.
    Buffer above = Buffer::empty(Rect{0, 2, 6, 2});
    three().render(Rect{0, 0, 6, 4}, above);
    EXPECT_EQ(above.to_string_lines(), Rows({" Tab1", ""}));
    // A block cut by the buffer's right edge keeps its right border: the bar stops inside it.
    Tabs framed = three();
    framed.block = Block::bordered();
    Buffer right = Buffer::empty(Rect{0, 0, 10, 3});
    framed.render(Rect{0, 0, 30, 3}, right);
    EXPECT_EQ(right.to_string_lines(), Rows({"┌────────┐", "│ Tab1 │ │", "└────────┘"}));
}

TEST(TabsTitles, ReplacingTitlesKeepsTheSelectionInRange) {
    struct Case {
        std::optional<std::size_t> before;
        std::size_t count;
        std::optional<std::size_t> after;
    };
    const std::vector<Case> cases = {
        {2, 1, 0}, {2, 5, 2}, {std::nullopt, 2, 0}, {1, 0, std::nullopt}, {std::nullopt, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        Tabs t = three();
        t.selected = c.before;
        t.set_titles(std::vector<Line>(c.count, Line::raw("x")));
        EXPECT_EQ(t.selected, c.after);
    }
    EXPECT_EQ(Tabs::of({}).selected, std::nullopt);
    EXPECT_EQ(three().selected, 0u);
}

TEST(ClearRender, BlanksExactlyTheAreaInsideTheBuffer) {
    Cell x;
    x.set_symbol("x");
    x.fg = Color::named(Color::Red);
    x.modifier = modifier::BOLD;
    Buffer buf = Buffer::filled(Rect{0, 0, 4, 3}, x);
    Clear{}.render(Rect{1, 1, 2, 5}, buf);
    EXPECT_EQ(buf.to_string_lines(), Rows({"xxxx", "x  x", "x  x"}));
    EXPECT_EQ(*buf.cell_at(1, 1), Cell{});
    EXPECT_EQ(buf.cell_at(0, 1)->fg.tag, Color::Red);
    Clear{}.render(Rect{10, 10, 3, 3}, buf);
    Clear{}.render(Rect{0, 0, 0, 3}, buf);
    EXPECT_EQ(buf.to_string_lines(), Rows({"xxxx", "x  x", "x  x"}));
}
