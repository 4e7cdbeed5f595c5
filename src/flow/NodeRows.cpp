#include "flow/NodeRows.h"

#include "flow/GridHeader.h"
#include "flow/InputFile.h"
#include "flow/LittleEndian.h"

#include <algorithm>

namespace tvl {

NodeRows::NodeRows(const InputFile& grid, const InputFile& data, int width, int height, int additionalCount)
    : grid_(grid)
    , data_(data)
    , width_(width)
    , height_(height)
    , additionalCount_(additionalCount)
{
    positions_.rows.resize(kSlots * 3 * std::size_t(width));
    records_.rows.resize(kSlots * recordSize() * std::size_t(width));
}

const float* NodeRows::positionsRow(int j) const
{
    return row(positions_, grid_, 3 * std::size_t(width_), GridHeader::kSize, j);
}

const float* NodeRows::recordsRow(int j) const
{
    return row(records_, data_, recordSize() * std::size_t(width_), 0, j);
}

float NodeRows::y(int i, int j) const
{
    for (int s = 0; s < kSlots; ++s)
        if (positions_.tags[s] == j)
            return positions_.rows[std::size_t(s) * 3 * std::size_t(width_) + 3 * std::size_t(i) + 1];
    float value = 0.0f;
    const std::uint64_t node = std::uint64_t(j) * std::uint64_t(width_) + std::uint64_t(i);
    if (!grid_.readAt(&value, sizeof value, GridHeader::kSize + node * 12 + 4)) {
        failed_ = true;
        return 0.0f;
    }
    littleEndianToNative(&value, 1);
    return value;
}

const float* NodeRows::row(
    Cache& cache, const InputFile& file, std::size_t rowFloats, std::uint64_t fileOffset, int j) const
{
    for (int s = 0; s < kSlots; ++s)
        if (cache.tags[s] == j)
            return &cache.rows[std::size_t(s) * rowFloats];
    const int slot = cache.next;
    cache.next = (cache.next + 1) % kSlots;
    cache.tags[slot] = j;
    float* dest = &cache.rows[std::size_t(slot) * rowFloats];
    if (!file.readAt(dest, rowFloats * 4, fileOffset + std::uint64_t(j) * rowFloats * 4)) {
        failed_ = true;
        std::fill(dest, dest + rowFloats, 0.0f);
        return dest;
    }
    littleEndianToNative(dest, rowFloats);
    return dest;
}

} // namespace tvl
