// The text-editing engine of input fields and text areas: lines of text, a cursor counted in code
// points, a selection, a yank buffer and an undo history, driven by key events the way the
// common terminal text-area widgets drive theirs (Emacs-like keys; Shift selects).
//
// Units: a column is one Unicode code point (not a grapheme, not a display cell). Lines never
// hold "\n"; any other code point is an ordinary character. Invariants after every operation:
// at least one line, row < line count, column <= length of that line.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/terminal/event.hpp"

namespace tarvo::core::editor {

using Line = std::u32string;

struct Pos {
    std::size_t row = 0;
    std::size_t col = 0;
    friend constexpr auto operator<=>(const Pos&, const Pos&) = default;
};

enum class Move {
    Forward, Back, Up, Down, Head, End, Top, Bottom, WordForward, WordBack, ParagraphForward, ParagraphBack,
};

// One step of the undo history: `pieces` (one piece: text within a line; k pieces: k-1 line
// breaks between them) inserted at, or removed from, `at`; the cursor goes to `before` on undo and
// to `after` on redo.
struct Edit {
    bool insert = true;
    std::vector<Line> pieces;
    Pos at, before, after;
};

class TextArea {
public:
    static constexpr std::size_t kHistoryCapacity = 50;

    TextArea() : TextArea(std::vector<Line>{}) {}
    explicit TextArea(std::vector<Line> lines);

    const std::vector<Line>& lines() const noexcept { return lines_; }
    Pos cursor() const noexcept { return cursor_; }
    std::optional<Pos> anchor() const noexcept { return anchor_; }
    // The yank buffer: one piece, or several pieces that are lines joined by "\n".
    const std::vector<Line>& yank() const noexcept { return yank_; }
    std::size_t history_size() const noexcept { return history_.size(); }
    std::size_t history_index() const noexcept { return index_; }
    // Counts every change of the text; equal before and after means the text did not change.
    std::uint64_t version() const noexcept { return version_; }
    // Marks the text; unchanged_since_mark() then tells whether it is still the same, as far as
    // the edits since the mark show (a selection replaced by the same text counts as no change),
    // and ends the mark.
    void mark_unchanged() noexcept {
        marked_version_ = version_;
        since_mark_.clear();
        marking_ = true;
    }
    bool unchanged_since_mark();

    // The default key handling; true when the operation reports a change.
    bool input(const terminal::KeyEvent& key);

    // Operations (each returns the engine's report).
    bool insert_char(char32_t c);
    bool insert_newline();
    bool insert_str(std::u32string_view s);
    bool delete_char();           // Backspace
    bool delete_next_char();      // Delete
    bool delete_line_by_end();    // Ctrl+K
    bool delete_line_by_head();   // Ctrl+J
    bool delete_word();           // word before the cursor
    bool delete_next_word();      // word after the cursor
    void move_cursor(Move m, bool shift);
    void scroll_page(bool shift);  // page keys without a viewport: to (0, 0)
    void select_all();  // the whole text, every line and column
    void copy();
    bool cut();
    bool paste();
    bool undo();
    bool redo();
    // Puts the cursor at `p` (clamped into the text), dropping the selection; nothing recorded.
    void set_cursor(Pos p);

private:
    std::optional<Pos> target(Move m) const;
    void apply_move(std::optional<Pos> to, bool shift);
    std::optional<std::pair<Pos, Pos>> take_selection();
    bool delete_selection(bool yank);
    Pos insert_at(Pos at, const std::vector<Line>& pieces);
    std::vector<Line> remove_range(Pos start, Pos end);
    void push(Edit e);
    // Removes [from, to) of the cursor line as one edit with the given `before`; yanks it.
    void remove_in_line(std::size_t from, std::size_t to, Pos before, bool yank);

    std::vector<Line> lines_;
    Pos cursor_;
    std::optional<Pos> anchor_;
    std::vector<Line> yank_{Line{}};
    std::vector<Edit> history_;
    std::size_t index_ = 0;
    std::uint64_t version_ = 0;
    std::uint64_t marked_version_ = 0;
    std::vector<Edit> since_mark_;  // the first two edits since the mark
    bool marking_ = false;
};

// Word classes and scans (exposed for tests).
enum class CharClass { Space, Punct, Other };
CharClass char_class(char32_t c) noexcept;
bool is_white_space(char32_t c) noexcept;
std::optional<std::size_t> word_start_forward(const Line& line, std::size_t c);
std::optional<std::size_t> word_start_backward(const Line& line, std::size_t c);
std::optional<std::size_t> word_end_forward(const Line& line, std::size_t c);

// UTF-8 <-> code points. Invalid UTF-8 bytes decode to U+FFFD.
std::u32string to_u32(std::string_view utf8);
std::string to_utf8(std::u32string_view s);
void append_utf8(std::string& out, char32_t c);

}  // namespace tarvo::core::editor
