#include "view/FlowView.h"

#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"
#include "StreamlineFlows.h"
#include "streamlines/Integrator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace tvl {
namespace {

using Strip = std::vector<std::array<float, 3>>;

double arcOf(const Strip& strip)
{
    double arc = 0.0;
    for (std::size_t i = 1; i < strip.size(); ++i)
        arc += std::hypot(strip[i][0] - strip[i - 1][0], strip[i][1] - strip[i - 1][1]);
    return arc;
}

// The line strips a drawing call hands to GL.
std::vector<Strip> stripsOf(const std::vector<test::RecordedPrimitive>& primitives)
{
    std::vector<Strip> strips;
    for (const test::RecordedPrimitive& p : primitives)
        if (p.mode == GL_LINE_STRIP)
            strips.push_back(p.vertices);
    return strips;
}

// A click hands the canvas's options to its trace; a square 400 × 400 canvas.
class StreamlineOptionsGLTest : public ::testing::Test {
protected:
    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;

    void open()
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(400, 400, reason)) << "no offscreen GL context: " << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(400, 400);
        view->resetRegion();
        view->applyViewport();
    }
    std::vector<Strip> click(int x, int y, const StreamlineOptions& options)
    {
        return stripsOf(test::recordPrimitives([&] { view->seedStreamlineAt(float(x), float(y), options); }));
    }
};

TEST_F(StreamlineOptionsGLTest, ClickStepsRelativeToTheFastestPoint)
{
    // Uniform speed 20: a click steps 0.1 × 20 grid units, or 0.1 with the
    // option (the evenly spaced lines: ExtrasMenuTest).
    test::setUniform(flow, 41, 41, {20.0f, 0.0f, 0.0f});
    ASSERT_NO_FATAL_FAILURE(open());
    for (const auto& [options, step] :
        {std::pair {StreamlineOptions {}, 2.0f}, {StreamlineOptions {true, false}, 0.1f}}) {
        const std::vector<Strip> clicked = click(200, 200, options);
        ASSERT_EQ(clicked.size(), 2u) << "a click draws two half-lines";
        ASSERT_GT(clicked[0].size(), 2u);
        EXPECT_NEAR(clicked[0][1][0] - clicked[0][0][0], step, 1e-4f) << "click step";
    }
}

TEST_F(StreamlineOptionsGLTest, ClickOnAClosedOrbitDrawsItOnce)
{
    // In a solid-body rotation a click's line goes round about 159 times; with
    // the option it keeps 5 pixels from itself and the circle is drawn once.
    test::setRotation(flow, 41);
    ASSERT_NO_FATAL_FAILURE(open());
    const Vector3 seed = view->windowToGrid(240, 200);
    const double radius = std::hypot(seed.x - 20.0, seed.y - 20.0);
    const double circle = 2.0 * std::numbers::pi * radius;
    const double distance = TraceParameters::kManualSelfDistancePixels * view->gridUnitsPerPixel();
    const double step = 0.1 * radius;
    ASSERT_LE(step, distance) << "the check needs steps within the distance";

    std::vector<Strip> strips = click(240, 200, {false, true});
    ASSERT_EQ(strips.size(), 2u);
    const double once = arcOf(strips[0]) + arcOf(strips[1]);
    EXPECT_LE(once, circle + step) << "the orbit was drawn more than once";
    EXPECT_GE(once, circle - distance - step) << "the orbit was not closed";

    strips = click(240, 200, {});
    ASSERT_EQ(strips.size(), 2u);
    EXPECT_GT(arcOf(strips[0]), 100.0 * circle) << "without the option the click retraces its orbit";
}

} // namespace
} // namespace tvl
