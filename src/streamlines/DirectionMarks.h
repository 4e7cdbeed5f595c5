#pragma once

#include "flow/Vector3.h"
#include "streamlines/StreamlineSet.h"

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace tvl {

// How a view scales regular-grid index coordinates onto its viewport: grid
// units per viewport pixel along x and along y. The two differ wherever the
// viewport's aspect does not quite match the region's, so distances on
// screen are measured per axis.
struct PixelScale {
    float x = 1.0f;
    float y = 1.0f;
};

// One direction mark on a streamline: where it sits (regular-grid index
// coordinates, on the polyline), which way the flow goes there, as a unit
// vector in viewport pixels (x right, y up), and the step of the polyline it
// lies on (from point step to point step + 1).
struct DirectionMark {
    Vector3 position;
    float dx = 1.0f;
    float dy = 0.0f;
    std::size_t step = 0;
};

// Size of the filled arrowhead of a mark, in viewport pixels.
constexpr float kMarkLengthPixels = 11.0f;
constexpr float kMarkWidthPixels = 8.0f;

// Appends the marks of one half-line, whose points start at the seed. The
// first mark sits spacing / 2 pixels of arc length from the seed and each
// further one spacing beyond the last, so the marks of both half-lines of a
// streamline are spacing apart across the seed too, and a half-line shorter
// than spacing / 2 gets none. Arc length is measured on screen: each step is
// converted to viewport pixels per axis with scale. Marks point downstream:
// along the points on a half-line traced with the flow, against them on one
// traced against it. Where a half-line winds around a centre, a mark that
// would lie closer than kMarkLengthPixels (at most spacing / 2) on screen to
// an earlier mark of the same half-line is left out, so marks never pile up;
// marks along a line that does not wind keep their spacing. A spacing below 1 pixel or
// not finite, or a scale that is not positive, gives no marks; steps of no
// length or not finite are skipped.
void placeDirectionMarks(std::span<const Vector3> points, StreamlineSet::Sense sense, PixelScale scale, float spacing,
    std::vector<DirectionMark>& marks);

// The filled arrowhead of a mark in regular-grid index coordinates (z = 0):
// the tip, then the two corners of the base. It is kMarkLengthPixels long
// from base to tip, centred on the mark, and kMarkWidthPixels wide at its
// base, whatever the scale.
std::array<Vector3, 3> arrowheadOf(const DirectionMark& mark, PixelScale scale);

} // namespace tvl
