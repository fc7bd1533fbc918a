// The ZIB server on loopback, in a thread of its own: the delay its relay adds to a game packet's
// round trip (against a direct ENet connection), and the load of many relayed pairs exchanging
// at the game's rate. Prints one line for the speed report:
//   server relay: direct_ms D relayed_ms R added_ms A pairs P pairs_start B pairs_end E hosts H
//                 tick_ms T seconds S packets_s N cpu_pct C rss_mb M
// (medians of 200 round trips; cpu_pct is the server thread's CPU time over the load run, in
// percent of one core; pairs_start and pairs_end the pairs still connected both ways when the
// load began and when it ended; packets_s the game packets the pairs received a second, both
// ways (a pair at 13 ms: 154);
// rss_mb the growth of this process's resident memory while the server held
// the pairs and 500 further registered hosts). ZIB_RELAY_BENCH_SECONDS sets the load run (10),
// ZIB_RELAY_BENCH_PAIRS the pairs (100), ZIB_RELAY_BENCH_TICK_MS the games' tick (13: speed 13;
// a first start's speed, gauge 8, sleeps 46 ms a tick).
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/invite_client.h"
#include "net/invite_server.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using namespace net;

long rssKb() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    return 0;
}

struct Side {
    std::unique_ptr<Connection> connection;
    std::unique_ptr<InviteClient> invite;
    int received = 0;
    void poll(int ms) {
        for (const ConnectionEvent& e : connection->poll(ms))
            if (e.type == ConnectionEvent::Type::Received) ++received;
        if (invite) invite->poll(0);
    }
};

struct Pair {
    Side host, joiner;
};

// A relayed pair on the server at port; the pairs made before are served meanwhile, as their
// silence would end them.
std::unique_ptr<Pair> relayedPair(uint16_t port, const std::function<void()>& serveOthers = {}) {
    auto p = std::make_unique<Pair>();
    std::string error;
    ConnectionOptions listen;
    listen.bindHost = "127.0.0.1";
    listen.port = 0;
    p->host.connection = Connection::listen(listen, error);
    p->host.invite =
        InviteClient::registerHost("127.0.0.1", port, 0, error, {}, p->host.connection.get());
    const auto end = Clock::now() + 5s;
    while (p->host.invite->stage() != InviteStage::Registered && Clock::now() < end)
        p->host.poll(1);
    if (serveOthers) serveOthers();
    p->joiner.connection = Connection::open({}, error);
    p->joiner.invite = InviteClient::joinByCode("127.0.0.1", port, p->host.invite->code(), error,
                                                {}, p->joiner.connection.get());
    while (p->joiner.invite->stage() != InviteStage::Paired && Clock::now() < end) {
        p->host.poll(0);
        p->joiner.poll(1);
        if (serveOthers) serveOthers();
    }
    p->joiner.invite->requestRelay();
    while (!(p->host.connection->connected() && p->joiner.connection->connected()) &&
           Clock::now() < end) {
        p->host.poll(0);
        p->joiner.poll(1);
        if (serveOthers) serveOthers();
    }
    return p->host.connection->connected() ? std::move(p) : nullptr;
}

// The median round trip of a 30-byte packet from a to b and back, in ms.
double medianRoundTrip(Side& a, Side& b) {
    const std::vector<uint8_t> packet(30, 7);
    std::vector<double> trips;
    for (int i = 0; i < 200; ++i) {
        const auto start = Clock::now();
        const int ra = a.received, rb = b.received;
        a.connection->send(packet, Channel::Reliable);
        while (b.received == rb && Clock::now() - start < 1s) b.poll(0), a.poll(0);
        b.connection->send(packet, Channel::Reliable);
        while (a.received == ra && Clock::now() - start < 1s) a.poll(0), b.poll(0);
        trips.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(trips.begin(), trips.end());
    return trips[trips.size() / 2];
}

void ServerRelay(benchmark::State& state) {
    const int seconds = std::getenv("ZIB_RELAY_BENCH_SECONDS")
                            ? std::atoi(std::getenv("ZIB_RELAY_BENCH_SECONDS"))
                            : 10;
    const size_t pairCount =
        std::getenv("ZIB_RELAY_BENCH_PAIRS")
            ? static_cast<size_t>(std::atoi(std::getenv("ZIB_RELAY_BENCH_PAIRS")))
            : 100;
    const std::chrono::milliseconds tickLength(
        std::getenv("ZIB_RELAY_BENCH_TICK_MS") ? std::atoi(std::getenv("ZIB_RELAY_BENCH_TICK_MS"))
                                               : 13);
    for (auto _ : state) {
        InviteServerOptions o;
        o.bindHost = "127.0.0.1";
        o.port = 0;
        // The default tables; everyone comes from 127.0.0.1, so one address may hold them all.
        o.codesPerAddress = o.maxHosts;
        o.slotsPerAddress = 4000;
        std::string error;
        auto server = InviteServer::start(o, error);
        const uint16_t port = server->localPort();
        std::atomic<bool> stop{false}, loadStarts{false};
        std::atomic<double> serverCpu{0};
        std::thread serving([&] {
            timespec a{}, b{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
            while (!stop) {
                server->poll(100);  // as zib-server does
                if (loadStarts.exchange(false)) ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
            }
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
            serverCpu = static_cast<double>(b.tv_sec - a.tv_sec) +
                        static_cast<double>(b.tv_nsec - a.tv_nsec) / 1e9;
        });

        // Direct against relayed, on loopback.
        Side directHost, directJoiner;
        ConnectionOptions listen;
        listen.bindHost = "127.0.0.1";
        listen.port = 0;
        directHost.connection = Connection::listen(listen, error);
        directJoiner.connection =
            Connection::connect("127.0.0.1", directHost.connection->localPort(), {}, error);
        while (!directHost.connection->connected() || !directJoiner.connection->connected())
            directHost.poll(0), directJoiner.poll(1);
        const double direct = medianRoundTrip(directJoiner, directHost);
        auto one = relayedPair(port);
        const double relayed = one ? medianRoundTrip(one->joiner, one->host) : -1;
        one.reset();

        // The load: registered hosts that wait, and relayed pairs sending as a game does: an
        // Input every tick each way, unreliably, and a checksum every 16 ticks, reliably. The
        // pairs' ticks are spread over the tick, as independent games' would be.
        const long rssBefore = rssKb();
        std::vector<std::unique_ptr<Pair>> pairs;
        const auto servePairs = [&] {
            for (auto& p : pairs) p->host.poll(0), p->joiner.poll(0);
        };
        for (size_t i = 0; i < pairCount; ++i)
            if (auto p = relayedPair(port, servePairs)) pairs.push_back(std::move(p));
        std::vector<std::unique_ptr<InviteClient>> waiting;
        for (size_t i = 0; i < 500; ++i) {
            waiting.push_back(InviteClient::registerHost("127.0.0.1", port, 47777, error));
            if (!waiting.back()) waiting.pop_back();
        }
        for (auto until = Clock::now() + 5s;
             server->registeredHosts() < waiting.size() && Clock::now() < until;) {
            for (auto& w : waiting) w->poll(0);
            servePairs();
        }
        const size_t hosts = server->registeredHosts();
        const std::vector<uint8_t> packet(24, 1);
        const auto delivered = [&] {
            long n = 0;
            for (auto& p : pairs) n += p->host.received + p->joiner.received;
            return n;
        };
        const long deliveredBefore = delivered();
        loadStarts = true;
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        const auto stillPaired = [&] {
            size_t n = 0;
            for (auto& p : pairs)
                n += p->host.connection->connected() && p->joiner.connection->connected();
            return n;
        };
        const size_t pairedAtStart = stillPaired();  // all that were made, unless one was lost
        auto next = Clock::now();
        for (uint32_t tick = 1; Clock::now() < end; ++tick) {
            const Channel channel = tick % 16 == 0 ? Channel::Reliable : Channel::Unreliable;
            for (size_t i = 0; i < pairs.size(); ++i) {
                std::this_thread::sleep_until(next + tickLength * i / pairs.size());
                auto& p = pairs[i];
                p->host.connection->send(packet, channel);
                p->joiner.connection->send(packet, channel);
                p->host.poll(0);
                p->joiner.poll(0);
            }
            // The waiting hosts only keep their registrations: each is served every 8 ticks.
            for (size_t k = tick % 8; k < waiting.size(); k += 8) waiting[k]->poll(0);
            next += tickLength;
        }
        const long rssAfter = rssKb();
        const size_t pairedAtEnd = stillPaired();
        const double packetsPerSecond =
            static_cast<double>(delivered() - deliveredBefore) / seconds;
        stop = true;
        serving.join();
        const double cpuPct = 100.0 * serverCpu / seconds;
        std::printf(
            "server relay: direct_ms %.3f relayed_ms %.3f added_ms %.3f pairs %zu pairs_start %zu "
            "pairs_end %zu hosts %zu tick_ms %d seconds %d packets_s %.0f cpu_pct %.1f "
            "rss_mb %.1f\n",
            direct, relayed, relayed - direct, pairs.size(), pairedAtStart, pairedAtEnd, hosts,
            static_cast<int>(tickLength.count()), seconds, packetsPerSecond, cpuPct,
            static_cast<double>(rssAfter - rssBefore) / 1024.0);
    }
}

BENCHMARK(ServerRelay)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zib
