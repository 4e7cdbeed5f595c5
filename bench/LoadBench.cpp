// Loading a large data set against reading the same bytes with cat, the peak
// memory of a load against the bytes it must hold, and the cost of the two
// lookups every layer calls.
//
// Three data sets of the same vortex: 2000 × 2000 nodes over 4 × 4 flow units
// (a 201 × 201 regular grid, so the walk reads about a tenth of the node
// rows), the same nodes over 40 × 40 units (2001 × 2001 samples, every node
// row read), and 64 × 64 nodes over 250 × 250 units (12501 × 12501 samples,
// 2.5 GB: the cost of a load that is all resampling, per sample).
#include "support/Figures.h"

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/FlowFileWriter.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct FilePair {
    std::string grid;
    std::string data;
};
FilePair gSparse, gDense, gSampleHeavy;

void runCat(const FilePair& files)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string grid = files.grid, data = files.data;
    char* argv[] = {const_cast<char*>("cat"), grid.data(), data.data(), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "cat", &actions, nullptr, argv, environ) != 0) {
        std::fputs("cannot run cat\n", stderr);
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
}

void catBothFiles(benchmark::State& state, const FilePair* files)
{
    for (auto _ : state)
        runCat(*files);
}

void loadData(benchmark::State& state, const FilePair* files)
{
    for (auto _ : state) {
        tvl::FlowData flow;
        if (!flow.loadData(files->grid, files->data))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(flow.getMaxSpeed());
    }
}

std::vector<tvl::Vector3> insidePoints(const tvl::FlowData& flow, std::size_t count)
{
    std::mt19937 random(42);
    std::uniform_real_distribution<float> gx(0.0f, float(flow.getWidth() - 1) - 1e-3f);
    std::uniform_real_distribution<float> gy(0.0f, float(flow.getHeight() - 1) - 1e-3f);
    std::vector<tvl::Vector3> points(count);
    for (auto& p : points)
        p = {gx(random), gy(random), 0.0f};
    return points;
}

tvl::FlowData& loadedFlow()
{
    static tvl::FlowData flow;
    if (!flow.isLoaded() && !flow.loadData(gSparse.grid, gSparse.data)) {
        std::fputs("load failed\n", stderr);
        std::exit(1);
    }
    return flow;
}

void BM_SpeedAt(benchmark::State& state)
{
    const tvl::FlowData& flow = loadedFlow();
    const auto points = insidePoints(flow, 1 << 20);
    std::size_t n = 0;
    float sum = 0.0f;
    for (auto _ : state) {
        float s = 0.0f;
        flow.speedAt(points[n], s);
        sum += s;
        n = (n + 1) & ((1 << 20) - 1);
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_SpeedAt);

void BM_DirectionAt(benchmark::State& state)
{
    const tvl::FlowData& flow = loadedFlow();
    const auto points = insidePoints(flow, 1 << 20);
    std::size_t n = 0;
    float sum = 0.0f;
    for (auto _ : state) {
        tvl::Vector3 d;
        flow.directionAt(points[n], d);
        sum += d.x;
        n = (n + 1) & ((1 << 20) - 1);
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_DirectionAt);

long statusField(const char* field)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::size_t len = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, len, field) == 0)
            return std::strtol(line.c_str() + len, nullptr, 10);
    return -1;
}

// Peak resident memory added by one load, measured in a fresh child process so
// nothing the benchmarks allocated counts, in bytes.
double loadPeakBytes()
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const long before = statusField("VmRSS:");
        tvl::FlowData flow;
        const bool ok = flow.loadData(gSparse.grid, gSparse.data);
        const long peak = statusField("VmHWM:");
        const double added = ok ? double(peak - before) * 1024.0 : -1.0;
        if (write(fds[1], &added, sizeof added) != sizeof added)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    double added = -1;
    if (read(fds[0], &added, sizeof added) != sizeof added)
        added = -1;
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return added;
}

// Writes the vortex of width × height nodes over extent × extent flow units.
FilePair writeVortex(const std::string& dir, const std::string& name, int nodes, float extent, int additionalCount)
{
    FilePair files {dir + "/" + name + ".gri", dir + "/" + name + ".dat"};
    tvl::FlowSpec spec;
    spec.flow = tvl::FlowKind::Vortex;
    spec.width = nodes;
    spec.height = nodes;
    spec.additionalCount = additionalCount;
    spec.x0 = 0.0f;
    spec.y0 = 0.0f;
    spec.x1 = extent;
    spec.y1 = extent;
    std::string error;
    if (!tvl::writeFlowFiles(tvl::makeFlow(spec), files.grid, files.data, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    runCat(files); // into the page cache
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = std::filesystem::temp_directory_path() / "tavrel-bench-load";
    std::filesystem::create_directories(dir);
    gSparse = writeVortex(dir, "vortex2000", 2000, 4.0f, 2);
    gDense = writeVortex(dir, "vortex2000dense", 2000, 40.0f, 2);
    gSampleHeavy = writeVortex(dir, "vortex64", 64, 250.0f, 0);

    // Before anything else has raised the process's resident high-water mark.
    const double nodeBytes = 2000.0 * 2000.0 * 4.0 * (3.0 + 3.0 + 2.0);
    double gridBytes = 0.0;
    {
        tvl::FlowData flow;
        flow.loadData(gSparse.grid, gSparse.data);
        gridBytes = double(flow.getWidth()) * flow.getHeight() * (sizeof(tvl::RegularSample) + 4.0 * 2);
    }
    const double peak = loadPeakBytes();

    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("BM_CatBothFiles", catBothFiles, &gSparse)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_LoadData", loadData, &gSparse)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_CatDenseFiles", catBothFiles, &gDense)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->UseRealTime();
    benchmark::RegisterBenchmark("BM_LoadDense", loadData, &gDense)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0)
        ->UseRealTime();
    // 2.5 GB per load: a few loads are plenty.
    benchmark::RegisterBenchmark("BM_LoadSampleHeavy", loadData, &gSampleHeavy)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true)
        ->UseRealTime();
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    const auto& ns = reporter.nanoseconds;
    if (ns.count("BM_LoadData") && ns.count("BM_CatBothFiles"))
        tvl::bench::printFigure("load_vs_cat_ratio", ns.at("BM_LoadData") / ns.at("BM_CatBothFiles"), "x");
    if (ns.count("BM_LoadDense") && ns.count("BM_CatDenseFiles"))
        tvl::bench::printFigure("load_dense_vs_cat_ratio", ns.at("BM_LoadDense") / ns.at("BM_CatDenseFiles"), "x");
    tvl::bench::printFigure("load_peak_memory_ratio", peak / (nodeBytes + gridBytes), "x");
    // 250 / 0.02 + 1 samples along each axis.
    const double heavySamples = 12501.0 * 12501.0;
    if (ns.count("BM_LoadSampleHeavy"))
        tvl::bench::printFigure("resample_ns_per_sample", ns.at("BM_LoadSampleHeavy") / heavySamples, "ns");
    if (ns.count("BM_SpeedAt"))
        tvl::bench::printFigure("speedAt_ns", ns.at("BM_SpeedAt"), "ns");
    if (ns.count("BM_DirectionAt"))
        tvl::bench::printFigure("directionAt_ns", ns.at("BM_DirectionAt"), "ns");
    std::filesystem::remove_all(dir);
    return 0;
}
