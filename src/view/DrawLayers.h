#pragma once

#include "view/LayerSettings.h"

namespace tvl {

class DataCoder;
class FlowView;

// A zoom rectangle dragged in the canvas: two corners in canvas pixels (y down).
struct ZoomRectangle {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// The full redraw of a canvas, the one pipeline of the window, tvl-render, the
// tests and the benchmarks: clear to black, apply a pending zoom, set the
// view's viewport, then draw the ticked layers in the order background (with
// coder; skipped without one), evenly spaced streamlines (only with the
// placement EvenDistances), arrows. Draws into the current context.
void drawLayers(
    FlowView& view, const LayerSettings& settings, const DataCoder* coder, const ZoomRectangle* pendingZoom = nullptr);

} // namespace tvl
