// glIsBuffer comes from the extension header.
#define GL_GLEXT_PROTOTYPES
#include "view/FlowView.h"

#include "FlowViewTestSupport.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace tvl {
namespace {

// A 400 × 200 canvas on 101 × 51 samples over 0..2 × 0..1 (about 4 pixels
// per grid unit), as the main window sets up a fresh view.
class FlowViewStreamlinesGLTest : public ::testing::Test {
protected:
    void open(bool rotation)
    {
        if (rotation)
            test::setRotation(flow, 101, 51, {0, 0, 0}, {2, 1, 0}); // about (50, 25), speed = radius
        else
            test::setUniform(flow, 101, 51, {1, 0, 0}, {0, 0, 0}, {2, 1, 0});
        std::string reason;
        ASSERT_TRUE(canvas.open(400, 200, reason, OffscreenContext::Target::FramebufferObject)) << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(400, 200);
        view->resetRegion();
        view->applyViewport();
    }
    void TearDown() override { view.reset(); }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

TEST_F(FlowViewStreamlinesGLTest, SlidersSetTheSeparationAndTheListOutlivesNothing)
{
    ASSERT_NO_FATAL_FAILURE(open(true));
    EXPECT_EQ(view->displayList().name(), 0u) << "no list before the first placement";
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    const StreamlineLayer& layer = view->streamlineLayer();
    const float g = view->gridUnitsPerPixel();
    EXPECT_TRUE(layer.dsep() == 10.0f * g && layer.dtest() == 5.0f * g) << "positions 100 and 50: 10 and 5 pixels";
    EXPECT_EQ(layer.columns() * 100 + layer.rows(), 4121) << "cells of dsep on 400 × 200 pixels";
    EXPECT_EQ(layer.integrator(), nullptr) << "the layer kept a link to the destroyed integrator";
    EXPECT_GT(test::countPixels(canvas.read(), test::isWhite), 1000) << "the placement drew too little";
    view->zoomToWindowRect(0, 0, 200, 100);
    canvas.clear();
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    EXPECT_FLOAT_EQ(layer.dsep(), 5.0f * g) << "zooming in shrinks dsep in grid units";
    // The lines went to GL in batches during the placement; the list must
    // replay exactly that picture.
    const RgbaImage placed = canvas.read();
    canvas.clear();
    view->setStreamlineProjection();
    draw(view->displayList());
    const RgbaImage replayed = canvas.read();
    EXPECT_TRUE(std::equal(placed.data(), placed.data() + 4 * 400 * 200, replayed.data()))
        << "the list does not replay the placement";
    const GLuint list = view->displayList().name();
    ASSERT_TRUE(glIsBuffer(list));
    view.reset();
    EXPECT_FALSE(glIsBuffer(list)) << "the view's list goes with it";
}

TEST_F(FlowViewStreamlinesGLTest, ADensePlacementDrawnInBatchesIsThePictureOfAllItsLinesAtOnce)
{
    ASSERT_NO_FATAL_FAILURE(open(true));
    // Two pixels apart: several batches of lines reach GL while the
    // placement goes on.
    view->drawStreamlines(20.0f, 50.0f, IntegrationScheme::Euler);
    const RgbaImage batched = canvas.read();
    const StreamlineSet& lines = view->streamlineLayer().placedLines();
    ASSERT_GT(lines.points().size(), 3u * 8192u) << "too few points for several batches";
    canvas.clear();
    view->setStreamlineProjection();
    draw(lines);
    const RgbaImage whole = canvas.read();
    EXPECT_GT(test::countPixels(batched, test::isWhite), 20000);
    EXPECT_TRUE(std::equal(batched.data(), batched.data() + 4 * 400 * 200, whole.data()))
        << "the batches drew other pixels than the placed lines";
}

TEST_F(FlowViewStreamlinesGLTest, ClicksTraceWithTheFourthOrderSchemeAndTheCanvasOptions)
{
    // The fourth-order scheme keeps its circle over 10000 steps of 0.1 rad;
    // Euler would grow the radius by 0.5 % per step and leave the domain.
    ASSERT_NO_FATAL_FAILURE(open(true));
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    canvas.clear();
    view->seedStreamlineAt(260.0f, 100.0f);
    const Vector3 seed = view->windowToGrid(260, 100);
    const double radius = std::hypot(seed.x - 50.0, seed.y - 25.0);
    const RgbaImage picture = canvas.read();
    int count = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            if (test::isWhite(picture.pixel(x, y))) {
                ++count;
                // Pixel centres in grid units, give or take half a pixel diagonal.
                ASSERT_NEAR(std::hypot((x + 0.5) * 101.0 / 400 - 50.0, (y + 0.5) * 51.0 / 200 - 25.0), radius, 0.4)
                    << "the line left its circle at " << x << ", " << y;
            }
    EXPECT_GT(count, 300) << "the whole circle of about 390 pixels";

    // The click hands the canvas's options to its trace: steps relative to the
    // fastest point (a radius of about 56), and a line that keeps
    // kManualSelfDistancePixels from itself goes round once.
    const auto arcOf = [](const StreamlineSet& set, std::size_t half) {
        const auto points = set.pointsOf(set.halfLines().at(half));
        double arc = 0.0;
        for (std::size_t i = 1; i < points.size(); ++i)
            arc += std::hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
        return arc;
    };
    const auto firstStep = [](const StreamlineSet& set) {
        return std::hypot(set.points()[1].x - set.points()[0].x, set.points()[1].y - set.points()[0].y);
    };
    StreamlineSet plain, relative, once;
    EXPECT_FALSE(view->traceStreamlineAt(std::nanf(""), 100.0f, plain) || view->traceStreamlineAt(260.0f, 3e9f, plain))
        << "a position that is no canvas pixel seeds nothing";
    ASSERT_TRUE(view->traceStreamlineAt(260.0f, 100.0f, plain)
        && view->traceStreamlineAt(260.0f, 100.0f, relative, {true, false})
        && view->traceStreamlineAt(260.0f, 100.0f, once, {false, true}));
    EXPECT_NEAR(firstStep(plain) / firstStep(relative), flow.getMaxSpeed(), 1e-3 * flow.getMaxSpeed());
    const double circle = 2.0 * M_PI * radius;
    const double distance = TraceParameters::kManualSelfDistancePixels * view->gridUnitsPerPixel();
    const double arc = arcOf(once, 0) + arcOf(once, 1);
    // Once round, give or take the distance and a step (0.1 radius) where the two halves meet.
    EXPECT_LE(std::abs(arc - circle), distance + 0.1 * radius) << arc << " for a circle of " << circle;
    EXPECT_GT(arcOf(plain, 0), 100.0 * circle) << "without the option the click retraces its orbit";
}

} // namespace
} // namespace tvl
