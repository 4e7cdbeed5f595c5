#pragma once

#include "flow/Vector3.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace tvl {

// Tells whether a streamline being traced comes back near itself. It records
// the points of one streamline, both half-lines, each with its signed arc
// length from the seed (positive with the flow, negative against it), and
// tests every new head point against them. Points within the skip arc of the
// head are left out: they are near it because they lie just behind it, not
// because the line came back. The backward half-line is tested against the
// forward one as well, or it would retrace a closed orbit the other way.
//
// Points are regular-grid index coordinates (z ignored). A hash grid of cells
// as wide as the test distance keeps each test to the 3 × 3 cells around the
// head.
class SelfOverlapTest {
public:
    // The skip arc in test distances. A line whose points more than this arc
    // apart come closer than the distance turns on a radius of about half the
    // distance or less: it loops back, it does not merely bend.
    static constexpr float kSkipFactor = 2.0f;

    // Forgets every point and records the seed (arc 0) of a new streamline.
    // distance: grid units, positive and finite, or nothing is ever tested.
    void restart(const Vector3& seed, float distance);

    // True when point lies closer than the distance to a recorded point whose
    // arc differs from arc by at least the skip arc. The point is recorded in
    // either case. arc: signed arc length of point from the seed, grid units.
    bool comesBack(const Vector3& point, float arc);

    float distance() const { return distance_; }
    float skipArc() const { return skip_; }
    int pointCount() const { return static_cast<int>(points_.size()); }

private:
    struct Recorded {
        float x;
        float y;
        float arc;
        int next; // the cell's previous point, -1 at its end
    };

    // The cell of a coordinate along one axis, clamped so that any finite
    // coordinate has one.
    std::int64_t cellOf(float coordinate) const;
    static std::uint64_t keyOf(std::int64_t column, std::int64_t row);
    void record(const Vector3& point, float arc);

    float distance_ = 0.0f;
    float skip_ = 0.0f;
    std::vector<Recorded> points_;
    // Cell key to the newest point recorded in it.
    std::unordered_map<std::uint64_t, int> newest_;
};

} // namespace tvl
