#pragma once

#include "flow/Vector3.h"

#include <cstddef>
#include <span>
#include <vector>

namespace tvl {

class PointList;

// The streamlines of one placement as polylines in regular-grid index
// coordinates, in the order they were placed. Each streamline is two
// half-lines that both begin at its seed: the forward one, traced with the
// flow, then the backward one, traced against it. All points live in one
// array; a half-line is a range of it.
class StreamlineSet {
public:
    enum class Sense { WithFlow, AgainstFlow };

    struct HalfLine {
        std::size_t first = 0; // index of its seed in points()
        std::size_t count = 0;
        Sense sense = Sense::WithFlow;
    };

    void clear()
    {
        points_.clear();
        halfLines_.clear();
    }
    // Copies one traced streamline, forward half-line first.
    void addStreamline(const PointList& forward, const PointList& backward);
    // Copies the half-lines of other from number first on, with their points.
    void appendFrom(const StreamlineSet& other, std::size_t first);

    bool isEmpty() const { return halfLines_.empty(); }
    std::size_t streamlineCount() const { return halfLines_.size() / 2; }
    const std::vector<Vector3>& points() const { return points_; }
    const std::vector<HalfLine>& halfLines() const { return halfLines_; }
    std::span<const Vector3> pointsOf(const HalfLine& line) const { return {points_.data() + line.first, line.count}; }

private:
    void addHalfLine(const PointList& line, Sense sense);

    std::vector<Vector3> points_;
    std::vector<HalfLine> halfLines_;
};

} // namespace tvl
