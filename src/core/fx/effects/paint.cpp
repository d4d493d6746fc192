#include "core/fx/effects/paint.hpp"

#include "core/fx/effects/common.hpp"
#include "core/panic.hpp"

namespace tarvo::core::fx {

Effect paint(OptColor fg, OptColor bg, EffectTimer timer) { return Effect::make<Paint>(fg, bg, timer); }

Paint::Paint(OptColor fg, OptColor bg, EffectTimer timer) : TimedShader(timer), fg_(fg), bg_(bg) {
    if (!fg && !bg) panic("At least one of fg or bg must be Some");
}

std::string_view Paint::name() const {
    if (fg_ && bg_) return "paint";
    return fg_ ? "paint_fg" : "paint_bg";
}

void Paint::execute(std::uint32_t, Buffer& buf, Rect area) {
    const PreparedPattern pattern(pattern_, timer_.alpha(), area);
    for_each_selected(buf, area, filter_processor(), [&](Position p, Cell& cell) {
        if (!pattern.is_identity() && !(pattern.alpha(p.x, p.y) > 0.0f)) return;
        if (fg_) cell.fg = *fg_;
        if (bg_) cell.bg = *bg_;
    });
}

dsl::ExprPtr Paint::to_dsl() const {
    std::vector<dsl::ExprPtr> args;
    if (fg_) args.push_back(dsl::color(*fg_));
    if (bg_) args.push_back(dsl::color(*bg_));
    args.push_back(detail::timer_expr(timer_));
    return detail::fx_call(name(), std::move(args));
}

}  // namespace tarvo::core::fx
