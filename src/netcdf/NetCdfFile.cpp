#include "netcdf/NetCdfFile.h"

#include "netcdf/NetCdfClassicHeader.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tvl {
namespace {

// The header check reads a file through a window of this many bytes.
constexpr std::size_t kWindow = std::size_t {1} << 16;

bool checkFileHeader(const std::string& path, std::string& cause)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        return true; // the library will say why it cannot open the file
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::vector<unsigned char> window;
    std::uint64_t windowStart = 0;
    auto read = [&](std::uint64_t offset, void* dest, std::size_t bytes) {
        if (offset > size || bytes > size - offset)
            return false;
        if (offset < windowStart || offset + bytes > windowStart + window.size()) {
            window.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, size - offset)));
            windowStart = offset;
            std::size_t done = 0;
            while (done < window.size()) {
                const ssize_t got
                    = ::pread(fd, window.data() + done, window.size() - done, static_cast<off_t>(offset + done));
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    return false;
                done += static_cast<std::size_t>(got);
            }
            if (bytes > window.size())
                return false;
        }
        std::memcpy(dest, window.data() + (offset - windowStart), bytes);
        return true;
    };
    unsigned char magic[4] = {};
    const bool classic = size >= 4 && read(0, magic, 4) && NetCdfClassicHeader::isClassic(magic);
    const bool ok = !classic || NetCdfClassicHeader::check(read, size, cause);
    ::close(fd);
    return ok;
}

} // namespace

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
    std::string headerCause;
    if (!checkFileHeader(path, headerCause)) {
        cause = headerCause + " " + path;
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
    const auto* image = static_cast<const unsigned char*>(bytes);
    auto read = [&](std::uint64_t offset, void* dest, std::size_t count) {
        if (offset > size || count > size - offset)
            return false;
        std::memcpy(dest, image + offset, count);
        return true;
    };
    if (size >= 4 && NetCdfClassicHeader::isClassic(image) && !NetCdfClassicHeader::check(read, size, cause))
        return false;
    if (size == 0) {
        cause = "Die Daten sind leer.";
        return false;
    }
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
