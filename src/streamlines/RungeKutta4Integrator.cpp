#include "streamlines/RungeKutta4Integrator.h"

namespace tvl {

namespace {
// The float nearest to 1/6.
constexpr float kOneSixth = 1.0f / 6.0f;
} // namespace

bool RungeKutta4Integrator::acceptPoint(const Vector3& point) const
{
    return passesLayer(point);
}

void RungeKutta4Integrator::traceLine(const Vector3& seed, PointList& line, float step)
{
    const FlowData& flow = *flowData_;
    traceWith(seed, line, step, [&flow](Vector3& p, const Vector3& d, float h) {
        // The loop has just sampled the direction at P; sampling it again
        // would give the same vector.
        const Vector3 k1 = h * d;
        Vector3 d2;
        if (!flow.directionAt(p + 0.5f * k1, d2))
            return false;
        const Vector3 k2 = h * d2;
        Vector3 d3;
        if (!flow.directionAt(p + 0.5f * k2, d3))
            return false;
        const Vector3 k3 = h * d3;
        Vector3 d4;
        if (!flow.directionAt(p + k3, d4))
            return false;
        const Vector3 k4 = h * d4;
        Vector3 a = k1;
        a = a + 2.0f * k2;
        a = a + 2.0f * k3;
        a = a + k4;
        p = p + a * kOneSixth;
        return true;
    });
}

} // namespace tvl
