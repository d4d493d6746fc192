// Cell filters: which cells of its area an effect touches.
//
// A CellFilter is a value tree of selection rules. Effects store it inside a FilterProcessor,
// which is refreshed before every step (Effect::process does it) with the step's area:
// - static filters (areas, margins, layout segments, shared rectangles, and anything wrapped
//   in Static) are turned into one bit per cell of the area, rebuilt only when the area or the
//   rectangle of a RefRect inside the tree changed since the last build (or the step runs over
//   a buffer of another area);
// - dynamic filters (colours, text, callbacks, and combinations holding any of them) are
//   evaluated cell by cell while the effect draws.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/buffer.hpp"
#include "core/color.hpp"
#include "core/fx/ref_rect.hpp"
#include "core/geometry.hpp"
#include "core/layout.hpp"

namespace tarvo::core::fx {

// A predicate on a cell's position, shared between copies of a filter.
class PositionPredicate {
public:
    virtual ~PositionPredicate() = default;
    virtual bool operator()(Position p) const = 0;
};

// A predicate on a cell's contents, shared between copies of a filter.
class CellPredicate {
public:
    virtual ~CellPredicate() = default;
    virtual bool operator()(const Cell& cell) const = 0;
};

// Cells whose background is not Reset.
std::shared_ptr<const CellPredicate> background_predicate();
// Cells whose background is not Reset and whose symbol is a single space (absent counts).
std::shared_ptr<const CellPredicate> background_only_predicate();

struct CellFilter {
    enum class Kind : std::uint8_t {
        All, Area, RefArea, FgColor, BgColor, Inner, Outer, Text, NonEmpty, AllOf, AnyOf, NoneOf,
        Not, Layout, PositionFn, EvalCell, Static,
    };

    Kind kind = Kind::All;
    Rect rect;                      // Area
    std::optional<RefRect> ref;     // RefArea (copies share the rectangle's cell)
    Color color;                    // FgColor, BgColor
    Margin margin;                  // Inner, Outer
    std::vector<CellFilter> items;  // AllOf, AnyOf, NoneOf; the operand of Not and Static
    std::shared_ptr<const core::Layout> layout;  // Layout
    std::uint16_t index = 0;                     // Layout
    std::shared_ptr<const PositionPredicate> position_fn;
    std::shared_ptr<const CellPredicate> cell_fn;

    static CellFilter all() { return {}; }
    static CellFilter area(Rect r);  // cut at the 65535 edges
    static CellFilter ref_area(const RefRect& r);
    static CellFilter fg_color(Color c);
    static CellFilter bg_color(Color c);
    static CellFilter inner(Margin m);
    static CellFilter outer(Margin m);
    static CellFilter text();
    static CellFilter non_empty();
    static CellFilter all_of(std::vector<CellFilter> fs);
    static CellFilter any_of(std::vector<CellFilter> fs);
    static CellFilter none_of(std::vector<CellFilter> fs);
    static CellFilter negation(CellFilter f);
    static CellFilter layout_segment(core::Layout l, std::uint16_t index);
    static CellFilter position(std::shared_ptr<const PositionPredicate> fn);
    static CellFilter eval_cell(std::shared_ptr<const CellPredicate> fn);
    static CellFilter into_static(CellFilter f);

    // Whether the filter must look at cells (as opposed to positions only).
    bool is_dynamic() const noexcept;

    // How deeply rules nest in this one (1: nothing inside) and how many rules the tree holds.
    std::uint32_t depth() const noexcept;
    std::uint64_t node_count() const noexcept;

    // The area a rule works in when its effect runs over `area` (the rectangle of a RefRect as
    // it is now).
    Rect resolve(Rect area) const;
    // Whether the rule selects the cell at `p` for an effect running over `area`.
    bool test(Rect area, Position p, const Cell& cell) const;
};

// Rules nest at most this deep and a tree holds at most this many rules: deeper or larger trees
// would exhaust the stack or memory while they are copied or tested.
inline constexpr std::uint32_t kMaxFilterNesting = 1000;
inline constexpr std::uint64_t kMaxFilterRules = std::uint64_t{1} << 20;
// Why a tree `depth` deep holding `count` rules is refused, or nothing when it is allowed.
std::optional<std::string> filter_size_error(std::uint32_t depth, std::uint64_t count);
// Why a rule over `operands` cannot be built, or nothing when it can.
std::optional<std::string> filter_nesting_error(const std::vector<const CellFilter*>& operands);

// A filter as an effect keeps it, with its prepared form. Until the first refresh it selects
// nothing (a dynamic filter then works over an empty area).
class FilterProcessor {
public:
    explicit FilterProcessor(CellFilter f);

    const CellFilter& filter() const noexcept { return filter_; }
    // Prepares the filter for a step over `area` of `buf`.
    void refresh(const Buffer& buf, Rect area);
    // The top-level rule selects everything, so drawing may skip the test.
    bool selects_all() const noexcept { return filter_.kind == CellFilter::Kind::All; }
    // Whether the cell at `p` (inside the refreshed area) is selected.
    bool accepts(Position p, const Cell& cell) const;

private:
    bool mask_bit(Position p) const noexcept;

    CellFilter filter_;
    bool dynamic_;
    bool built_ = false;
    Rect area_;   // the area of the last refresh
    Rect frame_;  // the part of it inside the buffer
    // Static form: one bit per cell of frame_, row by row, and the RefRect rectangles it saw.
    std::vector<std::uint64_t> mask_;
    std::vector<Rect> refs_seen_;
};

// Visits the cells of `area` ∩ the buffer row by row and calls fn(Position, Cell&) for those
// the filter selects (no filter, or one that selects everything: every cell).
template <typename F>
void for_each_selected(Buffer& buf, Rect area, const FilterProcessor* filter, F&& fn) {
    const Rect r = area.intersection(buf.area);
    if (r.is_empty()) return;
    const bool test = filter && !filter->selects_all();
    if (buf.content.size() < std::size_t{buf.area.area()}) {  // a grid missing cells: look each up
        for (std::uint32_t y = r.y; y < r.bottom(); ++y)
            for (std::uint32_t x = r.x; x < r.right(); ++x) {
                Cell* cell = buf.cell_at(x, y);
                const Position p{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
                if (!cell || (test && !filter->accepts(p, *cell))) continue;
                fn(p, *cell);
            }
        return;
    }
    for (std::uint32_t y = r.y; y < r.bottom(); ++y) {
        Cell* row = &buf.content[buf.index_of(r.x, static_cast<std::uint16_t>(y))];
        for (std::uint32_t x = r.x; x < r.right(); ++x) {
            Cell& cell = row[x - r.x];
            const Position p{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
            if (test && !filter->accepts(p, cell)) continue;
            fn(p, cell);
        }
    }
}

}  // namespace tarvo::core::fx
