#pragma once

#include "view/LayerSettings.h"

#include <memory>

namespace tvl {

class ColorTable;
class DataCoder;
class FlowData;

// The coder of a background quantity over the transfer function's table:
// SpeedCoder, DirectionCoder, or AdditionalDataCoder of value valueIndex
// (which the coder checks against the data set at every call).
std::shared_ptr<DataCoder> makeDataCoder(
    BackgroundQuantity quantity, int valueIndex, const FlowData& flow, std::shared_ptr<const ColorTable> table);

} // namespace tvl
