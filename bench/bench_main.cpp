// zib_bench's main: registers the benchmarks made at run time, runs the ones the command line
// chooses (the usual --benchmark_* options) and keeps every median, then prints the route search's
// ratio table from them. The other benchmarks register themselves (BENCHMARK). `--relay` runs the
// network tests' relay instead (relay_command.h).
#include <benchmark/benchmark.h>

#include <vector>

#include "computer_bench.h"
#include "relay_command.h"

namespace {

// Keeps the medians of every benchmark for the tables after the runs, and shows everything as
// usual.
class MedianCollector : public benchmark::ConsoleReporter {
  public:
    zib::BenchMedians medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[r.run_name.function_name] = {r.GetAdjustedRealTime(),
                                                     r.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (zib::isRelayCommand(argc, argv)) return zib::runRelayCommand(argc, argv);
    zib::registerRouteSearchBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianCollector reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    zib::printRouteSearchTable(reporter.medians);
    return 0;
}
