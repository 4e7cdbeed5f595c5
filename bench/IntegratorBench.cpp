// Fourth-order Runge-Kutta steps per second on a 1001 × 1001 regular grid.
#include "flow/FlowData.h"
#include "flow/RegularSample.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "support/Figures.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 1001;

// Solid-body rotation about the grid centre, scaled so that the speed is 1 at
// a radius of 500 samples: circles never leave the grid, so every trace runs
// its full step budget and the figure measures stepping, not stopping.
const tvl::FlowData& vortex()
{
    static const tvl::FlowData flow = [] {
        tvl::FlowData data;
        const float centre = 0.5f * (kSize - 1);
        std::vector<tvl::RegularSample> samples(static_cast<std::size_t>(kSize) * kSize);
        for (int r = 0; r < kSize; ++r) {
            for (int c = 0; c < kSize; ++c) {
                const float vx = -(static_cast<float>(r) - centre) / 500.0f;
                const float vy = (static_cast<float>(c) - centre) / 500.0f;
                samples[static_cast<std::size_t>(r) * kSize + static_cast<std::size_t>(c)]
                    = {vx, vy, 0.0f, std::sqrt(vx * vx + vy * vy)};
            }
        }
        tvl::RegularGrid grid;
        grid.width = grid.height = kSize;
        grid.maximum = {20.0f, 20.0f, 0.0f};
        grid.samples.assign(samples.begin(), samples.end());
        data.adoptRegularGrid(std::move(grid));
        return data;
    }();
    return flow;
}

// Manual seeding parameters: step 0.1, 10000 steps per half-line.
void BM_RungeKutta4Steps(benchmark::State& state)
{
    const tvl::FlowData& flow = vortex();
    tvl::RungeKutta4Integrator integrator(&flow);
    integrator.setParameters(tvl::TraceParameters::manualSeeding());
    std::int64_t steps = 0;
    int seed = 0;
    for (auto _ : state) {
        // Radii 100 .. 450 samples: the speed and the step length vary.
        const float radius = 100.0f + 50.0f * static_cast<float>(seed % 8);
        ++seed;
        integrator.traceBoth({500.0f + radius, 500.0f, 0.0f});
        steps += integrator.forwardLine().count() - 1 + integrator.backwardLine().count() - 1;
        benchmark::DoNotOptimize(integrator.forwardLine().data());
    }
    state.counters["steps_per_s"] = benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RungeKutta4Steps)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const auto rate = reporter.counters.find("BM_RungeKutta4Steps/steps_per_s");
    if (rate == reporter.counters.end())
        return 1;
    tvl::bench::printFigure("rk4_steps_per_s", rate->second, "steps/s");
    return 0;
}
