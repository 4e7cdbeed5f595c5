#include "streamlines/PointList.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace tvl {

void* PointList::reallocateBlock(void* block, std::size_t bytes)
{
    return std::realloc(block, bytes);
}

PointList::~PointList()
{
    std::free(data_);
}

bool PointList::append(Vector3& point)
{
    if (count_ >= capacity_) {
        if (capacity_ > std::numeric_limits<int>::max() - kGrowth)
            return false;
        const int grown = capacity_ + kGrowth;
        const std::size_t bytes = static_cast<std::size_t>(grown) * sizeof(Vector3);
        // On failure the old block is still ours and still holds the points.
        void* block = reallocate_(data_, bytes);
        if (block == nullptr)
            return false;
        data_ = static_cast<Vector3*>(block);
        capacity_ = grown;
    }
    point.z = 0.0f;
    data_[count_] = point;
    ++count_;
    return true;
}

float PointList::minDistance(const Vector3& point) const
{
    // The square root is monotonic and correctly rounded, so the root of the
    // smallest squared distance equals the smallest of the rounded roots; one
    // root per call instead of one per point. A sum that overflows would give
    // an infinite distance, which never beats the start value.
    float nearestSquared = std::numeric_limits<float>::infinity();
    for (int i = 0; i < count_; ++i) {
        const float dx = point.x - data_[i].x;
        const float dy = point.y - data_[i].y;
        const float dz = point.z - data_[i].z;
        const float squared = dx * dx + dy * dy + dz * dz;
        if (squared < nearestSquared)
            nearestSquared = squared;
    }
    if (!(nearestSquared < std::numeric_limits<float>::infinity()))
        return std::numeric_limits<float>::max();
    return std::sqrt(nearestSquared);
}

bool PointList::hasPointCloserThan(const Vector3& point, float distance) const
{
    if (!(distance > 0.0f))
        return false;
    // A squared distance this far below distance² has a rounded root below
    // distance whatever the rounding; the margin (2^-20) is far wider than
    // the float rounding of the bound itself (2^-24).
    const float certainlyCloser
        = static_cast<float>(static_cast<double>(distance) * distance * (1.0 - 1.0 / (1 << 20)));
    float nearestSquared = std::numeric_limits<float>::infinity();
    for (int i = 0; i < count_; ++i) {
        const float dx = point.x - data_[i].x;
        const float dy = point.y - data_[i].y;
        const float dz = point.z - data_[i].z;
        const float squared = dx * dx + dy * dy + dz * dz;
        if (squared < certainlyCloser)
            return true;
        if (squared < nearestSquared)
            nearestSquared = squared;
    }
    // The root is monotonic: some rounded distance is below distance exactly
    // when the smallest one is.
    return nearestSquared < std::numeric_limits<float>::infinity() && std::sqrt(nearestSquared) < distance;
}

} // namespace tvl
