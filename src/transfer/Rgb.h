#pragma once

#include <cstdint>

namespace tvl {

// One colour of the transfer function: red, green, blue as bytes.
struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A COLORREF as colour dialogs hand it over: red in the lowest byte, then
// green, then blue; the top byte is ignored.
constexpr Rgb rgbFromColorRef(std::uint32_t colorRef)
{
    return {static_cast<std::uint8_t>(colorRef & 0xffu), static_cast<std::uint8_t>((colorRef >> 8) & 0xffu),
        static_cast<std::uint8_t>((colorRef >> 16) & 0xffu)};
}

} // namespace tvl
