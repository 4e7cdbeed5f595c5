#pragma once

#include <cstddef>

namespace tvl {

// The 40-byte text header of a grid file, "SN4DB %i %i %i %i %i %f".
// Integers follow the %i rules (optional sign; decimal, 0x hexadecimal or
// leading-0 octal), fields are separated by any white space, the text ends at
// the 40th byte or an earlier zero byte, and whatever follows the real number
// is ignored. Parsing is independent of the process locale.
struct GridHeader {
    static constexpr std::size_t kSize = 40;

    int width = 0; // W, nodes per row
    int height = 0; // H, node rows
    int third = 0; // scales the data phase's progress range only
    int additionalCount = 0; // N, additional values per node
    int headerInteger = 0; // kept, read by nothing
    float headerReal = 0.0f; // kept, read by nothing
    int fieldsMatched = 0; // 0 .. 6; fields after the first mismatch keep their defaults

    // Parses at most kSize bytes of text. An integer that does not fit 32 bits
    // ends the match at that field.
    static GridHeader parse(const char* bytes, std::size_t size);
};

} // namespace tvl
