#include "view/FlowView.h"

#include "CoderProbe.h"
#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"
#include "view/SpeedCoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tvl {
namespace {

using Point = std::array<float, 3>;
using test::RecordedPrimitive;

// Remembers every point it is asked for; t is the row over 50.
class RecordingCoder : public DataCoder {
public:
    using DataCoder::DataCoder;
    bool normalizedValue(const Vector3& point, float& t) const override
    {
        points.push_back(point);
        t = point.y / 50.0f;
        return true;
    }
    mutable std::vector<Vector3> points;
};

// A data set with bounds 0..2 by 0..1 on a 100 × 50 regular grid (a grid
// column is 0.02 world units, as the resampling makes it), shown whole.
class FlowViewGLTest : public ::testing::Test {
protected:
    void SetUp() override { test::setUniform(flow, 100, 50, {1, 0, 0}, {0, 0, 0}, {2, 1, 0}); }
    void TearDown() override { view.reset(); }
    void show(int width, int height)
    {
        view.reset();
        std::string reason;
        ASSERT_TRUE(canvas.open(width, height, reason)) << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(width, height);
        view->resetRegion();
        view->applyViewport();
    }
    std::array<float, 4> region() const
    {
        return {view->regionMinimum().x, view->regionMinimum().y, view->regionMaximum().x, view->regionMaximum().y};
    }
    std::vector<RecordedPrimitive> arrows(int step, ArrowCoding coding = ArrowCoding::none())
    {
        return test::recordPrimitives([&] { view->drawArrowPlot(step, coding); });
    }
    // The vertices of the arrow whose midpoint (between tip and base) is (x, y).
    std::vector<Point> arrowAt(const std::vector<RecordedPrimitive>& all, float x, float y)
    {
        for (const auto& a : all) {
            const auto& v = a.vertices;
            if (std::abs((v[0][0] + (v[1][0] + v[2][0]) * 0.5f) * 0.5f - x) < 1e-4f
                && std::abs((v[0][1] + (v[1][1] + v[2][1]) * 0.5f) * 0.5f - y) < 1e-4f)
                return v;
        }
        return {};
    }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

TEST_F(FlowViewGLTest, ViewportIsTheLargestOfTheRegionsAspect)
{
    view = std::make_unique<FlowView>(&flow);
    EXPECT_EQ(view->aspectWidth(), 100) << "the aspect starts as the grid's columns and rows";
    view->resetRegion();
    EXPECT_EQ(view->aspectWidth() * 10000 + view->aspectHeight(), 20001000) << "bounds 0..2 by 0..1: 2000 / 1000";
    for (const auto& [w, h, vw, vh] :
        {std::tuple {400, 400, 400, 200}, {400, 100, 200, 100}, {400, 200, 400, 200}, {400, 0, 0, 0}}) {
        view->setCanvasSize(w, h);
        EXPECT_EQ(view->viewportWidth() * 10000 + view->viewportHeight(), vw * 10000 + vh) << w << " × " << h;
        EXPECT_EQ(view->streamlineLayer().viewportWidth(), vw) << "the streamline layer follows";
    }
    // 0..0.6 by 0..1 is the ratio of a 63 × 105 canvas: equal ratios take the full height.
    view->setCanvasSize(63, 105);
    view->setWorldRegion({0, 0, 0}, {0.6f, 1, 0});
    EXPECT_EQ(view->viewportHeight(), 105);
    show(400, 400);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array {viewport[0], viewport[1], viewport[2], viewport[3]}), (std::array {0, 0, 400, 200}));
}

TEST_F(FlowViewGLTest, ZoomRectanglesGiveOneRegionClippedToTheOldAndClicksMapIntoIt)
{
    show(400, 400);
    EXPECT_EQ(view->windowToGrid(0, 400), (Vector3 {0, 0, 0})) << "the bottom left pixel is the grid origin";
    for (const auto& [x0, y0, x1, y1] : {std::array {100.0f, 350.0f, 300.0f, 250.0f}, {300.0f, 250.0f, 100.0f, 350.0f},
             {100.0f, 250.0f, 300.0f, 350.0f}, {300.9f, 350.5f, 100.7f, 250.0f}}) {
        view->resetRegion();
        view->zoomToWindowRect(x0, y0, x1, y1);
        // Corners are cut to whole pixels: 400 - 350.5 = 49.5 gives row 49.
        EXPECT_EQ(region(), (std::array {0.5f, y0 == 350.5f ? 0.245f : 0.25f, 1.5f, 0.75f})) << "drag " << x0;
    }
    EXPECT_EQ(view->streamlineLayer().regionMinimum(), (Vector3 {25, 12.25f, 0})) << "in grid coordinates";
    view->resetRegion();
    view->zoomToWindowRect(100, 350, 300, 250);
    EXPECT_FLOAT_EQ(view->gridUnitsPerPixel(), 0.125f);
    EXPECT_EQ(view->windowToGrid(0, 400), (Vector3 {25, 12.5f, 0})) << "a click after a zoom";
    EXPECT_EQ(view->windowToGrid(400, 200), (Vector3 {75, 37.5f, 0}));
    view->zoomToWindowRect(200, 300, 500, 100);
    EXPECT_EQ(region(), (std::array {1.0f, 0.5f, 1.5f, 0.75f})) << "beside and above the viewport is clipped";
    view->zoomToWindowRect(-100, 500, 600, -100);
    EXPECT_EQ(region(), (std::array {1.0f, 0.5f, 1.5f, 0.75f})) << "zooming never grows the region";
    view->resetRegion();
    view->setCanvasSize(800, 200); // a strip of 400 pixels right of the viewport
    EXPECT_FLOAT_EQ(view->windowToGrid(600, 200).x, 150.0f) << "the strip maps beyond the region";
    for (const auto& [x0, y0, x1, y1] : {std::array {100.0f, 150.0f, 100.0f, 150.0f}, {100.0f, 150.0f, 300.0f, 150.0f},
             {100.0f, 50.0f, 100.0f, 150.0f}, {100.5f, 150.0f, 100.9f, 50.0f}, {500.0f, 50.0f, 700.0f, 150.0f}}) {
        view->zoomToWindowRect(x0, y0, x1, y1);
        EXPECT_EQ(region(), (std::array {0.0f, 0.0f, 2.0f, 1.0f}))
            << "a rectangle without area at " << x0 << ", " << y0;
    }
    view->setWorldRegion({std::nanf(""), 0.2f, 0}, {1, 0.8f, 0});
    EXPECT_EQ(region(), (std::array {0.0f, 0.0f, 2.0f, 1.0f})) << "a corner without a value";
}

TEST_F(FlowViewGLTest, ArrowsFormALatticeOfOnePerStepFromTheLowerLeftCorner)
{
    // 4 pixels per grid unit: step 20 is 5 grid units; uncoded arrows are
    // 4 units long and 1.2 wide at the base.
    show(400, 200);
    const auto all = arrows(20);
    ASSERT_EQ(all.size(), 200u) << "step 20 on 400 × 200 pixels is a 20 × 10 lattice";
    for (const auto& a : all)
        ASSERT_TRUE(a.mode == GL_TRIANGLES && a.vertices.size() == 3 && a.colour == (Point {1.0f, 0.7f, 0.7f}));
    EXPECT_EQ(all[0].vertices, (std::vector<Point> {{2, 0, 0}, {-2, 0.6f, 0}, {-2, -0.6f, 0}}))
        << "the first midpoint is the region's corner, the tip at P + (L, 0, 0)";
    EXPECT_EQ(arrowAt(all, 50, 25), (std::vector<Point> {{52, 25, 0}, {48, 25.6f, 0}, {48, 24.4f, 0}}));
    EXPECT_EQ(arrows(4).size(), 99u * 49u) << "the last sample column and row carry no arrow";
    EXPECT_TRUE(arrows(0).empty()) << "a step below 1 draws nothing";
    test::setUniform(flow, 100, 50, {0, 3, 0}, {0, 0, 0}, {2, 1, 0});
    EXPECT_EQ(arrowAt(arrows(20), 50, 25), (std::vector<Point> {{50, 27, 0}, {49.4f, 23, 0}, {50.6f, 23, 0}}))
        << "a flow along +y turns the base";
    view->setCanvasSize(400, 0);
    EXPECT_TRUE(arrows(20).empty()) << "an empty viewport";
    view->setCanvasSize(400, 1);
    EXPECT_EQ(arrows(20).size(), 1u) << "a viewport of 2 × 1 pixels holds the corner's arrow";
    test::setUniform(flow, 200, 100, {1, 0, 0}, {0, 0, 0}, {4, 2, 0});
    show(401, 200);
    view->setWorldRegion({0, 0, 0}, {2.005f, 1, 0});
    ASSERT_EQ(view->viewportWidth(), 401);
    EXPECT_EQ(arrows(20).size(), 210u) << "a 401st pixel starts a 21st column";
}

TEST_F(FlowViewGLTest, ArrowLengthCodesSpeedOrAValueWhereTheyHaveAScale)
{
    // Speed grows with the column (0 .. 99), value 0 with the row (0 .. 49).
    std::vector<RegularSample> samples;
    std::vector<float> rows;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 100; ++c) {
            samples.push_back({float(c), 0, 0, float(c)});
            rows.push_back(float(r));
        }
    test::setRegularGrid(flow, 100, 50, 1, samples, rows, {0, 0, 0}, {2, 1, 0});
    show(400, 200);
    for (const auto& [position, factor] :
        {std::pair {0, 0.8f}, {1, 49.5f / 99.0f}, {2, 0.5f}, {3, 0.8f}, {8, 0.8f}, {-1, 0.8f}})
        EXPECT_FLOAT_EQ(view->arrowLengthFactor({49.5f, 24.5f, 0}, ArrowCoding::fromListPosition(position)), factor)
            << "list position " << position;
}

TEST_F(FlowViewGLTest, BackgroundSamplesEachViewportPixelOnceAtItsLowerLeftCorner)
{
    show(400, 200);
    RecordingCoder coder(flow, test::indexTable(256));
    view->drawBackground(coder);
    ASSERT_EQ(coder.points.size(), 80000u) << "one colorAt per pixel";
    EXPECT_TRUE(view->imagePixelCount() == 80000 && !view->holdsImage()) << "the image goes after the draw";
    // dx = dy = 0.25 grid units per pixel.
    EXPECT_EQ(coder.points[4], (Vector3 {1, 0, 0})) << "pixel (4, 0) samples column 1.0 of row 0.0";
    EXPECT_EQ(coder.points[400 * 199 + 399], (Vector3 {99.75f, 49.75f, 0}));
    // A speed coder leaves the last sample column (pixels 396 ..) and row white.
    view->drawBackground(SpeedCoder(flow, test::indexTable(256)));
    const RgbaImage image = canvas.read();
    for (const auto& [x, y, white] :
        {std::tuple {395, 100, false}, {396, 100, true}, {100, 195, false}, {100, 196, true}, {399, 199, true}})
        EXPECT_EQ(test::isWhite(image.pixel(x, y)), white) << "pixel " << x << ", " << y;
    view->setWorldRegion({0, 0, 0}, {0.5f, 1, 0});
    view->setCanvasSize(1, 2);
    coder.points.clear();
    view->drawBackground(coder);
    EXPECT_EQ(coder.points.size(), 2u) << "a viewport one pixel wide has its pixels";
    view->setCanvasSize(0, 0);
    coder.points.clear();
    view->drawBackground(coder);
    EXPECT_TRUE(coder.points.empty()) << "an empty viewport has no pixels";
}

} // namespace
} // namespace tvl
