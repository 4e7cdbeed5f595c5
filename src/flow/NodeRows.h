#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace tvl {

class InputFile;

// Row access to the node grid of a load from files: the node positions are
// in memory (the grid file is read whole while its bounds are found), and the
// records of the data file are read row by row where the resampling needs
// them, so the data file is never held whole. A read that fails (the file
// changed underneath) yields a row of zeros and sets failed(), so the caller
// can drop the whole load. Rows may be read on two threads at once; the
// positions and the data file must outlive the rows.
class NodeRows {
public:
    NodeRows(const float* positions, const InputFile& data, int width, int height, int additionalCount);
    NodeRows(const NodeRows&) = delete;
    NodeRows& operator=(const NodeRows&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int additionalCount() const { return additionalCount_; }
    std::size_t recordSize() const { return 3u + static_cast<std::size_t>(additionalCount_); }

    // x, y, z of the nodes of row j, i running fastest.
    const float* positionsRow(int j) const { return positions_ + 3 * std::size_t(j) * std::size_t(width_); }
    float y(int i, int j) const { return positionsRow(j)[3 * std::size_t(i) + 1]; }
    // Reads vx, vy, vz and the additional values of the nodes of row j into
    // dest (recordSize() × width floats).
    void copyRecordsRow(int j, float* dest) const;
    bool failed() const { return failed_.load(std::memory_order_relaxed); }

private:
    const float* positions_;
    const InputFile& data_;
    int width_;
    int height_;
    int additionalCount_;
    mutable std::atomic<bool> failed_ {false};
};

} // namespace tvl
