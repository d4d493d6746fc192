// Glitch: a share of the cells flicker, after a random delay and for a random time, either
// swapping the case of their letter or shifting their byte by a few code points.
#include <vector>

#include "core/fx/effects/catalog.hpp"
#include "core/fx/effects/common.hpp"
#include "core/fx/math.hpp"

namespace tarvo::core::fx {

namespace {

struct GlitchCell {
    std::uint64_t index;      // cell of the area, row by row
    std::uint32_t remaining;  // ms the glitch lasts once it started
    std::uint32_t sleep;      // ms before it starts
    bool change_case;
    std::int32_t shift;  // code points, when not changing case
};

void glitch_symbol(Cell& cell, const GlitchCell& g) {
    const std::string_view s = cell.symbol.text();
    if (g.change_case) {
        if (s.empty()) return;
        for (char c : s)
            if (static_cast<unsigned char>(c) >= 0x80) return;
        char c = s[0];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        cell.set_char(c);
        return;
    }
    if (s.size() != 1 || s == " ") return;
    std::int32_t b = static_cast<unsigned char>(s[0]);
    b = g.shift > 0 ? std::min(b + g.shift, 255) : std::max(b + g.shift, 0);
    b = std::clamp(b, 32, 255);
    if (b < 0x80) {
        cell.set_char(static_cast<char>(b));
    } else {
        const char utf8[2] = {static_cast<char>(0xC0 | (b >> 6)), static_cast<char>(0x80 | (b & 0x3F))};
        cell.set_symbol(std::string_view(utf8, 2));
    }
}

class Glitch final : public Shader {
public:
    Glitch(float ratio, std::uint32_t dmin, std::uint32_t dmax, std::uint32_t amin, std::uint32_t amax,
           std::optional<CellFilter> filter, Rng rng)
        : ratio_(ratio), dmin_(dmin), dmax_(dmax), amin_(amin), amax_(amax), filter_(std::move(filter)), rng_(rng) {}

    std::string_view name() const override { return "glitch"; }
    std::unique_ptr<Shader> clone() const override { return std::make_unique<Glitch>(*this); }

    Leftover process(std::uint32_t ms, Buffer& buf, Rect area) override {
        const std::uint64_t cells = std::uint64_t{area.width} * area.height;
        // Never more glitching cells than the area or the buffer holds.
        std::uint64_t target = sat_cast<std::uint32_t>(mround(static_cast<float>(area.width) * static_cast<float>(area.height) * ratio_));
        target = std::min({target, cells, static_cast<std::uint64_t>(buf.content.size())});
        while (cells_.size() < target) {
            GlitchCell g{};
            g.index = rng_.range_usize(0, cells);
            g.change_case = rng_.next() % 2 == 0;
            if (!g.change_case) g.shift = -10 + static_cast<std::int32_t>(rng_.next() % 20);
            g.remaining = rng_.range_u32(amin_, amax_);
            g.sleep = rng_.range_u32(dmin_, dmax_);
            cells_.push_back(g);
        }
        for (GlitchCell& g : cells_) {
            const std::uint32_t left = sat_sub(ms, g.sleep);
            g.sleep = sat_sub(g.sleep, ms);
            g.remaining = sat_sub(g.remaining, left);
        }
        std::erase_if(cells_, [&](const GlitchCell& g) { return g.index >= buf.content.size(); });
        for (const GlitchCell& g : cells_) {
            if (g.sleep != 0 || area.width == 0) continue;
            const std::uint64_t x = area.x + g.index % area.width, y = area.y + g.index / area.width;
            if (x > 65535 || y > 65535) continue;
            const Position p{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)};
            // Cells of the area that lie outside the buffer are left alone.
            if (!buf.area.contains(p)) continue;
            Cell& cell = buf.content[buf.index_of(p.x, p.y)];
            if (filter_ && !filter_->test(area, p, cell)) continue;
            glitch_symbol(cell, g);
        }
        std::erase_if(cells_, [](const GlitchCell& g) { return g.remaining == 0; });
        return std::nullopt;
    }

    // Never finishes: a glitch runs until it is removed or cut off by a wrapper.
    bool done() const override { return false; }
    std::optional<Rect> area() const override { return area_; }
    void set_area(Rect r) override { area_ = r; }
    void set_filter(CellFilter f) override { filter_ = std::move(f); }
    const CellFilter* cell_filter() const override { return filter_ ? &*filter_ : nullptr; }
    void reverse() override {}
    void set_rng(Rng rng) override { rng_ = rng; }
    void reset() override { cells_.clear(); }
    dsl::ExprPtr to_dsl() const override { dsl::fail_not_instantiable(name()); }

private:
    float ratio_;
    std::uint32_t dmin_, dmax_, amin_, amax_;
    std::optional<CellFilter> filter_;
    Rng rng_;
    std::vector<GlitchCell> cells_;
    std::optional<Rect> area_;
};

}  // namespace

std::optional<std::string> glitch_range_error(std::uint32_t delay_min, std::uint32_t delay_max,
                                              std::uint32_t action_min, std::uint32_t action_max) {
    if (delay_min >= delay_max)
        return "action_start_delay_min_ms must be less than action_start_delay_max_ms";
    if (action_min >= action_max) return "action_min_ms must be less than action_max_ms";
    return std::nullopt;
}

Effect glitch(float ratio, std::uint32_t delay_min, std::uint32_t delay_max, std::uint32_t action_min,
              std::uint32_t action_max, std::optional<CellFilter> filter, Rng rng) {
    return Effect::make<Glitch>(ratio, delay_min, delay_max, action_min, action_max, std::move(filter), rng);
}

}  // namespace tarvo::core::fx
