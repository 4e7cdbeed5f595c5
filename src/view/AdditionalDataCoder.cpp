#include "AdditionalDataCoder.h"

#include "flow/FlowData.h"

#include <utility>

namespace tvl {

AdditionalDataCoder::AdditionalDataCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table, int valueIndex)
    : DataCoder(flow, std::move(table))
    , valueIndex_(valueIndex)
{
}

bool AdditionalDataCoder::normalizedValue(const Vector3& point, float& t) const
{
    const FlowData& flow = flowData();
    if (valueIndex_ < 0 || valueIndex_ >= flow.getAdditionalCount())
        return false;
    t = flow.normalizeAdditionalValue(valueIndex_, flow.additionalValueAt(point, valueIndex_));
    return true;
}

void AdditionalDataCoder::fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const
{
    splitRows(xs.size(), ys.size(), [&](std::size_t first, std::size_t last) {
        fillImageWith(xs, ys.subspan(first, last - first), rgba + 4 * xs.size() * first,
            [this](const Vector3& p, float& t) { return AdditionalDataCoder::normalizedValue(p, t); });
    });
}

} // namespace tvl
