// Module start-up: `PyInit_native` and the execution step that registers every class and
// function in a fixed order, creates the engine module and publishes both in sys.modules.
//
// Every name comes from the registry (each binding file registers its own). A row marked P(...)
// may still lack its binding: a placeholder with the class properties it will have stands in,
// so that the module's shape is complete from the start. The start-up refuses to finish when the
// registrations and the rows disagree (see runtime/README.md).
//
// TARVO_VERSION comes from the build, which reads it from pyproject.toml.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {
namespace {

using namespace rows;

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
        P(C("Frame", nullptr, "Frame context valid only for the duration of a `Terminal.draw` callback.")),
        P(C("CompletedFrame", nullptr, "Snapshot of terminal state after a successful draw.")), P(C("Terminal")),
        C("KeyEventKind"), C("KeyEventState"), C("KeyModifiers"), C("KeyCode"), C("MouseButton"),
        C("MouseEventKind"), C("MouseEvent"), C("KeyEvent"), P(F("restore_terminal", "()")),
        P(F("poll_event", "(timeout_ms)")), P(F("read_event", "()")),
        // cursor
        P(C("CursorStyle")), P(F("show_cursor", "()")), P(F("hide_cursor", "()")), P(F("save_cursor_position", "()")),
        P(F("restore_cursor_position", "()")), P(F("move_cursor_to", "(x, y)")), P(F("move_cursor_to_column", "(x)")),
        P(F("move_cursor_to_row", "(y)")), P(F("move_cursor_up", "(count=1)")), P(F("move_cursor_down", "(count=1)")),
        P(F("move_cursor_left", "(count=1)")), P(F("move_cursor_right", "(count=1)")),
        P(F("move_cursor_to_next_line", "(count=1)")), P(F("move_cursor_to_previous_line", "(count=1)")),
        P(F("enable_cursor_blinking", "()")), P(F("disable_cursor_blinking", "()")), P(F("set_cursor_style", "(style)")),
        P(F("get_cursor_position", "()")),
        // terminal modes
        P(C("ClearType")), P(F("enable_raw_mode", "()")), P(F("disable_raw_mode", "()")), P(F("is_raw_mode_enabled", "()")),
        P(F("terminal_size", "()")), P(F("terminal_window_size", "()")), P(F("scroll_up", "(count=1)")),
        P(F("scroll_down", "(count=1)")), P(F("clear_terminal", "(clear_type)")), P(F("enter_alternate_screen", "()")),
        P(F("leave_alternate_screen", "()")), P(F("set_terminal_title", "(title)")), P(F("enable_line_wrap", "()")),
        P(F("disable_line_wrap", "()")), P(F("begin_synchronized_update", "()")), P(F("end_synchronized_update", "()")),
        P(F("supports_keyboard_enhancement", "()")),
        // input modes
        P(C("KeyboardEnhancementFlags")), P(F("enable_mouse_capture", "()")), P(F("disable_mouse_capture", "()")),
        P(F("enable_bracketed_paste", "()")), P(F("disable_bracketed_paste", "()")), P(F("enable_focus_change", "()")),
        P(F("disable_focus_change", "()")), P(F("push_keyboard_enhancement_flags", "(flags)")),
        P(F("pop_keyboard_enhancement_flags", "()")),
        // console
        P(C("ConsoleColor")), P(C("ConsoleAttribute")),
        P(F("set_foreground_color", "(color, *, ansi_value=None, rgb=None)")),
        P(F("set_background_color", "(color, *, ansi_value=None, rgb=None)")), P(F("reset_color", "()")),
        P(F("set_attribute", "(attribute)")),
        P(F("print_styled_content",
          "(text, *, foreground=None, background=None, attribute=None, foreground_ansi=None, "
          "background_ansi=None, foreground_rgb=None, background_rgb=None)")),
        P(F("print_text", "(text)")), P(F("flush_stdout_buffer", "()")),
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
        C("CoreTerminalEventKind"), C("CoreTickEvent"), C("CoreEvent"), P(C("CoreRenderContent")),
        P(C("CoreRenderNode",
          "(*, x=None, y=None, width=None, height=None, direction=None, gap=0, constraints=None, margin=None, "
          "content=None, cursor_hint=None, effect_key=None, z=0, visible=True, children=None)")),
        P(C("IrLine")), P(C("CoreRenderIR")),
        C("CoreKeyBinding"),
        P(C("CoreSession")), P(C("CoreTerminalRef")),
        C("CoreTextEditor"),
    };
    return rows;
}

constexpr const char* kEngineDoc =
    "tarvo_core.rust.engine\n"
    "\n"
    "Runtime shim for the C++-implemented engine submodule. Importing\n"
    ":mod:`tarvo_core.rust.native` registers the real module object on\n"
    "``sys.modules`` under this name.";

int exec_native(PyObject* module) {
    return guard(
        [&]() -> int {
            if (!PyModule_Check(module)) raise_wrong_class(module, "module");
            add_rows(module, native_rows(), kNativeModule);

            Ref engine = Ref::steal(check(PyModule_New("engine")));
            add_rows(engine.get(), engine_rows(), kEngineModule);
            check_startup({&native_rows(), &engine_rows()});

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

            add_attribute(module, "engine", engine.get());
            for (const char* name : {"CoreEvent", "CoreTickEvent", "CoreTerminalEventKind"}) {
                Ref cls = Ref::steal(check(PyObject_GetAttrString(engine.get(), name)));
                add_attribute(module, name, cls.get());
            }
            Ref version = Ref::steal(check(PyUnicode_FromString(TARVO_VERSION)));
            add_attribute(module, "__version__", version.get());
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
