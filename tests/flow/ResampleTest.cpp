#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tvl {
namespace {

class ResampleTest : public ::testing::Test {
protected:
    // Loads a rectilinear node grid whose velocity at node (i, j) is
    // (vx(i), 0, 0) and whose single additional value is value.
    bool load(const std::vector<float>& xs, const std::vector<float>& ys, const std::vector<float>& vxPerColumn,
        int additionalCount = 0, float value = 0.0f)
    {
        const int w = int(xs.size()), h = int(ys.size());
        test::writeGridFile(dir.file("g.gri"),
            "SN4DB " + std::to_string(w) + " " + std::to_string(h) + " 1 " + std::to_string(additionalCount) + " 0 0.0",
            test::rectilinearPositions(xs, ys));
        std::vector<float> records;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                records.insert(records.end(), {vxPerColumn[std::size_t(i)], 0.0f, 0.0f});
                for (int k = 0; k < additionalCount; ++k)
                    records.push_back(value);
            }
        test::writeDataFile(dir.file("g.dat"), records);
        return flow.loadData(dir.file("g.gri"), dir.file("g.dat"));
    }

    const RegularSample& sample(int c, int r) const
    {
        return flow.regularGrid().samples[std::size_t(r) * std::size_t(flow.getWidth()) + std::size_t(c)];
    }

    test::TempDir dir;
    FlowData flow;
};

TEST_F(ResampleTest, UnitSquareGivesFiftyOneSamplesAllInside)
{
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}));
    ASSERT_EQ(flow.getWidth(), 51) << "trunc(1 / 0.02 at full precision) + 1";
    ASSERT_EQ(flow.getHeight(), 51);
    for (int r = 0; r < 51; ++r)
        for (int c = 0; c < 51; ++c) {
            ASSERT_EQ(sample(c, r).vx, 1.0f) << "sample (" << c << ", " << r << ") must be inside";
            ASSERT_EQ(sample(c, r).speed, 1.0f);
        }
    EXPECT_EQ(flow.getMaxSpeed(), 1.0f);
}

TEST_F(ResampleTest, LastColumnLiesAtTheAccumulatedFiftiethStep)
{
    // vx = x makes each sample's velocity its own position along the row.
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 1.0f}));
    EXPECT_EQ(sample(50, 0).vx, 0.99999958f) << "fifty single-precision additions of 0.02";
    EXPECT_EQ(sample(1, 0).vx, 0.02f);
    EXPECT_EQ(sample(25, 0).vx, 0.50000006f);
}

TEST_F(ResampleTest, HalfSquarePutsColumnAndRow25Outside)
{
    ASSERT_TRUE(load({0.0f, 0.5f}, {0.0f, 0.5f}, {1.0f, 1.0f}, 1, 5.0f));
    ASSERT_EQ(flow.getWidth(), 26);
    ASSERT_EQ(flow.getHeight(), 26);
    for (int k = 0; k < 26; ++k) {
        EXPECT_EQ(sample(25, k).vx, 0.0f) << "0.50000006 lies beyond the last node column";
        EXPECT_EQ(sample(25, k).speed, 0.0f);
        EXPECT_EQ(sample(k, 25).speed, 0.0f) << "row 25 is outside too";
        EXPECT_EQ(flow.regularGrid().value(25, k, 0), 0.0f);
        EXPECT_EQ(flow.regularGrid().value(k, 25, 0), 0.0f);
    }
    EXPECT_EQ(sample(24, 24).speed, 1.0f);
    EXPECT_NEAR(flow.regularGrid().value(24, 24, 0), 5.0f, 1e-5f);
    EXPECT_EQ(flow.getValueMinimum(0), 0.0f) << "outside zeros take part in the borders";
    EXPECT_NEAR(flow.getValueMaximum(0), 5.0f, 1e-5f);
    EXPECT_NEAR(flow.getValueRange(0), 5.0f, 1e-5f);
}

TEST_F(ResampleTest, UnevenColumnsAreLocatedByTheCursorWithoutSearch)
{
    // vx = node column index makes a sample's vx its fractional node column.
    ASSERT_TRUE(load({0.0f, 0.4f, 1.0f}, {0.0f, 1.0f}, {0.0f, 1.0f, 2.0f}));
    EXPECT_NEAR(sample(19, 0).vx, 0.95f, 1e-6f) << "x 0.38 lies in node cell 0";
    EXPECT_LT(sample(19, 0).vx, 1.0f);
    EXPECT_EQ(sample(20, 0).vx, 1.0f) << "x 0.40000004 exceeds 0.40000001: cell 1 at fraction 0";
    EXPECT_NEAR(sample(50, 0).vx, 2.0f, 1e-5f);
}

TEST_F(ResampleTest, ZeroSpeedsKeepMaximumSpeedZeroAndNoValuesMeansEmptyBorders)
{
    ASSERT_TRUE(load({0.0f, 1.0f}, {0.0f, 1.0f}, {0.0f, 0.0f}));
    EXPECT_EQ(flow.getMaxSpeed(), 0.0f);
    EXPECT_EQ(flow.getAdditionalCount(), 0);
    Vector3 p {10.0f, 10.0f, 0.0f};
    EXPECT_EQ(flow.additionalValueAt(p, 0), 0.0f) << "no value 0 exists";
}

TEST_F(ResampleTest, CursorsStopOnTheLastNodeOfRowsThatEndEarly)
{
    // A curvilinear grid whose top row ends well left of the bottom row: the
    // row cursor reaches the last node row while the column cursor of earlier
    // rows ran to the last column. Every read must be of a real node and every
    // sample past the grid outside.
    test::writeGridFile(dir.file("c.gri"), "SN4DB 3 3 1 0 0 0.0",
        {0.0f, 0.0f, 0, 0.5f, 0.0f, 0, 1.0f, 0.0f, 0, //
            0.0f, 0.5f, 0, 0.3f, 0.5f, 0, 0.6f, 0.5f, 0, //
            0.0f, 1.0f, 0, 0.2f, 1.0f, 0, 0.4f, 1.0f, 0});
    std::vector<float> records;
    for (int n = 0; n < 9; ++n)
        records.insert(records.end(), {1.0f, 0.0f, 0.0f});
    test::writeDataFile(dir.file("c.dat"), records);
    ASSERT_TRUE(flow.loadData(dir.file("c.gri"), dir.file("c.dat")));
    ASSERT_EQ(flow.getWidth(), 51);
    ASSERT_EQ(flow.getHeight(), 51);
    EXPECT_EQ(sample(0, 0).speed, 1.0f);
    EXPECT_EQ(sample(50, 0).speed, 1.0f) << "bottom row spans the full width";
    EXPECT_EQ(sample(40, 50).speed, 0.0f) << "x 0.8 lies beyond the top row's last node";
    EXPECT_EQ(sample(10, 50).speed, 1.0f);
}

TEST_F(ResampleTest, DecreasingXLoadsWithFiniteSamplesInsideTheNodeCell)
{
    // vx = node column index: a sample's vx is its fractional node column.
    ASSERT_TRUE(load({1.0f, 0.0f}, {0.0f, 1.0f}, {0.0f, 1.0f}));
    EXPECT_EQ(flow.getWidth(), 51);
    for (int r = 0; r < 51; ++r)
        for (int c = 0; c < 51; ++c) {
            const RegularSample& s = sample(c, r);
            ASSERT_TRUE(s.vx >= 0.0f && s.vx <= 1.0f && s.speed <= 1.0f)
                << "sample (" << c << ", " << r << ") must blend the one node cell or be outside";
        }
}

} // namespace
} // namespace tvl
