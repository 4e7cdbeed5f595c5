// The streamline operations of the view: the evenly spaced placement drawn
// and recorded, and the streamline seeded by a click.
#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "streamlines/StreamlineSet.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>

namespace tvl {

namespace {

// Slider positions to distances: dsep 10 … 1000 gives 1 … 100 pixels, dtest
// 1 … 99 gives a ratio of 0.01 … 0.99 of dsep.
constexpr float kPixelsPerDsepPosition = 0.1f;
constexpr float kRatioPerDtestPosition = 0.01f;
// Points of a batch the placement hands to GL while it goes on: enough that
// a flush's cost is small beside the batch's drawing, few enough that the
// rasteriser starts early.
constexpr std::size_t kPointsPerDrawnBatch = 8192;

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

void FlowView::drawStreamlines(
    float dsepPosition, float dtestPosition, IntegrationScheme scheme, const StreamlineOptions& options)
{
    setStreamlineProjection();
    // The lines go to GL in batches while the placement goes on, each with a
    // flush, so that the rasteriser draws them while the next ones are
    // traced; they are drawn once, in placement order. The list then records
    // them all for replays.
    std::size_t drawnHalfLines = 0;
    std::size_t drawnPoints = 0;
    placeStreamlines(
        dsepPosition, dtestPosition, scheme, options, [&drawnHalfLines, &drawnPoints](const StreamlineSet& lines) {
            if (lines.points().size() - drawnPoints < kPointsPerDrawnBatch)
                return;
            drawnHalfLines = drawFrom(lines, drawnHalfLines);
            drawnPoints = lines.points().size();
            glFlush();
        });
    const StreamlineSet& placed = streamlineLayer_.placedLines();
    drawFrom(placed, drawnHalfLines);
    displayList_.record(placed);
    glFlush();
}

void FlowView::placeStreamlines(float dsepPosition, float dtestPosition, IntegrationScheme scheme,
    const StreamlineOptions& options, const StreamlineLayer::PlacementObserver& placed)
{
    StreamlineLayer& layer = streamlineLayer_;
    layer.setSeparation(dsepPosition * kPixelsPerDsepPosition, gridUnitsPerPixel());
    layer.setTestRatio(dtestPosition * kRatioPerDtestPosition);
    layer.setOptions(options);
    const std::unique_ptr<LayerIntegrator> integrator = makeIntegrator(scheme, flowData_);
    layer.setIntegrator(integrator.get());
    layer.placeEvenly(placed);
    // The placement has unlinked it already; the layer must never see the
    // integrator again once it is gone.
    layer.setIntegrator(nullptr);
}

bool FlowView::traceSeed(float x, float y, const StreamlineOptions& options, Integrator& integrator) const
{
    // A click is a canvas pixel; anything that does not truncate to one is
    // not a click and seeds nothing.
    constexpr float kIntLimit = 2147483648.0f;
    if (!(x > -kIntLimit && x < kIntLimit && y > -kIntLimit && y < kIntLimit))
        return false;
    const Vector3 seed = windowToGrid(static_cast<int>(x), static_cast<int>(y));
    integrator.setParameters(TraceParameters::manualSeeding().withOptions(
        options, TraceParameters::kManualSelfDistancePixels * gridUnitsPerPixel()));
    integrator.traceBoth(seed);
    return true;
}

void FlowView::seedStreamlineAt(float x, float y, const StreamlineOptions& options)
{
    // Manual streamlines always use the fourth-order scheme, whatever the
    // settings page selects for the placement.
    RungeKutta4Integrator integrator(flowData_);
    if (!traceSeed(x, y, options, integrator))
        return;
    setStreamlineProjection();
    draw(integrator);
    glFlush();
}

bool FlowView::traceStreamlineAt(float x, float y, StreamlineSet& lines, const StreamlineOptions& options) const
{
    lines.clear();
    RungeKutta4Integrator integrator(flowData_);
    if (!traceSeed(x, y, options, integrator))
        return false;
    lines.addStreamline(integrator.forwardLine(), integrator.backwardLine());
    return true;
}

} // namespace tvl
