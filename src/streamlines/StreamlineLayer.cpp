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
    integrator_->setParameters(TraceParameters::evenlySpaced(gridUnitsPerPixel_));
}

void StreamlineLayer::resetGrid()
{
    for (std::uint32_t i = 0; i < usedCells_; ++i)
        cellPool_[i].clear();
    usedCells_ = 0;
    const std::size_t count = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    try {
        cellSlots_.assign(count, 0);
    } catch (const std::bad_alloc&) {
        // Without a grid no seed is valid: the placement draws nothing.
        cellSlots_.clear();
        cellSlots_.shrink_to_fit();
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
    return cellSlots_.size() == static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
}

const CellPoints* StreamlineLayer::cell(int column, int row) const
{
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_ || !hasGrid())
        return nullptr;
    const std::uint32_t slot = cellSlots_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_)
        + static_cast<std::size_t>(column)];
    return slot == 0 ? nullptr : &cellPool_[slot - 1];
}

void StreamlineLayer::addToGrid(const Vector3& point)
{
    int column = 0;
    int row = 0;
    if (!cellOf(point, column, row) || !hasGrid())
        return;
    std::uint32_t& slot = cellSlots_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_)
        + static_cast<std::size_t>(column)];
    if (slot == 0) {
        if (usedCells_ == cellPool_.size()) {
            try {
                cellPool_.emplace_back();
            } catch (const std::bad_alloc&) {
                return;
            }
        }
        slot = ++usedCells_;
    }
    // A cell that cannot grow drops the point, like a point without a cell.
    cellPool_[slot - 1].append(point.x, point.y);
}

bool StreamlineLayer::hasStoredPointCloserThan(const Vector3& point, int column, int row, float bound) const
{
    const CellPoints* block[9];
    int count = 0;
    const int firstColumn = column > 0 ? column - 1 : 0;
    const int lastColumn = column + 1 < columns_ ? column + 1 : columns_ - 1;
    const int firstRow = row > 0 ? row - 1 : 0;
    const int lastRow = row + 1 < rows_ ? row + 1 : rows_ - 1;
    for (int r = firstRow; r <= lastRow; ++r) {
        const std::uint32_t* slots = &cellSlots_[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns_)];
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (slots[c] != 0)
                block[count++] = &cellPool_[slots[c] - 1];
        }
    }
    const float dz = point.z - 0.0f;
    return CellPoints::anyBelow(block, count, point.x, point.y, dz * dz, bound);
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
    return !hasGrid() || !hasStoredPointCloserThan(point, column, row, bound);
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
