// Block: the frame drawn around a widget (borders on chosen sides, a border symbol set, titles
// on the top and bottom rows, styles and inner padding), and the pieces it is built from.
//
// Widgets that can sit inside a block keep a `std::optional<Block>`, draw it with
// render_block(block, area, buf) and draw themselves into the area that call returns (the same
// as inner_area(block, area)).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::core {

struct Buffer;

// The eight symbols a border is drawn with. Any text is accepted, empty included.
struct BorderSet {
    std::string top_left;
    std::string top_right;
    std::string bottom_left;
    std::string bottom_right;
    std::string vertical_left;
    std::string vertical_right;
    std::string horizontal_top;
    std::string horizontal_bottom;

    static BorderSet plain();
    static BorderSet rounded();
    static BorderSet double_line();
    static BorderSet thick();
    static BorderSet quadrant_inside();
    static BorderSet quadrant_outside();
    static BorderSet of(BorderType type);

    // "Set { top_left: \"┌\", ... }" with the eight fields in order.
    std::string repr() const;

    friend bool operator==(const BorderSet&, const BorderSet&) = default;
};

// Inner margins: columns off the left and right, rows off the top and bottom.
struct Padding {
    std::uint16_t left = 0;
    std::uint16_t right = 0;
    std::uint16_t top = 0;
    std::uint16_t bottom = 0;

    std::string repr() const;
    friend constexpr bool operator==(const Padding&, const Padding&) = default;
};

// A title line, with its own position or none (then the block's titles_position applies).
struct BlockTitle {
    std::optional<TitlePosition> position;
    Line line;
};

struct Block {
    std::vector<BlockTitle> titles;
    Style titles_style;
    Alignment titles_alignment = Alignment::Left;
    TitlePosition titles_position = TitlePosition::Top;
    std::uint8_t borders = borders::NONE;
    Style border_style;
    BorderSet border_set = BorderSet::plain();
    Style style;
    Padding padding;

    static Block bordered() {
        Block b;
        b.borders = borders::ALL;
        return b;
    }

    // True when some title lands on that row (by its own position, else the block's).
    bool has_title_at(TitlePosition position) const noexcept;

    // The area left for content: one column off each side with a border, one row off the top
    // (bottom) when it has a border or a title, then the padding. Never negative.
    Rect inner(const Rect& area) const noexcept;

    // Draws the block over `area` (clipped to the buffer): the style over the whole area, the
    // borders with their corners, then the titles.
    void render(const Rect& area, Buffer& buf) const;

    // "Block { titles: [...], titles_style: ..., ... }" in field order.
    std::string repr() const;
};

inline Rect inner_area(const std::optional<Block>& block, const Rect& area) noexcept {
    return block ? block->inner(area) : area;
}
// Draws the block, if there is one, over `area`; returns the area left inside it.
inline Rect render_block(const std::optional<Block>& block, const Rect& area, Buffer& buf) {
    if (block) block->render(area, buf);
    return inner_area(block, area);
}
// "None" or "Some(Block { ... })".
std::string optional_block_repr(const std::optional<Block>& block);

// "Left", "Center" or "Right".
std::string_view alignment_name(Alignment a) noexcept;

}  // namespace tarvo::core
