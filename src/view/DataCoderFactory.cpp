#include "view/DataCoderFactory.h"

#include "view/AdditionalDataCoder.h"
#include "view/DirectionCoder.h"
#include "view/SpeedCoder.h"

#include <utility>

namespace tvl {

std::shared_ptr<DataCoder> makeDataCoder(
    BackgroundQuantity quantity, int valueIndex, const FlowData& flow, std::shared_ptr<const ColorTable> table)
{
    switch (quantity) {
    case BackgroundQuantity::Direction:
        return std::make_shared<DirectionCoder>(flow, std::move(table));
    case BackgroundQuantity::AdditionalValue:
        return std::make_shared<AdditionalDataCoder>(flow, std::move(table), valueIndex);
    case BackgroundQuantity::Speed:
        break;
    }
    return std::make_shared<SpeedCoder>(flow, std::move(table));
}

} // namespace tvl
