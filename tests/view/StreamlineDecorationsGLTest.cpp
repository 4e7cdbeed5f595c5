#include "view/StreamlineDecorations.h"

#include "CoderProbe.h"
#include "FlowViewTestSupport.h"
#include "view/DataCoderFactory.h"
#include "view/DrawLayers.h"
#include "view/FlowView.h"

#include <gtest/gtest.h>

#include <string>

namespace tvl {
namespace {

TEST(StreamlineDecorationsGLTest, ColouredLineLiesInADarkOutlineOverTheBackground)
{
    // A uniform flow along +x (speed 1) over bounds 0..2 × 0..1 in a 400 × 200
    // canvas. Entry i of the table is (i, 255 − i, 77); the background codes
    // the direction (t = 0.25: entry 64), the line the speed (t = 1: the last entry).
    test::OffscreenCanvas canvas;
    std::string reason;
    ASSERT_TRUE(canvas.open(400, 200, reason)) << reason;
    FlowData flow;
    test::setUniform(flow, 101, 51, {1, 0, 0}, {0, 0, 0}, {2, 1, 0});
    const auto table = test::indexTable(256);
    FlowView view(&flow);
    view.setCanvasSize(400, 200);
    view.resetRegion();
    view.applyViewport();
    LayerSettings settings;
    settings.placement = Placement::Manual;
    settings.layers.background = true;
    settings.lineStyle.coloured = true;
    drawLayers(view, settings, makeDataCoder(BackgroundQuantity::Direction, 0, flow, table).get());
    drawSeededStreamline(
        view, 200.0f, 101.0f, settings, makeDataCoder(BackgroundQuantity::Speed, 0, flow, table).get());
    const RgbaImage picture = canvas.read();

    const auto background = [](test::Rgb8 p) { return test::isColour(p, 64, 191, 77); };
    const auto line = [](test::Rgb8 p) { return test::isColour(p, 255, 0, 77); };
    for (const int x : {20, 150, 330}) {
        int first = -1;
        for (int y = 0; y < 200 && first < 0; ++y)
            first = test::isBlack(picture.pixel(x, y)) ? y : -1;
        ASSERT_GE(first, 80) << "no outline in column " << x;
        EXPECT_TRUE(background(picture.pixel(x, first - 1)) && line(picture.pixel(x, first + 1))
            && line(picture.pixel(x, first + 2)) && test::isBlack(picture.pixel(x, first + 3))
            && background(picture.pixel(x, first + 4)))
            << "column " << x << " from row " << first - 1 << ": background, outline, line ×2, outline, background";
    }
}

} // namespace
} // namespace tvl
