#pragma once

#include "streamlines/Integrator.h"
#include "streamlines/SeparationTest.h"

namespace tvl {

// An integrator that can be linked to the streamline layer while the evenly
// spaced placement runs; while linked, every new point must pass the layer's
// separation test or the half-line ends with it.
class LayerIntegrator : public Integrator {
public:
    explicit LayerIntegrator(const FlowData* flowData)
        : Integrator(flowData)
    {
    }

    // Not owned; null unlinks. The layer sets and clears it (setIntegrator).
    void setLayer(const SeparationTest* layer) { layer_ = layer; }
    const SeparationTest* layer() const { return layer_; }

protected:
    // The acceptPoint body shared by the schemes.
    bool passesLayer(const Vector3& point) const { return layer_ == nullptr || layer_->isFarEnough(point); }

private:
    const SeparationTest* layer_ = nullptr;
};

} // namespace tvl
