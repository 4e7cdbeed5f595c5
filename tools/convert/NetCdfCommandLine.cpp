#include "NetCdfCommandLine.h"

#include <CLI/CLI.hpp>

namespace tvl {

void NetCdfCommandLine::addTo(CLI::App& app)
{
    const char* group = "NetCDF files";
    app.add_option("--u", u, "variable of the velocity's x (east) component; default: found by standard_name or name")
        ->group(group);
    app.add_option("--v", v, "variable of the velocity's y (north) component; give it with --u")->group(group);
    app.add_option("--value", values,
           "a further variable on the velocity's grid, read as the next additional value; "
           "repeatable")
        ->group(group)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option(
           "--index", indices, "DIM=K: read dimension DIM (time, level, ...) at index K (default 0); repeatable")
        ->group(group)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_option("--scale", scale,
           "flow units per coordinate unit (default: the regular grid gets about the node "
           "grid's resolution along its longer axis)")
        ->group(group)
        ->check(CLI::PositiveNumber);
}

bool NetCdfCommandLine::given() const
{
    return !u.empty() || !v.empty() || !values.empty() || !indices.empty() || scale.has_value();
}

bool NetCdfCommandLine::toOptions(NetCdfImportOptions& options, std::string& error) const
{
    NetCdfImportOptions result = options;
    result.u = u;
    result.v = v;
    result.values = values;
    result.scale = scale;
    for (const std::string& text : indices)
        if (!parseDimensionIndex(text, result, error))
            return false;
    options = result;
    return true;
}

} // namespace tvl
