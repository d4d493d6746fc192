#include "bindings/widget_enums.hpp"

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

// A set of sides: `|` only, repr (and str) the sides' names.
PyTypeObject* BordersClass::create() {
    return FlagClassBuilder<BordersClass, &core::borders_repr>().union_operator<core::borders::ALL>().build();
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
