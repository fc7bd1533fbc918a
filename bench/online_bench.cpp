// Online play with the real game: two programs (headless backends, game windows, replay
// recorders, the online link with its rollback) joined through the relay play a FREE game at
// speed 13, each paced to 13 ms a tick on the real clock as the window's loop paces it (a fixed
// schedule that the link's waits move on: test::PacedLink), with the local input delay of 2 ticks.
// Three links: a 150 ms round trip with +-20 ms of jitter, with and without 2 % loss, and a clean
// 60 ms one. Prints one line for each for bench/run:
//   online game: rtt_set R jitter_ms J loss_pct L delay D ticks N median_ms M longest_ms X
//                depth_avg A depth_p99 P depth_max Q recompute_ms C stalls_min S
//                long_stalls_min W guessed_host H guessed_joiner G half_rtt_ticks F rtt_ms T
//                up_Bps U down_Bps V same E
// (median and longest: the periods of play, the last tick's wait for the end's confirmation left
// out; depth: ticks stepped again by one correction, both sides; recompute_ms: the time of the
// deepest; stalls_min: ticks that waited for the other side, per minute of play and side, and
// long_stalls_min those that waited longer than a period; guessed: the ticks each side showed past
// the last confirmed one, on average over its ticks: on level machines each is the half round trip
// in ticks (half_rtt_ticks, from the measured round trip) less the input delay, rounded up, and a
// correction reaches about that far back; up: joiner to host, UDP payload bytes as the relay saw
// them; same: 1 when both sides' confirmed ticks were the same states). ZIB_ONLINE_BENCH_TICKS sets
// the number of ticks (1000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "online_match.h"

namespace zib {
namespace {

constexpr int kSpeed = 13;

// The corrections of both sides of one game or many.
struct Corrections {
    uint64_t count = 0, stepped = 0;
    uint32_t deepest = 0;
    std::array<uint64_t, Rollback::kDepthCounts + 1> depths{};

    void add(const Rollback::Stats& s) {
        count += s.rollbacks;
        stepped += s.recomputedTicks;
        deepest = std::max(deepest, s.deepest);
        for (size_t d = 0; d < depths.size(); ++d) depths[d] += s.depths[d];
    }
    double average() const { return count ? static_cast<double>(stepped) / count : 0; }
    // The depth below which 99 % of the corrections stay.
    uint32_t p99() const {
        uint64_t seen = 0;
        for (size_t d = 1; d < depths.size(); ++d) {
            seen += depths[d];
            if (seen * 100 >= count * 99) return static_cast<uint32_t>(d);
        }
        return 0;
    }
};

double guessedAverage(const OnlinePlay::Figures& f) {
    return f.played ? static_cast<double>(f.guessed) / static_cast<double>(f.played) : 0;
}

void OnlineGame(benchmark::State& state) {
    const char* env = std::getenv("ZIB_ONLINE_BENCH_TICKS");
    const int ticks = env ? std::max(100, std::atoi(env)) : 1000;
    const int oneWay = static_cast<int>(state.range(0)) / 2;
    const int jitter = static_cast<int>(state.range(1));
    const double loss = static_cast<double>(state.range(2)) / 100;
    for (auto _ : state) {
        test::MatchOptions options;
        options.faults.delayMs = oneWay;
        options.faults.jitterMs = jitter;
        options.faults.loss = loss;
        options.faults.seed = 7;
        options.gameSpeed = kSpeed;
        options.limit = std::chrono::seconds(60 + ticks / 40);
        test::SideScript host{{38, 39, 40, 37}, 9, ticks, {}, kSpeed, {}};
        test::SideScript joiner{{73, 76, 75, 74}, 11, 0, {}, kSpeed, {}};
        const test::Match m = test::play(options, host, joiner);
        // The tick that ends the game waits for the other side's word on it with the game over
        // on the screen: not a period of play.
        std::vector<double> periods;
        for (const test::SideResult* side : {&m.host, &m.joiner})
            if (!side->periodsMs.empty())
                periods.insert(periods.end(), side->periodsMs.begin(), side->periodsMs.end() - 1);
        if (periods.empty() || m.host.timedOut || m.joiner.timedOut)
            return state.SkipWithError("the online game did not finish");
        std::sort(periods.begin(), periods.end());
        Corrections corrections;
        corrections.add(m.host.rollback);
        corrections.add(m.joiner.rollback);
        const double minutes = m.seconds / 60;
        std::fprintf(
            stderr,
            "online game: rtt_set %d jitter_ms %d loss_pct %.0f delay %d ticks %zu median_ms %.2f "
            "longest_ms %.1f depth_avg %.2f depth_p99 %u depth_max %u recompute_ms %.4f "
            "stalls_min %.1f long_stalls_min %.1f guessed_host %.2f guessed_joiner %.2f "
            "half_rtt_ticks %.2f rtt_ms %.1f up_Bps %.0f down_Bps %.0f same %d\n",
            2 * oneWay, jitter, loss * 100, m.host.inputDelay, m.host.hashes.size(),
            periods[periods.size() / 2], periods.back(), corrections.average(), corrections.p99(),
            corrections.deepest,
            std::max(m.host.figures.deepestRecomputeMs, m.joiner.figures.deepestRecomputeMs),
            static_cast<double>(m.host.figures.stalls + m.joiner.figures.stalls) / 2 / minutes,
            static_cast<double>(m.host.figures.longStalls + m.joiner.figures.longStalls) / 2 /
                minutes,
            guessedAverage(m.host.figures), guessedAverage(m.joiner.figures),
            m.roundTripMs / 2 / kSpeed, m.roundTripMs,
            static_cast<double>(m.traffic.bytes[0]) / m.seconds,
            static_cast<double>(m.traffic.bytes[1]) / m.seconds,
            m.host.hashes == m.joiner.hashes ? 1 : 0);
        state.counters["median_ms"] = periods[periods.size() / 2];
    }
}
BENCHMARK(OnlineGame)
    ->Args({150, 20, 2})
    ->Args({150, 20, 0})
    ->Args({60, 0, 0})
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// The soak: real games (crashes end them, Esc after 3,000 ticks at the latest) one after another
// through the 150 ms link for ZIB_ONLINE_SOAK_SECONDS (600). Each snake zigzags across the field,
// turning every few ticks but never back onto its own neck, until it meets the other or itself.
// Prints
//   online soak: seconds S games G same E ticks T depth_avg A depth_p99 P deepest D
//                guessed_host H guessed_joiner J stalls_min W
// (same: the games whose confirmed ticks and replays were identical on both sides; depth, guessed
// and stalls as in the online game's line, over all games).
void OnlineSoak(benchmark::State& state) {
    const char* env = std::getenv("ZIB_ONLINE_SOAK_SECONDS");
    const double seconds = env ? std::max(10, std::atoi(env)) : 600;
    for (auto _ : state) {
        const auto start = test::Clock::now();
        int games = 0, same = 0;
        size_t ticks = 0;
        Corrections corrections;
        OnlinePlay::Figures host, joiner;
        double played = 0;
        while (std::chrono::duration<double>(test::Clock::now() - start).count() < seconds) {
            test::MatchOptions options;
            options.faults.delayMs = 75;
            options.faults.jitterMs = 20;
            options.faults.loss = 0.02;
            options.faults.duplicate = 0.01;
            options.faults.reorder = 0.02;
            options.faults.seed = static_cast<uint64_t>(games + 1);
            options.gameSpeed = kSpeed;
            options.freeMode = false;
            options.limit = std::chrono::seconds(120);
            // Red starts to the right, blue to the left: right, down, right, up, ... and left,
            // down, left, up, ...
            test::SideScript hostScript{{38, 39, 40, 39}, 9 + games % 5, 3000, {}, kSpeed, {}};
            test::SideScript joinerScript{{73, 74, 75, 74}, 7 + games % 3, 0, {}, kSpeed, {}};
            const test::Match m = test::play(options, hostScript, joinerScript);
            ++games;
            ticks += m.host.hashes.size();
            played += m.seconds;
            corrections.add(m.host.rollback);
            corrections.add(m.joiner.rollback);
            for (auto [sum, side] :
                 {std::pair{&host, &m.host.figures}, {&joiner, &m.joiner.figures}}) {
                sum->stalls += side->stalls;
                sum->played += side->played;
                sum->guessed += side->guessed;
            }
            const bool alike =
                !m.host.timedOut && !m.joiner.timedOut && !m.host.hashes.empty() &&
                m.host.hashes == m.joiner.hashes && m.host.records.size() == 1 &&
                m.joiner.records.size() == 1 &&
                m.host.records[0].events.size() == m.joiner.records[0].events.size() &&
                m.host.records[0].outcome->result == m.joiner.records[0].outcome->result;
            same += alike ? 1 : 0;
        }
        std::fprintf(stderr,
                     "online soak: seconds %.0f games %d same %d ticks %zu depth_avg %.2f "
                     "depth_p99 %u deepest %u guessed_host %.2f guessed_joiner %.2f "
                     "stalls_min %.1f\n",
                     std::chrono::duration<double>(test::Clock::now() - start).count(), games, same,
                     ticks, corrections.average(), corrections.p99(), corrections.deepest,
                     guessedAverage(host), guessedAverage(joiner),
                     static_cast<double>(host.stalls + joiner.stalls) / 2 / (played / 60));
    }
}
BENCHMARK(OnlineSoak)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace zib
