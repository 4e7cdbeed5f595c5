#pragma once

#include "flow/Vector3.h"
#include "transfer/ColorTable.h"
#include "view/DataCoder.h"

#include <cstdint>
#include <memory>

namespace tvl::test {

// A colour table whose entry i is (i, 255 - i, 77), so that a colour names
// the entry it came from (at most 256 entries).
inline std::shared_ptr<ColorTable> indexTable(int count)
{
    auto table = std::make_shared<ColorTable>(count);
    for (int i = 0; i < count; ++i)
        table->setEntry(i, Rgb {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), 77});
    return table;
}

// The index-table entry a coder's colorAt gives at a point (opaque, true),
// kWhite for its failure colour (false with opaque white), kGarbled otherwise.
constexpr int kWhite = -1;
constexpr int kGarbled = -2;
inline int entryAt(const DataCoder& coder, Vector3 point)
{
    std::uint8_t c[4] = {1, 2, 3, 4};
    const bool ok = coder.colorAt(point, c);
    if (ok && c[1] == 255 - c[0] && c[2] == 77 && c[3] == 255)
        return c[0];
    return !ok && c[0] == 255 && c[1] == 255 && c[2] == 255 && c[3] == 255 ? kWhite : kGarbled;
}

} // namespace tvl::test
