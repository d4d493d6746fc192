// The Tabs class.
#pragma once

#include "bindings/runtime/klass.hpp"
#include "core/widgets/tabs.hpp"

namespace tarvo::bindings {

struct TabsClass {
    using Value = core::Tabs;
    static constexpr const char* name = "Tabs";
    static PyTypeObject* create();
};

}  // namespace tarvo::bindings
