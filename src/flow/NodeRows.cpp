#include "flow/NodeRows.h"

#include "flow/InputFile.h"
#include "flow/LittleEndian.h"

#include <algorithm>

namespace tvl {

NodeRows::NodeRows(
    const float* xPlane, const float* yPlane, const InputFile& data, int width, int height, int additionalCount)
    : xPlane_(xPlane)
    , yPlane_(yPlane)
    , data_(data)
    , width_(width)
    , height_(height)
    , additionalCount_(additionalCount)
{
}

void NodeRows::copyRecordsRow(int j, float* dest) const
{
    const std::size_t rowFloats = recordSize() * std::size_t(width_);
    if (!data_.readAt(dest, rowFloats * 4, std::uint64_t(j) * rowFloats * 4)) {
        failed_.store(true, std::memory_order_relaxed);
        std::fill(dest, dest + rowFloats, 0.0f);
        return;
    }
    littleEndianToNative(dest, rowFloats);
}

} // namespace tvl
