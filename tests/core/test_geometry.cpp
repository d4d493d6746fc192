#include <gtest/gtest.h>

#include "core/geometry.hpp"
#include "core/numeric.hpp"

using namespace tarvo::core;

TEST(Numeric, SaturatingArithmetic) {
    EXPECT_EQ(sat_add<std::uint16_t>(65000, 1000), 65535);
    EXPECT_EQ(sat_sub<std::uint16_t>(3, 5), 0);
    EXPECT_EQ(sat_mul<std::uint16_t>(40000, 2), 65535);
    EXPECT_EQ(sat_add_i32(2147483000, 1000), 2147483647);
    EXPECT_EQ(sat_add_i32(-2147483000, -1000), -2147483647 - 1);
}

TEST(Numeric, SaturatingCasts) {
    EXPECT_EQ(sat_cast<std::uint8_t>(300.0), 255);
    EXPECT_EQ(sat_cast<std::uint8_t>(-3.0), 0);
    EXPECT_EQ(sat_cast<std::uint16_t>(std::nan("")), 0);
    EXPECT_EQ(sat_cast<std::int32_t>(-1e300), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(round_half_away(2.5), 3.0);
    EXPECT_EQ(round_half_away(-2.5), -3.0);
    EXPECT_EQ(round_half_even(2.5), 2.0);
}

TEST(Rect, ClippedKeepsTheGridInvariant) {
    EXPECT_EQ(Rect::clipped(65000, 0, 1000, 10), (Rect{65000, 0, 535, 10}));
    EXPECT_EQ(Rect::clipped(0, 65535, 5, 5), (Rect{0, 65535, 5, 0}));
}

struct InnerCase {
    Rect rect;
    Margin margin;
    Rect expected;
};

TEST(Rect, Inner) {
    const InnerCase cases[] = {
        {{0, 0, 10, 10}, {5, 0}, {5, 0, 0, 10}},
        {{0, 0, 10, 10}, {6, 0}, {0, 0, 0, 0}},
        {{2, 3, 10, 10}, {1, 2}, {3, 5, 8, 6}},
        {{0, 0, 65535, 65535}, {40000, 0}, {40000, 0, 0, 65535}},  // doubling saturates at 65535
        {{0, 0, 65534, 5}, {40000, 0}, {0, 0, 0, 0}},
        {{10, 10, 0, 0}, {0, 0}, {10, 10, 0, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.rect.inner(c.margin), c.expected);
}

TEST(Rect, OffsetStopsAtTheGridEdges) {
    EXPECT_EQ((Rect{10, 10, 5, 5}).offset({-100, 70000}), (Rect{0, 65530, 5, 5}));
    EXPECT_EQ((Rect{10, 10, 5, 5}).offset({3, -4}), (Rect{13, 6, 5, 5}));
    EXPECT_EQ((Rect{0, 0, 65535, 1}).offset({5, 0}), (Rect{0, 0, 65535, 1}));
    EXPECT_EQ((Rect{100, 0, 1, 1}).offset({2147483647, -2147483647 - 1}), (Rect{65534, 0, 1, 1}));
}

TEST(Rect, UnionIntersection) {
    const Rect a{0, 0, 5, 5}, b{10, 10, 5, 5}, c{3, 2, 5, 5};
    EXPECT_EQ(a.union_with(b), (Rect{0, 0, 15, 15}));
    EXPECT_EQ(a.intersection(b), (Rect{10, 10, 0, 0}));
    EXPECT_EQ(a.intersection(c), (Rect{3, 2, 2, 3}));
    EXPECT_FALSE(a.intersects(b));
    EXPECT_FALSE(a.intersects(Rect{5, 0, 5, 5}));  // touching only
    EXPECT_TRUE(a.intersects(c));
}

TEST(Rect, EdgesAndContainment) {
    const Rect r{65530, 1, 5, 3};
    EXPECT_EQ(r.right(), 65535);
    EXPECT_EQ(r.bottom(), 4);
    EXPECT_TRUE(r.contains({65534, 3}));
    EXPECT_FALSE(r.contains({65535, 3}));
    EXPECT_FALSE(r.contains({65530, 4}));
    EXPECT_EQ((Rect{0, 0, 65535, 65535}).area(), 65535u * 65535u);
}

TEST(Rect, RowsAndColumns) {
    EXPECT_EQ((Rect{1, 2, 3, 2}).rows(), (std::vector<Rect>{{1, 2, 3, 1}, {1, 3, 3, 1}}));
    EXPECT_EQ((Rect{1, 2, 2, 3}).columns(), (std::vector<Rect>{{1, 2, 1, 3}, {2, 2, 1, 3}}));
    EXPECT_TRUE((Rect{0, 0, 0, 2}).columns().empty());
    EXPECT_TRUE((Rect{0, 0, 4, 0}).rows().empty());
}

TEST(Rect, Clamp) {
    EXPECT_EQ((Rect{8, 8, 5, 5}).clamp(Rect{0, 0, 10, 10}), (Rect{5, 5, 5, 5}));
    EXPECT_EQ((Rect{0, 0, 20, 3}).clamp(Rect{2, 2, 10, 10}), (Rect{2, 2, 10, 3}));
}
