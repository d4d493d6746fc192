// Slides and sweeps: a window with a gradient edge travels across the area in a direction,
// jittered row by row (or column by column) by the randomness.
#include <array>
#include <bit>
#include <vector>

#include "core/fx/color_math.hpp"
#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/effects/glyphs.hpp"
#include "core/fx/effects/motion_window.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

// What slides and sweeps share: the direction, the window's gradient and jitter, the generator.
class Travelling : public TimedShader {
public:
    void set_rng(Rng rng) override { rng_ = rng; }

protected:
    Travelling(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t, Rng rng)
        : TimedShader(t), motion_(m), gradient_(gradient), randomness_(randomness), color_(color), rng_(rng) {}

    // The filter is asked at each cell's own position; the window at the jittered one.
    template <typename F>
    void walk(Buffer& buf, Rect area, F&& fn) {
        const SlidingWindow window(motion_, area, timer_.alpha(), gradient_, randomness_);
        const FilterProcessor* fp = filter_processor();
        Rng rng = rng_;
        walk_window(buf, area, motion_, randomness_, rng, [&](Position p, Cell& cell, std::int32_t shifted) {
            if (fp && !fp->accepts(p, cell)) return;
            fn(cell, window.value(static_cast<float>(shifted)));
        });
    }

    dsl::ExprPtr call(std::string_view name, Motion shown) const {
        return detail::fx_call(name, {detail::motion_expr(shown), dsl::integer(gradient_), dsl::integer(randomness_),
                                      dsl::color(color_), detail::timer_expr(timer_)});
    }

    // Runs against its direction's axis: the timer's flag and the direction cancel out.
    bool backwards() const { return timer_.reversed != flips_timer(motion_); }

    Motion motion_;
    std::uint16_t gradient_, randomness_;
    Color color_;
    Rng rng_;
};

class Slide final : public Travelling {
public:
    Slide(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t)
        : Travelling(m, gradient, randomness, color, t, Rng()) {}

    std::string_view name() const override { return backwards() ? "slide_in" : "slide_out"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Slide>(*this); }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        const auto& shrink = is_horizontal(motion_) ? glyphs::kShrinkHorizontal : glyphs::kShrinkVertical;
        walk(buf, area, [&](Cell& cell, float w) {
            if (w == 0.0f) return;
            if (w == 1.0f) {
                cell.set_char(' ');
            } else {
                const auto i = sat_cast<std::size_t>(mround(8.0f * clamp01(w)));
                cell.set_symbol(shrink[i > 8 ? 8 : i]);
            }
            cell.fg = cell.bg;
            cell.bg = color_;
        });
    }

    // A slide in is stored as the slide out of the other direction, so that direction is shown.
    dsl::ExprPtr to_dsl() const override { return call(name(), backwards() ? opposite(motion_) : motion_); }
};

// Blends already computed this step, by source colour and exact progress: a pure lookup behind
// the effect's own small cache, so it changes no result, only saves recomputing them where a
// jittered window gives the cells of a row a handful of different progress values.
class BlendMemo {
public:
    template <typename F>
    Color get(Color c, float m, F&& compute) {
        const std::uint64_t key = (std::uint64_t{std::bit_cast<std::uint32_t>(c)} << 32) | std::bit_cast<std::uint32_t>(m);
        Slot& s = slots_[(key * 0x9E3779B97F4A7C15ull) >> 56];
        if (s.used && s.key == key) return s.value;
        s = Slot{key, compute(), true};
        return s.value;
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        Color value;
        bool used = false;
    };
    std::array<Slot, 256> slots_{};
};

class Sweep final : public Travelling {
public:
    Sweep(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color faded, EffectTimer t)
        : Travelling(m, gradient, randomness, faded, t, Rng(0)) {}

    std::string_view name() const override { return backwards() ? "sweep_out" : "sweep_in"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Sweep>(*this); }
    void set_color_space(ColorSpace cs) override { space_ = cs; }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        ColorCache<std::uint8_t> fg_cache, bg_cache;
        BlendMemo memo;
        walk(buf, area, [&](Cell& cell, float w) {
            if (w == 1.0f) return;
            if (w == 0.0f) {
                cell.fg = color_;
                cell.bg = color_;
                return;
            }
            const float m = ease(Interpolation::CircOut, w);
            const auto q = sat_cast<std::uint8_t>(clamp01(m) * 255.0f);
            const Color fg = fg_or_white(cell.fg), bg = bg_or_black(cell.bg);
            cell.fg = fg_cache.get(fg, q, [&] { return memo.get(fg, m, [&] { return lerp(color_, fg, m, space_); }); });
            cell.bg = bg_cache.get(bg, q, [&] { return memo.get(bg, m, [&] { return lerp(color_, bg, m, space_); }); });
        });
    }

    // A sweep keeps the direction it was given, whichever way it runs.
    dsl::ExprPtr to_dsl() const override { return call(name(), motion_); }

private:
    ColorSpace space_ = ColorSpace::Hsl;
};

}  // namespace

Effect slide_out(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t) {
    return Effect::make<Slide>(m, gradient, randomness, color, flips_timer(m) ? t.mirrored() : t);
}

Effect slide_in(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color color, EffectTimer t) {
    Effect e = slide_out(opposite(m), gradient, randomness, color, t);
    e.reverse();
    return e;
}

Effect sweep_in(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color faded, EffectTimer t) {
    return Effect::make<Sweep>(m, gradient, randomness, faded, flips_timer(m) ? t.mirrored() : t);
}

Effect sweep_out(Motion m, std::uint16_t gradient, std::uint16_t randomness, Color faded, EffectTimer t) {
    // The sweep in of the same direction, run back: it draws that sweep in reverse.
    return Effect::make<Sweep>(m, gradient, randomness, faded, flips_timer(m) ? t : t.mirrored());
}

}  // namespace tarvo::core::fx
