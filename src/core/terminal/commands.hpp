// Terminal control sequences: every command the terminal functions write, as pure functions from
// values to bytes. Nothing here allocates or touches a descriptor; the writers in output.hpp send
// the bytes.
//
// Fixed commands are `constexpr std::string_view`s in `seq`. Parametrised ones return a `Seq`: a
// small inline byte array (at most Seq::kCapacity bytes, no heap) whose bytes are `view()`.
// Numbers are decimal ASCII without sign or leading zeros; 0-based coordinates are written
// 1-based as full numbers (column 65535 is written as 65536).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tarvo::core::term {

// A control sequence of bounded length, built in place.
class Seq {
public:
    static constexpr std::size_t kCapacity = 64;

    constexpr Seq() = default;
    constexpr explicit Seq(std::string_view s) { put(s); }

    constexpr Seq& put(std::string_view s) noexcept {
        for (char c : s) put(c);
        return *this;
    }
    constexpr Seq& put(char c) noexcept {
        // Every encoder below stays far inside the capacity; a longer text is cut, never overrun.
        if (len_ < kCapacity) buf_[len_++] = c;
        return *this;
    }
    // Appends `n` in decimal.
    constexpr Seq& num(std::uint32_t n) noexcept {
        char digits[10];
        int k = 0;
        do {
            digits[k++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        while (k > 0) put(digits[--k]);
        return *this;
    }

    constexpr std::string_view view() const noexcept { return {buf_.data(), len_}; }
    constexpr std::size_t size() const noexcept { return len_; }
    constexpr bool empty() const noexcept { return len_ == 0; }
    constexpr operator std::string_view() const noexcept { return view(); }

private:
    std::array<char, kCapacity> buf_{};
    std::uint8_t len_ = 0;
};

// ---- fixed sequences ----
namespace seq {
inline constexpr std::string_view kEnableFocusChange = "\x1b[?1004h";
inline constexpr std::string_view kDisableFocusChange = "\x1b[?1004l";
// The mouse modes on in this order, off in the reverse order; each is one write of 40 bytes.
inline constexpr std::string_view kEnableMouseCapture = "\x1b[?1000h\x1b[?1002h\x1b[?1003h\x1b[?1015h\x1b[?1006h";
inline constexpr std::string_view kDisableMouseCapture = "\x1b[?1006l\x1b[?1015l\x1b[?1003l\x1b[?1002l\x1b[?1000l";
inline constexpr std::string_view kEnableBracketedPaste = "\x1b[?2004h";
inline constexpr std::string_view kDisableBracketedPaste = "\x1b[?2004l";
inline constexpr std::string_view kPopKeyboardFlags = "\x1b[<1u";
inline constexpr std::string_view kEnableLineWrap = "\x1b[?7h";
inline constexpr std::string_view kDisableLineWrap = "\x1b[?7l";
inline constexpr std::string_view kEnterAlternateScreen = "\x1b[?1049h";
inline constexpr std::string_view kLeaveAlternateScreen = "\x1b[?1049l";
inline constexpr std::string_view kBeginSynchronizedUpdate = "\x1b[?2026h";
inline constexpr std::string_view kEndSynchronizedUpdate = "\x1b[?2026l";
inline constexpr std::string_view kHideCursor = "\x1b[?25l";
inline constexpr std::string_view kShowCursor = "\x1b[?25h";
inline constexpr std::string_view kSaveCursorPosition = "\x1b" "7";
inline constexpr std::string_view kRestoreCursorPosition = "\x1b" "8";
inline constexpr std::string_view kEnableCursorBlinking = "\x1b[?12h";
inline constexpr std::string_view kDisableCursorBlinking = "\x1b[?12l";
inline constexpr std::string_view kResetColor = "\x1b[0m";
// The window title is kTitlePrefix, the title's UTF-8 bytes unchanged, then kTitleSuffix.
inline constexpr std::string_view kTitlePrefix = "\x1b]0;";
inline constexpr std::string_view kTitleSuffix = "\x07";
// Queries (their replies are read by the input side).
inline constexpr std::string_view kCursorPositionQuery = "\x1b[6n";
inline constexpr std::string_view kKeyboardFlagsQuery = "\x1b[?u\x1b[c";
}  // namespace seq

// ---- enumerations the commands take (values are the variant numbers) ----

enum class ClearType : std::uint8_t { All, Purge, FromCursorDown, FromCursorUp, CurrentLine, UntilNewLine };
inline constexpr int kClearTypeCount = 6;

enum class CursorStyle : std::uint8_t {
    DefaultUserShape,
    BlinkingBlock,
    SteadyBlock,
    BlinkingUnderline,
    SteadyUnderline,
    BlinkingBar,
    SteadyBar,
};
inline constexpr int kCursorStyleCount = 7;

enum class ConsoleColor : std::uint8_t {
    Reset,
    Black,
    DarkGrey,
    Red,
    DarkRed,
    Green,
    DarkGreen,
    Yellow,
    DarkYellow,
    Blue,
    DarkBlue,
    Magenta,
    DarkMagenta,
    Cyan,
    DarkCyan,
    White,
    Grey,
    AnsiValue,
    Rgb,
};
inline constexpr int kConsoleColorCount = 19;

enum class ConsoleAttribute : std::uint8_t {
    Reset,
    Bold,
    Dim,
    Italic,
    Underlined,
    DoubleUnderlined,
    Undercurled,
    Underdotted,
    Underdashed,
    SlowBlink,
    RapidBlink,
    Reverse,
    Hidden,
    CrossedOut,
    Fraktur,
    NoBold,
    NormalIntensity,
    NoItalic,
    NoUnderline,
    NoBlink,
    NoReverse,
    NoHidden,
    NotCrossedOut,
    Framed,
    Encircled,
    OverLined,
    NotFramedOrEncircled,
    NotOverLined,
};
inline constexpr int kConsoleAttributeCount = 28;

// Keyboard enhancement flag bits (the progressive enhancement protocol).
namespace keyboard_flags {
inline constexpr std::uint8_t DISAMBIGUATE_ESCAPE_CODES = 1;
inline constexpr std::uint8_t REPORT_EVENT_TYPES = 2;
inline constexpr std::uint8_t REPORT_ALTERNATE_KEYS = 4;
inline constexpr std::uint8_t REPORT_ALL_KEYS_AS_ESCAPE_CODES = 8;
inline constexpr std::uint8_t ALL = 15;
}  // namespace keyboard_flags

// A colour as the terminal receives it: its default, a palette index or a true colour.
struct TermColor {
    enum class Kind : std::uint8_t { Reset, Indexed, Rgb };
    Kind kind = Kind::Reset;
    std::uint8_t index = 0;  // Indexed
    std::uint8_t r = 0, g = 0, b = 0;  // Rgb

    static constexpr TermColor reset() noexcept { return {}; }
    static constexpr TermColor indexed(std::uint8_t i) noexcept { return {Kind::Indexed, i}; }
    static constexpr TermColor rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) noexcept {
        return {Kind::Rgb, 0, r, g, b};
    }
    friend constexpr bool operator==(const TermColor&, const TermColor&) = default;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// The terminal colour of a console colour. Named colours ignore both extras; AnsiValue needs
// `ansi` and Rgb needs `rgb` (nullopt when the one it needs is missing).
std::optional<TermColor> console_color_to_color(ConsoleColor c, std::optional<std::uint8_t> ansi,
                                                std::optional<Rgb> rgb) noexcept;

// ---- parametrised sequences ----

// The cursor to 0-based column x, row y: "ESC [ y+1 ; x+1 H".
Seq move_to(std::uint16_t x, std::uint16_t y) noexcept;
// Relative moves, the count written as given (0 included).
Seq move_up(std::uint16_t count) noexcept;             // "ESC [ n A"
Seq move_down(std::uint16_t count) noexcept;           // "ESC [ n B"
Seq move_right(std::uint16_t count) noexcept;          // "ESC [ n C"
Seq move_left(std::uint16_t count) noexcept;           // "ESC [ n D"
Seq move_to_next_line(std::uint16_t count) noexcept;   // "ESC [ n E"
Seq move_to_previous_line(std::uint16_t count) noexcept;  // "ESC [ n F"
Seq move_to_column(std::uint16_t x) noexcept;          // "ESC [ x+1 G"
Seq move_to_row(std::uint16_t y) noexcept;             // "ESC [ y+1 d"
// Scrolling writes nothing for a count of 0.
Seq scroll_up(std::uint16_t count) noexcept;    // "ESC [ n S"
Seq scroll_down(std::uint16_t count) noexcept;  // "ESC [ n T"
std::string_view clear(ClearType t) noexcept;
Seq cursor_style(CursorStyle s) noexcept;  // "ESC [ n SP q"
// Only the four defined bits are kept.
Seq push_keyboard_flags(std::uint8_t bits) noexcept;  // "ESC [ > bits u"

// Colours and attributes (SGR).
Seq foreground(TermColor c) noexcept;  // "ESC [ 38;... m", "ESC [ 39 m" for the default
Seq background(TermColor c) noexcept;  // "ESC [ 48;... m", "ESC [ 49 m" for the default
Seq attribute(ConsoleAttribute a) noexcept;  // "ESC [ sgr m"; the underline kinds as "4:k"
// The SGR parameter of an attribute ("1", "4:3", "55").
std::string_view attribute_sgr(ConsoleAttribute a) noexcept;

// A styled print is prefix, text, suffix: the background, then the foreground, then the
// attribute; after the text "ESC [0m" when an attribute was set, else the background and
// foreground resets of those that were set.
Seq styled_prefix(std::optional<TermColor> fg, std::optional<TermColor> bg,
                  std::optional<ConsoleAttribute> attr) noexcept;
Seq styled_suffix(bool fg, bool bg, bool attr) noexcept;

}  // namespace tarvo::core::term
