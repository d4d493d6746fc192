#include "core/layout.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <list>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/cassowary.hpp"
#include "core/debug.hpp"
#include "core/even_row.hpp"
#include "core/lp.hpp"
#include "core/numeric.hpp"
#include "core/panic.hpp"

namespace tarvo::core {

namespace cw = cassowary;

// ---- names and texts ----

const char* direction_name(Direction d) noexcept {
    return d == Direction::Horizontal ? "Horizontal" : "Vertical";
}

const char* flex_name(Flex f) noexcept {
    switch (f) {
        case Flex::Legacy: return "Legacy";
        case Flex::Start: return "Start";
        case Flex::End: return "End";
        case Flex::Center: return "Center";
        case Flex::SpaceBetween: return "SpaceBetween";
        case Flex::SpaceAround: return "SpaceAround";
        case Flex::SpaceEvenly: return "SpaceEvenly";
    }
    return "Start";
}

std::uint16_t Constraint::apply(std::uint16_t length) const noexcept {
    const auto v16 = static_cast<std::uint16_t>(value);
    switch (kind) {
        case Kind::Min: return std::max(length, v16);
        case Kind::Max:
        case Kind::Length:
        case Kind::Fill: return std::min(length, v16);
        case Kind::Percentage: {
            const float l = static_cast<float>(length);
            const float f = (static_cast<float>(v16) / 100.0f) * l;
            return sat_cast<std::uint16_t>(std::min(f, l));
        }
        case Kind::Ratio: {
            const float l = static_cast<float>(length);
            const float d = static_cast<float>(std::max<std::uint32_t>(denominator, 1));
            const float f = (static_cast<float>(value) / d) * l;
            return sat_cast<std::uint16_t>(std::min(f, l));
        }
    }
    return 0;
}

std::string Constraint::debug() const {
    switch (kind) {
        case Kind::Min: return "Min(" + std::to_string(value) + ")";
        case Kind::Max: return "Max(" + std::to_string(value) + ")";
        case Kind::Length: return "Length(" + std::to_string(value) + ")";
        case Kind::Percentage: return "Percentage(" + std::to_string(value) + ")";
        case Kind::Ratio:
            return "Ratio(" + std::to_string(value) + ", " + std::to_string(denominator) + ")";
        case Kind::Fill: return "Fill(" + std::to_string(value) + ")";
    }
    return {};
}

Spacing Spacing::from_signed(std::int64_t value) noexcept {
    const std::int64_t v = std::clamp<std::int64_t>(value, -32768, 32767);
    return v >= 0 ? space(static_cast<std::uint16_t>(v)) : overlap(static_cast<std::uint16_t>(-v));
}

std::int16_t Spacing::solver_amount() const noexcept {
    const auto s = static_cast<std::int16_t>(amount);
    if (kind == Kind::Space) return s;
    // Negation wraps: Overlap(32768) stays at −32768.
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(-static_cast<std::int32_t>(s)));
}

std::string Spacing::debug() const {
    return (kind == Kind::Space ? "Space(" : "Overlap(") + std::to_string(amount) + ")";
}

std::string Layout::debug() const {
    debug::Struct m("Margin");
    m.field("horizontal", std::to_string(margin.horizontal))
        .field("vertical", std::to_string(margin.vertical));
    debug::Struct out("Layout");
    out.field("direction", direction_name(direction))
        .field("constraints", debug::list(constraints, [](const Constraint& c) { return c.debug(); }))
        .field("margin", std::move(m).finish())
        .field("flex", flex_name(flex))
        .field("spacing", spacing.debug());
    return std::move(out).finish();
}

// ---- solving ----
//
// The split axis is worked in hundredths of a cell. For n constraints there are 2n + 2
// variables v0 … v(2n+1): spacer i spans (v2i, v2i+1), segment i spans (v2i+1, v2i+2), and the
// whole area spans (v0, v2n+1). Spacers may come out negative, which is how overlap works.
// The constraints are added in a fixed order; the incremental solver re-optimises after each
// one, and where the optimum is not unique that order decides which vertex is reached.
//
// The usual form asks for equal sizes pairwise: every pair of growing segments (Fill, and Min
// outside Legacy) in proportion, and in the Space* modes every pair of gaps equal. That is
// n²/2 constraints, and on such problems the simplex degenerates: past a few dozen growing
// segments or gaps it stalls, pivoting without improving the objective, for a very long time.
// So past 64 of them the split is posed in a compact form, one constraint per segment or gap,
// that never costs more than the pairwise one and costs the same wherever the equalities hold:
//
// - Gaps: every gap equals the first one, as a required constraint. Where the pairwise form
//   keeps its gaps equal (and with so many gaps, each worth its strength against every other,
//   it always does), both forms minimise the same cost over the same splits.
// - Proportions: every growing segment i is held in proportion to one centre c, the one of
//   largest scale, with the strength w·(S − s_i)/s_c, where w is the pairwise strength, s the
//   scales and S their sum. With r = size / scale, a pair costs w·s_i·s_j·|r_i − r_j| ≤
//   w·s_i·s_j·(|r_i − r_c| + |r_j − r_c|); summing over the pairs, segment i's distance to the
//   centre is counted s_i·(S − s_i) times, which is exactly what its one constraint charges.
//   So the compact cost is never below the pairwise cost, and equal to it where every
//   proportion holds: wherever the pairwise form's best split keeps them all, that split is
//   also the compact form's best, and every best split of the compact form is one of the
//   pairwise form's. The strengths stay below w·(number of growing segments).
//
// In the Space* modes the pairwise form's n²/2 equalities make most of its work: a split of 10
// constraints in SpaceEvenly takes four times the work of one in Start. So there the split is
// first posed in a chained form: the pairwise form with each gap made equal to the next only. Its
// cost is a part of the pairwise one, the same wherever the gaps are equal. Where its best split
// keeps every gap equal and is its only best split, any other split costs more in the chained
// form and so in the pairwise form too: it is the pairwise form's only best split, which the
// pairwise form's solver reaches too (see solve_chained).
//
// Splits of up to 64 segments are solved exactly as they always were, down to the rounding of
// the sums the solver forms, unless the pairwise form stalls. Past that the solver takes the
// shorter sums (`set_large`), and its boundaries start on the area's end rather than its start:
// the constraints come from the first element to the last, and a long split then costs work in
// proportion to its length rather than to its square. Where several splits are equally good it
// can reach another of them.

namespace {

constexpr double kRequired = cw::strength::required;
constexpr double kEmpty = cw::strength::required - cw::strength::weak;     // a spacer of size 0
constexpr double kSpacerEq = cw::strength::required / 10.0;                // spacer sizes
constexpr double kMinGe = cw::strength::strong * 100.0;                    // Min lower bound
constexpr double kMaxLe = cw::strength::strong * 100.0;                    // Max upper bound
constexpr double kLengthEq = cw::strength::strong * 10.0;
constexpr double kPercentEq = cw::strength::strong;
constexpr double kRatioEq = cw::strength::strong / 10.0;
constexpr double kMinEq = cw::strength::medium * 10.0;                     // Legacy Min
constexpr double kMaxEq = cw::strength::medium * 10.0;
constexpr double kFillGrow = cw::strength::medium;
constexpr double kGrow = cw::strength::medium / 10.0;
constexpr double kSpaceGrow = cw::strength::weak * 10.0;
constexpr double kAllSegmentGrow = cw::strength::weak;

constexpr double kCellScale = 100.0;

// An element of the split axis: a spacer or a segment (element 2i is spacer i, element 2i + 1
// segment i), or the whole area.
struct Element {
    std::uint32_t index;
};
constexpr Element kWhole{cw::SplitSolver::kArea};

using Rel = cw::Relation;

// More growing segments, or more gaps made equal in a Space* mode, than this take the compact
// form; more segments than this, the shorter sums and boundaries starting on the end.
constexpr std::size_t kPairedUpTo = 64;
// A split that takes more than this many pivots (plus so many per constraint), in one
// optimisation or in all, is taken to have stalled. Sound layouts of up to a few hundred
// constraints need one or two per constraint in all, and rarely a handful.
constexpr std::size_t kPatienceBase = 1000;
constexpr std::size_t kPatiencePerConstraint = 8;
// Past the pairwise form's reach the split solver is given more. Crowded Legacy splits make
// degenerate pivots in a number that grows with the square of the constraints (cheap ones, of
// some tens of cells each): 10,000 mixed constraints over 7,500 cells settle after about 30 per
// constraint. The general solver that would take over after a stall takes minutes there.
constexpr std::size_t kPatiencePerConstraintBeyond = 64;
// The pairwise form can also stall well inside its pivot budget: with some 64 growing segments
// or gaps its rows grow long, and a split of 63 Fill segments in a Space mode took half a minute
// to three minutes. Past this many cells visited (a few tenths of a second; sound splits visit
// at most a few tens of millions) it gives up too, and the compact form is taken.
constexpr std::uint64_t kPairwiseWorkLimit = 100'000'000;

// Past the pairwise form's reach the incremental solvers get this much effort in all (see Tally),
// a few tenths of a second: of 400 long repeated rows, those they settle within seconds took
// under 100 million. On long chains of equal neighbours, whose rows fill in, they can take
// minutes; the whole split is then posed as one linear program (see LpBuilder).
constexpr std::uint64_t kLargeSplitEffort = 120'000'000;

enum class Form : std::uint8_t { Pairwise, Chained, Compact };

// How a builder poses a split to its solver. Past the pairwise form's reach, no split has to
// come out as it always did, only as a best one: the split solver then takes shorter paths to
// the same best splits (see toward_area and not_negative).
struct Posing {
    bool large;            // the shorter sums (see SplitSolver::set_large)
    bool from_end;         // boundaries starting on the area's end
    bool beyond_pairwise;  // the shorter paths
    bool restart_sums = false;  // see SplitSolver::set_restart_sums
    // The pivoting rules that leave degenerate vertices sooner (see
    // SplitSolver::set_oldest_on_ties and Simplex::set_steepest_entering).
    bool oldest_on_ties = false;
    bool steepest_entering = false;
};

// The work one split's solvers have done, and how much more they may do in all (their effort:
// the cells they visit and the steps through the split solver's tree of boundaries).
struct Tally {
    static constexpr std::uint64_t kNoLimit = UINT64_MAX;
    SplitWork* out = nullptr;  // the caller's count, if it keeps one
    std::uint64_t limit = kNoLimit;
    std::uint64_t effort = 0;

    std::uint64_t left() const noexcept { return limit == kNoLimit ? kNoLimit : limit - std::min(limit, effort); }
    void add(const SplitWork& work) noexcept {
        effort += work.cell_updates + work.tree_steps;
        if (!out) return;
        out->pivots += work.pivots;
        out->cell_updates += work.cell_updates;
        out->tree_steps += work.tree_steps;
        out->lp_pivots += work.lp_pivots;
    }
};

// Feeds constraints to the split solver, each on element sizes: "size(e) rel value" or
// "size(e) × a rel size(f) × b", where either element may be the whole area. After the first
// constraint the solver refuses, the builder ignores the rest and reports the failure.
class SizeBuilder {
public:
    SizeBuilder(std::size_t elements, double start, double end, Posing posing)
        : solver_(elements, start, end, posing.from_end), beyond_pairwise_(posing.beyond_pairwise) {
        solver_.set_patience(kPatienceBase,
                             posing.beyond_pairwise ? kPatiencePerConstraintBeyond : kPatiencePerConstraint);
        solver_.set_large(posing.large);
        solver_.set_restart_sums(posing.restart_sums);
        solver_.set_oldest_on_ties(posing.oldest_on_ties);
        solver_.set_steepest_entering(posing.steepest_entering);
    }
    void settle() {}  // each constraint is solved as it is added
    bool failed() const noexcept { return failed_; }
    void limit_work(std::uint64_t cells) { solver_.set_work_limit(cells); }
    void limit_effort(std::uint64_t effort) { solver_.set_effort_limit(effort); }
    bool only_best() const { return false; }  // not asked: the chained form takes the general solver
    // The bounds the whole area stands for, where the elements span more.
    void set_area(double start, double end) { solver_.set_area(start, end); }
    std::vector<double> boundaries() const { return solver_.boundaries(); }
    void count(Tally& tally) const {
        const cw::SplitSolver::Counters& c = solver_.counters();
        tally.add({.pivots = c.pivots, .cell_updates = c.cell_updates, .tree_steps = c.tree_steps});
    }

    void size_value(Element e, Rel rel, double value, double strength) {
        add({{e.index, 1.0}}, 0.0 - value, rel, strength);
    }
    // "times × size(e) rel times × value": as size_value, each unit of error costing `times`.
    void size_value(Element e, double times, Rel rel, double value, double strength) {
        add({{e.index, times}}, -(times * value), rel, strength);
    }
    void sizes(Element e, double a, Rel rel, Element f, double b, double strength) {
        add({{e.index, 1.0 * a}, {f.index, -(1.0 * b)}}, 0.0, rel, strength);
    }
    // "size(e) = size(f)", required; the two sizes then share one row (see
    // SplitSolver::add_equal_sizes).
    void equal_sizes(Element e, Element f) {
        if (!failed_) failed_ = solver_.add_equal_sizes(f.index, e.index) != cw::Status::Ok;
    }
    // "size(e) = times × area" (times ≥ 1). A size never exceeds the area, so the preference
    // costs strength × (times × area − size(e)): it is linear, and past the pairwise form's reach
    // it goes straight into the objective. As a constraint it would take a row and two error
    // symbols, and with many growing segments in a roomy area each such row holds nearly every
    // symbol. The best splits are the same, the path to them is not.
    void toward_area(Element e, double times, double strength) {
        if (!beyond_pairwise_) return sizes(e, 1.0, Rel::Equal, kWhole, times, strength);
        if (!failed_) failed_ = solver_.prefer(e.index, -strength) != cw::Status::Ok;
    }
    // "start ≤ end". Written so, its slack is not the subject of its row and adding it takes a
    // pivot, which every split within the pairwise form's reach keeps; past it, "size ≥ 0".
    void ordered(Element e) {
        if (beyond_pairwise_) return not_negative(e);
        add({{e.index, -1.0}}, 0.0, Rel::LessOrEqual, kRequired);
    }
    // "size ≥ 0": the same constraint written so that its slack is the subject of its row,
    // and adding it takes no pivot. Past the pairwise form's reach the slack mirrors the size
    // instead of keeping a copy of its row (SplitSolver::add_not_negative); where the slack
    // leaves the basis and comes back, the size's row differs from the copy the pivot would
    // write in its rounding only.
    void not_negative(Element e) {
        if (!beyond_pairwise_) return add({{e.index, 1.0}}, 0.0, Rel::GreaterOrEqual, kRequired);
        if (!failed_) failed_ = solver_.add_not_negative(e.index) != cw::Status::Ok;
    }

private:
    void add(std::initializer_list<cw::SplitSolver::Term> terms, double constant, Rel rel, double strength) {
        if (!failed_) failed_ = solver_.add(terms, constant, rel, strength) != cw::Status::Ok;
    }

    cw::SplitSolver solver_;
    bool failed_ = false;
    const bool beyond_pairwise_;
};

// The same constraints posed to the general solver over one variable per boundary, each kept
// between the area's bounds by two required inequalities. Each constraint is written as
// "left − right": the left's terms first, then the right's negated; size(e) stands for
// (+1 · end, −1 · start).
class BoundaryBuilder {
public:
    BoundaryBuilder(std::size_t elements, double start, double end, Posing /*posing*/) {
        solver_.reserve(4 * elements + 8, elements + 1);
        solver_.set_patience(kPatienceBase, kPatiencePerConstraint);
        c_.expression.terms.reserve(4);
        for (std::size_t k = 0; k <= elements; ++k) v_.push_back(solver_.new_variable());
        add({{v_.front(), 1.0}}, 0.0 - start, Rel::Equal, kRequired);
        add({{v_.back(), 1.0}}, 0.0 - end, Rel::Equal, kRequired);
        for (const cw::Variable& x : v_) {
            add({{x, 1.0}, {v_.front(), -1.0}}, 0.0, Rel::GreaterOrEqual, kRequired);
            add({{x, 1.0}, {v_.back(), -1.0}}, 0.0, Rel::LessOrEqual, kRequired);
        }
    }
    void settle() {}  // each constraint is solved as it is added
    bool failed() const noexcept { return failed_; }
    void limit_work(std::uint64_t cells) { solver_.set_work_limit(cells); }
    void limit_effort(std::uint64_t effort) { solver_.set_effort_limit(effort); }
    // Whether the split is the solver's only best one (see Solver::only_best): each unit a
    // parameter moves costs at least a hundredth, and far more than the rounding of the costs.
    bool only_best() const { return solver_.only_best(0.01, 1e-10); }
    std::vector<double> boundaries() const {
        std::vector<double> out;
        out.reserve(v_.size());
        for (const cw::Variable& x : v_) out.push_back(solver_.value(x));
        return out;
    }
    void count(Tally& tally) const { tally.add({.cell_updates = solver_.work_done()}); }

    void size_value(Element e, Rel rel, double value, double strength) {
        add({{end(e), 1.0}, {start(e), -1.0}}, 0.0 - value, rel, strength);
    }
    void size_value(Element e, double times, Rel rel, double value, double strength) {
        add({{end(e), times}, {start(e), -times}}, -(times * value), rel, strength);
    }
    void sizes(Element e, double a, Rel rel, Element f, double b, double strength) {
        add({{end(e), 1.0 * a}, {start(e), -1.0 * a}, {end(f), -(1.0 * b)}, {start(f), -(-1.0 * b)}}, 0.0, rel,
            strength);
    }
    void equal_sizes(Element e, Element f) { sizes(e, 1.0, Rel::Equal, f, 1.0, kRequired); }
    void ordered(Element e) { add({{start(e), 1.0}, {end(e), -1.0}}, 0.0, Rel::LessOrEqual, kRequired); }
    void toward_area(Element e, double times, double strength) { sizes(e, 1.0, Rel::Equal, kWhole, times, strength); }

private:
    cw::Variable start(Element e) const { return e.index == cw::SplitSolver::kArea ? v_.front() : v_[e.index]; }
    cw::Variable end(Element e) const { return e.index == cw::SplitSolver::kArea ? v_.back() : v_[e.index + 1]; }
    void add(std::initializer_list<cw::Term> terms, double constant, Rel rel, double strength) {
        c_.expression.terms.assign(terms);
        c_.expression.constant = constant;
        c_.relation = rel;
        c_.strength = strength;
        if (!failed_) failed_ = solver_.add_constraint(c_) != cw::Status::Ok;
    }

    cw::Solver solver_;
    cw::Constraint c_;
    std::vector<cw::Variable> v_;
    bool failed_ = false;
};

// The middle of a long run of repeated constraints, held alike: the elements [begin, end) are
// copies of `period` elements (a copy's segments, each with the spacer after it), and every copy
// takes the same sizes. Its boundaries `begin` and `end` stay free.
struct Stretch {
    std::uint32_t begin, end, period;
    std::uint32_t copies() const noexcept { return (end - begin) / period; }
};

// A split posed as one linear program over the boundaries (in the pairwise form within its
// reach, the compact one past it) and solved by Clp's dual simplex, which factors its basis: on
// long chains of equal neighbours, where the rows of the incremental solvers fill in and they take
// minutes, it takes some seconds at most. Each soft constraint takes one error column per side,
// costing its strength; the whole area is a constant. It reaches a best split of the same
// problem, not always the one the incremental solvers reach where several are equally good: it is
// for long splits on which they give up.
//
// Its work grows about as the square of the constraints, and most of it goes on finding the
// vertex: from a split at or near the best one (`from`, its boundaries) the primal simplex starts
// on the basis that split suggests. Such a split comes from the same program with the middle of
// each long run held alike (`stretches`): each stretch's copies share one set of size columns, a
// constraint that comes out the same on every copy is one row whose error costs that many times
// its strength, and the boundaries inside the stretch are worked out from its ends (those within
// its first and last copy held inside the area; the rest lie between). That program is as long
// as what is left free, and on a row that is all one run its best split is often the whole
// program's, or near it.
class LpBuilder {
    // From a start, the basis it suggests is most often a best one or a few pivots from it (of
    // 40 long repeated rows, 19 took under 100 pivots); from the others' the primal simplex took
    // thousands, and often longer than from no start at all.
    static constexpr int kStartPivots = 200;

public:
    LpBuilder(std::size_t elements, double start, double end, std::span<const Stretch> stretches,
              std::span<const double> from)
        : boundary_count_(elements + 1), whole_(end - start), stretches_(stretches.begin(), stretches.end()) {
        // Every boundary inside the area; the first on its start, the last on its end.
        for (std::size_t k = 0; k <= elements; ++k)
            lp_.add_column(k == elements ? end : start, k == 0 ? start : end, 0.0);
        if (from.size() == boundary_count_) {
            start_.assign(from.begin(), from.end());
            lp_.limit_start_pivots(kStartPivots);
        }
        if (stretches_.empty()) return;
        template_of_.assign(elements, kNone);
        for (const Stretch& st : stretches_) hold_alike(st, start, end);
    }
    void settle() {
        if (failed_) return;
        const auto values = lp_.solve(start_);
        if (!values) {
            failed_ = true;
            return;
        }
        boundaries_.assign(values->begin(), values->begin() + static_cast<std::ptrdiff_t>(boundary_count_));
        // The boundaries inside each stretch, from its start.
        for (std::size_t i = 0; i < stretches_.size(); ++i) {
            const Stretch& st = stretches_[i];
            double at = boundaries_[st.begin];
            for (std::uint32_t e = st.begin; e + 1 < st.end; ++e) {
                at += (*values)[first_template_[i] + (e - st.begin) % st.period];
                boundaries_[e + 1] = at;
            }
        }
    }
    bool failed() const noexcept { return failed_; }
    std::vector<double> boundaries() const { return boundaries_; }
    void count(Tally& tally) const { tally.add({.lp_pivots = lp_.iterations()}); }

    void size_value(Element e, Rel rel, double value, double strength) { size_value(e, 1.0, rel, value, strength); }
    void size_value(Element e, double times, Rel rel, double value, double strength) {
        std::uint32_t* errors = posed({slot(e), kNone, times, 0.0, value, strength, rel});
        if (!errors) return;
        Row row;
        add_size(row, e, times);
        *errors = add(row, times * value, rel, strength);
    }
    void sizes(Element e, double a, Rel rel, Element f, double b, double strength) {
        std::uint32_t* errors = posed({slot(e), slot(f), a, b, 0.0, strength, rel});
        if (!errors) return;
        Row row;
        add_size(row, e, a);
        if (f.index == cw::SplitSolver::kArea || is_alike(f))
            add_size(row, f, -b);
        else
            add_size_of(row, f, -b);
        *errors = add(row, 0.0, rel, strength);
    }
    // Sizes made equal to one are each made equal to the last one made so.
    void equal_sizes(Element e, Element f) {
        std::uint32_t& last = last_equal_.try_emplace(f.index, f.index).first->second;
        sizes(e, 1.0, Rel::Equal, Element{last}, 1.0, kRequired);
        last = e.index;
    }
    // A size never exceeds the area, so "size(e) = times × area" costs strength × (times × area −
    // size(e)): the size's boundaries carry the cost, and the constant is left out.
    void toward_area(Element e, double /*times*/, double strength) {
        if (is_alike(e)) return lp_.add_cost(template_of_[e.index], -strength);
        lp_.add_cost(e.index + 1, -strength);
        lp_.add_cost(e.index, strength);
    }
    void ordered(Element e) { not_negative(e); }
    void not_negative(Element e) { size_value(e, Rel::GreaterOrEqual, 0.0, kRequired); }

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;

    // "Σ coefficient × column + constant".
    struct Row {
        std::vector<lp::Entry> entries;
        double constant = 0.0;
    };
    // A constraint as the program poses it: its sizes by the columns they are read from.
    struct Posed {
        std::uint32_t e, f;
        double a, b, value, strength;
        Rel rel;
        bool operator==(const Posed&) const = default;
    };
    struct PosedHash {
        std::size_t operator()(const Posed& p) const noexcept {
            std::size_t h = std::hash<std::uint32_t>{}(p.e) * 31 + std::hash<std::uint32_t>{}(p.f);
            for (const double v : {p.a, p.b, p.value, p.strength}) h = h * 31 + std::hash<double>{}(v);
            return h * 31 + static_cast<std::size_t>(p.rel);
        }
    };

    bool is_alike(Element e) const noexcept {
        return !template_of_.empty() && e.index != cw::SplitSolver::kArea && template_of_[e.index] != kNone;
    }
    // The column a size is read from: a stretch's size column, or else the element itself.
    std::uint32_t slot(Element e) const noexcept { return is_alike(e) ? template_of_[e.index] : e.index; }

    // A stretch's size columns, its ends held apart by its copies, and its first and last copy
    // inside the area. Where several such splits are equally good, the boundaries advance least
    // over a copy in the one taken: what the run does not take up is then left to its free copies
    // near the ends, where the whole program's best splits take it up too, and the start is most
    // often a vertex of the whole program (a best split whose copies each took a share of it lies
    // inside a face of best ones, and the simplex takes a pivot per copy to leave it). The cost of
    // that is far below the weakest strength: it never outweighs what the constraints ask.
    static constexpr double kDriftCost = 1e-3;
    void hold_alike(const Stretch& st, double start, double end) {
        first_template_.push_back(static_cast<std::uint32_t>(lp_.columns()));
        for (std::uint32_t q = 0; q < st.period; ++q) lp_.add_column(-lp::kUnbounded, lp::kUnbounded, 0.0);
        for (std::uint32_t e = st.begin; e < st.end; ++e)
            template_of_[e] = first_template_.back() + (e - st.begin) % st.period;
        Row span;
        span.entries = {{st.end, 1.0}, {st.begin, -1.0}};
        for (std::uint32_t q = 0; q < st.period; ++q)
            span.entries.push_back({first_template_.back() + q, -static_cast<double>(st.copies())});
        lp_.add_row(span.entries, 0.0, 0.0);
        // What the boundaries advance by over a copy, drift = up − down, each costing a little.
        Row drift;
        for (std::uint32_t q = 0; q < st.period; ++q) drift.entries.push_back({first_template_.back() + q, 1.0});
        drift.entries.push_back({lp_.add_column(0.0, lp::kUnbounded, kDriftCost), -1.0});
        drift.entries.push_back({lp_.add_column(0.0, lp::kUnbounded, kDriftCost), 1.0});
        lp_.add_row(drift.entries, 0.0, 0.0);
        for (std::uint32_t r = 1; r < st.period; ++r) {
            Row head, tail;
            head.entries.push_back({st.begin, 1.0});
            tail.entries.push_back({st.end, 1.0});
            for (std::uint32_t q = 0; q < st.period; ++q)
                (q < r ? head : tail).entries.push_back({first_template_.back() + q, q < r ? 1.0 : -1.0});
            lp_.add_row(head.entries, start, end);
            lp_.add_row(tail.entries, start, end);
        }
    }
    // Where its first error column goes, for a constraint not posed yet (unrecorded where no
    // copies are held alike); where they are, one posed already costs its strength once more, and
    // is not posed again.
    std::uint32_t* posed(const Posed& p) {
        if (stretches_.empty()) return &unrecorded_;
        const auto [it, first] = posed_.try_emplace(p, kNone);
        if (first) return &it->second;
        if (p.strength < kRequired && it->second != kNone)
            for (std::uint32_t c = it->second; c < it->second + (p.rel == Rel::Equal ? 2U : 1U); ++c)
                lp_.add_cost(c, p.strength);
        return nullptr;
    }
    void add_size(Row& row, Element e, double times) {
        if (e.index == cw::SplitSolver::kArea) {
            row.constant += times * whole_;
        } else if (is_alike(e)) {
            row.entries.push_back({template_of_[e.index], times});
        } else {
            row.entries.push_back({e.index + 1, times});
            row.entries.push_back({e.index, -times});
        }
    }
    // A column, with its value in the start where there is one.
    std::uint32_t column(double lower, double upper, double cost, double value) {
        if (!start_.empty()) start_.push_back(value);
        return lp_.add_column(lower, upper, cost);
    }
    double start_value(const Row& row) const {
        double v = row.constant;
        for (const lp::Entry& x : row.entries) v += x.coefficient * start_[x.column];
        return v;
    }
    // "row − value rel 0", with error columns below the required strength (in the start, each
    // what the row leaves on its side); its first error column, if any. A column named twice is
    // named once (where copies are held alike, a size's neighbour can be itself); a row that names
    // none is a constant, and left out.
    std::uint32_t add(Row& row, double value, Rel rel, double strength) {
        if (!stretches_.empty()) tidy(row.entries);
        if (row.entries.empty()) return kNone;
        const double rhs = value - row.constant;
        std::uint32_t errors = kNone;
        if (strength < kRequired) {
            const double over = start_.empty() ? 0.0 : start_value(row) - value;
            const double noise = 1e-9 * (1.0 + std::abs(value));
            errors = static_cast<std::uint32_t>(lp_.columns());
            if (rel != Rel::GreaterOrEqual)
                row.entries.push_back({column(0.0, lp::kUnbounded, strength, over > noise ? over : 0.0), -1.0});
            if (rel != Rel::LessOrEqual)
                row.entries.push_back({column(0.0, lp::kUnbounded, strength, -over > noise ? -over : 0.0), 1.0});
        }
        lp_.add_row(row.entries, rel == Rel::LessOrEqual ? -lp::kUnbounded : rhs,
                    rel == Rel::GreaterOrEqual ? lp::kUnbounded : rhs);
        return errors;
    }
    static void tidy(std::vector<lp::Entry>& entries) {
        std::ranges::sort(entries, {}, &lp::Entry::column);
        std::size_t kept = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (kept > 0 && entries[kept - 1].column == entries[i].column)
                entries[kept - 1].coefficient += entries[i].coefficient;
            else
                entries[kept++] = entries[i];
        }
        entries.resize(kept);
        std::erase_if(entries, [](const lp::Entry& x) { return x.coefficient == 0.0; });
    }
    // size(f) for a constraint that names f on its right: the first such constraint takes it as
    // it stands, each later one a new column held to the last one's. The compact form holds
    // every growing segment in proportion to one: so many constraints naming one size would make
    // a dense column, which fills the factors of every basis; a chain of copies keeps each column
    // in three rows at most.
    void add_size_of(Row& row, Element f, double times) {
        auto [last, first] = last_copy_.try_emplace(f.index, kNone);
        if (first) return add_size(row, f, times);
        Row held;
        if (last->second == kNone)
            add_size(held, f, -1.0);
        else
            held.entries.push_back({last->second, -1.0});
        const std::uint32_t copy =
            column(-lp::kUnbounded, lp::kUnbounded, 0.0, start_.empty() ? 0.0 : -start_value(held));
        held.entries.push_back({copy, 1.0});
        lp_.add_row(held.entries, 0.0, 0.0);
        last->second = copy;
        row.entries.push_back({copy, times});
    }

    lp::Problem lp_;
    std::size_t boundary_count_;
    double whole_;
    std::vector<Stretch> stretches_;
    std::vector<std::uint32_t> first_template_;  // each stretch's first size column
    std::vector<std::uint32_t> template_of_;     // element → its stretch's size column, if any
    std::unordered_map<Posed, std::uint32_t, PosedHash> posed_;     // → its first error column
    std::unordered_map<std::uint32_t, std::uint32_t> last_copy_;   // element → its last copy
    std::unordered_map<std::uint32_t, std::uint32_t> last_equal_;  // element → the last made equal
    std::uint32_t unrecorded_ = kNone;                             // where nothing is merged
    std::vector<double> start_;                                    // a value for each column
    std::vector<double> boundaries_;
    bool failed_ = false;
};

// A solved position (hundredths of a cell) as a cell coordinate. Rounded twice, half away
// from zero: first to a whole hundredth, then to a cell.
std::uint16_t to_cell(double value) noexcept {
    return sat_cast<std::uint16_t>(round_half_away(round_half_away(value) / kCellScale));
}

// Where a split must come out as the pairwise form's solver gives it, to the cell, but is worked
// out another way, that solver's rounding must not matter: no boundary may lie so near the point
// where its cell changes that it could tip across, and the growing segments' scales may not lie
// far apart, since the rounding grows with their spread (a Fill(0)'s scale is a millionth) and
// past some thousands can tip a boundary by a cell. A boundary is rounded to a hundredth, then to
// a cell, so its cell changes only 49.5 hundredths past a cell's start: there it rounds to 49
// hundredths or to 50, and so to that cell or the next. Anywhere else halfway between two
// hundredths, either one rounds to the same cell.
constexpr double kTieBand = 1e-5;      // hundredths of a cell
constexpr double kScaleSpread = 1000;  // the largest scale over the smallest

// The point nearest below `v`, or at it, where a boundary's cell changes.
double tip_below(double v) noexcept {
    constexpr double kTip = kCellScale / 2.0 - 0.5;  // hundredths past a cell's start
    return kCellScale * std::floor((v - kTip) / kCellScale) + kTip;
}

bool near_rounding_tie(const std::vector<double>& boundaries) {
    return std::any_of(boundaries.begin(), boundaries.end(), [](double v) {
        const double below = tip_below(v);
        return v - below <= kTieBand || below + kCellScale - v <= kTieBand;
    });
}

// The outer spacers of a mode that holds its inner gaps to the spacing: empty (Legacy both,
// Start the first, End the last), or growing toward the whole area, in Center alike.
template <typename Builder>
void add_outer_spacers(Builder& b, Flex flex, Element first, Element last) {
    switch (flex) {
        case Flex::Legacy:
            b.size_value(first, Rel::Equal, 0.0, kEmpty);
            b.size_value(last, Rel::Equal, 0.0, kEmpty);
            break;
        case Flex::Start:
            b.size_value(first, Rel::Equal, 0.0, kEmpty);
            b.toward_area(last, 1.0, kGrow);
            break;
        case Flex::Center:
            b.toward_area(first, 1.0, kGrow);
            b.toward_area(last, 1.0, kGrow);
            b.sizes(first, 1.0, Rel::Equal, last, 1.0, kSpacerEq);
            break;
        case Flex::End:
            b.size_value(last, Rel::Equal, 0.0, kEmpty);
            b.toward_area(first, 1.0, kGrow);
            break;
        default:
            break;
    }
}

// The Space* modes, which make their gaps equal.
bool makes_gaps_equal(Flex flex) noexcept {
    return flex == Flex::SpaceBetween || flex == Flex::SpaceAround || flex == Flex::SpaceEvenly;
}

// The spacers that a Space* mode makes equal, [first, last): the inner ones, and in SpaceEvenly
// (or SpaceAround with fewer than two segments) the outer ones too. None elsewhere.
std::pair<std::size_t, std::size_t> equal_gaps(Flex flex, std::size_t n) noexcept {
    using Range = std::pair<std::size_t, std::size_t>;
    switch (flex) {
        case Flex::SpaceBetween: return {1, n >= 2 ? n : 1};
        case Flex::SpaceAround: return n >= 2 ? Range{1, n} : Range{0, n + 1};
        case Flex::SpaceEvenly: return {0, n + 1};
        default: return {0, 0};
    }
}

template <typename Builder>
void add_flex_constraints(Builder& b, Form form, bool beyond_pairwise, Flex flex, const std::vector<Element>& spacers,
                          double gap) {
    const std::size_t count = spacers.size();
    const Element first = spacers.front();
    const Element last = spacers.back();
    // The spacers between segments (none with fewer than two segments).
    const std::size_t mid_begin = 1, mid_end = count >= 2 ? count - 1 : 1;

    // Past the pairwise form's reach, the gaps that the compact form makes equal share one size
    // in the split solver.
    const bool as_one = form == Form::Compact && beyond_pairwise;

    auto exact_gaps = [&] {
        for (std::size_t i = mid_begin; i < mid_end; ++i)
            b.size_value(spacers[i], Rel::Equal, gap, kSpacerEq);
    };
    auto equal_pairs = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            if (form == Form::Compact) {
                if (i == from) continue;
                if (as_one)
                    b.equal_sizes(spacers[i], spacers[from]);
                else
                    b.sizes(spacers[i], 1.0, Rel::Equal, spacers[from], 1.0, kRequired);
                continue;
            }
            const std::size_t pairs_to = form == Form::Chained ? std::min(i + 2, to) : to;
            for (std::size_t j = i + 1; j < pairs_to; ++j)
                b.sizes(spacers[i], 1.0, Rel::Equal, spacers[j], 1.0, kSpacerEq);
        }
    };
    auto growing_gaps = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            b.size_value(spacers[i], Rel::GreaterOrEqual, gap, kSpacerEq);
            b.toward_area(spacers[i], 1.0, kSpaceGrow);
        }
    };
    // Past the pairwise form's reach, the gaps that the compact form makes equal are held to the
    // spacing and drawn toward the area as one: the first of them, k times over. Each of k equal
    // gaps asks what the first asks, so the cost is the same, with one constraint instead of k.
    auto growing_equal_gaps = [&](std::size_t from, std::size_t to) {
        if (!as_one || to - from < 2) return growing_gaps(from, to);
        const auto k = static_cast<double>(to - from);
        b.size_value(spacers[from], k, Rel::GreaterOrEqual, gap, kSpacerEq);
        b.toward_area(spacers[from], 1.0, k * kSpaceGrow);
    };

    switch (flex) {
        case Flex::Legacy:
        case Flex::Start:
        case Flex::Center:
        case Flex::End:
            exact_gaps();
            add_outer_spacers(b, flex, first, last);
            break;
        case Flex::SpaceBetween:
            equal_pairs(mid_begin, mid_end);
            growing_equal_gaps(mid_begin, mid_end);
            b.size_value(first, Rel::Equal, 0.0, kEmpty);
            b.size_value(last, Rel::Equal, 0.0, kEmpty);
            break;
        case Flex::SpaceAround:
            if (count > 2) {
                // Outer gaps are half the inner ones.
                equal_pairs(mid_begin, mid_end);
                b.sizes(spacers[1], 1.0, Rel::Equal, first, 2.0, kSpacerEq);
                b.sizes(spacers[1], 1.0, Rel::Equal, last, 2.0, kSpacerEq);
                if (as_one) {
                    growing_gaps(0, 1);
                    growing_equal_gaps(mid_begin, mid_end);
                    growing_gaps(count - 1, count);
                } else {
                    growing_gaps(0, count);
                }
                break;
            }
            [[fallthrough]];
        case Flex::SpaceEvenly:
            equal_pairs(0, count);
            growing_equal_gaps(0, count);
            break;
    }
}

// A Min's lower bound, in hundredths of a cell: its amount read as a signed 16-bit value.
double min_bound(const Constraint& c) noexcept {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(c.value)) * kCellScale;
}

// The share of the whole area that a Percentage or a Ratio asks for.
double area_share(const Constraint& c) noexcept {
    if (c.kind == Constraint::Kind::Percentage) return static_cast<double>(c.value) / 100.0;
    return static_cast<double>(c.value) / static_cast<double>(std::max<std::uint32_t>(c.denominator, 1));
}

template <typename Builder>
void add_segment_constraints(Builder& b, Flex flex, const std::vector<Constraint>& constraints,
                             const std::vector<Element>& segments, Element area) {
    for (std::size_t i = 0; i < constraints.size(); ++i) {
        const Constraint& c = constraints[i];
        const Element seg = segments[i];
        switch (c.kind) {
            case Constraint::Kind::Max:
                b.size_value(seg, Rel::LessOrEqual, c.value * kCellScale, kMaxLe);
                b.size_value(seg, Rel::Equal, c.value * kCellScale, kMaxEq);
                break;
            case Constraint::Kind::Min:
                b.size_value(seg, Rel::GreaterOrEqual, min_bound(c), kMinGe);
                if (flex == Flex::Legacy)
                    b.size_value(seg, Rel::Equal, c.value * kCellScale, kMinEq);
                else
                    b.toward_area(seg, 1.0, kFillGrow);
                break;
            case Constraint::Kind::Length:
                b.size_value(seg, Rel::Equal, c.value * kCellScale, kLengthEq);
                break;
            case Constraint::Kind::Percentage:
                b.sizes(seg, 1.0, Rel::Equal, area, area_share(c), kPercentEq);
                break;
            case Constraint::Kind::Ratio:
                b.sizes(seg, 1.0, Rel::Equal, area, area_share(c), kRatioEq);
                break;
            case Constraint::Kind::Fill:
                b.toward_area(seg, 1.0, kFillGrow);
                break;
        }
    }
}

bool grows(const Constraint& c, Flex flex) noexcept {
    return c.kind == Constraint::Kind::Fill || (c.kind == Constraint::Kind::Min && flex != Flex::Legacy);
}

// Whether a segment is posed exactly as a Fill of scale 1 would be: a Min with no bound above
// nothing grows as one (outside Legacy), and its bound holds nothing back.
bool acts_as_fill(const Constraint& c, Flex flex) noexcept {
    return c.kind == Constraint::Kind::Fill || (grows(c, flex) && !(min_bound(c) > 0.0));
}

// The scale of a growing segment in its proportions: a Fill's weight (a Fill(0) a millionth),
// a Min's 1.
double scale_of(const Constraint& c) noexcept {
    return c.kind == Constraint::Kind::Fill ? std::max(static_cast<double>(c.value), 1e-6) : 1.0;
}

// Whether the growing segments stand side by side, all of one scale.
bool one_run_of_a_scale(const Layout& layout) noexcept {
    std::size_t first = 0, count = 0;
    double scale = 0.0;
    for (std::size_t i = 0; i < layout.constraints.size(); ++i) {
        const Constraint& c = layout.constraints[i];
        if (!grows(c, layout.flex)) continue;
        if (count == 0) {
            first = i;
            scale = scale_of(c);
        }
        if (scale_of(c) != scale || i != first + count) return false;
        ++count;
    }
    return count > 0;
}

// Whether the growing segments are all of one scale.
bool one_scale(const Layout& layout) noexcept {
    double scale = 0.0;
    for (const Constraint& c : layout.constraints) {
        if (!grows(c, layout.flex)) continue;
        if (scale != 0.0 && scale_of(c) != scale) return false;
        scale = scale_of(c);
    }
    return scale != 0.0;
}

// Whether the growing segments' scales lie far apart (see kScaleSpread).
bool scales_far_apart(const Layout& layout) noexcept {
    double least = 0.0, most = 0.0;
    for (const Constraint& c : layout.constraints) {
        if (!grows(c, layout.flex)) continue;
        least = least == 0.0 ? scale_of(c) : std::min(least, scale_of(c));
        most = std::max(most, scale_of(c));
    }
    return most > kScaleSpread * least;
}

template <typename Builder>
void add_proportion_constraints(Builder& b, Form form, Flex flex, const std::vector<Constraint>& constraints,
                                const std::vector<Element>& segments) {
    struct Scaled {
        Element seg;
        double scale;
    };
    std::vector<Scaled> growers;
    for (std::size_t i = 0; i < constraints.size(); ++i) {
        const Constraint& c = constraints[i];
        if (!grows(c, flex)) continue;
        growers.push_back({segments[i], scale_of(c)});
    }
    if (form == Form::Compact) {
        if (growers.empty()) return;
        double total = 0.0;
        std::size_t centre = 0;
        for (std::size_t i = 0; i < growers.size(); ++i) {
            total += growers[i].scale;
            if (growers[i].scale > growers[centre].scale) centre = i;
        }
        const Scaled& c = growers[centre];
        for (std::size_t i = 0; i < growers.size(); ++i) {
            if (i == centre) continue;
            // x − (s/s_c)·x_c weighed 100·(S − s) costs what s_c·x − s·x_c weighed 100·(S − s)/s_c
            // does, with no coefficient above 1 (s ≤ s_c). Written that second way, a centre of
            // weight 65,535 beside a Fill(0) (a scale of a millionth) gave the rows coefficients
            // eleven orders of magnitude apart: the split solver's sums lost the required
            // constraints (splits ran past the area), and the general solver ran for minutes and
            // gave up.
            const double weight = kGrow * (total - growers[i].scale);
            b.sizes(growers[i].seg, 1.0, Rel::Equal, c.seg, growers[i].scale / c.scale, weight);
        }
        return;
    }
    for (std::size_t i = 0; i < growers.size(); ++i) {
        for (std::size_t j = i + 1; j < growers.size(); ++j)
            b.sizes(growers[i].seg, growers[j].scale, Rel::Equal, growers[j].seg, growers[i].scale, kGrow);
    }
}

// The split solver keeps the usual method's every step with far less work, but it sums element
// sizes where the usual form keeps boundaries, so its rows carry a different rounding noise.
// Where gaps are made equal pairwise (the Space* modes), the many equalities leave cells of that
// noise that the method pivots on, and the two forms can then come apart; those modes keep the
// general solver for the pairwise form. (The compact form has no such equalities and always
// takes the split solver.)
bool uses_size_solver(Flex flex) noexcept { return !makes_gaps_equal(flex); }

// What follows the flex constraints in either arrangement: each segment's own constraint, the
// proportions, and (outside Legacy) neighbouring segments preferring the same size.
template <typename Builder>
void add_segment_side(Builder& b, Form form, const Layout& layout, const std::vector<Element>& segments) {
    add_segment_constraints(b, layout.flex, layout.constraints, segments, kWhole);
    add_proportion_constraints(b, form, layout.flex, layout.constraints, segments);
    if (layout.flex != Flex::Legacy)
        for (std::size_t i = 0; i + 1 < segments.size(); ++i)
            b.sizes(segments[i], 1.0, Rel::Equal, segments[i + 1], 1.0, kAllSegmentGrow);
}

// Whether the pairwise form is small enough to try.
bool pairwise_fits(const Layout& layout) noexcept {
    const std::size_t n = layout.constraints.size();
    std::size_t growers = 0;
    for (const Constraint& c : layout.constraints) growers += grows(c, layout.flex) ? 1 : 0;
    const auto [first, last] = equal_gaps(layout.flex, n);
    return growers <= kPairedUpTo && last - first <= kPairedUpTo;
}

// The rects of a split's segments and spacers from its 2n + 2 boundaries.
Split rects_of(const std::vector<double>& boundaries, Rect inner, bool horizontal, std::size_t n) {
    auto to_rect = [&](std::size_t element) {
        const std::uint16_t start = to_cell(boundaries[element]);
        const std::uint16_t end = to_cell(boundaries[element + 1]);
        const std::uint16_t size = end > start ? static_cast<std::uint16_t>(end - start) : 0;
        return horizontal ? Rect{start, inner.y, size, inner.height} : Rect{inner.x, start, inner.width, size};
    };
    Split out;
    out.segments.reserve(n);
    out.spacers.reserve(n + 1);
    for (std::size_t i = 0; i < n; ++i) out.segments.push_back(to_rect(2 * i + 1));
    for (std::size_t i = 0; i <= n; ++i) out.spacers.push_back(to_rect(2 * i));
    return out;
}

// The split axis of a layout over an area: the inner area, its bounds along the axis and the
// gap, in hundredths of a cell.
struct Axis {
    Rect inner;
    bool horizontal;
    double a0, a1, gap;
    Axis(const Layout& layout, Rect area)
        : inner(area.inner(layout.margin)),
          horizontal(layout.direction == Direction::Horizontal),
          a0(static_cast<double>(horizontal ? inner.x : inner.y) * kCellScale),
          a1(static_cast<double>(horizontal ? inner.right() : inner.bottom()) * kCellScale),
          gap(static_cast<double>(layout.spacing.solver_amount()) * kCellScale) {}
};

// Whether a split's boundaries keep what every form requires, to within a hundredth of a cell:
// every boundary inside the area, and no segment below zero. In a crowded split of badly scaled
// weights (a Fill of weight 65,535 beside a Fill(0)) the split solver's sums can lose them: it
// then reports a split that leaves the area or overlaps by hundreds of cells, and the next form is
// tried instead.
constexpr double kRequiredSlack = 1.0;  // hundredths of a cell; the sums' rounding stays far below
bool keeps_required(const std::vector<double>& boundaries, double a0, double a1) {
    const auto inside = [&](double v) { return a0 - kRequiredSlack <= v && v <= a1 + kRequiredSlack; };
    if (!std::all_of(boundaries.begin(), boundaries.end(), inside)) return false;
    for (std::size_t k = 1; k + 1 < boundaries.size(); k += 2)
        if (!(boundaries[k + 1] - boundaries[k] >= -kRequiredSlack)) return false;
    return true;
}

constexpr double kGapSlack = 1e-6;  // hundredths of a cell: a gap below this counts as none

// Whether the spacers that the Space* mode makes equal are, to within the rounding of their sums.
bool keeps_gaps_equal(const Layout& layout, const std::vector<double>& boundaries) {
    const auto [first, last] = equal_gaps(layout.flex, layout.constraints.size());
    double least = kRequired, most = -kRequired;
    for (std::size_t i = first; i < last; ++i) {
        const double gap = boundaries[2 * i + 1] - boundaries[2 * i];
        least = std::min(least, gap);
        most = std::max(most, gap);
    }
    return !(most - least > kGapSlack);
}

// Poses the split to a builder in the given form.
template <typename Builder>
void pose(Builder& b, const Layout& layout, Form form, bool beyond_pairwise, double gap) {
    const std::size_t n = layout.constraints.size();
    std::vector<Element> spacers, segments;
    spacers.reserve(n + 1);
    segments.reserve(n);
    for (std::size_t i = 0; i <= n; ++i) spacers.push_back({static_cast<std::uint32_t>(2 * i)});
    for (std::size_t i = 0; i < n; ++i) segments.push_back({static_cast<std::uint32_t>(2 * i + 1)});

    // Every segment the right way round (the area's bounds and the boundaries' ranges come
    // first, from the builder).
    for (const Element& s : segments) b.ordered(s);

    add_flex_constraints(b, form, beyond_pairwise, layout.flex, spacers, gap);
    add_segment_side(b, form, layout, segments);
}

// Poses the split to a builder and solves it: its boundaries, or nothing where the solver gives
// up or its split breaks what every form requires.
template <typename Builder>
std::optional<std::vector<double>> solve_posed(Builder& b, const Layout& layout, Form form, bool beyond_pairwise,
                                               const Axis& axis, Tally& tally) {
    pose(b, layout, form, beyond_pairwise, axis.gap);
    b.settle();
    b.count(tally);
    if (b.failed()) return std::nullopt;
    std::vector<double> boundaries = b.boundaries();
    if (!keeps_required(boundaries, axis.a0, axis.a1)) return std::nullopt;
    return boundaries;
}

// Solves the split in the given form; nothing when the solver gives up. `beyond_pairwise`: the
// split is past the pairwise form's reach (and so posed in the compact form); `restart_sums`:
// see SplitSolver::set_restart_sums.
template <typename Builder>
std::optional<Split> solve_in_form(const Layout& layout, Rect area, Form form, bool beyond_pairwise, Tally& tally,
                                   bool restart_sums = false) {
    const Axis axis(layout, area);
    const auto [inner, horizontal, a0, a1, gap] = axis;

    const std::size_t n = layout.constraints.size();
    const bool large = form == Form::Compact || n > kPairedUpTo;
    // Past the pairwise form's reach, the compact form takes the steepest entering symbol, and in
    // the Space* modes with an overlap, whose gaps it makes equal, the oldest of equal ratios
    // too. (Elsewhere the oldest made crowded splits slower: 10,000 constraints in 200 cells
    // took 1 s, not 0.2 s.)
    const bool oldest = beyond_pairwise && makes_gaps_equal(layout.flex) && gap < 0.0;
    Builder b(2 * n + 1, a0, a1,
              {.large = large, .from_end = n > kPairedUpTo, .beyond_pairwise = beyond_pairwise,
               .restart_sums = restart_sums, .oldest_on_ties = oldest, .steepest_entering = beyond_pairwise});
    if (form != Form::Compact) b.limit_work(kPairwiseWorkLimit);
    b.limit_effort(tally.left());
    const auto solved = solve_posed(b, layout, form, beyond_pairwise, axis, tally);
    if (!solved) return std::nullopt;
    const std::vector<double>& boundaries = *solved;
    // The chained form's split stands for the pairwise form's only where it is that form's only
    // best split (see Form), and rounds as that form's solver's would.
    if (form == Form::Chained &&
        !(b.only_best() && keeps_gaps_equal(layout, boundaries) && !near_rounding_tie(boundaries)))
        return std::nullopt;
    return rects_of(boundaries, inner, horizontal, n);
}

// A Space* split within the pairwise form's reach, posed in the chained form (see Form) to the
// general solver, as the pairwise form is.
std::optional<Split> solve_chained(const Layout& layout, Rect area, Tally& tally) {
    if (!makes_gaps_equal(layout.flex) || scales_far_apart(layout)) return std::nullopt;
    return solve_in_form<BoundaryBuilder>(layout, area, Form::Chained, false, tally);
}

// The gaps of a large split gathered into one element. In the compact form of a Space* mode every
// gap equals the first, so the order of the elements decides nothing but where the boundaries
// fall: the gaps are one element G of k gaps, and the segments go end to end, all between the
// outer spacers that are not among the gaps. Every constraint on a gap is one on G with the same
// cost (k gaps each short of the gap by d are one G short by k·d). With no k gaps to keep equal,
// the solver makes far fewer pivots, each over far shorter rows.
//
// In Start, Center and End the inner gaps are not made equal, but each is held to the spacing
// with the same strength, and nothing else asks anything of them. Gathered, they are held
// together: G to k times the spacing. Around a split whose gaps all keep the spacing, moving
// room between gaps costs at least as much as moving the same room to or from all of them
// alike, which G can do at the same cost. So a split that is best with the gaps gathered, and
// keeps them at the spacing, is best with them apart too. (Legacy splits with a positive
// spacing are fast as they are, and keep their usual form.)
//
// G goes on the side where the solver's boundaries start: before the segments when they start
// on the area's start, after them when they start on its end. That is for crowded splits, where
// the segments are squeezed to nothing: with G on the other side, once there are a few thousand
// segments a late proportion takes a pivot whose row holds every segment and is substituted into
// thousands of rows (10,000 constraints took 16 s); on this side those pivots stay short, and
// 10,000 constraints take 0.2 s.
//
// The boundaries of the two arrangements are not the same, but where the gaps are not negative
// both keep every boundary inside the area as soon as the outer ones are: around a split whose
// gaps are positive the two problems are the same, so its being the best near by makes it the
// best of the compact form too. A split whose gaps come out zero or negative (an overlap, or a
// crowded area) proves nothing near by.
//
// For those, and for Legacy, Start, Center and End without a positive spacing, there is a
// second try, on a padded span: after G, a pad of n + 1 times the area, held there by a
// required constraint, while the whole area in every other constraint is still the area. G may
// then be as small as the gaps of any split of the usual arrangement add up to, and the
// gathered problem contains a counterpart of every such split that costs no more: it is a
// relaxation. So a best gathered split whose gaps can be spread out evenly (each keeping the
// spacing, in Legacy, Start, Center and End) with every boundary inside the area costs there
// what it costs gathered, and is one of the best splits of the usual arrangement. Where the
// usual arrangement's bounds keep the outer spacers (and so, in SpaceEvenly, the gaps) at or
// above zero, the padded problem says so.
//
// With an overlap, the padded split tends to carry a few boundaries near an end out of the area
// (the segments there too small to make up for the gaps). So there the padded span keeps the gaps
// near each end apart, each in its place between its segments, and gathers only those of the
// middle: G and the pad then stand after the middle's last segment. The boundaries on the left are
// then the usual arrangement's and held inside the area from its start; those on the right are too,
// the pad before them, from its end. Every split of the usual arrangement still has a counterpart
// that costs no more, so where the best split, spread out, keeps every boundary inside the area, it
// is one of the usual arrangement's best. Anything else is solved in the compact form as it stands.
constexpr double kSumSlack = 1e-9;  // of the area: the rounding of a sum of many sizes

// The 2n + 2 boundaries of a split in the usual order (spacer 0, segment 0, spacer 1, …, spacer n)
// from the sizes of its spacers and segments, as a running sum from `a0`, kept in long double so
// that thousands of sizes add up to within far less than kOnTie of their exact sum.
template <typename SpacerSize, typename SegmentSize>
std::vector<double> running_boundaries(double a0, std::size_t n, SpacerSize spacer, SegmentSize segment) {
    std::vector<double> boundaries;
    boundaries.reserve(2 * n + 2);
    long double at = a0;
    boundaries.push_back(a0);
    for (std::size_t i = 0; i <= n; ++i) {
        at += spacer(i);
        boundaries.push_back(static_cast<double>(at));
        if (i == n) break;
        at += segment(i);
        boundaries.push_back(static_cast<double>(at));
    }
    return boundaries;
}

// Whether a boundary (or every one) lies inside the area [a0, a1], the running sum allowed its
// rounding.
bool inside_area(double v, double a0, double a1) {
    const double outside = kGapSlack + kSumSlack * (a1 - a0);
    return a0 - outside <= v && v <= a1 + outside;
}
bool inside_area(const std::vector<double>& boundaries, double a0, double a1) {
    return std::all_of(boundaries.begin(), boundaries.end(), [&](double v) { return inside_area(v, a0, a1); });
}

// Evenly (and Around with fewer than two segments) makes every spacer a gap; the others only the
// inner ones.
bool gaps_include_outer(const Layout& layout) noexcept {
    return layout.flex == Flex::SpaceEvenly || (layout.flex == Flex::SpaceAround && layout.constraints.size() < 2);
}

constexpr std::size_t kKeptFirst = 8;   // gaps kept apart at each end on the first try
constexpr std::size_t kKeptBeyond = 4;  // gaps kept apart past the last boundary out of the area
constexpr std::size_t kKeptShare = 4;   // at most a quarter of the segments' gaps at each end

// Where a gathered split on its padded span carries boundaries out of the area, how far in from
// each end they lie: the number of gaps from the first segment to the last such boundary on the
// left, and likewise on the right.
struct OutsideAtEnds {
    bool seen = false;
    std::size_t left = 0, right = 0;
};

std::optional<Split> solve_gathered_gaps(const Layout& layout, Rect area, bool padded, bool beyond_pairwise,
                                         Tally& tally, bool restart_sums = false, std::size_t kept = 0,
                                         OutsideAtEnds* outside = nullptr) {
    const auto [inner, horizontal, a0, a1, gap] = Axis(layout, area);
    const std::size_t n = layout.constraints.size();
    if (layout.flex == Flex::Legacy && !padded) return std::nullopt;
    const bool outer_gaps = gaps_include_outer(layout);
    const std::size_t all_gaps = outer_gaps ? n + 1 : (n >= 2 ? n - 1 : 0);
    if (all_gaps == 0) return std::nullopt;
    // Gaps kept apart at each end (see solve_counted) need inner gaps and a padded span.
    if (kept > 0 && (outer_gaps || !padded || !(all_gaps > 2 * kept))) return std::nullopt;
    const std::size_t k = all_gaps - 2 * kept;  // the gaps in G

    // [first], G, segment 0 … segment n−1, [last]; or, with the boundaries starting on the end,
    // [first], segment 0 … segment n−1, [last], G. First and last are elements only where the
    // outer spacers are not gaps. With gaps kept apart, each in its place between its segments,
    // G and the pad come after the last segment of the middle: [first], segment 0, gap 1, …,
    // gap m, segment m, …, segment n−1−m, G, pad, gap n−m, segment n−m, …, segment n−1, [last].
    const bool from_end = n > kPairedUpTo;
    const auto at = [](std::size_t i) { return Element{static_cast<std::uint32_t>(i)}; };
    const std::size_t lead = outer_gaps ? 0 : 1;
    std::vector<Element> segments;
    segments.reserve(n);
    std::vector<std::optional<Element>> apart(n + 1);  // by spacer: the gaps kept apart
    Element first = at(0), last{}, gaps{}, pad_at{};
    std::size_t count = 0;
    if (kept == 0) {
        const std::size_t seg0 = from_end ? lead : lead + 1;
        for (std::size_t i = 0; i < n; ++i) segments.push_back(at(seg0 + i));
        last = at(seg0 + n);
        gaps = from_end ? at(2 * lead + n) : at(lead);
        pad_at = at(2 * lead + n + 1);
        count = lead + n + 1 + lead + (padded ? 1 : 0);
    } else {
        std::size_t next = 1;
        for (std::size_t i = 0; i < n; ++i) {
            segments.push_back(at(next++));
            const std::size_t j = i + 1;  // the spacer after segment i
            if (j == n) break;
            if (j == n - kept) {
                gaps = at(next++);
                pad_at = at(next++);
            }
            if (j <= kept || j >= n - kept) apart[j] = at(next++);
        }
        last = at(next++);
        count = next;
    }
    const double kd = static_cast<double>(k);
    // The modes that hold their gaps to the spacing.
    const bool spaced = layout.flex == Flex::Legacy || layout.flex == Flex::Start || layout.flex == Flex::Center ||
                        layout.flex == Flex::End;
    // These take the span as it is with a positive spacing, and there only where it has room
    // for the gaps (else they come out squeezed, see below); without one, the padded span.
    if (spaced && (gap > 0.0 ? padded || !(kd * gap < a1 - a0) : !padded)) return std::nullopt;
    // The pad goes after G, where the boundaries start on the end.
    if (padded && !from_end) return std::nullopt;
    // Without a positive spacing the gaps of a Space* mode gain 10 per unit of room, a growing
    // segment 1000, and the growing segments can share any room in proportion at no cost but
    // their neighbours' 2 per unit. So beside a growing segment the gaps come out no wider than
    // the spacing, which the span as it stands cannot tell from a crowded split (see below):
    // where there is a padded span, it is solved at once.
    const auto& cs = layout.constraints;
    if (!spaced && !padded && from_end && !(gap > 0.0) &&
        std::any_of(cs.begin(), cs.end(), [&](const Constraint& c) { return grows(c, layout.flex); }))
        return std::nullopt;
    const double pad = padded ? static_cast<double>(n + 1) * (a1 - a0) : 0.0;
    // The rules that leave a degenerate vertex sooner cost more here than they save: the oldest of
    // equal ratios made some splits with an overlap many times slower on the padded span (5,953
    // constraints: 4 s became 77 s) and others up to twice as slow on the span as it stands; the
    // steepest entering symbol made roomy fills visit twenty times the cells.
    SizeBuilder b(count, a0, a1 + pad,
                  {.large = true, .from_end = from_end, .beyond_pairwise = beyond_pairwise,
                   .restart_sums = restart_sums});
    b.limit_effort(tally.left());
    if (padded) {
        b.set_area(a0, a1);
        b.size_value(pad_at, Rel::Equal, pad, kRequired);
    }

    // Side by side, every "start ≤ end" would take a pivot that makes the next boundary a
    // running sum of all before it, and the rows quadratic in the number of segments.
    for (const Element& s : segments) b.not_negative(s);
    // The usual arrangement keeps its outer spacers inside the area, and so the gaps too where
    // they are outer ones; G on its padded span must be told.
    if (padded && !spaced) {
        if (outer_gaps) {
            b.not_negative(gaps);
        } else {
            b.not_negative(first);
            b.not_negative(last);
        }
    }
    // Each gap kept apart asks what one gap of G asks, and in the Space* modes equals G's share.
    const Element first_apart = kept > 0 ? *apart[1] : Element{};
    auto for_apart = [&](auto&& f) {
        for (const std::optional<Element>& g : apart)
            if (g) f(*g);
    };
    auto growing_gaps = [&] {
        if (kept > 0) {
            for_apart([&](Element g) {
                if (g.index != first_apart.index) b.equal_sizes(g, first_apart);
            });
            b.sizes(gaps, 1.0 / kd, Rel::Equal, first_apart, 1.0, kRequired);
        }
        b.size_value(gaps, Rel::GreaterOrEqual, kd * gap, kSpacerEq);
        b.toward_area(gaps, kd, kSpaceGrow);
        for_apart([&](Element g) {
            b.size_value(g, Rel::GreaterOrEqual, gap, kSpacerEq);
            b.toward_area(g, 1.0, kSpaceGrow);
        });
    };
    auto growing_outer = [&](Element e) {
        b.size_value(e, Rel::GreaterOrEqual, gap, kSpacerEq);
        b.toward_area(e, 1.0, kSpaceGrow);
    };
    // Held to the spacing, the gaps leave the outer spacers free to go negative, which the usual
    // arrangement's bounds forbid: here they must say so.
    auto exact_gaps = [&] {
        b.not_negative(first);
        b.not_negative(last);
        b.size_value(gaps, Rel::Equal, kd * gap, kSpacerEq);
        for_apart([&](Element g) { b.size_value(g, Rel::Equal, gap, kSpacerEq); });
    };
    switch (layout.flex) {
        case Flex::Legacy:
        case Flex::Start:
        case Flex::Center:
        case Flex::End:
            exact_gaps();
            add_outer_spacers(b, layout.flex, first, last);
            break;
        case Flex::SpaceBetween:
            growing_gaps();
            b.size_value(first, Rel::Equal, 0.0, kEmpty);
            b.size_value(last, Rel::Equal, 0.0, kEmpty);
            break;
        case Flex::SpaceAround:
            if (!outer_gaps) {
                // An inner gap is twice an outer one: G = 2k × outer, each unit of it 1/k of a gap.
                if (kept > 0) {
                    b.sizes(first_apart, 1.0, Rel::Equal, first, 2.0, kSpacerEq);
                    b.sizes(first_apart, 1.0, Rel::Equal, last, 2.0, kSpacerEq);
                } else {
                    b.sizes(gaps, 1.0, Rel::Equal, first, 2.0 * kd, kSpacerEq / kd);
                    b.sizes(gaps, 1.0, Rel::Equal, last, 2.0 * kd, kSpacerEq / kd);
                }
                growing_outer(first);
                growing_gaps();
                growing_outer(last);
                break;
            }
            [[fallthrough]];
        default:
            growing_gaps();
            break;
    }
    add_segment_side(b, Form::Compact, layout, segments);
    b.count(tally);
    if (b.failed()) return std::nullopt;

    const std::vector<double> gathered = b.boundaries();
    auto size_of = [&](Element e) { return gathered[e.index + 1] - gathered[e.index]; };
    const double each = size_of(gaps) / kd;
    if (!padded && !(each > kGapSlack)) return std::nullopt;
    // Gaps squeezed below the spacing could have been squeezed unevenly at the same cost, and
    // the usual arrangement picks which: it is solved as it stands.
    const auto spread = [&](std::size_t i) { return apart[i] ? size_of(*apart[i]) : each; };
    for (std::size_t i = 1; i < n && spaced; ++i)
        if (!(std::fabs(spread(i) - gap) <= kGapSlack)) return std::nullopt;
    std::vector<double> boundaries = running_boundaries(
        a0, n,
        [&](std::size_t i) {
            if ((i == 0 || i == n) && !outer_gaps) return size_of(i == 0 ? first : last);
            return spread(i);
        },
        [&](std::size_t i) { return size_of(segments[i]); });
    // Overlapping gaps may carry a boundary out of the area, where the usual arrangement has none.
    if (padded && !inside_area(boundaries, a0, a1)) {
        if (outside) {
            // Boundary 2i + 1 starts segment i, after spacer i; the last is boundary 2n + 1.
            *outside = {.seen = true};
            for (std::size_t q = 0; q < boundaries.size(); ++q) {
                if (inside_area(boundaries[q], a0, a1)) continue;
                if (q <= n)
                    outside->left = std::max(outside->left, q / 2);
                else
                    outside->right = std::max(outside->right, (2 * n + 1 - q) / 2 + 1);
            }
        }
        return std::nullopt;
    }
    // Where the gathered split keeps the required constraints, its sizes add up to the area.
    if (!keeps_required(boundaries, a0, a1) || !(std::fabs(boundaries.back() - a1) <= kRequiredSlack))
        return std::nullopt;
    boundaries.back() = a1;
    return rects_of(boundaries, inner, horizontal, n);
}

// A split with room for everything. Most splits have room for every gap at the spacing and
// every segment that does not grow at the size it asks for, with the rest for the growing
// segments. The best split is then known without solving: the growing segments share the rest in
// proportion to their scales, and nothing else moves. (Past the pairwise form's reach the simplex
// finds it slowly: every size depends on every proportion, and its tableau is dense.) A Min whose
// bound is above its share keeps its bound, and the others share what is left.
//
// Where that split keeps every boundary inside the area (an overlap can carry one out; but see the
// ends below) and the centre of the compact proportions has a scale of at least 1, it is a best
// one, and with every Min at its share the only one. Take any other, and count what moving to it
// costs:
// - A segment that does not grow, moved off its size by d, costs at least 10⁴·d (a Max, and a
//   Min in Legacy, prefer their size with that strength; every other kind asks with more).
// - A gap squeezed below the spacing costs at least 10⁸·d, and the empty spacers cannot shrink.
//   A spacer that widens gains at most 100·d (the growth of the outer spacers of Start, Center
//   and End; the Space* gaps grow with 10). In SpaceEvenly and SpaceAround the outer spacers are
//   gaps too, and cannot be negative: with an overlap every gap is empty. (In SpaceAround the
//   gaps squeezed together give up room more cheaply; see squeezing_gaps_costs_more.)
// - The growing segments gain or lose 1000 per unit of room they win or lose together.
// - Among themselves, once their common scaling is taken out, moving d of room costs the
//   compact proportions at least 50·s·d, s the centre's scale: each proportion holds with at
//   least 100 (see above), and the centre's distance from the others counts too.
// - Neighbouring segments preferring the same size gain at most 2 per unit any segment moves.
// Every gain is far below the cost that comes with it.
//
// A Min held at its bound above its share is off its proportion, which then pulls the centre
// up: each unit of room the centre wins saves w_i = 100·(S − 1)/s for each such Min i (S the sum
// of the scales, s the centre's). Held against that pull are the other growing segments'
// proportions, at 100·(S − s_j) per unit each loses, and the room's other holders. The split is
// still a best one where the price of room this sets stays within what every holder asks for a
// unit: with P Mins held and F the free segments' scales, the pull on each unit of the free
// segments' room is ρ = P·100·(S − 1)/F, give or take 2 for the neighbours; it must stay below
// each free proportion's 100·(S − s_j), and below the Min bounds' 10⁸ together with a held Min's
// own proportion. A unit of room is then worth λ = 1000 + ρ to the growing segments. A segment
// that does not grow asks its wish for each unit it gives up, and it gives up all of its room
// where that is below λ: the Max segments first (10⁴), then the Ratio, Percentage and Length
// ones. Each class that gives way leaves more room, so fewer Mins are held and λ falls. Where the
// room a class asks for does not fit but the growing segments bid less for it than its wish, λ
// is that wish: the class keeps part of its room, and the free growing segments none (see
// `partial`); where its wish is about λ otherwise, the solver splits it. Then a price for the
// room and a share of each cost can be named that meet at every segment, which is what makes a
// split of a linear problem a best one. The solver may reach another split of the same cost.
//
// Within the pairwise form's reach a split must come out as it always has, to the cell (`exact`).
// The pairwise form's best split is the same one, by the same count (every pair of growing
// segments holds its proportion with 100, and each Space* gap its equality with 10⁸), so its
// solver reaches this split up to the rounding of its sums. Then only a split with one best
// split is taken (no Min held at its bound), and only where that rounding cannot matter (see
// kTieBand).

// The spacers of a split that keeps every gap at the spacing: the outer ones empty but where they
// are gaps, in SpaceAround half the inner ones. What is left of the area is `rest`.
struct TightSpacers {
    double outer, between, rest;
    TightSpacers(double outer_, double between_, double rest_) : outer(outer_), between(between_), rest(rest_) {}
    TightSpacers(const Layout& layout, double whole, double spacing) : outer(0.0), between(spacing) {
        const std::size_t n = layout.constraints.size();
        if (layout.flex == Flex::SpaceEvenly || (layout.flex == Flex::SpaceAround && n < 2)) {
            outer = between = std::max(spacing, 0.0);
        } else if (layout.flex == Flex::SpaceAround) {
            outer = std::max(spacing, 0.0);
            between = 2.0 * outer;
        }
        rest = whole - 2.0 * outer - static_cast<double>(n > 0 ? n - 1 : 0) * between;
    }
};

// How room that the gaps share alike falls to each: to the inner gaps, and to the outer spacers
// where they are gaps too, in SpaceAround (with two segments or more) half what an inner one takes.
TightSpacers shared_by_gaps(Flex flex, std::size_t n, double room) {
    const auto count = static_cast<double>(n);
    if (flex == Flex::SpaceEvenly || (flex == Flex::SpaceAround && n < 2))
        return {room / (count + 1.0), room / (count + 1.0), 0.0};
    if (flex == Flex::SpaceAround) return {room / (2.0 * count), room / count, 0.0};
    return {0.0, room / (count - 1.0), 0.0};
}

// Whether room costs less than the gaps give it up for. Each gap gives up room at the strength
// that holds it to the spacing, but not in SpaceAround, where the inner gaps are twice the outer
// ones: with n segments, the two outer gaps squeezed below a positive spacing give up n units of
// room for each unit of one of them, and with an overlap the n − 1 inner ones squeezed below
// twice the outer ones give up (n − 1)/2 units for each unit that the two ties miss by.
bool squeezing_gaps_costs_more(const Layout& layout, double spacing, double price) {
    const auto n = static_cast<double>(layout.constraints.size());
    double per_unit = kSpacerEq;
    if (layout.flex == Flex::SpaceAround && n >= 2.0) {
        if (spacing > 0.0) per_unit = kSpacerEq / n;
        if (spacing < 0.0) per_unit = 2.0 * kSpacerEq / (n - 1.0);
    }
    return price < per_unit;
}

// How SpaceAround's gaps give way together: the outer and inner gaps they come down to, the room
// that gives up, and what a unit of it costs them.
// - With a gap s (past the pairwise form's reach). The inner gaps are held at twice the outer ones
//   with the gaps' own strength, kSpacerEq, and every gap at the spacing with it too. Squeezing
//   the k inner gaps from 2s toward s, with the outer ones at half of them, costs the two outer
//   ones kSpacerEq·d for the (k + 1)·d units of room it gives: the outer gaps come down to s/2 and
//   the inner ones to s, giving up (k + 1)·s for kSpacerEq/(k + 1) a unit. (Breaking the ties
//   instead costs kSpacerEq a unit of each, and gives no more room.)
// - With an overlap o. The outer gaps cannot go below nothing, nor the inner ones below twice
//   that: they are empty, by two ties of 10⁸. Squeezed together down to −o, the k inner gaps give
//   up k·o of room for 2·kSpacerEq/k a unit.
// Either way the gaps' growth, 10 a unit, adds to what they ask; below that every gap falls short
// of the spacing, at kSpacerEq a unit. Nothing in the other modes, or with no gap.
struct GapsSqueeze {
    double outer, between, room, wish;
};
std::optional<GapsSqueeze> gaps_squeeze(const Layout& layout, const Axis& axis, bool exact) {
    const std::size_t n = layout.constraints.size();
    if (layout.flex != Flex::SpaceAround || n < 2 || axis.gap == 0.0 || (axis.gap > 0.0 && exact))
        return std::nullopt;
    const double inner = static_cast<double>(n - 1);
    if (axis.gap > 0.0)
        return GapsSqueeze{axis.gap / 2.0, axis.gap, (inner + 1.0) * axis.gap, kSpacerEq / (inner + 1.0) + kSpaceGrow};
    return GapsSqueeze{0.0, axis.gap, -inner * axis.gap, 2.0 * kSpacerEq / inner + kSpaceGrow};
}

// The boundaries of a split worked out directly, from its tight spacers (the outer ones widened
// as given) and its segments' sizes.
std::vector<double> direct_boundaries(const Axis& axis, const TightSpacers& spacers, const std::vector<double>& sizes,
                                      double first_widens, double last_widens) {
    const std::size_t n = sizes.size();
    return running_boundaries(
        axis.a0, n,
        [&](std::size_t i) {
            if (i == 0) return spacers.outer + first_widens;
            return i == n ? spacers.outer + last_widens : spacers.between;
        },
        [&](std::size_t i) { return sizes[i]; });
}

// The rects of a split worked out directly, from its tight spacers and its segments' sizes;
// nothing where a boundary falls outside the area or a segment below nothing, or (`exact`, up to
// 64 segments) near a rounding tie.
//
// Past 64 segments, a split that must come out as the pairwise form's solver gives it is worked
// out directly at a rounding tie too. On the tie itself (a row of 1,000 segments in an odd number
// of cells can put a boundary there) the solver's rounding alone picks the cell, and its work
// there grows with the cube of the row's length: 1,000 Length segments squeezed into 51 cells
// took it 18 s. A boundary within kOnTie of the point where its cell changes is taken to be on it,
// and rounds half away from zero, as the value itself does.
constexpr double kOnTie = 1e-7;  // hundredths of a cell

// Whether a split worked out directly must come out as the pairwise form's solver rounds it: within
// that form's reach (`exact`), in a row of up to 64 segments. In longer rows the solver's sums drift
// by more than its ties are worth, and the best split stands instead.
bool rounds_as_solver(bool exact, std::size_t n) noexcept { return exact && n <= kPairedUpTo; }

std::optional<Split> direct_split(const Axis& axis, const TightSpacers& spacers, const std::vector<double>& sizes,
                                  bool exact, double first_widens = 0.0, double last_widens = 0.0) {
    const std::size_t n = sizes.size();
    std::vector<double> boundaries = direct_boundaries(axis, spacers, sizes, first_widens, last_widens);
    if (!keeps_required(boundaries, axis.a0, axis.a1) || !inside_area(boundaries, axis.a0, axis.a1))
        return std::nullopt;
    boundaries.back() = axis.a1;
    if (exact && near_rounding_tie(boundaries)) {
        if (rounds_as_solver(exact, n)) return std::nullopt;
        for (double& v : boundaries) {
            const double below = tip_below(v), above = below + kCellScale;
            if (v - below <= kOnTie) v = below;
            if (above - v <= kOnTie) v = above;
        }
    }
    return rects_of(boundaries, axis.inner, axis.horizontal, n);
}

// How far a price of room must stand from a wish for the direct paths to tell which wins: the
// neighbours' share (2 a unit on either side), twice over.
constexpr double kNeighboursMargin = 8.0;

// How many times a roomy split is worked out at most while its held ends settle.
constexpr int kHoldPasses = 12;
// The wishes of the segments that give their room up for a price, the strongest first.
constexpr std::array<double, 4> kYielding{kLengthEq, kPercentEq, kRatioEq, kMaxEq};
// How many fills near an end a split prices one by one, as it holds the boundaries there.
constexpr std::size_t kFillsPriced = 8;

// What a unit of room below its size is worth to a segment that does not grow. (A Min in Legacy
// asks its bound with far more; this is what it asks beside that, and all it asks where its
// bound is none.)
double wish_of(const Constraint& c) noexcept {
    switch (c.kind) {
        case Constraint::Kind::Percentage: return kPercentEq;
        case Constraint::Kind::Ratio: return kRatioEq;
        case Constraint::Kind::Length: return kLengthEq;
        case Constraint::Kind::Max: return kMaxEq;
        default: return kMinEq;
    }
}

// What a unit of room above its size costs a segment that does not grow: its wish, and a Max's
// bound on top.
double raise_price(const Constraint& c) noexcept {
    return c.kind == Constraint::Kind::Max ? kMaxLe + kMaxEq : wish_of(c);
}

// Whether a segment that does not grow gives up its room at a price: its wish, but a Legacy
// Min's bound holds its room with far more.
bool gives_way(const Constraint& c, double price) noexcept {
    return !(c.kind == Constraint::Kind::Min && min_bound(c) > 0.0) && wish_of(c) <= price;
}

// The size a segment that does not grow asks for, in an area `whole` long.
double size_asked(const Constraint& c, double whole) noexcept {
    const bool share = c.kind == Constraint::Kind::Percentage || c.kind == Constraint::Kind::Ratio;
    return share ? whole * area_share(c) : c.value * kCellScale;
}

// Whether a segment asks for a share of the area (a Percentage or a Ratio).
//
// Within the pairwise form's reach, in a row of up to 64 segments, an end is held against an
// overlap only in a row without such segments: held at the area's edge beside them, the solver's
// sums can drift a few hundredths of a cell off the best split, enough to move a boundary by a
// cell. Rows of sizes in cells come out as the best split does. Past 64 segments the drift grows
// with the row, and the split is worked out directly as its best one, as at a rounding tie (see
// kOnTie): a Fill(2), 160 Percentage(10) and two more shares, overlapping by 1 over 9,000 cells in
// Center, took the solver 0.8 s and put a boundary a cell off; a Length(2) and 1,000 Percentage(5)
// overlapping by 3 over 9,000 cells in End took it 12 s.
bool asks_area_shares(const Layout& layout) noexcept {
    return std::any_of(layout.constraints.begin(), layout.constraints.end(), [](const Constraint& c) {
        return c.kind == Constraint::Kind::Percentage || c.kind == Constraint::Kind::Ratio;
    });
}

// The growing segments' scales summed, and the centre of their compact proportions: the first of
// the largest scale (n where none grows).
struct Proportions {
    double scales = 0.0;
    std::size_t centre;
    explicit Proportions(const Layout& layout) : centre(layout.constraints.size()) {
        const std::vector<Constraint>& cs = layout.constraints;
        for (std::size_t i = 0; i < cs.size(); ++i) {
            if (!grows(cs[i], layout.flex)) continue;
            scales += scale_of(cs[i]);
            if (centre == cs.size() || scale_of(cs[i]) > scale_of(cs[centre])) centre = i;
        }
    }
};

// An end of a roomy split with an overlap o. The second segment starts inside the area only
// where the first, with its outer spacer, is at least o wide; the last segment likewise. Where the
// end segment's share falls short (past the pairwise form's reach, where a split need only be a
// best one), its side of the split gives way in one of two ways:
// - The end segment is held at o (`segment`) where its outer spacer is held empty: in Legacy and
//   SpaceBetween at both ends, in Start at the first and in End at the last. Above its share, it
//   pulls the centre up just as a held Min does, with 100·(S − s)·s/F a unit of the free
//   segments' room (s its scale). That pull, with its own proportion's 100·(S − s), must stay
//   below what the gap beside it asks to keep the spacing: 10⁸, or in SpaceBetween, whose gaps
//   move together, what widening every one of them would cost in room.
// - Its outer spacer widens by what the segment lacks of o (`spacer`) where that spacer grows: in
//   Start at the last, in End at the first, and in Center, whose outer spacers widen together, at
//   the end that lacks more. The segment keeps its proportion, and every unit of room the
//   spacers take costs the others λ − 100 a unit. Moving a unit from the spacers to the segment
//   would gain the segment 1000 and the others what the spacers gave beyond it, and cost the
//   segment's proportion 100·(S − s) and the spacers 100 each, which must not pay.
// A segment that does not grow, and has given up its room to a price above its wish, can hold
// boundaries too: an end one short of o, or one further in where the segments between it and the
// end fall short of the overlap together (see Raise). An end that keeps the size it asks for would
// be raised past it, for λ and its wish on top: where its outer spacer grows and widens for less
// (λ − 100 a unit, in Center twice that), the spacer widens instead, and the segment keeps its size.
// Elsewhere it is raised past its size, where that costs less than the gaps would ask.
enum class EndHold : std::uint8_t { none, segment, spacer };

// How the first (or last) end of a split in `flex` gives way to an overlap; nothing where no
// direct split is known.
std::optional<EndHold> end_hold(Flex flex, bool last) noexcept {
    switch (flex) {
        case Flex::Legacy:
        case Flex::SpaceBetween:
        case Flex::SpaceAround: return EndHold::segment;
        case Flex::Start: return last ? EndHold::spacer : EndHold::segment;
        case Flex::End: return last ? EndHold::segment : EndHold::spacer;
        case Flex::Center: return EndHold::spacer;
        default: return std::nullopt;
    }
}

// Legacy gives room up in turn: of the segments that give it up at one price, `least_of(i)` the
// least each keeps (nothing for the others), the last gives up its room first, then the one
// before it, and so on until `amount` is given. With an overlap o, the boundary before segment i
// stays inside the area only where the segments from i on are at least o long for each (the last
// spacer is empty); a segment that gives up room lowers those sums for itself and for every
// segment before it, as the solver has it. So each gives up only what keeps them all: beside the
// sum from itself, the lowest from the segments before it, by how far those between fall short
// of o each (`short_before`; they give nothing up until it has). Returns what is left to give.
//
// Where a sum from a segment before i holds i back, and between them is another segment that
// could give up room, which of the two gives it up is a tie, and the solver does not always
// settle it as the turn would: `exact` refuses it (nothing).
template <typename LeastOf>
std::optional<double> give_up_in_turn(std::vector<double>& sizes, double amount, double overlap, bool exact,
                                      LeastOf least_of) {
    const std::size_t n = sizes.size();
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::vector<double> short_before(n + 1, 0.0);
    // By segment: where the sum that holds it back starts, and the last segment before it that
    // could give up room (kNone: none).
    struct Before {
        std::size_t held_from, giver;
    };
    std::vector<Before> before(n + 1, Before{kNone, kNone});
    for (std::size_t i = 0; i < n; ++i) {
        const double sum = short_before[i] + sizes[i] - overlap;
        short_before[i + 1] = std::min(0.0, sum);
        before[i + 1].held_from = sum <= 0.0 ? (before[i].held_from == kNone ? i : before[i].held_from) : kNone;
        const std::optional<double> least = least_of(i);
        before[i + 1].giver = least && sizes[i] > *least ? i : before[i].giver;
    }
    double beyond = 0.0;  // how far the segments after i exceed o each, together
    for (std::size_t i = n; i-- > 0;) {
        const std::optional<double> least = least_of(i);
        if (least && amount > 0.0) {
            const double wanted = std::min(sizes[i] - *least, amount);
            const double spare = std::max(beyond + sizes[i] - overlap + short_before[i], 0.0);
            if (exact && spare < wanted && short_before[i] < 0.0 && before[i].giver != kNone &&
                before[i].giver >= before[i].held_from)
                return std::nullopt;
            const double given = std::clamp(wanted, 0.0, spare);
            sizes[i] -= given;
            amount -= given;
        }
        beyond += sizes[i] - overlap;
    }
    return amount;
}

// The sizes of a Legacy row whose free places keep `room` above their least, in turn
// (give_up_in_turn); nothing where they cannot give up the rest so.
std::optional<std::vector<double>> legacy_in_turn(const std::vector<RowPlace>& row, double room, double overlap) {
    std::vector<double> sizes;
    double give = -room;
    for (const RowPlace& place : row) {
        sizes.push_back(place.size);
        if (place.free) give += place.size - place.least;
    }
    const std::optional<double> left = give_up_in_turn(sizes, give, overlap, false, [&](std::size_t i) {
        return row[i].free ? std::optional<double>(row[i].least) : std::nullopt;
    });
    if (*left > kGapSlack) return std::nullopt;
    return sizes;
}

// What a unit of room above its size in a roomy split costs: a growing segment the price less
// its growth, and its proportion (where the free growing segments hold the room, the price less
// their growth is the pull on them); one that does not grow the price less its wish where it gave
// way and more where it did not, an outer spacer that grows the price less its growth.
struct RoomPrices {
    Flex flex;
    double scales = 0.0, price = 0.0, yielding = 0.0;
    double of(const Constraint& c) const noexcept {
        if (grows(c, flex)) return price - kFillGrow + kGrow * (scales - scale_of(c));
        return gives_way(c, yielding) ? price - wish_of(c) : price + wish_of(c);
    }
    // The outer spacer at the first (or last) end; where it does not grow, none that matters.
    double of_spacer(bool last) const noexcept {
        if (end_hold(flex, last) != EndHold::spacer) return kRequired;
        return (flex == Flex::Center ? 2.0 : 1.0) * (price - kGrow);
    }
};

// What widening every inner gap of SpaceBetween by a unit costs at a price of room: the n − 1
// gaps' room, less their growth.
double widening_between_gaps(std::size_t n, double price) noexcept {
    return static_cast<double>(n - 1) * (price - kSpaceGrow);
}

// What a unit of raise costs the centre of the compact proportions at least, in a roomy split of
// `sizes`, where it does not grow alone: raised by d, it moves every free growing segment d·s/s_c
// further from its proportion and every one held above that as much nearer. That comes to what
// those proportions' strengths, 100·(S − s)·s, sum to over s_c, the free ones' less the held
// ones'; the room it takes costs more.
double centre_raise_least(const Layout& layout, const std::vector<double>& sizes, double scales, std::size_t centre) {
    const double s_c = scale_of(layout.constraints[centre]), unit = sizes[centre] / s_c;
    double least = 0.0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const Constraint& c = layout.constraints[i];
        if (i == centre || !grows(c, layout.flex)) continue;
        const double s = scale_of(c), strength = kGrow * (scales - s) * s / s_c;
        least += sizes[i] > s * unit + kGapSlack ? -strength : strength;
    }
    return least;
}

// What a unit of raise costs segment j of a roomy split of `sizes`: past the size it asks for,
// where it has that already. (The centre of the compact proportions costs as any other growing
// segment: the split is to be a best one of the pairwise proportions, which have no centre. The
// solver's compact form would ask more of it, and split such a row otherwise.)
double raise_cost(const Layout& layout, const RoomPrices& prices, const std::vector<double>& sizes, std::size_t j,
                  double whole) {
    const Constraint& c = layout.constraints[j];
    const bool past = !grows(c, layout.flex) && !(sizes[j] < size_asked(c, whole));
    return past ? prices.price + raise_price(c) : prices.of(c);
}

// The sizes of a roomy split, and how far its outer spacers widen, with the ends held as `holds`
// says (first, last); nothing where the split is not known to be a best one.
struct RoomySizes {
    std::vector<double> sizes;
    double first_widens = 0.0, last_widens = 0.0;
    double between, outer;  // the gaps: the tight ones, or squeezed (see roomy_sizes)
    RoomPrices prices;
};

// A segment that gave up its room, held at `size` to keep boundaries near an end inside the
// area: those of the `reach` segments nearest that end. With an overlap o, the boundary after
// the k segments nearest an end stays inside only where they and that end's spacer are at least
// k·o long together. Each unit a raised segment takes costs the others λ, less its wish for it;
// one is raised where no segment within its reach (nor that end's spacer, where it grows) would
// hold those boundaries for less.
struct Raise {
    std::size_t index;
    double size;
    std::size_t reach;
};
// Where a segment's index is asked for, the end's outer spacer: a Raise of it widens that spacer by
// `size`, past what holding the end asks.
constexpr std::size_t kSpacerRaise = std::numeric_limits<std::size_t>::max();
using Raises = std::array<std::vector<Raise>, 2>;  // by end: first, last

// Going in from an end of n segments (side 0: the first, 1: the last): the segment d places in,
// and the boundary past the k segments nearest it. Past those nearest the first end, the lowest
// boundary is the start of the next (2k + 1); before those nearest the last, the highest is the
// end of the one before them (2(n − k)).
struct FromEnd {
    std::size_t n, side;
    std::size_t segment(std::size_t d) const noexcept { return side == 0 ? d : n - 1 - d; }
    std::size_t boundary(std::size_t k) const noexcept { return side == 0 ? 2 * k + 1 : 2 * (n - k); }
};

// Whether growing segments of one scale, all of one size in `sizes`, keep their equal shares
// against the neighbours' ties, where their proportions are weaker than those (a Fill(0)'s).
// A run of them side by side, m long, rising by d, costs its ties d for each neighbour below it
// and saves d for each above; falling by d, it saves d for each below and costs d for each
// above or level. Spread over the run, a unit of room moved from one run to another gains the
// ties at most the difference of those rates, over m, and costs the proportions 2w, w = 100·(S − s)
// the strength of each member's (S the scales summed, s the one scale); out of or into the centre's
// run, w·(N − m)/m, as every other member's distance to the centre moves (N the growing segments).
// Within the pairwise form's reach (`exact`) there is no centre, and a move between runs of m and
// m' costs the pairs 100·s·(2N − m − m'), at least 100·s·N. So the shares stand where no run gains
// the ties more than that. Legacy asks no ties.
// What the tie between a segment of size x and its neighbour of size k asks of x, a unit: rising,
// one where k is at or below x, less one where it is above; falling, one saved where k is below,
// one lost where it is level or above. Summed over a segment's neighbours.
struct TieRates {
    double down = 0.0, up = 0.0;
    TieRates& operator+=(TieRates other) noexcept {
        down += other.down;
        up += other.up;
        return *this;
    }
};
TieRates tie_rates(double x, double k) noexcept { return {k < x ? 1.0 : -1.0, k <= x ? 1.0 : -1.0}; }

// Calls f(first, last) for each run [first, last) of neighbouring segments, of n, that `in` takes.
template <typename In, typename F>
void for_each_run(std::size_t n, In&& in, F&& f) {
    for (std::size_t i = 0; i < n;) {
        if (!in(i)) {
            ++i;
            continue;
        }
        const std::size_t first = i;
        while (i < n && in(i)) ++i;
        f(first, i);
    }
}

bool ties_keep_shares(const Layout& layout, const std::vector<double>& sizes, std::size_t centre, double scales,
                      bool exact) {
    if (layout.flex == Flex::Legacy) return true;
    constexpr double kTieMargin = 1e-6;
    const std::size_t n = sizes.size();
    double share = -1.0, scale = 0.0, growers = 0.0;
    bool even = true;
    // The ties' cost of a unit of room into a run and their gain of a unit out of it, and the
    // extremes of those over the runs but the centre's.
    double least_up = kRequired, most_down = -kRequired, centre_up = 0.0, centre_down = 0.0, centre_m = 0.0;
    const auto growing = [&](std::size_t i) { return grows(layout.constraints[i], layout.flex); };
    for_each_run(n, growing, [&](std::size_t first, std::size_t last) {
        if (share < 0.0) share = sizes[first];
        scale = scale_of(layout.constraints[first]);
        for (std::size_t i = first; i < last; ++i) even = even && sizes[i] == share;
        TieRates r;
        if (first > 0) r += tie_rates(share, sizes[first - 1]);
        if (last < n) r += tie_rates(share, sizes[last]);
        const auto m = static_cast<double>(last - first);
        growers += m;
        if (first <= centre && centre < last && !exact) {
            centre_up = r.up / m, centre_down = r.down / m, centre_m = m;
        } else {
            least_up = std::min(least_up, r.up / m);
            most_down = std::max(most_down, r.down / m);
        }
    });
    if (!even) return false;
    if (exact) return most_down - least_up + kTieMargin < kGrow * scale * growers;
    if (least_up == kRequired) return true;  // one run
    const double w = kGrow * (scales - scale), out_of_centre = w * (growers - centre_m) / centre_m;
    return most_down - least_up + kTieMargin < 2.0 * w && centre_down - least_up + kTieMargin < out_of_centre &&
           most_down - centre_up + kTieMargin < out_of_centre;
}

// Bounds that exceed the room, each with its segment's index.
using Caps = std::vector<std::pair<double, std::size_t>>;

// Shares `room` in equal parts, none above its bound: the smallest bounds are met while each is
// within the equal share of what is left, and the rest share the rest. Sorts `caps` by bound;
// returns how many are held at their bounds, and the others' share.
std::pair<std::size_t, double> share_up_to_bounds(Caps& caps, double room) {
    std::stable_sort(caps.begin(), caps.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    std::size_t held = 0;
    while (held < caps.size() && caps[held].first * static_cast<double>(caps.size() - held) <= room)
        room -= caps[held++].first;
    return {held, room / static_cast<double>(caps.size() - held)};  // some are free: the bounds exceed the room
}

// The sizes of n segments where only those in `caps` have room, and share `room` up to their
// bounds (share_up_to_bounds).
std::vector<double> sizes_up_to_bounds(std::size_t n, Caps caps, double room) {
    const auto [held, share] = share_up_to_bounds(caps, room);
    std::vector<double> sizes(n, 0.0);
    for (std::size_t k = 0; k < caps.size(); ++k) sizes[caps[k].second] = k < held ? caps[k].first : share;
    return sizes;
}

// Growing segments of one scale whose proportions are weaker than the neighbours' ties (Fill(0)),
// each standing apart between segments that do not grow, where equal shares do not stand
// (ties_keep_shares): the ties share their room. A fill rising by a unit costs its ties one for
// each neighbour below it and saves one for each above, so their room goes first where that rate
// is lowest: to raise the fills to their neighbours' sizes, then to the fills with the fewest
// neighbours below (one at the row's end has one), alike. The split is taken where it is a best
// one, as it is where some price λ of a unit of room is what every fill's ties and proportions ask
// for one (a fill at nothing asking no less): the proportions ask w = 100·(S − s) of a fill, s the
// one scale and S the scales summed, up or down as it stands above or below the centre, anything
// between for one level with it; the centre the sum of those, turned round, beside its ties.
// Nothing where the split is not found so.
std::optional<std::vector<double>> ties_share_apart(const Layout& layout, std::vector<double> sizes,
                                                    std::size_t centre, double scales) {
    const std::size_t n = sizes.size();
    const auto growing = [&](std::size_t i) { return grows(layout.constraints[i], layout.flex); };
    // Each fill's ties rise with its size in steps: a rate, and the size up to which it holds.
    struct Step {
        std::size_t fill;
        double rate, to;
    };
    std::vector<Step> steps;
    std::vector<std::size_t> fills;
    double room = 0.0, scale = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!growing(i)) continue;
        std::array<double, 2> ks{};
        std::size_t count = 0;
        for (const std::size_t j : {i - 1, i + 1}) {
            if (j >= n) continue;
            if (growing(j)) return std::nullopt;
            ks[count++] = sizes[j];
        }
        std::sort(ks.begin(), ks.begin() + static_cast<std::ptrdiff_t>(count));
        double rate = -static_cast<double>(count);
        for (std::size_t k = 0; k < count; ++k, rate += 2.0) steps.push_back({i, rate, ks[k]});
        steps.push_back({i, rate, kRequired});
        fills.push_back(i);
        room += sizes[i];
        sizes[i] = 0.0;
        scale = scale_of(layout.constraints[i]);
    }
    // The room, step by step from the lowest rate; the steps of one rate alike, none past its end.
    std::stable_sort(steps.begin(), steps.end(), [](const Step& a, const Step& b) { return a.rate < b.rate; });
    for (std::size_t first = 0; first < steps.size() && room > 0.0;) {
        std::size_t last = first;
        Caps caps;
        while (last < steps.size() && steps[last].rate == steps[first].rate) {
            const Step& st = steps[last];
            caps.emplace_back(std::max(st.to - sizes[st.fill], 0.0), caps.size());
            ++last;
        }
        double whole = 0.0;
        for (const auto& [cap, k] : caps) whole += cap;
        if (whole <= room) {
            for (std::size_t k = first; k < last; ++k) sizes[steps[k].fill] = std::max(sizes[steps[k].fill], steps[k].to);
            room -= whole;
        } else {
            const std::vector<double> shares = sizes_up_to_bounds(caps.size(), caps, room);
            for (std::size_t k = first; k < last; ++k) sizes[steps[k].fill] += shares[k - first];
            room = 0.0;
        }
        first = last;
    }
    if (room > 0.0) return std::nullopt;

    // Is it a best split? The rates a fill's ties can ask at its size (one level with a neighbour
    // asks anything between).
    const auto ties_ask = [&](std::size_t i) {
        TieRates r;
        for (const std::size_t j : {i - 1, i + 1})
            if (j < n) r += tie_rates(sizes[i], sizes[j]);
        return std::pair{r.down, r.up};
    };
    constexpr double kInf = std::numeric_limits<double>::infinity(), kSlack = 1e-9;
    const double w = kGrow * (scales - scale), xc = sizes[centre];
    double least = -kInf, most = kInf, below = 0.0, above = 0.0;
    struct Level {
        double lo, hi;
        bool at_nothing;
    };
    std::vector<Level> level;  // the fills level with the centre
    for (const std::size_t i : fills) {
        if (i == centre) continue;
        const auto [lo, hi] = ties_ask(i);
        const bool at_nothing = !(sizes[i] > 0.0);
        if (sizes[i] == xc) {
            level.push_back({lo, hi, at_nothing});
            most = std::min(most, hi + w);
            if (!at_nothing) least = std::max(least, lo - w);
            continue;
        }
        const double pull = sizes[i] > xc ? w : -w;
        (sizes[i] > xc ? above : below) += 1.0;
        most = std::min(most, hi + pull);
        if (!at_nothing) least = std::max(least, lo + pull);
    }
    if (!(least <= most + kSlack)) return std::nullopt;
    // The centre: its ties and the proportions' pull, less w·t for each fill level with it, which
    // asks w·t of its own (t between −1 and 1). λ + w·Σt is then to lie within [lo, hi].
    const auto [centre_lo, centre_hi] = ties_ask(centre);
    const double lo = xc > 0.0 ? centre_lo + w * (below - above) : -kInf, hi = centre_hi + w * (below - above);
    const auto reach = [&](double lambda, bool low) {
        double sum = lambda;
        for (const Level& l : level)
            sum += low ? w * std::max(-1.0, (lambda - l.hi) / w)
                       : w * (l.at_nothing ? 1.0 : std::min(1.0, (lambda - l.lo) / w));
        return sum;
    };
    if (!(reach(least, true) <= hi + kSlack && reach(most, false) >= lo - kSlack)) return std::nullopt;
    return sizes;
}

std::optional<RoomySizes> roomy_sizes(const Layout& layout, const Axis& axis, const TightSpacers& spacers,
                                      const std::array<EndHold, 2>& holds, const Raises& raises, bool exact) {
    const std::size_t n = layout.constraints.size();
    // SpaceAround's gaps are a class that gives way like the others (gaps_squeeze); with an
    // overlap, o is then the overlap.
    const bool overlapping = axis.gap < 0.0;
    const std::optional<GapsSqueeze> squeeze = gaps_squeeze(layout, axis, exact);
    const bool squeezable = squeeze.has_value();
    const double inner = static_cast<double>(n) - 1.0;
    const double gaps_room = squeezable ? squeeze->room : 0.0;
    const double gaps_wish = squeezable ? squeeze->wish : kRequired;
    const double whole = axis.a1 - axis.a0, overlap = squeezable && overlapping ? -axis.gap : -spacers.between;
    const std::array<std::size_t, 2> ends{0, n - 1};
    const auto held_end = [&](std::size_t i) {
        return (holds[0] != EndHold::none && i == ends[0]) || (holds[1] != EndHold::none && i == ends[1]);
    };
    std::vector<double> raised(n, 0.0);  // by segment: what it is raised to, 0: not raised
    std::array<double, 2> spacer_raised{0.0, 0.0};  // by end: how much further its spacer widens
    for (std::size_t side = 0; side < 2; ++side)
        for (const Raise& r : raises[side]) {
            if (r.index == kSpacerRaise) spacer_raised[side] += r.size;
            else raised[r.index] = std::max(raised[r.index], r.size);
        }
    // The segments that do not grow: each one's size, and what a unit of its room is worth to it.
    struct Kept {
        std::size_t index;
        double size, wish;
    };
    std::vector<Kept> kept;
    std::vector<std::size_t> minimums;  // the growing Mins, but at a held end or raised
    const auto [scales, centre] = Proportions(layout);
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (grows(c, layout.flex)) {
            if (c.kind == Constraint::Kind::Min && !held_end(i) && raised[i] == 0.0) minimums.push_back(i);
            continue;
        }
        kept.push_back({i, size_asked(c, whole), gives_way(c, kRequired) ? wish_of(c) : kRequired});
    }
    // Where nothing grows, no rung but a class keeping part of its room is known (see `partial`),
    // and not in Legacy, whose members have no neighbours to settle their shares. A scale below 1
    // (a Fill(0)) leaves the proportions weaker than the neighbours' ties, which then settle the
    // shares, but where one segment grows alone: it has no proportions. Past the pairwise form's
    // reach, or past 64 segments, also where the growing segments stand side by side, all of one
    // scale: along such a run the ties cost least where the sizes step least, which equal shares do
    // (as well as any that rise or fall from one end to the other), and the proportions pick those.
    // (In shorter rows the solver's sums lose so small a scale's proportions and split such runs
    // otherwise.) Scales far apart leave the solver's sums off the best split too; past 64
    // segments the split is worked out directly all the same, as where shares hold an end (see
    // asks_area_shares). Where they stand in several runs, all of one scale, with no overlap, the
    // ties settle the shares too, but leave them equal where no run gains room from another
    // (ties_keep_shares, checked on the split).
    const bool none_grows = centre == n;
    const bool alone = !none_grows && scales == scale_of(layout.constraints[centre]);
    const bool ties_settle =
        !none_grows && !(scale_of(layout.constraints[centre]) >= 1.0 || alone ||
                         (!rounds_as_solver(exact, n) && one_run_of_a_scale(layout)));
    if (none_grows ? layout.flex == Flex::Legacy
                   : ties_settle && (rounds_as_solver(exact, n) || overlapping || !one_scale(layout)))
        return std::nullopt;
    const double centre_scale = none_grows ? 0.0 : scale_of(layout.constraints[centre]);
    if (rounds_as_solver(exact, n) && scales_far_apart(layout)) return std::nullopt;
    const auto bound_of = [&](std::size_t i) { return min_bound(layout.constraints[i]); };
    std::stable_sort(minimums.begin(), minimums.end(),
                     [&](std::size_t i, std::size_t j) { return bound_of(i) > bound_of(j); });

    // The held ends take o of the room each. One held at o pulls the centre (its share of the
    // pull is summed here, over F below); one whose spacer widens leaves the free segments.
    // In Center both outer spacers widen together.
    const double widening = layout.flex == Flex::Center ? 2.0 : 1.0;
    double end_room = spacer_raised[0] + spacer_raised[1], end_scales = 0.0, end_pull = 0.0, widening_scales = 0.0;
    bool growing_raised = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (raised[i] == 0.0) continue;
        end_room += raised[i];
        // A growing segment raised leaves the free ones and pulls the centre up, as a held end does.
        if (const Constraint& c = layout.constraints[i]; grows(c, layout.flex)) {
            growing_raised = true;
            const double s = scale_of(c);
            end_scales += s;
            end_pull += kGrow * (scales - s) * s;
        }
    }
    for (std::size_t side = 0; side < 2; ++side) {
        if (holds[side] == EndHold::none) continue;
        const Constraint& e = layout.constraints[ends[side]];
        const double m = holds[side] == EndHold::spacer ? widening : 1.0;
        if (!grows(e, layout.flex)) {  // keeps its size; its spacer makes up the rest
            end_room += m * (overlap - size_asked(e, whole));
            continue;
        }
        const double s = scale_of(e);
        end_room += m * overlap;
        end_scales += m * s;
        if (holds[side] == EndHold::segment) end_pull += kGrow * (scales - s) * s;
        if (holds[side] == EndHold::spacer) widening_scales += m * s;
    }

    // The segments that do not grow and ask for less than the price of room give it up, the
    // weakest first: each class that gives way leaves more room, fewer Mins held and a lower
    // price. A class whose room is needed, where the growing segments bid less for it, gives up
    // only part of it (see `partial`).
    std::vector<double> wishes = {kMaxEq, kRatioEq, kPercentEq, kLengthEq};  // Legacy Mins never give way
    if (squeezable) wishes.insert(std::upper_bound(wishes.begin(), wishes.end(), gaps_wish), gaps_wish);
    double unit = 0.0, pull = 0.0, price = 0.0, yielding = 0.0;  // the wishes up to `yielding` give way
    std::size_t held = 0;
    // Where a class's room is needed but the growing segments do not bid as much for it, the class
    // gives up only part (`partial`): the free growing segments give up all of theirs, every Min
    // with a bound is held at it, and the price of room is the class's wish. SpaceAround's gaps
    // keep theirs evenly, each inner gap as much as the next and, with a gap, the outer ones half.
    struct Part {
        double kept;  // the room the class keeps
        std::size_t held;
        double pull;
        bool centre_held;  // the centre among the Mins held (see below)
        double unit = 0.0;  // what the growing segments rise to, by scale (see below)
    };
    // The part the class that gives way at `yielding` keeps, where the rung below had too little
    // room and the free growing segments, with none of it, bid less than that class's wish;
    // `rest` what this rung leaves with the whole class given way.
    // Within the pairwise form's reach only where the split is its only best one: the gaps kept
    // whole, a row whose members share alike (see share_alike, below), and Mins held only where no
    // growing segment bids as much as the class's wish, pair by pair (as below).
    // Where the centre itself is among the Mins held, the compact proportions have no free centre
    // to measure the pull by, and the split is reckoned by the pairwise form's: there each pair
    // pulls the segment below its proportion up with the other's scale, so no growing segment bids
    // more than 1000 + 100·S a unit (S the sum of the scales), and where that is below the class's
    // wish every growing segment stays where it is, held at its bound or with nothing.
    // Past that reach, where it is above (and the centre's bound is the largest, no end is held),
    // the compact proportions raise every other growing segment to its proportion of the centre:
    // below it, a unit gains one its growth and 100·(S − s), its proportion's strength, for the
    // class's wish. There every proportion holds, and more room would gain them only their growth.
    const auto part_kept = [&](double rest) -> std::optional<Part> {
        const double room = rest;
        if (exact && (layout.flex == Flex::Legacy || (squeezable && yielding == gaps_wish))) return std::nullopt;
        double asked = squeezable && yielding == gaps_wish ? gaps_room : 0.0, free_scales = scales - end_scales;
        for (const Kept& k : kept)
            if (k.wish == yielding && !(raised[k.index] > k.size)) asked += k.size;  // (one raised past has it)
        std::size_t count = 0;
        bool centre_held = false;
        for (const std::size_t i : minimums) {
            if (!(bound_of(i) > 0.0)) continue;
            centre_held = centre_held || i == centre;
            rest -= bound_of(i);
            free_scales -= 1.0;
            ++count;
        }
        // What the growing segments bid pair by pair stays below the class's wish.
        const bool pairs_bid_less = kFillGrow + kGrow * scales + kNeighboursMargin <= yielding;
        if (centre_held && widening_scales == 0.0 && !pairs_bid_less) {
            const double top = bound_of(centre), kept_rising = room - top * scales;
            const bool rise = !exact && end_scales == 0.0 &&
                              yielding + kNeighboursMargin <= kFillGrow + kGrow * (scales - 1.0) &&
                              std::all_of(minimums.begin(), minimums.end(), [&](std::size_t i) { return bound_of(i) <= top; });
            if (!rise || !(kept_rising >= 0.0 && kept_rising < asked)) return std::nullopt;
            return Part{kept_rising, 0, 0.0, false, top};
        }
        if (!(rest >= 0.0 && rest < asked)) return std::nullopt;
        if (exact && count > 0 && !pairs_bid_less) return std::nullopt;
        if (centre_held) {
            if (widening_scales > 0.0) return std::nullopt;
            return Part{rest, count, kGrow * scales, true};
        }
        // What holds the room bids for it: with nothing that grows, an outer spacer its growth; a
        // segment that grows alone, held at o at an end, its growth (it has no proportions, and an
        // outer spacer bids less); else the free growing segments, their growth and pull.
        const bool held_alone = alone && end_scales == scales && widening_scales == 0.0;
        double part_pull = 0.0, bid = none_grows ? kGrow : kFillGrow;
        if (!none_grows && !held_alone) {
            if (!(free_scales > 0.0)) return std::nullopt;
            part_pull = (static_cast<double>(count) * kGrow * (scales - 1.0) + end_pull) / free_scales;
            bid += part_pull + (kFillGrow - kGrow) * widening_scales / free_scales;
        }
        if (!(bid + kNeighboursMargin <= yielding)) return std::nullopt;
        return Part{rest, count, part_pull, false};
    };
    // Where nothing grows and every size asked for fits, the spacers that grow take the rest: the
    // last in Start, the first in End, both alike in Center, and in the Space* modes the gaps they
    // make equal (in SpaceAround the inner ones twice the outer ones). Each unit gains a spacer 100
    // or the gaps 10, where any segment would ask at least 10⁴ for it. Not in Legacy, nor in
    // SpaceBetween with one segment, where no spacer grows.
    const auto spare_room = [&](double rest) -> std::optional<RoomySizes> {
        RoomySizes out{std::vector<double>(n), 0.0, 0.0, spacers.between, spacers.outer, {}};
        for (const Kept& k : kept) out.sizes[k.index] = k.size;
        switch (layout.flex) {
            case Flex::Start: out.last_widens = rest; break;
            case Flex::End: out.first_widens = rest; break;
            case Flex::Center: out.first_widens = out.last_widens = rest / 2.0; break;
            case Flex::SpaceBetween:
                if (n < 2) return std::nullopt;
                [[fallthrough]];
            case Flex::SpaceAround:
            case Flex::SpaceEvenly: {
                const TightSpacers share = shared_by_gaps(layout.flex, n, rest);
                out.between += share.between;
                out.outer += share.outer;
                break;
            }
            default: return std::nullopt;
        }
        return out;
    };
    std::optional<Part> partial;
    double weakest = kRequired;  // the least wish of the classes that keep their room
    bool crowded = false;  // the last rung's sizes did not fit
    for (std::size_t rung = 0;; ++rung) {
        yielding = rung == 0 ? 0.0 : wishes[rung - 1];
        const bool squeezed = gaps_wish <= yielding;
        double rest = spacers.rest - end_room + (squeezed ? gaps_room : 0.0);
        weakest = squeezed ? kRequired : gaps_wish;
        double strongest_yielding = squeezed ? gaps_wish : 0.0;
        for (const Kept& k : kept) {
            if (k.wish <= yielding) {
                strongest_yielding = std::max(strongest_yielding, k.wish);
            } else {
                // What it is raised to is taken already (end_room); one raised past its size
                // takes no more.
                rest -= std::max(k.size - raised[k.index], 0.0);
                weakest = std::min(weakest, k.wish);
            }
        }
        if (crowded && (partial = part_kept(rest))) break;
        crowded = true;
        if (!(rest >= 0.0)) {  // the sizes asked for do not fit: the next class gives way
            if (rung == wishes.size()) return std::nullopt;
            continue;
        }
        if (none_grows) {
            if (rung != 0 || !raises[0].empty() || !raises[1].empty()) return std::nullopt;
            return spare_room(rest);
        }
        // Hold the Mins above their share at their bounds, the largest first; each one held
        // leaves the others a smaller share.
        double free_scales = scales - end_scales;
        if (!(free_scales > 0.0)) return std::nullopt;
        unit = rest / free_scales;
        held = 0;
        bool fits = true;
        for (const std::size_t i : minimums) {
            if (!(bound_of(i) > unit)) break;
            if (exact) return std::nullopt;
            if (i == centre) {  // the next class may give up part of its room (see `partial`)
                fits = false;
                break;
            }
            rest -= bound_of(i);
            free_scales -= 1.0;
            ++held;
            if (!(rest >= 0.0)) {
                fits = false;
                break;
            }
            unit = rest / free_scales;
        }
        // Minimums that do not all fit beside the sizes asked for leave this rung too little
        // room: the next class gives way, and that rung's checks decide.
        if (!fits) {
            if (rung == wishes.size()) return std::nullopt;
            continue;
        }
        crowded = false;
        pull = (static_cast<double>(held) * kGrow * (scales - 1.0) + end_pull) / free_scales;
        // A unit of room also widens the segments beside a widening spacer, which it narrows.
        price = kFillGrow + pull + (kFillGrow - kGrow) * widening_scales / free_scales;
        if (!(strongest_yielding + kNeighboursMargin <= price)) return std::nullopt;
        if (price + kNeighboursMargin <= weakest) break;
        if (rung == wishes.size()) return std::nullopt;
    }
    if (partial) {
        unit = partial->unit;
        held = partial->held;
        pull = partial->pull;
        price = yielding;
    }
    const bool squeezed = gaps_wish <= yielding;
    // The ends are held only where the gaps overlap, and nothing is held beside gaps that keep part
    // of their room (a segment that gave up its room is raised there, from what the gaps keep).
    const bool gaps_keep_part = partial && squeezable && yielding == gaps_wish;
    const double gaps_kept = gaps_keep_part ? partial->kept : 0.0;
    const bool holding = holds[0] != EndHold::none || holds[1] != EndHold::none || growing_raised;
    if (squeezable && !squeezed && holding) return std::nullopt;
    if (gaps_keep_part && holding) return std::nullopt;
    // The Mins held pull the centre up; the free segments' proportions hold it, with at least what
    // the pull asks by more than the neighbours could tip. Where every growing segment has a scale
    // of 1 the pull can match that hold exactly (as many free segments as Mins held): the compact
    // proportions then ask nothing either way of a centre that rises, and its best split can raise
    // it where the row grows more even. The pairwise form's does not. A free segment that rises by
    // d, the others falling to make room, comes d nearer each Min held while the others move as far
    // off them, which is even; among the F free segments it costs 100·F·d, far above what the
    // neighbours could tip. So the free segments share alike there too. Where a class keeps part of
    // its room and the free segments have none, there is no room between them to move: the centre
    // would take its rise from the class, for the class's wish, which their bid stays below
    // (part_kept). Nor is there where one free segment alone takes the room.
    const double hold = kGrow * (scales - centre_scale);
    const auto several_free = [&] {
        std::size_t free_growing = 0;
        for (std::size_t i = 0; i < n && free_growing < 2; ++i) {
            const Constraint& c = layout.constraints[i];
            const bool bound_held = c.kind == Constraint::Kind::Min && bound_of(i) > unit;
            if (grows(c, layout.flex) && !held_end(i) && raised[i] == 0.0 && !bound_held) ++free_growing;
        }
        return free_growing > 1;
    };
    if ((held > 0 || end_pull > 0.0) && !(partial && partial->unit == 0.0) && !(pull + kNeighboursMargin <= hold) &&
        several_free()) {
        const bool scales_of_one =
            std::all_of(layout.constraints.begin(), layout.constraints.end(),
                        [&](const Constraint& c) { return !grows(c, layout.flex) || scale_of(c) == 1.0; });
        if (partial || holding || end_pull > 0.0 || !scales_of_one || !(pull <= hold)) return std::nullopt;
    }
    // A Min is held at its bound only where that costs less than what a unit below it would gain:
    // its proportion's 100·(S − 1), and the price of the room it gives up, less its growth.
    if (held > 0 && !(kGrow * (scales - 1.0) + (partial ? price - kFillGrow : pull) + kNeighboursMargin <= kMinGe))
        return std::nullopt;
    if (!squeezed && !squeezing_gaps_costs_more(layout, axis.gap, price + kNeighboursMargin)) return std::nullopt;

    // Squeezed with a gap, the outer gaps keep half of what each inner one does; with an overlap,
    // the inner ones share it and the outer ones stay empty.
    const double kept_each = overlapping ? gaps_kept / inner : gaps_kept / (2.0 * (inner + 1.0));
    RoomySizes out{std::vector<double>(n), 0.0, 0.0,
                   squeezed ? squeeze->between + (overlapping ? kept_each : 2.0 * kept_each) : spacers.between,
                   squeezed ? squeeze->outer + (overlapping ? 0.0 : kept_each) : spacers.outer, {}};
    std::vector<double>& sizes = out.sizes;
    for (const Kept& k : kept) sizes[k.index] = k.wish <= yielding ? 0.0 : k.size;
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (grows(c, layout.flex))
            sizes[i] = c.kind == Constraint::Kind::Min && !held_end(i) && bound_of(i) > unit ? bound_of(i)
                                                                                          : scale_of(c) * unit;
    }
    // The ends: each held one short of o at its share; what each asks of its neighbours holds.
    // The centre of the compact proportions is held only where the free growing segments keep
    // none of the room (a class keeps part of it). Held at o, its pull on each of them is then the
    // same as any held end's, far below the class's wish; its spacer widened instead, it keeps its
    // share, nothing, as they do.
    // What the segments held at o ask of their gaps, together, for each unit the gaps overlap by:
    // a unit of room at its price, less a held segment's growth, and its proportions and pull.
    double segment_holds = 0.0;
    // An end's outer spacer widened by `by`; in Center both widen together.
    const auto widen_spacer = [&](std::size_t side, double by) {
        if (layout.flex == Flex::Center) out.first_widens = out.last_widens = by;
        else (side == 0 ? out.first_widens : out.last_widens) = by;
    };
    for (std::size_t side = 0; side < 2; ++side) {
        if (holds[side] == EndHold::none) continue;
        const std::size_t i = ends[side];
        const Constraint& e = layout.constraints[i];
        if ((i == centre && !partial) || !(sizes[i] < overlap)) return std::nullopt;
        if (!grows(e, layout.flex)) {
            // A segment that has the size it asks for (it keeps it, or gave up its room and was
            // raised back to it), its spacer widened: for less than raising it past that size would
            // cost (the price of room, and its wish; a Max its bound too), and than the gaps would
            // ask for giving up their overlap.
            const double spacer = widening * (price - kGrow), raising = price + raise_price(e);
            const double asked = size_asked(e, whole);
            const bool has_asked = wish_of(e) > yielding || (wish_of(e) < yielding && raised[i] >= asked);
            if (!has_asked || !(spacer + kNeighboursMargin <= std::min(raising, kSpacerEq))) return std::nullopt;
            widen_spacer(side, overlap - asked);
            continue;
        }
        const double s = scale_of(e);
        if (holds[side] == EndHold::segment) {
            // (In Center, only where the spacers widening together would cost more.)
            if (layout.flex == Flex::Center &&
                !(kGrow * (scales - s + widening) + kNeighboursMargin <= kFillGrow + (widening - 1.0) * price))
                return std::nullopt;
            segment_holds += price - kFillGrow + kGrow * (scales - s) + pull + kNeighboursMargin;
            sizes[i] = overlap;
        } else {
            // (A Min whose bound is above its share would keep its bound, the spacer the rest.)
            if (layout.constraints[i].kind == Constraint::Kind::Min && bound_of(i) > sizes[i]) return std::nullopt;
            // Moving a unit from the spacers to the segment leaves the others what the spacers
            // gave beyond it.
            if (!(kFillGrow + (widening - 1.0) * price + kNeighboursMargin <= kGrow * (scales - s + widening)))
                return std::nullopt;
            widen_spacer(side, overlap - sizes[i]);
        }
    }
    const RoomPrices prices{layout.flex, scales, price, yielding};
    double raising = 0.0;  // what the raised segments cost a unit, all told
    // A growing segment is raised above its share, which it would have anyway. Each raise is then
    // weighed against raising a segment within its reach further, from the size it is raised to.
    for (std::size_t side = 0; side < 2; ++side)
        for (const Raise& r : raises[side])
            if (r.index != kSpacerRaise && grows(layout.constraints[r.index], layout.flex) &&
                !(r.size > sizes[r.index]))
                return std::nullopt;
    for (std::size_t i = 0; i < n; ++i)
        if (raised[i] > 0.0) sizes[i] = raised[i];
    for (std::size_t side = 0; side < 2; ++side) {
        for (const Raise& r : raises[side]) {
            const auto cheaper_than_within_reach = [&](double cost, std::size_t except) {
                for (std::size_t d = 0; d < r.reach; ++d) {
                    const std::size_t j = FromEnd{n, side}.segment(d);
                    if (j != except && !(cost + kNeighboursMargin <= raise_cost(layout, prices, sizes, j, whole)))
                        return false;
                }
                return true;
            };
            if (r.index == kSpacerRaise) {  // the end's spacer, widened further (not in Center, where both would)
                const double cost = prices.of_spacer(side == 1);
                if (layout.flex == Flex::Center || !(cost < kRequired) || !(r.reach < n) ||
                    !cheaper_than_within_reach(cost, n))
                    return std::nullopt;
                segment_holds += static_cast<double>(r.reach) * (std::max(cost, price) + kNeighboursMargin);
                continue;
            }
            const Constraint& c = layout.constraints[r.index];
            // Raised past the size it asks for, a segment costs λ and its wish a unit (a Max its bound
            // too); a member of a class that keeps part of its room then keeps what it is raised to.
            const bool growing = grows(c, layout.flex);
            const bool past = !growing && r.size > size_asked(c, whole);
            if (!(r.reach < n) || raised[r.index] != r.size) return std::nullopt;
            const double cost = past ? price + raise_price(c) : prices.of(c);
            if (!(past || growing || gives_way(c, yielding)) ||
                !(cost + kNeighboursMargin <= prices.of_spacer(side == 1)) || !cheaper_than_within_reach(cost, r.index))
                return std::nullopt;
            segment_holds += static_cast<double>(r.reach) * (std::max(cost, price) + kNeighboursMargin);
            raising += cost;
        }
    }
    out.first_widens += spacer_raised[0];
    out.last_widens += spacer_raised[1];
    // In Center the spacers widen together, and so hold both ends at once: where both are raised,
    // the raises together must cost less than that.
    if (layout.flex == Flex::Center && !raises[0].empty() && !raises[1].empty() &&
        !(raising + kNeighboursMargin <= prices.of_spacer(false)))
        return std::nullopt;
    // The class's members share what it keeps, above what the raised ones hold already. Each unit
    // costs every member its wish alike, so the neighbours decide: the row is to be as even as it
    // can be (share_evenly). Legacy has no neighbours to ask, and the members keep it in turn: the
    // first keep theirs, and the last give theirs up first (legacy_in_turn).
    // Within the pairwise form's reach the split must be the only best one: the members share alike
    // where that is the only sharing as even as the row allows (share_alike), and nowhere else.
    // Past 64 segments, also where the members stand in runs apart, each shared alike, where that
    // is the only best sharing (share_in_runs). Where they stand alone, most sharings are as even;
    // where nothing grows and nothing overlaps, which the solver takes is known (share_from_the_last)
    // in the modes whose gaps keep the spacing.
    if (partial && !gaps_keep_part) {
        std::vector<RowPlace> row(n);
        for (std::size_t i = 0; i < n; ++i) row[i] = {sizes[i], false};
        double room = partial->kept;
        for (const Kept& k : kept) {
            if (k.wish != yielding) continue;
            if (raised[k.index] > k.size) {
                row[k.index] = {raised[k.index], false};
                continue;
            }
            row[k.index] = {k.size, true, raised[k.index]};
            room += raised[k.index];
        }
        if (exact) {
            const bool solver_order_known = none_grows && n > kPairedUpTo && !overlapping &&
                                            (layout.flex == Flex::Start || layout.flex == Flex::Center ||
                                             layout.flex == Flex::End);
            std::optional<std::vector<double>> alike = share_alike(row, room);
            if (!alike && n > kPairedUpTo) alike = share_in_runs(row, room);
            if (!alike && solver_order_known) alike = share_from_the_last(row, room);
            if (!alike) return std::nullopt;
            sizes = std::move(*alike);
        } else if (layout.flex != Flex::Legacy) {
            sizes = share_evenly(row, room);
        } else {
            std::optional<std::vector<double>> in_turn = legacy_in_turn(row, partial->kept, std::max(overlap, 0.0));
            if (!in_turn) return std::nullopt;
            sizes = std::move(*in_turn);
        }
    }
    // Instead of a held end, SpaceBetween's gaps can widen together; SpaceAround's squeezed gaps
    // can too, or one outer gap, which its tie to the inner ones holds twice over. (Where those
    // gaps keep part of their room, the room they would widen by comes from the class above.)
    const double gaps_price = gaps_keep_part ? weakest : price;
    const double widening_gaps = layout.flex == Flex::SpaceBetween ? widening_between_gaps(n, price)
                                 : squeezed ? std::min(2.0 * kSpacerEq, inner * (gaps_price - gaps_wish))
                                            : kSpacerEq;
    if (!(segment_holds <= widening_gaps)) return std::nullopt;
    if (ties_settle && !ties_keep_shares(layout, sizes, centre, scales, exact)) {
        if (exact) return std::nullopt;
        std::optional<std::vector<double>> shared = ties_share_apart(layout, sizes, centre, scales);
        if (!shared) return std::nullopt;
        sizes = std::move(*shared);
    }
    out.prices = prices;
    return out;
}

// Where the segments nearest an end fall short of the overlap together, the boundaries between
// them leave the area. For each, nearest the end first, the cheapest segment that can hold it
// (one within its reach) is raised by as much more as it lies out, or in Start and End the end's
// outer spacer widens further where that costs less; returns whether one was, and nothing where
// the cheapest cannot be raised or ties with the spacer. A segment that gave up
// its room is raised no further than the size it asks for: past that it costs more, and the
// cheapest within reach then holds the rest. (The others then give up that room, which moves the
// boundaries a little: solve_roomy tries again until they stay.)
// `exact`: the split must be the only best one, so the cheapest must cost less than any other
// within its reach by more than the neighbours could tip; a growing segment too, which holds the
// boundary above its share (the others' ties would rather have it shared).
std::optional<bool> raise_for_overlap(const Layout& layout, const Axis& axis, const TightSpacers& spacers,
                                      const RoomySizes& roomy, const std::array<EndHold, 2>& holds, Raises& raises,
                                      bool exact) {
    const std::size_t n = layout.constraints.size();
    const std::vector<double> boundaries =
        direct_boundaries(axis, spacers, roomy.sizes, roomy.first_widens, roomy.last_widens);
    const double whole = axis.a1 - axis.a0;
    // A growing segment is not raised where its end is held already.
    const auto raisable = [&](std::size_t j) {
        return !grows(layout.constraints[j], layout.flex) ||
               !((j == 0 && holds[0] != EndHold::none) || (j == n - 1 && holds[1] != EndHold::none));
    };
    std::vector<double> sizes = roomy.sizes;  // with the raises made here
    const auto cost_of = [&](std::size_t j) { return raise_cost(layout, roomy.prices, sizes, j, whole); };
    bool raised = false;
    for (std::size_t side = 0; side < 2; ++side) {
        // Going in from the end, the boundary past the k segments nearest it lies out by `out`
        // beyond what the raises so far have made up for.
        const FromEnd from_end{n, side};
        double made_up = 0.0, cheapest = kRequired, next = kRequired;  // the least cost, and the next
        std::size_t best = n;
        const auto weigh = [&](std::size_t j) {
            if (const double cost = cost_of(j); cost < cheapest) {
                next = cheapest;
                cheapest = cost;
                best = j;
            } else {
                next = std::min(next, cost);
            }
        };
        for (std::size_t k = 1; k < n; ++k) {
            weigh(from_end.segment(k - 1));
            const double v = boundaries[from_end.boundary(k)];
            double out = (side == 0 ? axis.a0 - v : v - axis.a1) - made_up;
            if (inside_area(v, axis.a0, axis.a1) || !(out > 0.0)) {
                if (2 * k > n) break;
                continue;
            }
            // The raise of segment (or spacer) j, from `from` where it has none yet, by `by`.
            const auto raise = [&](std::size_t j, double from, double by) {
                std::vector<Raise>& mine = raises[side];
                auto r = std::find_if(mine.begin(), mine.end(), [&](const Raise& x) { return x.index == j; });
                if (r == mine.end()) r = mine.insert(mine.end(), {j, from, 0});
                r->size += by;
                r->reach = std::max(r->reach, k);
                made_up += by;
                raised = true;
            };
            while (out > 0.0) {
                // The end's spacer, where it widens (not in Center, where both would), for less.
                if (layout.flex != Flex::Center && roomy.prices.of_spacer(side == 1) + kNeighboursMargin <= cheapest) {
                    raise(kSpacerRaise, 0.0, out + kGapSlack);
                    break;
                }
                const Constraint& c = layout.constraints[best];
                const bool growing = grows(c, layout.flex);
                if (!raisable(best) || !(cheapest < roomy.prices.of_spacer(side == 1)) ||
                    ((exact || (growing && layout.flex != Flex::Legacy)) && !(cheapest + kNeighboursMargin <= next)))
                    return std::nullopt;
                const double short_of_asked = growing ? kRequired : size_asked(c, whole) - sizes[best];
                const double by = short_of_asked > 0.0 && short_of_asked < out ? short_of_asked : out + kGapSlack;
                raise(best, sizes[best], by);
                sizes[best] += by;
                out -= by;
                if (!(out > 0.0)) break;
                // Raised to the size it asks for, it costs more now: the cheapest within reach again.
                cheapest = next = kRequired;
                best = n;
                for (std::size_t d = 0; d < k; ++d) weigh(from_end.segment(d));
            }
        }
    }
    return raised;
}

std::optional<Split> solve_roomy(const Layout& layout, Rect area, bool exact) {
    const Axis axis(layout, area);
    const std::size_t n = layout.constraints.size();
    TightSpacers spacers(layout, axis.a1 - axis.a0, axis.gap);
    // Try with the ends as they come; where an overlap carries the boundary beside an end out of
    // the area, hold that end and try again (holding one end leaves the other less room).
    std::array<EndHold, 2> holds{EndHold::none, EndHold::none};
    Raises raises;
    // In SpaceBetween an end that keeps its size, short of the overlap, can instead have every gap
    // widen to that size (past the pairwise form's reach), where that costs less than raising the
    // end: a unit of room and its wish. The least wish of an end so held, to check again against
    // the final price of room.
    double widened_for = kRequired;
    const auto gaps_widen_for_less = [&](double price, double raising) {
        return widening_between_gaps(n, price) + kNeighboursMargin <= raising;
    };
    for (int pass = 0; pass < kHoldPasses; ++pass) {
        const std::optional<RoomySizes> roomy = roomy_sizes(layout, axis, spacers, holds, raises, exact);
        if (!roomy) {
            // In Center a held end's spacers widen together, at twice the room. Where that costs
            // more than its segment's proportions, the segment is held at o instead (roomy_sizes
            // checks which is cheaper).
            const auto widened = std::find(holds.begin(), holds.end(), EndHold::spacer);
            if (layout.flex != Flex::Center || widened == holds.end()) return std::nullopt;
            *widened = EndHold::segment;
            continue;
        }
        const TightSpacers tight(roomy->outer, roomy->between, spacers.rest);
        std::array<bool, 2> short_of{false, false};
        for (std::size_t side = 0; side < 2 && n >= 2 && tight.between < 0.0; ++side) {
            const std::size_t i = side == 0 ? 0 : n - 1;
            const double widens = side == 0 ? roomy->first_widens : roomy->last_widens;
            short_of[side] = holds[side] == EndHold::none && widens + roomy->sizes[i] < -tight.between - kGapSlack;
        }
        // In Center the spacers widen for the growing end that lacks more; the other then lacks
        // nothing. (An end that does not grow is raised instead, each on its own; not beside one
        // whose spacers widen. But where its spacers widen for less than raising it past the size it
        // asks for, and so would leave the growing end short of nothing, it is held first.)
        const std::array<bool, 2> growing_short{short_of[0] && grows(layout.constraints[0], layout.flex),
                                                short_of[1] && grows(layout.constraints[n - 1], layout.flex)};
        if (layout.flex == Flex::Center && (growing_short[0] || growing_short[1])) {
            if (holds[0] != EndHold::none || holds[1] != EndHold::none) return std::nullopt;
            if (short_of[0] != growing_short[0] || short_of[1] != growing_short[1]) {
                const std::size_t g = growing_short[0] ? 0 : n - 1, other = n - 1 - g;
                const Constraint& e = layout.constraints[other];
                const double held_at = std::max(roomy->sizes[other], size_asked(e, axis.a1 - axis.a0));
                const double raising = roomy->prices.price + raise_price(e);
                if (!(held_at <= roomy->sizes[g]) ||
                    !(roomy->prices.of_spacer(other != 0) + kNeighboursMargin <= raising))
                    return std::nullopt;
                short_of = {other == 0, other != 0};
            } else {
                const bool last = short_of[1] && (!short_of[0] || roomy->sizes[n - 1] < roomy->sizes[0]);
                short_of = {!last, last};
            }
        }
        bool more = false, widened = false, spacer_held = false;
        std::array<std::optional<double>, 2> raise_to;  // an end segment's raise, made after the loop
        std::array<bool, 2> back_to_asked{false, false};  // that raise only back to the size it asks for
        for (std::size_t side = 0; side < 2; ++side) {
            if (!short_of[side]) continue;
            const std::size_t i = side == 0 ? 0 : n - 1;
            const std::optional<EndHold> how = end_hold(layout.flex, side == 1);
            if (!how || (rounds_as_solver(exact, n) && asks_area_shares(layout))) return std::nullopt;
            // A segment that does not grow is raised itself, where it gave up its room; raised
            // already, further (where the others gave up that room, the gaps moved too). One that
            // keeps the size it asks for would be raised past it: its spacer widens instead where
            // that costs less (in Center, where no other end is held; roomy_sizes checks the price).
            // One that gave up its room and lacks more than it asks for is first raised back to
            // that size, which costs less than any spacer; its spacer may then widen for the rest.
            const Constraint& e = layout.constraints[i];
            const double asked = size_asked(e, axis.a1 - axis.a0);
            const bool keeps = !(roomy->sizes[i] < asked);
            const double raising = roomy->prices.price + raise_price(e);
            const double lacks = -tight.between - (side == 0 ? roomy->first_widens : roomy->last_widens);
            if (grows(e, layout.flex)) {
                holds[side] = *how;
            } else if (keeps && !exact && layout.flex == Flex::SpaceBetween &&
                       gaps_widen_for_less(roomy->prices.price, raising)) {
                spacers = TightSpacers(layout, axis.a1 - axis.a0, std::max(spacers.between, -roomy->sizes[i]));
                widened_for = std::min(widened_for, raise_price(e));
                widened = true;
            } else if (keeps && roomy->prices.of_spacer(side == 1) + kNeighboursMargin <= raising) {
                if (layout.flex == Flex::Center && (holds[0] != EndHold::none || holds[1] != EndHold::none)) continue;
                holds[side] = EndHold::spacer;
                spacer_held = true;
                // In Center the other end's spacer widens too: what it was raised by is worked out afresh.
                if (layout.flex == Flex::Center) raises[1 - side].clear();
            } else if (!keeps && asked < lacks && roomy->prices.of_spacer(side == 1) + kNeighboursMargin <= raising) {
                raise_to[side] = asked;
                back_to_asked[side] = true;
            } else {
                raise_to[side] = lacks;
            }
            more = true;
        }
        // Each end segment is raised by what its spacer's widening leaves short. In Center a spacer
        // held for one end widens the other's too: the other is then worked out afresh.
        for (std::size_t side = 0; side < 2; ++side) {
            if (!raise_to[side] || (layout.flex == Flex::Center && spacer_held)) continue;
            const std::size_t i = side == 0 ? 0 : n - 1;
            std::vector<Raise>& mine = raises[side];
            const auto r = std::find_if(mine.begin(), mine.end(), [&](const Raise& x) { return x.index == i; });
            if (r == mine.end())
                mine.push_back({i, *raise_to[side], 1});
            else
                r->size = *raise_to[side] + (back_to_asked[side] ? 0.0 : kGapSlack);
        }
        if (widened) {  // what was held for the wider overlap is worked out afresh
            holds = {EndHold::none, EndHold::none};
            raises = {};
        }
        if (more) continue;
        if (!rounds_as_solver(exact, n)) {
            const std::optional<bool> raised = raise_for_overlap(layout, axis, tight, *roomy, holds, raises, exact);
            if (!raised) return std::nullopt;
            if (*raised) continue;
        }
        if (widened_for < kRequired && !gaps_widen_for_less(roomy->prices.price, roomy->prices.price + widened_for))
            return std::nullopt;
        return direct_split(axis, tight, roomy->sizes, exact, roomy->first_widens, roomy->last_widens);
    }
    return std::nullopt;
}

// The spacers of a split whose Mins cannot all have their bounds, and whether its gaps hold
// against room worth `price` a unit to the Mins.
//
// The gaps keep the spacing, and give up room only as squeezing_gaps_costs_more says; but past the
// pairwise form's reach SpaceAround's gaps are squeezed further (gaps_squeeze), where room is worth
// more than they ask for it and less than kSpacerEq.
struct SqueezedGaps {
    const Layout& layout;
    const Axis& axis;
    TightSpacers spacers;
    bool around = false;       // SpaceAround, squeezed further
    double least_price = 0.0;  // where `around`: what room must be worth for that

    SqueezedGaps(const Layout& layout_, const Axis& axis_, bool exact)
        : layout(layout_), axis(axis_), spacers(layout_, axis_.a1 - axis_.a0, axis_.gap) {
        const std::optional<GapsSqueeze> squeeze = gaps_squeeze(layout, axis, exact);
        if (exact || !squeeze) return;
        around = true;
        spacers = TightSpacers(squeeze->outer, squeeze->between, spacers.rest + squeeze->room);
        least_price = squeeze->wish;
    }
    bool hold(double price) const {
        if (!around) return squeezing_gaps_costs_more(layout, axis.gap, price);
        return least_price + kNeighboursMargin <= price && price + kNeighboursMargin <= kSpacerEq;
    }
    // Whether an end's outer spacer widens to hold it against an overlap (not where SpaceAround's
    // gaps are squeezed together, nor in Center, whose spacers would widen together).
    bool spacer_widens(bool last) const {
        return !around && layout.flex != Flex::Center && end_hold(layout.flex, last) == EndHold::spacer;
    }
};

// What raising a growing segment costs its proportions, pairwise, in a split of given sizes: each
// unit takes it away from every growing segment at or below its ratio (size over scale) and
// toward every one above, 100 a unit for each unit of their scales; its growth gains 1000. So a
// unit costs 100·(2·B − (S − s)) − 1000, B the scales at or below it but its own, s its scale. That
// holds while it passes no other ratio. The ladder reads `sizes` as they stand: a segment raised
// since it was built is told to it (`moving`) before its size changes.
class RatioLadder {
public:
    RatioLadder(const Layout& layout, const std::vector<double>& sizes)
        : layout_(layout), sizes_(sizes), built_(sizes) {
        std::vector<std::pair<double, double>> rungs;  // (ratio, scale)
        for (std::size_t i = 0; i < sizes.size(); ++i)
            if (grows(layout.constraints[i], layout.flex)) rungs.emplace_back(ratio(i, sizes[i]), scale_of(layout.constraints[i]));
        std::sort(rungs.begin(), rungs.end());
        ratios_.reserve(rungs.size());
        below_.reserve(rungs.size() + 1);
        below_.push_back(0.0);
        for (const auto& [r, s] : rungs) {
            ratios_.push_back(r);
            below_.push_back(below_.back() + s);
        }
    }
    void moving(std::size_t i) {
        if (sizes_[i] == built_[i]) moved_.push_back(i);
    }
    double ratio(std::size_t i, double size) const noexcept { return size / scale_of(layout_.constraints[i]); }
    // The scales of the growing segments but i at ratios in (from, to].
    double scales_within(double from, double to, std::size_t i) const {
        const auto at_or_below = [&](double r) {
            return below_[static_cast<std::size_t>(std::upper_bound(ratios_.begin(), ratios_.end(), r) - ratios_.begin())];
        };
        double sum = at_or_below(to) - at_or_below(from);
        const auto in = [&](double r) { return from < r && r <= to; };
        const auto scale = [&](std::size_t j) { return scale_of(layout_.constraints[j]); };
        if (grows(layout_.constraints[i], layout_.flex) && in(ratio(i, built_[i]))) sum -= scale(i);
        for (const std::size_t j : moved_) {
            if (j == i) continue;
            if (in(ratio(j, built_[j]))) sum -= scale(j);
            if (in(ratio(j, sizes_[j]))) sum += scale(j);
        }
        return sum;
    }
    // What a unit of room raising segment i from its size costs, beside what it takes from others.
    double price(std::size_t i) const {
        const double s = scale_of(layout_.constraints[i]);
        const double below = scales_within(-std::numeric_limits<double>::infinity(), ratio(i, sizes_[i]), i);
        return kGrow * (2.0 * below - (below_.back() - s)) - kFillGrow;
    }

private:
    const Layout& layout_;
    const std::vector<double>& sizes_;
    std::vector<double> built_, ratios_, below_;
    std::vector<std::size_t> moved_;  // raised since the ladder was built
};

// With an overlap o, a segment at an end that gave up its room beside squeezed minimums leaves the
// boundary between it and its neighbour out of the area, by as much as it falls short of o; k such
// segments nearest the end, by k·o less what they hold together. Only those segments, the end's
// spacer and the gaps between them can hold those boundaries:
// - A segment, raised by what they fall short, costs the Mins the price of room λ (about 10⁸ a
//   unit) less its wish, at least 10⁴; a Fill, or a Min with no bound, which has none of the room,
//   costs λ less its growth, 1000, and more its proportions to the others, 100·(S − s) (S the sum
//   of the scales, s its own). The centre of the compact proportions, as a fill, moves every other
//   proportion as it rises (centre_raise_least); below its proportion to the centre, a fill at the
//   end rises toward it first, which gains it both.
// - The end's spacer, where it widens, costs λ less its growth, 100; in Center twice that, as both
//   widen alike. So it is taken only beside a Fill whose proportions ask more, and not in Center.
//   (Legacy holds its outer spacers empty, far above λ.)
// - The gap giving up its overlap costs 10⁸ a unit, and the room; SpaceBetween's gaps all giving up
//   some of theirs together cost λ for each unit of each.
// - SpaceAround's gaps, squeezed together (gaps_squeeze), give up their overlap together too, at λ
//   for each of the many inner gaps less the two ties' 2·10⁸; and its end spacer, widened, pulls
//   its tie to the inner gaps 2·10⁸ a unit further off. So there the end segment is raised, a Fill
//   too.
// Further in, each boundary out is held by the cheapest segments between it and the end (the
// nearest of equals), or the end's spacer where it widens for less: those that gave up their
// room, at λ less their wish, each up to the size it asks for, as raise_for_overlap does in a
// roomy split, or a Fill (or a Min with no bound) at its price pair by pair (RatioLadder), where
// no other comes near enough for the neighbours to tip it; past a few such fills, only segments
// whose wish is above anything a fill could cost. Where a
// Min below its bound lies between, moving room to it holds the boundary for far less, and the
// solver splits it; so too where a centre held at its bound (`held_centre`), from which the other
// Mins' proportions are measured, lies between: raising it would move them all. (A centre whose
// raise costs more than any segment that gave way asks, `centre_passed_over`, is passed over
// further in; at the end itself the solver splits it.) An end segment
// raised to the size it asks for and still short is raised past it, for λ and its wish (a Max its
// bound too), less than the gap asks; where its spacer widens (not in Center, where both would),
// the spacer takes the rest for less. The Mins share what is left (`share` gives every segment's
// size for the room they have, beside the raises so far); where that carries a boundary further
// in out of the area, the solver splits it too. Not within the pairwise form's reach.
template <typename Share>
std::optional<Split> split_raising_ends(const Layout& layout, const Axis& axis, const SqueezedGaps& gaps, bool exact,
                                        Share share, std::optional<std::size_t> held_centre = std::nullopt,
                                        bool centre_passed_over = false) {
    const TightSpacers& spacers = gaps.spacers;
    const std::size_t n = layout.constraints.size();
    const auto [scales, proportions_centre] = Proportions(layout);
    // The centre of the compact proportions where it grows as a fill, beside other growing
    // segments: raised, it moves their proportions too, and is priced so (centre_raise_least).
    const bool centre_fills = proportions_centre < n &&
                              acts_as_fill(layout.constraints[proportions_centre], layout.flex) &&
                              scales > scale_of(layout.constraints[proportions_centre]);
    const std::size_t fill_centre = centre_fills ? proportions_centre : n;
    Raises raises;
    std::array<double, 2> widened{0.0, 0.0};
    for (int pass = 0; pass < kHoldPasses; ++pass) {
        // (A segment that both ends would raise is left to the solver.)
        double taken = widened[0] + widened[1];
        std::vector<bool> seen(n, false);
        for (const auto& mine : raises)
            for (const Raise& r : mine) {
                if (seen[r.index]) return std::nullopt;
                seen[r.index] = true;
                taken += r.size;
            }
        std::vector<double> sizes = share(spacers.rest - taken, raises);
        for (const auto& mine : raises)
            for (const Raise& r : mine) sizes[r.index] = r.size;
        const std::vector<double> boundaries = direct_boundaries(axis, spacers, sizes, widened[0], widened[1]);
        if (inside_area(boundaries, axis.a0, axis.a1))
            return direct_split(axis, spacers, sizes, exact, widened[0], widened[1]);
        if (exact || !(axis.gap < 0.0) || n < 3) return std::nullopt;
        bool more = false;
        RatioLadder ladder(layout, sizes);
        // The fill centre's price of a unit, worked out again only once a growing segment has moved.
        std::optional<double> centre_cost;
        const auto centre_price = [&] {
            if (!centre_cost) centre_cost = centre_raise_least(layout, sizes, scales, fill_centre) - kFillGrow;
            return *centre_cost;
        };
        for (std::size_t side = 0; side < 2; ++side) {
            const FromEnd from_end{n, side};
            const bool spacer_widens = gaps.spacer_widens(side == 1);
            std::vector<Raise>& mine = raises[side];
            std::vector<std::size_t> place(n, 0);  // by segment: its place in `mine` plus one, 0: none
            for (std::size_t p = 0; p < mine.size(); ++p) place[mine[p].index] = p + 1;
            // Raises segment i by `amount`; false where that leaves what made it the cheapest.
            const auto raise_by = [&](std::size_t i, double amount, std::size_t k) {
                if (place[i] == 0) {
                    mine.push_back({i, sizes[i], k});
                    place[i] = mine.size();
                }
                Raise* const r = &mine[place[i] - 1];
                const double from = r->size;
                r->size += amount;
                r->reach = std::max(r->reach, k);
                const Constraint& c = layout.constraints[i];
                if (!grows(c, layout.flex)) return r->size <= size_asked(c, axis.a1 - axis.a0) + kGapSlack;
                ladder.moving(i);
                sizes[i] = r->size;
                centre_cost.reset();
                // A fill's price holds while it passes no other growing segment's ratio.
                return k == 1 || !(ladder.scales_within(ladder.ratio(i, from), ladder.ratio(i, r->size), i) > 0.0);
            };
            // What room segment i can still take: one that gave way up to what it asks for, a
            // fill any.
            const auto room_left = [&](std::size_t i) {
                const Constraint& c = layout.constraints[i];
                if (grows(c, layout.flex)) return kRequired;
                return size_asked(c, axis.a1 - axis.a0) - (place[i] == 0 ? sizes[i] : mine[place[i] - 1].size);
            };
            double made_up = 0.0;
            // Within reach: fills, and by wish (the strongest first) the segments that gave way,
            // the nearest first.
            bool past_room = false;  // a Min below its bound lies within reach
            bool centre_within = false;  // the fill centre lies within reach
            std::vector<std::size_t> fills;
            std::array<std::vector<std::size_t>, kYielding.size()> gave_way;
            std::array<std::size_t, kYielding.size()> open{};  // the first of each with room left
            // The segment within reach to raise next; n where none is known to be the cheapest, and
            // kSpacerRaise where the end's spacer, widened further, is.
            const auto cheapest = [&]() {
                // The strongest wish with room left, the nearest.
                std::size_t raised = n;
                double price = kRequired;
                for (std::size_t w = 0; w < kYielding.size() && raised == n; ++w) {
                    while (open[w] < gave_way[w].size() && !(room_left(gave_way[w][open[w]]) > 0.0)) ++open[w];
                    if (open[w] == gave_way[w].size()) continue;
                    raised = gave_way[w][open[w]];
                    price = -kYielding[w];
                }
                // Past a few fills, any of them could cost as little as λ less its growth and
                // its proportions to every other growing segment.
                if (fills.size() > kFillsPriced)
                    return price + kNeighboursMargin <= -kFillGrow - kGrow * scales ? raised : n;
                // Else the cheapest of all, where none other comes so near that the neighbours
                // could tip it (equal wishes are a tie).
                TwoLeast<std::size_t> least{price, kRequired, raised};
                for (const std::size_t f : fills) least.offer(ladder.price(f), f);
                if (centre_within) least.offer(centre_price(), fill_centre);
                if (spacer_widens) least.offer(-kGrow, kSpacerRaise);
                return least.next < least.least + kNeighboursMargin ? n : least.key;
            };
            for (std::size_t k = 1; k < n; ++k) {
                const std::size_t j = from_end.segment(k - 1);
                const Constraint& c = layout.constraints[j];
                const bool centre = j == held_centre;
                const bool short_minimum = c.kind == Constraint::Kind::Min && sizes[j] < min_bound(c);
                if (short_minimum || (centre && !(centre_passed_over && k > 1))) {
                    past_room = true;
                } else if (j == fill_centre && !centre) {
                    centre_within = true;
                } else if (acts_as_fill(c, layout.flex) && !centre) {
                    fills.push_back(j);
                } else if (!grows(c, layout.flex) && gives_way(c, kMinGe)) {
                    const auto w = std::find(kYielding.begin(), kYielding.end(), wish_of(c));
                    if (w != kYielding.end()) gave_way[static_cast<std::size_t>(w - kYielding.begin())].push_back(j);
                }
                const double v = boundaries[from_end.boundary(k)];
                const double out = (side == 0 ? axis.a0 - v : v - axis.a1) - made_up;
                if (inside_area(v, axis.a0, axis.a1) || !(out > 0.0)) {
                    if (2 * k > n) break;
                    continue;
                }
                // Room moved to that Min from the others holds the boundary for far less.
                if (past_room) return std::nullopt;
                double need = out + kGapSlack;
                more = true;
                made_up += need;
                if ((centre_within || !fills.empty()) && !(2.0 * kGrow * scales + kNeighboursMargin <= kMinGe))
                    return std::nullopt;
                if (k == 1 && centre_within) {
                    // The centre at the end: raised, or its spacer widened where raising it would
                    // cost more.
                    const double raising = centre_price();
                    if (!spacer_widens || raising + kNeighboursMargin <= -kGrow) {
                        if (!raise_by(j, need, k)) return std::nullopt;
                    } else if (-kGrow + kNeighboursMargin <= raising) {
                        widened[side] += need;
                    } else {
                        return std::nullopt;
                    }
                    continue;
                }
                if (k == 1 && !fills.empty()) {
                    // A Fill at the end: raised, or the spacer beside it widened where its
                    // proportions ask more than its growth. Below its proportion to the centre (one
                    // raised at the other end), it first rises toward it, which gains it both.
                    const double line = scale_of(c) * sizes[proportions_centre] /
                                        scale_of(layout.constraints[proportions_centre]);
                    if (spacer_widens && line - sizes[j] > kGapSlack) {
                        const double rise = std::min(need, line - sizes[j]);
                        if (!raise_by(j, rise, k)) return std::nullopt;
                        need -= rise;
                        if (!(need > 0.0)) continue;
                    }
                    if (!spacer_widens) {
                        if (!raise_by(j, need, k)) return std::nullopt;
                    } else if (kFillGrow - kGrow + kNeighboursMargin <= kGrow * (scales - scale_of(c))) {
                        widened[side] += need;
                    } else {
                        return std::nullopt;
                    }
                    continue;
                }
                while (need > 0.0) {
                    const std::size_t raised = cheapest();
                    if (raised == kSpacerRaise) {
                        widened[side] += need;
                        break;
                    }
                    if (raised == n) {
                        // Only the end segment and its spacer hold the boundary beside the end. Past
                        // the size it asks for, the segment costs λ and its wish a unit (a Max its
                        // bound too), less than the gap asks; the spacer, where it widens, λ less
                        // its growth.
                        if (k != 1 || layout.flex == Flex::Center || grows(c, layout.flex) ||
                            !gives_way(c, kMinGe) || !(raise_price(c) + kNeighboursMargin <= kSpacerEq))
                            return std::nullopt;
                        if (spacer_widens) widened[side] += need;
                        else raise_by(j, need, k);  // past its size
                        break;
                    }
                    const double take = std::min(need, room_left(raised));
                    if (!raise_by(raised, take, k)) return std::nullopt;
                    need -= take;
                }
            }
        }
        if (!more) return std::nullopt;
    }
    return std::nullopt;
}

// Where as many Mins are held below the free ones' share as there are free ones (the centre
// among them), their pull on the centre ties with the free ones' hold: the compact proportions ask
// nothing of a centre that falls by d while the others take its room, each rising by anything
// down to −d, and the neighbours' ties decide. The Mins held and the segments that gave up their
// room stand still below the share, so with y_u = Δ_u + d ≥ 0 for each free u (0 for the centre),
// summing to A·d (A the free Mins), the ties change by Σ y_u·L_u − d·L plus the free ones' steps,
// L_u being u's neighbours that are not free, and L their sum. Spread over a run of free ones
// apart from the centre (which stands still in y, as its other neighbours do), y costs its edges
// out of the run, E, for m·y: at least d·(A·min E/m − L) in all. Where that is not below nothing,
// the centre keeps the share. (No fills: they pull the centre down on their own.)
bool ties_hold_centre(const Layout& layout, const std::vector<double>& sizes, std::size_t centre, double share) {
    const std::size_t n = sizes.size();
    const auto is_free = [&](std::size_t i) {
        const Constraint& c = layout.constraints[i];
        return c.kind == Constraint::Kind::Min && sizes[i] == share && min_bound(c) > share;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (!is_free(i) && !(sizes[i] < share)) return false;
    double free = 0.0, edges_out = 0.0, least_rate = kRequired;
    // The runs of free ones apart from the centre: each edge out of one ends on a segment that is
    // not free, or on the centre.
    const auto apart = [&](std::size_t i) { return is_free(i) && i != centre; };
    for_each_run(n, apart, [&](std::size_t first, std::size_t last) {
        double edges = 0.0;
        for (const std::size_t j : {first - 1, last}) {
            if (j >= n) continue;
            edges += 1.0;
            if (j != centre) edges_out += 1.0;
        }
        const auto m = static_cast<double>(last - first);
        free += m;
        least_rate = std::min(least_rate, edges / m);
    });
    // The centre's own neighbours that are not free.
    for (const std::size_t j : {centre - 1, centre + 1})
        if (j < n && !is_free(j)) edges_out += 1.0;
    return (free + 1.0) * least_rate + 1e-9 >= edges_out;
}

// Minimums squeezed. Where every growing segment is a Min (outside Legacy) and the room the gaps
// leave cannot meet their bounds even all together, the bounds set the price of room at 10⁸ a
// unit, above every wish but the gaps': every segment that does not grow gives up its room, and
// the Mins share it. They take equal sizes, as their proportions ask, but none above its bound
// (nor below nothing). Moving room between the Mins below their bounds costs their proportions
// at least 2w per unit, w = 100·(N − 1) the strength of each compact proportion among N Mins,
// and gains the neighbours at most 4. A Min at its bound pulls the centre down with w, which the
// free ones hold: with C Mins at their bounds and F free, the pull on each is C·w/F, which must
// stay below w. Within the pairwise form's reach no Min may be at its bound: the split is then the
// only best one.
// Where the centre (the first Min) is itself held at its bound, every Min at or above that bound
// measures its proportion from it, and room moved between them costs the proportions nothing:
// the Mins below it keep their bounds, the others take anything from the centre's bound up to
// their own, and the neighbours decide (share_evenly). The Mins above hold the centre up against
// those below, as above; one held at nothing cannot go lower.
// Fills beside them, none the centre (so none of a scale above 1, nor one before the first Min),
// have none of the room: a unit would gain a fill its growth, 1000, and its proportion to the
// centre, 100·(S − s) (S the scales summed, s its own), where it costs a Min 10⁸. Each pulls the
// centre down as a Min at its bound does, with 100·(S − s)·s, and w is then 100·(S − 1). Not with an
// overlap: a fill below its proportion would be raised at an end for less than split_raising_ends
// prices it.
std::optional<Split> solve_squeezed_minimums(const Layout& layout, Rect area, bool exact) {
    if (layout.flex == Flex::Legacy) return std::nullopt;
    const Axis axis(layout, area);
    const SqueezedGaps gaps(layout, axis, exact);
    const TightSpacers& spacers = gaps.spacers;
    if (!(spacers.rest >= 0.0)) return std::nullopt;
    const std::size_t n = layout.constraints.size();
    // The Mins, and the most each can take: its bound, if any.
    Caps caps;
    const auto [scales, centre] = Proportions(layout);
    double bounds = 0.0, fills_pull = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (c.kind == Constraint::Kind::Fill) {
            const double s = scale_of(c);
            if (i == centre || axis.gap < 0.0 || !(kFillGrow + kGrow * (scales - s) + kNeighboursMargin <= kMinGe))
                return std::nullopt;
            fills_pull += kGrow * (scales - s) * s;
            continue;
        }
        if (c.kind != Constraint::Kind::Min) continue;
        const double cap = std::max(min_bound(c), 0.0);
        caps.emplace_back(cap, i);
        bounds += cap;
    }
    if (caps.empty() || !(bounds > spacers.rest)) return std::nullopt;
    const auto [held, share] = share_up_to_bounds(caps, spacers.rest);
    if (!gaps.hold(kMinGe + kFillGrow)) return std::nullopt;
    const auto held_caps = std::span(caps).first(held);
    const auto centre_cap =
        std::find_if(held_caps.begin(), held_caps.end(), [&](const auto& c) { return c.second == centre; });
    const bool centre_held = centre_cap != held_caps.end();
    if (held > 0 || fills_pull > 0.0) {
        if (exact && held > 0) return std::nullopt;
        // What pulls the centre down (the Mins below it, the fills), against what holds it up (the
        // Mins at or above it: one held at a bound that is the share itself pulls nothing). A
        // centre held at no room cannot go lower.
        const double level = centre_held ? centre_cap->first : share;
        const double below = static_cast<double>(
            std::count_if(held_caps.begin(), held_caps.end(), [&](const auto& c) { return c.first < level; }));
        const double above = static_cast<double>(caps.size()) - below - (centre_held ? 1.0 : 0.0);
        const double w = kGrow * (scales - 1.0);
        constexpr double kMargin = 4.0;  // the neighbours' share, twice over
        // In an exact tie the neighbours decide (ties_hold_centre).
        const auto tie_held = [&] {
            return !exact && !centre_held && fills_pull == 0.0 && below == above && !(axis.gap < 0.0) &&
                   ties_hold_centre(layout, sizes_up_to_bounds(n, caps, spacers.rest), centre, share);
        };
        if ((!centre_held || centre_cap->first > 0.0) && !((below * w + fills_pull) / above + kMargin <= w) &&
            !tie_held())
            return std::nullopt;
    }
    if (!centre_held)
        return split_raising_ends(layout, axis, gaps, exact, [&](double room, const Raises&) {
            return sizes_up_to_bounds(n, caps, room);
        });
    // The centre held at its bound: the Mins below it keep theirs, each unit one gave up moving it
    // further off; the others share the rest as evenly as the row allows.
    const double top = centre_cap->first;
    std::vector<RowPlace> row(n, RowPlace{0.0, false});
    for (const auto& [bound, i] : caps)
        row[i] = bound < top || i == centre ? RowPlace{bound, false} : RowPlace{bound, true, top};
    double fixed = 0.0;
    for (const RowPlace& p : row)
        if (!p.free) fixed += p.size;
    return split_raising_ends(layout, axis, gaps, exact, [&](double room, const Raises& raises) {
        std::vector<RowPlace> raised = row;
        room -= fixed;
        for (const auto& mine : raises)
            for (const Raise& r : mine) {
                if (!row[r.index].free) room += row[r.index].size;  // taken with the raise
                raised[r.index] = {r.size, false};
            }
        return share_evenly(raised, room);
    }, centre);
}

// Minimums squeezed beside fills: the Mins' bounds exceed the room the gaps leave, as above, but
// beside them are Fill segments, with one of them the centre of the compact proportions; or, in
// Legacy, Mins beside anything. Every segment but the Mins gives up its room, and the Mins share
// it in any way that keeps each within its bound: each unit of room is worth its bound's 10⁸ to
// any Min, less (outside Legacy) the 100·(S − 1) by which it moves the Min off its proportion to
// the empty centre, S the sum of the scales; in Legacy more, the 10⁴ of its size. That price λ is
// far above every wish but the gaps', so every other segment gives up its room:
// - A segment that does not grow asks at most 10⁷ a unit.
// - A Fill, or a Min with no bound, gains 1000 a unit and loses at least 100·(S − s) to its
//   proportion, s its scale.
// - The centre gains 1000 a unit, and 100·(S − 1)/s_c from each Min's proportion that it meets;
//   it loses 100·(S − s_j)·s_j/s_c to each other Fill's, which it leaves, and as much to each
//   empty Min's.
// Each must fall short of λ, together with the neighbours' 2. Every unit of room costs the Mins
// alike, so the neighbours decide how they share it: where each Min that takes room sits between
// two empty segments, each unit it takes costs them 2 whichever Min takes it, and the Mins share
// it in equal parts, none above its bound, as one of many best splits. Mins side by side or at an
// end of the row take it as evenly as the row allows (share_evenly). Within the pairwise form's
// reach, never.
std::optional<Split> solve_squeezed_beside_fills(const Layout& layout, Rect area, bool exact) {
    if (exact) return std::nullopt;
    const bool legacy = layout.flex == Flex::Legacy;
    const Axis axis(layout, area);
    const SqueezedGaps gaps(layout, axis, exact);
    const TightSpacers& spacers = gaps.spacers;
    if (!(spacers.rest >= 0.0)) return std::nullopt;
    const std::size_t n = layout.constraints.size();
    const auto takes_room = [&](std::size_t i) {
        const Constraint& c = layout.constraints[i];
        return c.kind == Constraint::Kind::Min && min_bound(c) > 0.0;
    };
    Caps caps;  // the Mins with a bound
    double bounds = 0.0, smallest = kRequired, strongest_wish = 0.0;
    std::size_t empty_minimums = 0;
    bool apart = true;  // every Min that takes room has a neighbour on each side that takes none
    const auto [scales, centre] = Proportions(layout);
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (takes_room(i)) {
            apart = apart && (legacy || (i > 0 && i + 1 < n && !takes_room(i - 1)));
            caps.emplace_back(min_bound(c), i);
            bounds += min_bound(c);
        } else if (c.kind == Constraint::Kind::Min && !legacy) {
            ++empty_minimums;
        } else if (c.kind != Constraint::Kind::Fill) {
            strongest_wish = std::max(strongest_wish, wish_of(c));
        }
    }
    if (caps.empty() || !(bounds > spacers.rest)) return std::nullopt;
    double price = kMinGe + kMinEq;
    if (!legacy) {
        if (centre == n || layout.constraints[centre].kind != Constraint::Kind::Fill) return std::nullopt;
        const double centre_scale = scale_of(layout.constraints[centre]);
        price = kMinGe + kFillGrow - kGrow * (scales - 1.0);
        // The centre: what the Mins' proportions pull, against what the others' hold.
        double held_back = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const Constraint& c = layout.constraints[i];
            if (i == centre || !grows(c, layout.flex)) continue;
            smallest = std::min(smallest, scale_of(c));
            if (c.kind == Constraint::Kind::Fill) held_back += kGrow * (scales - scale_of(c)) * scale_of(c);
        }
        const double each_minimum = kGrow * (scales - 1.0);
        const double takers = spacers.rest > 0.0 ? static_cast<double>(caps.size()) : 0.0;
        held_back += each_minimum * (static_cast<double>(empty_minimums) - takers);
        if (!(kFillGrow + kGrow * (scales - smallest) + kNeighboursMargin <= price &&
              kFillGrow + kNeighboursMargin <= price + held_back / centre_scale))
            return std::nullopt;
    }
    if (!(strongest_wish + kNeighboursMargin <= price) ||
        !gaps.hold(price + kNeighboursMargin))
        return std::nullopt;
    std::vector<RowPlace> row(n, RowPlace{0.0, false});
    for (const auto& [bound, i] : caps) row[i] = {bound, true};
    return split_raising_ends(layout, axis, gaps, false, [&](double room, const Raises& raises) {
        bool inner = false;  // a raise beside a Min that takes room: the neighbours then decide
        for (const auto& mine : raises)
            for (const Raise& r : mine) {
                row[r.index] = {r.size, false};
                inner = inner || (r.index > 0 && row[r.index - 1].free) || (r.index + 1 < n && row[r.index + 1].free);
            }
        return apart && !inner ? sizes_up_to_bounds(n, caps, room) : share_evenly(row, room);
    });
}

// Minimums squeezed in proportion to a Fill. Past the pairwise form's reach the proportions are
// measured from the centre, the growing segment of the largest scale s_c, each Min's weighed
// w = 100·(S − 1) a unit (S the sum of the scales). Where the centre is a Fill and the K Mins
// cannot all reach their bounds, room given to a Min gains its bound 10⁸ a unit; room taken from
// the centre for it also moves every Min's target down by 1/s_c, which costs their proportions
// w·(K/s_c + 1). Where that is more (solve_squeezed_beside_fills takes the rows where it is less,
// and the centre is empty), the centre and the Mins keep every proportion between them, sharing the
// room by their scales: moving room between them costs nothing but proportions missed, bounds that
// cancel and the neighbours' ties. Only where every Min's bound is at or above its share, for
// moving room from a Min above its bound to one below gains 10⁸ for 2w.
// Any other Fill (scale s, its proportion weighed w_f = 100·(S − s)) is empty: moved to it, a unit
// would gain it w_f and cost a Min 10⁸. Its proportion to the centre eases as the centre shrinks,
// by w_f·s/s_c a unit, which the centre's w·(K/s_c + 1) must outweigh with 10⁸ still; and room
// moved from the centre to it gains it w_f with the rest, which takes w + w_f below 10⁸.
// A unit of room is then worth λ = 10⁸ and a Min's growth less its proportion's w or more (given to
// one Min), and 10⁸ and the growth at most: every segment that does not grow gives up its room
// (wishes of 10⁷ at most), and the gaps keep the spacing, as they ask more. An end held against an
// overlap is held as split_raising_ends holds it beside squeezed minimums (but for an empty Fill at
// an end whose spacer widens, which it prices as if the centre were empty). The centre is passed
// over there: room moved to it costs the Mins' bounds 10⁸ a unit and their proportions more than
// that again, where raising a segment that gave way costs λ less its wish. Where a Min lies within
// an end's reach, or the centre is the end segment, the solver splits it.
std::optional<Split> solve_squeezed_in_proportion(const Layout& layout, Rect area, bool exact) {
    if (exact || layout.flex == Flex::Legacy) return std::nullopt;
    const std::size_t n = layout.constraints.size();
    const auto [scales, centre] = Proportions(layout);
    if (centre == n || layout.constraints[centre].kind != Constraint::Kind::Fill) return std::nullopt;
    const double centre_scale = scale_of(layout.constraints[centre]), each_minimum = kGrow * (scales - 1.0);
    const double least_price = kMinGe + kFillGrow - each_minimum, most_price = kMinGe + kFillGrow;
    double minimums = 0.0, least_bound = kRequired, fills_eased = 0.0, strongest_fill = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (i == centre) continue;
        if (c.kind == Constraint::Kind::Fill) {
            const double w = kGrow * (scales - scale_of(c));
            fills_eased += w * scale_of(c);
            strongest_fill = std::max(strongest_fill, w);
        } else if (c.kind == Constraint::Kind::Min) {
            minimums += 1.0;
            least_bound = std::min(least_bound, min_bound(c));
        } else if (!(wish_of(c) + kNeighboursMargin <= least_price)) {
            return std::nullopt;
        }
    }
    const double held = each_minimum * (minimums / centre_scale + 1.0) - fills_eased / centre_scale;
    if (!(minimums > 0.0) || !(kMinGe + kNeighboursMargin <= held) ||
        !(each_minimum + strongest_fill + kNeighboursMargin <= kMinGe))
        return std::nullopt;
    const Axis axis(layout, area);
    const SqueezedGaps squeezed(layout, axis, false), kept(layout, axis, true);
    const auto holds = [&](const SqueezedGaps& g) {
        return g.hold(least_price) && g.hold(most_price + kNeighboursMargin);
    };
    const SqueezedGaps& gaps = squeezed.around && holds(squeezed) ? squeezed : kept;
    const double sharing = centre_scale + minimums;  // the scales of the centre and the Mins
    if (!holds(gaps) || !(gaps.spacers.rest > 0.0) || !(least_bound >= gaps.spacers.rest / sharing))
        return std::nullopt;
    // An empty Fill at an end whose spacer widens for an overlap would first be raised toward its
    // proportion, which gains it w_f where the spacer gains 100: split_raising_ends widens it.
    if (axis.gap < 0.0)
        for (const bool last : {false, true}) {
            const std::size_t end = last ? n - 1 : 0;
            if (end != centre && layout.constraints[end].kind == Constraint::Kind::Fill && gaps.spacer_widens(last))
                return std::nullopt;
        }
    return split_raising_ends(
        layout, axis, gaps, false,
        [&](double room, const Raises& raises) {
            std::vector<double> sizes(n, 0.0);
            for (std::size_t i = 0; i < n; ++i) {
                const Constraint& c = layout.constraints[i];
                if (i == centre || c.kind == Constraint::Kind::Min) sizes[i] = room * scale_of(c) / sharing;
            }
            for (const auto& mine : raises)
                for (const Raise& r : mine) sizes[r.index] = r.size;
            return sizes;
        },
        centre, true);
}

// Room below a held centre. Past the pairwise form's reach the proportions are reckoned from the
// first growing segment; where every growing segment has a scale of 1 and that one is a Min whose
// bound B is above what the others would share, it is held at B, and each other one below B
// gains its growth, 1000, and its proportion's w = 100·(S − 1) for every unit it takes (S the
// sum of the scales): moving room between them costs nothing but the neighbours' ties, so they
// share it as evenly as the row allows (share_evenly), each from its own bound (nothing for a
// Fill) up to B. A Min whose bound is at or above B keeps its bound. Each segment that does not
// grow gives up its room where its wish falls short of that price λ = 1000 + w, and keeps the
// size it asks for where it is above it. The centre stays at B: raised, it would leave every one
// below and at B further off, and come nearer only those held above it, which must be fewer. The
// gaps keep the spacing where giving it up costs more than λ, and SpaceAround's are squeezed
// together where that costs less (SqueezedGaps). Only where every boundary falls inside the area,
// and the growing segments below B cannot all reach it.
std::optional<Split> solve_below_held_centre(const Layout& layout, Rect area, bool exact) {
    if (exact || layout.flex == Flex::Legacy) return std::nullopt;
    const std::size_t n = layout.constraints.size();
    const auto [scales, centre] = Proportions(layout);
    if (centre == n || layout.constraints[centre].kind != Constraint::Kind::Min) return std::nullopt;
    const double top = min_bound(layout.constraints[centre]), price = kFillGrow + kGrow * (scales - 1.0);
    if (!(top > 0.0)) return std::nullopt;
    const Axis axis(layout, area);
    const SqueezedGaps squeezed(layout, axis, false), kept(layout, axis, true);
    const SqueezedGaps& gaps = squeezed.around && squeezed.hold(price + kNeighboursMargin) ? squeezed : kept;
    if (!gaps.hold(price + kNeighboursMargin)) return std::nullopt;
    const double whole = axis.a1 - axis.a0;
    std::vector<RowPlace> row(n, RowPlace{0.0, false});
    double room = gaps.spacers.rest, least = 0.0, free = 0.0, above = 0.0, at_or_below = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = layout.constraints[i];
        if (i == centre) {
            row[i] = {top, false};
        } else if (grows(c, layout.flex)) {
            if (scale_of(c) != 1.0) return std::nullopt;
            const double bound = c.kind == Constraint::Kind::Min ? std::max(min_bound(c), 0.0) : 0.0;
            if (bound >= top) {
                row[i] = {bound, false};
                (bound > top ? above : at_or_below) += 1.0;
            } else {
                row[i] = {top, true, bound};
                least += bound;
                free += 1.0;
                at_or_below += 1.0;
            }
        } else if (wish_of(c) >= price + kNeighboursMargin) {
            row[i] = {size_asked(c, whole), false};
        } else if (!(wish_of(c) + kNeighboursMargin <= price)) {
            return std::nullopt;
        }
    }
    for (const RowPlace& p : row)
        if (!p.free) room -= p.size;
    if (!(free > 0.0 && room >= least && room < top * free) || !(above + 1.0 <= at_or_below)) return std::nullopt;
    return direct_split(axis, gaps.spacers, share_evenly(row, room), false);
}

// Legacy, where nothing grows (no Fill; its Mins do not grow), past 64 segments. With no
// neighbours and no spacer that grows, room goes wherever it costs least:
// - Room to spare goes to the kind that asks least for growing: a Min (10⁴ a unit), then a Ratio,
//   a Percentage, a Length, a Max (its bound's 10⁸ and its size's 10⁴).
// - Room short is given up by the kind that asks least for keeping it: a Max (10⁴), then Ratio,
//   Percentage and Length, then a Min below its bound (10⁸ and 10⁴), each down to nothing.
// The gaps hold the spacing with more than any of these (a little over 10⁸), and the outer
// spacers stay empty with more still.
// Between segments of one kind the price is the same, and the solver's order picks. Past 64
// segments it poses the split from the area's end, and it picks as Legacy is known to: the last
// segment of the kind takes the room over, and the last ones give theirs up first. (Within 64 its
// order is not always the segments' own, so those splits stay with it; they are quick.)
// With an overlap, each gives up its room only down to what keeps the boundaries before it inside
// the area (give_up_in_turn). The solver splits it where the segments cannot give up enough, where
// a boundary further back holds a segment and another between them could give up the room instead,
// where a segment of the kind that takes the room over asks for nothing (its order differs
// there), and where a kind gives up part of its room after a cheaper kind gave up some, less
// than the segments that keep their room for more after its first member ask for: without them
// it would keep all of it, and what they take from it the solver takes from other members than
// the last. So does a Min of 32,768 or more: it has no bound, and would give up its room at a Max's
// price.
std::optional<Split> solve_legacy_in_turn(const Layout& layout, Rect area, bool exact) {
    const std::vector<Constraint>& cs = layout.constraints;
    const std::size_t n = cs.size();
    if (layout.flex != Flex::Legacy || n <= kPairedUpTo) return std::nullopt;
    const Axis axis(layout, area);
    const TightSpacers spacers(layout, axis.a1 - axis.a0, axis.gap);
    const auto keep_price = [](const Constraint& c) {
        return c.kind == Constraint::Kind::Min ? kMinGe + kMinEq : wish_of(c);
    };
    std::vector<double> sizes(n);
    double rest = spacers.rest;
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = cs[i];
        if (c.kind == Constraint::Kind::Fill || (c.kind == Constraint::Kind::Min && min_bound(c) < c.value * kCellScale))
            return std::nullopt;
        sizes[i] = size_asked(c, axis.a1 - axis.a0);
        rest -= sizes[i];
    }
    if (rest > 0.0) {
        double cheapest = kRequired;
        for (const Constraint& c : cs) cheapest = std::min(cheapest, raise_price(c));
        std::size_t taker = n;
        for (std::size_t i = n; i-- > 0;) {
            if (raise_price(cs[i]) != cheapest) continue;
            if (!(sizes[i] > 0.0)) return std::nullopt;
            if (taker == n) taker = i;
        }
        sizes[taker] += rest;
        rest = 0.0;
    }
    // The kinds give way in order of price, each from its last segment back (give_up_in_turn).
    std::vector<double> prices;
    for (const Constraint& c : cs) prices.push_back(keep_price(c));
    std::sort(prices.begin(), prices.end());
    prices.erase(std::unique(prices.begin(), prices.end()), prices.end());
    const double overlap = std::max(-axis.gap, 0.0);
    bool cheaper_gave = false;  // a kind that keeps its room for less gave some up
    for (const double price : prices) {
        const auto member = [&](std::size_t i) { return keep_price(cs[i]) == price; };
        // What the kind holds, and what the dearer segments after its first member ask for.
        double held = 0.0, dearer = 0.0;
        bool seen = false;
        for (std::size_t i = 0; i < n; ++i) {
            if (member(i)) held += sizes[i];
            if (seen && keep_price(cs[i]) > price) dearer += sizes[i];
            seen = seen || member(i);
        }
        const std::optional<double> left = give_up_in_turn(sizes, -rest, overlap, exact, [&](std::size_t i) {
            return member(i) ? std::optional<double>(0.0) : std::nullopt;
        });
        if (!left) return std::nullopt;
        const double given = -rest - *left;
        // (A part taken by the dearer segments after a cheaper kind gave way: see above.)
        if (exact && cheaper_gave && given > kGapSlack && given < held - kGapSlack && given < dearer - kGapSlack)
            return std::nullopt;
        cheaper_gave = cheaper_gave || given > kGapSlack;
        rest = -*left;
    }
    if (rest < 0.0) return std::nullopt;
    return direct_split(axis, spacers, sizes, exact);
}

// A row of segments of one kind that does not grow, overlapping by o, each asking for less than
// o, in Start, End or Center. Laid end to end, each segment starts before the one before it, and
// the row runs out of the area. The gaps hold the overlap and the anchored spacers stay empty, for
// more than a unit of raise costs a segment (c: its wish, and a Max's bound on top), so the row
// is held inside by raising segments, at c a unit; a unit of a growing outer spacer's room is
// worth 100.
// - Start: every start stays at or after the first, so the raises before segment k come to at
//   least what the k segments before it fall short of o, and the last start lies that far inside.
//   The least raise puts the last segment at the start too, unraised: the spacer after it then has
//   the most room, or the last segment itself where it grows. Of the splits raised that much, the
//   segments' ties to their neighbours' sizes (1 a unit) pick the one raising each segment but the
//   last to o: in any other some segment is above o and a later one below it, and the sizes step
//   by more. Every segment starts where the first does. The first segment can be of another kind
//   that costs at least c a unit to raise: raising it past o would only spare the others' raises
//   at c. The last can be of any kind: it keeps the size it asks for where that fits, and grows
//   over the whole area.
// - End: the mirror image; every segment ends where the last does.
// - Center, where the segments are alike, each asking for L: the outer spacers are equal, and each
//   grows. Both are widest, W − L, with the first segment at the end of the area and the last at
//   its start, each of size L (neither can be raised without one of them narrowing). The middle
//   ones are raised to share what is left, and their ties pick equal sizes m = o − (W − o)/(n − 2);
//   only while m is at least L, else the middle ones give up room instead.
// That is each split's only best one. Not where the area is narrower than the overlap: a raised
// segment would not fit.
std::optional<Split> solve_overlapping_alike(const Layout& layout, Rect area, bool exact) {
    const std::vector<Constraint>& cs = layout.constraints;
    const std::size_t n = cs.size();
    const Flex flex = layout.flex;
    if (!(flex == Flex::Start || flex == Flex::End || flex == Flex::Center) || n < 3) return std::nullopt;
    const Constraint& row = cs[1];  // of the kind of the row
    if (grows(row, flex)) return std::nullopt;
    const Axis axis(layout, area);
    const double whole = axis.a1 - axis.a0, overlap = -axis.gap;
    if (!(overlap > 0.0 && overlap <= whole)) return std::nullopt;
    const bool ends_apart = flex != Flex::Center;  // may be of other kinds
    const std::size_t far = flex == Flex::End ? 0 : n - 1;  // the segment left unraised
    const std::size_t near = n - 1 - far;                    // the first one raised
    std::vector<double> sizes(n, overlap);
    for (std::size_t i = 0; i < n; ++i) {
        const Constraint& c = cs[i];
        const double asked = size_asked(c, whole);
        if (ends_apart && i == far) {
            sizes[i] = grows(c, flex) ? whole : asked;
            if (!(sizes[i] <= whole)) return std::nullopt;
            continue;
        }
        const bool alike = ends_apart ? c.kind == row.kind : c == row;
        const bool dearer = ends_apart && i == near && !grows(c, flex) && raise_price(c) >= raise_price(row);
        if (!(alike || dearer) || !(asked < overlap)) return std::nullopt;
    }
    const TightSpacers spacers(layout, whole, axis.gap);
    if (flex == Flex::Start) return direct_split(axis, spacers, sizes, exact, 0.0, whole - sizes.back());
    if (flex == Flex::End) return direct_split(axis, spacers, sizes, exact, whole - sizes.front(), 0.0);
    const double asked = size_asked(row, whole);
    const double middle = overlap - (whole - overlap) / static_cast<double>(n - 2);
    if (!(middle >= asked)) return std::nullopt;
    std::fill(sizes.begin() + 1, sizes.end() - 1, middle);
    sizes.front() = sizes.back() = asked;
    return direct_split(axis, spacers, sizes, exact, whole - asked, whole - asked);
}

// Gaps that do not fit. Where the gaps alone, at the spacing, ask for the whole area or more, each
// unit of room is worth the gaps' strength, kSpacerEq, to any of them: more than any segment asks
// for it (a Min's bound 10⁸, with its growth 1000, or in Legacy its size 10⁴), by far more than the
// neighbours could tip. Every segment gives up its room, which leaves every proportion met, and the
// gaps share the area; the outer spacers that are not gaps are empty. The Space* modes make their
// gaps equal; elsewhere any sharing is a best one, and they share it alike, so only past the
// pairwise form's reach. SpaceAround's gaps first come down together, the inner ones to the
// spacing and the outer ones to half of it (gaps_squeeze), for less: only below that does each
// fall short of the spacing, and with every one short, the shortfall is the same however they
// share the area, so the ties share it, each inner gap twice an outer one.
std::optional<Split> solve_crowded_gaps(const Layout& layout, Rect area, bool exact) {
    const Axis axis(layout, area);
    const std::size_t n = layout.constraints.size();
    if (!(axis.gap > 0.0) || n < 2) return std::nullopt;
    if (exact && !makes_gaps_equal(layout.flex)) return std::nullopt;
    const double whole = axis.a1 - axis.a0;
    const bool crowded = layout.flex == Flex::SpaceAround ? whole <= static_cast<double>(n) * axis.gap
                                                          : !(TightSpacers(layout, whole, axis.gap).rest > 0.0);
    if (!crowded) return std::nullopt;
    return direct_split(axis, shared_by_gaps(layout.flex, n, whole), std::vector<double>(n, 0.0), exact);
}

// The incremental solvers' forms in turn, from the chained form (where `chained`) to the compact.
std::optional<Split> solve_by_solvers(const Layout& layout, Rect area, bool paired, bool chained, Tally& tally) {
    const Axis axis(layout, area);
    const std::size_t n = layout.constraints.size();
    if (chained && paired)
        if (auto split = solve_chained(layout, area, tally)) return split;
    if (paired) {
        auto split = uses_size_solver(layout.flex)
                         ? solve_in_form<SizeBuilder>(layout, area, Form::Pairwise, false, tally)
                         : solve_in_form<BoundaryBuilder>(layout, area, Form::Pairwise, false, tally);
        if (split) return split;
    }
    // The split solver's forms after the pairwise one: the gaps gathered, then the compact form.
    // Outside the Space* modes only past the pairwise form's reach: a split of up to 64 growing
    // segments that the pairwise form gives up on keeps its compact result.
    auto by_split_solver = [&](bool restart_sums, bool beyond) -> std::optional<Split> {
        if (!uses_size_solver(layout.flex) || beyond) {
            if (auto split = solve_gathered_gaps(layout, area, false, beyond, tally, restart_sums)) return split;
            // On the padded span an overlap tends to carry a few boundaries out of the area near its
            // ends: the gaps there are kept apart from the first try, and where boundaries further
            // in go out too, as many again past them. (Where that fails otherwise, or with no
            // overlap, the gaps are all gathered.)
            const bool keeps_apart = beyond && axis.gap < 0.0 && !gaps_include_outer(layout);
            std::size_t kept = keeps_apart && kKeptShare * kKeptFirst < n ? kKeptFirst : 0;
            for (int tries = 0; tries < 3; ++tries) {
                OutsideAtEnds outside;
                if (auto split = solve_gathered_gaps(layout, area, true, beyond, tally, restart_sums, kept, &outside))
                    return split;
                if (!outside.seen) {
                    if (kept == 0 || tries > 0) break;
                    kept = 0;
                    continue;
                }
                kept = std::max(2 * kept, std::max(outside.left, outside.right) + kKeptBeyond);
                if (!(kKeptShare * kept < n)) break;
            }
        }
        return solve_in_form<SizeBuilder>(layout, area, Form::Compact, beyond, tally, restart_sums);
    };
    if (auto split = by_split_solver(false, !paired)) return split;
    // The split solver's sums can round a pivot away in a badly scaled split (a Fill(0) has a
    // scale of a millionth, or a Fill of weight 65,535 stands beside a Fill(1)). Past the
    // pairwise form's reach it tries again with its running sums kept short; the general
    // solver, which keeps every row written out, takes up to thousands of times its work there.
    if (!paired)
        if (auto split = by_split_solver(true, true)) return split;
    if (auto split = solve_in_form<BoundaryBuilder>(layout, area, Form::Compact, !paired, tally))
        return split;
    // Within the pairwise form's reach every form can stall where the area is far too small for
    // an overlap (171 Length segments, overlapping by 3, in 10 cells): the split is then posed as
    // one past that reach, which takes the shorter paths and is given more patience.
    if (paired)
        for (const bool restart_sums : {false, true})
            if (auto split = by_split_solver(restart_sums, true)) return split;
    return std::nullopt;
}

// Copies of a run left free at either end, where the area's ends can make them differ, and the
// fewest copies worth holding alike between them.
constexpr std::size_t kFreeCopies = 8;
constexpr std::size_t kLeastAlike = 16;

// The middles of the long runs of repeated constraints, one or two constraints repeated.
std::vector<Stretch> repeated_stretches(const std::vector<Constraint>& constraints) {
    std::vector<Stretch> out;
    const std::size_t n = constraints.size();
    for (std::size_t i = 0; i < n;) {
        std::size_t period = 0, copies = 0;
        for (const std::size_t p : {1, 2}) {
            std::size_t j = i + p;
            while (j < n && constraints[j] == constraints[j - p]) ++j;
            if (j - i >= p * (copies + 1)) {
                period = p;
                copies = (j - i) / p;
            }
        }
        if (copies < 2 * kFreeCopies + kLeastAlike) {
            ++i;
            continue;
        }
        // A copy is its segments, each with the spacer after it.
        const auto element = [&](std::size_t copy) { return static_cast<std::uint32_t>(2 * (i + copy * period) + 1); };
        out.push_back({element(kFreeCopies), element(copies - kFreeCopies), static_cast<std::uint32_t>(2 * period)});
        i += copies * period;
    }
    return out;
}

// The split as one linear program (see LpBuilder), started where the constraints repeat at
// length from the split with their middle copies held alike.
std::optional<Split> solve_by_lp(const Layout& layout, Rect area, Form form, bool beyond_pairwise, Tally& tally) {
    const Axis axis(layout, area);
    const std::size_t n = layout.constraints.size();
    std::vector<double> start;
    if (const std::vector<Stretch> stretches = repeated_stretches(layout.constraints); !stretches.empty()) {
        LpBuilder alike(2 * n + 1, axis.a0, axis.a1, stretches, {});
        if (auto held = solve_posed(alike, layout, form, beyond_pairwise, axis, tally)) start = std::move(*held);
    }
    LpBuilder b(2 * n + 1, axis.a0, axis.a1, {}, start);
    const auto solved = solve_posed(b, layout, form, beyond_pairwise, axis, tally);
    if (!solved) return std::nullopt;
    return rects_of(*solved, axis.inner, axis.horizontal, n);
}

Split solve_counted(const Layout& layout, Rect area, SplitWork* work, bool closed_form = true) {
    // In an empty area the required constraints hold every boundary at the area's one edge:
    // there is nothing to solve. (The pairwise form of a Space* mode degenerates completely
    // there, and the simplex would wander through a great many equal vertices to say so.)
    const Axis axis(layout, area);
    const std::size_t n = layout.constraints.size();
    if (!(axis.a0 < axis.a1)) return rects_of(std::vector<double>(2 * n + 2, axis.a0), axis.inner, axis.horizontal, n);
    const bool paired = pairwise_fits(layout);
    if (closed_form) {
        if (auto split = solve_crowded_gaps(layout, area, paired)) return std::move(*split);
        if (auto split = solve_legacy_in_turn(layout, area, paired)) return std::move(*split);
        if (auto split = solve_overlapping_alike(layout, area, paired)) return std::move(*split);
        if (auto split = solve_roomy(layout, area, paired)) return std::move(*split);
        if (auto split = solve_squeezed_minimums(layout, area, paired)) return std::move(*split);
        if (auto split = solve_squeezed_beside_fills(layout, area, paired)) return std::move(*split);
        if (auto split = solve_squeezed_in_proportion(layout, area, paired)) return std::move(*split);
        if (auto split = solve_below_held_centre(layout, area, paired)) return std::move(*split);
    }
    // (Split by the solvers only, for checking, a split takes as long as they need.)
    Tally tally{.out = work, .limit = closed_form && n > kPairedUpTo ? kLargeSplitEffort : Tally::kNoLimit};
    if (auto split = solve_by_solvers(layout, area, paired, closed_form, tally)) return std::move(*split);
    if (tally.limit != Tally::kNoLimit) {
        // Within the pairwise form's reach (up to 64 growing segments), in that form.
        const Form form = paired ? Form::Pairwise : Form::Compact;
        if (auto split = solve_by_lp(layout, area, form, !paired, tally)) return std::move(*split);
        // Where the linear program fails too, the solvers take as long as they need.
        tally.limit = Tally::kNoLimit;
        if (auto split = solve_by_solvers(layout, area, paired, closed_form, tally)) return std::move(*split);
    }
    panic("failed to split");
}

}  // namespace

Split solve_split(const Layout& layout, Rect area) { return solve_counted(layout, area, nullptr); }

Split solve_split(const Layout& layout, Rect area, SplitWork& work) { return solve_counted(layout, area, &work); }

Split solve_split_by_solver(const Layout& layout, Rect area, SplitWork& work) {
    return solve_counted(layout, area, &work, false);
}

// ---- the per-thread cache of recent splits ----

namespace {

struct CacheKey {
    Rect area;
    Layout layout;
    friend bool operator==(const CacheKey&, const CacheKey&) = default;
};

std::size_t hash_key(const Rect& area, const Layout& l) noexcept {
    std::uint64_t h = 0xcbf29ce484222325ull;
    auto mix = [&h](std::uint64_t x) {
        h ^= x + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        h *= 0x100000001b3ull;
    };
    mix((std::uint64_t{area.x} << 48) | (std::uint64_t{area.y} << 32) |
        (std::uint64_t{area.width} << 16) | area.height);
    mix((std::uint64_t{static_cast<std::uint8_t>(l.direction)} << 56) |
        (std::uint64_t{static_cast<std::uint8_t>(l.flex)} << 48) |
        (std::uint64_t{static_cast<std::uint8_t>(l.spacing.kind)} << 40) |
        (std::uint64_t{l.spacing.amount} << 24));
    mix((std::uint64_t{l.margin.horizontal} << 16) | l.margin.vertical);
    for (const Constraint& c : l.constraints)
        mix((std::uint64_t{static_cast<std::uint8_t>(c.kind)} << 56) ^
            (std::uint64_t{c.value} << 24) ^ c.denominator);
    return static_cast<std::size_t>(h);
}

class SplitCache {
public:
    const Split* find(const Rect& area, const Layout& layout) {
        const std::size_t h = hash_key(area, layout);
        auto [lo, hi] = index_.equal_range(h);
        for (auto it = lo; it != hi; ++it) {
            auto entry = it->second;
            if (entry->key.area == area && entry->key.layout == layout) {
                entries_.splice(entries_.begin(), entries_, entry);
                return &entry->result;
            }
        }
        return nullptr;
    }

    const Split& insert(const Rect& area, const Layout& layout, Split result) {
        if (entries_.size() >= kSplitCacheCapacity) {
            auto oldest = std::prev(entries_.end());
            auto [lo, hi] = index_.equal_range(oldest->hash);
            for (auto it = lo; it != hi; ++it)
                if (it->second == oldest) {
                    index_.erase(it);
                    break;
                }
            entries_.pop_back();
        }
        const std::size_t h = hash_key(area, layout);
        entries_.push_front(Entry{CacheKey{area, layout}, h, std::move(result)});
        index_.emplace(h, entries_.begin());
        return entries_.front().result;
    }

    void clear() noexcept {
        index_.clear();
        entries_.clear();
    }
    std::size_t size() const noexcept { return entries_.size(); }

private:
    struct Entry {
        CacheKey key;
        std::size_t hash;
        Split result;
    };
    std::list<Entry> entries_;  // most recently used first
    std::unordered_multimap<std::size_t, std::list<Entry>::iterator> index_;
};

SplitCache& thread_cache() {
    thread_local SplitCache cache;
    return cache;
}

const Split& cached_split(const Layout& layout, Rect area) {
    SplitCache& cache = thread_cache();
    if (const Split* hit = cache.find(area, layout)) return *hit;
    return cache.insert(area, layout, solve_split(layout, area));
}

}  // namespace

void clear_split_cache() noexcept { thread_cache().clear(); }
std::size_t split_cache_size() noexcept { return thread_cache().size(); }

std::vector<Rect> Layout::split(Rect area) const { return cached_split(*this, area).segments; }

Split Layout::split_with_spacers(Rect area) const { return cached_split(*this, area); }

}  // namespace tarvo::core
