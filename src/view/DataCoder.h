#pragma once

#include "flow/Vector3.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

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

    // Colours an image of xs.size() × ys.size() pixels, four bytes each, row
    // after row: pixel (k, j) as colorAt would at the point (xs[k], ys[j]).
    // The base class asks normalizedValue pixel by pixel; the coders of this
    // library override it to make their lookup a direct call, to share the
    // work of a column between its pixels, and to colour the rows on two
    // processor cores (their lookups only read).
    virtual void fillImage(std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba) const;

    const FlowData& flowData() const { return *flow_; }
    int entryCount() const { return entryCount_; }

protected:
    // The colour of a value: the table entry of t, or opaque white when there
    // is no value or t has no index in the table (see colorAt).
    bool colorOf(bool hasValue, float t, std::uint8_t rgba[4]) const
    {
        const int k = paletteIndex(hasValue, t, entryCount_);
        rgba[0] = rgba[1] = rgba[2] = rgba[3] = 255;
        if (k == entryCount_)
            return false;
        const std::uint8_t* e = entries_ + std::size_t(k) * 3;
        rgba[0] = e[0];
        rgba[1] = e[1];
        rgba[2] = e[2];
        return true;
    }
    // Where colorOf finds its colour in a table of n entries: entry k for k
    // below n, opaque white at k = n.
    static int paletteIndex(bool hasValue, float t, int n)
    {
        if (!hasValue)
            return n;
        const float product = static_cast<float>(n) * t;
        // Also rejects NaN and infinities (a zero maximum speed or value range,
        // a direction of a zero velocity), which have no index.
        if (!(product > -2147483648.0f && product < 2147483648.0f))
            return n;
        const int i = static_cast<int>(product);
        if (i < 0 || i > n || n == 0)
            return n;
        // t = 1 lands one past the last entry: the top of the range shows the
        // ramp's last colour.
        return i == n ? n - 1 : i;
    }
    // The table as whole pixels, indexed as paletteIndex says: a fill writes
    // each pixel with one copy. Read anew per fill, since edits of the
    // transfer function rewrite the table in place.
    std::vector<std::uint32_t> pixelPalette() const;
    // The pixel walk of fillImage with value(point, t) in place of
    // normalizedValue.
    template <class Value>
    void fillImageWith(
        std::span<const float> xs, std::span<const float> ys, std::uint8_t* rgba, const Value& value) const
    {
        for (const float y : ys) {
            for (const float x : xs) {
                float t = 0.0f;
                const bool hasValue = value(Vector3 {x, y, 0.0f}, t);
                colorOf(hasValue, t, rgba);
                rgba += 4;
            }
        }
    }
    // Runs fillRows(first, last) for the row ranges of an image of the given
    // size, on two threads when the image is large enough to be worth it
    // (falling back to one when no thread can be started). fillRows must only
    // read shared state; it must not throw.
    static void splitRows(
        std::size_t width, std::size_t height, const std::function<void(std::size_t, std::size_t)>& fillRows);

private:
    const FlowData* flow_;
    std::shared_ptr<const ColorTable> table_;
    // Cached from table_, whose storage never moves.
    const std::uint8_t* entries_;
    int entryCount_;
};

} // namespace tvl
