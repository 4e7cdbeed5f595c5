#include "render/RenderPicture.h"

#include "Pixels.h"
#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "render/Legend.h"
#include "render/RenderSettings.h"
#include "render/RgbaImage.h"
#include "transfer/ColorTable.h"
#include "view/LegendValue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tvl {
namespace {

// The demo data set drawn with the background layer alone.
class RenderPictureGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("DISPLAY");
        ASSERT_TRUE(flow.loadNodes(makeDemoFlow()));
        settings.layers.layers = {true, false, false};
    }
    FlowData flow;
    RenderSettings settings;
};

// What the golden pictures leave out: transfer points next to an end point of
// a small table, and a table or data set that cannot be drawn with.
TEST_F(RenderPictureGLTest, PlacesTransferPointsBesideTheEndsAndRefusesWhatTheDataSetLacks)
{
    settings.width = 400;
    settings.height = 200;
    // Four entries, red just right of the left end: the point goes to column 1,
    // never onto the end point's column 0. Entries black, red, 2/3 and 1/3 red.
    settings.transferEntries = 4;
    settings.transferPoints = {{0.0f, {0, 0, 0}}, {0.001f, {255, 0, 0}}, {1.0f, {0, 0, 0}}};
    RgbaImage picture(3, 3);
    std::string error;
    ASSERT_TRUE(renderPicture(flow, settings, picture, error)) << error;
    for (const auto& [red, present] : {std::pair {170, true}, {85, true}, {127, false}})
        EXPECT_EQ(
            test::countPixels(picture, [red](test::Rgb8 p) { return test::isColour(p, red, 0, 0); }) > 1000, present)
            << "entry colour (" << red << ", 0, 0)";
    EXPECT_EQ(picture.pixel(399, 199)[3], 255) << "the picture is opaque";

    // Values the demo lacks are refused as tvl-render's refusals show.
    settings.transferEntries = 1;
    EXPECT_FALSE(renderPicture(flow, settings, picture, error)) << "a table of one entry";
    EXPECT_FALSE(renderPicture(FlowData(), RenderSettings(), picture, error)) << "nothing loaded";
    EXPECT_EQ(picture.width(), 400) << "a failed render keeps the picture";
}

// The band's texts are the background's values at the ramp's two ends, the
// lowest on the left.
TEST_F(RenderPictureGLTest, LegendNamesTheLowestValueLeftAndTheHighestRight)
{
    settings.width = 300;
    settings.height = 60;
    RgbaImage plain(1, 1);
    RgbaImage framed(1, 1);
    std::string error;
    ASSERT_TRUE(renderPicture(flow, settings, plain, error)) << error;
    settings.legend = true;
    ASSERT_TRUE(renderPicture(flow, settings, framed, error)) << error;
    float highest = 0.0f;
    ASSERT_TRUE(legendValueAt(flow, BackgroundQuantity::Speed, 0, 1.0f, highest));
    const std::string low = legendText(BackgroundQuantity::Speed, 0.0f);
    const std::string high = legendText(BackgroundQuantity::Speed, highest);
    ASSERT_NE(low, high);
    // The ramp's colours are the table's own test; the text rows need none.
    const RgbaImage expected = withLegend(plain, ColorTable(settings.transferEntries), low, high);
    ASSERT_EQ(framed.height(), expected.height());
    int differing = 0;
    for (int row = Legend::kTextTop; row < Legend::kHeight; ++row)
        for (int x = 0; x < framed.width(); ++x)
            differing += framed.pixel(x, Legend::kHeight - 1 - row) != expected.pixel(x, Legend::kHeight - 1 - row);
    EXPECT_EQ(differing, 0) << "the legend should read " << low << " ... " << high;
}

} // namespace
} // namespace tvl
