// CoreTextEditor: the editable text of input fields and text areas. Python feeds it key events
// and pastes and reads back the text, the lines and the cursor; it never draws.

#include <string>

#include "bindings/runtime/registry.hpp"
#include "bindings/terminal_events.hpp"
#include "core/editor/text_editor.hpp"

namespace tarvo::bindings {

namespace {

using core::editor::TextEditor;

struct CoreTextEditorClass {
    using Value = TextEditor;
    static constexpr const char* name = "CoreTextEditor";
    static constexpr const char* module = kEngineModule;
    static constexpr const char* thread_path = "tarvo_core::bindings::engine::editor::PyTextEditor";
    static PyTypeObject* create();
};

}  // namespace

PyTypeObject* CoreTextEditorClass::create() {
    return ClassBuilder<CoreTextEditorClass>()
        .constructor(
            "(text=\"\", *, single_line=False)",
            [](Args& a) {
                const std::string text = a.get_or<std::string>(0, "");
                const bool single_line = a.get_or<bool>(1, false);
                return TextEditor(text, single_line);
            },
            "Stateful text editor engine backing multi-line `Text` input fields.")
        .method(
            "input", "($self, key)",
            [](TextEditor& e, Args& a) { return to_py(e.input(a.value<KeyEventClass>(0).event())); },
            "Feed one key event; returns True when it changed the text.\n\n"
            "Tab, BackTab and Esc always fall through unhandled (focus navigation and key hooks own\n"
            "them), and so does Enter in single-line mode; key releases are ignored.")
        .method(
            "insert_text", "($self, text)",
            [](TextEditor& e, Args& a) {
                e.insert_text(a.get<std::string>(0));
                return none();
            },
            "Insert text at the cursor, replacing the selection (the paste path). In single-line mode\n"
            "every line break becomes a space.")
        .method(
            "set_text", "($self, text)",
            [](TextEditor& e, Args& a) {
                e.set_text(a.get<std::string>(0));
                return none();
            },
            "Replace the whole content; the cursor ends at the end of the new text.")
        .method("set_placeholder_text", "($self, text)",
                [](TextEditor& e, Args& a) {
                    e.set_placeholder_text(a.get<std::string>(0));
                    return none();
                })
        .method(
            "text", "($self)", [](const TextEditor& e) { return to_py(std::string_view(e.text())); },
            "The whole content as one string, lines joined by \"\\n\".")
        .method(
            "lines", "($self)",
            [](const TextEditor& e) {
                return list_of(e.lines(), [](const std::string& l) { return to_py(std::string_view(l)); });
            },
            "The content as a list with one string per line.")
        .method(
            "cursor", "($self)",
            [](const TextEditor& e) {
                const auto c = e.cursor();
                return tuple_of({to_py(static_cast<std::uint64_t>(c.row)), to_py(static_cast<std::uint64_t>(c.col))});
            },
            "The cursor position as (row, column), both 0-based; the column counts characters.")
        .method("undo", "($self)", [](TextEditor& e) { return to_py(e.undo()); })
        .method("redo", "($self)", [](TextEditor& e) { return to_py(e.redo()); })
        .repr([](const TextEditor& e) { return e.repr(); })
        .build();
}

TARVO_REGISTER_CLASS(CoreTextEditorClass);

}  // namespace tarvo::bindings
