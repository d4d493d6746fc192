#include "core/buffer.hpp"

#include <algorithm>
#include <charconv>

#include "core/numeric.hpp"
#include "core/panic.hpp"
#include "core/text.hpp"
#include "core/unicode.hpp"

namespace tarvo::core {

static_assert(sizeof(Cell) == 40, "a cell packs its inline symbol, colours and flags into 40 bytes");

Buffer Buffer::empty(Rect area) {
    Buffer b;
    b.area = area;
    b.content.resize(area.area());
    return b;
}

Buffer Buffer::filled(Rect area, const Cell& cell) {
    Buffer b;
    b.area = area;
    b.content.assign(area.area(), cell);
    return b;
}

Position Buffer::pos_of(std::uint64_t index) const {
    if (area.width == 0) panic("attempt to calculate the remainder with a divisor of zero");
    const std::uint64_t x = index % area.width + area.x;
    if (x > 65535) panic("x overflow. This should never happen as area.width is u16");
    const std::uint64_t row = index / area.width;
    if (row > 65535 || row + area.y > 65535)
        panic("y overflow. This should never happen as area.height is u16");
    return Position{static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(row + area.y)};
}

namespace {

// Printable ASCII: a byte that is a whole grapheme of width 1 when the byte after it is ASCII
// too (or the text ends there).
inline bool printable_ascii(unsigned char c) noexcept { return c >= 0x20 && c < 0x7F; }

}  // namespace

Position Buffer::set_stringn(std::uint16_t x, std::uint16_t y, std::string_view text,
                             std::size_t max_width, const Style& style) {
    if (y < area.y || y >= area.bottom() || x < area.x) return Position{x, y};
    const std::size_t room_edge = area.right() > x ? std::size_t{area.right()} - x : 0;
    std::size_t remaining = std::min<std::size_t>(std::min<std::size_t>(max_width, 65535), room_edge);
    if (remaining == 0 || text.empty()) return Position{x, y};

    Cell* const row = content.data() + index_of(area.x, y);
    const std::size_t n = text.size();
    std::size_t i = 0;
    std::size_t cx = x - area.x;  // column within the row
    while (i < n && remaining > 0) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80 && (i + 1 == n || static_cast<unsigned char>(text[i + 1]) < 0x80)) {
            // A lone ASCII byte is its own grapheme: printable ones take one cell, control
            // characters are dropped.
            if (printable_ascii(c)) {
                Cell& cell = row[cx];
                cell.set_char(static_cast<char>(c));
                cell.set_style(style);
                ++cx;
                --remaining;
            }
            ++i;
            continue;
        }
        // Anything else is measured grapheme by grapheme.
        const std::size_t end = unicode::grapheme_end(text, i);
        const std::string_view g = text.substr(i, end - i);
        i = end;
        if (unicode::has_control(g)) continue;
        const std::size_t w = unicode::grapheme_width(g);
        if (w == 0) continue;
        if (w > remaining) break;
        Cell& cell = row[cx];
        cell.set_symbol(g);
        cell.set_style(style);
        for (std::size_t k = 1; k < w; ++k) row[cx + k].reset();
        cx += w;
        remaining -= w;
    }
    return Position{static_cast<std::uint16_t>(area.x + cx), y};
}

Position Buffer::set_span(std::uint16_t x, std::uint16_t y, const Span& span, std::uint16_t max_width) {
    return set_stringn(x, y, span.content, max_width, span.style);
}

Position Buffer::set_line(std::uint16_t x, std::uint16_t y, const Line& line, std::uint16_t max_width) {
    std::uint16_t remaining = max_width;
    for (const Span& span : line.spans) {
        if (remaining == 0) break;
        const Position end = set_stringn(x, y, span.content, remaining, line.style.patch(span.style));
        remaining = static_cast<std::uint16_t>(remaining - std::min<std::uint16_t>(remaining, sat_sub(end.x, x)));
        x = end.x;
    }
    return Position{x, y};
}

void Buffer::set_style(const Rect& r, const Style& style) {
    const Rect in = area.intersection(r);
    // A rectangle beside the buffer meets it in an empty area whose corner may lie past the
    // last cell: leave before forming a row pointer from it.
    if (in.width == 0 || in.height == 0) return;
    for (std::uint16_t yy = in.y; yy < in.bottom(); ++yy) {
        Cell* row = content.data() + index_of(in.x, yy);
        for (std::uint16_t k = 0; k < in.width; ++k) row[k].set_style(style);
    }
}

void Buffer::resize(const Rect& new_area) {
    content.resize(new_area.area());
    area = new_area;
}

void Buffer::reset() noexcept {
    for (Cell& c : content) c.reset();
}

namespace {

bool is_white_space(char32_t cp) noexcept {
    if (cp <= 0x20) return cp == 0x20 || (cp >= 0x09 && cp <= 0x0D);
    if (cp < 0x85) return false;
    return cp == 0x85 || cp == 0xA0 || cp == 0x1680 || (cp >= 0x2000 && cp <= 0x200A) ||
           cp == 0x2028 || cp == 0x2029 || cp == 0x202F || cp == 0x205F || cp == 0x3000;
}

// Removes trailing white space, walking back one code point at a time.
void trim_end(std::string& s) {
    std::size_t end = s.size();
    while (end > 0) {
        std::size_t start = end - 1;
        while (start > 0 && end - start < 4 && (static_cast<unsigned char>(s[start]) & 0xC0) == 0x80)
            --start;
        const auto b0 = static_cast<unsigned char>(s[start]);
        char32_t cp;
        const std::size_t len = end - start;
        if (len == 1) cp = b0;
        else if (len == 2 && (b0 >> 5) == 6) cp = b0 & 0x1F;
        else if (len == 3 && (b0 >> 4) == 14) cp = b0 & 0x0F;
        else if (len == 4 && (b0 >> 3) == 30) cp = b0 & 0x07;
        else break;  // not a well-formed code point: not white space
        for (std::size_t k = start + 1; k < end; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[k]) & 0x3F);
        if (!is_white_space(cp)) break;
        end = start;
    }
    s.resize(end);
}

// The text a cell contributes to a dump: an absent or empty symbol shows as one space.
inline std::string_view dump_text(const Cell& c) noexcept {
    const std::string_view v = c.symbol.view();
    return v.empty() ? std::string_view(" ") : v;
}

void append_uint(std::string& out, unsigned v) {
    char buf[8];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

// SGR parameter of a colour: the plain code for Reset and the named colours, or the extended
// 38/48 forms for palette and RGB colours. `base` is 30 for foreground, 40 for background.
void append_color(std::string& out, const Color& c, unsigned base) {
    out += "\x1b[";
    switch (c.tag) {
        case Color::Reset: append_uint(out, base + 9); break;
        case Color::Rgb:
            append_uint(out, base + 8);
            out += ";2;";
            append_uint(out, c.r);
            out += ';';
            append_uint(out, c.g);
            out += ';';
            append_uint(out, c.b);
            break;
        case Color::Indexed:
            append_uint(out, base + 8);
            out += ";5;";
            append_uint(out, c.r);
            break;
        default:
            if (c.tag <= Color::Gray) append_uint(out, base + (c.tag - Color::Black));
            else append_uint(out, base + 60 + (c.tag - Color::DarkGray));
            break;
    }
    out += 'm';
}

void append_modifier(std::string& out, std::uint16_t m) {
    static constexpr struct {
        std::uint16_t bit;
        char code;
    } kCodes[] = {{modifier::BOLD, '1'},     {modifier::DIM, '2'},    {modifier::ITALIC, '3'},
                  {modifier::UNDERLINED, '4'}, {modifier::REVERSED, '7'}, {modifier::HIDDEN, '8'},
                  {modifier::CROSSED_OUT, '9'}};
    bool any = false;
    for (const auto& k : kCodes) {
        if (!(m & k.bit)) continue;
        out += any ? ";" : "\x1b[";
        out += k.code;
        any = true;
    }
    if (any) out += 'm';
}

}  // namespace

std::vector<std::string> Buffer::to_string_lines() const {
    std::vector<std::string> lines;
    lines.reserve(area.height);
    const Cell* cell = content.data();
    for (std::uint16_t r = 0; r < area.height; ++r) {
        std::string line;
        line.reserve(area.width);
        for (std::uint16_t c = 0; c < area.width; ++c, ++cell) line += dump_text(*cell);
        trim_end(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> Buffer::to_ansi_lines(bool clip_bottom) const {
    const std::size_t w = area.width;
    std::uint32_t rows = area.height;
    if (clip_bottom) {
        // Keep the rows down to the last one that holds a non-blank cell.
        rows = 0;
        for (std::uint32_t r = area.height; r > 0 && w > 0; --r) {
            const Cell* row = content.data() + (r - 1) * w;
            if (std::any_of(row, row + w, [](const Cell& c) { return !c.is_blank(); })) {
                rows = r;
                break;
            }
        }
    }
    std::vector<std::string> lines;
    lines.reserve(rows);
    for (std::uint32_t r = 0; r < rows; ++r) {
        const Cell* row = content.data() + r * w;
        std::size_t len = w;
        while (len > 0 && row[len - 1].is_blank()) --len;

        std::string line;
        line.reserve(len * 2 + 4);
        Color fg, bg;
        std::uint16_t mod = 0;
        for (std::size_t c = 0; c < len; ++c) {
            const Cell& cell = row[c];
            const bool fg_differs = !color_equal(cell.fg, fg), bg_differs = !color_equal(cell.bg, bg);
            if (fg_differs || bg_differs || cell.modifier != mod) {
                if (mod & ~cell.modifier) {
                    line += "\x1b[0m";
                    fg = bg = Color{};
                    mod = 0;
                }
                if (!color_equal(cell.fg, fg)) {
                    append_color(line, cell.fg, 30);
                    fg = cell.fg;
                }
                if (!color_equal(cell.bg, bg)) {
                    append_color(line, cell.bg, 40);
                    bg = cell.bg;
                }
                if (cell.modifier != mod) {
                    append_modifier(line, cell.modifier);
                    mod = cell.modifier;
                }
            }
            line += dump_text(cell);
        }
        line += "\x1b[0m";
        lines.push_back(std::move(line));
    }
    return lines;
}

namespace {

// Copies one cell for the widget-library side: the symbol always present, defined modifier
// bits only.
inline void copy_cell(const Cell& from, Cell& to) {
    if (from.symbol.has_value()) to.symbol = from.symbol;
    else to.symbol.assign_byte(' ');
    to.fg = from.fg;
    to.bg = from.bg;
    to.underline_color = from.underline_color;
    to.modifier = static_cast<std::uint16_t>(from.modifier & modifier::ALL);
    to.skip = from.skip;
}

}  // namespace

Buffer region_copy(const Buffer& src) {
    const std::uint32_t x = src.area.x, y = src.area.y;
    const std::uint32_t right = std::min<std::uint32_t>(x + src.area.width, 65535);
    const std::uint32_t bottom = std::min<std::uint32_t>(y + src.area.height, 65535);
    Buffer out = Buffer::empty(Rect{src.area.x, src.area.y, static_cast<std::uint16_t>(right - x),
                                    static_cast<std::uint16_t>(bottom - y)});
    if (bottom <= y || x >= right) return out;
    const std::size_t sw = src.area.width, ow = right - x;
    for (std::uint32_t r = 0; r < bottom - y; ++r) {
        for (std::uint32_t c = 0; c < ow; ++c) {
            const std::size_t si = r * sw + c;
            if (si >= src.content.size()) panic("index out of bounds: the len is " +
                                                std::to_string(src.content.size()) + " but the index is " +
                                                std::to_string(si));
            copy_cell(src.content[si], out.content[r * ow + c]);
        }
    }
    return out;
}

void write_back(const Buffer& src, Buffer& dst) {
    const std::uint32_t left = std::max(src.area.x, dst.area.x);
    const std::uint32_t top = std::max(src.area.y, dst.area.y);
    const std::uint32_t right = std::min(src.area.right(), dst.area.right());
    const std::uint32_t bottom = std::min(src.area.bottom(), dst.area.bottom());
    if (top >= bottom || left >= right) return;
    for (std::uint32_t r = top; r < bottom; ++r) {
        for (std::uint32_t c = left; c < right; ++c) {
            const std::size_t si = std::size_t{r - src.area.y} * src.area.width + (c - src.area.x);
            const std::size_t di = std::size_t{r - dst.area.y} * dst.area.width + (c - dst.area.x);
            if (si >= src.content.size() || di >= dst.content.size()) {
                const bool s = si >= src.content.size();
                panic("index out of bounds: the len is " +
                      std::to_string(s ? src.content.size() : dst.content.size()) +
                      " but the index is " + std::to_string(s ? si : di));
            }
            copy_cell(src.content[si], dst.content[di]);
        }
    }
}

}  // namespace tarvo::core
