#include "streamlines/StreamlineLayer.h"

#include "StreamlineFlows.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/PointList.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <tuple>
#include <vector>

namespace tvl {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// A layer as the view sets it up: a viewport of width × height pixels showing
// the region minimum..maximum (regular-grid coordinates), g grid units per
// pixel, dsep 10 pixels and dtest half of it.
class StreamlineLayerTest : public ::testing::Test {
protected:
    void open(int width, int height, Vector3 minimum, Vector3 maximum, float g)
    {
        layer = std::make_unique<StreamlineLayer>(&flow);
        layer->setViewportSize(width, height);
        layer->setRegion(minimum, maximum);
        layer->setSeparation(10.0f, g);
        layer->setTestRatio(0.5f);
    }
    void place(LayerIntegrator& integrator)
    {
        layer->setIntegrator(&integrator);
        layer->placeEvenly();
    }
    int storedPoints() const
    {
        int n = 0;
        for (int r = 0; r < layer->rows(); ++r)
            for (int c = 0; c < layer->columns(); ++c)
                n += layer->cell(c, r) ? layer->cell(c, r)->count() : 0;
        return n;
    }

    FlowData flow;
    std::unique_ptr<StreamlineLayer> layer;
};

TEST_F(StreamlineLayerTest, CellsTruncateAndLeaveTheMaximumEdgeOut)
{
    // Cells of 1 × 1 grid unit over 0..10 × 0..5.
    open(95, 45, {0, 0, 0}, {10, 5, 0}, 0.1f);
    const struct {
        Vector3 point;
        int column, row;
    } rows[] = {{{0, 0, 0}, 0, 0}, {{9.99f, 4.99f, 0}, 9, 4}, {{3, 2, 0}, 3, 2}, {{10, 2, 0}, -7, -7},
        {{2, 5, 0}, -7, -7}, {{-0.01f, 2, 0}, -7, -7}, {{2, 5.01f, 0}, -7, -7}, {{kNaN, 2, 0}, -7, -7}};
    for (const auto& r : rows) {
        int c = -7, w = -7;
        EXPECT_EQ(layer->cellOf(r.point, c, w), r.column >= 0) << r.point.x << ", " << r.point.y;
        EXPECT_EQ(c, r.column) << r.point.x << ", " << r.point.y;
        EXPECT_EQ(w, r.row) << r.point.x << ", " << r.point.y;
    }
}

TEST_F(StreamlineLayerTest, SeedTestsSearchTheThreeByThreeCellsAround)
{
    open(95, 45, {0, 0, 0}, {10, 5, 0}, 0.1f); // dsep 1, dtest 0.5
    layer->resetGrid();
    EXPECT_TRUE(layer->isValidSeed({2, 3, 0}, 1.0f)) << "an empty grid accepts every seed inside";
    layer->addToGrid({2, 2, 0});
    layer->addToGrid({10, 2, 0});
    layer->addToGrid({kNaN, 2, 0});
    layer->addToGrid({0, 0, 0});
    layer->addToGrid({9.99f, 4.99f, 0});
    EXPECT_EQ(storedPoints(), 3) << "points without a cell are dropped";
    ASSERT_NE(layer->cell(2, 2), nullptr);
    EXPECT_NE(layer->cell(0, 0), nullptr) << "the first and last cells hold points as well";
    EXPECT_NE(layer->cell(9, 4), nullptr);
    EXPECT_EQ(layer->cell(3, 2), nullptr) << "cells are made only where a point falls";
    EXPECT_TRUE(layer->isValidSeed({2, 3, 0}, 1.0f)) << "a seed exactly dsep away is valid";
    EXPECT_FALSE(layer->isValidSeed({2, 2.99f, 0}, 1.0f));
    EXPECT_FALSE(layer->isValidSeed({12, 3, 0}, 1.0f)) << "a seed outside is never valid";
    EXPECT_TRUE(layer->isValidSeed({2, 4.5f, 0}, 3.0f)) << "cells two rows away are not searched";
    EXPECT_FALSE(layer->isValidSeed({2, 3.5f, 0}, 3.0f)) << "the neighbouring row is";
    EXPECT_TRUE(layer->isFarEnough({2, 2.5f, 0})) << "a point exactly dtest away is far enough";
    EXPECT_FALSE(layer->isFarEnough({2, 2.49f, 0}));
    EXPECT_FALSE(layer->isFarEnough({-1, 2, 0})) << "a point outside the region ends a line";
    layer->resetGrid();
    EXPECT_EQ(layer->cell(2, 2), nullptr) << "resetGrid empties the grid";
}

TEST_F(StreamlineLayerTest, NearestDistanceOfAPathIsReusedOnlyInItsOwnCell)
{
    // A path tested point by point may bound its next distances by the last
    // nearest distance less the way since, in the same cell and while the
    // grid stays as it was. Cells of 1 unit, dtest 0.5; along x and along y, a
    // stored point 1.9 away is the nearest in the first cell's block, one 0.4
    // away from the next point lies beyond that block.
    open(95, 45, {0, 0, 0}, {10, 5, 0}, 0.1f);
    layer->resetGrid();
    for (const Vector3 p :
        {Vector3 {0.05f, 0.5f, 0}, Vector3 {3.0f, 0.5f, 0}, Vector3 {8.5f, 0.05f, 0}, Vector3 {8.5f, 3.0f, 0}})
        layer->addToGrid(p);
    EXPECT_TRUE(layer->isFarEnough({1.95f, 0.5f, 0}));
    EXPECT_FALSE(layer->isFarEnough({2.6f, 0.5f, 0})) << "the next column's block was not searched";
    EXPECT_TRUE(layer->isFarEnough({8.5f, 1.95f, 0}));
    EXPECT_FALSE(layer->isFarEnough({8.5f, 2.6f, 0})) << "the next row's block was not searched";
    EXPECT_TRUE(layer->isFarEnough({5.3f, 0.5f, 0}));
    layer->addToGrid({5.5f, 0.5f, 0});
    EXPECT_FALSE(layer->isFarEnough({5.35f, 0.5f, 0})) << "a point stored since the last test is seen at once";
}

TEST_F(StreamlineLayerTest, PlacementLinksItsIntegratorAndStoresHalfLinesOfTwoPoints)
{
    // The region reaches beyond the sampled columns 0 .. 9: from the centre
    // (9.95, 5) one step lands on 10.15, where the flow ends.
    test::setUniform(flow, 11, 11, {1, 0, 0});
    open(200, 100, {0, 0, 0}, {19.9f, 10, 0}, 0.1f);
    EulerIntegrator euler(&flow);
    layer->setIntegrator(&euler);
    EXPECT_EQ(euler.layer(), layer.get());
    EXPECT_EQ((std::tuple {euler.step(), euler.maxLength(), euler.maxSteps()}), (std::tuple {0.2f, 1000.0f, 1000}))
        << "steps of 2 pixels, at most 10000 pixels and 1000 steps";
    // A drawing that follows the placement is shown each streamline once, as
    // soon as it is placed.
    std::vector<std::size_t> seen;
    layer->placeEvenly([&seen](const StreamlineSet& lines) { seen.push_back(lines.streamlineCount()); });
    EXPECT_TRUE(euler.layer() == nullptr && layer->integrator() == nullptr) << "the placement unlinks it";
    const StreamlineSet& set = layer->placedLines();
    ASSERT_EQ(seen.size(), set.streamlineCount());
    for (std::size_t k = 0; k < seen.size(); ++k)
        EXPECT_EQ(seen[k], k + 1) << "the observer's call " << k;
    ASSERT_EQ(set.halfLines()[0].count, 2u);
    int c = 0, r = 0;
    ASSERT_TRUE(layer->cellOf(set.points()[1], c, r));
    ASSERT_NE(layer->cell(c, r), nullptr) << "the forward half-line's points were not stored";
    EXPECT_FALSE(layer->isFarEnough(set.points()[1])) << "a stored point is nearer than dtest to itself";
}

TEST_F(StreamlineLayerTest, NothingIsPlacedWithoutSeedOrIntegrator)
{
    test::setField(flow, 21, 11, [](int c, int) { return Vector3 {c == 10 ? 0.0f : 1.0f, 0, 0}; });
    EulerIntegrator euler(&flow);
    open(200, 100, {-30, 0, 0}, {10, 10, 0}, 0.4f);
    place(euler);
    EXPECT_EQ(storedPoints(), 0) << "the centre (-10, 5) cannot be sampled";
    open(200, 100, {0, 0, 0}, {20, 10, 0}, 0.1f);
    place(euler);
    EXPECT_EQ(layer->placedLines().streamlineCount(), 1u) << "a zero-speed centre gives its seed alone";
    EXPECT_EQ(storedPoints(), 0) << "a seed alone is not stored";
    test::setUniform(flow, 21, 11, {1, 0, 0});
    layer->placeEvenly();
    EXPECT_TRUE(layer->placedLines().isEmpty()) << "no integrator, no placement";
    for (const float unusable : {0.0f, kNaN}) {
        layer->setSeparation(unusable, 0.1f);
        place(euler);
        EXPECT_TRUE(layer->placedLines().isEmpty()) << "dsep " << unusable;
    }
}

} // namespace
} // namespace tvl
