// Importing a NetCDF-4 file against loading the grid and data file pair of
// the same field: the same nodes (a 0.25-degree-like 1441 x 721 grid, the
// latitude stored north to south as weather services do), the same extent
// and one additional value, both through FlowData, so the resampling is the
// same and the difference is the reading and the node arrays the import
// fills (a pair's rows are read as the resampling needs them).
#include "support/Figures.h"

#include "flow/FlowData.h"
#include "makeflow/FlowGenerator.h"
#include "netcdf/NetCdfImporter.h"

#include <benchmark/benchmark.h>
#include <netcdf.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::string gGrid, gData, gNetCdf;

bool check(int status, const char* what)
{
    if (status != NC_NOERR)
        std::fprintf(stderr, "%s: %s\n", what, nc_strerror(status));
    return status == NC_NOERR;
}

// The node grid as a CF NetCDF-4 file: lon, lat (descending), u, v, p.
bool writeNetCdf(const tvl::NodeGrid& nodes, const std::string& path)
{
    const std::size_t w = std::size_t(nodes.width), h = std::size_t(nodes.height), rec = nodes.recordSize();
    std::vector<double> lon(w), lat(h);
    for (std::size_t i = 0; i < w; ++i)
        lon[i] = nodes.positions[3 * i];
    for (std::size_t r = 0; r < h; ++r)
        lat[r] = nodes.positions[3 * (h - 1 - r) * w + 1];
    std::vector<float> fields[3];
    for (auto& f : fields)
        f.resize(w * h);
    for (std::size_t r = 0; r < h; ++r)
        for (std::size_t i = 0; i < w; ++i) {
            const float* record = &nodes.records[rec * ((h - 1 - r) * w + i)];
            fields[0][r * w + i] = record[0];
            fields[1][r * w + i] = record[1];
            fields[2][r * w + i] = record[3];
        }
    int file = -1, dims[2] = {}, lonId = 0, latId = 0, ids[3] = {};
    const char* names[3] = {"u", "v", "p"};
    bool ok = check(nc_create(path.c_str(), NC_CLOBBER | NC_NETCDF4, &file), "create")
        && check(nc_def_dim(file, "lat", h, &dims[0]), "lat") && check(nc_def_dim(file, "lon", w, &dims[1]), "lon")
        && check(nc_def_var(file, "lat", NC_DOUBLE, 1, &dims[0], &latId), "lat")
        && check(nc_def_var(file, "lon", NC_DOUBLE, 1, &dims[1], &lonId), "lon");
    for (int k = 0; ok && k < 3; ++k)
        ok = check(nc_def_var(file, names[k], NC_FLOAT, 2, dims, &ids[k]), names[k]);
    ok = ok && check(nc_enddef(file), "enddef") && check(nc_put_var_double(file, latId, lat.data()), "lat")
        && check(nc_put_var_double(file, lonId, lon.data()), "lon");
    for (int k = 0; ok && k < 3; ++k)
        ok = check(nc_put_var_float(file, ids[k], fields[k].data()), names[k]);
    return check(nc_close(file), "close") && ok;
}

void BM_LoadPair(benchmark::State& state)
{
    for (auto _ : state) {
        tvl::FlowData flow;
        if (!flow.loadData(gGrid, gData))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(flow.getMaxSpeed());
    }
}
BENCHMARK(BM_LoadPair)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

void BM_ImportNetCdf(benchmark::State& state)
{
    tvl::NetCdfImportOptions options;
    options.values = {"p"};
    options.scale = 1.0; // the file's coordinates are the pair's flow coordinates
    tvl::NetCdfImporter importer;
    for (auto _ : state) {
        tvl::FlowData flow;
        if (!importer.importFile(gNetCdf, options, flow))
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(flow.getMaxSpeed());
    }
}
BENCHMARK(BM_ImportNetCdf)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = std::filesystem::temp_directory_path() / "tavrel-bench-netcdf";
    std::filesystem::create_directories(dir);
    gGrid = dir + "/field.gri";
    gData = dir + "/field.dat";
    gNetCdf = dir + "/field.nc";
    tvl::FlowSpec spec;
    spec.flow = tvl::FlowKind::DoubleGyre;
    spec.width = 1441;
    spec.height = 721;
    spec.additionalCount = 1;
    spec.x1 = 28.8f;
    spec.y1 = 14.4f;
    {
        const tvl::NodeGrid nodes = tvl::makeFlow(spec);
        std::string error;
        if (!tvl::writeFlowFiles(nodes, gGrid, gData, error) || !writeNetCdf(nodes, gNetCdf)) {
            std::fprintf(stderr, "cannot write the bench files %s\n", error.c_str());
            return 1;
        }
    }

    benchmark::Initialize(&argc, argv);
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Both loads run in this process, so their CPU time (page faults and
    // file reads included) compares them without the other processes of a
    // busy machine; the wall times are printed alongside.
    const auto& cpu = reporter.cpuNanoseconds;
    const auto& wall = reporter.nanoseconds;
    if (cpu.count("BM_ImportNetCdf") && cpu.count("BM_LoadPair")) {
        tvl::bench::printFigure("netcdf_import_ms", cpu.at("BM_ImportNetCdf") / 1e6, "ms");
        tvl::bench::printFigure("pair_load_ms", cpu.at("BM_LoadPair") / 1e6, "ms");
        tvl::bench::printFigure(
            "netcdf_import_vs_pair_load_ratio", cpu.at("BM_ImportNetCdf") / cpu.at("BM_LoadPair"), "x");
        tvl::bench::printFigure(
            "netcdf_import_vs_pair_load_wall_ratio", wall.at("BM_ImportNetCdf") / wall.at("BM_LoadPair"), "x");
    }
    std::filesystem::remove_all(dir);
    return 0;
}
