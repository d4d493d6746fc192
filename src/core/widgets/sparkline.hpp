// The Sparkline: a row of vertical bars, one per value, scaled to the area's height in eighths
// of a cell.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/memo.hpp"

namespace tarvo::core {

struct SparklineBar {
    // Absent: the bar is drawn with the sparkline's absent-value symbol and style.
    std::optional<std::uint64_t> value;
    // Layered over the sparkline's style when present.
    std::optional<Style> style;
};

struct Sparkline {
    std::vector<SparklineBar> data;
    std::optional<Block> block;
    Style style;
    // The value that fills the whole height; the largest present value when absent.
    std::optional<std::uint64_t> max;
    Style absent_value_style;
    std::string absent_value_symbol = " ";

    void render(const Rect& area, Buffer& buf) const;

    // The value that fills the whole height: `max`, else the largest present value (worked out
    // once per sparkline), else 1.
    std::uint64_t top() const;

private:
    Memo largest_;
};

}  // namespace tarvo::core
