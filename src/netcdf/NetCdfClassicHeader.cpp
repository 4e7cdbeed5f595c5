#include "netcdf/NetCdfClassicHeader.h"

#include <cstdint>
#include <vector>

namespace tvl {
namespace {

constexpr std::uint32_t kDimensionTag = 0x0A;
constexpr std::uint32_t kVariableTag = 0x0B;
constexpr std::uint32_t kAttributeTag = 0x0C;

// Bytes of one value of each external type, 0 for a type the format has not.
std::uint64_t typeSize(std::uint32_t type, bool cdf5)
{
    switch (type) {
    case 1: // byte
    case 2: // char
        return 1;
    case 3: // short
        return 2;
    case 4: // int
    case 5: // float
        return 4;
    case 6: // double
        return 8;
    case 7: // ubyte
        return cdf5 ? 1 : 0;
    case 8: // ushort
        return cdf5 ? 2 : 0;
    case 9: // uint
        return cdf5 ? 4 : 0;
    case 10: // int64
    case 11: // uint64
        return cdf5 ? 8 : 0;
    default:
        return 0;
    }
}

// A cursor over the header: big-endian integers, each read checked against
// the end of the file.
class Walk {
public:
    Walk(const NetCdfClassicHeader::Reader& read, std::uint64_t size, int version)
        : read_(read)
        , size_(size)
        , cdf5_(version == 5)
        , longOffsets_(version != 1)
    {
    }

    std::uint64_t left() const { return size_ - position_; }

    bool integer(std::uint64_t bytes, std::uint64_t& value)
    {
        unsigned char raw[8] = {};
        if (bytes > left() || !read_(position_, raw, static_cast<std::size_t>(bytes)))
            return false;
        position_ += bytes;
        value = 0;
        for (std::uint64_t k = 0; k < bytes; ++k)
            value = value << 8 | raw[k];
        return true;
    }
    bool count(std::uint64_t& value) { return integer(cdf5_ ? 8 : 4, value); }
    bool skip(std::uint64_t bytes)
    {
        if (bytes > left())
            return false;
        position_ += bytes;
        return true;
    }
    // A name, or the values of an attribute: padded to four bytes.
    bool skipPadded(std::uint64_t bytes) { return bytes <= left() && skip((bytes + 3) / 4 * 4); }
    bool name()
    {
        std::uint64_t length = 0;
        return count(length) && skipPadded(length);
    }
    // The tag and length of a list; an absent list is two zeros.
    bool list(std::uint32_t tag, std::uint64_t smallestItem, std::uint64_t& items)
    {
        std::uint64_t found = 0;
        if (!integer(4, found) || !count(items))
            return false;
        if (found == 0)
            return items == 0;
        return found == tag && items <= left() / smallestItem;
    }
    bool attributes()
    {
        const std::uint64_t countBytes = cdf5_ ? 8 : 4;
        std::uint64_t items = 0;
        if (!list(kAttributeTag, 2 * countBytes + 4, items))
            return false;
        for (std::uint64_t k = 0; k < items; ++k) {
            std::uint64_t type = 0, values = 0;
            if (!name() || !integer(4, type) || !count(values))
                return false;
            const std::uint64_t bytes = typeSize(static_cast<std::uint32_t>(type), cdf5_);
            if (bytes == 0 || values > left() / bytes || !skipPadded(values * bytes))
                return false;
        }
        return true;
    }
    bool dimensions()
    {
        const std::uint64_t countBytes = cdf5_ ? 8 : 4;
        // The library multiplies the lengths as signed integers.
        const std::uint64_t largest = cdf5_ ? INT64_MAX : INT32_MAX;
        std::uint64_t items = 0;
        if (!list(kDimensionTag, 2 * countBytes, items))
            return false;
        for (std::uint64_t k = 0; k < items; ++k) {
            std::uint64_t length = 0;
            if (!name() || !count(length) || length > largest)
                return false;
            lengths_.push_back(length);
        }
        return true;
    }
    bool variables()
    {
        const std::uint64_t countBytes = cdf5_ ? 8 : 4;
        const std::uint64_t offsetBytes = longOffsets_ ? 8 : 4;
        std::uint64_t items = 0;
        if (!list(kVariableTag, 4 * countBytes + 8 + offsetBytes, items))
            return false;
        for (std::uint64_t k = 0; k < items; ++k) {
            std::uint64_t rank = 0, type = 0;
            if (!name() || !count(rank) || rank > left() / countBytes)
                return false;
            // The record dimension (length 0) may only come first; elsewhere
            // the library's size check divides by the zero it multiplied in.
            for (std::uint64_t d = 0; d < rank; ++d) {
                std::uint64_t id = 0;
                if (!count(id) || id >= lengths_.size() || (d > 0 && lengths_[id] == 0))
                    return false;
            }
            if (!attributes() || !integer(4, type) || typeSize(static_cast<std::uint32_t>(type), cdf5_) == 0
                || !skip(countBytes + offsetBytes))
                return false;
        }
        return true;
    }

private:
    const NetCdfClassicHeader::Reader& read_;
    std::uint64_t size_;
    std::uint64_t position_ = 4;
    bool cdf5_;
    bool longOffsets_;
    std::vector<std::uint64_t> lengths_;
};

} // namespace

bool NetCdfClassicHeader::isClassic(const unsigned char magic[4])
{
    return magic[0] == 'C' && magic[1] == 'D' && magic[2] == 'F' && (magic[3] == 1 || magic[3] == 2 || magic[3] == 5);
}

bool NetCdfClassicHeader::check(const Reader& read, std::uint64_t fileSize, std::string& cause)
{
    unsigned char magic[4] = {};
    if (fileSize < 4 || !read(0, magic, 4) || !isClassic(magic)) {
        cause = "Die Datei hat keine NetCDF-3-Signatur.";
        return false;
    }
    Walk walk(read, fileSize, magic[3]);
    std::uint64_t records = 0;
    if (!(walk.count(records) && walk.dimensions() && walk.attributes() && walk.variables())) {
        cause
            = "Der Kopf der NetCDF-Datei ist beschädigt: seine Längen, Dimensionen oder Typen passen nicht zur Datei.";
        return false;
    }
    return true;
}

} // namespace tvl
