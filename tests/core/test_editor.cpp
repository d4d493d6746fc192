#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/editor/key_binding.hpp"
#include "core/editor/text_editor.hpp"

using namespace tarvo::core;
using namespace tarvo::core::editor;
using terminal::KeyCode;
using terminal::KeyEvent;
using terminal::KeyTag;

namespace {

// "x" a plain character; "C-x", "A-x", "CA-x", "S-x" with modifiers; key names as in KeyTag.
KeyEvent key(std::string desc) {
    KeyEvent k;
    const auto dash = desc.find('-');
    if (dash != std::string::npos && dash > 0 && desc.size() > dash + 1) {
        for (char m : desc.substr(0, dash)) {
            if (m == 'C') k.modifiers |= terminal::key_modifiers::CONTROL;
            if (m == 'A') k.modifiers |= terminal::key_modifiers::ALT;
            if (m == 'S') k.modifiers |= terminal::key_modifiers::SHIFT;
            if (m == 'R') k.kind = terminal::KeyKind::Release;
        }
        desc = desc.substr(dash + 1);
    }
    static const std::vector<std::pair<std::string, KeyTag>> names = {
        {"Backspace", KeyTag::Backspace}, {"Enter", KeyTag::Enter}, {"Left", KeyTag::Left},
        {"Right", KeyTag::Right}, {"Up", KeyTag::Up}, {"Down", KeyTag::Down}, {"Home", KeyTag::Home},
        {"End", KeyTag::End}, {"PageUp", KeyTag::PageUp}, {"PageDown", KeyTag::PageDown}, {"Tab", KeyTag::Tab},
        {"BackTab", KeyTag::BackTab}, {"Delete", KeyTag::Delete}, {"Insert", KeyTag::Insert}, {"Esc", KeyTag::Esc},
        {"F5", KeyTag::F}, {"Null", KeyTag::Null},
    };
    for (const auto& [n, t] : names)
        if (desc == n) {
            k.code = t == KeyTag::F ? KeyCode::function(5) : KeyCode::of(t);
            return k;
        }
    const std::u32string u = to_u32(desc);
    k.code = KeyCode::character(u.at(0));
    return k;
}

std::vector<Line> u32_lines(const std::vector<std::string>& lines) {
    std::vector<Line> out;
    for (const auto& l : lines) out.push_back(to_u32(l));
    return out;
}

std::vector<std::string> utf8_lines(const std::vector<Line>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) out.push_back(to_utf8(l));
    return out;
}

using Strings = std::vector<std::string>;

struct KeyCase {
    const char* name;
    Strings lines;
    Pos cursor;
    std::vector<std::string> keys;  // all but the last are set-up
    bool result;                    // of the last key
    Strings want;
    Pos want_cursor;
    Strings want_yank = {""};
};

void run(const KeyCase& c) {
    TextArea t(u32_lines(c.lines));
    t.set_cursor(c.cursor);
    bool r = false;
    for (const auto& k : c.keys) r = t.input(key(k));
    EXPECT_EQ(r, c.result) << c.name;
    EXPECT_EQ(utf8_lines(t.lines()), c.want) << c.name;
    EXPECT_EQ(t.cursor(), c.want_cursor) << c.name << " cursor " << t.cursor().row << "," << t.cursor().col;
    EXPECT_EQ(utf8_lines(t.yank()), c.want_yank) << c.name;
}

}  // namespace

TEST(TextArea, EveryKeyOfTheTable) {
    const KeyCase cases[] = {
        {"plain char", {"ab"}, {0, 1}, {"x"}, true, {"axb"}, {0, 2}},
        {"shift char inserts", {"ab"}, {0, 0}, {"S-X"}, true, {"Xab"}, {0, 1}},
        {"wide char is one column", {"ab"}, {0, 1}, {"あ"}, true, {"aあb"}, {0, 2}},
        {"char newline", {"ab"}, {0, 1}, {"\n"}, true, {"a", "b"}, {1, 0}},
        {"char return", {"ab"}, {0, 1}, {"\r"}, true, {"a", "b"}, {1, 0}},
        {"ctrl newline char does nothing", {"ab"}, {0, 1}, {"C-\n"}, false, {"ab"}, {0, 1}},
        {"enter", {"ab"}, {0, 2}, {"Enter"}, true, {"ab", ""}, {1, 0}},
        {"ctrl alt enter", {"ab"}, {0, 0}, {"CA-Enter"}, true, {"", "ab"}, {1, 0}},
        {"ctrl m", {"ab"}, {0, 1}, {"C-m"}, true, {"a", "b"}, {1, 0}},
        {"enter on empty", {""}, {0, 0}, {"Enter"}, true, {"", ""}, {1, 0}},
        {"backspace", {"abc"}, {0, 2}, {"Backspace"}, true, {"ac"}, {0, 1}},
        {"ctrl h", {"abc"}, {0, 2}, {"C-h"}, true, {"ac"}, {0, 1}},
        {"backspace joins", {"ab", "cd"}, {1, 0}, {"Backspace"}, true, {"abcd"}, {0, 2}},
        {"backspace at start", {"ab"}, {0, 0}, {"Backspace"}, false, {"ab"}, {0, 0}},
        {"ctrl backspace nothing", {"ab"}, {0, 2}, {"C-Backspace"}, false, {"ab"}, {0, 2}},
        {"delete", {"abc"}, {0, 1}, {"Delete"}, true, {"ac"}, {0, 1}},
        {"ctrl d", {"abc"}, {0, 1}, {"C-d"}, true, {"ac"}, {0, 1}},
        {"delete joins", {"ab", "cd"}, {0, 2}, {"Delete"}, true, {"abcd"}, {0, 2}},
        {"delete at end", {"ab"}, {0, 2}, {"Delete"}, false, {"ab"}, {0, 2}},
        {"ctrl delete nothing", {"ab"}, {0, 0}, {"C-Delete"}, false, {"ab"}, {0, 0}},
        {"ctrl k", {"abcde"}, {0, 2}, {"C-k"}, true, {"ab"}, {0, 2}, {"cde"}},
        {"ctrl k at end joins", {"ab", "cd"}, {0, 2}, {"C-k"}, true, {"abcd"}, {0, 2}},
        {"ctrl k end of text", {"ab"}, {0, 2}, {"C-k"}, false, {"ab"}, {0, 2}},
        {"ctrl j", {"abcde"}, {0, 2}, {"C-j"}, true, {"cde"}, {0, 0}, {"ab"}},
        {"ctrl j at start joins", {"ab", "cd"}, {1, 0}, {"C-j"}, true, {"abcd"}, {0, 2}},
        {"ctrl j first row", {"ab"}, {0, 0}, {"C-j"}, false, {"ab"}, {0, 0}},
        {"ctrl w", {"aaa bbb"}, {0, 7}, {"C-w"}, true, {"aaa "}, {0, 4}, {"bbb"}},
        {"alt h", {"aaa bbb"}, {0, 5}, {"A-h"}, true, {"aaa bb"}, {0, 4}, {"b"}},
        {"alt backspace", {"foo_bar"}, {0, 7}, {"A-Backspace"}, true, {"foo_"}, {0, 4}, {"bar"}},
        {"word before only spaces", {"   x"}, {0, 3}, {"C-w"}, true, {"x"}, {0, 0}, {"   "}},
        {"word before at start joins", {"a", "b"}, {1, 0}, {"C-w"}, true, {"ab"}, {0, 1}},
        {"word before cjk", {"word  ことば 🐶"}, {0, 7}, {"C-w"}, true, {"word  とば 🐶"}, {0, 6}, {"こ"}},
        {"word before cjk run", {"word  ことば 🐶"}, {0, 10}, {"C-w"}, true, {"word  🐶"}, {0, 6}, {"ことば "}},
        {"alt d", {"word  ことば 🐶"}, {0, 4}, {"A-d"}, true, {"word 🐶"}, {0, 4}, {"  ことば"}},
        {"alt delete to end", {"word  ことば 🐶"}, {0, 9}, {"A-Delete"}, true, {"word  ことば"}, {0, 9}, {" 🐶"}},
        {"alt d at end joins", {"a", "b"}, {0, 1}, {"A-d"}, true, {"ab"}, {0, 1}},
        {"alt d end of text", {"a"}, {0, 1}, {"A-d"}, false, {"a"}, {0, 1}},
        {"right", {"ab"}, {0, 0}, {"Right"}, false, {"ab"}, {0, 1}},
        {"right wraps", {"ab", "c"}, {0, 2}, {"Right"}, false, {"ab", "c"}, {1, 0}},
        {"ctrl f", {"ab"}, {0, 0}, {"C-f"}, false, {"ab"}, {0, 1}},
        {"left wraps", {"ab", "c"}, {1, 0}, {"Left"}, false, {"ab", "c"}, {0, 2}},
        {"ctrl b", {"ab"}, {0, 2}, {"C-b"}, false, {"ab"}, {0, 1}},
        {"up clips", {"a", "bcd"}, {1, 3}, {"Up"}, false, {"a", "bcd"}, {0, 1}},
        {"ctrl p", {"a", "bcd"}, {1, 3}, {"C-p"}, false, {"a", "bcd"}, {0, 1}},
        {"no column memory", {"", "a", "bcd", "efgh"}, {3, 3}, {"Up", "Up", "Up", "Down"}, false,
         {"", "a", "bcd", "efgh"}, {1, 0}},
        {"ctrl n", {"abc", "d"}, {0, 2}, {"C-n"}, false, {"abc", "d"}, {1, 1}},
        {"home any", {"abc"}, {0, 2}, {"CA-Home"}, false, {"abc"}, {0, 0}},
        {"ctrl a", {"abc"}, {0, 2}, {"C-a"}, false, {"abc"}, {0, 0}},
        {"ctrl alt left", {"abc"}, {0, 2}, {"CA-Left"}, false, {"abc"}, {0, 0}},
        {"ctrl alt b", {"abc"}, {0, 2}, {"CA-b"}, false, {"abc"}, {0, 0}},
        {"end any", {"abc"}, {0, 0}, {"A-End"}, false, {"abc"}, {0, 3}},
        {"ctrl e", {"abc"}, {0, 0}, {"C-e"}, false, {"abc"}, {0, 3}},
        {"ctrl alt right", {"abc"}, {0, 0}, {"CA-Right"}, false, {"abc"}, {0, 3}},
        {"ctrl alt f", {"abc"}, {0, 0}, {"CA-f"}, false, {"abc"}, {0, 3}},
        {"alt less keeps column", {"ab", "cdef"}, {1, 3}, {"A-<"}, false, {"ab", "cdef"}, {0, 2}},
        {"ctrl alt up", {"ab", "cdef"}, {1, 1}, {"CA-Up"}, false, {"ab", "cdef"}, {0, 1}},
        {"ctrl alt p", {"ab", "cdef"}, {1, 1}, {"CA-p"}, false, {"ab", "cdef"}, {0, 1}},
        {"alt greater", {"abcd", "ef"}, {0, 3}, {"A->"}, false, {"abcd", "ef"}, {1, 2}},
        {"ctrl alt down", {"abcd", "ef"}, {0, 1}, {"CA-Down"}, false, {"abcd", "ef"}, {1, 1}},
        {"ctrl alt n", {"abcd", "ef"}, {0, 1}, {"CA-n"}, false, {"abcd", "ef"}, {1, 1}},
        {"word forward", {"aaa bbb ccc"}, {0, 0}, {"C-Right", "A-f", "C-Right"}, false, {"aaa bbb ccc"}, {0, 11}},
        {"word forward next line", {"aaa", "  b"}, {0, 1}, {"A-f"}, false, {"aaa", "  b"}, {1, 0}},
        {"word back", {"aaa bbb ccc"}, {0, 11}, {"C-Left", "A-b", "C-Left"}, false, {"aaa bbb ccc"}, {0, 0}},
        {"word back previous line end", {"aaa bb", "c"}, {1, 0}, {"A-b"}, false, {"aaa bb", "c"}, {0, 6}},
        {"paragraph forward", {"aaa", "", "bbb", "", "ccc", "ddd"}, {0, 0}, {"C-Down", "A-]", "A-n"}, false,
         {"aaa", "", "bbb", "", "ccc", "ddd"}, {5, 0}},
        {"paragraph back", {"aaa", "", "bbb", "", "ccc", "ddd"}, {5, 0}, {"C-Up", "A-[", "A-p"}, false,
         {"aaa", "", "bbb", "", "ccc", "ddd"}, {0, 0}},
        {"undo", {"ab"}, {0, 2}, {"c", "C-u"}, true, {"ab"}, {0, 2}},
        {"redo", {"ab"}, {0, 2}, {"c", "C-u", "C-r"}, true, {"abc"}, {0, 3}},
        {"undo nothing", {"ab"}, {0, 2}, {"C-u"}, false, {"ab"}, {0, 2}},
        {"redo nothing", {"ab"}, {0, 2}, {"C-r"}, false, {"ab"}, {0, 2}},
        {"cut selection", {"ab"}, {0, 0}, {"S-Right", "C-x"}, true, {"b"}, {0, 0}, {"a"}},
        {"cut nothing", {"ab"}, {0, 0}, {"C-x"}, false, {"ab"}, {0, 0}},
        {"copy", {"abc"}, {0, 0}, {"S-Right", "S-Right", "C-c"}, false, {"abc"}, {0, 2}, {"ab"}},
        {"copy then paste", {"abc"}, {0, 0}, {"S-Right", "C-c", "C-y"}, true, {"aabc"}, {0, 2}, {"a"}},
        {"paste empty yank", {"ab"}, {0, 1}, {"C-y"}, false, {"ab"}, {0, 1}},
        {"paste over selection with empty yank", {"ab"}, {0, 0}, {"S-Right", "C-y"}, false, {"b"}, {0, 0}},
        {"multi line cut", {"ab", "cd", "ef"}, {0, 0}, {"S-Down", "C-x"}, true, {"cd", "ef"}, {0, 0}, {"ab", ""}},
        {"multi line paste", {"ab", "cd", "ef"}, {0, 0}, {"S-Down", "C-x", "C-e", "C-y"}, true,
         {"cdab", "", "ef"}, {1, 0}, {"ab", ""}},
        {"selection delete", {"ab", "cd", "ef"}, {0, 1}, {"S-Down", "S-Down", "Backspace"}, true, {"af"}, {0, 1}},
        {"typing over selection", {"ab", "cd", "ef"}, {0, 1}, {"S-Down", "S-Down", "x"}, true, {"axf"}, {0, 2}},
        {"page down", {"abc", "def"}, {1, 2}, {"PageDown"}, false, {"abc", "def"}, {0, 0}},
        {"page up", {"abc", "def"}, {1, 2}, {"C-PageUp"}, false, {"abc", "def"}, {0, 0}},
        {"ctrl v", {"abc", "def"}, {1, 2}, {"C-v"}, false, {"abc", "def"}, {0, 0}},
        {"alt v", {"abc", "def"}, {1, 2}, {"A-v"}, false, {"abc", "def"}, {0, 0}},
        {"shift page selects to origin", {"abc", "def"}, {1, 2}, {"S-PageUp", "C-x"}, true, {"f"}, {0, 0},
         {"abc", "de"}},
        {"upper case ctrl letter", {"ab"}, {0, 2}, {"C-A"}, false, {"ab"}, {0, 2}},
        {"alt underscore", {"ab"}, {0, 2}, {"A-_"}, false, {"ab"}, {0, 2}},
        {"function key", {"ab"}, {0, 2}, {"F5"}, false, {"ab"}, {0, 2}},
        {"esc", {"ab"}, {0, 2}, {"Esc"}, false, {"ab"}, {0, 2}},
        {"insert", {"ab"}, {0, 2}, {"Insert"}, false, {"ab"}, {0, 2}},
        {"release", {"ab"}, {0, 2}, {"R-x"}, false, {"ab"}, {0, 2}},
        {"alt left nothing", {"ab"}, {0, 2}, {"A-Left"}, false, {"ab"}, {0, 2}},
        {"backspace inside an emoji cluster", {"a👩🏻"}, {0, 3}, {"Backspace"}, true, {"a👩"}, {0, 2}},
        {"backspace takes the combining mark only", {"e\u0301x"}, {0, 2}, {"Backspace"}, true, {"ex"}, {0, 1}},
        {"right steps into a cluster", {"e\u0301x"}, {0, 0}, {"Right"}, false, {"e\u0301x"}, {0, 1}},
        {"wide characters wrap like any other", {"あいう", "🐶🐱👪"}, {0, 3}, {"Right", "Right"}, false,
         {"あいう", "🐶🐱👪"}, {1, 1}},
        {"up on the first line", {"ab", "cd"}, {0, 1}, {"Up"}, false, {"ab", "cd"}, {0, 1}},
        {"down on the last line", {"ab", "cd"}, {1, 1}, {"Down"}, false, {"ab", "cd"}, {1, 1}},
        {"ctrl right at the text end", {"ab", "cd"}, {1, 1}, {"C-Right"}, false, {"ab", "cd"}, {1, 2}},
        {"ctrl left at the text start", {"ab", "cd"}, {0, 1}, {"C-Left", "C-Left"}, false, {"ab", "cd"}, {0, 0}},
        {"copy across lines", {"ab", "cd", "ef"}, {0, 1}, {"S-Down", "S-Down", "C-c"}, false, {"ab", "cd", "ef"},
         {2, 1}, {"b", "cd", "e"}},
        {"cut across lines and paste back", {"ab", "cd", "ef"}, {2, 1}, {"S-Up", "S-Up", "C-x", "C-y"}, true,
         {"ab", "cd", "ef"}, {2, 1}, {"b", "cd", "e"}},
        {"alt d takes a selection first", {"ab cd"}, {0, 0}, {"S-End", "A-d"}, true, {""}, {0, 0}},
    };
    for (const auto& c : cases) run(c);
}

TEST(TextArea, SelectionAndAnchorRules) {
    TextArea t(u32_lines({"ab"}));
    t.set_cursor({0, 0});
    t.input(key("S-Left"));  // no target: no selection starts
    EXPECT_FALSE(t.anchor());
    t.input(key("S-Right"));
    EXPECT_EQ(t.anchor(), (Pos{0, 0}));
    t.input(key("S-Right"));
    EXPECT_EQ(t.anchor(), (Pos{0, 0}));
    t.input(key("Right"));  // no target at the end: the selection stays
    EXPECT_EQ(t.anchor(), (Pos{0, 0}));
    t.input(key("Home"));  // a plain move with a target clears it
    EXPECT_FALSE(t.anchor());
    t.input(key("S-End"));
    t.input(key("C-c"));  // copy takes the selection
    EXPECT_FALSE(t.anchor());
    EXPECT_EQ(utf8_lines(t.yank()), Strings{"ab"});
    t.select_all();
    EXPECT_EQ(t.anchor(), (Pos{0, 0}));
    EXPECT_EQ(t.cursor(), (Pos{0, 2}));
}

TEST(TextArea, UndoCursorPositions) {
    struct Case {
        const char* name;
        Strings lines;
        Pos cursor;
        std::vector<std::string> keys;
        Strings after_undo;
        Pos undo_cursor;
    };
    const Case cases[] = {
        {"ctrl k", {"abcde"}, {0, 2}, {"C-k"}, {"abcde"}, {0, 5}},
        {"delete mid line", {"ab", "cd"}, {0, 1}, {"Delete"}, {"ab", "cd"}, {0, 2}},
        {"delete join", {"ab", "cd"}, {0, 2}, {"Delete"}, {"ab", "cd"}, {1, 0}},
        {"cut", {"ab"}, {0, 0}, {"S-Right", "C-x"}, {"ab"}, {0, 1}},
        {"cut backwards", {"ab"}, {0, 2}, {"S-Left", "C-x"}, {"ab"}, {0, 2}},
        {"typing over selection: one step", {"ab", "cd", "ef"}, {0, 1}, {"S-Down", "S-Down", "x"}, {"af"}, {0, 1}},
        {"newline", {"ab"}, {0, 1}, {"Enter"}, {"ab"}, {0, 1}},
        {"word after", {"aa bb"}, {0, 0}, {"A-d"}, {"aa bb"}, {0, 2}},
    };
    for (const auto& c : cases) {
        TextArea t(u32_lines(c.lines));
        t.set_cursor(c.cursor);
        for (const auto& k : c.keys) t.input(key(k));
        EXPECT_TRUE(t.undo()) << c.name;
        EXPECT_EQ(utf8_lines(t.lines()), c.after_undo) << c.name;
        EXPECT_EQ(t.cursor(), c.undo_cursor) << c.name;
    }
}

TEST(TextArea, StringInsertion) {
    struct Case {
        const char* text;
        Strings want;
        Pos cursor;
        bool result;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", {"a", "b", "x"}, {2, 0}, true},
        {"a\rb", {"a\rbx"}, {0, 3}, true},
        {"x\r", {"x\rx"}, {0, 2}, true},
        {"\n", {"", "x"}, {1, 0}, true},
        {"", {"x"}, {0, 0}, false},
        {"one\ntwo\nthree", {"one", "two", "threex"}, {2, 5}, true},
        {"\t\x01", {"\t\x01x"}, {0, 2}, true},
    };
    for (const auto& c : cases) {
        TextArea t(u32_lines({"x"}));
        EXPECT_EQ(t.insert_str(to_u32(c.text)), c.result) << c.text;
        EXPECT_EQ(utf8_lines(t.lines()), c.want) << c.text;
        EXPECT_EQ(t.cursor(), c.cursor) << c.text;
        EXPECT_EQ(t.history_size(), c.result ? 1u : 0u) << c.text;
        if (c.result) {
            t.undo();
            EXPECT_EQ(utf8_lines(t.lines()), Strings{"x"}) << c.text;
        }
    }
}

TEST(TextArea, HistoryKeepsFiftyAndDropsTheOldest) {
    TextArea t;
    for (int i = 0; i < 60; ++i) t.insert_char(U'a');
    EXPECT_EQ(t.history_size(), 50u);
    int undone = 0;
    while (t.undo()) ++undone;
    EXPECT_EQ(undone, 50);
    EXPECT_EQ(t.lines()[0].size(), 10u);
    while (t.redo()) {
    }
    // After 50 edits and 20 undos, one new edit leaves 30 undo steps (the oldest went first).
    for (int i = 0; i < 20; ++i) t.undo();
    t.insert_char(U'b');
    EXPECT_EQ(t.history_size(), 30u);
    EXPECT_FALSE(t.redo());
}

TEST(TextArea, EmptyTextReportsFalseEverywhere) {
    for (const char* k : {"Backspace", "Delete", "C-k", "C-j", "C-w", "A-d", "C-x", "C-c", "C-y", "C-u", "C-r",
                          "Left", "Up", "C-Up", "Right", "Down", "PageDown"}) {
        TextArea t;
        EXPECT_FALSE(t.input(key(k))) << k;
        EXPECT_EQ(t.history_size(), 0u) << k;
        EXPECT_EQ(t.cursor(), (Pos{0, 0})) << k;
    }
}

TEST(TextArea, WordScans) {
    const Line l = to_u32("aaa bbb ccc");
    EXPECT_EQ(word_start_forward(l, 0), 4u);
    EXPECT_EQ(word_start_forward(l, 8), std::nullopt);
    EXPECT_EQ(word_start_backward(l, 11), 8u);
    EXPECT_EQ(word_start_backward(to_u32("   "), 3), std::nullopt);
    EXPECT_EQ(word_end_forward(l, 0), 3u);
    EXPECT_EQ(word_end_forward(l, 8), std::nullopt);
    EXPECT_EQ(char_class(U'_'), CharClass::Punct);
    EXPECT_EQ(char_class(U'あ'), CharClass::Other);
    EXPECT_EQ(char_class(0x3000), CharClass::Space);
    EXPECT_EQ(char_class(0x200B), CharClass::Other);
    EXPECT_EQ(word_start_forward(to_u32("foo_bar"), 0), 3u);
}

TEST(TextEditor, ConstructionFilterAndSetText) {
    struct Case {
        const char* text;
        Strings lines;
        Pos cursor;
    };
    const Case cases[] = {
        {"", {""}, {0, 0}},       {"ab\ncd", {"ab", "cd"}, {1, 2}}, {"a\r\nb\n", {"a", "b"}, {1, 1}},
        {"\n", {""}, {0, 0}},     {"a\n\n", {"a", ""}, {1, 0}},     {"x\r", {"x\r"}, {0, 2}},
        {"あい\n🐶", {"あい", "🐶"}, {1, 1}},
    };
    for (const auto& c : cases) {
        TextEditor e(c.text);
        EXPECT_EQ(e.lines(), c.lines) << c.text;
        EXPECT_EQ(e.cursor(), c.cursor) << c.text;
    }
    EXPECT_EQ(TextEditor("ab\ncd").repr(), "CoreTextEditor(lines=2, cursor=(1, 2))");

    TextEditor single("ab", true);
    for (const char* k : {"Tab", "BackTab", "Esc", "Enter", "R-x"}) EXPECT_FALSE(single.input(key(k))) << k;
    EXPECT_EQ(single.text(), "ab");
    EXPECT_TRUE(single.input(key("C-m")));  // only the Enter key is kept from a single-line editor
    EXPECT_EQ(single.text(), "ab\n");
    single.set_text("x\ny\r\nz");
    EXPECT_EQ(single.text(), "x y  z");

    TextEditor multi("old");
    multi.set_text("new");
    EXPECT_EQ(multi.text(), "new");
    EXPECT_EQ(multi.cursor(), (Pos{0, 3}));
    EXPECT_TRUE(multi.input(key("C-y")));
    EXPECT_EQ(multi.text(), "newold");
    EXPECT_TRUE(multi.undo());
    EXPECT_TRUE(multi.undo());
    EXPECT_EQ(multi.text(), "");
    EXPECT_EQ(multi.cursor(), (Pos{0, 0}));
    EXPECT_TRUE(multi.undo());
    EXPECT_EQ(multi.text(), "old");
    EXPECT_EQ(multi.cursor(), (Pos{0, 3}));
    EXPECT_FALSE(multi.undo());

    for (char32_t bad : {char32_t{0xD800}, char32_t{0xDFFF}, char32_t{0x110000}}) {
        KeyEvent k;
        k.code = KeyCode::character(bad);
        EXPECT_FALSE(multi.input(k));
    }
    EXPECT_EQ(multi.text(), "old");

    TextEditor sel("ab");
    EXPECT_FALSE(sel.input(key("S-Left")));
    EXPECT_TRUE(sel.input(key("C-y")));  // empty yank over a selection: the text changed
    EXPECT_EQ(sel.text(), "a");
}

TEST(TextEditor, SetTextReplacesTextsBeyondSixteenBits) {
    std::string big;
    for (int i = 0; i < 70000; ++i) big += "line\n";
    big += std::string(70000, 'x');
    TextEditor e(big);
    ASSERT_EQ(e.line_count(), 70001u);
    e.set_text("small");
    EXPECT_EQ(e.text(), "small");
    EXPECT_EQ(e.cursor(), (Pos{0, 5}));
    EXPECT_TRUE(e.undo());
    EXPECT_TRUE(e.undo());
    EXPECT_EQ(e.text(), big);
    EXPECT_EQ(e.cursor(), (Pos{70000, 70000}));
}

TEST(TextEditor, RandomKeysKeepTheInvariants) {
    const std::vector<std::string> keys = {
        "a", "あ", "🐶", " ", "_", "\n", "Enter", "Backspace", "Delete", "Left", "Right", "Up", "Down", "Home",
        "End", "PageUp", "PageDown", "C-k", "C-j", "C-w", "A-d", "A-h", "C-u", "C-r", "C-x", "C-c", "C-y",
        "S-Left", "S-Right", "S-Up", "S-Down", "C-Left", "C-Right", "C-Up", "C-Down", "A-<", "A->", "CA-b",
        "S-Home", "S-End", "Tab", "Esc", "C-m", "A-f", "A-b", "R-a", "S-PageDown",
    };
    std::mt19937 rng(12345);
    for (int round = 0; round < 40; ++round) {
        TextEditor e(round % 2 ? "start\ntext" : "", round % 5 == 0);
        for (int step = 0; step < 400; ++step) {
            const std::string before = e.text();
            const std::string& k = keys[rng() % keys.size()];
            const bool changed = step % 50 == 49 ? (e.insert_text("pa\nste"), true) : e.input(key(k));
            const TextArea& a = e.area();
            ASSERT_FALSE(a.lines().empty());
            ASSERT_LT(a.cursor().row, a.lines().size());
            ASSERT_LE(a.cursor().col, a.lines()[a.cursor().row].size());
            if (a.anchor()) {
                ASSERT_LT(a.anchor()->row, a.lines().size());
                ASSERT_LE(a.anchor()->col, a.lines()[a.anchor()->row].size());
            }
            ASSERT_LE(a.history_size(), TextArea::kHistoryCapacity);
            for (const Line& l : a.lines()) ASSERT_EQ(l.find(U'\n'), Line::npos);
            if (step % 50 != 49) {
                ASSERT_EQ(changed, e.text() != before) << step << " " << k << " " << before;
            }
        }
        // Undoing everything and redoing it again gives the same text.
        const std::string end = e.text();
        while (e.undo()) {
        }
        while (e.redo()) {
        }
        EXPECT_EQ(e.text(), end);
    }
}

TEST(KeyBinding, ParseReprAndErrors) {
    struct Case {
        const char* text;
        const char* want;  // the normalised text, or the error
        bool ok;
    };
    const Case cases[] = {
        {"ctrl+q", "ctrl+q", true},
        {"CTRL+Shift+A", "ctrl+shift+a", true},
        {" ctrl + enter ", "ctrl+enter", true},
        {"Shift + Ctrl + PageUp", "ctrl+shift+pageup", true},
        {"alt+control+shft+x", "ctrl+shift+alt+x", true},
        {"ctrl+ctrl+x", "ctrl+x", true},
        {"f12", "f12", true},
        {"f1", "f1", true},
        {"F09", "f9", true},
        {"f", "f", true},
        {"ctrl+f", "ctrl+f", true},
        {"ctrl+F", "ctrl+f", true},
        {"space", "space", true},
        {"page_down", "pagedown", true},
        {"del", "delete", true},
        {"escape", "esc", true},
        {"null", "Null", true},
        {"capslock", "CapsLock", true},
        {"keypadbegin", "KeypadBegin", true},
        {"printscreen", "PrintScreen", true},
        {"1", "1", true},
        {"\u3000x\u2003", "x", true},
        {"f13", "invalid function key: f13", false},
        {"f0", "invalid function key: f0", false},
        {"fx", "invalid function key: fx", false},
        {"f1x", "invalid function key: f1x", false},
        {"f100", "unknown key in binding: f100 (binding: f100)", false},
        {"ctrl+", "unknown key in binding:  (binding: ctrl+)", false},
        {"ctrl++", "unknown modifier  in binding ctrl++", false},
        {"hyper+x", "unknown modifier hyper in binding hyper+x", false},
        {"ctrl+é", "unknown key in binding: é (binding: ctrl+é)", false},
        {"ctrl+É", "unknown key in binding: é (binding: ctrl+É)", false},
        {"", "unknown key in binding:  (binding: )", false},
        {"Super+x", "unknown modifier super in binding Super+x", false},
        {"enterr", "unknown key in binding: enterr (binding: enterr)", false},
    };
    for (const auto& c : cases) {
        const auto r = KeyBinding::parse(c.text);
        if (c.ok) {
            ASSERT_TRUE(std::holds_alternative<KeyBinding>(r)) << c.text << ": " << std::get<std::string>(r);
            EXPECT_EQ(std::get<KeyBinding>(r).text(), c.want) << c.text;
        } else {
            ASSERT_TRUE(std::holds_alternative<std::string>(r)) << c.text;
            EXPECT_EQ(std::get<std::string>(r), c.want) << c.text;
        }
    }
    EXPECT_EQ(lower_case("İΣΑΣ Σ"), "i\u0307σας σ");
}

TEST(KeyBinding, Matches) {
    struct Case {
        const char* binding;
        const char* event;
        bool match;
    };
    const Case cases[] = {
        {"ctrl+q", "C-q", true},      {"ctrl+q", "C-Q", true},       {"ctrl+q", "CA-q", false},
        {"ctrl+q", "q", false},       {"ctrl+shift+a", "CS-A", true}, {"up", "Up", true},
        {"up", "R-Up", true},         {"up", "S-Up", false},         {"space", " ", true},
        {"f", "f", true},             {"f", "F5", false},            {"f5", "F5", true},
        {"f6", "F5", false},          {"enter", "Enter", true},      {"enter", "\n", false},
        {"backtab", "BackTab", true}, {"tab", "BackTab", false},     {"x", "y", false},
    };
    for (const auto& c : cases) {
        const auto b = std::get<KeyBinding>(KeyBinding::parse(c.binding));
        EXPECT_EQ(b.matches(key(c.event)), c.match) << c.binding << " vs " << c.event;
    }
    KeyEvent super_q = key("C-q");
    super_q.modifiers |= terminal::key_modifiers::SUPER | terminal::key_modifiers::META;
    EXPECT_TRUE(std::get<KeyBinding>(KeyBinding::parse("ctrl+q")).matches(super_q));
}
