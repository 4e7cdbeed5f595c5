#include "render/RenderPicture.h"

#include "Pixels.h"
#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tvl {
namespace {

using test::Rgb8;

// The demo double gyre on a 400 × 200 canvas, which its 2 : 1 region fills:
// a grid unit is 4 pixels, and the last 4 pixel columns and rows have no speed.
class RenderPictureGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        ASSERT_TRUE(flow.loadNodes(makeDemoFlow()));
        settings.width = 400;
        settings.height = 200;
        settings.transferPreset = 2; // Blue-Green-Red
    }
    template <class Predicate> int count(Predicate predicate)
    {
        std::string error;
        EXPECT_TRUE(renderPicture(flow, settings, picture, error)) << error;
        EXPECT_EQ(picture.pixel(399, 199)[3], 255) << "the picture is opaque";
        return test::countPixels(picture, predicate, 0, 0, 396, 196);
    }

    FlowData flow;
    RenderSettings settings;
    RgbaImage picture;
};

TEST_F(RenderPictureGLTest, DrawsTheChosenLayersOnly)
{
    EXPECT_GT(count(test::isArrowColour), 400) << "arrows";
    EXPECT_GT(count(test::isWhite), 1000) << "streamlines";
    EXPECT_EQ(count(test::isBlack), 0) << "the background covers everything";
    settings.layers.layers = {true, false, false};
    EXPECT_EQ(count([](Rgb8 p) { return test::isWhite(p) || test::isArrowColour(p); }), 0) << "background only";
    settings.layers.layers = {false, false, true};
    EXPECT_GT(count(test::isBlack), 70000) << "arrows only, on black";
    // Between the gyres (canvas pixel 200, 100) the flow runs straight down:
    // a hand-seeded streamline there covers the arrow under it.
    settings.seeds.push_back({200.0f, 100.0f});
    EXPECT_GT(count(test::isWhite), 150) << "the seeded streamline is missing";
}

TEST_F(RenderPictureGLTest, AppliesTransferPointsAndTheZoom)
{
    settings.layers.layers = {true, false, false};
    settings.transferPreset.reset();
    settings.transferPoints = {{0.0f, {16, 32, 48}}, {1.0f, {16, 32, 48}}};
    EXPECT_EQ(count([](Rgb8 p) { return test::isColour(p, 16, 32, 48); }), 396 * 196) << "the end points' colour";
    // Four entries with red near the left end: it goes to column 1, never onto
    // the end point's column 0. Entries black, red, 2/3 and 1/3 red.
    settings.transferEntries = 4;
    settings.transferPoints = {{0.0f, {0, 0, 0}}, {0.001f, {255, 0, 0}}, {1.0f, {0, 0, 0}}};
    EXPECT_GT(count([](Rgb8 p) { return test::isColour(p, 170, 0, 0); }), 1000);
    EXPECT_GT(count([](Rgb8 p) { return test::isColour(p, 85, 0, 0); }), 1000);
    EXPECT_EQ(count([](Rgb8 p) { return test::isColour(p, 127, 0, 0); }), 0);
    // The lower left quarter of the flow: the left gyre's slow centre (blue)
    // moves to the top right of a 200 × 200 viewport; right of it stays black.
    settings.transferEntries = 256;
    settings.transferPoints.clear();
    settings.transferPreset = 2;
    settings.zoom = ZoomRectangle {0.0f, 200.0f, 100.0f, 100.0f};
    EXPECT_EQ(count(test::isBlack), 196 * 196) << "the square region leaves the right of the canvas black";
    EXPECT_GT(picture.pixel(194, 194)[2], picture.pixel(194, 194)[0]) << "the gyre's slow centre is blue";
}

TEST_F(RenderPictureGLTest, RefusesWhatTheDataSetLacksAndKeepsThePicture)
{
    picture = RgbaImage(3, 3);
    std::string error;
    settings.layers.backgroundQuantity = BackgroundQuantity::AdditionalValue;
    settings.layers.backgroundValue = 2;
    EXPECT_FALSE(renderPicture(flow, settings, picture, error)) << "the demo has values 0 and 1 only";
    EXPECT_NE(error.find("additional value 2"), std::string::npos) << error;
    settings.layers.backgroundValue = 1;
    settings.layers.arrowCoding = ArrowCoding::additionalValue(5);
    EXPECT_FALSE(renderPicture(flow, settings, picture, error));
    settings.layers.arrowCoding = ArrowCoding::additionalValue(1);
    settings.transferEntries = 1;
    EXPECT_FALSE(renderPicture(flow, settings, picture, error)) << "a table of one entry";
    EXPECT_FALSE(renderPicture(FlowData(), RenderSettings(), picture, error)) << "nothing loaded";
    EXPECT_EQ(picture.width(), 3) << "a failed render keeps the picture";
}

} // namespace
} // namespace tvl
