#include "core/editor/key_binding.hpp"

#include <utf8proc.h>

#include <array>
#include <vector>

#include "core/editor/text_area.hpp"
#include "core/unicode.hpp"

namespace tarvo::core::editor {

namespace {

using terminal::KeyCode;
using terminal::KeyTag;

struct KeyName {
    std::string_view name;
    KeyTag tag;
};

// Accepted names (after lower-casing); the first name of a key is the one written back, except
// for the keys listed in kWrittenNames.
constexpr std::array<KeyName, 27> kKeyNames{{
    {"backspace", KeyTag::Backspace}, {"enter", KeyTag::Enter},        {"left", KeyTag::Left},
    {"right", KeyTag::Right},         {"up", KeyTag::Up},              {"down", KeyTag::Down},
    {"home", KeyTag::Home},           {"end", KeyTag::End},            {"pageup", KeyTag::PageUp},
    {"page_up", KeyTag::PageUp},      {"pagedown", KeyTag::PageDown},  {"page_down", KeyTag::PageDown},
    {"tab", KeyTag::Tab},             {"backtab", KeyTag::BackTab},    {"delete", KeyTag::Delete},
    {"del", KeyTag::Delete},          {"insert", KeyTag::Insert},      {"esc", KeyTag::Esc},
    {"escape", KeyTag::Esc},          {"null", KeyTag::Null},          {"capslock", KeyTag::CapsLock},
    {"scrolllock", KeyTag::ScrollLock}, {"numlock", KeyTag::NumLock},  {"printscreen", KeyTag::PrintScreen},
    {"pause", KeyTag::Pause},         {"menu", KeyTag::Menu},          {"keypadbegin", KeyTag::KeypadBegin},
}};

constexpr std::array<KeyName, 8> kWrittenNames{{
    {"Null", KeyTag::Null}, {"CapsLock", KeyTag::CapsLock}, {"ScrollLock", KeyTag::ScrollLock},
    {"NumLock", KeyTag::NumLock}, {"PrintScreen", KeyTag::PrintScreen}, {"Pause", KeyTag::Pause},
    {"Menu", KeyTag::Menu}, {"KeypadBegin", KeyTag::KeypadBegin},
}};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_letter(char32_t c) {
    const auto cat = utf8proc_category(static_cast<utf8proc_int32_t>(c));
    return cat == UTF8PROC_CATEGORY_LU || cat == UTF8PROC_CATEGORY_LL || cat == UTF8PROC_CATEGORY_LT;
}

char32_t lower_first(char32_t c) {
    if (c == 0x130) return U'i';
    return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
}

}  // namespace

std::string_view trim_white_space(std::string_view s) {
    std::u32string u = to_u32(s);
    std::size_t b = 0, e = u.size();
    while (b < e && is_white_space(u[b])) ++b;
    while (e > b && is_white_space(u[e - 1])) --e;
    // Byte offsets of the kept code points.
    std::size_t byte_b = 0, byte_e = 0, i = 0, k = 0;
    for (; i < s.size() && k < b; ++k) i += unicode::decode(s, i).len;
    byte_b = i;
    for (; i < s.size() && k < e; ++k) i += unicode::decode(s, i).len;
    byte_e = i;
    return s.substr(byte_b, byte_e - byte_b);
}

std::string lower_case(std::string_view s) {
    const std::u32string u = to_u32(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < u.size(); ++i) {
        const char32_t c = u[i];
        if (c == 0x130) {  // İ: "i" with a combining dot above
            append_utf8(out, U'i');
            append_utf8(out, 0x307);
        } else if (c == 0x3A3) {  // Σ ends a word as ς
            const bool after_letter = i > 0 && is_letter(u[i - 1]);
            const bool before_letter = i + 1 < u.size() && is_letter(u[i + 1]);
            append_utf8(out, after_letter && !before_letter ? char32_t{0x3C2} : char32_t{0x3C3});
        } else {
            append_utf8(out, lower_first(c));
        }
    }
    return out;
}

std::variant<KeyBinding, std::string> KeyBinding::parse(std::string_view binding) {
    std::vector<std::string_view> pieces;
    for (std::size_t from = 0;;) {
        const std::size_t plus = binding.find('+', from);
        pieces.push_back(binding.substr(from, plus == std::string_view::npos ? std::string_view::npos : plus - from));
        if (plus == std::string_view::npos) break;
        from = plus + 1;
    }
    KeyBinding out;
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        const std::string m = lower_case(trim_white_space(pieces[i]));
        if (m == "ctrl" || m == "control") {
            out.ctrl = true;
        } else if (m == "shift" || m == "shft") {
            out.shift = true;
        } else if (m == "alt") {
            out.alt = true;
        } else {
            return "unknown modifier " + m + " in binding " + std::string(binding);
        }
    }
    const std::string key = lower_case(trim_white_space(pieces.back()));
    auto unknown = [&] { return "unknown key in binding: " + key + " (binding: " + std::string(binding) + ")"; };
    if (key.empty()) return unknown();
    for (const KeyName& k : kKeyNames) {
        if (key == k.name) {
            out.code = KeyCode::of(k.tag);
            return out;
        }
    }
    if (key == "space") {
        out.code = KeyCode::character(U' ');
        return out;
    }
    if ((key.size() == 2 || key.size() == 3) && key[0] == 'f') {
        const std::string digits = key.substr(1);
        const bool numeric = is_digit(digits[0]) && (digits.size() == 1 || is_digit(digits[1]));
        const int n = numeric ? std::stoi(digits) : 0;
        if (n < 1 || n > 12) return "invalid function key: " + key;
        out.code = KeyCode::function(static_cast<std::uint8_t>(n));
        return out;
    }
    if (key.size() == 1) {  // one ASCII character; a lone "f" included
        out.code = KeyCode::character(static_cast<unsigned char>(key[0]));
        return out;
    }
    return unknown();
}

bool KeyBinding::matches(const terminal::KeyEvent& event) const noexcept {
    namespace km = terminal::key_modifiers;
    bool key_ok;
    if (code.tag == KeyTag::F) {
        key_ok = event.code.tag == KeyTag::F && event.code.payload == code.payload;
    } else if (code.tag == KeyTag::Char) {
        key_ok = event.code.tag == KeyTag::Char && lower_first(event.code.ch()) == lower_first(code.ch());
    } else {
        key_ok = event.code.tag == code.tag;
    }
    return key_ok && ((event.modifiers & km::CONTROL) != 0) == ctrl && ((event.modifiers & km::SHIFT) != 0) == shift &&
           ((event.modifiers & km::ALT) != 0) == alt;
}

std::string KeyBinding::text() const {
    std::string out;
    if (ctrl) out += "ctrl+";
    if (shift) out += "shift+";
    if (alt) out += "alt+";
    if (code.tag == KeyTag::F) return out + "f" + std::to_string(code.payload);
    if (code.tag == KeyTag::Char) {
        if (code.ch() == U' ') return out + "space";
        append_utf8(out, code.ch());
        return out;
    }
    for (const KeyName& k : kWrittenNames)
        if (k.tag == code.tag) return out + std::string(k.name);
    for (const KeyName& k : kKeyNames)
        if (k.tag == code.tag) return out + std::string(k.name);
    return out;
}

}  // namespace tarvo::core::editor
