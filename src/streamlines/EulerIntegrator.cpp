#include "streamlines/EulerIntegrator.h"

namespace tvl {

bool EulerIntegrator::acceptPoint(const Vector3& point) const
{
    return passesLayer(point);
}

void EulerIntegrator::traceLine(const Vector3& seed, PointList& line, float step)
{
    traceWith(seed, line, step, [](Vector3& p, const Vector3& d, float h) {
        p = p + h * d;
        return true;
    });
}

} // namespace tvl
