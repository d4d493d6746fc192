#include "core/widgets/enums.hpp"

#include <array>

namespace tarvo::core {

namespace {

template <std::size_t N, typename E>
std::string_view pick(const std::array<std::string_view, N>& names, E v) noexcept {
    const auto i = static_cast<std::size_t>(v);
    return i < N ? names[i] : std::string_view("?");
}

}  // namespace

std::string_view name_of(BorderType v) noexcept {
    static constexpr std::array<std::string_view, 6> n{"Plain",  "Rounded",        "Double",
                                                       "Thick", "QuadrantInside", "QuadrantOutside"};
    return pick(n, v);
}
std::string_view name_of(TitlePosition v) noexcept {
    static constexpr std::array<std::string_view, 2> n{"Top", "Bottom"};
    return pick(n, v);
}
std::string_view name_of(HighlightSpacing v) noexcept {
    static constexpr std::array<std::string_view, 3> n{"Always", "WhenSelected", "Never"};
    return pick(n, v);
}
std::string_view name_of(ListDirection v) noexcept {
    static constexpr std::array<std::string_view, 2> n{"TopToBottom", "BottomToTop"};
    return pick(n, v);
}
std::string_view name_of(ScrollbarOrientation v) noexcept {
    static constexpr std::array<std::string_view, 4> n{"VerticalRight", "VerticalLeft", "HorizontalBottom",
                                                       "HorizontalTop"};
    return pick(n, v);
}
std::string_view name_of(ScrollDirection v) noexcept {
    static constexpr std::array<std::string_view, 2> n{"Forward", "Backward"};
    return pick(n, v);
}
std::string_view name_of(GraphType v) noexcept {
    static constexpr std::array<std::string_view, 3> n{"Scatter", "Line", "Bar"};
    return pick(n, v);
}
std::string_view name_of(LegendPosition v) noexcept {
    static constexpr std::array<std::string_view, 8> n{"Top",   "TopRight", "TopLeft",     "Left",
                                                       "Right", "Bottom",   "BottomRight", "BottomLeft"};
    return pick(n, v);
}
std::string_view name_of(Marker v) noexcept {
    static constexpr std::array<std::string_view, 5> n{"Dot", "Block", "Bar", "Braille", "HalfBlock"};
    return pick(n, v);
}

std::string borders_repr(std::uint8_t bits) {
    bits &= borders::ALL;
    if (bits == borders::NONE) return "NONE";
    if (bits == borders::ALL) return "ALL";
    static constexpr std::array<std::pair<std::uint8_t, std::string_view>, 4> sides{{
        {borders::TOP, "TOP"},
        {borders::RIGHT, "RIGHT"},
        {borders::BOTTOM, "BOTTOM"},
        {borders::LEFT, "LEFT"},
    }};
    std::string out;
    for (const auto& [bit, name] : sides) {
        if (!(bits & bit)) continue;
        if (!out.empty()) out += " | ";
        out += name;
    }
    return out;
}

}  // namespace tarvo::core
