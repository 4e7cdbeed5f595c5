#include "streamlines/StreamlineLayer.h"

#include "streamlines/LayerIntegrator.h"
#include "streamlines/PointList.h"
#include "streamlines/SquaredDistanceBound.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <new>

namespace tvl {

namespace {

// Cells along one axis before the + 1 of the grid sizing; anything else
// (negative, not finite, absurdly large) means the separation is unusable.
bool isSensibleCellCount(float cells)
{
    return cells >= 0.0f && cells < static_cast<float>(StreamlineLayer::kMaxCellsPerAxis - 1);
}

} // namespace

StreamlineLayer::StreamlineLayer(const FlowData* flowData)
    : flowData_(flowData)
{
}

StreamlineLayer::~StreamlineLayer()
{
    if (integrator_ != nullptr)
        integrator_->setLayer(nullptr);
}

void StreamlineLayer::setViewportSize(int width, int height)
{
    viewportWidth_ = width;
    viewportHeight_ = height;
}

void StreamlineLayer::setRegion(const Vector3& minimum, const Vector3& maximum)
{
    regionMinimum_ = minimum;
    regionMaximum_ = maximum;
    regionExtent_ = maximum - minimum;
}

void StreamlineLayer::setSeparation(float dsepPixels, float g)
{
    const float inverse = 1.0f / dsepPixels;
    const float across = static_cast<float>(viewportWidth_) * inverse;
    const float up = static_cast<float>(viewportHeight_) * inverse;
    if (isSensibleCellCount(across) && isSensibleCellCount(up)) {
        columns_ = static_cast<int>(across) + 1;
        rows_ = static_cast<int>(up) + 1;
    } else {
        columns_ = 0;
        rows_ = 0;
    }
    dsep_ = dsepPixels * g;
    gridUnitsPerPixel_ = g;
    dtest_ = dsep_ * testRatio_;
    updateBounds();
}

void StreamlineLayer::setTestRatio(float ratio)
{
    testRatio_ = ratio;
    dtest_ = ratio * dsep_;
    updateBounds();
}

void StreamlineLayer::updateBounds()
{
    dsepBound_ = squaredDistanceBound(dsep_);
    dtestBound_ = squaredDistanceBound(dtest_);
}

void StreamlineLayer::setIntegrator(LayerIntegrator* integrator)
{
    if (integrator_ != nullptr && integrator_ != integrator)
        integrator_->setLayer(nullptr);
    integrator_ = integrator;
    if (integrator_ == nullptr)
        return;
    integrator_->setLayer(this);
    integrator_->setParameters(TraceParameters::evenlySpaced(gridUnitsPerPixel_).withOptions(options_, dtest_));
}

void StreamlineLayer::resetGrid()
{
    // Without a grid no seed is valid: the placement draws nothing.
    if (!grid_.reset(columns_, rows_)) {
        columns_ = 0;
        rows_ = 0;
    }
}

bool StreamlineLayer::cellOf(const Vector3& point, int& column, int& row) const
{
    // Written so that a NaN coordinate fails as well.
    if (!(point.x >= regionMinimum_.x && point.x <= regionMaximum_.x && point.y >= regionMinimum_.y
            && point.y <= regionMaximum_.y))
        return false;
    const double x = (static_cast<double>(point.x) - regionMinimum_.x) * columns_ / regionExtent_.x;
    const double y = (static_cast<double>(point.y) - regionMinimum_.y) * rows_ / regionExtent_.y;
    // x and y are not negative here, so truncating and testing against the
    // grid size is the same as testing before truncating; testing first keeps
    // a zero extent (0 / 0) away from the conversion.
    if (!(x < columns_ && y < rows_))
        return false;
    column = static_cast<int>(x);
    row = static_cast<int>(y);
    return true;
}

bool StreamlineLayer::hasGrid() const
{
    return grid_.columns() == columns_ && grid_.rows() == rows_;
}

const CellPoints* StreamlineLayer::cell(int column, int row) const
{
    return hasGrid() ? grid_.cell(column, row) : nullptr;
}

void StreamlineLayer::addToGrid(const Vector3& point)
{
    int column = 0;
    int row = 0;
    // A point the grid cannot take is dropped, like a point without a cell.
    if (cellOf(point, column, row) && hasGrid())
        grid_.add(column, row, point.x, point.y);
}

bool StreamlineLayer::isFartherThan(const Vector3& point, float distance, float bound) const
{
    int column = 0;
    int row = 0;
    if (!cellOf(point, column, row))
        return false;
    // The nearest distance starts at the largest float, so nothing beyond it
    // (nor NaN) is ever reached; below it the nearest rounded distance reaches
    // distance exactly when no stored point's rounded distance lies below it.
    if (!(distance <= std::numeric_limits<float>::max()))
        return false;
    const float dz = point.z - 0.0f;
    return !hasGrid() || !grid_.anyBelow(column, row, point.x, point.y, dz * dz, bound);
}

bool StreamlineLayer::isFarEnough(const Vector3& point) const
{
    return isFartherThan(point, dtest_, dtestBound_);
}

bool StreamlineLayer::isValidSeed(const Vector3& point, float distance) const
{
    const float bound = distance == dsep_ ? dsepBound_ : squaredDistanceBound(distance);
    return isFartherThan(point, distance, bound);
}

void StreamlineLayer::walkForSeeds(std::vector<Vector3>& candidates) const
{
    const PointList& backward = integrator_->backwardLine();
    const PointList& forward = integrator_->forwardLine();
    bool started = false;
    Vector3 previous;
    float untilNext = -1.0f;
    auto visit = [&](const Vector3& x) {
        if (!started) {
            previous = x;
            started = true;
        }
        const Vector3 v = x - previous;
        const float s = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        if (untilNext < 0.0f && s > 0.0f) {
            // Unit normal on the right of the direction of travel.
            const float length = std::sqrt(v.x * v.x + v.y * v.y);
            const Vector3 normal {v.y / length, -v.x / length, 0.0f};
            const Vector3 offset = normal * dsep_;
            const Vector3 a = x + offset;
            const Vector3 b = x - offset;
            // B goes on the stack after A, so B is tried first. Both are
            // tested when they are taken: the grid only gains points until
            // then, so a seed that fails now fails then as well, and testing
            // it once gives the lines a test at both times gives.
            candidates.push_back(a);
            candidates.push_back(b);
            untilNext = 0.5f * dtest_;
        }
        untilNext = untilNext - s;
        previous = x;
    };
    // From the backward end through the seed to the forward end; both lists
    // begin with the seed, which is walked once.
    for (int i = backward.count() - 1; i >= 0; --i)
        visit(backward.data()[i]);
    for (int i = backward.isEmpty() ? 0 : 1; i < forward.count(); ++i)
        visit(forward.data()[i]);
}

void StreamlineLayer::placeEvenly(const PlacementObserver& placed)
{
    resetGrid();
    const Vector3 centre {
        (regionMinimum_.x + regionMaximum_.x) * 0.5f, (regionMinimum_.y + regionMaximum_.y) * 0.5f, 0.0f};
    placed_.clear();
    // A separation that is not positive would accept the same seed forever.
    if (integrator_ != nullptr && dsep_ > 0.0f && std::isfinite(dsep_)) {
        try {
            std::vector<Vector3> candidates;
            candidates.push_back(centre);
            while (!candidates.empty()) {
                const Vector3 seed = candidates.back();
                candidates.pop_back();
                if (!isValidSeed(seed, dsep_))
                    continue;
                integrator_->traceBoth(seed);
                placed_.addStreamline(integrator_->forwardLine(), integrator_->backwardLine());
                for (const PointList* line : {&integrator_->forwardLine(), &integrator_->backwardLine()}) {
                    if (line->count() > 1) {
                        for (int i = 0; i < line->count(); ++i)
                            addToGrid(line->data()[i]);
                    }
                }
                walkForSeeds(candidates);
                if (placed)
                    placed(placed_);
            }
        } catch (const std::bad_alloc&) {
            // The heap ran out for the candidate stack: keep what was placed.
        }
    }
    setIntegrator(nullptr);
}

} // namespace tvl
