#include "streamlines/EulerIntegrator.h"

namespace tvl {

bool EulerIntegrator::acceptPoint(const Vector3& point) const
{
    return passesLayer(point);
}

void EulerIntegrator::traceLine(const Vector3& seed, PointList& line, float step)
{
    PointList* const lines[] = {&line};
    EulerIntegrator::traceLines(seed, lines, &step, 1);
}

void EulerIntegrator::traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count)
{
    traceWith(seed, lines, steps, count, [](Vector3* p, const Vector3* d, const float* h, bool* moved, int n) {
        for (int k = 0; k < n; ++k) {
            p[k] = p[k] + h[k] * d[k];
            moved[k] = true;
        }
    });
}

} // namespace tvl
