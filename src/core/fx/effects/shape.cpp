// Shape effects: evolve (glyphs stepping through a set), stretch (a bar growing across the
// area) and expand (two stretches growing apart from the middle).
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/effects/glyphs.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

// ---- evolve ----

class Evolve final : public TimedShader {
public:
    Evolve(EvolveForm form, EvolveSymbolSet set, EffectTimer t, std::optional<Style> style)
        : TimedShader(t), form_(form), set_(set), style_(style) {}

    std::string_view name() const override {
        switch (form_) {
            case EvolveForm::Into: return "evolve_into";
            case EvolveForm::From: return "evolve_from";
            case EvolveForm::Plain: break;
        }
        return "evolve";
    }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Evolve>(*this); }
    void set_pattern(const Pattern& p) override { pattern_ = p; }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        const glyphs::SymbolSet symbols = glyphs::symbol_set(set_);
        const float steps = static_cast<float>(symbols.size - 1);
        const PreparedPattern pattern(pattern_, timer_.alpha(), area);
        for_each_selected(buf, area, filter_processor(), [&](Position p, Cell& cell) {
            const float a = pattern.alpha(p.x, p.y);
            if ((form_ == EvolveForm::From && a == 0.0f) || (form_ == EvolveForm::Into && a == 1.0f)) return;
            std::size_t i = sat_cast<std::size_t>(mround(a * steps));
            if (i > symbols.size - 1) i = symbols.size - 1;
            cell.set_symbol(symbols[i]);
            if (style_) cell.set_style(*style_);
        });
    }

private:
    EvolveForm form_;
    EvolveSymbolSet set_;
    std::optional<Style> style_;
    Pattern pattern_;
};

// ---- stretch ----

// The style with its colours swapped (a colour alone moves to the other side); the underline
// colour is dropped, the modifiers stay.
Style inverted(const Style& s) {
    Style r;
    r.fg = s.bg;
    r.bg = s.fg;
    r.add_modifier = s.add_modifier;
    r.sub_modifier = s.sub_modifier;
    return r;
}

class Stretch final : public TimedShader {
public:
    Stretch(Motion m, Style style, EffectTimer t) : TimedShader(t), motion_(m), style_(style) {}

    std::string_view name() const override { return "stretch"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Stretch>(*this); }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        const Rect a = area.intersection(buf.area);
        if (a.is_empty()) return;  // no edge either: it would stand outside the area
        const Style inv = inverted(style_);
        const float alpha = timer_.alpha();
        if (alpha == 1.0f || alpha == 0.0f) {
            paint(buf, a, " ", alpha == 1.0f ? inv : style_);
            return;
        }
        const bool horizontal = is_horizontal(motion_);
        const bool against = flips_timer(motion_);  // RightToLeft, DownToUp
        const float origin = horizontal ? a.x : a.y;
        const float extent = horizontal ? a.width : a.height;
        const float end = origin + extent * (against ? 1.0f - alpha : alpha);
        float f = std::fmod(end, 1.0f);
        if (against) f = 1.0f - f;
        std::size_t i = sat_cast<std::size_t>(mround(7.0f * clampf(f, 0.0f, 1.0f)));
        if (i > 7) i = 7;
        std::string_view symbol;
        switch (motion_) {
            case Motion::LeftToRight: symbol = glyphs::kEdgeHorizontal[i]; break;
            case Motion::RightToLeft: symbol = glyphs::kEdgeHorizontal[7 - i]; break;
            case Motion::UpToDown: symbol = glyphs::kEdgeVertical[7 - i]; break;
            case Motion::DownToUp: symbol = glyphs::kEdgeVertical[i]; break;
        }
        const Style& edge_style = (motion_ == Motion::RightToLeft || motion_ == Motion::UpToDown) ? inv : style_;

        const float len = extent * alpha;
        const std::uint16_t fl = sat_cast<std::uint16_t>(mfloor(len));
        const std::uint16_t cl = sat_cast<std::uint16_t>(mceil(len));
        const std::uint16_t o = horizontal ? a.x : a.y;
        const std::uint16_t n = horizontal ? a.width : a.height;
        // Spans along the axis: [start, start + size).
        struct Span {
            std::uint32_t start, size;
        } filled, edge, empty;
        if (!against) {
            filled = {o, fl};
            edge = {std::uint32_t{o} + fl, 1};
            empty = {std::uint32_t{o} + cl, sat_sub<std::uint16_t>(n, cl)};
        } else {
            filled = {std::uint32_t{o} + sat_sub<std::uint16_t>(n, cl), cl};
            edge = {std::uint32_t{o} + sat_sub<std::uint16_t>(sat_sub<std::uint16_t>(n, fl), 1), 1};
            empty = {o, sat_sub<std::uint16_t>(sat_sub<std::uint16_t>(n, fl), 1)};
        }
        auto rect = [&](Span s) {
            const auto start = static_cast<std::uint16_t>(s.start > 65535 ? 65535 : s.start);
            const auto size = static_cast<std::uint16_t>(s.size);
            return horizontal ? Rect::clipped(start, a.y, size, a.height) : Rect::clipped(a.x, start, a.width, size);
        };
        paint(buf, rect(filled), " ", inv);
        paint(buf, rect(empty), " ", style_);
        paint(buf, rect(edge), symbol, edge_style);
    }

    dsl::ExprPtr to_dsl() const override {
        return detail::fx_call("stretch", {detail::motion_expr(motion_), dsl::style(style_), detail::timer_expr(timer_)});
    }

    const Style& style() const { return style_; }

private:
    void paint(Buffer& buf, Rect r, std::string_view symbol, const Style& s) {
        for_each_selected(buf, r, filter_processor(), [&](Position, Cell& cell) {
            cell.set_symbol(symbol);
            cell.set_style(s);
        });
    }

    Motion motion_;
    Style style_;
};

// ---- expand ----

class Expand final : public Shader {
public:
    Expand(ExpandDirection d, Style style, EffectTimer t)
        : direction_(d),
          a_(d == ExpandDirection::Horizontal ? Motion::RightToLeft : Motion::DownToUp, style, t),
          b_(d == ExpandDirection::Horizontal ? Motion::LeftToRight : Motion::UpToDown, style, t) {}

    std::string_view name() const override { return "Expand"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Expand>(*this); }

    // Each half is stepped directly over its part of the area; their filters are installed but
    // never prepared for an area.
    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Rect r = area.intersection(buf.area);
        Rect first = r, second = r;
        if (direction_ == ExpandDirection::Horizontal) {
            first.width = static_cast<std::uint16_t>(r.width / 2);
            second.x = static_cast<std::uint16_t>(r.x + first.width);
            second.width = static_cast<std::uint16_t>(r.width - first.width);
        } else {
            first.height = static_cast<std::uint16_t>(r.height / 2);
            second.y = static_cast<std::uint16_t>(r.y + first.height);
            second.height = static_cast<std::uint16_t>(r.height - first.height);
        }
        a_.process(ms, buf, first);
        return b_.process(ms, buf, second);
    }

    bool done() const override { return a_.done(); }
    std::optional<Rect> area() const override { return area_; }
    void set_area(Rect r) override { area_ = r; }
    void set_filter(CellFilter f) override {
        a_.set_filter(f);
        b_.set_filter(std::move(f));
    }
    const CellFilter* cell_filter() const override { return a_.cell_filter(); }
    void reverse() override {
        a_.reverse();
        b_.reverse();
    }
    void reset() override {
        a_.reset();
        b_.reset();
    }

    dsl::ExprPtr to_dsl() const override {
        return detail::fx_call("expand", {dsl::path("ExpandDirection", kExpandDirectionNames[static_cast<std::size_t>(direction_)]),
                                          dsl::style(a_.style()), detail::timer_expr(*a_.timer())});
    }

private:
    ExpandDirection direction_;
    Stretch a_, b_;
    std::optional<Rect> area_;
};

}  // namespace

Effect evolve(EvolveForm form, EvolveSymbolSet set, EffectTimer t, std::optional<Style> style) {
    return Effect::make<Evolve>(form, set, t, style);
}

Effect stretch(Motion m, Style style, EffectTimer t) { return Effect::make<Stretch>(m, style, t); }

Effect expand(ExpandDirection d, Style style, EffectTimer t) { return Effect::make<Expand>(d, style, t); }

}  // namespace tarvo::core::fx
