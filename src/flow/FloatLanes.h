#pragma once

#include <cstring>

namespace tvl {

// Four floats handled lane by lane (GCC's vector extension). Every lane takes
// the single-precision operation that one value alone would, so code that
// works four values at a time gives the bits of code that works one at a time.
using FloatLanes = float __attribute__((vector_size(4 * sizeof(float))));

// Four consecutive floats, at any alignment.
inline FloatLanes loadLanes(const float* values)
{
    FloatLanes lanes;
    std::memcpy(&lanes, values, sizeof lanes);
    return lanes;
}

} // namespace tvl
