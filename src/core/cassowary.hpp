// An incremental Cassowary constraint solver in the Kiwi formulation: a primal simplex over a
// tableau of rows, with error variables for the soft constraints and the objective "minimise
// the sum of strength × error". Constraints are added one at a time and the tableau is
// re-optimised after each addition.
//
// The solver is deterministic. Wherever the method picks "some" candidate (the subject of a
// new row, the entering and leaving symbols of a pivot, the symbol that replaces an artificial
// variable) it scans the candidates from the newest symbol to the oldest and takes the first;
// nothing depends on hashing or on addresses.
#pragma once

#include <cstdint>
#include <vector>

namespace tarvo::core::cassowary {

// Strengths of preferred constraints. A constraint is required when its strength is not below
// `required`; anything weaker is weighted by its strength in the objective.
namespace strength {
inline constexpr double required = 1'001'001'000.0;
inline constexpr double strong = 1'000'000.0;
inline constexpr double medium = 1'000.0;
inline constexpr double weak = 1.0;

// Keeps a strength inside 0 .. required.
constexpr double clip(double value) noexcept {
    return value < 0.0 ? 0.0 : (value > required ? required : value);
}

// A weighted combination of the three preferred levels, clipped.
constexpr double create(double a, double b, double c, double weight = 1.0) noexcept {
    return clip(a * 1'000'000.0 * weight + b * 1'000.0 * weight + c * weight);
}
}  // namespace strength

// A variable of one solver, numbered from 0 in creation order.
struct Variable {
    std::uint32_t index = 0;
    friend constexpr bool operator==(Variable, Variable) = default;
};

struct Term {
    Variable variable;
    double coefficient = 1.0;
};

// constant + Σ coefficient × variable. Terms are kept in the order they were written; the same
// variable may appear more than once (its coefficients add up).
struct Expression {
    std::vector<Term> terms;
    double constant = 0.0;

    Expression() = default;
    Expression(double c) : constant(c) {}  // NOLINT(google-explicit-constructor)
    Expression(Variable v) : terms{{v, 1.0}} {}  // NOLINT(google-explicit-constructor)

    Expression& operator+=(const Expression& other);
    Expression& operator-=(const Expression& other);
    Expression& operator*=(double factor);
};

Expression operator+(Expression a, const Expression& b);
Expression operator-(Expression a, const Expression& b);
Expression operator*(Expression a, double factor);
Expression operator*(double factor, Expression a);

enum class Relation : std::uint8_t { LessOrEqual, Equal, GreaterOrEqual };

// "expression relation 0", with a strength.
struct Constraint {
    Expression expression;
    Relation relation = Relation::Equal;
    double strength = strength::required;
};

// Builds "left relation right" as "(left − right) relation 0".
Constraint make_constraint(const Expression& left, Relation relation, const Expression& right,
                           double strength);

enum class Status : std::uint8_t {
    Ok,
    // A required constraint contradicts the required constraints already added.
    Unsatisfiable,
    // The objective can decrease without bound (a preferred constraint pulls a variable that
    // nothing bounds).
    Unbounded,
    // The simplex did not settle within its pivot budget.
    NoProgress,
};

const char* status_text(Status status) noexcept;

class Solver {
public:
    Solver();

    Variable new_variable();
    std::uint32_t variable_count() const noexcept {
        return static_cast<std::uint32_t>(var_symbol_.size());
    }

    // Adds the constraint and re-optimises. On Unsatisfiable the constraints added before are
    // still in force and the solver stays usable.
    Status add_constraint(const Constraint& constraint);
    Status add_constraint(const Expression& left, Relation relation, const Expression& right,
                          double strength) {
        return add_constraint(make_constraint(left, relation, right, strength));
    }

    // The current value of a variable.
    double value(Variable v) const noexcept;

    std::size_t constraint_count() const noexcept { return constraint_count_; }

    // Reserves room for about this many constraints and variables.
    void reserve(std::size_t constraints, std::size_t variables);

private:
    enum class Kind : std::uint8_t { Invalid, External, Slack, Error, Dummy };
    using Symbol = std::uint32_t;  // 0 is "no symbol"

    struct Cell {
        Symbol symbol;
        double coefficient;
    };
    // constant + Σ coefficient × symbol, cells sorted by symbol. `mask` has bit (s mod 64) set
    // for every symbol s that may have a cell, so most rows without a symbol are skipped at once.
    struct Row {
        double constant = 0.0;
        std::uint64_t mask = 0;
        std::vector<Cell> cells;
    };
    static constexpr std::uint64_t bit(Symbol s) noexcept { return std::uint64_t{1} << (s & 63u); }

    Symbol new_symbol(Kind kind);
    Kind kind_of(Symbol s) const noexcept { return kinds_[s]; }
    bool is_basic(Symbol s) const noexcept { return row_of_[s] >= 0; }
    Row& basic_row(Symbol s) noexcept { return rows_[static_cast<std::size_t>(row_of_[s])]; }

    static double coefficient_for(const Row& row, Symbol s) noexcept;
    static void add_cell(Row& row, Symbol s, double coefficient);
    static void remove_cell(Row& row, Symbol s) noexcept;
    void add_row(Row& row, const Row& other, double coefficient);
    static void solve_for(Row& row, Symbol subject);
    static void solve_for_pair(Row& row, Symbol lhs, Symbol rhs);
    void substitute_in(Row& row, Symbol symbol, const Row& replacement);
    void substitute(Symbol symbol, const Row& replacement);

    void insert_row(Symbol basic, Row&& row);
    Row take_row(Symbol basic);

    Symbol choose_subject(const Row& row, Symbol marker, Symbol other) const noexcept;
    Symbol any_pivotable_symbol(const Row& row) const noexcept;
    Status add_with_artificial_variable(const Row& row);
    Status optimise(Row& objective);
    Symbol entering_symbol(const Row& objective) const noexcept;
    Symbol leaving_symbol(Symbol entering) const noexcept;

    std::vector<Kind> kinds_;            // by symbol; kinds_[0] is Invalid
    std::vector<std::int32_t> row_of_;   // by symbol: index into rows_, or -1 when not basic
    std::vector<Symbol> basic_of_;       // by row index: its basic symbol
    std::vector<Row> rows_;              // the tableau (unordered storage)
    std::vector<Symbol> var_symbol_;     // by variable: its External symbol, 0 until mentioned
    Row objective_;
    Row* artificial_ = nullptr;          // set while an artificial objective is being optimised
    std::vector<Cell> scratch_;
    std::size_t constraint_count_ = 0;
};

}  // namespace tarvo::core::cassowary
