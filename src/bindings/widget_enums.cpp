#include "bindings/widget_enums.hpp"

#include <utility>

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

namespace {

// `a | b`: a new Borders object when both operands are Borders, else NotImplemented.
PyObject* borders_or(PyObject* x, PyObject* y) {
    return guard([&]() -> PyObject* {
        if (!is_instance<BordersClass>(x) || !is_instance<BordersClass>(y)) {
            Py_INCREF(Py_NotImplemented);
            return Py_NotImplemented;
        }
        const std::uint8_t a = value_of<BordersClass>(x);
        const std::uint8_t b = value_of<BordersClass>(y);
        return make<BordersClass>(static_cast<std::uint8_t>((a | b) & core::borders::ALL));
    });
}

constexpr std::array<std::pair<const char*, std::uint8_t>, 6> kBorderConstants{{
    {"NONE", core::borders::NONE},
    {"TOP", core::borders::TOP},
    {"RIGHT", core::borders::RIGHT},
    {"BOTTOM", core::borders::BOTTOM},
    {"LEFT", core::borders::LEFT},
    {"ALL", core::borders::ALL},
}};

}  // namespace

PyTypeObject* BordersClass::create() {
    ClassBuilder<BordersClass> b;
    b.repr([](const std::uint8_t& bits) { return core::borders_repr(bits); })
        .str([](const std::uint8_t& bits) { return core::borders_repr(bits); })
        .slot(Py_nb_or, &borders_or);
    for (const auto& [attr, bits] : kBorderConstants) {
        const std::uint8_t v = bits;
        b.class_attr(attr, [v] { return make<BordersClass>(v); });
    }
    return b.build();
}

TARVO_REGISTER_CLASS(BordersClass);
TARVO_REGISTER_CLASS(BorderTypeClass);
TARVO_REGISTER_CLASS(TitlePositionClass);
TARVO_REGISTER_CLASS(HighlightSpacingClass);
TARVO_REGISTER_CLASS(ListDirectionClass);
TARVO_REGISTER_CLASS(ScrollbarOrientationClass);
TARVO_REGISTER_CLASS(ScrollDirectionClass);
TARVO_REGISTER_CLASS(GraphTypeClass);
TARVO_REGISTER_CLASS(LegendPositionClass);
TARVO_REGISTER_CLASS(MarkerClass);

}  // namespace tarvo::bindings
