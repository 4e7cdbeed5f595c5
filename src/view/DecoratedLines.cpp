#include "view/DecoratedLines.h"

#include "flow/FlowData.h"
#include "view/DataCoder.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tvl {

namespace {

// The coder's colour at a point; hasValue is false where the coder has no
// value or the point lies outside the sampled domain (where an additional
// value reads as 0, which would colour a line's last point wrongly).
Rgb colourAt(const DataCoder& coder, const Vector3& point, bool& hasValue)
{
    std::uint8_t rgba[4];
    Vector3 direction;
    hasValue = coder.colorAt(point, rgba) && coder.flowData().directionAt(point, direction);
    return {rgba[0], rgba[1], rgba[2]};
}

// The colours of one half-line, appended. The last point of a line often
// lies on the border of the sampled domain, where there is no value; such a
// point takes the colour of the point before it (the first valued one at the
// start), so the line does not end in a white tip.
void colourHalfLine(const DataCoder& coder, std::span<const Vector3> points, std::vector<Rgb>& colours)
{
    const std::size_t first = colours.size();
    std::optional<std::size_t> firstValued;
    for (std::size_t i = 0; i < points.size(); ++i) {
        bool hasValue = false;
        Rgb colour = colourAt(coder, points[i], hasValue);
        if (hasValue && !firstValued)
            firstValued = i;
        else if (!hasValue && firstValued)
            colour = colours.back();
        colours.push_back(colour);
    }
    for (std::size_t i = 0; firstValued && i < *firstValued; ++i)
        colours[first + i] = colours[first + *firstValued];
}

} // namespace

DecoratedLines decorateStreamlines(
    const StreamlineSet& lines, const StreamlineStyle& style, const DataCoder* coder, PixelScale scale)
{
    DecoratedLines decorated;
    decorated.lines = lines;
    const DataCoder* colouring = style.coloured ? coder : nullptr;
    if (colouring) {
        decorated.colours.reserve(lines.points().size());
        for (const StreamlineSet::HalfLine& line : lines.halfLines())
            colourHalfLine(*colouring, lines.pointsOf(line), decorated.colours);
    }
    if (style.markSpacing > 0) {
        std::vector<DirectionMark> marks;
        for (const StreamlineSet::HalfLine& line : lines.halfLines()) {
            marks.clear();
            placeDirectionMarks(lines.pointsOf(line), line.sense, scale, static_cast<float>(style.markSpacing), marks);
            for (const DirectionMark& mark : marks) {
                // A mark in the colour of the line where it sits; where the
                // quantity has no value, the colour of its step.
                Rgb colour = DecoratedLines::kWhite;
                if (colouring) {
                    bool hasValue = false;
                    colour = colourAt(*colouring, mark.position, hasValue);
                    if (!hasValue)
                        colour = decorated.colours[line.first + mark.step];
                }
                decorated.marks.push_back({arrowheadOf(mark, scale), colour});
            }
        }
    }
    return decorated;
}

} // namespace tvl
