// Sharing room along a row of sizes so that neighbours differ as little as they can.
#pragma once

#include <optional>
#include <vector>

namespace tarvo::core {

// A place in a row of sizes: fixed at `size`, or free to take anything from `least` to `size`.
struct RowPlace {
    double size;
    bool free;
    double least = 0.0;
};

// The sizes of a row whose free places share `room` between them (clamped to what they can take
// together), chosen so that the row is as even as it can be: the sum over neighbours of
// |x_i − x_{i+1}| is the least that any such sharing gives. Where several sharings are that
// even, one of them. The fixed places keep their sizes.
std::vector<double> share_evenly(const std::vector<RowPlace>& row, double room);

// The row whose free places share `room` alike, where that is the only sharing as even as the row
// allows; nothing where it is not, or not known to be. That is where the free places stand side by
// side, each can take the share, and the fixed places on either side of them do not stand one
// below the share and the other above it.
std::optional<std::vector<double>> share_alike(const std::vector<RowPlace>& row, double room);

}  // namespace tarvo::core
