#include "core/widgets/enums.hpp"

#include <array>

namespace tarvo::core {

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
