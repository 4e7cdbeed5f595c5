#include "streamlines/CellPoints.h"
#include "flow/FloatLanes.h"

#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace tvl {

namespace {

// Four lanes, the width every x86-64 processor computes at once; a block is
// two of them. Each lane does exactly the single-precision operations a loop
// over the points would, so the answers are those of the plain loop.
using Lanes = FloatLanes;
using Mask = std::int32_t __attribute__((vector_size(4 * sizeof(std::int32_t))));
static_assert(CellPoints::kLanes == 8, "a block is two vectors of lanes");

Lanes broadcast(float value)
{
    return Lanes {value, value, value, value};
}

bool anyLane(const Mask& mask)
{
    std::uint64_t words[2];
    std::memcpy(words, &mask, sizeof words);
    return (words[0] | words[1]) != 0;
}

} // namespace

bool CellPoints::append(float x, float y)
{
    const std::size_t lane = static_cast<std::size_t>(count_ % kLanes);
    if (lane == 0) {
        try {
            blocks_.resize(blocks_.size() + 2 * kLanes, std::numeric_limits<float>::infinity());
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    float* block = blocks_.data() + blocks_.size() - 2 * kLanes;
    block[lane] = x;
    block[kLanes + lane] = y;
    ++count_;
    return true;
}

bool CellPoints::anyBelow(const CellPoints* const* cells, int count, float x, float y, float zSquared, float bound)
{
    const Lanes qx = broadcast(x);
    const Lanes qy = broadcast(y);
    const Lanes qz = broadcast(zSquared);
    const Lanes limit = broadcast(bound);
    for (int k = 0; k < count; ++k) {
        const float* block = cells[k]->blocks_.data();
        const float* end = block + cells[k]->blocks_.size();
        for (; block != end; block += 2 * kLanes) {
            const Lanes dx0 = qx - loadLanes(block);
            const Lanes dx1 = qx - loadLanes(block + 4);
            const Lanes dy0 = qy - loadLanes(block + kLanes);
            const Lanes dy1 = qy - loadLanes(block + kLanes + 4);
            const Lanes squared0 = dx0 * dx0 + dy0 * dy0 + qz;
            const Lanes squared1 = dx1 * dx1 + dy1 * dy1 + qz;
            if (anyLane((squared0 < limit) | (squared1 < limit)))
                return true;
        }
    }
    return false;
}

} // namespace tvl
