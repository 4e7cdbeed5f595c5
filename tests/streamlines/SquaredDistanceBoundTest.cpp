#include "streamlines/SquaredDistanceBound.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>

namespace tvl {
namespace {

constexpr float kInfinity = std::numeric_limits<float>::infinity();

float floatFromBits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The answer the separation tests must give: the rounded root below the distance.
bool rootBelow(float square, float distance)
{
    return std::sqrt(square) < distance;
}

TEST(SquaredDistanceBoundTest, SquaresBelowTheBoundAreExactlyThoseWithARootBelowTheDistance)
{
    // Random distances over the whole positive range (subnormal to huge) by
    // their bits, and squares around each bound and anywhere: comparing with
    // the bound must always answer as the rounded root does.
    std::mt19937 random(20260613);
    std::uniform_int_distribution<std::uint32_t> positive(1, 0x7f7fffffu);
    std::uniform_int_distribution<int> near(-4, 4);
    long compared = 0;
    for (int d = 0; d < 500000; ++d) {
        const float distance = floatFromBits(positive(random));
        const float bound = squaredDistanceBound(distance);
        ASSERT_FALSE(rootBelow(bound, distance)) << "the bound's own root lies below " << distance;
        if (bound > 0.0f && bound < kInfinity) {
            ASSERT_TRUE(rootBelow(std::nextafter(bound, 0.0f), distance))
                << "the float below the bound of " << distance << " is not below it";
        }
        std::uint32_t bits;
        std::memcpy(&bits, &bound, sizeof bits);
        for (int k = 0; k < 24; ++k) {
            const std::uint32_t around = bits + static_cast<std::uint32_t>(near(random));
            const float square = k < 16 ? floatFromBits(around & 0x7fffffffu) : floatFromBits(positive(random));
            if (std::isnan(square))
                continue;
            ASSERT_EQ(square < bound, rootBelow(square, distance))
                << "square " << square << " against distance " << distance << " (bound " << bound << ")";
            ++compared;
        }
    }
    EXPECT_GT(compared, 10000000) << "too few squares were compared";
}

} // namespace
} // namespace tvl
