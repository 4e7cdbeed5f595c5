#pragma once

#include "flow/GridHeader.h"
#include "flow/InputFile.h"
#include "flow/NodeRows.h"
#include "flow/Vector3.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tvl {

class LoadProgress;

// The file side of a load: the grid file's header with its size checks, the
// node x and y read whole from the grid file with their bounds ("Loading
// Grid Data..."), the check that the data file holds every record ("Loading
// Flow Data..."), and then the node rows for the resampling walk, whose
// records are read from the data file as the walk needs them. Every failure
// comes with one German cause for the log.
class GridFileReader {
public:
    explicit GridFileReader(const LoadProgress& progress)
        : progress_(progress)
    {
    }

    // Opens the grid file, checks its header against its size, reads the node
    // x and y and finds the bounds of x, y and z (flow coordinates).
    bool readGrid(const std::string& name, std::string& cause);
    // Opens the data file and checks that it holds W × H records of 3 + N
    // floats; bytes beyond them are ignored.
    bool openData(const std::string& name, std::string& cause);
    // After openData: the bytes the records take (W × H × (3 + N) × 4) and
    // the bytes the data file has. More than needed may be a data file of
    // another grid.
    std::uint64_t dataBytesNeeded() const { return dataBytesNeeded_; }
    std::uint64_t dataFileBytes() const { return data_.size(); }

    const GridHeader& header() const { return header_; }
    const Vector3& minimum() const { return minimum_; }
    const Vector3& maximum() const { return maximum_; }
    const Vector3& extent() const { return extent_; }

    // Row access to both files; readGrid and openData must have succeeded,
    // and the reader must outlive the rows.
    NodeRows nodeRows() const
    {
        return NodeRows(xPlane_.get(), yPlane_.get(), data_, header_.width, header_.height, header_.additionalCount);
    }

private:
    bool checkHeader(std::string& cause);
    bool scanBounds(std::string& cause);

    const LoadProgress& progress_;
    InputFile grid_;
    InputFile data_;
    GridHeader header_;
    std::unique_ptr<float[]> xPlane_; // x of every node, in node order
    std::unique_ptr<float[]> yPlane_; // y likewise
    Vector3 minimum_;
    Vector3 maximum_;
    Vector3 extent_;
    std::uint64_t dataBytesNeeded_ = 0;
};

} // namespace tvl
