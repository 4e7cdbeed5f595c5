#pragma once

#include "streamlines/LayerIntegrator.h"

namespace tvl {

// Second-order Runge-Kutta (midpoint) scheme: the direction is sampled again
// half a step ahead; a midpoint outside the domain ends the half-line.
class RungeKutta2Integrator : public LayerIntegrator {
public:
    explicit RungeKutta2Integrator(const FlowData* flowData)
        : LayerIntegrator(flowData)
    {
    }

    bool acceptPoint(const Vector3& point) const override;
    void traceLine(const Vector3& seed, PointList& line, float step) override;
    void traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count) override;
};

} // namespace tvl
