#pragma once

#include "flow/Vector3.h"
#include "streamlines/DirectionMarks.h"

namespace tvl {

class FlowView;

// Where a view's picture lies: the whole canvas, the viewport in its bottom
// left corner, and the visible region in regular-grid index coordinates that
// the view's projections stretch over the viewport. Needs no OpenGL.
struct PictureFrame {
    int canvasWidth = 0;
    int canvasHeight = 0;
    int viewportWidth = 0;
    int viewportHeight = 0;
    Vector3 gridMinimum;
    Vector3 gridMaximum;

    // The frame the view draws into with its current size and region.
    static PictureFrame of(const FlowView& view);

    bool isEmpty() const { return viewportWidth < 1 || viewportHeight < 1; }
    // Grid units per viewport pixel along each axis.
    PixelScale pixelScale() const;
    // A regular-grid point in picture pixels: x right from the
    // canvas's left edge, y down from its top edge, as an image file holds the
    // picture. The viewport covers x 0 … viewport width and y canvas height −
    // viewport height … canvas height.
    void toPicture(double gridX, double gridY, double& x, double& y) const;
};

} // namespace tvl
