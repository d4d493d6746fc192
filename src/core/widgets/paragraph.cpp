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
    std::uint32_t span;  // the span it comes from, for its style
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
            width[c] = clamp_to<std::uint16_t>(unicode::grapheme_width(g));
            space[c] = separates_words(g);
            control[c] = unicode::has_control(g);
        }
    }
};
const AsciiTable& ascii_table() {
    static const AsciiTable table;
    return table;
}

// Reads one line grapheme by grapheme, as the cells it takes when drawn. Graphemes holding a
// control character (tabs, line breaks, escapes, ...) are never drawn and take no room, so
// they are left out.
class GlyphReader {
public:
    void start(const Line& line) noexcept {
        line_ = &line;
        span_ = 0;
        at_ = 0;
    }

    // Most glyphs are one ASCII byte standing alone. That case is always inlined: the glyph is
    // then handed over in registers, where a copy through memory would stall every read of it.
    [[gnu::always_inline]] bool next(Glyph& out) {
        if (span_ < line_->spans.size()) {
            const std::string_view s = line_->spans[span_].content;
            if (at_ < s.size() && stands_alone(s, at_) &&
                !ascii_table().control[static_cast<unsigned char>(s[at_])]) {
                out = one_byte(s, at_++);
                return true;
            }
        }
        return next_any(out);
    }

private:
    // An ASCII byte before another ASCII byte (or the end) stands alone; CR LF is one grapheme.
    static bool stands_alone(std::string_view s, std::size_t i) noexcept {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) return false;
        if (i + 1 == s.size()) return true;
        const auto d = static_cast<unsigned char>(s[i + 1]);
        return d < 0x80 && !(c == '\r' && d == '\n');
    }
    Glyph one_byte(std::string_view s, std::size_t i) const noexcept {
        const AsciiTable& ascii = ascii_table();
        const auto c = static_cast<unsigned char>(s[i]);
        return Glyph{s.substr(i, 1), span_, ascii.width[c], ascii.space[c]};
    }

    bool next_any(Glyph& out) {
        while (span_ < line_->spans.size()) {
            const std::string_view s = line_->spans[span_].content;
            while (at_ < s.size()) {
                const std::size_t i = at_;
                if (stands_alone(s, i)) {
                    ++at_;
                    if (ascii_table().control[static_cast<unsigned char>(s[i])]) continue;
                    out = one_byte(s, i);
                    return true;
                }
                at_ = unicode::grapheme_end(s, i);
                const std::string_view g = s.substr(i, at_ - i);
                if (unicode::has_control(g)) continue;
                out = Glyph{g, span_, clamp_to<std::uint16_t>(unicode::grapheme_width(g)), separates_words(g)};
                return true;
            }
            ++span_;
            at_ = 0;
        }
        return false;
    }

    const Line* line_ = nullptr;
    std::uint32_t span_ = 0;
    std::size_t at_ = 0;
};

// Walks the text's lines. The current line is read through `reader`.
class LineSource {
public:
    LineSource(const Text& text, Alignment fallback) : text_(text), fallback_(fallback) {}

    void skip(std::size_t n) noexcept { next_ = n > text_.lines.size() - next_ ? text_.lines.size() : next_ + n; }

    // Moves to the next line; false at the end of the text.
    bool advance() {
        if (next_ >= text_.lines.size()) return false;
        line = &text_.lines[next_++];
        alignment = line->alignment.value_or(fallback_);
        reader.start(*line);
        return true;
    }

    const Style& text_style() const noexcept { return text_.style; }

    const Line* line = nullptr;
    Alignment alignment = Alignment::Left;
    GlyphReader reader;

private:
    const Text& text_;
    Alignment fallback_;
    std::size_t next_ = 0;
};

// A finished row: glyphs of one line, their total width and the alignment to draw them with.
struct Row {
    const std::vector<Glyph>* glyphs;
    const Line* line;
    std::uint16_t width;
    Alignment alignment;
};

// Breaks lines at word boundaries so that no row is wider than `max`. Words wider than a row
// are broken at the row's end. A line is read only as far as the rows asked for need: what is
// held at any time is the row being built and the word and white space after it, so a long
// line costs memory for the rows drawn, not for the whole line.
class WordWrapper {
public:
    WordWrapper(LineSource& src, std::uint16_t max, bool trim) : src_(src), max_(max), trim_(trim) {}

    bool next(Row& row) {
        if (max_ == 0) return false;
        while (queue_.empty()) {
            if (reading_) {
                Glyph g;
                if (src_.reader.next(g)) {
                    feed(g);
                } else {
                    finish_line();
                    reading_ = false;
                }
            } else {
                if (!src_.advance()) return false;
                start_line();
                reading_ = true;
            }
        }
        spare_.push_back(std::move(current_));
        current_ = std::move(queue_.front());
        queue_.pop_front();
        std::uint32_t w = 0;
        for (const Glyph& g : current_) w += g.width;
        row = Row{&current_, src_.line, clamp_to<std::uint16_t>(w), src_.alignment};
        return true;
    }

private:
    void start_line() {
        line_.clear();
        line_w_ = word_w_ = space_w_ = 0;
        after_word_ = false;
        word_.clear();
        spaces_.clear();
        rows_of_line_ = 0;
    }

    void take_spaces() {
        line_.insert(line_.end(), spaces_.begin(), spaces_.end());
        spaces_.clear();
    }
    void take_word() {
        line_.insert(line_.end(), word_.begin(), word_.end());
        word_.clear();
    }

    void feed(const Glyph& g) {
        if (g.width > max_) return;  // can never fit

        // A word just ended, or what is pending can no longer go on an empty row: move the
        // pending white space and word onto the row.
        bool settle = after_word_ && g.space;
        if (!settle && line_.empty()) {
            settle = trim_ ? (word_w_ + g.width > max_ || space_w_ + g.width > max_)
                           : (word_w_ + space_w_ + g.width > max_);
        }
        if (settle) {
            if (!line_.empty() || !trim_) {
                line_w_ += space_w_;
                take_spaces();
            }
            line_w_ += word_w_;
            take_word();
            spaces_.clear();
            space_w_ = 0;
            word_w_ = 0;
        }

        // The row is full, or the pending word would reach past it: close the row.
        if (line_w_ >= max_ || (g.width > 0 && line_w_ + space_w_ + word_w_ >= max_)) {
            std::uint32_t room = line_w_ < max_ ? max_ - line_w_ : 0;
            // line_w_ is the row's width: a row that fits needs no second look.
            if (line_w_ <= max_)
                queue_row(std::move(line_));
            else
                push_row(std::move(line_));
            line_ = spare_row();
            line_w_ = 0;
            // White space that still fits on the closed row is dropped with it.
            while (!spaces_.empty() && spaces_.front().width <= room) {
                space_w_ -= spaces_.front().width;
                room -= spaces_.front().width;
                spaces_.pop_front();
            }
            if (g.space && spaces_.empty()) return;  // no white space opens the next row
        }

        if (g.space) {
            space_w_ += g.width;
            spaces_.push_back(g);
        } else {
            word_w_ += g.width;
            word_.push_back(g);
        }
        after_word_ = !g.space;
    }

    void finish_line() {
        const bool only_spaces_left = line_.empty() && word_.empty() && !spaces_.empty();
        if (only_spaces_left && trim_) queue_row({});
        if (!line_.empty() || !trim_) take_spaces();
        take_word();
        if (!line_.empty()) push_row(std::move(line_));
        line_.clear();
        if (rows_of_line_ == 0) queue_row({});  // an empty line is an empty row
    }

    // An empty row, with the storage of one drawn before when there is one.
    std::vector<Glyph> spare_row() {
        if (spare_.empty()) return {};
        std::vector<Glyph> row = std::move(spare_.back());
        spare_.pop_back();
        row.clear();
        return row;
    }

    void queue_row(std::vector<Glyph>&& row) {
        queue_.push_back(std::move(row));
        ++rows_of_line_;
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
                queue_row(std::move(row));
                return;
            }
            std::size_t rest = cut;
            if (trim_)
                while (rest < row.size() && row[rest].space) ++rest;
            std::vector<Glyph> tail = spare_row();
            tail.assign(row.begin() + static_cast<std::ptrdiff_t>(rest), row.end());
            row.resize(cut);
            queue_row(std::move(row));
            if (tail.empty()) return;
            row = std::move(tail);
        }
    }

    LineSource& src_;
    std::uint32_t max_;
    bool trim_;
    bool reading_ = false;  // a line is being read
    std::deque<std::vector<Glyph>> queue_;
    std::vector<Glyph> current_;
    std::vector<std::vector<Glyph>> spare_;  // storage of rows already drawn, for reuse
    // The state of the line being read: the row being built, the word and the white space
    // after it, their widths, and how many rows the line has given.
    std::vector<Glyph> line_;
    std::uint32_t line_w_ = 0, word_w_ = 0, space_w_ = 0;
    bool after_word_ = false;
    std::vector<Glyph> word_;
    // White space after the last word: a vector read from `spaces_from_` on (a queue without
    // the cost of one).
    struct Pending {
        std::vector<Glyph> items;
        std::size_t from = 0;
        bool empty() const noexcept { return from == items.size(); }
        const Glyph& front() const noexcept { return items[from]; }
        void pop_front() noexcept { ++from; }
        void push_back(const Glyph& g) { items.push_back(g); }
        void clear() noexcept {
            items.clear();
            from = 0;
        }
        std::vector<Glyph>::const_iterator begin() const noexcept {
            return items.begin() + static_cast<std::ptrdiff_t>(from);
        }
        std::vector<Glyph>::const_iterator end() const noexcept { return items.end(); }
    };
    Pending spaces_;
    std::size_t rows_of_line_ = 0;
};

// One row per line, cut at the area's width; left-aligned lines skip `offset` columns first.
// A line is read only as far as the skipped columns and one row reach.
class LineTruncator {
public:
    LineTruncator(LineSource& src, std::uint16_t max, std::uint16_t offset) : src_(src), max_(max), offset_(offset) {}

    bool next(Row& row) {
        if (max_ == 0 || !src_.advance()) return false;
        current_.clear();
        std::uint32_t w = 0;
        std::uint32_t skip = offset_;
        const bool shifts = src_.alignment == Alignment::Left;
        Glyph g;
        while (src_.reader.next(g)) {
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
        row = Row{&current_, src_.line, clamp_to<std::uint16_t>(w), src_.alignment};
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

void draw_row(const Row& row, const Style& text_style, const Rect& area, std::uint16_t dy, Buffer& buf) {
    std::uint32_t x = std::uint32_t{area.x} + row_offset(row.width, area.width, row.alignment);
    const std::uint32_t y = std::uint32_t{area.y} + dy;
    const Style base = text_style.patch(row.line->style);
    // The row of the buffer, when y is on it: columns are checked against its ends only.
    const bool on_buffer = y >= buf.area.y && y < buf.area.bottom() && buf.area.width > 0 &&
                           buf.index_of(buf.area.x, static_cast<std::uint16_t>(y)) + buf.area.width <= buf.content.size();
    Cell* const cells =
        on_buffer ? buf.content.data() + buf.index_of(buf.area.x, static_cast<std::uint16_t>(y)) : nullptr;
    const std::uint32_t left = buf.area.x, right = buf.area.right();
    std::uint32_t styled_span = UINT32_MAX;
    Style style;
    for (const Glyph& g : *row.glyphs) {
        if (g.width == 0) continue;
        if (g.span != styled_span) {
            styled_span = g.span;
            style = base.patch(row.line->spans[g.span].style);
        }
        if (cells && x >= left && x < right) {
            Cell& c = cells[x - left];
            if (g.symbol.size() == 1)
                c.set_char(g.symbol[0]);
            else
                c.set_symbol(g.symbol);
            c.set_style(style);
        }
        x += g.width;
    }
}

template <typename Composer>
void draw_rows(Composer& composer, const LineSource& src, const Rect& area, Buffer& buf) {
    Row row{};
    for (std::uint16_t dy = 0; dy < area.height && composer.next(row); ++dy)
        draw_row(row, src.text_style(), area, dy, buf);
}

}  // namespace

void Paragraph::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    // An empty style changes no cell: skip the walk over the area.
    const bool styled = style != Style{};
    if (styled) buf.set_style(area, style);
    const Rect inner = render_block(block, area, buf);
    if (inner.is_empty()) return;
    if (styled) buf.set_style(inner, style);

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
