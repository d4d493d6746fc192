// Constraint layout: splits checked cell for cell against known layouts of every constraint
// kind in every flex mode, with spacing, overlap and margins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/layout.hpp"
#include "core/panic.hpp"

namespace tarvo::core {
namespace {

using C = Constraint;
constexpr C Len(std::uint16_t v) { return C::length(v); }
constexpr C Mn(std::uint16_t v) { return C::min(v); }
constexpr C Mx(std::uint16_t v) { return C::max(v); }
constexpr C Pc(std::uint16_t v) { return C::percentage(v); }
constexpr C Ra(std::uint32_t a, std::uint32_t b) { return C::ratio(a, b); }
constexpr C Fi(std::uint16_t v) { return C::fill(v); }

using XW = std::vector<std::pair<int, int>>;  // (x, width) of each rect

Layout horizontal(std::vector<C> cs, Flex flex, std::int64_t spacing = 0) {
    Layout l;
    l.direction = Direction::Horizontal;
    l.constraints = std::move(cs);
    l.flex = flex;
    l.spacing = Spacing::from_signed(spacing);
    return l;
}

XW xw(const std::vector<Rect>& rects) {
    XW out;
    for (const Rect& r : rects) out.emplace_back(r.x, r.width);
    return out;
}

// Draws each segment as a letter ('a', 'b', ...) across a one-row area of `width` cells, later
// segments over earlier ones; cells no segment covers stay blank.
std::string letters(Flex flex, const std::vector<C>& cs, std::uint16_t width) {
    const auto rects = horizontal(cs, flex).split(Rect{0, 0, width, 1});
    std::string row(width, ' ');
    for (std::size_t i = 0; i < rects.size(); ++i)
        for (int x = rects[i].x; x < rects[i].x + rects[i].width && x < width; ++x)
            row[static_cast<std::size_t>(x)] = static_cast<char>('a' + i);
    return row;
}

const char* flex_label(Flex f) { return flex_name(f); }

// ---- letter tables ----

struct LetterCase {
    Flex flex;
    std::uint16_t width;
    std::vector<C> constraints;
    const char* expected;
};

class Letters : public ::testing::TestWithParam<LetterCase> {};

TEST_P(Letters, Split) {
    const LetterCase& c = GetParam();
    EXPECT_EQ(letters(c.flex, c.constraints, c.width), c.expected);
}

constexpr Flex L = Flex::Legacy, S = Flex::Start, SB = Flex::SpaceBetween;

INSTANTIATE_TEST_SUITE_P(
    LengthMaxMin, Letters,
    ::testing::Values(
        LetterCase{L, 1, {Len(0)}, "a"}, LetterCase{L, 1, {Len(2)}, "a"},
        LetterCase{L, 2, {Len(0)}, "aa"}, LetterCase{L, 2, {Len(1)}, "aa"},
        LetterCase{L, 2, {Len(3)}, "aa"}, LetterCase{L, 1, {Len(0), Len(0)}, "b"},
        LetterCase{L, 1, {Len(0), Len(2)}, "b"}, LetterCase{L, 1, {Len(1), Len(0)}, "a"},
        LetterCase{L, 1, {Len(2), Len(2)}, "a"}, LetterCase{L, 2, {Len(0), Len(1)}, "bb"},
        LetterCase{L, 2, {Len(0), Len(3)}, "bb"}, LetterCase{L, 2, {Len(1), Len(0)}, "ab"},
        LetterCase{L, 2, {Len(1), Len(3)}, "ab"}, LetterCase{L, 2, {Len(2), Len(1)}, "aa"},
        LetterCase{L, 2, {Len(3), Len(3)}, "aa"}, LetterCase{L, 3, {Len(2), Len(2)}, "aab"},
        LetterCase{L, 1, {Mx(0)}, "a"}, LetterCase{L, 2, {Mx(1)}, "aa"},
        LetterCase{L, 1, {Mx(0), Mx(1)}, "b"}, LetterCase{L, 1, {Mx(1), Mx(0)}, "a"},
        LetterCase{L, 2, {Mx(0), Mx(3)}, "bb"}, LetterCase{L, 2, {Mx(1), Mx(1)}, "ab"},
        LetterCase{L, 2, {Mx(1), Mx(3)}, "ab"}, LetterCase{L, 2, {Mx(3), Mx(0)}, "aa"},
        LetterCase{L, 3, {Mx(2), Mx(2)}, "aab"}, LetterCase{L, 1, {Mn(0), Mn(0)}, "b"},
        LetterCase{L, 1, {Mn(0), Mn(2)}, "b"}, LetterCase{L, 1, {Mn(1), Mn(0)}, "a"},
        LetterCase{L, 1, {Mn(2), Mn(2)}, "a"}, LetterCase{L, 2, {Mn(0), Mn(1)}, "bb"},
        LetterCase{L, 2, {Mn(1), Mn(0)}, "ab"}, LetterCase{L, 2, {Mn(1), Mn(3)}, "ab"},
        LetterCase{L, 2, {Mn(2), Mn(3)}, "aa"}, LetterCase{L, 2, {Mn(3), Mn(1)}, "aa"},
        LetterCase{L, 3, {Mn(2), Mn(2)}, "aab"}, LetterCase{S, 5, {Len(2)}, "aa   "},
        LetterCase{S, 5, {Mx(2)}, "aa   "}, LetterCase{S, 5, {Mn(2)}, "aaaaa"},
        LetterCase{S, 6, {Len(2), Len(2)}, "aabb  "}));

INSTANTIATE_TEST_SUITE_P(
    Percentage, Letters,
    ::testing::Values(
        LetterCase{L, 1, {Pc(0)}, "a"}, LetterCase{L, 1, {Pc(200)}, "a"},
        LetterCase{L, 2, {Pc(66)}, "aa"}, LetterCase{L, 10, {Pc(10)}, "aaaaaaaaaa"},
        LetterCase{L, 1, {Pc(0), Pc(100)}, "b"}, LetterCase{L, 1, {Pc(10), Pc(200)}, "b"},
        LetterCase{L, 1, {Pc(50), Pc(0)}, "a"}, LetterCase{L, 1, {Pc(100), Pc(200)}, "a"},
        LetterCase{L, 2, {Pc(10), Pc(50)}, "bb"}, LetterCase{L, 2, {Pc(25), Pc(0)}, "ab"},
        LetterCase{L, 2, {Pc(33), Pc(200)}, "ab"}, LetterCase{L, 2, {Pc(50), Pc(100)}, "ab"},
        LetterCase{L, 2, {Pc(100), Pc(50)}, "aa"}, LetterCase{L, 3, {Pc(33), Pc(66)}, "abb"},
        LetterCase{L, 4, {Pc(33), Pc(33)}, "abbb"},
        LetterCase{L, 10, {Pc(0), Pc(50)}, "bbbbbbbbbb"},
        LetterCase{L, 10, {Pc(10), Pc(200)}, "abbbbbbbbb"},
        LetterCase{L, 10, {Pc(25), Pc(25)}, "aaabbbbbbb"},
        LetterCase{L, 10, {Pc(33), Pc(100)}, "aaabbbbbbb"},
        LetterCase{L, 10, {Pc(50), Pc(0)}, "aaaaabbbbb"},
        LetterCase{L, 10, {Pc(100), Pc(50)}, "aaaaaaaaaa"},
        LetterCase{S, 10, {Pc(50)}, "aaaaa     "},
        LetterCase{S, 10, {Pc(0), Pc(0)}, "          "},
        LetterCase{S, 10, {Pc(0), Pc(25)}, "bbb       "},
        LetterCase{S, 10, {Pc(10), Pc(50)}, "abbbbb    "},
        LetterCase{S, 10, {Pc(25), Pc(25)}, "aaabb     "},
        LetterCase{S, 10, {Pc(25), Pc(200)}, "aaabbbbbbb"},
        LetterCase{S, 10, {Pc(33), Pc(25)}, "aaabbb    "},
        LetterCase{S, 10, {Pc(33), Pc(50)}, "aaabbbbb  "},
        LetterCase{S, 10, {Pc(50), Pc(50)}, "aaaaabbbbb"},
        LetterCase{S, 10, {Pc(100), Pc(0)}, "aaaaaaaaaa"},
        LetterCase{S, 10, {Pc(100), Pc(200)}, "aaaaabbbbb"},
        LetterCase{SB, 10, {Pc(0), Pc(0)}, "          "},
        LetterCase{SB, 10, {Pc(0), Pc(25)}, "        bb"},
        LetterCase{SB, 10, {Pc(0), Pc(50)}, "     bbbbb"},
        LetterCase{SB, 10, {Pc(10), Pc(25)}, "a       bb"},
        LetterCase{SB, 10, {Pc(10), Pc(100)}, "abbbbbbbbb"},
        LetterCase{SB, 10, {Pc(25), Pc(0)}, "aaa       "},
        LetterCase{SB, 10, {Pc(33), Pc(50)}, "aaa  bbbbb"},
        LetterCase{SB, 10, {Pc(100), Pc(50)}, "aaaaabbbbb"}));

INSTANTIATE_TEST_SUITE_P(
    Ratio, Letters,
    ::testing::Values(
        LetterCase{L, 1, {Ra(0, 1)}, "a"}, LetterCase{L, 2, {Ra(2, 3)}, "aa"},
        LetterCase{L, 1, {Ra(0, 1), Ra(9, 10)}, "b"}, LetterCase{L, 1, {Ra(1, 10), Ra(2, 1)}, "b"},
        LetterCase{L, 1, {Ra(1, 2), Ra(0, 1)}, "a"}, LetterCase{L, 2, {Ra(1, 10), Ra(1, 4)}, "bb"},
        LetterCase{L, 2, {Ra(1, 4), Ra(2, 1)}, "ab"}, LetterCase{L, 2, {Ra(1, 3), Ra(1, 2)}, "ab"},
        LetterCase{L, 2, {Ra(1, 1), Ra(1, 2)}, "aa"}, LetterCase{L, 3, {Ra(1, 3), Ra(2, 3)}, "abb"},
        LetterCase{L, 10, {Ra(0, 1), Ra(2, 1)}, "bbbbbbbbbb"},
        LetterCase{L, 10, {Ra(1, 4), Ra(1, 1)}, "aaabbbbbbb"},
        LetterCase{L, 10, {Ra(1, 3), Ra(0, 1)}, "aaabbbbbbb"},
        LetterCase{L, 10, {Ra(1, 2), Ra(1, 1)}, "aaaaabbbbb"},
        LetterCase{S, 10, {Ra(0, 1), Ra(1, 4)}, "bbb       "},
        LetterCase{S, 10, {Ra(1, 10), Ra(1, 2)}, "abbbbb    "},
        LetterCase{S, 10, {Ra(1, 3), Ra(1, 4)}, "aaabbb    "},
        LetterCase{S, 10, {Ra(1, 1), Ra(2, 1)}, "aaaaabbbbb"},
        LetterCase{SB, 10, {Ra(0, 1), Ra(1, 2)}, "     bbbbb"},
        LetterCase{SB, 10, {Ra(1, 10), Ra(1, 4)}, "a       bb"},
        LetterCase{SB, 10, {Ra(1, 4), Ra(1, 2)}, "aaa  bbbbb"},
        LetterCase{SB, 10, {Ra(1, 1), Ra(0, 1)}, "aaaaaaaaaa"}));

// ---- (x, width) tables on a 100-cell row ----

struct RowCase {
    Flex flex;
    std::int64_t spacing;
    std::vector<C> constraints;
    XW expected;
};

std::string row_case_name(const ::testing::TestParamInfo<RowCase>& info) {
    std::string spacing = info.param.spacing < 0 ? "overlap" + std::to_string(-info.param.spacing)
                                                 : "space" + std::to_string(info.param.spacing);
    return std::to_string(info.index) + "_" + flex_label(info.param.flex) + "_" + spacing;
}

class Row100 : public ::testing::TestWithParam<RowCase> {};

TEST_P(Row100, Segments) {
    const RowCase& c = GetParam();
    EXPECT_EQ(xw(horizontal(c.constraints, c.flex, c.spacing).split(Rect{0, 0, 100, 1})), c.expected);
}

constexpr Flex E = Flex::End, Ce = Flex::Center, SA = Flex::SpaceAround, SE = Flex::SpaceEvenly;

// Legacy: every kind against every other, priorities and fill proportions.
INSTANTIATE_TEST_SUITE_P(
    LegacyPriorities, Row100,
    ::testing::Values(
        RowCase{L, 0, {Len(25), Mn(100)}, {{0, 0}, {0, 100}}},
        RowCase{L, 0, {Len(25), Mx(0)}, {{0, 100}, {100, 0}}},
        RowCase{L, 0, {Pc(25), Len(25)}, {{0, 75}, {75, 25}}},
        RowCase{L, 0, {Ra(1, 4), Len(25)}, {{0, 75}, {75, 25}}},
        RowCase{L, 0, {Len(15), Len(35), Len(25)}, {{0, 15}, {15, 35}, {50, 50}}},
        RowCase{L, 0, {Mn(25), Len(25), Mx(25)}, {{0, 50}, {50, 25}, {75, 25}}},
        RowCase{L, 0, {Mx(25), Len(25), Mn(25)}, {{0, 25}, {25, 25}, {50, 50}}},
        RowCase{L, 0, {Len(33), Len(33), Len(33)}, {{0, 33}, {33, 33}, {66, 34}}},
        RowCase{L, 0, {Len(25), Ra(1, 4), Pc(25)}, {{0, 25}, {25, 50}, {75, 25}}},
        RowCase{L, 0, {Ra(1, 4), Pc(25), Len(25)}, {{0, 50}, {50, 25}, {75, 25}}},
        RowCase{L, 0, {Len(100), Len(1), Mn(20)}, {{0, 80}, {80, 0}, {80, 20}}},
        RowCase{L, 0, {Mn(20), Len(1), Len(100)}, {{0, 20}, {20, 1}, {21, 79}}},
        RowCase{L, 0, {Fi(1), Len(10), Fi(4)}, {{0, 18}, {18, 10}, {28, 72}}},
        RowCase{L, 0, {Fi(1), Len(10), Fi(5)}, {{0, 15}, {15, 10}, {25, 75}}},
        RowCase{L, 0, {Fi(1), Fi(2), Fi(1), Fi(1)}, {{0, 20}, {20, 40}, {60, 20}, {80, 20}}},
        RowCase{L, 0, {Fi(4), Fi(3), Fi(2), Fi(1)}, {{0, 40}, {40, 30}, {70, 20}, {90, 10}}},
        RowCase{L, 0, {Fi(1), Fi(3), Mn(50), Fi(2), Fi(4)},
                {{0, 5}, {5, 15}, {20, 50}, {70, 10}, {80, 20}}},
        RowCase{L, 0, {Fi(1), Fi(3), Mx(50), Fi(2), Fi(4)},
                {{0, 5}, {5, 15}, {20, 50}, {70, 10}, {80, 20}}},
        RowCase{L, 0, {Fi(0), Fi(1), Fi(0)}, {{0, 0}, {0, 100}, {100, 0}}},
        RowCase{L, 0, {Fi(0), Pc(1), Fi(0)}, {{0, 50}, {50, 1}, {51, 49}}},
        RowCase{L, 0, {Fi(0), Fi(2), Fi(0), Fi(1)}, {{0, 0}, {0, 67}, {67, 0}, {67, 33}}},
        RowCase{L, 0, {Fi(0), Fi(0), Pc(20)}, {{0, 40}, {40, 40}, {80, 20}}},
        RowCase{L, 0, {Fi(0), Fi(65535)}, {{0, 0}, {0, 100}}},
        RowCase{L, 0, {Fi(65535), Fi(0), Pc(20)}, {{0, 80}, {80, 0}, {80, 20}}},
        RowCase{L, 0, {Fi(0), Mx(20)}, {{0, 80}, {80, 20}}},
        RowCase{L, 0, {Fi(1), Fi(1), Fi(1), Mn(30), Len(50)},
                {{0, 7}, {7, 6}, {13, 7}, {20, 30}, {50, 50}}},
        RowCase{L, 0, {Fi(1), Fi(1), Fi(1), Len(75), Len(50)},
                {{0, 0}, {0, 0}, {0, 0}, {0, 75}, {75, 25}}},
        RowCase{L, 0, {Fi(1), Fi(1), Fi(1), Mn(50), Mx(50)},
                {{0, 0}, {0, 0}, {0, 0}, {0, 50}, {50, 50}}},
        RowCase{L, 0, {Fi(1), Fi(1), Fi(1), Ra(1, 1)}, {{0, 0}, {0, 0}, {0, 0}, {0, 100}}},
        RowCase{L, 0, {Mn(0), Pc(20)}, {{0, 80}, {80, 20}}},
        RowCase{L, 0, {Mx(0), Pc(20)}, {{0, 0}, {0, 100}}},
        RowCase{L, 0, {Mx(100), Mn(0)}, {{0, 100}, {100, 0}}},
        RowCase{L, 0, {Mn(0), Mx(100)}, {{0, 0}, {0, 100}}},
        RowCase{L, 0, {Len(65535), Mn(10)}, {{0, 90}, {90, 10}}},
        RowCase{L, 0, {Mn(10), Len(65535)}, {{0, 10}, {10, 90}}},
        RowCase{L, 0, {Len(0), Mx(10)}, {{0, 90}, {90, 10}}},
        RowCase{L, 0, {Mx(10), Len(0)}, {{0, 10}, {10, 90}}},
        RowCase{L, 0, {Mn(25), Pc(25)}, {{0, 75}, {75, 25}}},
        RowCase{L, 0, {Pc(25), Mn(25)}, {{0, 25}, {25, 75}}},
        RowCase{L, 0, {Mn(25), Pc(100)}, {{0, 25}, {25, 75}}},
        RowCase{L, 0, {Mx(75), Pc(75)}, {{0, 25}, {25, 75}}},
        RowCase{L, 0, {Pc(25), Mx(25)}, {{0, 75}, {75, 25}}},
        RowCase{L, 0, {Pc(25), Ra(1, 4)}, {{0, 25}, {25, 75}}},
        RowCase{L, 0, {Ra(1, 4), Fi(25)}, {{0, 25}, {25, 75}}},
        RowCase{L, 0, {Fi(25), Ra(1, 4)}, {{0, 75}, {75, 25}}},
        RowCase{L, 0, {Len(10), Fi(1), Len(10)}, {{0, 10}, {10, 80}, {90, 10}}},
        RowCase{L, 0, {Fi(1), Len(10), Fi(1), Len(10), Fi(1)},
                {{0, 27}, {27, 10}, {37, 26}, {63, 10}, {73, 27}}},
        RowCase{L, 0, {Fi(1), Len(10), Len(10), Fi(1)}, {{0, 40}, {40, 10}, {50, 10}, {60, 40}}}),
    row_case_name);

// One or two segments in every flex mode.
INSTANTIATE_TEST_SUITE_P(
    FlexModes, Row100,
    ::testing::Values(
        RowCase{L, 0, {Len(50)}, {{0, 100}}}, RowCase{S, 0, {Len(50)}, {{0, 50}}},
        RowCase{E, 0, {Len(50)}, {{50, 50}}}, RowCase{Ce, 0, {Len(50)}, {{25, 50}}},
        RowCase{SB, 0, {Len(50)}, {{0, 100}}}, RowCase{SE, 0, {Len(50)}, {{25, 50}}},
        RowCase{SA, 0, {Len(50)}, {{25, 50}}}, RowCase{S, 0, {Ra(1, 2)}, {{0, 50}}},
        RowCase{E, 0, {Pc(50)}, {{50, 50}}}, RowCase{Ce, 0, {Ra(1, 2)}, {{25, 50}}},
        RowCase{S, 0, {Mn(50)}, {{0, 100}}}, RowCase{Ce, 0, {Mn(50)}, {{0, 100}}},
        RowCase{L, 0, {Mx(50)}, {{0, 100}}}, RowCase{Ce, 0, {Mx(50)}, {{25, 50}}},
        RowCase{SB, 0, {Mn(1)}, {{0, 100}}}, RowCase{SB, 0, {Mx(20)}, {{0, 100}}},
        RowCase{L, 0, {Len(25), Len(25)}, {{0, 25}, {25, 75}}},
        RowCase{S, 0, {Len(25), Len(25)}, {{0, 25}, {25, 25}}},
        RowCase{Ce, 0, {Len(25), Len(25)}, {{25, 25}, {50, 25}}},
        RowCase{E, 0, {Len(25), Len(25)}, {{50, 25}, {75, 25}}},
        RowCase{SB, 0, {Len(25), Len(25)}, {{0, 25}, {75, 25}}},
        RowCase{SE, 0, {Len(25), Len(25)}, {{17, 25}, {58, 25}}},
        RowCase{SA, 0, {Len(25), Len(25)}, {{13, 25}, {63, 25}}},
        RowCase{SE, 0, {Pc(25), Pc(25)}, {{17, 25}, {58, 25}}},
        RowCase{SA, 0, {Pc(25), Pc(25)}, {{13, 25}, {63, 25}}},
        RowCase{L, 0, {Mn(25), Mn(25)}, {{0, 25}, {25, 75}}},
        RowCase{S, 0, {Mn(25), Mn(25)}, {{0, 50}, {50, 50}}},
        RowCase{E, 0, {Mn(25), Mn(25)}, {{0, 50}, {50, 50}}},
        RowCase{SA, 0, {Mn(25), Mn(25)}, {{0, 50}, {50, 50}}},
        RowCase{SE, 0, {Mn(25), Mn(25)}, {{0, 50}, {50, 50}}},
        RowCase{E, 0, {Mx(25), Mx(25)}, {{50, 25}, {75, 25}}},
        RowCase{SB, 0, {Mx(25), Mx(25)}, {{0, 25}, {75, 25}}},
        RowCase{SE, 0, {Mx(25), Mx(25)}, {{17, 25}, {58, 25}}},
        RowCase{SA, 0, {Mx(25), Mx(25)}, {{13, 25}, {63, 25}}},
        RowCase{SB, 0, {Len(25), Len(25), Len(25)}, {{0, 25}, {38, 25}, {75, 25}}},
        RowCase{SB, 0, {Len(10), Len(10)}, {{0, 10}, {90, 10}}},
        RowCase{SE, 0, {Len(10), Len(10)}, {{27, 10}, {63, 10}}},
        RowCase{SA, 0, {Len(10), Len(10)}, {{20, 10}, {70, 10}}},
        RowCase{S, 0, {Len(10), Len(10)}, {{0, 10}, {10, 10}}},
        RowCase{E, 0, {Len(10), Len(10)}, {{80, 10}, {90, 10}}},
        RowCase{Ce, 0, {Len(10), Len(10)}, {{40, 10}, {50, 10}}},
        RowCase{L, 0, {Mn(10), Len(10)}, {{0, 90}, {90, 10}}},
        RowCase{S, 0, {Mn(10), Len(10)}, {{0, 90}, {90, 10}}},
        RowCase{S, 0, {Mn(10), Pc(100)}, {{0, 10}, {10, 90}}},
        RowCase{S, 0, {Pc(50), Pc(50)}, {{0, 50}, {50, 50}}}),
    row_case_name);

// Gaps and overlaps between segments.
INSTANTIATE_TEST_SUITE_P(
    SpacingAndOverlap, Row100,
    ::testing::Values(
        RowCase{S, 0, {Len(20), Len(20), Len(20)}, {{0, 20}, {20, 20}, {40, 20}}},
        RowCase{S, 2, {Len(20), Len(20), Len(20)}, {{0, 20}, {22, 20}, {44, 20}}},
        RowCase{Ce, 2, {Len(20), Len(20), Len(20)}, {{18, 20}, {40, 20}, {62, 20}}},
        RowCase{E, 2, {Len(20), Len(20), Len(20)}, {{36, 20}, {58, 20}, {80, 20}}},
        RowCase{L, 2, {Len(20), Len(20), Len(20)}, {{0, 20}, {22, 20}, {44, 56}}},
        RowCase{SB, 2, {Len(20), Len(20), Len(20)}, {{0, 20}, {40, 20}, {80, 20}}},
        RowCase{SE, 2, {Len(20), Len(20), Len(20)}, {{10, 20}, {40, 20}, {70, 20}}},
        RowCase{SA, 2, {Len(20), Len(20), Len(20)}, {{7, 20}, {40, 20}, {73, 20}}},
        RowCase{S, -1, {Len(20), Len(20), Len(20)}, {{0, 20}, {19, 20}, {38, 20}}},
        RowCase{Ce, -1, {Len(20), Len(20), Len(20)}, {{21, 20}, {40, 20}, {59, 20}}},
        RowCase{E, -1, {Len(20), Len(20), Len(20)}, {{42, 20}, {61, 20}, {80, 20}}},
        RowCase{L, -1, {Len(20), Len(20), Len(20)}, {{0, 20}, {19, 20}, {38, 62}}},
        RowCase{SB, -1, {Len(20), Len(20), Len(20)}, {{0, 20}, {40, 20}, {80, 20}}},
        RowCase{SE, -1, {Len(20), Len(20), Len(20)}, {{10, 20}, {40, 20}, {70, 20}}},
        RowCase{SA, -1, {Len(20), Len(20), Len(20)}, {{7, 20}, {40, 20}, {73, 20}}},
        RowCase{L, 10, {Fi(1), Fi(1)}, {{0, 45}, {55, 45}}},
        RowCase{E, 10, {Fi(1), Fi(1)}, {{0, 45}, {55, 45}}},
        RowCase{SE, 10, {Fi(1), Fi(1)}, {{10, 35}, {55, 35}}},
        RowCase{SB, 10, {Fi(1), Fi(1)}, {{0, 45}, {55, 45}}},
        RowCase{SA, 10, {Fi(1), Fi(1)}, {{10, 30}, {60, 30}}},
        RowCase{Ce, 10, {Fi(1), Len(10), Fi(1)}, {{0, 35}, {45, 10}, {65, 35}}},
        RowCase{SE, 10, {Fi(1), Len(10), Fi(1)}, {{10, 25}, {45, 10}, {65, 25}}},
        RowCase{SA, 10, {Fi(1), Len(10), Fi(1)}, {{10, 15}, {45, 10}, {75, 15}}},
        RowCase{SA, 0, {Fi(1), Len(10), Fi(1)}, {{0, 45}, {45, 10}, {55, 45}}},
        RowCase{L, -10, {Fi(1), Fi(1)}, {{0, 55}, {45, 55}}},
        RowCase{SA, -10, {Fi(1), Fi(1)}, {{0, 50}, {50, 50}}},
        RowCase{SB, -10, {Fi(1), Fi(1)}, {{0, 55}, {45, 55}}},
        RowCase{SE, -10, {Fi(1), Fi(1)}, {{0, 50}, {50, 50}}},
        RowCase{Ce, -1, {Fi(1), Fi(1)}, {{0, 51}, {50, 50}}},
        RowCase{SA, -1, {Fi(1), Fi(1)}, {{0, 50}, {50, 50}}},
        RowCase{S, -10, {Fi(1), Len(10), Fi(1)}, {{0, 55}, {45, 10}, {45, 55}}},
        RowCase{SE, -10, {Fi(1), Len(10), Fi(1)}, {{0, 45}, {45, 10}, {55, 45}}},
        RowCase{E, -1, {Fi(1), Len(10), Fi(1)}, {{0, 46}, {45, 10}, {54, 46}}},
        RowCase{SA, -1, {Fi(1), Len(10), Fi(1)}, {{0, 45}, {45, 10}, {55, 45}}},
        RowCase{Ce, 80, {Len(10), Len(10)}, {{0, 10}, {90, 10}}}),
    row_case_name);

// The same widths whatever the flex mode.
struct WidthsCase {
    std::vector<C> constraints;
    std::vector<int> widths;
};

class WidthsInEveryFlex : public ::testing::TestWithParam<WidthsCase> {};

TEST_P(WidthsInEveryFlex, Split) {
    for (Flex f : {S, E, Ce, SA, SE, SB}) {
        std::vector<int> got;
        for (const Rect& r : horizontal(GetParam().constraints, f).split(Rect{0, 0, 100, 1}))
            got.push_back(r.width);
        EXPECT_EQ(got, GetParam().widths) << flex_name(f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Priorities, WidthsInEveryFlex,
    ::testing::Values(WidthsCase{{Mn(25), Len(25), Mx(25)}, {50, 25, 25}},
                      WidthsCase{{Mx(25), Len(25), Mn(25)}, {25, 25, 50}},
                      WidthsCase{{Len(33), Len(33), Len(33)}, {33, 33, 33}},
                      WidthsCase{{Pc(25), Len(25), Ra(1, 4)}, {25, 25, 25}},
                      WidthsCase{{Ra(1, 4), Pc(25), Len(25)}, {25, 25, 25}},
                      WidthsCase{{Len(100), Len(1), Mn(20)}, {79, 1, 20}},
                      WidthsCase{{Mn(20), Len(1), Len(100)}, {20, 1, 79}},
                      WidthsCase{{Fi(1), Len(10), Fi(1)}, {45, 10, 45}},
                      WidthsCase{{Fi(1), Len(10), Fi(2)}, {30, 10, 60}},
                      WidthsCase{{Fi(1), Len(10), Fi(4)}, {18, 10, 72}}));

// ---- spacers ----

struct SpacerCase {
    Flex flex;
    std::int64_t spacing;
    XW expected;
};

class Spacers : public ::testing::TestWithParam<SpacerCase> {};

TEST_P(Spacers, TwoLengthsOfTen) {
    const SpacerCase& c = GetParam();
    const Split s = horizontal({Len(10), Len(10)}, c.flex, c.spacing).split_with_spacers(Rect{0, 0, 100, 1});
    EXPECT_EQ(s.segments.size(), 2u);
    EXPECT_EQ(xw(s.spacers), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllFlexModes, Spacers,
    ::testing::Values(
        SpacerCase{L, 0, {{0, 0}, {10, 0}, {100, 0}}}, SpacerCase{SB, 0, {{0, 0}, {10, 80}, {100, 0}}},
        SpacerCase{SE, 0, {{0, 27}, {37, 26}, {73, 27}}}, SpacerCase{SA, 0, {{0, 20}, {30, 40}, {80, 20}}},
        SpacerCase{S, 0, {{0, 0}, {10, 0}, {20, 80}}}, SpacerCase{Ce, 0, {{0, 40}, {50, 0}, {60, 40}}},
        SpacerCase{E, 0, {{0, 80}, {90, 0}, {100, 0}}}, SpacerCase{L, 5, {{0, 0}, {10, 5}, {100, 0}}},
        SpacerCase{SB, 5, {{0, 0}, {10, 80}, {100, 0}}}, SpacerCase{SE, 5, {{0, 27}, {37, 26}, {73, 27}}},
        SpacerCase{SA, 5, {{0, 20}, {30, 40}, {80, 20}}}, SpacerCase{S, 5, {{0, 0}, {10, 5}, {25, 75}}},
        SpacerCase{Ce, 5, {{0, 38}, {48, 5}, {63, 37}}}, SpacerCase{E, 5, {{0, 75}, {85, 5}, {100, 0}}},
        SpacerCase{L, -1, {{0, 0}, {10, 0}, {100, 0}}}, SpacerCase{SB, -1, {{0, 0}, {10, 80}, {100, 0}}},
        SpacerCase{SE, -1, {{0, 27}, {37, 26}, {73, 27}}}, SpacerCase{SA, -1, {{0, 20}, {30, 40}, {80, 20}}},
        SpacerCase{S, -1, {{0, 0}, {10, 0}, {19, 81}}}, SpacerCase{Ce, -1, {{0, 41}, {51, 0}, {60, 40}}},
        SpacerCase{E, -1, {{0, 81}, {91, 0}, {100, 0}}}, SpacerCase{L, 200, {{0, 0}, {0, 100}, {100, 0}}},
        SpacerCase{SB, 200, {{0, 0}, {0, 100}, {100, 0}}}, SpacerCase{SE, 200, {{0, 33}, {33, 34}, {67, 33}}},
        SpacerCase{SA, 200, {{0, 25}, {25, 50}, {75, 25}}}, SpacerCase{S, 200, {{0, 0}, {0, 100}, {100, 0}}},
        SpacerCase{Ce, 200, {{0, 0}, {0, 100}, {100, 0}}}, SpacerCase{E, 200, {{0, 0}, {0, 100}, {100, 0}}}));

// ---- whole rects: margins, directions, corner cases ----

TEST(LayoutSplit, WorkedExampleWithSpacers) {
    const Split s = horizontal({Len(3), Fi(1)}, S).split_with_spacers(Rect{0, 0, 10, 1});
    EXPECT_EQ(s.segments, (std::vector<Rect>{{0, 0, 3, 1}, {3, 0, 7, 1}}));
    EXPECT_EQ(s.spacers, (std::vector<Rect>{{0, 0, 0, 1}, {3, 0, 0, 1}, {10, 0, 0, 1}}));
}

TEST(LayoutSplit, MarginsShrinkTheArea) {
    Layout l;
    l.constraints = {Mn(0)};
    l.margin = Margin{2, 2};
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}), (std::vector<Rect>{{2, 2, 6, 6}}));
    l.margin = Margin{2, 0};
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}), (std::vector<Rect>{{2, 0, 6, 10}}));
    l.margin = Margin{0, 2};
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}), (std::vector<Rect>{{0, 2, 10, 6}}));
}

TEST(LayoutSplit, MarginLargerThanAreaGivesEmptyRectsAtOrigin) {
    Layout l = horizontal({Len(3), Fi(1)}, S);
    l.margin = Margin{3, 0};
    const Split s = l.split_with_spacers(Rect{7, 4, 5, 5});
    EXPECT_EQ(s.segments, (std::vector<Rect>{{0, 0, 0, 0}, {0, 0, 0, 0}}));
    EXPECT_EQ(s.spacers.size(), 3u);
    for (const Rect& r : s.spacers) EXPECT_EQ(r, (Rect{0, 0, 0, 0}));
}

TEST(LayoutSplit, DirectionPicksTheAxis) {
    Layout l;
    l.constraints = {Len(5), Mn(0)};
    l.direction = Direction::Horizontal;
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}), (std::vector<Rect>{{0, 0, 5, 10}, {5, 0, 5, 10}}));
    l.direction = Direction::Vertical;
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}), (std::vector<Rect>{{0, 0, 10, 5}, {0, 5, 10, 5}}));
}

TEST(LayoutSplit, VerticalMixOfEveryKind) {
    Layout l;
    l.constraints = {Pc(20), Ra(1, 5), Len(2), Mn(2), Mx(2)};
    EXPECT_EQ(l.split(Rect{0, 0, 10, 10}),
              (std::vector<Rect>{{0, 0, 10, 2}, {0, 2, 10, 2}, {0, 4, 10, 2}, {0, 6, 10, 2}, {0, 8, 10, 2}}));
}

TEST(LayoutSplit, EdgeCasesOnTinyAreas) {
    Layout v;
    v.constraints = {Pc(50), Pc(50), Mn(0)};
    EXPECT_EQ(v.split(Rect{0, 0, 1, 1}), (std::vector<Rect>{{0, 0, 1, 1}, {0, 1, 1, 0}, {0, 1, 1, 0}}));
    v.constraints = {Mx(1), Pc(99), Mn(0)};
    EXPECT_EQ(v.split(Rect{0, 0, 1, 1}), (std::vector<Rect>{{0, 0, 1, 0}, {0, 0, 1, 1}, {0, 1, 1, 0}}));
    EXPECT_EQ(horizontal({Mn(1), Len(0), Mn(1)}, S).split(Rect{0, 0, 1, 1}),
              (std::vector<Rect>{{0, 0, 1, 1}, {1, 0, 0, 1}, {1, 0, 0, 1}}));
    EXPECT_EQ(horizontal({Len(3), Mn(4), Len(1), Mn(4)}, S).split(Rect{0, 0, 7, 1}),
              (std::vector<Rect>{{0, 0, 0, 1}, {0, 0, 4, 1}, {4, 0, 0, 1}, {4, 0, 3, 1}}));
}

TEST(LayoutSplit, SpacingOfOneWithTooLittleRoom) {
    EXPECT_EQ(xw(horizontal({Len(4), Len(4)}, S, 1).split(Rect{0, 0, 7, 1})), (XW{{0, 3}, {4, 3}}));
    EXPECT_EQ(xw(horizontal({Len(4), Len(4)}, S, 1).split(Rect{0, 0, 4, 1})), (XW{{0, 2}, {3, 1}}));
}

TEST(LayoutSplit, FillWithFiftyCells) {
    EXPECT_EQ(xw(horizontal({Fi(1), Len(10), Fi(2)}, L).split(Rect{0, 0, 50, 1})),
              (XW{{0, 13}, {13, 10}, {23, 27}}));
    EXPECT_EQ(xw(horizontal({Len(10), Fi(2), Fi(1)}, L).split(Rect{0, 0, 50, 1})),
              (XW{{0, 10}, {10, 27}, {37, 13}}));
}

TEST(LayoutSplit, AreaAwayFromTheOriginKeepsTheCrossAxis) {
    Layout l = horizontal({Len(3), Fi(1)}, S);
    EXPECT_EQ(l.split(Rect{20, 7, 10, 4}), (std::vector<Rect>{{20, 7, 3, 4}, {23, 7, 7, 4}}));
}

// Several equally good answers exist here; the pivot order must reach the one the reference
// solver reaches, not merely another optimum.
TEST(LayoutSplit, TieBreakingFollowsTheNewestSymbol) {
    Layout l;
    l.direction = Direction::Vertical;
    l.margin = Margin{2, 0};
    l.flex = Flex::SpaceBetween;
    l.constraints = {Mx(12), Pc(25), Mn(26), Pc(100), Fi(0)};
    EXPECT_EQ(l.split(Rect{14, 0, 8, 32}),
              (std::vector<Rect>{{16, 0, 4, 0}, {16, 0, 4, 0}, {16, 0, 4, 26}, {16, 26, 4, 6}, {16, 32, 4, 0}}));
}

TEST(LayoutSplit, NoConstraintsGiveOneSpacerOverTheArea) {
    for (Flex f : {L, S, E, Ce, SB, SA, SE}) {
        Layout l = horizontal({}, f, 3);
        const Split s = l.split_with_spacers(Rect{4, 1, 30, 2});
        EXPECT_TRUE(s.segments.empty());
        EXPECT_EQ(s.spacers, (std::vector<Rect>{{4, 1, 30, 2}})) << flex_name(f);
    }
}

TEST(LayoutSplit, ZeroSizedAreaGivesEmptyRects) {
    for (Flex f : {L, S, E, Ce, SB, SA, SE}) {
        const Split s = horizontal({Len(3), Fi(1), Pc(50)}, f, 2).split_with_spacers(Rect{5, 6, 0, 3});
        for (const Rect& r : s.segments) EXPECT_EQ(r, (Rect{5, 6, 0, 3})) << flex_name(f);
        for (const Rect& r : s.spacers) EXPECT_EQ(r, (Rect{5, 6, 0, 3})) << flex_name(f);
    }
}

TEST(LayoutSplit, AllZeroFillsShareEvenly) {
    EXPECT_EQ(xw(horizontal({Fi(0), Fi(0)}, S).split(Rect{0, 0, 100, 1})), (XW{{0, 50}, {50, 50}}));
    EXPECT_EQ(xw(horizontal({Fi(0), Fi(0), Fi(0), Fi(0)}, L).split(Rect{0, 0, 40, 1})),
              (XW{{0, 10}, {10, 10}, {20, 10}, {30, 10}}));
}

// Huge amounts anywhere must still give rects inside the area.
TEST(LayoutSplit, HugeValuesStayInsideTheArea) {
    const std::vector<C> cs = {Len(65535), Pc(65535), Ra(4294967295u, 1), Fi(65535), Mn(65535),
                               Mx(65535), Ra(1, 4294967295u)};
    for (Flex f : {L, S, E, Ce, SB, SA, SE}) {
        for (std::int64_t spacing : {0, 32767, -32768}) {
            const Rect area{0, 0, 65535, 1};
            const Split s = horizontal(cs, f, spacing).split_with_spacers(area);
            ASSERT_EQ(s.segments.size(), cs.size());
            for (const Rect& r : s.segments) EXPECT_LE(r.x + r.width, 65535) << flex_name(f);
            for (const Rect& r : s.spacers) EXPECT_LE(r.x + r.width, 65535) << flex_name(f);
        }
    }
}

// Amounts are read as signed 16-bit values: Space(65535) overlaps by one, Overlap(65535) is a
// gap of one, Min(40000) has no lower bound outside Legacy.
TEST(LayoutSplit, SixteenBitAmountsWrap) {
    auto with = [](Spacing sp) {
        Layout l = horizontal({Len(20), Len(20), Len(20)}, S);
        l.spacing = sp;
        return xw(l.split(Rect{0, 0, 100, 1}));
    };
    EXPECT_EQ(with(Spacing::space(65535)), (XW{{0, 20}, {19, 20}, {38, 20}}));
    EXPECT_EQ(with(Spacing::overlap(65535)), (XW{{0, 20}, {21, 20}, {42, 20}}));
    EXPECT_EQ(with(Spacing::space(40000)), with(Spacing::overlap(25536)));
    EXPECT_EQ(with(Spacing::overlap(32769)), with(Spacing::space(32767)));
    EXPECT_EQ(with(Spacing::overlap(32768)), with(Spacing::space(32768)));

    EXPECT_EQ(xw(horizontal({Mn(40000), Len(10)}, S).split(Rect{0, 0, 100, 1})), (XW{{0, 90}, {90, 10}}));
    EXPECT_EQ(xw(horizontal({Mn(30000), Len(10)}, S).split(Rect{0, 0, 100, 1})), (XW{{0, 100}, {100, 0}}));
}

// ---- rounding ----

struct RoundingCase {
    const char* name;
    std::vector<C> constraints;
    Flex flex;
    std::uint16_t width;
    XW expected;
};

class Rounding : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(Rounding, Split) {
    const RoundingCase& c = GetParam();
    EXPECT_EQ(xw(horizontal(c.constraints, c.flex).split(Rect{0, 0, c.width, 1})), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, Rounding,
    ::testing::Values(
        // 49.6 hundredths: 50, then half a cell, then a whole one; rounding once would give 0.
        RoundingCase{"TwiceUp", {Ra(496, 1000)}, S, 1, {{0, 1}}},
        RoundingCase{"TwiceDown", {Ra(494, 1000)}, S, 1, {{0, 0}}},
        // Ends at 2.5 and 7.5 cells: halves go away from zero.
        RoundingCase{"Halves", {Pc(25), Pc(25), Pc(25)}, S, 10, {{0, 3}, {3, 2}, {5, 3}}},
        // A zero denominator counts as 1.
        RoundingCase{"RatioOverZero", {Ra(1, 0)}, S, 9, {{0, 9}}},
        RoundingCase{"ZeroOverZero", {Ra(0, 0), Fi(1)}, S, 10, {{0, 0}, {0, 10}}},
        RoundingCase{"ThreeOverZero", {Ra(3, 0), Fi(1)}, S, 10, {{0, 10}, {10, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- many segments ----

// Checks a horizontal split of a one-row area of `width` cells: the segments start at 0, end
// at the right edge, keep exactly `gap` cells apart and differ in width by at most one cell
// within each group of equal weight; returns the widths.
std::vector<int> check_even_split(const std::vector<Rect>& rects, int width, int gap) {
    std::vector<int> widths;
    if (rects.empty()) return widths;
    EXPECT_EQ(rects.front().x, 0);
    EXPECT_EQ(rects.back().x + rects.back().width, width);
    for (std::size_t i = 0; i + 1 < rects.size(); ++i)
        EXPECT_EQ(rects[i + 1].x, rects[i].x + rects[i].width + gap) << "after segment " << i;
    for (const Rect& r : rects) widths.push_back(r.width);
    return widths;
}

struct ManyCase {
    std::size_t count;
    std::uint16_t width;
    std::int64_t spacing;
};

class ManyFills : public ::testing::TestWithParam<ManyCase> {};

// Past 64 growing segments the equal shares are asked of neighbours only; the shares still
// come out equal to the cell.
TEST_P(ManyFills, ShareTheRowEvenly) {
    const ManyCase& c = GetParam();
    const auto rects =
        horizontal(std::vector<C>(c.count, Fi(1)), S, c.spacing).split(Rect{0, 0, c.width, 1});
    ASSERT_EQ(rects.size(), c.count);
    const auto widths = check_even_split(rects, c.width, static_cast<int>(c.spacing));
    const auto [lo, hi] = std::minmax_element(widths.begin(), widths.end());
    EXPECT_LE(*hi - *lo, 1);
    const double share = (c.width - static_cast<double>(c.spacing) * static_cast<double>(c.count - 1)) /
                         static_cast<double>(c.count);
    EXPECT_LE(*lo, share);
    EXPECT_GE(*hi, share);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ManyFills,
                         ::testing::Values(ManyCase{65, 200, 0}, ManyCase{65, 1000, 1}, ManyCase{100, 1000, 0},
                                           ManyCase{100, 200, 1}, ManyCase{120, 1000, 1}, ManyCase{300, 6000, 1}));

TEST(LayoutSplit, ManyWeightedFillsKeepTheirProportions) {
    std::vector<C> cs;
    for (int i = 0; i < 80; ++i) cs.push_back(Fi(static_cast<std::uint16_t>(1 + i % 2)));
    const auto widths = check_even_split(horizontal(cs, S).split(Rect{0, 0, 1200, 1}), 1200, 0);
    for (std::size_t i = 0; i < widths.size(); ++i) EXPECT_EQ(widths[i], i % 2 == 0 ? 10 : 20) << i;
}

TEST(LayoutSplit, ManyMinsAllGetTheirMinimumAndShareTheRest) {
    const auto widths = check_even_split(horizontal(std::vector<C>(70, Mn(2)), S).split(Rect{0, 0, 300, 1}), 300, 0);
    for (int w : widths) {
        EXPECT_GE(w, 4);
        EXPECT_LE(w, 5);
    }
}

// Past 128 gaps the Space* modes ask for equal gaps between neighbours only.
TEST(LayoutSplit, ManyGapsStayEqual) {
    for (Flex f : {SB, SA}) {
        const auto rects = horizontal(std::vector<C>(130, Len(5)), f).split(Rect{0, 0, 1000, 1});
        ASSERT_EQ(rects.size(), 130u);
        int lo = 1000, hi = 0;
        for (std::size_t i = 0; i < rects.size(); ++i) {
            EXPECT_EQ(rects[i].width, 5) << flex_name(f) << " " << i;
            if (i + 1 < rects.size()) {
                const int gap = rects[i + 1].x - rects[i].x - 5;
                lo = std::min(lo, gap);
                hi = std::max(hi, gap);
            }
        }
        // 350 spare cells over 129 gaps: 2 or 3 each.
        EXPECT_EQ(lo, 2) << flex_name(f);
        EXPECT_EQ(hi, 3) << flex_name(f);
        if (f == SB) {
            EXPECT_EQ(rects.back().x + 5, 1000);
        }
    }
}

// The pairwise form of this layout stalls (the solver used to give up with "failed to split");
// the compact form splits it as the pairwise form's own best split does: with so many gaps held
// equal pairwise, they stay equal (here at 0, as the outer ones cannot overlap the area's
// edges), and the minimums give up only the two cells the area lacks.
TEST(LayoutSplit, LayoutThePairwiseFormCannotSolve) {
    const std::vector<C> cs = {Fi(2), Fi(2), Fi(1), Fi(3), Fi(3), Fi(3), Fi(3), Mn(0), Mn(0), Fi(3),
                               Mn(0), Fi(3), Mn(2), Fi(2), Mn(3), Fi(2), Mx(13), Mn(5), Fi(1), Fi(1),
                               Mn(3), Mn(0), Fi(1), Mx(5), Mn(1), Fi(1), Len(5), Mn(1)};
    Layout l = horizontal(cs, SE);
    l.spacing = Spacing::overlap(1);
    const Split s = solve_split(l, Rect{0, 0, 13, 1});
    ASSERT_EQ(s.segments.size(), cs.size());
    int shortfall = 0;
    for (std::size_t i = 0; i < cs.size(); ++i) {
        EXPECT_EQ(s.spacers[i].width, 0) << i;
        EXPECT_EQ(s.spacers[i].x + s.spacers[i].width, s.segments[i].x) << i;
        if (cs[i].kind == C::Kind::Min) shortfall += std::max(0, static_cast<int>(cs[i].value) - static_cast<int>(s.segments[i].width));
    }
    EXPECT_EQ(s.spacers.back().x, 13);
    EXPECT_EQ(shortfall, 2);
}

// Large Space* splits with zero fills (a scale of a millionth) and overlap: their rounding used to
// cost the split solver its pivot, and the split was refused. Each comes out whole, in order,
// with every empty-sized segment empty.
struct BadlyScaled {
    const char* kinds;  // F fill, X max, N min, L length, P percentage, Ra:b ratio
    Flex flex;
    int spacing;
    std::uint16_t width;
};

std::vector<C> parse_kinds(const char* text) {
    std::vector<C> out;
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        const auto value = static_cast<std::uint16_t>(std::stoi(word.substr(1)));
        switch (word[0]) {
            case 'F': out.push_back(Fi(value)); break;
            case 'X': out.push_back(Mx(value)); break;
            case 'N': out.push_back(Mn(value)); break;
            case 'L': out.push_back(Len(value)); break;
            case 'P': out.push_back(Pc(value)); break;
            default: {
                const std::size_t colon = word.find(':');
                out.push_back(Ra(static_cast<std::uint32_t>(std::stoul(word.substr(1, colon - 1))),
                                 static_cast<std::uint32_t>(std::stoul(word.substr(colon + 1)))));
            }
        }
    }
    return out;
}

TEST(LayoutSplit, BadlyScaledSplitsAreNeverRefused) {
    const BadlyScaled cases[] = {
        {"F2 X0 F3 F3 N0 F2 X0 F0 F1 R3:1 R5:1 X0 P106 F2 N0 R2:6 N0 L0 X0 F3 R4:1 X0 L0 X0 R0:1 X0 R1:6 F0 N0 "
         "P99 L0 L0 L0 N0 N0 L0 R4:2 P114 R1:1 F1 F2 P22 N0 P100 X0 R1:1 N0 R4:4 F0 R2:0 N0 X0 F1 F2 R3:2 P109 F2 "
         "N0 F2 R1:1 N0 R0:4 R5:6 N0 L0 L0 P48 R4:0 N0 R5:1 P112 P48",
         Flex::SpaceAround, -3, 13},
        {"X0 R0:0 L0 P35 L0 P109 N0 N0 N0 N0 X0 N0 N0 L0 N0 N0 L0 N0 X0 F1 R0:4 R3:1 N0 P49 N0 R0:4 F1 F2 F1 R3:1 "
         "N0 X0 P24 R0:4 X0 X0 L0 F2 R2:0 P5 L0 R2:2 P57 F1 F0 R1:5 X0 P66 N0 R3:3 F3 N0 F2 L0 L0 P21 L0 P87 P45 "
         "N0 N0 N0 R4:2 L0 F2 P61 R4:2 R5:4 N0 N0 L0 R2:4 F2 P38 P21 L0 R0:2 L0 L0 X0 N0 F1 P120 L0 L0 X0 F2",
         Flex::SpaceEvenly, 0, 50},
    };
    for (const BadlyScaled& c : cases) {
        const std::vector<C> cs = parse_kinds(c.kinds);
        const Split s = solve_split(horizontal(cs, c.flex, c.spacing), Rect{0, 0, c.width, 1});
        ASSERT_EQ(s.segments.size(), cs.size());
        int at = 0;
        for (std::size_t i = 0; i < cs.size(); ++i) {
            const Rect& seg = s.segments[i];
            EXPECT_GE(seg.x, at) << i;
            EXPECT_LE(seg.x + seg.width, c.width) << i;
            at = seg.x + seg.width;
            const bool empty_sized = cs[i].value == 0 && (cs[i].kind == C::Kind::Max || cs[i].kind == C::Kind::Length);
            if (empty_sized) {
                EXPECT_EQ(seg.width, 0) << i;
            }
        }
        if (c.spacing >= 0) {
            EXPECT_EQ(s.spacers.front().x, 0);
            EXPECT_EQ(s.spacers.back().x + s.spacers.back().width, c.width);
        }
    }
}

// Crowded splits of badly scaled weights: fills in the tens of thousands beside Fill(0) and small
// ones, Mins and fixed sizes. The solver's sums lost the required constraints there, and the splits
// came out broken: in Start, 40 segments ran past the area; in SpaceEvenly, the last gap took
// 54 cells while the others were empty, or the segments left 10 cells unused. Each must fill
// the area exactly, segments end to end inside it, every gap alike.
TEST(LayoutSplit, BadlyScaledCrowdedSplitsKeepTheirShape) {
    struct Case {
        Flex flex;
        int count, stride;
        std::uint16_t width;
    };
    for (const Case& c : {Case{Flex::Start, 300, 3, 287}, Case{SE, 120, 4, 196}, Case{SE, 200, 5, 193}}) {
        std::vector<C> cs;
        for (int i = 0; i < c.count; ++i) {
            switch (i * c.stride % 7) {
                case 0: cs.push_back(Fi(static_cast<std::uint16_t>(65535 - i * 97 % 5000))); break;
                case 1: cs.push_back(Mn(static_cast<std::uint16_t>(1 + i % 20))); break;
                case 2: cs.push_back(Fi(static_cast<std::uint16_t>(i % 11 == 0 ? 0 : 1 + i % 4))); break;
                case 3: cs.push_back(Len(static_cast<std::uint16_t>(i % 9))); break;
                case 4: cs.push_back(Mx(static_cast<std::uint16_t>(i % 30))); break;
                case 5: cs.push_back(Mn(static_cast<std::uint16_t>(i % 5))); break;
                default: cs.push_back(Fi(static_cast<std::uint16_t>(1 + i * 7919 % 65535))); break;
            }
        }
        SCOPED_TRACE(flex_name(c.flex));
        const Split s = solve_split(horizontal(cs, c.flex, 0), Rect{0, 0, c.width, 1});
        ASSERT_EQ(s.segments.size(), cs.size());
        int at = 0;
        for (std::size_t i = 0; i < cs.size(); ++i) {
            EXPECT_EQ(s.spacers[i].x, at) << i;
            EXPECT_EQ(s.segments[i].x, at + s.spacers[i].width) << i;
            at = s.segments[i].x + s.segments[i].width;
            EXPECT_LE(s.spacers[i].width, 1) << i;
        }
        EXPECT_EQ(s.spacers.back().x, at);
        EXPECT_EQ(at + s.spacers.back().width, c.width);
        EXPECT_LE(s.spacers.back().width, 1);
    }
}

// In an empty area every boundary sits on the area's one edge, and nothing is solved. This
// layout's pairwise form used to wander through equal vertices there for seconds before giving up.
TEST(LayoutSplit, EmptyAreaTakesNoPivots) {
    Layout l = horizontal(parse_kinds("P20 R3:3 N0 L0 X0 P68 L0 L0 N0 P68 X0 F3 L0 P62 X0 N0 N0 N0 F3 R1:0 L0 F1 F2 "
                                      "L0 N0 N0 F2 N0 N0 N0 X0 P64 P56 X0 P92 R5:3 R1:6 L0 P10 X0 X0 P41 P88 N0 "
                                      "P1 X0 R5:4 L0 P86 R5:1 N0 X0"),
                          SE);
    l.spacing = Spacing::space(3);
    for (const auto& [area, margin] : {std::pair{Rect{9, 2, 0, 4}, Margin{}}, std::pair{Rect{9, 2, 5, 4}, Margin{3, 0}}}) {
        l.margin = margin;
        SplitWork work;
        const Split s = solve_split(l, area, work);
        EXPECT_EQ(work.pivots, 0u);
        ASSERT_EQ(s.segments.size(), 52u);
        const Rect at = area.inner(margin);
        const Rect edge{at.x, at.y, 0, at.height};
        for (const Rect& r : s.segments) EXPECT_EQ(r, edge);
        for (const Rect& r : s.spacers) EXPECT_EQ(r, edge);
    }
}

// Sixty-three equal Fill segments keep every pair in proportion and every pair of gaps equal. On
// that form the solver's rows grow long and each of these took half a minute or more, visiting
// tens of billions of cells; it now gives up after a bounded amount of work and takes the
// compact form, which splits the room evenly too.
TEST(LayoutSplit, PairwiseFormGivesUpAfterBoundedWork) {
    for (const Flex flex : {Flex::SpaceBetween, Flex::SpaceAround, Flex::SpaceEvenly}) {
        SplitWork work;
        const Split s = solve_split(horizontal(std::vector<C>(63, Fi(1)), flex), Rect{0, 0, 200, 1}, work);
        EXPECT_LT(work.cell_updates, 150'000'000u) << flex_name(flex);
        ASSERT_EQ(s.segments.size(), 63u);
        std::uint16_t at = 0;
        for (const Rect& seg : s.segments) {
            EXPECT_EQ(seg.x, at) << flex_name(flex);
            EXPECT_TRUE(seg.width == 3 || seg.width == 4) << flex_name(flex) << " " << seg.width;
            at = static_cast<std::uint16_t>(seg.x + seg.width);
        }
        EXPECT_EQ(at, 200) << flex_name(flex);
    }
}

// ---- the cache ----

TEST(SplitCache, RepeatsHitAndCapacityIsBounded) {
    clear_split_cache();
    const Layout l = horizontal({Len(3), Fi(1)}, S);
    const auto first = l.split(Rect{0, 0, 10, 1});
    EXPECT_EQ(split_cache_size(), 1u);
    EXPECT_EQ(l.split(Rect{0, 0, 10, 1}), first);
    EXPECT_EQ(l.split_with_spacers(Rect{0, 0, 10, 1}).segments, first);
    EXPECT_EQ(split_cache_size(), 1u);

    Layout other = l;
    other.spacing = Spacing::overlap(1);
    other.split(Rect{0, 0, 10, 1});
    EXPECT_EQ(split_cache_size(), 2u);

    for (std::uint16_t w = 0; w < kSplitCacheCapacity + 100; ++w) l.split(Rect{0, 0, w, 1});
    EXPECT_EQ(split_cache_size(), kSplitCacheCapacity);
    // The oldest entries went first; the newest still give the right answer.
    EXPECT_EQ(xw(l.split(Rect{0, 0, 599, 1})), (XW{{0, 3}, {3, 596}}));

    std::size_t other_thread_size = 99;
    std::thread([&] { other_thread_size = split_cache_size(); }).join();
    EXPECT_EQ(other_thread_size, 0u);
    clear_split_cache();
    EXPECT_EQ(split_cache_size(), 0u);
}

// ---- values ----

struct ApplyCase {
    C constraint;
    std::uint16_t length;
    std::uint16_t expected;
};

class ConstraintApply : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(ConstraintApply, Size) {
    EXPECT_EQ(GetParam().constraint.apply(GetParam().length), GetParam().expected)
        << GetParam().constraint.debug() << " of " << GetParam().length;
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, ConstraintApply,
    ::testing::Values(ApplyCase{Pc(50), 7, 3}, ApplyCase{Pc(150), 10, 10}, ApplyCase{Pc(0), 100, 0},
                      ApplyCase{Pc(65535), 100, 100}, ApplyCase{Pc(33), 65535, 21626},
                      ApplyCase{Ra(1, 0), 9, 9}, ApplyCase{Ra(0, 0), 9, 0}, ApplyCase{Ra(1, 2), 100, 50},
                      ApplyCase{Ra(3, 2), 100, 100}, ApplyCase{Ra(4294967295u, 2), 100, 100},
                      ApplyCase{Ra(1, 3), 65535, 21845}, ApplyCase{Mn(5), 3, 5}, ApplyCase{Mn(5), 8, 8},
                      ApplyCase{Mx(5), 3, 3}, ApplyCase{Mx(5), 8, 5}, ApplyCase{Len(200), 100, 100},
                      ApplyCase{Len(50), 100, 50}, ApplyCase{Fi(2), 10, 2}, ApplyCase{Fi(20), 10, 10}));

TEST(ConstraintText, KindAndPayload) {
    EXPECT_EQ(Mn(5).debug(), "Min(5)");
    EXPECT_EQ(Mx(0).debug(), "Max(0)");
    EXPECT_EQ(Len(65535).debug(), "Length(65535)");
    EXPECT_EQ(Pc(150).debug(), "Percentage(150)");
    EXPECT_EQ(Ra(1, 3).debug(), "Ratio(1, 3)");
    EXPECT_EQ(Ra(4294967295u, 0).debug(), "Ratio(4294967295, 0)");
    EXPECT_EQ(Fi(2).debug(), "Fill(2)");
}

TEST(SpacingValue, SignedAmountsClampAndMapToOverlap) {
    EXPECT_EQ(Spacing::from_signed(-5), Spacing::overlap(5));
    EXPECT_EQ(Spacing::from_signed(0), Spacing::space(0));
    EXPECT_EQ(Spacing::from_signed(100000), Spacing::space(32767));
    EXPECT_EQ(Spacing::from_signed(-100000), Spacing::overlap(32768));
    EXPECT_EQ(Spacing::overlap(32768).solver_amount(), -32768);
    EXPECT_EQ(Spacing::overlap(65535).solver_amount(), 1);
    EXPECT_EQ(Spacing::space(65535).solver_amount(), -1);
    EXPECT_EQ(Spacing::overlap(7).debug(), "Overlap(7)");
}

TEST(LayoutText, DebugForm) {
    Layout l;
    EXPECT_EQ(l.debug(),
              "Layout { direction: Vertical, constraints: [], margin: Margin { horizontal: 0, "
              "vertical: 0 }, flex: Start, spacing: Space(0) }");
    l = horizontal({Mn(5), Ra(1, 3)}, SE, -2);
    l.margin = Margin{3, 1};
    EXPECT_EQ(l.debug(),
              "Layout { direction: Horizontal, constraints: [Min(5), Ratio(1, 3)], margin: Margin "
              "{ horizontal: 3, vertical: 1 }, flex: SpaceEvenly, spacing: Overlap(2) }");
}

}  // namespace
}  // namespace tarvo::core
