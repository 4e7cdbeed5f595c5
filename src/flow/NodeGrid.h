#pragma once

#include <cstddef>
#include <cstring>
#include <memory>

namespace tvl {

// The curvilinear node grid of one load (the nodes of the grid file with the
// records of the data file), held in the files' own layout so the files can
// be read straight into it: positions holds x, y, z per node and
// records holds vx, vy, vz and the additional values per node, both in node
// order (row j = 0 .. height - 1, i running fastest). It exists only while a
// load runs.
struct NodeGrid {
    int width = 0;
    int height = 0;
    int additionalCount = 0;
    std::unique_ptr<float[]> positions; // 3 floats per node
    std::unique_ptr<float[]> records; // 3 + additionalCount floats per node

    std::size_t nodeCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
    std::size_t recordSize() const { return 3u + static_cast<std::size_t>(additionalCount); }
    std::size_t index(int i, int j) const
    {
        return static_cast<std::size_t>(j) * static_cast<std::size_t>(width) + static_cast<std::size_t>(i);
    }

    const float* positionsRow(int j) const { return &positions[3 * index(0, j)]; }
    const float* recordsRow(int j) const { return &records[recordSize() * index(0, j)]; }

    float y(int i, int j) const { return positions[3 * index(i, j) + 1]; }
    // x of the nodes of row j: node i at xRow(j)[kXStride × i].
    static constexpr std::size_t kXStride = 3;
    const float* xRow(int j) const { return positionsRow(j); }
    // Copies the records of row j to dest (recordSize() × width floats).
    void copyRecordsRow(int j, float* dest) const
    {
        std::memcpy(dest, recordsRow(j), recordSize() * static_cast<std::size_t>(width) * sizeof(float));
    }
    // Allocates both arrays without initialising them; the caller fills them.
    void allocate(int w, int h, int n)
    {
        width = w;
        height = h;
        additionalCount = n;
        positions = std::make_unique_for_overwrite<float[]>(3 * nodeCount());
        records = std::make_unique_for_overwrite<float[]>(recordSize() * nodeCount());
    }
};

} // namespace tvl
