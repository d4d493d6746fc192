// A sparse linear program over bounded columns and ranged rows, solved by COIN-OR's Clp.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace tarvo::core::lp {

inline constexpr double kUnbounded = std::numeric_limits<double>::infinity();

struct Entry {
    std::uint32_t column;
    double coefficient;
};

// Minimise Σ cost × column subject to lower ≤ Σ coefficient × column ≤ upper for every row and
// every column between its bounds (either may be ±kUnbounded). Columns and rows may be added
// after a solve: the next solve starts from the last one's basis. The first solve may start from
// a point near an optimum instead.
class Problem {
public:
    Problem();
    ~Problem();
    Problem(const Problem&) = delete;
    Problem& operator=(const Problem&) = delete;

    std::uint32_t add_column(double lower, double upper, double cost);
    std::size_t columns() const noexcept { return cost_.size(); }
    // Adds to the cost of a column not yet solved over.
    void add_cost(std::uint32_t column, double cost) { cost_[column] += cost; }
    void add_row(std::span<const Entry> entries, double lower, double upper);

    // The column values at an optimum, or nothing where the program has none (infeasible or
    // unbounded) or the solver fails to find it. `start`, where given (a value for every column,
    // before the first solve), is a point at or near an optimum: the primal simplex starts from
    // the basis it suggests (every column and row on one of its bounds nonbasic there, the rest
    // basic). From a point that is itself a vertex at an optimum, that takes no pivots.
    std::optional<std::span<const double>> solve(std::span<const double> start = {});
    // How many pivots a start is given before the program is solved from no start.
    void limit_start_pivots(int pivots) { start_pivots_ = pivots; }
    // Simplex iterations in all solves so far.
    std::uint64_t iterations() const noexcept { return iterations_; }

private:
    std::optional<std::span<const double>> solve_with_clp(std::span<const double> start);
    void set_basis_from(std::span<const double> start);

    struct Model;
    std::unique_ptr<Model> model_;
    std::size_t columns_in_model_ = 0, rows_in_model_ = 0;
    std::uint64_t iterations_ = 0;
    int start_pivots_ = std::numeric_limits<int>::max();
    std::vector<double> lower_, upper_, cost_;
    std::vector<int> row_start_{0};
    std::vector<int> row_columns_;
    std::vector<double> row_values_, row_lower_, row_upper_;
};

}  // namespace tarvo::core::lp
