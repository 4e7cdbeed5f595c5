// The background layer of a 1000 x 800 viewport with the speed coder: the
// image-filling loop alone (sampling and colouring every pixel) and the whole
// layer into an offscreen framebuffer object, against the same fill handed to
// GL with a plain glDrawPixels in the same process. The field is a double
// gyre resampled onto a 500 x 400 regular grid by the loader.
//
// With --field-dir DIR the regular grid's speeds, the colour table and the
// sampling lattice are written to DIR, together with the image the loop
// produced, for bench/background_scipy.py to repeat the same sampling.

#include "flow/FlowData.h"
#include "render/OffscreenContext.h"
#include "support/Figures.h"
#include "support/GyreScene.h"
#include "transfer/ColorTable.h"
#include "transfer/TransferFunction.h"
#include "transfer/TransferPreset.h"
#include "view/FlowView.h"
#include "view/SpeedCoder.h"

#include "flow/AnalyticFlow.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tvl;

constexpr int kCanvasWidth = bench::GyreScene::kCanvasWidth;
constexpr int kCanvasHeight = bench::GyreScene::kCanvasHeight;

// The canvas draws into the RGBA8 framebuffer object of its QOpenGLWidget, so
// the layer is measured into one too: a window system buffer of another pixel
// layout makes every copy convert its pixels.
struct Fixture : bench::GyreScene {
    Fixture()
        : GyreScene(OffscreenContext::Target::FramebufferObject)
    {
    }
    std::shared_ptr<const ColorTable> table = transfer.colorTable();
    std::vector<std::uint8_t> image = std::vector<std::uint8_t>(std::size_t {4} * kCanvasWidth * kCanvasHeight);
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_BackgroundFill(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->fillBackgroundImage(*f.coder, f.image.data());
        benchmark::DoNotOptimize(f.image.data());
        benchmark::ClobberMemory();
    }
}

void BM_BackgroundDraw(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->drawBackground(*f.coder);
        glFinish();
    }
}

// The baseline: the same fill, then glDrawPixels at the viewport's corner.
void BM_BackgroundDrawPixels(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        f.view->fillBackgroundImage(*f.coder, f.image.data());
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, kCanvasWidth, 0.0, kCanvasHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRasterPos3i(0, 0, 0);
        glPixelZoom(1.0f, 1.0f);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glDrawPixels(kCanvasWidth, kCanvasHeight, GL_RGBA, GL_UNSIGNED_BYTE, f.image.data());
        glFinish();
    }
}

BENCHMARK(BM_BackgroundFill)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BackgroundDraw)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_BackgroundDrawPixels)->Unit(benchmark::kMillisecond)->Repetitions(5);

bool writeFile(const std::string& path, const void* data, std::size_t bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(bytes));
    return static_cast<bool>(out);
}

// Files for the SciPy comparison: speeds (H x W float32, row r at r * W),
// the table (entries x 3 bytes), the image (viewport H x W x 4 bytes, bottom
// row first) and a text line with the grid and lattice numbers.
bool writeField(const std::string& dir)
{
    Fixture& f = fixture();
    const int w = f.flow.getWidth();
    const int h = f.flow.getHeight();
    std::vector<float> speeds;
    speeds.reserve(f.flow.regularGrid().samples.size());
    for (const RegularSample& s : f.flow.regularGrid().samples)
        speeds.push_back(s.speed);
    f.view->fillBackgroundImage(*f.coder, f.image.data());
    const Vector3 minimum = f.view->regionMinimum();
    const Vector3 maximum = f.view->regionMaximum();
    const Vector3 g0 = f.flow.worldToGrid(minimum.x, minimum.y, minimum.z);
    const Vector3 g1 = f.flow.worldToGrid(maximum.x, maximum.y, maximum.z);
    const float dx = (g1.x - g0.x) / static_cast<float>(f.view->viewportWidth());
    const float dy = (g1.y - g0.y) / static_cast<float>(f.view->viewportHeight());

    std::ofstream params(dir + "/background_params.txt");
    char line[512];
    std::snprintf(line, sizeof line, "%d %d %.9g %d %d %.9g %.9g %.9g %.9g %d\n", w, h, f.flow.getMaxSpeed(),
        f.view->viewportWidth(), f.view->viewportHeight(), g0.x, g0.y, dx, dy, f.table->entryCount());
    params << "# grid_width grid_height max_speed viewport_width viewport_height g0x g0y dx dy table_entries\n" << line;
    return static_cast<bool>(params) && writeFile(dir + "/background_speed.f32", speeds.data(), speeds.size() * 4)
        && writeFile(dir + "/background_table.u8", f.table->data(), std::size_t(f.table->entryCount()) * 3)
        && writeFile(dir + "/background_image.rgba", f.image.data(), f.image.size());
}

} // namespace

int main(int argc, char** argv)
{
    std::string fieldDir;
    std::vector<char*> args;
    for (int a = 0; a < argc; ++a) {
        if (std::strcmp(argv[a], "--field-dir") == 0 && a + 1 < argc)
            fieldDir = argv[++a];
        else
            args.push_back(argv[a]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    if (!fixture().failure.empty()) {
        std::fprintf(stderr, "BackgroundBench: %s\n", fixture().failure.c_str());
        return 1;
    }
    if (!fieldDir.empty() && !writeField(fieldDir)) {
        std::fprintf(stderr, "BackgroundBench: cannot write the field to %s\n", fieldDir.c_str());
        return 1;
    }

    tvl::bench::FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto fill = reporter.nanoseconds.find("BM_BackgroundFill");
    if (fill != reporter.nanoseconds.end())
        tvl::bench::printFigure("background_1000x800_ms", fill->second * 1e-6, "ms");
    const auto draw = reporter.nanoseconds.find("BM_BackgroundDraw");
    if (draw != reporter.nanoseconds.end())
        tvl::bench::printFigure("background_draw_1000x800_ms", draw->second * 1e-6, "ms");
    const auto plain = reporter.nanoseconds.find("BM_BackgroundDrawPixels");
    if (plain != reporter.nanoseconds.end()) {
        tvl::bench::printFigure("background_drawpixels_1000x800_ms", plain->second * 1e-6, "ms");
        if (draw != reporter.nanoseconds.end())
            tvl::bench::printFigure("background_draw_vs_drawpixels_ratio", draw->second / plain->second, "x");
    }
    return 0;
}
