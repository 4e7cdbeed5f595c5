// Fuzz target for the NetCDF import: the input is the image of a NetCDF file,
// opened in memory. The scan and the import (of the velocity found and of up
// to two further fields the scan lists) must end in true or false, never a
// crash, a sanitizer report or a read outside an array, and a failed import
// must leave the previous data set as it was.
#include "flow/FlowData.h"
#include "netcdf/NetCdfImporter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Keeps each import small, so every input finishes well within a second.
constexpr std::uint64_t kCap = std::uint64_t {4} << 20;

tvl::FlowData& baseline()
{
    // A valid 2 x 2 data set loaded once; every fuzz input imports over it.
    static tvl::FlowData flow = [] {
        tvl::FlowData f;
        tvl::NodeGrid nodes;
        nodes.allocate(2, 2, 1);
        const float xyz[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
        for (int n = 0; n < 12; ++n)
            nodes.positions[std::size_t(n)] = xyz[n];
        for (int n = 0; n < 16; ++n)
            nodes.records[std::size_t(n)] = n % 4 == 0 ? 1.0f : 0.5f;
        if (!f.loadNodes(std::move(nodes)))
            std::abort();
        f.setRegularGridCap(kCap);
        return f;
    }();
    return flow;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    tvl::NetCdfImporter importer;
    tvl::NetCdfScan scan;
    tvl::NetCdfImportOptions options;
    options.regularGridCap = kCap;
    if (importer.scanMemory(data, size, scan, kCap)) {
        if (scan.variables.empty())
            std::abort(); // a scan that succeeds has found a field
        for (std::size_t k = 0; k < scan.gridValues.size() && k < 2; ++k)
            options.values.push_back(scan.gridValues[k]);
        for (const tvl::NetCdfScan::Dimension& dimension : scan.dimensions)
            if (dimension.size > 1)
                options.indices.emplace_back(dimension.name, static_cast<long long>(dimension.size - 1));
    }

    tvl::FlowData& flow = baseline();
    const int width = flow.getWidth();
    const float maxSpeed = flow.getMaxSpeed();
    if (!importer.importMemory(data, size, options, flow)) {
        if (flow.getWidth() != width || !(flow.getMaxSpeed() == maxSpeed || maxSpeed != maxSpeed))
            std::abort(); // a failed import changed the data set
    }
    // Every lookup must stay inside the arrays, wherever it is asked.
    const float probes[] = {-1.5f, -0.5f, 0.0f, 0.5f, 1.0f, 49.99f, 1e9f, -1e9f, __builtin_nanf("")};
    for (float gx : probes)
        for (float gy : probes) {
            tvl::Vector3 d;
            float s = 0;
            flow.directionAt({gx, gy, 0}, d);
            flow.speedAt({gx, gy, 0}, s);
            for (int k = -1; k <= flow.getAdditionalCount(); ++k)
                flow.additionalValueAt({gx, gy, 0}, k);
        }
    return 0;
}
