#pragma once

#include <cstddef>
#include <vector>

namespace tvl {

// The points stored in one cell of the streamline layer's occupancy grid, in
// regular-grid index coordinates; every stored point has z = 0, so only x and
// y are kept. They lie in blocks of kLanes x values followed by kLanes y
// values, in the order they were appended, so a distance test runs over whole
// blocks at once; the unused lanes of the last block hold +infinity, whose
// distance is infinite and never counts. clear() keeps the storage.
class CellPoints {
public:
    static constexpr int kLanes = 8;

    // False (nothing stored) when the storage cannot grow.
    bool append(float x, float y);
    void clear()
    {
        count_ = 0;
        blocks_.clear();
    }
    int count() const { return count_; }
    bool isEmpty() const { return count_ == 0; }

    // Whether some point stored in one of the count cells has a squared
    // distance from (x, y) of dx² + dy² + zSquared, in single precision in
    // this order, below bound (see squaredDistanceBound); stops at the first
    // block that holds one.
    static bool anyBelow(const CellPoints* const* cells, int count, float x, float y, float zSquared, float bound);

private:
    int count_ = 0;
    std::vector<float> blocks_; // 2 × kLanes floats per block
};

} // namespace tvl
