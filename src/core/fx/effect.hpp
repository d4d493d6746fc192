// Effects: timed transformations of buffer cells.
//
// An `Effect` is a value (copying it copies the whole effect, deep) that owns one `Shader`, the
// polymorphic effect behind it. Run it with `Effect::process(ms, buffer, area)`: the effect's
// own area (when it has one) replaces `area`, its filter is refreshed for that area, then the
// shader's `process` runs one step and returns the milliseconds it did not use, if any.
//
// Writing an effect
// -----------------
// Most effects own a timer, an optional area, an optional filter and draw cell by cell. Derive
// them from `TimedShader` and override:
//   - `name()`        the effect's name, e.g. "fade_to";
//   - `clone()`       `return std::make_unique<MyEffect>(*this);`;
//   - `execute(ms, buf, area)`  draw the state of the timer *after* this step's advance
//                     (`timer_.alpha()`); visit cells with `for_each_selected(buf, area,
//                     filter_processor(), ...)`, which applies the filter;
//   - optionally `set_pattern` / `set_color_space` / `set_rng` when the effect honours them
//     (TimedShader ignores them), `to_dsl()` for the text form, `reverse()` / `reset()` when
//     toggling or restarting the timer is not all there is to it.
// TimedShader's `process` is the default step: advance the timer, then `execute`, then return
// the leftover of the advance.
//
// Wrappers and containers (sequence, repeat, unique, ...) derive from `Shader` directly, hold
// their inner effects as `Effect` values and run them with `inner.process(ms, buf, area)`, so
// inner areas and filters are honoured and refreshed. They pass through what the effect they
// wrap should see:
//   - area / set_area, colour space, reverse, reset, done, timer: forward to the inner effect
//     (or combine the children, e.g. a sequence's timer is the sum of its children's);
//   - filters: report `cell_filter()` as the inner's (containers: nullptr) and implement
//     `set_filter` as `inner.install_filter(f)` for every child, so a child that already has a
//     filter keeps it;
//   - pattern and generator: ignore (the default).
//
// The text form: `to_dsl()` returns the effect as an expression of the description language
// (core/fx/dsl.hpp), or throws dsl::DslError, whose message reaches Python as it is. A wrapper
// embeds its children's expressions, so a child's failure fails the wrapper. The default refuses
// with "The effect '{name}' cannot be converted to DSL format."; `Effect::dsl_text()` lays the
// expression out as text.
//
// Rendering over a buffer: `EffectManager::process(ms, buffer, area)` (core/fx/manager.hpp)
// runs every listed effect one step over a core buffer.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/buffer.hpp"
#include "core/fx/cell_filter.hpp"
#include "core/fx/dsl.hpp"
#include "core/fx/enums.hpp"
#include "core/fx/pattern.hpp"
#include "core/fx/rng.hpp"
#include "core/fx/timer.hpp"
#include "core/geometry.hpp"

namespace tarvo::core::fx {

// Milliseconds an effect did not use in a step (it finished within the step), or nothing.
using Leftover = std::optional<std::uint32_t>;

class Effect;

class Shader {
public:
    virtual ~Shader() = default;

    virtual std::string_view name() const = 0;
    virtual std::unique_ptr<Shader> clone() const = 0;

    // One step of `ms` milliseconds over `area` of `buf`; `area` is already resolved (own area
    // applied) and the filter refreshed.
    virtual Leftover process(std::uint32_t ms, Buffer& buf, Rect area) = 0;

    // Finished: by default, when the timer the effect reports ran out (no timer: never).
    virtual bool done() const;
    bool running() const { return !done(); }

    virtual std::optional<Rect> area() const { return std::nullopt; }
    virtual void set_area(Rect) {}

    // Installs a filter, replacing any (use Effect::install_filter to keep an existing one).
    virtual void set_filter(CellFilter) {}
    // The installed filter, or null.
    virtual const CellFilter* cell_filter() const;
    // The filter with its prepared form, refreshed by Effect::process; null when none.
    virtual FilterProcessor* filter_processor() { return nullptr; }

    // Runs the other way: by default the own timer's reversed flag toggles.
    virtual void reverse();
    // Handle of the own timer (null when none) and a copy of the timer the effect reports.
    virtual EffectTimer* timer_mut() { return nullptr; }
    virtual std::optional<EffectTimer> timer() const;

    virtual void set_color_space(ColorSpace) {}
    virtual void set_pattern(const Pattern&) {}
    virtual void set_rng(Rng) {}
    // Restarts: by default the own timer's remaining time goes back to its total.
    virtual void reset();

    // The effect as an expression; throws dsl::DslError when it has no text form.
    virtual dsl::ExprPtr to_dsl() const;

    // How deeply effects nest in this one (1: nothing inside) and how many effects its tree
    // holds, itself included: a wrapper reports its children's plus one.
    virtual std::uint32_t depth() const { return 1; }
    virtual std::uint64_t node_count() const { return 1; }

protected:
    Shader() = default;
    Shader(const Shader&) = default;
    Shader& operator=(const Shader&) = default;
};

class Effect {
public:
    explicit Effect(std::unique_ptr<Shader> shader) : s_(std::move(shader)) {}
    template <typename S, typename... A>
    static Effect make(A&&... args) {
        return Effect(std::make_unique<S>(std::forward<A>(args)...));
    }

    Effect(const Effect& o) : s_(o.s_->clone()) {}
    Effect(Effect&&) noexcept = default;
    Effect& operator=(const Effect& o) {
        if (this != &o) s_ = o.s_->clone();
        return *this;
    }
    Effect& operator=(Effect&&) noexcept = default;

    // One step: the own area replaces `area`, the filter is refreshed, then the shader steps.
    Leftover process(std::uint32_t ms, Buffer& buf, Rect area);

    std::string_view name() const { return s_->name(); }
    bool done() const { return s_->done(); }
    bool running() const { return s_->running(); }
    std::optional<Rect> area() const { return s_->area(); }
    void set_area(Rect r) { s_->set_area(r); }
    const CellFilter* cell_filter() const { return s_->cell_filter(); }
    // Installs `f` only when the effect has no filter yet.
    void install_filter(CellFilter f) {
        if (!s_->cell_filter()) s_->set_filter(std::move(f));
    }
    void reverse() { s_->reverse(); }
    std::optional<EffectTimer> timer() const { return s_->timer(); }
    EffectTimer* timer_mut() { return s_->timer_mut(); }
    // The own timer's remaining time back to its total (nothing without a timer).
    void reset_timer() {
        if (EffectTimer* t = s_->timer_mut()) t->reset();
    }
    void set_color_space(ColorSpace cs) { s_->set_color_space(cs); }
    void set_pattern(const Pattern& p) { s_->set_pattern(p); }
    void set_rng(Rng rng) { s_->set_rng(rng); }
    void reset() { s_->reset(); }
    dsl::ExprPtr to_dsl() const { return s_->to_dsl(); }
    // The laid-out text of to_dsl(); throws dsl::DslError.
    std::string dsl_text() const { return dsl::write(*s_->to_dsl()); }

    Shader& shader() noexcept { return *s_; }
    const Shader& shader() const noexcept { return *s_; }

private:
    std::unique_ptr<Shader> s_;
};

// Base of the effects that own a timer, an optional area and an optional filter, and draw with
// the default step (see the file comment).
class TimedShader : public Shader {
public:
    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Leftover rest = timer_.process(ms);
        execute(ms, buf, area);
        return rest;
    }
    // Draws the state after this step's timer advance.
    virtual void execute(std::uint32_t ms, Buffer& buf, Rect area) = 0;

    bool done() const override { return timer_.done(); }
    std::optional<Rect> area() const override { return area_; }
    void set_area(Rect r) override { area_ = r; }
    void set_filter(CellFilter f) override { filter_.emplace(std::move(f)); }
    const CellFilter* cell_filter() const override { return filter_ ? &filter_->filter() : nullptr; }
    FilterProcessor* filter_processor() override { return filter_ ? &*filter_ : nullptr; }
    const FilterProcessor* filter_processor() const { return filter_ ? &*filter_ : nullptr; }
    void reverse() override { timer_.reversed = !timer_.reversed; }
    EffectTimer* timer_mut() override { return &timer_; }
    std::optional<EffectTimer> timer() const override { return timer_; }
    void reset() override { timer_.reset(); }

protected:
    explicit TimedShader(EffectTimer t) : timer_(t) {}

    EffectTimer timer_;
    std::optional<Rect> area_;
    std::optional<FilterProcessor> filter_;
};

}  // namespace tarvo::core::fx
