#include "bindings/layout_enums.hpp"

#include "bindings/runtime/registry.hpp"

namespace tarvo::bindings {

TARVO_REGISTER_CLASS(DirectionClass);
TARVO_REGISTER_CLASS(AlignmentClass);
TARVO_REGISTER_CLASS(FlexClass);

}  // namespace tarvo::bindings
