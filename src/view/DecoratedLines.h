#pragma once

#include "flow/Vector3.h"
#include "streamlines/DirectionMarks.h"
#include "streamlines/StreamlineSet.h"
#include "transfer/Rgb.h"
#include "view/LayerSettings.h"

#include <array>
#include <vector>

namespace tvl {

class DataCoder;

// Streamlines as a picture shows them in a StreamlineStyle: the half-lines in
// regular-grid index coordinates, one colour per point when they are
// coloured, and the direction marks as filled triangles. Needs no OpenGL:
// the view draws it (drawDecorated) and the vector picture writes it, so
// both show the same lines, colours and marks.
//
// Coloured lines are painted in two passes, every half-line first wide in
// the outline colour and then every half-line in its colours on top, so a
// line stays readable over a coloured background. Coloured marks carry a
// thin outline in the outline colour.
struct DecoratedLines {
    struct Mark {
        std::array<Vector3, 3> corners; // tip, base, base
        Rgb colour;
    };

    static constexpr Rgb kWhite {255, 255, 255};
    static constexpr Rgb kOutline {0, 0, 0};
    // Widths in pixels as they appear in the picture; plain white lines are
    // one pixel wide.
    static constexpr float kPlainWidth = 1.0f;
    static constexpr float kColouredWidth = 2.0f;
    static constexpr float kOutlineWidth = 4.0f;
    static constexpr float kMarkOutlineWidth = 1.0f;

    StreamlineSet lines;
    // One colour per point of lines.points(); empty for white lines.
    std::vector<Rgb> colours;
    std::vector<Mark> marks;

    bool isColoured() const { return !colours.empty(); }
};

// The lines in the style: coloured per point by coder when the style says so
// and a coder is given (white otherwise), marks every style.markSpacing
// viewport pixels of arc length at the view's scale, each in the colour of
// the quantity where it sits. A point where the coder finds no value or the
// flow has no direction (beyond the border of the sampled domain) takes the
// colour of the point before it on its half-line, or of the first one with a
// value at the start; a mark there the colour of its step.
DecoratedLines decorateStreamlines(
    const StreamlineSet& lines, const StreamlineStyle& style, const DataCoder* coder, PixelScale scale);

} // namespace tvl
