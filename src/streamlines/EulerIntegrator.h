#pragma once

#include "streamlines/LayerIntegrator.h"

namespace tvl {

// Euler scheme: one direction sample per step, P + h D.
class EulerIntegrator : public LayerIntegrator {
public:
    explicit EulerIntegrator(const FlowData* flowData)
        : LayerIntegrator(flowData)
    {
    }

    bool acceptPoint(const Vector3& point) const override;
    void traceLine(const Vector3& seed, PointList& line, float step) override;
    void traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count) override;
};

} // namespace tvl
