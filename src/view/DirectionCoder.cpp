#include "DirectionCoder.h"

#include "flow/FlowData.h"

#include <cmath>
#include <utility>

namespace tvl {

DirectionCoder::DirectionCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
    : DataCoder(flow, std::move(table))
{
}

bool DirectionCoder::normalizedValue(const Vector3& point, float& t) const
{
    Vector3 direction;
    if (!flowData().directionAt(point, direction))
        return false;
    // The angle is taken in double; a y that rounding pushed past +-1 gives
    // NaN, which colorAt turns into white rather than guessing an angle.
    const double turn = std::acos(static_cast<double>(direction.y)) * kInverseTwoPi;
    t = static_cast<float>(direction.x > 0.0f ? 0.5 - turn : 0.5 + turn);
    return true;
}

void DirectionCoder::fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const
{
    splitRows(xs.size(), ys.size(), [&](std::size_t first, std::size_t last) {
        fillImageWith(xs, ys.subspan(first, last - first), rgba + 4 * xs.size() * first,
            [this](const Vector3& p, float& t) { return DirectionCoder::normalizedValue(p, t); });
    });
}

} // namespace tvl
