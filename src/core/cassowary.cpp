#include "core/cassowary.hpp"

#include <algorithm>
#include <limits>
#include <utility>

namespace tarvo::core::cassowary {

namespace {

constexpr double kEpsilon = 1e-8;

bool near_zero(double value) noexcept { return value < 0.0 ? -value < kEpsilon : value < kEpsilon; }

// Pivots allowed per optimisation before the solver gives up; the simplex has no
// anti-cycling rule, so a degenerate problem must not be able to spin for ever.
constexpr std::size_t kPivotBudgetBase = 10'000;

}  // namespace

// ---- expressions ----

Expression& Expression::operator+=(const Expression& other) {
    terms.insert(terms.end(), other.terms.begin(), other.terms.end());
    constant += other.constant;
    return *this;
}

Expression& Expression::operator-=(const Expression& other) {
    terms.reserve(terms.size() + other.terms.size());
    for (const Term& t : other.terms) terms.push_back({t.variable, -t.coefficient});
    constant -= other.constant;
    return *this;
}

Expression& Expression::operator*=(double factor) {
    for (Term& t : terms) t.coefficient *= factor;
    constant *= factor;
    return *this;
}

Expression operator+(Expression a, const Expression& b) { return a += b; }
Expression operator-(Expression a, const Expression& b) { return a -= b; }
Expression operator*(Expression a, double factor) { return a *= factor; }
Expression operator*(double factor, Expression a) { return a *= factor; }

Constraint make_constraint(const Expression& left, Relation relation, const Expression& right,
                           double strength) {
    return Constraint{left - right, relation, strength::clip(strength)};
}

const char* status_text(Status status) noexcept {
    switch (status) {
        case Status::Ok: return "ok";
        case Status::Unsatisfiable: return "unsatisfiable constraint";
        case Status::Unbounded: return "the objective is unbounded";
        case Status::NoProgress: return "the solver did not converge";
    }
    return "unknown";
}

// ---- rows ----

double Solver::coefficient_for(const Row& row, Symbol s) noexcept {
    if (!(row.mask & bit(s))) return 0.0;
    auto it = std::lower_bound(row.cells.begin(), row.cells.end(), s,
                               [](const Cell& c, Symbol v) { return c.symbol < v; });
    return it != row.cells.end() && it->symbol == s ? it->coefficient : 0.0;
}

void Solver::add_cell(Row& row, Symbol s, double coefficient) {
    auto it = std::lower_bound(row.cells.begin(), row.cells.end(), s,
                               [](const Cell& c, Symbol v) { return c.symbol < v; });
    if (it != row.cells.end() && it->symbol == s) {
        it->coefficient += coefficient;
        if (near_zero(it->coefficient)) row.cells.erase(it);
    } else if (!near_zero(coefficient)) {
        row.cells.insert(it, Cell{s, coefficient});
        row.mask |= bit(s);
    }
}

void Solver::remove_cell(Row& row, Symbol s) noexcept {
    if (!(row.mask & bit(s))) return;
    auto it = std::lower_bound(row.cells.begin(), row.cells.end(), s,
                               [](const Cell& c, Symbol v) { return c.symbol < v; });
    if (it != row.cells.end() && it->symbol == s) row.cells.erase(it);
}

// row += other × coefficient, cell by cell: each product is added to the existing cell, which
// disappears when the sum is near zero; a missing cell is created only for a product that is
// not near zero.
void Solver::add_row(Row& row, const Row& other, double coefficient) {
    row.constant += other.constant * coefficient;
    scratch_.clear();
    scratch_.reserve(row.cells.size() + other.cells.size());
    std::uint64_t mask = 0;
    auto a = row.cells.begin(), ae = row.cells.end();
    auto b = other.cells.begin(), be = other.cells.end();
    while (a != ae || b != be) {
        if (b == be || (a != ae && a->symbol < b->symbol)) {
            mask |= bit(a->symbol);
            scratch_.push_back(*a++);
        } else if (a == ae || b->symbol < a->symbol) {
            const double product = b->coefficient * coefficient;
            if (!near_zero(product)) {
                mask |= bit(b->symbol);
                scratch_.push_back(Cell{b->symbol, product});
            }
            ++b;
        } else {
            const double product = b->coefficient * coefficient;
            const double sum = a->coefficient + product;
            if (!near_zero(sum)) {
                mask |= bit(a->symbol);
                scratch_.push_back(Cell{a->symbol, sum});
            }
            ++a;
            ++b;
        }
    }
    // Copied back rather than swapped, so that both buffers keep their capacity; rows grow
    // geometrically.
    if (row.cells.capacity() < scratch_.size())
        row.cells.reserve(std::max(scratch_.size(), 2 * row.cells.capacity()));
    row.cells.assign(scratch_.begin(), scratch_.end());
    row.mask = mask;
}

// Turns "0 = row" into "subject = row'": the subject's cell c is removed and everything else
// is multiplied by −1/c.
void Solver::solve_for(Row& row, Symbol subject) {
    auto it = std::lower_bound(row.cells.begin(), row.cells.end(), subject,
                               [](const Cell& c, Symbol v) { return c.symbol < v; });
    const double factor = -1.0 / it->coefficient;
    row.cells.erase(it);
    row.constant *= factor;
    for (Cell& c : row.cells) c.coefficient *= factor;
}

// Turns "lhs = row" into "rhs = row'".
void Solver::solve_for_pair(Row& row, Symbol lhs, Symbol rhs) {
    add_cell(row, lhs, -1.0);
    solve_for(row, rhs);
}

void Solver::substitute_in(Row& row, Symbol symbol, const Row& replacement) {
    if (!(row.mask & bit(symbol))) return;
    auto it = std::lower_bound(row.cells.begin(), row.cells.end(), symbol,
                               [](const Cell& c, Symbol v) { return c.symbol < v; });
    if (it == row.cells.end() || it->symbol != symbol) return;
    const double coefficient = it->coefficient;
    row.cells.erase(it);
    add_row(row, replacement, coefficient);
}

void Solver::substitute(Symbol symbol, const Row& replacement) {
    for (Row& row : rows_) substitute_in(row, symbol, replacement);
    substitute_in(objective_, symbol, replacement);
    if (artificial_) substitute_in(*artificial_, symbol, replacement);
}

void Solver::insert_row(Symbol basic, Row&& row) {
    row_of_[basic] = static_cast<std::int32_t>(rows_.size());
    basic_of_.push_back(basic);
    rows_.push_back(std::move(row));
}

Solver::Row Solver::take_row(Symbol basic) {
    const auto index = static_cast<std::size_t>(row_of_[basic]);
    Row row = std::move(rows_[index]);
    const std::size_t last = rows_.size() - 1;
    if (index != last) {
        rows_[index] = std::move(rows_[last]);
        basic_of_[index] = basic_of_[last];
        row_of_[basic_of_[index]] = static_cast<std::int32_t>(index);
    }
    rows_.pop_back();
    basic_of_.pop_back();
    row_of_[basic] = -1;
    return row;
}

// ---- the solver ----

Solver::Solver() {
    kinds_.push_back(Kind::Invalid);
    row_of_.push_back(-1);
}

void Solver::reserve(std::size_t constraints, std::size_t variables) {
    const std::size_t symbols = variables + 2 * constraints + 2;
    kinds_.reserve(symbols);
    row_of_.reserve(symbols);
    rows_.reserve(constraints + 1);
    basic_of_.reserve(constraints + 1);
    var_symbol_.reserve(variables);
}

Variable Solver::new_variable() {
    var_symbol_.push_back(0);
    return Variable{static_cast<std::uint32_t>(var_symbol_.size() - 1)};
}

Solver::Symbol Solver::new_symbol(Kind kind) {
    kinds_.push_back(kind);
    row_of_.push_back(-1);
    return static_cast<Symbol>(kinds_.size() - 1);
}

double Solver::value(Variable v) const noexcept {
    if (v.index >= var_symbol_.size()) return 0.0;
    const Symbol s = var_symbol_[v.index];
    if (s == 0 || row_of_[s] < 0) return 0.0;
    return rows_[static_cast<std::size_t>(row_of_[s])].constant;
}

Status Solver::add_constraint(const Constraint& constraint) {
    const double weight = strength::clip(constraint.strength);
    const bool required = !(weight < strength::required);

    // The constraint's row over the current parameters: basic variables are replaced by
    // their rows, variables met for the first time get their symbol now.
    Row row;
    row.constant = constraint.expression.constant;
    row.cells.reserve(std::max<std::size_t>(constraint.expression.terms.size() + 4, 24));
    for (const Term& term : constraint.expression.terms) {
        if (near_zero(term.coefficient)) continue;
        if (term.variable.index >= var_symbol_.size()) return Status::Unsatisfiable;
        Symbol& vs = var_symbol_[term.variable.index];
        if (vs == 0) vs = new_symbol(Kind::External);
        if (is_basic(vs)) {
            add_row(row, basic_row(vs), term.coefficient);
        } else {
            add_cell(row, vs, term.coefficient);
        }
    }

    Symbol marker = 0, other = 0;
    if (constraint.relation != Relation::Equal) {
        const double sign = constraint.relation == Relation::LessOrEqual ? 1.0 : -1.0;
        marker = new_symbol(Kind::Slack);
        add_cell(row, marker, sign);
        if (!required) {
            other = new_symbol(Kind::Error);
            add_cell(row, other, -sign);
            add_cell(objective_, other, weight);
        }
    } else if (!required) {
        marker = new_symbol(Kind::Error);
        other = new_symbol(Kind::Error);
        add_cell(row, marker, -1.0);
        add_cell(row, other, 1.0);
        add_cell(objective_, marker, weight);
        add_cell(objective_, other, weight);
    } else {
        marker = new_symbol(Kind::Dummy);
        add_cell(row, marker, 1.0);
    }

    if (row.constant < 0.0) {
        row.constant = -row.constant;
        for (Cell& c : row.cells) c.coefficient = -c.coefficient;
    }

    Symbol subject = choose_subject(row, marker, other);
    if (subject == 0) {
        bool all_dummies = true;
        for (const Cell& c : row.cells) all_dummies = all_dummies && kind_of(c.symbol) == Kind::Dummy;
        if (all_dummies) {
            if (!near_zero(row.constant)) return Status::Unsatisfiable;
            subject = marker;  // a redundant constraint
        }
    }

    if (subject == 0) {
        const Status s = add_with_artificial_variable(row);
        if (s != Status::Ok) return s;
    } else {
        solve_for(row, subject);
        substitute(subject, row);
        insert_row(subject, std::move(row));
    }
    ++constraint_count_;
    return optimise(objective_);
}

Solver::Symbol Solver::choose_subject(const Row& row, Symbol marker, Symbol other) const noexcept {
    for (auto it = row.cells.rbegin(); it != row.cells.rend(); ++it)
        if (kind_of(it->symbol) == Kind::External) return it->symbol;
    auto pivotable = [&](Symbol s) {
        return s != 0 && (kind_of(s) == Kind::Slack || kind_of(s) == Kind::Error) &&
               coefficient_for(row, s) < 0.0;
    };
    if (pivotable(marker)) return marker;
    if (pivotable(other)) return other;
    return 0;
}

Solver::Symbol Solver::any_pivotable_symbol(const Row& row) const noexcept {
    for (auto it = row.cells.rbegin(); it != row.cells.rend(); ++it) {
        const Kind k = kind_of(it->symbol);
        if (k == Kind::Slack || k == Kind::Error) return it->symbol;
    }
    return 0;
}

// Adds a row that has no natural subject: an artificial variable stands for it, and an
// objective equal to the row drives it to zero if the row can be satisfied at all.
Status Solver::add_with_artificial_variable(const Row& row) {
    const Symbol art = new_symbol(Kind::Slack);
    insert_row(art, Row(row));
    Row artificial = row;
    artificial_ = &artificial;
    const Status optimised = optimise(artificial);
    artificial_ = nullptr;
    if (optimised != Status::Ok) return optimised;
    const bool success = near_zero(artificial.constant);

    if (is_basic(art)) {
        // The artificial variable is basic, so no other row mentions it: dropping its row
        // takes the failed constraint out again.
        Row art_row = take_row(art);
        if (!success) return Status::Unsatisfiable;
        if (art_row.cells.empty()) return Status::Ok;
        const Symbol entering = any_pivotable_symbol(art_row);
        if (entering == 0) return Status::Unsatisfiable;
        solve_for_pair(art_row, art, entering);
        substitute(entering, art_row);
        insert_row(entering, std::move(art_row));
    }
    for (Row& r : rows_) remove_cell(r, art);
    remove_cell(objective_, art);
    return success ? Status::Ok : Status::Unsatisfiable;
}

Solver::Symbol Solver::entering_symbol(const Row& objective) const noexcept {
    for (auto it = objective.cells.rbegin(); it != objective.cells.rend(); ++it)
        if (kind_of(it->symbol) != Kind::Dummy && it->coefficient < 0.0) return it->symbol;
    return 0;
}

Solver::Symbol Solver::leaving_symbol(Symbol entering) const noexcept {
    double best = std::numeric_limits<double>::infinity();
    Symbol found = 0;
    for (Symbol s = static_cast<Symbol>(kinds_.size() - 1); s > 0; --s) {
        if (row_of_[s] < 0 || kind_of(s) == Kind::External) continue;
        const Row& row = rows_[static_cast<std::size_t>(row_of_[s])];
        const double c = coefficient_for(row, entering);
        if (c < 0.0) {
            const double ratio = -row.constant / c;
            if (ratio < best) {
                best = ratio;
                found = s;
            }
        }
    }
    return found;
}

Status Solver::optimise(Row& objective) {
    const std::size_t budget = kPivotBudgetBase + 50 * kinds_.size();
    for (std::size_t pivots = 0;; ++pivots) {
        const Symbol entering = entering_symbol(objective);
        if (entering == 0) return Status::Ok;
        if (pivots >= budget) return Status::NoProgress;
        const Symbol leaving = leaving_symbol(entering);
        if (leaving == 0) return Status::Unbounded;
        Row row = take_row(leaving);
        solve_for_pair(row, leaving, entering);
        substitute(entering, row);
        insert_row(entering, std::move(row));
    }
}

}  // namespace tarvo::core::cassowary
