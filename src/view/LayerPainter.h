#pragma once

namespace tvl {

class DataCoder;
class FlowView;
struct LayerSettings;

// What paints the layers of a picture: the OpenGL drawing of the canvases and
// tvl-render, or the recorder that describes a picture for a vector file.
// paintLayers (DrawLayers.h) decides which layers are painted and in which
// order; a painter only paints the layer it is asked for, each from the same
// view computations, so both kinds of picture show the same thing.
class LayerPainter {
public:
    virtual ~LayerPainter() = default;

    // Before the first layer, with the view sized and zoomed as the picture
    // shows it.
    virtual void begin(FlowView& view) = 0;
    virtual void background(FlowView& view, const DataCoder& coder) = 0;
    // The evenly spaced streamlines in the settings' style; lineCoder colours
    // them when the style is coloured (null: white).
    virtual void evenStreamlines(FlowView& view, const LayerSettings& settings, const DataCoder* lineCoder) = 0;
    virtual void arrows(FlowView& view, const LayerSettings& settings) = 0;
    // One streamline seeded by hand at a canvas pixel (y down), on top of
    // everything painted before, in the settings' style.
    virtual void seededStreamline(
        FlowView& view, float x, float y, const LayerSettings& settings, const DataCoder* lineCoder)
        = 0;
};

} // namespace tvl
