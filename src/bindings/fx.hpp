// The effect classes: Effect, EffectManager, CellFilter, RefRect, RadialPattern, EffectTimer,
// Duration and the six effect enumerations, and what other binding files need of them.
//
// Effect constructor functions: build a core::fx::Effect and return `make_effect(std::move(e))`.
// Take effect arguments as copies with `effect_arg(a, i)` / `effects_arg(a, i)`, filters with
// `filter_arg(a, i)`, curves with `interpolation_arg(a, i)` (None or missing: Linear).
// Running effects over a Python Buffer (frames, sessions): `process_over_py_buffer`.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/klass.hpp"
#include "core/buffer.hpp"
#include "core/fx/effect.hpp"
#include "core/fx/manager.hpp"

namespace tarvo::bindings {

struct EffectClass {
    using Value = core::fx::Effect;
    static constexpr const char* name = "Effect";
    static constexpr const char* thread_path = "tarvo_core::bindings::fx::PyEffect";
    static PyTypeObject* create();
};

struct EffectManagerClass {
    using Value = core::fx::EffectManager;
    static constexpr const char* name = "EffectManager";
    static constexpr const char* thread_path = "tarvo_core::bindings::fx::PyEffectManager";
    static PyTypeObject* create();
};

struct CellFilterClass {
    using Value = core::fx::CellFilter;
    static constexpr const char* name = "CellFilter";
    static constexpr const char* thread_path = "tarvo_core::bindings::fx::PyCellFilter";
    static PyTypeObject* create();
};

struct RefRectClass {
    using Value = core::fx::RefRect;
    static constexpr const char* name = "RefRect";
    static constexpr const char* thread_path = "tarvo_core::bindings::fx::PyRefRect";
    static PyTypeObject* create();
};

struct RadialPatternClass {
    using Value = core::fx::RadialPattern;
    static constexpr const char* name = "RadialPattern";
    static PyTypeObject* create();
};

struct EffectTimerClass {
    using Value = core::fx::EffectTimer;
    static constexpr const char* name = "EffectTimer";
    static PyTypeObject* create();
};

struct DurationClass {
    using Value = core::fx::Duration;
    static constexpr const char* name = "Duration";
    static PyTypeObject* create();
};

// The enumerations; each value is the core enumerator's number.
struct InterpolationClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Interpolation";
    static constexpr auto variants = [] {
        std::array<const char*, core::fx::kInterpolationNames.size()> v{};
        for (std::size_t i = 0; i < v.size(); ++i) v[i] = core::fx::kInterpolationNames[i].data();
        return v;
    }();
    static PyTypeObject* create() { return create_enum<InterpolationClass>(); }
};
struct MotionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Motion";
    static constexpr std::array<const char*, 4> variants{"UpToDown", "DownToUp", "LeftToRight", "RightToLeft"};
    static PyTypeObject* create() { return create_enum<MotionClass>(); }
};
struct EvolveSymbolSetClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "EvolveSymbolSet";
    static constexpr std::array<const char*, 7> variants{"BlocksHorizontal", "BlocksVertical", "CircleFill", "Circles",
                                                         "Quadrants",        "Shaded",         "Squares"};
    static PyTypeObject* create() { return create_enum<EvolveSymbolSetClass>(); }
};
struct ExpandDirectionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ExpandDirection";
    static constexpr std::array<const char*, 2> variants{"Horizontal", "Vertical"};
    static PyTypeObject* create() { return create_enum<ExpandDirectionClass>(); }
};
struct RepeatModeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "RepeatMode";
    static constexpr std::array<const char*, 3> variants{"Forever", "Times", "Duration"};
    static PyTypeObject* create() { return create_enum<RepeatModeClass>(); }
};
struct ColorSpaceClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ColorSpace";
    static constexpr std::array<const char*, 3> variants{"Rgb", "Hsl", "Hsv"};
    static PyTypeObject* create() { return create_enum<ColorSpaceClass>(); }
};

// A new Effect object owned by the calling thread (new reference).
PyObject* make_effect(core::fx::Effect e);
// A copy of the Effect given as argument i (TypeError naming Effect otherwise, with the note).
core::fx::Effect effect_arg(const Args& a, std::size_t i);
// The same, for keeping under a unique key: ValueError when the key's wrapper would nest it
// deeper than effects may nest.
core::fx::Effect unique_effect_arg(const Args& a, std::size_t i);
// Copies of a sequence of Effects (a str: "Can't extract `str` to `Vec`"), with the note.
std::vector<core::fx::Effect> effects_arg(const Args& a, std::size_t i);
// A copy of the CellFilter given as argument i; None or missing: nothing.
std::optional<core::fx::CellFilter> optional_filter_arg(const Args& a, std::size_t i);
core::fx::CellFilter filter_arg(const Args& a, std::size_t i);
// The Interpolation given as argument i; None or missing: Linear.
core::fx::Interpolation interpolation_arg(const Args& a, std::size_t i);

// Copies of the Tag instances in the sequence given as argument i, in order (a str: "Can't
// extract `str` to `Vec`"; an item of another class: TypeError naming Tag), with the note.
// `admit(value)` sees each item before it is copied and gives an error text once the list has
// grown too large: copying stops there and the text is raised as ValueError, without the note.
template <typename Tag, typename Admit>
std::vector<typename Tag::Value> bounded_list_arg(const Args& a, std::size_t i, Admit admit) {
    std::vector<typename Tag::Value> out;
    std::optional<std::string> too_large;
    with_note(a.name(i), [&] {
        check_sequence(a[i]);
        Ref it = Ref::steal(check(PyObject_GetIter(a[i])));
        while (Ref item = Ref::steal(PyIter_Next(it.get()))) {
            if (!is_instance<Tag>(item.get())) raise_wrong_class(item.get(), Tag::name);
            Shared<Tag> v(item.get());
            if ((too_large = admit(*v))) return;
            out.push_back(*v);
        }
        throw_if_error();
    });
    if (too_large) raise(PyExc_ValueError, *too_large);
    return out;
}

// One manager step over a Python Buffer's cells: copy the cells out, run every effect for `ms`
// over `area` (edges cut at 65535), write the cells back where the areas overlap. Hold the
// Buffer (and the manager) exclusively around the call.
void process_over_py_buffer(core::fx::EffectManager& manager, std::uint32_t ms, core::Buffer& py, core::Rect area);

}  // namespace tarvo::bindings
