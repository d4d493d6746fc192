// EffectTimer, Duration and the six effect enumerations.
#include <string>

#include "bindings/fx.hpp"
#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace fx = core::fx;

namespace {

PyObject* duration_richcompare(PyObject* self, PyObject* other, int op) {
    return guard([&]() -> PyObject* {
        if ((op != Py_EQ && op != Py_NE) || !is_instance<DurationClass>(other)) Py_RETURN_NOTIMPLEMENTED;
        const bool eq = value_of<DurationClass>(self) == value_of<DurationClass>(other);
        return to_py(op == Py_EQ ? eq : !eq);
    });
}

}  // namespace

PyTypeObject* EffectTimerClass::create() {
    using fx::EffectTimer;
    return ClassBuilder<EffectTimerClass>()
        .doc("An effect's clock: its length, the time left, its easing curve and direction.")
        .static_method("from_ms", "(duration_ms, interpolation)",
                       [](Args& a) {
                           const auto ms = a.get<std::uint32_t>(0);
                           const auto curve = static_cast<fx::Interpolation>(a.value<InterpolationClass>(1));
                           return make<EffectTimerClass>(EffectTimer::from_ms(ms, curve));
                       })
        .method("alpha", "($self)", [](const EffectTimer& t) { return to_py(t.alpha()); })
        .method("reset", "($self)",
                [](EffectTimer& t) {
                    t.reset();
                    return none();
                })
        .method("started", "($self)", [](const EffectTimer& t) { return to_py(t.started()); })
        .method("is_done", "($self)", [](const EffectTimer& t) { return to_py(t.done()); })
        .method("is_reversed", "($self)", [](const EffectTimer& t) { return to_py(t.reversed); })
        .method("duration_ms", "($self)", [](const EffectTimer& t) { return to_py(t.total); })
        .method("remaining_ms", "($self)", [](const EffectTimer& t) { return to_py(t.remaining); })
        .repr([](const EffectTimer& t) {
            return "EffectTimer(remaining=" + std::to_string(t.remaining) + "ms, duration=" + std::to_string(t.total) +
                   "ms)";
        })
        .build();
}
TARVO_REGISTER_CLASS(EffectTimerClass);

PyTypeObject* DurationClass::create() {
    using fx::Duration;
    return ClassBuilder<DurationClass>()
        .doc("A span of time in whole milliseconds.")
        .static_method("from_millis", "(milliseconds)",
                       [](Args& a) { return make<DurationClass>(Duration{a.get<std::uint32_t>(0)}); })
        .static_method("from_secs", "(seconds)",
                       [](Args& a) {
                           const auto s = a.get<std::uint32_t>(0);
                           // Products past the 32-bit millisecond count are refused like any
                           // other out-of-range count.
                           if (s > 4294967295u / 1000u)
                               with_note(a.name(0), [] {
                                   raise(PyExc_OverflowError, "out of range integral type conversion attempted");
                               });
                           return make<DurationClass>(Duration{s * 1000u});
                       })
        .method("as_millis", "($self)", [](const Duration& d) { return to_py(d.ms); })
        .method("is_zero", "($self)", [](const Duration& d) { return to_py(d.ms == 0); })
        .repr([](const Duration& d) { return "Duration(" + std::to_string(d.ms) + "ms)"; })
        .slot(Py_tp_richcompare, &duration_richcompare)
        .class_attr("ZERO", [] { return make<DurationClass>(Duration{0}); })
        .build();
}
TARVO_REGISTER_CLASS(DurationClass);

TARVO_REGISTER_CLASS(InterpolationClass);
TARVO_REGISTER_CLASS(MotionClass);
TARVO_REGISTER_CLASS(EvolveSymbolSetClass);
TARVO_REGISTER_CLASS(ExpandDirectionClass);
TARVO_REGISTER_CLASS(RepeatModeClass);
TARVO_REGISTER_CLASS(ColorSpaceClass);

}  // namespace tarvo::bindings
