// Importing a NetCDF-4 file against loading the grid and data file pair of
// the same field: the same nodes (a 0.25-degree-like 1441 x 721 grid, the
// latitude stored north to south as weather services do), the same extent
// and one additional value, both through FlowData, so the resampling is the
// same and the difference is the reading and the node arrays the import
// fills (a pair's data rows are read as the resampling needs them).
//
// The figure is the CPU time (page faults and file reads included) of one
// load in a fresh process, as when a user opens a file: repeated loads in one
// process measure as much whether the allocator kept the previous load's
// pages, which it does for the pair's smaller peak and not for the import's.
// The ratio of repeated loads is printed alongside.
#include "support/Figures.h"

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/FlowFileWriter.h"
#include "netcdf/NetCdfImporter.h"

#include <benchmark/benchmark.h>
#include <netcdf.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

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

bool loadPair(tvl::FlowData& flow)
{
    return flow.loadData(gGrid, gData);
}

bool importNetCdf(tvl::FlowData& flow)
{
    tvl::NetCdfImportOptions options;
    options.values = {"p"};
    options.scale = 1.0; // the file's coordinates are the pair's flow coordinates
    return tvl::NetCdfImporter().importFile(gNetCdf, options, flow);
}

void setPaths(const std::string& dir)
{
    gGrid = dir + "/field.gri";
    gData = dir + "/field.dat";
    gNetCdf = dir + "/field.nc";
}

// CPU time of one load in this program started afresh with --load-once, in
// seconds; negative when the load or the start fails.
double freshLoadSeconds(const char* kind, const std::string& dir)
{
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>("/proc/self/exe"), const_cast<char*>("--load-once"), const_cast<char*>(kind),
        const_cast<char*>(dir.c_str()), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char text[64] = {};
    const ssize_t got = spawned == 0 ? read(out[0], text, sizeof text - 1) : -1;
    close(out[0]);
    int status = 0;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? std::strtod(text, nullptr) : -1.0;
}

std::string gDir;

void BM_FreshPairLoad(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = freshLoadSeconds("pair", gDir);
        if (seconds < 0)
            state.SkipWithError("load failed");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_FreshPairLoad)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();

void BM_FreshNetCdfImport(benchmark::State& state)
{
    for (auto _ : state) {
        const double seconds = freshLoadSeconds("netcdf", gDir);
        if (seconds < 0)
            state.SkipWithError("import failed");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_FreshNetCdfImport)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseManualTime();

void BM_LoadPair(benchmark::State& state)
{
    for (auto _ : state) {
        tvl::FlowData flow;
        if (!loadPair(flow))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(flow.getMaxSpeed());
    }
}
BENCHMARK(BM_LoadPair)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ImportNetCdf(benchmark::State& state)
{
    for (auto _ : state) {
        tvl::FlowData flow;
        if (!importNetCdf(flow))
            state.SkipWithError("import failed");
        benchmark::DoNotOptimize(flow.getMaxSpeed());
    }
}
BENCHMARK(BM_ImportNetCdf)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The child's side of freshLoadSeconds: one load, its CPU time on stdout.
int loadOnce(const std::string& kind, const std::string& dir)
{
    setPaths(dir);
    tvl::FlowData flow;
    timespec start {}, end {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &start);
    const bool ok = kind == "pair" ? loadPair(flow) : importNetCdf(flow);
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &end);
    if (!ok)
        return 1;
    std::printf("%.9f\n", double(end.tv_sec - start.tv_sec) + 1e-9 * double(end.tv_nsec - start.tv_nsec));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--load-once") == 0)
        return loadOnce(argv[2], argv[3]);
    gDir = std::filesystem::temp_directory_path() / "tavrel-bench-netcdf";
    std::filesystem::create_directories(gDir);
    setPaths(gDir);
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

    const auto& fresh = reporter.nanoseconds; // the manual times: CPU time in the fresh process
    const auto& cpu = reporter.cpuNanoseconds;
    if (fresh.count("BM_FreshNetCdfImport") && fresh.count("BM_FreshPairLoad")) {
        tvl::bench::printFigure("netcdf_import_ms", fresh.at("BM_FreshNetCdfImport") / 1e6, "ms");
        tvl::bench::printFigure("pair_load_ms", fresh.at("BM_FreshPairLoad") / 1e6, "ms");
        tvl::bench::printFigure(
            "netcdf_import_vs_pair_load_ratio", fresh.at("BM_FreshNetCdfImport") / fresh.at("BM_FreshPairLoad"), "x");
    }
    if (cpu.count("BM_ImportNetCdf") && cpu.count("BM_LoadPair"))
        tvl::bench::printFigure(
            "netcdf_import_vs_pair_load_repeated_ratio", cpu.at("BM_ImportNetCdf") / cpu.at("BM_LoadPair"), "x");
    std::filesystem::remove_all(gDir);
    return 0;
}
