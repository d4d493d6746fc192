// Progress widgets: the Gauge (an area filled in proportion to a ratio, with a centred label)
// and the LineGauge (one line of "─" split into a filled and an unfilled part, after a label).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"

namespace tarvo::core {

// The ratio a percentage stands for; panics for a percentage above 100.
double gauge_percent_ratio(std::uint16_t percent);
// The ratio itself; panics unless 0 <= ratio <= 1 (NaN included).
double gauge_checked_ratio(double ratio);

struct Gauge {
    std::optional<Block> block;
    double ratio = 0.0;
    std::optional<Span> label;
    bool use_unicode = false;
    Style style;
    Style gauge_style;

    // "Gauge { block: ..., ratio: ..., label: ..., use_unicode: ..., style: ..., gauge_style: ... }"
    std::string repr() const;

    void render(const Rect& area, Buffer& buf) const;
};

struct LineGauge {
    // The symbol of both parts of the line.
    static constexpr const char* kLineSymbol = "\u2500";

    std::optional<Block> block;
    double ratio = 0.0;
    std::optional<Line> label;
    Style style;
    Style filled_style;
    Style unfilled_style;

    void render(const Rect& area, Buffer& buf) const;
};

// The default labels: the gauge's rounded percentage ("42%") and the line gauge's percentage
// rounded half to even and padded to three columns (" 42%").
std::string gauge_default_label(double ratio);
std::string line_gauge_default_label(double ratio);

}  // namespace tarvo::core
