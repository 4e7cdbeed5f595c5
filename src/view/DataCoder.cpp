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
    float t = 0.0f;
    const bool hasValue = normalizedValue(point, t);
    return colorOf(hasValue, t, rgba);
}

void DataCoder::fillRow(Vector3 start, float dx, int count, std::uint8_t* rgba) const
{
    fillRowWith(start, dx, count, rgba, [this](const Vector3& p, float& t) { return normalizedValue(p, t); });
}

} // namespace tvl
