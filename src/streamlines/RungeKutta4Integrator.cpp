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
    PointList* const lines[] = {&line};
    RungeKutta4Integrator::traceLines(seed, lines, &step, 1);
}

void RungeKutta4Integrator::traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count)
{
    const FlowData& flow = *flowData_;
    traceWith(seed, lines, steps, count, [&flow](Vector3* p, const Vector3* d, const float* h, bool* moved, int n) {
        // Stage by stage for all lines, so that their samples overlap. The
        // loop has just sampled the direction at P; sampling it again would
        // give the same vector. A line whose sample fails takes no more.
        Vector3 k1[kInTurn], k2[kInTurn], k3[kInTurn], k4[kInTurn];
        for (int k = 0; k < n; ++k) {
            k1[k] = h[k] * d[k];
            Vector3 d2;
            moved[k] = flow.directionAt(p[k] + 0.5f * k1[k], d2);
            k2[k] = h[k] * d2;
        }
        for (int k = 0; k < n; ++k) {
            Vector3 d3;
            moved[k] = moved[k] && flow.directionAt(p[k] + 0.5f * k2[k], d3);
            k3[k] = h[k] * d3;
        }
        for (int k = 0; k < n; ++k) {
            Vector3 d4;
            moved[k] = moved[k] && flow.directionAt(p[k] + k3[k], d4);
            k4[k] = h[k] * d4;
        }
        for (int k = 0; k < n; ++k) {
            if (!moved[k])
                continue;
            Vector3 a = k1[k];
            a = a + 2.0f * k2[k];
            a = a + 2.0f * k3[k];
            a = a + k4[k];
            p[k] = p[k] + a * kOneSixth;
        }
    });
}

} // namespace tvl
