// How closely the SDL backend's sleep keeps to the asked time: the game paces every tick with it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "platform/backend/sdl_clock.h"

namespace {

void BM_SdlClockSleep(benchmark::State& state) {
    zib::SdlClock clock;
    const auto ms = static_cast<uint32_t>(state.range(0));
    double worst = 0, total = 0;
    int64_t n = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        clock.sleep(ms);
        const double overshoot =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count() -
            ms * 1000.0;
        worst = std::max(worst, overshoot);
        total += overshoot;
        ++n;
    }
    state.counters["mean_overshoot_us"] = n ? total / double(n) : 0;
    state.counters["worst_overshoot_us"] = worst;
}
BENCHMARK(BM_SdlClockSleep)->Arg(1)->Arg(13)->Arg(50)->Iterations(100)->UseRealTime();

}  // namespace
