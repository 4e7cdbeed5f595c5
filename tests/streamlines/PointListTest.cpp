#include "streamlines/PointList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tvl {
namespace {

constexpr float kFloatMax = 3.4028235e38f;
int reallocations = 0;

void* countingReallocate(void* block, std::size_t bytes)
{
    ++reallocations;
    return std::realloc(block, bytes);
}

// A heap that holds no more than 64 points per block.
void* exhaustedAfter64(void* block, std::size_t bytes)
{
    return bytes > 64 * sizeof(Vector3) ? nullptr : std::realloc(block, bytes);
}

// Appends points (i, -i, 5) for i in first .. first + count - 1.
bool appendPoints(PointList& list, int first, int count)
{
    for (int i = first; i < first + count; ++i) {
        Vector3 p {float(i), float(-i), 5.0f};
        if (!list.append(p) || p.z != 0.0f)
            return false;
    }
    return true;
}

TEST(PointListTest, GrowsBy64KeepsOrderAndClearKeepsTheBlock)
{
    reallocations = 0;
    PointList list(&countingReallocate);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.data(), nullptr) << "a new list allocates nothing";
    EXPECT_EQ(list.minDistance({1, 2, 3}), kFloatMax) << "an empty list's nearest distance is the largest float";
    ASSERT_TRUE(appendPoints(list, 0, 64)) << "append must store and set z of the caller's point to 0";
    EXPECT_EQ(list.capacity(), 64);
    EXPECT_EQ(reallocations, 1) << "the first 64 points fit one block";
    ASSERT_TRUE(appendPoints(list, 64, 1));
    EXPECT_EQ(list.capacity(), 128) << "the 65th append grows 64 -> 128";
    for (int i = 0; i < 65; ++i)
        ASSERT_EQ(list.data()[i], (Vector3 {float(i), float(-i), 0})) << "point " << i;
    const Vector3* block = list.data();
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    ASSERT_TRUE(appendPoints(list, 100, 64));
    EXPECT_EQ(reallocations, 2) << "appends after clear must reuse the block";
    EXPECT_EQ(list.data(), block);
    EXPECT_EQ(list.data()[0].x, 100.0f) << "clear restarts at the front";
}

TEST(PointListTest, FailedGrowthKeepsTheOldBlockIntact)
{
    PointList list(&exhaustedAfter64);
    ASSERT_TRUE(appendPoints(list, 0, 64));
    Vector3 extra {1.0f, 2.0f, 9.0f};
    EXPECT_FALSE(list.append(extra)) << "a failed growth is reported so the trace can stop";
    EXPECT_EQ(extra.z, 9.0f) << "a point that was not stored is left as it was";
    EXPECT_EQ(list.count(), 64);
    EXPECT_EQ(list.capacity(), 64);
    EXPECT_EQ(list.data()[63], (Vector3 {63, -63, 0}));
}

TEST(PointListTest, DistancesAreThoseOfTheNearestPointAsMinDistanceRoundsThem)
{
    PointList list;
    for (Vector3 p : {Vector3 {10, 0, 0}, Vector3 {3, 4, 0}, Vector3 {-6, -8, 0}, Vector3 {0.3f, 0.7f, 0}})
        list.append(p);
    EXPECT_EQ(list.minDistance({0, 0, 0}), std::hypot(0.3f, 0.7f));
    EXPECT_EQ(list.minDistance({3, 4, 12}), 12.0f) << "z of the query point counts";
    EXPECT_EQ(list.minDistance({kFloatMax, kFloatMax, 0}), kFloatMax) << "an overflowing distance never wins";
    for (const Vector3 q : {Vector3 {0, 0, 0}, Vector3 {1.1f, -0.3f, 0}, Vector3 {4.9f, 5.2f, 0}}) {
        const float nearest = list.minDistance(q);
        EXPECT_FALSE(list.hasPointCloserThan(q, nearest)) << "the nearest point is not closer than itself";
        EXPECT_TRUE(list.hasPointCloserThan(q, std::nextafter(nearest, 1e30f)));
    }
    EXPECT_FALSE(list.hasPointCloserThan({3, 4, 0}, 0.0f)) << "no distance is below 0";
    EXPECT_TRUE(list.hasPointCloserThan({0, 0, 0}, 1e30f)) << "a bound whose square overflows";
    EXPECT_FALSE(list.hasPointCloserThan({1e20f, 0, 0}, kFloatMax)) << "an infinite distance beats nothing";
    EXPECT_FALSE(PointList().hasPointCloserThan({0, 0, 0}, 1.0f));
}

} // namespace
} // namespace tvl
