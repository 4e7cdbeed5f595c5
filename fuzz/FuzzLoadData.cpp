// Fuzz target for the whole load: the input is split into a grid file and a
// data file (the first two bytes give the grid file's length), both handed to
// loadData through in-memory files. Every load must end in true or false,
// never a crash, a sanitizer report or a read outside an array, and a failed
// load must leave the previous data set as it was.
#include "FuzzFlow.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

int memoryFile(const char* name, const std::uint8_t* data, std::size_t size)
{
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0)
        std::abort();
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, data + done, size - done);
        if (n <= 0)
            std::abort();
        done += std::size_t(n);
    }
    return fd;
}

std::string path(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    std::size_t gridLength = std::size_t(data[0]) | (std::size_t(data[1]) << 8);
    data += 2;
    size -= 2;
    if (gridLength > size)
        gridLength = size;
    const int grid = memoryFile("grid", data, gridLength);
    const int flowData = memoryFile("data", data + gridLength, size - gridLength);

    tvl::FlowData& flow = tvl::fuzz::startingFlow(std::uint64_t {4} << 20);
    tvl::fuzz::loadOver(flow, [&](tvl::FlowData& f) { return f.loadData(path(grid), path(flowData)); });
    tvl::fuzz::lookEverywhere(flow);
    close(grid);
    close(flowData);
    return 0;
}
