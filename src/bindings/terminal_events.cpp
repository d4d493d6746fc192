// KeyEvent, MouseEvent, their enumerations and the KeyModifiers and KeyEventState flag sets.

#include "bindings/terminal_events.hpp"

#include <string_view>
#include <utility>

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace term = core::terminal;

namespace {

// A method with a docstring after its text signature.
template <typename Tag, typename L>
PyMethodDef documented(const char* name, const char* sig, L fn, const char* doc) {
    PyMethodDef def = method_def<Tag>(name, sig, fn);
    def.ml_doc = detail::keep(std::string(name) + sig + "\n--\n\n" + doc);
    return def;
}

// ---- key tests by terminal key tag ----

template <term::KeyTag T>
struct KeyIs {
    PyObject* operator()(const term::KeyRecord& k) const { return to_py(k.code.tag == T); }
};

std::size_t count_code_points(std::string_view s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

char32_t first_code_point(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    if (p[0] < 0x80) return p[0];
    if (p[0] < 0xE0) return (char32_t(p[0] & 0x1F) << 6) | (p[1] & 0x3F);
    if (p[0] < 0xF0) return (char32_t(p[0] & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    return (char32_t(p[0] & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) | (char32_t(p[2] & 0x3F) << 6) |
           (p[3] & 0x3F);
}

PyObject* char_of(const term::KeyRecord& k) {
    if (k.code.tag != term::KeyTag::Char) return none();
    std::string s;
    const char32_t c = k.code.ch();
    // The character as UTF-8 (a key's character is always a Unicode scalar value).
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return to_py(s);
}

term::KeyKind kind_of(const term::KeyRecord& k) { return k.event().kind; }

}  // namespace

// ---- KeyModifiers and KeyEventState ----

PyTypeObject* KeyModifiersClass::create() {
    namespace m = term::key_modifiers;
    return FlagClassBuilder<KeyModifiersClass>()
        .bits_getter()
        .union_operator()
        .contains<m::ALL>()
        .test<m::SHIFT>("shift")
        .test<m::CONTROL>("control")
        .test<m::ALT>("alt")
        .test<m::SUPER>("super_")
        .test<m::HYPER>("hyper")
        .test<m::META>("meta")
        .build();
}

PyTypeObject* KeyEventStateClass::create() {
    namespace s = term::key_state;
    return FlagClassBuilder<KeyEventStateClass>()
        .bits_getter()
        .test<s::KEYPAD>("keypad")
        .test<s::CAPS_LOCK>("caps_lock")
        .test<s::NUM_LOCK>("num_lock")
        .build();
}

// ---- KeyEvent ----

PyTypeObject* KeyEventClass::create() {
    using T = term::KeyTag;
    ClassBuilder<KeyEventClass> b;
    b.getter("code_name",
             [](const term::KeyRecord& k) {
                 return enum_variant<KeyCodeClass>(k.code_index < KeyCodeClass::variants.size() ? k.code_index
                                                                                               : term::kKeyCodeOther);
             })
        .getter("kind",
                [](const term::KeyRecord& k) {
                    return enum_variant<KeyEventKindClass>(static_cast<std::uint8_t>(kind_of(k)));
                })
        .getter("modifiers", [](const term::KeyRecord& k) { return make<KeyModifiersClass>(k.modifiers); })
        .getter("state", [](const term::KeyRecord& k) { return make<KeyEventStateClass>(k.state); })
        .method("char", "($self)", [](const term::KeyRecord& k) { return char_of(k); })
        .method("char_value", "($self)", [](const term::KeyRecord& k) { return char_of(k); })
        .method("function_number", "($self)",
                [](const term::KeyRecord& k) -> PyObject* {
                    if (k.code.tag != T::F) return none();
                    return to_py(static_cast<std::uint8_t>(k.code.payload));
                })
        .method("is_char", "($self, ch)",
                [](const term::KeyRecord& k, Args& a) {
                    const std::string ch = a.get<std::string>(0);
                    if (count_code_points(ch) != 1)
                        with_note("ch", [] { raise(PyExc_ValueError, "expected a string of length 1"); });
                    return to_py(k.code.tag == T::Char && k.code.ch() == first_code_point(ch));
                })
        .raw_method(documented<KeyEventClass>(
            "keyboard_kind_str", "($self)",
            [](const term::KeyRecord& k) { return to_py(term::key_kind_text(kind_of(k))); },
            "Returns the key event kind as a string: \"press\", \"repeat\" or \"release\".\n"
            "Callers can branch on it directly, with no comparison on the Python side."))
        .method("is_backspace", "($self)", KeyIs<T::Backspace>{})
        .method("is_enter", "($self)", KeyIs<T::Enter>{})
        .method("is_left", "($self)", KeyIs<T::Left>{})
        .method("is_right", "($self)", KeyIs<T::Right>{})
        .method("is_up", "($self)", KeyIs<T::Up>{})
        .method("is_down", "($self)", KeyIs<T::Down>{})
        .method("is_home", "($self)", KeyIs<T::Home>{})
        .method("is_end", "($self)", KeyIs<T::End>{})
        .method("is_page_up", "($self)", KeyIs<T::PageUp>{})
        .method("is_page_down", "($self)", KeyIs<T::PageDown>{})
        .method("is_tab", "($self)",
                [](const term::KeyRecord& k) { return to_py(k.code.tag == T::Tab || k.code.tag == T::BackTab); })
        .method("is_back_tab", "($self)", KeyIs<T::BackTab>{})
        .method("is_delete", "($self)", KeyIs<T::Delete>{})
        .method("is_insert", "($self)", KeyIs<T::Insert>{})
        .method("is_function_key", "($self)", KeyIs<T::F>{})
        .method("is_null", "($self)", KeyIs<T::Null>{})
        .method("is_esc", "($self)", KeyIs<T::Esc>{})
        .method("is_caps_lock", "($self)", KeyIs<T::CapsLock>{})
        .method("is_scroll_lock", "($self)", KeyIs<T::ScrollLock>{})
        .method("is_num_lock", "($self)", KeyIs<T::NumLock>{})
        .repr([](const term::KeyRecord& k) {
            return "KeyEvent(" + term::key_code_text(k.code) + ", " + std::string(term::key_kind_name(kind_of(k))) +
                   ")";
        });
    return b.build();
}

// ---- MouseEvent ----

PyTypeObject* MouseEventClass::create() {
    ClassBuilder<MouseEventClass> b;
    b.getter("kind", [](const MouseEventValue& m) { return to_py(m.kind); })
        .getter("button", [](const MouseEventValue& m) { return to_py(m.button); })
        .getter("column", [](const MouseEventValue& m) { return to_py(m.column); })
        .getter("x", [](const MouseEventValue& m) { return to_py(m.column); })
        .getter("row", [](const MouseEventValue& m) { return to_py(m.row); })
        .getter("y", [](const MouseEventValue& m) { return to_py(m.row); })
        .getter("event_kind",
                [](const MouseEventValue& m) {
                    return enum_variant<MouseEventKindClass>(m.kind_index < term::kMouseKindCount ? m.kind_index : 3);
                })
        .getter("mouse_button",
                [](const MouseEventValue& m) { return enum_variant<MouseButtonClass>(m.button_index < 4 ? m.button_index : 3); })
        .getter("modifiers", [](const MouseEventValue& m) { return make<KeyModifiersClass>(m.modifiers); })
        .raw_method(documented<MouseEventClass>(
            "tarvo_kind_str", "($self)",
            [](const MouseEventValue& m) {
                return to_py(term::mouse_kind_short_text(static_cast<term::MouseKind>(m.kind_index)));
            },
            "Returns the tarvo-style mouse kind string: one of \"press\", \"release\", \"drag\", \"move\",\n"
            "\"scroll_up\", \"scroll_down\", \"scroll_left\" or \"scroll_right\"."))
        .raw_method(documented<MouseEventClass>(
            "tarvo_button_str", "($self)", [](const MouseEventValue& m) { return to_py(m.button); },
            "Returns the tarvo-style mouse button string: one of \"left\", \"right\", \"middle\" or \"none\"."));
    return b.build();
}

// ---- helpers ----

PyObject* make_key_event(const term::KeyRecord& key) { return make<KeyEventClass>(key); }

bool is_key_event(PyObject* obj) { return obj && is_instance<KeyEventClass>(obj); }

term::KeyEvent key_event_of(PyObject* obj) { return value_of<KeyEventClass>(obj).event(); }

TARVO_REGISTER_CLASS(KeyEventKindClass);
TARVO_REGISTER_CLASS(KeyEventStateClass);
TARVO_REGISTER_CLASS(KeyModifiersClass);
TARVO_REGISTER_CLASS(KeyCodeClass);
TARVO_REGISTER_CLASS(MouseButtonClass);
TARVO_REGISTER_CLASS(MouseEventKindClass);
TARVO_REGISTER_CLASS(MouseEventClass);
TARVO_REGISTER_CLASS(KeyEventClass);

}  // namespace tarvo::bindings
