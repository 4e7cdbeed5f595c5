#pragma once

#include <cstddef>
#include <string>

namespace tvl {

// One NetCDF data set (NetCDF-3 or NetCDF-4/HDF5) open for reading, closed
// with the object. Only its root group is used.
class NetCdfFile {
public:
    NetCdfFile() = default;
    ~NetCdfFile();
    NetCdfFile(const NetCdfFile&) = delete;
    NetCdfFile& operator=(const NetCdfFile&) = delete;

    // False with a German cause when the path is no readable NetCDF file.
    bool open(const std::string& path, std::string& cause);
    // The same for a file image in memory, which must outlive the object.
    bool openMemory(const void* bytes, std::size_t size, std::string& cause);

    int id() const { return id_; }
    const std::string& name() const { return name_; }

    // The library's own text for a NetCDF-C status code, for the end of a cause.
    static std::string errorText(int status);

private:
    void close();

    int id_ = -1;
    std::string name_;
};

} // namespace tvl
