#include "view/LegendValue.h"

#include "flow/FlowData.h"

#include <cmath>
#include <cstdio>

namespace tvl {

bool legendValueAt(const FlowData& flow, BackgroundQuantity quantity, int valueIndex, float t, float& value)
{
    if (!flow.isLoaded())
        return false;
    switch (quantity) {
    case BackgroundQuantity::Speed:
        value = t * flow.getMaxSpeed();
        return true;
    case BackgroundQuantity::Direction:
        // The direction coder's t is 0.25 + angle / 360 for angles from −90
        // to 270 degrees.
        value = (t - 0.25f) * 360.0f;
        return true;
    case BackgroundQuantity::AdditionalValue:
        if (valueIndex < 0 || valueIndex >= flow.getAdditionalCount())
            return false;
        value = flow.getValueMinimum(valueIndex) + t * flow.getValueRange(valueIndex);
        return true;
    }
    return false;
}

std::string legendText(BackgroundQuantity quantity, float value)
{
    // Adding 0 turns a negative zero, which would print as "-0", into 0.
    char text[32];
    if (quantity == BackgroundQuantity::Direction)
        std::snprintf(text, sizeof text, "%.0f\u00b0", std::round(static_cast<double>(value)) + 0.0);
    else
        std::snprintf(text, sizeof text, "%.4g", static_cast<double>(value) + 0.0);
    return text;
}

std::string legendName(BackgroundQuantity quantity, int valueIndex)
{
    switch (quantity) {
    case BackgroundQuantity::Speed:
        return "Speed";
    case BackgroundQuantity::Direction:
        return "Direction";
    case BackgroundQuantity::AdditionalValue:
        break;
    }
    return "Special Dataset " + std::to_string(valueIndex);
}

} // namespace tvl
