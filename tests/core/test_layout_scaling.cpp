// How the work of a split grows with the number of constraints, counted in solver operations
// rather than time: the pivots per constraint stay bounded as splits grow fourfold, in the flex
// modes the split solver serves, for every kind of constraint, fitting or crowded. (The cells
// visited per pivot still grow with the split: that work is not linear yet.)
#include <gtest/gtest.h>

#include "core/layout.hpp"

namespace tarvo::core {
namespace {

struct Family {
    const char* name;
    Flex flex;
    std::uint16_t width;
    Constraint (*make)(std::size_t i);
};

Constraint mixed(std::size_t i) {
    static const Constraint pattern[] = {Constraint::length(10), Constraint::percentage(20), Constraint::min(5),
                                         Constraint::max(30),    Constraint::ratio(1, 8),     Constraint::fill(1),
                                         Constraint::length(4),  Constraint::fill(2),         Constraint::min(2),
                                         Constraint::percentage(5)};
    return pattern[i % 10];
}
Constraint lengths(std::size_t i) { return Constraint::length(static_cast<std::uint16_t>(1 + i % 4)); }
Constraint maxima(std::size_t i) { return Constraint::max(static_cast<std::uint16_t>(3 + i % 5)); }
Constraint fills(std::size_t i) { return Constraint::fill(static_cast<std::uint16_t>(1 + i % 3)); }

SplitWork work_of(const Family& f, std::size_t n) {
    Layout l;
    l.direction = Direction::Horizontal;
    l.flex = f.flex;
    l.spacing = Spacing::space(1);
    for (std::size_t i = 0; i < n; ++i) l.constraints.push_back(f.make(i));
    SplitWork work;
    const Split s = solve_split(l, Rect{0, 0, f.width, 1}, work);
    EXPECT_EQ(s.segments.size(), n);
    return work;
}

TEST(LayoutScaling, PivotsPerConstraintStayBounded) {
    const Family families[] = {
        {"mixed, crowded, Start", Flex::Start, 200, mixed},
        {"mixed, crowded, Legacy", Flex::Legacy, 200, mixed},
        {"mixed, roomy, Center", Flex::Center, 20000, mixed},
        {"lengths, fitting, Start", Flex::Start, 20000, lengths},
        {"lengths, crowded, End", Flex::End, 300, lengths},
        {"maxima, fitting, Legacy", Flex::Legacy, 20000, maxima},
        {"fills, Start", Flex::Start, 5000, fills},
    };
    for (const Family& f : families) {
        SCOPED_TRACE(f.name);
        const SplitWork small = work_of(f, 100);
        const SplitWork large = work_of(f, 400);
        ASSERT_GT(small.pivots, 0u);
        // A handful of pivots per constraint, whatever the size, so four times the constraints
        // take at most about four times the pivots.
        EXPECT_LE(large.pivots, 6u * 400u);
        EXPECT_LE(large.pivots, 5u * small.pivots);
    }
}

}  // namespace
}  // namespace tarvo::core
