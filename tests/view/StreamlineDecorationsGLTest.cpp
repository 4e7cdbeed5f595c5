#include "view/StreamlineDecorations.h"

#include "FlowViewTestSupport.h"
#include "transfer/ColorTable.h"
#include "view/DataCoderFactory.h"
#include "view/DrawLayers.h"
#include "view/FlowView.h"

#include <gtest/gtest.h>

#include <memory>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

Pixel rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return {r, g, b, 255};
}
bool same(const Pixel& a, const Pixel& b)
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2];
}

// A uniform flow along +x (speed 1) over bounds 0..2 × 0..1 in a 400 × 200
// canvas: 4 pixels per grid unit. Entry i of the table is (i, 255 − i, 77).
class StreamlineDecorationsGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(400, 200, reason)) << reason;
        test::setUniformFlow(flow, 101, 51, 1.0f, 0.0f, {0, 0, 0}, {2, 1, 0});
        for (int i = 0; i < 256; ++i)
            table->setEntry(i, Rgb {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 77});
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(400, 200);
        view->resetRegion();
        view->applyViewport();
    }

    // The picture of one hand-seeded streamline through canvas pixel (200, 101).
    RgbaImage seeded(const LayerSettings& settings, const DataCoder* background, const DataCoder* lines)
    {
        drawLayers(*view, settings, background);
        drawSeededStreamline(*view, 200.0f, 101.0f, settings, lines);
        return canvas.read();
    }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::shared_ptr<ColorTable> table = std::make_shared<ColorTable>(256);
    std::unique_ptr<FlowView> view;
};

TEST_F(StreamlineDecorationsGLTest, PlainStyleDrawsWhatTheSeedingDrewAndMarksOnlyAdd)
{
    LayerSettings settings;
    settings.placement = Placement::Manual;
    drawLayers(*view, settings, nullptr);
    view->seedStreamlineAt(200.0f, 101.0f);
    const RgbaImage before = canvas.read();
    const RgbaImage plain = seeded(settings, nullptr, nullptr);
    settings.lineStyle.markSpacing = 80;
    const RgbaImage marked = seeded(settings, nullptr, nullptr);

    int row = -1;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) {
            ASSERT_TRUE(same(plain.pixel(x, y), before.pixel(x, y))) << "the plain style changed a pixel";
            EXPECT_TRUE(!test::isWhite(plain.pixel(x, y)) || test::isWhite(marked.pixel(x, y)))
                << "marks hid the line at " << x << ", " << y;
            row = x == 200 && test::isWhite(plain.pixel(x, y)) ? y : row;
        }
    ASSERT_GE(row, 3);
    // Marks 40 and 120 pixels from the seed on either side (and one at the
    // left edge), all pointing to +x: wide behind their centre, narrow ahead.
    for (const int centre : {80, 160, 240, 320}) {
        for (const int dy : {-2, 2}) {
            EXPECT_TRUE(test::isWhite(marked.pixel(centre - 4, row + dy))) << "no base behind the mark at " << centre;
            EXPECT_FALSE(test::isWhite(marked.pixel(centre + 4, row + dy))) << "mark at " << centre << " points left";
        }
    }
    for (const int x : {120, 200, 280})
        EXPECT_FALSE(test::isWhite(marked.pixel(x, row - 2)) || test::isWhite(marked.pixel(x, row + 2)))
            << "a mark where none belongs, at " << x;
}

TEST_F(StreamlineDecorationsGLTest, ColouredLineLiesInADarkOutlineOverTheBackground)
{
    // The background codes the direction (t = 0.25: entry 64), the line the
    // speed (t = 1: the last entry).
    const auto direction = makeDataCoder(BackgroundQuantity::Direction, 0, flow, table);
    const auto speed = makeDataCoder(BackgroundQuantity::Speed, 0, flow, table);
    LayerSettings settings;
    settings.placement = Placement::Manual;
    settings.layers.background = true;
    settings.lineStyle.coloured = true;
    const RgbaImage picture = seeded(settings, direction.get(), speed.get());

    const Pixel background = rgb(64, 191, 77);
    const Pixel line = rgb(255, 0, 77);
    const Pixel outline = rgb(0, 0, 0);
    for (const int x : {20, 150, 330}) {
        int first = -1;
        for (int y = 0; y < 200 && first < 0; ++y)
            first = same(picture.pixel(x, y), outline) ? y : -1;
        ASSERT_GE(first, 80) << "no outline in column " << x;
        const Pixel want[] = {background, outline, line, line, outline, background};
        for (int k = 0; k < 6; ++k)
            EXPECT_TRUE(same(picture.pixel(x, first - 1 + k), want[k]))
                << "column " << x << ", row " << first - 1 + k << ": background, outline, line ×2, outline, background";
    }
}

} // namespace
} // namespace tvl
