// glIsBuffer comes from the extension header.
#define GL_GLEXT_PROTOTYPES
#include "view/FlowView.h"

#include "StreamlineFlows.h"
#include "render/OffscreenContext.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/StreamlineLayer.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tvl {
namespace {

int litPixels(const RgbaImage& image)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            lit += image.pixel(x, y)[0] > 0 ? 1 : 0;
    return lit;
}

bool samePicture(const RgbaImage& a, const RgbaImage& b)
{
    const std::size_t bytes = 4u * static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height());
    return a.width() == b.width() && a.height() == b.height() && std::equal(a.data(), a.data() + bytes, b.data());
}

// A 400 × 200 canvas on a flow with bounds 0..2 × 0..1, as the main window
// sets a fresh view up.
class FlowViewStreamlinesGLTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 200;
    OffscreenContext context;
    FlowData flow;
    std::unique_ptr<FlowView> view;

    void open()
    {
        std::string reason;
        ASSERT_TRUE(context.create(kWidth, kHeight, reason, OffscreenContext::Target::FramebufferObject))
            << "no offscreen GL context: " << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(kWidth, kHeight);
        view->resetRegion();
        view->applyViewport();
        ASSERT_EQ(view->viewportWidth(), kWidth);
        ASSERT_EQ(view->viewportHeight(), kHeight);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    // Solid-body rotation about the middle of the grid, speed = radius in
    // grid units.
    void rotation()
    {
        test::setField(flow, 101, 51,
            [](int c, int r) {
                return Vector3 {-(static_cast<float>(r) - 25.0f), static_cast<float>(c) - 50.0f, 0.0f};
            },
            {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    }

    void uniform()
    {
        test::setField(flow, 101, 51,
            [](int, int) {
                return Vector3 {1.0f, 0.0f, 0.0f};
            },
            {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    }
};

TEST_F(FlowViewStreamlinesGLTest, DefaultSlidersGiveTenAndFivePixels)
{
    rotation();
    ASSERT_NO_FATAL_FAILURE(open());
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    const StreamlineLayer& layer = view->streamlineLayer();
    const float g = view->gridUnitsPerPixel();
    EXPECT_FLOAT_EQ(layer.dsep(), 10.0f * g) << "dsep position 100 must be 10 pixels";
    EXPECT_FLOAT_EQ(layer.dtest(), 5.0f * g) << "dtest position 50 must be half of dsep";
    EXPECT_EQ(layer.columns(), 41) << "400 pixels at 10 pixels must give 41 columns";
    EXPECT_EQ(layer.rows(), 21) << "200 pixels at 10 pixels must give 21 rows";
    EXPECT_EQ(layer.integrator(), nullptr) << "the layer kept a link to the destroyed integrator";
    EXPECT_GT(litPixels(context.readPixels()), 2000) << "the placement drew too little";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "drawing the streamlines left a GL error";
}

TEST_F(FlowViewStreamlinesGLTest, SchemeSelectsTheIntegratorAndTheListReplaysThePlacement)
{
    // The schemes place different lines in a rotation; the display list holds
    // exactly what the placement drew.
    rotation();
    ASSERT_NO_FATAL_FAILURE(open());
    std::vector<RgbaImage> pictures;
    for (const IntegrationScheme scheme :
        {IntegrationScheme::Euler, IntegrationScheme::RungeKutta2, IntegrationScheme::RungeKutta4}) {
        glClear(GL_COLOR_BUFFER_BIT);
        view->drawStreamlines(100.0f, 50.0f, scheme);
        pictures.push_back(context.readPixels());
    }
    EXPECT_FALSE(samePicture(pictures[0], pictures[1])) << "RK2 drew what Euler draws";
    EXPECT_FALSE(samePicture(pictures[1], pictures[2])) << "RK4 drew what RK2 draws";

    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_TRUE(glIsBuffer(view->displayList().name())) << "the view's list holds no buffer";
    view->setStreamlineProjection();
    draw(view->displayList());
    EXPECT_TRUE(samePicture(pictures[2], context.readPixels())) << "the display list does not replay the placement";
}

TEST_F(FlowViewStreamlinesGLTest, DestroyingTheViewReleasesItsList)
{
    rotation();
    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(view->displayList().name(), 0u) << "a view draws no list before its first placement";
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    const GLuint name = view->displayList().name();
    ASSERT_TRUE(glIsBuffer(name)) << "the placement recorded no list";
    view.reset();
    EXPECT_FALSE(glIsBuffer(name)) << "the view's list survived it";
}

TEST_F(FlowViewStreamlinesGLTest, DrawLeavesLineWidthOneAndDrawsSegmentsOnly)
{
    // 101 × 51 samples in a 400 × 200 viewport: about 4 pixels per grid unit.
    uniform();
    ASSERT_NO_FATAL_FAILURE(open());
    view->setStreamlineProjection();
    EulerIntegrator euler(&flow);
    euler.setParameters(TraceParameters::manualSeeding());
    euler.setStep(40.0f);
    euler.setMaxSteps(1);
    euler.traceBoth({30.5f, 25.63f, 0.0f});
    glLineWidth(3.0f);
    draw(euler);
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f) << "draw must leave the line width at 1";
    const RgbaImage twoPoints = context.readPixels();
    EXPECT_EQ(twoPoints.pixel(200, 100)[0], 255) << "a two-point half-line must draw a white segment";
    EXPECT_EQ(twoPoints.pixel(200, 150)[0], 0) << "nothing may be drawn off the segment";

    glClear(GL_COLOR_BUFFER_BIT);
    euler.setMaxSteps(0);
    euler.traceBoth({30.5f, 25.63f, 0.0f});
    draw(euler);
    EXPECT_EQ(litPixels(context.readPixels()), 0) << "a one-point half-line must draw nothing";
}

TEST_F(FlowViewStreamlinesGLTest, ZoomingShrinksTheSeparationInGridUnits)
{
    uniform();
    ASSERT_NO_FATAL_FAILURE(open());
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    const float wide = view->streamlineLayer().dsep();
    // The upper left quarter of the region, dragged in canvas pixels: same
    // aspect, so the same viewport shows half the grid units.
    view->zoomToWindowRect(0.0f, 0.0f, 200.0f, 100.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler);
    EXPECT_LT(view->streamlineLayer().dsep(), 0.6f * wide) << "zooming in must shrink dsep in grid units";
}

TEST_F(FlowViewStreamlinesGLTest, ClickTracesThroughTheClickedPixel)
{
    // Uniform flow along +x: the line runs along the clicked canvas row over
    // the whole sampled width (grid columns 0 .. 100 of 101, pixels 0 .. 396);
    // the fourth-order scheme stops as soon as its last sample of a step
    // would fall beyond column 100, so within a step (0.1 columns) of it.
    uniform();
    ASSERT_NO_FATAL_FAILURE(open());
    view->seedStreamlineAt(123.7f, 50.2f);
    const RgbaImage picture = context.readPixels();
    // Canvas row 50 is 150 pixels above the bottom; a line on that pixel
    // border lights the row above or the one below it.
    const auto lit = [&](int x, int y) { return picture.pixel(x, y)[0] == 255; };
    const int row = lit(200, kHeight - 50) ? kHeight - 50 : kHeight - 51;
    for (int x = 0; x <= 394; ++x)
        ASSERT_TRUE(lit(x, row)) << "the line has a gap at pixel column " << x;
    for (int x = 397; x < kWidth; ++x)
        ASSERT_FALSE(lit(x, row)) << "the line runs on beyond the sampled domain at column " << x;
    EXPECT_EQ(litPixels(picture), 395 + (lit(395, row) ? 1 : 0) + (lit(396, row) ? 1 : 0))
        << "the click lit pixels off its row";
}

TEST_F(FlowViewStreamlinesGLTest, ClickTracesWithTheFourthOrderSchemeWhateverIsSelected)
{
    // In a rotation the fourth-order scheme keeps its circle over 10000
    // steps of 0.1 rad (159 turns, drift below 1e-3 grid units); Euler would
    // grow the radius by 0.5 % per step and leave the domain.
    rotation();
    ASSERT_NO_FATAL_FAILURE(open());
    view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::Euler); // "Euler" selected for the placement
    glClear(GL_COLOR_BUFFER_BIT);
    view->seedStreamlineAt(260.0f, 100.0f);
    const RgbaImage picture = context.readPixels();
    // Every lit pixel's centre, in grid units (the axes scale differently),
    // lies on the circle about (50, 25) through the seed, give or take the
    // pixel's half diagonal (0.36 grid units).
    const Vector3 seed = view->windowToGrid(260, 100);
    const double radius = std::hypot(seed.x - 50.0, seed.y - 25.0);
    int lit = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (picture.pixel(x, y)[0] == 0)
                continue;
            ++lit;
            const double gx = (x + 0.5) * 101.0 / kWidth;
            const double gy = (y + 0.5) * 51.0 / kHeight;
            ASSERT_NEAR(std::hypot(gx - 50.0, gy - 25.0), radius, 0.4)
                << "the click's streamline left its circle at pixel " << x << ", " << y;
        }
    }
    // The circumference is about 2π × 15.7 grid units ≈ 390 pixels.
    EXPECT_GT(lit, 300) << "the click did not draw its whole circle";
}

TEST_F(FlowViewStreamlinesGLTest, ClicksDrawOnTopOfThePicture)
{
    uniform();
    ASSERT_NO_FATAL_FAILURE(open());
    // Something drawn before the clicks must stay.
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    view->seedStreamlineAt(100.0f, 40.5f);
    view->seedStreamlineAt(100.0f, 150.5f);
    const RgbaImage picture = context.readPixels();
    // A line on a pixel border lights the row above or the row below it.
    const auto lit
        = [&](int row) { return picture.pixel(300, row)[0] == 255 || picture.pixel(300, row - 1)[0] == 255; };
    EXPECT_TRUE(lit(kHeight - 40)) << "the first click's line is missing";
    EXPECT_TRUE(lit(kHeight - 150)) << "the second click erased the first";
    EXPECT_EQ(picture.pixel(300, 100), (std::array<std::uint8_t, 4> {0, 0, 255, 255}))
        << "a click must not clear the picture";
}

TEST_F(FlowViewStreamlinesGLTest, ClickOutsideTheDomainDrawsNothing)
{
    uniform();
    ASSERT_NO_FATAL_FAILURE(open());
    // Pixel column 399 maps to grid column 100.75, beyond the last sample.
    view->seedStreamlineAt(399.0f, 100.0f);
    view->seedStreamlineAt(std::numeric_limits<float>::quiet_NaN(), 100.0f);
    view->seedStreamlineAt(1e30f, -1e30f);
    EXPECT_EQ(litPixels(context.readPixels()), 0) << "a click outside the flow drew";
}

} // namespace
} // namespace tvl
