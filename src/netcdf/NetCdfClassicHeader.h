#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace tvl {

// A check of the header of a NetCDF-3 file (CDF-1, CDF-2 or CDF-5) before the
// NetCDF library sees it. The library allocates every list, name and
// attribute by the count the header declares, before it finds that the file
// is far too short to hold it: a file of a few hundred bytes can make it ask
// for gigabytes. The check walks the header and refuses any count that the
// bytes left in the file cannot hold, so the library's allocations stay of
// the order of the file's size; and it refuses the dimension lengths and
// record dimensions that make the library's own size check divide by zero.
class NetCdfClassicHeader {
public:
    // Reads size bytes at offset into dest; false when they are not there.
    using Reader = std::function<bool(std::uint64_t offset, void* dest, std::size_t size)>;

    // True when the first four bytes are a NetCDF-3 signature.
    static bool isClassic(const unsigned char magic[4]);

    // Walks the header of a file of fileSize bytes (signature included).
    // False with a German cause at the first count the file cannot hold or
    // the first list that is not where the format puts it.
    static bool check(const Reader& read, std::uint64_t fileSize, std::string& cause);
};

} // namespace tvl
