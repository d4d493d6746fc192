// The editor behind the Python text-editor class: the editing engine plus what an input field
// adds around it — its construction from a text, the single-line mode, the keys it keeps for
// focus navigation, and text insertion (paste).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/editor/text_area.hpp"
#include "core/terminal/event.hpp"

namespace tarvo::core::editor {

// The lines of a text: split at each "\n" and each "\r\n"; a final line break starts no further
// line; an empty text is one empty line.
std::vector<Line> split_lines(std::string_view utf8);

class TextEditor {
public:
    explicit TextEditor(std::string_view text = "", bool single_line = false);

    // True exactly when the key changed the text. Key releases, Tab, BackTab, Esc and (single-line)
    // Enter are left alone: they belong to focus navigation and the application.
    bool input(const terminal::KeyEvent& key);
    // The paste path: in single-line mode every "\r" and "\n" becomes a space.
    void insert_text(std::string_view text);
    // Replaces the whole content (the old one goes to the yank buffer, as one undoable cut).
    void set_text(std::string_view text);
    void set_placeholder_text(std::string text) { placeholder_ = std::move(text); }
    bool undo() { return area_.undo(); }
    bool redo() { return area_.redo(); }

    std::string text() const;
    std::vector<std::string> lines() const;
    Pos cursor() const noexcept { return area_.cursor(); }
    std::size_t line_count() const noexcept { return area_.lines().size(); }
    bool single_line() const noexcept { return single_line_; }
    const std::string& placeholder_text() const noexcept { return placeholder_; }
    const TextArea& area() const noexcept { return area_; }
    // "CoreTextEditor(lines=2, cursor=(1, 2))".
    std::string repr() const;

private:
    TextArea area_;
    bool single_line_;
    std::string placeholder_;
};

}  // namespace tarvo::core::editor
