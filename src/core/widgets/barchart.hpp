// The BarChart: groups of bars drawn vertically (growing upward) or horizontally (growing
// rightward), with value texts and labels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/buffer.hpp"
#include "core/geometry.hpp"
#include "core/layout.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"
#include "core/widgets/memo.hpp"

namespace tarvo::core {

struct Bar {
    std::uint64_t value = 0;
    std::optional<Line> label;
    Style style;
    Style value_style;
    // Shown in place of the number when present.
    std::optional<std::string> text_value;

    // The text drawn for the value: the text value, else the number.
    std::string value_text() const;
};

struct BarGroup {
    std::vector<Bar> bars;
    std::optional<Line> label;

    // The largest bar value; nothing for a group without bars.
    std::optional<std::uint64_t> max() const;
};

struct BarChart {
    std::vector<BarGroup> data;
    std::optional<Block> block;
    std::uint16_t bar_width = 1;
    std::uint16_t bar_gap = 1;
    std::uint16_t group_gap = 0;
    // The value of a full-length bar; the largest bar value when absent.
    std::optional<std::uint64_t> max;
    Direction direction = Direction::Vertical;
    Style bar_style;
    Style value_style;
    Style label_style;
    Style style;

    // Appends a group to the data; a group without bars is left out, so it takes no room.
    void add_group(BarGroup group);

    void render(const Rect& area, Buffer& buf) const;

private:
    struct LabelInfo {
        bool group_label_visible = false;
        bool bar_label_visible = false;
        std::uint16_t height = 0;
    };

    std::uint64_t maximum_data_value() const;
    // The widest bar label (display width), worked out once per chart.
    std::size_t widest_bar_label() const;
    // The visible bars of each visible group as lengths in eighths of a cell.
    std::vector<std::vector<std::uint64_t>> group_ticks(std::uint32_t available_space,
                                                       std::uint16_t bar_max_length) const;
    LabelInfo label_info(std::uint16_t available_height) const;
    void render_vertical(const Rect& area, Buffer& buf) const;
    void render_vertical_bars(const Rect& area, Buffer& buf,
                              const std::vector<std::vector<std::uint64_t>>& ticks) const;
    void render_labels_and_values(const Rect& area, Buffer& buf, LabelInfo info,
                                  const std::vector<std::vector<std::uint64_t>>& ticks) const;
    void render_horizontal(const Rect& area, Buffer& buf) const;

    // Summaries of the data, worked out on the first draw.
    Memo largest_;
    Memo widest_label_;
    Memo labels_;  // bit 0: some bar has a label; bit 1: some group has one
};

}  // namespace tarvo::core
