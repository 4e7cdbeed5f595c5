#pragma once

#include "Rgb.h"

#include <cstdint>

namespace tvl {

// One slot of the transfer function. The hit rectangle is in strip client
// pixels (x to the right, y down): left = column - 10, right = column + 10,
// top and bottom = the strip's client top and bottom. A free slot has a zero
// rectangle, black, and its own slot number as key.
//
// The key names the slot a point was added into: 0 and 1 mark the two end
// points and never appear elsewhere. Other keys are not unique identities (a
// slot freed by a removal hands its number to the next added point while a
// live point may still carry it), so callers refer to points by slot index.
struct ControlPoint {
    std::int32_t key = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    // The centre of the hit rectangle, integer division: the column the point
    // was placed at.
    std::int32_t column() const { return left + (right - left) / 2; }
    Rgb colour() const { return {red, green, blue}; }
    bool isEndPoint() const { return key == 0 || key == 1; }
    // Left and top edges inclusive, right and bottom exclusive.
    bool contains(std::int32_t x, std::int32_t y) const { return left <= x && x < right && top <= y && y < bottom; }
};

} // namespace tvl
