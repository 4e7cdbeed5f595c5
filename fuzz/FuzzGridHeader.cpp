// Fuzz target for the 40-byte grid file header alone.
#include "flow/GridHeader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const tvl::GridHeader header = tvl::GridHeader::parse(reinterpret_cast<const char*>(data), size);
    if (header.fieldsMatched < 0 || header.fieldsMatched > 6)
        std::abort();
    if (header.fieldsMatched < 6 && header.headerReal != 0.0f)
        std::abort(); // a field after the first mismatch must keep its default
    return 0;
}
