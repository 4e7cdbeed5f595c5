#include "view/DataCoder.h"

#include "flow/FlowData.h"
#include "transfer/ColorTable.h"
#include "transfer/TransferFunction.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

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

// A coder whose normalised value the test sets directly.
class FixedCoder : public DataCoder {
public:
    FixedCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
        : DataCoder(flow, std::move(table))
    {
    }
    bool normalizedValue(const Vector3&, float& t) const override
    {
        if (hasValue)
            t = value;
        return hasValue;
    }
    float value = 0.0f;
    bool hasValue = true;
};

struct Colour {
    bool ok;
    std::uint8_t rgba[4];
};

Colour colourFor(FixedCoder& coder, float t, bool hasValue = true)
{
    coder.value = t;
    coder.hasValue = hasValue;
    Colour c {false, {1, 2, 3, 4}};
    c.ok = coder.colorAt(Vector3 {}, c.rgba);
    return c;
}

::testing::AssertionResult isEntry(const Colour& c, int i)
{
    if (!c.ok)
        return ::testing::AssertionFailure() << "colorAt failed where entry " << i << " was expected";
    if (c.rgba[0] != i || c.rgba[1] != 255 - i || c.rgba[2] != 77 || c.rgba[3] != 255)
        return ::testing::AssertionFailure() << "got (" << int(c.rgba[0]) << ", " << int(c.rgba[1]) << ", "
                                             << int(c.rgba[2]) << ", " << int(c.rgba[3]) << "), not entry " << i;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult isWhiteFailure(const Colour& c)
{
    if (c.ok)
        return ::testing::AssertionFailure() << "colorAt reported success";
    for (std::uint8_t byte : c.rgba) {
        if (byte != 255)
            return ::testing::AssertionFailure() << "the failure colour is not opaque white";
    }
    return ::testing::AssertionSuccess();
}

TEST(DataCoderTest, BaseCoderGivesTheFirstEntryEverywhere)
{
    FlowData flow;
    DataCoder coder(flow, indexTable(101));
    std::uint8_t rgba[4] = {0, 0, 0, 0};
    ASSERT_TRUE(coder.colorAt(Vector3 {-1e6f, 3.0f, 0.0f}, rgba)) << "the base value 0 exists at every point";
    EXPECT_EQ(rgba[0], 0);
    EXPECT_EQ(rgba[1], 255);
    EXPECT_EQ(rgba[3], 255) << "alpha must be opaque";
    EXPECT_EQ(coder.entryCount(), 101);
}

TEST(DataCoderTest, IndexIsTheTruncatedProductOfCountAndValue)
{
    FlowData flow;
    FixedCoder coder(flow, indexTable(101));
    EXPECT_TRUE(isEntry(colourFor(coder, 0.5f), 50)) << "101 * 0.5 = 50.5 truncates to 50";
    EXPECT_TRUE(isEntry(colourFor(coder, 0.0f), 0));
    EXPECT_TRUE(isEntry(colourFor(coder, 0.999f), 100));
    EXPECT_TRUE(isEntry(colourFor(coder, -0.005f), 0)) << "-0.505 truncates toward zero, to entry 0";
}

TEST(DataCoderTest, TopOfTheRangeTakesTheLastEntry)
{
    FlowData flow;
    FixedCoder coder(flow, indexTable(101));
    EXPECT_TRUE(isEntry(colourFor(coder, 1.0f), 100)) << "t = 1 must not read one past the table";
    EXPECT_TRUE(isEntry(colourFor(coder, 1.009f), 100)) << "101.9 truncates to the entry count itself";
}

TEST(DataCoderTest, OutOfRangeOrMissingValuesGiveOpaqueWhite)
{
    FlowData flow;
    FixedCoder coder(flow, indexTable(101));
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, 0.5f, false))) << "no value at the point";
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, -0.01f))) << "index -1";
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, 1.01f))) << "index 102, above the entry count";
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, 1e30f))) << "an index beyond 32 bits";
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, -1e30f)));
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, std::numeric_limits<float>::quiet_NaN())));
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, std::numeric_limits<float>::infinity())));
    EXPECT_TRUE(isWhiteFailure(colourFor(coder, -std::numeric_limits<float>::infinity())));

    FixedCoder empty(flow, indexTable(0));
    EXPECT_TRUE(isWhiteFailure(colourFor(empty, 0.0f))) << "an empty table has no entry to give";
    EXPECT_TRUE(isWhiteFailure(colourFor(empty, 1.0f)));
}

TEST(DataCoderTest, CoderSeesTransferFunctionEditsAndKeepsItsTableAlive)
{
    FlowData flow;
    auto tf = std::make_unique<TransferFunction>(ClientRect {0, 0, 100, 18});
    FixedCoder coder(flow, tf->colorTable());

    Colour before = colourFor(coder, 1.0f);
    ASSERT_TRUE(before.ok);
    EXPECT_EQ(before.rgba[0], 252) << "the default ramp's last entry is 99 * 2.55";

    tf->setPointColor(1, Rgb {0, 0, 0});
    Colour after = colourFor(coder, 1.0f);
    ASSERT_TRUE(after.ok);
    EXPECT_EQ(after.rgba[0], 0) << "the next colorAt must see the recoloured ramp without a rebuild of the coder";

    tf->setPointColor(1, Rgb {255, 0, 0});
    tf.reset();
    Colour orphan = colourFor(coder, 1.0f);
    ASSERT_TRUE(orphan.ok);
    EXPECT_EQ(orphan.rgba[0], 252) << "the coder's table must outlive the transfer function";
    EXPECT_EQ(orphan.rgba[1], 0);
}

} // namespace
} // namespace tvl
