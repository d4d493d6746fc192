#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/terminal/decoder.hpp"
#include "../fuzz/decoder_fuzz.hpp"

namespace {

using namespace tarvo::core::terminal;
namespace km = key_modifiers;
using Items = std::vector<InputItem>;

// ---- expected items ----

InputItem K(KeyCode code, std::uint8_t mods = 0, KeyKind kind = KeyKind::Press, std::uint8_t state = 0) {
    InputItem i;
    i.event = TerminalEvent::of_key(KeyEvent{code, mods, kind, state});
    return i;
}
InputItem K(KeyTag tag, std::uint8_t mods = 0, KeyKind kind = KeyKind::Press, std::uint8_t state = 0) {
    return K(KeyCode::of(tag), mods, kind, state);
}
InputItem Ch(char32_t c, std::uint8_t mods = 0, std::uint8_t state = 0) {
    return K(KeyCode::character(c), mods, KeyKind::Press, state);
}
InputItem Fn(std::uint8_t n, std::uint8_t mods = 0) { return K(KeyCode::function(n), mods); }
InputItem M(MouseKind kind, MouseButton button, std::uint16_t col, std::uint16_t row, std::uint8_t mods = 0) {
    InputItem i;
    i.event = TerminalEvent::of_mouse(MouseEvent{kind, button, col, row, mods});
    return i;
}
InputItem P(std::string text) {
    InputItem i;
    i.event = TerminalEvent::of_paste(std::move(text));
    return i;
}
InputItem Focus(bool gained) {
    InputItem i;
    i.event = TerminalEvent::focus(gained);
    return i;
}
InputItem Cursor(std::uint16_t col, std::uint16_t row) {
    InputItem i;
    i.kind = InputItem::Kind::CursorReport;
    i.column = col;
    i.row = row;
    return i;
}
InputItem Flags(std::uint8_t f) {
    InputItem i;
    i.kind = InputItem::Kind::FlagsReport;
    i.flags = f;
    return i;
}
InputItem DA() {
    InputItem i;
    i.kind = InputItem::Kind::DeviceAttributes;
    return i;
}

std::string describe(const InputItem& i) {
    switch (i.kind) {
        case InputItem::Kind::CursorReport: return "Cursor(" + std::to_string(i.column) + "," + std::to_string(i.row) + ")";
        case InputItem::Kind::FlagsReport: return "Flags(" + std::to_string(i.flags) + ")";
        case InputItem::Kind::DeviceAttributes: return "DA";
        default: break;
    }
    const TerminalEvent& e = i.event;
    switch (e.kind) {
        case EventKind::Key:
            return "Key(" + key_code_text(e.key.code) + " m" + std::to_string(e.key.modifiers) + " k" +
                   std::to_string(int(e.key.kind)) + " s" + std::to_string(e.key.state) + ")";
        case EventKind::Mouse:
            return "Mouse(" + std::string(mouse_kind_text(e.mouse.kind)) + " " +
                   std::string(mouse_button_text(e.mouse.button)) + " " + std::to_string(e.mouse.column) + "," +
                   std::to_string(e.mouse.row) + " m" + std::to_string(e.mouse.modifiers) + ")";
        case EventKind::Paste: return "Paste(" + e.paste.str() + ")";
        case EventKind::FocusGained: return "FocusGained";
        case EventKind::FocusLost: return "FocusLost";
        case EventKind::Resize: return "Resize";
    }
    return "?";
}

std::string describe(const Items& items) {
    std::string s;
    for (const auto& i : items) s += describe(i) + " ";
    return s;
}

// Feeds `bytes` in the pieces that end at `cuts`; every piece but the last is followed by more.
Items decode_split(const std::string& bytes, const std::vector<std::size_t>& cuts, bool raw) {
    Decoder d;
    Items out;
    std::size_t from = 0;
    for (std::size_t cut : cuts) {
        d.feed(std::string_view(bytes).substr(from, cut - from), true, raw, out);
        from = cut;
    }
    d.feed(std::string_view(bytes).substr(from), false, raw, out);
    return out;
}

struct Case {
    const char* name;
    std::string bytes;
    Items expected;
    bool raw = false;
};

// Every case is decoded whole, byte by byte and in random pieces, with the same result.
void check_cases(const std::vector<Case>& cases) {
    std::mt19937 rng(12345);
    for (const Case& c : cases) {
        const std::string want = describe(c.expected);
        EXPECT_EQ(describe(decode_split(c.bytes, {}, c.raw)), want) << c.name << " (whole)";
        std::vector<std::size_t> every;
        for (std::size_t i = 1; i < c.bytes.size(); ++i) every.push_back(i);
        EXPECT_EQ(describe(decode_split(c.bytes, every, c.raw)), want) << c.name << " (byte by byte)";
        for (int round = 0; round < 4; ++round) {
            std::vector<std::size_t> cuts;
            for (std::size_t i = 1; i < c.bytes.size(); ++i)
                if (rng() % 3 == 0) cuts.push_back(i);
            EXPECT_EQ(describe(decode_split(c.bytes, cuts, c.raw)), want) << c.name << " (pieces)";
        }
    }
}

std::string E(const std::string& rest) { return "\x1b" + rest; }
// "ESC [ n" and a final byte.
std::string csi_n(int n, char final_byte) {
    std::string s = "\x1b[";
    s += std::to_string(n);
    s += final_byte;
    return s;
}

TEST(TerminalDecoder, ControlBytesAndCharacters) {
    check_cases({
        {"CR", "\r", {K(KeyTag::Enter)}},
        {"LF cooked", "\n", {K(KeyTag::Enter)}},
        {"LF raw", "\n", {Ch('j', km::CONTROL)}, true},
        {"tab", "\t", {K(KeyTag::Tab)}},
        {"DEL", "\x7f", {K(KeyTag::Backspace)}},
        {"ctrl a", "\x01", {Ch('a', km::CONTROL)}},
        {"ctrl c", "\x03", {Ch('c', km::CONTROL)}},
        {"BS is ctrl h", "\x08", {Ch('h', km::CONTROL)}},
        {"ctrl z", "\x1a", {Ch('z', km::CONTROL)}},
        {"1c-1f", "\x1c\x1d\x1e\x1f", {Ch('4', km::CONTROL), Ch('5', km::CONTROL), Ch('6', km::CONTROL), Ch('7', km::CONTROL)}},
        {"NUL", std::string(1, '\0'), {Ch(' ', km::CONTROL)}},
        {"ascii", "a1 ~", {Ch('a'), Ch('1'), Ch(' '), Ch('~')}},
        {"capital", "A", {Ch('A', km::SHIFT)}},
        {"two bytes", "\xc3\xa9", {Ch(0xe9)}},
        {"capital two bytes", "\xc3\x89", {Ch(0xc9, km::SHIFT)}},
        {"roman numeral is uppercase", "\xe2\x85\xab", {Ch(0x216b, km::SHIFT)}},
        {"three bytes", "\xe2\x82\xac", {Ch(0x20ac)}},
        {"four bytes", "\xf0\x9f\x98\x80", {Ch(0x1f600)}},
        {"stray continuation", "a\x80" "b", {Ch('a'), Ch('b')}},
        {"bad lead", "\xff" "b", {Ch('b')}},
        {"overlong", "\xc0\x80" "b", {Ch('b')}},
        {"surrogate", "\xed\xa0\x80" "b", {Ch('b')}},
        {"above U+10FFFF", "\xf4\x90\x80\x80" "b", {Ch('b')}},
        {"cut character keeps what follows", "\xc3x", {Ch('x')}},
    });
}

TEST(TerminalDecoder, EscapeAltAndSs3) {
    check_cases({
        {"lone ESC at the end", E(""), {K(KeyTag::Esc)}},
        {"ESC ESC", E("\x1b"), {K(KeyTag::Esc)}},
        {"ESC ESC ESC", E("\x1b\x1b"), {K(KeyTag::Esc), K(KeyTag::Esc)}},
        {"ESC O waits", E("O"), {}},
        {"ESC O x drops x", E("Ox") + "y", {Ch('y')}},
        {"ESC O control byte decodes afresh", E("O\r"), {K(KeyTag::Enter)}},
        {"SS3 arrows", E("OA") + E("OB") + E("OC") + E("OD") + E("OH") + E("OF"),
         {K(KeyTag::Up), K(KeyTag::Down), K(KeyTag::Right), K(KeyTag::Left), K(KeyTag::Home), K(KeyTag::End)}},
        {"SS3 F1-F4", E("OP") + E("OQ") + E("OR") + E("OS"), {Fn(1), Fn(2), Fn(3), Fn(4)}},
        {"SS3 with modifier", E("O5P"), {Ch('P', km::SHIFT)}},
        {"alt a", E("a"), {Ch('a', km::ALT)}},
        {"alt shift a", E("A"), {Ch('A', km::SHIFT | km::ALT)}},
        {"alt enter", E("\r"), {K(KeyTag::Enter, km::ALT)}},
        {"alt ctrl a", E("\x01"), {Ch('a', km::CONTROL | km::ALT)}},
        {"alt backspace", E("\x7f"), {K(KeyTag::Backspace, km::ALT)}},
        {"alt e acute", E("\xc3\xa9"), {Ch(0xe9, km::ALT)}},
        {"alt lf raw", E("\n"), {Ch('j', km::CONTROL | km::ALT)}, true},
    });
}

TEST(TerminalDecoder, CsiKeys) {
    check_cases({
        {"linux F1-F5", E("[[A") + E("[[B") + E("[[C") + E("[[D") + E("[[E"), {Fn(1), Fn(2), Fn(3), Fn(4), Fn(5)}},
        {"linux other", E("[[F") + "x", {Ch('x')}},
        {"arrows", E("[A") + E("[B") + E("[C") + E("[D") + E("[H") + E("[F"),
         {K(KeyTag::Up), K(KeyTag::Down), K(KeyTag::Right), K(KeyTag::Left), K(KeyTag::Home), K(KeyTag::End)}},
        {"backtab", E("[Z"), {K(KeyTag::BackTab, km::SHIFT)}},
        {"F1 F2 F4", E("[P") + E("[Q") + E("[S"), {Fn(1), Fn(2), Fn(4)}},
        {"no bare R", E("[R") + "x", {Ch('x')}},
        {"focus", E("[I") + E("[O"), {Focus(true), Focus(false)}},
        {"semicolon first", E("[;1;2A"), {Ch('1'), Ch(';'), Ch('2'), Ch('A', km::SHIFT)}},
        {"unknown third", E("[x") + "y", {Ch('y')}},
        {"control third decodes afresh", E("[") + E("[A"), {K(KeyTag::Up)}},
        {"ctrl up", E("[1;5A"), {K(KeyTag::Up, km::CONTROL)}},
        {"digit fallback", E("[5A"), {K(KeyTag::Up, km::CONTROL)}},
        {"overflowing mask uses last digit", E("[1;256A"), {K(KeyTag::Up, km::SHIFT | km::CONTROL)}},
        {"release", E("[1;5:3A"), {K(KeyTag::Up, km::CONTROL, KeyKind::Release)}},
        {"repeat", E("[1;5:2B"), {K(KeyTag::Down, km::CONTROL, KeyKind::Repeat)}},
        {"unknown kind is press", E("[1;5:9B"), {K(KeyTag::Down, km::CONTROL)}},
        {"alt right", E("[1;3C"), {K(KeyTag::Right, km::ALT)}},
        {"shift left end home", E("[1;2D") + E("[1;2F") + E("[1;2H"),
         {K(KeyTag::Left, km::SHIFT), K(KeyTag::End, km::SHIFT), K(KeyTag::Home, km::SHIFT)}},
        {"shift F1 F2 F4", E("[1;2P") + E("[1;2Q") + E("[1;2S"),
         {Fn(1, km::SHIFT), Fn(2, km::SHIFT), Fn(4, km::SHIFT)}},
        {"super hyper meta", E("[1;9A") + E("[1;17A") + E("[1;33A"),
         {K(KeyTag::Up, km::SUPER), K(KeyTag::Up, km::HYPER), K(KeyTag::Up, km::META)}},
        {"no lock state in this form", E("[1;65A"), {K(KeyTag::Up)}},
        {"mask zero", E("[1;0A"), {K(KeyTag::Up)}},
        {"ctrl F3 is a cursor report", E("[1;5R"), {Cursor(4, 0)}},
        {"unknown final", E("[1;5X") + "x", {Ch('x')}},
        {"empty mask, no digit", E("[1;A") + "x", {Ch('x')}},
    });
}

TEST(TerminalDecoder, TildeKeys) {
    std::vector<Case> cases = {
        {"home", E("[1~") + E("[7~"), {K(KeyTag::Home), K(KeyTag::Home)}},
        {"insert delete", E("[2~") + E("[3~"), {K(KeyTag::Insert), K(KeyTag::Delete)}},
        {"end", E("[4~") + E("[8~"), {K(KeyTag::End), K(KeyTag::End)}},
        {"pages", E("[5~") + E("[6~"), {K(KeyTag::PageUp), K(KeyTag::PageDown)}},
        {"ctrl delete repeat", E("[3;5:2~"), {K(KeyTag::Delete, km::CONTROL, KeyKind::Repeat)}},
        {"num lock state", E("[1;130~"), {K(KeyTag::Home, km::SHIFT, KeyKind::Press, key_state::NUM_LOCK)}},
        {"caps lock state", E("[2;65~"), {K(KeyTag::Insert, 0, KeyKind::Press, key_state::CAPS_LOCK)}},
        {"empty mask", E("[3;~"), {K(KeyTag::Delete)}},
        {"letter ends the sequence", E("[3;x~"), {Ch('~')}},
        {"unknown numbers", E("[9~") + E("[35~") + E("[300~") + "x", {Ch('x')}},
    };
    const std::vector<std::pair<int, int>> fkeys = {{11, 1}, {12, 2}, {13, 3}, {14, 4}, {15, 5}, {17, 6},
                                                    {18, 7}, {19, 8}, {20, 9}, {21, 10}, {23, 11}, {24, 12},
                                                    {25, 13}, {26, 14}, {28, 13}, {29, 14}, {31, 14}, {32, 15},
                                                    {33, 16}, {34, 17}};
    for (auto [number, f] : fkeys)
        cases.push_back({"function key", csi_n(number, '~'), {Fn(static_cast<std::uint8_t>(f))}});
    check_cases(cases);
}

TEST(TerminalDecoder, EnhancedKeys) {
    const std::uint8_t KP = key_state::KEYPAD;
    std::vector<Case> cases = {
        {"keypad operators", E("[57409u") + E("[57410u") + E("[57411u") + E("[57412u") + E("[57413u"),
         {Ch('.', 0, KP), Ch('/', 0, KP), Ch('*', 0, KP), Ch('-', 0, KP), Ch('+', 0, KP)}},
        {"keypad enter = ,", E("[57414u") + E("[57415u") + E("[57416u"),
         {K(KeyTag::Enter, 0, KeyKind::Press, KP), Ch('=', 0, KP), Ch(',', 0, KP)}},
        {"esc enter backspace", E("[27u") + E("[13u") + E("[127u"),
         {K(KeyTag::Esc), K(KeyTag::Enter), K(KeyTag::Backspace)}},
        {"line feed cooked", E("[10u"), {K(KeyTag::Enter)}},
        {"line feed raw", E("[10u"), {Ch('\n')}, true},
        {"tab", E("[9u"), {K(KeyTag::Tab)}},
        {"shift tab", E("[9;2u"), {K(KeyTag::BackTab, km::SHIFT)}},
        {"plain char", E("[97u"), {Ch('a')}},
        {"capital without shift", E("[65u"), {Ch('A')}},
        {"not a scalar", E("[55296u") + E("[1114112u") + E("[4294967296u") + "x", {Ch('x')}},
        {"left shift", E("[57441;2u"), {K(KeyCode::modifier(ModifierKey::LeftShift), km::SHIFT)}},
        {"modifier key adds its bit", E("[57441u") + E("[57448u") + E("[57443u"),
         {K(KeyCode::modifier(ModifierKey::LeftShift), km::SHIFT),
          K(KeyCode::modifier(ModifierKey::RightControl), km::CONTROL),
          K(KeyCode::modifier(ModifierKey::LeftAlt), km::ALT)}},
        {"iso level keys", E("[57453u") + E("[57454u"),
         {K(KeyCode::modifier(ModifierKey::IsoLevel3Shift)), K(KeyCode::modifier(ModifierKey::IsoLevel5Shift))}},
        {"shifted key", E("[97:65;2u"), {Ch('A')}},
        {"empty shifted field", E("[97::98;2u"), {Ch('a', km::SHIFT)}},
        {"shifted without shift", E("[97:65u"), {Ch('a')}},
        {"caps lock", E("[97;65u"), {Ch('a', 0, key_state::CAPS_LOCK)}},
        {"num lock", E("[97;129u"), {Ch('a', 0, key_state::NUM_LOCK)}},
        {"release", E("[97;5:3u"), {K(KeyCode::character('a'), km::CONTROL, KeyKind::Release)}},
        {"text field ignored", E("[97;1;97u"), {Ch('a')}},
    };
    for (int i = 0; i < 10; ++i)
        cases.push_back({"keypad digit", csi_n(57399 + i, 'u'), {Ch(char32_t('0' + i), 0, KP)}});
    const KeyTag kp[] = {KeyTag::Left,   KeyTag::Right,  KeyTag::Up,     KeyTag::Down,        KeyTag::PageUp, KeyTag::PageDown,
                         KeyTag::Home,   KeyTag::End,    KeyTag::Insert, KeyTag::Delete, KeyTag::KeypadBegin};
    for (int i = 0; i < 11; ++i)
        cases.push_back({"keypad key", csi_n(57417 + i, 'u'), {K(kp[i], 0, KeyKind::Press, KP)}});
    const KeyTag locks[] = {KeyTag::CapsLock, KeyTag::ScrollLock, KeyTag::NumLock, KeyTag::PrintScreen, KeyTag::Pause, KeyTag::Menu};
    for (int i = 0; i < 6; ++i) cases.push_back({"lock key", csi_n(57358 + i, 'u'), {K(locks[i])}});
    for (int i = 0; i < 23; ++i)
        cases.push_back({"F13-F35", csi_n(57376 + i, 'u'), {Fn(static_cast<std::uint8_t>(13 + i))}});
    for (int i = 0; i < 13; ++i)
        cases.push_back({"media", csi_n(57428 + i, 'u'), {K(KeyCode::media(static_cast<MediaKey>(i)))}});
    const std::uint8_t own[] = {km::SHIFT, km::CONTROL, km::ALT, km::SUPER, km::HYPER, km::META};
    for (int i = 0; i < 12; ++i)
        cases.push_back({"modifier key", csi_n(57441 + i, 'u'),
                         {K(KeyCode::modifier(static_cast<ModifierKey>(i)), own[i % 6])}});
    check_cases(cases);
}

TEST(TerminalDecoder, Mouse) {
    using MK = MouseKind;
    using MB = MouseButton;
    auto x10 = [](int cb, int cx, int cy) {
        return E("[M") + std::string(1, char(cb)) + std::string(1, char(cx)) + std::string(1, char(cy));
    };
    check_cases({
        {"sgr press", E("[<0;10;5M"), {M(MK::Down, MB::Left, 9, 4)}},
        {"sgr release", E("[<0;10;5m"), {M(MK::Up, MB::Left, 9, 4)}},
        {"sgr middle right", E("[<1;1;1M") + E("[<2;3;4M"), {M(MK::Down, MB::Middle, 0, 0), M(MK::Down, MB::Right, 2, 3)}},
        {"sgr drag", E("[<32;3;4M") + E("[<34;3;4M"), {M(MK::Drag, MB::Left, 2, 3), M(MK::Drag, MB::Right, 2, 3)}},
        {"sgr moved", E("[<35;3;4M") + E("[<35;3;4m") + E("[<96;3;4M") + E("[<97;3;4M"),
         {M(MK::Moved, MB::None, 2, 3), M(MK::Moved, MB::None, 2, 3), M(MK::Moved, MB::None, 2, 3),
          M(MK::Moved, MB::None, 2, 3)}},
        {"sgr button 3 is a release", E("[<3;3;4M"), {M(MK::Up, MB::Left, 2, 3)}},
        {"sgr wheel", E("[<64;3;4M") + E("[<65;3;4M") + E("[<66;3;4M") + E("[<67;3;4M"),
         {M(MK::ScrollUp, MB::None, 2, 3), M(MK::ScrollDown, MB::None, 2, 3), M(MK::ScrollLeft, MB::None, 2, 3),
          M(MK::ScrollRight, MB::None, 2, 3)}},
        {"sgr invalid buttons", E("[<98;3;4M") + E("[<128;3;4M") + E("[<256;1;1M") + E("[<0;10M") + "x", {Ch('x')}},
        {"sgr modifiers", E("[<20;3;4M") + E("[<8;3;4M"),
         {M(MK::Down, MB::Left, 2, 3, km::SHIFT | km::CONTROL), M(MK::Down, MB::Left, 2, 3, km::ALT)}},
        {"sgr zero clamps", E("[<0;0;0M"), {M(MK::Down, MB::Left, 0, 0)}},
        {"sgr far corner", E("[<0;65535;65535M"), {M(MK::Down, MB::Left, 65534, 65534)}},
        {"sgr broken keeps what follows", E("[<1") + E("[A"), {K(KeyTag::Up)}},
        {"x10 press", x10(32, 33 + 9, 33 + 4), {M(MK::Down, MB::Left, 9, 4)}},
        {"x10 release", x10(35, 34, 34), {M(MK::Up, MB::Left, 1, 1)}},
        {"x10 wheel", x10(32 + 64, 40, 40), {M(MK::ScrollUp, MB::None, 7, 7)}},
        {"x10 low button byte", x10(31, 40, 40) + "x", {Ch('x')}},
        {"x10 coordinate 32 clamps", x10(32, 32, 32), {M(MK::Down, MB::Left, 0, 0)}},
        {"x10 high bytes", x10(32 + 32 + 2, 255, 200), {M(MK::Drag, MB::Right, 222, 167)}},
        {"rxvt press", E("[32;10;5M"), {M(MK::Down, MB::Left, 9, 4)}},
        {"rxvt release and wheel", E("[35;1;1M") + E("[96;1;1M"), {M(MK::Up, MB::Left, 0, 0), M(MK::ScrollUp, MB::None, 0, 0)}},
        {"rxvt low button", E("[31;10;5M") + "x", {Ch('x')}},
        {"rxvt zero clamps", E("[32;0;0M"), {M(MK::Down, MB::Left, 0, 0)}},
    });
}

TEST(TerminalDecoder, RepliesAndPaste) {
    check_cases({
        {"cursor report", E("[12;40R"), {Cursor(39, 11)}},
        {"cursor report zero clamps", E("[0;0R"), {Cursor(0, 0)}},
        {"cursor report needs two fields", E("[12R") + "x", {Ch('x')}},
        {"flags report", E("[?1u") + E("[?3u") + E("[?15u"), {Flags(1), Flags(3), Flags(1)}},
        {"empty flags report waits", E("[?u"), {}},
        {"empty flags report merges", E("[?u") + E("[c"), {DA()}},
        {"device attributes", E("[?62;22c") + E("[?c"), {DA(), DA()}},
        {"other reply dropped, input kept", E("[?1;2R") + "x", {Ch('x')}},
        {"paste", E("[200~hello") + E("[201~"), {P("hello")}},
        {"empty paste", E("[200~") + E("[201~"), {P("")}},
        {"paste keeps sequences", E("[200~a") + E("[A\r\n") + E("[201~") + "c", {P("a\x1b[A\r\n"), Ch('c')}},
        {"paste repairs UTF-8", E("[200~a\xff" "b\xc3") + E("[201~"), {P("a\xef\xbf\xbd" "b\xef\xbf\xbd")}},
        {"paste split marker", E("[200~x") + E("[201") + "y" + E("[201~"), {P("x\x1b[201y")}},
        {"unterminated paste", E("[200~abc"), {}},
    });
}

TEST(TerminalDecoder, EscapeAtTheEndOfARead) {
    Decoder d;
    Items out;
    d.feed("\x1b", false, false, out);
    d.feed("[A", false, false, out);
    EXPECT_EQ(describe(out), describe(Items{K(KeyTag::Esc), Ch('['), Ch('A', km::SHIFT)}));
    out.clear();
    d.feed("\x1b", true, false, out);
    EXPECT_TRUE(out.empty());
    d.feed("[A", false, false, out);
    EXPECT_EQ(describe(out), describe(Items{K(KeyTag::Up)}));
}

TEST(TerminalDecoder, BoundedHolding) {
    // A sequence that never ends is dropped at the limit; what follows decodes normally.
    Items out = decode_split(E("[") + std::string(300, '1') + "A", {}, false);
    const std::size_t left = 300 + 2 - Decoder::kMaxSequence;
    ASSERT_EQ(out.size(), left + 1);
    EXPECT_EQ(describe(out.back()), describe(Ch('A', km::SHIFT)));

    Decoder d;
    Items items;
    d.feed(E("[?"), true, false, items);
    for (int i = 0; i < 1000; ++i) d.feed("1;", true, false, items);
    EXPECT_LE(d.pending(), Decoder::kMaxSequence);

    // A paste without its end is handed out in pieces, nothing lost.
    Decoder p;
    Items pieces;
    p.feed(E("[200~"), true, false, pieces);
    const std::string chunk(1 << 20, 'z');
    for (std::size_t i = 0; i < (Decoder::kMaxPaste >> 20) + 2; ++i) p.feed(chunk, true, false, pieces);
    p.feed(E("[201~"), false, false, pieces);
    std::size_t total = 0;
    for (const auto& it : pieces) {
        ASSERT_EQ(it.event.kind, EventKind::Paste);
        total += it.event.paste.size();
    }
    EXPECT_GE(pieces.size(), 2u);
    EXPECT_EQ(total, chunk.size() * ((Decoder::kMaxPaste >> 20) + 2));
    EXPECT_EQ(p.pending(), 0u);
}

TEST(TerminalDecoder, Utf8Lossy) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"abc", "abc"},
        {"\xc3\xa9", "\xc3\xa9"},
        {"\xff", "\xef\xbf\xbd"},
        {"\xe2\x82", "\xef\xbf\xbd"},                         // cut three-byte character: one replacement
        {"\xe2\x82x", "\xef\xbf\xbdx"},
        {"\xed\xa0\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},  // surrogate: each byte
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
        {"\xf4\x90\x80\x80", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
        {"\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd"},
    };
    for (const auto& [in, want] : cases) EXPECT_EQ(utf8_lossy(in), want);
}

// Random bytes in random pieces: no crash, the same items as fed whole, bounded holding.
TEST(TerminalDecoder, RandomInputInRandomPieces) {
    std::mt19937 rng(777);
    const std::string alphabet = std::string("\x1b[O?<;:~uRMmABCDHFPQSZIc0123456789\r\n\t\x7f\x01 aA\xc3\xa9\xff", 44) +
                                 std::string(1, '\0');
    for (int round = 0; round < 400; ++round) {
        std::string bytes;
        const std::size_t len = rng() % 200;
        for (std::size_t i = 0; i < len; ++i)
            bytes += (rng() % 4 == 0) ? char(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
        if (rng() % 5 == 0) bytes.insert(rng() % (bytes.size() + 1), "\x1b[200~");
        const bool raw = rng() % 2;
        const std::string whole = describe(decode_split(bytes, {}, raw));
        std::vector<std::size_t> cuts;
        for (std::size_t i = 1; i < bytes.size(); ++i)
            if (rng() % 4 == 0) cuts.push_back(i);
        ASSERT_EQ(describe(decode_split(bytes, cuts, raw)), whole) << round;
    }
}

// The fuzz corpus and a bounded run of random fuzz cases.
TEST(TerminalDecoder, FuzzCorpusAndRandomCases) {
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TARVO_DECODER_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(tarvo_fuzz::decode_case(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
            << entry.path();
        ++files;
    }
    EXPECT_GE(files, 6u);
    std::mt19937 rng(4242);
    std::vector<std::uint8_t> data;
    for (int round = 0; round < 3000; ++round) {
        data.resize(rng() % 600);
        for (auto& b : data) b = (rng() % 3 == 0) ? std::uint8_t(0x1b) : std::uint8_t(rng());
        ASSERT_TRUE(tarvo_fuzz::decode_case(data.data(), data.size())) << round;
    }
}

}  // namespace
