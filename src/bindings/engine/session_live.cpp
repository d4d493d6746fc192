// The live side of CoreSession: `init` claims the terminal (full screen or an inline band), and
// the terminal-mode methods switch modes through the session and keep its record of them.

#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "bindings/engine/session.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_enums.hpp"
#include "core/terminal/commands.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/terminal_target.hpp"

namespace tarvo::bindings {

namespace {

namespace ce = core::engine;
namespace live = core::terminal;
namespace term = core::term;
using Clock = ce::Session::Clock;

// A tick rate in milliseconds as a clock duration; rates beyond the clock's range saturate.
Clock::duration tick_rate(std::uint64_t ms) {
    using std::chrono::milliseconds;
    const auto max_ms = std::chrono::duration_cast<milliseconds>(Clock::duration::max()).count();
    if (ms >= static_cast<std::uint64_t>(max_ms)) return Clock::duration::max();
    return std::chrono::duration_cast<Clock::duration>(milliseconds(static_cast<std::int64_t>(ms)));
}

bool has_terminal(const PySession& s) { return s.session.target() && s.session.target()->is_live(); }

ce::SessionModes& modes(PySession& s) { return s.session.modes(); }

// Writes a command and flushes; the flag is changed by the caller only after this returned.
void send(std::string_view bytes) { term::stdout_stream().send(bytes); }

PyObject* init(Args& a) {
    const auto tick_ms = a.has(0) ? a.get<std::optional<std::uint64_t>>(0) : std::nullopt;
    const auto inline_rows = a.has(1) ? a.get<std::optional<std::uint16_t>>(1) : std::nullopt;
    auto screen = live::LiveScreen::open(inline_rows);
    auto target = std::make_unique<live::LiveTarget>(screen);
    live::LiveTarget* watcher = target.get();
    ce::Session session(std::move(target), tick_rate(tick_ms.value_or(0)));
    ce::SessionModes& m = session.modes();
    m.raw_mode = true;
    m.alternate_screen = !inline_rows;
    m.cursor_visible = true;
    PyObject* obj = make<CoreSessionClass>(PySession{std::move(session), inline_rows});
    // The record has its final place now: the target reads the synchronized-update flag there.
    watcher->watch_modes(&instance<CoreSessionClass>(obj)->value.session.modes());
    return obj;
}

PyObject* cursor_style_object(std::uint8_t style) { return enum_variant<CursorStyleClass>(style); }

const bool registered = [] {
    add_session_method(method_def<CoreSessionClass>("init", "(*, tick_rate_ms=None, inline_height=None)",
                                                    [](Args& a) { return init(a); }, METH_STATIC));
    // ---- modes that write whatever the session holds ----
    add_session_method(method_def<CoreSessionClass>("enable_raw_mode", "($self)", [](PySession& s) {
        term::enable_raw_mode();
        modes(s).raw_mode = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("disable_raw_mode", "($self)", [](PySession& s) {
        term::disable_raw_mode();
        modes(s).raw_mode = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("enable_mouse_capture", "($self)", [](PySession& s) {
        send(term::seq::kEnableMouseCapture);
        modes(s).mouse_capture = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("disable_mouse_capture", "($self)", [](PySession& s) {
        send(term::seq::kDisableMouseCapture);
        modes(s).mouse_capture = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("enable_bracketed_paste", "($self)", [](PySession& s) {
        send(term::seq::kEnableBracketedPaste);
        modes(s).bracketed_paste = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("disable_bracketed_paste", "($self)", [](PySession& s) {
        send(term::seq::kDisableBracketedPaste);
        modes(s).bracketed_paste = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("enable_focus_change", "($self)", [](PySession& s) {
        send(term::seq::kEnableFocusChange);
        modes(s).focus_change = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("disable_focus_change", "($self)", [](PySession& s) {
        send(term::seq::kDisableFocusChange);
        modes(s).focus_change = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("enter_alternate_screen", "($self)", [](PySession& s) {
        send(term::seq::kEnterAlternateScreen);
        modes(s).alternate_screen = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("leave_alternate_screen", "($self)", [](PySession& s) {
        send(term::seq::kLeaveAlternateScreen);
        modes(s).alternate_screen = false;
        return none();
    }));
    add_session_method(
        method_def<CoreSessionClass>("push_keyboard_enhancement_flags", "($self, flags)", [](PySession&, Args& a) {
            send(term::push_keyboard_flags(a.value<KeyboardEnhancementFlagsClass>(0)));
            return none();
        }));
    add_session_method(method_def<CoreSessionClass>("pop_keyboard_enhancement_flags", "($self)", [](PySession&) {
        send(term::seq::kPopKeyboardFlags);
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("show_cursor", "($self)", [](PySession& s) {
        send(term::seq::kShowCursor);
        modes(s).cursor_visible = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("hide_cursor", "($self)", [](PySession& s) {
        send(term::seq::kHideCursor);
        modes(s).cursor_visible = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("set_cursor_style", "($self, style)", [](PySession& s, Args& a) {
        const std::uint8_t style = a.value<CursorStyleClass>(0);
        send(term::cursor_style(static_cast<term::CursorStyle>(style)));
        modes(s).cursor_style = style;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("move_cursor_to", "($self, x, y)", [](PySession&, Args& a) {
        const auto x = a.get<std::uint16_t>(0);
        const auto y = a.get<std::uint16_t>(1);
        send(term::move_to(x, y));
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("save_cursor_position", "($self)", [](PySession&) {
        send(term::seq::kSaveCursorPosition);
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("restore_cursor_position", "($self)", [](PySession&) {
        send(term::seq::kRestoreCursorPosition);
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("clear", "($self, clear_type)", [](PySession&, Args& a) {
        send(term::clear(static_cast<term::ClearType>(a.value<ClearTypeClass>(0))));
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("set_title", "($self, title)", [](PySession& s, Args& a) {
        std::string title = a.get<std::string>(0);
        term::stdout_stream().send({term::seq::kTitlePrefix, title, term::seq::kTitleSuffix});
        modes(s).title = std::move(title);
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("scroll_up", "($self, count)", [](PySession&, Args& a) {
        send(term::scroll_up(a.get<std::uint16_t>(0)));
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("scroll_down", "($self, count)", [](PySession&, Args& a) {
        send(term::scroll_down(a.get<std::uint16_t>(0)));
        return none();
    }));
    // ---- modes that write only on a live terminal ----
    add_session_method(method_def<CoreSessionClass>("begin_synchronized_update", "($self)", [](PySession& s) {
        if (!modes(s).synchronized_update && has_terminal(s)) send(term::seq::kBeginSynchronizedUpdate);
        modes(s).synchronized_update = true;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("end_synchronized_update", "($self)", [](PySession& s) {
        if (modes(s).synchronized_update && has_terminal(s)) send(term::seq::kEndSynchronizedUpdate);
        modes(s).synchronized_update = false;
        return none();
    }));
    add_session_method(method_def<CoreSessionClass>("teardown_device_state", "($self)", [](PySession& s) {
        if (has_terminal(s)) term::reset_terminal_modes();
        modes(s).reset_device_state();
        return none();
    }));
    // ---- readers ----
    add_session_method(method_def<CoreSessionClass>("is_raw_mode_enabled", "($self)",
                                                    [](const PySession& s) { return to_py(s.session.modes().raw_mode); }));
    add_session_method(method_def<CoreSessionClass>(
        "is_mouse_capture_enabled", "($self)", [](const PySession& s) { return to_py(s.session.modes().mouse_capture); }));
    add_session_method(method_def<CoreSessionClass>(
        "is_bracketed_paste_enabled", "($self)", [](const PySession& s) { return to_py(s.session.modes().bracketed_paste); }));
    add_session_method(method_def<CoreSessionClass>(
        "is_focus_change_enabled", "($self)", [](const PySession& s) { return to_py(s.session.modes().focus_change); }));
    add_session_method(method_def<CoreSessionClass>("is_alternate_screen_enabled", "($self)", [](const PySession& s) {
        return to_py(s.session.modes().alternate_screen);
    }));
    add_session_method(method_def<CoreSessionClass>(
        "is_cursor_visible", "($self)", [](const PySession& s) { return to_py(s.session.modes().cursor_visible); }));
    add_session_method(method_def<CoreSessionClass>(
        "get_cursor_style", "($self)", [](const PySession& s) { return cursor_style_object(s.session.modes().cursor_style); }));
    add_session_method(method_def<CoreSessionClass>("get_title", "($self)", [](const PySession& s) {
        const auto& t = s.session.modes().title;
        return t ? to_py(*t) : none();
    }));
    add_session_method(method_def<CoreSessionClass>("get_cursor_position", "($self)", [](const PySession&) {
        return make<PositionClass>(live::stdout_terminal_io().cursor_position());
    }));
    return true;
}();

}  // namespace

}  // namespace tarvo::bindings
