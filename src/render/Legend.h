#pragma once

#include "render/BitmapFont.h"

#include <string>

namespace tvl {

class ColorTable;
class RgbaImage;

// The legend band that tvl-render --legend puts under a picture: on black,
// the colour ramp (the transfer function's table stretched over the picture's
// width less a margin on either side), and under its ends the values at its
// lowest and highest end, left- and right-aligned, in white.
struct Legend {
    static constexpr int kMargin = 8;
    static constexpr int kRampHeight = 16;
    static constexpr int kFontScale = 2;
    // Gap above the ramp, the ramp, a gap, the text, a gap below.
    static constexpr int kHeight = 4 + kRampHeight + 4 + BitmapFont::kGlyphHeight * kFontScale + 4;
    // Rows of the band counted from its top.
    static constexpr int kRampTop = 4;
    static constexpr int kTextTop = kRampTop + kRampHeight + 4;
};

// A picture kHeight rows taller: picture on top, the legend band below.
// The picture must not be empty.
RgbaImage withLegend(
    const RgbaImage& picture, const ColorTable& table, const std::string& lowest, const std::string& highest);

} // namespace tvl
