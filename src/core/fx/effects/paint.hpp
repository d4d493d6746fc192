// Painting cells with fixed colours for the length of a timer.
#pragma once

#include "core/fx/effect.hpp"

namespace tarvo::core::fx {

// Every selected cell gets `fg` and/or `bg` on every step (with a pattern: the cells whose
// progress is above 0). Both absent panics with "At least one of fg or bg must be Some".
Effect paint(OptColor fg, OptColor bg, EffectTimer timer);

class Paint final : public TimedShader {
public:
    Paint(OptColor fg, OptColor bg, EffectTimer timer);

    std::string_view name() const override;
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Paint>(*this); }
    void execute(std::uint32_t ms, Buffer& buf, Rect area) override;
    void set_pattern(const Pattern& p) override { pattern_ = p; }
    dsl::ExprPtr to_dsl() const override;

    OptColor fg() const noexcept { return fg_; }
    OptColor bg() const noexcept { return bg_; }

private:
    OptColor fg_;
    OptColor bg_;
    Pattern pattern_;
};

}  // namespace tarvo::core::fx
