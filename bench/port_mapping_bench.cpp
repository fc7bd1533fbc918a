// The host's frames while its port mapper asks the router: a host session served once a frame
// (every 16 ms, as the menu's loop does) from its start until the address line, and the longest gap
// between two frames in that time. Run inside a network with a router (tests/internet/measure.sh
// runs it behind miniupnpd); elsewhere it measures the way to "no router answered".
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "net/session.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

void PortMappingFrames(benchmark::State& state) {
    for (auto _ : state) {
        const auto start = Clock::now();
        std::optional<double> lineMs;
        zib::net::SessionOptions o;
        o.gameVersion = "bench";
        o.port = 0;
        o.portMapping = true;
        o.onAddressLine = [&](const std::string&) { lineMs = msSince(start); };
        auto opened = zib::net::Session::host(o);
        if (!opened) {
            state.SkipWithError(opened.error().c_str());
            return;
        }
        auto host = std::move(*opened);
        double longest = 0;
        int frames = 0;
        auto last = Clock::now();
        while (!lineMs && msSince(start) < 10'000) {
            host->poll(0);
            (void)host->statusLine(13);
            const auto now = Clock::now();
            longest =
                std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            ++frames;
            std::this_thread::sleep_for(std::chrono::milliseconds(16));
        }
        const zib::net::MappingStatus s = host->mapping().value_or(zib::net::MappingStatus{});
        std::printf("port mapping: address_ms %.0f longest_frame_gap_ms %.1f frames %d stage %d\n",
                    lineMs.value_or(-1), longest, frames, static_cast<int>(s.stage));
        std::fflush(stdout);
    }
}
BENCHMARK(PortMappingFrames)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
