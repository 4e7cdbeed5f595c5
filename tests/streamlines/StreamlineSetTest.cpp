#include "streamlines/StreamlineSet.h"
#include "streamlines/PointList.h"

#include <gtest/gtest.h>

#include <vector>

namespace tvl {
namespace {

// A half-line of count points (x, tag, 0), x = 0 .. count - 1.
void fill(PointList& line, int count, float tag)
{
    line.clear();
    for (int i = 0; i < count; ++i) {
        Vector3 p {float(i), tag, 0.0f};
        line.append(p);
    }
}

// Streamline k has a forward half of k + 1 points tagged 10k and a backward
// half of 2 − k points (none for k = 2) tagged 10k + 1.
StreamlineSet threeStreamlines()
{
    StreamlineSet set;
    PointList forward, backward;
    for (int k = 0; k < 3; ++k) {
        fill(forward, k + 1, float(10 * k));
        fill(backward, 2 - k, float(10 * k + 1));
        set.addStreamline(forward, backward);
    }
    return set;
}

TEST(StreamlineSet, AppendFromCopiesTheLaterHalfLinesWithTheirPointsAndSenses)
{
    const StreamlineSet all = threeStreamlines();
    ASSERT_EQ(all.halfLines().size(), 6u);
    // Onto a set that has points already, from the middle of a streamline
    // (a backward half first) and from past the end.
    for (std::size_t first : {0u, 3u, 5u, 6u, 9u}) {
        StreamlineSet part;
        PointList one;
        fill(one, 4, 99.0f);
        part.addStreamline(one, one);
        part.appendFrom(all, first);
        const std::size_t copied = first < 6 ? 6 - first : 0;
        ASSERT_EQ(part.halfLines().size(), 2 + copied) << first;
        std::size_t points = 8;
        for (std::size_t k = 0; k < copied; ++k) {
            const StreamlineSet::HalfLine& was = all.halfLines()[first + k];
            const StreamlineSet::HalfLine& is = part.halfLines()[2 + k];
            EXPECT_EQ(is.first, points) << "half-line " << first + k << " must start after the points before it";
            EXPECT_EQ(is.sense, was.sense);
            const std::vector<Vector3> wasPoints(all.pointsOf(was).begin(), all.pointsOf(was).end());
            const std::vector<Vector3> isPoints(part.pointsOf(is).begin(), part.pointsOf(is).end());
            EXPECT_EQ(isPoints, wasPoints) << "half-line " << first + k;
            points += was.count;
        }
        EXPECT_EQ(part.points().size(), points) << first;
    }
}

} // namespace
} // namespace tvl
