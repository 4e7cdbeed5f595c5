#include "streamlines/StreamlineSet.h"

#include "streamlines/PointList.h"

namespace tvl {

void StreamlineSet::addStreamline(const PointList& forward, const PointList& backward)
{
    addHalfLine(forward, Sense::WithFlow);
    addHalfLine(backward, Sense::AgainstFlow);
}

void StreamlineSet::appendFrom(const StreamlineSet& other, std::size_t first)
{
    for (std::size_t k = first; k < other.halfLines_.size(); ++k) {
        const HalfLine& line = other.halfLines_[k];
        const std::span<const Vector3> points = other.pointsOf(line);
        halfLines_.push_back({points_.size(), line.count, line.sense});
        points_.insert(points_.end(), points.begin(), points.end());
    }
}

void StreamlineSet::addHalfLine(const PointList& line, Sense sense)
{
    const std::size_t count = static_cast<std::size_t>(line.count());
    halfLines_.push_back({points_.size(), count, sense});
    if (count > 0)
        points_.insert(points_.end(), line.data(), line.data() + count);
}

} // namespace tvl
