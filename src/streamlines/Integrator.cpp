#include "streamlines/Integrator.h"

#include <GL/gl.h>

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

void Integrator::draw() const
{
    glLineWidth(0.5f);
    glColor3f(1.0f, 1.0f, 1.0f);
    forward_.drawStrip();
    backward_.drawStrip();
    glLineWidth(1.0f);
}

} // namespace tvl
