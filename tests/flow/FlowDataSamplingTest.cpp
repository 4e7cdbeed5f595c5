#include "RegularGrids.h"
#include "flow/FlowData.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tvl {
namespace {

// A 51 x 51 regular grid with the given velocity everywhere; value 0 = column index.
FlowData uniform(float vx, float vy, float speed)
{
    FlowData flow;
    std::vector<RegularSample> samples(51 * 51, RegularSample {vx, vy, 0.0f, speed});
    std::vector<float> values(51 * 51);
    for (std::size_t n = 0; n < values.size(); ++n)
        values[n] = float(n % 51);
    tvl::test::setRegularGrid(flow, 51, 51, 1, std::move(samples), std::move(values), {0, 0, 0}, {1, 1, 0});
    return flow;
}

TEST(FlowDataSamplingTest, InsideRuleTruncatesTowardZero)
{
    const FlowData flow = uniform(2.0f, 0.0f, 2.0f);
    float s = 0.8f;
    EXPECT_TRUE(flow.speedAt({49.5f, 10.25f, 0}, s));
    EXPECT_TRUE(flow.speedAt({-0.5f, 3.0f, 0}, s)) << "between -1 and 0 truncates to column 0";
    for (const Vector3& p :
        {Vector3 {50.0f, 10.0f, 0}, Vector3 {50.3f, 10.0f, 0}, Vector3 {-1.0f, 3.0f, 0}, Vector3 {3.0f, 50.0f, 0},
            Vector3 {NAN, 3.0f, 0}, Vector3 {3.0f, INFINITY, 0}, Vector3 {3e9f, 3.0f, 0}, Vector3 {-3e9f, 3.0f, 0}}) {
        s = 0.8f;
        EXPECT_FALSE(flow.speedAt(p, s)) << p.x << ", " << p.y;
        EXPECT_EQ(s, 0.8f) << "an outside lookup leaves the caller's fallback";
        Vector3 d {7, 7, 7};
        EXPECT_FALSE(flow.directionAt(p, d));
        EXPECT_EQ(d, (Vector3 {7, 7, 7}));
        EXPECT_EQ(flow.additionalValueAt(p, 0), 0.0f);
    }
}

TEST(FlowDataSamplingTest, UniformFlowGivesUnitDirectionAndItsSpeedEverywhere)
{
    const FlowData flow = uniform(2.0f, 0.0f, 2.0f);
    for (float gx : {0.0f, 0.3f, 17.77f, 49.99f})
        for (float gy : {0.0f, 0.5f, 33.3f, 49.9f}) {
            Vector3 d;
            float s = 0;
            ASSERT_TRUE(flow.directionAt({gx, gy, 0}, d));
            ASSERT_TRUE(flow.speedAt({gx, gy, 0}, s));
            EXPECT_EQ(d, (Vector3 {1.0f, 0.0f, 0.0f}));
            EXPECT_EQ(s, 2.0f);
        }
}

TEST(FlowDataSamplingTest, SpeedIsTheBilinearBlendOfSampleSpeeds)
{
    std::vector<RegularSample> samples(4 * 4);
    samples[1 * 4 + 1].speed = 0.0f;
    samples[1 * 4 + 2].speed = 4.0f;
    samples[2 * 4 + 1].speed = 8.0f;
    samples[2 * 4 + 2].speed = 12.0f;
    FlowData flow;
    tvl::test::setRegularGrid(flow, 4, 4, 0, samples, {}, {0, 0, 0}, {1, 1, 0});
    float s = 0;
    ASSERT_TRUE(flow.speedAt({1.25f, 1.5f, 0}, s));
    EXPECT_EQ(s, 5.0f) << "(0.75*0 + 0.25*4)*0.5 + (0.75*8 + 0.25*12)*0.5";
    EXPECT_EQ(flow.getMaxSpeed(), 12.0f);
}

TEST(FlowDataSamplingTest, ZeroVelocityGivesTrueWithNaNDirection)
{
    const FlowData flow = uniform(0.0f, 0.0f, 0.0f);
    Vector3 d {1, 2, 3};
    ASSERT_TRUE(flow.directionAt({5.5f, 5.5f, 0}, d));
    EXPECT_TRUE(std::isnan(d.x) && std::isnan(d.y) && std::isnan(d.z));
}

TEST(FlowDataSamplingTest, AdditionalValuesBlendAndUnknownNumbersReadNothing)
{
    const FlowData flow = uniform(1.0f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(flow.additionalValueAt({12.25f, 7.0f, 0}, 0), 12.25f);
    EXPECT_EQ(flow.additionalValueAt({12.25f, 7.0f, 0}, 1), 0.0f) << "value 1 does not exist";
    EXPECT_EQ(flow.additionalValueAt({12.25f, 7.0f, 0}, -1), 0.0f);
    EXPECT_TRUE(std::isnan(flow.normalizeAdditionalValue(1, 3.0f)));
    EXPECT_TRUE(std::isnan(flow.normalizeAdditionalValue(-5, 3.0f)));
}

TEST(FlowDataSamplingTest, NormalisationsUseTheBorders)
{
    std::vector<RegularSample> samples(3 * 3, RegularSample {1, 0, 0, 1.0f});
    samples[4].speed = 4.0f;
    std::vector<float> values(9, 0.0f);
    values[0] = -1.0f;
    values[8] = 3.0f;
    FlowData flow;
    tvl::test::setRegularGrid(flow, 3, 3, 1, samples, values, {0, 0, 0}, {1, 1, 0});
    EXPECT_EQ(flow.normalizeSpeed(2.0f), 0.5f);
    EXPECT_EQ(flow.getValueMinimum(0), -1.0f);
    EXPECT_EQ(flow.getValueRange(0), 4.0f);
    EXPECT_EQ(flow.normalizeAdditionalValue(0, 1.0f), 0.5f);
    EXPECT_EQ(flow.normalizeSpeed(8.0f), 2.0f) << "no clamping";
}

TEST(FlowDataSamplingTest, WorldToGridMapsTheBoxOntoWidthByHeight)
{
    FlowData flow;
    tvl::test::setRegularGrid(
        flow, 101, 51, 0, std::vector<RegularSample>(101 * 51), {}, {-1.0f, 2.0f, 0}, {1.0f, 3.0f, 0});
    EXPECT_EQ(flow.worldToGrid(-1.0f, 2.0f, 5.0f), (Vector3 {0, 0, 0}));
    EXPECT_EQ(flow.worldToGrid(1.0f, 3.0f, 0.0f), (Vector3 {101.0f, 51.0f, 0}))
        << "the maximum lands one column beyond the last sample";
    EXPECT_EQ(flow.worldToGrid(0.0f, 2.5f, 0.0f), (Vector3 {50.5f, 25.5f, 0}));
}

TEST(Vector3Test, NormalizedTakesTheLengthAtFullPrecision)
{
    EXPECT_EQ((Vector3 {3, 4, 0}.normalized()), (Vector3 {0.6f, 0.8f, 0}));
    const Vector3 tiny = Vector3 {1e-30f, 0, 0}.normalized();
    EXPECT_EQ(tiny.x, 1.0f) << "single-precision squares would underflow to zero here";
    const Vector3 huge = Vector3 {3e30f, 4e30f, 0}.normalized();
    EXPECT_NEAR(huge.y, 0.8f, 1e-7f) << "single-precision squares would overflow here";
}

} // namespace
} // namespace tvl
