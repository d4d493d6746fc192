// Composition and timing: effects that arrange other effects in time (sequence, parallel,
// repeat, ping-pong, delay) or wrap one to change when and how long it runs (run once, freeze,
// sleep, prolong, remap its progress, consume a tick, a fixed duration, never complete).
#include <algorithm>
#include <cmath>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/manager.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

using detail::expr_of;
using detail::fx_call;
using detail::timer_expr;

float secs(std::uint32_t ms) { return static_cast<float>(ms) / 1000.0f; }
std::uint32_t from_secs(float s) { return sat_cast<std::uint32_t>(s * 1000.0f); }

// A wrapper around one effect: area, filter, colour space, reverse, reset and the timer go to
// the wrapped effect unless the wrapper says otherwise; it has no timer handle of its own.
class Wrapper : public Shader {
public:
    bool done() const override { return inner_.done(); }
    std::optional<Rect> area() const override { return inner_.area(); }
    void set_area(Rect r) override { inner_.set_area(r); }
    void set_filter(CellFilter f) override { inner_.install_filter(std::move(f)); }
    const CellFilter* cell_filter() const override { return inner_.cell_filter(); }
    void reverse() override { inner_.reverse(); }
    std::optional<EffectTimer> timer() const override { return inner_.timer(); }
    void set_color_space(ColorSpace cs) override { inner_.set_color_space(cs); }
    void reset() override { inner_.reset(); }
    std::uint32_t depth() const override { return inner_.shader().depth() + 1; }
    std::uint64_t node_count() const override { return inner_.shader().node_count() + 1; }

protected:
    explicit Wrapper(Effect inner) : inner_(std::move(inner)) {}
    dsl::ExprPtr wrap(std::string_view name) const { return fx_call(name, {expr_of(inner_)}); }

    Effect inner_;
};

// ---- sequence and parallel ----

class Container : public Shader {
public:
    void set_area(Rect r) override {
        for (Effect& e : effects_) e.set_area(r);
    }
    void set_filter(CellFilter f) override {
        for (Effect& e : effects_) e.install_filter(f);
    }
    void set_color_space(ColorSpace cs) override {
        for (Effect& e : effects_) e.set_color_space(cs);
    }
    std::uint32_t depth() const override {
        std::uint32_t d = 0;
        for (const Effect& e : effects_) d = std::max(d, e.shader().depth());
        return d + 1;
    }
    std::uint64_t node_count() const override {
        std::uint64_t n = 1;
        for (const Effect& e : effects_) n += e.shader().node_count();
        return n;
    }

protected:
    explicit Container(std::vector<Effect> effects) : effects_(std::move(effects)) {}

    std::vector<dsl::ExprPtr> children() const {
        std::vector<dsl::ExprPtr> out;
        out.reserve(effects_.size());
        for (const Effect& e : effects_) out.push_back(expr_of(e));
        return out;
    }

    std::vector<Effect> effects_;
};

class Sequence final : public Container {
public:
    explicit Sequence(std::vector<Effect> effects) : Container(std::move(effects)) {}

    std::string_view name() const override { return "sequence"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Sequence>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        Leftover rest = ms;
        while (rest && current_ < effects_.size()) {
            Effect& e = effects_[current_];
            const std::uint32_t given = *rest;
            rest = e.process(given, buf, area);
            if (e.done()) {
                ++current_;
            } else if (rest && *rest == given) {
                break;  // it used none of the time and is not finished: try again next step
            }
        }
        return rest;
    }

    bool done() const override { return current_ >= effects_.size(); }
    std::optional<EffectTimer> timer() const override {
        std::uint32_t total = 0;
        for (const Effect& e : effects_)
            if (const auto t = e.timer()) total = sat_add(total, t->total);
        if (total == 0) return std::nullopt;
        return EffectTimer::from_ms(total, Interpolation::Linear);
    }
    void reverse() override {
        for (Effect& e : effects_) e.reverse();
        std::reverse(effects_.begin(), effects_.end());
        current_ = 0;
    }
    void reset() override {
        current_ = 0;
        for (Effect& e : effects_) e.reset();
    }
    dsl::ExprPtr to_dsl() const override { return dsl::sequence(children()); }

private:
    std::size_t current_ = 0;
};

class Parallel final : public Container {
public:
    explicit Parallel(std::vector<Effect> effects) : Container(std::move(effects)) {}

    std::string_view name() const override { return "parallel"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Parallel>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        Leftover rest = ms;
        for (std::size_t i = 0; i < effects_.size(); ++i) {
            Effect& e = effects_[i];
            if (e.done()) continue;
            std::uint32_t given = ms;
            if (offsets_) {
                // A reversed child shorter than the longest waits until they can end together.
                std::uint32_t& wait = (*offsets_)[i];
                const std::uint32_t c = std::min(ms, wait);
                wait -= c;
                given = ms - c;
            }
            const Leftover r = e.process(given, buf, area);
            if (!r) rest = std::nullopt;
            else if (rest) rest = std::min(*rest, *r);
        }
        return rest;
    }

    bool done() const override {
        return std::all_of(effects_.begin(), effects_.end(), [](const Effect& e) { return e.done(); });
    }
    std::optional<EffectTimer> timer() const override {
        std::optional<std::uint32_t> longest;
        for (const Effect& e : effects_)
            if (const auto t = e.timer()) longest = std::max(longest.value_or(0), t->total);
        if (!longest) return std::nullopt;
        return EffectTimer::from_ms(*longest, Interpolation::Linear);
    }
    void reverse() override {
        for (Effect& e : effects_) e.reverse();
        if (offsets_) offsets_.reset();
        else offsets_ = waits();
    }
    void reset() override {
        for (Effect& e : effects_) e.reset();
        if (offsets_) offsets_ = waits();
    }
    dsl::ExprPtr to_dsl() const override { return dsl::parallel(children()); }

private:
    std::vector<std::uint32_t> waits() const {
        std::uint32_t longest = 0;
        for (const Effect& e : effects_)
            if (const auto t = e.timer()) longest = std::max(longest, t->total);
        std::vector<std::uint32_t> out;
        out.reserve(effects_.size());
        for (const Effect& e : effects_) {
            const auto t = e.timer();
            out.push_back(t ? longest - t->total : 0);
        }
        return out;
    }

    std::optional<std::vector<std::uint32_t>> offsets_;
};

// ---- repeat and ping-pong ----

class Repeat final : public Wrapper {
public:
    Repeat(Effect inner, Repetition plan) : Wrapper(std::move(inner)), plan_(plan), original_(plan) {}

    std::string_view name() const override { return "repeat"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Repeat>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        switch (plan_.mode) {
            case RepeatMode::Forever:
                // Time left over at the end of a round is dropped.
                if (inner_.process(ms, buf, area)) inner_.reset();
                return std::nullopt;
            case RepeatMode::Times: {
                const Leftover r = inner_.process(ms, buf, area);
                // A repeat that ran out stays run out.
                if (r && plan_.value > 0) {
                    --plan_.value;
                    if (plan_.value > 0) inner_.reset();
                }
                return r;
            }
            case RepeatMode::Duration: {
                const std::uint32_t t = plan_.value;
                const std::uint32_t given = std::min(t, ms);
                plan_.value = t - given;
                const Leftover r = inner_.process(given, buf, area);
                if (r) inner_.reset();
                if (t < ms) return sat_add(ms - t, r.value_or(0));
                return r;
            }
        }
        return std::nullopt;
    }

    bool done() const override { return plan_.mode != RepeatMode::Forever && plan_.value == 0; }
    std::optional<EffectTimer> timer() const override {
        switch (plan_.mode) {
            case RepeatMode::Forever: return inner_.timer();
            case RepeatMode::Times: {
                const auto t = inner_.timer();
                if (!t) return std::nullopt;
                return t->times(plan_.value);
            }
            case RepeatMode::Duration: return EffectTimer::from_ms(plan_.value, Interpolation::Linear);
        }
        return std::nullopt;
    }
    void reverse() override {}
    void reset() override {
        plan_ = original_;
        inner_.reset();
    }

    dsl::ExprPtr to_dsl() const override {
        dsl::ExprPtr mode;
        switch (plan_.mode) {
            case RepeatMode::Forever: mode = dsl::path("RepeatMode", "Forever"); break;
            case RepeatMode::Times: mode = dsl::call("RepeatMode::Times", {dsl::integer(plan_.value)}); break;
            case RepeatMode::Duration: mode = dsl::call("RepeatMode::Duration", {dsl::duration(plan_.value)}); break;
        }
        return fx_call("repeat", {expr_of(inner_), mode});
    }

private:
    Repetition plan_, original_;
};

class PingPong final : public Wrapper {
public:
    explicit PingPong(Effect inner) : Wrapper(std::move(inner)) {}

    std::string_view name() const override { return "ping_pong"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<PingPong>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Leftover r = inner_.process(ms, buf, area);
        if (r && !back_) {
            back_ = true;
            inner_.reset();
            inner_.reverse();
            return std::nullopt;
        }
        return r;
    }

    bool done() const override { return back_ && inner_.done(); }
    std::optional<EffectTimer> timer() const override {
        const auto t = inner_.timer();
        if (!t) return std::nullopt;
        return t->times(2);
    }
    // Only the turn is forgotten: the wrapped effect turns again when it next finishes.
    void reset() override { back_ = false; }
    dsl::ExprPtr to_dsl() const override { return wrap("ping_pong"); }

private:
    bool back_ = false;
};

// ---- one-step wrappers ----

class RunOnce final : public Wrapper {
public:
    explicit RunOnce(Effect inner) : Wrapper(std::move(inner)) {}

    std::string_view name() const override { return "run_once"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<RunOnce>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        if (ran_) return std::nullopt;
        ran_ = true;
        return inner_.process(ms, buf, area);
    }
    bool done() const override { return ran_; }
    std::optional<EffectTimer> timer() const override { return std::nullopt; }
    void reset() override {
        ran_ = false;
        inner_.reset();
    }
    dsl::ExprPtr to_dsl() const override { return wrap("run_once"); }

private:
    bool ran_ = false;
};

class NeverComplete final : public Wrapper {
public:
    explicit NeverComplete(Effect inner) : Wrapper(std::move(inner)) {}

    std::string_view name() const override { return "never_complete"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<NeverComplete>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        inner_.process(ms, buf, area);
        return std::nullopt;
    }
    bool done() const override { return false; }
    std::optional<EffectTimer> timer() const override { return std::nullopt; }
    dsl::ExprPtr to_dsl() const override { return wrap("never_complete"); }
};

// ---- timed wrappers ----

class Sleep final : public TimedShader {
public:
    explicit Sleep(std::uint32_t ms) : TimedShader(EffectTimer::from_ms(ms, Interpolation::Linear)) {}

    std::string_view name() const override { return "sleep"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Sleep>(*this); }
    void execute(std::uint32_t, Buffer&, Rect) override {}
    std::optional<Rect> area() const override { return std::nullopt; }
    void set_area(Rect) override {}
    void set_filter(CellFilter) override {}
    const CellFilter* cell_filter() const override { return nullptr; }
    FilterProcessor* filter_processor() override { return nullptr; }
    dsl::ExprPtr to_dsl() const override { return fx_call("sleep", {dsl::integer(timer_.total)}); }
};

class Prolong final : public Wrapper {
public:
    Prolong(Effect inner, std::uint32_t ms, bool at_end)
        : Wrapper(std::move(inner)), timer_(EffectTimer::from_ms(ms, Interpolation::Linear)), at_end_(at_end) {}

    std::string_view name() const override { return at_end_ ? "prolong_end" : "prolong_start"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Prolong>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        if (at_end_) {
            const Leftover r = inner_.process(ms, buf, area);
            return r ? timer_.process(*r) : std::nullopt;
        }
        // The wrapped effect holds its first state (a step of 0 ms) until the own time is up.
        const Leftover r = timer_.process(ms);
        return inner_.process(r.value_or(0), buf, area);
    }
    bool done() const override { return timer_.done() && inner_.done(); }
    std::optional<EffectTimer> timer() const override {
        const auto t = inner_.timer();
        return EffectTimer::from_ms(sat_add(timer_.total, t ? t->total : 0u), Interpolation::Linear);
    }
    void reverse() override {}
    void reset() override {
        timer_.reset();
        inner_.reset();
    }
    dsl::ExprPtr to_dsl() const override { return fx_call(name(), {timer_expr(timer_), expr_of(inner_)}); }

private:
    EffectTimer timer_;
    bool at_end_;
};

class FreezeAt final : public Wrapper {
public:
    FreezeAt(Effect inner, float alpha, bool raw) : Wrapper(std::move(inner)), alpha_(alpha), raw_(raw) {}

    std::string_view name() const override { return "freeze_at"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<FreezeAt>(*this); }

    Leftover process(std::uint32_t, Buffer& buf, Rect area) override {
        if (EffectTimer* t = inner_.timer_mut(); t && !t->started()) {
            const std::uint32_t r = t->remaining;
            *t = EffectTimer::from_ms(r, raw_ ? Interpolation::Linear : t->interpolation);
            t->process(from_secs(secs(r) * (1.0f - clamp01(alpha_))));
        }
        return inner_.process(0, buf, area);
    }
    // Held forever, unless the wrapped effect has no timer to hold.
    bool done() const override { return !inner_.timer().has_value(); }
    dsl::ExprPtr to_dsl() const override {
        return fx_call("freeze_at", {dsl::real(alpha_), dsl::boolean(raw_), expr_of(inner_)});
    }

private:
    float alpha_;
    bool raw_;
};

class RemapAlpha final : public Wrapper {
public:
    RemapAlpha(Effect inner, float start, float end) : Wrapper(std::move(inner)), start_(start), end_(end) {
        timer_ = inner_.timer().value_or(EffectTimer::from_ms(0, Interpolation::Linear));
    }

    std::string_view name() const override { return "remap_alpha"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<RemapAlpha>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Leftover own = timer_.process(ms);
        if (EffectTimer* t = inner_.timer_mut(); t && !t->started()) t->process(from_secs(secs(t->total) * start_));
        const float v = 1000.0f * (secs(ms) * (end_ - start_)) + rest_;
        inner_.process(sat_cast<std::uint32_t>(v), buf, area);
        rest_ = v - mfloor(v);
        return own;
    }
    bool done() const override { return timer_.done(); }
    EffectTimer* timer_mut() override { return &timer_; }
    std::optional<EffectTimer> timer() const override { return timer_; }
    void reverse() override { timer_.reversed = !timer_.reversed; }
    void reset() override {
        rest_ = 0.0f;
        timer_.reset();
        inner_.reset();
    }
    dsl::ExprPtr to_dsl() const override {
        return fx_call("remap_alpha", {dsl::real(start_), dsl::real(end_), expr_of(inner_)});
    }

private:
    float start_, end_;
    EffectTimer timer_;
    float rest_ = 0.0f;
};

class WithDuration final : public Wrapper {
public:
    WithDuration(Effect inner, std::uint32_t ms)
        : Wrapper(std::move(inner)), timer_(EffectTimer::from_ms(ms, Interpolation::Linear)) {}

    std::string_view name() const override { return "with_duration"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<WithDuration>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Leftover own = timer_.process(ms);
        inner_.process(ms, buf, area);
        return own;
    }
    bool done() const override { return timer_.done() || inner_.done(); }
    EffectTimer* timer_mut() override { return &timer_; }
    std::optional<EffectTimer> timer() const override { return timer_; }
    void reverse() override { timer_.reversed = !timer_.reversed; }
    void reset() override {
        timer_.reset();
        inner_.reset();
    }
    dsl::ExprPtr to_dsl() const override {
        return fx_call("with_duration", {dsl::duration(timer_.total), expr_of(inner_)});
    }

private:
    EffectTimer timer_;
};

}  // namespace

Effect sequence(std::vector<Effect> effects) { return Effect::make<Sequence>(std::move(effects)); }
Effect parallel(std::vector<Effect> effects) { return Effect::make<Parallel>(std::move(effects)); }
Effect repeat(Effect inner, Repetition plan) { return Effect::make<Repeat>(std::move(inner), plan); }
Effect ping_pong(Effect inner) { return Effect::make<PingPong>(std::move(inner)); }
Effect run_once(Effect inner) { return Effect::make<RunOnce>(std::move(inner)); }
Effect freeze_at(float alpha, bool raw, Effect inner) {
    return Effect::make<FreezeAt>(std::move(inner), clamp01(alpha), raw);
}
Effect sleep_effect(std::uint32_t ms) { return Effect::make<Sleep>(ms); }

Effect delay(std::uint32_t ms, Effect inner) {
    std::vector<Effect> parts;
    parts.push_back(sleep_effect(ms));
    parts.push_back(std::move(inner));
    return sequence(std::move(parts));
}

Effect prolong_start(std::uint32_t ms, Effect inner) { return Effect::make<Prolong>(std::move(inner), ms, false); }
Effect prolong_end(std::uint32_t ms, Effect inner) { return Effect::make<Prolong>(std::move(inner), ms, true); }

Effect remap_alpha(float start, float end, Effect inner) {
    // Rust-style max / min: a NaN operand gives the other one.
    start = std::isnan(start) ? 0.0f : std::max(start, 0.0f);
    start = std::min(start, 1.0f);
    end = std::isnan(end) ? 1.0f : std::min(end, 1.0f);
    end = std::max(end, 0.0f);
    return Effect::make<RemapAlpha>(std::move(inner), start, end);
}

Effect with_duration(std::uint32_t ms, Effect inner) { return Effect::make<WithDuration>(std::move(inner), ms); }
Effect never_complete(Effect inner) { return Effect::make<NeverComplete>(std::move(inner)); }
Effect timed_never_complete(std::uint32_t ms, Effect inner) { return with_duration(ms, never_complete(std::move(inner))); }

std::optional<std::string> NestingBudget::add(const Effect& child) {
    depth_ = std::max(depth_, child.shader().depth());
    count_ += child.shader().node_count();
    if (depth_ + 1 > kMaxNesting)
        return "effects cannot be nested more than " + std::to_string(kMaxNesting) + " deep";
    if (count_ > kMaxEffects) return "an effect cannot hold more than " + std::to_string(kMaxEffects) + " effects";
    return std::nullopt;
}

std::optional<std::string> nesting_error(const std::vector<const Effect*>& children) {
    NestingBudget budget;
    std::optional<std::string> err;
    for (const Effect* e : children)
        if (!err) err = budget.add(*e);
    return err;
}

}  // namespace tarvo::core::fx
