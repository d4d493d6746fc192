// Constraint layout: splitting a rectangle into a row or a column of segments with the
// Cassowary solver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/geometry.hpp"

namespace tarvo::core {

enum class Direction : std::uint8_t { Horizontal = 0, Vertical = 1 };

// How spare space is placed around and between the segments.
enum class Flex : std::uint8_t {
    Legacy = 0,
    Start = 1,
    End = 2,
    Center = 3,
    SpaceBetween = 4,
    SpaceAround = 5,
    SpaceEvenly = 6,
};

const char* direction_name(Direction d) noexcept;
const char* flex_name(Flex f) noexcept;

// The size rule of one segment.
struct Constraint {
    enum class Kind : std::uint8_t { Min = 0, Max = 1, Length = 2, Percentage = 3, Ratio = 4, Fill = 5 };

    Kind kind = Kind::Percentage;
    std::uint32_t value = 100;     // the payload; for Ratio the numerator
    std::uint32_t denominator = 0;  // Ratio only

    static constexpr Constraint min(std::uint16_t v) noexcept { return {Kind::Min, v, 0}; }
    static constexpr Constraint max(std::uint16_t v) noexcept { return {Kind::Max, v, 0}; }
    static constexpr Constraint length(std::uint16_t v) noexcept { return {Kind::Length, v, 0}; }
    static constexpr Constraint percentage(std::uint16_t v) noexcept {
        return {Kind::Percentage, v, 0};
    }
    static constexpr Constraint ratio(std::uint32_t n, std::uint32_t d) noexcept {
        return {Kind::Ratio, n, d};
    }
    static constexpr Constraint fill(std::uint16_t v) noexcept { return {Kind::Fill, v, 0}; }

    // The size this constraint gives on its own for a length.
    std::uint16_t apply(std::uint16_t length) const noexcept;

    // "Min(5)", "Ratio(1, 3)", ...
    std::string debug() const;

    friend constexpr bool operator==(const Constraint&, const Constraint&) = default;
};

// The distance between neighbouring segments: a gap or an overlap of `amount` cells.
struct Spacing {
    enum class Kind : std::uint8_t { Space = 0, Overlap = 1 };

    Kind kind = Kind::Space;
    std::uint16_t amount = 0;

    static constexpr Spacing space(std::uint16_t n) noexcept { return {Kind::Space, n}; }
    static constexpr Spacing overlap(std::uint16_t n) noexcept { return {Kind::Overlap, n}; }
    // A signed amount: clamped to −32768..32767, negative values overlap.
    static Spacing from_signed(std::int64_t value) noexcept;

    // The signed 16-bit amount the solver works with (a gap when positive). Amounts are read
    // as signed 16-bit values, so Space(n ≥ 32768) overlaps and Overlap(n ≥ 32769) is a gap.
    std::int16_t solver_amount() const noexcept;

    // "Space(2)", "Overlap(1)".
    std::string debug() const;

    friend constexpr bool operator==(const Spacing&, const Spacing&) = default;
};

// The result of a split: the segments in constraint order and the n + 1 spacers before,
// between and after them.
struct Split {
    std::vector<Rect> segments;
    std::vector<Rect> spacers;
};

struct Layout {
    Direction direction = Direction::Vertical;
    std::vector<Constraint> constraints;
    Margin margin;
    Flex flex = Flex::Start;
    Spacing spacing;

    // "Layout { direction: Vertical, constraints: [...], margin: Margin { ... }, flex: Start,
    // spacing: Space(0) }".
    std::string debug() const;

    // The segment rects of `area` (served from the thread's cache of recent splits).
    std::vector<Rect> split(Rect area) const;
    // Segments and spacers (served from the thread's cache of recent splits).
    Split split_with_spacers(Rect area) const;

    friend bool operator==(const Layout&, const Layout&) = default;
};

// Solves a split afresh, without the cache. Throws Panic("failed to split") when the solver
// cannot solve the layout.
Split solve_split(const Layout& layout, Rect area);

// The work a split took: simplex pivots, tableau cells visited while adding rows to rows, and
// steps through the tree of boundary ranges. Where the general solver takes the split (the
// pairwise form of the Space* modes), only the cells it visits are counted.
struct SplitWork {
    std::uint64_t pivots = 0;
    std::uint64_t cell_updates = 0;
    std::uint64_t tree_steps = 0;
    std::uint64_t lp_pivots = 0;  // the simplex iterations of a split posed as a linear program
};
// As solve_split, adding the work done to `work`.
Split solve_split(const Layout& layout, Rect area, SplitWork& work);
// As solve_split, but by the solver even where a large split has room for everything and is
// worked out directly, and however long it takes: for checking the one against the other.
Split solve_split_by_solver(const Layout& layout, Rect area, SplitWork& work);

// The number of entries the per-thread split cache keeps.
inline constexpr std::size_t kSplitCacheCapacity = 500;
// Empties the calling thread's split cache.
void clear_split_cache() noexcept;
// The number of entries in the calling thread's split cache.
std::size_t split_cache_size() noexcept;

}  // namespace tarvo::core
