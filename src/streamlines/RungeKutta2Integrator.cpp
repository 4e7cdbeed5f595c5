#include "streamlines/RungeKutta2Integrator.h"

namespace tvl {

bool RungeKutta2Integrator::acceptPoint(const Vector3& point) const
{
    return passesLayer(point);
}

void RungeKutta2Integrator::traceLine(const Vector3& seed, PointList& line, float step)
{
    const FlowData& flow = *flowData_;
    traceWith(seed, line, step, [&flow](Vector3& p, const Vector3& d, float h) {
        const Vector3 midpoint = p + 0.5f * (h * d);
        Vector3 d2;
        if (!flow.directionAt(midpoint, d2))
            return false;
        p = p + h * d2;
        return true;
    });
}

} // namespace tvl
