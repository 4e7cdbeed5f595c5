#include "render/AtomicFile.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace tvl {

bool writeFileAtomically(
    const std::string& path, const std::function<bool(std::FILE* file, std::string& error)>& write, std::string& error)
{
    std::string temporary = path + ".XXXXXX";
    const int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = "cannot create a file beside " + path + ": " + std::strerror(errno);
        return false;
    }
    std::FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
        error = "cannot open " + temporary + ": " + std::strerror(errno);
        close(descriptor);
        std::remove(temporary.c_str());
        return false;
    }

    const bool written = write(file, error);
    // fclose flushes the last buffered bytes, so a full disk shows up only here.
    const bool closed = std::fclose(file) == 0;
    if (written && !closed)
        error = "cannot finish " + path + ": " + std::strerror(errno);
    if (!written || !closed) {
        std::remove(temporary.c_str());
        return false;
    }
    // mkstemp creates the file for its owner only; a picture is meant to be shared
    // like any other file the user writes, so it takes the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tvl
