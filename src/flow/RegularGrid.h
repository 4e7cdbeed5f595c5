#pragma once

#include "flow/DefaultInitAllocator.h"
#include "flow/RegularSample.h"
#include "flow/Vector3.h"

#include <cstddef>
#include <vector>

namespace tvl {

// The regular grid of a data set as the resampling leaves it: width × height
// samples (sample (c, r) is element r × width + c), additionalCount planes of
// width × height additional values beside them, and the node bounds in flow
// coordinates that the grid spans. Outside samples are all zeros.
//
// The storage is sized without being zeroed (the resampling writes every
// element); whoever sizes it with resize(n) alone must write every element.
template <class T> using GridStorage = std::vector<T, DefaultInitAllocator<T>>;

struct RegularGrid {
    int width = 0;
    int height = 0;
    int additionalCount = 0;
    Vector3 minimum;
    Vector3 maximum;
    GridStorage<RegularSample> samples;
    GridStorage<float> values;

    std::size_t sampleCount() const { return std::size_t(width) * std::size_t(height); }
    std::size_t index(int c, int r) const { return std::size_t(r) * std::size_t(width) + std::size_t(c); }
    const RegularSample& sample(int c, int r) const { return samples[index(c, r)]; }
    // Additional value k of sample (c, r); c, r and k must be in range.
    float value(int c, int r, int k) const { return values[std::size_t(k) * sampleCount() + index(c, r)]; }
};

} // namespace tvl
