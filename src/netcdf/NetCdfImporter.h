#pragma once

#include "netcdf/NetCdfImportOptions.h"
#include "netcdf/NetCdfScan.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tvl {

class LogSink;
class NetCdfCatalogue;
class NetCdfFile;
class StatusSink;
struct NetCdfVariable;
struct NodeGrid;

// Reads a 2-D flow field from a NetCDF file (NetCDF-3 or NetCDF-4/HDF5, CF
// conventions) into a node grid and hands it to FlowData::loadNodes, so the
// resampling, the value borders and the failure rules are those of a grid
// and data file pair.
//
// The velocity is the pair of variables the options name, or else the first
// pair found by CF standard_name (eastward_* / northward_*, then x_* / y_*)
// and then by common names (u/v, u10/v10, uo/vo, U/V, uwnd/vwnd,
// water_u/water_v). Node (i, j) takes the values at the file's element that
// NetCdfGrid maps onto it, at the chosen index of every further dimension.
// Missing values become NaN (no arrow, white background), packed values are
// unpacked; vz is 0.
//
// Every failure answers false with one German message tagged
// "[Tavrel|NetCdfImporter|importFile]: " (scanFile for the scan) in the log,
// followed by the NetCDF library's own text where it has one; nothing bigger
// than the options' cap is allocated, and the FlowData keeps its data set.
// A successful import logs what it read: the variables, the index of each
// further dimension, the coordinates and the scale.
class NetCdfImporter {
public:
    // Both may be null. The status reports "Loading Grid Data..." while the
    // coordinates are read and "Loading Flow Data..." (progress 0 .. 100)
    // while the fields are; the import ends on "Progress" and position 0.
    void setLogSink(LogSink* log) { log_ = log; }
    void setStatusControl(StatusSink* status) { status_ = status; }

    // Lists the file's fields, velocity candidates and further dimensions.
    // False only when the file is no readable NetCDF file or holds no
    // numeric variable of two or more dimensions. The automatic scale needs
    // the coordinates; cap bounds what is read for them as in an import.
    bool scanFile(const std::string& path, NetCdfScan& scan, std::uint64_t cap = FlowData::kMaxRegularGridBytes);
    bool scanMemory(
        const void* bytes, std::size_t size, NetCdfScan& scan, std::uint64_t cap = FlowData::kMaxRegularGridBytes);

    // The node grid alone, in flow coordinates at the chosen scale; nodes is
    // written only on success.
    bool readNodes(const std::string& path, const NetCdfImportOptions& options, NodeGrid& nodes);

    // Reads the node grid and loads it into flow.
    bool importFile(const std::string& path, const NetCdfImportOptions& options, FlowData& flow);
    // The same for a file image in memory.
    bool importMemory(const void* bytes, std::size_t size, const NetCdfImportOptions& options, FlowData& flow);

private:
    struct Selection;

    bool guarded(const std::string& tag, const std::function<bool()>& work);
    bool scan(const NetCdfFile& file, NetCdfScan& scan, std::uint64_t cap);
    bool buildNodes(const NetCdfFile& file, const NetCdfImportOptions& options, NodeGrid& nodes);
    bool select(const NetCdfCatalogue& catalogue, const NetCdfImportOptions& options, Selection& selection,
        std::string& cause) const;
    std::string dimensionNote(
        const NetCdfCatalogue& catalogue, const std::string& name, std::size_t index, std::size_t size) const;
    void finish();
    bool fail(const std::string& tag, const std::string& cause);
    void log(const std::string& message);
    void status(const std::string& text);
    void progress(int percent);

    LogSink* log_ = nullptr;
    StatusSink* status_ = nullptr;
};

} // namespace tvl
