#include "streamlines/RungeKutta2Integrator.h"

namespace tvl {

bool RungeKutta2Integrator::acceptPoint(const Vector3& point) const
{
    return passesLayer(point);
}

void RungeKutta2Integrator::traceLine(const Vector3& seed, PointList& line, float step)
{
    PointList* const lines[] = {&line};
    RungeKutta2Integrator::traceLines(seed, lines, &step, 1);
}

void RungeKutta2Integrator::traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count)
{
    const FlowData& flow = *flowData_;
    traceWith(seed, lines, steps, count, [&flow](Vector3* p, const Vector3* d, const float* h, bool* moved, int n) {
        for (int k = 0; k < n; ++k) {
            const Vector3 midpoint = p[k] + 0.5f * (h[k] * d[k]);
            Vector3 d2;
            moved[k] = flow.directionAt(midpoint, d2);
            if (moved[k])
                p[k] = p[k] + h[k] * d2;
        }
    });
}

} // namespace tvl
