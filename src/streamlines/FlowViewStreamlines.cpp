// The streamline operations of the view live with the rest of the streamline
// code.
#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "streamlines/MakeIntegrator.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "streamlines/StreamlineLayer.h"

#include <GL/gl.h>

namespace tvl {

namespace {

// Slider positions to distances: dsep 10 … 1000 gives 1 … 100 pixels, dtest
// 1 … 99 gives a ratio of 0.01 … 0.99 of dsep.
constexpr float kPixelsPerDsepPosition = 0.1f;
constexpr float kRatioPerDtestPosition = 0.01f;

} // namespace

void FlowView::setStreamlineProjection() const
{
    const Vector3 lower = regionMinimum();
    const Vector3 upper = regionMaximum();
    const Vector3 m = flowData()->worldToGrid(lower.x, lower.y, lower.z);
    const Vector3 M = flowData()->worldToGrid(upper.x, upper.y, upper.z);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(m.x, M.x, m.y, M.y, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void FlowView::drawStreamlines(float dsepPosition, float dtestPosition, int integratorIndex)
{
    setStreamlineProjection();
    StreamlineLayer& layer = streamlineLayer();
    layer.setSeparation(dsepPosition * kPixelsPerDsepPosition, gridUnitsPerPixel());
    layer.setTestRatio(dtestPosition * kRatioPerDtestPosition);
    const std::unique_ptr<LayerIntegrator> integrator = makeIntegrator(integratorIndex, flowData());
    layer.setIntegrator(integrator.get());
    layer.placeEvenly();
    layer.callList();
    // The placement has unlinked it already; the layer must never see the
    // integrator again once it is gone.
    layer.setIntegrator(nullptr);
    glFlush();
}

void FlowView::seedStreamlineAt(float x, float y)
{
    // A click is a canvas pixel; anything that does not truncate to one is
    // not a click and seeds nothing.
    constexpr float kIntLimit = 2147483648.0f;
    if (!(x > -kIntLimit && x < kIntLimit && y > -kIntLimit && y < kIntLimit))
        return;
    // Manual streamlines always use the fourth-order scheme, whatever the
    // settings page selects for the placement.
    RungeKutta4Integrator integrator(flowData());
    const Vector3 seed = windowToGrid(static_cast<int>(x), static_cast<int>(y));
    integrator.setParameters(TraceParameters::manualSeeding());
    integrator.traceBoth(seed);
    setStreamlineProjection();
    integrator.draw();
    glFlush();
}

} // namespace tvl
