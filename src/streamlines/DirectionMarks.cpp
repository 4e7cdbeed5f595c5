#include "streamlines/DirectionMarks.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tvl {

namespace {

bool overlapsEarlier(const Vector3& position, std::span<const DirectionMark> earlier, PixelScale scale, float distance)
{
    for (const DirectionMark& mark : earlier) {
        const float px = (position.x - mark.position.x) / scale.x;
        const float py = (position.y - mark.position.y) / scale.y;
        if (px * px + py * py < distance * distance)
            return true;
    }
    return false;
}

} // namespace

void placeDirectionMarks(std::span<const Vector3> points, StreamlineSet::Sense sense, PixelScale scale, float spacing,
    std::vector<DirectionMark>& marks)
{
    if (!(spacing >= 1.0f) || !std::isfinite(spacing) || !(scale.x > 0.0f) || !(scale.y > 0.0f))
        return;
    const float downstream = sense == StreamlineSet::Sense::WithFlow ? 1.0f : -1.0f;
    const std::size_t first = marks.size();
    // Neighbours along a line are spacing apart, never closer than half of it.
    const float crowded = std::min(kMarkLengthPixels, 0.5f * spacing);
    // Long lines add many steps: the way travelled is summed in double so
    // that the spacing does not drift along them.
    double travelled = 0.0;
    double next = 0.5 * static_cast<double>(spacing);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Vector3& a = points[i - 1];
        const Vector3& b = points[i];
        const double px = static_cast<double>(b.x - a.x) / static_cast<double>(scale.x);
        const double py = static_cast<double>(b.y - a.y) / static_cast<double>(scale.y);
        const double length = std::sqrt(px * px + py * py);
        if (!(length > 0.0) || !std::isfinite(length))
            continue;
        const float dx = static_cast<float>(px / length) * downstream;
        const float dy = static_cast<float>(py / length) * downstream;
        while (travelled + length >= next) {
            const float t = static_cast<float>((next - travelled) / length);
            const Vector3 position {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), 0.0f};
            if (!overlapsEarlier(position, std::span(marks).subspan(first), scale, crowded))
                marks.push_back({position, dx, dy, i - 1});
            next += static_cast<double>(spacing);
        }
        travelled += length;
    }
}

std::array<Vector3, 3> arrowheadOf(const DirectionMark& mark, PixelScale scale)
{
    const float half = 0.5f * kMarkLengthPixels;
    const float halfWidth = 0.5f * kMarkWidthPixels;
    // Offsets from the mark in pixels, along the direction and across it.
    const auto at = [&](float along, float across) {
        const float px = along * mark.dx - across * mark.dy;
        const float py = along * mark.dy + across * mark.dx;
        return Vector3 {mark.position.x + px * scale.x, mark.position.y + py * scale.y, 0.0f};
    };
    return {at(half, 0.0f), at(-half, halfWidth), at(-half, -halfWidth)};
}

} // namespace tvl
