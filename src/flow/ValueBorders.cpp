#include "flow/ValueBorders.h"

namespace tvl {

void ValueBorders::merge(const ValueBorders& later)
{
    addSpeed(later.maxSpeed_);
    for (std::size_t k = 0; k < minimum_.size(); ++k) {
        const float lo = later.minimum_[k], hi = later.maximum_[k];
        minimum_[k] = lo < minimum_[k] ? lo : minimum_[k];
        maximum_[k] = hi > maximum_[k] ? hi : maximum_[k];
    }
}

std::vector<float> ValueBorders::range() const
{
    std::vector<float> range(minimum_.size());
    for (std::size_t k = 0; k < range.size(); ++k)
        range[k] = maximum_[k] - minimum_[k];
    return range;
}

} // namespace tvl
