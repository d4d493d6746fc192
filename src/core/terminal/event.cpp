#include "core/terminal/event.hpp"

#include <array>
#include <cstdio>
#include <type_traits>

#include <utf8proc.h>

namespace tarvo::core::terminal {

namespace {

constexpr std::array<std::uint8_t, kKeyTagCount> kCodeIndex{
    3, 1, 8, 9, 6, 7, 10, 11, 12, 13, 4, 5, 15, 14, 16, 0, 17, 2, 18, 19, 20, 21, 22, 23, 24, 25, 26,
};

constexpr std::array<std::string_view, kKeyTagCount> kTagNames{
    "Backspace", "Enter",    "Left",       "Right",       "Up",    "Down",  "Home",        "End",   "PageUp",
    "PageDown",  "Tab",      "BackTab",    "Delete",      "Insert", "F",    "Char",        "Null",  "Esc",
    "CapsLock",  "ScrollLock", "NumLock",  "PrintScreen", "Pause", "Menu",  "KeypadBegin", "Media", "Modifier",
};

constexpr std::array<std::string_view, kMediaKeyCount> kMediaNames{
    "Play",   "Pause",     "PlayPause",     "Reverse", "Stop",        "FastForward", "Rewind",
    "TrackNext", "TrackPrevious", "Record", "LowerVolume", "RaiseVolume", "MuteVolume",
};

constexpr std::array<std::string_view, kModifierKeyCount> kModifierNames{
    "LeftShift",  "LeftControl",  "LeftAlt",  "LeftSuper",  "LeftHyper",      "LeftMeta",       "RightShift",
    "RightControl", "RightAlt", "RightSuper", "RightHyper", "RightMeta", "IsoLevel3Shift", "IsoLevel5Shift",
};

constexpr std::array<std::string_view, kMouseKindCount> kMouseKinds{
    "down", "up", "drag", "moved", "scroll_down", "scroll_up", "scroll_left", "scroll_right",
};
constexpr std::array<std::string_view, kMouseKindCount> kMouseKindsShort{
    "press", "release", "drag", "move", "scroll_down", "scroll_up", "scroll_left", "scroll_right",
};
constexpr std::array<std::string_view, 4> kButtons{"left", "right", "middle", "none"};

constexpr std::array<std::string_view, kRecordTagCount> kRecordTags{
    "key", "resize", "paste", "mouse", "focus_gained", "focus_lost", "tick",
};

// The entry of `table` for enumerator `v`, or `fallback` for a value out of range.
template <typename T, std::size_t N, typename Enum>
T entry_or(const std::array<T, N>& table, Enum v, std::type_identity_t<T> fallback) noexcept {
    const auto i = static_cast<std::uint8_t>(v);
    return i < N ? table[i] : fallback;
}

// Characters written as \u{..} in a character's text form: those that are not printable
// (controls, format characters, surrogates, private use, unassigned, separators other than the
// plain space) and the combining marks that extend a grapheme.
bool needs_unicode_escape(char32_t c) {
    const auto cp = static_cast<utf8proc_int32_t>(c);
    switch (utf8proc_category(cp)) {
        case UTF8PROC_CATEGORY_CC:
        case UTF8PROC_CATEGORY_CF:
        case UTF8PROC_CATEGORY_CS:
        case UTF8PROC_CATEGORY_CO:
        case UTF8PROC_CATEGORY_CN:
        case UTF8PROC_CATEGORY_ZL:
        case UTF8PROC_CATEGORY_ZP:
            return true;
        case UTF8PROC_CATEGORY_ZS:
            return c != U' ';
        default:
            break;
    }
    const bool emoji_modifier = c >= 0x1F3FB && c <= 0x1F3FF;
    return !emoji_modifier && utf8proc_get_property(cp)->boundclass == UTF8PROC_BOUNDCLASS_EXTEND;
}

void append_utf8(std::string& out, char32_t c) {
    utf8proc_uint8_t buf[4];
    const auto n = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), buf);
    out.append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(n));
}

}  // namespace

std::uint8_t key_code_index(KeyTag tag) noexcept { return entry_or(kCodeIndex, tag, kKeyCodeOther); }

std::string_view key_tag_name(KeyTag tag) noexcept { return entry_or(kTagNames, tag, "Null"); }

std::string_view media_key_name(MediaKey m) noexcept { return entry_or(kMediaNames, m, "Play"); }

std::string_view modifier_key_name(ModifierKey m) noexcept { return entry_or(kModifierNames, m, "LeftShift"); }

std::string key_code_text(const KeyCode& code) {
    std::string out(key_tag_name(code.tag));
    const auto in_parens = [&out](std::string_view inner) {
        out += '(';
        out += inner;
        out += ')';
    };
    switch (code.tag) {
        case KeyTag::F: in_parens(std::to_string(code.payload)); break;
        case KeyTag::Media: in_parens(media_key_name(static_cast<MediaKey>(code.payload))); break;
        case KeyTag::Modifier: in_parens(modifier_key_name(static_cast<ModifierKey>(code.payload))); break;
        case KeyTag::Char: {
            const char32_t c = code.ch();
            out += "('";
            switch (c) {
                case U'\0': out += "\\0"; break;
                case U'\t': out += "\\t"; break;
                case U'\r': out += "\\r"; break;
                case U'\n': out += "\\n"; break;
                case U'\'': out += "\\'"; break;
                case U'\\': out += "\\\\"; break;
                default:
                    if (needs_unicode_escape(c)) {
                        char buf[16];
                        std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned>(c));
                        out += buf;
                    } else {
                        append_utf8(out, c);
                    }
            }
            out += "')";
            break;
        }
        default:
            break;
    }
    return out;
}

std::string_view key_kind_text(KeyKind kind) noexcept {
    switch (kind) {
        case KeyKind::Repeat: return "repeat";
        case KeyKind::Release: return "release";
        default: return "press";
    }
}

std::string_view key_kind_name(KeyKind kind) noexcept {
    switch (kind) {
        case KeyKind::Repeat: return "Repeat";
        case KeyKind::Release: return "Release";
        default: return "Press";
    }
}

std::string_view mouse_kind_text(MouseKind kind) noexcept { return entry_or(kMouseKinds, kind, "moved"); }

std::string_view mouse_kind_short_text(MouseKind kind) noexcept { return entry_or(kMouseKindsShort, kind, "move"); }

std::string_view mouse_button_text(MouseButton button) noexcept { return entry_or(kButtons, button, "none"); }

std::string_view record_tag_text(RecordTag tag) noexcept { return entry_or(kRecordTags, tag, "tick"); }

bool operator==(const TerminalEvent& a, const TerminalEvent& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case EventKind::Key: return a.key == b.key;
        case EventKind::Mouse: return a.mouse == b.mouse;
        case EventKind::Paste: return a.paste == b.paste;
        case EventKind::Resize: return a.columns == b.columns && a.rows == b.rows;
        default: return true;
    }
}

bool operator==(const InputItem& a, const InputItem& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case InputItem::Kind::Event: return a.event == b.event;
        case InputItem::Kind::CursorReport: return a.column == b.column && a.row == b.row;
        case InputItem::Kind::FlagsReport: return a.flags == b.flags;
        default: return true;
    }
}

EventRecord to_record(TerminalEvent&& event) {
    EventRecord r;
    switch (event.kind) {
        case EventKind::FocusGained: r.tag = RecordTag::FocusGained; break;
        case EventKind::FocusLost: r.tag = RecordTag::FocusLost; break;
        case EventKind::Key:
            r.tag = RecordTag::Key;
            r.key = KeyRecord::of(event.key);
            break;
        case EventKind::Mouse: {
            const MouseEvent& m = event.mouse;
            r.tag = RecordTag::Mouse;
            const bool has_button = m.kind == MouseKind::Down || m.kind == MouseKind::Up || m.kind == MouseKind::Drag;
            const MouseButton button = has_button ? m.button : MouseButton::None;
            r.mouse_kind = std::string(mouse_kind_text(m.kind));
            r.mouse_button = std::string(mouse_button_text(button));
            r.mouse_kind_index = static_cast<std::uint8_t>(m.kind);
            r.button = static_cast<std::uint8_t>(button);
            r.column = m.column;
            r.row = m.row;
            r.mouse_modifiers = m.modifiers;
            break;
        }
        case EventKind::Paste:
            r.tag = RecordTag::Paste;
            r.paste = event.paste.take();
            break;
        case EventKind::Resize:
            r.tag = RecordTag::Resize;
            r.width = event.columns;
            r.height = event.rows;
            break;
    }
    return r;
}

}  // namespace tarvo::core::terminal
