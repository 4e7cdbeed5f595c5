#include "view/FlowView.h"

#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tvl {
namespace {

using test::RecordedPrimitive;
using Point = std::array<float, 3>;

class FlowViewArrowsGLTest : public ::testing::Test {
protected:
    // A canvas of the given size showing the whole data set.
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
    void TearDown() override { view.reset(); }

    // The arrows as drawArrowPlot hands them to GL, in grid coordinates.
    std::vector<RecordedPrimitive> arrows(int step, ArrowCoding coding = ArrowCoding::none())
    {
        return test::recordPrimitives([&] { view->drawArrowPlot(step, coding); });
    }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

// Midpoint between the tip and the base centre.
Point midpoint(const RecordedPrimitive& arrow)
{
    const auto& v = arrow.vertices;
    return {(v[0][0] + (v[1][0] + v[2][0]) * 0.5f) * 0.5f, (v[0][1] + (v[1][1] + v[2][1]) * 0.5f) * 0.5f, 0.0f};
}

// The arrow around lattice point (x, y), or null.
const RecordedPrimitive* arrowAt(const std::vector<RecordedPrimitive>& all, float x, float y)
{
    for (const auto& a : all) {
        const Point m = midpoint(a);
        if (std::abs(m[0] - x) < 1e-4f && std::abs(m[1] - y) < 1e-4f)
            return &a;
    }
    return nullptr;
}

void expectVertex(const Point& v, float x, float y, const char* what)
{
    EXPECT_FLOAT_EQ(v[0], x) << what;
    EXPECT_FLOAT_EQ(v[1], y) << what;
    EXPECT_EQ(v[2], 0.0f) << what;
}

TEST_F(FlowViewArrowsGLTest, PlacesOneArrowPerStepOfTheViewport)
{
    // 200 × 100 grid over 0..4 by 0..2, so that every lattice point of the
    // regions below has samples on all sides.
    test::setUniformFlow(flow, 200, 100, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {4.0f, 2.0f, 0.0f});
    show(400, 200);
    view->setWorldRegion({0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    ASSERT_EQ(view->viewportWidth(), 400);
    EXPECT_EQ(arrows(20).size(), 200u) << "step 20 on 400 × 200 pixels is a 20 × 10 lattice";

    show(401, 200);
    view->setWorldRegion({0.0f, 0.0f, 0.0f}, {2.005f, 1.0f, 0.0f});
    ASSERT_EQ(view->viewportWidth(), 401);
    ASSERT_EQ(view->viewportHeight(), 200);
    EXPECT_EQ(arrows(20).size(), 210u) << "a 401st pixel starts a 21st column";

    EXPECT_TRUE(arrows(0).empty()) << "a step below 1 must draw nothing (and return)";
    EXPECT_TRUE(arrows(-20).empty());
}

TEST_F(FlowViewArrowsGLTest, DrawsTrianglesAlongTheFlowFromTheLowerLeftCorner)
{
    // 100 × 50 grid in 400 × 200 pixels: 4 pixels per grid unit; step 20 gives
    // a spacing of 5 grid units, arrows 4 units long and 1.2 wide.
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    const auto all = arrows(20);
    ASSERT_EQ(all.size(), 200u);
    for (const auto& a : all) {
        ASSERT_EQ(a.mode, static_cast<GLenum>(GL_TRIANGLES));
        ASSERT_EQ(a.vertices.size(), 3u) << "an arrow is a triangle";
        EXPECT_EQ(a.colour, (std::array<float, 3> {1.0f, 0.7f, 0.7f})) << "arrows are drawn in (1, 0.7, 0.7)";
        const Point m = midpoint(a);
        EXPECT_EQ(std::remainder(m[0], 5.0f), 0.0f) << "arrow off the lattice at x " << m[0];
        EXPECT_EQ(std::remainder(m[1], 5.0f), 0.0f) << "arrow off the lattice at y " << m[1];
    }

    const RecordedPrimitive& first = all.front();
    expectVertex(first.vertices[0], 2.0f, 0.0f, "first tip: 2 units right of the lower left corner");
    expectVertex(first.vertices[1], -2.0f, 0.6f, "first base corner B - W");
    expectVertex(first.vertices[2], -2.0f, -0.6f, "first base corner B + W");

    const RecordedPrimitive* inner = arrowAt(all, 50.0f, 25.0f);
    ASSERT_NE(inner, nullptr) << "no arrow on lattice point (50, 25)";
    expectVertex(inner->vertices[0], 52.0f, 25.0f, "tip at P + (L, 0, 0)");
    expectVertex(inner->vertices[1], 48.0f, 25.6f, "base corner at (P.x - L, P.y + 0.375 c L)");
    expectVertex(inner->vertices[2], 48.0f, 24.4f, "base corner at (P.x - L, P.y - 0.375 c L)");

    view->drawArrowPlot(20, ArrowCoding::none());
    const RgbaImage image = canvas.read();
    EXPECT_TRUE(test::isPink(image.pixel(200, 100))) << "arrow colour missing";
    EXPECT_TRUE(test::isPink(image.pixel(1, 0))) << "the first arrow's tip shows at the corner";
    EXPECT_TRUE(test::isBlack(image.pixel(209, 100))) << "arrow longer than 4 grid units";
    EXPECT_TRUE(test::isBlack(image.pixel(191, 100))) << "arrow longer than 4 grid units";
    EXPECT_TRUE(test::isBlack(image.pixel(193, 104))) << "arrow wider than 1.2 grid units";
}

TEST_F(FlowViewArrowsGLTest, TurnsTheBasePerpendicularToTheFlow)
{
    test::setUniformFlow(flow, 100, 50, 0.0f, 3.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    const auto all = arrows(20);
    const RecordedPrimitive* arrow = arrowAt(all, 50.0f, 25.0f);
    ASSERT_NE(arrow, nullptr);
    expectVertex(arrow->vertices[0], 50.0f, 27.0f, "a flow along +y puts the tip above");
    expectVertex(arrow->vertices[1], 49.4f, 23.0f, "base corner B - W");
    expectVertex(arrow->vertices[2], 50.6f, 23.0f, "base corner B + W");
}

TEST_F(FlowViewArrowsGLTest, LeavesTheLastSampleColumnAndRowWithoutArrows)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    // Step 4 puts a lattice point on every grid column 0..99 and row 0..49;
    // column 99 and row 49 have no samples beyond them.
    const auto all = arrows(4);
    EXPECT_EQ(all.size(), 99u * 49u);
    for (const auto& a : all) {
        const Point m = midpoint(a);
        ASSERT_LT(m[0], 99.0f) << "an arrow in the last sample column";
        ASSERT_LT(m[1], 49.0f) << "an arrow in the last sample row";
    }
}

TEST_F(FlowViewArrowsGLTest, CodesTheLengthWithSpeedOrAnAdditionalValue)
{
    // Speed grows with the column (vx = column, max 99); the one additional
    // value grows with the row (0 .. 49, range 49).
    const int w = 100;
    const int h = 50;
    std::vector<RegularSample> samples;
    std::vector<float> rows;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) {
            samples.push_back({static_cast<float>(c), 0.0f, 0.0f, static_cast<float>(c)});
            rows.push_back(static_cast<float>(r));
        }
    tvl::test::setRegularGrid(flow, w, h, 1, samples, rows, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);

    EXPECT_FLOAT_EQ(view->arrowLengthFactor({49.5f, 10.0f, 0.0f}, ArrowCoding::fromListPosition(0)), 0.8f)
        << "no coding";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({49.5f, 10.0f, 0.0f}, ArrowCoding::fromListPosition(1)), 49.5f / 99.0f)
        << "speed coding";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({10.0f, 24.5f, 0.0f}, ArrowCoding::fromListPosition(2)), 0.5f)
        << "value coding";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({10.0f, 24.5f, 0.0f}, ArrowCoding::fromListPosition(8)), 0.8f)
        << "only six values code";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({10.0f, 24.5f, 0.0f}, ArrowCoding::fromListPosition(-1)), 0.8f);
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({10.0f, 24.5f, 0.0f}, ArrowCoding::fromListPosition(7)), 0.8f)
        << "a value number the data set lacks codes nothing";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({10.0f, 24.5f, 0.0f}, ArrowCoding::additionalValue(-3)), 0.8f);

    // Speed coded: the arrow at column 50 has c = 50/99 and L = 10 c / 4.
    const auto speedArrows = arrows(20, ArrowCoding::speed());
    const RecordedPrimitive* arrow = arrowAt(speedArrows, 50.0f, 25.0f);
    ASSERT_NE(arrow, nullptr);
    const float c = 50.0f / 99.0f;
    const float half = 10.0f * c * 0.25f;
    expectVertex(arrow->vertices[0], 50.0f + half, 25.0f, "speed-coded length");
    expectVertex(arrow->vertices[1], 50.0f - half, 25.0f + 0.75f * c * 0.5f * half, "base c·L·0.75 wide");

    // Value coded: the arrow at row 25 has c = 25/49.
    const auto valueArrows = arrows(20, ArrowCoding::additionalValue(0));
    arrow = arrowAt(valueArrows, 50.0f, 25.0f);
    ASSERT_NE(arrow, nullptr);
    expectVertex(arrow->vertices[0], 50.0f + 10.0f * (25.0f / 49.0f) * 0.25f, 25.0f, "value-coded length");
}

TEST_F(FlowViewArrowsGLTest, FallsBackToUncodedArrowsWhereTheCodingHasNoScale)
{
    // Every velocity (1, 0) but every speed 0: the maximum speed is 0. The one
    // additional value is constant: its range is 0.
    std::vector<RegularSample> samples(100 * 50, RegularSample {1.0f, 0.0f, 0.0f, 0.0f});
    tvl::test::setRegularGrid(
        flow, 100, 50, 1, samples, std::vector<float>(100 * 50, 3.0f), {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    ASSERT_EQ(flow.getMaxSpeed(), 0.0f);
    ASSERT_EQ(flow.getValueRange(0), 0.0f);
    show(400, 200);
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({50.0f, 25.0f, 0.0f}, ArrowCoding::fromListPosition(1)), 0.8f)
        << "0 / 0 speed";
    EXPECT_FLOAT_EQ(view->arrowLengthFactor({50.0f, 25.0f, 0.0f}, ArrowCoding::fromListPosition(2)), 0.8f)
        << "0 / 0 value";

    for (int coding : {1, 2, 4}) {
        const auto all = arrows(20, ArrowCoding::fromListPosition(coding));
        EXPECT_EQ(all.size(), 200u) << "coding " << coding << " lost arrows";
        const RecordedPrimitive* arrow = arrowAt(all, 50.0f, 25.0f);
        ASSERT_NE(arrow, nullptr);
        expectVertex(arrow->vertices[0], 52.0f, 25.0f, "a coding without scale draws uncoded arrows");
    }
}

TEST_F(FlowViewArrowsGLTest, SendsNoNonFiniteVertexWhereTheFlowHasNoDirection)
{
    // Left half at rest, right half moving; one sample NaN.
    std::vector<RegularSample> samples;
    for (int r = 0; r < 50; ++r)
        for (int c = 0; c < 100; ++c)
            samples.push_back(c < 50 ? RegularSample {} : RegularSample {1.0f, 1.0f, 0.0f, std::sqrt(2.0f)});
    const float nan = std::numeric_limits<float>::quiet_NaN();
    samples[25 * 100 + 75] = RegularSample {nan, nan, 0.0f, nan};
    tvl::test::setRegularGrid(flow, 100, 50, 0, samples, {}, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);

    for (int coding : {0, 1}) {
        const auto all = arrows(20, ArrowCoding::fromListPosition(coding));
        // Lattice columns 0..45 blend only resting samples; 50..95 move,
        // except the lattice point on the NaN sample.
        EXPECT_EQ(all.size(), 10u * 10u - 1u) << "coding " << coding;
        for (const auto& a : all) {
            for (const auto& v : a.vertices)
                ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]))
                    << "a non-finite vertex reached GL";
            EXPECT_GE(midpoint(a)[0], 50.0f) << "an arrow where the flow rests";
        }
        EXPECT_EQ(arrowAt(all, 75.0f, 25.0f), nullptr) << "an arrow on the NaN sample";
    }
}

TEST_F(FlowViewArrowsGLTest, DrawsNothingInAnEmptyViewport)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    view->setCanvasSize(400, 0);
    ASSERT_EQ(view->viewportHeight(), 0);
    EXPECT_TRUE(arrows(20).empty());
}

} // namespace
} // namespace tvl
