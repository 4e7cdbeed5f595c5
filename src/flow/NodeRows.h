#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tvl {

class InputFile;

// Row access to the node grid of a grid file and a data file, read on demand.
// The resampling walk visits node rows in rising order and needs only the rows
// its samples fall into, so the files are read row by row through a small
// cache instead of being held in memory whole. A read that fails (the file
// changed underneath) yields a row of zeros and sets failed(), so the caller
// can drop the whole load. Both files must stay open while the rows are read.
class NodeRows {
public:
    NodeRows(const InputFile& grid, const InputFile& data, int width, int height, int additionalCount);
    NodeRows(const NodeRows&) = delete;
    NodeRows& operator=(const NodeRows&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    int additionalCount() const { return additionalCount_; }
    std::size_t recordSize() const { return 3u + static_cast<std::size_t>(additionalCount_); }

    // x, y, z of the nodes of row j, i running fastest; valid until the next call.
    const float* positionsRow(int j) const;
    // vx, vy, vz and the additional values of the nodes of row j.
    const float* recordsRow(int j) const;
    // y of node (i, j) alone; reads the one value unless row j is cached, as
    // the row cursor passes many rows it needs nothing else from.
    float y(int i, int j) const;
    bool failed() const { return failed_; }

private:
    static constexpr int kSlots = 4;
    struct Cache {
        std::vector<float> rows; // kSlots rows
        std::int64_t tags[kSlots] = {-1, -1, -1, -1};
        int next = 0;
    };

    const float* row(Cache& cache, const InputFile& file, std::size_t rowFloats, std::uint64_t fileOffset, int j) const;

    const InputFile& grid_;
    const InputFile& data_;
    int width_;
    int height_;
    int additionalCount_;
    mutable Cache positions_;
    mutable Cache records_;
    mutable bool failed_ = false;
};

} // namespace tvl
