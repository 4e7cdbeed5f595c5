// Throughput of DataCoder::colorAt, the per-pixel call of the background layer,
// for each coder on a 1001 x 1001 regular grid with one additional value.
// Random points stress the grid lookups' memory access; scan-order points
// (row by row, as the background layer samples) show the common case. The
// FlowData::speedAt figure is the floor the speed coder builds on.

#include "flow/FlowData.h"
#include "support/Figures.h"
#include "transfer/ColorTable.h"
#include "transfer/TransferFunction.h"
#include "transfer/TransferPreset.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tvl;

constexpr int kGrid = 1001;
constexpr int kSmallGrid = 201;
constexpr std::size_t kPoints = std::size_t {1} << 16;

// A vortex with a pressure-like additional value: every sample differs, so
// no lookup can be answered from a constant.
void setVortex(FlowData& flow, int n)
{
    std::vector<RegularSample> samples(std::size_t(n) * std::size_t(n));
    std::vector<float> values(samples.size());
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const float x = static_cast<float>(c - n / 2) / static_cast<float>(n);
            const float y = static_cast<float>(r - n / 2) / static_cast<float>(n);
            const std::size_t s = std::size_t(r) * std::size_t(n) + std::size_t(c);
            samples[s] = RegularSample {-y, x, 0.0f, std::sqrt(x * x + y * y)};
            values[s] = x * x - y * y;
        }
    }
    RegularGrid grid;
    grid.width = grid.height = n;
    grid.additionalCount = 1;
    grid.maximum = {1.0f, 1.0f, 0.0f};
    grid.samples.assign(samples.begin(), samples.end());
    grid.values.assign(values.begin(), values.end());
    flow.adoptRegularGrid(std::move(grid));
}

std::vector<Vector3> randomInside(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> inside(0.0f, static_cast<float>(n - 1) - 0.001f);
    std::vector<Vector3> points(kPoints);
    for (Vector3& p : points)
        p = Vector3 {inside(random), inside(random), 0.0f};
    return points;
}

struct Fixture {
    FlowData flow;
    // Small enough (201 x 201 samples, 0.6 MiB) to stay in the core's cache:
    // the coder's own cost without the memory latency of random lookups.
    FlowData smallFlow;
    std::shared_ptr<const ColorTable> table;
    std::vector<Vector3> randomPoints;
    std::vector<Vector3> smallRandomPoints;
    std::vector<Vector3> scanPoints;

    Fixture()
    {
        setVortex(flow, kGrid);
        setVortex(smallFlow, kSmallGrid);
        TransferFunction tf(ClientRect {0, 0, 495 * 2, 18});
        tf.applyPreset(kTransferPresets[2]);
        table = tf.colorTable();

        randomPoints = randomInside(kGrid, 12345);
        smallRandomPoints = randomInside(kSmallGrid, 54321);
        // 256 x 256 pixels over a 700 x 700 part of the grid, row by row.
        scanPoints.reserve(kPoints);
        for (int j = 0; j < 256; ++j) {
            for (int i = 0; i < 256; ++i)
                scanPoints.push_back(Vector3 {150.0f + 2.73f * float(i), 150.0f + 2.73f * float(j), 0.0f});
        }
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void runColorAt(benchmark::State& state, const DataCoder& coder, const std::vector<Vector3>& points)
{
    std::uint8_t rgba[4];
    unsigned sum = 0;
    for (auto _ : state) {
        for (const Vector3& p : points) {
            sum += coder.colorAt(p, rgba);
            sum += rgba[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["calls_per_s"]
        = benchmark::Counter(double(state.iterations()) * double(points.size()), benchmark::Counter::kIsRate);
}

void BM_SpeedCoderRandom(benchmark::State& state)
{
    SpeedCoder coder(fixture().flow, fixture().table);
    runColorAt(state, coder, fixture().randomPoints);
}

void BM_SpeedCoderScan(benchmark::State& state)
{
    SpeedCoder coder(fixture().flow, fixture().table);
    runColorAt(state, coder, fixture().scanPoints);
}

void BM_SpeedCoderRandomSmallGrid(benchmark::State& state)
{
    SpeedCoder coder(fixture().smallFlow, fixture().table);
    runColorAt(state, coder, fixture().smallRandomPoints);
}

void BM_DirectionCoderRandom(benchmark::State& state)
{
    DirectionCoder coder(fixture().flow, fixture().table);
    runColorAt(state, coder, fixture().randomPoints);
}

void BM_AdditionalDataCoderRandom(benchmark::State& state)
{
    AdditionalDataCoder coder(fixture().flow, fixture().table, 0);
    runColorAt(state, coder, fixture().randomPoints);
}

void BM_FlowDataSpeedAtRandom(benchmark::State& state)
{
    const FlowData& flow = fixture().flow;
    const std::vector<Vector3>& points = fixture().randomPoints;
    float sum = 0.0f;
    for (auto _ : state) {
        for (const Vector3& p : points) {
            float speed = 0.0f;
            flow.speedAt(p, speed);
            sum += speed;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["calls_per_s"]
        = benchmark::Counter(double(state.iterations()) * double(points.size()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_SpeedCoderRandom);
BENCHMARK(BM_SpeedCoderScan);
BENCHMARK(BM_SpeedCoderRandomSmallGrid);
BENCHMARK(BM_DirectionCoderRandom);
BENCHMARK(BM_AdditionalDataCoderRandom);
BENCHMARK(BM_FlowDataSpeedAtRandom);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture();
    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::pair<const char*, const char*> figures[] = {
        // The background asks the coder row by row, so the scan order is the
        // figure that matters; random points show the cache-miss bound.
        {"BM_SpeedCoderScan", "speed_coder_colorAt_per_s"},
        {"BM_SpeedCoderRandom", "speed_coder_colorAt_random_per_s"},
        {"BM_SpeedCoderRandomSmallGrid", "speed_coder_colorAt_small_grid_per_s"},
        {"BM_DirectionCoderRandom", "direction_coder_colorAt_per_s"},
        {"BM_AdditionalDataCoderRandom", "additional_data_coder_colorAt_per_s"},
        {"BM_FlowDataSpeedAtRandom", "flowdata_speedAt_per_s"},
    };
    for (const auto& [benchmarkName, figure] : figures) {
        const auto rate = reporter.counters.find(std::string(benchmarkName) + "/calls_per_s");
        if (rate != reporter.counters.end())
            tvl::bench::printFigure(figure, rate->second, "calls/s");
    }
    const auto coder = reporter.counters.find("BM_SpeedCoderRandom/calls_per_s");
    const auto lookup = reporter.counters.find("BM_FlowDataSpeedAtRandom/calls_per_s");
    if (coder != reporter.counters.end() && lookup != reporter.counters.end())
        tvl::bench::printFigure("speed_coder_vs_speedAt_ratio", coder->second / lookup->second, "x");
    return 0;
}
