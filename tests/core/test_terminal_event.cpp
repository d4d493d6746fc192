#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/terminal/event.hpp"

namespace {

using namespace tarvo::core::terminal;

TEST(TerminalEvent, KeyCodeText) {
    const std::vector<std::pair<KeyCode, std::string>> cases = {
        {KeyCode::of(KeyTag::Enter), "Enter"},
        {KeyCode::of(KeyTag::PageUp), "PageUp"},
        {KeyCode::of(KeyTag::BackTab), "BackTab"},
        {KeyCode::of(KeyTag::KeypadBegin), "KeypadBegin"},
        {KeyCode::function(5), "F(5)"},
        {KeyCode::function(35), "F(35)"},
        {KeyCode::character(U'q'), "Char('q')"},
        {KeyCode::character(U'"'), "Char('\"')"},
        {KeyCode::character(U'\''), "Char('\\'')"},
        {KeyCode::character(U'\\'), "Char('\\\\')"},
        {KeyCode::character(U'\n'), "Char('\\n')"},
        {KeyCode::character(U'\t'), "Char('\\t')"},
        {KeyCode::character(U'\r'), "Char('\\r')"},
        {KeyCode::character(U'\0'), "Char('\\0')"},
        {KeyCode::character(0x1b), "Char('\\u{1b}')"},
        {KeyCode::character(0x7f), "Char('\\u{7f}')"},
        {KeyCode::character(0xad), "Char('\\u{ad}')"},      // soft hyphen, a format character
        {KeyCode::character(0x301), "Char('\\u{301}')"},    // combining acute accent
        {KeyCode::character(0xa0), "Char('\\u{a0}')"},      // no-break space
        {KeyCode::character(U' '), "Char(' ')"},
        {KeyCode::character(0xe9), "Char('\xc3\xa9')"},
        {KeyCode::character(0x1f600), "Char('\xf0\x9f\x98\x80')"},
        {KeyCode::media(MediaKey::PlayPause), "Media(PlayPause)"},
        {KeyCode::media(MediaKey::MuteVolume), "Media(MuteVolume)"},
        {KeyCode::modifier(ModifierKey::LeftShift), "Modifier(LeftShift)"},
        {KeyCode::modifier(ModifierKey::IsoLevel5Shift), "Modifier(IsoLevel5Shift)"},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(key_code_text(code), text);
}

TEST(TerminalEvent, KeyCodeIndexByTag) {
    const std::vector<std::uint8_t> expected = {3,  1,  8,  9,  6,  7,  10, 11, 12, 13, 4,  5,  15, 14,
                                                16, 0, 17, 2,  18, 19, 20, 21, 22, 23, 24, 25, 26};
    for (std::uint8_t t = 0; t < kKeyTagCount; ++t) EXPECT_EQ(key_code_index(static_cast<KeyTag>(t)), expected[t]) << int(t);
    EXPECT_EQ(key_code_index(static_cast<KeyTag>(200)), kKeyCodeOther);
}

TEST(TerminalEvent, RecordOfEachKind) {
    EventRecord focus = to_record(TerminalEvent::focus(true));
    EXPECT_EQ(focus.tag, RecordTag::FocusGained);
    EXPECT_FALSE(focus.key || focus.paste || focus.mouse_kind || focus.width || focus.tick);
    EXPECT_EQ(to_record(TerminalEvent::focus(false)).tag, RecordTag::FocusLost);

    KeyEvent k{KeyCode::function(7), key_modifiers::CONTROL, KeyKind::Release, key_state::NUM_LOCK};
    EventRecord key = to_record(TerminalEvent::of_key(k));
    ASSERT_TRUE(key.key);
    EXPECT_EQ(key.tag, RecordTag::Key);
    EXPECT_EQ(key.key->code_index, 16);
    EXPECT_EQ(key.key->kind, 2);
    EXPECT_EQ(key.key->event(), k);
    EXPECT_FALSE(key.mouse_kind || key.paste || key.width);

    EventRecord paste = to_record(TerminalEvent::of_paste(""));
    EXPECT_EQ(paste.tag, RecordTag::Paste);
    ASSERT_TRUE(paste.paste);
    EXPECT_EQ(*paste.paste, "");

    EventRecord resize = to_record(TerminalEvent::resize(80, 24));
    EXPECT_EQ(resize.tag, RecordTag::Resize);
    EXPECT_EQ(resize.width, std::optional<std::uint16_t>(80));
    EXPECT_EQ(resize.height, std::optional<std::uint16_t>(24));

    EventRecord tick = EventRecord::of_tick(17);
    EXPECT_EQ(tick.tag, RecordTag::Tick);
    EXPECT_EQ(record_tag_text(tick.tag), "tick");
}

TEST(TerminalEvent, MouseRecordTextsAndButtons) {
    // kind, button given, expected kind text, expected button index and text
    const std::vector<std::tuple<MouseKind, MouseButton, const char*, int, const char*>> cases = {
        {MouseKind::Down, MouseButton::Left, "down", 0, "left"},
        {MouseKind::Up, MouseButton::Middle, "up", 2, "middle"},
        {MouseKind::Drag, MouseButton::Right, "drag", 1, "right"},
        {MouseKind::Moved, MouseButton::Left, "moved", 3, "none"},
        {MouseKind::ScrollDown, MouseButton::Left, "scroll_down", 3, "none"},
        {MouseKind::ScrollUp, MouseButton::None, "scroll_up", 3, "none"},
        {MouseKind::ScrollLeft, MouseButton::None, "scroll_left", 3, "none"},
        {MouseKind::ScrollRight, MouseButton::None, "scroll_right", 3, "none"},
    };
    for (const auto& [kind, button, text, index, button_text] : cases) {
        EventRecord r = to_record(TerminalEvent::of_mouse(MouseEvent{kind, button, 10, 3, key_modifiers::CONTROL}));
        EXPECT_EQ(r.tag, RecordTag::Mouse);
        EXPECT_EQ(*r.mouse_kind, text);
        EXPECT_EQ(*r.mouse_button, button_text);
        EXPECT_EQ(r.button, index);
        EXPECT_EQ(r.mouse_kind_index, static_cast<std::uint8_t>(kind));
        EXPECT_EQ(r.column, 10);
        EXPECT_EQ(r.row, 3);
        EXPECT_EQ(r.mouse_modifiers, key_modifiers::CONTROL);
    }
    EXPECT_EQ(mouse_kind_short_text(MouseKind::Down), "press");
    EXPECT_EQ(mouse_kind_short_text(MouseKind::Up), "release");
    EXPECT_EQ(mouse_kind_short_text(MouseKind::Moved), "move");
    EXPECT_EQ(mouse_kind_short_text(MouseKind::ScrollRight), "scroll_right");
}

}  // namespace
