#pragma once

#include "flow/NodeGrid.h"

#include <string>

namespace tvl {

// Writes a node grid as a grid file with the 40-byte "SN4DB W H 1 N 0 0.0"
// header and a data file, both little-endian on any host. False with a reason
// in error on any I/O failure.
bool writeFlowFiles(
    const NodeGrid& nodes, const std::string& gridPath, const std::string& dataPath, std::string& error);

} // namespace tvl
