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
    normalizedStep_ = parameters.normalizedStep;
    selfDistance_ = parameters.selfDistance;
}

void Integrator::traceBoth(const Vector3& seed)
{
    if (selfDistance_ > 0.0f)
        selfOverlap_.restart(seed, selfDistance_);
    traceLine(seed, forward_, step_);
    traceLine(seed, backward_, -step_);
}

} // namespace tvl
