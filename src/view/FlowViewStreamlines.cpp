// The streamline operations of the view: the evenly spaced placement drawn
// and recorded, and the streamline seeded by a click.
#include "view/FlowView.h"

#include "flow/FlowData.h"
#include "flow/WorkerThread.h"
#include "streamlines/RungeKutta4Integrator.h"
#include "streamlines/StreamlineSet.h"
#include "view/StreamlineDrawing.h"

#include <GL/gl.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

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

// Batches of placed lines on their way from the placement's thread to the
// thread that draws them, in placement order.
class LineBatches {
public:
    // Copies the half-lines of lines from number first on as the next batch.
    void push(const StreamlineSet& lines, std::size_t first)
    {
        StreamlineSet batch;
        batch.appendFrom(lines, first);
        {
            const std::lock_guard lock(mutex_);
            batches_.push_back(std::move(batch));
        }
        changed_.notify_one();
    }
    // No batch follows.
    void close()
    {
        {
            const std::lock_guard lock(mutex_);
            closed_ = true;
        }
        changed_.notify_one();
    }
    // Waits for the next batch; false once all are taken and none follows.
    bool next(StreamlineSet& batch)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !batches_.empty() || closed_; });
        if (batches_.empty())
            return false;
        batch = std::move(batches_.front());
        batches_.pop_front();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<StreamlineSet> batches_;
    bool closed_ = false;
};

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
    // The placement runs on a second thread and hands its lines over in
    // batches; this thread, whose context GL is, draws each batch with a
    // flush as it comes. So the tracing, GL's work on the lines sent and the
    // rasteriser go on at once, while the lines reach GL once each, in
    // placement order, batch by batch as one thread would send them. The
    // list then records them all for replays.
    LineBatches batches;
    std::size_t batchedHalfLines = 0;
    std::size_t batchedPoints = 0;
    WorkerThread placer;
    placer.start([&] {
        struct Closer {
            LineBatches& batches;
            ~Closer() { batches.close(); }
        } closer {batches};
        placeStreamlines(dsepPosition, dtestPosition, scheme, options, [&](const StreamlineSet& lines) {
            if (lines.points().size() - batchedPoints < kPointsPerDrawnBatch)
                return;
            batches.push(lines, batchedHalfLines);
            batchedHalfLines = lines.halfLines().size();
            batchedPoints = lines.points().size();
        });
    });
    const auto drawBatches = [&batches] {
        StreamlineSet batch;
        while (batches.next(batch)) {
            drawFrom(batch, 0);
            glFlush();
        }
    };
    // Without a second thread the placement runs in wait(), and the batches
    // are drawn after it.
    if (placer.isThreaded())
        drawBatches();
    placer.wait();
    drawBatches();
    const StreamlineSet& placed = streamlineLayer_.placedLines();
    drawFrom(placed, batchedHalfLines);
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
