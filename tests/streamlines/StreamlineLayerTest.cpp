#include "streamlines/StreamlineLayer.h"

#include "StreamlineFlows.h"
#include "flow/AnalyticFlow.h"
#include "streamlines/EulerIntegrator.h"
#include "streamlines/PointList.h"
#include "streamlines/RungeKutta4Integrator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tvl {
namespace {

// Both half-lines of every placed streamline, in placement order.
struct Streamline {
    std::vector<Vector3> forward;
    std::vector<Vector3> backward;
};

std::vector<Streamline> placedStreamlines(const StreamlineSet& set)
{
    std::vector<Streamline> lines;
    const auto& halves = set.halfLines();
    for (std::size_t k = 0; k + 1 < halves.size(); k += 2) {
        const auto forward = set.pointsOf(halves[k]);
        const auto backward = set.pointsOf(halves[k + 1]);
        EXPECT_EQ(halves[k].sense, StreamlineSet::Sense::WithFlow) << "streamline " << k / 2;
        EXPECT_EQ(halves[k + 1].sense, StreamlineSet::Sense::AgainstFlow) << "streamline " << k / 2;
        lines.push_back({{forward.begin(), forward.end()}, {backward.begin(), backward.end()}});
    }
    return lines;
}

// Points of placed lines in square buckets, for distance checks.
class NearPoints {
public:
    explicit NearPoints(float size)
        : size_(size)
    {
    }

    void add(std::size_t line, const Vector3& p) { buckets_[key(bucket(p.x), bucket(p.y))].push_back({line, p}); }

    // Distance from p to the nearest point of a line before beforeLine, among
    // the buckets at most reach buckets away; infinity when there is none.
    double nearest(const Vector3& p, std::size_t beforeLine, int reach) const
    {
        double best = std::numeric_limits<double>::infinity();
        const long long bx = bucket(p.x);
        const long long by = bucket(p.y);
        for (long long y = by - reach; y <= by + reach; ++y) {
            for (long long x = bx - reach; x <= bx + reach; ++x) {
                const auto found = buckets_.find(key(x, y));
                if (found == buckets_.end())
                    continue;
                for (const auto& [line, q] : found->second) {
                    if (line < beforeLine)
                        best = std::min(
                            best, std::hypot(static_cast<double>(p.x) - q.x, static_cast<double>(p.y) - q.y));
                }
            }
        }
        return best;
    }

private:
    long long bucket(float v) const { return static_cast<long long>(std::floor(v / size_)); }
    static long long key(long long x, long long y) { return x * 1000003LL + y; }

    float size_;
    std::unordered_map<long long, std::vector<std::pair<std::size_t, Vector3>>> buckets_;
};

// A layer set up the way the view sets it for a viewport showing a region of
// a flow in regular-grid index coordinates.
class StreamlineLayerTest : public ::testing::Test {
protected:
    FlowData flow;
    std::unique_ptr<StreamlineLayer> layer;

    void open(int width, int height)
    {
        layer = std::make_unique<StreamlineLayer>(&flow);
        layer->setViewportSize(width, height);
    }

    void show(const Vector3& minimum, const Vector3& maximum) { layer->setRegion(minimum, maximum); }

    float gridUnitsPerPixel() const
    {
        const Vector3& m = layer->regionMinimum();
        const Vector3& M = layer->regionMaximum();
        return ((M.y - m.y) / static_cast<float>(layer->viewportHeight())
                   + (M.x - m.x) / static_cast<float>(layer->viewportWidth()))
            * 0.5f;
    }

    // The placement as the view runs it, with the default sliders.
    void place(LayerIntegrator& integrator, float dsepPixels = 10.0f, float ratio = 0.5f)
    {
        layer->setSeparation(dsepPixels, gridUnitsPerPixel());
        layer->setTestRatio(ratio);
        layer->setIntegrator(&integrator);
        seenCounts.clear();
        layer->placeEvenly([this](const StreamlineSet& lines) { seenCounts.push_back(lines.streamlineCount()); });
    }
    // What the placement's observer was shown: streamlines placed so far.
    std::vector<std::size_t> seenCounts;

    // The points the placement stored: half-lines of more than one point,
    // where they have a cell.
    std::vector<Vector3> storedPoints(const Streamline& line) const
    {
        std::vector<Vector3> stored;
        for (const std::vector<Vector3>* half : {&line.forward, &line.backward}) {
            if (half->size() <= 1)
                continue;
            for (const Vector3& p : *half) {
                int c = 0;
                int r = 0;
                if (layer->cellOf(p, c, r))
                    stored.push_back(p);
            }
        }
        return stored;
    }
};

TEST_F(StreamlineLayerTest, RegionAndGridSize)
{
    ASSERT_NO_FATAL_FAILURE(open(95, 45));
    layer->setRegion({2.0f, 3.0f, 0.0f}, {10.0f, 7.0f, 0.0f});
    EXPECT_EQ(layer->regionExtent(), (Vector3 {8.0f, 4.0f, 0.0f})) << "extent must be maximum - minimum";
    layer->setSeparation(10.0f, 0.25f);
    EXPECT_EQ(layer->columns(), 10) << "95 pixels at dsep 10 must give 10 columns";
    EXPECT_EQ(layer->rows(), 5) << "45 pixels at dsep 10 must give 5 rows";
    EXPECT_EQ(layer->dsep(), 2.5f) << "dsep must be pixels × g";
    layer->setTestRatio(0.5f);
    EXPECT_EQ(layer->dtest(), 1.25f) << "dtest must be ratio × dsep";
    layer->resetGrid();
    EXPECT_EQ(layer->cellCount(), 50) << "the grid must hold columns × rows cells";
    for (const float unusable : {0.0f, -10.0f, std::numeric_limits<float>::quiet_NaN()}) {
        layer->setSeparation(unusable, 0.25f);
        layer->resetGrid();
        EXPECT_EQ(layer->cellCount(), 0) << "dsep " << unusable << " pixels must leave no grid";
    }
}

TEST_F(StreamlineLayerTest, CellOfTruncatesAndLeavesTheMaximumEdgeOut)
{
    ASSERT_NO_FATAL_FAILURE(open(95, 45));
    layer->setRegion({0.0f, 0.0f, 0.0f}, {10.0f, 5.0f, 0.0f});
    layer->setSeparation(10.0f, 0.1f);
    int c = -7;
    int r = -7;
    ASSERT_TRUE(layer->cellOf({0.0f, 0.0f, 0.0f}, c, r)) << "the minimum corner has a cell";
    EXPECT_EQ(c, 0);
    EXPECT_EQ(r, 0);
    ASSERT_TRUE(layer->cellOf({9.99f, 4.99f, 0.0f}, c, r));
    EXPECT_EQ(c, 9) << "column must truncate";
    EXPECT_EQ(r, 4) << "row must truncate";
    ASSERT_TRUE(layer->cellOf({3.0f, 2.0f, 0.0f}, c, r));
    EXPECT_EQ(c, 3) << "a cell border belongs to the upper cell";
    EXPECT_EQ(r, 2) << "a cell border belongs to the upper cell";

    c = -7;
    r = -7;
    EXPECT_FALSE(layer->cellOf({10.0f, 2.0f, 0.0f}, c, r)) << "the maximum x edge has no cell";
    EXPECT_FALSE(layer->cellOf({2.0f, 5.0f, 0.0f}, c, r)) << "the maximum y edge has no cell";
    EXPECT_FALSE(layer->cellOf({-0.01f, 2.0f, 0.0f}, c, r)) << "left of the region";
    EXPECT_FALSE(layer->cellOf({2.0f, 5.01f, 0.0f}, c, r)) << "above the region";
    EXPECT_FALSE(layer->cellOf({std::numeric_limits<float>::quiet_NaN(), 2.0f, 0.0f}, c, r)) << "NaN has no cell";
    EXPECT_EQ(c, -7) << "a failed cellOf must leave the column alone";
    EXPECT_EQ(r, -7) << "a failed cellOf must leave the row alone";

    // A region without width: no point may divide its way into a cell.
    layer->setRegion({4.0f, 0.0f, 0.0f}, {4.0f, 5.0f, 0.0f});
    EXPECT_FALSE(layer->cellOf({4.0f, 1.0f, 0.0f}, c, r)) << "a region without width has no cells";
}

TEST_F(StreamlineLayerTest, SeedTestsLookAtTheNeighbouringCells)
{
    // Cells of 1 × 1 grid unit; dsep = 10 pixels × 0.1 = 1, dtest = 0.5.
    ASSERT_NO_FATAL_FAILURE(open(95, 45));
    layer->setRegion({0.0f, 0.0f, 0.0f}, {10.0f, 5.0f, 0.0f});
    layer->setSeparation(10.0f, 0.1f);
    layer->setTestRatio(0.5f);
    ASSERT_EQ(layer->dsep(), 1.0f);
    layer->resetGrid();
    EXPECT_TRUE(layer->isValidSeed({2.0f, 3.0f, 0.0f}, layer->dsep())) << "an empty grid accepts every seed inside";
    EXPECT_FALSE(layer->isValidSeed({12.0f, 3.0f, 0.0f}, layer->dsep())) << "a seed outside is never valid";

    layer->addToGrid({2.0f, 2.0f, 0.0f});
    ASSERT_NE(layer->cell(2, 2), nullptr) << "the point must create its cell";
    EXPECT_EQ(layer->cell(2, 2)->count(), 1);
    EXPECT_EQ(layer->cell(3, 2), nullptr) << "cells are created only where a point falls";
    EXPECT_TRUE(layer->isValidSeed({2.0f, 3.0f, 0.0f}, layer->dsep())) << "a seed exactly dsep away is valid";
    EXPECT_FALSE(layer->isValidSeed({2.0f, 2.99f, 0.0f}, layer->dsep())) << "a seed closer than dsep is not";
    EXPECT_TRUE(layer->isFarEnough({2.0f, 2.5f, 0.0f})) << "a point exactly dtest away is far enough";
    EXPECT_FALSE(layer->isFarEnough({2.0f, 2.49f, 0.0f})) << "a point closer than dtest is not";
    EXPECT_FALSE(layer->isFarEnough({-1.0f, 2.0f, 0.0f})) << "a point outside the region ends a line";
    // Only the 3 × 3 block around the seed's cell counts.
    EXPECT_TRUE(layer->isValidSeed({2.0f, 4.5f, 0.0f}, 3.0f)) << "cells two rows away must not be searched";
    EXPECT_FALSE(layer->isValidSeed({2.0f, 3.5f, 0.0f}, 3.0f)) << "the neighbouring row must be searched";

    layer->addToGrid({10.0f, 2.0f, 0.0f});
    layer->addToGrid({std::numeric_limits<float>::quiet_NaN(), 2.0f, 0.0f});
    for (int r = 0; r < layer->rows(); ++r) {
        for (int c = 0; c < layer->columns(); ++c) {
            if (c != 2 || r != 2) {
                ASSERT_EQ(layer->cell(c, r), nullptr) << "a point without a cell was stored in " << c << ", " << r;
            }
        }
    }

    layer->resetGrid();
    EXPECT_EQ(layer->cell(2, 2), nullptr) << "resetGrid must empty the grid";
    EXPECT_TRUE(layer->isValidSeed({2.0f, 3.0f, 0.0f}, 1.0f));
}

TEST_F(StreamlineLayerTest, IntegratorLinkLastsOnePlacement)
{
    ASSERT_NO_FATAL_FAILURE(open(200, 100));
    test::setUniform(flow, 21, 11, {1.0f, 0.0f, 0.0f});
    show({0.0f, 0.0f, 0.0f}, {20.0f, 10.0f, 0.0f});
    layer->setSeparation(10.0f, 0.1f);
    EulerIntegrator euler(&flow);
    layer->setIntegrator(&euler);
    EXPECT_EQ(euler.layer(), layer.get()) << "the integrator must be linked to the layer";
    EXPECT_EQ(layer->integrator(), &euler) << "the layer must be linked to the integrator";
    EXPECT_EQ(euler.step(), 0.2f) << "the placement steps 2 pixels";
    EXPECT_EQ(euler.maxLength(), 1000.0f) << "a half-line is at most 10000 pixels long";
    EXPECT_EQ(euler.maxSteps(), 1000) << "a half-line takes at most 1000 steps";
    layer->setTestRatio(0.5f);
    layer->placeEvenly();
    EXPECT_EQ(euler.layer(), nullptr) << "the placement must unlink the integrator";
    EXPECT_EQ(layer->integrator(), nullptr) << "the layer must forget the integrator after the placement";
}

TEST_F(StreamlineLayerTest, UniformFlowGivesRowsDsepApart)
{
    // The first line runs through the centre; the walk pushes the seed above
    // a rightward line last, so the second line lies dsep above the first.
    ASSERT_NO_FATAL_FAILURE(open(200, 100));
    test::setUniform(flow, 21, 11, {1.0f, 0.0f, 0.0f});
    show({0.0f, 0.0f, 0.0f}, {20.0f, 10.0f, 0.0f});
    RungeKutta4Integrator integrator(&flow);
    place(integrator);
    const float dsep = layer->dsep();
    ASSERT_EQ(dsep, 1.0f) << "10 pixels of 0.1 grid units";
    const std::vector<Streamline> lines = placedStreamlines(layer->placedLines());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0].forward.front(), (Vector3 {10.0f, 5.0f, 0.0f})) << "the first seed is the centre";
    EXPECT_NEAR(lines[1].forward.front().y, 6.0f, 1e-5f) << "B (left of travel) must be tried first";

    // Every line that moved is a row; the rows are dsep apart and fill the
    // sampled height (rows 0 .. 10 of the grid; 10 is outside the domain).
    std::vector<float> rows;
    for (const auto& line : lines) {
        if (line.forward.size() <= 1 && line.backward.size() <= 1)
            continue;
        for (const std::vector<Vector3>* half : {&line.forward, &line.backward})
            for (const Vector3& p : *half)
                ASSERT_EQ(p.y, line.forward.front().y) << "a line in uniform flow left its row";
        rows.push_back(line.forward.front().y);
    }
    std::sort(rows.begin(), rows.end());
    ASSERT_EQ(rows.size(), 10u) << "rows 0 .. 9 one dsep apart were expected";
    // A drawing that follows the placement sees each streamline once, as soon
    // as it is placed.
    ASSERT_EQ(seenCounts.size(), lines.size()) << "the observer must be told once per streamline";
    for (std::size_t k = 0; k < seenCounts.size(); ++k)
        EXPECT_EQ(seenCounts[k], k + 1) << "call " << k;
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_NEAR(rows[i], static_cast<float>(i), 1e-4f) << "row " << i << " is not a whole dsep from the centre";
}

TEST_F(StreamlineLayerTest, DoubleGyreLinesKeepTheirDistance)
{
    FlowSpec spec;
    spec.flow = FlowKind::DoubleGyre;
    spec.width = 81;
    spec.height = 41;
    spec.x0 = 0.0f;
    spec.x1 = 2.0f;
    spec.y0 = 0.0f;
    spec.y1 = 1.0f;
    ASSERT_TRUE(flow.loadNodes(makeFlow(spec))) << "double gyre did not load";
    ASSERT_NO_FATAL_FAILURE(open(400, 200));
    show({0.0f, 0.0f, 0.0f}, {static_cast<float>(flow.getWidth()), static_cast<float>(flow.getHeight()), 0.0f});
    RungeKutta4Integrator integrator(&flow);
    place(integrator);
    const float dsep = layer->dsep();
    const float dtest = layer->dtest();
    const std::vector<Streamline> lines = placedStreamlines(layer->placedLines());
    ASSERT_GT(lines.size(), 20u) << "the placement gave up early";

    // Stored points of every line, bucketed by dsep so that each check only
    // looks at the points that can be near.
    NearPoints stored(dsep);
    for (std::size_t i = 0; i < lines.size(); ++i)
        for (const Vector3& p : storedPoints(lines[i]))
            stored.add(i, p);
    // Against every earlier line, every point but the last of each half-line
    // (which may be the one that came too close) keeps dtest; every seed that
    // was traced keeps dsep. A hair of slack for the double arithmetic here.
    for (std::size_t j = 1; j < lines.size(); ++j) {
        const auto& line = lines[j];
        ASSERT_GE(stored.nearest(line.forward.front(), j, 1), dsep * 0.9999)
            << "the seed of line " << j << " is closer than dsep to an earlier line";
        for (const std::vector<Vector3>* half : {&line.forward, &line.backward}) {
            for (std::size_t k = 0; k + 1 < half->size(); ++k)
                ASSERT_GE(stored.nearest((*half)[k], j, 1), dtest * 0.9999)
                    << "line " << j << " came closer than dtest to an earlier line";
        }
    }

    // The lines cover the sampled part of the view: every lattice point
    // there is within 2 dsep of a placed line.
    for (float y = 1.0f; y < static_cast<float>(flow.getHeight() - 2); y += 1.0f) {
        for (float x = 1.0f; x < static_cast<float>(flow.getWidth() - 2); x += 1.0f) {
            ASSERT_LT(stored.nearest({x, y, 0.0f}, lines.size(), 2), 2.0 * dsep)
                << "gap in the placement at " << x << ", " << y;
        }
    }
}

TEST_F(StreamlineLayerTest, DistanceTestsAgreeWithTheNearestStoredPoint)
{
    // The tests may answer without scanning every point; their answers must
    // still be those of the nearest stored point in the 3 × 3 block, as
    // minDistance rounds it, for points that follow each other like a trace.
    FlowSpec spec;
    spec.flow = FlowKind::DoubleGyre;
    spec.width = 81;
    spec.height = 41;
    spec.x1 = 2.0f;
    ASSERT_TRUE(flow.loadNodes(makeFlow(spec))) << "double gyre did not load";
    ASSERT_NO_FATAL_FAILURE(open(400, 200));
    show({0.0f, 0.0f, 0.0f}, {static_cast<float>(flow.getWidth()), static_cast<float>(flow.getHeight()), 0.0f});
    RungeKutta4Integrator integrator(&flow);
    place(integrator);
    const auto nearest = [&](const Vector3& p) {
        int column = 0;
        int row = 0;
        EXPECT_TRUE(layer->cellOf(p, column, row));
        float m = 3.4028235e38f;
        for (int r = row - 1; r <= row + 1; ++r)
            for (int c = column - 1; c <= column + 1; ++c)
                if (const CellPoints* list = layer->cell(c, r); list != nullptr && !list->isEmpty())
                    m = std::min(m, list->minDistance(p));
        return m;
    };

    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float width = static_cast<float>(flow.getWidth()) - 1.0f;
    const float height = static_cast<float>(flow.getHeight()) - 1.0f;
    int rejected = 0;
    int accepted = 0;
    for (int path = 0; path < 200; ++path) {
        Vector3 p {1.0f + unit(random) * (width - 2.0f), 1.0f + unit(random) * (height - 2.0f), 0.0f};
        float heading = unit(random) * 6.2831853f;
        for (int step = 0; step < 150; ++step) {
            heading += (unit(random) - 0.5f) * 0.4f;
            const Vector3 next {p.x + 0.2f * std::cos(heading), p.y + 0.2f * std::sin(heading), 0.0f};
            int c = 0;
            int r = 0;
            if (!layer->cellOf(next, c, r))
                break;
            p = next;
            const float m = nearest(p);
            const bool far = layer->isFarEnough(p);
            ASSERT_EQ(far, m >= layer->dtest()) << "isFarEnough disagrees at " << p.x << ", " << p.y;
            (far ? accepted : rejected) += 1;
            if (m < 3.4028235e38f) {
                ASSERT_TRUE(layer->isValidSeed(p, m)) << "a seed exactly at the nearest distance is valid";
                ASSERT_FALSE(layer->isValidSeed(p, std::nextafter(m, 1e30f)))
                    << "a seed just short of the asked distance is not";
            }
        }
    }
    EXPECT_GT(accepted, 1000) << "the paths tested too few far points";
    EXPECT_GT(rejected, 1000) << "the paths tested too few near points";

    // A point stored beside a path is seen at once, although the last test
    // found the nearest point far away (1.7, dtest about 1).
    layer->resetGrid();
    layer->addToGrid({22.0f, 20.1f, 0.0f});
    ASSERT_TRUE(layer->isFarEnough({20.3f, 20.1f, 0.0f}));
    ASSERT_TRUE(layer->isFarEnough({20.35f, 20.1f, 0.0f}));
    layer->addToGrid({20.4f, 20.1f, 0.0f});
    EXPECT_FALSE(layer->isFarEnough({20.38f, 20.1f, 0.0f})) << "a point stored during a trace was missed";
}

TEST_F(StreamlineLayerTest, NothingIsDrawnWhereTheCentreCannotBeSampled)
{
    ASSERT_NO_FATAL_FAILURE(open(200, 100));
    test::setUniform(flow, 21, 11, {1.0f, 0.0f, 0.0f});
    EulerIntegrator euler(&flow);
    // The centre (−10, 5) of this region lies outside the sampled domain.
    show({-30.0f, 0.0f, 0.0f}, {10.0f, 10.0f, 0.0f});
    place(euler);
    for (const Streamline& line : placedStreamlines(layer->placedLines()))
        EXPECT_TRUE(line.forward.size() <= 1 && line.backward.size() <= 1)
            << "a placement from an unsampleable centre traced a line";

    // Zero speed at the centre: its line holds only the seed and stores nothing.
    test::setField(flow, 21, 11, [](int c, int) { return Vector3 {c == 10 ? 0.0f : 1.0f, 0.0f, 0.0f}; });
    show({0.0f, 0.0f, 0.0f}, {20.0f, 10.0f, 0.0f});
    place(euler);
    EXPECT_EQ(layer->placedLines().streamlineCount(), 1u) << "a zero-speed centre gives its seed alone";
    for (const Streamline& line : placedStreamlines(layer->placedLines()))
        EXPECT_TRUE(line.forward.size() == 1 && line.backward.size() == 1)
            << "a placement from a zero-speed centre moved";
    for (int r = 0; r < layer->rows(); ++r)
        for (int c = 0; c < layer->columns(); ++c)
            ASSERT_EQ(layer->cell(c, r), nullptr) << "a seed alone was stored";
}

} // namespace
} // namespace tvl
