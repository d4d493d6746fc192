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

// The row whose free places share `room` where they stand in runs apart, each run shared alike,
// and that is the only sharing as even as the row allows; nothing where it is not, or not known
// to be. A run of k places at c each, between fixed places A and B (either may be an end of the
// row instead), differs from them by |A − c| + |B − c|: each unit of room it takes costs 1/k for
// each of them below c and gains 1/k for each above. The runs take the room at the least cost,
// the cheapest units first; that sharing is the only best one where every unit a run takes costs
// clearly less than any other run's next one, and no run's share lies between the sizes of its
// two neighbours. A place that can take nothing stands as a fixed one.
std::optional<std::vector<double>> share_in_runs(const std::vector<RowPlace>& row, double room);

// The row whose free places share `room` where each stands alone, between fixed places of size 0
// or at an end of the row, and none may take less than nothing. A unit then costs a place at an
// end one neighbour's difference and any other two, alike: the places at the ends take their
// sizes first, then the others from the last back, the one where the room runs out taking what is
// left and those before it nothing. (Among the places within, any other order is as even; this
// is the one the solver reaches, its newest constraints keeping their sizes.) Nothing where the
// row is not so, where two places at the ends share less than their sizes, or where the places
// cannot take the room.
std::optional<std::vector<double>> share_from_the_last(const std::vector<RowPlace>& row, double room);

}  // namespace tarvo::core
