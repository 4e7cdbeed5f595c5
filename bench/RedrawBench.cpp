// A full redraw of a 1000 x 800 canvas in an offscreen context, as the Draw
// button makes it with all three layers ticked and the settings pages at
// their start values: clear, background with the speed coder, evenly spaced
// streamlines (dsep 100, dtest 50, Euler), arrows every 20 pixels without
// coding, glFinish. The field is a double gyre resampled onto a 500 x 400
// regular grid by the loader.

#include "flow/FlowData.h"
#include "render/OffscreenContext.h"
#include "support/Figures.h"
#include "support/GyreScene.h"
#include "transfer/ColorTable.h"
#include "transfer/TransferFunction.h"
#include "view/DrawLayers.h"
#include "view/FlowView.h"
#include "view/LayerSettings.h"
#include "view/SpeedCoder.h"

#include "flow/AnalyticFlow.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

using namespace tvl;

struct Fixture : bench::GyreScene {
    Fixture() { settings.layers = {true, true, true}; }

    void redraw()
    {
        drawLayers(*view, settings, coder.get());
        glFinish();
    }

    LayerSettings settings; // the settings pages' start values
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_FullRedraw(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        f.redraw();
}

void BM_StreamlinesOnly(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
        glFinish();
    }
}

void BM_ArrowsOnly(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->drawArrowPlot(20, ArrowCoding::none());
        glFinish();
    }
}

BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_StreamlinesOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArrowsOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!fixture().failure.empty()) {
        std::fprintf(stderr, "RedrawBench: %s\n", fixture().failure.c_str());
        return 1;
    }
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto redraw = reporter.nanoseconds.find("BM_FullRedraw");
    if (redraw != reporter.nanoseconds.end())
        tvl::bench::printFigure("full_redraw_1000x800_ms", redraw->second * 1e-6, "ms");
    return 0;
}
