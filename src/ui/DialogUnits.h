#pragma once

#include <QRect>

#include <cmath>

namespace tvl {

// The window layout is given in dialog units of an 8-point dialog font: four
// horizontal units per average character width, eight vertical units per line.
// With the 8-point font that the dialogs use that is 1.75 pixels per unit
// across; the taller line of the toolkit's widgets asks for 2 pixels a unit
// down.
inline constexpr double kPixelsPerDialogUnitX = 1.75;
inline constexpr double kPixelsPerDialogUnitY = 2.0;
inline constexpr int kDialogFontPointSize = 8;

inline int dialogUnitsToPixelsX(int units)
{
    return static_cast<int>(std::lround(units * kPixelsPerDialogUnitX));
}
inline int dialogUnitsToPixelsY(int units)
{
    return static_cast<int>(std::lround(units * kPixelsPerDialogUnitY));
}

// A template rectangle (x, y, width, height in dialog units) in pixels.
inline QRect dialogRect(int x, int y, int width, int height)
{
    const int left = dialogUnitsToPixelsX(x);
    const int top = dialogUnitsToPixelsY(y);
    return {left, top, dialogUnitsToPixelsX(x + width) - left, dialogUnitsToPixelsY(y + height) - top};
}

} // namespace tvl
