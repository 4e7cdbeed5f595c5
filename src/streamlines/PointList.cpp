#include "streamlines/PointList.h"

#include <cstdlib>
#include <limits>

namespace tvl {

void* PointList::reallocateBlock(void* block, std::size_t bytes)
{
    return std::realloc(block, bytes);
}

PointList::~PointList()
{
    std::free(data_);
}

bool PointList::append(Vector3& point)
{
    if (count_ >= capacity_) {
        if (capacity_ > std::numeric_limits<int>::max() - kGrowth)
            return false;
        const int grown = capacity_ + kGrowth;
        const std::size_t bytes = static_cast<std::size_t>(grown) * sizeof(Vector3);
        // On failure the old block is still ours and still holds the points.
        void* block = reallocate_(data_, bytes);
        if (block == nullptr)
            return false;
        data_ = static_cast<Vector3*>(block);
        capacity_ = grown;
    }
    point.z = 0.0f;
    data_[count_] = point;
    ++count_;
    return true;
}

} // namespace tvl
