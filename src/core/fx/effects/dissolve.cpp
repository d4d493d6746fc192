// Dissolve and coalesce: cells blank out (or come back) at moments drawn from the generator.
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"

namespace tarvo::core::fx {

namespace {

class Dissolve final : public TimedShader {
public:
    Dissolve(std::optional<Style> style, EffectTimer t) : TimedShader(t), style_(style) {}

    std::string_view name() const override {
        if (style_) return timer_.reversed ? "coalesce_from" : "dissolve_to";
        return timer_.reversed ? "coalesce" : "dissolve";
    }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Dissolve>(*this); }
    void set_pattern(const Pattern& p) override { pattern_ = p; }
    void set_rng(Rng rng) override { rng_ = rng; }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        // Every step replays the same draws, so a cell's threshold stays put from frame to frame.
        Rng rng = rng_;
        const PreparedPattern pattern(pattern_, timer_.alpha(), area);
        for_each_selected(buf, area, filter_processor(), [&](Position p, Cell& cell) {
            const float a = pattern.alpha(p.x, p.y);
            const float r = rng.next_f32();
            if (a > r) {
                cell.set_char(' ');
                if (style_) cell.set_style(*style_);
            }
        });
    }

    dsl::ExprPtr to_dsl() const override {
        if (style_) return detail::fx_call(name(), {dsl::style(*style_), detail::timer_expr(timer_)});
        return detail::fx_call(name(), {detail::timer_expr(timer_)});
    }

private:
    std::optional<Style> style_;
    Pattern pattern_;
    Rng rng_;
};

}  // namespace

Effect dissolve(std::optional<Style> style, EffectTimer t) { return Effect::make<Dissolve>(style, t); }

Effect coalesce(std::optional<Style> style, EffectTimer t) { return Effect::make<Dissolve>(style, t.mirrored()); }

}  // namespace tarvo::core::fx
