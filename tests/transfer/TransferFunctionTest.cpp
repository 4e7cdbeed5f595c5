#include "transfer/TransferFunction.h"

#include "transfer/ColorTable.h"
#include "transfer/TransferPreset.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string_view>

namespace tvl {
namespace {

constexpr int kTop = 0;
constexpr int kBottom = 18;

ClientRect strip(int width)
{
    return {0, kTop, width, kBottom};
}

const TransferPreset& preset(std::string_view menuText)
{
    for (const TransferPreset& p : kTransferPresets) {
        if (p.menuText == menuText)
            return p;
    }
    ADD_FAILURE() << "no preset named " << menuText;
    return kTransferPresets[0];
}

Rgb entry(TransferFunction& tf, int i)
{
    return tf.colorTable()->entry(i);
}

::testing::AssertionResult isDefaultRamp(TransferFunction& tf)
{
    const auto table = tf.colorTable();
    const int n = table->entryCount();
    for (int i = 0; i < n; ++i) {
        const Rgb e = table->entry(i);
        // Black to white over n entries: the increment is 255 / n per entry.
        const float expected = 255.0f / static_cast<float>(n) * static_cast<float>(i);
        if (std::abs(float(e.r) - expected) > 1.0f || e.r != e.g || e.g != e.b)
            return ::testing::AssertionFailure()
                << "entry " << i << " is (" << int(e.r) << ", " << int(e.g) << ", " << int(e.b) << ")";
    }
    return ::testing::AssertionSuccess();
}

// Every slot from the point count on must be free: own slot number as key,
// zero rectangle, black.
::testing::AssertionResult freeSlotsAreReset(const TransferFunction& tf)
{
    for (int s = tf.pointCount(); s < TransferFunction::kMaxPoints; ++s) {
        const ControlPoint& p = tf.point(s);
        if (p.key != s || p.left != 0 || p.top != 0 || p.right != 0 || p.bottom != 0 || p.colour() != Rgb {})
            return ::testing::AssertionFailure()
                << "free slot " << s << " has key " << p.key << ", left " << p.left << ", colour (" << int(p.red)
                << ", " << int(p.green) << ", " << int(p.blue) << ")";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult liveSortedByColumn(const TransferFunction& tf)
{
    for (int s = 1; s < tf.pointCount(); ++s) {
        if (tf.point(s - 1).column() > tf.point(s).column())
            return ::testing::AssertionFailure() << "slot " << s - 1 << " at column " << tf.point(s - 1).column()
                                                 << " before slot " << s << " at " << tf.point(s).column();
    }
    return ::testing::AssertionSuccess();
}

TEST(TransferFunctionTest, ConstructionDefersTheDefaultSetUpToTheFirstOperation)
{
    TransferFunction tf(strip(255));
    EXPECT_FALSE(tf.isInitialized()) << "the set-up must wait for the first operation";
    EXPECT_EQ(tf.pointCount(), 0);
    for (int s = 0; s < TransferFunction::kMaxPoints; ++s)
        EXPECT_EQ(tf.point(s).key, s) << "constructor keys each slot with its number";

    EXPECT_EQ(tf.hitTest(-100, -100), TransferFunction::kNoPoint);
    EXPECT_TRUE(tf.isInitialized()) << "hitTest must run the default set-up";
    EXPECT_EQ(tf.pointCount(), 2);
}

TEST(TransferFunctionTest, DefaultSetUpOn255PixelsIsTheExactGreyRamp)
{
    TransferFunction tf(strip(255));
    const auto table = tf.colorTable();
    ASSERT_EQ(table->entryCount(), 255) << "one entry per strip pixel column";
    for (int i = 0; i < 255; ++i) {
        const auto v = static_cast<std::uint8_t>(i);
        EXPECT_EQ(table->entry(i), (Rgb {v, v, v})) << "increment 1.0 must give (i, i, i) at entry " << i;
    }
    const ControlPoint& left = tf.point(0);
    const ControlPoint& right = tf.point(1);
    EXPECT_EQ(left.key, 0);
    EXPECT_EQ(right.key, 1);
    EXPECT_EQ(left.column(), 0);
    EXPECT_EQ(right.column(), 255) << "the right end point sits one past the last entry";
    EXPECT_EQ(left.left, -10);
    EXPECT_EQ(right.right, 265);
    EXPECT_EQ(right.top, kTop);
    EXPECT_EQ(right.bottom, kBottom);
    EXPECT_EQ(left.colour(), (Rgb {0, 0, 0}));
    EXPECT_EQ(right.colour(), (Rgb {255, 255, 255}));
    EXPECT_TRUE(freeSlotsAreReset(tf));
}

TEST(TransferFunctionTest, TableStorageIsAllocatedOnceAndRewrittenInPlace)
{
    TransferFunction tf(strip(100));
    const auto before = tf.colorTable();
    const std::uint8_t* bytes = before->data();
    tf.addPoint(40, 255, 0, 0);
    tf.applyPreset(preset("Blue-Yellow"));
    tf.setClientRect(strip(300));
    tf.applyPreset(preset("Black-White"));
    const auto after = tf.colorTable();
    EXPECT_EQ(after.get(), before.get()) << "edits must not replace the table object";
    EXPECT_EQ(after->data(), bytes) << "edits must not move the table storage";
    EXPECT_EQ(after->entryCount(), 100) << "the entry count is fixed at set-up";
}

TEST(TransferFunctionTest, ThreeColourPresetsPutTheMiddlePointAtHalfTheWidth)
{
    TransferFunction tf(strip(100));
    tf.applyPreset(preset("Blue-Green-Red"));
    ASSERT_EQ(tf.pointCount(), 3);
    EXPECT_EQ(tf.point(0).column(), 0);
    EXPECT_EQ(tf.point(1).column(), 50) << "sorting must bring the middle point between the ends";
    EXPECT_EQ(tf.point(2).column(), 100);
    EXPECT_EQ(tf.point(2).key, 1) << "the right end point keeps key 1 wherever sorting puts it";
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 0, 255}));
    EXPECT_EQ(entry(tf, 50), (Rgb {0, 255, 0})) << "the middle point's column carries exactly its colour";
    EXPECT_EQ(entry(tf, 51), (Rgb {5, 249, 0})) << "increments of 255 / 50 = 5.1 as floats, truncated";
    const Rgb last = entry(tf, 99);
    EXPECT_NE(last, (Rgb {255, 0, 0})) << "the last point's colour lies one past the table";
    EXPECT_GE(last.r, 248) << "49 steps of 5.1 from green towards red";
    EXPECT_LE(last.g, 6) << "49 steps of -5.1 from 255";
    EXPECT_EQ(last.b, 0);

    TransferFunction odd(strip(101));
    odd.applyPreset(preset("Black-Orange-Yellow"));
    ASSERT_EQ(odd.pointCount(), 3);
    EXPECT_EQ(odd.point(1).column(), 50) << "101 / 2 truncates to 50";
    EXPECT_EQ(odd.point(1).colour(), (Rgb {218, 141, 0}));
    EXPECT_EQ(entry(odd, 50), (Rgb {218, 141, 0}));
}

TEST(TransferFunctionTest, PresetReplacesEveryPointAndResetsTheSlots)
{
    TransferFunction tf(strip(200));
    for (int x = 20; x < 200; x += 20)
        tf.addPoint(x, 10, 20, 30);
    ASSERT_EQ(tf.pointCount(), 11);

    tf.applyPreset(preset("Blue-Yellow"));
    EXPECT_EQ(tf.pointCount(), 2);
    EXPECT_EQ(tf.point(0).key, 0);
    EXPECT_EQ(tf.point(1).key, 1);
    EXPECT_EQ(tf.point(1).colour(), (Rgb {255, 255, 0}));
    EXPECT_TRUE(freeSlotsAreReset(tf));
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 0, 255}));
    EXPECT_EQ(entry(tf, 100), (Rgb {127, 127, 127})) << "half way from blue to yellow, truncated";

    const Rgb four[] = {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {4, 4, 4}};
    tf.applyPreset(four, 4);
    EXPECT_EQ(tf.pointCount(), 2) << "a colour count other than 2 or 3 must be ignored";
    EXPECT_EQ(tf.point(1).colour(), (Rgb {255, 255, 0}));
}

TEST(TransferFunctionTest, AddPointSortsAndStopsAtThirtyPoints)
{
    int repaints = 0;
    TransferFunction tf(strip(300));
    tf.setRepaintCallback([&repaints] { ++repaints; });

    tf.addPoint(200, 255, 0, 0);
    tf.addPoint(100, 0, 255, 0);
    ASSERT_EQ(tf.pointCount(), 4);
    EXPECT_TRUE(liveSortedByColumn(tf));
    EXPECT_EQ(tf.point(1).column(), 100);
    EXPECT_EQ(tf.point(1).key, 3) << "an added point takes over the key of the slot it was added into";
    EXPECT_EQ(tf.point(1).top, kTop) << "top and bottom come from the strip";
    EXPECT_EQ(tf.point(1).bottom, kBottom);
    EXPECT_EQ(entry(tf, 100), (Rgb {0, 255, 0}));
    EXPECT_EQ(entry(tf, 200), (Rgb {255, 0, 0}));
    EXPECT_EQ(entry(tf, 150), (Rgb {127, 127, 0})) << "linear between the two added points";

    for (int x = 5; tf.pointCount() < TransferFunction::kMaxPoints; x += 9)
        tf.addPoint(x, 1, 2, 3);
    ASSERT_EQ(tf.pointCount(), 30);
    const int before = repaints;
    tf.addPoint(290, 99, 99, 99);
    EXPECT_EQ(tf.pointCount(), 30) << "a 31st point must be refused";
    EXPECT_EQ(repaints, before + 1) << "the refused add still repaints";
    for (int s = 0; s < tf.pointCount(); ++s)
        EXPECT_NE(tf.point(s).colour(), (Rgb {99, 99, 99})) << "the refused point's colour must not appear";
    EXPECT_TRUE(liveSortedByColumn(tf));
}

TEST(TransferFunctionTest, RemovingAPointRestoresTheRampAndFreesItsSlots)
{
    TransferFunction tf(strip(255));
    tf.addPoint(60, 255, 0, 0);
    tf.addPoint(120, 0, 0, 255);
    tf.addPoint(180, 0, 255, 0);
    ASSERT_EQ(tf.pointCount(), 5);

    tf.removePoint(tf.hitTest(120, 5));
    ASSERT_EQ(tf.pointCount(), 4);
    EXPECT_TRUE(freeSlotsAreReset(tf));
    EXPECT_EQ(entry(tf, 120), (Rgb {127, 127, 0})) << "the ramp must run straight from red to green again";

    tf.removePoint(tf.hitTest(60, 5));
    tf.removePoint(tf.hitTest(180, 5));
    ASSERT_EQ(tf.pointCount(), 2);
    EXPECT_EQ(tf.point(0).key, 0);
    EXPECT_EQ(tf.point(1).key, 1);
    EXPECT_TRUE(freeSlotsAreReset(tf));
    EXPECT_TRUE(isDefaultRamp(tf)) << "with only the end points left the default ramp is back";
}

TEST(TransferFunctionTest, EndPointsCannotBeMovedOrRemoved)
{
    int repaints = 0;
    TransferFunction tf(strip(100));
    tf.setRepaintCallback([&repaints] { ++repaints; });
    tf.ensureInitialized();

    tf.movePoint(0, 50);
    tf.movePoint(1, 50);
    tf.removePoint(0);
    tf.removePoint(1);
    EXPECT_EQ(tf.pointCount(), 2);
    EXPECT_EQ(tf.point(0).column(), 0);
    EXPECT_EQ(tf.point(1).column(), 100);
    EXPECT_EQ(repaints, 0) << "an ignored edit changes nothing and needs no repaint";

    tf.removePoint(TransferFunction::kNoPoint);
    tf.removePoint(2);
    tf.movePoint(7, 30);
    tf.setPointColor(5, Rgb {1, 2, 3});
    EXPECT_EQ(tf.pointCount(), 2) << "indices outside the live slots must be ignored";
    EXPECT_TRUE(freeSlotsAreReset(tf));
    EXPECT_TRUE(isDefaultRamp(tf));
}

TEST(TransferFunctionTest, MovedPointIsResortedAndTheRampFollows)
{
    TransferFunction tf(strip(200));
    tf.addPoint(50, 255, 0, 0);
    tf.addPoint(150, 0, 0, 255);
    const int red = tf.hitTest(50, 5);
    ASSERT_EQ(red, 1);

    tf.movePoint(red, 170);
    EXPECT_TRUE(liveSortedByColumn(tf));
    const int moved = tf.hitTest(170, 5);
    ASSERT_NE(moved, TransferFunction::kNoPoint);
    EXPECT_EQ(moved, 2) << "the red point must now come after the blue one";
    EXPECT_EQ(tf.point(moved).colour(), (Rgb {255, 0, 0}));
    EXPECT_EQ(tf.point(moved).left, 160);
    EXPECT_EQ(entry(tf, 170), (Rgb {255, 0, 0}));
    EXPECT_EQ(entry(tf, 150), (Rgb {0, 0, 255}));
    EXPECT_EQ(tf.hitTest(50, 5), TransferFunction::kNoPoint) << "nothing may stay at the old column";
}

TEST(TransferFunctionTest, HitTestRectangleIsHalfOpen)
{
    TransferFunction tf(strip(200));
    tf.addPoint(100, 255, 0, 0);
    const int slot = tf.hitTest(100, 5);
    ASSERT_NE(slot, TransferFunction::kNoPoint);
    EXPECT_EQ(tf.hitTest(90, 5), slot) << "the left edge column - 10 is inside";
    EXPECT_EQ(tf.hitTest(109, 5), slot);
    EXPECT_EQ(tf.hitTest(110, 5), TransferFunction::kNoPoint) << "the right edge column + 10 is outside";
    EXPECT_EQ(tf.hitTest(100, kTop), slot) << "the top row is inside";
    EXPECT_EQ(tf.hitTest(100, kBottom), TransferFunction::kNoPoint) << "the bottom row is outside";
    EXPECT_EQ(tf.hitTest(100, kTop - 1), TransferFunction::kNoPoint);

    EXPECT_EQ(tf.hitTest(-10, 5), 0) << "the left end point's rectangle starts at -10";
    EXPECT_EQ(tf.hitTest(199, 5), tf.pointCount() - 1) << "the right end point reaches into the strip";

    tf.addPoint(105, 0, 255, 0);
    EXPECT_EQ(tf.hitTest(104, 5), slot) << "overlapping points: the first in sorted order wins";
}

TEST(TransferFunctionTest, PointColourTakesColorRefByteOrderAndKeepsTheOrder)
{
    int repaints = 0;
    TransferFunction tf(strip(255));
    tf.setRepaintCallback([&repaints] { ++repaints; });
    tf.ensureInitialized();

    tf.setPointColor(1, std::uint32_t {0x000000ff});
    EXPECT_EQ(tf.point(1).colour(), (Rgb {255, 0, 0})) << "COLORREF keeps red in its lowest byte";
    EXPECT_EQ(tf.point(1).key, 1);
    EXPECT_EQ(entry(tf, 254), (Rgb {254, 0, 0})) << "recolouring the right end point bends the whole ramp";
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 0, 0}));

    tf.setPointColor(0, std::uint32_t {0x00ff0000});
    EXPECT_EQ(tf.point(0).colour(), (Rgb {0, 0, 255})) << "COLORREF keeps blue in its third byte";
    EXPECT_EQ(entry(tf, 0), (Rgb {0, 0, 255}));
    EXPECT_EQ(repaints, 2) << "each recolouring repaints once";
}

TEST(TransferFunctionTest, EveryEditRepaintsOnce)
{
    int repaints = 0;
    TransferFunction tf(strip(100));
    tf.setRepaintCallback([&repaints] { ++repaints; });
    tf.ensureInitialized();
    tf.rebuildTable();
    EXPECT_EQ(repaints, 0) << "set-up and a bare rebuild do not repaint";

    tf.addPoint(30, 1, 2, 3);
    EXPECT_EQ(repaints, 1) << "addPoint";
    tf.movePoint(1, 40);
    EXPECT_EQ(repaints, 2) << "movePoint";
    tf.setPointColor(1, Rgb {4, 5, 6});
    EXPECT_EQ(repaints, 3) << "setPointColor";
    tf.removePoint(1);
    EXPECT_EQ(repaints, 4) << "removePoint";
    tf.applyPreset(preset("Black-Blue-Cyan"));
    EXPECT_EQ(repaints, 5) << "applyPreset";
}

TEST(TransferFunctionTest, PointsSharingAColumnGiveFiniteDeterministicColours)
{
    TransferFunction tf(strip(100));
    tf.addPoint(50, 255, 0, 0);
    tf.addPoint(50, 0, 0, 255);
    ASSERT_TRUE(liveSortedByColumn(tf));
    ASSERT_EQ(tf.point(1).colour(), (Rgb {255, 0, 0})) << "equal columns keep the order of their slots";
    EXPECT_EQ(entry(tf, 50), (Rgb {255, 0, 0})) << "the shared column shows the first point of the pair";
    EXPECT_EQ(entry(tf, 51), (Rgb {0, 0, 255})) << "the ramp carries on from the second point";
    EXPECT_EQ(entry(tf, 49), (Rgb {249, 0, 0})) << "the ramp up to the pair must not be disturbed";

    // A point dragged onto its neighbour's column sorts by the slots it came
    // from: the neighbour stays first.
    TransferFunction dragged(strip(100));
    dragged.addPoint(30, 0, 255, 0);
    dragged.addPoint(60, 255, 0, 255);
    dragged.movePoint(2, 30);
    ASSERT_EQ(dragged.pointCount(), 4);
    EXPECT_EQ(dragged.point(1).colour(), (Rgb {0, 255, 0})) << "the point that was first must stay first";
    EXPECT_EQ(dragged.point(2).colour(), (Rgb {255, 0, 255}));
    EXPECT_EQ(entry(dragged, 30), (Rgb {0, 255, 0}));
    EXPECT_EQ(entry(dragged, 31), (Rgb {255, 0, 255}));

    TransferFunction atZero(strip(100));
    atZero.addPoint(0, 255, 0, 0);
    EXPECT_EQ(entry(atZero, 0), (Rgb {255, 0, 0})) << "a point on column 0 takes over the first entry";
    EXPECT_EQ(entry(atZero, 99), (Rgb {255, 252, 252})) << "red to white over 100 columns";
}

TEST(TransferFunctionTest, StripWithoutWidthHasAnEmptyTable)
{
    TransferFunction tf(strip(0));
    EXPECT_EQ(tf.colorTable()->entryCount(), 0);
    tf.addPoint(5, 1, 2, 3);
    tf.applyPreset(preset("Blue-Green-Red"));
    EXPECT_EQ(tf.pointCount(), 3) << "edits still work on an empty table";

    TransferFunction negative(ClientRect {10, 0, 0, 18});
    EXPECT_EQ(negative.colorTable()->entryCount(), 0) << "a negative width must not allocate";
}

} // namespace
} // namespace tvl
