#pragma once

#include "streamlines/LayerIntegrator.h"

namespace tvl {

// Classic fourth-order Runge-Kutta scheme: three more direction samples per
// step (the speed only at the start point); any of them failing ends the
// half-line without advancing.
class RungeKutta4Integrator : public LayerIntegrator {
public:
    explicit RungeKutta4Integrator(const FlowData* flowData)
        : LayerIntegrator(flowData)
    {
    }

    bool acceptPoint(const Vector3& point) const override;
    void traceLine(const Vector3& seed, PointList& line, float step) override;
    void traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count) override;
};

} // namespace tvl
