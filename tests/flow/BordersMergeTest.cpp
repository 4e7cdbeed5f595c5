#include "flow/NodeBounds.h"
#include "flow/ValueBorders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace tvl {
namespace {

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Both gather in parts on two threads and merge the parts in order; ties
// between 0 and −0 and NaN show where that would differ from one pass over
// all values.
TEST(BordersMerge, ValueBordersMergedInOrderAreThoseOfOnePass)
{
    const float nan = std::nanf("");
    const std::vector<std::vector<float>> runs = {
        {0.0f, -0.0f, 1.0f},
        {-0.0f, 0.0f, nan},
        {nan, nan},
        {2.0f, -0.0f, 0.0f, 2.0f},
        {},
        {-0.0f, nan},
    };
    for (std::size_t split = 0; split <= runs.size(); ++split)
        for (std::size_t second = split; second <= runs.size(); ++second) {
            ValueBorders whole(2), parts[3] = {ValueBorders(2), ValueBorders(2), ValueBorders(2)};
            for (std::size_t r = 0; r < runs.size(); ++r) {
                ValueBorders& part = parts[r < split ? 0 : r < second ? 1 : 2];
                for (float v : runs[r]) {
                    // Speeds are never negative; value 1 takes the negation.
                    for (ValueBorders* b : {&whole, &part}) {
                        b->addSpeed(std::fabs(v));
                        b->addValue(0, v);
                        b->addValue(1, -v);
                    }
                }
            }
            parts[0].merge(parts[1]);
            parts[0].merge(parts[2]);
            EXPECT_TRUE(sameBits(parts[0].maxSpeed(), whole.maxSpeed())) << split << ", " << second;
            for (std::size_t k = 0; k < 2; ++k) {
                EXPECT_TRUE(sameBits(parts[0].minimum()[k], whole.minimum()[k])) << split << ", " << second;
                EXPECT_TRUE(sameBits(parts[0].maximum()[k], whole.maximum()[k])) << split << ", " << second;
            }
        }
    ValueBorders found(1);
    found.addValue(0, -0.0f);
    found.addValue(0, 0.0f);
    EXPECT_TRUE(std::signbit(found.minimum()[0]) && std::signbit(found.maximum()[0]))
        << "the first of equal values stays";
    EXPECT_EQ(found.range(), std::vector<float> {0.0f});
}

TEST(BordersMerge, NodeBoundsMergedAfterWholeBlocksAreThoseOfOnePass)
{
    // Blocks of eight nodes; the minimum x is 0 or −0 in different lanes of
    // different blocks, and one z is not finite.
    std::vector<float> xyz;
    for (int node = 0; node < 32; ++node) {
        const float x = node == 5 ? -0.0f : node == 12 ? 0.0f : node == 22 ? -0.0f : float(node % 7) + 0.5f;
        const float z = node == 17 ? INFINITY : float(node) * 0.25f;
        xyz.insert(xyz.end(), {x, -x, z});
    }
    for (std::size_t split = 0; split <= 32; split += 8) {
        NodeBounds whole, first, second;
        for (std::size_t block = 0; block < 32; block += 8) {
            whole.add(&xyz[3 * block], 8);
            (block < split ? first : second).add(&xyz[3 * block], 8);
        }
        first.merge(second);
        Vector3 lo1, hi1, ext1, lo2, hi2, ext2;
        std::string cause;
        ASSERT_TRUE(whole.finish(lo1, hi1, ext1, cause)) << cause;
        ASSERT_TRUE(first.finish(lo2, hi2, ext2, cause)) << cause;
        for (const auto& [a, b] : {std::pair {lo1, lo2}, std::pair {hi1, hi2}})
            EXPECT_TRUE(sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z)) << "split after " << split;
    }
    NodeBounds finite, broken;
    finite.add(xyz.data(), 4);
    const float bad[3] = {std::nanf(""), 0.0f, 0.0f};
    broken.add(bad, 1);
    finite.merge(broken);
    Vector3 lo, hi, extent;
    std::string cause;
    EXPECT_FALSE(finite.finish(lo, hi, extent, cause)) << "a non-finite x in the later part fails the whole";
}

// The bounds look at four nodes at a time, twelve floats in three vectors,
// then node by node: a non-finite x or y fails them wherever it lies, a
// non-finite z nowhere.
TEST(BordersMerge, ANonFiniteXOrYFailsTheBoundsInEveryLaneAndAZDoesNot)
{
    constexpr std::size_t kNodes = 9;
    for (std::size_t at = 0; at < 3 * kNodes; ++at) {
        std::vector<float> xyz(3 * kNodes);
        for (std::size_t k = 0; k < xyz.size(); ++k)
            xyz[k] = float(k) * 0.5f;
        // A NaN: an infinity would fail the bounds by their extent anyway.
        xyz[at] = std::nanf("");
        NodeBounds bounds;
        bounds.add(xyz.data(), kNodes);
        Vector3 lo, hi, extent;
        std::string cause;
        EXPECT_EQ(bounds.finish(lo, hi, extent, cause), at % 3 == 2) << "non-finite float " << at << ": " << cause;
    }
}

} // namespace
} // namespace tvl
