#pragma once

#include "DataCoder.h"

namespace tvl {

// Codes the flow direction once around the circle from the unit velocity
// (x, y): x > 0 gives t = 0.5 - acos(y) / (2 pi), x <= 0 gives
// t = 0.5 + acos(y) / (2 pi). So +y is 0.5, +x 0.25, -x 0.75, and -y is 0 for
// x > 0 and 1 otherwise. No value outside the regular grid (FlowData's inside
// rule); a zero velocity gives a NaN t, which colorAt shows white. Points are
// regular-grid index coordinates.
class DirectionCoder : public DataCoder {
public:
    static constexpr double kInverseTwoPi = 0.15915494309189535;

    DirectionCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table);

    bool normalizedValue(const Vector3& point, float& t) const override;
    void fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const override;
};

} // namespace tvl
