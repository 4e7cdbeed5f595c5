#pragma once

#include "view/LayerSettings.h"

#include <array>
#include <span>

namespace tvl {

class DataCoder;
class FlowView;
class LayerPainter;
struct PictureScene;

// A zoom rectangle dragged in the canvas: two corners in canvas pixels (y down).
struct ZoomRectangle {
    float x0 = 0.0f;
    float y0 = 0.0f;
    float x1 = 0.0f;
    float y1 = 0.0f;
};

// A streamline seeded by hand: a canvas pixel (y down).
using SeedPixel = std::array<float, 2>;

// The one layer pipeline of the window, tvl-render, the vector pictures, the
// tests and the benchmarks: apply a pending zoom to the view, begin the
// picture, then the ticked layers in the order background (with coder;
// skipped without one), evenly spaced streamlines (only with the placement
// EvenDistances; coloured by lineCoder, or by coder when that is null),
// arrows.
void paintLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder,
    const ZoomRectangle* pendingZoom, const DataCoder* lineCoder, LayerPainter& painter);

// The full redraw of a canvas in OpenGL into the current context: clear to
// black, set the view's viewport, then paintLayers.
void drawLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder,
    const ZoomRectangle* pendingZoom = nullptr, const DataCoder* lineCoder = nullptr);

// One streamline seeded by hand at a canvas pixel, drawn in OpenGL on top of
// the picture in the settings' streamline style, coloured by lineCoder; the
// plain style draws exactly what FlowView::seedStreamlineAt draws.
void drawSeededStreamline(FlowView& view, float x, float y, const LayerSettings& settings, const DataCoder* lineCoder);

// The same picture as drawLayers followed by drawSeededStreamline for each
// seed (with lineCoder, or coder when that is null), described into scene
// (replacing what it held) instead of drawn. Needs no OpenGL.
void describeLayers(FlowView& view, const LayerSettings& settings, const DataCoder* coder,
    const ZoomRectangle* pendingZoom, std::span<const SeedPixel> seeds, const DataCoder* lineCoder,
    PictureScene& scene);

} // namespace tvl
