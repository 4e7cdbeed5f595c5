// Hostile and odd files meet the whole drawing pipeline: a failed load must
// leave the previous data set drawable through its view, exactly as before,
// and every odd but valid data set must draw without a crash and without
// handing GL a single non-finite vertex.
#include "GLCallRecorder.h"

#include "FlowFiles.h"
#include "FlowShapes.h"
#include "FlowViewTestSupport.h"
#include "TempDir.h"

#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "transfer/ColorTable.h"
#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/FlowView.h"
#include "view/SpeedCoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace tvl {
namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;

std::shared_ptr<ColorTable> rampTable()
{
    auto table = std::make_shared<ColorTable>(256);
    for (int i = 0; i < 256; ++i)
        table->setEntry(i, Rgb {std::uint8_t(i), std::uint8_t(255 - i), 128});
    return table;
}

// Every layer as a canvas draws it, plus a manual streamline and a zoom
// rectangle, with each background coder and each arrow coding in turn.
void drawEverything(FlowView& view, const FlowData& flow, const std::shared_ptr<ColorTable>& table)
{
    const SpeedCoder speed(flow, table);
    const DirectionCoder direction(flow, table);
    const AdditionalDataCoder value0(flow, table, 0);
    const AdditionalDataCoder value3(flow, table, 3);
    const DataCoder* coders[] = {&speed, &direction, &value0, &value3};
    for (int pass = 0; pass < 4; ++pass) {
        glClear(GL_COLOR_BUFFER_BIT);
        view.drawBackground(*coders[pass]);
        view.drawStreamlines(100.0f, 50.0f, integrationSchemeFromIndex(pass % 3));
        view.drawArrowPlot(5 + 10 * pass, ArrowCoding::fromListPosition(pass));
        view.seedStreamlineAt(float(kWidth / 2), float(kHeight / 2));
        view.drawZoomRectangle(10, 10, kWidth - 20, kHeight - 20);
    }
}

class FailureMatrixGLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        ASSERT_TRUE(canvas.open(kWidth, kHeight, reason)) << reason;
        FlowSpec spec;
        spec.flow = FlowKind::Vortex;
        spec.width = 40;
        spec.height = 30;
        spec.additionalCount = 2;
        spec.x1 = 2.0f;
        spec.y1 = 1.5f;
        ASSERT_TRUE(flow.loadNodes(makeFlow(spec)));
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(kWidth, kHeight);
        view->resetRegion();
        view->applyViewport();
    }

    RgbaImage picture()
    {
        const SpeedCoder coder(flow, table);
        glClear(GL_COLOR_BUFFER_BIT);
        view->drawBackground(coder);
        view->drawStreamlines(100.0f, 50.0f, IntegrationScheme::RungeKutta4);
        view->drawArrowPlot(20, ArrowCoding::speed());
        return canvas.read();
    }

    test::TempDir dir;
    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
    std::shared_ptr<ColorTable> table = rampTable();
};

TEST_F(FailureMatrixGLTest, EveryBadShapeKeepsThePreviousPictureAndLogsItsCause)
{
    test::RecordingLog log;
    flow.setLogSink(&log);
    const RgbaImage before = picture();
    int lit = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            lit += !test::isBlack(before.pixel(x, y));
    ASSERT_GT(lit, kWidth * kHeight / 4) << "the reference picture must show the data set";
    for (const test::FlowShape& bad : test::badFlowShapes()) {
        const std::string g = dir.file(bad.name + ".gri"), d = dir.file(bad.name + ".dat");
        bad.write(g, d);
        log.messages.clear();
        EXPECT_FALSE(flow.loadData(g, d)) << bad.name;
        ASSERT_EQ(log.messages.size(), 1u) << bad.name;
        EXPECT_NE(log.messages[0].find(bad.causeFragment), std::string::npos) << log.messages[0];
        const RgbaImage after = picture();
        ASSERT_EQ(after.width(), before.width());
        ASSERT_EQ(after.height(), before.height());
        EXPECT_TRUE(std::equal(after.data(), after.data() + 4 * after.width() * after.height(), before.data()))
            << bad.name << ": the view must draw the previous data set exactly as before";
    }
}

TEST_F(FailureMatrixGLTest, OddButValidShapesDrawOnlyFiniteVertices)
{
    for (const test::FlowShape& odd : test::oddFlowShapes()) {
        const std::string g = dir.file(odd.name + ".gri"), d = dir.file(odd.name + ".dat");
        odd.write(g, d);
        FlowData loaded;
        ASSERT_TRUE(loaded.loadData(g, d)) << odd.name;
        FlowView oddView(&loaded);
        oddView.setCanvasSize(kWidth, kHeight);
        oddView.resetRegion();
        oddView.applyViewport();
        const auto primitives = test::recordPrimitives([&] { drawEverything(oddView, loaded, table); });
        std::size_t vertices = 0;
        for (const auto& primitive : primitives)
            for (const auto& v : primitive.vertices) {
                ++vertices;
                ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]))
                    << odd.name << ": a non-finite vertex reached GL";
            }
        EXPECT_GT(vertices, 4u) << odd.name << ": at least the zoom rectangles are drawn";
    }
}

TEST_F(FailureMatrixGLTest, ADataSetLoadedOverAViewWithMoreValuesNeverReadsOutside)
{
    // The view was built for two additional values; the new data set has none.
    const test::FlowShape& noValues = test::oddFlowShapes()[2];
    ASSERT_EQ(noValues.name, "NoAdditionalValues");
    noValues.write(dir.file("n.gri"), dir.file("n.dat"));
    ASSERT_TRUE(flow.loadData(dir.file("n.gri"), dir.file("n.dat")));
    ASSERT_EQ(flow.getAdditionalCount(), 0);
    const auto primitives = test::recordPrimitives([&] { drawEverything(*view, flow, table); });
    for (const auto& primitive : primitives)
        for (const auto& v : primitive.vertices)
            ASSERT_TRUE(std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]));
}

} // namespace
} // namespace tvl
