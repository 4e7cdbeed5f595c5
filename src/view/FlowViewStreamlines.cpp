// The streamline operations of the view: the evenly spaced placement drawn
// and recorded, and the streamline seeded by a click.
#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "view/StreamlineDrawing.h"

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
    const Vector3 m = gridRegionMinimum();
    const Vector3 M = gridRegionMaximum();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(m.x, M.x, m.y, M.y, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void FlowView::drawStreamlines(float dsepPosition, float dtestPosition, IntegrationScheme scheme)
{
    setStreamlineProjection();
    StreamlineLayer& layer = streamlineLayer_;
    layer.setSeparation(dsepPosition * kPixelsPerDsepPosition, gridUnitsPerPixel());
    layer.setTestRatio(dtestPosition * kRatioPerDtestPosition);
    const std::unique_ptr<LayerIntegrator> integrator = makeIntegrator(scheme, flowData_);
    layer.setIntegrator(integrator.get());
    layer.placeEvenly();
    // The placement has unlinked it already; the layer must never see the
    // integrator again once it is gone.
    layer.setIntegrator(nullptr);
    // The lines are drawn once, by the replay of the list they are recorded in.
    if (displayList_.record([&layer] { draw(layer.placedLines()); }))
        displayList_.call();
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
    RungeKutta4Integrator integrator(flowData_);
    const Vector3 seed = windowToGrid(static_cast<int>(x), static_cast<int>(y));
    integrator.setParameters(TraceParameters::manualSeeding());
    integrator.traceBoth(seed);
    setStreamlineProjection();
    draw(integrator);
    glFlush();
}

} // namespace tvl
