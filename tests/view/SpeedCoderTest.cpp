#include "view/SpeedCoder.h"

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "transfer/ColorTable.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace tvl {
namespace {

// Entry i is (i, 255 - i, 77), so the red byte names the entry that was read.
std::shared_ptr<ColorTable> indexTable(int count)
{
    auto table = std::make_shared<ColorTable>(count);
    for (int i = 0; i < count; ++i)
        table->setEntry(i, Rgb {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 77});
    return table;
}

// An 11 x 11 regular grid whose sample speeds are given per sample; the
// velocity points along +x with that speed.
template <typename SpeedOf> void setSpeeds(FlowData& flow, SpeedOf speedOf)
{
    const int n = 11;
    std::vector<RegularSample> samples(std::size_t(n * n));
    for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) {
            const float s = speedOf(c, r);
            samples[std::size_t(r * n + c)] = RegularSample {s, 0.0f, 0.0f, s};
        }
    }
    tvl::test::setRegularGrid(flow, n, n, 0, std::move(samples), {}, Vector3 {0, 0, 0}, Vector3 {1, 1, 0});
}

struct Colour {
    bool ok;
    std::uint8_t rgba[4];
};

Colour colourAt(const DataCoder& coder, float gx, float gy)
{
    Colour c {false, {1, 2, 3, 4}};
    c.ok = coder.colorAt(Vector3 {gx, gy, 0.0f}, c.rgba);
    return c;
}

bool isWhiteFailure(const Colour& c)
{
    return !c.ok && c.rgba[0] == 255 && c.rgba[1] == 255 && c.rgba[2] == 255 && c.rgba[3] == 255;
}

TEST(SpeedCoderTest, SpeedOverMaximumPicksTheEntry)
{
    FlowData flow;
    // Speed grows with the column; the peak of 10 sits at an interior sample.
    setSpeeds(flow, [](int c, int r) { return c == 5 && r == 5 ? 10.0f : 0.5f * static_cast<float>(c); });
    ASSERT_EQ(flow.getMaxSpeed(), 10.0f);
    SpeedCoder coder(flow, indexTable(101));

    Colour half = colourAt(coder, 2.0f, 8.0f);
    ASSERT_TRUE(half.ok) << "inside the grid a speed exists";
    EXPECT_EQ(half.rgba[0], 10) << "speed 1 of 10 gives t = 0.1 and entry trunc(10.1)";
    EXPECT_EQ(half.rgba[3], 255);

    Colour blended = colourAt(coder, 6.5f, 1.0f);
    ASSERT_TRUE(blended.ok);
    EXPECT_EQ(blended.rgba[0], 32) << "speed 3.25 blended between columns 6 and 7, 101 * 0.325 = 32.8";

    Colour peak = colourAt(coder, 5.0f, 5.0f);
    ASSERT_TRUE(peak.ok) << "the maximum speed must not fall off the table";
    EXPECT_EQ(peak.rgba[0], 100) << "t = 1 takes the last entry";
}

TEST(SpeedCoderTest, PointsOutsideTheGridAreWhite)
{
    FlowData flow;
    setSpeeds(flow, [](int c, int) { return 1.0f + static_cast<float>(c); });
    SpeedCoder coder(flow, indexTable(101));

    const Colour extrapolated = colourAt(coder, -0.5f, 3.0f);
    ASSERT_TRUE(extrapolated.ok) << "-0.5 truncates to column 0 and is inside";
    EXPECT_EQ(extrapolated.rgba[0], 4) << "speed 0.5 extrapolated from cell 0, 101 * 0.5 / 11 = 4.6";
    EXPECT_TRUE(colourAt(coder, 9.99f, 9.99f).ok) << "the last cell before the last sample is inside";
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 10.0f, 3.0f))) << "the last sample column is outside";
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 3.0f, 10.0f))) << "the last sample row is outside";
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, -1.0f, 3.0f)));
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 3.0f, -1.0f)));
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, std::numeric_limits<float>::quiet_NaN(), 3.0f)));
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 3.0f, 1e20f)));
}

TEST(SpeedCoderTest, StillFlowHasNoColour)
{
    FlowData flow;
    setSpeeds(flow, [](int, int) { return 0.0f; });
    ASSERT_EQ(flow.getMaxSpeed(), 0.0f);
    SpeedCoder coder(flow, indexTable(101));
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 3.0f, 3.0f))) << "0 / 0 has no entry; it must show white";
}

TEST(SpeedCoderTest, UnloadedDataSetHasNoValues)
{
    FlowData flow;
    SpeedCoder coder(flow, indexTable(101));
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 0.0f, 0.0f))) << "an empty grid has no inside point";
}

} // namespace
} // namespace tvl
