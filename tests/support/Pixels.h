#pragma once

#include <array>
#include <cstdint>

namespace tvl::test {

// Red, green and blue of a pixel of an RgbaImage (RGBA bytes) or a QImage
// (0xAARRGGBB), so that one set of predicates serves both.
struct Rgb8 {
    Rgb8(const std::array<std::uint8_t, 4>& p)
        : r(p[0])
        , g(p[1])
        , b(p[2])
    {
    }
    Rgb8(unsigned int argb)
        : r(int(argb >> 16 & 0xffu))
        , g(int(argb >> 8 & 0xffu))
        , b(int(argb & 0xffu))
    {
    }
    int r, g, b;
};

inline bool isColour(Rgb8 p, int r, int g, int b)
{
    return p.r == r && p.g == g && p.b == b;
}
inline const auto isBlack = [](Rgb8 p) { return isColour(p, 0, 0, 0); };
inline const auto isWhite = [](Rgb8 p) { return isColour(p, 255, 255, 255); };
inline const auto isRed = [](Rgb8 p) { return isColour(p, 255, 0, 0); };
// The arrows' colour (1.0, 0.7, 0.7), whichever way the driver rounds 0.7.
inline const auto isArrowColour = [](Rgb8 p) { return p.r == 255 && p.g / 2 == 89 && p.b / 2 == 89; };

// Pixels of an RgbaImage or a QImage in columns x0 .. x1 - 1 and rows
// y0 .. y1 - 1 (the whole image by default) that pass the predicate.
template <class Image, class Predicate>
int countPixels(const Image& image, Predicate predicate, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1)
{
    int n = 0;
    for (int y = y0; y < (y1 < 0 ? image.height() : y1); ++y)
        for (int x = x0; x < (x1 < 0 ? image.width() : x1); ++x)
            n += predicate(image.pixel(x, y)) ? 1 : 0;
    return n;
}

} // namespace tvl::test
