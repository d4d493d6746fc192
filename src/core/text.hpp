// Styled text: spans (one run with one style), lines (spans side by side) and texts (lines
// stacked), their widths, their builder-form debug texts and their rendering into a buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/geometry.hpp"
#include "core/style.hpp"

namespace tarvo::core {

struct Buffer;

// Horizontal alignment of a line within its area.
enum class Alignment : std::uint8_t { Left = 0, Center = 1, Right = 2 };

// The pieces of a text cut at each line feed: a carriage return right before a line feed goes
// with it, and a final line feed starts no further piece. The empty string gives no pieces.
std::vector<std::string_view> split_lines(std::string_view text);

// One run of characters drawn with one style. Line breaks in the content are not interpreted.
struct Span {
    std::string content;
    Style style;

    static Span raw(std::string content) { return Span{std::move(content), Style{}}; }
    static Span styled(std::string content, const Style& style) {
        return Span{std::move(content), style};
    }

    // Display width of the content (the string width).
    std::size_t width() const noexcept;

    Span patched(const Style& s) const { return Span{content, style.patch(s)}; }
    Span reset() const { return patched(Style::reset()); }

    // "Span::default()" or "Span::from(\"...\")", then the style's builder calls.
    std::string repr() const;

    // Draws the content from the area's top-left cell, grapheme by grapheme, stopping before a
    // grapheme that would cross the area's right edge. Graphemes with control characters are
    // skipped; zero-width ones join the previous cell. Only cells inside the buffer are written.
    void render(const Rect& area, Buffer& buf) const;
};

// One row of spans with a style under them and an optional alignment.
struct Line {
    std::vector<Span> spans;
    Style style;
    std::optional<Alignment> alignment;

    // One unstyled span per piece of split_lines(content).
    static Line raw(std::string_view content);
    static Line styled(std::string_view content, const Style& style);
    static Line from_span(Span span) {
        Line l;
        l.spans.push_back(std::move(span));
        return l;
    }

    // Sum of the spans' widths (not the width of the joined text).
    std::size_t width() const noexcept;

    std::string repr() const;

    // Draws the line into the first row of the area, aligned by its own alignment, else by
    // `fallback`, else left. A line wider than the area loses its right part (left aligned),
    // its left part (right aligned) or both halves (centered).
    void render(const Rect& area, Buffer& buf,
                std::optional<Alignment> fallback = std::nullopt) const;
};

// Lines stacked top to bottom with a style under them and an alignment for the lines that
// have none of their own.
struct Text {
    std::vector<Line> lines;
    Style style;
    std::optional<Alignment> alignment;

    // One line holding one unstyled span per piece of split_lines(content); the empty string
    // gives one line without spans.
    static Text raw(std::string_view content);
    static Text styled(std::string_view content, const Style& style);
    static Text from_line(Line line) {
        Text t;
        t.lines.push_back(std::move(line));
        return t;
    }

    // The widest line's width.
    std::size_t width() const noexcept;
    std::size_t height() const noexcept { return lines.size(); }

    std::string repr() const;

    // Draws line i into row i of the area (clipped to the buffer), over the text style.
    void render(const Rect& area, Buffer& buf) const;
};

// The builder calls that rebuild a style on top of the default one (".red().bold()"), empty
// for the default style.
std::string style_calls(const Style& style);

// ".left_aligned()", ".centered()" or ".right_aligned()"; empty for no alignment.
std::string_view alignment_call(std::optional<Alignment> alignment) noexcept;

}  // namespace tarvo::core
