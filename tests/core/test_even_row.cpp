// Sharing room along a row: against the general solver's least total difference between
// neighbours, on random rows.
#include <gtest/gtest.h>

#include "core/cassowary.hpp"
#include "core/even_row.hpp"

#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace tarvo::core {
namespace {

namespace cw = cassowary;

double unevenness(const std::vector<double>& x) {
    double sum = 0.0;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) sum += std::fabs(x[i] - x[i + 1]);
    return sum;
}

// The least unevenness of a sharing, by the general solver: each pair of neighbours asks to be
// equal with a strength of 1.
double least_by_solver(const std::vector<RowPlace>& row, double room) {
    cw::Solver s;
    std::vector<cw::Variable> x;
    cw::Expression taken;
    for (const RowPlace& p : row) {
        x.push_back(s.new_variable());
        if (p.free) {
            EXPECT_EQ(s.add_constraint(x.back(), cw::Relation::GreaterOrEqual, p.least, cw::strength::required), cw::Status::Ok);
            EXPECT_EQ(s.add_constraint(x.back(), cw::Relation::LessOrEqual, p.size, cw::strength::required), cw::Status::Ok);
            taken += x.back();
        } else {
            EXPECT_EQ(s.add_constraint(x.back(), cw::Relation::Equal, p.size, cw::strength::required), cw::Status::Ok);
        }
    }
    EXPECT_EQ(s.add_constraint(taken, cw::Relation::Equal, room, cw::strength::required), cw::Status::Ok);
    for (std::size_t i = 0; i + 1 < x.size(); ++i)
        EXPECT_EQ(s.add_constraint(x[i], cw::Relation::Equal, x[i + 1], 1.0), cw::Status::Ok);
    std::vector<double> sizes;
    for (const cw::Variable v : x) sizes.push_back(s.value(v));
    return unevenness(sizes);
}

TEST(EvenRow, SharesRoomAsEvenlyAsTheSolver) {
    std::mt19937 rng(7);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<RowPlace> row(static_cast<std::size_t>(pick(1, 14)));
        double least = 0.0, most = 0.0;
        for (RowPlace& p : row) {
            p = {static_cast<double>(pick(0, 9)), pick(0, 2) > 0};
            if (!p.free) continue;
            p.least = pick(0, 3) == 0 ? static_cast<double>(pick(0, static_cast<int>(p.size))) : 0.0;
            least += p.least;
            most += p.size;
        }
        const double room = least + (most - least) * std::uniform_real_distribution<double>(0.0, 1.0)(rng);
        const std::vector<double> x = share_evenly(row, room);
        ASSERT_EQ(x.size(), row.size());
        double taken = 0.0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (!row[i].free) {
                ASSERT_EQ(x[i], row[i].size);
                continue;
            }
            ASSERT_GE(x[i], row[i].least - 1e-9);
            ASSERT_LE(x[i], row[i].size + 1e-9);
            taken += x[i];
        }
        ASSERT_NEAR(taken, room, 1e-6) << "trial " << trial;
        ASSERT_LE(unevenness(x), least_by_solver(row, room) + 1e-6) << "trial " << trial;
    }
}

// Room beyond what the free places take fills them; too little leaves each at its least.
TEST(EvenRow, ClampsTheRoom) {
    const std::vector<RowPlace> row = {{2.0, true}, {5.0, false}, {3.0, true, 1.0}};
    EXPECT_EQ(share_evenly(row, 9.0), (std::vector<double>{2.0, 5.0, 3.0}));
    EXPECT_EQ(share_evenly(row, 0.0), (std::vector<double>{0.0, 5.0, 1.0}));
}

// Sharing alike, where it is the only sharing as even as the row allows: on random rows whose
// free places stand together, it is as even as the solver's, and moving a little room between
// any two free places makes it less even. Where it is not known to be the only one, nothing.
TEST(EvenRow, SharesAlikeOnlyWhereThatIsTheOnlyEvenestSharing) {
    std::mt19937 rng(11);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    int alike = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<RowPlace> row(static_cast<std::size_t>(pick(1, 8)), RowPlace{0.0, false});
        const int places = static_cast<int>(row.size());
        const auto first = static_cast<std::size_t>(pick(0, places - 1));
        const auto last = static_cast<std::size_t>(pick(static_cast<int>(first), places - 1));
        double most = 0.0;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const bool free = first <= i && i <= last;
            row[i] = {static_cast<double>(pick(free ? 1 : 0, 9)), free};
            if (free) most += row[i].size;
        }
        const double room = most * std::uniform_real_distribution<double>(0.0, 1.0)(rng);
        const std::optional<std::vector<double>> x = share_alike(row, room);
        if (!x) continue;
        ++alike;
        ASSERT_NEAR(unevenness(*x), least_by_solver(row, room), 1e-6) << "trial " << trial;
        for (std::size_t i = first; i <= last; ++i)
            for (std::size_t j = first; j <= last; ++j) {
                if (i == j || (*x)[i] < 1e-3 || (*x)[j] + 1e-3 > row[j].size) continue;
                std::vector<double> moved = *x;
                moved[i] -= 1e-3;
                moved[j] += 1e-3;
                ASSERT_GT(unevenness(moved), unevenness(*x) + 1e-9) << "trial " << trial;
            }
    }
    EXPECT_GT(alike, 500);

    const struct {
        std::vector<RowPlace> row;
        double room;
        std::optional<std::vector<double>> sizes;
    } cases[] = {
        {{{8.0, false}, {5.0, true}, {5.0, true}, {9.0, false}}, 4.0, std::vector<double>{8.0, 2.0, 2.0, 9.0}},
        {{{5.0, true}, {5.0, true}, {1.0, false}}, 6.0, std::vector<double>{3.0, 3.0, 1.0}},
        {{{0.0, false}, {5.0, true}, {5.0, true}, {9.0, false}}, 8.0, std::nullopt},  // between the two
        {{{5.0, true}, {0.0, false}, {5.0, true}}, 4.0, std::nullopt},                // apart
        {{{3.0, true}, {9.0, true}}, 8.0, std::nullopt},                              // above a size
        {{{9.0, true, 5.0}, {9.0, true}}, 8.0, std::nullopt},                         // below a least
    };
    for (const auto& c : cases) EXPECT_EQ(share_alike(c.row, c.room), c.sizes);
}

// Runs of free places apart: where a sharing is given, it is as even as the solver's best, and
// moving a little room from any free place to another makes the row less even.
TEST(EvenRow, SharesInRunsOnlyWhereThatIsTheOnlyEvenestSharing) {
    std::mt19937 rng(12);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(rng); };
    int shared = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        std::vector<RowPlace> row(static_cast<std::size_t>(pick(2, 12)), RowPlace{0.0, false});
        double most = 0.0;
        for (RowPlace& p : row) {
            p.free = pick(0, 2) > 0;
            p.size = static_cast<double>(p.free ? pick(0, 1) * pick(1, 9) + (pick(0, 3) == 0 ? 0 : 5) : pick(0, 9));
            if (p.free) most += p.size;
        }
        const double room = most * std::uniform_real_distribution<double>(0.0, 1.0)(rng);
        const std::optional<std::vector<double>> x = share_in_runs(row, room);
        if (!x) continue;
        ++shared;
        testing::Message shown;
        for (std::size_t k = 0; k < row.size(); ++k)
            shown << (row[k].free ? " free " : " fixed ") << row[k].size << ": " << (*x)[k];
        ASSERT_NEAR(unevenness(*x), least_by_solver(row, room), 1e-6)
            << "trial " << trial << shown << ", room " << room;
        for (std::size_t i = 0; i < row.size(); ++i)
            for (std::size_t j = 0; j < row.size(); ++j) {
                if (i == j || !row[i].free || !row[j].free || (*x)[i] < 1e-3 || (*x)[j] + 1e-3 > row[j].size) continue;
                std::vector<double> moved = *x;
                moved[i] -= 1e-3;
                moved[j] += 1e-3;
                ASSERT_GT(unevenness(moved), unevenness(*x) + 1e-9) << "trial " << trial;
            }
    }
    EXPECT_GT(shared, 500);
    // A free place that can take nothing more than its least keeps that, out of the room.
    EXPECT_EQ(share_in_runs({{5.0, true, 5.0}, {0.0, false}, {9.0, true}, {9.0, true}}, 9.0),
              (std::vector<double>{5.0, 0.0, 2.0, 2.0}));
}

// Free places each alone between empty ones: those at the ends take their sizes first, then the
// others from the last back.
TEST(EvenRow, SharesFromTheLastWherePlacesStandAlone) {
    const RowPlace free5{5.0, true}, empty{0.0, false};
    const struct {
        std::vector<RowPlace> row;
        double room;
        std::optional<std::vector<double>> sizes;
    } cases[] = {
        {{free5, empty, free5, empty, free5, empty}, 8.0, std::vector<double>{5.0, 0.0, 0.0, 0.0, 3.0, 0.0}},
        {{empty, free5, empty, free5, empty, free5}, 12.0, std::vector<double>{0.0, 2.0, 0.0, 5.0, 0.0, 5.0}},
        {{free5, empty, free5}, 4.0, std::nullopt},               // the two ends short of their sizes
        {{free5, free5, empty, free5}, 8.0, std::nullopt},        // side by side
        {{free5, {1.0, false}, free5}, 8.0, std::nullopt},        // beside a place that is not empty
        {{free5, empty, free5, empty}, 11.0, std::nullopt},       // more room than they take
    };
    for (const auto& c : cases) EXPECT_EQ(share_from_the_last(c.row, c.room), c.sizes);
}

}  // namespace
}  // namespace tarvo::core
