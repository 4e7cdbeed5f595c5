#include "render/RgbaImage.h"

#include <cassert>
#include <cstddef>

namespace tvl {

RgbaImage::RgbaImage(int width, int height)
    : width_(width > 0 ? width : 0)
    , height_(height > 0 ? height : 0)
    , bytes_(std::size_t {4} * static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0)
{
}

std::array<std::uint8_t, 4> RgbaImage::pixel(int x, int y) const
{
    assert(x >= 0 && x < width_ && y >= 0 && y < height_ && "RgbaImage::pixel(): outside the image");
    const std::size_t at
        = 4 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x));
    return {bytes_[at], bytes_[at + 1], bytes_[at + 2], bytes_[at + 3]};
}

void RgbaImage::setPixel(int x, int y, const std::array<std::uint8_t, 4>& rgba)
{
    assert(x >= 0 && x < width_ && y >= 0 && y < height_ && "RgbaImage::setPixel(): outside the image");
    const std::size_t at
        = 4 * (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x));
    for (std::size_t c = 0; c < 4; ++c)
        bytes_[at + c] = rgba[c];
}

} // namespace tvl
