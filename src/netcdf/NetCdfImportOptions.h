#pragma once

#include "flow/FlowData.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tvl {

// What to take from a NetCDF file. Every field may stay at its default: the
// velocity is then found by the file's own metadata, every further dimension
// (time, level) is read at index 0 and the scale is chosen automatically.
struct NetCdfImportOptions {
    // Variable names of the velocity's x (east) and y (north) component; both
    // empty for the automatic choice, otherwise both given.
    std::string u;
    std::string v;
    // Further variables on the velocity's grid, read as the additional values
    // 0, 1, ... in this order.
    std::vector<std::string> values;
    // Index into a dimension beyond the grid's two, by dimension name; a
    // dimension named nowhere here is read at index 0.
    std::vector<std::pair<std::string, long long>> indices;
    // Flow units per coordinate unit (x = longitude × scale, y = latitude ×
    // scale); unset for the automatic factor, which gives the regular grid
    // (cell 0.02 flow units) about as many cells along its longer axis as the
    // node grid has nodes there.
    std::optional<double> scale;
    // Largest regular grid the import may lead to, in FlowData's terms (bytes
    // of samples plus additional values); the node arrays are held to the
    // same bound. Checked before anything of that size is allocated.
    std::uint64_t regularGridCap = FlowData::kMaxRegularGridBytes;
};

// Parses "DIM=K" (K a non-negative decimal integer) into options.indices; a
// later setting for the same dimension replaces an earlier one. False with a
// message in error, options untouched, on bad text.
bool parseDimensionIndex(const std::string& text, NetCdfImportOptions& options, std::string& error);

} // namespace tvl
