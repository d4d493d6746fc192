// Module start-up: `PyInit_native` and the execution step that registers every class and
// function in a fixed order, creates the engine module and publishes both in sys.modules.
//
// Every name comes from the registry (each binding file registers its own). A name that no
// binding provides yet is registered as a placeholder with the class properties it will have,
// so that the module's shape is complete from the start.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {
namespace {

enum class Kind { Class, Function };

struct Row {
    Kind kind;
    const char* name;
    const char* signature = nullptr;  // constructor or function text signature (placeholders)
    const char* doc = nullptr;        // class or function documentation (placeholders)
};

constexpr Row C(const char* name, const char* ctor = nullptr, const char* doc = nullptr) {
    return Row{Kind::Class, name, ctor, doc};
}
constexpr Row F(const char* name, const char* sig, const char* doc = nullptr) {
    return Row{Kind::Function, name, sig, doc};
}

// The native module, in registration order.
const std::vector<Row>& native_rows() {
    static const std::vector<Row> rows = {
        // value and layout classes
        C("Rect"), C("Margin"), C("Direction"), C("Alignment"), C("Flex"), C("Constraint"), C("Offset"),
        C("Size"), C("LayoutSpacing"), C("Layout"),
        // colour
        C("Color"), C("Modifier"), C("Style"), F("color_from_hsl", "(h, s, l)"), F("color_from_hex", "(value)"),
        F("color_to_hsl", "(color)"), F("color_to_srgb", "(color)"),
        F("interpolate_colors", "(a, b, t, space=\"rgb\")"), F("color_lerp", "(a, b, t)"),
        F("tailwind_color", "(name, shade)"),
        // text
        C("Span"), C("Line"), C("Text"),
        F("styled_span", "(content, fg=None, bg=None, modifiers=None)",
          "Create a styled span from a string and style shorthand methods."),
        // widgets
        C("Borders"), C("BorderSet"), C("BorderType"), C("TitlePosition"), C("HighlightSpacing"),
        C("Wrap", "(trim=False)"), C("Block"), C("Paragraph"), C("ListItem"), C("ListDirection"), C("RatList"),
        C("ListState", "()"), C("Gauge"), C("Clear"), C("Padding"), C("Position"), C("Cell"), C("Row"),
        C("RatTable"), C("TableState", "()"), C("Scrollbar"), C("ScrollbarOrientation"), C("ScrollDirection"),
        C("ScrollbarState", "(content_length)"), C("Tabs"), C("SparklineBar"), C("Sparkline"), C("LineGauge"),
        C("Bar"), C("BarGroup"), C("BarChart"), C("GraphType"), C("LegendPosition"), C("Marker"), C("Dataset"),
        C("Axis"), C("Chart"), C("Canvas"),
        // buffers
        C("BufferCell"), C("Buffer"),
        C("BufferMutView", nullptr, "Mutable view onto a live buffer, valid only for the duration of a drawable callback."),
        F("render_widget", "(widget, area, buffer)", "Render any supported widget into a buffer region."),
        F("render_stateful_widget", "(widget, area, state, buffer)",
          "Render any supported stateful widget into a buffer region."),
        // terminal and events
        C("Frame", nullptr, "Frame context valid only for the duration of a `Terminal.draw` callback."),
        C("CompletedFrame", nullptr, "Snapshot of terminal state after a successful draw."), C("Terminal"),
        C("KeyEventKind"), C("KeyEventState"), C("KeyModifiers"), C("KeyCode"), C("MouseButton"),
        C("MouseEventKind"), C("MouseEvent"), C("KeyEvent"), F("restore_terminal", "()"),
        F("poll_event", "(timeout_ms)"), F("read_event", "()"),
        // cursor
        C("CursorStyle"), F("show_cursor", "()"), F("hide_cursor", "()"), F("save_cursor_position", "()"),
        F("restore_cursor_position", "()"), F("move_cursor_to", "(x, y)"), F("move_cursor_to_column", "(x)"),
        F("move_cursor_to_row", "(y)"), F("move_cursor_up", "(count=1)"), F("move_cursor_down", "(count=1)"),
        F("move_cursor_left", "(count=1)"), F("move_cursor_right", "(count=1)"),
        F("move_cursor_to_next_line", "(count=1)"), F("move_cursor_to_previous_line", "(count=1)"),
        F("enable_cursor_blinking", "()"), F("disable_cursor_blinking", "()"), F("set_cursor_style", "(style)"),
        F("get_cursor_position", "()"),
        // terminal modes
        C("ClearType"), F("enable_raw_mode", "()"), F("disable_raw_mode", "()"), F("is_raw_mode_enabled", "()"),
        F("terminal_size", "()"), F("terminal_window_size", "()"), F("scroll_up", "(count=1)"),
        F("scroll_down", "(count=1)"), F("clear_terminal", "(clear_type)"), F("enter_alternate_screen", "()"),
        F("leave_alternate_screen", "()"), F("set_terminal_title", "(title)"), F("enable_line_wrap", "()"),
        F("disable_line_wrap", "()"), F("begin_synchronized_update", "()"), F("end_synchronized_update", "()"),
        F("supports_keyboard_enhancement", "()"),
        // input modes
        C("KeyboardEnhancementFlags"), F("enable_mouse_capture", "()"), F("disable_mouse_capture", "()"),
        F("enable_bracketed_paste", "()"), F("disable_bracketed_paste", "()"), F("enable_focus_change", "()"),
        F("disable_focus_change", "()"), F("push_keyboard_enhancement_flags", "(flags)"),
        F("pop_keyboard_enhancement_flags", "()"),
        // console
        C("ConsoleColor"), C("ConsoleAttribute"),
        F("set_foreground_color", "(color, *, ansi_value=None, rgb=None)"),
        F("set_background_color", "(color, *, ansi_value=None, rgb=None)"), F("reset_color", "()"),
        F("set_attribute", "(attribute)"),
        F("print_styled_content",
          "(text, *, foreground=None, background=None, attribute=None, foreground_ansi=None, "
          "background_ansi=None, foreground_rgb=None, background_rgb=None)"),
        F("print_text", "(text)"), F("flush_stdout_buffer", "()"),
        // effects
        C("Effect"), C("Motion"), C("Interpolation"), C("ColorSpace"), C("Duration"), C("EffectTimer"),
        C("RepeatMode"), C("RefRect"), C("RadialPattern"), C("ExpandDirection"), C("EvolveSymbolSet"),
        C("CellFilter"), C("EffectManager", "()"),
        F("fade_to_fg", "(color, duration_ms, interpolation=None)"),
        F("fade_from_fg", "(color, duration_ms, interpolation=None)"),
        F("fade_to", "(fg, bg, duration_ms, interpolation=None)"),
        F("fade_from", "(fg, bg, duration_ms, interpolation=None)"),
        F("paint", "(fg, bg, duration_ms, interpolation=None)"), F("paint_fg", "(fg, duration_ms, interpolation=None)"),
        F("paint_bg", "(bg, duration_ms, interpolation=None)"),
        F("slide_in", "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)"),
        F("slide_out", "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)"),
        F("sweep_in", "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)"),
        F("sweep_out", "(direction, gradient_length, randomness, color, duration_ms, interpolation=None)"),
        F("dissolve", "(duration_ms, interpolation=None)"), F("dissolve_to", "(style, duration_ms, interpolation=None)"),
        F("coalesce", "(duration_ms, interpolation=None)"),
        F("coalesce_from", "(style, duration_ms, interpolation=None)"), F("sleep_effect", "(duration_ms)"),
        F("sequence_effects", "(effects)"), F("parallel_effects", "(effects)"), F("repeating_effect", "(effect)"),
        F("ping_pong_effect", "(effect)"), F("repeat_effect", "(effect, times=None, duration_ms=None)"),
        F("delay_effect", "(duration_ms, effect)"), F("prolong_start_effect", "(duration_ms, effect)"),
        F("prolong_end_effect", "(duration_ms, effect)"),
        F("saturate", "(duration_ms, fg=None, bg=None, interpolation=None)"),
        F("saturate_fg", "(fg, duration_ms, interpolation=None)"),
        F("saturate_bg", "(bg, duration_ms, interpolation=None)"),
        F("lighten", "(duration_ms, fg=None, bg=None, interpolation=None)"),
        F("lighten_fg", "(fg, duration_ms, interpolation=None)"), F("lighten_bg", "(bg, duration_ms, interpolation=None)"),
        F("darken", "(duration_ms, fg=None, bg=None, interpolation=None)"),
        F("darken_fg", "(fg, duration_ms, interpolation=None)"), F("darken_bg", "(bg, duration_ms, interpolation=None)"),
        F("hsl_shift", "(duration_ms, fg_h=None, fg_s=None, fg_l=None, bg_h=None, bg_s=None, bg_l=None, interpolation=None)"),
        F("hsl_shift_fg", "(h, s, l, duration_ms, interpolation=None)"),
        F("hsl_shift_bg", "(h, s, l, duration_ms, interpolation=None)"),
        F("evolve_effect", "(symbols, duration_ms, style=None, interpolation=None)"),
        F("evolve_into_effect", "(symbols, duration_ms, style=None, interpolation=None)"),
        F("evolve_from_effect", "(symbols, duration_ms, style=None, interpolation=None)"),
        F("explode_effect", "(force, force_rng_factor, duration_ms, interpolation=None)"),
        F("glitch_effect",
          "(cell_glitch_ratio, action_start_delay_min_ms, action_start_delay_max_ms, action_min_ms, action_max_ms, "
          "filter=None, seed=None)"),
        F("translate_effect", "(effect, translate_by, duration_ms, interpolation=None)"),
        F("expand_effect", "(direction, style, duration_ms, interpolation=None)"),
        F("stretch_effect", "(direction, style, duration_ms, interpolation=None)"),
        F("resize_area_effect", "(initial_size, duration_ms, effect=None, interpolation=None)"),
        F("freeze_at_effect", "(alpha, set_raw_alpha, effect)"),
        F("remap_alpha_effect", "(alpha_start, alpha_end, effect)"), F("never_complete_effect", "(effect)"),
        F("run_once_effect", "(effect)"), F("consume_tick_effect", "()"),
        F("with_duration_effect", "(duration_ms, effect)"), F("timed_never_complete_effect", "(duration_ms, effect)"),
    };
    return rows;
}

// The engine module, in registration order.
const std::vector<Row>& engine_rows() {
    static const std::vector<Row> rows = {
        C("CoreTerminalEventKind"), C("CoreTickEvent"), C("CoreEvent"), C("CoreRenderContent"),
        C("CoreRenderNode",
          "(*, x=None, y=None, width=None, height=None, direction=None, gap=0, constraints=None, margin=None, "
          "content=None, cursor_hint=None, effect_key=None, z=0, visible=True, children=None)"),
        C("IrLine"), C("CoreRenderIR"),
        C("CoreKeyBinding", nullptr,
          "Parsed form of an tarvo keyboard binding string such as ``\"ctrl+q\"``.\n"
          "Matching is done entirely inside the native code and needs no string handling on the Python side."),
        C("CoreSession"), C("CoreTerminalRef"),
        C("CoreTextEditor", "(text=\"\", *, single_line=False)",
          "Stateful text editor engine backing multi-line `Text` input fields."),
    };
    return rows;
}

constexpr const char* kEngineDoc =
    "tarvo_core.rust.engine\n"
    "\n"
    "Runtime shim for the C++-implemented engine submodule. Importing\n"
    ":mod:`tarvo_core.rust.native` registers the real module object on\n"
    "``sys.modules`` under this name.";

// ---- placeholders for names whose binding has not been written yet ----

PyObject* placeholder_new(PyTypeObject* type, PyObject*, PyObject*) {
    std::string msg = type_name_of_type(type) + " is not available in this build yet";
    PyErr_SetString(PyExc_NotImplementedError, msg.c_str());
    return nullptr;
}

void placeholder_dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free))(self);
    Py_DECREF(type);
}

PyTypeObject* make_placeholder_class(const Row& row, const char* module) {
    std::vector<PyType_Slot> slots{{Py_tp_dealloc, reinterpret_cast<void*>(&placeholder_dealloc)}};
    unsigned int flags = Py_TPFLAGS_DEFAULT;
    std::string doc;
    if (row.signature) {
        doc = std::string(row.name) + row.signature + "\n--\n\n" + (row.doc ? row.doc : "");
        slots.push_back({Py_tp_new, reinterpret_cast<void*>(&placeholder_new)});
    } else {
        flags |= Py_TPFLAGS_DISALLOW_INSTANTIATION;
        if (row.doc) doc = row.doc;
    }
    if (!doc.empty()) slots.push_back({Py_tp_doc, const_cast<char*>(detail::keep(doc))});
    slots.push_back({0, nullptr});
    auto* spec = new PyType_Spec{detail::keep(std::string(module) + "." + row.name),
                                 static_cast<int>(sizeof(PyObject)), 0, flags, detail::keep_array(std::move(slots))};
    return reinterpret_cast<PyTypeObject*>(check(PyType_FromSpec(spec)));
}

// Class objects are process-wide: a later execution of the module reuses them.
PyTypeObject* placeholder_class(const Row& row, const char* module) {
    static std::map<std::string, PyTypeObject*, std::less<>> made;
    auto it = made.find(row.name);
    if (it == made.end()) it = made.emplace(row.name, make_placeholder_class(row, module)).first;
    return it->second;
}

PyObject* placeholder_function_call(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);

PyMethodDef* placeholder_function(const Row& row) {
    static std::map<std::string, PyMethodDef*, std::less<>> made;
    auto it = made.find(row.name);
    if (it != made.end()) return it->second;
    std::string doc = std::string(row.name) + row.signature + "\n--\n\n" + (row.doc ? row.doc : "");
    auto* def = new PyMethodDef{row.name,
                                reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&placeholder_function_call)),
                                METH_FASTCALL | METH_KEYWORDS, detail::keep(doc)};
    made.emplace(row.name, def);
    return def;
}

PyObject* placeholder_function_call(PyObject*, PyObject* const*, Py_ssize_t, PyObject*) {
    PyErr_SetString(PyExc_NotImplementedError, "this function is not available in this build yet");
    return nullptr;
}

// ---- the module add of every row ----

void module_add(PyObject* module, const char* name, PyObject* value) {
    Ref all = Ref::steal(PyObject_GetAttrString(module, "__all__"));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) throw PyError{};
        PyErr_Clear();
        all = Ref::steal(check(PyList_New(0)));
        if (PyObject_SetAttrString(module, "__all__", all.get()) != 0) throw PyError{};
    } else if (!PyList_Check(all.get())) {
        raise_wrong_class(all.get(), "list");
    }
    Ref text = Ref::steal(PyUnicode_FromString(name));
    if (!text) {
        PyErr_Clear();
        raise_panic("could not create the name of a module attribute");
    }
    if (PyList_Append(all.get(), text.get()) != 0) {
        PyErr_Clear();
        raise_panic("could not append __name__ to __all__");
    }
    if (PyObject_SetAttr(module, text.get(), value) != 0) throw PyError{};
}

void add_row(PyObject* module, const Row& row, const char* module_name) {
    if (row.kind == Kind::Class) {
        ClassFactory factory = find_class(row.name);
        PyTypeObject* type = factory ? factory() : placeholder_class(row, module_name);
        module_add(module, row.name, reinterpret_cast<PyObject*>(type));
        return;
    }
    PyMethodDef* def = find_function(row.name);
    if (!def) def = placeholder_function(row);
    Ref mod_name = Ref::steal(check(PyObject_GetAttrString(module, "__name__")));
    Ref fn = Ref::steal(check(PyCFunction_NewEx(def, module, mod_name.get())));
    module_add(module, row.name, fn.get());
}

int exec_native(PyObject* module) {
    return guard(
        [&]() -> int {
            if (!PyModule_Check(module)) raise_wrong_class(module, "module");
            for (const Row& row : native_rows()) add_row(module, row, kNativeModule);

            Ref engine = Ref::steal(check(PyModule_New("engine")));
            for (const Row& row : engine_rows()) add_row(engine.get(), row, kEngineModule);

            static PyObject* engine_name = PyUnicode_InternFromString(kEngineModule);
            static PyObject* engine_package = PyUnicode_InternFromString("tarvo_core.rust");
            if (!engine_name || !engine_package) throw PyError{};
            if (PyObject_SetAttrString(engine.get(), "__name__", engine_name) != 0) throw PyError{};
            if (PyObject_SetAttrString(engine.get(), "__package__", engine_package) != 0) throw PyError{};
            Ref doc = Ref::steal(check(PyUnicode_FromString(kEngineDoc)));
            if (PyObject_SetAttrString(engine.get(), "__doc__", doc.get()) != 0) throw PyError{};

            Ref sys = Ref::steal(check(PyImport_ImportModule("sys")));
            Ref modules = Ref::steal(check(PyObject_GetAttrString(sys.get(), "modules")));
            Ref native_key = Ref::steal(check(PyUnicode_FromString(kNativeModule)));
            if (PyObject_SetItem(modules.get(), native_key.get(), module) != 0) throw PyError{};
            if (PyObject_SetItem(modules.get(), engine_name, engine.get()) != 0) throw PyError{};

            module_add(module, "engine", engine.get());
            for (const char* name : {"CoreEvent", "CoreTickEvent", "CoreTerminalEventKind"}) {
                Ref cls = Ref::steal(check(PyObject_GetAttrString(engine.get(), name)));
                module_add(module, name, cls.get());
            }
            Ref version = Ref::steal(check(PyUnicode_FromString("0.0.17")));
            module_add(module, "__version__", version.get());
            return 0;
        },
        -1);
}

PyModuleDef_Slot module_slots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(&exec_native)},
    {0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT, "native", "", 0, nullptr, module_slots, nullptr, nullptr, nullptr,
};

}  // namespace
}  // namespace tarvo::bindings

extern "C" __attribute__((visibility("default"))) PyObject* PyInit_native() {
    return PyModuleDef_Init(&tarvo::bindings::module_def);
}
