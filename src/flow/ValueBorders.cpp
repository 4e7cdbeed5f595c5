#include "flow/ValueBorders.h"

#include "flow/FloatLanes.h"

namespace tvl {

namespace {

// border folded with every value in order, keeping a value where
// beyond(value, border). Four lanes take every fourth value and then meet:
// numerically that is the same border, and a border other than 0 has one bit
// pattern only. Only where 0 and −0 could both stand does the order decide,
// so for a border of 0 the values are folded again one by one.
template <class Beyond> float fold(float border, const float* values, std::size_t count, Beyond beyond)
{
    FloatLanes lanes = {border, border, border, border};
    std::size_t n = 0;
    for (; n + 4 <= count; n += 4) {
        const FloatLanes v = loadLanes(values + n);
        lanes = beyond(v, lanes) ? v : lanes;
    }
    float folded = border;
    for (int l = 0; l < 4; ++l)
        folded = beyond(lanes[l], folded) ? lanes[l] : folded;
    for (; n < count; ++n)
        folded = beyond(values[n], folded) ? values[n] : folded;
    if (folded == 0.0f) {
        folded = border;
        for (n = 0; n < count; ++n)
            folded = beyond(values[n], folded) ? values[n] : folded;
    }
    return folded;
}

const auto larger = [](auto a, auto b) { return a > b; };
const auto smaller = [](auto a, auto b) { return a < b; };

} // namespace

void ValueBorders::addSpeeds(const float* speeds, std::size_t count)
{
    maxSpeed_ = fold(maxSpeed_, speeds, count, larger);
}

void ValueBorders::addValues(std::size_t k, const float* values, std::size_t count)
{
    minimum_[k] = fold(minimum_[k], values, count, smaller);
    maximum_[k] = fold(maximum_[k], values, count, larger);
}

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
