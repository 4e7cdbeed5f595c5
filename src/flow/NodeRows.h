#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tvl {

class InputFile;

// Row access to the node grid of a load from files: the node x and y are in
// memory, as a plane each (the grid file is read whole while its bounds are
// found; z takes part in nothing after that), and the records of the data
// file are read row by row where the resampling needs them, so the data file
// is never held whole. A read that fails (the file changed underneath) yields
// a row of zeros and sets failed(), so the caller can drop the whole load.
// Rows may be read on two threads at once; the planes and the data file must
// outlive the rows.
class NodeRows {
public:
    NodeRows(
        const float* xPlane, const float* yPlane, const InputFile& data, int width, int height, int additionalCount);
    NodeRows(const NodeRows&) = delete;
    NodeRows& operator=(const NodeRows&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int additionalCount() const { return additionalCount_; }
    std::size_t recordSize() const { return 3u + static_cast<std::size_t>(additionalCount_); }

    // x of the nodes of row j: node i at xRow(j)[kXStride × i].
    static constexpr std::size_t kXStride = 1;
    const float* xRow(int j) const { return xPlane_ + std::size_t(j) * std::size_t(width_); }
    float y(int i, int j) const { return yPlane_[std::size_t(j) * std::size_t(width_) + std::size_t(i)]; }
    // Reads vx, vy, vz and the additional values of the nodes of row j into
    // dest (recordSize() × width floats).
    void copyRecordsRow(int j, float* dest) const;
    bool failed() const { return failed_.load(std::memory_order_relaxed); }

private:
    const float* xPlane_;
    const float* yPlane_;
    const InputFile& data_;
    int width_;
    int height_;
    int additionalCount_;
    mutable std::atomic<bool> failed_ {false};
};

} // namespace tvl
