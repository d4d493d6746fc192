// The enumerations the widgets take (border type, title position, list direction, scrollbar
// orientation, chart markers, ...) and the Borders flag set. Enumeration values are the variant
// numbers, which match the core's enumerations in src/core/widgets/enums.hpp.
#pragma once

#include <array>
#include <cstdint>

#include "bindings/runtime/enums.hpp"
#include "core/widgets/enums.hpp"

namespace tarvo::bindings {

struct HighlightSpacingClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "HighlightSpacing";
    static constexpr std::array<const char*, 3> variants{"Always", "WhenSelected", "Never"};
    static PyTypeObject* create() { return create_enum<HighlightSpacingClass>(); }
};

struct ScrollDirectionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ScrollDirection";
    static constexpr std::array<const char*, 2> variants{"Forward", "Backward"};
    static PyTypeObject* create() { return create_enum<ScrollDirectionClass>(); }
};

struct ScrollbarOrientationClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ScrollbarOrientation";
    static constexpr std::array<const char*, 4> variants{"VerticalRight", "VerticalLeft", "HorizontalBottom",
                                                         "HorizontalTop"};
    static PyTypeObject* create() { return create_enum<ScrollbarOrientationClass>(); }
};

struct ListDirectionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "ListDirection";
    static constexpr std::array<const char*, 2> variants{"TopToBottom", "BottomToTop"};
    static PyTypeObject* create() { return create_enum<ListDirectionClass>(); }
};

struct GraphTypeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "GraphType";
    static constexpr std::array<const char*, 3> variants{"Scatter", "Line", "Bar"};
    static PyTypeObject* create() { return create_enum<GraphTypeClass>(); }
};

struct LegendPositionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "LegendPosition";
    static constexpr std::array<const char*, 8> variants{"Top",   "TopRight", "TopLeft",     "Left",
                                                         "Right", "Bottom",   "BottomRight", "BottomLeft"};
    static PyTypeObject* create() { return create_enum<LegendPositionClass>(); }
};

struct MarkerClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Marker";
    static constexpr std::array<const char*, 5> variants{"Dot", "Block", "Bar", "Braille", "HalfBlock"};
    static PyTypeObject* create() { return create_enum<MarkerClass>(); }
};

struct BorderTypeClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "BorderType";
    static constexpr std::array<const char*, 6> variants{"Plain", "Rounded", "Double", "Thick", "QuadrantInside",
                                                         "QuadrantOutside"};
    static PyTypeObject* create() { return create_enum<BorderTypeClass>(); }
};

struct TitlePositionClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "TitlePosition";
    static constexpr std::array<const char*, 2> variants{"Top", "Bottom"};
    static PyTypeObject* create() { return create_enum<TitlePositionClass>(); }
};

// The sides of a block: top 0x1, right 0x2, bottom 0x4, left 0x8.
struct BordersClass {
    using Value = std::uint8_t;
    static constexpr const char* name = "Borders";
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
