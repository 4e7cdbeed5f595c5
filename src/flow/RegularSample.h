#pragma once

namespace tvl {

// One sample of the regular grid. Sample (c, r) stands for the flow position
// reached by the resampling walk at column c, row r. An outside sample is all
// zeros, RegularSample {}. The additional values live beside the samples in
// FlowData, one plane per value number, so a lookup of value k touches only
// that plane. Trivial, so that a grid of them can be sized without being
// zeroed (see RegularGrid).
struct RegularSample {
    float vx;
    float vy;
    float vz;
    float speed; // sqrt(vx^2 + vy^2 + vz^2) in single precision
};

} // namespace tvl
