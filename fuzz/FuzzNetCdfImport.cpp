// Fuzz target for the NetCDF import: the input is the image of a NetCDF file,
// opened in memory. The scan and the import (of the velocity found and of up
// to two further fields the scan lists) must end in true or false, never a
// crash, a sanitizer report or a read outside an array, and a failed import
// must leave the previous data set as it was.
#include "FuzzFlow.h"
#include "netcdf/NetCdfImporter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Keeps each import small, so every input finishes well within a second.
constexpr std::uint64_t kCap = std::uint64_t {4} << 20;

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

    tvl::FlowData& flow = tvl::fuzz::startingFlow(kCap);
    tvl::fuzz::loadOver(flow, [&](tvl::FlowData& f) { return importer.importMemory(data, size, options, f); });
    tvl::fuzz::lookEverywhere(flow);
    return 0;
}
