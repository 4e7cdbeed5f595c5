#pragma once

#include "flow/Bilinear.h"
#include "flow/FloatLanes.h"
#include "flow/NodeGrid.h"
#include "flow/RegularGrid.h"
#include "flow/Resampler.h"
#include "flow/ValueBorders.h"
#include "flow/Vector3.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace tvl {

class LogSink;
class StatusSink;

// The one flow data set of the application: read from a grid file (*.gri) and
// a data file (*.dat), resampled onto a regular grid of cell size 0.02 flow
// units, with the largest speed and the range of every additional value.
//
// Coordinates: the bounds are in flow (world) coordinates. Every lookup takes
// a point in regular-grid index coordinates (fractional sample column gx,
// fractional sample row gy); worldToGrid maps flow coordinates into them.
//
// A failed load leaves the data set exactly as it was before (the previous
// data set stays whole and usable); a successful one replaces all of it.
class FlowData {
public:
    static constexpr float kCellSize = Resampler::kCellSize;
    // Largest regular grid a load may build, in bytes of samples plus
    // additional values. A 24 GiB machine holds it with room to spare.
    static constexpr std::uint64_t kMaxRegularGridBytes = std::uint64_t {4} << 30;

    FlowData();

    // Lowers (or restores) the largest regular grid a load may build; tools
    // that load untrusted files in bulk keep each load small with it.
    void setRegularGridCap(std::uint64_t bytes) { regularGridCap_ = bytes; }

    // Both may be null; the load then reports nothing there.
    void setStatusControl(StatusSink* status) { status_ = status; }
    void setLogSink(LogSink* log) { log_ = log; }

    // Reads both files, resamples and finds the value borders. False on any
    // failure, with one tagged German message to the log sink naming the cause;
    // the data set is then unchanged.
    bool loadData(std::string gridName, std::string dataName);

    // What the user should know about the last load although it succeeded,
    // in German without the log tag (the log has it tagged); empty when
    // nothing. A data file longer than its grid needs loads (the bytes beyond
    // the records are not read) but may belong to another grid.
    const std::string& loadNotice() const { return notice_; }

    // The load's last three phases on an in-memory node grid (resampling and
    // value borders, with the same checks and reports as loadData), for data
    // sets that come from elsewhere than a file pair.
    bool loadNodes(NodeGrid nodes, int headerInteger = 0, float headerReal = 0.0f);

    // Takes a regular grid built elsewhere as the new data set: packs its
    // speeds and finds its value borders ("Finding Flow Borders..."). Samples
    // or values short of width × height are taken as zeros.
    void adoptRegularGrid(RegularGrid grid);

    // Regular grid size after a load; 0 before the first.
    int getWidth() const { return grid_.width; }
    int getHeight() const { return grid_.height; }
    int getAdditionalCount() const { return grid_.additionalCount; }
    int getHeaderInteger() const { return headerInteger_; }
    float getHeaderReal() const { return headerReal_; }
    bool isLoaded() const { return grid_.width > 0; }
    // Smallest and largest node coordinates, flow coordinates.
    void getBounds(Vector3& minimum, Vector3& maximum) const
    {
        minimum = grid_.minimum;
        maximum = grid_.maximum;
    }
    float getMaxSpeed() const { return maxSpeed_; }
    // Value borders of additional value k; k must lie in 0 .. count - 1.
    float getValueMinimum(int k) const { return valueMinimum_[static_cast<std::size_t>(k)]; }
    float getValueMaximum(int k) const { return valueMaximum_[static_cast<std::size_t>(k)]; }
    float getValueRange(int k) const { return valueRange_[static_cast<std::size_t>(k)]; }
    // The resampled field itself.
    const RegularGrid& regularGrid() const { return grid_; }

    // Flow coordinates to regular-grid index coordinates: the bounding box
    // minimum maps to (0, 0) and the maximum to (width, height). z of the
    // result is 0 and has no meaning.
    Vector3 worldToGrid(float x, float y, float z) const;

    // Inside rule for the lookups below: i = trunc(gx), j = trunc(gy);
    // inside when 0 <= i < width - 1 and 0 <= j < height - 1; a non-finite
    // coordinate or one whose truncation does not fit 32 bits is outside.

    // One coordinate of a point along one axis of the regular grid: its cell
    // index (the truncation) and the fraction beyond it, and whether the
    // inside rule holds along this axis. Points that share a coordinate share
    // this, so a caller sampling a lattice finds it once per column or row.
    struct AxisCell {
        bool inside = false;
        int index = 0;
        float fraction = 0.0f;
    };
    AxisCell columnCell(float gx) const { return axisCell(gx, grid_.width); }
    AxisCell rowCell(float gy) const { return axisCell(gy, grid_.height); }
    // speedAt at the point of a column and a row that are both inside.
    float speedAt(const AxisCell& column, const AxisCell& row) const
    {
        const std::size_t w = static_cast<std::size_t>(grid_.width);
        const float* s = &speeds_[static_cast<std::size_t>(row.index) * w + static_cast<std::size_t>(column.index)];
        return bilinear(column.fraction, row.fraction, s[0], s[1], s[w], s[w + 1]);
    }

    // Unit flow direction (bilinear velocity, normalised). False outside, with
    // the out-parameter untouched. A zero blended velocity gives true with NaN
    // components.
    bool directionAt(const Vector3& point, Vector3& direction) const
    {
        float speed;
        return directionAndSpeedAt(point, direction, speed);
    }
    // directionAt and speedAt at one point, from one blend of the samples:
    // their speed lane blends the sample speeds with the operations of
    // speedAt, so both answers are those of the two lookups. False outside,
    // with both out-parameters untouched.
    bool directionAndSpeedAt(const Vector3& point, Vector3& direction, float& speed) const
    {
        const AxisCell column = columnCell(point.x);
        const AxisCell row = rowCell(point.y);
        if (!column.inside || !row.inside)
            return false;
        // The four lanes (vx, vy, vz, speed) blend with the same single-precision
        // operations as one component at a time would.
        using F4 = FloatLanes;
        const std::size_t w = static_cast<std::size_t>(grid_.width);
        const RegularSample* s
            = &grid_.samples[static_cast<std::size_t>(row.index) * w + static_cast<std::size_t>(column.index)];
        F4 s00, s10, s01, s11;
        std::memcpy(&s00, s, sizeof s00);
        std::memcpy(&s10, s + 1, sizeof s10);
        std::memcpy(&s01, s + w, sizeof s01);
        std::memcpy(&s11, s + w + 1, sizeof s11);
        const F4 blended = bilinear(column.fraction, row.fraction, s00, s10, s01, s11);
        direction = Vector3 {blended[0], blended[1], blended[2]}.normalized();
        speed = blended[3];
        return true;
    }
    // Bilinear blend of the sample speeds. False outside, out-parameter untouched.
    bool speedAt(const Vector3& point, float& speed) const
    {
        const AxisCell column = columnCell(point.x);
        const AxisCell row = rowCell(point.y);
        if (!column.inside || !row.inside)
            return false;
        speed = speedAt(column, row);
        return true;
    }
    // Bilinear blend of additional value k; 0.0 outside and for k not in 0 .. count - 1.
    float additionalValueAt(const Vector3& point, int k) const;
    // speed / maximum speed, neither clamped nor guarded (0 maximum gives
    // inf/NaN); for a float or, lane by lane, a vector of floats.
    template <class Speed> Speed normalizeSpeed(Speed speed) const { return speed / maxSpeed_; }
    // The sample speeds, width × height floats, row by row.
    const float* speedPlane() const { return speeds_.data(); }
    // (value - minimum[k]) / range[k], not clamped; NaN for k not in 0 .. count - 1.
    float normalizeAdditionalValue(int k, float value) const;

private:
    bool loadFiles(const std::string& gridName, const std::string& dataName);
    static AxisCell axisCell(float g, int sampleCount)
    {
        // The truncation of NaN and of values beyond 32 bits is INT_MIN, which
        // the one unsigned compare below finds outside, as every negative index.
        const int index = truncateToInt(g);
        const auto cells = static_cast<std::uint32_t>(sampleCount > 1 ? sampleCount - 1 : 0);
        return {static_cast<std::uint32_t>(index) < cells, index, g - static_cast<float>(index)};
    }
    static int truncateToInt(float g)
    {
#if defined(__SSE__)
        return _mm_cvttss_si32(_mm_set_ss(g));
#else
        if (!(g >= -2147483648.0f && g < 2147483648.0f))
            return INT32_MIN;
        return static_cast<int>(g);
#endif
    }
    ValueBorders findValueBorders(const RegularGrid& grid, const GridStorage<float>& speeds) const;
    // The resampling gathers the borders as it goes; the phase is still
    // reported, one position per row, as the load's last.
    void reportBordersPhase(int height) const;
    // Takes a grid with its speed plane and borders as the new data set.
    void adopt(RegularGrid grid, GridStorage<float> speeds, ValueBorders borders);
    void log(const std::string& message);
    bool fail(const std::string& cause);

    StatusSink* status_ = nullptr;
    LogSink* log_ = nullptr;
    std::uint64_t regularGridCap_ = kMaxRegularGridBytes;

    std::string notice_;
    int headerInteger_ = 0;
    float headerReal_ = 0.0f;
    RegularGrid grid_;
    Vector3 extent_;
    GridStorage<float> speeds_; // the samples' speeds again, packed for speedAt
    float maxSpeed_ = 0.0f;
    std::vector<float> valueMinimum_;
    std::vector<float> valueMaximum_;
    std::vector<float> valueRange_;
};

} // namespace tvl
