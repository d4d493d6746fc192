// Effect and EffectManager, and the argument helpers of the effect constructor functions.
#include "bindings/fx.hpp"

#include <string>

#include "bindings/buffer.hpp"
#include "bindings/geometry.hpp"
#include "bindings/runtime/registry.hpp"
#include "core/fx/dsl.hpp"
#include "core/fx/effects/catalog.hpp"

namespace tarvo::bindings {

namespace fx = core::fx;

namespace {

// Areas handed to effects never reach past the 65535 edges.
core::Rect clamped_area(const Args& a, std::size_t i) {
    const core::Rect r = a.value<RectClass>(i);
    return core::Rect::clipped(r.x, r.y, r.width, r.height);
}

struct EffectElem {
    static fx::Effect from(PyObject* o) { return value_of<EffectClass>(o); }
};

PyObject* leftover_to_py(fx::Leftover rest) { return rest ? to_py(*rest) : none(); }

// Copies a Python Buffer out, runs `step` over the copy, writes it back.
template <typename F>
void over_py_buffer(core::Buffer& py, F&& step) {
    core::Buffer work = py_buffer_to_core(py);
    step(work);
    core_buffer_to_py(work, py);
}

}  // namespace

PyObject* make_effect(fx::Effect e) { return make<EffectClass>(std::move(e)); }

fx::Effect effect_arg(const Args& a, std::size_t i) { return a.value<EffectClass>(i); }

fx::Effect unique_effect_arg(const Args& a, std::size_t i) {
    fx::Effect e = effect_arg(a, i);
    if (const auto err = fx::nesting_error({&e})) raise(PyExc_ValueError, *err);
    return e;
}

std::vector<fx::Effect> effects_arg(const Args& a, std::size_t i) {
    return with_note(a.name(i), [&] { return sequence_to_vector<fx::Effect, EffectElem>(a[i]); });
}

std::optional<fx::CellFilter> optional_filter_arg(const Args& a, std::size_t i) {
    return a.optional_value<CellFilterClass>(i);
}

fx::CellFilter filter_arg(const Args& a, std::size_t i) { return a.value<CellFilterClass>(i); }

fx::Interpolation interpolation_arg(const Args& a, std::size_t i) {
    if (!a.present(i)) return fx::Interpolation::Linear;
    return static_cast<fx::Interpolation>(a.value<InterpolationClass>(i));
}

void process_over_py_buffer(fx::EffectManager& manager, std::uint32_t ms, core::Buffer& py, core::Rect area) {
    area = core::Rect::clipped(area.x, area.y, area.width, area.height);
    over_py_buffer(py, [&](core::Buffer& work) { manager.process(ms, work, area); });
}

PyTypeObject* EffectClass::create() {
    using fx::Effect;
    return ClassBuilder<EffectClass>()
        .doc("A running effect: a timed transformation of buffer cells.")
        .method("name", "($self)", [](const Effect& e) { return to_py(e.name()); })
        .method("reset", "($self)",
                [](Effect& e) {
                    e.reset();
                    return none();
                })
        .method("timer", "($self)",
                [](const Effect& e) {
                    const auto t = e.timer();
                    return t ? make<EffectTimerClass>(*t) : none();
                })
        .method("get_timer", "($self)",
                [](const Effect& e) {
                    const auto t = e.timer();
                    return t ? make<EffectTimerClass>(*t) : none();
                })
        .method("to_dsl", "($self)",
                [](const Effect& e) {
                    std::string text;
                    try {
                        text = e.dsl_text();
                    } catch (const fx::dsl::DslError& err) {
                        raise(PyExc_RuntimeError, err.what());
                    }
                    return to_py(text);
                })
        .method("is_done", "($self)", [](const Effect& e) { return to_py(e.done()); })
        .method("is_running", "($self)", [](const Effect& e) { return to_py(e.running()); })
        .method("process", "($self, duration_ms, buffer, area)",
                [](Effect& e, Args& a) {
                    const auto ms = a.get<std::uint32_t>(0);
                    PyObject* buffer = a.object<BufferClass>(1);
                    Exclusive<BufferClass> py(buffer);
                    const core::Rect area = clamped_area(a, 2);
                    fx::Leftover rest;
                    over_py_buffer(*py, [&](core::Buffer& work) { rest = e.process(ms, work, area); });
                    return leftover_to_py(rest);
                })
        .method("reverse", "($self)",
                [](Effect& e) {
                    e.reverse();
                    return none();
                })
        .method("reversed", "($self)",
                [](const Effect& e) {
                    Effect copy = e;
                    copy.reverse();
                    return make_effect(std::move(copy));
                })
        .method("get_area", "($self)",
                [](const Effect& e) {
                    const auto r = e.area();
                    return r ? make<RectClass>(*r) : none();
                })
        .method("set_area", "($self, area)",
                [](Effect& e, Args& a) {
                    e.set_area(clamped_area(a, 0));
                    return none();
                })
        .method("with_area", "($self, area)",
                [](const Effect& e, Args& a) {
                    const core::Rect r = clamped_area(a, 0);
                    Effect copy = e;
                    copy.set_area(r);
                    return make_effect(std::move(copy));
                })
        .method("get_filter", "($self)",
                [](const Effect& e) {
                    const fx::CellFilter* f = e.cell_filter();
                    return f ? make<CellFilterClass>(*f) : none();
                })
        .method("set_filter", "($self, filter)",
                [](Effect& e, Args& a) {
                    e.install_filter(filter_arg(a, 0));
                    return none();
                })
        .method("with_filter", "($self, filter)",
                [](const Effect& e, Args& a) {
                    fx::CellFilter f = filter_arg(a, 0);
                    Effect copy = e;
                    copy.install_filter(std::move(f));
                    return make_effect(std::move(copy));
                })
        .method("with_rng", "($self, seed)",
                [](const Effect& e, Args& a) {
                    const auto seed = a.get<std::uint32_t>(0);
                    Effect copy = e;
                    copy.set_rng(fx::Rng(seed));
                    return make_effect(std::move(copy));
                })
        .method("with_pattern", "($self, pattern)",
                [](const Effect& e, Args& a) {
                    const fx::RadialPattern p = a.value<RadialPatternClass>(0);
                    Effect copy = e;
                    copy.set_pattern(fx::Pattern::of(p));
                    return make_effect(std::move(copy));
                })
        .method("set_color_space", "($self, color_space)",
                [](Effect& e, Args& a) {
                    e.set_color_space(static_cast<fx::ColorSpace>(a.value<ColorSpaceClass>(0)));
                    return none();
                })
        .method("with_color_space", "($self, color_space)",
                [](const Effect& e, Args& a) {
                    const auto cs = static_cast<fx::ColorSpace>(a.value<ColorSpaceClass>(0));
                    Effect copy = e;
                    copy.set_color_space(cs);
                    return make_effect(std::move(copy));
                })
        .method("reset_timer", "($self)",
                [](Effect& e) {
                    e.reset_timer();
                    return none();
                })
        .build();
}
TARVO_REGISTER_CLASS(EffectClass);

PyTypeObject* EffectManagerClass::create() {
    using fx::EffectManager;
    return ClassBuilder<EffectManagerClass>()
        .constructor("()", [](Args&) { return EffectManager(); }, "Runs effects together, one step per frame.")
        .method("add", "($self, effect)",
                [](EffectManager& m, Args& a) {
                    m.add(effect_arg(a, 0));
                    return none();
                })
        .method("unique", "($self, key, effect)",
                [](EffectManager& m, Args& a) {
                    const std::string key = a.get<std::string>(0);
                    fx::Effect e = unique_effect_arg(a, 1);
                    return make_effect(m.unique(key, std::move(e)));
                })
        .method("add_unique", "($self, key, effect)",
                [](EffectManager& m, Args& a) {
                    const std::string key = a.get<std::string>(0);
                    fx::Effect e = unique_effect_arg(a, 1);
                    m.add_unique(key, std::move(e));
                    return none();
                })
        .method("cancel", "($self, key)",
                [](EffectManager& m, Args& a) {
                    m.cancel(a.get<std::string>(0));
                    return none();
                })
        .method("process", "($self, duration_ms, buffer, area)",
                [](EffectManager& m, Args& a) {
                    const auto ms = a.get<std::uint32_t>(0);
                    PyObject* buffer = a.object<BufferClass>(1);
                    Exclusive<BufferClass> py(buffer);
                    const core::Rect area = a.value<RectClass>(2);
                    process_over_py_buffer(m, ms, *py, area);
                    return none();
                })
        .method("is_running", "($self)", [](const EffectManager& m) { return to_py(m.is_running()); })
        .build();
}
TARVO_REGISTER_CLASS(EffectManagerClass);

}  // namespace tarvo::bindings
