#include "core/widgets/clear.hpp"

#include "core/buffer.hpp"

namespace tarvo::core {

void Clear::render(const Rect& target, Buffer& buf) const {
    const Rect area = target.intersection(buf.area);
    for (std::uint32_t y = area.y; y < area.bottom(); ++y)
        for (std::uint32_t x = area.x; x < area.right(); ++x)
            if (Cell* c = buf.cell_at(x, y)) c->reset();
}

}  // namespace tarvo::core
