#pragma once

#include "flow/Vector3.h"
#include "transfer/Rgb.h"
#include "view/DecoratedLines.h"
#include "view/PictureFrame.h"

#include <array>
#include <cstdint>
#include <variant>
#include <vector>

namespace tvl {

// A picture described instead of drawn, for vector files: its frame and what
// the layers paint, in painting order. Geometry is in regular-grid index
// coordinates; the frame maps it onto the picture and the viewport clips it,
// as the OpenGL projections do.
struct PictureScene {
    // The background layer's image: viewport width × height RGBA pixels,
    // rows bottom-up, as FlowView::fillBackgroundImage fills it.
    struct Background {
        int width = 0;
        int height = 0;
        std::vector<std::uint8_t> rgba;
    };
    // The arrow plot's filled triangles: tip and the two base corners, with z
    // (which the depth range -1 … 1 clips).
    struct Arrows {
        Rgb colour;
        std::vector<std::array<Vector3, 3>> triangles;
    };
    using Layer = std::variant<Background, DecoratedLines, Arrows>;

    PictureFrame frame;
    std::vector<Layer> layers;
};

} // namespace tvl
