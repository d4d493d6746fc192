#include "bindings/style.hpp"

#include <array>
#include <string>

#include "bindings/builders.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/palette.hpp"

namespace tarvo::bindings {

namespace {

using core::Color;
using core::Style;

// A float argument: anything the interpreter turns into a float, narrowed to single precision.
float float_arg(Args& a, std::size_t i) { return core::narrow_to_float(a.get<double>(i)); }

PyObject* float_triple(float x, float y, float z) {
    Ref a = Ref::steal(to_py(x));
    Ref b = Ref::steal(to_py(y));
    Ref c = Ref::steal(to_py(z));
    return tuple_of({a.release(), b.release(), c.release()});
}

PyObject* color_result(const core::ColorResult& r) {
    if (!r.ok()) raise(PyExc_ValueError, r.error);
    return color_to_py(r.color);
}

PyObject* not_implemented() { Py_RETURN_NOTIMPLEMENTED; }

// ---- Color slots ----

PyObject* color_richcompare(PyObject* self, PyObject* other, int op) {
    return guard([&]() -> PyObject* {
        if (op == Py_NE) {
            // The negation of the interpreter's own == of the same two objects.
            Ref eq = Ref::steal(check(PyObject_RichCompare(self, other, Py_EQ)));
            const int truth = PyObject_IsTrue(eq.get());
            if (truth < 0) throw PyError{};
            return to_py(!truth);
        }
        if (op != Py_EQ || !is_instance<ColorClass>(other)) return not_implemented();
        const Color a = value_of<ColorClass>(self);
        const Color b = value_of<ColorClass>(other);
        return to_py(core::color_equal(a, b));
    });
}

Py_hash_t color_hash(PyObject* self) {
    return guard([&]() -> Py_hash_t { return static_cast<Py_hash_t>(core::color_hash(value_of<ColorClass>(self))); },
                 Py_hash_t{-1});
}

constexpr std::array<std::pair<const char*, Color::Tag>, 17> kColorConstants = {{
    {"RESET", Color::Reset}, {"BLACK", Color::Black}, {"RED", Color::Red}, {"GREEN", Color::Green},
    {"YELLOW", Color::Yellow}, {"BLUE", Color::Blue}, {"MAGENTA", Color::Magenta}, {"CYAN", Color::Cyan},
    {"GRAY", Color::Gray}, {"DARK_GRAY", Color::DarkGray}, {"LIGHT_RED", Color::LightRed},
    {"LIGHT_GREEN", Color::LightGreen}, {"LIGHT_YELLOW", Color::LightYellow}, {"LIGHT_BLUE", Color::LightBlue},
    {"LIGHT_MAGENTA", Color::LightMagenta}, {"LIGHT_CYAN", Color::LightCyan}, {"WHITE", Color::White},
}};

}  // namespace

PyTypeObject* ColorClass::create() {
    ClassBuilder<ColorClass> b;
    b.static_method("parse", "(value)",
                    [](Args& a) {
                        const std::string text = a.get<std::string>(0);
                        const auto c = core::parse_color(text);
                        if (!c) raise(PyExc_ValueError, "Failed to parse Colors");
                        return color_to_py(*c);
                    })
        .static_method("indexed", "(value)",
                       [](Args& a) { return color_to_py(Color::indexed(a.get<std::uint8_t>(0))); })
        .static_method("rgb", "(r, g, b)",
                       [](Args& a) {
                           const auto r = a.get<std::uint8_t>(0);
                           const auto g = a.get<std::uint8_t>(1);
                           const auto bl = a.get<std::uint8_t>(2);
                           return color_to_py(Color::rgb(r, g, bl));
                       })
        .static_method("from_u32", "(value)",
                       [](Args& a) { return color_to_py(core::color_from_u32(a.get<std::uint32_t>(0))); })
        .static_method("from_hsl", "(h, s, l)",
                       [](Args& a) {
                           const float h = float_arg(a, 0), s = float_arg(a, 1), l = float_arg(a, 2);
                           return color_to_py(core::color_from_hsl(h, s, l));
                       })
        .method("to_u32", "($self)", [](const Color& c) { return to_py(core::color_to_u32(c)); })
        .repr([](const Color& c) { return core::color_repr(c); })
        .slot(Py_tp_richcompare, &color_richcompare)
        .slot(Py_tp_hash, &color_hash);
    for (const auto& [attr, tag] : kColorConstants) {
        const Color::Tag t = tag;
        b.class_attr(attr, [t] { return color_to_py(Color::named(t)); });
    }
    return b.build();
}

PyTypeObject* ModifierClass::create() {
    return FlagClassBuilder<ModifierClass, &core::modifier_repr>()
        .union_operator()
        .intersection_operator()
        .contains()
        .method("intersection", "($self, other)",
                [](const std::uint16_t& m, Args& a) {
                    return modifier_to_py(static_cast<std::uint16_t>(m & a.value<ModifierClass>(0)));
                })
        .method("is_empty", "($self)", [](const std::uint16_t& m) { return to_py(m == 0); })
        .build();
}

PyTypeObject* StyleClass::create() {
    return ClassBuilder<StyleClass>()
        .static_method("new", "()", [](Args&) { return style_to_py(Style{}); })
        .static_method("default", "()", [](Args&) { return style_to_py(Style{}); })
        .static_method("reset", "()", [](Args&) { return style_to_py(Style::reset()); })
        .method("fg", "($self, color)", SetField<StyleClass, &Style::fg, InstanceArg<ColorClass>>{})
        .method("bg", "($self, color)", SetField<StyleClass, &Style::bg, InstanceArg<ColorClass>>{})
        .method("underline_color", "($self, color)", SetField<StyleClass, &Style::underline_color, InstanceArg<ColorClass>>{})
        .method("add_modifier", "($self, modifier)",
                [](const Style& s, Args& a) { return style_to_py(s.with_added(a.value<ModifierClass>(0))); })
        .method("remove_modifier", "($self, modifier)",
                [](const Style& s, Args& a) { return style_to_py(s.with_removed(a.value<ModifierClass>(0))); })
        .method("patch", "($self, other)",
                [](const Style& s, Args& a) { return style_to_py(s.patch(a.value<StyleClass>(0))); })
        .method("get_fg", "($self)", [](const Style& s) { return opt_color_to_py(s.fg); })
        .method("get_bg", "($self)", [](const Style& s) { return opt_color_to_py(s.bg); })
        .method("get_underline_color", "($self)", [](const Style& s) { return opt_color_to_py(s.underline_color); })
        .method("get_modifiers", "($self)", [](const Style& s) { return modifier_to_py(s.add_modifier); })
        .method("get_sub_modifiers", "($self)", [](const Style& s) { return modifier_to_py(s.sub_modifier); })
        .repr([](const Style& s) { return core::style_repr(s); })
        .build();
}

TARVO_REGISTER_CLASS(ColorClass);
TARVO_REGISTER_CLASS(ModifierClass);
TARVO_REGISTER_CLASS(StyleClass);

// ---- module functions ----

TARVO_FUNCTION(color_from_hsl, "(h, s, l)", [](Args& a) -> PyObject* {
    const float h = float_arg(a, 0), s = float_arg(a, 1), l = float_arg(a, 2);
    return color_to_py(core::color_from_hsl(h, s, l));
});

TARVO_FUNCTION(color_from_hex, "(value)", [](Args& a) -> PyObject* {
    return color_result(core::color_from_hex(a.get<std::string>(0)));
});

TARVO_FUNCTION(color_to_hsl, "(color)", [](Args& a) -> PyObject* {
    const core::UnitHsl v = core::color_to_hsl(a.value<ColorClass>(0));
    return float_triple(v.h, v.s, v.l);
});

TARVO_FUNCTION(color_to_srgb, "(color)", [](Args& a) -> PyObject* {
    const core::UnitRgb v = core::color_to_unit_rgb(a.value<ColorClass>(0));
    return float_triple(v.r, v.g, v.b);
});

TARVO_FUNCTION(interpolate_colors, "(a, b, t, space=\"rgb\")", [](Args& a) -> PyObject* {
    const Color x = a.value<ColorClass>(0);
    const Color y = a.value<ColorClass>(1);
    const float t = float_arg(a, 2);
    const std::string space = a.get_or<std::string>(3, "rgb");
    return color_result(core::interpolate_colors(x, y, t, space));
});

TARVO_FUNCTION(color_lerp, "(a, b, t)", [](Args& a) -> PyObject* {
    const Color x = a.value<ColorClass>(0);
    const Color y = a.value<ColorClass>(1);
    return color_to_py(core::color_lerp(x, y, float_arg(a, 2)));
});

TARVO_FUNCTION(tailwind_color, "(name, shade)", [](Args& a) -> PyObject* {
    const std::string name = a.get<std::string>(0);
    const auto shade = a.get<std::uint16_t>(1);
    return color_result(core::tailwind_color(name, shade));
});

}  // namespace tarvo::bindings
