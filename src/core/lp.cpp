#include "core/lp.hpp"

#include <coin/Clp_C_Interface.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo::core::lp {

namespace {

// Clp takes the largest double for no bound.
double clp_bound(double v) noexcept {
    constexpr double none = std::numeric_limits<double>::max();
    return std::clamp(v, -none, none);
}

std::vector<double> clp_bounds(const std::vector<double>& v, std::size_t from) {
    std::vector<double> out(v.begin() + static_cast<std::ptrdiff_t>(from), v.end());
    for (double& x : out) x = clp_bound(x);
    return out;
}

// Whether a starting value lies on a bound: within a millionth (far below anything a program
// tells apart), and a millionth of that of the bound's size (the rounding of the sums that reach it).
bool on(double value, double bound) noexcept {
    return std::isfinite(bound) && std::abs(value - bound) <= 1e-6 + 1e-12 * std::abs(bound);
}

// Clp's status codes.
constexpr int kBasic = 1, kAtUpper = 2, kAtLower = 3;
int status_of(double value, double lower, double upper) noexcept {
    if (on(value, lower)) return kAtLower;
    if (on(value, upper)) return kAtUpper;
    return kBasic;
}

}  // namespace

struct Problem::Model {
    Clp_Simplex* clp = Clp_newModel();
    ~Model() { Clp_deleteModel(clp); }
};

Problem::Problem() = default;
Problem::~Problem() = default;

std::uint32_t Problem::add_column(double lower, double upper, double cost) {
    lower_.push_back(lower);
    upper_.push_back(upper);
    cost_.push_back(cost);
    return static_cast<std::uint32_t>(cost_.size() - 1);
}

void Problem::add_row(std::span<const Entry> entries, double lower, double upper) {
    for (const Entry& e : entries) {
        row_columns_.push_back(static_cast<int>(e.column));
        row_values_.push_back(e.coefficient);
    }
    row_start_.push_back(static_cast<int>(row_columns_.size()));
    row_lower_.push_back(lower);
    row_upper_.push_back(upper);
}

std::optional<std::span<const double>> Problem::solve(std::span<const double> start) {
    if (model_ || start.size() != cost_.size()) start = {};
    // Clp reports what it cannot do by throwing; a program it cannot solve has no optimum here.
    try {
        if (auto solved = solve_with_clp(start)) return solved;
        if (start.empty()) return std::nullopt;
    } catch (...) {
    }
    model_.reset();
    columns_in_model_ = rows_in_model_ = 0;
    if (start.empty()) return std::nullopt;
    // From a start that led nowhere, once more from no start at all.
    return solve();
}

void Problem::set_basis_from(std::span<const double> start) {
    Clp_Simplex* clp = model_->clp;
    for (std::size_t j = 0; j < start.size(); ++j)
        Clp_setColumnStatus(clp, static_cast<int>(j), status_of(start[j], lower_[j], upper_[j]));
    for (std::size_t i = 0; i + 1 < row_start_.size(); ++i) {
        double activity = 0.0;
        for (auto k = row_start_[i]; k < row_start_[i + 1]; ++k)
            activity += row_values_[static_cast<std::size_t>(k)] * start[static_cast<std::size_t>(row_columns_[k])];
        Clp_setRowStatus(clp, static_cast<int>(i), status_of(activity, row_lower_[i], row_upper_[i]));
    }
    Clp_setColSolution(clp, start.data());
}

std::optional<std::span<const double>> Problem::solve_with_clp(std::span<const double> start) {
    const bool first = !model_;
    if (first) {
        model_ = std::make_unique<Model>();
        Clp_setLogLevel(model_->clp, 0);
    }
    Clp_Simplex* clp = model_->clp;

    // The columns and rows added since the last solve.
    const auto new_columns = static_cast<int>(cost_.size() - columns_in_model_);
    if (new_columns > 0) {
        const std::vector<CoinBigIndex> no_entries(new_columns + 1, 0);
        const std::vector<double> lower = clp_bounds(lower_, columns_in_model_);
        const std::vector<double> upper = clp_bounds(upper_, columns_in_model_);
        const std::vector<double> cost(cost_.begin() + static_cast<std::ptrdiff_t>(columns_in_model_), cost_.end());
        if (first)
            Clp_loadProblem(clp, new_columns, 0, no_entries.data(), nullptr, nullptr, lower.data(), upper.data(),
                            cost.data(), nullptr, nullptr);
        else
            Clp_addColumns(clp, new_columns, lower.data(), upper.data(), cost.data(), no_entries.data(), nullptr,
                           nullptr);
        columns_in_model_ = cost_.size();
    }
    const auto new_rows = static_cast<int>(row_lower_.size() - rows_in_model_);
    if (new_rows > 0) {
        const std::size_t from = row_start_[rows_in_model_];
        std::vector<CoinBigIndex> starts;
        starts.reserve(new_rows + 1);
        for (std::size_t i = rows_in_model_; i < row_start_.size(); ++i)
            starts.push_back(static_cast<CoinBigIndex>(row_start_[i] - from));
        const std::vector<double> lower = clp_bounds(row_lower_, rows_in_model_);
        const std::vector<double> upper = clp_bounds(row_upper_, rows_in_model_);
        Clp_addRows(clp, new_rows, lower.data(), upper.data(), starts.data(), row_columns_.data() + from,
                    row_values_.data() + from);
        rows_in_model_ = row_lower_.size();
    }

    // The dual simplex: from the last basis, the rows added since are all it has to mend.
    if (!start.empty()) {
        set_basis_from(start);
        Clp_setMaximumIterations(clp, start_pivots_);
        Clp_primal(clp, 0);
        Clp_setMaximumIterations(clp, std::numeric_limits<int>::max());
    } else if (first)
        Clp_initialDualSolve(clp);
    else
        Clp_dual(clp, 0);
    iterations_ += static_cast<std::uint64_t>(Clp_numberIterations(clp));
    if (!Clp_isProvenOptimal(clp)) return std::nullopt;
    return std::span<const double>(Clp_getColSolution(clp), cost_.size());
}

}  // namespace tarvo::core::lp
