#include "flow/Resampler.h"

#include "flow/FlowData.h"
#include "flow/StatusSink.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace tvl {
namespace {

// Rectilinear node grids whose velocity is (vx[i], 0, 0) and whose one value
// is value[i] along node column i, so that samples show where the walk put them.
class ResamplerTest : public ::testing::Test {
protected:
    bool load(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<float>& vx,
        const std::vector<float>& value)
    {
        test::writeGridFile(dir.file("g.gri"),
            "SN4DB " + std::to_string(xs.size()) + " " + std::to_string(ys.size()) + " 1 1 0 0.0",
            test::rectilinearPositions(xs, ys));
        std::vector<float> records;
        for (std::size_t j = 0; j < ys.size(); ++j)
            for (std::size_t i = 0; i < xs.size(); ++i)
                records.insert(records.end(), {vx[i], 0.0f, 0.0f, value[i]});
        test::writeDataFile(dir.file("g.dat"), records);
        return flow.loadData(dir.file("g.gri"), dir.file("g.dat"));
    }
    const RegularSample& sample(int c, int r) const { return flow.regularGrid().sample(c, r); }

    test::TempDir dir;
    FlowData flow;
};

TEST_F(ResamplerTest, UnitSquareGivesFiftyOneSamplesAllInside)
{
    // The value is x: samples show their positions.
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}));
    ASSERT_EQ(flow.getWidth(), 51) << "trunc(1 / 0.02 at full precision) + 1";
    ASSERT_EQ(flow.getHeight(), 51);
    for (int r = 0; r < 51; ++r)
        for (int c = 0; c < 51; ++c)
            ASSERT_EQ(sample(c, r).speed, 1.0f) << "sample " << c << ", " << r << " must be inside";
    EXPECT_EQ(flow.getMaxSpeed(), 1.0f);
    EXPECT_EQ(flow.regularGrid().value(1, 0, 0), 0.02f);
    EXPECT_EQ(flow.regularGrid().value(25, 7, 0), 0.50000006f);
    EXPECT_EQ(flow.regularGrid().value(50, 50, 0), 0.99999958f) << "fifty single-precision additions of 0.02";
}

TEST_F(ResamplerTest, HalfSquarePutsColumnAndRow25Outside)
{
    ASSERT_TRUE(load({0.0f, 0.5f}, {0.0f, 0.5f}, {1.0f, 1.0f}, {5.0f, 5.0f}));
    ASSERT_EQ(flow.getWidth(), 26);
    ASSERT_EQ(flow.getHeight(), 26);
    for (int k = 0; k < 26; ++k)
        for (const auto& [c, r] : {std::pair {25, k}, {k, 25}}) {
            EXPECT_EQ(sample(c, r).vx, 0.0f) << "0.50000006 lies beyond the last node: " << c << ", " << r;
            EXPECT_EQ(sample(c, r).speed, 0.0f);
            EXPECT_EQ(flow.regularGrid().value(c, r, 0), 0.0f);
        }
    EXPECT_EQ(sample(24, 24).speed, 1.0f);
    EXPECT_EQ(flow.getValueMinimum(0), 0.0f) << "outside zeros take part in the borders";
    EXPECT_NEAR(flow.getValueMaximum(0), 5.0f, 1e-5f);
}

TEST_F(ResamplerTest, UnevenColumnsAreFoundByTheCursorWalk)
{
    // vx = node column index: a sample's vx is its fractional node column.
    ASSERT_TRUE(load({0.0f, 0.4f, 1.0f}, {0.0f, 1.0f}, {0.0f, 1.0f, 2.0f}, {0, 0, 0}));
    EXPECT_NEAR(sample(19, 0).vx, 0.95f, 1e-6f) << "x 0.38 lies in node cell 0";
    EXPECT_EQ(sample(20, 0).vx, 1.0f) << "x 0.40000004 exceeds 0.40000001: cell 1 at fraction 0";
    EXPECT_NEAR(sample(35, 0).vx, 1.5f, 1e-5f);
    EXPECT_NEAR(sample(50, 0).vx, 2.0f, 1e-5f);
}

TEST_F(ResamplerTest, StillFlowKeepsMaximumSpeedZero)
{
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}, {0, 0}));
    EXPECT_EQ(flow.getMaxSpeed(), 0.0f);
}

TEST_F(ResamplerTest, LargeGridsAreWalkedInChunksOnTwoThreadsAsOne)
{
    // 1001 × 41 nodes: node row j lies at y = 0.22 j, its nodes k(j) × 0.02
    // apart from x = 0, k alternating 1 and 1.25, and its velocity is its
    // position. More samples than one chunk holds, eleven regular rows per
    // node row, so chunks end inside node rows. Along node row j the walk finds
    // column c / k(j); blended with row j + 1 at the fraction b between the
    // rows, x is 0.02 c (1 - b + b k(j + 1) / k(j)), and y is exact. From files
    // and from memory, each regular row reported once, in order.
    const auto k = [](int j) { return j % 2 ? 1.25f : 1.0f; };
    std::vector<float> positions, records;
    for (int j = 0; j < 41; ++j)
        for (int i = 0; i < 1001; ++i) {
            const float x = 0.02f * k(j) * float(i), y = 0.22f * float(j);
            positions.insert(positions.end(), {x, y, 0.0f});
            records.insert(records.end(), {x, y, 0.0f, y});
        }
    test::writeGridFile(dir.file("g.gri"), "SN4DB 1001 41 1 1 0 0.0", positions);
    test::writeDataFile(dir.file("g.dat"), records);
    struct : StatusSink {
        std::string text;
        std::vector<int> rows; // positions of the resampling phase
        void setStatusText(const std::string& t) override { text = t; }
        void setProgressRange(int) override { }
        void setProgressPosition(int position) override
        {
            if (text == "Preprocessing Flow Data...")
                rows.push_back(position);
        }
    } status;
    flow.setStatusControl(&status);
    ASSERT_TRUE(flow.loadData(dir.file("g.gri"), dir.file("g.dat")));
    NodeGrid nodes;
    nodes.allocate(1001, 41, 1);
    std::copy(positions.begin(), positions.end(), nodes.positions.get());
    std::copy(records.begin(), records.end(), nodes.records.get());
    FlowData fromMemory;
    ASSERT_TRUE(fromMemory.loadNodes(std::move(nodes)));
    ASSERT_TRUE(flow.getWidth() > 1000 && flow.getHeight() == 441) << flow.getWidth() << " x " << flow.getHeight();
    for (const FlowData* loaded : {&flow, &fromMemory})
        for (int r = 1; r < 440; r += r % 11 == 10 ? 2 : 1) { // rows on a node row may take either
            const int j = r / 11;
            const float b = float(r % 11) / 11.0f, ratio = k(j + 1) / k(j);
            for (int c = 0; c < 998; ++c) {
                const RegularSample& s = loaded->regularGrid().sample(c, r);
                ASSERT_TRUE(std::abs(s.vx - 0.02f * float(c) * (1.0f - b + b * ratio)) < 1e-3f
                    && std::abs(s.vy - 0.02f * float(r)) < 1e-3f && s.vy == loaded->regularGrid().value(c, r, 0))
                    << "sample " << c << ", " << r << " holds " << s.vx << ", " << s.vy;
            }
        }
    std::vector<int> rows(441);
    std::iota(rows.begin(), rows.end(), 0);
    EXPECT_EQ(status.rows, rows) << "the resampling reports each row once, in order";
}

} // namespace
} // namespace tvl
