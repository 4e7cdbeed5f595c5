#include "RenderOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tvl {
namespace {

TEST(RenderOptions, ValuesParseIntoTheSettings)
{
    RenderSettings s;
    IntegrationScheme scheme = IntegrationScheme::Euler;
    int preset = -1;
    std::vector<RenderSettings::TransferPoint> points;
    std::string e;
    ASSERT_TRUE(parseBackgroundMode("value:3", s, e) && parseArrowCoding("value:1", s, e)
        && parseIntegrator("rk4", scheme, e) && parseTransferPreset("blue-green-red", preset, e)
        && parseLayers("arrows,background", s, e) && parseTransferPoints("0:#000000,0.25:#FF8000,1:#ffffff", points, e))
        << e;
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::AdditionalValue);
    EXPECT_EQ(s.layers.backgroundValue, 3);
    EXPECT_EQ(s.layers.arrowCoding.listPosition(), 3) << "additional value k is list position k + 2";
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta4);
    EXPECT_EQ(preset, 2) << "presets count in menu order, in any letter case";
    EXPECT_EQ(s.layers.layers, (Layers {true, false, true}));
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1].position, 0.25f);
    EXPECT_EQ(points[1].colour, (std::array<unsigned char, 3> {255, 128, 0}));
    ASSERT_TRUE(parseBackgroundMode("Direction", s, e) && parseArrowCoding("speed", s, e) && parseLayers("none", s, e));
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction);
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::speed());
    EXPECT_FALSE(s.layers.layers.any());
}

TEST(RenderOptions, MalformedValuesAreRefusedAndChangeNothing)
{
    RenderSettings s;
    s.layers.backgroundQuantity = BackgroundQuantity::Direction;
    s.layers.arrowCoding = ArrowCoding::speed();
    s.layers.layers = {true, true, false};
    std::string e;
    for (const char* bad : {"value:", "value:-1", "value:x", "value:1.5", "pressure", ""}) {
        EXPECT_FALSE(parseBackgroundMode(bad, s, e)) << bad;
        EXPECT_FALSE(parseArrowCoding(bad, s, e)) << bad;
        EXPECT_FALSE(parseLayers(bad, s, e)) << bad;
    }
    EXPECT_FALSE(parseLayers("arrows,grid", s, e));
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction);
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::speed());
    EXPECT_EQ(s.layers.layers, (Layers {true, true, false}));
    IntegrationScheme scheme = IntegrationScheme::RungeKutta2;
    int preset = 4;
    EXPECT_FALSE(parseIntegrator("rk3", scheme, e) || parseTransferPreset("Rainbow", preset, e));
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta2);
    EXPECT_EQ(preset, 4);
    std::string many; // 29 inner points and the two ends are more than 30
    for (int k = 1; k <= 29; ++k)
        many += (k > 1 ? "," : "") + std::to_string(k / 30.0) + ":#010203";
    for (const std::string bad : {"1.5:#000000", "-0.1:#000000", "0.5:#00000", "0.5:000000", "0.5:#00zz00", "0.5",
             "nan:#000000", ":#000000", "0.5:#000000,", many.c_str()}) {
        std::vector<RenderSettings::TransferPoint> kept(1);
        EXPECT_FALSE(parseTransferPoints(bad, kept, e)) << bad;
        EXPECT_EQ(kept.size(), 1u);
    }
}

} // namespace
} // namespace tvl
