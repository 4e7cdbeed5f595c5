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

using enum BackgroundQuantity;

TEST(LegendValue, MapsRampPlacesBackThroughTheBordersAndWritesThem)
{
    // 3 × 3 samples with speeds 0 .. 4 and one additional value from -1 to 3.
    std::vector<RegularSample> samples(9);
    std::vector<float> values(9);
    for (int n = 0; n < 9; ++n) {
        samples[std::size_t(n)] = {0.5f * float(n), 0.0f, 0.0f, 0.5f * float(n)};
        values[std::size_t(n)] = 0.5f * float(n) - 1.0f;
    }
    FlowData flow;
    test::setRegularGrid(flow, 3, 3, 1, std::move(samples), std::move(values), {0, 0, 0}, {1, 1, 0});
    const struct {
        BackgroundQuantity quantity;
        float t, value;
    } rows[] = {{Speed, 0.0f, 0.0f}, {Speed, 0.5f, 2.0f}, {Speed, 1.0f, 4.0f}, {AdditionalValue, 0.0f, -1.0f},
        {AdditionalValue, 0.25f, 0.0f}, {AdditionalValue, 1.0f, 3.0f}, {Direction, 0.0f, -90.0f},
        {Direction, 0.5f, 90.0f}, {Direction, 1.0f, 270.0f}};
    for (const auto& row : rows) {
        float value = -123.0f;
        ASSERT_TRUE(legendValueAt(flow, row.quantity, 0, row.t, value)) << "quantity " << int(row.quantity);
        EXPECT_FLOAT_EQ(value, row.value) << "quantity " << int(row.quantity) << " at t " << row.t;
    }
    float untouched = 7.0f;
    EXPECT_FALSE(legendValueAt(flow, AdditionalValue, 1, 0.5f, untouched)
        || legendValueAt(flow, AdditionalValue, -1, 0.5f, untouched)
        || legendValueAt(FlowData(), Speed, 0, 0.5f, untouched))
        << "no value 1 or -1, nothing loaded";
    EXPECT_EQ(untouched, 7.0f) << "a failed lookup must leave the value alone";

    const struct {
        BackgroundQuantity quantity;
        float value;
        const char* text;
    } texts[] = {{Speed, 25.1834f, "25.18"}, {Speed, -0.0f, "0"}, {AdditionalValue, -31.62f, "-31.62"},
        {AdditionalValue, 123456.0f, "1.235e+05"}, {Direction, -89.6f, "-90\u00b0"}, {Direction, -0.3f, "0\u00b0"}};
    for (const auto& row : texts)
        EXPECT_EQ(legendText(row.quantity, row.value), row.text) << "value " << row.value;
    EXPECT_EQ(legendName(Speed, 3) + legendName(Direction, 0) + legendName(AdditionalValue, 2),
        "SpeedDirectionSpecial Dataset 2");
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
        float t = 0.0f, value = 0.0f;
        ASSERT_TRUE(DirectionCoder(flow, table).normalizedValue({2.0f, 2.0f, 0.0f}, t));
        ASSERT_TRUE(legendValueAt(flow, Direction, 0, t, value));
        EXPECT_NEAR(value, degrees, 1e-3) << "flow towards " << degrees << " degrees";
    }
}

} // namespace
} // namespace tvl
