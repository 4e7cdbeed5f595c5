#include "view/AdditionalDataCoder.h"

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "transfer/ColorTable.h"

#include <gtest/gtest.h>

#include <functional>
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

using ValueOf = std::function<float(int c, int r)>;

// An 11 x 11 regular grid at rest with one additional value plane per function.
void setValues(FlowData& flow, const std::vector<ValueOf>& planes)
{
    const int n = 11;
    std::vector<float> values;
    for (const ValueOf& valueOf : planes) {
        for (int r = 0; r < n; ++r) {
            for (int c = 0; c < n; ++c)
                values.push_back(valueOf(c, r));
        }
    }
    tvl::test::setRegularGrid(flow, n, n, int(planes.size()), std::vector<RegularSample>(std::size_t(n * n)),
        std::move(values), Vector3 {0, 0, 0}, Vector3 {1, 1, 0});
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

// Value 0: the column, 0 .. 10. Value 1: -1 + 0.4 * row, -1 .. 3, so 0.0
// normalises to 0.25. Value 2: 1 + column, 1 .. 11, so 0.0 normalises below 0.
const std::vector<ValueOf> kPlanes = {
    [](int c, int) { return static_cast<float>(c); },
    [](int, int r) { return -1.0f + 0.4f * static_cast<float>(r); },
    [](int c, int) { return 1.0f + static_cast<float>(c); },
};

TEST(AdditionalDataCoderTest, ValueOverItsRangePicksTheEntry)
{
    FlowData flow;
    setValues(flow, kPlanes);
    AdditionalDataCoder column(flow, indexTable(101), 0);
    const Colour c = colourAt(column, 5.0f, 7.5f);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.rgba[0], 50) << "value 5 in 0 .. 10 gives t = 0.5, entry trunc(50.5)";

    AdditionalDataCoder row(flow, indexTable(101), 1);
    const Colour r = colourAt(row, 2.0f, 7.0f);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.rgba[0], 70) << "value 1.8 in -1 .. 3 gives t = 0.7, entry trunc(70.7)";
}

TEST(AdditionalDataCoderTest, OutsideTheGridValueZeroIsStillColoured)
{
    FlowData flow;
    setValues(flow, kPlanes);
    AdditionalDataCoder row(flow, indexTable(101), 1);
    const Colour outside = colourAt(row, 10.0f, 20.0f);
    ASSERT_TRUE(outside.ok) << "outside the grid the value is 0.0, which lies inside -1 .. 3";
    EXPECT_EQ(outside.rgba[0], 25) << "(0 - -1) / 4 = 0.25, entry trunc(25.25)";

    AdditionalDataCoder shifted(flow, indexTable(101), 2);
    EXPECT_TRUE(isWhiteFailure(colourAt(shifted, -5.0f, 3.0f))) << "0.0 below the range 1 .. 11 has no entry";
}

TEST(AdditionalDataCoderTest, ValueIndexTheDataSetLacksGivesWhite)
{
    FlowData flow;
    setValues(flow, kPlanes);
    AdditionalDataCoder negative(flow, indexTable(101), -1);
    EXPECT_TRUE(isWhiteFailure(colourAt(negative, 3.0f, 3.0f))) << "value index -1";
    AdditionalDataCoder beyond(flow, indexTable(101), 3);
    EXPECT_TRUE(isWhiteFailure(colourAt(beyond, 3.0f, 3.0f))) << "value index 3 of 3 values";

    AdditionalDataCoder last(flow, indexTable(101), 2);
    ASSERT_TRUE(colourAt(last, 3.0f, 3.0f).ok);
    setValues(flow, {kPlanes[0]});
    EXPECT_TRUE(isWhiteFailure(colourAt(last, 3.0f, 3.0f))) << "a reload with fewer values must not be read past";
    EXPECT_TRUE(isWhiteFailure(colourAt(last, 30.0f, 3.0f))) << "not even outside the grid";
}

TEST(AdditionalDataCoderTest, ConstantValueHasNoColour)
{
    FlowData flow;
    setValues(flow, {[](int, int) { return 3.0f; }});
    ASSERT_EQ(flow.getValueRange(0), 0.0f);
    AdditionalDataCoder coder(flow, indexTable(101), 0);
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 3.0f, 3.0f))) << "0 / 0 inside the grid must show white";
    EXPECT_TRUE(isWhiteFailure(colourAt(coder, 30.0f, 3.0f))) << "-3 / 0 outside the grid must show white";
}

TEST(AdditionalDataCoderTest, MaximumValueTakesTheLastEntry)
{
    FlowData flow;
    setValues(flow, {[](int c, int r) { return c == 4 && r == 4 ? 8.0f : 0.0f; }});
    AdditionalDataCoder coder(flow, indexTable(101), 0);
    const Colour peak = colourAt(coder, 4.0f, 4.0f);
    ASSERT_TRUE(peak.ok) << "the maximum must not fall off the table";
    EXPECT_EQ(peak.rgba[0], 100);
}

} // namespace
} // namespace tvl
