#pragma once

#include "netcdf/NetCdfImportOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace tvl {

// The NetCDF options of the command-line tools (--u, --v, --value, --index,
// --scale), declared once for tvl-convert and tvl-render.
struct NetCdfCommandLine {
    std::string u;
    std::string v;
    std::vector<std::string> values;
    std::vector<std::string> indices;
    std::optional<double> scale;

    void addTo(CLI::App& app);
    // True when any of the options was given.
    bool given() const;
    // False with a message when an --index is not DIM=K.
    bool toOptions(NetCdfImportOptions& options, std::string& error) const;
};

} // namespace tvl
