#include "flow/Resampler.h"

#include "flow/FlowData.h"
#include "flow/StatusSink.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
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
    // 1001 × 241 nodes, each node row unlike every other: row j lies at y(j),
    // 11.85 regular rows apart up to row 40 and then 0.015 apart, its nodes
    // k(j) × 0.02 apart from x = 0, and its velocity is its position and its
    // value is j. So chunks end inside node rows, first for their samples and
    // in the dense part for the node records they copy, and any sample blended
    // from the wrong node row or the wrong row's column walk shows. Along node
    // row j the walk finds column c / k(j); blended with row j + 1 at the
    // fraction b, x is 0.02 c (1 − b + b k(j + 1) / k(j)), y is exact and the
    // value is j + b; beyond a row's last node the samples stay outside. From
    // files and from memory, each regular row reported once, in order.
    constexpr int kWidth = 1001, kHeight = 241;
    const auto k = [](int j) { return 1.0f + 0.1f * float(j % 5) + float(j) / 1024.0f; };
    const auto y = [](int j) { return j <= 40 ? 0.237f * float(j) : 9.48f + 0.015f * float(j - 40); };
    std::vector<float> positions, records;
    for (int j = 0; j < kHeight; ++j)
        for (int i = 0; i < kWidth; ++i) {
            const float x = 0.02f * k(j) * float(i);
            positions.insert(positions.end(), {x, y(j), 0.0f});
            records.insert(records.end(), {x, y(j), 0.0f, float(j)});
        }
    test::writeGridFile(dir.file("g.gri"), "SN4DB 1001 241 1 1 0 0.0", positions);
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
    nodes.allocate(kWidth, kHeight, 1);
    std::copy(positions.begin(), positions.end(), nodes.positions.get());
    std::copy(records.begin(), records.end(), nodes.records.get());
    FlowData fromMemory;
    ASSERT_TRUE(fromMemory.loadNodes(std::move(nodes)));
    const int width = flow.getWidth(), height = flow.getHeight();
    ASSERT_GE(height, 620) << "12.48 flow units of rows";
    ASSERT_GT(std::int64_t(width) * height, std::int64_t(3) << 18) << "several chunks of samples";
    for (const FlowData* loaded : {&flow, &fromMemory}) {
        ASSERT_EQ(loaded->getWidth(), width);
        int j = 0;
        for (int r = 0; r < height; ++r) {
            const double at = 0.02 * r;
            while (j + 2 < kHeight && y(j + 1) <= at)
                ++j;
            if (double b = (at - y(j)) / (double(y(j + 1)) - y(j)); b < 1e-3 || b > 1.0 - 1e-3)
                continue; // on a node row, where either row's walk may take it
            const double ratio = double(k(j + 1)) / k(j), lastX = 20.0 * k(j);
            for (int c = 0; c < width; ++c) {
                const RegularSample& s = loaded->regularGrid().sample(c, r);
                const float value = loaded->regularGrid().value(c, r, 0);
                // y accumulates over the rows, so the fraction is the one its y shows.
                const double b = (s.vy - y(j)) / (double(y(j + 1)) - y(j));
                if (0.02 * c < lastX - 0.05) {
                    ASSERT_TRUE(std::abs(s.vy - at) < 1e-3
                        && std::abs(s.vx - 0.02 * c * (1.0 - b + b * ratio)) < 1e-3 + 1e-4 * 0.02 * c
                        && std::abs(value - (j + b)) < 1e-3)
                        << "sample " << c << ", " << r << " holds " << s.vx << ", " << s.vy << ", " << value
                        << " between node rows " << j << " and " << j + 1 << " at " << b;
                } else if (0.02 * c > lastX + 0.05) {
                    ASSERT_TRUE(s.speed == 0.0f && value == 0.0f)
                        << "sample " << c << ", " << r << " lies beyond node row " << j << " and holds " << s.vx;
                }
            }
        }
    }
    std::vector<int> rows(static_cast<std::size_t>(height));
    std::iota(rows.begin(), rows.end(), 0);
    EXPECT_EQ(status.rows, rows) << "the resampling reports each row once, in order";
}

} // namespace
} // namespace tvl
