#pragma once

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "flow/RegularSample.h"
#include "flow/Vector3.h"

#include <cmath>
#include <utility>
#include <vector>

namespace tvl::test {

// Regular grids given sample by sample, for the streamline tests. Positions
// are regular-grid index coordinates; the bounds only matter to the view.
template <class Velocity>
void setField(FlowData& flow, int width, int height, Velocity velocity, Vector3 minimum = {0.0f, 0.0f, 0.0f},
    Vector3 maximum = {1.0f, 1.0f, 0.0f})
{
    std::vector<RegularSample> samples(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            const Vector3 v = velocity(c, r);
            samples[static_cast<std::size_t>(r) * static_cast<std::size_t>(width) + static_cast<std::size_t>(c)]
                = {v.x, v.y, v.z, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z)};
        }
    }
    tvl::test::setRegularGrid(flow, width, height, 0, std::move(samples), {}, minimum, maximum);
}

inline void setUniform(FlowData& flow, int width, int height, Vector3 velocity)
{
    setField(flow, width, height, [velocity](int, int) { return velocity; });
}

// Counter-clockwise solid-body rotation about (centre, centre), angular speed
// 1: the speed at radius r is r.
inline void setRotation(FlowData& flow, int size)
{
    const float centre = 0.5f * static_cast<float>(size - 1);
    setField(flow, size, size, [centre](int c, int r) {
        return Vector3 {-(static_cast<float>(r) - centre), static_cast<float>(c) - centre, 0.0f};
    });
}

} // namespace tvl::test
