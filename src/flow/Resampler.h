#pragma once

#include "flow/RegularGrid.h"

#include <cstdint>
#include <string>

namespace tvl {

class LoadProgress;
class ValueBorders;
struct Vector3;

// Resamples a curvilinear node grid onto the regular grid of cell size 0.02
// flow units. Each sample is located by a cursor walk along the node columns
// of the current node row and along the node rows, without any search, and
// the node values are blended bilinearly at the fractional node indices the
// walk finds. Positions are accumulated by repeated single-precision
// additions, so sample positions (and the outside samples at the far edges)
// are exactly those of that walk.
class Resampler {
public:
    static constexpr float kCellSize = 0.02f;

    explicit Resampler(const LoadProgress& progress)
        : progress_(progress)
    {
    }

    // Sizes the regular grid for a node grid of this extent (flow units):
    // trunc(extent / cell) + 1 samples per axis, with 1 / cell at full
    // precision. False with a German cause when samples plus additional values
    // would take more than capBytes, or a size does not fit 32 bits; grid is
    // then untouched.
    bool sizeGrid(const Vector3& extent, int additionalCount, std::uint64_t capBytes, RegularGrid& grid,
        std::string& cause) const;

    // Fills the sized grid's samples and value planes from the nodes
    // ("Preprocessing Flow Data...", one progress step per regular row), the
    // samples' speeds as one plane, and the borders of the speeds and values.
    // Nodes is NodeGrid (in memory) or NodeRows (records read on demand).
    template <class Nodes>
    void resampleGrid(const Nodes& nodes, RegularGrid& grid, GridStorage<float>& speeds, ValueBorders& borders) const;

private:
    const LoadProgress& progress_;
};

} // namespace tvl
