// Running many effects together, one step per frame, with effects kept unique per key.
//
// For the render loop:
//     fx::EffectManager manager;             // seeded from the clock
//     manager.add(effect);                   // copies in
//     manager.add_unique("toast", effect);   // replaces what runs under "toast"
//     manager.process(elapsed_ms, buffer, area);  // every effect one step over a core buffer
// `process` runs each listed effect in order over the same buffer (later effects see what the
// earlier ones drew), with the same elapsed time and area (an effect with its own area uses
// that), and drops the effects that no longer run.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/fx/effect.hpp"

namespace tarvo::core::fx {

// The identity of the effect last registered under a key; shared by the key's wrappers.
struct KeyContext {
    std::uint32_t id = 0;
};

// An effect registered under a key. Once another effect is registered under the same key it
// reports done (and not running), but its step still draws: a manager applies it once more.
class UniqueShader final : public Shader {
public:
    UniqueShader(Effect inner, std::shared_ptr<KeyContext> ctx)
        : inner_(std::move(inner)), ctx_(std::move(ctx)), id_(ctx_->id) {}

    std::string_view name() const override { return "unique"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<UniqueShader>(*this); }
    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        return inner_.process(ms, buf, area);
    }
    bool done() const override { return superseded() || inner_.done(); }
    std::optional<Rect> area() const override { return inner_.area(); }
    void set_area(Rect r) override { inner_.set_area(r); }
    void set_filter(CellFilter f) override { inner_.install_filter(std::move(f)); }
    const CellFilter* cell_filter() const override { return inner_.cell_filter(); }
    void reverse() override { inner_.reverse(); }
    EffectTimer* timer_mut() override { return inner_.timer_mut(); }
    std::optional<EffectTimer> timer() const override { return inner_.timer(); }
    void set_color_space(ColorSpace cs) override { inner_.set_color_space(cs); }
    void reset() override { inner_.reset(); }
    std::uint32_t depth() const override { return inner_.shader().depth() + 1; }
    std::uint64_t node_count() const override { return inner_.shader().node_count() + 1; }

    bool superseded() const noexcept { return ctx_->id != id_; }
    const Effect& inner() const noexcept { return inner_; }

private:
    Effect inner_;
    std::shared_ptr<KeyContext> ctx_;
    std::uint32_t id_;
};

// Ends after its first step without drawing (swallowing the rest of that step).
class ConsumeTick final : public Shader {
public:
    std::string_view name() const override { return "consume_tick"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<ConsumeTick>(*this); }
    Leftover process(std::uint32_t, Buffer&, Rect) override {
        consumed_ = true;
        return std::nullopt;
    }
    bool done() const override { return consumed_; }
    void reset() override { consumed_ = false; }
    dsl::ExprPtr to_dsl() const override { return dsl::call("fx::consume_tick", {}); }

private:
    bool consumed_ = false;
};

Effect consume_tick();

class EffectManager {
public:
    EffectManager() = default;  // generator seeded from the clock
    explicit EffectManager(Rng rng) : rng_(rng) {}

    void add(Effect e) { effects_.push_back(std::move(e)); }
    // Registers `e` under `key` (superseding whatever was registered there) and returns it
    // wrapped; the list is not changed.
    Effect unique(const std::string& key, Effect e);
    void add_unique(const std::string& key, Effect e) { add(unique(key, std::move(e))); }
    // Ends what runs under `key`: registers an effect that draws nothing for one step.
    void cancel(const std::string& key) { add_unique(key, consume_tick()); }

    // Every listed effect one step over `buf`; the ones that stop running are dropped, then
    // keys that no effect refers to any more are forgotten.
    void process(std::uint32_t ms, Buffer& buf, Rect area);

    bool is_running() const noexcept { return !effects_.empty(); }
    std::size_t size() const noexcept { return effects_.size(); }
    std::size_t key_count() const noexcept { return keys_.size(); }

private:
    std::vector<Effect> effects_;
    std::map<std::string, std::shared_ptr<KeyContext>, std::less<>> keys_;
    Rng rng_;
};

}  // namespace tarvo::core::fx
