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

// The view's streamline drawing hands the canvas's options to the traces: a
// click and the evenly spaced placement, on a square 400 × 400 canvas.
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

TEST_F(StreamlineOptionsGLTest, NormalizedStepTakesStepsRelativeToTheFastestPoint)
{
    // Uniform speed 20: a click steps 0.1 × 20 grid units, or 0.1 with the
    // option; the evenly spaced lines step 2 pixels × 20, or 2 pixels.
    test::setUniform(flow, 41, 41, {20.0f, 0.0f, 0.0f});
    ASSERT_NO_FATAL_FAILURE(open());
    const float g = view->gridUnitsPerPixel();
    const struct {
        StreamlineOptions options;
        float clickStep;
        float evenStep;
    } rows[] = {{{}, 2.0f, 40.0f * g}, {{true, false}, 0.1f, 2.0f * g}};
    for (const auto& row : rows) {
        const std::vector<Strip> clicked = click(200, 200, row.options);
        ASSERT_EQ(clicked.size(), 2u) << "a click draws two half-lines";
        ASSERT_GT(clicked[0].size(), 2u);
        EXPECT_NEAR(clicked[0][1][0] - clicked[0][0][0], row.clickStep, 1e-4f) << "click step";

        const std::vector<Strip> even = stripsOf(test::recordPrimitives(
            [&] { view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler, row.options); }));
        ASSERT_FALSE(even.empty());
        ASSERT_GT(even[0].size(), 2u);
        EXPECT_NEAR(even[0][1][0] - even[0][0][0], row.evenStep, 1e-4f) << "evenly spaced step";
        EXPECT_EQ(view->streamlineLayer().options(), row.options) << "the placement keeps the options it ran with";
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
