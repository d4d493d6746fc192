#include "core/terminal/decoder.hpp"

#include <cstring>
#include <limits>
#include <optional>
#include <string_view>

#include <utf8proc.h>

namespace tarvo::core::terminal {

namespace {

constexpr std::uint8_t ESC = 0x1B;
namespace km = key_modifiers;

// What the bytes held so far amount to.
enum class Outcome {
    Incomplete,  // wait for more bytes
    Complete,    // `item` is set; the bytes are used up
    Invalid,     // drop every held byte, the last one included
    Restart,     // drop the held bytes before the last one and decode the last one afresh
    PasteStart,  // the bracketed-paste start marker
};

struct Result {
    Outcome outcome;
    InputItem item;
};

Result incomplete() { return Result{Outcome::Incomplete, {}}; }
Result invalid() { return Result{Outcome::Invalid, {}}; }

Result key(KeyCode code, std::uint8_t mods = km::NONE, KeyKind kind = KeyKind::Press,
           std::uint8_t state = key_state::NONE) {
    Result r{Outcome::Complete, {}};
    r.item.event.kind = EventKind::Key;
    r.item.event.key = KeyEvent{code, mods, kind, state};
    return r;
}
Result key(KeyTag tag, std::uint8_t mods = km::NONE) { return key(KeyCode::of(tag), mods); }

Result event(TerminalEvent e) {
    Result r{Outcome::Complete, {}};
    r.item.event = std::move(e);
    return r;
}

bool is_final(std::uint8_t b) { return b >= 0x40 && b <= 0x7E; }
bool is_param(std::uint8_t b) { return b >= 0x20 && b <= 0x3F; }

// ---- numbers: optional '+', decimal digits, no overflow ----

template <typename T>
std::optional<T> parse_num(std::string_view s) {
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
        if (v > std::numeric_limits<T>::max()) return std::nullopt;
    }
    return static_cast<T>(v);
}

// Splits `s` at `sep` into at most N pieces; returns how many there were (all of them counted).
template <std::size_t N>
std::size_t split(std::string_view s, char sep, std::string_view (&parts)[N]) {
    std::size_t count = 0;
    while (true) {
        const std::size_t at = s.find(sep);
        if (count < N) parts[count] = s.substr(0, at);
        ++count;
        if (at == std::string_view::npos) return count;
        s.remove_prefix(at + 1);
    }
}

// ---- UTF-8 ----

// The length a lead byte announces (0: not a lead byte).
std::size_t utf8_length(std::uint8_t b) {
    if (b < 0x80) return 1;
    if (b < 0xC0) return 0;
    if (b < 0xE0) return 2;
    if (b < 0xF0) return 3;
    if (b < 0xF8) return 4;
    return 0;
}

// One character from the bytes: Complete with `c`, Incomplete or Invalid.
Outcome utf8_char(const std::uint8_t* p, std::size_t len, char32_t& c) {
    const std::size_t need = utf8_length(p[0]);
    if (need == 0) return Outcome::Invalid;
    for (std::size_t i = 1; i < len && i < need; ++i)
        if ((p[i] & 0xC0) != 0x80) return Outcome::Restart;
    if (len < need) return Outcome::Incomplete;
    switch (need) {
        case 1: c = p[0]; return Outcome::Complete;
        case 2: c = (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F); if (c < 0x80) return Outcome::Invalid; break;
        case 3:
            c = (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return Outcome::Invalid;
            break;
        default:
            c = (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
                (p[3] & 0x3F);
            if (c < 0x10000 || c > 0x10FFFF) return Outcome::Invalid;
    }
    return len == need ? Outcome::Complete : Outcome::Invalid;
}

bool is_scalar(std::uint32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

// The Unicode Uppercase property: capital letters and the few other characters that have it.
bool is_uppercase(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z';
    if ((c >= 0x2160 && c <= 0x216F) || (c >= 0x24B6 && c <= 0x24CF) || (c >= 0x1F130 && c <= 0x1F149) ||
        (c >= 0x1F150 && c <= 0x1F169) || (c >= 0x1F170 && c <= 0x1F189))
        return true;
    return utf8proc_category(static_cast<utf8proc_int32_t>(c)) == UTF8PROC_CATEGORY_LU;
}

Result char_key(char32_t c) { return key(KeyCode::character(c), is_uppercase(c) ? km::SHIFT : km::NONE); }

// A key from bytes that do not start with ESC: control bytes and one UTF-8 character.
Result plain(const std::uint8_t* p, std::size_t len, bool raw) {
    const std::uint8_t b = p[0];
    switch (b) {
        case 0x0D: return key(KeyTag::Enter);
        case 0x0A: return raw ? key(KeyCode::character(U'j'), km::CONTROL) : key(KeyTag::Enter);
        case 0x09: return key(KeyTag::Tab);
        case 0x7F: return key(KeyTag::Backspace);
        case 0x00: return key(KeyCode::character(U' '), km::CONTROL);
        default: break;
    }
    if (b >= 0x01 && b <= 0x1A) return key(KeyCode::character(char32_t(b - 1 + 'a')), km::CONTROL);
    if (b >= 0x1C && b <= 0x1F) return key(KeyCode::character(char32_t(b - 0x1C + '4')), km::CONTROL);
    char32_t c = 0;
    switch (utf8_char(p, len, c)) {
        case Outcome::Complete: return char_key(c);
        case Outcome::Incomplete: return incomplete();
        case Outcome::Restart: return Result{Outcome::Restart, {}};
        default: return invalid();
    }
}

// ---- modifier fields "m[:k]" ----

struct Mods {
    std::uint8_t mods = km::NONE;
    std::uint8_t state = key_state::NONE;
    KeyKind kind = KeyKind::Press;
};

Mods mods_from_mask(std::uint8_t mask, bool with_locks) {
    const std::uint8_t v = mask == 0 ? 0 : static_cast<std::uint8_t>(mask - 1);
    Mods m;
    if (v & 1) m.mods |= km::SHIFT;
    if (v & 2) m.mods |= km::ALT;
    if (v & 4) m.mods |= km::CONTROL;
    if (v & 8) m.mods |= km::SUPER;
    if (v & 16) m.mods |= km::HYPER;
    if (v & 32) m.mods |= km::META;
    if (with_locks) {
        if (v & 64) m.state |= key_state::CAPS_LOCK;
        if (v & 128) m.state |= key_state::NUM_LOCK;
    }
    return m;
}

KeyKind kind_from(std::optional<std::uint8_t> k) {
    if (!k) return KeyKind::Press;
    switch (*k) {
        case 2: return KeyKind::Repeat;
        case 3: return KeyKind::Release;
        default: return KeyKind::Press;
    }
}

// "m" or "m:k"; nullopt when m does not parse.
std::optional<Mods> parse_mods_field(std::string_view field, bool with_locks) {
    std::string_view sub[2];
    const std::size_t n = split(field, ':', sub);
    const auto mask = parse_num<std::uint8_t>(sub[0]);
    if (!mask) return std::nullopt;
    Mods m = mods_from_mask(*mask, with_locks);
    m.kind = n > 1 ? kind_from(parse_num<std::uint8_t>(sub[1])) : KeyKind::Press;
    return m;
}

// ---- CSI forms ----

// The key a final byte names after "ESC [" or "ESC O" (or as the final of a modified "CSI 1;m X"):
// the arrows, Home, End and F1, F2, F4. F3's "R" is left to the caller, since after "ESC [" it ends
// a cursor report.
std::optional<KeyCode> final_byte_key(std::uint8_t final_byte) {
    switch (final_byte) {
        case 'A': return KeyCode::of(KeyTag::Up);
        case 'B': return KeyCode::of(KeyTag::Down);
        case 'C': return KeyCode::of(KeyTag::Right);
        case 'D': return KeyCode::of(KeyTag::Left);
        case 'F': return KeyCode::of(KeyTag::End);
        case 'H': return KeyCode::of(KeyTag::Home);
        case 'P': return KeyCode::function(1);
        case 'Q': return KeyCode::function(2);
        case 'S': return KeyCode::function(4);
        default: return std::nullopt;
    }
}

// Cursor, Home/End and F1-F4 keys with modifiers (any final but M ~ u R).
Result csi_modified_key(std::string_view params, std::uint8_t before_final, std::uint8_t final_byte) {
    std::string_view fields[2];
    const std::size_t n = split(params, ';', fields);
    std::optional<Mods> m = n > 1 ? parse_mods_field(fields[1], false) : std::nullopt;
    if (!m) {
        if (before_final < '0' || before_final > '9') return invalid();
        m = mods_from_mask(static_cast<std::uint8_t>(before_final - '0'), false);
        m->kind = KeyKind::Press;
    }
    const std::optional<KeyCode> code = final_byte_key(final_byte);
    if (!code) return invalid();
    return key(*code, m->mods, m->kind, key_state::NONE);
}

// "n[;m[:k]]~": Home, Insert, Delete, End, PageUp, PageDown and function keys.
Result csi_special_key(std::string_view params) {
    std::string_view fields[2];
    const std::size_t n = split(params, ';', fields);
    const auto number = parse_num<std::uint8_t>(fields[0]);
    if (!number) return invalid();
    const Mods m = (n > 1 ? parse_mods_field(fields[1], true) : std::nullopt).value_or(Mods{});
    const std::uint8_t v = *number;
    KeyCode code;
    if (v == 1 || v == 7) code = KeyCode::of(KeyTag::Home);
    else if (v == 2) code = KeyCode::of(KeyTag::Insert);
    else if (v == 3) code = KeyCode::of(KeyTag::Delete);
    else if (v == 4 || v == 8) code = KeyCode::of(KeyTag::End);
    else if (v == 5) code = KeyCode::of(KeyTag::PageUp);
    else if (v == 6) code = KeyCode::of(KeyTag::PageDown);
    else if (v >= 11 && v <= 15) code = KeyCode::function(static_cast<std::uint8_t>(v - 10));
    else if (v >= 17 && v <= 21) code = KeyCode::function(static_cast<std::uint8_t>(v - 11));
    else if (v >= 23 && v <= 26) code = KeyCode::function(static_cast<std::uint8_t>(v - 12));
    else if (v == 28 || v == 29) code = KeyCode::function(static_cast<std::uint8_t>(v - 15));
    else if (v >= 31 && v <= 34) code = KeyCode::function(static_cast<std::uint8_t>(v - 17));
    else return invalid();
    return key(code, m.mods, m.kind, m.state);
}

// "code[:shifted[:base]][;m[:k][;text]]u": keys of the enhanced keyboard protocol.
Result csi_u_key(std::string_view params, bool raw) {
    std::string_view fields[3];
    const std::size_t n = split(params, ';', fields);
    std::string_view codes[3];
    const std::size_t ncodes = split(fields[0], ':', codes);
    const auto number = parse_num<std::uint32_t>(codes[0]);
    if (!number) return invalid();
    Mods m = (n > 1 ? parse_mods_field(fields[1], true) : std::nullopt).value_or(Mods{});

    const std::uint32_t c = *number;
    KeyCode code;
    std::uint8_t state = key_state::NONE;
    if (c >= 57399 && c <= 57427) {
        state = key_state::KEYPAD;
        static constexpr char kKeypadChars[] = "0123456789./*-+";
        if (c <= 57413) code = KeyCode::character(static_cast<char32_t>(kKeypadChars[c - 57399]));
        else if (c == 57414) code = KeyCode::of(KeyTag::Enter);
        else if (c == 57415) code = KeyCode::character(U'=');
        else if (c == 57416) code = KeyCode::character(U',');
        else {
            static constexpr KeyTag kKeypadKeys[] = {KeyTag::Left,     KeyTag::Right, KeyTag::Up,   KeyTag::Down,
                                                     KeyTag::PageUp,   KeyTag::PageDown, KeyTag::Home, KeyTag::End,
                                                     KeyTag::Insert,   KeyTag::Delete, KeyTag::KeypadBegin};
            code = KeyCode::of(kKeypadKeys[c - 57417]);
        }
    } else if (c >= 57358 && c <= 57363) {
        static constexpr KeyTag kLockKeys[] = {KeyTag::CapsLock,    KeyTag::ScrollLock, KeyTag::NumLock,
                                               KeyTag::PrintScreen, KeyTag::Pause,      KeyTag::Menu};
        code = KeyCode::of(kLockKeys[c - 57358]);
    } else if (c >= 57376 && c <= 57398) {
        code = KeyCode::function(static_cast<std::uint8_t>(c - 57376 + 13));
    } else if (c >= 57428 && c <= 57440) {
        code = KeyCode::media(static_cast<MediaKey>(c - 57428));
    } else if (c >= 57441 && c <= 57454) {
        const auto mk = static_cast<ModifierKey>(c - 57441);
        code = KeyCode::modifier(mk);
        static constexpr std::uint8_t kOwnBit[] = {km::SHIFT, km::CONTROL, km::ALT, km::SUPER, km::HYPER, km::META,
                                                   km::SHIFT, km::CONTROL, km::ALT, km::SUPER, km::HYPER, km::META,
                                                   0,         0};
        m.mods |= kOwnBit[c - 57441];
    } else if (c == 27) {
        code = KeyCode::of(KeyTag::Esc);
    } else if (c == 13) {
        code = KeyCode::of(KeyTag::Enter);
    } else if (c == 127) {
        code = KeyCode::of(KeyTag::Backspace);
    } else if (c == 10) {
        code = raw ? KeyCode::character(U'\n') : KeyCode::of(KeyTag::Enter);
    } else if (c == 9) {
        code = KeyCode::of((m.mods & km::SHIFT) ? KeyTag::BackTab : KeyTag::Tab);
    } else if (is_scalar(c)) {
        code = KeyCode::character(static_cast<char32_t>(c));
    } else {
        return invalid();
    }

    if ((m.mods & km::SHIFT) && ncodes > 1) {
        const auto shifted = parse_num<std::uint32_t>(codes[1]);
        if (shifted && is_scalar(*shifted)) {
            code = KeyCode::character(static_cast<char32_t>(*shifted));
            m.mods &= static_cast<std::uint8_t>(~km::SHIFT);
        }
    }
    return key(code, m.mods, m.kind, static_cast<std::uint8_t>(state | m.state));
}

// The button byte of every mouse form (after its offset).
Result mouse_event(std::uint8_t b, std::uint16_t column, std::uint16_t row, bool release) {
    const std::uint8_t n = static_cast<std::uint8_t>((b & 3) | ((b & 0xC0) >> 4));
    const bool drag = (b & 32) != 0;
    MouseEvent m;
    m.column = column;
    m.row = row;
    if (b & 4) m.modifiers |= km::SHIFT;
    if (b & 8) m.modifiers |= km::ALT;
    if (b & 16) m.modifiers |= km::CONTROL;
    static constexpr MouseButton kButtons[] = {MouseButton::Left, MouseButton::Middle, MouseButton::Right};
    switch (n) {
        case 0:
        case 1:
        case 2:
            m.kind = drag ? MouseKind::Drag : MouseKind::Down;
            m.button = kButtons[n];
            break;
        case 3:
            if (drag) {
                m.kind = MouseKind::Moved;
            } else {
                m.kind = MouseKind::Up;
                m.button = MouseButton::Left;
            }
            break;
        case 4: m.kind = drag ? MouseKind::Moved : MouseKind::ScrollUp; break;
        case 5: m.kind = drag ? MouseKind::Moved : MouseKind::ScrollDown; break;
        case 6:
            if (drag) return invalid();
            m.kind = MouseKind::ScrollLeft;
            break;
        case 7:
            if (drag) return invalid();
            m.kind = MouseKind::ScrollRight;
            break;
        default: return invalid();
    }
    if (release && m.kind == MouseKind::Down) m.kind = MouseKind::Up;
    return event(TerminalEvent::of_mouse(m));
}

std::uint16_t one_based(std::uint16_t v) { return v == 0 ? 0 : static_cast<std::uint16_t>(v - 1); }

// "b;x;y" of the SGR and rxvt forms.
struct MouseFields {
    std::uint8_t b;
    std::uint16_t x, y;
};
std::optional<MouseFields> mouse_fields(std::string_view params) {
    std::string_view f[3];
    if (split(params, ';', f) < 3) return std::nullopt;
    const auto b = parse_num<std::uint8_t>(f[0]);
    const auto x = parse_num<std::uint16_t>(f[1]);
    const auto y = parse_num<std::uint16_t>(f[2]);
    if (!b || !x || !y) return std::nullopt;
    return MouseFields{*b, *x, *y};
}

Result cursor_report(std::string_view params) {
    std::string_view f[2];
    if (split(params, ';', f) < 2) return invalid();
    const auto row = parse_num<std::uint16_t>(f[0]);
    const auto col = parse_num<std::uint16_t>(f[1]);
    if (!row || !col) return invalid();
    Result r{Outcome::Complete, {}};
    r.item.kind = InputItem::Kind::CursorReport;
    r.item.column = one_based(*col);
    r.item.row = one_based(*row);
    return r;
}

std::string_view text_of(const std::uint8_t* p, std::size_t from, std::size_t to) {
    return std::string_view(reinterpret_cast<const char*>(p) + from, to - from);
}

bool starts_with(const std::uint8_t* p, std::size_t len, std::string_view prefix) {
    return len >= prefix.size() && std::memcmp(p, prefix.data(), prefix.size()) == 0;
}

// Sequences that start with "ESC [".
Result csi(const std::uint8_t* p, std::size_t len, bool raw) {
    if (len == 2) return incomplete();
    const std::uint8_t third = p[2];
    const std::uint8_t last = p[len - 1];
    if (const auto code = final_byte_key(third)) return key(*code);
    switch (third) {
        case '[':
            if (len == 3) return incomplete();
            if (p[3] >= 'A' && p[3] <= 'E') return key(KeyCode::function(static_cast<std::uint8_t>(p[3] - 'A' + 1)));
            return invalid();
        case 'Z': return key(KeyTag::BackTab, km::SHIFT);
        case 'I': return event(TerminalEvent::focus(true));
        case 'O': return event(TerminalEvent::focus(false));
        case ';': return invalid();
        case 'M': {
            if (len < 6) return incomplete();
            if (p[3] < 32) return invalid();
            const auto column = static_cast<std::uint16_t>(p[4] > 33 ? p[4] - 33 : 0);
            const auto row = static_cast<std::uint16_t>(p[5] > 33 ? p[5] - 33 : 0);
            return mouse_event(static_cast<std::uint8_t>(p[3] - 32), column, row, false);
        }
        case '<': {
            if (len == 3) return incomplete();
            if (last == 'M' || last == 'm') {
                const auto f = mouse_fields(text_of(p, 3, len - 1));
                if (!f) return invalid();
                return mouse_event(f->b, one_based(f->x), one_based(f->y), last == 'm');
            }
            if (is_param(last)) return incomplete();
            return is_final(last) ? invalid() : Result{Outcome::Restart, {}};
        }
        case '?': {
            if (len == 3) return incomplete();
            if (last == 'u') {
                if (len < 5) return incomplete();
                Result r{Outcome::Complete, {}};
                r.item.kind = InputItem::Kind::FlagsReport;
                r.item.flags = static_cast<std::uint8_t>(p[3] & 0x0F);
                return r;
            }
            if (last == 'c') {
                Result r{Outcome::Complete, {}};
                r.item.kind = InputItem::Kind::DeviceAttributes;
                return r;
            }
            if (is_param(last)) return incomplete();
            // An empty flags report waits for what follows it and merges with the next reply.
            if (starts_with(p, len, "\x1b[?u\x1b") && (len == 5 || (len == 6 && last == '['))) return incomplete();
            return is_final(last) ? invalid() : Result{Outcome::Restart, {}};
        }
        default: break;
    }
    if (third < '0' || third > '9') return third >= 0x20 && third < 0x7F ? invalid() : Result{Outcome::Restart, {}};
    if (len == 3) return incomplete();
    if (!is_final(last)) return is_param(last) ? incomplete() : Result{Outcome::Restart, {}};
    if (starts_with(p, len, "\x1b[200~")) return Result{Outcome::PasteStart, {}};
    const std::string_view params = text_of(p, 2, len - 1);
    switch (last) {
        case 'M': {
            const auto f = mouse_fields(params);
            if (!f || f->b < 32) return invalid();
            return mouse_event(static_cast<std::uint8_t>(f->b - 32), one_based(f->x), one_based(f->y), false);
        }
        case '~': return csi_special_key(params);
        case 'u': return csi_u_key(params, raw);
        case 'R': return cursor_report(params);
        default: return csi_modified_key(params, p[len - 2], last);
    }
}

Result classify(const std::uint8_t* p, std::size_t len, bool more, bool raw) {
    if (p[0] != ESC) return plain(p, len, raw);
    if (len == 1) return more ? incomplete() : key(KeyTag::Esc);
    switch (p[1]) {
        case 'O':
            if (len == 2) return incomplete();
            if (const auto code = final_byte_key(p[2])) return key(*code);
            if (p[2] == 'R') return key(KeyCode::function(3));
            return p[2] >= 0x20 && p[2] < 0x7F ? invalid() : Result{Outcome::Restart, {}};
        case '[': return csi(p, len, raw);
        case ESC: return key(KeyTag::Esc);
        default: {
            Result r = plain(p + 1, len - 1, raw);
            if (r.outcome == Outcome::Complete) r.item.event.key.modifiers |= km::ALT;
            return r;
        }
    }
}

constexpr std::string_view kPasteEnd = "\x1b[201~";

}  // namespace

std::string utf8_lossy(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t n = bytes.size();
    std::string out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const std::uint8_t b = p[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
            ++i;
            continue;
        }
        // Bounds of the second byte by lead byte; the others are 80..BF.
        std::size_t need = 0;
        std::uint8_t lo = 0x80, hi = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) need = 2;
        else if (b == 0xE0) need = 3, lo = 0xA0;
        else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF) need = 3;
        else if (b == 0xED) need = 3, hi = 0x9F;
        else if (b == 0xF0) need = 4, lo = 0x90;
        else if (b >= 0xF1 && b <= 0xF3) need = 4;
        else if (b == 0xF4) need = 4, hi = 0x8F;
        std::size_t good = need == 0 ? 0 : 1;
        while (good > 0 && good < need && i + good < n) {
            const std::uint8_t c = p[i + good];
            const bool ok = good == 1 ? (c >= lo && c <= hi) : (c >= 0x80 && c <= 0xBF);
            if (!ok) break;
            ++good;
        }
        if (need != 0 && good == need) {
            out.append(bytes.substr(i, need));
            i += need;
        } else {
            out += "\xEF\xBF\xBD";
            i += good == 0 ? 1 : good;
        }
    }
    return out;
}

void Decoder::reset() noexcept {
    seq_len_ = 0;
    in_paste_ = false;
    paste_.clear();
}

void Decoder::emit_paste(std::size_t len, std::vector<InputItem>& out) {
    InputItem& item = out.emplace_back();
    item.event.kind = EventKind::Paste;
    item.event.paste = PasteText(utf8_lossy(std::string_view(paste_).substr(0, len)));
}

void Decoder::feed_paste(const std::uint8_t* data, std::size_t n, std::size_t& i, std::vector<InputItem>& out) {
    const std::size_t old = paste_.size();
    paste_.append(reinterpret_cast<const char*>(data) + i, n - i);
    const std::size_t from = old >= kPasteEnd.size() - 1 ? old - (kPasteEnd.size() - 1) : 0;
    const std::size_t at = paste_.find(kPasteEnd, from);
    if (at == std::string::npos) {
        i = n;
        if (paste_.size() > kMaxPaste) {
            // Hand out what came so far, keeping a possible start of the end marker and of a
            // character that is cut in two.
            std::size_t cut = paste_.size() - (kPasteEnd.size() - 1);
            for (int k = 0; k < 3 && cut > 0 && (static_cast<std::uint8_t>(paste_[cut]) & 0xC0) == 0x80; ++k) --cut;
            emit_paste(cut, out);
            paste_.erase(0, cut);
        }
        return;
    }
    i += at + kPasteEnd.size() - old;
    emit_paste(at, out);
    paste_.clear();
    in_paste_ = false;
}

void Decoder::feed(const std::uint8_t* data, std::size_t n, bool more, bool raw, std::vector<InputItem>& out) {
    std::size_t i = 0;
    while (i < n) {
        if (in_paste_) {
            feed_paste(data, n, i, out);
            continue;
        }
        if (seq_len_ == 0 && data[i] >= 0x20 && data[i] <= 0x7E) {
            // Typed text: a run of printable ASCII is one key each, with no sequence to track.
            std::size_t end = i + 1;
            while (end < n && data[end] >= 0x20 && data[end] <= 0x7E) ++end;
            out.reserve(out.size() + (end - i));
            for (; i < end; ++i) {
                const std::uint8_t c = data[i];
                InputItem& item = out.emplace_back();
                item.event.kind = EventKind::Key;
                item.event.key.code = KeyCode::character(c);
                if (c >= 'A' && c <= 'Z') item.event.key.modifiers = km::SHIFT;
            }
            continue;
        }
        const std::uint8_t b = data[i++];
        seq_[seq_len_++] = b;
        const bool more_here = i < n || more;
        Result r = classify(seq_, seq_len_, more_here, raw);
        if (r.outcome == Outcome::Restart) {
            seq_[0] = b;
            seq_len_ = 1;
            r = classify(seq_, seq_len_, more_here, raw);
        }
        switch (r.outcome) {
            case Outcome::Complete:
                out.push_back(std::move(r.item));
                seq_len_ = 0;
                break;
            case Outcome::Incomplete:
                if (seq_len_ >= kMaxSequence) seq_len_ = 0;
                break;
            case Outcome::PasteStart:
                seq_len_ = 0;
                in_paste_ = true;
                break;
            default:
                seq_len_ = 0;
                break;
        }
    }
}

}  // namespace tarvo::core::terminal
