#include "view/FlowView.h"

#include "transfer/ColorTable.h"
#include "transfer/TransferFunction.h"
#include "view/DataCoder.h"
#include "view/SpeedCoder.h"

#include "FlowViewTestSupport.h"
#include "flow/AnalyticFlow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace tvl {
namespace {

using Pixel = std::array<std::uint8_t, 4>;

// Entry i is (i, 0, 255 - i): the red byte names the entry shown.
std::shared_ptr<ColorTable> rampTable()
{
    auto table = std::make_shared<ColorTable>(256);
    for (int i = 0; i < 256; ++i)
        table->setEntry(i, Rgb {static_cast<std::uint8_t>(i), 0, static_cast<std::uint8_t>(255 - i)});
    return table;
}

std::shared_ptr<ColorTable> blueTable()
{
    auto table = std::make_shared<ColorTable>(16);
    for (int i = 0; i < 16; ++i)
        table->setEntry(i, Rgb {0, 0, 255});
    return table;
}

// 2^24 entries, entry i coloured with the 24 bits of i: the image then shows
// t to its last bits or nearly.
std::shared_ptr<const ColorTable> fineTable()
{
    static const std::shared_ptr<const ColorTable> table = [] {
        auto t = std::make_shared<ColorTable>(1 << 24);
        for (int i = 0; i < (1 << 24); ++i)
            t->setEntry(i,
                Rgb {static_cast<std::uint8_t>(i >> 16), static_cast<std::uint8_t>(i >> 8),
                    static_cast<std::uint8_t>(i)});
        return t;
    }();
    return table;
}

// Remembers every point it is asked for; t is the row over 50.
class RecordingCoder : public DataCoder {
public:
    using DataCoder::DataCoder;
    bool normalizedValue(const Vector3& point, float& t) const override
    {
        points.push_back(point);
        t = point.y / 50.0f;
        return true;
    }
    mutable std::vector<Vector3> points;
};

// A speed coder that takes the general walk with one colorAt per pixel.
class PlainSpeedCoder : public SpeedCoder {
public:
    using SpeedCoder::SpeedCoder;
    void fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const override
    {
        DataCoder::fillImage(xs, ys, rgba);
    }
};

Pixel rgba(Rgb c)
{
    return {c.r, c.g, c.b, 255};
}

class FlowViewBackgroundGLTest : public ::testing::Test {
protected:
    void show(int width, int height)
    {
        view.reset();
        std::string reason;
        ASSERT_TRUE(canvas.open(width, height, reason)) << reason;
        view = std::make_unique<FlowView>(&flow);
        view->setCanvasSize(width, height);
        view->resetRegion();
        view->applyViewport();
    }
    void TearDown() override { view.reset(); }

    test::OffscreenCanvas canvas;
    FlowData flow;
    std::unique_ptr<FlowView> view;
};

TEST_F(FlowViewBackgroundGLTest, SamplesEveryViewportPixelOnce)
{
    test::setUniformFlow(flow, 150, 100, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {3.0f, 2.0f, 0.0f});
    show(300, 200);
    ASSERT_EQ(view->viewportWidth(), 300);
    ASSERT_EQ(view->viewportHeight(), 200);
    RecordingCoder coder(flow, rampTable());
    view->drawBackground(coder);
    EXPECT_EQ(coder.points.size(), 60000u) << "one colorAt per pixel of a 300 × 200 viewport";
    EXPECT_EQ(view->imageWidth(), 300);
    EXPECT_EQ(view->imageHeight(), 200);
    EXPECT_EQ(view->imagePixelCount(), 60000);
    EXPECT_FALSE(view->holdsImage()) << "the image must be released at the end of the draw";
}

TEST_F(FlowViewBackgroundGLTest, SamplesEachPixelAtItsLowerLeftCorner)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    RecordingCoder coder(flow, rampTable());
    view->drawBackground(coder);
    ASSERT_EQ(coder.points.size(), 400u * 200u);
    // dx = dy = 0.25 grid units per pixel.
    EXPECT_EQ(coder.points[4].x, 1.0f) << "pixel (4, 0) samples column 1.0";
    EXPECT_EQ(coder.points[4].y, 0.0f) << "pixel (4, 0) samples row 0.0";
    EXPECT_EQ(coder.points[0].x, 0.0f) << "pixel (0, 0) samples the region's corner";
    EXPECT_EQ(coder.points[400 * 8 + 2].x, 0.5f);
    EXPECT_EQ(coder.points[400 * 8 + 2].y, 2.0f);
    EXPECT_EQ(coder.points[400 * 199 + 399].x, 99.75f);
    EXPECT_EQ(coder.points[400 * 199 + 399].y, 49.75f);

    // The image's first row lies at the bottom: row 0 samples row 0 (entry 0),
    // the top row samples 49.75 (entry 254).
    const RgbaImage image = canvas.read();
    EXPECT_EQ(image.pixel(10, 0), (Pixel {0, 0, 255, 255})) << "the first image row must be the bottom row";
    EXPECT_EQ(image.pixel(10, 199), (Pixel {254, 0, 1, 255})) << "the last image row must be the top row";

    // What GL shows is exactly the image that was filled.
    std::vector<std::uint8_t> filled(4u * 400u * 200u);
    view->fillBackgroundImage(coder, filled.data());
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) {
            const std::size_t at = 4u * (static_cast<std::size_t>(y) * 400u + static_cast<std::size_t>(x));
            ASSERT_EQ(image.pixel(x, y), (Pixel {filled[at], filled[at + 1], filled[at + 2], filled[at + 3]}))
                << "pixel " << x << ", " << y << " differs from the image";
        }
}

TEST_F(FlowViewBackgroundGLTest, LeavesPixelsWithoutASpeedWhite)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    SpeedCoder coder(flow, blueTable());
    view->drawBackground(coder);
    const RgbaImage image = canvas.read();
    // Columns from 99 on (pixels 396..399) and rows from 49 on (196..199)
    // have no samples beyond them.
    EXPECT_EQ(image.pixel(395, 100), (Pixel {0, 0, 255, 255})) << "column 98.75 has a speed";
    EXPECT_EQ(image.pixel(396, 100), (Pixel {255, 255, 255, 255})) << "last sample column must be white";
    EXPECT_EQ(image.pixel(399, 100), (Pixel {255, 255, 255, 255}));
    EXPECT_EQ(image.pixel(100, 195), (Pixel {0, 0, 255, 255})) << "row 48.75 has a speed";
    EXPECT_EQ(image.pixel(100, 196), (Pixel {255, 255, 255, 255})) << "last sample row must be white";
    EXPECT_EQ(image.pixel(399, 199), (Pixel {255, 255, 255, 255}));
}

TEST_F(FlowViewBackgroundGLTest, ShowsAnEditedTransferFunctionAtTheNextDraw)
{
    // Speed 1 everywhere but one sample of speed 2: t = 0.5 almost everywhere.
    std::vector<RegularSample> samples(100 * 50, RegularSample {1.0f, 0.0f, 0.0f, 1.0f});
    samples[0] = RegularSample {2.0f, 0.0f, 0.0f, 2.0f};
    tvl::test::setRegularGrid(flow, 100, 50, 0, samples, {}, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    TransferFunction transfer(ClientRect {0, 0, 100, 20});
    const std::shared_ptr<const ColorTable> table = transfer.colorTable();
    SpeedCoder coder(flow, table);

    view->drawBackground(coder);
    const Pixel before = canvas.read().pixel(200, 100);
    EXPECT_EQ(before, rgba(table->entry(50))) << "t = 0.5 shows entry 50";

    transfer.setPointColor(0, Rgb {255, 0, 0});
    canvas.clear();
    view->drawBackground(coder);
    const Pixel after = canvas.read().pixel(200, 100);
    EXPECT_EQ(after, rgba(table->entry(50))) << "the redraw must show the edited table";
    EXPECT_NE(after, before) << "recolouring the left end point must change the middle of the ramp";
}

TEST_F(FlowViewBackgroundGLTest, FollowsTheZoomedRegion)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    view->zoomToWindowRect(100.0f, 150.0f, 300.0f, 50.0f);
    RecordingCoder coder(flow, rampTable());
    view->drawBackground(coder);
    ASSERT_EQ(coder.points.size(), 400u * 200u) << "the zoomed viewport keeps its size";
    EXPECT_EQ(coder.points[0].x, 25.0f) << "sampling starts at the zoomed region's corner";
    EXPECT_EQ(coder.points[0].y, 12.5f);
    EXPECT_EQ(coder.points[4].x, 25.5f) << "zooming samples finer than the grid";
}

TEST_F(FlowViewBackgroundGLTest, SpeedImageEqualsOneColorAtPerPixel)
{
    // The speed coder's image is built without a virtual call per pixel; it
    // must be byte for byte what colorAt per pixel gives, edge cases included.
    auto compare = [&](const std::shared_ptr<const ColorTable>& table, const char* what) {
        SpeedCoder fast(flow, table);
        PlainSpeedCoder plain(flow, table);
        const std::size_t bytes
            = 4u * static_cast<std::size_t>(view->viewportWidth()) * static_cast<std::size_t>(view->viewportHeight());
        std::vector<std::uint8_t> expected(bytes, 7);
        std::vector<std::uint8_t> actual(bytes, 9);
        view->fillBackgroundImage(plain, expected.data());
        view->fillBackgroundImage(fast, actual.data());
        ASSERT_GT(bytes, 0u);
        std::size_t differing = 0;
        for (std::size_t k = 0; k < bytes; ++k)
            differing += expected[k] != actual[k];
        EXPECT_EQ(differing, 0u) << what << ": bytes differ from colorAt per pixel";
    };

    FlowSpec gyre;
    gyre.flow = FlowKind::DoubleGyre;
    gyre.grid = GridKind::Curvilinear;
    gyre.width = 61;
    gyre.height = 41;
    gyre.x1 = 3.0f;
    gyre.y1 = 2.0f;
    ASSERT_TRUE(flow.loadNodes(makeFlow(gyre)));
    show(317, 263);
    compare(rampTable(), "double gyre, whole region");
    compare(fineTable(), "double gyre, one entry per 2^-24 of t");
    TransferFunction transfer(ClientRect {0, 0, 37, 10});
    compare(transfer.colorTable(), "double gyre, 37 entries");
    compare(std::make_shared<ColorTable>(1), "one entry");
    compare(std::make_shared<ColorTable>(0), "empty table");
    view->zoomToWindowRect(31.0f, 200.0f, 250.0f, 17.0f);
    compare(rampTable(), "double gyre, zoomed");

    // Speeds at and beyond the maximum, below zero, and NaN.
    std::vector<RegularSample> samples;
    for (int r = 0; r < 20; ++r)
        for (int c = 0; c < 30; ++c) {
            const float speed = static_cast<float>((c * 7 + r * 3) % 11) - 3.0f;
            samples.push_back({1.0f, 0.0f, 0.0f, speed});
        }
    samples[5 * 30 + 5].speed = std::numeric_limits<float>::quiet_NaN();
    tvl::test::setRegularGrid(flow, 30, 20, 0, samples, {}, {0.0f, 0.0f, 0.0f}, {3.0f, 2.0f, 0.0f});
    show(300, 200);
    compare(rampTable(), "speeds at the maximum, negative and NaN");
    // Four pixels per cell put pixels exactly on the samples: t = 1 at the
    // fastest, one past the last entry.
    show(120, 80);
    compare(rampTable(), "pixels on the samples");
    compare(fineTable(), "pixels on the samples, fine table");

    // A data set at rest: every t is 0 / 0.
    tvl::test::setRegularGrid(
        flow, 30, 20, 0, std::vector<RegularSample>(600), {}, {0.0f, 0.0f, 0.0f}, {3.0f, 2.0f, 0.0f});
    show(300, 200);
    compare(rampTable(), "zero maximum speed");
}

TEST_F(FlowViewBackgroundGLTest, DrawsNothingInAnEmptyViewport)
{
    test::setUniformFlow(flow, 100, 50, 1.0f, 0.0f, {0.0f, 0.0f, 0.0f}, {2.0f, 1.0f, 0.0f});
    show(400, 200);
    view->setCanvasSize(0, 0);
    RecordingCoder coder(flow, rampTable());
    view->drawBackground(coder);
    EXPECT_TRUE(coder.points.empty()) << "an empty viewport has no pixels to sample";
    EXPECT_EQ(view->imagePixelCount(), 0);
    EXPECT_FALSE(view->holdsImage());
}

} // namespace
} // namespace tvl
