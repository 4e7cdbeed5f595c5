#include "view/LegendValue.h"

#include "RegularGrids.h"
#include "StreamlineFlows.h"
#include "flow/FlowData.h"
#include "transfer/ColorTable.h"
#include "view/DirectionCoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace tvl {
namespace {

// 3 × 3 samples with speeds 0 .. 4 and one additional value running from -1
// to 3, so the maximum speed is 4 and the value borders -1 .. 3.
void setBordered(FlowData& flow)
{
    std::vector<RegularSample> samples(9);
    std::vector<float> values(9);
    for (int n = 0; n < 9; ++n) {
        const float s = static_cast<float>(n) * 0.5f;
        samples[std::size_t(n)] = {s, 0.0f, 0.0f, s};
        values[std::size_t(n)] = static_cast<float>(n) * 0.5f - 1.0f;
    }
    test::setRegularGrid(flow, 3, 3, 1, std::move(samples), std::move(values), {0, 0, 0}, {1, 1, 0});
}

TEST(LegendValue, MapsRampPlacesBackThroughTheBorders)
{
    FlowData flow;
    setBordered(flow);
    ASSERT_EQ(flow.getMaxSpeed(), 4.0f);
    const struct {
        BackgroundQuantity quantity;
        float t;
        float value;
    } rows[] = {
        {BackgroundQuantity::Speed, 0.0f, 0.0f},
        {BackgroundQuantity::Speed, 0.5f, 2.0f},
        {BackgroundQuantity::Speed, 1.0f, 4.0f},
        {BackgroundQuantity::AdditionalValue, 0.0f, -1.0f},
        {BackgroundQuantity::AdditionalValue, 0.25f, 0.0f},
        {BackgroundQuantity::AdditionalValue, 1.0f, 3.0f},
        {BackgroundQuantity::Direction, 0.0f, -90.0f},
        {BackgroundQuantity::Direction, 0.25f, 0.0f},
        {BackgroundQuantity::Direction, 0.5f, 90.0f},
        {BackgroundQuantity::Direction, 0.75f, 180.0f},
        {BackgroundQuantity::Direction, 1.0f, 270.0f},
    };
    for (const auto& row : rows) {
        float value = -123.0f;
        ASSERT_TRUE(legendValueAt(flow, row.quantity, 0, row.t, value)) << "quantity " << int(row.quantity);
        EXPECT_FLOAT_EQ(value, row.value) << "quantity " << int(row.quantity) << " at t " << row.t;
    }

    float untouched = 7.0f;
    EXPECT_FALSE(legendValueAt(flow, BackgroundQuantity::AdditionalValue, 1, 0.5f, untouched)) << "no value 1";
    EXPECT_FALSE(legendValueAt(flow, BackgroundQuantity::AdditionalValue, -1, 0.5f, untouched)) << "no value -1";
    EXPECT_FALSE(legendValueAt(FlowData(), BackgroundQuantity::Speed, 0, 0.5f, untouched)) << "nothing loaded";
    EXPECT_EQ(untouched, 7.0f) << "a failed lookup must leave the value alone";
}

TEST(LegendValue, DirectionIsTheAngleTheCoderCoded)
{
    // Round trip: a uniform flow at angle phi (counter-clockwise from +x) is
    // coded as t by the direction coder; the legend at t names phi again.
    auto table = std::make_shared<ColorTable>(256);
    for (const double degrees : {-80.0, -30.0, 0.0, 10.0, 45.0, 90.0, 135.0, 180.0, 225.0, 260.0}) {
        const double phi = degrees * std::numbers::pi / 180.0;
        FlowData flow;
        test::setUniform(flow, 5, 5, {static_cast<float>(std::cos(phi)), static_cast<float>(std::sin(phi)), 0.0f});
        const DirectionCoder coder(flow, table);
        float t = 0.0f;
        ASSERT_TRUE(coder.normalizedValue({2.0f, 2.0f, 0.0f}, t));
        float value = 0.0f;
        ASSERT_TRUE(legendValueAt(flow, BackgroundQuantity::Direction, 0, t, value));
        EXPECT_NEAR(value, degrees, 1e-3) << "flow towards " << degrees << " degrees";
    }
}

TEST(LegendValue, TextAndNames)
{
    const struct {
        BackgroundQuantity quantity;
        float value;
        const char* text;
    } rows[] = {
        {BackgroundQuantity::Speed, 25.1834f, "25.18"},
        {BackgroundQuantity::Speed, -0.0f, "0"},
        {BackgroundQuantity::AdditionalValue, -31.62f, "-31.62"},
        {BackgroundQuantity::AdditionalValue, 123456.0f, "1.235e+05"},
        {BackgroundQuantity::Direction, -89.6f, "-90\u00b0"},
        {BackgroundQuantity::Direction, -0.3f, "0\u00b0"},
        {BackgroundQuantity::Direction, 270.0f, "270\u00b0"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(legendText(row.quantity, row.value), row.text) << "value " << row.value;
    EXPECT_EQ(legendName(BackgroundQuantity::Speed, 3), "Speed");
    EXPECT_EQ(legendName(BackgroundQuantity::Direction, 0), "Direction");
    EXPECT_EQ(legendName(BackgroundQuantity::AdditionalValue, 2), "Special Dataset 2");
}

} // namespace
} // namespace tvl
