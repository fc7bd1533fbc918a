#pragma once
// The route search benchmarks (computer_bench.cpp) as zib_bench's main calls them.
#include <map>
#include <string>

namespace zib {

// The median times of one benchmark in microseconds: wall clock and processor time.
struct BenchMedian {
    double realUs = 0, cpuUs = 0;
};
using BenchMedians = std::map<std::string, BenchMedian>;

// Registers FindPath/Fast/<board> and FindPath/Literal/<board> for every board.
void registerRouteSearchBenchmarks();
// Prints the fast and literal medians of every board that ran and how many times faster the fast
// search is.
void printRouteSearchTable(const BenchMedians& medians);

}  // namespace zib
