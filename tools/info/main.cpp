// tvl-info: loads a data set (or the built-in demo) and prints its summary.
#include "flow/AnalyticFlow.h"
#include "flow/FlowData.h"
#include "flow/LogSink.h"

#include <cstdio>
#include <string>

namespace {

struct StderrLog : tvl::LogSink {
    void write(const std::string& message) override { std::fprintf(stderr, "%s\n", message.c_str()); }
};

} // namespace

int main(int argc, char** argv)
{
    const std::string first = argc > 1 ? argv[1] : "";
    if (first == "--help" || first == "-h" || (argc != 2 && argc != 3) || (argc == 2 && first != "--demo")) {
        std::puts("usage: tvl-info GRID.gri DATA.dat\n       tvl-info --demo\n"
                  "Loads a flow data set and prints its summary: regular grid size, bounds,\n"
                  "maximum speed and the borders of every additional value.");
        return argc == 2 && (first == "--help" || first == "-h") ? 0 : 2;
    }
    tvl::FlowData flow;
    StderrLog log;
    flow.setLogSink(&log);
    const bool demo = argc == 2;
    const bool ok = demo ? flow.loadNodes(tvl::makeFlow(tvl::demoFlowSpec())) : flow.loadData(argv[1], argv[2]);
    if (!ok) {
        std::fputs("Ein Fehler ist beim Laden der Flowdaten aufgetreten.\n", stderr);
        return 1;
    }
    tvl::Vector3 lo, hi;
    flow.getBounds(lo, hi);
    std::printf("data set:        %s\n", demo ? "built-in demo (steady double gyre, 161 x 81 nodes)" : argv[1]);
    std::printf("regular grid:    %d x %d samples (cell size 0.02)\n", flow.getWidth(), flow.getHeight());
    std::printf("bounds:          x %g .. %g, y %g .. %g\n", lo.x, hi.x, lo.y, hi.y);
    std::printf("maximum speed:   %g\n", flow.getMaxSpeed());
    std::printf("additional values: %d\n", flow.getAdditionalCount());
    for (int k = 0; k < flow.getAdditionalCount(); ++k)
        std::printf("  value %d:       %g .. %g (range %g)\n", k, flow.getValueMinimum(k) + 0.0f,
            flow.getValueMaximum(k) + 0.0f, flow.getValueRange(k));
    return 0;
}
