#pragma once

namespace tvl {

// One node of the curvilinear grid as the two files give it: position in flow
// coordinates and the velocity at it. The node's additional values follow
// its velocity in NodeGrid::records.
struct GridNode {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float vx = 0.0f;
    float vy = 0.0f;
    float vz = 0.0f;
};

} // namespace tvl
