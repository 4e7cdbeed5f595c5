#include "streamlines/PointList.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tvl {
namespace {

int reallocations = 0;

// Counts the growths, and holds no more than 64 points per block.
void* reallocate(void* block, std::size_t bytes)
{
    ++reallocations;
    return bytes > 64 * sizeof(Vector3) ? nullptr : std::realloc(block, bytes);
}

// Appends (i, -i, 5) for i in first .. first + count - 1; true when all are
// stored with z set to 0 in the caller's point.
bool append(PointList& list, int first, int count)
{
    bool stored = true;
    for (int i = first; i < first + count; ++i) {
        Vector3 p {float(i), float(-i), 5.0f};
        stored = list.append(p) && p.z == 0.0f && stored;
    }
    return stored;
}

TEST(PointListTest, GrowsBy64AndKeepsItsBlock)
{
    PointList list;
    EXPECT_TRUE(list.isEmpty() && list.data() == nullptr) << "a new list allocates nothing";
    ASSERT_TRUE(append(list, 0, 65));
    EXPECT_EQ(list.capacity(), 128) << "the 65th append grows 64 -> 128";
    EXPECT_EQ(list.data()[64], (Vector3 {64, -64, 0}));
    reallocations = 0;
    PointList limited(&reallocate);
    ASSERT_TRUE(append(limited, 0, 64));
    const Vector3* block = limited.data();
    Vector3 extra {1.0f, 2.0f, 9.0f};
    EXPECT_FALSE(limited.append(extra)) << "a failed growth is reported so the trace can stop";
    EXPECT_TRUE(extra.z == 9.0f && limited.count() == 64 && limited.data()[63] == (Vector3 {63, -63, 0}))
        << "and stores nothing, changes nothing";
    limited.clear();
    ASSERT_TRUE(limited.isEmpty() && append(limited, 100, 64));
    EXPECT_EQ(reallocations, 2) << "the first 64 points fit one block, and clear keeps it";
    EXPECT_TRUE(limited.data() == block && limited.data()[0].x == 100.0f) << "clear restarts at the front";
}

} // namespace
} // namespace tvl
