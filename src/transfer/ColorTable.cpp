#include "ColorTable.h"

#include <cassert>
#include <cstddef>

namespace tvl {

ColorTable::ColorTable(int entryCount)
    : entryCount_(entryCount > 0 ? entryCount : 0)
    , bytes_(new std::uint8_t[std::size_t(entryCount_) * 3 + 1]())
{
    // One spare byte keeps data() non-null for an empty table.
}

Rgb ColorTable::entry(int i) const
{
    assert(i >= 0 && i < entryCount_ && "ColorTable::entry(): index outside the table");
    const std::uint8_t* e = bytes_.get() + std::size_t(i) * 3;
    return {e[0], e[1], e[2]};
}

void ColorTable::setEntry(int i, Rgb colour)
{
    assert(i >= 0 && i < entryCount_ && "ColorTable::setEntry(): index outside the table");
    std::uint8_t* e = bytes_.get() + std::size_t(i) * 3;
    e[0] = colour.r;
    e[1] = colour.g;
    e[2] = colour.b;
}

} // namespace tvl
