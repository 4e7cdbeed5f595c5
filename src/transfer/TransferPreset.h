#pragma once

#include "Rgb.h"

#include <array>
#include <optional>
#include <string_view>

namespace tvl {

// A ready-made colour ramp of the editor's "PRESET" menu: two or three colours
// from left to right; a third colour sits in the middle of the strip.
struct TransferPreset {
    std::string_view menuText;
    int colourCount;
    std::array<Rgb, 3> colours;
};

// In menu order.
inline constexpr std::array<TransferPreset, 5> kTransferPresets {{
    {"Black-White", 2, {{{0, 0, 0}, {255, 255, 255}, {}}}},
    {"Blue-Yellow", 2, {{{0, 0, 255}, {255, 255, 0}, {}}}},
    {"Blue-Green-Red", 3, {{{0, 0, 255}, {0, 255, 0}, {255, 0, 0}}}},
    {"Black-Blue-Cyan", 3, {{{0, 0, 0}, {0, 0, 255}, {0, 255, 255}}}},
    {"Black-Orange-Yellow", 3, {{{0, 0, 0}, {218, 141, 0}, {255, 255, 0}}}},
}};

// Position in kTransferPresets of the preset with this menu text, compared
// without regard to letter case ("blue-green-red" finds "Blue-Green-Red").
std::optional<int> findTransferPreset(std::string_view name);

} // namespace tvl
