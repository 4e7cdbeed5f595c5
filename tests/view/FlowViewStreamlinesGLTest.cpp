#include "view/FlowView.h"

#include "FlowViewTestSupport.h"
#include "streamlines/EulerIntegrator.h"
#include "view/StreamlineDrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace tvl {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 200;

bool lit(const std::array<std::uint8_t, 4>& p)
{
    return p[0] > 0;
}

bool samePicture(const RgbaImage& a, const RgbaImage& b)
{
    return std::equal(a.data(), a.data() + 4 * kWidth * kHeight, b.data());
}

// A 400 × 200 canvas on 101 × 51 samples over 0..2 × 0..1, as the main window
// sets up a fresh view: about 4 pixels per grid unit.
class FlowViewStreamlinesGLTest : public ::testing::Test {
protected:
    void open(bool rotation)
    {
        if (rotation)
            test::setRotation(flow, 101, 51, {0, 0, 0}, {2, 1, 0}); // about (50, 25), speed = radius
        else
            test::setUniformFlow(flow, 101, 51, 1.0f, 0.0f, {0, 0, 0}, {2, 1, 0});
        std::string reason;
        ASSERT_TRUE(canvas.open(kWidth, kHeight, reason, OffscreenContext::Target::FramebufferObject)) << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(kWidth, kHeight);
        view->resetRegion();
        view->applyViewport();
    }
    void TearDown() override { view.reset(); }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

TEST_F(FlowViewStreamlinesGLTest, SlidersSetTheSeparationAndTheSchemeTheLinesRecordedInAList)
{
    ASSERT_NO_FATAL_FAILURE(open(true));
    EXPECT_EQ(view->displayList(), 0u) << "no list before the first placement";
    std::vector<RgbaImage> pictures;
    for (const IntegrationScheme scheme :
        {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4}) {
        canvas.clear();
        view->drawStreamlines(100.0f, 50.0f, scheme);
        pictures.push_back(canvas.read());
        EXPECT_GT(test::countPixels(pictures.back(), lit), 1000) << "scheme " << indexOf(scheme) << " drew too little";
    }
    const StreamlineLayer& layer = view->streamlineLayer();
    EXPECT_FLOAT_EQ(layer.dsep(), 10.0f * view->gridUnitsPerPixel()) << "dsep position 100 is 10 pixels";
    EXPECT_FLOAT_EQ(layer.dtest(), 5.0f * view->gridUnitsPerPixel()) << "dtest position 50 is half of dsep";
    EXPECT_EQ(layer.columns(), 41);
    EXPECT_EQ(layer.rows(), 21);
    EXPECT_EQ(layer.integrator(), nullptr) << "the layer kept a link to the destroyed integrator";
    EXPECT_FALSE(samePicture(pictures[0], pictures[1])) << "RK2 drew what Euler draws";
    EXPECT_FALSE(samePicture(pictures[1], pictures[2])) << "RK4 drew what RK2 draws";
    canvas.clear();
    const GLuint list = view->displayList();
    glCallList(list);
    EXPECT_TRUE(samePicture(pictures[2], canvas.read())) << "the display list replays the placement";
    view.reset();
    EXPECT_FALSE(glIsList(list)) << "the view's list goes with it";
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FlowViewStreamlinesGLTest, ZoomingInShrinksTheSeparationInGridUnits)
{
    ASSERT_NO_FATAL_FAILURE(open(true));
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    const float wide = view->streamlineLayer().dsep();
    view->zoomToWindowRect(0, 0, 200, 100);
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    EXPECT_FLOAT_EQ(view->streamlineLayer().dsep(), 0.5f * wide) << "half the region in the same viewport";
}

TEST_F(FlowViewStreamlinesGLTest, HalfLinesOfTwoPointsDrawOneSegmentAndLeaveTheLineWidthAtOne)
{
    ASSERT_NO_FATAL_FAILURE(open(false));
    view->setStreamlineProjection();
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.setStep(40.0f);
    euler.setMaxSteps(1);
    euler.traceBoth({30.5f, 25.63f, 0});
    glLineWidth(3.0f);
    draw(euler);
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f);
    const RgbaImage segment = canvas.read();
    EXPECT_EQ(segment.pixel(200, 100)[0], 255) << "the segment from the seed 40 columns on is white";
    EXPECT_EQ(test::countPixels(segment, lit), test::countPixels(segment, lit, 0, 100, kWidth, 102))
        << "nothing off the segment's row";
    canvas.clear();
    euler.setMaxSteps(0);
    euler.traceBoth({30.5f, 25.63f, 0});
    draw(euler);
    EXPECT_EQ(test::countPixels(canvas.read(), lit), 0) << "a half-line of one point draws nothing";
}

TEST_F(FlowViewStreamlinesGLTest, ClicksTraceOnTopThroughTheClickedPixelToTheDomainsEdge)
{
    // Along +x the line runs along the clicked row over the sampled columns
    // 0 .. 100 (pixels 0 .. 396), the fourth-order scheme stopping within a
    // step of the last.
    ASSERT_NO_FATAL_FAILURE(open(false));
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    canvas.clear();
    view->seedStreamlineAt(123.7f, 50.2f);
    view->seedStreamlineAt(100.0f, 150.5f);
    for (const float outside : {399.0f, std::numeric_limits<float>::quiet_NaN(), 1e30f})
        view->seedStreamlineAt(outside, 100.0f);
    const RgbaImage picture = canvas.read();
    // A line on a pixel border lights the row above or the one below it.
    for (const int clicked : {50, 150}) {
        const int row
            = test::countPixels(picture, test::isWhite, 0, kHeight - clicked, kWidth, kHeight - clicked + 1) > 0
            ? kHeight - clicked
            : kHeight - clicked - 1;
        EXPECT_EQ(test::countPixels(picture, test::isWhite, 0, row, 395, row + 1), 395)
            << "a gap in the line of " << clicked;
        EXPECT_EQ(test::countPixels(picture, test::isWhite, 397, row, kWidth, row + 1), 0) << "the line ran on outside";
    }
    EXPECT_LE(test::countPixels(picture, test::isWhite), 2 * 397) << "pixels lit off the clicked rows";
    EXPECT_EQ(picture.pixel(300, 100), (std::array<std::uint8_t, 4> {0, 0, 255, 255})) << "a click never clears";
}

TEST_F(FlowViewStreamlinesGLTest, ClicksTraceWithTheFourthOrderSchemeWhateverTheSettings)
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
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (lit(picture.pixel(x, y))) {
                ++count;
                // Pixel centres in grid units, give or take half a pixel diagonal.
                ASSERT_NEAR(
                    std::hypot((x + 0.5) * 101.0 / kWidth - 50.0, (y + 0.5) * 51.0 / kHeight - 25.0), radius, 0.4)
                    << "the line left its circle at " << x << ", " << y;
            }
    EXPECT_GT(count, 300) << "the whole circle of about 390 pixels";
}

} // namespace
} // namespace tvl
