// Fuzz target for the whole load: the input is split into a grid file and a
// data file (the first two bytes give the grid file's length), both handed to
// loadData through in-memory files. Every load must end in true or false,
// never a crash, a sanitizer report or a read outside an array, and a failed
// load must leave the previous data set as it was.
#include "flow/FlowData.h"

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

tvl::FlowData& baseline()
{
    // A valid 2 x 2 data set loaded once; every fuzz input loads over it.
    static tvl::FlowData flow = [] {
        tvl::FlowData f;
        tvl::NodeGrid nodes;
        nodes.allocate(2, 2, 1);
        const float xyz[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
        for (int n = 0; n < 12; ++n)
            nodes.positions[std::size_t(n)] = xyz[n];
        for (int n = 0; n < 16; ++n)
            nodes.records[std::size_t(n)] = n % 4 == 0 ? 1.0f : 0.5f;
        if (!f.loadNodes(std::move(nodes)))
            std::abort();
        return f;
    }();
    return flow;
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

    tvl::FlowData& flow = baseline();
    // Keep each load small so every input finishes well within a second.
    flow.setRegularGridCap(std::uint64_t {4} << 20);
    const int width = flow.getWidth();
    const float maxSpeed = flow.getMaxSpeed();
    if (!flow.loadData(path(grid), path(flowData))) {
        if (flow.getWidth() != width || !(flow.getMaxSpeed() == maxSpeed || maxSpeed != maxSpeed))
            std::abort(); // a failed load changed the data set
    }
    // Every lookup must stay inside the arrays, wherever it is asked.
    const float probes[] = {-1.5f, -0.5f, 0.0f, 0.5f, 1.0f, 49.99f, 1e9f, -1e9f, __builtin_nanf("")};
    for (float gx : probes)
        for (float gy : probes) {
            tvl::Vector3 d;
            float s = 0;
            flow.directionAt({gx, gy, 0}, d);
            flow.speedAt({gx, gy, 0}, s);
            for (int k = -1; k <= flow.getAdditionalCount(); ++k)
                flow.additionalValueAt({gx, gy, 0}, k);
        }
    close(grid);
    close(flowData);
    return 0;
}
