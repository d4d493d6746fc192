// The enumerations the widgets take (border type, title position, list direction, scrollbar
// orientation, chart markers, ...) and the Borders flag set. Enumeration values are the variant
// numbers of the core's enumerations in src/core/widgets/enums.hpp.
#pragma once

#include <array>
#include <cstdint>

#include "bindings/runtime/enums.hpp"
#include "bindings/runtime/flags.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::bindings {

// The class of one of the core's enumerations: its name and variants are the core's.
template <typename E>
struct WidgetEnumClass {
    using Value = std::uint8_t;
    static constexpr const char* name = core::Variants<E>::type_name;
    static constexpr const auto& variants = core::Variants<E>::names;
    static PyTypeObject* create() { return create_enum<WidgetEnumClass>(); }
};

using HighlightSpacingClass = WidgetEnumClass<core::HighlightSpacing>;
using ScrollDirectionClass = WidgetEnumClass<core::ScrollDirection>;
using ScrollbarOrientationClass = WidgetEnumClass<core::ScrollbarOrientation>;
using ListDirectionClass = WidgetEnumClass<core::ListDirection>;
using GraphTypeClass = WidgetEnumClass<core::GraphType>;
using LegendPositionClass = WidgetEnumClass<core::LegendPosition>;
using MarkerClass = WidgetEnumClass<core::Marker>;
using BorderTypeClass = WidgetEnumClass<core::BorderType>;
using TitlePositionClass = WidgetEnumClass<core::TitlePosition>;

// The sides of a block: top 0x1, right 0x2, bottom 0x4, left 0x8.
struct BordersClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Borders";
    static constexpr std::array<Flag<std::uint8_t>, 6> flags{{
        {"NONE", core::borders::NONE},
        {"TOP", core::borders::TOP},
        {"RIGHT", core::borders::RIGHT},
        {"BOTTOM", core::borders::BOTTOM},
        {"LEFT", core::borders::LEFT},
        {"ALL", core::borders::ALL},
    }};
    static PyTypeObject* create();
};

// Reading an argument as a core enumeration: `a.value<BorderTypeClass>(i)` gives the variant
// number; these turn it into the core value.
inline core::HighlightSpacing to_core_highlight_spacing(std::uint8_t v) { return static_cast<core::HighlightSpacing>(v); }
inline core::ScrollDirection to_core_scroll_direction(std::uint8_t v) { return static_cast<core::ScrollDirection>(v); }
inline core::ScrollbarOrientation to_core_scrollbar_orientation(std::uint8_t v) {
    return static_cast<core::ScrollbarOrientation>(v);
}
inline core::ListDirection to_core_list_direction(std::uint8_t v) { return static_cast<core::ListDirection>(v); }
inline core::GraphType to_core_graph_type(std::uint8_t v) { return static_cast<core::GraphType>(v); }
inline core::LegendPosition to_core_legend_position(std::uint8_t v) { return static_cast<core::LegendPosition>(v); }
inline core::Marker to_core_marker(std::uint8_t v) { return static_cast<core::Marker>(v); }
inline core::BorderType to_core_border_type(std::uint8_t v) { return static_cast<core::BorderType>(v); }
inline core::TitlePosition to_core_title_position(std::uint8_t v) { return static_cast<core::TitlePosition>(v); }

}  // namespace tarvo::bindings
