#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tvl {

class NetCdfCatalogue;
struct NetCdfVariable;

// The node grid of a field's last two dimensions: where its coordinates come
// from, how the file's rows and columns map onto the nodes, and the node
// positions.
//
// The nodes run as in a grid file: node (i, j) is element j × width + i, x
// grows with i along every node row and y with j along every node column. A
// descending axis is turned round, and a field stored as (x, y) rather than
// (y, x) is transposed. Coordinates come from, in this order: 1-D coordinate
// variables (named like their dimension, or listed in the field's
// "coordinates" attribute) for both dimensions; a pair of 2-D variables over
// both dimensions listed in the "coordinates" attribute (a curvilinear grid);
// for a dimension with neither, the index 0, 1, ... The x coordinate is the
// one that says so (axis X, a longitude or projection_x standard name,
// degrees_east, a name starting with "lon"); otherwise the last dimension's.
//
// Coordinates keep their units (longitudes stay as given, no wrapping); scale
// turns them into flow units.
class NetCdfGrid {
public:
    // Finds and reads the coordinates. False with a German cause when an axis
    // has fewer than 2 points, the grid has more than maxNodes nodes (checked
    // before anything of its size is read), or a coordinate is missing, not
    // finite or not strictly monotonic along its axis.
    bool locate(
        const NetCdfCatalogue& catalogue, const NetCdfVariable& field, std::size_t maxNodes, std::string& cause);

    int width() const { return width_; }
    int height() const { return height_; }
    std::size_t nodeCount() const { return std::size_t(width_) * std::size_t(height_); }

    // The file's extent of the field's last two dimensions.
    std::size_t fileRows() const { return fileRows_; }
    std::size_t fileColumns() const { return fileColumns_; }
    // Node index of the file's element (row, column): base + row × rowStride
    // + column × columnStride.
    std::ptrdiff_t base() const { return base_; }
    std::ptrdiff_t rowStride() const { return rowStride_; }
    std::ptrdiff_t columnStride() const { return columnStride_; }

    // Flow units per coordinate unit that give the regular grid (cell 0.02)
    // as many cells along the longer axis as the node grid has node spacings
    // there; 1 for a grid without extent.
    double automaticScale() const;
    // Node positions at the scale, float (x, y, 0) per node in node order.
    void writePositions(double scale, float* xyz) const;
    // The smallest and largest node x and y at the scale, as the load will
    // find them in the positions.
    void flowBounds(double scale, float& xMin, float& xMax, float& yMin, float& yMax) const;

    // Where the coordinates came from and what was turned round, for the log.
    const std::string& description() const { return description_; }

private:
    bool readAxes(const NetCdfVariable* columns, const NetCdfVariable* rows, std::string& cause);
    bool readSurfaces(const NetCdfVariable& first, const NetCdfVariable& second, std::string& cause);
    void orient(bool transposed, bool flipI, bool flipJ);

    int width_ = 0;
    int height_ = 0;
    std::size_t fileRows_ = 0;
    std::size_t fileColumns_ = 0;
    std::ptrdiff_t base_ = 0;
    std::ptrdiff_t rowStride_ = 0;
    std::ptrdiff_t columnStride_ = 0;
    bool curvilinear_ = false;
    // Rectilinear: x per node column and y per node row. Curvilinear: x and
    // y per node, in node order.
    std::vector<double> x_;
    std::vector<double> y_;
    std::string description_;
};

} // namespace tvl
