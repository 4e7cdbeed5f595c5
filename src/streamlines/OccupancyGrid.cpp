#include "streamlines/OccupancyGrid.h"
#include "flow/FloatLanes.h"

#include <limits>
#include <new>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tvl {

namespace {

using Lanes = FloatLanes;
using Mask = std::int32_t __attribute__((vector_size(4 * sizeof(std::int32_t))));

// Bit k set where lane k is set.
unsigned bitsOf(Mask mask)
{
#if defined(__SSE__)
    return static_cast<unsigned>(_mm_movemask_ps(reinterpret_cast<__m128>(mask)));
#else
    return (mask[0] ? 1u : 0u) | (mask[1] ? 2u : 0u) | (mask[2] ? 4u : 0u) | (mask[3] ? 8u : 0u);
#endif
}

} // namespace

bool OccupancyGrid::reset(int columns, int rows)
{
    for (std::uint32_t i = 0; i < used_; ++i)
        points_[i].clear();
    used_ = 0;
    columns_ = columns > 0 && rows > 0 ? columns : 0;
    rows_ = columns > 0 && rows > 0 ? rows : 0;
    // One empty cell beyond each edge, and one more at the end of each row
    // for the fourth lane of a search.
    stride_ = std::size_t(columns_) + 3;
    const std::size_t padded = stride_ * (std::size_t(rows_) + 2);
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    try {
        minX_.assign(padded, kInfinity);
        minY_.assign(padded, kInfinity);
        maxX_.assign(padded, -kInfinity);
        maxY_.assign(padded, -kInfinity);
        slots_.assign(padded, 0);
        return true;
    } catch (const std::bad_alloc&) {
        for (std::vector<float>* v : {&minX_, &minY_, &maxX_, &maxY_}) {
            v->clear();
            v->shrink_to_fit();
        }
        slots_.clear();
        slots_.shrink_to_fit();
        columns_ = 0;
        rows_ = 0;
        return false;
    }
}

bool OccupancyGrid::add(int column, int row, float x, float y)
{
    const std::size_t i = at(column, row);
    std::uint32_t& slot = slots_[i];
    if (slot == 0) {
        if (used_ == points_.size()) {
            try {
                points_.emplace_back();
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        slot = ++used_;
    }
    if (!points_[slot - 1].append(x, y))
        return false;
    minX_[i] = x < minX_[i] ? x : minX_[i];
    minY_[i] = y < minY_[i] ? y : minY_[i];
    maxX_[i] = x > maxX_[i] ? x : maxX_[i];
    maxY_[i] = y > maxY_[i] ? y : maxY_[i];
    return true;
}

const CellPoints* OccupancyGrid::cell(int column, int row) const
{
    if (column < 0 || column >= columns_ || row < 0 || row >= rows_)
        return nullptr;
    const std::uint32_t slot = slots_[at(column, row)];
    return slot == 0 || points_[slot - 1].isEmpty() ? nullptr : &points_[slot - 1];
}

bool OccupancyGrid::anyBelow(int column, int row, float x, float y, float zSquared, float bound) const
{
    // A cell whose box lies so far that even its nearest corner or edge has
    // a square not below bound holds no such point: rounding to nearest
    // never decreases as its argument grows, so every stored point's square
    // is at least the box gaps', squared and summed in the same order.
    const Lanes qx = {x, x, x, x};
    const Lanes qy = {y, y, y, y};
    const Lanes qz = {zSquared, zSquared, zSquared, zSquared};
    const Lanes limit = {bound, bound, bound, bound};
    const Lanes zero = {0.0f, 0.0f, 0.0f, 0.0f};
    const CellPoints* near[9];
    int count = 0;
    for (int r = row - 1; r <= row + 1; ++r) {
        const std::size_t first = at(column - 1, r);
        const Lanes minX = loadLanes(&minX_[first]);
        const Lanes maxX = loadLanes(&maxX_[first]);
        const Lanes minY = loadLanes(&minY_[first]);
        const Lanes maxY = loadLanes(&maxY_[first]);
        const Lanes gapX = qx < minX ? minX - qx : (qx > maxX ? qx - maxX : zero);
        const Lanes gapY = qy < minY ? minY - qy : (qy > maxY ? qy - maxY : zero);
        const Lanes lower = gapX * gapX + gapY * gapY + qz;
        // The fourth lane is the cell beyond the block.
        for (unsigned bits = bitsOf(lower < limit) & 7u; bits != 0; bits &= bits - 1) {
            const std::uint32_t slot = slots_[first + static_cast<std::size_t>(__builtin_ctz(bits))];
            if (slot != 0)
                near[count++] = &points_[slot - 1];
        }
    }
    return CellPoints::anyBelow(near, count, x, y, zSquared, bound);
}

} // namespace tvl
