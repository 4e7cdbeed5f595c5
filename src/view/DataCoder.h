#pragma once

#include "flow/Vector3.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tvl {

class ColorTable;
class FlowData;

// Turns one flow quantity at a point into a colour of the transfer function's
// table. Subclasses bring the quantity to a normalised value t (nominally 0 to
// 1) in normalizedValue; colorAt maps t to entry trunc(entry count * t).
//
// Points are in regular-grid index coordinates (fractional sample column x,
// fractional sample row y; z is ignored), the system of FlowData's lookups.
//
// Lifetimes: the coder shares ownership of the colour table, so the table
// outlives every coder that reads it; edits of the transfer function rewrite
// the table in place and show at the coder's next colorAt. The flow data set
// is not owned: it lives as long as the program, and a coder reads whatever
// data set it holds at the time of the call (a reload is seen at once).
// Coders hold no cache and are meant to be shared through std::shared_ptr.
class DataCoder {
public:
    DataCoder(const FlowData& flow, std::shared_ptr<const ColorTable> table);
    virtual ~DataCoder() = default;

    DataCoder(const DataCoder&) = delete;
    DataCoder& operator=(const DataCoder&) = delete;

    // Writes t and answers true when the quantity exists at the point; on false
    // t keeps what the caller put there. The base class answers t = 0.
    virtual bool normalizedValue(const Vector3& point, float& t) const;

    // rgba receives red, green, blue, alpha. True with a table entry and alpha
    // 255; false with opaque white (255, 255, 255, 255) when there is no value,
    // t is not finite, or trunc(entry count * t) lies below 0 or above the entry
    // count. An index equal to the entry count (t = 1, the top of the range)
    // takes the last entry. One virtual call, no allocation.
    bool colorAt(const Vector3& point, std::uint8_t rgba[4]) const;

    // Colours count pixels of one image row, four bytes each: pixel k is
    // coloured as colorAt would at start moved k times by dx along x, the
    // position accumulated in single precision. Subclasses override it only
    // to make their own normalizedValue a direct call.
    virtual void fillRow(Vector3 start, float dx, int count, std::uint8_t* rgba) const;

    const FlowData& flowData() const { return *flow_; }
    int entryCount() const { return entryCount_; }

protected:
    // The colour of a value: the table entry of t, or opaque white when there
    // is no value or t has no index in the table (see colorAt).
    bool colorOf(bool hasValue, float t, std::uint8_t rgba[4]) const
    {
        rgba[0] = rgba[1] = rgba[2] = rgba[3] = 255;
        if (!hasValue)
            return false;
        const float product = static_cast<float>(entryCount_) * t;
        // Also rejects NaN and infinities (a zero maximum speed or value range,
        // a direction of a zero velocity), which have no index.
        if (!(product > -2147483648.0f && product < 2147483648.0f))
            return false;
        int i = static_cast<int>(product);
        if (i < 0 || i > entryCount_)
            return false;
        // t = 1 lands one past the last entry: the top of the range shows the
        // ramp's last colour.
        if (i == entryCount_) {
            if (entryCount_ == 0)
                return false;
            i = entryCount_ - 1;
        }
        const std::uint8_t* e = entries_ + std::size_t(i) * 3;
        rgba[0] = e[0];
        rgba[1] = e[1];
        rgba[2] = e[2];
        return true;
    }
    // The row walk of fillRow with value(point, t) in place of normalizedValue.
    template <class Value>
    void fillRowWith(Vector3 point, float dx, int count, std::uint8_t* rgba, const Value& value) const
    {
        for (int k = 0; k < count; ++k, rgba += 4, point.x += dx) {
            float t = 0.0f;
            const bool hasValue = value(point, t);
            colorOf(hasValue, t, rgba);
        }
    }

private:
    const FlowData* flow_;
    std::shared_ptr<const ColorTable> table_;
    // Cached from table_, whose storage never moves.
    const std::uint8_t* entries_;
    int entryCount_;
};

} // namespace tvl
