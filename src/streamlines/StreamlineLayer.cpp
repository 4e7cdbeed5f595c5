#include "streamlines/StreamlineLayer.h"

#include "streamlines/LayerIntegrator.h"
#include "streamlines/PointList.h"

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
    forgetNearest();
    regionMinimum_ = minimum;
    regionMaximum_ = maximum;
    regionExtent_ = maximum - minimum;
}

void StreamlineLayer::setSeparation(float dsepPixels, float g)
{
    forgetNearest();
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
}

void StreamlineLayer::setTestRatio(float ratio)
{
    testRatio_ = ratio;
    dtest_ = ratio * dsep_;
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
    forgetNearest();
    for (std::unique_ptr<PointList>& list : cells_) {
        if (list) {
            list->clear();
            try {
                spareLists_.push_back(std::move(list));
            } catch (const std::bad_alloc&) {
                list.reset();
            }
        }
    }
    cells_.clear();
    const std::size_t count = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    try {
        cells_.resize(count);
    } catch (const std::bad_alloc&) {
        // Without a grid no seed is valid: the placement draws nothing.
        cells_.clear();
        cells_.shrink_to_fit();
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

const PointList* StreamlineLayer::cell(int column, int row) const
{
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_ || cells_.empty())
        return nullptr;
    return cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column)]
        .get();
}

void StreamlineLayer::addToGrid(const Vector3& point)
{
    int column = 0;
    int row = 0;
    if (!cellOf(point, column, row))
        return;
    forgetNearest();
    std::unique_ptr<PointList>& entry
        = cells_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column)];
    if (!entry) {
        if (!spareLists_.empty()) {
            entry = std::move(spareLists_.back());
            spareLists_.pop_back();
        } else {
            entry.reset(new (std::nothrow) PointList);
            if (!entry)
                return;
        }
    }
    Vector3 stored = point;
    entry->append(stored);
}

float StreamlineLayer::nearestStoredDistance(const Vector3& point, int column, int row) const
{
    float nearest = std::numeric_limits<float>::max();
    for (int r = row - 1; r <= row + 1; ++r) {
        for (int c = column - 1; c <= column + 1; ++c) {
            const PointList* list = cell(c, r);
            if (list == nullptr || list->isEmpty())
                continue;
            const float distance = list->minDistance(point);
            if (distance < nearest)
                nearest = distance;
        }
    }
    return nearest;
}

bool StreamlineLayer::hasStoredPointCloserThan(const Vector3& point, int column, int row, float distance) const
{
    for (int r = row - 1; r <= row + 1; ++r) {
        for (int c = column - 1; c <= column + 1; ++c) {
            const PointList* list = cell(c, r);
            if (list != nullptr && list->hasPointCloserThan(point, distance))
                return true;
        }
    }
    return false;
}

bool StreamlineLayer::isFarEnough(const Vector3& point) const
{
    int column = 0;
    int row = 0;
    if (!cellOf(point, column, row))
        return false;
    // A rounded distance is off the exact one by a few 2^-24 of it at most;
    // the margins (1e-6) turn rounded distances into bounds on exact ones and
    // back with room to spare.
    constexpr double kMargin = 1.0 - 1e-6;
    if (nearest_.valid && nearest_.column == column && nearest_.row == row) {
        const double dx = static_cast<double>(point.x) - nearest_.point.x;
        const double dy = static_cast<double>(point.y) - nearest_.point.y;
        const double dz = static_cast<double>(point.z) - nearest_.point.z;
        const double bound = nearest_.lowerBound - std::sqrt(dx * dx + dy * dy + dz * dz);
        if (bound * kMargin >= static_cast<double>(dtest_)) {
            nearest_.point = point;
            nearest_.lowerBound = bound;
            return true;
        }
    }
    const float nearest = nearestStoredDistance(point, column, row);
    // The largest float stands for an empty block (cheap to scan again) or
    // for distances whose squares overflowed, which bound nothing.
    nearest_.valid = nearest < 1e30f;
    nearest_.column = column;
    nearest_.row = row;
    nearest_.point = point;
    nearest_.lowerBound = static_cast<double>(nearest) * kMargin;
    return nearest >= dtest_;
}

bool StreamlineLayer::isValidSeed(const Vector3& point, float distance) const
{
    int column = 0;
    int row = 0;
    if (!cellOf(point, column, row))
        return false;
    // The nearest distance starts at the largest float, so nothing beyond
    // it (nor NaN) is ever reached.
    if (!(distance <= std::numeric_limits<float>::max()))
        return false;
    return !hasStoredPointCloserThan(point, column, row, distance);
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
            // B goes on the stack after A, so B is tried first.
            if (isValidSeed(a, dsep_))
                candidates.push_back(a);
            if (isValidSeed(b, dsep_))
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

void StreamlineLayer::placeEvenly()
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
            }
        } catch (const std::bad_alloc&) {
            // The heap ran out for the candidate stack: keep what was placed.
        }
    }
    setIntegrator(nullptr);
}

} // namespace tvl
