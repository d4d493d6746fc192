// Transforms of another effect's area: translate (moves it by an offset over time) and
// resize_area (grows it from an initial size to the area it is given).
#include <cmath>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

// Both own a timer and the area they computed last, and pass colour space and filters to the
// effect they move.
class AreaTransform : public Shader {
public:
    std::optional<Rect> area() const override { return area_; }
    void set_area(Rect r) override { area_ = r; }
    void set_filter(CellFilter f) override {
        if (inner_) inner_->install_filter(std::move(f));
    }
    const CellFilter* cell_filter() const override { return inner_ ? inner_->cell_filter() : nullptr; }
    EffectTimer* timer_mut() override { return &timer_; }
    std::optional<EffectTimer> timer() const override { return timer_; }
    void set_color_space(ColorSpace cs) override {
        if (inner_) inner_->set_color_space(cs);
    }
    bool done() const override { return timer_.done() && (!inner_ || inner_->done()); }
    std::uint32_t depth() const override { return inner_ ? inner_->shader().depth() + 1 : 1; }
    std::uint64_t node_count() const override { return inner_ ? inner_->shader().node_count() + 1 : 1; }

protected:
    AreaTransform(std::optional<Effect> inner, EffectTimer t) : inner_(std::move(inner)), timer_(t) {}

    // Steps the inner effect over `r` with the full time; the leftover is the smaller of the
    // two when both finished.
    Leftover step_inner(std::uint32_t ms, Buffer& buf, Rect r, Leftover own) {
        if (!inner_) return own;
        inner_->set_area(r);
        const Leftover in = inner_->process(ms, buf, r);
        if (own && in) return std::min(*own, *in);
        return std::nullopt;
    }

    std::optional<Effect> inner_;
    EffectTimer timer_;
    std::optional<Rect> area_;
    std::optional<Rect> origin_;  // the area of the first step
};

std::uint16_t round_u16(float v) { return sat_cast<std::uint16_t>(mround(v)); }

class Translate final : public AreaTransform {
public:
    Translate(Effect inner, float dx, float dy, EffectTimer t) : AreaTransform(std::move(inner), t), dx_(dx), dy_(dy) {}

    std::string_view name() const override { return "translate_by"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Translate>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const Leftover own = timer_.process(ms);
        const float a = timer_.alpha();
        if (!origin_) origin_ = area;
        const float x = static_cast<float>(origin_->x) + (0.0f + (dx_ - 0.0f) * a);
        const float y = static_cast<float>(origin_->y) + (0.0f + (dy_ - 0.0f) * a);
        const float w = origin_->width, h = origin_->height;
        const Rect s = buf.area;
        if (x + w < s.x || y + h < s.y || x > static_cast<float>(s.x) + s.width || y > static_cast<float>(s.y) + s.height) {
            area_ = std::nullopt;
        } else {
            // The part cut off before column or row 0 comes off the size.
            const std::uint16_t cut_x = x < 0.0f ? round_u16(std::fabs(mround(x))) : 0;
            const std::uint16_t cut_y = y < 0.0f ? round_u16(std::fabs(mround(y))) : 0;
            area_ = Rect::clipped(round_u16(std::max(x, 0.0f)), round_u16(std::max(y, 0.0f)),
                                  sat_sub(round_u16(w), cut_x), sat_sub(round_u16(h), cut_y));
        }
        return step_inner(ms, buf, area_.value_or(Rect{}), own);
    }

    void reverse() override { timer_.reversed = !timer_.reversed; }
    void reset() override {
        timer_.reset();
        inner_->reset();
        origin_.reset();
    }

    dsl::ExprPtr to_dsl() const override {
        auto field = [](float v) { return dsl::integer(sat_cast<std::int32_t>(v)); };
        return detail::fx_call("translate",
                               {detail::expr_of(*inner_), dsl::structure("Offset", {{"x", field(dx_)}, {"y", field(dy_)}}),
                                detail::timer_expr(timer_)});
    }

private:
    float dx_, dy_;
};

class ResizeArea final : public AreaTransform {
public:
    ResizeArea(std::optional<Effect> inner, Size initial, EffectTimer t)
        : AreaTransform(std::move(inner), t), initial_(initial) {}

    std::string_view name() const override { return "resize_area"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<ResizeArea>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        if (!origin_) origin_ = area;
        const Rect t = *origin_;
        const float a = timer_.alpha();  // the size grows with the progress before this step
        const Leftover own = timer_.process(ms);
        auto toward = [a](std::uint16_t from, std::uint16_t to) {
            const float f = from;
            return round_u16(f + (static_cast<float>(to) - f) * a);
        };
        const std::uint16_t w = toward(initial_.width, t.width), h = toward(initial_.height, t.height);
        const Rect r = Rect::clipped(static_cast<std::uint16_t>(t.x + sat_sub(t.width, w) / 2),
                                     static_cast<std::uint16_t>(t.y + sat_sub(t.height, h) / 2), std::min(w, t.width),
                                     std::min(h, t.height));
        const Rect clear = r.intersection(buf.area);
        for (std::uint32_t y = clear.y; y < clear.bottom(); ++y)
            for (std::uint32_t x = clear.x; x < clear.right(); ++x) {
                Cell& c = buf.content[buf.index_of(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y))];
                c.reset();
                c.set_char(' ');
            }
        area_ = r;
        return step_inner(ms, buf, r, own);
    }

    void reset() override {
        timer_.reset();
        if (inner_) inner_->reset();
        origin_.reset();
    }

    dsl::ExprPtr to_dsl() const override { dsl::fail_not_instantiable(name()); }

private:
    Size initial_;
};

}  // namespace

Effect translate(Effect inner, float dx, float dy, EffectTimer t) {
    return Effect::make<Translate>(std::move(inner), dx, dy, t);
}

Effect resize_area(std::optional<Effect> inner, Size initial, EffectTimer t) {
    return Effect::make<ResizeArea>(std::move(inner), initial, t);
}

}  // namespace tarvo::core::fx
