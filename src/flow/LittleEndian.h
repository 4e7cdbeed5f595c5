#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

namespace tvl {

// The grid and data files hold little-endian floats; on a big-endian host
// they are turned around in place after reading.
inline void littleEndianToNative(float* values, std::size_t count)
{
    if constexpr (std::endian::native == std::endian::big) {
        for (std::size_t i = 0; i < count; ++i)
            values[i] = std::bit_cast<float>(__builtin_bswap32(std::bit_cast<std::uint32_t>(values[i])));
    } else {
        (void)values;
        (void)count;
    }
}

} // namespace tvl
