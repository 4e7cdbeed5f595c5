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

void SpeedCoder::fillRow(Vector3 start, float dx, int count, std::uint8_t* rgba) const
{
    fillRowWith(
        start, dx, count, rgba, [this](const Vector3& p, float& t) { return SpeedCoder::normalizedValue(p, t); });
}

} // namespace tvl
