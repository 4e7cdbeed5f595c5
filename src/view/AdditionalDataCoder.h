#pragma once

#include "DataCoder.h"

namespace tvl {

// Codes additional value number valueIndex: t = (value - minimum) / range of
// that value. Outside the regular grid the value is 0.0, normalised like any
// other, so the coder colours every point. A value index that the current data
// set does not have (0 .. getAdditionalCount() - 1) gives no value, checked at
// every call because a later load may bring fewer values. Points are
// regular-grid index coordinates.
class AdditionalDataCoder : public DataCoder {
public:
    AdditionalDataCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table, int valueIndex);

    bool normalizedValue(const Vector3& point, float& t) const override;
    void fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const override;
    int valueIndex() const { return valueIndex_; }

private:
    int valueIndex_;
};

} // namespace tvl
