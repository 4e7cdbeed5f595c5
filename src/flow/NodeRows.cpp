#include "flow/NodeRows.h"

#include "flow/LittleEndian.h"

#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace tvl {

NodeRows::NodeRows(int gridFd, int dataFd, int width, int height, int additionalCount)
    : gridFd_(gridFd), dataFd_(dataFd), width_(width), height_(height), additionalCount_(additionalCount)
{
    positions_.rows.resize(kSlots * 3 * std::size_t(width));
    records_.rows.resize(kSlots * recordSize() * std::size_t(width));
}

const float* NodeRows::positionsRow(int j) const
{
    return row(positions_, gridFd_, 3 * std::size_t(width_), 40, j);
}

const float* NodeRows::recordsRow(int j) const
{
    return row(records_, dataFd_, recordSize() * std::size_t(width_), 0, j);
}

float NodeRows::y(int i, int j) const
{
    for (int s = 0; s < kSlots; ++s)
        if (positions_.tags[s] == j)
            return positions_.rows[std::size_t(s) * 3 * std::size_t(width_) + 3 * std::size_t(i) + 1];
    float value = 0.0f;
    const std::uint64_t offset = 40 + (std::uint64_t(j) * std::uint64_t(width_) + std::uint64_t(i)) * 12 + 4;
    if (pread(gridFd_, &value, 4, static_cast<off_t>(offset)) != 4) {
        failed_ = true;
        return 0.0f;
    }
    littleEndianToNative(&value, 1);
    return value;
}

const float* NodeRows::row(Cache& cache, int fd, std::size_t rowFloats, std::uint64_t fileOffset, int j) const
{
    for (int s = 0; s < kSlots; ++s)
        if (cache.tags[s] == j)
            return &cache.rows[std::size_t(s) * rowFloats];
    const int slot = cache.next;
    cache.next = (cache.next + 1) % kSlots;
    cache.tags[slot] = j;
    float* dest = &cache.rows[std::size_t(slot) * rowFloats];
    char* bytes = reinterpret_cast<char*>(dest);
    std::size_t want = rowFloats * 4;
    auto offset = static_cast<off_t>(fileOffset + std::uint64_t(j) * rowFloats * 4);
    while (want > 0) {
        const ssize_t got = pread(fd, bytes, want, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            failed_ = true;
            std::fill(dest, dest + rowFloats, 0.0f);
            return dest;
        }
        bytes += got;
        offset += got;
        want -= std::size_t(got);
    }
    littleEndianToNative(dest, rowFloats);
    return dest;
}

} // namespace tvl
