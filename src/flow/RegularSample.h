#pragma once

namespace tvl {

// One sample of the regular grid. Sample (c, r) stands for the flow position
// reached by the resampling walk at column c, row r. An outside sample is all
// zeros. The additional values live beside the samples in FlowData, one plane
// per value number, so a lookup of value k touches only that plane.
struct RegularSample {
    float vx = 0.0f;
    float vy = 0.0f;
    float vz = 0.0f;
    float speed = 0.0f; // sqrt(vx^2 + vy^2 + vz^2) in single precision
};

} // namespace tvl
