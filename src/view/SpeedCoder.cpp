#include "SpeedCoder.h"
#include "flow/FloatLanes.h"

#include "flow/Bilinear.h"
#include "flow/FlowData.h"

#include <cstring>
#include <utility>
#include <vector>

namespace tvl {

SpeedCoder::SpeedCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
    : DataCoder(flow, std::move(table))
{
}

bool SpeedCoder::normalizedValue(const Vector3& point, float& t) const
{
    float speed = 0.0f;
    if (!flowData().speedAt(point, speed))
        return false;
    t = flowData().normalizeSpeed(speed);
    return true;
}

void SpeedCoder::fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const
{
    // The pixels of a column share its cell and fraction; they are found
    // once. Four pixels of a row are blended and normalised at once, each lane
    // with the operations of speedAt and normalizeSpeed, so every t is the
    // one a lookup per pixel gives.
    using Lanes = FloatLanes;
    constexpr std::size_t kLanes = 4;
    const FlowData& flow = flowData();
    const std::size_t width = xs.size();
    const std::size_t padded = (width + kLanes - 1) / kLanes * kLanes;
    // Columns beyond the image and outside the grid read cell 0, whose four
    // samples exist in a grid that has any inside point.
    std::vector<std::size_t> cells(padded, 0);
    std::vector<float> fractions(padded, 0.0f);
    std::vector<char> inside(padded, 0);
    for (std::size_t k = 0; k < width; ++k) {
        const FlowData::AxisCell column = flow.columnCell(xs[k]);
        inside[k] = column.inside;
        cells[k] = column.inside ? static_cast<std::size_t>(column.index) : 0;
        fractions[k] = column.inside ? column.fraction : 0.0f;
    }
    const std::size_t w = static_cast<std::size_t>(flow.getWidth());
    const std::vector<std::uint32_t> palette = pixelPalette();
    splitRows(width, ys.size(), [&](std::size_t first, std::size_t last) {
        // Locals, since a pixel store may alias anything the closure refers to
        // and would make the loop read it again.
        const std::uint32_t* const colors = palette.data();
        const char* const insideColumns = inside.data();
        const std::size_t* const columnCells = cells.data();
        const float* const columnFractions = fractions.data();
        const int n = entryCount();
        const std::size_t white = static_cast<std::size_t>(n);
        std::uint8_t* pixel = rgba + 4 * width * first;
        for (std::size_t j = first; j < last; ++j) {
            const FlowData::AxisCell row = flow.rowCell(ys[j]);
            if (!row.inside || w < 2) {
                for (std::size_t k = 0; k < width; ++k, pixel += 4)
                    std::memcpy(pixel, &colors[white], 4);
                continue;
            }
            const float* lower = flow.speedPlane() + static_cast<std::size_t>(row.index) * w;
            const float* upper = lower + w;
            const Lanes b = {row.fraction, row.fraction, row.fraction, row.fraction};
            for (std::size_t k = 0; k < width; k += kLanes) {
                const std::size_t* c = &columnCells[k];
                Lanes a;
                std::memcpy(&a, &columnFractions[k], sizeof a);
                const Lanes s00 = {lower[c[0]], lower[c[1]], lower[c[2]], lower[c[3]]};
                const Lanes s10 = {lower[c[0] + 1], lower[c[1] + 1], lower[c[2] + 1], lower[c[3] + 1]};
                const Lanes s01 = {upper[c[0]], upper[c[1]], upper[c[2]], upper[c[3]]};
                const Lanes s11 = {upper[c[0] + 1], upper[c[1] + 1], upper[c[2] + 1], upper[c[3] + 1]};
                const Lanes t = flow.normalizeSpeed(bilinear(a, b, s00, s10, s01, s11));
                const std::size_t lanes = width - k < kLanes ? width - k : kLanes;
                for (std::size_t l = 0; l < lanes; ++l, pixel += 4) {
                    const int index = paletteIndex(insideColumns[k + l] != 0, t[l], n);
                    std::memcpy(pixel, &colors[static_cast<std::size_t>(index)], 4);
                }
            }
        }
    });
}

} // namespace tvl
