#include "core/cassowary.hpp"

#include <algorithm>
#include <cmath>
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
        case Status::Unstable: return "the solver lost its pivot to rounding";
    }
    return "unknown";
}

// ---- sets of numbers ----

namespace detail {

std::size_t BitSet::next(std::size_t i, std::size_t none) const noexcept {
    std::size_t w = i >> 6;
    if (w >= words_.size()) return none;
    std::uint64_t word = words_[w] & (~std::uint64_t{0} << (i & 63u));
    while (word == 0) {
        if (++w == words_.size()) return none;
        word = words_[w];
    }
    return (w << 6) + static_cast<std::size_t>(__builtin_ctzll(word));
}

std::size_t BitSet::previous(std::size_t i, std::size_t none) const noexcept {
    if (i == 0 || words_.empty()) return none;
    const std::size_t last = std::min(i, words_.size() << 6) - 1;  // the largest candidate
    std::size_t w = last >> 6;
    std::uint64_t word = words_[w] & (~std::uint64_t{0} >> (63 - (last & 63u)));
    while (word == 0) {
        if (w == 0) return none;
        word = words_[--w];
    }
    return (w << 6) + 63 - static_cast<std::size_t>(__builtin_clzll(word));
}

}  // namespace detail

// ---- rows ----

namespace detail {

void Row::stage(Workspace& ws, std::size_t symbols) const {
    ws.symbol_count = symbols;
    ++ws.addend;
    ws.spread = false;
    ws.sorted_ready = false;
    // Direct slots are in symbol order, so their cells come out sorted.
    ws.cells_sorted = store_ != Store::Hashed;
    if (store_ == Store::Sorted) {
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
    if (store_ == Store::Direct) return direct_coefficient(s);
    if (!may_hold(s)) return 0.0;
    if (store_ == Store::Hashed) {
        const Cell& c = cells_[find_slot(s)];
        return c.symbol == s ? c.coefficient : 0.0;
    }
    const std::size_t i = find_sorted(s);
    return i < cells_.size() && cells_[i].symbol == s ? cells_[i].coefficient : 0.0;
}

void Row::rehash(std::size_t capacity) {
    std::vector<Cell> old;
    old.swap(cells_);
    hash_cells(old, capacity);
}

void Row::hash_cells(const std::vector<Cell>& cells, std::size_t capacity) {
    while (capacity < 2 * (std::size_t{size_} + 1)) capacity *= 2;
    unsigned bits = 0;
    while ((std::size_t{1} << bits) < capacity) ++bits;
    capacity = std::size_t{1} << bits;
    cells_.assign(capacity, Cell{0, 0.0});
    shift_ = 64 - bits;
    store_ = Store::Hashed;
    mask_ = ~std::uint64_t{0};
    const std::size_t mask = capacity - 1;
    for (const Cell& c : cells) {
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

void Row::shrink(SlotPool* pool) {
    std::vector<Cell> cells;
    cells.reserve(size_);
    for_each([&](const Cell& c) { cells.push_back(c); });
    if (pool && store_ == Store::Direct) {
        for (const Cell& c : cells) direct_->coefficients[c.symbol] = 0.0;
        std::fill(direct_->occupied.begin(), direct_->occupied.end(), 0);
        pool->give(std::move(direct_));
    }
    std::vector<Cell>().swap(cells_);
    direct_.reset();
    if (size_ > kHashFrom / 2) {
        hash_cells(cells, kMinSlots);
        return;
    }
    if (store_ == Store::Hashed) sort_by_symbol(cells);  // direct slots come out in order
    cells_.swap(cells);
    store_ = Store::Sorted;
    shift_ = 64;
    mask_ = 0;
    for (const Cell& c : cells_) mask_ |= bit(c.symbol);
}

void Row::grow_direct(Symbol s) {
    Slots& d = *direct_;
    const std::size_t slots = std::max(d.size() + d.size() / 4, std::size_t{s} + 1);
    d.coefficients.reserve(slots);
    d.resize(slots);
}

void Row::make_direct(std::size_t symbols, SlotPool* pool) {
    if (store_ == Store::Direct) {
        if (direct_->size() < symbols) direct_->resize(symbols);
        return;
    }
    empty_slots(symbols, pool);
    for (const Cell& c : cells_)
        if (c.symbol != 0) {
            if (c.symbol >= direct_->size()) direct_->resize(2 * std::size_t{c.symbol});
            direct_->coefficients[c.symbol] = c.coefficient;
            occupy(c.symbol);
        }
    std::vector<Cell>().swap(cells_);
    mask_ = ~std::uint64_t{0};
    shift_ = 64;
    store_ = Store::Direct;
}

double Row::take(Symbol s) noexcept {
    if (store_ == Store::Direct) {
        const double c = direct_coefficient(s);
        if (c == 0.0) return 0.0;
        direct_->coefficients[s] = 0.0;
        vacate(s);
        --size_;
        return c;
    }
    if (!may_hold(s)) return 0.0;
    if (store_ == Store::Hashed) {
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
    if (store_ == Store::Direct) return add_direct(s, c);
    if (store_ == Store::Hashed) {
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
    if (store_ != Store::Direct) return;
    for_each_occupied([&](std::size_t s) {
        // Only an underflow empties a slot.
        if ((direct_->coefficients[s] *= factor) == 0.0) {
            vacate(static_cast<Symbol>(s));
            --size_;
        }
    });
}

void Row::clear() noexcept {
    constant = 0.0;
    cells_.clear();
    direct_.reset();
    mask_ = 0;
    size_ = 0;
    shift_ = 64;
    store_ = Store::Sorted;
}

}  // namespace detail

// ---- what both solvers share ----

namespace detail {

template <typename Tableau>
Status Simplex<Tableau>::add_written(Row&& row, Relation relation, double strength) {
    const double weight = strength::clip(strength);
    const bool required = !(weight < strength::required);
    Tableau& t = self();

    // A slack for an inequality, error symbols weighted in the objective for a preference, a
    // dummy for a required equality.
    Symbol marker = 0, other = 0;
    if (relation != Relation::Equal) {
        const double sign = relation == Relation::LessOrEqual ? 1.0 : -1.0;
        marker = t.new_symbol(Kind::Slack);
        row.add(marker, sign);
        if (!required) {
            other = t.new_symbol(Kind::Error);
            row.add(other, -sign);
            objective_.add(other, weight);
        }
    } else if (!required) {
        marker = t.new_symbol(Kind::Error);
        other = t.new_symbol(Kind::Error);
        row.add(marker, -1.0);
        row.add(other, 1.0);
        objective_.add(marker, weight);
        objective_.add(other, weight);
    } else {
        marker = t.new_symbol(Kind::Dummy);
        row.add(marker, 1.0);
    }

    if (row.constant < 0.0) row.scale(-1.0);

    Symbol subject = choose_subject(row, marker, other);
    if (subject == 0) {
        bool all_dummies = true;
        row.for_each([&](const Cell& c) { all_dummies = all_dummies && kind_of(c.symbol) == Kind::Dummy; });
        if (all_dummies) {
            if (!t.leaves_nothing(row.constant)) return Status::Unsatisfiable;
            subject = marker;  // a redundant constraint
        }
    }

    if (subject == 0) {
        const Status s = add_with_artificial_variable(std::move(row));
        if (s != Status::Ok) return s;
    } else {
        solve_for(row, subject);
        if (subject == marker || subject == other) {
            // A symbol made for this constraint: only the objective can hold it yet.
            row.stage(workspace_, kinds_.size());
            substitute_in_objectives(subject, row.constant);
        } else {
            t.substitute(subject, row);
        }
        t.insert_row(subject, std::move(row));
    }
    ++constraint_count_;
    return optimise(objective_);
}

// The subject of a new row: its newest External symbol; else the marker, then the other
// symbol, if it is a Slack or Error symbol with a negative coefficient.
template <typename Tableau>
Symbol Simplex<Tableau>::choose_subject(const Row& row, Symbol marker, Symbol other) const noexcept {
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

template <typename Tableau>
Status Simplex<Tableau>::add_with_artificial_variable(Row&& row) {
    Tableau& t = self();
    const Symbol art = t.new_symbol(Kind::Slack);
    Row artificial = row;
    t.insert_row(art, std::move(row));
    artificial_ = &artificial;
    const Status optimised = optimise(artificial);
    artificial_ = nullptr;
    if (optimised != Status::Ok) return optimised;
    const bool success = t.leaves_nothing(artificial.constant);

    if (t.has_row(art)) {
        // The artificial variable is basic, so no other row mentions it: dropping its row
        // takes the failed constraint out again.
        Row art_row = t.take_row(art);
        if (!success) return Status::Unsatisfiable;
        if (art_row.empty()) return Status::Ok;
        const Symbol entering = any_pivotable_symbol(art_row);
        if (entering == 0) return Status::Unsatisfiable;
        solve_for_pair(art_row, art, entering);
        t.substitute(entering, art_row);
        t.enter(entering, std::move(art_row));
    }
    t.forget(art);
    objective_.take(art);
    recheck_objective(art);
    return success ? Status::Ok : Status::Unsatisfiable;
}

template <typename Tableau>
void Simplex<Tableau>::substitute_in_objectives(Symbol symbol, double constant) {
    Tableau& t = self();
    const double in_objective = objective_.coefficient_for(symbol);
    if (in_objective != 0.0) {
        t.add_row(objective_, 0, constant, in_objective, symbol);
        for (const Cell& c : workspace_.cells) recheck_objective(c.symbol);
        recheck_objective(symbol);
    }
    if (artificial_) {
        const double in_artificial = artificial_->coefficient_for(symbol);
        if (in_artificial != 0.0) t.add_row(*artificial_, 0, constant, in_artificial, symbol);
    }
}

template <typename Tableau>
Symbol Simplex<Tableau>::any_pivotable_symbol(const Row& row) const noexcept {
    Symbol newest = 0;
    row.for_each([&](const Cell& c) {
        const Kind k = kind_of(c.symbol);
        if (c.symbol > newest && (k == Kind::Slack || k == Kind::Error)) newest = c.symbol;
    });
    return newest;
}

template <typename Tableau>
void Simplex<Tableau>::set_steepest_entering(bool on) {
    steepest_ = on;
    rebuild_steep();
}

template <typename Tableau>
void Simplex<Tableau>::rebuild_steep() {
    steep_.clear();
    if (!steepest_) return;
    objective_.for_each([&](const Cell& c) {
        if (c.coefficient < 0.0 && kind_of(c.symbol) != Kind::Dummy) steep_.push_back({c.coefficient, c.symbol});
    });
    std::make_heap(steep_.begin(), steep_.end());
}

template <typename Tableau>
void Simplex<Tableau>::push_steep(double coefficient, Symbol s) {
    // Stale entries pile up as coefficients change: past a bound, the heap is rebuilt from the
    // objective, which keeps it within a few times the number of symbols.
    if (steep_.size() >= 4 * kinds_.size() + 1024) rebuild_steep();
    steep_.push_back({coefficient, s});
    std::push_heap(steep_.begin(), steep_.end());
}

template <typename Tableau>
Symbol Simplex<Tableau>::steepest() noexcept {
    while (!steep_.empty()) {
        const Steep top = steep_.front();
        if (objective_.coefficient_for(top.symbol) == top.coefficient) return top.symbol;
        std::pop_heap(steep_.begin(), steep_.end());
        steep_.pop_back();
    }
    return 0;
}

// The entering symbol: the newest symbol of the objective with a negative coefficient, other
// than a dummy (or the steepest, see set_steepest_entering).
template <typename Tableau>
Symbol Simplex<Tableau>::entering_symbol(const Row& objective) noexcept {
    if (&objective == &objective_) return steepest_ ? steepest() : falling_.newest();
    Symbol found = 0;
    objective.for_each([&](const Cell& c) {
        if (c.symbol > found && c.coefficient < 0.0 && kind_of(c.symbol) != Kind::Dummy) found = c.symbol;
    });
    return found;
}

template <typename Tableau>
Status Simplex<Tableau>::optimise(Row& objective) {
    Tableau& t = self();
    std::size_t budget = kPivotBudgetBase + 50 * t.budget_symbols();
    std::size_t total_budget = SIZE_MAX;
    if (patience_per_constraint_ != 0) {
        total_budget = patience_base_ + patience_per_constraint_ * (constraint_count_ + 1);
        budget = std::min(budget, total_budget);
    }
    for (std::size_t pivots = 0;; ++pivots, ++pivots_made_) {
        // Checked before anything else: the work of adding the constraint counts too.
        if (t.effort() >= effort_limit_) return Status::NoProgress;
        const Symbol entering = entering_symbol(objective);
        if (entering == 0) return Status::Ok;
        if (pivots >= budget || pivots_made_ >= total_budget || t.work_done() >= work_limit_)
            return Status::NoProgress;
        const Symbol leaving = t.leaving_symbol(entering);
        if (leaving == 0) return Status::Unbounded;
        if (!t.pivot(entering, leaving)) return Status::Unstable;
    }
}

template class Simplex<Solver>;
template class Simplex<SplitSolver>;

}  // namespace detail

// row += other × coefficient, cell by cell: each product is added to the existing cell, which
// disappears when the sum is near zero; a missing cell is created only for a product that is
// not near zero. Each cell is independent of the others, so the order of visits is free.
void Solver::add_row(Row& row, Symbol owner, double other_constant, double coefficient, Symbol drop) {
    row.constant += other_constant * coefficient;
    cells_visited_ += row.add_all(
        coefficient, workspace_,
        [&](Symbol s) {
            if (owner != 0) note_in_column(s, owner);
        },
        drop);
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
    if (holders_of_ == symbol) {
        for (const auto& [owner, coefficient] : holders_)
            if (is_basic(owner)) add_row(rows_[owner], owner, constant, coefficient, symbol);
    } else if (indexed_) {
        columns_.for_each(symbol, [&](Symbol owner) {
            if (is_basic(owner)) substitute_in(owner);
        });
    } else {
        for (const Symbol owner : basics_) substitute_in(owner);
    }
    if (indexed_) columns_.clear(symbol);  // `symbol` is in no row now
    holders_of_ = 0;
    substitute_in_objectives(symbol, constant);
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
    objective_.make_direct(symbols);
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
        columns_.add_symbol();
    else if (kinds_.size() > kIndexColumnsFrom)
        build_columns();
    return static_cast<Symbol>(kinds_.size() - 1);
}

// Indexes the rows of the tableau by the symbols they hold; kept up to date from then on.
void Solver::build_columns() {
    indexed_ = true;
    columns_.assign(kinds_.size());
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

    return add_written(std::move(row), constraint.relation, constraint.strength);
}

void Solver::forget(Symbol s) {
    for_rows_with(s, [&](Symbol owner) { rows_[owner].take(s); });
    if (indexed_) columns_.clear(s);
    kinds_[s] = Kind::Invalid;  // in no row, and no parameter either
}

bool Solver::only_best(double margin, double relative) const {
    double largest = 0.0;
    objective_.for_each([&](const Cell& c) { largest = std::max(largest, std::fabs(c.coefficient)); });
    margin = std::max(margin, relative * largest);
    for (Symbol s = 1; s < kinds_.size(); ++s) {
        const Kind k = kinds_[s];
        if (is_basic(s) || k == Kind::Dummy || k == Kind::Invalid) continue;
        if (k == Kind::External || !(objective_.coefficient_for(s) >= margin)) return false;
    }
    return true;
}

// The leaving symbol: among the basic symbols other than External ones whose rows have a
// negative coefficient for the entering symbol, the one with the smallest ratio
// −constant / coefficient; equal ratios go to the newest symbol. On the way it notes every row
// that holds the entering symbol, so that the pivot's substitution need not look for them again.
Solver::Symbol Solver::leaving_symbol(Symbol entering) {
    double best = std::numeric_limits<double>::infinity();
    Symbol found = 0;
    start_ratio_test();
    for_rows_with(entering, [&](Symbol s) {
        if (!first_meeting(s)) return;
        const Row& row = rows_[s];
        const double c = row.coefficient_for(entering);
        if (c == 0.0) return;
        holders_.emplace_back(s, c);
        if (kind_of(s) == Kind::External) return;
        if (c < 0.0) {
            const double ratio = -row.constant / c;
            if (ratio < best || (found != 0 && ratio == best && s > found)) {
                best = ratio;
                found = s;
            }
        }
    });
    holders_of_ = found != 0 ? entering : 0;
    return found;
}

bool Solver::pivot(Symbol entering, Symbol leaving) {
    Row row = take_row(leaving);
    solve_for_pair(row, leaving, entering);
    substitute(entering, row);
    insert_row(entering, std::move(row));
    return true;
}

}  // namespace tarvo::core::cassowary

// ---- the split solver ----

namespace tarvo::core::cassowary {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kRunningSumNoise = 1e-6;
constexpr double kRelativeNoise = 1e-12;  // of the sum of the magnitudes of the terms
constexpr double kTreeSlack = 1e-9;       // relative: far above the rounding of a boundary's sums

}  // namespace

// -- the boundary tree: a segment tree over boundaries with range additions --

void SplitSolver::BoundaryTree::reset(std::size_t count, double value) {
    size_ = 1;
    while (size_ < count) size_ *= 2;
    nodes_.assign(2 * size_, Node{kInfinity, -kInfinity, 0.0, 0, 0});
    leaf_.assign(size_, value);
    lower_.assign(size_, 0);
    upper_.assign(size_, 0);
}

void SplitSolver::BoundaryTree::apply(std::size_t i, double delta) noexcept {
    Node& n = nodes_[i];
    n.low += delta;  // infinities stay infinite
    n.high += delta;
    if (i >= size_)
        leaf_[i - size_] += delta;
    else
        n.pending += delta;
}

// A node's extremes from its children; among equal values the one that wins the tie.
void SplitSolver::BoundaryTree::pull(std::size_t i) noexcept {
    const Node& a = nodes_[2 * i];
    const Node& b = nodes_[2 * i + 1];
    Node& n = nodes_[i];
    if (a.low < b.low || (a.low == b.low && wins_tie(a.low_symbol, b.low_symbol))) {
        n.low = a.low;
        n.low_symbol = a.low_symbol;
    } else {
        n.low = b.low;
        n.low_symbol = b.low_symbol;
    }
    if (a.high > b.high || (a.high == b.high && wins_tie(a.high_symbol, b.high_symbol))) {
        n.high = a.high;
        n.high_symbol = a.high_symbol;
    } else {
        n.high = b.high;
        n.high_symbol = b.high_symbol;
    }
    n.low += n.pending;
    n.high += n.pending;
}

void SplitSolver::BoundaryTree::add(std::size_t from, std::size_t to, double delta, std::uint64_t& steps) {
    if (from >= to || delta == 0.0) return;
    // Recursion over [lo, hi) for node i.
    auto go = [&](auto&& self, std::size_t i, std::size_t lo, std::size_t hi) -> void {
        ++steps;
        if (to <= lo || hi <= from) return;
        if (from <= lo && hi <= to) {
            apply(i, delta);
            return;
        }
        const std::size_t mid = (lo + hi) / 2;
        self(self, 2 * i, lo, mid);
        self(self, 2 * i + 1, mid, hi);
        pull(i);
    };
    go(go, 1, 0, size_);
}

double SplitSolver::BoundaryTree::value(std::size_t k, std::uint64_t& steps) const {
    double v = leaf_[k];
    for (std::size_t i = (k + size_) / 2; i >= 1; i /= 2) {
        ++steps;
        v += nodes_[i].pending;
    }
    return v;
}

void SplitSolver::BoundaryTree::set_lower(std::size_t k, Symbol s, std::uint64_t& steps) {
    lower_[k] = s;
    // A node's extremes leave out the pending additions of its ancestors; so does a leaf's value.
    Node& leaf = nodes_[k + size_];
    leaf.low = s != 0 ? leaf_[k] : kInfinity;
    leaf.low_symbol = s;
    for (std::size_t i = (k + size_) / 2; i >= 1; i /= 2) {
        ++steps;
        pull(i);
    }
}

void SplitSolver::BoundaryTree::set_upper(std::size_t k, Symbol s, std::uint64_t& steps) {
    upper_[k] = s;
    Node& leaf = nodes_[k + size_];
    leaf.high = s != 0 ? leaf_[k] : -kInfinity;
    leaf.high_symbol = s;
    for (std::size_t i = (k + size_) / 2; i >= 1; i /= 2) {
        ++steps;
        pull(i);
    }
}

// The lowest value among the lower rows in [from, to) (the highest among the upper rows when
// not `Lowest`), equal values going to the symbol that wins the tie. A subtree whose extreme
// (with its ancestors' pending additions) is `hopeless` is passed over.
template <bool Lowest, typename Hopeless>
SplitSolver::BoundaryTree::Best SplitSolver::BoundaryTree::extreme(std::size_t from, std::size_t to,
                                                                  std::uint64_t& steps, Hopeless&& hopeless) const {
    Best best{Lowest ? kInfinity : -kInfinity, 0};
    // `above`: the pending additions of the ancestors, not yet in the node's own values.
    auto go = [&](auto&& self, std::size_t i, std::size_t lo, std::size_t hi, double above) -> void {
        ++steps;
        const Node& node = nodes_[i];
        const Symbol symbol = Lowest ? node.low_symbol : node.high_symbol;
        if (to <= lo || hi <= from || symbol == 0) return;
        const double v = (Lowest ? node.low : node.high) + above;
        if (hopeless(v)) return;
        if (from <= lo && hi <= to) {
            const bool better = Lowest ? v < best.value : v > best.value;
            if (better || (v == best.value && wins_tie(symbol, best.symbol))) best = {v, symbol};
            return;
        }
        const std::size_t mid = (lo + hi) / 2;
        self(self, 2 * i, lo, mid, above + node.pending);
        self(self, 2 * i + 1, mid, hi, above + node.pending);
    };
    go(go, 1, 0, size_, 0.0);
    return best;
}

// -- the solver --

SplitSolver::SplitSolver(std::size_t elements, double start, double end, bool from_end)
    : start_(start), end_(end), area_start_(start), area_end_(end), elements_(elements) {
    const std::size_t m = elements_;
    // Three symbols per boundary, and a split poses about four constraints per element.
    const std::size_t symbols = 8 * m + 16;
    kinds_.reserve(symbols);
    state_.reserve(symbols);
    boundary_of_.reserve(symbols);
    upper_of_.reserve(symbols);
    rows_.reserve(symbols);
    columns_.reserve(symbols);
    objective_.make_direct(symbols);
    (void)new_symbol(Kind::Invalid);
    sizes_.assign(m, Row{});
    shared_.resize(m);
    for (std::size_t j = 0; j < m; ++j) shared_[j] = static_cast<std::uint32_t>(j);
    mirror_.assign(m, 0);
    size_direct_at_.assign(m, 0);
    anchors_.assign(m, true);  // every inner boundary, as yet
    if (m > 0) anchors_.set(0, false);
    lower_.assign(m + 1, 0);
    upper_.assign(m + 1, 0);
    tree_.reset(m + 1, from_end ? end : start);

    // The usual form fixes both bounds (a variable and a dummy each), keeps each bound between
    // the bounds (four slacks, one of them through an artificial variable) and, when the area
    // is empty, reaches "the start is at or before the end" through an artificial variable too.
    // None of these symbols ever stands in a row that a choice looks at, so they are only
    // counted; every other symbol keeps its place in the order of creation.
    const bool empty_area = !(start < end);
    virtual_symbols_ = 9 + (empty_area ? 1 : 0);
    constraint_count_ = 4;

    // Each inner boundary k: its variable, "k at or after the start" and "k at or before the
    // end". The first makes the boundary start + lower(k); the second reads
    // upper(k) = (end − start) − lower(k), a row kept in the tree. From the end, the other way
    // round: the boundary is end − upper(k), and lower(k) = (end − start) − upper(k) is the row.
    const double length = -(start - end);
    for (std::size_t k = 1; k < m; ++k) {
        (void)new_symbol(Kind::External);
        const Symbol lo = new_symbol(Kind::Slack);
        if (empty_area) ++virtual_symbols_;  // the artificial variable of the second one
        const Symbol hi = new_symbol(Kind::Slack);
        boundary_of_[lo] = boundary_of_[hi] = static_cast<std::uint32_t>(k);
        upper_of_[hi] = 1;
        lower_[k] = lo;
        upper_[k] = hi;
        if (from_end) {
            state_[lo] = kInTree;
            tree_.set_lower(k, lo, counters_.tree_steps);
        } else {
            state_[hi] = kInTree;
            tree_.set_upper(k, hi, counters_.tree_steps);
        }
        constraint_count_ += 2;
    }
    constraint_count_ += 2;
    // Element j spans boundaries j and j + 1: its size is lower(j + 1) − lower(j), with
    // lower(0) = 0 and lower(m) = end − start; from the end, upper(j) − upper(j + 1), with
    // upper(0) = end − start and upper(m) = 0.
    const std::vector<Symbol>& parameter = from_end ? upper_ : lower_;
    const double sign = from_end ? -1.0 : 1.0;
    const std::size_t holds_length = from_end ? 0 : m - 1;  // the element at the far bound
    for (std::size_t j = 0; j < m; ++j) {
        Row& d = sizes_[j];
        d.reserve(4);
        auto add = [&](std::size_t k, double c) {
            d.add(parameter[k], c);
            note(parameter[k], kSizeOwner | static_cast<std::uint32_t>(j));
        };
        if (j + 1 < m) add(j + 1, sign);
        if (j > 0) add(j, -sign);
        if (j == holds_length) d.constant = length;
    }
}

SplitSolver::Symbol SplitSolver::new_symbol(Kind kind) {
    kinds_.push_back(kind);
    state_.push_back(kNonBasic);
    boundary_of_.push_back(0);
    mirrored_.push_back(0);
    upper_of_.push_back(0);
    rows_.emplace_back();
    columns_.add_symbol();
    direct_at_.push_back(0);
    return static_cast<Symbol>(kinds_.size() - 1);
}

void SplitSolver::add_row(Row& row, std::uint32_t owner, double other_constant, double coefficient, Symbol drop) {
    // In a large split a row's form follows its length (the objectives are kept direct whatever
    // they hold). A row that receives a long addend will be long: it goes direct before, not after.
    const bool managed = large_ && &row != &objective_ && &row != artificial_;
    if (managed) row.densify_if_long(kinds_.size(), workspace_.cells.size(), &workspace_.slots);
    row.constant += other_constant * coefficient;
    const bool noted = listed(owner, row);
    counters_.cell_updates += row.add_all(
        coefficient, workspace_,
        [&](Symbol s) {
            if (noted) note(s, owner);
        },
        drop);
    if (managed) {
        row.shrink_if_sparse(&workspace_.slots);
        row.densify_if_long(kinds_.size(), 0, &workspace_.slots);
        if (owner != 0) track(owner, !noted);
    }
}

void SplitSolver::track(std::uint32_t owner, bool unlisted) {
    const Row& row = owned(owner);
    std::uint32_t& at = direct_at(owner);
    if (row.is_direct()) {
        if (at == 0) {
            direct_rows_.push_back(owner);
            at = static_cast<std::uint32_t>(direct_rows_.size());
        }
        return;
    }
    if (at == 0 && !unlisted) return;
    // Back from direct: its cells are listed again.
    unregister(owner);
    row.for_each([&](const Cell& c) { note(c.symbol, owner); });
}

void SplitSolver::unregister(std::uint32_t owner) noexcept {
    std::uint32_t& at = direct_at(owner);
    if (at == 0) return;
    const std::uint32_t last = direct_rows_.back();
    direct_rows_[at - 1] = last;
    direct_at(last) = at;
    direct_rows_.pop_back();
    at = 0;
}

bool SplitSolver::columns_consistent() const {
    std::vector<std::pair<Symbol, std::uint32_t>> listed_pairs;
    for (Symbol s = 1; s < kinds_.size(); ++s)
        columns_.for_each(s, [&](std::uint32_t owner) { listed_pairs.emplace_back(s, owner); });
    std::sort(listed_pairs.begin(), listed_pairs.end());
    bool ok = true;
    auto check = [&](std::uint32_t owner, const Row& row) {
        row.for_each([&](const Cell& c) {
            if (kinds_[c.symbol] != Kind::Dummy)
                ok = ok && std::binary_search(listed_pairs.begin(), listed_pairs.end(), std::pair{c.symbol, owner});
        });
    };
    // A direct row is registered, any other listed.
    auto holds = [&](bool owns, std::uint32_t owner, const Row& row, std::uint32_t at) {
        if (!owns) {
            ok = ok && at == 0;
        } else if (row.is_direct()) {
            ok = ok && at != 0 && direct_rows_[at - 1] == owner;
        } else {
            ok = ok && at == 0;
            check(owner, row);
        }
    };
    for (std::size_t j = 0; j < elements_; ++j)
        holds(shared_[j] == j, kSizeOwner | static_cast<std::uint32_t>(j), sizes_[j], size_direct_at_[j]);
    for (Symbol s = 1; s < kinds_.size(); ++s) holds(is_row(s), s, rows_[s], direct_at_[s]);
    return ok;
}

template <typename F>
void SplitSolver::for_owners_of(Symbol s, F&& f) {
    direct_hits_.clear();
    for (const std::uint32_t owner : direct_rows_)
        if (owned(owner).coefficient_for(s) != 0.0) direct_hits_.push_back(owner);
    columns_.for_each(s, f);
    for (const std::uint32_t owner : direct_hits_) f(owner);
}

void SplitSolver::add_to_size(std::size_t element, double other_constant, double coefficient, Symbol drop) {
    Row& d = sizes_[element];
    const double before = d.constant;
    add_row(d, kSizeOwner | static_cast<std::uint32_t>(element), other_constant, coefficient, drop);
    // Every boundary after the element moves with its size, and after each element sharing it.
    const double moved = d.constant - before;
    tree_.add(element + 1, elements_, moved, counters_.tree_steps);
    if (!sharers_.empty())
        for (const std::uint32_t j : sharers_[element]) tree_.add(j + 1, elements_, moved, counters_.tree_steps);
}

void SplitSolver::substitute(Symbol symbol, const Row& replacement) {
    replacement.stage(workspace_, kinds_.size());
    const double constant = replacement.constant;
    auto substitute_in = [&](std::uint32_t owner, double c) {
        if ((owner & kSizeOwner) != 0)
            add_to_size(owner & ~kSizeOwner, constant, c, symbol);
        else
            add_row(rows_[owner], owner, constant, c, symbol);
    };
    if (holders_of_ == symbol) {
        // The leaving row, the one row that changed since, has left the stored rows.
        for (const auto& [owner, c] : holders_)
            if (owns_row(owner)) substitute_in(owner, c);
    } else {
        for_owners_of(symbol, [&](std::uint32_t owner) {
            if (!owns_row(owner)) return;
            const double c = owned(owner).coefficient_for(symbol);
            if (c != 0.0) substitute_in(owner, c);
        });
    }
    holders_of_ = 0;
    columns_.clear(symbol);
    substitute_in_objectives(symbol, constant);
}

void SplitSolver::insert_row(Symbol basic, Row&& row) {
    if (!row.is_direct()) row.for_each([&](const Cell& c) { note(c.symbol, basic); });
    rows_[basic] = std::move(row);
    state_[basic] = kStored;
    track(basic, false);
}

SplitSolver::Row SplitSolver::take_row(Symbol basic) {
    unregister(basic);
    state_[basic] = kNonBasic;
    Row row = std::move(rows_[basic]);
    rows_[basic].clear();
    return row;
}

// lower(k) = size of the elements before k; upper(k) = (end − start) − lower(k).
//
// The sum runs from the nearest boundary on either side that is anchored, one of whose range
// symbols is not basic: that symbol, or the length less it, is exactly the size of the elements
// before that boundary, so only the elements in between need adding. (The bounds are anchors
// too: nothing lies before the start, the whole length before the end.) In a crowded split most
// boundaries sit on a bound, and each row comes out a few elements long instead of a running
// sum from the start.
SplitSolver::Row SplitSolver::range_row(Symbol s) {
    const std::size_t k = boundary_of_[s];
    const double length = -(start_ - end_);
    const std::size_t after = anchors_.next(k, elements_);
    const std::size_t before = anchors_.previous(k, 0);
    // The size of the elements before anchor `a`, added to `row` times `sign`.
    auto add_anchor = [&](Row& row, std::size_t a, double sign) {
        if (a == 0) return;
        if (a == elements_) {
            row.constant += sign * length;
        } else if (state_[lower_[a]] == kNonBasic) {
            row.add(lower_[a], sign);
        } else {
            row.constant += sign * length;
            row.add(upper_[a], -sign);
        }
    };
    Row row;
    double constant = 0.0;
    if (!large_) {
        for (std::size_t j = 0; j < k; ++j) {
            const Row& d = size_of(j);
            d.stage(workspace_, kinds_.size());
            constant += d.constant;
            add_row(row, 0, 0.0, 1.0);
        }
        row.constant = constant;
    } else if (k - before <= after - k) {
        for (std::size_t j = before; j < k; ++j) {
            const Row& d = size_of(j);
            d.stage(workspace_, kinds_.size());
            constant += d.constant;
            add_row(row, 0, 0.0, 1.0);
        }
        row.constant = constant;
        add_anchor(row, before, 1.0);
    } else {
        for (std::size_t j = k; j < after; ++j) {
            const Row& d = size_of(j);
            d.stage(workspace_, kinds_.size());
            constant += d.constant;
            add_row(row, 0, 0.0, -1.0);
        }
        row.constant = -constant;
        add_anchor(row, after, 1.0);
    }
    if (upper_of_[s] != 0) {
        row.scale(-1.0);
        row.constant += length;
    }
    return row;
}

void SplitSolver::mark_anchor(std::size_t k) {
    if (k == 0 || k >= elements_) return;
    anchors_.set(k, state_[lower_[k]] == kNonBasic || state_[upper_[k]] == kNonBasic);
}

void SplitSolver::enter(Symbol s, Row&& row) {
    if (mirrored_[s] != 0) {
        // A mirror slack's row is its element's size, whatever the pivot wrote.
        state_[s] = kMirror;
        mirror_[mirrored_[s] - 1] = s;
        return;
    }
    const std::size_t k = boundary_of_[s];
    if (k == 0) {
        insert_row(s, std::move(row));
        return;
    }
    // The element sizes now say what the row says: the tree has its value.
    state_[s] = kInTree;
    if (upper_of_[s] != 0)
        tree_.set_upper(k, s, counters_.tree_steps);
    else
        tree_.set_lower(k, s, counters_.tree_steps);
    mark_anchor(k);
}

bool SplitSolver::pivot(Symbol entering, Symbol leaving) {
    ++counters_.pivots;
    Row row;
    if (state_[leaving] == kInTree) {
        row = range_row(leaving);
        // The ratio test summed the coefficients in another order; where they cancel, the two
        // sums can disagree on whether anything is left.
        if (!(row.coefficient_for(entering) < 0.0)) {
            holders_of_ = 0;
            return false;
        }
        state_[leaving] = kNonBasic;
        const std::size_t k = boundary_of_[leaving];
        if (upper_of_[leaving] != 0)
            tree_.set_upper(k, 0, counters_.tree_steps);
        else
            tree_.set_lower(k, 0, counters_.tree_steps);
        mark_anchor(k);
    } else if (state_[leaving] == kMirror) {
        const std::size_t j = mirrored_[leaving] - 1;
        row = sizes_[j];
        state_[leaving] = kNonBasic;
        mirror_[j] = 0;
    } else {
        row = take_row(leaving);
    }
    solve_for_pair(row, leaving, entering);
    substitute(entering, row);
    enter(entering, std::move(row));
    return true;
}

double SplitSolver::boundary(std::size_t k) const {
    if (k == 0) return start_;
    if (k >= elements_) return end_;
    double v = start_;
    for (std::size_t j = 0; j < k; ++j) v += size_of(j).constant;
    return v;
}

std::vector<double> SplitSolver::boundaries() const {
    std::vector<double> out(elements_ + 1);
    double v = start_;
    out[0] = start_;
    for (std::size_t k = 1; k < elements_; ++k) {
        v += size_of(k - 1).constant;
        out[k] = v;
    }
    out[elements_] = end_;
    return out;
}

Status SplitSolver::add(std::initializer_list<Term> terms, double constant, Relation relation, double strength) {
    Row row;
    row.reserve(24);
    row.constant = constant;
    for (const Term& term : terms) {
        if (near_zero(term.coefficient)) continue;
        if (term.element == kArea) {
            // end × c, then start × −c, as the bounds' terms come in that order.
            row.constant += area_end_ * term.coefficient;
            row.constant += area_start_ * -term.coefficient;
            continue;
        }
        if (term.element >= elements_) return Status::Unsatisfiable;
        const Row& d = size_of(term.element);
        d.stage(workspace_, kinds_.size());
        add_row(row, 0, d.constant, term.coefficient);
    }

    return add_written(std::move(row), relation, strength);
}

Status SplitSolver::prefer(std::uint32_t element, double weight) {
    if (element >= elements_) return Status::Unsatisfiable;
    const Row& d = size_of(element);
    d.stage(workspace_, kinds_.size());
    add_row(objective_, 0, d.constant, weight);
    for (const Cell& c : workspace_.cells) recheck_objective(c.symbol);
    return optimise(objective_);
}

// "size ≥ 0" written out is "slack = size", the slack its subject: a copy of the size's row,
// which would take every substitution the size takes. A mirror slack stands in the basis with no
// row of its own. (A size below zero would need another subject, and takes the written form.)
Status SplitSolver::add_not_negative(std::uint32_t element) {
    if (element < elements_) element = shared_[element];
    if (element >= elements_ || sizes_[element].constant < 0.0 || mirror_[element] != 0)
        return add({{element, 1.0}}, 0.0, Relation::GreaterOrEqual, strength::required);
    const Symbol s = new_symbol(Kind::Slack);
    state_[s] = kMirror;
    mirrored_[s] = element + 1;
    mirror_[element] = s;
    ++constraint_count_;
    return optimise(objective_);
}

Status SplitSolver::add_equal_sizes(std::uint32_t a, std::uint32_t b) {
    const Status status = add({{b, 1.0}, {a, -1.0}}, 0.0, Relation::Equal, strength::required);
    if (status != Status::Ok) return status;
    std::uint32_t keep = shared_[a], drop = shared_[b];
    if (keep == drop) return status;
    // A mirror slack's row is its element's size: that element keeps its row.
    if (mirror_[drop] != 0) std::swap(keep, drop);
    if (mirror_[drop] != 0) return status;
    // The two rows now differ by the constraint's dummy, which is zero for good, and by rounding.
    const Row& kept = sizes_[keep];
    const Row& dropped = sizes_[drop];
    auto agrees = [](double x, double y) { return std::fabs(x - y) <= 1e-9 * (1.0 + std::fabs(x) + std::fabs(y)); };
    bool same = agrees(kept.constant, dropped.constant);
    kept.for_each([&](const Cell& c) {
        same = same && (kinds_[c.symbol] == Kind::Dummy || agrees(c.coefficient, dropped.coefficient_for(c.symbol)));
    });
    dropped.for_each([&](const Cell& c) {
        same = same && (kinds_[c.symbol] == Kind::Dummy || kept.coefficient_for(c.symbol) != 0.0);
    });
    if (!same) return status;
    if (sharers_.empty()) sharers_.resize(elements_);
    std::vector<std::uint32_t>& joined = sharers_[keep];
    joined.push_back(drop);
    shared_[drop] = keep;
    for (const std::uint32_t j : sharers_[drop]) {
        joined.push_back(j);
        shared_[j] = keep;
    }
    sharers_[drop] = {};
    // The dropped row's cells stay in the columns, stale: owns_row passes over them.
    unregister(kSizeOwner | drop);
    sizes_[drop].clear();
    return status;
}

void SplitSolver::forget(Symbol s) {
    for_owners_of(s, [&](std::uint32_t owner) {
        if (owns_row(owner)) (void)owned(owner).take(s);
    });
    columns_.clear(s);
}

void SplitSolver::order_size_hits() {
    // A scan of the span costs about what one step of a sort does, per element.
    constexpr std::size_t kPlacedFrom = 64, kSpanPerHit = 16;
    auto by_element = [](const auto& x, const auto& y) { return x.first < y.first; };
    const std::size_t hits = size_hits_.size();
    if (hits < kPlacedFrom) {
        std::sort(size_hits_.begin(), size_hits_.end(), by_element);
        return;
    }
    const auto [lo, hi] = std::minmax_element(size_hits_.begin(), size_hits_.end(), by_element);
    const std::uint32_t first = lo->first, last = hi->first;
    if (last - first >= kSpanPerHit * hits) {
        std::sort(size_hits_.begin(), size_hits_.end(), by_element);
        return;
    }
    if (placed_at_.size() < elements_) {
        placed_at_.resize(elements_, 0);
        placed_.resize(elements_, 0.0);
    }
    for (const auto& [j, c] : size_hits_) {
        placed_at_[j] = ratio_test_;
        placed_[j] = c;
    }
    size_hits_.clear();
    for (std::uint32_t j = first; j <= last; ++j)
        if (placed_at_[j] == ratio_test_) size_hits_.emplace_back(j, placed_[j]);
}

// As Solver's: the smallest ratio −constant / coefficient over the rows with a negative
// coefficient for the entering symbol, equal ratios going to the newest symbol (or the oldest,
// see set_oldest_on_ties). The stored rows are found through the entering symbol's column; the
// range rows piece by piece: between two elements whose size holds the entering symbol, the
// running sum of its coefficients is the same for every boundary, so one question to the tree
// covers them all.
SplitSolver::Symbol SplitSolver::leaving_symbol(Symbol entering) {
    double best = kInfinity;
    Symbol found = 0;
    auto consider = [&](double ratio, Symbol s) {
        if (ratio < best || (found != 0 && ratio == best && tree_.wins_tie(s, found))) {
            best = ratio;
            found = s;
        }
    };
    start_ratio_test();
    if (size_seen_.size() < elements_) size_seen_.resize(elements_, 0);
    size_hits_.clear();
    for_owners_of(entering, [&](std::uint32_t owner) {
        if ((owner & kSizeOwner) != 0) {
            const std::size_t j = owner & ~kSizeOwner;
            if (shared_[j] != j || size_seen_[j] == ratio_test_) return;
            size_seen_[j] = ratio_test_;
            const double c = sizes_[j].coefficient_for(entering);
            if (c == 0.0) return;
            size_hits_.emplace_back(static_cast<std::uint32_t>(j), c);
            if (!sharers_.empty())
                for (const std::uint32_t other : sharers_[j]) size_hits_.emplace_back(other, c);
            holders_.emplace_back(owner, c);
            if (c < 0.0 && mirror_[j] != 0) consider(-sizes_[j].constant / c, mirror_[j]);
            return;
        }
        if (!is_row(owner) || !first_meeting(owner)) return;
        const Row& row = rows_[owner];
        const double c = row.coefficient_for(entering);
        if (c == 0.0) return;
        holders_.emplace_back(owner, c);
        if (c < 0.0 && kind_of(owner) != Kind::External) consider(-row.constant / c, owner);
    });
    order_size_hits();
    // A running sum is the sum of many coefficients: what is left of terms that cancel is
    // rounding noise, not a coefficient, and is not taken for one.
    const double relative_noise = large_ ? kRelativeNoise : 0.0;
    double running = 0.0, magnitude = 0.0;
    auto piece = [&](std::size_t from, std::size_t to) {
        const double c = running;
        if (from >= to || std::fabs(c) < std::max(kRunningSumNoise, relative_noise * magnitude)) return;
        // A subtree whose extreme, moved toward winning by far more than the rounding of the
        // tree's sums, still loses to the best ratio so far holds nothing that can win or tie.
        auto margin = [](double v) { return kTreeSlack * (1.0 + std::fabs(v)); };
        if (c < 0.0) {
            auto hopeless = [&](double v) { return found != 0 && -((v - margin(v)) - start_) / c > best; };
            const BoundaryTree::Best b = tree_.extreme<true>(from, to, counters_.tree_steps, hopeless);
            if (b.symbol != 0) consider(-(b.value - start_) / c, b.symbol);
        } else {
            auto hopeless = [&](double v) { return found != 0 && -(end_ - (v + margin(v))) / -c > best; };
            const BoundaryTree::Best b = tree_.extreme<false>(from, to, counters_.tree_steps, hopeless);
            if (b.symbol != 0) consider(-(end_ - b.value) / -c, b.symbol);
        }
    };
    // Boundaries [from, to) share one coefficient. A boundary on a bound among them is that
    // bound plus or less its range symbol that is not basic, and nothing else: there the
    // coefficient is known exactly, and the running sum starts again from it.
    std::size_t from = 1;
    auto settle = [&](std::size_t to) {
        if (restart_sums_) {
            if (const std::size_t a = anchors_.next(from, elements_); a < to) {
                if (state_[lower_[a]] == kNonBasic)
                    running = lower_[a] == entering ? 1.0 : 0.0;
                else
                    running = upper_[a] == entering ? -1.0 : 0.0;
                magnitude = std::fabs(running);
            }
        }
        piece(from, to);
    };
    for (const auto& [j, c] : size_hits_) {
        settle(j + 1);
        running += c;
        magnitude += std::fabs(c);
        from = j + 1;
    }
    settle(elements_);
    holders_of_ = found != 0 ? entering : 0;
    return found;
}

}  // namespace tarvo::core::cassowary
