#include "streamlines/MakeIntegrator.h"

#include "streamlines/EulerIntegrator.h"
#include "streamlines/RungeKutta2Integrator.h"
#include "streamlines/RungeKutta4Integrator.h"

namespace tvl {

std::unique_ptr<LayerIntegrator> makeIntegrator(int index, const FlowData* flowData)
{
    switch (index) {
    case 1:
        return std::make_unique<RungeKutta2Integrator>(flowData);
    case 2:
        return std::make_unique<RungeKutta4Integrator>(flowData);
    default:
        return std::make_unique<EulerIntegrator>(flowData);
    }
}

} // namespace tvl
