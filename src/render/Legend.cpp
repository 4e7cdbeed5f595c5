#include "render/Legend.h"

#include "render/BitmapFont.h"
#include "render/RgbaImage.h"
#include "transfer/ColorTable.h"

#include <cstring>

namespace tvl {

RgbaImage withLegend(
    const RgbaImage& picture, const ColorTable& table, const std::string& lowest, const std::string& highest)
{
    const int width = picture.width();
    RgbaImage framed(width, picture.height() + Legend::kHeight);
    // The band is the bottom rows; the picture's rows follow unchanged.
    std::memcpy(framed.data() + std::size_t {4} * static_cast<std::size_t>(width) * Legend::kHeight, picture.data(),
        std::size_t {4} * static_cast<std::size_t>(width) * static_cast<std::size_t>(picture.height()));
    for (int y = 0; y < Legend::kHeight; ++y)
        for (int x = 0; x < width; ++x)
            framed.setPixel(x, y, {0, 0, 0, 255});

    // Column x of the ramp shows the entry a coder picks for t = x / ramp width.
    const int rampWidth = width - 2 * Legend::kMargin;
    const int entries = table.entryCount();
    for (int x = 0; x < rampWidth && entries > 0; ++x) {
        const long long entry = static_cast<long long>(x) * entries / rampWidth;
        const Rgb colour = table.entry(static_cast<int>(entry));
        for (int row = Legend::kRampTop; row < Legend::kRampTop + Legend::kRampHeight; ++row)
            framed.setPixel(Legend::kMargin + x, Legend::kHeight - 1 - row, {colour.r, colour.g, colour.b, 255});
    }

    const BitmapFont font(Legend::kFontScale);
    const int textTop = picture.height() + Legend::kTextTop;
    font.draw(framed, Legend::kMargin, textTop, lowest, {255, 255, 255, 255});
    font.draw(framed, width - Legend::kMargin - font.width(highest), textTop, highest, {255, 255, 255, 255});
    return framed;
}

} // namespace tvl
