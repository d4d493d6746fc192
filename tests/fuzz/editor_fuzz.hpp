// One fuzz case of the text editor, fed the way a terminal feeds it: the first byte picks the
// single-line mode, whether the editor starts with a text, and whether a "\x1f" byte of the input
// stands for undo and "\x1e" for redo; the rest is terminal input, decoded into keys and pastes
// that go to the editor. After every step the cursor, the selection anchor and the history stay
// in range, no line holds a line break, and a key reports a change exactly when the text changed;
// at the end, from the newest edit, undoing everything and redoing it again gives the same text. Used by the libFuzzer
// target and by the C++ tests, which replay the corpus and mutations of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/editor/text_editor.hpp"
#include "core/terminal/decoder.hpp"

namespace tarvo_fuzz {

inline bool editor_state_ok(const tarvo::core::editor::TextEditor& e) {
    using tarvo::core::editor::Line;
    using tarvo::core::editor::TextArea;
    const TextArea& a = e.area();
    if (a.lines().empty()) return false;
    if (a.cursor().row >= a.lines().size() || a.cursor().col > a.lines()[a.cursor().row].size()) return false;
    if (const auto anchor = a.anchor())
        if (anchor->row >= a.lines().size() || anchor->col > a.lines()[anchor->row].size()) return false;
    if (a.history_size() > TextArea::kHistoryCapacity || a.history_index() > a.history_size()) return false;
    for (const Line& l : a.lines())
        if (l.find(U'\n') != Line::npos) return false;
    return true;
}

inline constexpr std::size_t kMaxText = 8192;

inline std::size_t text_size(const tarvo::core::editor::TextEditor& e) {
    std::size_t n = 0;
    for (const auto& l : e.area().lines()) n += l.size() + 1;
    return n;
}

inline bool edit_case(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo::core;
    if (size == 0) return true;
    const std::uint8_t head = data[0];
    const bool single_line = head & 1;
    const bool start_with_text = head & 2;
    const bool history_bytes = head & 4;
    editor::TextEditor e(start_with_text ? "first line\n\tsecond, wörds 日本\n" : "", single_line);

    // Undo and redo bytes are taken out of the input before it is decoded.
    std::vector<std::string> chunks(1);
    std::vector<std::uint8_t> ops;
    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (history_bytes && (b == 0x1f || b == 0x1e)) {
            ops.push_back(b);
            chunks.emplace_back();
        } else {
            chunks.back().push_back(static_cast<char>(b));
        }
    }
    terminal::Decoder decoder;
    std::vector<terminal::InputItem> items;
    for (std::size_t c = 0; c < chunks.size(); ++c) {
        items.clear();
        decoder.feed(chunks[c], false, true, items);
        for (const terminal::InputItem& item : items) {
            if (!item.is_event()) continue;
            const std::string before = e.text();
            if (item.event.kind == terminal::EventKind::Key) {
                const bool changed = e.input(item.event.key);
                if (changed != (e.text() != before)) return false;
            } else if (item.event.kind == terminal::EventKind::Paste) {
                e.insert_text(item.event.paste.str());
                if (single_line && e.text().find('\n') != std::string::npos &&
                    before.find('\n') == std::string::npos)
                    return false;
            }
            if (!editor_state_ok(e)) return false;
            // Yanking again and again doubles the text: such a case ends at a bounded size.
            if (text_size(e) > kMaxText) return true;
        }
        if (c < ops.size()) {
            if (ops[c] == 0x1f) e.undo();
            else e.redo();
            if (!editor_state_ok(e)) return false;
        }
    }
    while (e.redo()) {
    }
    const std::string end = e.text();
    while (e.undo()) {
    }
    if (!editor_state_ok(e)) return false;
    while (e.redo()) {
    }
    return editor_state_ok(e) && e.text() == end;
}

}  // namespace tarvo_fuzz
