#include "core/editor/text_area.hpp"

#include <algorithm>
#include <iterator>

#include "core/unicode.hpp"

namespace tarvo::core::editor {

// ---- text conversion ----

std::u32string to_u32(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const unicode::Decoded d = unicode::decode(utf8, i);
        out.push_back(d.cp);
        i += d.len;
    }
    return out;
}

void append_utf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string to_utf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) append_utf8(out, c);
    return out;
}

// ---- word classes ----

bool is_white_space(char32_t c) noexcept {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

CharClass char_class(char32_t c) noexcept {
    if (is_white_space(c)) return CharClass::Space;
    if ((c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) || (c >= 0x7B && c <= 0x7E))
        return CharClass::Punct;
    return CharClass::Other;
}

std::optional<std::size_t> word_start_forward(const Line& line, std::size_t c) {
    const std::size_t n = line.size();
    if (c >= n) return std::nullopt;
    const CharClass k = char_class(line[c]);
    std::size_t i = c + 1;
    while (i < n && char_class(line[i]) == k) ++i;
    while (i < n && char_class(line[i]) == CharClass::Space) ++i;
    if (i < n) return i;
    return std::nullopt;
}

std::optional<std::size_t> word_start_backward(const Line& line, std::size_t c) {
    if (c == 0) return std::nullopt;
    std::size_t k = std::min(c, line.size());
    while (k > 0 && char_class(line[k - 1]) == CharClass::Space) --k;
    if (k == 0) return std::nullopt;
    const CharClass cls = char_class(line[k - 1]);
    while (k > 0 && char_class(line[k - 1]) == cls) --k;
    return k;
}

std::optional<std::size_t> word_end_forward(const Line& line, std::size_t c) {
    const std::size_t n = line.size();
    if (c >= n) return std::nullopt;
    std::size_t k = c;
    while (k < n && char_class(line[k]) == CharClass::Space) ++k;
    if (k >= n) return std::nullopt;
    const CharClass cls = char_class(line[k]);
    while (k < n && char_class(line[k]) == cls) ++k;
    if (k < n) return k;
    return std::nullopt;
}

// ---- the engine ----

TextArea::TextArea(std::vector<Line> lines) : lines_(std::move(lines)) {
    if (lines_.empty()) lines_.emplace_back();
}

void TextArea::set_cursor(Pos p) {
    p.row = std::min(p.row, lines_.size() - 1);
    p.col = std::min(p.col, lines_[p.row].size());
    cursor_ = p;
    anchor_.reset();
}

// Inserts the pieces at `at`; returns the position after them.
Pos TextArea::insert_at(Pos at, const std::vector<Line>& pieces) {
    Line& line = lines_[at.row];
    if (pieces.size() == 1) {
        if (pieces[0].empty()) return at;
        line.insert(at.col, pieces[0]);
        ++version_;
        return Pos{at.row, at.col + pieces[0].size()};
    }
    Line tail = line.substr(at.col);
    line.erase(at.col);
    line += pieces.front();
    std::vector<Line> added(pieces.begin() + 1, pieces.end());
    const std::size_t last_len = added.back().size();
    added.back() += tail;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at.row + 1), std::make_move_iterator(added.begin()),
                  std::make_move_iterator(added.end()));
    ++version_;
    return Pos{at.row + pieces.size() - 1, last_len};
}

// Removes the text between `start` and `end` (start <= end) and returns it as pieces.
std::vector<Line> TextArea::remove_range(Pos start, Pos end) {
    if (start.row == end.row) {
        Line& line = lines_[start.row];
        std::vector<Line> out{line.substr(start.col, end.col - start.col)};
        line.erase(start.col, end.col - start.col);
        if (!out[0].empty()) ++version_;
        return out;
    }
    std::vector<Line> out;
    out.reserve(end.row - start.row + 1);
    out.push_back(lines_[start.row].substr(start.col));
    for (std::size_t r = start.row + 1; r < end.row; ++r) out.push_back(std::move(lines_[r]));
    out.push_back(lines_[end.row].substr(0, end.col));
    Line rest = lines_[end.row].substr(end.col);
    lines_[start.row].erase(start.col);
    lines_[start.row] += rest;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(start.row + 1),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end.row + 1));
    ++version_;
    return out;
}

void TextArea::push(Edit e) {
    if (marking_ && since_mark_.size() < 2) since_mark_.push_back(e);
    if (history_.size() == kHistoryCapacity) {
        history_.erase(history_.begin());
        index_ = index_ > 0 ? index_ - 1 : 0;
    }
    history_.erase(history_.begin() + static_cast<std::ptrdiff_t>(index_), history_.end());
    history_.push_back(std::move(e));
    ++index_;
}

bool TextArea::unchanged_since_mark() {
    marking_ = false;
    if (version_ == marked_version_) return true;
    // A removal undone by the insertion of the same pieces at the same place.
    return since_mark_.size() == 2 && version_ == marked_version_ + 2 && !since_mark_[0].insert &&
           since_mark_[1].insert && since_mark_[0].at == since_mark_[1].at &&
           since_mark_[0].pieces == since_mark_[1].pieces;
}

std::optional<std::pair<Pos, Pos>> TextArea::take_selection() {
    if (!anchor_) return std::nullopt;
    const Pos a = *anchor_;
    anchor_.reset();
    if (a == cursor_) return std::nullopt;
    return std::make_pair(std::min(a, cursor_), std::max(a, cursor_));
}

bool TextArea::delete_selection(bool yank) {
    const auto range = take_selection();
    if (!range) return false;
    const auto [start, end] = *range;
    std::vector<Line> removed = remove_range(start, end);
    cursor_ = start;
    if (yank) yank_ = removed;
    push(Edit{false, std::move(removed), start, end, start});
    return true;
}

// ---- insertions ----

bool TextArea::insert_char(char32_t c) {
    if (c == U'\n' || c == U'\r') return insert_newline();
    delete_selection(false);
    const Pos before = cursor_;
    cursor_ = insert_at(before, {Line(1, c)});
    push(Edit{true, {Line(1, c)}, before, before, cursor_});
    return true;
}

bool TextArea::insert_newline() {
    delete_selection(false);
    const Pos before = cursor_;
    const std::vector<Line> pieces{Line{}, Line{}};
    cursor_ = insert_at(before, pieces);
    push(Edit{true, pieces, before, before, cursor_});
    return true;
}

bool TextArea::insert_str(std::u32string_view s) {
    delete_selection(false);
    std::vector<Line> pieces;
    std::size_t from = 0;
    for (;;) {
        const std::size_t nl = s.find(U'\n', from);
        if (nl == std::u32string_view::npos) {
            pieces.emplace_back(s.substr(from));
            break;
        }
        std::size_t end = nl;
        if (end > from && s[end - 1] == U'\r') --end;  // "\r\n" is one line break
        pieces.emplace_back(s.substr(from, end - from));
        from = nl + 1;
    }
    if (pieces.size() == 1 && pieces[0].empty()) return false;
    const Pos before = cursor_;
    cursor_ = insert_at(before, pieces);
    push(Edit{true, std::move(pieces), before, before, cursor_});
    return true;
}

// ---- deletions ----

void TextArea::remove_in_line(std::size_t from, std::size_t to, Pos before, bool yank) {
    const std::size_t r = cursor_.row;
    std::vector<Line> removed = remove_range(Pos{r, from}, Pos{r, to});
    cursor_ = Pos{r, from};
    if (yank) yank_ = removed;
    push(Edit{false, std::move(removed), cursor_, before, cursor_});
}

bool TextArea::delete_char() {
    if (delete_selection(false)) return true;
    const auto [r, c] = cursor_;
    if (c > 0) {
        remove_in_line(c - 1, c, cursor_, false);
        return true;
    }
    if (r == 0) return false;
    const Pos at{r - 1, lines_[r - 1].size()};
    std::vector<Line> removed = remove_range(at, Pos{r, 0});
    const Pos before = cursor_;
    cursor_ = at;
    push(Edit{false, std::move(removed), at, before, at});
    return true;
}

bool TextArea::delete_next_char() {
    if (delete_selection(false)) return true;
    const Pos before = cursor_;
    apply_move(target(Move::Forward), false);
    if (cursor_ == before) return false;
    return delete_char();
}

bool TextArea::delete_line_by_end() {
    if (delete_selection(false)) return true;
    const auto [r, c] = cursor_;
    const std::size_t len = lines_[r].size();
    if (c < len) {
        remove_in_line(c, len, Pos{r, len}, true);
        return true;
    }
    return delete_next_char();
}

bool TextArea::delete_line_by_head() {
    if (delete_selection(false)) return true;
    const auto [r, c] = cursor_;
    if (c > 0) {
        remove_in_line(0, c, cursor_, true);
        return true;
    }
    return delete_char();
}

bool TextArea::delete_word() {
    if (delete_selection(false)) return true;
    const auto [r, c] = cursor_;
    if (const auto x = word_start_backward(lines_[r], c)) {
        remove_in_line(*x, c, cursor_, true);
        return true;
    }
    return delete_line_by_head();  // no word before the cursor on its line
}

bool TextArea::delete_next_word() {
    if (delete_selection(false)) return true;
    const auto [r, c] = cursor_;
    const std::size_t len = lines_[r].size();
    if (const auto e = word_end_forward(lines_[r], c)) {
        remove_in_line(c, *e, Pos{r, *e}, true);
        return true;
    }
    if (c < len) {
        remove_in_line(c, len, Pos{r, len}, true);
        return true;
    }
    if (r + 1 < lines_.size()) {
        cursor_ = Pos{r + 1, 0};
        return delete_char();
    }
    return false;
}

// ---- moves ----

std::optional<Pos> TextArea::target(Move m) const {
    const auto [r, c] = cursor_;
    const std::size_t n = lines_.size();
    auto fit = [&](std::size_t col, std::size_t row) { return Pos{row, std::min(col, lines_[row].size())}; };
    switch (m) {
        case Move::Forward:
            if (c < lines_[r].size()) return Pos{r, c + 1};
            if (r + 1 < n) return Pos{r + 1, 0};
            return std::nullopt;
        case Move::Back:
            if (c > 0) return Pos{r, c - 1};
            if (r > 0) return Pos{r - 1, lines_[r - 1].size()};
            return std::nullopt;
        case Move::Up:
            if (r > 0) return fit(c, r - 1);
            return std::nullopt;
        case Move::Down:
            if (r + 1 < n) return fit(c, r + 1);
            return std::nullopt;
        case Move::Head:
            return Pos{r, 0};
        case Move::End:
            return Pos{r, lines_[r].size()};
        case Move::Top:
            return fit(c, 0);
        case Move::Bottom:
            return fit(c, n - 1);
        case Move::WordForward:
            if (const auto x = word_start_forward(lines_[r], c)) return Pos{r, *x};
            if (r + 1 < n) return Pos{r + 1, 0};
            return Pos{r, lines_[r].size()};
        case Move::WordBack:
            if (const auto x = word_start_backward(lines_[r], c)) return Pos{r, *x};
            if (r > 0) return Pos{r - 1, lines_[r - 1].size()};
            return Pos{r, 0};
        case Move::ParagraphForward: {
            std::size_t t = r + 1;
            while (t < n && !(!lines_[t].empty() && lines_[t - 1].empty())) ++t;
            if (t >= n) t = n - 1;
            return fit(c, t);
        }
        case Move::ParagraphBack: {
            if (r == 0) return std::nullopt;
            std::size_t t = r - 1;
            while (t >= 1 && !(!lines_[t].empty() && lines_[t - 1].empty())) --t;
            return fit(c, t);  // t reaches 0 when no paragraph start lies above
        }
    }
    return std::nullopt;
}

void TextArea::apply_move(std::optional<Pos> to, bool shift) {
    if (!to) return;
    if (shift) {
        if (!anchor_) anchor_ = cursor_;
    } else {
        anchor_.reset();
    }
    cursor_ = *to;
}

void TextArea::move_cursor(Move m, bool shift) { apply_move(target(m), shift); }

void TextArea::scroll_page(bool shift) {
    if (shift && !anchor_) anchor_ = cursor_;
    apply_move(Pos{0, 0}, shift);
}

// The whole text, however many lines and columns it has (no 16-bit cap on the jump).
void TextArea::select_all() {
    const std::size_t row = lines_.size() - 1;
    apply_move(Pos{row, lines_[row].size()}, anchor_.has_value());
    anchor_ = Pos{0, 0};
}

// ---- yank ----

void TextArea::copy() {
    const auto range = take_selection();
    if (!range) return;
    const auto [start, end] = *range;
    if (start.row == end.row) {
        yank_ = {lines_[start.row].substr(start.col, end.col - start.col)};
        return;
    }
    std::vector<Line> pieces{lines_[start.row].substr(start.col)};
    for (std::size_t r = start.row + 1; r < end.row; ++r) pieces.push_back(lines_[r]);
    pieces.push_back(lines_[end.row].substr(0, end.col));
    yank_ = std::move(pieces);
}

bool TextArea::cut() { return delete_selection(true); }

bool TextArea::paste() {
    delete_selection(false);
    if (yank_.size() == 1 && yank_[0].empty()) return false;
    const Pos before = cursor_;
    cursor_ = insert_at(before, yank_);
    push(Edit{true, yank_, before, before, cursor_});
    return true;
}

// ---- history ----

namespace {
Pos end_of(Pos at, const std::vector<Line>& pieces) {
    if (pieces.size() == 1) return Pos{at.row, at.col + pieces[0].size()};
    return Pos{at.row + pieces.size() - 1, pieces.back().size()};
}
}  // namespace

bool TextArea::undo() {
    if (index_ == 0) return false;
    const Edit& e = history_[--index_];
    if (e.insert) {
        remove_range(e.at, end_of(e.at, e.pieces));
    } else {
        insert_at(e.at, e.pieces);
    }
    cursor_ = e.before;
    anchor_.reset();
    return true;
}

bool TextArea::redo() {
    if (index_ == history_.size()) return false;
    const Edit& e = history_[index_++];
    if (e.insert) {
        insert_at(e.at, e.pieces);
    } else {
        remove_range(e.at, end_of(e.at, e.pieces));
    }
    cursor_ = e.after;
    anchor_.reset();
    return true;
}

// ---- key dispatch ----

bool TextArea::input(const terminal::KeyEvent& key) {
    using terminal::KeyTag;
    if (key.kind == terminal::KeyKind::Release) return false;
    const bool ctrl = key.modifiers & terminal::key_modifiers::CONTROL;
    const bool alt = key.modifiers & terminal::key_modifiers::ALT;
    const bool shift = key.modifiers & terminal::key_modifiers::SHIFT;
    const bool plain = !ctrl && !alt, c_only = ctrl && !alt, a_only = alt && !ctrl, both = ctrl && alt;
    auto move = [&](Move m) {
        move_cursor(m, shift);
        return false;
    };
    auto page = [&] {
        scroll_page(shift);
        return false;
    };
    // An arrow moves one step; with Ctrl a word or paragraph; with Ctrl and Alt to the line's or
    // text's ends; with Alt alone not at all.
    auto arrow = [&](Move step, Move with_ctrl, Move with_ctrl_alt) {
        if (plain) return move(step);
        if (c_only) return move(with_ctrl);
        if (both) return move(with_ctrl_alt);
        return false;
    };
    switch (key.code.tag) {
        case KeyTag::Char: {
            const char32_t c = key.code.ch();
            if (plain) return (c == U'\n' || c == U'\r') ? insert_newline() : insert_char(c);
            if (c_only) {
                switch (c) {
                    case U'm': return insert_newline();
                    case U'h': return delete_char();
                    case U'd': return delete_next_char();
                    case U'k': return delete_line_by_end();
                    case U'j': return delete_line_by_head();
                    case U'w': return delete_word();
                    case U'n': return move(Move::Down);
                    case U'p': return move(Move::Up);
                    case U'f': return move(Move::Forward);
                    case U'b': return move(Move::Back);
                    case U'a': return move(Move::Head);
                    case U'e': return move(Move::End);
                    case U'u': return undo();
                    case U'r': return redo();
                    case U'y': return paste();
                    case U'x': return cut();
                    case U'c': copy(); return false;
                    case U'v': return page();
                    default: return false;
                }
            }
            if (a_only) {
                switch (c) {
                    case U'h': return delete_word();
                    case U'd': return delete_next_word();
                    case U'<': return move(Move::Top);
                    case U'>': return move(Move::Bottom);
                    case U'f': return move(Move::WordForward);
                    case U'b': return move(Move::WordBack);
                    case U']': case U'n': return move(Move::ParagraphForward);
                    case U'[': case U'p': return move(Move::ParagraphBack);
                    case U'v': return page();
                    default: return false;
                }
            }
            switch (c) {  // both
                case U'b': return move(Move::Head);
                case U'f': return move(Move::End);
                case U'p': return move(Move::Top);
                case U'n': return move(Move::Bottom);
                default: return false;
            }
        }
        case KeyTag::Enter: return insert_newline();
        case KeyTag::Backspace:
            if (plain) return delete_char();
            if (a_only) return delete_word();
            return false;
        case KeyTag::Delete:
            if (plain) return delete_next_char();
            if (a_only) return delete_next_word();
            return false;
        case KeyTag::Left: return arrow(Move::Back, Move::WordBack, Move::Head);
        case KeyTag::Right: return arrow(Move::Forward, Move::WordForward, Move::End);
        case KeyTag::Up: return arrow(Move::Up, Move::ParagraphBack, Move::Top);
        case KeyTag::Down: return arrow(Move::Down, Move::ParagraphForward, Move::Bottom);
        case KeyTag::Home: return move(Move::Head);
        case KeyTag::End: return move(Move::End);
        case KeyTag::PageUp:
        case KeyTag::PageDown: return page();
        default: return false;  // Tab is handled by the editor class; the rest matches nothing
    }
}

}  // namespace tarvo::core::editor
