#include "core/fx/effects/fade.hpp"

#include "core/fx/color_math.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/math.hpp"
#include "core/numeric.hpp"

namespace tarvo::core::fx {

Effect fade_to(Color fg, OptColor bg, EffectTimer timer) {
    return Effect::make<FadeColors>(fg, bg, timer);
}

Effect fade_from(Color fg, OptColor bg, EffectTimer timer) {
    return Effect::make<FadeColors>(fg, bg, timer.mirrored());
}

void FadeColors::execute(std::uint32_t, Buffer& buf, Rect area) {
    const PreparedPattern pattern(pattern_, timer_.alpha(), area);
    const ColorSpace space = space_;
    const std::optional<BlendTarget> fg = fg_ ? std::optional<BlendTarget>(*fg_) : std::nullopt;
    const std::optional<BlendTarget> bg = bg_ ? std::optional<BlendTarget>(*bg_) : std::nullopt;
    if (pattern.is_identity()) {
        // Every cell blends by the same alpha, so a blend depends on the colour alone: remember
        // every colour's blend for the step and blend the new ones several at a time. The
        // results are those the small cache below would give.
        const float a = pattern.alpha(0, 0);
        StepBatch fg_batch([&](const Color* from, Color* out, std::size_t n) { lerp_many(from, out, n, *fg, a, space); });
        StepBatch bg_batch([&](const Color* from, Color* out, std::size_t n) { lerp_many(from, out, n, *bg, a, space); });
        for_each_selected(buf, area, filter_processor(), [&](Position, Cell& cell) {
            if (fg) fg_batch.recolour(cell.fg, fg_or_white(cell.fg));
            if (bg) bg_batch.recolour(cell.bg, bg_or_black(cell.bg));
        });
        fg_batch.flush();
        bg_batch.flush();
        return;
    }
    // Blends are looked up by (colour, alpha quantised to 1/255) for this step only.
    ColorCache<std::uint8_t> fg_cache, bg_cache;
    for_each_selected(buf, area, filter_processor(), [&](Position p, Cell& cell) {
        const float a = pattern.alpha(p.x, p.y);
        const std::uint8_t q = sat_cast<std::uint8_t>(clamp01(a) * 255.0f);
        if (fg) {
            const Color from = fg_or_white(cell.fg);
            cell.fg = fg_cache.get(from, q, [&] { return lerp(from, *fg, a, space); });
        }
        if (bg) {
            const Color from = bg_or_black(cell.bg);
            cell.bg = bg_cache.get(from, q, [&] { return lerp(from, *bg, a, space); });
        }
    });
}

dsl::ExprPtr FadeColors::to_dsl() const {
    // fg is always present; without a background the call is the _fg form.
    std::vector<dsl::ExprPtr> args;
    if (fg_) args.push_back(dsl::color(*fg_));
    if (bg_) args.push_back(dsl::color(*bg_));
    args.push_back(detail::timer_expr(timer_));
    std::string n(name());
    if (!bg_) n += "_fg";
    return detail::fx_call(n, std::move(args));
}

}  // namespace tarvo::core::fx
