#pragma once

#include "streamlines/LayerIntegrator.h"

#include <memory>

namespace tvl {

// The integration schemes of the streamline settings, in the order of its
// combo box ("Euler", "Runge Kutta 2", "Runge Kutta 4").
enum class IntegrationScheme { Euler, RungeKutta2, RungeKutta4 };

// The scheme of a zero-based combo box selection: 0 Euler, 1 second-order,
// 2 fourth-order Runge-Kutta, any other value Euler.
IntegrationScheme integrationSchemeFromIndex(int index);
int indexOf(IntegrationScheme scheme);

std::unique_ptr<LayerIntegrator> makeIntegrator(IntegrationScheme scheme, const FlowData* flowData);

} // namespace tvl
