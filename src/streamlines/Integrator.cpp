#include "streamlines/Integrator.h"

namespace tvl {

bool Integrator::acceptPoint(const Vector3&) const
{
    return true;
}

void Integrator::traceLine(const Vector3&, PointList&, float)
{
}

void Integrator::setParameters(const TraceParameters& parameters)
{
    setMaxLength(parameters.maxLength);
    setMaxSteps(parameters.maxSteps);
    setStep(parameters.step);
}

void Integrator::traceBoth(const Vector3& seed)
{
    traceLine(seed, forward_, step_);
    traceLine(seed, backward_, -step_);
}

} // namespace tvl
