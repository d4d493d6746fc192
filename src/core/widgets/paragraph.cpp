#include "core/widgets/paragraph.hpp"

#include <array>
#include <deque>
#include <vector>

#include "core/buffer.hpp"
#include "core/debug.hpp"
#include "core/numeric.hpp"
#include "core/unicode.hpp"

namespace tarvo::core {

namespace {

// One grapheme of a line as the paragraph lays it out.
struct Glyph {
    std::string_view symbol;
    std::uint32_t style;  // index into the current line's style table
    std::uint16_t width;
    bool space;
};

bool white_space_cp(char32_t c) noexcept {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// A grapheme that separates words: white space other than the no-break space, and the
// zero-width space.
bool separates_words(std::string_view g) noexcept {
    if (g == "\u200B") return true;
    if (g == "\u00A0") return false;
    for (std::size_t i = 0; i < g.size();) {
        const unicode::Decoded d = unicode::decode(g, i);
        if (!d.valid || !white_space_cp(d.cp)) return false;
        i += d.len;
    }
    return true;
}

// Width, word separation and whether it is dropped (a control character), for each one-byte
// grapheme, measured once.
struct AsciiTable {
    std::array<std::uint16_t, 128> width{};
    std::array<bool, 128> space{};
    std::array<bool, 128> control{};
    AsciiTable() {
        for (int c = 0; c < 128; ++c) {
            const char ch = static_cast<char>(c);
            const std::string_view g(&ch, 1);
            width[c] = clamp_to<std::uint16_t>(unicode::str_width(g));
            space[c] = separates_words(g);
            control[c] = unicode::has_control(g);
        }
    }
};
const AsciiTable& ascii_table() {
    static const AsciiTable table;
    return table;
}

// Walks the text's lines, giving each as glyphs with its effective alignment. The glyphs and
// styles of one line stay valid until the next call of advance().
class LineSource {
public:
    LineSource(const Text& text, Alignment fallback) : text_(text), fallback_(fallback) {}

    void skip(std::size_t n) noexcept { next_ = n > text_.lines.size() - next_ ? text_.lines.size() : next_ + n; }

    // Takes the next line. Glyph collection may stop once the glyphs that fit a row of `fit`
    // columns add up to more than `limit` columns (a reader that cuts rows needs no more).
    bool advance(std::uint32_t fit = UINT32_MAX, std::uint64_t limit = UINT64_MAX) {
        if (next_ >= text_.lines.size()) return false;
        const Line& line = text_.lines[next_++];
        alignment = line.alignment.value_or(fallback_);
        styles.clear();
        glyphs.clear();
        const Style base = text_.style.patch(line.style);
        const AsciiTable& ascii = ascii_table();
        std::uint64_t total = 0;
        for (const Span& span : line.spans) {
            if (total > limit) break;
            const auto index = static_cast<std::uint32_t>(styles.size());
            styles.push_back(base.patch(span.style));
            unicode::for_each_grapheme(span.content, [&](std::string_view g) {
                // Graphemes holding a control character (tabs, line breaks, escapes, ...) are
                // never drawn and take no room.
                std::uint16_t w;
                bool space;
                if (g.size() == 1 && static_cast<unsigned char>(g[0]) < 0x80) {
                    const auto c = static_cast<unsigned char>(g[0]);
                    if (ascii.control[c]) return true;
                    w = ascii.width[c];
                    space = ascii.space[c];
                } else {
                    if (unicode::has_control(g)) return true;
                    w = clamp_to<std::uint16_t>(unicode::str_width(g));
                    space = separates_words(g);
                }
                glyphs.push_back(Glyph{g, index, w, space});
                if (w <= fit) total += w;
                return total <= limit;
            });
        }
        return true;
    }

    std::vector<Glyph> glyphs;
    std::vector<Style> styles;
    Alignment alignment = Alignment::Left;

private:
    const Text& text_;
    Alignment fallback_;
    std::size_t next_ = 0;
};

// A finished row: glyphs, their total width and the alignment to draw them with.
struct Row {
    const std::vector<Glyph>* glyphs;
    std::uint16_t width;
    Alignment alignment;
};

// Breaks lines at word boundaries so that no row is wider than `max`. Words wider than a row
// are broken at the row's end.
class WordWrapper {
public:
    WordWrapper(LineSource& src, std::uint16_t max, bool trim) : src_(src), max_(max), trim_(trim) {}

    bool next(Row& row) {
        if (max_ == 0) return false;
        while (queue_.empty()) {
            if (!src_.advance()) return false;
            split(src_.glyphs);
        }
        current_ = std::move(queue_.front());
        queue_.pop_front();
        std::uint32_t w = 0;
        for (const Glyph& g : current_) w += g.width;
        row = Row{&current_, clamp_to<std::uint16_t>(w), src_.alignment};
        return true;
    }

private:
    void split(const std::vector<Glyph>& glyphs) {
        std::vector<Glyph> line;
        std::uint32_t line_w = 0, word_w = 0, space_w = 0;
        bool after_word = false;
        word_.clear();
        spaces_.clear();

        auto take_spaces = [&] {
            line.insert(line.end(), spaces_.begin(), spaces_.end());
            spaces_.clear();
        };
        auto take_word = [&] {
            line.insert(line.end(), word_.begin(), word_.end());
            word_.clear();
        };

        for (const Glyph& g : glyphs) {
            if (g.width > max_) continue;  // can never fit

            // A word just ended, or what is pending can no longer go on an empty row: move the
            // pending white space and word onto the row.
            bool settle = after_word && g.space;
            if (!settle && line.empty()) {
                settle = trim_ ? (word_w + g.width > max_ || space_w + g.width > max_)
                               : (word_w + space_w + g.width > max_);
            }
            if (settle) {
                if (!line.empty() || !trim_) {
                    line_w += space_w;
                    take_spaces();
                }
                line_w += word_w;
                take_word();
                spaces_.clear();
                space_w = 0;
                word_w = 0;
            }

            // The row is full, or the pending word would reach past it: close the row.
            if (line_w >= max_ || (g.width > 0 && line_w + space_w + word_w >= max_)) {
                std::uint32_t room = line_w < max_ ? max_ - line_w : 0;
                push_row(std::move(line));
                line = {};
                line_w = 0;
                // White space that still fits on the closed row is dropped with it.
                while (!spaces_.empty() && spaces_.front().width <= room) {
                    space_w -= spaces_.front().width;
                    room -= spaces_.front().width;
                    spaces_.pop_front();
                }
                if (g.space && spaces_.empty()) continue;  // no white space opens the next row
            }

            if (g.space) {
                space_w += g.width;
                spaces_.push_back(g);
            } else {
                word_w += g.width;
                word_.push_back(g);
            }
            after_word = !g.space;
        }

        const bool only_spaces_left = line.empty() && word_.empty() && !spaces_.empty();
        if (only_spaces_left && trim_) queue_.emplace_back();
        if (!line.empty() || !trim_) take_spaces();
        take_word();
        if (!line.empty()) push_row(std::move(line));
        if (queue_.empty()) queue_.emplace_back();
    }

    // Queues a finished row. The rules above can leave a row wider than `max_` where a wide
    // glyph or trailing white space lands on a nearly full row; such a row is split so that
    // nothing is drawn past the area: the glyphs that do not fit start the next row (without
    // their leading white space when trimming).
    void push_row(std::vector<Glyph>&& row) {
        for (;;) {
            std::uint32_t w = 0;
            std::size_t cut = 0;
            while (cut < row.size() && w + row[cut].width <= max_) w += row[cut++].width;
            if (cut == row.size()) {
                queue_.push_back(std::move(row));
                return;
            }
            std::size_t rest = cut;
            if (trim_)
                while (rest < row.size() && row[rest].space) ++rest;
            std::vector<Glyph> tail(row.begin() + static_cast<std::ptrdiff_t>(rest), row.end());
            row.resize(cut);
            queue_.push_back(std::move(row));
            if (tail.empty()) return;
            row = std::move(tail);
        }
    }

    LineSource& src_;
    std::uint32_t max_;
    bool trim_;
    std::deque<std::vector<Glyph>> queue_;
    std::vector<Glyph> current_;
    std::vector<Glyph> word_;
    std::deque<Glyph> spaces_;
};

// One row per line, cut at the area's width; left-aligned lines skip `offset` columns first.
class LineTruncator {
public:
    LineTruncator(LineSource& src, std::uint16_t max, std::uint16_t offset) : src_(src), max_(max), offset_(offset) {}

    bool next(Row& row) {
        // Glyphs beyond the skipped columns plus one row can never be shown.
        if (max_ == 0 || !src_.advance(max_, std::uint64_t{offset_} + max_)) return false;
        current_.clear();
        std::uint32_t w = 0;
        std::uint32_t skip = offset_;
        const bool shifts = src_.alignment == Alignment::Left;
        for (const Glyph& g : src_.glyphs) {
            if (g.width > max_) continue;
            if (w + g.width > max_) break;
            Glyph out = g;
            if (skip != 0 && shifts) {
                if (g.width > skip) {
                    skip = 0;
                } else {
                    skip -= g.width;
                    out.symbol = {};
                    out.width = 0;
                }
            }
            w += out.width;
            current_.push_back(out);
        }
        row = Row{&current_, clamp_to<std::uint16_t>(w), src_.alignment};
        return true;
    }

private:
    LineSource& src_;
    std::uint32_t max_;
    std::uint16_t offset_;
    std::vector<Glyph> current_;
};

std::uint16_t row_offset(std::uint16_t line_w, std::uint16_t area_w, Alignment a) noexcept {
    switch (a) {
        case Alignment::Center: return sat_sub<std::uint16_t>(area_w / 2, line_w / 2);
        case Alignment::Right: return sat_sub(area_w, line_w);
        case Alignment::Left: return 0;
    }
    return 0;
}

void draw_row(const Row& row, const std::vector<Style>& styles, const Rect& area, std::uint16_t dy, Buffer& buf) {
    std::uint32_t x = std::uint32_t{area.x} + row_offset(row.width, area.width, row.alignment);
    const std::uint32_t y = std::uint32_t{area.y} + dy;
    for (const Glyph& g : *row.glyphs) {
        if (g.width == 0) continue;
        if (Cell* c = buf.cell_at(x, y)) c->set_symbol(g.symbol).set_style(styles[g.style]);
        x += g.width;
    }
}

template <typename Composer>
void draw_rows(Composer& composer, const LineSource& src, const Rect& area, Buffer& buf) {
    Row row{};
    for (std::uint16_t dy = 0; dy < area.height && composer.next(row); ++dy) draw_row(row, src.styles, area, dy, buf);
}

}  // namespace

void Paragraph::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    buf.set_style(area, style);
    const Rect inner = render_block(block, area, buf);
    if (inner.is_empty()) return;
    buf.set_style(inner, style);

    LineSource src(text, alignment);
    if (wrap) {
        WordWrapper composer(src, inner.width, wrap->trim);
        Row skipped{};
        for (std::uint16_t i = 0; i < scroll.y; ++i)
            if (!composer.next(skipped)) return;
        draw_rows(composer, src, inner, buf);
    } else {
        src.skip(scroll.y);
        LineTruncator composer(src, inner.width, scroll.x);
        draw_rows(composer, src, inner, buf);
    }
}

std::string Paragraph::repr() const {
    const std::string wrap_text =
        debug::option(wrap, [](const Wrap& w) { return debug::Struct("Wrap").field("trim", debug::boolean(w.trim)).finish(); });
    const std::string scroll_text =
        debug::Struct("Position").field("x", std::to_string(scroll.x)).field("y", std::to_string(scroll.y)).finish();
    return debug::Struct("Paragraph")
        .field("block", optional_block_repr(block))
        .field("style", style_repr(style))
        .field("wrap", wrap_text)
        .field("text", text.repr())
        .field("scroll", scroll_text)
        .field("alignment", std::string(alignment_name(alignment)))
        .finish();
}

}  // namespace tarvo::core
