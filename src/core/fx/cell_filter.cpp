#include "core/fx/cell_filter.hpp"

#include <algorithm>
#include <string>
#include <utility>
#include <utf8proc.h>

#include "core/panic.hpp"
#include "core/unicode.hpp"

namespace tarvo::core::fx {

namespace {

using Kind = CellFilter::Kind;

class BackgroundPredicate final : public CellPredicate {
public:
    bool operator()(const Cell& cell) const override { return cell.bg.tag != Color::Reset; }
};

class BackgroundOnlyPredicate final : public CellPredicate {
public:
    bool operator()(const Cell& cell) const override {
        return cell.bg.tag != Color::Reset && cell.symbol.text() == " ";
    }
};

bool is_text_char(std::string_view symbol) noexcept {
    if (symbol.empty()) return false;
    const char32_t c = unicode::decode(symbol, 0).cp;
    switch (c) {
        case U' ': case U'?': case U'!': case U'.': case U',': case U':': case U';': case U'(': case U')':
            return true;
        default: break;
    }
    switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
        case UTF8PROC_CATEGORY_LU: case UTF8PROC_CATEGORY_LL: case UTF8PROC_CATEGORY_LT:
        case UTF8PROC_CATEGORY_LM: case UTF8PROC_CATEGORY_LO: case UTF8PROC_CATEGORY_ND:
        case UTF8PROC_CATEGORY_NL: case UTF8PROC_CATEGORY_NO:
            return true;
        case UTF8PROC_CATEGORY_SO:
            // Circled and squared Latin letters are letters too.
            return (c >= 0x24B6 && c <= 0x24E9) || (c >= 0x1F130 && c <= 0x1F149) ||
                   (c >= 0x1F150 && c <= 0x1F169) || (c >= 0x1F170 && c <= 0x1F189);
        default: return false;
    }
}

Rect layout_segment_of(const CellFilter& f, Rect area) {
    const std::vector<Rect> parts = f.layout->split(area);
    if (f.index >= parts.size())
        panic("index out of bounds: the len is " + std::to_string(parts.size()) + " but the index is " +
              std::to_string(f.index));
    return parts[f.index];
}

// Sets or clears the bits of the cells of `r` ∩ `frame` in a mask laid out over `frame`.
void set_rect(std::vector<std::uint64_t>& mask, Rect frame, Rect r, bool value) {
    const Rect c = r.intersection(frame);
    if (c.is_empty()) return;
    for (std::uint32_t y = c.y; y < c.bottom(); ++y)
        for (std::uint32_t x = c.x; x < c.right(); ++x) {
            const std::size_t i = std::size_t{y - frame.y} * frame.width + (x - frame.x);
            if (value) mask[i / 64] |= std::uint64_t{1} << (i % 64);
            else mask[i / 64] &= ~(std::uint64_t{1} << (i % 64));
        }
}

using Mask = std::vector<std::uint64_t>;

Mask filled(std::size_t words, bool value) { return Mask(words, value ? ~std::uint64_t{0} : 0); }

// The selection of a static rule for an effect running over `area`, one bit per cell of `frame`
// (the part of the area inside the buffer: no other cell is ever looked up).
Mask build_mask(const CellFilter& f, const Buffer& buf, Rect area, Rect frame, std::size_t words) {
    switch (f.kind) {
        case Kind::All: return filled(words, true);
        case Kind::Area: {
            Mask m = filled(words, false);
            set_rect(m, frame, f.rect, true);
            return m;
        }
        case Kind::RefArea: {
            Mask m = filled(words, false);
            set_rect(m, frame, f.ref->get(), true);
            return m;
        }
        case Kind::Inner: {
            Mask m = filled(words, false);
            set_rect(m, frame, area.inner(f.margin), true);
            return m;
        }
        case Kind::Outer: {
            Mask m = filled(words, true);
            set_rect(m, frame, area.inner(f.margin), false);
            return m;
        }
        case Kind::Layout: {
            Mask m = filled(words, false);
            set_rect(m, frame, layout_segment_of(f, area), true);
            return m;
        }
        case Kind::AllOf:
        case Kind::AnyOf:
        case Kind::NoneOf: {
            const bool all = f.kind == Kind::AllOf;
            Mask m = filled(words, all);
            for (const CellFilter& item : f.items) {
                const Mask o = build_mask(item, buf, area, frame, words);
                for (std::size_t i = 0; i < words; ++i) m[i] = all ? (m[i] & o[i]) : (m[i] | o[i]);
            }
            if (f.kind == Kind::NoneOf)
                for (auto& w : m) w = ~w;
            return m;
        }
        case Kind::Not: {
            Mask m = build_mask(f.items[0], buf, area, frame, words);
            for (auto& w : m) w = ~w;
            return m;
        }
        case Kind::Static: {
            const CellFilter& inner = f.items[0];
            if (!inner.is_dynamic()) return build_mask(inner, buf, area, frame, words);
            // A dynamic rule frozen once, against the cells as they are now.
            Mask m = filled(words, false);
            for (std::uint32_t y = frame.y; y < frame.bottom(); ++y)
                for (std::uint32_t x = frame.x; x < frame.right(); ++x) {
                    const Cell* cell = buf.cell_at(x, y);
                    const Position p{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
                    if (cell && inner.test(area, p, *cell)) {
                        const std::size_t i = std::size_t{y - frame.y} * frame.width + (x - frame.x);
                        m[i / 64] |= std::uint64_t{1} << (i % 64);
                    }
                }
            return m;
        }
        default: return filled(words, false);  // dynamic rules are never built into a mask
    }
}

void collect_refs(const CellFilter& f, std::vector<Rect>& out) {
    if (f.kind == Kind::RefArea) out.push_back(f.ref->get());
    for (const CellFilter& item : f.items) collect_refs(item, out);
}

}  // namespace

std::shared_ptr<const CellPredicate> background_predicate() {
    static const auto p = std::make_shared<const BackgroundPredicate>();
    return p;
}

std::shared_ptr<const CellPredicate> background_only_predicate() {
    static const auto p = std::make_shared<const BackgroundOnlyPredicate>();
    return p;
}

// A filter of kind `k`, and one whose field `Field` holds `v`.
static CellFilter of_kind(Kind k) {
    CellFilter f;
    f.kind = k;
    return f;
}
template <auto Field, typename V>
static CellFilter of_kind(Kind k, V&& v) {
    CellFilter f = of_kind(k);
    f.*Field = std::forward<V>(v);
    return f;
}
// A filter of kind `k` over the one operand `inner`.
static CellFilter over(Kind k, CellFilter inner) {
    std::vector<CellFilter> v;
    v.push_back(std::move(inner));
    return of_kind<&CellFilter::items>(k, std::move(v));
}

CellFilter CellFilter::area(Rect r) { return of_kind<&CellFilter::rect>(Kind::Area, RefRect::clip(r)); }
CellFilter CellFilter::ref_area(const RefRect& r) { return of_kind<&CellFilter::ref>(Kind::RefArea, r); }
CellFilter CellFilter::fg_color(Color c) { return of_kind<&CellFilter::color>(Kind::FgColor, c); }
CellFilter CellFilter::bg_color(Color c) { return of_kind<&CellFilter::color>(Kind::BgColor, c); }
CellFilter CellFilter::inner(Margin m) { return of_kind<&CellFilter::margin>(Kind::Inner, m); }
CellFilter CellFilter::outer(Margin m) { return of_kind<&CellFilter::margin>(Kind::Outer, m); }
CellFilter CellFilter::text() { return of_kind(Kind::Text); }
CellFilter CellFilter::non_empty() { return of_kind(Kind::NonEmpty); }
CellFilter CellFilter::all_of(std::vector<CellFilter> fs) { return of_kind<&CellFilter::items>(Kind::AllOf, std::move(fs)); }
CellFilter CellFilter::any_of(std::vector<CellFilter> fs) { return of_kind<&CellFilter::items>(Kind::AnyOf, std::move(fs)); }
CellFilter CellFilter::none_of(std::vector<CellFilter> fs) { return of_kind<&CellFilter::items>(Kind::NoneOf, std::move(fs)); }
CellFilter CellFilter::negation(CellFilter inner) { return over(Kind::Not, std::move(inner)); }
CellFilter CellFilter::into_static(CellFilter inner) { return over(Kind::Static, std::move(inner)); }
CellFilter CellFilter::layout_segment(core::Layout l, std::uint16_t index) {
    CellFilter f = of_kind<&CellFilter::layout>(Kind::Layout, std::make_shared<const core::Layout>(std::move(l)));
    f.index = index;
    return f;
}
CellFilter CellFilter::position(std::shared_ptr<const PositionPredicate> fn) {
    return of_kind<&CellFilter::position_fn>(Kind::PositionFn, std::move(fn));
}
CellFilter CellFilter::eval_cell(std::shared_ptr<const CellPredicate> fn) {
    return of_kind<&CellFilter::cell_fn>(Kind::EvalCell, std::move(fn));
}

bool CellFilter::is_dynamic() const noexcept {
    switch (kind) {
        case Kind::All: case Kind::Area: case Kind::RefArea: case Kind::Inner: case Kind::Outer:
        case Kind::Layout: case Kind::Static:
            return false;
        case Kind::FgColor: case Kind::BgColor: case Kind::Text: case Kind::NonEmpty:
        case Kind::PositionFn: case Kind::EvalCell:
            return true;
        case Kind::AllOf: case Kind::AnyOf: case Kind::NoneOf:
            for (const CellFilter& f : items)
                if (f.is_dynamic()) return true;
            return false;
        case Kind::Not: return items[0].is_dynamic();
    }
    return false;
}

std::uint32_t CellFilter::depth() const noexcept {
    std::uint32_t d = 0;
    for (const CellFilter& f : items) d = std::max(d, f.depth());
    return d + 1;
}

std::uint64_t CellFilter::node_count() const noexcept {
    std::uint64_t n = 1;
    for (const CellFilter& f : items) n += f.node_count();
    return n;
}

std::optional<std::string> filter_size_error(std::uint32_t depth, std::uint64_t count) {
    if (depth > kMaxFilterNesting)
        return "cell filters cannot be nested more than " + std::to_string(kMaxFilterNesting) + " deep";
    if (count > kMaxFilterRules) return "a cell filter cannot hold more than " + std::to_string(kMaxFilterRules) + " rules";
    return std::nullopt;
}

std::optional<std::string> filter_nesting_error(const std::vector<const CellFilter*>& operands) {
    std::uint32_t depth = 0;
    std::uint64_t count = 1;
    for (const CellFilter* f : operands) {
        depth = std::max(depth, f->depth());
        count += f->node_count();
        if (auto err = filter_size_error(depth + 1, count)) return err;
    }
    return std::nullopt;
}

Rect CellFilter::resolve(Rect a) const {
    switch (kind) {
        case Kind::Area: return a.intersection(rect);
        case Kind::RefArea: return a.intersection(ref->get());
        case Kind::Inner:
        case Kind::Outer: return a.inner(margin);
        case Kind::Layout: return layout_segment_of(*this, a);
        case Kind::Not:
        case Kind::Static: return items[0].resolve(a);
        default: return a;
    }
}

bool CellFilter::test(Rect a, Position p, const Cell& cell) const {
    switch (kind) {
        case Kind::All: return true;
        case Kind::Area:
        case Kind::RefArea:
        case Kind::Layout:
        case Kind::Inner: return resolve(a).contains(p);
        case Kind::Outer: return !resolve(a).contains(p);
        case Kind::Text: return is_text_char(cell.symbol.text());
        case Kind::NonEmpty: return cell.symbol.text() != " ";
        case Kind::FgColor: return color_equal(cell.fg, color);
        case Kind::BgColor: return color_equal(cell.bg, color);
        case Kind::AllOf:
            for (const CellFilter& f : items)
                if (!f.test(a, p, cell)) return false;
            return true;
        case Kind::AnyOf:
            for (const CellFilter& f : items)
                if (f.test(a, p, cell)) return true;
            return false;
        case Kind::NoneOf:
            for (const CellFilter& f : items)
                if (f.test(a, p, cell)) return false;
            return true;
        case Kind::Not: return !items[0].test(items[0].resolve(a), p, cell);
        case Kind::Static: return items[0].test(items[0].resolve(a), p, cell);
        case Kind::PositionFn: return position_fn && (*position_fn)(p);
        case Kind::EvalCell: return cell_fn && (*cell_fn)(cell);
    }
    return false;
}

FilterProcessor::FilterProcessor(CellFilter f) : filter_(std::move(f)), dynamic_(filter_.is_dynamic()) {}

void FilterProcessor::refresh(const Buffer& buf, Rect area) {
    if (dynamic_) {
        area_ = area;
        built_ = true;
        return;
    }
    const Rect frame = area.intersection(buf.area);
    if (built_ && area == area_ && frame == frame_) {
        std::vector<Rect> now;
        collect_refs(filter_, now);
        if (now == refs_seen_) return;
    }
    area_ = area;
    frame_ = frame;
    refs_seen_.clear();
    collect_refs(filter_, refs_seen_);
    const std::size_t words = (std::size_t{frame.area()} + 63) / 64;
    mask_ = build_mask(filter_, buf, area, frame, words);
    built_ = true;
}

bool FilterProcessor::mask_bit(Position p) const noexcept {
    if (!frame_.contains(p)) return false;
    const std::size_t i = std::size_t{static_cast<std::uint16_t>(p.y - frame_.y)} * frame_.width + (p.x - frame_.x);
    return i / 64 < mask_.size() && ((mask_[i / 64] >> (i % 64)) & 1u) != 0;
}

bool FilterProcessor::accepts(Position p, const Cell& cell) const {
    if (dynamic_) return filter_.test(built_ ? area_ : Rect{}, p, cell);
    return built_ && mask_bit(p);
}

}  // namespace tarvo::core::fx
