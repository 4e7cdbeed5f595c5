#include "RenderOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tvl {
namespace {

TEST(RenderOptions, ParsesModesAndCodingsWithTheirValueNumbers)
{
    RenderSettings s;
    std::string error;
    ASSERT_TRUE(parseBackgroundMode("direction", s, error)) << error;
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction);
    ASSERT_TRUE(parseBackgroundMode("value:3", s, error)) << error;
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::AdditionalValue);
    EXPECT_EQ(s.layers.backgroundValue, 3);
    ASSERT_TRUE(parseBackgroundMode("Speed", s, error)) << "letter case must not matter";
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Speed);

    ASSERT_TRUE(parseArrowCoding("value:1", s, error)) << error;
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::additionalValue(1));
    EXPECT_EQ(s.layers.arrowCoding.listPosition(), 3) << "additional value k is list position k + 2";
    ASSERT_TRUE(parseArrowCoding("speed", s, error));
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::speed());
    ASSERT_TRUE(parseArrowCoding("none", s, error));
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::none());

    IntegrationScheme scheme = IntegrationScheme::Euler;
    ASSERT_TRUE(parseIntegrator("rk4", scheme, error));
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta4);
    ASSERT_TRUE(parseIntegrator("euler", scheme, error));
    EXPECT_EQ(scheme, IntegrationScheme::Euler);

    int preset = -1;
    ASSERT_TRUE(parseTransferPreset("blue-green-red", preset, error)) << error;
    EXPECT_EQ(preset, 2) << "presets count in menu order";
}

TEST(RenderOptions, RejectsMalformedValuesAndKeepsTheSettings)
{
    RenderSettings s;
    s.layers.backgroundQuantity = BackgroundQuantity::Direction;
    s.layers.arrowCoding = ArrowCoding::speed();
    std::string error;
    for (const char* bad : {"value:", "value:-1", "value:x", "value:1.5", "pressure", ""}) {
        error.clear();
        EXPECT_FALSE(parseBackgroundMode(bad, s, error)) << "accepted background '" << bad << "'";
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(parseArrowCoding(bad, s, error)) << "accepted coding '" << bad << "'";
    }
    EXPECT_EQ(s.layers.backgroundQuantity, BackgroundQuantity::Direction) << "a failed parse changed the mode";
    EXPECT_EQ(s.layers.arrowCoding, ArrowCoding::speed());
    IntegrationScheme scheme = IntegrationScheme::RungeKutta2;
    EXPECT_FALSE(parseIntegrator("rk3", scheme, error));
    EXPECT_EQ(scheme, IntegrationScheme::RungeKutta2);
    int preset = 4;
    EXPECT_FALSE(parseTransferPreset("Rainbow", preset, error));
    EXPECT_EQ(preset, 4);
}

TEST(RenderOptions, ParsesTransferPointsAndTheirLimits)
{
    std::vector<RenderSettings::TransferPoint> points;
    std::string error;
    ASSERT_TRUE(parseTransferPoints("0:#000000,0.25:#FF8000,1:#ffffff", points, error)) << error;
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[1].position, 0.25f);
    EXPECT_EQ(points[1].colour[0], 255);
    EXPECT_EQ(points[1].colour[1], 128);
    EXPECT_EQ(points[1].colour[2], 0);

    for (const char* bad : {"1.5:#000000", "-0.1:#000000", "0.5:#00000", "0.5:000000", "0.5:#00zz00", "0.5",
             "nan:#000000", ":#000000", "0.5:#000000,"}) {
        std::vector<RenderSettings::TransferPoint> kept(1);
        EXPECT_FALSE(parseTransferPoints(bad, kept, error)) << "accepted '" << bad << "'";
        EXPECT_EQ(kept.size(), 1u) << "a failed parse changed the points";
    }

    std::string many;
    for (int k = 1; k <= 29; ++k)
        many += (k > 1 ? "," : "") + std::to_string(k / 30.0) + ":#010203";
    EXPECT_FALSE(parseTransferPoints(many, points, error)) << "29 inner points do not fit 30 points in all";
}

TEST(RenderOptions, ParsesLayerLists)
{
    RenderSettings s;
    std::string error;
    ASSERT_TRUE(parseLayers("arrows,background", s, error)) << error;
    EXPECT_EQ(s.layers.layers, (Layers {true, false, true}));
    ASSERT_TRUE(parseLayers("none", s, error));
    EXPECT_FALSE(s.layers.layers.any());
    EXPECT_FALSE(parseLayers("arrows,grid", s, error)) << "an unknown layer was accepted";
    EXPECT_FALSE(parseLayers("", s, error));
}

} // namespace
} // namespace tvl
