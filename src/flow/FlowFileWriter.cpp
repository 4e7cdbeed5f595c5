#include "flow/FlowFileWriter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tvl {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

bool writeFloats(std::FILE* f, const float* data, std::size_t count)
{
    // The files are little-endian; store byte by byte so the writer is right on any host.
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[4 * 4096]);
    while (count > 0) {
        const std::size_t chunk = count < 4096 ? count : 4096;
        for (std::size_t i = 0; i < chunk; ++i) {
            std::uint32_t bits;
            std::memcpy(&bits, &data[i], 4);
            for (int b = 0; b < 4; ++b)
                buffer[4 * i + std::size_t(b)] = static_cast<unsigned char>(bits >> (8 * b));
        }
        if (std::fwrite(buffer.get(), 4, chunk, f) != chunk)
            return false;
        data += chunk;
        count -= chunk;
    }
    return true;
}

} // namespace

bool writeFlowFiles(const NodeGrid& nodes, const std::string& gridPath, const std::string& dataPath, std::string& error)
{
    std::unique_ptr<std::FILE, FileCloser> grid(std::fopen(gridPath.c_str(), "wb"));
    if (!grid) {
        error = "cannot create " + gridPath;
        return false;
    }
    char header[41];
    std::memset(header, ' ', 40);
    header[40] = 0;
    const int len = std::snprintf(
        header, sizeof header, "SN4DB %d %d 1 %d 0 0.0", nodes.width, nodes.height, nodes.additionalCount);
    if (len < 0 || len > 40) {
        error = "header does not fit 40 bytes";
        return false;
    }
    header[len] = ' ';
    if (std::fwrite(header, 1, 40, grid.get()) != 40
        || !writeFloats(grid.get(), nodes.positions.get(), 3 * nodes.nodeCount()) || std::fflush(grid.get()) != 0) {
        error = "cannot write " + gridPath;
        return false;
    }
    std::unique_ptr<std::FILE, FileCloser> data(std::fopen(dataPath.c_str(), "wb"));
    if (!data) {
        error = "cannot create " + dataPath;
        return false;
    }
    if (!writeFloats(data.get(), nodes.records.get(), nodes.recordSize() * nodes.nodeCount())
        || std::fflush(data.get()) != 0) {
        error = "cannot write " + dataPath;
        return false;
    }
    return true;
}

} // namespace tvl
