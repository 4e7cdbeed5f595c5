#pragma once

#include "view/LayerSettings.h"

#include <string>

namespace tvl {

class FlowData;

// What the colour ramp means: the value of a background quantity at a place
// of the ramp, for the transfer strip's tool tip and the legend of tvl-render.
// The coders map a value to the ramp through the data set's borders; these
// functions map back.

// The value at fraction t of the ramp's width (t = column / entry count, 0 at
// the left end, 1 at the right): the speed t × maximum speed (in the data's
// own unit); the direction as the angle of the flow, counter-clockwise from +x,
// (t − 0.25) × 360 degrees, so −90 at the left end and 270 at the right (both
// towards −y), 0 towards +x, 90 towards +y, 180 towards −x; additional value k:
// minimum + t × range. False (value untouched) when no data set is loaded or
// the data set has no additional value valueIndex.
bool legendValueAt(const FlowData& flow, BackgroundQuantity quantity, int valueIndex, float t, float& value);

// A value as the legend shows it: four significant digits, a direction in
// whole degrees followed by "°" (UTF-8).
std::string legendText(BackgroundQuantity quantity, float value);

// The quantity's name as the settings pages show it: "Speed", "Direction",
// "Special Dataset k".
std::string legendName(BackgroundQuantity quantity, int valueIndex);

} // namespace tvl
