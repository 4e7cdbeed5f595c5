#pragma once

#include "streamlines/LayerIntegrator.h"

#include <memory>

namespace tvl {

// Scheme by the zero-based selection of the streamline settings: 0 Euler,
// 1 second-order, 2 fourth-order Runge-Kutta, any other value Euler.
std::unique_ptr<LayerIntegrator> makeIntegrator(int index, const FlowData* flowData);

} // namespace tvl
