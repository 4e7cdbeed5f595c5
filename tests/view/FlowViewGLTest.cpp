#include "view/FlowView.h"

#include "CoderProbe.h"
#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"
#include "transfer/TransferFunction.h"
#include "view/SpeedCoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
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

// Midpoint of an arrow, between its tip and its base centre.
Point midpoint(const RecordedPrimitive& a)
{
    const auto& v = a.vertices;
    return {(v[0][0] + (v[1][0] + v[2][0]) * 0.5f) * 0.5f, (v[0][1] + (v[1][1] + v[2][1]) * 0.5f) * 0.5f, 0.0f};
}

// A data set with bounds 0..2 by 0..1 on a 100 × 50 regular grid (one grid
// column is 0.02 world units, as the resampling makes it), shown whole in a
// canvas of the given size.
class FlowViewGLTest : public ::testing::Test {
protected:
    void SetUp() override { test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0, 0, 0}, {2, 1, 0}); }
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
    void expectRegion(float x0, float y0, float x1, float y1, const std::string& why)
    {
        EXPECT_FLOAT_EQ(view->regionMinimum().x, x0) << why;
        EXPECT_FLOAT_EQ(view->regionMinimum().y, y0) << why;
        EXPECT_FLOAT_EQ(view->regionMaximum().x, x1) << why;
        EXPECT_FLOAT_EQ(view->regionMaximum().y, y1) << why;
    }
    std::vector<RecordedPrimitive> arrows(int step, ArrowCoding coding = ArrowCoding::none())
    {
        return test::recordPrimitives([&] { view->drawArrowPlot(step, coding); });
    }
    const RecordedPrimitive* arrowAt(const std::vector<RecordedPrimitive>& all, float x, float y)
    {
        for (const auto& a : all)
            if (std::abs(midpoint(a)[0] - x) < 1e-4f && std::abs(midpoint(a)[1] - y) < 1e-4f)
                return &a;
        return nullptr;
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
    EXPECT_EQ(view->aspectWidth(), 2000) << "bounds 0..2 by 0..1 give the fraction 2000 / 1000";
    EXPECT_EQ(view->aspectHeight(), 1000);
    for (const auto& [w, h, vw, vh] :
        {std::tuple {400, 400, 400, 200}, {400, 100, 200, 100}, {400, 200, 400, 200}, {400, 0, 0, 0}}) {
        view->setCanvasSize(w, h);
        EXPECT_EQ(view->viewportWidth(), vw) << w << " × " << h;
        EXPECT_EQ(view->viewportHeight(), vh) << w << " × " << h;
        EXPECT_EQ(view->streamlineLayer().viewportWidth(), vw) << "the streamline layer follows";
    }
    // 0..0.6 by 0..1 is the ratio of a 63 × 105 canvas: equal ratios take the full height.
    view->setCanvasSize(63, 105);
    view->setWorldRegion({0, 0, 0}, {0.6f, 1, 0});
    EXPECT_EQ(view->viewportHeight(), 105);
    EXPECT_GE(view->viewportWidth(), 62);
    // One pixel wide and the whole viewport high: a fraction below 1 / 1000.
    view->setCanvasSize(400, 1200);
    view->resetRegion();
    view->setWorldRegion({1, 0, 0}, {1.0005f, 1, 0});
    EXPECT_GE(view->viewportWidth(), 1) << "an extreme zoom keeps a viewport";
    show(400, 400);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ((std::array {viewport[0], viewport[1], viewport[2], viewport[3]}), (std::array {0, 0, 400, 200}))
        << "the viewport is anchored at the bottom left";
}

TEST_F(FlowViewGLTest, ZoomGivesTheSameRegionWhicheverWayTheRectangleIsDragged)
{
    show(400, 200);
    for (const auto& [x0, y0, x1, y1] : {std::array {100.0f, 150.0f, 300.0f, 50.0f}, {300.0f, 50.0f, 100.0f, 150.0f},
             {100.0f, 50.0f, 300.0f, 150.0f}, {300.0f, 150.0f, 100.0f, 50.0f}}) {
        view->resetRegion();
        view->zoomToWindowRect(x0, y0, x1, y1);
        expectRegion(0.5f, 0.25f, 1.5f, 0.75f, "dragged from " + std::to_string(x0) + ", " + std::to_string(y0));
    }
    EXPECT_EQ(view->streamlineLayer().regionMinimum(), (Vector3 {25, 12.5f, 0})) << "in grid coordinates";
    EXPECT_EQ(view->streamlineLayer().regionMaximum(), (Vector3 {75, 37.5f, 0}));
    EXPECT_FLOAT_EQ(view->gridUnitsPerPixel(), 0.125f);
    // After the zoom a click maps into the zoomed region.
    EXPECT_EQ(view->windowToGrid(0, 200), (Vector3 {25, 12.5f, 0}));
    EXPECT_EQ(view->windowToGrid(400, 0), (Vector3 {75, 37.5f, 0}));
    EXPECT_EQ(view->windowToGrid(200, 100), (Vector3 {50, 25, 0}));
    // Corners are cut to whole pixels: rows after the flip (200 - 150.5 = 49.5 gives 49).
    view->resetRegion();
    view->zoomToWindowRect(100.9f, 150.5f, 300.7f, 50.0f);
    expectRegion(0.5f, 0.245f, 1.5f, 0.75f, "fractions of a pixel moved the region");
}

TEST_F(FlowViewGLTest, ZoomRectanglesAreClippedAndThoseWithoutAreaIgnored)
{
    show(400, 400);
    EXPECT_EQ(view->windowToGrid(0, 400), (Vector3 {0, 0, 0})) << "the bottom left pixel is the grid origin";
    EXPECT_FLOAT_EQ(view->windowToGrid(100, 300).x, 25.0f);
    view->zoomToWindowRect(200, 300, 500, 100);
    expectRegion(1.0f, 0.5f, 2.0f, 1.0f, "a rectangle partly beside and above the viewport is clipped");
    view->zoomToWindowRect(-100, 500, 600, -100);
    expectRegion(1.0f, 0.5f, 2.0f, 1.0f, "zooming out never grows the region");
    view->resetRegion();
    const struct {
        float x0, y0, x1, y1;
        const char* what;
    } rows[] = {{100, 300, 100, 300, "a right click without movement"}, {100, 300, 300, 300, "a horizontal drag"},
        {100, 250, 100, 350, "a vertical drag"}, {100, 20, 300, 120, "a rectangle above the viewport"},
        {100.5f, 300, 100.9f, 200, "a drag within one pixel column"}};
    for (const auto& r : rows) {
        view->zoomToWindowRect(r.x0, r.y0, r.x1, r.y1);
        expectRegion(0, 0, 2, 1, r.what);
        EXPECT_EQ(view->viewportHeight(), 200) << r.what;
    }
    view->setCanvasSize(800, 200);
    EXPECT_FLOAT_EQ(view->windowToGrid(600, 200).x, 150.0f) << "the strip right of the viewport lies beyond";
    view->zoomToWindowRect(500, 50, 700, 150);
    expectRegion(0, 0, 2, 1, "a rectangle in the strip right of the viewport");
    view->setWorldRegion({std::nanf(""), 0.2f, 0}, {1, 0.8f, 0});
    expectRegion(0, 0, 2, 1, "a corner without a value");
}

TEST_F(FlowViewGLTest, ArrowsFormALatticeOfOnePerStepFromTheLowerLeftCorner)
{
    // 4 pixels per grid unit: step 20 is 5 grid units; uncoded arrows are
    // 4 units long and 1.2 wide at the base.
    show(400, 200);
    const auto all = arrows(20);
    ASSERT_EQ(all.size(), 200u) << "step 20 on 400 × 200 pixels is a 20 × 10 lattice";
    for (const auto& a : all) {
        ASSERT_EQ(a.mode, GLenum(GL_POLYGON));
        ASSERT_EQ(a.vertices.size(), 3u);
        EXPECT_EQ(a.colour, (Point {1.0f, 0.7f, 0.7f}));
        EXPECT_EQ(std::remainder(midpoint(a)[0], 5.0f), 0.0f) << "an arrow off the lattice";
        EXPECT_EQ(std::remainder(midpoint(a)[1], 5.0f), 0.0f);
    }
    EXPECT_EQ(all[0].vertices, (std::vector<Point> {{2, 0, 0}, {-2, 0.6f, 0}, {-2, -0.6f, 0}}))
        << "the first arrow's midpoint is the region's corner; tip at P + (L, 0, 0)";
    EXPECT_EQ(arrows(4).size(), 99u * 49u) << "the last sample column and row carry no arrow";
    EXPECT_TRUE(arrows(0).empty()) << "a step below 1 draws nothing";
    test::setUniformFlow(flow, 100, 50, 0.0f, 3.0f, {0, 0, 0}, {2, 1, 0});
    const auto upwards = arrows(20);
    const RecordedPrimitive* up = arrowAt(upwards, 50, 25);
    ASSERT_NE(up, nullptr);
    EXPECT_EQ(up->vertices, (std::vector<Point> {{50, 27, 0}, {49.4f, 23, 0}, {50.6f, 23, 0}}))
        << "a flow along +y turns the base";
    view->setCanvasSize(400, 0);
    EXPECT_TRUE(arrows(20).empty()) << "an empty viewport";

    test::setUniformFlow(flow, 200, 100, 1.0f, 0.0f, {0, 0, 0}, {4, 2, 0});
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
    const Vector3 p {49.5f, 24.5f, 0};
    for (const auto& [coding, factor] : {std::pair {ArrowCoding::fromListPosition(0), 0.8f},
             {ArrowCoding::fromListPosition(1), 49.5f / 99.0f}, {ArrowCoding::fromListPosition(2), 0.5f},
             {ArrowCoding::fromListPosition(3), 0.8f}, {ArrowCoding::fromListPosition(8), 0.8f},
             {ArrowCoding::fromListPosition(-1), 0.8f}, {ArrowCoding::additionalValue(-3), 0.8f}})
        EXPECT_FLOAT_EQ(view->arrowLengthFactor(p, coding), factor) << "list position " << coding.listPosition();
    const auto coded = arrows(20, ArrowCoding::speed());
    const RecordedPrimitive* arrow = arrowAt(coded, 50, 25);
    ASSERT_NE(arrow, nullptr);
    const float c = 50.0f / 99.0f, half = 10.0f * c * 0.25f;
    EXPECT_FLOAT_EQ(arrow->vertices[0][0], 50.0f + half) << "L = (dx + dy) c / 4";
    EXPECT_FLOAT_EQ(arrow->vertices[1][1], 25.0f + 0.75f * c * 0.5f * half) << "base c·L·0.75 wide";

    // Every speed 0 and a constant value: codings without a scale draw uncoded arrows.
    test::setRegularGrid(flow, 100, 50, 1, std::vector<RegularSample>(5000, RegularSample {1, 0, 0, 0}),
        std::vector<float>(5000, 3.0f), {0, 0, 0}, {2, 1, 0});
    for (int position : {1, 2}) {
        const auto all = arrows(20, ArrowCoding::fromListPosition(position));
        ASSERT_EQ(all.size(), 200u);
        EXPECT_EQ(arrowAt(all, 50, 25)->vertices[0][0], 52.0f) << "position " << position;
    }
}

TEST_F(FlowViewGLTest, NoNonFiniteVertexReachesGLWhereTheFlowHasNoDirection)
{
    // Left half at rest, right half moving, one sample NaN.
    std::vector<RegularSample> samples;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 100; ++c)
            samples.push_back(c < 50 ? RegularSample {} : RegularSample {1, 1, 0, std::sqrt(2.0f)});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    samples[25 * 100 + 75] = {nan, nan, 0, nan};
    test::setRegularGrid(flow, 100, 50, 0, samples, {}, {0, 0, 0}, {2, 1, 0});
    show(400, 200);
    for (int coding : {0, 1}) {
        const auto all = arrows(20, ArrowCoding::fromListPosition(coding));
        EXPECT_EQ(all.size(), 10u * 10u - 1u) << "only moving samples carry arrows; coding " << coding;
        for (const auto& a : all)
            for (const auto& v : a.vertices)
                ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]));
    }
}

TEST_F(FlowViewGLTest, BackgroundSamplesEachViewportPixelOnceAtItsLowerLeftCorner)
{
    show(400, 200);
    RecordingCoder coder(flow, test::indexTable(256));
    view->drawBackground(coder);
    ASSERT_EQ(coder.points.size(), 80000u) << "one colorAt per pixel";
    EXPECT_EQ(view->imagePixelCount(), 80000);
    EXPECT_FALSE(view->holdsImage()) << "the image goes at the end of the draw";
    // dx = dy = 0.25 grid units per pixel.
    EXPECT_EQ(coder.points[4], (Vector3 {1, 0, 0})) << "pixel (4, 0) samples column 1.0 of row 0.0";
    EXPECT_EQ(coder.points[400 * 8 + 2], (Vector3 {0.5f, 2, 0}));
    EXPECT_EQ(coder.points[400 * 199 + 399], (Vector3 {99.75f, 49.75f, 0}));
    // GL shows the filled image, its first row at the bottom.
    std::vector<std::uint8_t> filled(4u * 80000u);
    view->fillBackgroundImage(coder, filled.data());
    const RgbaImage shown = canvas.read();
    EXPECT_TRUE(std::equal(filled.begin(), filled.end(), shown.data())) << "GL must show the image as filled";
    EXPECT_EQ(shown.pixel(10, 199)[0], 254) << "the top row samples row 49.75";

    view->zoomToWindowRect(100, 150, 300, 50);
    coder.points.clear();
    view->drawBackground(coder);
    EXPECT_EQ(coder.points[4], (Vector3 {25.5f, 12.5f, 0})) << "the zoomed region, sampled finer than the grid";
    view->setCanvasSize(0, 0);
    coder.points.clear();
    view->drawBackground(coder);
    EXPECT_TRUE(coder.points.empty()) << "an empty viewport has no pixels";
}

TEST_F(FlowViewGLTest, BackgroundIsWhiteWithoutSpeedAndShowsTransferEditsAtTheNextDraw)
{
    // Speed 1 everywhere but 2 at one sample: t = 0.5 almost everywhere.
    std::vector<RegularSample> samples(5000, RegularSample {1, 0, 0, 1});
    samples[0].speed = 2.0f;
    test::setRegularGrid(flow, 100, 50, 0, samples, {}, {0, 0, 0}, {2, 1, 0});
    show(400, 200);
    TransferFunction transfer(ClientRect {0, 0, 100, 20});
    const SpeedCoder coder(flow, transfer.colorTable());
    view->drawBackground(coder);
    const RgbaImage before = canvas.read();
    EXPECT_EQ(before.pixel(200, 100)[0], transfer.colorTable()->entry(50).r) << "t = 0.5 shows entry 50";
    // Columns from 99 on (pixels 396 ..) and rows from 49 on have no speed.
    for (const auto& [x, y, white] :
        {std::tuple {395, 100, false}, {396, 100, true}, {100, 195, false}, {100, 196, true}, {399, 199, true}})
        EXPECT_EQ(test::isWhite(before.pixel(x, y)), white) << "pixel " << x << ", " << y;
    transfer.setPointColor(0, Rgb {255, 0, 0});
    view->drawBackground(coder);
    EXPECT_EQ(canvas.read().pixel(200, 100)[0], 255) << "the next draw shows the recoloured ramp";
}

TEST_F(FlowViewGLTest, ZoomRectangleIsARedOutlineInWorldCoordinates)
{
    show(400, 200);
    glColor3f(0.0f, 1.0f, 0.0f);
    const auto strips = test::recordPrimitives([&] { view->drawZoomRectangle(100, 50, 300, 150); });
    ASSERT_EQ(strips.size(), 1u);
    EXPECT_EQ(strips[0].mode, GLenum(GL_LINE_STRIP));
    EXPECT_EQ(strips[0].colour, (Point {1, 0, 0}));
    EXPECT_EQ(strips[0].vertices,
        (std::vector<Point> {
            {0.5f, 0.75f, 0}, {1.5f, 0.75f, 0}, {1.5f, 0.25f, 0}, {0.5f, 0.25f, 0}, {0.5f, 0.75f, 0}}));
    const RgbaImage image = canvas.read();
    for (const auto& [x, y] : {std::pair {200, 150}, {200, 50}, {100, 100}, {300, 100}})
        EXPECT_TRUE(test::isRed(image.pixel(x, y))) << "outline missing at " << x << ", " << y;
    EXPECT_TRUE(test::isBlack(image.pixel(200, 100))) << "the rectangle is not filled";
    GLfloat width = 0, colour[4] = {};
    glGetFloatv(GL_LINE_WIDTH, &width);
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(width, 1.0f);
    EXPECT_EQ((Point {colour[0], colour[1], colour[2]}), (Point {1, 1, 1})) << "white afterwards";
    view->setCanvasSize(1, 1);
    ASSERT_EQ(view->viewportWidth() + view->viewportHeight(), 1) << "a viewport of 1 × 0 pixels";
    EXPECT_TRUE(test::recordPrimitives([&] { view->drawZoomRectangle(0, 0, 1, 1); }).empty()) << "an empty viewport";
}

} // namespace
} // namespace tvl
