// The Python classes of terminal input: KeyEvent and MouseEvent with their enumerations and
// flag sets, and the engine's CoreEvent, CoreTickEvent and CoreTerminalEventKind.
//
// For other bindings:
//   make_core_event(std::move(record))   a new CoreEvent holding an event record (tick or terminal)
//   key_event_of(obj)                    the core key event inside a Python KeyEvent (wrong-class
//                                        TypeError for anything else); is_key_event(obj) tests
//   make_key_event(key_record)           a new Python KeyEvent
//   poll_terminal_event(timeout_ms)      one wait on the terminal for a user event, the
//                                        interpreter lock released, signals checked after it
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/flags.hpp"
#include "core/terminal/event.hpp"

namespace tarvo::bindings {

// ---- enumerations ----

struct KeyCodeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "KeyCode";
    static constexpr std::array<const char*, 28> variants{
        "Char",   "Enter",    "Esc",    "Backspace", "Tab",        "BackTab",    "Up",      "Down",
        "Left",   "Right",    "Home",   "End",       "PageUp",     "PageDown",   "Insert",  "Delete",
        "F",      "Null",     "CapsLock", "ScrollLock", "NumLock", "PrintScreen", "Pause", "Menu",
        "KeypadBegin", "Media", "Modifier", "Other"};
    static PyTypeObject* create() { return create_enum<KeyCodeClass>(); }
};

struct KeyEventKindClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "KeyEventKind";
    static constexpr std::array<const char*, 3> variants{"Press", "Repeat", "Release"};
    static PyTypeObject* create() { return create_enum<KeyEventKindClass>(); }
};

struct MouseEventKindClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "MouseEventKind";
    static constexpr std::array<const char*, 8> variants{"Down",       "Up",       "Drag",       "Moved",
                                                         "ScrollDown", "ScrollUp", "ScrollLeft", "ScrollRight"};
    static PyTypeObject* create() { return create_enum<MouseEventKindClass>(); }
};

struct MouseButtonClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "MouseButton";
    static constexpr std::array<const char*, 4> variants{"Left", "Right", "Middle", "NoButton"};
    static PyTypeObject* create() { return create_enum<MouseButtonClass>(); }
};

struct CoreTerminalEventKindClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "CoreTerminalEventKind";
    static constexpr const char* module = kEngineModule;
    static constexpr std::array<const char*, 7> variants{"Key",         "Resize",    "Paste", "Mouse",
                                                         "FocusGained", "FocusLost", "Tick"};
    static PyTypeObject* create() { return create_enum<CoreTerminalEventKindClass>(); }
};

// ---- flag sets ----

struct KeyModifiersClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "KeyModifiers";
    static constexpr std::array<Flag<std::uint8_t>, 7> flags{
        {{"NONE", 0}, {"SHIFT", 1}, {"CONTROL", 2}, {"ALT", 4}, {"SUPER", 8}, {"HYPER", 16}, {"META", 32}}};
    static PyTypeObject* create();
};

struct KeyEventStateClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "KeyEventState";
    static constexpr std::array<Flag<std::uint8_t>, 4> flags{{{"NONE", 0}, {"KEYPAD", 1}, {"CAPS_LOCK", 2}, {"NUM_LOCK", 4}}};
    static PyTypeObject* create();
};

// ---- events ----

struct KeyEventClass {
    using Value = core::terminal::KeyRecord;
    static constexpr const char* name = "KeyEvent";
    static PyTypeObject* create();
};

// What a Python MouseEvent holds: the two texts and the numbers of the event record.
struct MouseEventValue {
    std::string kind;
    std::string button;
    std::uint16_t column = 0;
    std::uint16_t row = 0;
    std::uint8_t button_index = 3;
    std::uint8_t kind_index = 3;
    std::uint8_t modifiers = 0;
};

struct MouseEventClass {
    using Value = MouseEventValue;
    static constexpr const char* name = "MouseEvent";
    static PyTypeObject* create();
};

struct CoreTickEventClass {
    using Value = std::uint64_t;
    static constexpr const char* name = "CoreTickEvent";
    static constexpr const char* module = kEngineModule;
    static PyTypeObject* create();
};

struct CoreEventClass {
    using Value = core::terminal::EventRecord;
    static constexpr const char* name = "CoreEvent";
    static constexpr const char* module = kEngineModule;
    static PyTypeObject* create();
};

// ---- helpers for other bindings ----

PyObject* make_core_event(core::terminal::EventRecord&& record);
PyObject* make_key_event(const core::terminal::KeyRecord& key);
bool is_key_event(PyObject* obj);
core::terminal::KeyEvent key_event_of(PyObject* obj);

// The outcome of one wait: a record, or nothing within the time. A Python exception (signal
// handler, terminal I/O error) is thrown as PyError. Call with the interpreter lock held.
std::optional<core::terminal::EventRecord> poll_terminal_event(std::uint64_t timeout_ms);

}  // namespace tarvo::bindings
