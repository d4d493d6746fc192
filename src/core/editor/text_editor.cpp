#include "core/editor/text_editor.hpp"

namespace tarvo::core::editor {

std::vector<Line> split_lines(std::string_view utf8) {
    std::vector<Line> out;
    std::size_t from = 0;
    while (from < utf8.size()) {
        const std::size_t nl = utf8.find('\n', from);
        if (nl == std::string_view::npos) {
            out.push_back(to_u32(utf8.substr(from)));
            break;
        }
        std::size_t end = nl;
        if (end > from && utf8[end - 1] == '\r') --end;
        out.push_back(to_u32(utf8.substr(from, end - from)));
        from = nl + 1;
    }
    if (out.empty()) out.emplace_back();
    return out;
}

TextEditor::TextEditor(std::string_view text, bool single_line)
    : area_(split_lines(text)), single_line_(single_line) {
    const std::size_t last = area_.lines().size() - 1;
    area_.set_cursor(Pos{last, area_.lines()[last].size()});
}

bool TextEditor::input(const terminal::KeyEvent& key) {
    using terminal::KeyTag;
    if (key.kind == terminal::KeyKind::Release) return false;
    const KeyTag tag = key.code.tag;
    if (tag == KeyTag::Tab || tag == KeyTag::BackTab || tag == KeyTag::Esc) return false;
    if (single_line_ && tag == KeyTag::Enter) return false;
    if (tag == KeyTag::Char) {  // only Unicode scalar values ever enter the text
        const char32_t c = key.code.ch();
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    }
    area_.mark_unchanged();
    area_.input(key);
    return !area_.unchanged_since_mark();
}

void TextEditor::insert_text(std::string_view text) {
    std::u32string s = to_u32(text);
    if (single_line_)
        for (char32_t& c : s)
            if (c == U'\r' || c == U'\n') c = U' ';
    area_.insert_str(s);
}

void TextEditor::set_text(std::string_view text) {
    area_.select_all();
    area_.cut();
    insert_text(text);
}

std::string TextEditor::text() const {
    std::string out;
    bool first = true;
    for (const Line& l : area_.lines()) {
        if (!first) out.push_back('\n');
        first = false;
        for (char32_t c : l) append_utf8(out, c);
    }
    return out;
}

std::vector<std::string> TextEditor::lines() const {
    std::vector<std::string> out;
    out.reserve(area_.lines().size());
    for (const Line& l : area_.lines()) out.push_back(to_utf8(l));
    return out;
}

std::string TextEditor::repr() const {
    const Pos c = area_.cursor();
    return "CoreTextEditor(lines=" + std::to_string(area_.lines().size()) + ", cursor=(" + std::to_string(c.row) +
           ", " + std::to_string(c.col) + "))";
}

}  // namespace tarvo::core::editor
