#include "flow/Resampler.h"

#include "flow/FlowData.h"

#include "FlowFiles.h"
#include "TempDir.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tvl
