#include "core/fx/effect.hpp"

namespace tarvo::core::fx {

bool Shader::done() const {
    const std::optional<EffectTimer> t = timer();
    return t && t->done();
}

const CellFilter* Shader::cell_filter() const { return nullptr; }

void Shader::reverse() {
    if (EffectTimer* t = timer_mut()) t->reversed = !t->reversed;
}

std::optional<EffectTimer> Shader::timer() const { return std::nullopt; }

void Shader::reset() {
    if (EffectTimer* t = timer_mut()) t->reset();
}

dsl::ExprPtr Shader::to_dsl() const { dsl::fail_no_text(name()); }

Leftover Effect::process(std::uint32_t ms, Buffer& buf, Rect area) {
    if (const std::optional<Rect> own = s_->area()) area = *own;
    if (FilterProcessor* fp = s_->filter_processor()) fp->refresh(buf, area);
    return s_->process(ms, buf, area);
}

}  // namespace tarvo::core::fx
