// The nine-level bar symbols shared by the bar-drawing widgets.
#pragma once

#include <cstdint>

namespace tarvo::core::bar_symbols {

// The symbol of a cell holding `eighths` eighths of a bar (0: blank, 8 or more: full).
inline const char* nine_levels(std::uint64_t eighths) noexcept {
    switch (eighths) {
        case 0: return " ";
        case 1: return "\u2581";
        case 2: return "\u2582";
        case 3: return "\u2583";
        case 4: return "\u2584";
        case 5: return "\u2585";
        case 6: return "\u2586";
        case 7: return "\u2587";
        default: return "\u2588";
    }
}

}  // namespace tarvo::core::bar_symbols
