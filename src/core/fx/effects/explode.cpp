// Explode: cells are blanked from the centre outward and flung away as debris.
#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/effects/glyphs.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

struct Shard {
    std::uint16_t x, y;
    std::uint32_t index;  // of the cell in the buffer the list was made for
    float dx, dy;         // unit direction away from the centre; 0, 0 near it
};

// The generator's uniform draw in [0, 1), inlined for the hot loop.
inline float unit(Rng& rng) noexcept {
    return std::bit_cast<float>(0x3F800000u | (rng.next() >> 9)) - 1.0f;
}

// Every position of `r` with its direction, ordered by dx + dy (ties keep row order).
std::vector<Shard> shards_of(Rect r, const Buffer& buf) {
    std::vector<Shard> out;
    out.reserve(r.area());
    const float cx = static_cast<float>(r.x) + static_cast<float>(r.width) / 2.0f;
    const float cy = static_cast<float>(r.y) + static_cast<float>(r.height) / 2.0f;
    for (std::uint32_t y = r.y; y < r.bottom(); ++y)
        for (std::uint32_t x = r.x; x < r.right(); ++x) {
            const float dx = static_cast<float>(x) - cx, dy = static_cast<float>(y) - cy;
            const float d = msqrt(dx * dx + dy * dy);
            Shard s{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y),
                    static_cast<std::uint32_t>(buf.index_of(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y))),
                    0.0f, 0.0f};
            if (d > 0.1f) {
                s.dx = dx / d;
                s.dy = dy / d;
            }
            out.push_back(s);
        }
    std::stable_sort(out.begin(), out.end(), [](const Shard& a, const Shard& b) { return a.dx + a.dy < b.dx + b.dy; });
    return out;
}

// The debris glyphs as cell symbols, so that landing debris copies one without measuring it.
const std::array<Symbol, 18> kDebrisSymbols = [] {
    std::array<Symbol, 18> out;
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = Symbol(glyphs::kDebris[i]);
    return out;
}();

class Explode final : public TimedShader {
public:
    Explode(float force, float factor, EffectTimer t) : TimedShader(t), force_(force), factor_(factor) {}

    std::string_view name() const override { return "explode"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Explode>(*this); }
    void set_pattern(const Pattern& p) override { pattern_ = p; }
    void set_rng(Rng rng) override { rng_ = rng; }

    void execute(std::uint32_t, Buffer& buf, Rect area) override {
        const Rect r = area.intersection(buf.area);
        if (!shards_ || r != shards_area_ || buf.area != shards_frame_) {
            shards_ = std::make_shared<const std::vector<Shard>>(shards_of(r, buf));
            shards_area_ = r;
            shards_frame_ = buf.area;
        }
        const PreparedPattern pattern(pattern_, timer_.alpha(), r);
        const FilterProcessor* fp = filter_processor();
        if (fp && fp->selects_all()) fp = nullptr;
        if (pattern.is_identity()) {
            if (fp) fling<true, true>(buf, pattern, fp);
            else fling<true, false>(buf, pattern, fp);
        } else {
            if (fp) fling<false, true>(buf, pattern, fp);
            else fling<false, false>(buf, pattern, fp);
        }
    }

    dsl::ExprPtr to_dsl() const override {
        return detail::fx_call("explode", {detail::timer_expr(timer_), dsl::real(force_), dsl::real(factor_)});
    }

private:
    // The step's walk, specialised for the common cases: one progress for every cell (no
    // pattern) and no filter.
    template <bool Identity, bool Filtered>
    void fling(Buffer& buf, const PreparedPattern& pattern, const FilterProcessor* fp) {
        Rng rng = rng_;
        const float g = pattern.alpha(0, 0);
        if (Identity && g <= 0.0f) return;
        const Rect frame = buf.area;
        for (const Shard& s : *shards_) {
            Cell& cell = buf.content[s.index];
            if (Filtered && !fp->accepts(Position{s.x, s.y}, cell)) continue;
            const float a = Identity ? g : pattern.alpha(s.x, s.y);
            if (!Identity && a <= 0.0f) continue;
            const Color fg = cell.fg;
            cell.set_char(' ');
            cell.fg = Color::named(Color::Black);
            cell.bg = Color::named(Color::Black);
            cell.modifier = 0;
            cell.underline_color = Color{};
            if (s.dx == 0.0f && s.dy == 0.0f) continue;
            const float r1 = unit(rng);
            const float f = force_ * a * (1.0f + r1 * factor_);
            const float nx = static_cast<float>(s.x) + s.dx * f;
            const float ny = static_cast<float>(s.y) + s.dy * f;
            if (std::signbit(nx) || std::signbit(ny)) continue;
            const float r2 = unit(rng);
            const float e = fmaxf_nan(a + (r2 * 0.4f - 0.2f), 0.0f);
            if (!(e <= 1.0f)) continue;
            const Position to{sat_cast<std::uint16_t>(mround(nx)), sat_cast<std::uint16_t>(mround(ny))};
            if (!frame.contains(to)) continue;
            Cell& debris = buf.content[buf.index_of(to.x, to.y)];
            debris.fg = fg;
            debris.symbol = kDebrisSymbols[static_cast<std::size_t>(mround(e * 17.0f))];
        }
    }

    float force_, factor_;
    Pattern pattern_;
    Rng rng_;
    // Shared between copies: the order depends only on the area.
    std::shared_ptr<const std::vector<Shard>> shards_;
    Rect shards_area_, shards_frame_;
};

}  // namespace

Effect explode(float force, float force_rng_factor, EffectTimer t) {
    return Effect::make<Explode>(force, force_rng_factor, t);
}

}  // namespace tarvo::core::fx
