#pragma once

#include "flow/Vector3.h"

namespace tvl {

// The one question an integrator asks the streamline layer while the evenly
// spaced placement runs: may the trace go on after this newly stored point?
// The point is in regular-grid index coordinates.
class SeparationTest {
public:
    virtual ~SeparationTest() = default;
    virtual bool isFarEnough(const Vector3& point) const = 0;
};

} // namespace tvl
