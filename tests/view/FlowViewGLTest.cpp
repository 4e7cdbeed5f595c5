#include "view/FlowView.h"

#include "streamlines/StreamlineLayer.h"

#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace tvl {
namespace {

using test::OffscreenCanvas;

// A data set with bounds 0..2 by 0..1 on a 100 × 50 regular grid: one grid
// column is 0.02 world units, as the resampling makes it.
class FlowViewGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(400, 400, reason)) << reason;
        test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
        view = std::make_unique<FlowView>(&flow);
    }
    void TearDown() override { view.reset(); }

    void expectRegion(float x0, float y0, float x1, float y1, const char* why)
    {
        EXPECT_FLOAT_EQ(view->regionMinimum().x, x0) << why;
        EXPECT_FLOAT_EQ(view->regionMinimum().y, y0) << why;
        EXPECT_FLOAT_EQ(view->regionMaximum().x, x1) << why;
        EXPECT_FLOAT_EQ(view->regionMaximum().y, y1) << why;
    }

    OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

TEST_F(FlowViewGLTest, FitsTheViewportToTheRegionsAspect)
{
    EXPECT_EQ(view->aspectWidth(), 100) << "the aspect starts as the grid's columns and rows";
    EXPECT_EQ(view->aspectHeight(), 50);
    expectRegion(0.0f, 0.0f, 2.0f, 1.0f, "the region starts as the bounding box");

    view->resetRegion();
    EXPECT_EQ(view->aspectWidth(), 2000) << "bounds 0..2 by 0..1 give the fraction 2000/1000";
    EXPECT_EQ(view->aspectHeight(), 1000);

    view->setCanvasSize(400, 400);
    EXPECT_EQ(view->viewportWidth(), 400) << "a region wider than the canvas takes the full width";
    EXPECT_EQ(view->viewportHeight(), 200);
    EXPECT_EQ(view->canvasWidth(), 400);
    EXPECT_EQ(view->canvasHeight(), 400);
    EXPECT_EQ(view->streamlineLayer().viewportWidth(), 400) << "the streamline layer missed the viewport";
    EXPECT_EQ(view->streamlineLayer().viewportHeight(), 200);

    view->setCanvasSize(400, 100);
    EXPECT_EQ(view->viewportWidth(), 200) << "a canvas wider than the region gives a full-height viewport";
    EXPECT_EQ(view->viewportHeight(), 100);

    view->setCanvasSize(400, 200);
    EXPECT_EQ(view->viewportWidth(), 400) << "equal ratios fill the canvas";
    EXPECT_EQ(view->viewportHeight(), 200);

    view->applyViewport();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0) << "the viewport is anchored at the bottom left";
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 200);
}

TEST_F(FlowViewGLTest, EqualRatiosTakeTheFullCanvasHeight)
{
    // Region 0..0.6 by 0..1: fraction 600/1000, the ratio of a 63 × 105 canvas.
    // Computing from the width would give the full width and may lose a row.
    view->setCanvasSize(63, 105);
    view->setWorldRegion({0.0f, 0.0f, 0.0f}, {0.6f, 1.0f, 0.0f});
    ASSERT_EQ(view->aspectWidth(), 600);
    EXPECT_EQ(view->viewportHeight(), 105) << "equal ratios must take the full height";
    EXPECT_LE(view->viewportWidth(), 63);
    EXPECT_GE(view->viewportWidth(), 62);
}

TEST_F(FlowViewGLTest, MapsCanvasPixelsToGridCoordinates)
{
    view->setCanvasSize(400, 400);
    view->resetRegion();
    // The viewport (400 × 200) sits at the bottom of the 400 × 400 canvas.
    const Vector3 corner = view->windowToGrid(0, 400);
    EXPECT_EQ(corner.x, 0.0f) << "bottom left canvas pixel is the grid origin";
    EXPECT_EQ(corner.y, 0.0f);
    EXPECT_EQ(corner.z, 0.0f);
    const Vector3 top = view->windowToGrid(400, 200);
    EXPECT_FLOAT_EQ(top.x, 100.0f) << "the viewport's top right is the grid's far corner";
    EXPECT_FLOAT_EQ(top.y, 50.0f);
    const Vector3 middle = view->windowToGrid(100, 300);
    EXPECT_FLOAT_EQ(middle.x, 25.0f);
    EXPECT_FLOAT_EQ(middle.y, 25.0f);

    EXPECT_FLOAT_EQ(view->gridUnitsPerPixel(), 0.25f) << "100 columns on 400 pixels, 50 rows on 200";
}

TEST_F(FlowViewGLTest, ZoomsToTheSameRegionWhicheverWayTheRectangleIsDragged)
{
    view->setCanvasSize(400, 200);
    view->resetRegion();
    view->zoomToWindowRect(100.0f, 150.0f, 300.0f, 50.0f);
    expectRegion(0.5f, 0.25f, 1.5f, 0.75f, "dragged from lower left to upper right");
    EXPECT_EQ(view->aspectWidth(), 2000);
    EXPECT_EQ(view->viewportWidth(), 400);
    EXPECT_EQ(view->viewportHeight(), 200);
    // The streamline layer works in grid coordinates.
    EXPECT_FLOAT_EQ(view->streamlineLayer().regionMinimum().x, 25.0f) << "layer region not updated";
    EXPECT_FLOAT_EQ(view->streamlineLayer().regionMinimum().y, 12.5f);
    EXPECT_FLOAT_EQ(view->streamlineLayer().regionMaximum().x, 75.0f);
    EXPECT_FLOAT_EQ(view->streamlineLayer().regionMaximum().y, 37.5f);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400) << "zooming applies the viewport";
    EXPECT_EQ(viewport[3], 200);

    const float drags[3][4]
        = {{300.0f, 50.0f, 100.0f, 150.0f}, {100.0f, 50.0f, 300.0f, 150.0f}, {300.0f, 150.0f, 100.0f, 50.0f}};
    for (const auto& d : drags) {
        view->resetRegion();
        view->zoomToWindowRect(d[0], d[1], d[2], d[3]);
        expectRegion(0.5f, 0.25f, 1.5f, 0.75f, "the drag direction changed the region");
    }

    // Positions are cut to whole pixels: x itself, y after the flip to
    // rows from the bottom (200 - 150.5 = 49.5 gives row 49).
    view->resetRegion();
    view->zoomToWindowRect(100.9f, 150.5f, 300.7f, 50.0f);
    expectRegion(0.5f, 0.245f, 1.5f, 0.75f, "fractions of a pixel moved the region");
}

TEST_F(FlowViewGLTest, ClipsZoomRectanglesToTheRegion)
{
    view->setCanvasSize(400, 400);
    view->resetRegion();
    // From inside the viewport into the strip above it and beyond its right edge.
    view->zoomToWindowRect(200.0f, 300.0f, 500.0f, 100.0f);
    expectRegion(1.0f, 0.5f, 2.0f, 1.0f, "a rectangle partly outside must be clipped");
    EXPECT_EQ(view->aspectWidth(), 2000);

    view->zoomToWindowRect(-100.0f, 500.0f, 600.0f, -100.0f);
    expectRegion(1.0f, 0.5f, 2.0f, 1.0f, "zooming out past the region must not grow it");

    view->resetRegion();
    expectRegion(0.0f, 0.0f, 2.0f, 1.0f, "reset returns to the bounding box");
}

TEST_F(FlowViewGLTest, IgnoresZoomRectanglesThatWouldCollapseTheRegion)
{
    view->setCanvasSize(400, 400);
    view->resetRegion();
    struct Case {
        float x0, y0, x1, y1;
        const char* what;
    };
    const Case cases[] = {
        {100.0f, 300.0f, 100.0f, 300.0f, "a right click without movement"},
        {100.0f, 300.0f, 300.0f, 300.0f, "a purely horizontal drag"},
        {100.0f, 250.0f, 100.0f, 350.0f, "a purely vertical drag"},
        {100.0f, 20.0f, 300.0f, 120.0f, "a rectangle in the strip above the viewport"},
        {100.5f, 300.0f, 100.9f, 200.0f, "a drag within one pixel column"},
    };
    for (const Case& c : cases) {
        view->zoomToWindowRect(c.x0, c.y0, c.x1, c.y1);
        expectRegion(0.0f, 0.0f, 2.0f, 1.0f, c.what);
        EXPECT_EQ(view->aspectWidth(), 2000) << c.what;
        EXPECT_EQ(view->viewportWidth(), 400) << c.what;
        EXPECT_EQ(view->viewportHeight(), 200) << c.what;
    }

    // Beside the viewport on the right (a wide canvas leaves a strip there).
    view->setCanvasSize(800, 200);
    view->zoomToWindowRect(500.0f, 50.0f, 700.0f, 150.0f);
    expectRegion(0.0f, 0.0f, 2.0f, 1.0f, "a rectangle right of the viewport");

    const float nan = std::nanf("");
    view->setWorldRegion({nan, 0.2f, 0.0f}, {1.0f, 0.8f, 0.0f});
    expectRegion(0.0f, 0.0f, 2.0f, 1.0f, "a corner without a value");
}

TEST_F(FlowViewGLTest, KeepsAViewportAfterExtremeZooms)
{
    view->setCanvasSize(400, 1200);
    view->resetRegion();
    // One pixel wide and the whole viewport high: a fraction below 1/1000.
    view->setWorldRegion({1.0f, 0.0f, 0.0f}, {1.0005f, 1.0f, 0.0f});
    EXPECT_GE(view->aspectWidth(), 1) << "the aspect fraction collapsed";
    EXPECT_GE(view->viewportWidth(), 1) << "the viewport lost its width";
    EXPECT_GE(view->viewportHeight(), 1);
}

TEST_F(FlowViewGLTest, DrawsTheZoomRectangleAsARedOutline)
{
    // The view's display list belongs to the context it was made in.
    view.reset();
    std::string reason;
    ASSERT_TRUE(canvas.open(400, 200, reason)) << reason;
    view = std::make_unique<FlowView>(&flow);
    view->setCanvasSize(400, 200);
    view->resetRegion();
    view->applyViewport();
    glColor3f(0.0f, 1.0f, 0.0f);
    view->drawZoomRectangle(100, 50, 300, 150);

    const RgbaImage image = canvas.read();
    // Canvas rows 50 and 150 are viewport rows 150 and 50.
    EXPECT_TRUE(test::isRed(image.pixel(200, 150))) << "top edge missing";
    EXPECT_TRUE(test::isRed(image.pixel(200, 50))) << "bottom edge missing";
    EXPECT_TRUE(test::isRed(image.pixel(100, 100))) << "left edge missing";
    EXPECT_TRUE(test::isRed(image.pixel(300, 100))) << "right edge missing";
    EXPECT_TRUE(test::isBlack(image.pixel(200, 100))) << "the rectangle must not be filled";
    EXPECT_TRUE(test::isBlack(image.pixel(50, 100))) << "line outside the rectangle";

    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 1.0f) << "the line width must be restored";
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 1.0f) << "the colour must be white afterwards";
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[2], 1.0f);

    const auto strips = test::recordPrimitives([&] { view->drawZoomRectangle(100, 50, 300, 150); });
    ASSERT_EQ(strips.size(), 1u) << "the outline is one line strip";
    EXPECT_EQ(strips[0].mode, static_cast<GLenum>(GL_LINE_STRIP));
    EXPECT_EQ(strips[0].colour, (std::array<float, 3> {1.0f, 0.0f, 0.0f})) << "the outline must be red";
    // World corners: canvas x 100 and 300 are 0.5 and 1.5, rows 150 and 50 are 0.25 and 0.75.
    const std::vector<std::array<float, 3>> corners
        = {{0.5f, 0.75f, 0.0f}, {1.5f, 0.75f, 0.0f}, {1.5f, 0.25f, 0.0f}, {0.5f, 0.25f, 0.0f}, {0.5f, 0.75f, 0.0f}};
    EXPECT_EQ(strips[0].vertices, corners) << "a closed outline through the four corners, in world coordinates";
}

} // namespace
} // namespace tvl
