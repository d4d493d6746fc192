// Clear: a widget without options that blanks its area, drawn before another widget to erase
// what lay beneath it.
#pragma once

#include "core/geometry.hpp"

namespace tarvo::core {

struct Buffer;

struct Clear {
    // Every cell of the area that lies inside the buffer becomes the empty cell.
    void render(const Rect& area, Buffer& buf) const;
};

}  // namespace tarvo::core
