#include "streamlines/SquaredDistanceBound.h"

#include <cmath>
#include <limits>

namespace tvl {

float squaredDistanceBound(float distance)
{
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    if (!(distance > 0.0f))
        return 0.0f;
    if (distance == kInfinity)
        return kInfinity;
    const auto rootBelow = [distance](float square) { return std::sqrt(square) < distance; };
    // distance² rounded lies within a step or two of the bound (its rounding
    // moves it by half a unit in the last place, and about two consecutive
    // squares share a rounded root); the loops walk there.
    float bound = distance * distance;
    while (bound > 0.0f && !rootBelow(std::nextafter(bound, 0.0f)))
        bound = std::nextafter(bound, 0.0f);
    while (rootBelow(bound))
        bound = std::nextafter(bound, kInfinity);
    return bound;
}

} // namespace tvl
