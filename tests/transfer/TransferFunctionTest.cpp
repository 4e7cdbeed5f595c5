#include "transfer/TransferFunction.h"

#include "transfer/ColorTable.h"
#include "transfer/TransferPreset.h"

#include <gtest/gtest.h>

#include <array>
#include <string_view>

namespace tvl {
namespace {

constexpr int kBottom = 18;

const TransferPreset& preset(std::string_view menuText)
{
    for (const TransferPreset& p : kTransferPresets)
        if (p.menuText == menuText)
            return p;
    ADD_FAILURE() << "no preset named " << menuText;
    return kTransferPresets[0];
}

Rgb entry(TransferFunction& tf, int i)
{
    return tf.colorTable()->entry(i);
}

int columnOf(const TransferFunction& tf, Rgb colour)
{
    for (int s = 0; s < tf.pointCount(); ++s)
        if (tf.point(s).colour() == colour)
            return tf.point(s).column();
    return -1;
}

// Slots from the point count on are free: their own slot number as key, no
// rectangle, black. Live slots are sorted by column.
::testing::AssertionResult slotsInOrder(const TransferFunction& tf)
{
    for (int s = 1; s < tf.pointCount(); ++s)
        if (tf.point(s - 1).column() > tf.point(s).column())
            return ::testing::AssertionFailure() << "slot " << s << " is out of order";
    for (int s = tf.pointCount(); s < TransferFunction::kMaxPoints; ++s) {
        const ControlPoint& p = tf.point(s);
        if (p.key != s || p.left != 0 || p.right != 0 || p.top != 0 || p.bottom != 0 || p.colour() != Rgb {})
            return ::testing::AssertionFailure() << "free slot " << s << " has key " << p.key << ", left " << p.left;
    }
    return ::testing::AssertionSuccess();
}

TEST(TransferFunctionTest, DefaultSetUpWaitsForTheFirstOperationAndIsTheExactGreyRamp)
{
    TransferFunction tf(ClientRect {0, 0, 255, kBottom});
    EXPECT_TRUE(!tf.isInitialized() && tf.pointCount() == 0 && tf.hitTest(-100, -100) == TransferFunction::kNoPoint);
    ASSERT_EQ(tf.pointCount(), 2) << "the first operation runs the set-up";
    ASSERT_EQ(tf.colorTable()->entryCount(), 255) << "one entry per strip pixel column";
    for (int i = 0; i < 255; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        ASSERT_EQ(entry(tf, i), (Rgb {v, v, v})) << "an increment of exactly 1.0 gives (i, i, i) at " << i;
    }
    const ControlPoint &left = tf.point(0), &right = tf.point(1);
    EXPECT_EQ(
        (std::array {left.key, left.left, right.key, right.right, right.bottom}), (std::array {0, -10, 1, 265, 18}))
        << "end points keyed 0 and 1, the right one a column past the last entry";
    EXPECT_TRUE(left.colour() == Rgb {} && right.colour() == (Rgb {255, 255, 255}) && slotsInOrder(tf));
    tf.setPointColor(1, std::uint32_t {0x000000ff});
    EXPECT_EQ(tf.point(1).colour(), (Rgb {255, 0, 0}));
    EXPECT_EQ(entry(tf, 254), (Rgb {254, 0, 0})) << "the right end colour is never stored, but bends the ramp";
    tf.setPointColor(0, std::uint32_t {0x0000ff00});
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 255, 0}));
    tf.setPointColor(0, std::uint32_t {0x00ff0000});
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 0, 255}));
}

TEST(TransferFunctionTest, PresetsReplaceEveryPointWithTheMiddleOneAtHalfTheWidth)
{
    TransferFunction tf(ClientRect {0, 0, 100, kBottom});
    const std::uint8_t* storage = tf.colorTable()->data();
    for (int x = 10; x < 100; x += 10)
        tf.addPoint(x, 10, 20, 30);
    tf.applyPreset(preset("Blue-Green-Red"));
    ASSERT_EQ(tf.pointCount(), 3);
    EXPECT_EQ((std::array {tf.point(1).column(), tf.point(2).column(), tf.point(2).key}), (std::array {50, 100, 1}))
        << "the right end point keeps key 1 wherever sorting puts it";
    EXPECT_TRUE(slotsInOrder(tf));
    // Increments of 255 / 50 = 5.1 as floats, truncated; entry 99 close to but not red.
    EXPECT_EQ((std::array {entry(tf, 0), entry(tf, 50), entry(tf, 51), entry(tf, 99)}),
        (std::array<Rgb, 4> {{{0, 0, 255}, {0, 255, 0}, {5, 249, 0}, {249, 5, 0}}}));
    EXPECT_EQ(tf.colorTable()->data(), storage) << "edits rewrite the table in place";

    tf.applyPreset(preset("Blue-Yellow"));
    EXPECT_EQ(tf.pointCount(), 2);
    EXPECT_EQ(entry(tf, 50), (Rgb {127, 127, 127})) << "half way from blue to yellow, truncated";
    const Rgb four[] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    tf.applyPreset(four, 4);
    EXPECT_EQ(tf.point(1).colour(), (Rgb {255, 255, 0})) << "a preset of 4 colours is ignored";
    EXPECT_TRUE(slotsInOrder(tf));

    TransferFunction odd(ClientRect {0, 0, 101, kBottom});
    odd.applyPreset(preset("Black-Orange-Yellow"));
    EXPECT_EQ(odd.point(1).column(), 50) << "101 / 2 truncates to 50";
    EXPECT_EQ(entry(odd, 50), (Rgb {218, 141, 0}));
    TransferFunction empty(ClientRect {10, 0, 0, kBottom});
    empty.applyPreset(preset("Blue-Green-Red"));
    EXPECT_TRUE(empty.colorTable()->entryCount() == 0 && empty.pointCount() == 3) << "a strip without width";
}

TEST(TransferFunctionTest, EditsKeepThePointsSortedAndRepaintOnce)
{
    int repaints = 0;
    TransferFunction tf(ClientRect {0, 0, 300, kBottom});
    tf.setRepaintCallback([&repaints] { ++repaints; });
    tf.ensureInitialized();
    tf.addPoint(200, 255, 0, 0);
    tf.addPoint(100, 0, 255, 0);
    EXPECT_EQ((std::array {tf.point(1).column(), tf.point(1).key, tf.point(1).bottom, repaints}),
        (std::array {100, 3, kBottom, 2}))
        << "sorted in, with the key of the slot it went into";
    EXPECT_EQ(entry(tf, 150), (Rgb {127, 127, 0})) << "linear between the two added points";

    tf.movePoint(1, 250);
    EXPECT_TRUE(tf.point(2).colour() == (Rgb {0, 255, 0}) && entry(tf, 250) == (Rgb {0, 255, 0})
        && tf.hitTest(100, 5) == TransferFunction::kNoPoint)
        << "the moved point sorts after the red one, and the ramp follows";
    tf.removePoint(2);
    EXPECT_EQ(entry(tf, 250), (Rgb {255, 127, 127})) << "the ramp runs from red to white again";
    tf.setPointColor(1, Rgb {1, 2, 3});
    EXPECT_EQ(repaints, 5) << "move, remove and recolour repaint once each";

    for (int endPoint : {0, tf.pointCount() - 1}) {
        tf.movePoint(endPoint, 50);
        tf.removePoint(endPoint);
    }
    tf.movePoint(7, 30);
    EXPECT_EQ(repaints, 5) << "end points stay and slots out of range are ignored, without a repaint";
    EXPECT_EQ(tf.point(tf.pointCount() - 1).column(), 300);

    for (int x = 5; tf.pointCount() < TransferFunction::kMaxPoints; x += 9)
        tf.addPoint(x, 1, 2, 3);
    const int before = repaints;
    tf.addPoint(290, 99, 99, 99);
    EXPECT_TRUE(tf.pointCount() == 30 && columnOf(tf, {99, 99, 99}) < 0 && slotsInOrder(tf)) << "a 31st is refused";
    EXPECT_EQ(repaints, before + 1) << "the refused add still repaints";
}

TEST(TransferFunctionTest, HitRectanglesAreHalfOpen)
{
    TransferFunction tf(ClientRect {0, 0, 200, kBottom});
    tf.addPoint(100, 255, 0, 0);
    const int slot = tf.hitTest(100, 5);
    ASSERT_EQ(slot, 1);
    for (const auto& [x, y, hit] : {std::tuple {90, 5, slot}, {109, 5, slot}, {110, 5, -1}, {100, 0, slot},
             {100, kBottom - 1, slot}, {100, kBottom, -1}, {100, -1, -1}, {-10, 5, 0}, {199, 5, 2}})
        EXPECT_EQ(tf.hitTest(x, y), hit) << "at " << x << ", " << y;
    tf.addPoint(105, 0, 255, 0);
    EXPECT_EQ(tf.hitTest(104, 5), slot) << "overlapping points: the first in sorted order wins";
}

} // namespace
} // namespace tvl
