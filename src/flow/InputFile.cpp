#include "flow/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tvl {

InputFile::~InputFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool InputFile::open(const std::string& name, const char* what, std::string& cause)
{
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info { };
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0)
            ::close(fd);
        cause = std::string("Die ") + what + " kann nicht geöffnet werden: " + name;
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        cause = std::string("Die ") + what + " ist keine gewöhnliche Datei: " + name;
        return false;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return true;
}

bool InputFile::readAt(void* dest, std::size_t bytes, std::uint64_t offset) const
{
    char* p = static_cast<char*>(dest);
    while (bytes > 0) {
        const ssize_t got = ::pread(fd_, p, bytes, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        offset += static_cast<std::uint64_t>(got);
        bytes -= static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace tvl
