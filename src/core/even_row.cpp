#include "core/even_row.hpp"

#include "core/numeric.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <deque>
#include <limits>
#include <utility>

// How it works. Say each unit of room a free place takes is worth μ. Then the row wants the
// least of Σ|x_i − x_{i+1}| − μ·Σx_i over the free sizes, each within its bounds: a chain, solved
// from left to right. The least cost of the row up to place i, as a function of x_i, is convex and
// piecewise linear; passing to place i + 1 keeps the slopes within ±1 (a neighbour can always
// follow at a cost of 1 a unit), subtracts μ from every slope and cuts the function to x's bounds.
// Each step adds at most two pieces and only removes pieces at the ends, so a row costs time in
// proportion to its length. Going back from the last place, each size is its neighbour's clamped
// to where the cost before it was least.
//
// The room the free places take grows with μ, in steps: a step where a set of places that move
// together (a level of the row) costs as much as it gains. A search on μ brackets the step that
// holds `room`; on either side of it the best sharings are best at the step too, and so is any
// blend of them, one of which takes exactly `room`. The steps are ratios of whole numbers no
// larger than the row's length, and so lie at least 1/length² apart: the bracket is made a
// hundred times narrower than that (for rows of up to some 300,000 places; the search stops where
// a double can halve it no further).

namespace tarvo::core {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kWidest = 3.0;       // past ±2 a unit every free place is empty or full
constexpr double kNarrowest = 1e-13;  // a bracket on μ that a double still halves
constexpr double kLeftOver = 1e-6;    // hundredths of a cell of room that free places may leave untaken

// The least cost of a row so far as a function of its last size. Each piece's slope is its
// `slope` plus `offset_`, which moves every slope at once.
class ChainCost {
public:
    // Starts a run: any size, at no cost, where nothing stands before its first place; only
    // `size` where a fixed place does. (The pieces' room is kept from run to run.)
    void start() {
        start(0.0);
        pieces_.push_back({-kInf, kInf, 0.0});
    }
    void start(double size) {
        pieces_.clear();
        point_ = size;
        offset_ = 0.0;
    }

    // Every unit of the size is worth `worth`.
    void reward(double worth) { offset_ -= worth; }

    // The size can only lie in [lo, hi] (lo ≤ hi), which meets the function's domain.
    void cut(double lo, double hi) {
        while (pieces_.size() > 1 && !(pieces_.front().to > lo)) pieces_.pop_front();
        while (pieces_.size() > 1 && !(pieces_.back().from < hi)) pieces_.pop_back();
        pieces_.front().from = std::max(pieces_.front().from, lo);
        pieces_.back().to = std::min(pieces_.back().to, hi);
    }

    // Passes to the next place: its size v costs the least, over this place's size u, of this
    // function at u plus |u − v|. Returns where that u lies: v clamped to [first, second].
    std::pair<double, double> follow() {
        double a = point_, b = point_;
        if (!pieces_.empty()) {
            const double hi = pieces_.back().to;
            while (!pieces_.empty() && pieces_.front().slope + offset_ < -1.0) pieces_.pop_front();
            a = pieces_.empty() ? hi : pieces_.front().from;
            while (!pieces_.empty() && pieces_.back().slope + offset_ > 1.0) pieces_.pop_back();
            b = pieces_.empty() ? a : pieces_.back().to;
        }
        pieces_.push_front({-kInf, a, -1.0 - offset_});
        pieces_.push_back({b, kInf, 1.0 - offset_});
        return {a, b};
    }

    // Where the function is least.
    double least() const {
        if (pieces_.empty()) return point_;
        for (const Piece& p : pieces_)
            if (p.slope + offset_ >= 0.0) return p.from;
        return pieces_.back().to;
    }

private:
    struct Piece {
        double from, to, slope;
    };
    std::deque<Piece> pieces_;
    double point_ = 0.0;
    double offset_ = 0.0;
};

// The best sharing where each unit of room is worth `worth`; returns the room it takes. `cost` and
// `ranges` are room to work in.
double share_at(const std::vector<RowPlace>& row, double worth, std::vector<double>& sizes, ChainCost& cost,
                std::vector<std::pair<double, double>>& ranges) {
    const std::size_t n = row.size();
    double taken = 0.0;
    for (std::size_t p = 0; p < n;) {
        if (!row[p].free) {
            sizes[p] = row[p].size;
            ++p;
            continue;
        }
        std::size_t q = p;
        while (q + 1 < n && row[q + 1].free) ++q;
        // The run of free places p … q, between fixed neighbours where there are any.
        if (p > 0) {
            cost.start(row[p - 1].size);
        } else {
            cost.start();
        }
        for (std::size_t i = p; i <= q; ++i) {
            if (i > p || p > 0) ranges[i] = cost.follow();
            cost.reward(worth);
            cost.cut(row[i].least, row[i].size);
        }
        if (q + 1 < n) {
            const auto [a, b] = cost.follow();
            sizes[q] = std::clamp(row[q + 1].size, a, b);
        } else {
            sizes[q] = cost.least();
        }
        for (std::size_t i = q; i > p; --i) sizes[i - 1] = std::clamp(sizes[i], ranges[i].first, ranges[i].second);
        for (std::size_t i = p; i <= q; ++i) taken += sizes[i];
        p = q + 1;
    }
    return taken;
}

}  // namespace

std::vector<double> share_evenly(const std::vector<RowPlace>& row, double room) {
    const std::size_t n = row.size();
    std::vector<double> low(n), high(n), at_mid(n);
    std::vector<std::pair<double, double>> ranges(n);
    ChainCost cost;
    double lo = -kWidest, hi = kWidest;
    double taken_low = share_at(row, lo, low, cost, ranges);
    double taken_high = share_at(row, hi, high, cost, ranges);
    if (!(room > taken_low)) return low;
    if (!(room < taken_high)) return high;
    const double length = static_cast<double>(std::max<std::size_t>(n, 1));
    const double bracket = std::max(0.01 / (length * length), kNarrowest);
    while (hi - lo > bracket) {
        const double mid = 0.5 * (lo + hi);
        const double taken = share_at(row, mid, at_mid, cost, ranges);
        if (taken < room) {
            lo = mid;
            taken_low = taken;
            low.swap(at_mid);
        } else {
            hi = mid;
            taken_high = taken;
            high.swap(at_mid);
        }
    }
    const double t = taken_high > taken_low ? (room - taken_low) / (taken_high - taken_low) : 0.0;
    for (std::size_t i = 0; i < n; ++i) low[i] += t * (high[i] - low[i]);
    return low;
}

// Say the k free places stand between fixed places A and B and share the room alike, c each, with
// c at most A and B. The row across them runs from A down to its least free place m and back up to
// B, so it differs by at least (A − m) + (B − m); m is at most c, their mean, and equals it only
// where every free place is c. Where c is at least A and B, the same holds of the largest free
// place; with a fixed place on one side only, or on neither, fewer terms count. Only where
// A < c < B (or B < c < A) can the free places climb from one to the other in more than one way
// as evenly.
std::optional<std::vector<double>> share_alike(const std::vector<RowPlace>& row, double room) {
    const std::size_t n = row.size();
    std::size_t first = n, last = 0, count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!row[i].free) continue;
        first = std::min(first, i);
        last = i;
        ++count;
    }
    if (count == 0 || last - first + 1 != count) return std::nullopt;
    const double share = room / static_cast<double>(count);
    std::vector<double> sizes(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (row[i].free && !(row[i].least <= share && share <= row[i].size)) return std::nullopt;
        sizes[i] = row[i].free ? share : row[i].size;
    }
    if (first > 0 && last + 1 < n) {
        const double a = row[first - 1].size, b = row[last + 1].size;
        if (std::min(a, b) < share && share < std::max(a, b)) return std::nullopt;
    }
    return sizes;
}

std::optional<std::vector<double>> share_in_runs(const std::vector<RowPlace>& row, double room) {
    const std::size_t n = row.size();
    const auto fixed = [&](std::size_t i) { return !row[i].free || !(row[i].size > row[i].least); };
    const auto fixed_size = [&](std::size_t i) { return row[i].free ? row[i].least : row[i].size; };
    struct Run {
        std::size_t first, last;  // its places, [first, last]
        double top;               // the most each place can take alike
        double a, b;              // the fixed places beside it (NaN: an end of the row)
        double share = 0.0;       // what each place takes
        bool uneven = false;      // whether some place can take more than `top`
        double places() const noexcept { return static_cast<double>(last - first + 1); }
    };
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    std::vector<Run> runs;
    for (std::size_t i = 0; i < n;) {
        if (fixed(i)) {
            ++i;
            continue;
        }
        Run r{i, i, kInf, i > 0 ? fixed_size(i - 1) : kNone, kNone};
        for (; i < n && !fixed(i); ++i) {
            if (row[i].least != 0.0) return std::nullopt;
            r.last = i;
            r.uneven = r.uneven || (r.top != kInf && row[i].size != r.top);
            r.top = std::min(r.top, row[i].size);
        }
        if (i < n) r.b = fixed_size(i);
        runs.push_back(r);
    }
    // A free place that can take nothing keeps its least, out of the room.
    for (std::size_t i = 0; i < n; ++i)
        if (row[i].free && fixed(i)) room -= row[i].least;
    if (runs.empty() || !(room >= 0.0)) return std::nullopt;
    // What a unit of room costs a run of k places at a share of c each, going up (`up`) or down.
    const auto slope = [](const Run& r, double c, bool up) {
        double s = 0.0;
        for (const double side : {r.a, r.b}) {
            if (std::isnan(side)) continue;  // an end of the row
            s += (up ? c >= side : c > side) ? 1.0 : -1.0;
        }
        return s / r.places();
    };
    // The runs' stretches of room between the points where a neighbour's size is passed, each at
    // one cost a unit, the cheapest first; a run's own stretches cost more as its share rises.
    struct Stretch {
        double cost, from, to;
        std::size_t run;
    };
    std::vector<Stretch> stretches;
    for (std::size_t g = 0; g < runs.size(); ++g) {
        const Run& r = runs[g];
        std::array<double, 4> points{0.0, r.top};
        std::size_t count = 2;
        for (const double side : {r.a, r.b})
            if (side > 0.0 && side < r.top) points[count++] = side;
        std::sort(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(count));
        for (std::size_t p = 0; p + 1 < count; ++p)
            if (points[p] < points[p + 1])
                stretches.push_back({slope(r, points[p], true), points[p], points[p + 1], g});
    }
    std::stable_sort(stretches.begin(), stretches.end(),
                     [](const Stretch& x, const Stretch& y) { return x.cost < y.cost; });
    double left = room;
    for (const Stretch& st : stretches) {
        Run& r = runs[st.run];
        const double whole = (st.to - st.from) * r.places();
        if (left < whole) {
            r.share = st.from + left / r.places();
            left = 0.0;
            break;
        }
        r.share = st.to;
        left -= whole;
    }
    if (left > kLeftOver) return std::nullopt;
    // The only best sharing: moving a unit from any run to another costs more by a clear margin
    // (the solver's sums settle nothing finer), and no run's places could climb from one
    // neighbour to the other as evenly in another way.
    constexpr double kClearly = 0.5;
    // The dearest unit a run could give up (its cost negated), and the cheapest one could take.
    TwoLeast<std::size_t> down{kInf, kInf, n}, up{kInf, kInf, n};
    for (std::size_t g = 0; g < runs.size(); ++g) {
        const Run& r = runs[g];
        if (!std::isnan(r.a) && !std::isnan(r.b) && std::min(r.a, r.b) < r.share && r.share < std::max(r.a, r.b))
            return std::nullopt;
        // Places that ask for more than the run's least take more once it is full: not alike.
        if (!(r.share < r.top) && r.uneven) return std::nullopt;
        if (r.share > 0.0) down.offer(-slope(r, r.share, false), g);
        if (r.share < r.top) up.offer(slope(r, r.share, true), g);
    }
    const double dearest = -down.least, second_dearest = -down.next;
    const bool clear = down.key != up.key
                           ? !(up.least < dearest + kClearly)
                           : !(up.next < dearest + kClearly) && !(up.least < second_dearest + kClearly);
    if (!clear) return std::nullopt;
    std::vector<double> sizes(n);
    for (std::size_t i = 0; i < n; ++i) sizes[i] = fixed(i) ? fixed_size(i) : 0.0;
    for (const Run& r : runs)
        for (std::size_t i = r.first; i <= r.last; ++i) sizes[i] = r.share;
    return sizes;
}

std::optional<std::vector<double>> share_from_the_last(const std::vector<RowPlace>& row, double room) {
    const std::size_t n = row.size();
    const auto empty = [&](std::size_t i) { return !row[i].free && row[i].size == 0.0; };
    std::vector<double> sizes(n);
    std::size_t places = 0, at_ends = 0;
    double ends = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sizes[i] = row[i].free ? 0.0 : row[i].size;
        if (!row[i].free) continue;
        if (row[i].least != 0.0 || (i > 0 && !empty(i - 1)) || (i + 1 < n && !empty(i + 1))) return std::nullopt;
        ++places;
        if (i == 0 || i + 1 == n) {
            ++at_ends;
            ends += row[i].size;
        }
    }
    if (places == 0 || !(room >= 0.0) || (at_ends == 2 && room < ends)) return std::nullopt;
    const auto take = [&](std::size_t i) {
        sizes[i] = std::min(row[i].size, room);
        room -= sizes[i];
    };
    if (row.front().free) take(0);
    if (n > 1 && row.back().free) take(n - 1);
    for (std::size_t i = n - 1; i-- > 1;)
        if (row[i].free) take(i);
    if (room > kLeftOver) return std::nullopt;
    return sizes;
}

}  // namespace tarvo::core
