// Evenly spaced streamlines filling a 1000 × 800 viewport at the default
// sliders (dsep 10 pixels, dtest 5 pixels, Euler) over a steady double gyre,
// exactly as a canvas redraw runs them: FlowView::drawStreamlines into an
// offscreen GL context, display list recording and replay included, timed to
// glFinish.
//
// A second benchmark runs the placement alone, without any GL call (what the
// numerical core costs), and a third replays the recorded list alone, to show
// how much of the time goes into drawing the lines (all of it in software
// here).
//
// The field is written as a .gri/.dat pair and loaded through the loader, so
// that bench/even_placement_vtk.py can time another placement on the same
// nodes:
//   EvenPlacementBench --field-dir DIR
//   /usr/bin/python3 bench/even_placement_vtk.py DIR
// Without --field-dir the files go to a folder under the system's temporary
// directory, printed at the start.

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/FlowFileWriter.h"
#include "render/OffscreenContext.h"
#include "streamlines/IntegrationScheme.h"
#include "streamlines/StreamlineLayer.h"
#include "support/Figures.h"
#include "view/FlowView.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace tvl;

constexpr int kViewportWidth = 1000;
constexpr int kViewportHeight = 800;
// Default slider positions: dsep 100 (10 pixels), dtest 50 (half of dsep),
// integrator "Euler".
constexpr float kDsepPosition = 100.0f;
constexpr float kDtestPosition = 50.0f;
constexpr IntegrationScheme kScheme = IntegrationScheme::Euler;

// Domain 10 × 8 flow units: the aspect of the viewport, so the view fills
// all of it, at 0.01 flow units per pixel. 501 × 401 nodes lie 0.02 apart,
// on the regular grid's own cells.
FlowSpec doubleGyre()
{
    FlowSpec spec;
    spec.flow = FlowKind::DoubleGyre;
    spec.grid = GridKind::Even;
    spec.width = 501;
    spec.height = 401;
    spec.x0 = 0.0f;
    spec.y0 = 0.0f;
    spec.x1 = 10.0f;
    spec.y1 = 8.0f;
    return spec;
}

struct Scene {
    OffscreenContext context;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

void placeEvenly(benchmark::State& state, Scene* scene)
{
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        scene->view->drawStreamlines(kDsepPosition, kDtestPosition, kScheme);
        glFinish();
    }
}

// The placement as drawStreamlines runs it, without any drawing.
void placeWithoutDrawing(Scene& scene)
{
    StreamlineLayer& layer = scene.view->streamlineLayer();
    layer.setSeparation(kDsepPosition * 0.1f, scene.view->gridUnitsPerPixel());
    layer.setTestRatio(kDtestPosition * 0.01f);
    const auto integrator = makeIntegrator(kScheme, &scene.flow);
    layer.setIntegrator(integrator.get());
    layer.placeEvenly();
}

void computePlacement(benchmark::State& state, Scene* scene)
{
    for (auto _ : state)
        placeWithoutDrawing(*scene);
}

// One drawing of the placed lines from the display list: what the GL part of
// a placement costs each time the lines are drawn (a placement uploads them
// to the list once and draws them once from it).
void replayList(benchmark::State& state, Scene* scene)
{
    scene->view->setStreamlineProjection();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        draw(scene->view->displayList());
        glFinish();
    }
}

// Takes --field-dir=DIR or --field-dir DIR out of the arguments.
std::string fieldDirectory(int& argc, char** argv)
{
    const char* option = "--field-dir";
    const std::size_t length = std::strlen(option);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, length) != 0)
            continue;
        int used = 0;
        std::string dir;
        if (argv[i][length] == '=') {
            dir = argv[i] + length + 1;
            used = 1;
        } else if (argv[i][length] == 0 && i + 1 < argc) {
            dir = argv[i + 1];
            used = 2;
        } else {
            continue;
        }
        for (int j = i; j + used < argc; ++j)
            argv[j] = argv[j + used];
        argc -= used;
        return dir;
    }
    return (std::filesystem::temp_directory_path() / "tavrel-even-placement").string();
}

} // namespace

int main(int argc, char** argv)
{
    const std::string dir = fieldDirectory(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    std::error_code failure;
    std::filesystem::create_directories(dir, failure);
    const std::string gridPath = dir + "/double_gyre.gri";
    const std::string dataPath = dir + "/double_gyre.dat";
    std::string error;
    if (!writeFlowFiles(makeFlow(doubleGyre()), gridPath, dataPath, error)) {
        std::fprintf(stderr, "EvenPlacementBench: %s\n", error.c_str());
        return 1;
    }
    std::printf("field: %s %s\n", gridPath.c_str(), dataPath.c_str());

    Scene scene;
    if (!scene.context.create(kViewportWidth, kViewportHeight, error)) {
        std::fprintf(stderr, "EvenPlacementBench: no offscreen GL context: %s\n", error.c_str());
        return 1;
    }
    if (!scene.flow.loadData(gridPath, dataPath)) {
        std::fprintf(stderr, "EvenPlacementBench: the field did not load\n");
        return 1;
    }
    scene.view = std::make_unique<FlowView>(&scene.flow);
    scene.view->setCanvasSize(kViewportWidth, kViewportHeight);
    scene.view->resetRegion();
    scene.view->applyViewport();
    if (scene.view->viewportWidth() != kViewportWidth || scene.view->viewportHeight() != kViewportHeight) {
        std::fprintf(stderr, "EvenPlacementBench: the view fills only %d × %d pixels\n", scene.view->viewportWidth(),
            scene.view->viewportHeight());
        return 1;
    }
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // The same placement once more, untimed, to count its streamlines: seeds
    // whose trace moved, and the points of every half-line.
    placeWithoutDrawing(scene);
    const StreamlineLayer& layer = scene.view->streamlineLayer();
    const StreamlineSet& placed = layer.placedLines();
    int lines = 0;
    for (std::size_t k = 0; k + 1 < placed.halfLines().size(); k += 2)
        if (placed.halfLines()[k].count > 1 || placed.halfLines()[k + 1].count > 1)
            ++lines;
    const std::size_t points = placed.points().size();
    std::printf("%d streamlines from %zu half-lines of %zu points in all\n", lines, placed.halfLines().size(), points);
    std::printf("regular grid %d x %d, g %.6g grid units per pixel, dsep %.6g, dtest %.6g grid units\n",
        scene.flow.getWidth(), scene.flow.getHeight(), layer.gridUnitsPerPixel(), layer.dsep(), layer.dtest());

    benchmark::RegisterBenchmark("BM_EvenPlacement1000x800", placeEvenly, &scene)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("BM_EvenPlacementCompute1000x800", computePlacement, &scene)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(2.0);
    // The list is recorded by the first timed placement.
    benchmark::RegisterBenchmark("BM_ReplayList1000x800", replayList, &scene)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->MinTime(1.0);
    bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto time = reporter.nanoseconds.find("BM_EvenPlacement1000x800");
    if (time == reporter.nanoseconds.end())
        return 1;
    bench::printFigure("even_placement_1000x800_ms", time->second * 1e-6, "ms");
    bench::printFigure("even_placement_lines", lines, "lines");
    bench::printFigure("even_placement_points", static_cast<double>(points), "points");
    const auto compute = reporter.nanoseconds.find("BM_EvenPlacementCompute1000x800");
    if (compute != reporter.nanoseconds.end())
        bench::printFigure("even_placement_compute_ms", compute->second * 1e-6, "ms");
    const auto replay = reporter.nanoseconds.find("BM_ReplayList1000x800");
    if (replay != reporter.nanoseconds.end())
        bench::printFigure("even_placement_replay_ms", replay->second * 1e-6, "ms");
    return 0;
}
