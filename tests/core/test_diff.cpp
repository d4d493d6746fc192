#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/terminal/diff.hpp"
#include "live_cells.hpp"

using namespace tarvo::core;
using namespace tarvo::core::terminal;
using live_test::cells;

namespace {

// "x,y:symbol" for every listed cell, joined by spaces.
std::string listed(const Buffer& prev, const Buffer& next) {
    DiffList out;
    buffer_diff(prev, next, out);
    std::string s;
    for (const auto& d : out) {
        if (!s.empty()) s += ' ';
        s += std::to_string(d.x) + "," + std::to_string(d.y) + ":" + std::string(next.content[d.index].symbol_text());
    }
    return s;
}

struct DiffCase {
    const char* name;
    std::vector<std::string> prev;
    std::vector<std::string> next;
    const char* expected;
};

class Diff : public ::testing::TestWithParam<DiffCase> {};

TEST_P(Diff, ListsTheCellsToWrite) {
    const DiffCase& c = GetParam();
    EXPECT_EQ(listed(cells(c.prev), cells(c.next)), c.expected) << c.name;
}

const char* const kHeart = "\u2764\uFE0F";  // an emoji-presentation sequence, two columns

INSTANTIATE_TEST_SUITE_P(
    Cases, Diff,
    ::testing::Values(
        DiffCase{"unchanged", {"a|b|c"}, {"a|b|c"}, ""},
        DiffCase{"absent equals space", {"| |c"}, {" ||c"}, ""},
        DiffCase{"one symbol", {"a|b|c"}, {"a|x|c"}, "1,0:x"},
        DiffCase{"style only", {"a|b|c"}, {"a|b~f|c"}, "1,0:b"},
        DiffCase{"rows", {"a|b", "c|d"}, {"a|x", "y|d"}, "1,0:x 0,1:y"},
        DiffCase{"skipped changed cell", {"a|b|c"}, {"a|x~s|c"}, ""},
        DiffCase{"skipped wide does not cover", {"x|y|w"}, {"日~s||z"}, "1,0:  2,0:z"},
        DiffCase{"wide covers its trailing cell", {"a|b|c"}, {"日||c"}, "0,0:日"},
        DiffCase{"unchanged wide hides trailing change", {"日|x|c"}, {"日|y|c"}, ""},
        DiffCase{"narrow over plain wide", {"日||c"}, {"a||c"}, "0,0:a"},
        DiffCase{"narrow over wide with background", {"日~r||c"}, {"a||c"}, "0,0:a 1,0: "},
        DiffCase{"narrow over underlined wide", {"日~u||c"}, {"a||c"}, "0,0:a 1,0: "},
        DiffCase{"narrow over bold wide", {"日~k||c"}, {"a||c"}, "0,0:a"},
        DiffCase{"narrow over coloured-text wide", {"日~f||c"}, {"a||c"}, "0,0:a"},
        DiffCase{"rewrite range skips skipped", {"日~r||c"}, {"a|~s|c"}, "0,0:a"},
        DiffCase{"rewrite range jumps a wide cell", {"日~r||c|d"}, {"a|本||d"}, "0,0:a 1,0:本"},
        DiffCase{"wide over styled wide", {"日~r||c"}, {"本||c"}, "0,0:本"},
        DiffCase{"emoji rewrites changed trailing", {"a|b|c"}, {std::string(kHeart) + "|x|c"},
                 "0,0:\u2764\uFE0F 1,0:x"},
        DiffCase{"emoji trailing same text", {"a|b|c"}, {std::string(kHeart) + "|b~r|c"},
                 "0,0:\u2764\uFE0F"},
        DiffCase{"emoji trailing skipped", {"a|b|c"}, {std::string(kHeart) + "|x~s|c"},
                 "0,0:\u2764\uFE0F"},
        DiffCase{"emoji at row end", {"a|b", "c|d"}, {"a|" + std::string(kHeart), "c|d"},
                 "1,0:\u2764\uFE0F"},
        DiffCase{"unchanged zero-width cell advances one", {"\u0301|b"}, {"\u0301|x"}, "1,0:x"},
        DiffCase{"sound mark counts a column", {"a|b|c"}, {"\uFF76\uFF9E||c"}, "0,0:\uFF76\uFF9E"},
        DiffCase{"changed wide at row end wraps cover", {"a|b", "c|d"}, {"a|日", "c|d"}, "1,0:日"}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST(Diff, PositionsAreAbsoluteAndOnlyCommonCellsCompared) {
    Buffer prev = cells({"a|b|c", "d|e|f"}, 4, 7);
    Buffer next = cells({"a|x|c", "y|e|f"}, 4, 7);
    EXPECT_EQ(listed(prev, next), "5,7:x 4,8:y");
    prev.content.resize(3);  // a shorter previous buffer: only the first row is compared
    EXPECT_EQ(listed(prev, next), "5,7:x");
}

TEST(Diff, CellWidthAndBlankVisibility) {
    struct Row {
        const char* token;
        std::size_t width;
        bool visible;
    } rows[] = {
        {"", 1, false},        {"a", 1, false},     {"日", 2, false},      {"\uFF76\uFF9E", 2, false},
        {"a~r", 1, true},      {"a~u", 1, true},    {"a~k", 1, false},     {"a~f", 1, false},
        {"\u0301", 0, false},  {"\u2764\uFE0F", 2, false},
    };
    for (const auto& r : rows) {
        const Cell c = live_test::parse_cell(r.token);
        EXPECT_EQ(cell_width(c), r.width) << r.token;
        EXPECT_EQ(style_visible_when_blank(c), r.visible) << r.token;
    }
    for (std::uint16_t m : {modifier::REVERSED, modifier::SLOW_BLINK, modifier::RAPID_BLINK, modifier::CROSSED_OUT}) {
        Cell c;
        c.modifier = m;
        EXPECT_TRUE(style_visible_when_blank(c)) << m;
    }
}

}  // namespace
