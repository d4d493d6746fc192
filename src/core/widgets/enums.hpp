// The closed choices the widgets take: which sides of a block carry a border, the border
// style, where titles sit, list direction, scrollbar orientation, chart markers and so on.
// Each enumeration's values are its variant numbers in declaration order.
#pragma once

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

// The variant names, as debug texts print them ("Top", "WhenSelected", "Braille", ...).
std::string_view name_of(BorderType v) noexcept;
std::string_view name_of(TitlePosition v) noexcept;
std::string_view name_of(HighlightSpacing v) noexcept;
std::string_view name_of(ListDirection v) noexcept;
std::string_view name_of(ScrollbarOrientation v) noexcept;
std::string_view name_of(ScrollDirection v) noexcept;
std::string_view name_of(GraphType v) noexcept;
std::string_view name_of(LegendPosition v) noexcept;
std::string_view name_of(Marker v) noexcept;

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
