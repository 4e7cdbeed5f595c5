#include "streamlines/PointList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tvl {
namespace {

int reallocations = 0;

void* countingReallocate(void* block, std::size_t bytes)
{
    ++reallocations;
    return std::realloc(block, bytes);
}

// A heap that holds no more than 64 points per block.
void* exhaustedAfter64(void* block, std::size_t bytes)
{
    if (bytes > 64 * sizeof(Vector3))
        return nullptr;
    return std::realloc(block, bytes);
}

Vector3 pointNumber(int i)
{
    return {static_cast<float>(i), static_cast<float>(-i), 0.0f};
}

TEST(PointListTest, NewListIsEmptyWithoutBlock)
{
    const PointList list;
    EXPECT_TRUE(list.isEmpty()) << "a new list holds points";
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.capacity(), 0) << "a new list reserved a block";
    EXPECT_EQ(list.data(), nullptr) << "a new list allocated";
    EXPECT_EQ(list.minDistance({1.0f, 2.0f, 3.0f}), 3.4028235e38f) << "empty list must give the largest float";
}

TEST(PointListTest, AppendZeroesZInTheCallersPointAndKeepsOrder)
{
    PointList list;
    Vector3 first {1.5f, 2.5f, 5.0f};
    ASSERT_TRUE(list.append(first));
    EXPECT_EQ(first.z, 0.0f) << "append must set z of the passed point to 0";
    Vector3 second {-3.0f, 4.0f, -7.0f};
    ASSERT_TRUE(list.append(second));
    ASSERT_EQ(list.count(), 2);
    EXPECT_FALSE(list.isEmpty());
    EXPECT_EQ(list.data()[0], (Vector3 {1.5f, 2.5f, 0.0f})) << "first point stored wrongly";
    EXPECT_EQ(list.data()[1], (Vector3 {-3.0f, 4.0f, 0.0f})) << "second point stored wrongly";
}

TEST(PointListTest, GrowsBy64AndClearKeepsTheBlock)
{
    reallocations = 0;
    PointList list(&countingReallocate);
    for (int i = 0; i < 64; ++i) {
        Vector3 p = pointNumber(i);
        ASSERT_TRUE(list.append(p));
    }
    EXPECT_EQ(list.capacity(), 64) << "64 points need exactly one step of growth";
    EXPECT_EQ(reallocations, 1) << "the first 64 points must fit one block";
    Vector3 p65 = pointNumber(64);
    ASSERT_TRUE(list.append(p65));
    EXPECT_EQ(list.capacity(), 128) << "the 65th append must grow 64 -> 128";
    EXPECT_EQ(reallocations, 2);
    for (int i = 0; i < 65; ++i)
        ASSERT_EQ(list.data()[i], pointNumber(i)) << "growth lost point " << i;

    const Vector3* block = list.data();
    list.clear();
    EXPECT_TRUE(list.isEmpty()) << "clear left points behind";
    EXPECT_EQ(list.capacity(), 128) << "clear must keep the capacity";
    for (int i = 0; i < 64; ++i) {
        Vector3 p = pointNumber(100 + i);
        ASSERT_TRUE(list.append(p));
    }
    EXPECT_EQ(reallocations, 2) << "appends after clear re-allocated although the block was large enough";
    EXPECT_EQ(list.data(), block) << "clear must keep the block";
    EXPECT_EQ(list.data()[0], pointNumber(100)) << "clear did not restart at the front";
}

TEST(PointListTest, FailedGrowthKeepsTheOldBlockIntact)
{
    PointList list(&exhaustedAfter64);
    for (int i = 0; i < 64; ++i) {
        Vector3 p = pointNumber(i);
        ASSERT_TRUE(list.append(p));
    }
    const Vector3* block = list.data();
    Vector3 extra {1.0f, 2.0f, 9.0f};
    EXPECT_FALSE(list.append(extra)) << "a failed growth must be reported so the trace can stop";
    EXPECT_EQ(list.count(), 64) << "a failed growth changed the count";
    EXPECT_EQ(list.capacity(), 64) << "a failed growth changed the capacity";
    EXPECT_EQ(list.data(), block) << "a failed growth lost the block";
    EXPECT_EQ(extra.z, 9.0f) << "a point that was not stored was changed";
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(list.data()[i], pointNumber(i)) << "a failed growth corrupted point " << i;
    list.clear();
    Vector3 again = pointNumber(7);
    EXPECT_TRUE(list.append(again)) << "the list must stay usable after a failed growth";
}

TEST(PointListTest, MinDistanceIsTheNearestInThreeDimensions)
{
    PointList list;
    Vector3 far {10.0f, 0.0f, 0.0f};
    Vector3 near {3.0f, 4.0f, 0.0f};
    Vector3 other {-6.0f, -8.0f, 0.0f};
    list.append(far);
    list.append(near);
    list.append(other);
    EXPECT_EQ(list.minDistance({0.0f, 0.0f, 0.0f}), 5.0f) << "nearest of 10, 5 and 10 must be 5";
    // Stored points have z = 0, so a query point off the plane is farther.
    EXPECT_EQ(list.minDistance({3.0f, 4.0f, 12.0f}), 12.0f) << "z of the query point must count";
    EXPECT_EQ(list.minDistance({3.0f, 4.0f, 0.0f}), 0.0f) << "a stored point is at distance 0";
}

TEST(PointListTest, MinDistanceTiesAndHugeDistances)
{
    PointList list;
    Vector3 a {1.0f, 0.0f, 0.0f};
    Vector3 b {-1.0f, 0.0f, 0.0f};
    list.append(a);
    list.append(b);
    EXPECT_EQ(list.minDistance({0.0f, 0.0f, 0.0f}), 1.0f) << "two points at the same distance";
    // The squared distance overflows: no finite distance beats the start value.
    const float big = std::numeric_limits<float>::max();
    EXPECT_EQ(list.minDistance({big, big, 0.0f}), 3.4028235e38f) << "an overflowing distance must not win";
}

TEST(PointListTest, CloserThanMatchesTheRoundedNearestDistance)
{
    PointList list;
    EXPECT_FALSE(list.hasPointCloserThan({0.0f, 0.0f, 0.0f}, 1.0f)) << "an empty list holds nothing closer";
    Vector3 a {0.3f, 0.7f, 0.0f};
    Vector3 b {5.0f, 5.0f, 0.0f};
    list.append(a);
    list.append(b);
    // Exactly at the nearest distance is not closer; the next float above is.
    for (const Vector3 query : {Vector3 {0.0f, 0.0f, 0.0f}, Vector3 {1.1f, -0.3f, 0.0f}, Vector3 {4.9f, 5.2f, 0.0f}}) {
        const float nearest = list.minDistance(query);
        EXPECT_FALSE(list.hasPointCloserThan(query, nearest)) << "the nearest point is not closer than itself";
        EXPECT_TRUE(list.hasPointCloserThan(query, std::nextafter(nearest, 1e30f)))
            << "a distance one float above the nearest must find it";
    }
    EXPECT_FALSE(list.hasPointCloserThan({0.3f, 0.7f, 0.0f}, 0.0f)) << "no distance is below 0";
    EXPECT_FALSE(list.hasPointCloserThan({0.3f, 0.7f, 0.0f}, -1.0f)) << "no distance is below a negative one";
    EXPECT_TRUE(list.hasPointCloserThan({0.0f, 0.0f, 0.0f}, 1e30f))
        << "a bound whose square overflows is still beaten by a finite distance";
    EXPECT_FALSE(list.hasPointCloserThan({1e20f, 0.0f, 0.0f}, 3.4028235e38f))
        << "a distance whose square overflows is infinite, as minDistance takes it";
}

} // namespace
} // namespace tvl
