#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tvl::test {

// The global 10 m wind pair (x = longitude / 32, y = latitude / 32, one
// additional value: relative vorticity) rewritten as the CF NetCDF-4 file a
// weather service would publish: latitude descending from 90 to -90,
// longitude -180 .. 180 as in the pair, u10 / v10 with the standard names
// eastward_wind / northward_wind, and "vorticity".
struct RealWindCf {
    // Packed: all three as 16-bit integers with scale_factor / add_offset and
    // _FillValue; plain: as 32-bit floats, bit for bit the pair's values.
    bool packed = false;
    // Nodes (pair order, j * width + i) whose u10 and v10 are written as missing.
    std::vector<std::size_t> missingNodes;

    // Filled by write: node grid size and the largest packing step of the
    // velocity components and of the vorticity (0 when not packed).
    int width = 0;
    int height = 0;
    double velocityStep = 0.0;
    double valueStep = 0.0;

    // pairStem: path of the pair without ".gri" / ".dat". False with a reason.
    bool write(const std::string& pairStem, const std::string& path, std::string& error);
};

} // namespace tvl::test
