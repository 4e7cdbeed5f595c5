#include "render/RenderPicture.h"

#include "flow/AnalyticFlow.h"
#include "render/RenderSettings.h"

#include "flow/FlowData.h"
#include "render/RgbaImage.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

bool isPink(const Pixel& p)
{
    return p[0] == 255 && std::abs(p[1] - 178) <= 1 && std::abs(p[2] - 178) <= 1;
}
bool isWhite(const Pixel& p)
{
    return p[0] == 255 && p[1] == 255 && p[2] == 255;
}
bool isBlack(const Pixel& p)
{
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

// The demo double gyre on a 400 × 200 canvas: its 2 : 1 region fills it, one
// grid unit (0.02 flow units) is 4 pixels.
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

    RgbaImage render()
    {
        RgbaImage picture;
        std::string error;
        EXPECT_TRUE(renderPicture(flow, settings, picture, error)) << error;
        return picture;
    }

    template <typename Predicate> static int count(const RgbaImage& image, Predicate predicate)
    {
        int n = 0;
        // The last sample column and row (4 pixels each) have no value; leave them out.
        for (int y = 0; y < image.height() - 4; ++y)
            for (int x = 0; x < image.width() - 4; ++x)
                n += predicate(image.pixel(x, y)) ? 1 : 0;
        return n;
    }

    FlowData flow;
    RenderSettings settings;
};

TEST_F(RenderPictureGLTest, DrawsTheChosenLayersOnly)
{
    const RgbaImage all = render();
    ASSERT_EQ(all.width(), 400);
    ASSERT_EQ(all.height(), 200);
    EXPECT_GT(count(all, isPink), 400) << "arrows missing";
    EXPECT_GT(count(all, isWhite), 1000) << "streamlines missing";
    EXPECT_EQ(count(all, isBlack), 0) << "background missing";
    EXPECT_EQ(all.pixel(0, 0)[3], 255) << "the picture must be opaque";

    settings.layers.layers.streamlines = false;
    settings.layers.layers.arrows = false;
    const RgbaImage background = render();
    EXPECT_EQ(count(background, isPink), 0) << "arrows drawn although not chosen";
    EXPECT_EQ(count(background, isWhite), 0) << "streamlines drawn although not chosen";

    settings.layers.layers.background = false;
    settings.layers.layers.arrows = true;
    const RgbaImage arrows = render();
    EXPECT_GT(count(arrows, isBlack), 70000) << "a background drawn although not chosen";
    EXPECT_GT(count(arrows, isPink), 400);
}

TEST_F(RenderPictureGLTest, DrawsHandSeededStreamlinesOnTop)
{
    // Between the gyres (grid 50, 25; canvas pixel 200, 100) the flow runs
    // straight down, along the axis of the arrow centred there.
    settings.layers.layers.background = false;
    settings.layers.layers.streamlines = false;
    auto whiteNearSeed = [](const RgbaImage& image) {
        int n = 0;
        for (int y = 98; y <= 102; ++y)
            for (int x = 199; x <= 200; ++x)
                n += isWhite(image.pixel(x, y)) ? 1 : 0;
        return n;
    };
    const RgbaImage unseeded = render();
    EXPECT_TRUE(isPink(unseeded.pixel(200, 100)) || isPink(unseeded.pixel(199, 100))) << "no arrow at the seed";
    EXPECT_EQ(whiteNearSeed(unseeded), 0);

    settings.seeds.push_back({200.0f, 100.0f});
    const RgbaImage seeded = render();
    EXPECT_GE(whiteNearSeed(seeded), 3) << "the seeded streamline must cover the arrow under it";
}

TEST_F(RenderPictureGLTest, AppliesZoomAndExplicitTransferPoints)
{
    settings.layers.layers.streamlines = false;
    settings.layers.layers.arrows = false;
    settings.transferPreset.reset();
    settings.transferPoints = {{0.0f, {16, 32, 48}}, {1.0f, {16, 32, 48}}};
    const RgbaImage flat = render();
    EXPECT_EQ(flat.pixel(123, 77), (Pixel {16, 32, 48, 255})) << "end point colours not applied";

    settings.transferPoints = {{0.0f, {0, 0, 0}}, {0.5f, {0, 255, 0}}, {1.0f, {0, 0, 0}}};
    const RgbaImage peak = render();
    EXPECT_GT(count(peak, [](const Pixel& p) { return p[1] >= 250; }), 0) << "the inner point's green is missing";

    // The lower left quarter of the flow (world 0..0.5 by 0..0.5): the slow
    // centre of the left gyre moves to the top right of a 200 × 200 viewport.
    settings.transferPoints.clear();
    settings.transferPreset = 2;
    settings.zoom = ZoomRectangle {0.0f, 200.0f, 100.0f, 100.0f};
    const RgbaImage zoomed = render();
    const Pixel centre = zoomed.pixel(194, 194);
    EXPECT_GT(centre[2], centre[0]) << "the gyre's slow centre should be blue";
    EXPECT_TRUE(isBlack(zoomed.pixel(300, 100))) << "the square region leaves the right of the canvas black";
}

TEST_F(RenderPictureGLTest, RefusesValueNumbersTheDataSetLacks)
{
    RgbaImage picture(3, 3);
    std::string error;
    settings.layers.backgroundQuantity = BackgroundQuantity::AdditionalValue;
    settings.layers.backgroundValue = 2;
    EXPECT_FALSE(renderPicture(flow, settings, picture, error)) << "the demo has values 0 and 1 only";
    EXPECT_NE(error.find("additional value 2"), std::string::npos) << error;
    EXPECT_EQ(picture.width(), 3) << "a failed render changed the picture";

    settings.layers.backgroundValue = 1;
    settings.layers.arrowCoding = ArrowCoding::additionalValue(5);
    error.clear();
    EXPECT_FALSE(renderPicture(flow, settings, picture, error));
    EXPECT_FALSE(error.empty());

    settings.layers.arrowCoding = ArrowCoding::additionalValue(1);
    EXPECT_TRUE(renderPicture(flow, settings, picture, error)) << error;

    FlowData empty;
    EXPECT_FALSE(renderPicture(empty, settings, picture, error)) << "nothing loaded, nothing to draw";
}

} // namespace
} // namespace tvl
