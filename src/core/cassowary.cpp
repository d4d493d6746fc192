#include "core/cassowary.hpp"

#include <algorithm>
#include <limits>
#include <utility>

namespace tarvo::core::cassowary {

namespace {

bool near_zero(double value) noexcept { return detail::near_zero_value(value); }

// Pivots allowed per optimisation before the solver gives up.
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

namespace detail {

void Row::stage(Workspace& ws, std::size_t symbols) const {
    ws.symbol_count = symbols;
    ++ws.addend;
    ws.spread = false;
    ws.sorted_ready = false;
    ws.cells_sorted = !hashed_;
    if (!hashed_) {
        ws.cells = cells_;
        return;
    }
    ws.compact.clear();
    for_each([&](const Cell& c) { ws.compact.push_back(c); });
    ws.cells = ws.compact;
}

std::size_t Row::find_sorted(Symbol s) const noexcept {
    return static_cast<std::size_t>(
        std::lower_bound(cells_.begin(), cells_.end(), s, [](const Cell& c, Symbol v) { return c.symbol < v; }) -
        cells_.begin());
}

std::size_t Row::find_slot(Symbol s) const noexcept {
    const std::size_t mask = cells_.size() - 1;
    std::size_t j = home(s);
    while (cells_[j].symbol != 0 && cells_[j].symbol != s) j = (j + 1) & mask;
    return j;
}

double Row::coefficient_for(Symbol s) const noexcept {
    if (!may_hold(s)) return 0.0;
    if (hashed_) {
        const Cell& c = cells_[find_slot(s)];
        return c.symbol == s ? c.coefficient : 0.0;
    }
    const std::size_t i = find_sorted(s);
    return i < cells_.size() && cells_[i].symbol == s ? cells_[i].coefficient : 0.0;
}

void Row::rehash(std::size_t capacity) {
    std::vector<Cell> old;
    old.swap(cells_);
    while (capacity < 2 * (std::size_t{size_} + 1)) capacity *= 2;
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < capacity) ++bits;
    capacity = std::size_t{1} << bits;
    cells_.assign(capacity, Cell{0, 0.0});
    shift_ = 64 - bits;
    hashed_ = true;
    mask_ = ~std::uint64_t{0};
    const std::size_t mask = capacity - 1;
    for (const Cell& c : old) {
        if (c.symbol == 0) continue;
        std::size_t j = home(c.symbol);
        while (cells_[j].symbol != 0) j = (j + 1) & mask;
        cells_[j] = c;
    }
}

// Empties a slot, moving later cells of its probe run back so that every cell stays reachable
// from its home slot.
void Row::erase_slot(std::size_t hole) noexcept {
    const std::size_t mask = cells_.size() - 1;
    for (std::size_t j = (hole + 1) & mask; cells_[j].symbol != 0; j = (j + 1) & mask) {
        const std::size_t k = home(cells_[j].symbol);
        const bool stays = hole <= j ? (hole < k && k <= j) : (hole < k || k <= j);
        if (!stays) {
            cells_[hole] = cells_[j];
            hole = j;
        }
    }
    cells_[hole] = Cell{0, 0.0};
    --size_;
}

double Row::take(Symbol s) noexcept {
    if (!may_hold(s)) return 0.0;
    if (hashed_) {
        const std::size_t j = find_slot(s);
        if (cells_[j].symbol != s) return 0.0;
        const double c = cells_[j].coefficient;
        erase_slot(j);
        return c;
    }
    const std::size_t i = find_sorted(s);
    if (i == cells_.size() || cells_[i].symbol != s) return 0.0;
    const double c = cells_[i].coefficient;
    cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(i));
    --size_;
    return c;
}

bool Row::add(Symbol s, double c) {
    if (hashed_) {
        const std::size_t j = find_slot(s);
        if (cells_[j].symbol == s) {
            cells_[j].coefficient += c;
            if (near_zero_value(cells_[j].coefficient)) erase_slot(j);
            return false;
        }
        if (near_zero_value(c)) return false;
        if (2 * (std::size_t{size_} + 1) > cells_.size()) {
            rehash(2 * cells_.size());
            cells_[find_slot(s)] = Cell{s, c};
        } else {
            cells_[j] = Cell{s, c};
        }
        ++size_;
        return true;
    }
    const std::size_t i = find_sorted(s);
    if (i < cells_.size() && cells_[i].symbol == s) {
        cells_[i].coefficient += c;
        if (near_zero_value(cells_[i].coefficient)) {
            cells_.erase(cells_.begin() + static_cast<std::ptrdiff_t>(i));
            --size_;
        }
        return false;
    }
    if (near_zero_value(c)) return false;
    cells_.insert(cells_.begin() + static_cast<std::ptrdiff_t>(i), Cell{s, c});
    mask_ |= bit(s);
    ++size_;
    if (size_ > kHashFrom) rehash(kMinSlots);
    return true;
}

void Row::scale(double factor) noexcept {
    constant *= factor;
    for (Cell& c : cells_)
        if (c.symbol != 0) c.coefficient *= factor;
}

void Row::clear() noexcept {
    constant = 0.0;
    cells_.clear();
    mask_ = 0;
    size_ = 0;
    shift_ = 64;
    hashed_ = false;
}

}  // namespace detail

// row += other × coefficient, cell by cell: each product is added to the existing cell, which
// disappears when the sum is near zero; a missing cell is created only for a product that is
// not near zero. Each cell is independent of the others, so the order of visits is free.
void Solver::add_row(Row& row, Symbol owner, double other_constant, double coefficient, Symbol drop) {
    row.constant += other_constant * coefficient;
    row.add_all(
        coefficient, workspace_,
        [&](Symbol s) {
            if (owner != 0) note_in_column(s, owner);
        },
        drop);
}

// Turns "0 = row" into "subject = row'": the subject's cell c is removed and everything else
// is multiplied by −1/c.
void Solver::solve_for(Row& row, Symbol subject) {
    const double c = row.take(subject);
    row.scale(-1.0 / c);
}

// Turns "lhs = row" into "rhs = row'".
void Solver::solve_for_pair(Row& row, Symbol lhs, Symbol rhs) {
    row.add(lhs, -1.0);
    solve_for(row, rhs);
}

// Replaces `symbol` by `replacement` in every row that holds it (in a large tableau only the
// rows its column names are visited), then in the objectives. The rows are independent of
// each other, so the order does not matter.
void Solver::substitute(Symbol symbol, const Row& replacement) {
    replacement.stage(workspace_, kinds_.size());
    const double constant = replacement.constant;
    auto substitute_in = [&](Symbol owner) {
        Row& row = rows_[owner];
        const double coefficient = row.coefficient_for(symbol);
        if (coefficient != 0.0) add_row(row, owner, constant, coefficient, symbol);
    };
    if (indexed_) {
        column_scratch_.clear();
        column_scratch_.swap(columns_[symbol]);
        for (const Symbol owner : column_scratch_)
            if (is_basic(owner)) substitute_in(owner);
        // `symbol` is in no row now; keep the list's storage for the next substitution.
        columns_[symbol].swap(column_scratch_);
        columns_[symbol].clear();
    } else {
        for (const Symbol owner : basics_) substitute_in(owner);
    }
    const double in_objective = objective_.coefficient_for(symbol);
    if (in_objective != 0.0) add_row(objective_, 0, constant, in_objective, symbol);
    if (artificial_) {
        const double in_artificial = artificial_->coefficient_for(symbol);
        if (in_artificial != 0.0) add_row(*artificial_, 0, constant, in_artificial, symbol);
    }
}

void Solver::insert_row(Symbol basic, Row&& row) {
    if (indexed_) row.for_each([&](const Cell& c) { note_in_column(c.symbol, basic); });
    rows_[basic] = std::move(row);
    basic_[basic] = 1;
    basic_at_[basic] = static_cast<std::uint32_t>(basics_.size());
    basics_.push_back(basic);
}

Solver::Row Solver::take_row(Symbol basic) {
    basic_[basic] = 0;
    const Symbol last = basics_.back();
    basics_[basic_at_[basic]] = last;
    basic_at_[last] = basic_at_[basic];
    basics_.pop_back();
    Row row = std::move(rows_[basic]);
    rows_[basic].clear();
    return row;
}

// ---- the solver ----

Solver::Solver() { (void)new_symbol(Kind::Invalid); }

void Solver::reserve(std::size_t constraints, std::size_t variables) {
    const std::size_t symbols = variables + 2 * constraints + 2;
    kinds_.reserve(symbols);
    basic_.reserve(symbols);
    basic_at_.reserve(symbols);
    basics_.reserve(constraints + 1);
    rows_.reserve(symbols);
    var_symbol_.reserve(variables);
}

Variable Solver::new_variable() {
    var_symbol_.push_back(0);
    return Variable{static_cast<std::uint32_t>(var_symbol_.size() - 1)};
}

Solver::Symbol Solver::new_symbol(Kind kind) {
    kinds_.push_back(kind);
    basic_.push_back(0);
    basic_at_.push_back(0);
    rows_.emplace_back();
    if (indexed_)
        columns_.emplace_back();
    else if (kinds_.size() > kIndexColumnsFrom)
        build_columns();
    return static_cast<Symbol>(kinds_.size() - 1);
}

// Indexes the rows of the tableau by the symbols they hold; kept up to date from then on.
void Solver::build_columns() {
    indexed_ = true;
    columns_.assign(kinds_.size(), {});
    for (const Symbol owner : basics_)
        rows_[owner].for_each([&](const Cell& c) { note_in_column(c.symbol, owner); });
}

double Solver::value(Variable v) const noexcept {
    if (v.index >= var_symbol_.size()) return 0.0;
    const Symbol s = var_symbol_[v.index];
    if (s == 0 || !is_basic(s)) return 0.0;
    return rows_[s].constant;
}

Status Solver::add_constraint(const Constraint& constraint) {
    const double weight = strength::clip(constraint.strength);
    const bool required = !(weight < strength::required);

    // The constraint's row over the current parameters: basic variables are replaced by
    // their rows, variables met for the first time get their symbol now.
    Row row;
    row.reserve(24);
    row.constant = constraint.expression.constant;
    for (const Term& term : constraint.expression.terms) {
        if (near_zero(term.coefficient)) continue;
        if (term.variable.index >= var_symbol_.size()) return Status::Unsatisfiable;
        Symbol vs = var_symbol_[term.variable.index];
        if (vs == 0) vs = var_symbol_[term.variable.index] = new_symbol(Kind::External);
        if (is_basic(vs)) {
            rows_[vs].stage(workspace_, kinds_.size());
            add_row(row, 0, rows_[vs].constant, term.coefficient);
        } else {
            row.add(vs, term.coefficient);
        }
    }

    Symbol marker = 0, other = 0;
    if (constraint.relation != Relation::Equal) {
        const double sign = constraint.relation == Relation::LessOrEqual ? 1.0 : -1.0;
        marker = new_symbol(Kind::Slack);
        row.add(marker, sign);
        if (!required) {
            other = new_symbol(Kind::Error);
            row.add(other, -sign);
            objective_.add(other, weight);
        }
    } else if (!required) {
        marker = new_symbol(Kind::Error);
        other = new_symbol(Kind::Error);
        row.add(marker, -1.0);
        row.add(other, 1.0);
        objective_.add(marker, weight);
        objective_.add(other, weight);
    } else {
        marker = new_symbol(Kind::Dummy);
        row.add(marker, 1.0);
    }

    if (row.constant < 0.0) row.scale(-1.0);

    Symbol subject = choose_subject(row, marker, other);
    if (subject == 0) {
        bool all_dummies = true;
        row.for_each([&](const Cell& c) { all_dummies = all_dummies && kind_of(c.symbol) == Kind::Dummy; });
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

// The subject of a new row: its newest External symbol; else the marker, then the other
// symbol, if it is a Slack or Error symbol with a negative coefficient.
Solver::Symbol Solver::choose_subject(const Row& row, Symbol marker, Symbol other) const noexcept {
    Symbol newest = 0;
    row.for_each([&](const Cell& c) {
        if (c.symbol > newest && kind_of(c.symbol) == Kind::External) newest = c.symbol;
    });
    if (newest != 0) return newest;
    auto pivotable = [&](Symbol s) {
        return s != 0 && (kind_of(s) == Kind::Slack || kind_of(s) == Kind::Error) &&
               row.coefficient_for(s) < 0.0;
    };
    if (pivotable(marker)) return marker;
    if (pivotable(other)) return other;
    return 0;
}

// The newest Slack or Error symbol of a row.
Solver::Symbol Solver::any_pivotable_symbol(const Row& row) const noexcept {
    Symbol newest = 0;
    row.for_each([&](const Cell& c) {
        const Kind k = kind_of(c.symbol);
        if (c.symbol > newest && (k == Kind::Slack || k == Kind::Error)) newest = c.symbol;
    });
    return newest;
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
        if (art_row.empty()) return Status::Ok;
        const Symbol entering = any_pivotable_symbol(art_row);
        if (entering == 0) return Status::Unsatisfiable;
        solve_for_pair(art_row, art, entering);
        substitute(entering, art_row);
        insert_row(entering, std::move(art_row));
    }
    for_rows_with(art, [&](Symbol owner) { rows_[owner].take(art); });
    if (indexed_) columns_[art].clear();
    objective_.take(art);
    return success ? Status::Ok : Status::Unsatisfiable;
}

// The entering symbol: the newest symbol of the objective with a negative coefficient, other
// than a dummy.
Solver::Symbol Solver::entering_symbol(const Row& objective) const noexcept {
    Symbol found = 0;
    objective.for_each([&](const Cell& c) {
        if (c.symbol > found && c.coefficient < 0.0 && kind_of(c.symbol) != Kind::Dummy) found = c.symbol;
    });
    return found;
}

// The leaving symbol: among the basic symbols other than External ones whose rows have a
// negative coefficient for the entering symbol, the one with the smallest ratio
// −constant / coefficient; equal ratios go to the newest symbol.
Solver::Symbol Solver::leaving_symbol(Symbol entering) const noexcept {
    double best = std::numeric_limits<double>::infinity();
    Symbol found = 0;
    for_rows_with(entering, [&](Symbol s) {
        if (kind_of(s) == Kind::External) return;
        const Row& row = rows_[s];
        const double c = row.coefficient_for(entering);
        if (c < 0.0) {
            const double ratio = -row.constant / c;
            if (ratio < best || (found != 0 && ratio == best && s > found)) {
                best = ratio;
                found = s;
            }
        }
    });
    return found;
}

Status Solver::optimise(Row& objective) {
    std::size_t budget = kPivotBudgetBase + 50 * kinds_.size();
    if (patience_per_constraint_ != 0)
        budget = std::min(budget, patience_base_ + patience_per_constraint_ * (constraint_count_ + 1));
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
