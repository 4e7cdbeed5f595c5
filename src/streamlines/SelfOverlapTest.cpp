#include "streamlines/SelfOverlapTest.h"

#include <cmath>
#include <new>

namespace tvl {

namespace {

// Cells along an axis either side of 0: far more than any regular grid has
// at any sensible distance; coordinates beyond share the outermost cells,
// where a test only scans more points.
constexpr double kCellLimit = 1 << 30;

} // namespace

void SelfOverlapTest::restart(const Vector3& seed, float distance)
{
    points_.clear();
    newest_.clear();
    const bool usable = distance > 0.0f && std::isfinite(distance);
    distance_ = usable ? distance : 0.0f;
    skip_ = kSkipFactor * distance_;
    if (usable && std::isfinite(seed.x) && std::isfinite(seed.y))
        record(seed, 0.0f);
}

bool SelfOverlapTest::comesBack(const Vector3& point, float arc)
{
    if (!(distance_ > 0.0f))
        return false;
    const std::int64_t column = cellOf(point.x);
    const std::int64_t row = cellOf(point.y);
    const float limit = distance_ * distance_;
    bool near = false;
    for (std::int64_t r = row - 1; r <= row + 1 && !near; ++r) {
        for (std::int64_t c = column - 1; c <= column + 1 && !near; ++c) {
            const auto cell = newest_.find(keyOf(c, r));
            for (int i = cell == newest_.end() ? -1 : cell->second; i >= 0 && !near; i = points_[std::size_t(i)].next) {
                const Recorded& q = points_[std::size_t(i)];
                const float dx = point.x - q.x;
                const float dy = point.y - q.y;
                near = std::fabs(arc - q.arc) >= skip_ && dx * dx + dy * dy < limit;
            }
        }
    }
    record(point, arc);
    return near;
}

std::int64_t SelfOverlapTest::cellOf(float coordinate) const
{
    double cell = std::floor(static_cast<double>(coordinate) / distance_);
    cell = cell < -kCellLimit ? -kCellLimit : (cell > kCellLimit ? kCellLimit : cell);
    return static_cast<std::int64_t>(cell);
}

std::uint64_t SelfOverlapTest::keyOf(std::int64_t column, std::int64_t row)
{
    return (static_cast<std::uint64_t>(column) << 32) ^ static_cast<std::uint32_t>(row);
}

void SelfOverlapTest::record(const Vector3& point, float arc)
{
    // A heap too full to record one more point only makes the test blind to
    // it; the trace itself goes on.
    try {
        const std::uint64_t key = keyOf(cellOf(point.x), cellOf(point.y));
        const auto cell = newest_.try_emplace(key, -1).first;
        points_.push_back({point.x, point.y, arc, cell->second});
        cell->second = static_cast<int>(points_.size()) - 1;
    } catch (const std::bad_alloc&) {
    }
}

} // namespace tvl
