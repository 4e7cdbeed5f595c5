#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace tvl {

// What a NetCDF file offers for an import, as the import dialog shows it.
struct NetCdfScan {
    struct Variable {
        std::string name;
        std::vector<std::string> dimensions;
        std::string description; // standard_name or long_name, with [units]
    };
    struct Dimension {
        std::string name;
        std::size_t size = 0;
    };

    // Every numeric variable of two or more dimensions, in the file's order.
    std::vector<Variable> variables;
    // Velocity candidates (x, y component), best first; empty when none was found.
    std::vector<std::pair<std::string, std::string>> velocityPairs;
    // Further variables on the grid of the first candidate.
    std::vector<std::string> gridValues;
    // The dimensions beyond the grid's two of the first candidate and of the
    // further variables, each to be read at one index.
    std::vector<Dimension> dimensions;
    // The automatic scale for the first candidate's grid; 0 when there is no
    // candidate or its grid cannot be used (the import then says why).
    double automaticScale = 0.0;
};

} // namespace tvl
