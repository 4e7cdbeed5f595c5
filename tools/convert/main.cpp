// tvl-convert: turns a NetCDF flow field into a grid file and a data file,
// the pair that File > Open and the other tools read.
#include "NetCdfCommandLine.h"

#include "flow/FlowFileWriter.h"
#include "flow/LogSink.h"
#include "flow/NodeGrid.h"
#include "netcdf/NetCdfImporter.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

namespace {

struct StderrLog : tvl::LogSink {
    void write(const std::string& message) override { std::fprintf(stderr, "%s\n", message.c_str()); }
};

void list(const std::string& input, const tvl::NetCdfScan& scan)
{
    std::printf("%s\nfields:\n", input.c_str());
    for (const auto& variable : scan.variables) {
        std::string dimensions;
        for (const std::string& d : variable.dimensions)
            dimensions += (dimensions.empty() ? "" : ", ") + d;
        std::printf("  %s(%s)  %s\n", variable.name.c_str(), dimensions.c_str(), variable.description.c_str());
    }
    std::printf("velocity candidates, best first:\n");
    for (const auto& [u, v] : scan.velocityPairs)
        std::printf("  --u %s --v %s\n", u.c_str(), v.c_str());
    std::printf("further fields on the first candidate's grid:");
    for (const std::string& name : scan.gridValues)
        std::printf(" %s", name.c_str());
    std::printf("\nfurther dimensions:");
    for (const auto& d : scan.dimensions)
        std::printf(" %s (0 .. %zu)", d.name.c_str(), d.size - 1);
    std::printf("\nautomatic scale: %g\n", scan.automaticScale);
}

} // namespace

int main(int argc, char** argv)
{
    std::string input;
    std::string stem;
    bool listOnly = false;
    tvl::NetCdfCommandLine netcdf;
    CLI::App app {"Converts a 2-D flow field in a NetCDF file (CF conventions, NetCDF-3 or NetCDF-4) into a grid file\n"
                  "STEM.gri and a data file STEM.dat. The velocity and every --value are read on the velocity's grid;\n"
                  "descending axes are turned round, missing values become NaN, packed values are unpacked.",
        "tvl-convert"};
    app.add_option("input", input, "NetCDF file")->required();
    app.add_option("-o,--output", stem, "STEM of the pair to write: STEM.gri and STEM.dat");
    app.add_flag("--list", listOnly, "list the file's fields, velocity candidates and dimensions, write nothing");
    netcdf.addTo(app);
    CLI11_PARSE(app, argc, argv);

    StderrLog log;
    tvl::NetCdfImporter importer;
    importer.setLogSink(&log);
    if (listOnly) {
        tvl::NetCdfScan scan;
        if (!importer.scanFile(input, scan))
            return 1;
        list(input, scan);
        return 0;
    }
    if (stem.empty()) {
        std::fputs("tvl-convert: give the output STEM with -o (or --list)\n", stderr);
        return 1;
    }
    tvl::NetCdfImportOptions options;
    std::string error;
    if (!netcdf.toOptions(options, error)) {
        std::fprintf(stderr, "tvl-convert: --index %s\n", error.c_str());
        return 1;
    }
    tvl::NodeGrid nodes;
    if (!importer.readNodes(input, options, nodes))
        return 1;
    if (!tvl::writeFlowFiles(nodes, stem + ".gri", stem + ".dat", error)) {
        std::fprintf(stderr, "tvl-convert: %s\n", error.c_str());
        return 1;
    }
    std::printf("wrote %s.gri and %s.dat: %d x %d nodes, %d additional values\n", stem.c_str(), stem.c_str(),
        nodes.width, nodes.height, nodes.additionalCount);
    return 0;
}
