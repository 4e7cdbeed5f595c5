// Exporting the default wind picture (the global 10 m wind data set with all
// three layers and the settings pages' start values, on a 1000 x 800 canvas)
// as a PNG file (drawn offscreen, read back and encoded, as tvl-render does)
// and as an SVG file (described without OpenGL, background encoded as PNG
// and embedded). Both include the placement of the evenly spaced streamlines.
// The data set comes from the shared data folder; without it nothing runs.

#include "support/Figures.h"

#include "flow/FlowData.h"
#include "render/PngFile.h"
#include "render/RenderPicture.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"
#include "render/SvgPicture.h"
#include "view/PictureScene.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace tvl;

struct Fixture {
    FlowData flow;
    RenderSettings settings;
    std::string folder;
    std::string failure;

    Fixture()
    {
        const char* shared = std::getenv("TVL_SHARED_DATA");
        const std::string real = shared ? std::string(shared) + "/real" : std::string(TVL_REAL_DATA_DIR);
        const std::string grid = real + "/gfs_wind10m_20160430T06.gri";
        if (!std::filesystem::exists(grid)) {
            failure = "the wind data set is not in " + real;
            return;
        }
        if (!flow.loadData(grid, real + "/gfs_wind10m_20160430T06.dat")) {
            failure = "cannot load the wind data set";
            return;
        }
        settings.width = 1000;
        settings.height = 800;
        char pattern[] = "/tmp/tvl-export-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            failure = "no temporary folder";
            return;
        }
        folder = pattern;
    }
    ~Fixture()
    {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_PngExport(benchmark::State& state)
{
    Fixture& f = fixture();
    std::string error;
    for (auto _ : state) {
        RgbaImage picture;
        if (!renderPicture(f.flow, f.settings, picture, error) || !writePng(f.folder + "/wind.png", picture, error))
            state.SkipWithError(error.c_str());
    }
}

void BM_SvgExport(benchmark::State& state)
{
    Fixture& f = fixture();
    std::string error;
    for (auto _ : state) {
        PictureScene scene;
        if (!describePicture(f.flow, f.settings, scene, error)
            || !writeSvgPicture(f.folder + "/wind.svg", scene, error))
            state.SkipWithError(error.c_str());
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(f.folder + "/wind.svg"));
}

BENCHMARK(BM_PngExport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_SvgExport)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!fixture().failure.empty()) {
        std::printf("ExportBench skipped: %s\n", fixture().failure.c_str());
        return 0;
    }
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto png = reporter.nanoseconds.find("BM_PngExport");
    const auto svg = reporter.nanoseconds.find("BM_SvgExport");
    if (png == reporter.nanoseconds.end() || svg == reporter.nanoseconds.end())
        return 1;
    tvl::bench::printFigure("png_export_1000x800_ms", png->second * 1e-6, "ms");
    tvl::bench::printFigure("svg_export_1000x800_ms", svg->second * 1e-6, "ms");
    tvl::bench::printFigure("svg_vs_png_export_ratio", svg->second / png->second, "x");
    const auto bytes = reporter.counters.find("BM_SvgExport/bytes");
    if (bytes != reporter.counters.end())
        tvl::bench::printFigure("svg_export_1000x800_bytes", bytes->second, "B");
    return 0;
}
