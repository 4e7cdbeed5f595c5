#include "streamlines/Integrator.h"

namespace tvl {

bool Integrator::acceptPoint(const Vector3&) const
{
    return true;
}

void Integrator::traceLine(const Vector3&, PointList&, float)
{
}

void Integrator::traceLines(const Vector3& seed, PointList* const* lines, const float* steps, int count)
{
    for (int k = 0; k < count; ++k)
        traceLine(seed, *lines[k], steps[k]);
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
    PointList* const lines[] = {&forward_, &backward_};
    const float steps[] = {step_, -step_};
    traceLines(seed, lines, steps, 2);
}

} // namespace tvl
