#include "DataCoder.h"

#include "transfer/ColorTable.h"

#include <cassert>
#include <cstddef>
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
    rgba[0] = rgba[1] = rgba[2] = rgba[3] = 255;
    float t = 0.0f;
    if (!normalizedValue(point, t))
        return false;
    const float product = static_cast<float>(entryCount_) * t;
    // Also rejects NaN and infinities (a zero maximum speed or value range, a
    // direction of a zero velocity), which have no index.
    if (!(product > -2147483648.0f && product < 2147483648.0f))
        return false;
    int i = static_cast<int>(product);
    if (i < 0 || i > entryCount_)
        return false;
    // t = 1 lands one past the last entry: the top of the range shows the
    // ramp's last colour.
    if (i == entryCount_) {
        if (entryCount_ == 0)
            return false;
        i = entryCount_ - 1;
    }
    const std::uint8_t* e = entries_ + std::size_t(i) * 3;
    rgba[0] = e[0];
    rgba[1] = e[1];
    rgba[2] = e[2];
    return true;
}

} // namespace tvl
