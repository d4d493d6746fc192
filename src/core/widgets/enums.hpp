// The closed choices the widgets take: which sides of a block carry a border, the border
// style, where titles sit, list direction, scrollbar orientation, chart markers and so on.
// Each enumeration's values are its variant numbers in declaration order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvo::core {

enum class BorderType : std::uint8_t { Plain, Rounded, Double, Thick, QuadrantInside, QuadrantOutside };
enum class TitlePosition : std::uint8_t { Top, Bottom };
enum class HighlightSpacing : std::uint8_t { Always, WhenSelected, Never };
enum class ListDirection : std::uint8_t { TopToBottom, BottomToTop };
enum class ScrollbarOrientation : std::uint8_t { VerticalRight, VerticalLeft, HorizontalBottom, HorizontalTop };
enum class ScrollDirection : std::uint8_t { Forward, Backward };
enum class GraphType : std::uint8_t { Scatter, Line, Bar };
enum class LegendPosition : std::uint8_t { Top, TopRight, TopLeft, Left, Right, Bottom, BottomRight, BottomLeft };
enum class Marker : std::uint8_t { Dot, Block, Bar, Braille, HalfBlock };

// Each enumeration's type name and its variant names in variant order, as debug texts print
// them ("Top", "WhenSelected", "Braille", ...).
template <typename E>
struct Variants;

#define TARVO_VARIANTS(E, ...)                                                        \
    template <>                                                                       \
    struct Variants<E> {                                                              \
        static constexpr const char* type_name = #E;                                  \
        static constexpr std::array names{__VA_ARGS__};                                \
    }
TARVO_VARIANTS(BorderType, "Plain", "Rounded", "Double", "Thick", "QuadrantInside", "QuadrantOutside");
TARVO_VARIANTS(TitlePosition, "Top", "Bottom");
TARVO_VARIANTS(HighlightSpacing, "Always", "WhenSelected", "Never");
TARVO_VARIANTS(ListDirection, "TopToBottom", "BottomToTop");
TARVO_VARIANTS(ScrollbarOrientation, "VerticalRight", "VerticalLeft", "HorizontalBottom", "HorizontalTop");
TARVO_VARIANTS(ScrollDirection, "Forward", "Backward");
TARVO_VARIANTS(GraphType, "Scatter", "Line", "Bar");
TARVO_VARIANTS(LegendPosition, "Top", "TopRight", "TopLeft", "Left", "Right", "Bottom", "BottomRight",
               "BottomLeft");
TARVO_VARIANTS(Marker, "Dot", "Block", "Bar", "Braille", "HalfBlock");
#undef TARVO_VARIANTS

template <typename E>
std::string_view name_of(E v) noexcept {
    const auto& names = Variants<E>::names;
    const auto i = static_cast<std::size_t>(v);
    return i < names.size() ? names[i] : "?";
}

// The sides of a block as a bit set: top 0x1, right 0x2, bottom 0x4, left 0x8.
namespace borders {
inline constexpr std::uint8_t NONE = 0x0;
inline constexpr std::uint8_t TOP = 0x1;
inline constexpr std::uint8_t RIGHT = 0x2;
inline constexpr std::uint8_t BOTTOM = 0x4;
inline constexpr std::uint8_t LEFT = 0x8;
inline constexpr std::uint8_t ALL = 0xF;

constexpr bool contains(std::uint8_t set, std::uint8_t sides) noexcept { return (set & sides) == sides; }
}  // namespace borders

// "NONE", "ALL", or the names of the set sides in the order TOP, RIGHT, BOTTOM, LEFT joined by
// " | ". Bits above the four sides are ignored.
std::string borders_repr(std::uint8_t bits);

}  // namespace tarvo::core
