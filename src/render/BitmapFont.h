#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tvl {

class RgbaImage;

// A tiny built-in font for the numbers of a legend, so that pictures can carry
// text without a font library: 5 × 7 pixel glyphs for the digits, ". - + e",
// the degree sign "°" (UTF-8), the letters of "inf" and "nan", and the blank.
// Any other character is drawn as a hollow box.
class BitmapFont {
public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    // Blank columns after each glyph.
    static constexpr int kSpacing = 1;

    explicit BitmapFont(int scale = 1)
        : scale_(scale < 1 ? 1 : scale)
    {
    }

    int scale() const { return scale_; }
    int height() const { return kGlyphHeight * scale_; }
    // Width of text in pixels, spacing after the last glyph left out.
    int width(const std::string& text) const;

    // Draws text with its top left corner at (x, top) in image pixels counted
    // from the image's top row (the image itself holds rows bottom-up); pixels
    // outside the image are left out.
    void draw(RgbaImage& image, int x, int top, const std::string& text, const std::array<std::uint8_t, 4>& rgba) const;

private:
    int scale_;
};

} // namespace tvl
