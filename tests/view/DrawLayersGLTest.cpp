// Hostile and odd files meet the whole drawing pipeline: a failed load leaves
// the previous data set drawn exactly as before, and every odd but valid data
// set draws without handing GL a single non-finite vertex.
#include "view/DrawLayers.h"

#include "CoderProbe.h"
#include "FlowFiles.h"
#include "FlowShapes.h"
#include "FlowViewTestSupport.h"
#include "GLCallRecorder.h"
#include "TempDir.h"
#include "flow/AnalyticFlow.h"
#include "view/DataCoderFactory.h"
#include "view/FlowView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace tvl {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;

// A vortex with two values on 0..2 × 0..1.5, every layer ticked.
class DrawLayersGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(kWidth, kHeight, reason)) << reason;
        FlowSpec spec;
        spec.width = 40;
        spec.height = 30;
        spec.additionalCount = 2;
        spec.x1 = 2.0f;
        spec.y1 = 1.5f;
        ASSERT_TRUE(flow.loadNodes(makeFlow(spec)));
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(kWidth, kHeight);
        view->resetRegion();
        settings.layers = {true, true, true};
        settings.arrowCoding = ArrowCoding::speed();
    }
    void TearDown() override { view.reset(); }
    RgbaImage draw()
    {
        const auto coder = makeDataCoder(settings.backgroundQuantity, settings.backgroundValue, flow, table);
        drawLayers(*view, settings, coder.get());
        return canvas.read();
    }
    // Every layer with every coder and every coding in turn, a click and a
    // zoom rectangle: the vertices handed to GL.
    std::vector<test::RecordedPrimitive> drawEverything(FlowView& v, const FlowData& data)
    {
        return test::recordPrimitives([&] {
            for (int pass = 0; pass < 4; ++pass) {
                const auto coder = makeDataCoder(BackgroundQuantity(pass % 3), 3 * (pass / 3), data, table);
                settings.arrowCoding = ArrowCoding::fromListPosition(pass);
                settings.arrowStep = 5 + 10 * pass;
                settings.scheme = integrationSchemeFromIndex(pass);
                drawLayers(v, settings, coder.get());
                v.seedStreamlineAt(kWidth / 2.0f, kHeight / 2.0f);
                v.drawZoomRectangle(10, 10, kWidth - 20, kHeight - 20);
            }
        });
    }

    test::TempDir dir;
    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
    LayerSettings settings;
    std::shared_ptr<ColorTable> table = test::indexTable(256);
};

TEST_F(DrawLayersGLTest, EveryBadShapeKeepsThePreviousPicture)
{
    const RgbaImage before = draw();
    for (const test::FlowShape& bad : test::badFlowShapes()) {
        bad.write(dir.file(bad.name + ".gri"), dir.file(bad.name + ".dat"));
        EXPECT_FALSE(flow.loadData(dir.file(bad.name + ".gri"), dir.file(bad.name + ".dat"))) << bad.name;
        const RgbaImage after = draw();
        EXPECT_TRUE(std::equal(after.data(), after.data() + 4 * kWidth * kHeight, before.data()))
            << bad.name << ": the view must draw the previous data set exactly as before";
    }
}

TEST_F(DrawLayersGLTest, OddButValidShapesDrawOnlyFiniteVertices)
{
    for (const test::FlowShape& odd : test::oddFlowShapes()) {
        odd.write(dir.file("odd.gri"), dir.file("odd.dat"));
        FlowData loaded;
        ASSERT_TRUE(loaded.loadData(dir.file("odd.gri"), dir.file("odd.dat"))) << odd.name;
        FlowView oddView(&loaded);
        oddView.setCanvasSize(kWidth, kHeight);
        oddView.resetRegion();
        // The view built for two values draws each data set loaded in place as well.
        ASSERT_TRUE(flow.loadData(dir.file("odd.gri"), dir.file("odd.dat")));
        for (FlowView* v : {&oddView, view.get()}) {
            std::size_t vertices = 0;
            for (const auto& primitive : drawEverything(*v, v == view.get() ? flow : loaded))
                for (const auto& p : primitive.vertices) {
                    ++vertices;
                    ASSERT_TRUE(std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]))
                        << odd.name << ": a non-finite vertex reached GL";
                }
            EXPECT_GT(vertices, 20u) << odd.name << ": at least the zoom rectangles are drawn";
        }
    }
}

} // namespace
} // namespace tvl
