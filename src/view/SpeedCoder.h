#pragma once

#include "DataCoder.h"

namespace tvl {

// Codes the flow speed: t = speed / the data set's maximum speed, with the
// speed blended bilinearly from the samples. No value outside the regular
// grid (FlowData's inside rule). Points are regular-grid index coordinates.
class SpeedCoder : public DataCoder {
public:
    SpeedCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table);

    bool normalizedValue(const Vector3& point, float& t) const override;
    void fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const override;
};

} // namespace tvl
