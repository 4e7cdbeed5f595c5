#include "SpeedCoder.h"

#include "flow/FlowData.h"

#include <utility>

namespace tvl {

SpeedCoder::SpeedCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
    : DataCoder(flow, std::move(table))
{
}

bool SpeedCoder::normalizedValue(const Vector3& point, float& t) const
{
    float speed = 0.0f;
    if (!flowData().speedAt(point, speed))
        return false;
    t = flowData().normalizeSpeed(speed);
    return true;
}

} // namespace tvl
