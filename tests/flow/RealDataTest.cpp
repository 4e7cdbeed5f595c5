#include "flow/FlowData.h"
#include "flow/GridHeader.h"

#include "FlowFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace tvl {
namespace {

// Figures as the data sets' README states them: regular grid size at cell
// size 0.02, extents, no outside samples, speed and value ranges.
class RealDataTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = test::sharedDataDir();
        if (dir.empty())
            GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    }

    bool load(const std::string& stem)
    {
        const std::string base = dir + "/real/" + stem;
        return flow.loadData(base + ".gri", base + ".dat");
    }

    // Largest node speed and the node range of value k, read straight from the data file.
    void nodeFigures(const std::string& stem, int k, float& maxSpeed, float& lo, float& hi) const
    {
        const std::string grid = test::readBytes(dir + "/real/" + stem + ".gri");
        const std::string data = test::readBytes(dir + "/real/" + stem + ".dat");
        const GridHeader h = GridHeader::parse(grid.data(), grid.size());
        const std::size_t per = std::size_t(3 + h.additionalCount);
        const std::size_t nodes = std::size_t(h.width) * std::size_t(h.height);
        ASSERT_GE(data.size(), 4 * per * nodes);
        maxSpeed = 0;
        lo = 1e30f;
        hi = -1e30f;
        for (std::size_t n = 0; n < nodes; ++n) {
            float r[8] = {};
            std::memcpy(r, data.data() + 4 * per * n, 4 * std::min<std::size_t>(per, 8));
            maxSpeed = std::max(maxSpeed, std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]));
            lo = std::min(lo, r[3 + k]);
            hi = std::max(hi, r[3 + k]);
        }
    }

    int zeroSamples() const
    {
        int zeros = 0;
        for (const RegularSample& s : flow.regularGrid().samples)
            zeros += s.vx == 0.0f && s.vy == 0.0f && s.speed == 0.0f;
        return zeros;
    }

    std::string dir;
    FlowData flow;
};

TEST_F(RealDataTest, GlobalWindMatchesItsReadme)
{
    ASSERT_TRUE(load("gfs_wind10m_20160430T06"));
    EXPECT_EQ(flow.getWidth(), 563);
    EXPECT_EQ(flow.getHeight(), 282);
    EXPECT_EQ(flow.getAdditionalCount(), 1);
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_FLOAT_EQ(lo.x, -5.625f);
    EXPECT_FLOAT_EQ(hi.x, 5.625f);
    EXPECT_FLOAT_EQ(lo.y, -2.8125f);
    EXPECT_FLOAT_EQ(hi.y, 2.8125f);
    float nodeMax = 0, valueLo = 0, valueHi = 0;
    nodeFigures("gfs_wind10m_20160430T06", 0, nodeMax, valueLo, valueHi);
    EXPECT_NEAR(nodeMax, 25.6f, 0.05f) << "speeds reach up to 25.6 m/s at the nodes";
    EXPECT_NEAR(valueLo, -31.6f, 0.05f) << "relative vorticity range at the nodes";
    EXPECT_NEAR(valueHi, 27.5f, 0.05f);
    // Samples fall between the 1-degree nodes (a cell is 0.64 degrees), so
    // the resampled extremes lie inside the node extremes, sharp peaks valueLower.
    EXPECT_LE(flow.getMaxSpeed(), nodeMax);
    EXPECT_GT(flow.getMaxSpeed(), 0.95f * nodeMax);
    EXPECT_GE(flow.getValueMinimum(0), valueLo);
    EXPECT_LT(flow.getValueMinimum(0), 0.7f * valueLo);
    EXPECT_LE(flow.getValueMaximum(0), valueHi);
    EXPECT_GT(flow.getValueMaximum(0), 0.95f * valueHi);
    EXPECT_LT(zeroSamples(), 5) << "every regular sample lies inside the node grid";
}

TEST_F(RealDataTest, WingTipVortexMatchesItsReadme)
{
    ASSERT_TRUE(load("piv_wingtip_vortex"));
    EXPECT_EQ(flow.getWidth(), 488);
    EXPECT_EQ(flow.getHeight(), 388);
    EXPECT_EQ(flow.getAdditionalCount(), 2);
    Vector3 lo, hi;
    flow.getBounds(lo, hi);
    EXPECT_FLOAT_EQ(lo.x, 0.125f);
    EXPECT_FLOAT_EQ(hi.x, 9.875f);
    EXPECT_FLOAT_EQ(lo.y, 0.125f);
    EXPECT_FLOAT_EQ(hi.y, 7.875f);
    EXPECT_NEAR(flow.getValueMinimum(0), -0.03f, 0.005f) << "vorticity range -0.03 .. 0.38";
    EXPECT_NEAR(flow.getValueMaximum(0), 0.38f, 0.005f);
    EXPECT_EQ(flow.getValueMinimum(1), 0.0f) << "replaced-vector flag";
    EXPECT_EQ(flow.getValueMaximum(1), 1.0f);
    EXPECT_GT(flow.getMaxSpeed(), 8.0f) << "a ring of peak speed of about 9 px per frame";
    EXPECT_LT(flow.getMaxSpeed(), 11.0f);
    // The vortex core sits near (4.7, 4.0) in flow coordinates, where the
    // vorticity is largest and positive.
    const Vector3 core = flow.worldToGrid(4.7f, 4.0f, 0.0f);
    EXPECT_GT(flow.additionalValueAt(core, 0), 0.1f);
    EXPECT_LT(zeroSamples(), 5);
}

} // namespace
} // namespace tvl
