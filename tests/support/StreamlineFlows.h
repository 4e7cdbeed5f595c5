#pragma once

#include "RegularGrids.h"
#include "flow/FlowData.h"
#include "flow/RegularSample.h"
#include "flow/Vector3.h"

#include <cmath>
#include <utility>
#include <vector>

namespace tvl::test {

// Named flows given sample by sample on a regular grid. Positions are
// regular-grid index coordinates; the bounds (flow coordinates) only matter to
// views. velocity(column, row) gives each sample, its length the speed.
template <class Velocity>
void setField(FlowData& flow, int width, int height, Velocity velocity, Vector3 minimum = {0.0f, 0.0f, 0.0f},
    Vector3 maximum = {1.0f, 1.0f, 0.0f})
{
    std::vector<RegularSample> samples;
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const Vector3 v = velocity(c, r);
            samples.push_back({v.x, v.y, v.z, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z)});
        }
    tvl::test::setRegularGrid(flow, width, height, 0, std::move(samples), {}, minimum, maximum);
}

inline void setUniform(FlowData& flow, int width, int height, Vector3 v, Vector3 minimum = {}, Vector3 maximum = {1, 1})
{
    setField(
        flow, width, height, [v](int, int) { return v; }, minimum, maximum);
}

// Counter-clockwise solid-body rotation about the middle sample, angular
// speed 1: the speed at radius r is r.
inline void setRotation(FlowData& flow, int width, int height, Vector3 minimum, Vector3 maximum)
{
    const float cx = 0.5f * float(width - 1), cy = 0.5f * float(height - 1);
    const auto turn = [cx, cy](int c, int r) { return Vector3 {cy - float(r), float(c) - cx, 0.0f}; };
    setField(flow, width, height, turn, minimum, maximum);
}

inline void setRotation(FlowData& flow, int size)
{
    setRotation(flow, size, size, {0.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f});
}

} // namespace tvl::test
