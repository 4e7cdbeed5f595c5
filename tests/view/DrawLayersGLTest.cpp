// Odd but valid data sets meet the whole drawing pipeline: each draws without
// handing GL a single non-finite vertex.
#include "view/DrawLayers.h"

#include "CoderProbe.h"
#include "FlowShapes.h"
#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"
#include "TempDir.h"
#include "flow/AnalyticFlow.h"
#include "view/DataCoderFactory.h"
#include "view/FlowView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tvl {
namespace {

TEST(DrawLayersGLTest, OddButValidShapesDrawOnlyFiniteVertices)
{
    test::OffscreenCanvas canvas;
    std::string reason;
    ASSERT_TRUE(canvas.open(240, 160, reason)) << reason;
    const auto table = test::indexTable(256);
    test::TempDir dir;
    for (const test::FlowShape& odd : test::oddFlowShapes()) {
        odd.write(dir.file("odd.gri"), dir.file("odd.dat"));
        FlowData loaded;
        ASSERT_TRUE(loaded.loadData(dir.file("odd.gri"), dir.file("odd.dat"))) << odd.name;
        FlowView view(&loaded);
        view.setCanvasSize(240, 160);
        view.resetRegion();
        // Every layer with every coder and arrow coding in turn, a click and a zoom rectangle.
        const auto primitives = test::recordPrimitives([&] {
            for (int pass = 0; pass < 4; ++pass) {
                LayerSettings settings;
                settings.layers = {true, true, true};
                settings.arrowCoding = ArrowCoding::fromListPosition(pass);
                settings.arrowStep = 5 + 10 * pass;
                settings.scheme = integrationSchemeFromIndex(pass);
                const auto coder = makeDataCoder(BackgroundQuantity(pass % 3), 3 * (pass / 3), loaded, table);
                drawLayers(view, settings, coder.get());
                view.seedStreamlineAt(120.0f, 80.0f);
                view.drawZoomRectangle(10, 10, 220, 140);
            }
        });
        std::size_t vertices = 0;
        for (const auto& primitive : primitives)
            for (const auto& p : primitive.vertices) {
                ++vertices;
                ASSERT_TRUE(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))
                    << odd.name << ": a non-finite vertex reached GL";
            }
        EXPECT_GE(vertices, 20u) << odd.name << ": at least the four zoom rectangles are drawn";
    }
}

} // namespace
} // namespace tvl
