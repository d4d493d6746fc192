// The enumerations of the layout model: Flex, Direction and Alignment. Their values are the
// variant numbers, which match the core's enumerations.
#pragma once

#include <array>
#include <cstdint>

#include "bindings/runtime/enums.hpp"

namespace tarvo::bindings {

struct FlexClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Flex";
    static constexpr std::array<const char*, 7> variants{"Legacy",       "Start",       "End",        "Center",
                                                         "SpaceBetween", "SpaceAround", "SpaceEvenly"};
    static PyTypeObject* create() { return create_enum<FlexClass>(); }
};

struct DirectionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Direction";
    static constexpr std::array<const char*, 2> variants{"Horizontal", "Vertical"};
    static PyTypeObject* create() { return create_enum<DirectionClass>(); }
};

struct AlignmentClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Alignment";
    static constexpr std::array<const char*, 3> variants{"Left", "Center", "Right"};
    static PyTypeObject* create() { return create_enum<AlignmentClass>(); }
};

}  // namespace tarvo::bindings
