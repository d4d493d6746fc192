// The linear programs the longest splits are posed as: optima, programs without one, and rows
// added after a solve.
#include <gtest/gtest.h>

#include "core/lp.hpp"

#include <optional>
#include <vector>

namespace tarvo::core::lp {
namespace {

TEST(LinearProgram, SolvesAndResolves) {
    // Two columns in 0..5 costing 1 and 2 a unit, their sum at least 2: the cheaper takes it all.
    Problem p;
    const std::uint32_t x = p.add_column(0.0, 5.0, 1.0);
    const std::uint32_t y = p.add_column(0.0, 5.0, 2.0);
    const Entry sum[] = {{x, 1.0}, {y, 1.0}};
    p.add_row(sum, 2.0, kUnbounded);
    auto values = p.solve();
    ASSERT_TRUE(values);
    EXPECT_NEAR((*values)[x], 2.0, 1e-9);
    EXPECT_NEAR((*values)[y], 0.0, 1e-9);

    // A row added after the solve (x ≤ 1) leaves the rest to the dearer column.
    const Entry only_x[] = {{x, 1.0}};
    p.add_row(only_x, -kUnbounded, 1.0);
    values = p.solve();
    ASSERT_TRUE(values);
    EXPECT_NEAR((*values)[x], 1.0, 1e-9);
    EXPECT_NEAR((*values)[y], 1.0, 1e-9);
    EXPECT_GT(p.iterations(), 0u);

    // ... and one that cannot hold with the others (y ≥ 6 past its bound) leaves no optimum.
    const Entry only_y[] = {{y, 1.0}};
    p.add_row(only_y, 6.0, kUnbounded);
    EXPECT_FALSE(p.solve());
}

TEST(LinearProgram, UnboundedHasNoOptimum) {
    Problem p;
    const std::uint32_t x = p.add_column(-kUnbounded, kUnbounded, -1.0);
    const std::uint32_t y = p.add_column(0.0, 1.0, 0.0);
    const Entry row[] = {{x, 1.0}, {y, -1.0}};
    p.add_row(row, -kUnbounded, kUnbounded);
    EXPECT_FALSE(p.solve());
}

TEST(LinearProgram, SolvesFromAStart) {
    // x + y ≥ 2 and x − y ≤ 1 over 0..5, x costing 1 and y 3 a unit: the optimum is (1.5, 0.5),
    // where both rows hold. From it no pivot is needed; from any other start (feasible or not,
    // given pivots or none) the same optimum is reached.
    struct Case {
        double x, y;
        int pivots;
    };
    for (const Case c : {Case{1.5, 0.5, 1000}, Case{5.0, 5.0, 1000}, Case{0.0, 0.0, 1000}, Case{5.0, 0.0, 0}}) {
        Problem p;
        const std::uint32_t x = p.add_column(0.0, 5.0, 1.0);
        const std::uint32_t y = p.add_column(0.0, 5.0, 3.0);
        const Entry sum[] = {{x, 1.0}, {y, 1.0}};
        const Entry difference[] = {{x, 1.0}, {y, -1.0}};
        p.add_row(sum, 2.0, kUnbounded);
        p.add_row(difference, -kUnbounded, 1.0);
        p.limit_start_pivots(c.pivots);
        const double start[] = {c.x, c.y};
        const auto values = p.solve(start);
        ASSERT_TRUE(values) << c.x << ", " << c.y;
        EXPECT_NEAR((*values)[x], 1.5, 1e-9) << c.x << ", " << c.y;
        EXPECT_NEAR((*values)[y], 0.5, 1e-9) << c.x << ", " << c.y;
        if (c.x == 1.5) {
            EXPECT_EQ(p.iterations(), 0u);
        }
    }
}

}  // namespace
}  // namespace tarvo::core::lp
