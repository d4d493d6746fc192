// The incremental Cassowary solver on its own: required against preferred constraints,
// strength ordering, inequalities, redundancy and unsatisfiable required constraints.
#include <gtest/gtest.h>

#include "core/cassowary.hpp"

#include <algorithm>
#include <set>
#include <vector>

namespace tarvo::core::cassowary {
namespace {

using R = Relation;
namespace st = strength;

TEST(Cassowary, RequiredBeatsPreferred) {
    Solver s;
    const Variable x = s.new_variable();
    ASSERT_EQ(s.add_constraint(x, R::Equal, 20.0, st::strong), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), 20.0);
    ASSERT_EQ(s.add_constraint(x, R::Equal, 10.0, st::required), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), 10.0);
}

struct StrengthCase {
    double a, b;  // strengths of "x = 0" and "x = 10"
    double expected;
};

class StrengthOrder : public ::testing::TestWithParam<StrengthCase> {};

TEST_P(StrengthOrder, StrongerPreferenceWins) {
    Solver s;
    const Variable x = s.new_variable();
    ASSERT_EQ(s.add_constraint(x, R::GreaterOrEqual, -100.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(x, R::LessOrEqual, 100.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(x, R::Equal, 0.0, GetParam().a), Status::Ok);
    ASSERT_EQ(s.add_constraint(x, R::Equal, 10.0, GetParam().b), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, StrengthOrder,
    ::testing::Values(StrengthCase{st::weak, st::strong, 10.0}, StrengthCase{st::strong, st::medium, 0.0},
                      StrengthCase{st::create(0, 0, 2), st::create(0, 0, 3), 10.0},
                      StrengthCase{st::create(0, 1, 0), st::create(0, 0, 999), 0.0},
                      StrengthCase{st::create(1, 0, 0, 2.0), st::strong, 0.0},
                      // A clipped strength of required or more is required.
                      StrengthCase{st::create(2000, 0, 0), st::strong, 0.0}));

TEST(Cassowary, StrengthsAreClipped) {
    EXPECT_EQ(st::create(1000, 1000, 1000), st::required);
    EXPECT_EQ(st::create(5000, 0, 0), st::required);
    EXPECT_EQ(st::create(-1, 0, 0), 0.0);
    EXPECT_EQ(st::create(1, 2, 3, 10.0), 10'020'030.0);
}

TEST(Cassowary, InequalitiesBoundPreferences) {
    Solver s;
    const Variable x = s.new_variable(), y = s.new_variable();
    ASSERT_EQ(s.add_constraint(x, R::LessOrEqual, 5.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(x, R::Equal, 10.0, st::strong), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), 5.0);
    // y ≥ x + 3 with y preferring 0: pushed up to 8.
    ASSERT_EQ(s.add_constraint(y, R::GreaterOrEqual, Expression(x) + 3.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(y, R::Equal, 0.0, st::weak), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(y), 8.0);
}

TEST(Cassowary, MidpointOfTwoBoundedEnds) {
    Solver s;
    const Variable left = s.new_variable(), mid = s.new_variable(), right = s.new_variable();
    ASSERT_EQ(s.add_constraint(Expression(mid) * 2.0, R::Equal, Expression(left) + right, st::required),
              Status::Ok);
    ASSERT_EQ(s.add_constraint(Expression(left) + 10.0, R::LessOrEqual, right, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(right, R::LessOrEqual, 100.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(left, R::GreaterOrEqual, 0.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(left, R::Equal, 95.0, st::strong), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(left), 90.0);
    EXPECT_DOUBLE_EQ(s.value(right), 100.0);
    EXPECT_DOUBLE_EQ(s.value(mid), 95.0);
}

TEST(Cassowary, RepeatedVariablesAddUp) {
    Solver s;
    const Variable x = s.new_variable();
    ASSERT_EQ(s.add_constraint(Expression(x) + x + x, R::Equal, 12.0, st::required), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), 4.0);
    // x − x = 0 is redundant, not an error.
    EXPECT_EQ(s.add_constraint(Expression(x) - x, R::Equal, 0.0, st::required), Status::Ok);
    EXPECT_EQ(s.add_constraint(x, R::Equal, 4.0, st::required), Status::Ok);
    EXPECT_EQ(s.constraint_count(), 3u);
}

TEST(Cassowary, UnmentionedVariableReadsZero) {
    Solver s;
    const Variable x = s.new_variable();
    EXPECT_EQ(s.value(x), 0.0);
    EXPECT_EQ(s.value(Variable{42}), 0.0);
}

struct Conflict {
    const char* name;
    Constraint first, second;
    double probe;     // a weak wish for x added afterwards
    double expected;  // what x becomes with only the first constraint in force
};

class Unsatisfiable : public ::testing::TestWithParam<Conflict> {};

// A contradicting required constraint is refused and leaves the earlier ones in force.
TEST_P(Unsatisfiable, IsReportedAndSolverStaysUsable) {
    Solver s;
    const Variable x{0};
    ASSERT_EQ(s.new_variable(), x);
    ASSERT_EQ(s.add_constraint(GetParam().first), Status::Ok);
    const double before = s.value(x);
    EXPECT_EQ(s.add_constraint(GetParam().second), Status::Unsatisfiable);
    EXPECT_EQ(s.constraint_count(), 1u);
    EXPECT_DOUBLE_EQ(s.value(x), before);
    ASSERT_EQ(s.add_constraint(x, R::Equal, GetParam().probe, st::weak), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(x), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Required, Unsatisfiable,
    ::testing::Values(
        Conflict{"TwoEqualities", make_constraint(Variable{0}, R::Equal, 1.0, st::required),
                 make_constraint(Variable{0}, R::Equal, 2.0, st::required), 1000.0, 1.0},
        Conflict{"DisjointBounds", make_constraint(Variable{0}, R::GreaterOrEqual, 10.0, st::required),
                 make_constraint(Variable{0}, R::LessOrEqual, 5.0, st::required), 1000.0, 1000.0},
        Conflict{"EqualityOutsideBound", make_constraint(Variable{0}, R::LessOrEqual, 5.0, st::required),
                 make_constraint(Variable{0}, R::Equal, 7.0, st::required), 1000.0, 5.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cassowary, ConstantContradictionIsUnsatisfiable) {
    Solver s;
    EXPECT_EQ(s.add_constraint(Expression(1.0), R::Equal, 0.0, st::required), Status::Unsatisfiable);
    EXPECT_EQ(s.add_constraint(Expression(0.0), R::Equal, 0.0, st::required), Status::Ok);
    // A preferred contradiction is merely violated.
    EXPECT_EQ(s.add_constraint(Expression(1.0), R::Equal, 0.0, st::strong), Status::Ok);
}

// Rows of hundreds of cells switch to a hashed form; sums built through them, and cells that
// cancel out of them, must come out as with short rows.
class LongRows : public ::testing::TestWithParam<int> {};

TEST_P(LongRows, SumsThroughLongRowsAreExact) {
    const int n = GetParam();
    Solver s;
    std::vector<Variable> x;
    for (int i = 0; i < n; ++i) x.push_back(s.new_variable());
    const Variable total = s.new_variable(), twice = s.new_variable();
    Expression sum;
    for (const Variable& v : x) sum += v;
    // The total is tied to the parameters before any of them has a value: its row holds n cells.
    ASSERT_EQ(s.add_constraint(total, R::Equal, sum, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(Expression(twice), R::Equal, Expression(total) * 2.0, st::required), Status::Ok);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(s.add_constraint(x[static_cast<std::size_t>(i)], R::Equal, static_cast<double>(i + 1), st::required),
                  Status::Ok);
    const double expected = n * (n + 1) / 2.0;
    EXPECT_DOUBLE_EQ(s.value(total), expected);
    EXPECT_DOUBLE_EQ(s.value(twice), 2 * expected);
    // Everything added and taken away again leaves an empty, redundant row.
    EXPECT_EQ(s.add_constraint(sum - sum, R::Equal, 0.0, st::required), Status::Ok);
    // A preference against a long row moves only what is free: the slack of "total ≤ ..." .
    const Variable free = s.new_variable();
    ASSERT_EQ(s.add_constraint(Expression(free), R::LessOrEqual, Expression(total) + 1.0, st::required), Status::Ok);
    ASSERT_EQ(s.add_constraint(free, R::Equal, 1e9, st::strong), Status::Ok);
    EXPECT_DOUBLE_EQ(s.value(free), expected + 1.0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, LongRows, ::testing::Values(10, 255, 256, 257, 600));

// A long row, kept in a table or direct, whose cells cancel down gives its room back, sorted
// again or in a smaller table, and goes on holding, looking up and adding exactly what it held.
// A direct row may take the slots another row gave up: they must come empty, and go back empty.
TEST(CassowaryRows, LongRowsShrinkAndKeepTheirCells) {
    enum Form { Table, Direct, Reused };
    for (const Form form : {Table, Direct, Reused}) {
        for (const std::size_t left : {0u, 3u, 128u, 129u, 150u, 300u}) {
            const bool direct = form != Table;
            detail::SlotPool pool;
            if (form == Reused) {
                detail::Row used;
                used.make_direct(3200);
                for (detail::Symbol s = 1; s < 3200; s += 3) used.add(s, 9.0);
                for (detail::Symbol s = 1; s < 3000; s += 3) used.add(s, -9.0);
                used.shrink_if_sparse(&pool);
                ASSERT_FALSE(used.is_direct());
                ASSERT_FALSE(pool.empty());
            }
            detail::Row row;
            std::vector<double> want(3200, 0.0);
            for (detail::Symbol s = 1; s <= 3000; ++s) {
                row.add(s, 0.25 * s);
                want[s] = 0.25 * s;
            }
            row.densify_if_long(direct ? 3200 : 20000, 0, &pool);
            ASSERT_EQ(row.is_direct(), direct);
            ASSERT_TRUE(pool.empty());
            for (detail::Symbol s = 1; s <= 3000 - left; ++s) {
                row.add(s, -0.25 * s);
                want[s] = 0.0;
            }
            row.shrink_if_sparse(&pool);
            ASSERT_EQ(row.size(), left);
            // A direct row keeps its slots until it holds under a sixteenth of them.
            if (!direct || 16 * left < 3200) {
                EXPECT_LE(row.room(), std::max<std::size_t>(512, 4 * (left + 1)) * sizeof(detail::Cell)) << left;
            }
            // Adding a staged row merges or looks up against the smaller form.
            detail::Row addend;
            for (detail::Symbol s = 2990; s <= 3100; s += 5) addend.add(s, 1.0);
            detail::Workspace ws;
            addend.stage(ws, 3200);
            row.add_all(2.0, ws, [](detail::Symbol) {});
            for (detail::Symbol s = 2990; s <= 3100; s += 5) want[s] += 2.0;
            for (detail::Symbol s = 1; s < 3200; ++s)
                ASSERT_EQ(row.coefficient_for(s), want[s]) << form << " " << left << " " << s;
            double sum = 0.0, want_sum = 0.0;
            row.for_each([&](const detail::Cell& c) { sum += c.coefficient * c.symbol; });
            for (detail::Symbol s = 1; s < 3200; ++s) want_sum += want[s] * s;
            EXPECT_EQ(sum, want_sum) << form << " " << left;
            // A copy holds the same cells; the row moved from is left empty and usable.
            const detail::Row copy = row;
            detail::Row moved = std::move(row);
            double copied_sum = 0.0;
            copy.for_each([&](const detail::Cell& c) { copied_sum += c.coefficient * c.symbol; });
            EXPECT_EQ(copied_sum, want_sum);
            EXPECT_EQ(moved.size(), copy.size());
            EXPECT_EQ(row.size(), 0u);
            EXPECT_EQ(row.coefficient_for(2990), 0.0);
            row.add(7, 1.0);
            EXPECT_EQ(row.coefficient_for(7), 1.0);
            // Slots given back are empty for the next row.
            if (!pool.empty()) {
                detail::Row next;
                next.make_direct(3200, &pool);
                std::size_t visited = 0;
                next.for_each([&](const detail::Cell&) { ++visited; });
                EXPECT_EQ(visited + next.size(), 0u);
                for (detail::Symbol s = 1; s < 3200; ++s) ASSERT_EQ(next.coefficient_for(s), 0.0) << s;
            }
        }
    }
}

// Roomy splits of growing segments, posed as a layout poses them, with random weights and a
// few fixed sizes: their rows and sizes grow long enough to go direct and back, and the columns
// must find every cell all along. The split still fills the area, segments in proportion where
// free.
TEST(SplitSolverColumns, StayConsistentAsRowsGoDirectAndBack) {
    std::uint64_t draw = 7;
    auto below = [&](std::uint32_t n) {
        draw = draw * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((draw >> 33) % n);
    };
    for (const std::uint32_t n : {40u, 100u}) {
        const std::uint32_t elements = 2 * n + 1;
        const double length = 100.0 * (5 * n + below(20 * n));
        SplitSolver s(elements, 0.0, length, below(2) == 1);
        s.set_large(true);
        using T = SplitSolver::Term;
        bool consistent = true;
        auto add = [&](std::initializer_list<T> terms, double constant, R rel, double strength) {
            ASSERT_EQ(s.add(terms, constant, rel, strength), Status::Ok);
            consistent = consistent && s.columns_consistent();
        };
        std::vector<double> weight(n);
        for (std::uint32_t i = 0; i < n; ++i) add({{2 * i + 1, 1.0}}, 0.0, R::GreaterOrEqual, st::required);
        for (std::uint32_t i = 1; i < n; ++i) add({{2 * i, 1.0}}, -100.0, R::Equal, st::required / 10.0);
        add({{0, 1.0}}, 0.0, R::Equal, st::required - st::weak);
        add({{elements - 1, 1.0}, {SplitSolver::kArea, -1.0}}, 0.0, R::Equal, st::medium / 10.0);
        for (std::uint32_t i = 0; i < n; ++i) {
            weight[i] = 1.0 + below(3);
            if (below(8) == 0)
                add({{2 * i + 1, 1.0}}, -100.0 * below(30), R::Equal, st::strong * 10.0);
            else
                add({{2 * i + 1, 1.0}, {SplitSolver::kArea, -1.0}}, 0.0, R::Equal, st::medium);
        }
        for (std::uint32_t i = 1; i < n; ++i)
            add({{2 * i + 1, weight[0]}, {1, -weight[i]}}, 0.0, R::Equal, st::medium / 10.0);
        for (std::uint32_t i = 0; i + 1 < n; ++i) add({{2 * i + 1, 1.0}, {2 * i + 3, -1.0}}, 0.0, R::Equal, st::weak);
        EXPECT_TRUE(consistent) << n;
        const std::vector<double> b = s.boundaries();
        EXPECT_DOUBLE_EQ(b.back(), length) << n;
        for (std::uint32_t k = 0; k + 1 < b.size(); ++k) EXPECT_LE(b[k], b[k + 1] + 1e-6) << n << " " << k;
    }
}

// The nearest member on either side, against a plain ordered set, across word edges.
TEST(CassowarySets, BitSetFindsNearestMembers) {
    for (const std::size_t count : {1u, 63u, 64u, 65u, 200u}) {
        detail::BitSet bits;
        bits.assign(count, false);
        std::set<std::size_t> members;
        std::uint64_t draw = count;
        for (int step = 0; step < 400; ++step) {
            draw = draw * 6364136223846793005ull + 1442695040888963407ull;
            const std::size_t i = (draw >> 33) % count;
            const bool member = ((draw >> 20) & 3u) != 0;
            bits.set(i, member);
            if (member) members.insert(i); else members.erase(i);
            for (std::size_t at = 0; at <= count + 1; ++at) {
                const auto after = members.lower_bound(at);
                ASSERT_EQ(bits.next(at, count), after == members.end() ? count : *after) << count << " " << at;
                ASSERT_EQ(bits.previous(at, count), after == members.begin() ? count : *std::prev(after))
                    << count << " " << at;
            }
        }
    }
    detail::BitSet all;
    all.assign(70, true);
    EXPECT_EQ(all.previous(1000, 0), 69u);
    EXPECT_EQ(all.next(70, 0), 0u);
}

// Lists in one pool keep their order, and nodes given back are used again.
TEST(CassowarySets, ColumnListsKeepOrderAndReuseNodes) {
    detail::ColumnLists lists;
    lists.assign(3);
    auto read = [&](detail::Symbol s) {
        std::vector<std::uint32_t> out;
        lists.for_each(s, [&](std::uint32_t owner) { out.push_back(owner); });
        return out;
    };
    // Interleaved, and long enough to take several chunks each.
    std::vector<std::uint32_t> ones, twos;
    for (std::uint32_t k = 1; k <= 20; ++k) {
        lists.push(1, k);
        lists.push(2, 100 + k);
        ones.push_back(k);
        twos.push_back(100 + k);
    }
    EXPECT_EQ(read(1), ones);
    lists.clear(1);
    EXPECT_TRUE(read(1).empty());
    // The chunks given back serve the next lists, which start empty.
    std::vector<std::uint32_t> zeros;
    for (std::uint32_t k = 0; k < 15; ++k) {
        lists.push(0, k);
        zeros.push_back(k);
    }
    lists.push(1, 8);
    EXPECT_EQ(read(0), zeros);
    EXPECT_EQ(read(1), (std::vector<std::uint32_t>{8}));
    EXPECT_EQ(read(2), twos);
}

// A preference pulling on hundreds of variables at once, then released one by one: cells come
// and go in long rows.
// The short paths of the split solver against the constraints written out: a size held at or
// above zero by a slack that mirrors it, and the wish for the whole area as a linear term of the
// objective (a size never exceeds the area). Roomy splits of proportional fills pivot the mirrors
// out of the basis and back; both reach the same best split.
TEST(SplitSolverShortPaths, MirrorsAndLinearWishesReachTheSameSplit) {
    std::uint64_t draw = 11;
    auto below = [&](std::uint32_t n) {
        draw = draw * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((draw >> 33) % n);
    };
    using T = SplitSolver::Term;
    for (const std::uint32_t n : {12u, 70u, 150u}) {
        for (const std::uint32_t room : {2u, 40u}) {  // cells per segment, past the gaps: crowded or roomy
            const bool from_end = below(2) == 1;
            const std::uint32_t elements = 2 * n + 1;
            const double length = 100.0 * (n + below(room * n));
            std::vector<std::uint32_t> weight(n), fixed(n);
            for (std::uint32_t i = 0; i < n; ++i) {
                weight[i] = 1 + below(3);
                fixed[i] = below(6) == 0 ? 1 + below(30) : 0;  // a Length, else a Fill
            }
            SplitSolver written(elements, 0.0, length, from_end), short_paths(elements, 0.0, length, from_end);
            for (SplitSolver* s : {&written, &short_paths}) {
                const bool shortened = s == &short_paths;
                s->set_large(true);
                auto add = [&](std::initializer_list<T> terms, double constant, R rel, double strength) {
                    ASSERT_EQ(s->add(terms, constant, rel, strength), Status::Ok);
                };
                auto toward_area = [&](std::uint32_t e, double strength) {
                    if (shortened)
                        ASSERT_EQ(s->prefer(e, -strength), Status::Ok);
                    else
                        add({{e, 1.0}, {SplitSolver::kArea, -1.0}}, 0.0, R::Equal, strength);
                };
                for (std::uint32_t i = 0; i < n; ++i) {
                    if (shortened)
                        ASSERT_EQ(s->add_not_negative(2 * i + 1), Status::Ok);
                    else
                        add({{2 * i + 1, 1.0}}, 0.0, R::GreaterOrEqual, st::required);
                }
                for (std::uint32_t i = 1; i < n; ++i) add({{2 * i, 1.0}}, -100.0, R::Equal, st::required / 10.0);
                add({{0, 1.0}}, 0.0, R::Equal, st::required - st::weak);
                toward_area(elements - 1, st::medium / 10.0);
                for (std::uint32_t i = 0; i < n; ++i) {
                    if (fixed[i] != 0)
                        add({{2 * i + 1, 1.0}}, -100.0 * fixed[i], R::Equal, st::strong * 10.0);
                    else
                        toward_area(2 * i + 1, st::medium);
                }
                for (std::uint32_t i = 1; i < n; ++i)
                    add({{2 * i + 1, 1.0 * weight[0]}, {1, -1.0 * weight[i]}}, 0.0, R::Equal, st::medium / 10.0);
                for (std::uint32_t i = 0; i + 1 < n; ++i)
                    add({{2 * i + 1, 1.0}, {2 * i + 3, -1.0}}, 0.0, R::Equal, st::weak);
                EXPECT_TRUE(s->columns_consistent()) << n;
            }
            const std::vector<double> a = written.boundaries(), b = short_paths.boundaries();
            ASSERT_EQ(a.size(), b.size());
            for (std::size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k], b[k], 1e-6) << n << " " << room << " " << k;
        }
    }
    // A wish added last is acted on at once: the first element takes what the second leaves.
    SplitSolver s(3, 0.0, 1000.0);
    ASSERT_EQ(s.add({{1, 1.0}}, -100.0, R::Equal, st::strong), Status::Ok);
    ASSERT_EQ(s.prefer(0, -st::medium), Status::Ok);
    EXPECT_EQ(s.boundaries(), (std::vector<double>{0.0, 900.0, 1000.0, 1000.0}));
}

TEST(Cassowary, LongObjectiveSettlesOnEveryBound) {
    Solver s;
    constexpr int n = 400;
    std::vector<Variable> x;
    for (int i = 0; i < n; ++i) x.push_back(s.new_variable());
    Expression sum;
    for (int i = 0; i < n; ++i) {
        const Variable v = x[static_cast<std::size_t>(i)];
        ASSERT_EQ(s.add_constraint(v, R::GreaterOrEqual, 0.0, st::required), Status::Ok);
        ASSERT_EQ(s.add_constraint(v, R::LessOrEqual, static_cast<double>(i % 7), st::required), Status::Ok);
        sum += v;
    }
    // Wants the sum far above what the bounds allow: every variable goes to its upper bound.
    ASSERT_EQ(s.add_constraint(sum, R::Equal, 1e6, st::weak), Status::Ok);
    double total = 0.0;
    for (int i = 0; i < n; ++i) {
        EXPECT_DOUBLE_EQ(s.value(x[static_cast<std::size_t>(i)]), i % 7) << i;
        total += i % 7;
    }
    // A stronger wish for a small sum pulls them all back down as far as it can.
    ASSERT_EQ(s.add_constraint(sum, R::Equal, 10.0, st::strong), Status::Ok);
    double now = 0.0;
    for (const Variable& v : x) now += s.value(v);
    EXPECT_DOUBLE_EQ(now, 10.0);
    EXPECT_GT(total, 10.0);
}

}  // namespace
}  // namespace tarvo::core::cassowary
