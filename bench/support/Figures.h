#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tvl::bench {

// Console reporter that also keeps each run's real and CPU time per iteration
// (in nanoseconds) and its counters, so a benchmark's main can print the
// figures that scripts/bench collects.
class FigureReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "median")
                continue;
            const std::string name = run.run_name.function_name;
            const double factor = benchmark::GetTimeUnitMultiplier(run.time_unit);
            nanoseconds[name] = run.GetAdjustedRealTime() / factor * 1e9;
            cpuNanoseconds[name] = run.GetAdjustedCPUTime() / factor * 1e9;
            for (const auto& [key, counter] : run.counters)
                counters[name + "/" + key] = counter.value;
        }
    }

    std::map<std::string, double> nanoseconds;
    // Process CPU time, kernel time included: on a shared machine the one
    // measure of in-process work that other processes do not stretch.
    std::map<std::string, double> cpuNanoseconds;
    std::map<std::string, double> counters;
};

inline void printFigure(const char* name, double value, const char* unit)
{
    std::printf("FIGURE %s %.6g %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace tvl::bench
