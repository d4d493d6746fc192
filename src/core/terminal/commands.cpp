#include "core/terminal/commands.hpp"

namespace tarvo::core::term {

namespace {

Seq csi_count(std::uint32_t n, char final) noexcept {
    Seq s;
    s.put("\x1b[").num(n).put(final);
    return s;
}

// Colour parameters after "38;" / "48;".
void put_color_part(Seq& s, TermColor c) noexcept {
    if (c.kind == TermColor::Kind::Indexed) {
        s.put("5;").num(c.index);
    } else {
        s.put("2;").num(c.r).put(';').num(c.g).put(';').num(c.b);
    }
}

void put_color(Seq& s, TermColor c, std::string_view lead, std::string_view reset) noexcept {
    s.put("\x1b[");
    if (c.kind == TermColor::Kind::Reset) {
        s.put(reset);
    } else {
        s.put(lead);
        put_color_part(s, c);
    }
    s.put('m');
}

// Palette index of each named console colour, by variant number (Reset and the two colours
// with extras are not looked up here).
constexpr std::uint8_t kNamedIndex[kConsoleColorCount] = {0, 0, 8, 9, 1, 10, 2, 11, 3, 12,
                                                          4, 13, 5, 14, 6, 15, 7, 0, 0};

constexpr std::string_view kAttributeSgr[kConsoleAttributeCount] = {
    "0", "1", "2", "3", "4", "4:2", "4:3", "4:4", "4:5", "5",  "6",  "7",  "8",  "9",
    "20", "21", "22", "23", "24", "25", "27", "28", "29", "51", "52", "53", "54", "55",
};

constexpr std::string_view kClear[kClearTypeCount] = {"\x1b[2J", "\x1b[3J", "\x1b[J",
                                                     "\x1b[1J", "\x1b[2K", "\x1b[K"};

}  // namespace

std::optional<TermColor> console_color_to_color(ConsoleColor c, std::optional<std::uint8_t> ansi,
                                                std::optional<Rgb> rgb) noexcept {
    switch (c) {
        case ConsoleColor::Reset:
            return TermColor::reset();
        case ConsoleColor::AnsiValue:
            if (!ansi) return std::nullopt;
            return TermColor::indexed(*ansi);
        case ConsoleColor::Rgb:
            if (!rgb) return std::nullopt;
            return TermColor::rgb(rgb->r, rgb->g, rgb->b);
        default:
            return TermColor::indexed(kNamedIndex[static_cast<std::uint8_t>(c) % kConsoleColorCount]);
    }
}

Seq move_to(std::uint16_t x, std::uint16_t y) noexcept {
    Seq s;
    s.put("\x1b[").num(std::uint32_t{y} + 1).put(';').num(std::uint32_t{x} + 1).put('H');
    return s;
}

Seq move_up(std::uint16_t count) noexcept { return csi_count(count, 'A'); }
Seq move_down(std::uint16_t count) noexcept { return csi_count(count, 'B'); }
Seq move_right(std::uint16_t count) noexcept { return csi_count(count, 'C'); }
Seq move_left(std::uint16_t count) noexcept { return csi_count(count, 'D'); }
Seq move_to_next_line(std::uint16_t count) noexcept { return csi_count(count, 'E'); }
Seq move_to_previous_line(std::uint16_t count) noexcept { return csi_count(count, 'F'); }
Seq move_to_column(std::uint16_t x) noexcept { return csi_count(std::uint32_t{x} + 1, 'G'); }
Seq move_to_row(std::uint16_t y) noexcept { return csi_count(std::uint32_t{y} + 1, 'd'); }

Seq scroll_up(std::uint16_t count) noexcept { return count == 0 ? Seq{} : csi_count(count, 'S'); }
Seq scroll_down(std::uint16_t count) noexcept { return count == 0 ? Seq{} : csi_count(count, 'T'); }

std::string_view clear(ClearType t) noexcept { return kClear[static_cast<std::uint8_t>(t) % kClearTypeCount]; }

Seq cursor_style(CursorStyle st) noexcept {
    Seq s;
    s.put("\x1b[").num(static_cast<std::uint8_t>(st)).put(" q");
    return s;
}

Seq push_keyboard_flags(std::uint8_t bits) noexcept {
    Seq s;
    s.put("\x1b[>").num(bits & keyboard_flags::ALL).put('u');
    return s;
}

Seq foreground(TermColor c) noexcept {
    Seq s;
    put_color(s, c, "38;", "39");
    return s;
}

Seq background(TermColor c) noexcept {
    Seq s;
    put_color(s, c, "48;", "49");
    return s;
}

std::string_view attribute_sgr(ConsoleAttribute a) noexcept {
    return kAttributeSgr[static_cast<std::uint8_t>(a) % kConsoleAttributeCount];
}

Seq attribute(ConsoleAttribute a) noexcept {
    Seq s;
    s.put("\x1b[").put(attribute_sgr(a)).put('m');
    return s;
}

Seq styled_prefix(std::optional<TermColor> fg, std::optional<TermColor> bg,
                  std::optional<ConsoleAttribute> attr) noexcept {
    Seq s;
    if (bg) put_color(s, *bg, "48;", "49");
    if (fg) put_color(s, *fg, "38;", "39");
    if (attr) s.put("\x1b[").put(attribute_sgr(*attr)).put('m');
    return s;
}

Seq styled_suffix(bool fg, bool bg, bool attr) noexcept {
    Seq s;
    if (attr) return Seq(seq::kResetColor);
    if (bg) s.put("\x1b[49m");
    if (fg) s.put("\x1b[39m");
    return s;
}

}  // namespace tarvo::core::term
