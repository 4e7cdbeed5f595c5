#include "DataCoder.h"

#include "transfer/ColorTable.h"

#include <cassert>
#include <cstddef>
#include <cstring>
#include <system_error>
#include <thread>
#include <utility>

namespace tvl {

DataCoder::DataCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table)
    : flow_(&flow)
    , table_(std::move(table))
    , entries_(table_ ? table_->data() : nullptr)
    , entryCount_(table_ ? table_->entryCount() : 0)
{
    assert(table_ && "DataCoder::DataCoder(): needs a colour table");
}

bool DataCoder::normalizedValue(const Vector3& /*point*/, float& t) const
{
    t = 0.0f;
    return true;
}

bool DataCoder::colorAt(const Vector3& point, std::uint8_t rgba[4]) const
{
    float t = 0.0f;
    const bool hasValue = normalizedValue(point, t);
    return colorOf(hasValue, t, rgba);
}

std::vector<std::uint32_t> DataCoder::pixelPalette() const
{
    const std::size_t n = static_cast<std::size_t>(entryCount_);
    std::vector<std::uint32_t> palette(n + 1);
    for (std::size_t k = 0; k <= n; ++k) {
        const std::uint8_t* e = entries_ + k * 3;
        const std::uint8_t rgba[4] = {k < n ? e[0] : std::uint8_t {255}, k < n ? e[1] : std::uint8_t {255},
            k < n ? e[2] : std::uint8_t {255}, 255};
        std::memcpy(&palette[k], rgba, sizeof rgba);
    }
    return palette;
}

void DataCoder::fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const
{
    fillImageWith(xs, ys, rgba, [this](const Vector3& p, float& t) { return normalizedValue(p, t); });
}

void DataCoder::splitRows(
    std::size_t width, std::size_t height, const std::function<void(std::size_t, std::size_t)>& fillRows)
{
    // Below this many pixels a thread costs more than it saves.
    constexpr std::size_t kPixelsWorthAThread = std::size_t {1} << 16;
    const std::size_t half = height / 2;
    if (width * height >= kPixelsWorthAThread && half > 0) {
        try {
            std::thread lower([&fillRows, half] { fillRows(0, half); });
            fillRows(half, height);
            lower.join();
            return;
        } catch (const std::system_error&) {
            // No thread to be had: one core does it all.
        }
    }
    fillRows(0, height);
}

} // namespace tvl
