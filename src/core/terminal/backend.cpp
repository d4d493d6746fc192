#include "core/terminal/backend.hpp"

#include <charconv>

#include "core/style.hpp"

namespace tarvo::core::terminal {

void append_decimal(std::string& out, std::uint32_t v) {
    char buf[10];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void append_move_to(std::string& out, std::uint32_t x, std::uint32_t y) {
    out += "\x1b[";
    append_decimal(out, y + 1);
    out += ';';
    append_decimal(out, x + 1);
    out += 'H';
}

void append_color_param(std::string& out, Color c, ColorLayer layer) {
    const char lead = layer == ColorLayer::Fg ? '3' : layer == ColorLayer::Bg ? '4' : '5';
    out += lead;
    if (c.tag == Color::Reset) {
        out += '9';
    } else if (c.tag == Color::Rgb) {
        out += "8;2;";
        append_decimal(out, c.r);
        out += ';';
        append_decimal(out, c.g);
        out += ';';
        append_decimal(out, c.b);
    } else {
        out += "8;5;";
        append_decimal(out, c.tag == Color::Indexed ? c.r : static_cast<std::uint32_t>(c.tag - 1));
    }
}

void append_modifier_change(std::string& out, std::uint16_t from, std::uint16_t to) {
    using namespace modifier;
    from &= ALL;
    to &= ALL;
    const std::uint16_t removed = from & ~to;
    const std::uint16_t added = to & ~from;
    if (removed & REVERSED) out += "\x1b[27m";
    const bool intensity_reset = (removed & (BOLD | DIM)) != 0;
    if (intensity_reset) {
        out += "\x1b[22m";
        if (to & DIM) out += "\x1b[2m";
        if (to & BOLD) out += "\x1b[1m";
    }
    if (removed & ITALIC) out += "\x1b[23m";
    if (removed & UNDERLINED) out += "\x1b[24m";
    if (removed & CROSSED_OUT) out += "\x1b[29m";
    if (removed & HIDDEN) out += "\x1b[28m";
    if (removed & (SLOW_BLINK | RAPID_BLINK)) out += "\x1b[25m";
    if (added & REVERSED) out += "\x1b[7m";
    if ((added & BOLD) && !intensity_reset) out += "\x1b[1m";
    if (added & ITALIC) out += "\x1b[3m";
    if (added & UNDERLINED) out += "\x1b[4m";
    if ((added & DIM) && !intensity_reset) out += "\x1b[2m";
    if (added & CROSSED_OUT) out += "\x1b[9m";
    if (added & HIDDEN) out += "\x1b[8m";
    if (added & SLOW_BLINK) out += "\x1b[5m";
    if (added & RAPID_BLINK) out += "\x1b[6m";
}

void encode_cells(std::string& out, const DiffList& cells, const Buffer& next) {
    if (cells.empty()) return;
    Color fg, bg, ul;
    std::uint16_t mods = 0;
    bool changed = false;
    bool have_last = false;
    std::uint16_t lx = 0, ly = 0;
    for (const DiffCell& d : cells) {
        const Cell& c = next.content[d.index];
        if (!(have_last && ly == d.y && lx + 1 == d.x)) append_move_to(out, d.x, d.y);
        have_last = true;
        lx = d.x;
        ly = d.y;
        const std::uint16_t m = c.modifier & modifier::ALL;
        if (m != mods) {
            append_modifier_change(out, mods, m);
            mods = m;
            changed = true;
        }
        const bool fg_diff = !color_equal(c.fg, fg);
        const bool bg_diff = !color_equal(c.bg, bg);
        if (fg_diff || bg_diff) {
            out += "\x1b[";
            if (fg_diff) append_color_param(out, c.fg, ColorLayer::Fg);
            if (fg_diff && bg_diff) out += ';';
            if (bg_diff) append_color_param(out, c.bg, ColorLayer::Bg);
            out += 'm';
            fg = c.fg;
            bg = c.bg;
            changed = true;
        }
        if (!color_equal(c.underline_color, ul)) {
            out += "\x1b[";
            append_color_param(out, c.underline_color, ColorLayer::Underline);
            out += 'm';
            ul = c.underline_color;
            changed = true;
        }
        out += c.symbol.text();
    }
    if (changed && (mods != 0 || fg.tag != Color::Reset || bg.tag != Color::Reset ||
                    ul.tag != Color::Reset))
        out += "\x1b[0m";
}

void encode_cells_plain(std::string& out, const DiffList& cells, const Buffer& next) {
    for (const DiffCell& d : cells) {
        const Cell& c = next.content[d.index];
        append_move_to(out, d.x, d.y);
        out += "\x1b[0m";
        append_modifier_change(out, 0, c.modifier);
        out += "\x1b[";
        append_color_param(out, c.fg, ColorLayer::Fg);
        out += ';';
        append_color_param(out, c.bg, ColorLayer::Bg);
        out += ';';
        append_color_param(out, c.underline_color, ColorLayer::Underline);
        out += 'm';
        out += c.symbol.text();
    }
    if (!cells.empty()) out += "\x1b[0m";
}

}  // namespace tarvo::core::terminal
