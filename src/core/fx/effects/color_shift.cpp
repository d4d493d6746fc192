// Colour shifts: lighten and darken, saturate, and HSL shifts of the cells' colours.
#include <bit>
#include <cmath>

#include "core/fx/color_math.hpp"
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/math.hpp"
#include "core/panic.hpp"

namespace tarvo::core::fx {

namespace {

using detail::fx_call;
using detail::timer_expr;

// Shared by the three: amounts per colour and the pattern.
class ColorShift : public TimedShader {
public:
    void set_pattern(const Pattern& p) override { pattern_ = p; }

protected:
    using TimedShader::TimedShader;

    // Walks the selected cells with the cell's pattern alpha: fn(cell, alpha, fg_memo, bg_memo).
    // Without a pattern every cell has the same alpha, so results can be remembered by colour
    // for the step (the memos); with one they are computed cell by cell (the memos are null).
    template <typename F>
    void each_cell(Buffer& buf, Rect area, F&& fn) {
        const PreparedPattern pattern(pattern_, timer_.alpha(), area);
        if (pattern.is_identity()) {
            const float a = pattern.alpha(0, 0);
            ColorMemo fgc, bgc;
            for_each_selected(buf, area, filter_processor(), [&](Position, Cell& cell) { fn(cell, a, &fgc, &bgc); });
            return;
        }
        for_each_selected(buf, area, filter_processor(),
                          [&](Position p, Cell& cell) { fn(cell, pattern.alpha(p.x, p.y), nullptr, nullptr); });
    }

    template <typename F>
    static Color recolour(ColorMemo* memo, Color c, F&& compute) {
        return memo ? memo->get(c, [&] { return compute(c); }) : compute(c);
    }

    Pattern pattern_;
};

constexpr const char* kNoAmount = "At least one of fg or bg must be Some";

// ---- lighten / darken ----

class Lighten final : public ColorShift {
public:
    Lighten(std::optional<float> fg, std::optional<float> bg, EffectTimer t) : ColorShift(t), fg_(fg), bg_(bg) {}

    std::string_view name() const override {
        if (fg_) {
            if (*fg_ < 0.0f) return bg_ ? "darken" : "darken_fg";
            if (!bg_) return "lighten_fg";
            return *bg_ < 0.0f ? "darken" : "lighten";
        }
        return *bg_ < 0.0f ? "darken_bg" : "lighten_bg";
    }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Lighten>(*this); }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        each_cell(buf, area, [&](Cell& cell, float a, ColorMemo* fgc, ColorMemo* bgc) {
            if (fg_) cell.fg = recolour(fgc, fg_or_white(cell.fg), [&](Color c) { return lighten_rgb(c, *fg_ * a); });
            if (bg_) cell.bg = recolour(bgc, bg_or_black(cell.bg), [&](Color c) { return lighten_rgb(c, *bg_ * a); });
        });
    }

    dsl::ExprPtr to_dsl() const override {
        const bool darkening = (fg_ && *fg_ < 0.0f) || (bg_ && *bg_ < 0.0f);
        const std::string base = darkening ? "darken" : "lighten";
        if (fg_ && bg_)
            return fx_call(base, {dsl::some(dsl::real(std::fabs(*fg_))), dsl::some(dsl::real(std::fabs(*bg_))),
                                  timer_expr(timer_)});
        if (fg_) return fx_call(*fg_ < 0.0f ? "darken_fg" : "lighten_fg", {dsl::real(std::fabs(*fg_)), timer_expr(timer_)});
        return fx_call(base, {dsl::none(), dsl::some(dsl::real(std::fabs(*bg_))), timer_expr(timer_)});
    }

private:
    std::optional<float> fg_, bg_;
};

std::optional<float> limit(std::optional<float> v, bool negate) {
    if (!v) return v;
    return clampf(negate ? -*v : *v, -1.0f, 1.0f);
}

// ---- saturate ----

class Saturate final : public ColorShift {
public:
    Saturate(std::optional<float> fg, std::optional<float> bg, EffectTimer t) : ColorShift(t), fg_(fg), bg_(bg) {}

    std::string_view name() const override { return fg_ && bg_ ? "saturate" : fg_ ? "saturate_fg" : "saturate_bg"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Saturate>(*this); }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        each_cell(buf, area, [&](Cell& cell, float a, ColorMemo* fgc, ColorMemo* bgc) {
            if (fg_) cell.fg = recolour(fgc, fg_or_white(cell.fg), [&](Color c) { return saturate_rgb(c, 1.0f + *fg_ * a); });
            if (bg_) cell.bg = recolour(bgc, bg_or_black(cell.bg), [&](Color c) { return saturate_rgb(c, 1.0f + *bg_ * a); });
        });
    }

    dsl::ExprPtr to_dsl() const override {
        if (fg_ && bg_) return fx_call("saturate", {dsl::some(dsl::real(*fg_)), dsl::some(dsl::real(*bg_)), timer_expr(timer_)});
        if (fg_) return fx_call("saturate_fg", {dsl::real(*fg_), timer_expr(timer_)});
        return fx_call("saturate", {dsl::none(), dsl::some(dsl::real(*bg_)), timer_expr(timer_)});
    }

private:
    std::optional<float> fg_, bg_;
};

// ---- HSL shift ----

Color shift_hsl(Color c, const HslShift& d, float a) { return hsl_shift_color(c, d, a); }

class HslShiftEffect final : public ColorShift {
public:
    HslShiftEffect(std::optional<HslShift> fg, std::optional<HslShift> bg, EffectTimer t)
        : ColorShift(t), fg_(fg), bg_(bg) {}

    std::string_view name() const override { return "hsl_shift"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<HslShiftEffect>(*this); }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        const PreparedPattern pattern(pattern_, timer_.alpha(), area);
        if (pattern.is_identity()) {
            // One alpha for every cell: a shift depends on the colour alone, so every colour's
            // shift is remembered for the step and new ones are shifted several at a time.
            const float a = pattern.alpha(0, 0);
            StepBatch fgc([&](const Color* from, Color* out, std::size_t n) { hsl_shift_many(from, out, n, *fg_, a); });
            StepBatch bgc([&](const Color* from, Color* out, std::size_t n) { hsl_shift_many(from, out, n, *bg_, a); });
            for_each_selected(buf, area, filter_processor(), [&](Position, Cell& cell) {
                if (fg_) fgc.recolour(cell.fg, fg_or_white(cell.fg));
                if (bg_) bgc.recolour(cell.bg, bg_or_black(cell.bg));
            });
            fgc.flush();
            bgc.flush();
            return;
        }
        // Shifts are looked up by (colour, exact alpha) for this step only.
        ColorCache<std::uint32_t> fgc, bgc;
        for_each_selected(buf, area, filter_processor(), [&](Position p, Cell& cell) {
            const float a = pattern.alpha(p.x, p.y);
            const std::uint32_t key = std::bit_cast<std::uint32_t>(a);
            if (fg_) {
                const Color c = fg_or_white(cell.fg);
                cell.fg = fgc.get(c, key, [&] { return shift_hsl(c, *fg_, a); });
            }
            if (bg_) {
                const Color c = bg_or_black(cell.bg);
                cell.bg = bgc.get(c, key, [&] { return shift_hsl(c, *bg_, a); });
            }
        });
    }

    dsl::ExprPtr to_dsl() const override {
        auto side = [](const std::optional<HslShift>& v) {
            if (!v) return dsl::none();
            return dsl::some(dsl::array({dsl::real((*v)[0]), dsl::real((*v)[1]), dsl::real((*v)[2])}));
        };
        return dsl::call("hsl_shift", {side(fg_), side(bg_), timer_expr(timer_)});
    }

private:
    std::optional<HslShift> fg_, bg_;
};

}  // namespace

Effect lighten(std::optional<float> fg, std::optional<float> bg, EffectTimer t) {
    if (!fg && !bg) panic(kNoAmount);
    return Effect::make<Lighten>(limit(fg, false), limit(bg, false), t);
}

Effect darken(std::optional<float> fg, std::optional<float> bg, EffectTimer t) {
    if (!fg && !bg) panic(kNoAmount);
    return Effect::make<Lighten>(limit(fg, true), limit(bg, true), t);
}

Effect saturate(std::optional<float> fg, std::optional<float> bg, EffectTimer t) {
    if (!fg && !bg) panic(kNoAmount);
    return Effect::make<Saturate>(fg, bg, t);
}

Effect hsl_shift(std::optional<HslShift> fg, std::optional<HslShift> bg, EffectTimer t) {
    if (!fg && !bg) panic("At least one of the foreground or background color must be changed");
    return Effect::make<HslShiftEffect>(fg, bg, t);
}

}  // namespace tarvo::core::fx
