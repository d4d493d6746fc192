// Fading colours toward (fade_to) or from (fade_from) a target, foreground only or both.
#pragma once

#include "core/fx/effect.hpp"

namespace tarvo::core::fx {

// The cells' colours blend toward `fg` (and `bg` when given) over the timer.
Effect fade_to(Color fg, OptColor bg, EffectTimer timer);
// The cells start at `fg` (and `bg`) and blend back to their own colours: the fade_to effect on
// a mirrored timer.
Effect fade_from(Color fg, OptColor bg, EffectTimer timer);

class FadeColors final : public TimedShader {
public:
    FadeColors(OptColor fg, OptColor bg, EffectTimer timer) : TimedShader(timer), fg_(fg), bg_(bg) {}

    std::string_view name() const override { return timer_.reversed ? "fade_from" : "fade_to"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<FadeColors>(*this); }
    void execute(std::uint32_t ms, Buffer& buf, Rect area) override;
    void set_color_space(ColorSpace cs) override { space_ = cs; }
    void set_pattern(const Pattern& p) override { pattern_ = p; }
    dsl::ExprPtr to_dsl() const override;

    OptColor fg() const noexcept { return fg_; }
    OptColor bg() const noexcept { return bg_; }
    ColorSpace color_space() const noexcept { return space_; }

private:
    OptColor fg_;
    OptColor bg_;
    ColorSpace space_ = ColorSpace::Hsl;
    Pattern pattern_;
};

}  // namespace tarvo::core::fx
