// The module-level terminal functions: cursor, modes, input modes, scrolling, clearing, title,
// console colours and attributes, raw mode, sizes and restore. Each converts every argument
// first, then writes its whole sequence to standard output and flushes (core/terminal).

#include <optional>
#include <string_view>

#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_enums.hpp"
#include "core/terminal/commands.hpp"
#include "core/terminal/output.hpp"
#include "core/terminal/raw_mode.hpp"
#include "core/terminal/restore.hpp"
#include "core/terminal/size.hpp"

namespace tarvo::bindings {

namespace {

namespace term = core::term;

// Write then flush; an I/O failure (core::IoError) is raised as OSError by the call guard.
PyObject* send(std::string_view bytes) {
    term::stdout_stream().send(bytes);
    return none();
}

PyObject* send(std::initializer_list<std::string_view> pieces) {
    term::stdout_stream().send(pieces);
    return none();
}

std::uint16_t count_arg(Args& a) { return a.get_or<std::uint16_t>(0, 1); }

// The (r, g, b) of an `rgb` argument: a tuple of exactly three ints in 0..255, or None.
std::optional<term::Rgb> rgb_arg(Args& a, std::size_t i) {
    if (!a.present(i)) return std::nullopt;
    return with_note(a.name(i), [&] {
        auto items = tuple_items_exact(a[i], 3);
        return term::Rgb{Convert<std::uint8_t>::from(items[0]), Convert<std::uint8_t>::from(items[1]),
                         Convert<std::uint8_t>::from(items[2])};
    });
}

std::optional<std::uint8_t> ansi_arg(Args& a, std::size_t i) {
    return a.has(i) ? a.get<std::optional<std::uint8_t>>(i) : std::nullopt;
}

// The terminal colour of a console colour and its extras (all already converted).
term::TermColor resolve_color(std::uint8_t color, std::optional<std::uint8_t> ansi, std::optional<term::Rgb> rgb) {
    const auto c = static_cast<term::ConsoleColor>(color);
    auto resolved = term::console_color_to_color(c, ansi, rgb);
    if (!resolved) {
        raise(PyExc_ValueError, c == term::ConsoleColor::AnsiValue ? "ansi_value is required for ConsoleColor.AnsiValue"
                                                                   : "rgb values are required for ConsoleColor.Rgb");
    }
    return *resolved;
}

// set_foreground_color / set_background_color: (color, *, ansi_value=None, rgb=None).
term::TermColor color_args(Args& a) {
    const std::uint8_t color = a.value<ConsoleColorClass>(0);
    const auto ansi = ansi_arg(a, 1);
    const auto rgb = rgb_arg(a, 2);
    return resolve_color(color, ansi, rgb);
}

PyObject* size_object(term::CellSize s) { return make<SizeClass>(core::Size{s.columns, s.rows}); }

}  // namespace

// ---- cursor ----
TARVO_FUNCTION(show_cursor, "()", [](Args&) { return send(term::seq::kShowCursor); });
TARVO_FUNCTION(hide_cursor, "()", [](Args&) { return send(term::seq::kHideCursor); });
TARVO_FUNCTION(save_cursor_position, "()", [](Args&) { return send(term::seq::kSaveCursorPosition); });
TARVO_FUNCTION(restore_cursor_position, "()", [](Args&) { return send(term::seq::kRestoreCursorPosition); });
TARVO_FUNCTION(move_cursor_to, "(x, y)", [](Args& a) {
    const auto x = a.get<std::uint16_t>(0);
    const auto y = a.get<std::uint16_t>(1);
    return send(term::move_to(x, y));
});
TARVO_FUNCTION(move_cursor_to_column, "(x)",
               [](Args& a) { return send(term::move_to_column(a.get<std::uint16_t>(0))); });
TARVO_FUNCTION(move_cursor_to_row, "(y)", [](Args& a) { return send(term::move_to_row(a.get<std::uint16_t>(0))); });
TARVO_FUNCTION(move_cursor_up, "(count=1)", [](Args& a) { return send(term::move_up(count_arg(a))); });
TARVO_FUNCTION(move_cursor_down, "(count=1)", [](Args& a) { return send(term::move_down(count_arg(a))); });
TARVO_FUNCTION(move_cursor_left, "(count=1)", [](Args& a) { return send(term::move_left(count_arg(a))); });
TARVO_FUNCTION(move_cursor_right, "(count=1)", [](Args& a) { return send(term::move_right(count_arg(a))); });
TARVO_FUNCTION(move_cursor_to_next_line, "(count=1)",
               [](Args& a) { return send(term::move_to_next_line(count_arg(a))); });
TARVO_FUNCTION(move_cursor_to_previous_line, "(count=1)",
               [](Args& a) { return send(term::move_to_previous_line(count_arg(a))); });
TARVO_FUNCTION(enable_cursor_blinking, "()", [](Args&) { return send(term::seq::kEnableCursorBlinking); });
TARVO_FUNCTION(disable_cursor_blinking, "()", [](Args&) { return send(term::seq::kDisableCursorBlinking); });
TARVO_FUNCTION(set_cursor_style, "(style)", [](Args& a) {
    return send(term::cursor_style(static_cast<term::CursorStyle>(a.value<CursorStyleClass>(0))));
});

// ---- terminal modes ----
TARVO_FUNCTION(enable_raw_mode, "()", [](Args&) {
    term::enable_raw_mode();
    return none();
});
TARVO_FUNCTION(disable_raw_mode, "()", [](Args&) {
    term::disable_raw_mode();
    return none();
});
TARVO_FUNCTION(is_raw_mode_enabled, "()", [](Args&) { return to_py(term::is_raw_mode_enabled()); });
TARVO_FUNCTION(terminal_size, "()", [](Args&) { return size_object(term::terminal_size()); });
TARVO_FUNCTION(terminal_window_size, "()", [](Args&) {
    const term::WindowSize ws = term::window_size();
    return size_object({ws.columns, ws.rows});
});
TARVO_FUNCTION(scroll_up, "(count=1)", [](Args& a) { return send(term::scroll_up(count_arg(a))); });
TARVO_FUNCTION(scroll_down, "(count=1)", [](Args& a) { return send(term::scroll_down(count_arg(a))); });
TARVO_FUNCTION(clear_terminal, "(clear_type)", [](Args& a) {
    return send(term::clear(static_cast<term::ClearType>(a.value<ClearTypeClass>(0))));
});
TARVO_FUNCTION(enter_alternate_screen, "()", [](Args&) { return send(term::seq::kEnterAlternateScreen); });
TARVO_FUNCTION(leave_alternate_screen, "()", [](Args&) { return send(term::seq::kLeaveAlternateScreen); });
TARVO_FUNCTION(set_terminal_title, "(title)", [](Args& a) {
    const std::string_view title = with_note(a.name(0), [&] { return to_utf8_view(a[0]); });
    return send({term::seq::kTitlePrefix, title, term::seq::kTitleSuffix});
});
TARVO_FUNCTION(enable_line_wrap, "()", [](Args&) { return send(term::seq::kEnableLineWrap); });
TARVO_FUNCTION(disable_line_wrap, "()", [](Args&) { return send(term::seq::kDisableLineWrap); });
TARVO_FUNCTION(begin_synchronized_update, "()", [](Args&) { return send(term::seq::kBeginSynchronizedUpdate); });
TARVO_FUNCTION(end_synchronized_update, "()", [](Args&) { return send(term::seq::kEndSynchronizedUpdate); });

// ---- input modes ----
TARVO_FUNCTION(enable_mouse_capture, "()", [](Args&) { return send(term::seq::kEnableMouseCapture); });
TARVO_FUNCTION(disable_mouse_capture, "()", [](Args&) { return send(term::seq::kDisableMouseCapture); });
TARVO_FUNCTION(enable_bracketed_paste, "()", [](Args&) { return send(term::seq::kEnableBracketedPaste); });
TARVO_FUNCTION(disable_bracketed_paste, "()", [](Args&) { return send(term::seq::kDisableBracketedPaste); });
TARVO_FUNCTION(enable_focus_change, "()", [](Args&) { return send(term::seq::kEnableFocusChange); });
TARVO_FUNCTION(disable_focus_change, "()", [](Args&) { return send(term::seq::kDisableFocusChange); });
TARVO_FUNCTION(push_keyboard_enhancement_flags, "(flags)", [](Args& a) {
    return send(term::push_keyboard_flags(a.value<KeyboardEnhancementFlagsClass>(0)));
});
TARVO_FUNCTION(pop_keyboard_enhancement_flags, "()", [](Args&) { return send(term::seq::kPopKeyboardFlags); });

// ---- console ----
TARVO_FUNCTION(set_foreground_color, "(color, *, ansi_value=None, rgb=None)",
               [](Args& a) { return send(term::foreground(color_args(a))); });
TARVO_FUNCTION(set_background_color, "(color, *, ansi_value=None, rgb=None)",
               [](Args& a) { return send(term::background(color_args(a))); });
TARVO_FUNCTION(reset_color, "()", [](Args&) { return send(term::seq::kResetColor); });
TARVO_FUNCTION(set_attribute, "(attribute)", [](Args& a) {
    return send(term::attribute(static_cast<term::ConsoleAttribute>(a.value<ConsoleAttributeClass>(0))));
});
TARVO_FUNCTION(print_styled_content,
               "(text, *, foreground=None, background=None, attribute=None, foreground_ansi=None, "
               "background_ansi=None, foreground_rgb=None, background_rgb=None)",
               [](Args& a) {
                   const std::string_view text = with_note(a.name(0), [&] { return to_utf8_view(a[0]); });
                   const auto fg = a.optional_value<ConsoleColorClass>(1);
                   const auto bg = a.optional_value<ConsoleColorClass>(2);
                   const auto attr = a.optional_value<ConsoleAttributeClass>(3);
                   const auto fg_ansi = ansi_arg(a, 4);
                   const auto bg_ansi = ansi_arg(a, 5);
                   const auto fg_rgb = rgb_arg(a, 6);
                   const auto bg_rgb = rgb_arg(a, 7);
                   std::optional<term::TermColor> fg_color, bg_color;
                   if (fg) fg_color = resolve_color(*fg, fg_ansi, fg_rgb);
                   if (bg) bg_color = resolve_color(*bg, bg_ansi, bg_rgb);
                   std::optional<term::ConsoleAttribute> attribute;
                   if (attr) attribute = static_cast<term::ConsoleAttribute>(*attr);
                   const term::Seq prefix = term::styled_prefix(fg_color, bg_color, attribute);
                   const term::Seq suffix = term::styled_suffix(fg.has_value(), bg.has_value(), attr.has_value());
                   return send({prefix.view(), text, suffix.view()});
               });
TARVO_FUNCTION(print_text, "(text)", [](Args& a) {
    const std::string_view text = with_note(a.name(0), [&] { return to_utf8_view(a[0]); });
    return send(text);
});
TARVO_FUNCTION(flush_stdout_buffer, "()", [](Args&) {
    term::stdout_stream().flush();
    return none();
});

// ---- restore ----
TARVO_FUNCTION(restore_terminal, "()", [](Args&) {
    term::restore_terminal();
    return none();
});

}  // namespace tarvo::bindings
