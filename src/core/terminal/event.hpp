// Terminal input events as plain values: keys with their code, modifiers, kind and state, mouse
// events, pastes, focus changes and resizes; the replies to terminal queries that travel beside
// them; and the flat event record handed to Python (terminal form or tick form).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo::core::terminal {

// ---- keys ----

// The key as the terminal reports it. The numbering is fixed: it is also what the Python key
// event keeps and tests.
enum class KeyTag : std::uint8_t {
    Backspace = 0, Enter, Left, Right, Up, Down, Home, End, PageUp, PageDown, Tab, BackTab, Delete,
    Insert, F, Char, Null, Esc, CapsLock, ScrollLock, NumLock, PrintScreen, Pause, Menu, KeypadBegin,
    Media, Modifier,
};
inline constexpr std::uint8_t kKeyTagCount = 27;

enum class MediaKey : std::uint8_t {
    Play = 0, Pause, PlayPause, Reverse, Stop, FastForward, Rewind, TrackNext, TrackPrevious, Record,
    LowerVolume, RaiseVolume, MuteVolume,
};
inline constexpr std::uint8_t kMediaKeyCount = 13;

enum class ModifierKey : std::uint8_t {
    LeftShift = 0, LeftControl, LeftAlt, LeftSuper, LeftHyper, LeftMeta, RightShift, RightControl,
    RightAlt, RightSuper, RightHyper, RightMeta, IsoLevel3Shift, IsoLevel5Shift,
};
inline constexpr std::uint8_t kModifierKeyCount = 14;

// A key code: the tag and its payload (the F number, the character, the media or modifier key;
// zero for the other tags). Eight bytes, compared by value.
struct KeyCode {
    KeyTag tag = KeyTag::Null;
    std::uint32_t payload = 0;

    static constexpr KeyCode of(KeyTag t) noexcept { return KeyCode{t, 0}; }
    static constexpr KeyCode character(char32_t c) noexcept { return KeyCode{KeyTag::Char, c}; }
    static constexpr KeyCode function(std::uint8_t n) noexcept { return KeyCode{KeyTag::F, n}; }
    static constexpr KeyCode media(MediaKey m) noexcept { return KeyCode{KeyTag::Media, static_cast<std::uint32_t>(m)}; }
    static constexpr KeyCode modifier(ModifierKey m) noexcept {
        return KeyCode{KeyTag::Modifier, static_cast<std::uint32_t>(m)};
    }

    constexpr bool is(KeyTag t) const noexcept { return tag == t; }
    constexpr char32_t ch() const noexcept { return tag == KeyTag::Char ? static_cast<char32_t>(payload) : 0; }
    friend constexpr bool operator==(const KeyCode&, const KeyCode&) = default;
};

// Modifier bits of keys and mouse events.
namespace key_modifiers {
inline constexpr std::uint8_t NONE = 0, SHIFT = 1, CONTROL = 2, ALT = 4, SUPER = 8, HYPER = 16, META = 32;
inline constexpr std::uint8_t ALL = 63;
}  // namespace key_modifiers

// Lock and keypad state bits of a key.
namespace key_state {
inline constexpr std::uint8_t NONE = 0, KEYPAD = 1, CAPS_LOCK = 2, NUM_LOCK = 4;
}  // namespace key_state

enum class KeyKind : std::uint8_t { Press = 0, Repeat = 1, Release = 2 };

struct KeyEvent {
    KeyCode code;
    std::uint8_t modifiers = key_modifiers::NONE;
    KeyKind kind = KeyKind::Press;
    std::uint8_t state = key_state::NONE;
    friend constexpr bool operator==(const KeyEvent&, const KeyEvent&) = default;
};

// The number of the key's variant in the Python KeyCode enumeration (Char 0, Enter 1, Esc 2, ...).
std::uint8_t key_code_index(KeyTag tag) noexcept;
inline constexpr std::uint8_t kKeyCodeOther = 27;  // never produced by a terminal key

// Names as the key's text form shows them: "Enter", "PageUp", "F", "Char", "Media", ...
std::string_view key_tag_name(KeyTag tag) noexcept;
std::string_view media_key_name(MediaKey m) noexcept;
std::string_view modifier_key_name(ModifierKey m) noexcept;
// "Enter", "F(5)", "Char('a')", "Char('\\'')", "Media(PlayPause)", "Modifier(LeftShift)".
std::string key_code_text(const KeyCode& code);
// "press", "repeat", "release".
std::string_view key_kind_text(KeyKind kind) noexcept;
std::string_view key_kind_name(KeyKind kind) noexcept;  // "Press", "Repeat", "Release"

// ---- mouse ----

enum class MouseKind : std::uint8_t {
    Down = 0, Up, Drag, Moved, ScrollDown, ScrollUp, ScrollLeft, ScrollRight,
};
inline constexpr std::uint8_t kMouseKindCount = 8;
enum class MouseButton : std::uint8_t { Left = 0, Right, Middle, None };

struct MouseEvent {
    MouseKind kind = MouseKind::Moved;
    MouseButton button = MouseButton::None;  // Left, Right or Middle only for Down, Up and Drag
    std::uint16_t column = 0;
    std::uint16_t row = 0;
    std::uint8_t modifiers = key_modifiers::NONE;
    friend constexpr bool operator==(const MouseEvent&, const MouseEvent&) = default;
};

std::string_view mouse_kind_text(MouseKind kind) noexcept;         // "down", "scroll_up", ...
std::string_view mouse_kind_short_text(MouseKind kind) noexcept;   // "press", "release", "move", ...
std::string_view mouse_button_text(MouseButton button) noexcept;   // "left", ..., "none"

// ---- terminal events and the items of the input queue ----

enum class EventKind : std::uint8_t { FocusGained = 0, FocusLost, Key, Mouse, Paste, Resize };

// The text of a paste, held out of line so that every other event stays small (the decoder
// makes one event per typed key).
class PasteText {
public:
    PasteText() = default;
    explicit PasteText(std::string text) : text_(std::make_unique<std::string>(std::move(text))) {}
    PasteText(const PasteText& o) : text_(o.text_ ? std::make_unique<std::string>(*o.text_) : nullptr) {}
    PasteText(PasteText&&) noexcept = default;
    PasteText& operator=(const PasteText& o) {
        if (this != &o) text_ = o.text_ ? std::make_unique<std::string>(*o.text_) : nullptr;
        return *this;
    }
    PasteText& operator=(PasteText&&) noexcept = default;

    const std::string& str() const noexcept { return text_ ? *text_ : empty(); }
    std::size_t size() const noexcept { return text_ ? text_->size() : 0; }
    // The text, moved out; the holder is left empty.
    std::string take() { return text_ ? std::move(*text_) : std::string(); }
    friend bool operator==(const PasteText& a, const PasteText& b) { return a.str() == b.str(); }

private:
    static const std::string& empty() noexcept {
        static const std::string e;
        return e;
    }
    std::unique_ptr<std::string> text_;
};

struct TerminalEvent {
    EventKind kind = EventKind::FocusGained;
    KeyEvent key{};
    MouseEvent mouse{};
    std::uint16_t columns = 0, rows = 0;  // Resize only
    PasteText paste;                      // Paste only

    static TerminalEvent focus(bool gained) {
        TerminalEvent e;
        e.kind = gained ? EventKind::FocusGained : EventKind::FocusLost;
        return e;
    }
    static TerminalEvent of_key(const KeyEvent& k) {
        TerminalEvent e;
        e.kind = EventKind::Key;
        e.key = k;
        return e;
    }
    static TerminalEvent of_mouse(const MouseEvent& m) {
        TerminalEvent e;
        e.kind = EventKind::Mouse;
        e.mouse = m;
        return e;
    }
    static TerminalEvent of_paste(std::string text) {
        TerminalEvent e;
        e.kind = EventKind::Paste;
        e.paste = PasteText(std::move(text));
        return e;
    }
    static TerminalEvent resize(std::uint16_t columns, std::uint16_t rows) {
        TerminalEvent e;
        e.kind = EventKind::Resize;
        e.columns = columns;
        e.rows = rows;
        return e;
    }
    // Equal when the fields the kind carries are equal.
    friend bool operator==(const TerminalEvent& a, const TerminalEvent& b);
};

// Keyboard-enhancement flag bits a terminal reports.
namespace keyboard_flags {
inline constexpr std::uint8_t DISAMBIGUATE_ESCAPE_CODES = 1, REPORT_EVENT_TYPES = 2, REPORT_ALTERNATE_KEYS = 4,
                              REPORT_ALL_KEYS_AS_ESCAPE_CODES = 8;
}

// One decoded item: a user event, or a reply to a query (kept apart from the events).
struct InputItem {
    enum class Kind : std::uint8_t { Event, CursorReport, FlagsReport, DeviceAttributes };
    Kind kind = Kind::Event;
    std::uint8_t flags = 0;              // FlagsReport
    std::uint16_t column = 0, row = 0;   // CursorReport, 0-based
    TerminalEvent event;                 // Event

    bool is_event() const noexcept { return kind == Kind::Event; }
    friend bool operator==(const InputItem& a, const InputItem& b);
};

// ---- the record handed to Python ----

enum class RecordTag : std::uint8_t { Key = 0, Resize, Paste, Mouse, FocusGained, FocusLost, Tick };
inline constexpr std::uint8_t kRecordTagCount = 7;
std::string_view record_tag_text(RecordTag tag) noexcept;  // "key", "resize", ..., "tick"

struct KeyRecord {
    KeyCode code;
    std::uint8_t modifiers = 0;
    std::uint8_t state = 0;
    std::uint8_t code_index = 0;
    std::uint8_t kind = 0;  // KeyKind number

    KeyEvent event() const noexcept {
        return KeyEvent{code, modifiers, static_cast<KeyKind>(kind <= 2 ? kind : 0), state};
    }
    static KeyRecord of(const KeyEvent& k) noexcept {
        return KeyRecord{k.code, k.modifiers, k.state, key_code_index(k.code.tag), static_cast<std::uint8_t>(k.kind)};
    }
};

// One event as Python sees it: a terminal event or a tick. Fields a kind does not carry are
// absent; the mouse numbers are meaningful only when the mouse texts are present.
struct EventRecord {
    std::optional<std::uint64_t> tick;
    std::optional<std::string> paste;
    std::optional<std::string> mouse_kind;
    std::optional<std::string> mouse_button;
    std::uint16_t column = 0, row = 0;
    std::uint8_t button = 0;
    std::uint8_t mouse_kind_index = 0;
    std::uint8_t mouse_modifiers = 0;
    std::optional<std::uint16_t> width, height;
    std::optional<KeyRecord> key;
    RecordTag tag = RecordTag::Tick;

    static EventRecord of_tick(std::uint64_t elapsed_ms) {
        EventRecord r;
        r.tick = elapsed_ms;
        r.tag = RecordTag::Tick;
        return r;
    }
};

// The record of a terminal event; the paste text is moved into it.
EventRecord to_record(TerminalEvent&& event);

}  // namespace tarvo::core::terminal
