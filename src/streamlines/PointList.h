#pragma once

#include "flow/Vector3.h"

#include <cstddef>

namespace tvl {

// A growable array of streamline points in regular-grid index coordinates,
// oldest first. Every stored point has z = 0. The block grows by a fixed 64
// points at a time and clear() keeps it, so a list that is reused for many
// traces stops re-allocating once it is large enough.
class PointList {
public:
    static constexpr int kGrowth = 64;

    // Re-allocation function: like std::realloc, null when the block cannot
    // grow (the old block then stays valid). Injectable so that an exhausted
    // heap can be tested.
    using Reallocate = void* (*)(void* block, std::size_t bytes);

    PointList() = default;
    explicit PointList(Reallocate reallocate)
        : reallocate_(reallocate)
    {
    }
    ~PointList();
    PointList(const PointList&) = delete;
    PointList& operator=(const PointList&) = delete;

    // Sets z of the caller's point to 0 and stores a copy. False when the
    // block cannot grow: nothing is stored, the stored points stay intact and
    // the caller's point is left as it was.
    bool append(Vector3& point);
    // Forgets the points; the block and the capacity stay.
    void clear() { count_ = 0; }

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    bool isEmpty() const { return count_ == 0; }
    // First stored point; null while no block was ever allocated.
    const Vector3* data() const { return data_; }

private:
    static void* reallocateBlock(void* block, std::size_t bytes);

    Vector3* data_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
    Reallocate reallocate_ = &reallocateBlock;
};

} // namespace tvl
