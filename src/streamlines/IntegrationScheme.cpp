#include "streamlines/IntegrationScheme.h"

#include "streamlines/EulerIntegrator.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

namespace tvl {

IntegrationScheme integrationSchemeFromIndex(int index)
{
    switch (index) {
    case 1:
        return IntegrationScheme::RungeKutta2;
    case 2:
        return IntegrationScheme::RungeKutta4;
    default:
        return IntegrationScheme::Euler;
    }
}

int indexOf(IntegrationScheme scheme)
{
    return static_cast<int>(scheme);
}

std::unique_ptr<LayerIntegrator> makeIntegrator(IntegrationScheme scheme, const FlowData* flowData)
{
    switch (scheme) {
    case IntegrationScheme::RungeKutta2:
        return std::make_unique<RungeKutta2Integrator>(flowData);
    case IntegrationScheme::RungeKutta4:
        return std::make_unique<RungeKutta4Integrator>(flowData);
    case IntegrationScheme::Euler:
        break;
    }
    return std::make_unique<EulerIntegrator>(flowData);
}

} // namespace tvl
