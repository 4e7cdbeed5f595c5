#pragma once

#include "view/DrawLayers.h"
#include "view/LayerSettings.h"

#include <array>
#include <optional>
#include <vector>

namespace tvl {

// What an offscreen picture shows: the canvas size, the layer settings, the
// transfer function and what a user would have done with the mouse. Every
// default equals the window's start value, but for the layers: all three.
struct RenderSettings {
    // One control point of an explicit transfer function: position 0 .. 1
    // along the strip (0 and 1 recolour the two end points) and its colour.
    struct TransferPoint {
        float position = 0.0f;
        std::array<unsigned char, 3> colour {};
    };

    // Canvas pixels; the picture is the whole canvas, the viewport in its
    // bottom left corner.
    int width = 800;
    int height = 600;

    LayerSettings layers = [] {
        LayerSettings all;
        all.layers = {true, true, true};
        return all;
    }();

    // The quantity coloured streamlines code (layers.lineStyle.coloured): the
    // speed, the direction or additional value lineValue.
    BackgroundQuantity lineQuantity = BackgroundQuantity::Speed;
    int lineValue = 0;

    // Colour table entries (the width of the window's transfer strip).
    int transferEntries = 256;
    // Index into the editor's presets; none: black to white, as at start.
    std::optional<int> transferPreset;
    std::vector<TransferPoint> transferPoints;

    // A zoom rectangle, applied before drawing as a right-button drag would be.
    std::optional<ZoomRectangle> zoom;
    // Streamlines seeded by hand, canvas pixels (y down), drawn on top.
    std::vector<std::array<float, 2>> seeds;

    // Adds the legend band (render/Legend.h) under the canvas: the colour ramp
    // with the background quantity's lowest and highest value.
    bool legend = false;
};

} // namespace tvl
