#pragma once

#include "flow/FlowData.h"
#include "flow/RegularGrid.h"

#include <utility>
#include <vector>

namespace tvl::test {

// Gives the data set a regular grid built sample by sample, as if a load had
// resampled it: values holds additionalCount planes of width × height floats.
inline void setRegularGrid(FlowData& flow, int width, int height, int additionalCount,
    std::vector<RegularSample> samples, std::vector<float> values, Vector3 minimum, Vector3 maximum)
{
    RegularGrid grid;
    grid.width = width;
    grid.height = height;
    grid.additionalCount = additionalCount;
    grid.minimum = minimum;
    grid.maximum = maximum;
    grid.samples.assign(samples.begin(), samples.end());
    grid.values.assign(values.begin(), values.end());
    flow.adoptRegularGrid(std::move(grid));
}

} // namespace tvl::test
