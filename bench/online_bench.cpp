// Online play with the real game: two programs (headless backends, game windows, replay
// recorders, the online link) joined through the relay at a 60 ms round trip and 2 % loss play a
// FREE game at speed 13, each paced to 13 ms a tick on the real clock. Prints one line for
// bench/run:
//   online game: ticks N median_ms M longest_ms L delay D rtt_ms R up_Bps U down_Bps V same S
// (up: joiner to host, UDP payload bytes as the relay saw them; same: 1 when both games ended in
// identical states). ZIB_ONLINE_BENCH_TICKS sets the number of ticks (1000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "online_match.h"

namespace zib {
namespace {

void OnlineGame(benchmark::State& state) {
    const char* env = std::getenv("ZIB_ONLINE_BENCH_TICKS");
    const int ticks = env ? std::max(100, std::atoi(env)) : 1000;
    for (auto _ : state) {
        test::MatchOptions options;
        options.faults.delayMs = 30;
        options.faults.loss = 0.02;
        options.faults.seed = 7;
        options.gameSpeed = 13;
        test::SideScript host{{38, 39, 40, 37}, 9, ticks, {}, 13, {}};
        test::SideScript joiner{{73, 76, 75, 74}, 11, 0, {}, 13, {}};
        const test::Match m = test::play(options, host, joiner);
        std::vector<double> periods = m.host.periodsMs;
        periods.insert(periods.end(), m.joiner.periodsMs.begin(), m.joiner.periodsMs.end());
        if (periods.empty() || m.host.timedOut || m.joiner.timedOut)
            return state.SkipWithError("the online game did not finish");
        std::sort(periods.begin(), periods.end());
        std::fprintf(stderr,
                     "online game: ticks %zu median_ms %.2f longest_ms %.1f delay %d rtt_ms %.1f "
                     "up_Bps %.0f down_Bps %.0f same %d\n",
                     m.host.hashes.size(), periods[periods.size() / 2], periods.back(),
                     m.host.inputDelay, m.roundTripMs,
                     static_cast<double>(m.traffic.bytes[0]) / m.seconds,
                     static_cast<double>(m.traffic.bytes[1]) / m.seconds,
                     m.host.hashes == m.joiner.hashes ? 1 : 0);
        state.counters["median_ms"] = periods[periods.size() / 2];
    }
}
BENCHMARK(OnlineGame)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zib
