// Online play without the game, the way it was played before rollback, kept for comparison: two
// sessions in two threads, joined through the fault-injecting relay at a 60 ms round trip with
// 2 % loss, run a lockstep exchange at 13 ms per tick (sleep the game speed, then wait for the
// other side's keys of the next tick), each side's keys stamped ceil(rtt / 2 / period) + 1 ticks
// ahead. Prints one line for bench/run:
//   net lockstep: ticks N median_ms M longest_ms L delay D rtt_ms R up_Bps U down_Bps V
//                 up_dgram_s A down_dgram_s B
// (up: joiner to host; B/s are UDP payload bytes as the relay saw them). ZIB_NET_BENCH_TICKS sets
// the number of ticks (1000).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/session.h"
#include "net_relay.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
constexpr int kGameSpeed = 13;

// One side's game loop; returns the period of every tick in ms. A side that is through keeps
// serving its connection until the other side is too (finished counts them): its last keys may
// still have to be sent again.
std::vector<double> lockstep(net::Session& session, uint32_t ticks, uint32_t delay, unsigned seed,
                             std::atomic<int>& finished) {
    std::mt19937 random(seed);
    std::vector<double> periods;
    for (uint32_t t = 1; t <= delay; ++t) session.sendLocalInput(t, {}, 0);
    // A turn of this side's own snake (red's slots are odd).
    const uint8_t turn = session.role() == net::Role::Host ? 1 : 0;
    Clock::time_point last{};
    const auto giveUp = Clock::now() + std::chrono::seconds(30 + ticks / 20);
    for (uint32_t tick = 1; tick <= ticks && Clock::now() < giveUp; ++tick) {
        while (!session.hasRemoteInput(tick) && session.state() == net::SessionState::Connected &&
               Clock::now() < giveUp)
            session.poll(1);
        if (!session.hasRemoteInput(tick)) break;
        const Clock::time_point now = Clock::now();
        if (tick > 1)
            periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        last = now;
        const uint32_t stamp = tick + delay;
        if (stamp <= ticks) {
            std::vector<net::KeyEvent> keys;
            if (random() % 8 == 0) keys.push_back({turn});  // a turn now and then
            session.sendLocalInput(stamp, keys, tick);
        }
        if (tick % net::kChecksumInterval == 0) session.sendChecksum(tick, tick);
        const auto wake = now + std::chrono::milliseconds(kGameSpeed);
        for (auto left = wake - Clock::now(); left > 0ms; left = wake - Clock::now())
            session.poll(static_cast<int>(
                std::chrono::duration_cast<std::chrono::milliseconds>(left).count()));
    }
    ++finished;
    while (finished < 2 && session.state() == net::SessionState::Connected && Clock::now() < giveUp)
        session.poll(1);
    return periods;
}

void NetLockstep(benchmark::State& state) {
    const char* env = std::getenv("ZIB_NET_BENCH_TICKS");
    const uint32_t ticks = env ? static_cast<uint32_t>(std::max(100, std::atoi(env))) : 1000;
    for (auto _ : state) {
        net::SessionOptions o;
        o.gameVersion = "bench";
        o.bindHost = "127.0.0.1";
        o.port = 0;
        auto opened = net::Session::host(o);
        if (!opened) return state.SkipWithError(opened.error().c_str());
        std::unique_ptr<net::Session> host = std::move(*opened);
        test::RelayFaults faults;
        faults.delayMs = 30;
        faults.loss = 0.02;
        faults.seed = 7;
        test::UdpRelay relay(host->localPort(), faults, std::chrono::seconds(120 + ticks / 10));
        o.port = relay.port();
        auto joined = net::Session::join("127.0.0.1", o);
        if (!joined) return state.SkipWithError(joined.error().c_str());
        std::unique_ptr<net::Session> joiner = std::move(*joined);
        // Connect and let the first probes settle the round trip.
        const auto until = Clock::now() + 20s;
        while (Clock::now() < until &&
               !(host->state() == net::SessionState::Connected &&
                 joiner->state() == net::SessionState::Connected && host->roundTripMs())) {
            host->poll(1);
            joiner->poll(1);
        }
        for (const auto settle = Clock::now() + 700ms; Clock::now() < settle;) {
            host->poll(1);
            joiner->poll(1);
        }
        if (!host->roundTripMs()) return state.SkipWithError("no connection through the relay");
        net::StartGame start;
        start.levelName = "Ohrada.zq7";
        start.gameSpeed = kGameSpeed;
        const auto delay = static_cast<uint32_t>(
            std::clamp(std::ceil(*host->roundTripMs() / 2 / kGameSpeed) + 1, 1.0, 16.0));
        if (!host->startGame(start).empty()) return state.SkipWithError("no start");
        while (!joiner->takeEvent() && Clock::now() < until + 10s) {
            host->poll(1);
            joiner->poll(1);
        }
        const test::RelayCounts before = relay.counts();
        const Clock::time_point t0 = Clock::now();
        std::vector<double> joinerPeriods;
        std::atomic<int> finished = 0;
        std::thread other([&] { joinerPeriods = lockstep(*joiner, ticks, delay, 2, finished); });
        std::vector<double> periods = lockstep(*host, ticks, delay, 1, finished);
        other.join();
        const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
        const test::RelayCounts after = relay.counts();
        periods.insert(periods.end(), joinerPeriods.begin(), joinerPeriods.end());
        if (periods.size() < 2 * (ticks - 1)) {
            const std::string why = "the exchange stalled: host at tick " +
                                    std::to_string(periods.size() - joinerPeriods.size() + 1) +
                                    " (" + host->message() + "), joiner at tick " +
                                    std::to_string(joinerPeriods.size() + 1) + " (" +
                                    joiner->message() + ")";
            return state.SkipWithError(why.c_str());
        }
        std::sort(periods.begin(), periods.end());
        const double median = periods[periods.size() / 2];
        const double longest = periods.back();
        auto rate = [&](int side, bool bytes) {
            const uint64_t d = bytes ? after.bytes[side] - before.bytes[side]
                                     : after.datagrams[side] - before.datagrams[side];
            return static_cast<double>(d) / seconds;
        };
        std::fprintf(stderr,
                     "net lockstep: ticks %u median_ms %.2f longest_ms %.1f delay %d rtt_ms %.1f "
                     "up_Bps %.0f down_Bps %.0f up_dgram_s %.1f down_dgram_s %.1f\n",
                     ticks, median, longest, delay, *host->roundTripMs(), rate(0, true),
                     rate(1, true), rate(0, false), rate(1, false));
        state.counters["median_ms"] = median;
        state.counters["longest_ms"] = longest;
        state.counters["delay"] = delay;
        joiner->close();
    }
}
BENCHMARK(NetLockstep)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zib
