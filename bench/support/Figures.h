#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tvl::bench {

// Console reporter that also keeps each run's real time per iteration (in
// nanoseconds) and its counters, so a benchmark's main can print the
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
            for (const auto& [key, counter] : run.counters)
                counters[name + "/" + key] = counter.value;
        }
    }

    std::map<std::string, double> nanoseconds;
    std::map<std::string, double> counters;
};

inline void printFigure(const char* name, double value, const char* unit)
{
    std::printf("FIGURE %s %.6g %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace tvl::bench
