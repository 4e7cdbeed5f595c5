#include "flow/FlowData.h"

#include "FlowFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace tvl {
namespace {

// The shared real data sets load with the figures their README states:
// regular grid size at cell size 0.02, bounds, speed and value ranges, and no
// sample outside the node grid. Resampled extremes lie a little inside the
// node extremes, since samples fall between the nodes.
TEST(RealDataTest, DataSetsMatchTheirReadme)
{
    const std::string dir = test::sharedDataDir();
    if (dir.empty())
        GTEST_SKIP() << "shared data sets not found (TVL_SHARED_DATA unset or ../shared/data absent)";
    struct Range {
        float lo, hi;
    };
    const struct {
        const char* stem;
        int width, height, values;
        Vector3 minimum, maximum;
        Range maxSpeed, valueMinimum, valueMaximum;
    } sets[] = {
        {"gfs_wind10m_20160430T06", 563, 282, 1, {-5.625f, -2.8125f, 0}, {5.625f, 2.8125f, 0}, {24.3f, 25.65f},
            {-31.65f, -22.1f}, {26.1f, 27.55f}},
        {"piv_wingtip_vortex", 488, 388, 2, {0.125f, 0.125f, 0}, {9.875f, 7.875f, 0}, {8.0f, 11.0f}, {-0.035f, -0.025f},
            {0.375f, 0.385f}},
    };
    for (const auto& set : sets) {
        FlowData flow;
        const std::string base = dir + "/real/" + set.stem;
        ASSERT_TRUE(flow.loadData(base + ".gri", base + ".dat")) << set.stem;
        EXPECT_EQ(flow.getWidth(), set.width) << set.stem;
        EXPECT_EQ(flow.getHeight(), set.height) << set.stem;
        EXPECT_EQ(flow.getAdditionalCount(), set.values) << set.stem;
        Vector3 lo, hi;
        flow.getBounds(lo, hi);
        EXPECT_EQ(lo, set.minimum) << set.stem;
        EXPECT_EQ(hi, set.maximum) << set.stem;
        for (const auto& [value, range, what] : {std::tuple {flow.getMaxSpeed(), set.maxSpeed, "maximum speed"},
                 {flow.getValueMinimum(0), set.valueMinimum, "value 0 minimum"},
                 {flow.getValueMaximum(0), set.valueMaximum, "value 0 maximum"}}) {
            EXPECT_GE(value, range.lo) << set.stem << ": " << what;
            EXPECT_LE(value, range.hi) << set.stem << ": " << what;
        }
        if (set.values == 2) {
            EXPECT_EQ(flow.getValueMaximum(1) - flow.getValueMinimum(1), 1.0f) << "the replaced-vector flag";
            EXPECT_GT(flow.additionalValueAt(flow.worldToGrid(4.7f, 4.0f, 0), 0), 0.1f) << "the vortex core turns";
        }
        int zeros = 0;
        for (const RegularSample& s : flow.regularGrid().samples)
            zeros += s.vx == 0.0f && s.vy == 0.0f && s.speed == 0.0f;
        EXPECT_LT(zeros, 5) << set.stem << ": every regular sample lies inside the node grid";
    }
}

} // namespace
} // namespace tvl
