#pragma once

#include "streamlines/CellPoints.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tvl {

// The occupancy grid of the evenly spaced placement: columns × rows cells,
// each holding the points stored in it (regular-grid index coordinates, z = 0)
// and their bounding box. Cells are addressed by column and row; the searches
// look at the 3 × 3 block of cells around one. A border of empty cells around
// the grid gives every block nine cells, and the boxes, kept per cell in rows,
// let a search skip in a few operations every cell that lies too far away.
class OccupancyGrid {
public:
    // Empties the grid and sizes it; false (and no cells at all) when the
    // memory for the cells cannot be had.
    bool reset(int columns, int rows);
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    std::size_t cellCount() const { return std::size_t(columns_) * std::size_t(rows_); }

    // Stores a point in cell (column, row), which must lie in the grid; false
    // when the cell cannot grow (the point is then not stored).
    bool add(int column, int row, float x, float y);
    // The cell's points, or null while it holds none.
    const CellPoints* cell(int column, int row) const;

    // Whether a point stored in the 3 × 3 cells around (column, row), which
    // must lie in the grid, has a squared distance from (x, y) of dx² + dy² +
    // zSquared, in single precision in this order, below bound (see
    // squaredDistanceBound).
    bool anyBelow(int column, int row, float x, float y, float zSquared, float bound) const;

private:
    std::size_t at(int column, int row) const { return std::size_t(row + 1) * stride_ + std::size_t(column + 1); }

    int columns_ = 0;
    int rows_ = 0;
    std::size_t stride_ = 0; // cells per padded row
    // Per padded cell: the box of its points (an empty cell's lies at
    // infinity) and 0, or 1 + the index of its points in points_.
    std::vector<float> minX_, minY_, maxX_, maxY_;
    std::vector<std::uint32_t> slots_;
    // The points of the cells in use first (used_ of them); the rest are
    // emptied cells of earlier placements, kept with their storage.
    std::vector<CellPoints> points_;
    std::uint32_t used_ = 0;
};

} // namespace tvl
