// tvl-makeflow: writes a .gri/.dat pair of an analytic flow.
#include "flow/AnalyticFlow.h"
#include "flow/FlowFileWriter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void usage()
{
    std::puts("usage: tvl-makeflow [options] OUT.gri OUT.dat\n"
              "  --flow uniform|vortex|saddle|double-gyre|shear   (default vortex)\n"
              "  --grid even|uneven|curvilinear                     (default even)\n"
              "  --size W H        nodes per row and rows          (default 64 64)\n"
              "  --values N        additional values 0..3: pressure, vorticity, stream function\n"
              "  --domain X0 Y0 X1 Y1                               (default 0 0 1 1)");
}

bool number(const char* text, float& out)
{
    char* end = nullptr;
    out = std::strtof(text, &end);
    return end != text && *end == 0;
}

bool integer(const char* text, int& out)
{
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || v < 0 || v > 1000000)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    tvl::FlowSpec spec;
    std::string outputs[2];
    int outputCount = 0;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        auto need = [&](int n) { return a + n < argc; };
        if (arg == "--help" || arg == "-h") {
            usage();
            return 0;
        } else if (arg == "--flow" && need(1)) {
            if (!tvl::parseFlowKind(argv[++a], spec.flow)) {
                std::fprintf(stderr, "unknown flow '%s'\n", argv[a]);
                return 2;
            }
        } else if (arg == "--grid" && need(1)) {
            if (!tvl::parseGridKind(argv[++a], spec.grid)) {
                std::fprintf(stderr, "unknown grid '%s'\n", argv[a]);
                return 2;
            }
        } else if (arg == "--size" && need(2)) {
            if (!integer(argv[a + 1], spec.width) || !integer(argv[a + 2], spec.height) || spec.width < 2
                || spec.height < 2) {
                std::fputs("--size needs two whole numbers of at least 2\n", stderr);
                return 2;
            }
            a += 2;
        } else if (arg == "--values" && need(1)) {
            if (!integer(argv[++a], spec.additionalCount) || spec.additionalCount > 3) {
                std::fputs("--values takes 0 to 3\n", stderr);
                return 2;
            }
        } else if (arg == "--domain" && need(4)) {
            if (!number(argv[a + 1], spec.x0) || !number(argv[a + 2], spec.y0) || !number(argv[a + 3], spec.x1)
                || !number(argv[a + 4], spec.y1) || !(spec.x1 > spec.x0) || !(spec.y1 > spec.y0)) {
                std::fputs("--domain needs X0 Y0 X1 Y1 with X1 > X0 and Y1 > Y0\n", stderr);
                return 2;
            }
            a += 4;
        } else if (!arg.empty() && arg[0] != '-' && outputCount < 2) {
            outputs[outputCount++] = arg;
        } else {
            usage();
            return 2;
        }
    }
    if (outputCount != 2) {
        usage();
        return 2;
    }
    const tvl::NodeGrid nodes = tvl::makeFlow(spec);
    std::string error;
    if (!tvl::writeFlowFiles(nodes, outputs[0], outputs[1], error)) {
        std::fprintf(stderr, "tvl-makeflow: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
