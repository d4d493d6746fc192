// Paragraph: a Text shown in an area, optionally inside a Block, with a base style, word
// wrapping, per-line alignment and a scroll offset. Without wrapping, lines wider than the area
// are cut at its right edge.
#pragma once

#include <optional>
#include <string>

#include "core/geometry.hpp"
#include "core/style.hpp"
#include "core/text.hpp"
#include "core/widgets/block.hpp"

namespace tarvo::core {

struct Buffer;

// Word wrapping; with `trim`, white space at the start of wrapped lines is dropped.
struct Wrap {
    bool trim = false;
};

struct Paragraph {
    std::optional<Block> block;
    Style style;
    std::optional<Wrap> wrap;
    Text text;
    Position scroll;  // x: columns skipped (unwrapped, left-aligned lines only); y: rows skipped
    Alignment alignment = Alignment::Left;

    // A paragraph of `text`, aligned as the text is (left when it has no alignment).
    static Paragraph of(Text text) {
        Paragraph p;
        p.alignment = text.alignment.value_or(Alignment::Left);
        p.text = std::move(text);
        return p;
    }

    void render(const Rect& area, Buffer& buf) const;

    // "Paragraph { block: ..., style: ..., wrap: ..., text: ..., scroll: ..., alignment: ... }".
    std::string repr() const;
};

}  // namespace tarvo::core
