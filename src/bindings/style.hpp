// Color, Modifier and Style classes, and the conversions other binding files use to read and
// return them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "bindings/runtime/flags.hpp"
#include "bindings/runtime/klass.hpp"
#include "core/color.hpp"
#include "core/style.hpp"

namespace tarvo::bindings {

struct ColorClass {
    using Value = core::Color;
    static constexpr const char* name = "Color";
    static PyTypeObject* create();
};
struct ModifierClass {
    using Value = std::uint16_t;  // the attribute bits
    static constexpr const char* name = "Modifier";
    static constexpr std::array<Flag<std::uint16_t>, 10> flags{{
        {"BOLD", core::modifier::BOLD}, {"DIM", core::modifier::DIM}, {"ITALIC", core::modifier::ITALIC},
        {"UNDERLINED", core::modifier::UNDERLINED}, {"SLOW_BLINK", core::modifier::SLOW_BLINK},
        {"RAPID_BLINK", core::modifier::RAPID_BLINK}, {"REVERSED", core::modifier::REVERSED},
        {"HIDDEN", core::modifier::HIDDEN}, {"CROSSED_OUT", core::modifier::CROSSED_OUT}, {"EMPTY", 0},
    }};
    static PyTypeObject* create();
};
struct StyleClass {
    using Value = core::Style;
    static constexpr const char* name = "Style";
    static PyTypeObject* create();
};

// Reading: the value of a Color / Modifier / Style object; anything else raises the wrong-class
// TypeError (add the parameter's note with `with_note`, or use `Args::value<ColorClass>(i)`).
inline core::Color color_from_py(PyObject* o) { return value_of<ColorClass>(o); }
inline std::uint16_t modifier_from_py(PyObject* o) { return value_of<ModifierClass>(o); }
inline core::Style style_from_py(PyObject* o) { return value_of<StyleClass>(o); }

// Making: new Python objects (new references).
inline PyObject* color_to_py(core::Color c) { return make<ColorClass>(c); }
// None for an absent colour.
inline PyObject* opt_color_to_py(const core::OptColor& c) {
    return c ? make<ColorClass>(*c) : none();
}
inline PyObject* modifier_to_py(std::uint16_t bits) { return make<ModifierClass>(bits); }
inline PyObject* style_to_py(const core::Style& s) { return make<StyleClass>(s); }

}  // namespace tarvo::bindings
