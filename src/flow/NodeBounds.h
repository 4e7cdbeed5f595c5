#pragma once

#include "flow/Vector3.h"

#include <cfloat>
#include <cstddef>
#include <string>

namespace tvl {

// Smallest and largest node coordinate per component (x, y, z separately),
// gathered block by block while the grid file streams past, and the checks
// that a grid's bounds must pass before anything is resampled.
class NodeBounds {
public:
    // Adds nodes nodes, x, y, z each, in flow coordinates.
    void add(const float* xyz, std::size_t nodes);
    // Takes in the bounds later gathered over the nodes after these, as if
    // they had been added here: the blocks added on either side stay those
    // of one pass, so the bounds are its bounds, bit for bit.
    void merge(const NodeBounds& later);

    // The bounds and extent (maximum − minimum). False with a German cause
    // when an x or y coordinate was not finite, the grid has no extent in x or
    // y, or the extent overflows a float; the outputs are then meaningless.
    // z takes part in nothing: its bounds are those of the finite z values,
    // and 0 when there is none.
    bool finish(Vector3& minimum, Vector3& maximum, Vector3& extent, std::string& cause) const;

private:
    float lo_[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
    float hi_[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
    bool finite_ = true;
};

} // namespace tvl
