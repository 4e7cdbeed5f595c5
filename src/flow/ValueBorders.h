#pragma once

#include <cfloat>
#include <cstddef>
#include <vector>

namespace tvl {

// The largest speed (0 when no speed is positive) and the smallest and
// largest of every additional value, gathered sample by sample over a regular
// grid, outside zeros included. The tests are strict, so NaN is never a
// border, and of equal values (0 and −0) the first one gathered stays. Parts
// of the grid may be gathered apart (on two threads) and merged in sample
// order: every border is then the one a single pass gives, bit for bit.
class ValueBorders {
public:
    explicit ValueBorders(std::size_t valueCount = 0)
        : minimum_(valueCount, FLT_MAX)
        , maximum_(valueCount, -FLT_MAX)
    {
    }

    void addSpeed(float speed) { maxSpeed_ = speed > maxSpeed_ ? speed : maxSpeed_; }
    void addValue(std::size_t k, float value)
    {
        minimum_[k] = value < minimum_[k] ? value : minimum_[k];
        maximum_[k] = value > maximum_[k] ? value : maximum_[k];
    }
    // The same for count speeds or count values of value k in sample order,
    // four at a time.
    void addSpeeds(const float* speeds, std::size_t count);
    void addValues(std::size_t k, const float* values, std::size_t count);
    // Takes in what later gathered over samples that come after these.
    void merge(const ValueBorders& later);

    float maxSpeed() const { return maxSpeed_; }
    const std::vector<float>& minimum() const { return minimum_; }
    const std::vector<float>& maximum() const { return maximum_; }
    // maximum − minimum of every value.
    std::vector<float> range() const;

private:
    float maxSpeed_ = 0.0f;
    std::vector<float> minimum_;
    std::vector<float> maximum_;
};

} // namespace tvl
