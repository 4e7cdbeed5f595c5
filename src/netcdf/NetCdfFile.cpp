#include "netcdf/NetCdfFile.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <sys/stat.h>

namespace tvl {

NetCdfFile::~NetCdfFile()
{
    close();
}

void NetCdfFile::close()
{
    if (id_ >= 0)
        nc_close(id_);
    id_ = -1;
}

std::string NetCdfFile::errorText(int status)
{
    return std::string(" (") + nc_strerror(status) + ")";
}

bool NetCdfFile::open(const std::string& path, std::string& cause)
{
    close();
    name_ = path;
    struct stat info { };
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        cause = "Die NetCDF-Datei kann nicht geöffnet werden: " + path;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        cause = "Die NetCDF-Datei ist keine gewöhnliche Datei: " + path;
        return false;
    }
    int id = -1;
    const int status = nc_open(path.c_str(), NC_NOWRITE, &id);
    if (status != NC_NOERR) {
        cause = "Die Datei ist keine lesbare NetCDF-Datei: " + path + errorText(status);
        return false;
    }
    id_ = id;
    return true;
}

bool NetCdfFile::openMemory(const void* bytes, std::size_t size, std::string& cause)
{
    close();
    name_ = "(Speicher)";
    int id = -1;
    // Opened read-only, the library never writes through the pointer.
    const int status = nc_open_mem(name_.c_str(), NC_NOWRITE, size, const_cast<void*>(bytes), &id);
    if (status != NC_NOERR) {
        cause = "Die Daten sind keine lesbare NetCDF-Datei" + errorText(status);
        return false;
    }
    id_ = id;
    return true;
}

} // namespace tvl
