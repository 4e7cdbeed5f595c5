#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tvl {

// A regular file open for reading, closed with the object. Every read of the
// loader goes through readAt, which reads at a given offset and so needs no
// shared file position.
class InputFile {
public:
    InputFile() = default;
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens name. False, with a German cause naming the file as what ("Gitterdatei",
    // "Datendatei"), when it cannot be opened or is not a regular file.
    bool open(const std::string& name, const char* what, std::string& cause);
    bool isOpen() const { return fd_ >= 0; }
    // Size in bytes at the time of opening.
    std::uint64_t size() const { return size_; }
    // Exactly bytes from offset into dest; false on a read error or when the
    // file ends first (it may have shrunk since it was opened).
    bool readAt(void* dest, std::size_t bytes, std::uint64_t offset) const;

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace tvl
