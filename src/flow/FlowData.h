#pragma once

#include "NodeGrid.h"
#include "RegularSample.h"
#include "Vector3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tvl {

class LogSink;
class StatusSink;
struct GridHeader;

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
    static constexpr float kCellSize = 0.02f;
    // Largest regular grid a load may build, in bytes of samples plus
    // additional values. A 24 GiB machine holds it with room to spare.
    static constexpr std::uint64_t kMaxRegularGridBytes = std::uint64_t{4} << 30;

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

    // The load's last three phases on an in-memory node grid (resampling and
    // value borders, with the same checks and reports as loadData); used by
    // loadData itself and by tools that build flows without files.
    bool loadNodes(NodeGrid nodes, int headerInteger = 0, float headerReal = 0.0f);

    // Regular grid size after a load; 0 before the first.
    int getWidth() const { return state_.width; }
    int getHeight() const { return state_.height; }
    int getAdditionalCount() const { return state_.additionalCount; }
    int getHeaderInteger() const { return state_.headerInteger; }
    float getHeaderReal() const { return state_.headerReal; }
    bool isLoaded() const { return state_.width > 0; }
    // Smallest and largest node coordinates, flow coordinates.
    void getBounds(Vector3& minimum, Vector3& maximum) const
    {
        minimum = state_.minimum;
        maximum = state_.maximum;
    }
    Vector3 getExtent() const { return state_.extent; }
    float getMaxSpeed() const { return state_.maxSpeed; }
    // Value borders of additional value k; k must lie in 0 .. count - 1.
    float getValueMinimum(int k) const { return state_.valueMinimum[static_cast<std::size_t>(k)]; }
    float getValueMaximum(int k) const { return state_.valueMaximum[static_cast<std::size_t>(k)]; }
    float getValueRange(int k) const { return state_.valueRange[static_cast<std::size_t>(k)]; }
    // Sample (c, r) is element r * width + c.
    const std::vector<RegularSample>& samples() const { return state_.samples; }
    // Additional value k of sample (c, r); c, r, k must be in range.
    float sampleValue(int c, int r, int k) const;

    // Flow coordinates to regular-grid index coordinates: the bounding box
    // minimum maps to (0, 0) and the maximum to (width, height). z of the
    // result is 0 and has no meaning.
    Vector3 worldToGrid(float x, float y, float z) const;

    // Inside rule for the three lookups below: i = trunc(gx), j = trunc(gy);
    // inside when 0 <= i < width - 1 and 0 <= j < height - 1; a non-finite
    // coordinate or one whose truncation does not fit 32 bits is outside.

    // Unit flow direction (bilinear velocity, normalised). False outside, with
    // the out-parameter untouched. A zero blended velocity gives true with NaN
    // components.
    bool directionAt(const Vector3& point, Vector3& direction) const;
    // Bilinear blend of the sample speeds. False outside, out-parameter untouched.
    bool speedAt(const Vector3& point, float& speed) const
    {
        int i, j;
        if (!insideCell(point, i, j))
            return false;
        const float a = point.x - static_cast<float>(i);
        const float b = point.y - static_cast<float>(j);
        const std::size_t w = static_cast<std::size_t>(state_.width);
        const float* s = &state_.speeds[static_cast<std::size_t>(j) * w + static_cast<std::size_t>(i)];
        const float ia = 1.0f - a;
        speed = (ia * s[0] + a * s[1]) * (1.0f - b) + (ia * s[w] + a * s[w + 1]) * b;
        return true;
    }
    // Bilinear blend of additional value k; 0.0 outside and for k not in 0 .. count - 1.
    float additionalValueAt(const Vector3& point, int k) const;
    // speed / maximum speed, neither clamped nor guarded (0 maximum gives inf/NaN).
    float normalizeSpeed(float speed) const { return speed / state_.maxSpeed; }
    // (value - minimum[k]) / range[k], not clamped; NaN for k not in 0 .. count - 1.
    float normalizeAdditionalValue(int k, float value) const;

    // Replaces the data set with a regular grid given directly (no files, no
    // resampling); the value borders are found as after a load. values holds
    // additionalCount planes of width * height floats. Meant for tests and tools.
    void setRegularGrid(int width, int height, int additionalCount, std::vector<RegularSample> samples,
                        std::vector<float> values, Vector3 minimum, Vector3 maximum);

private:
    struct State {
        int width = 0;
        int height = 0;
        int additionalCount = 0;
        int headerInteger = 0;
        float headerReal = 0.0f;
        Vector3 minimum;
        Vector3 maximum;
        Vector3 extent;
        float maxSpeed = 0.0f;
        std::vector<RegularSample> samples;
        std::vector<float> speeds; // the samples' speeds again, packed for speedAt
        std::vector<float> values; // additionalCount planes of width * height
        std::vector<float> valueMinimum;
        std::vector<float> valueMaximum;
        std::vector<float> valueRange;
    };

    bool loadFiles(const std::string& gridName, const std::string& dataName);
    bool insideCell(const Vector3& point, int& i, int& j) const
    {
        const float gx = point.x, gy = point.y;
        // Also false for NaN, and for values whose truncation does not fit 32 bits.
        if (!(gx >= -2147483648.0f && gx < 2147483648.0f && gy >= -2147483648.0f && gy < 2147483648.0f))
            return false;
        i = static_cast<int>(gx);
        j = static_cast<int>(gy);
        return i >= 0 && i < state_.width - 1 && j >= 0 && j < state_.height - 1;
    }
    void fillSpeedPlane(State& state);
    bool readGridHeader(int fd, long long size, GridHeader& header, std::string& cause);
    bool scanGrid(int fd, const GridHeader& header, State& state, std::string& cause);
    bool checkDataSize(long long size, const GridHeader& header, std::string& cause);
    bool sizeRegularGrid(State& state, int additionalCount, std::string& cause);
    void finishLoad(State& fresh);
    template <class Nodes>
    void resampleGrid(const Nodes& nodes, State& state);
    void findValueBorders(State& state);

    void status(const std::string& text);
    void progressRange(std::int64_t maximum);
    void progressPosition(int position);
    void log(const std::string& message);
    bool fail(const std::string& cause);

    StatusSink* status_ = nullptr;
    LogSink* log_ = nullptr;
    std::uint64_t regularGridCap_ = kMaxRegularGridBytes;
    State state_;
};

} // namespace tvl
