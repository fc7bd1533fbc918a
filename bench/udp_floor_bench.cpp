// What this machine's kernel alone asks for the ZIB server's relay load: a bare forwarder on
// loopback, one UDP socket read and written in batches, passing datagrams between 100 pairs of
// sockets that send 36 bytes every 13 ms each way (the relay benchmark's rate). Nothing of ENet,
// no tables, no limits: the floor under the server's figure. Prints one line for the speed
// report:
//   udp floor: sides N packets_s P cpu_pct C
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "net_relay.h"

namespace zib {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A nonblocking socket on a free port of 127.0.0.1, and its address.
int loopbackSocket(sockaddr_in& at) {
    const int s = test::loopbackSocket();
    ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK);
    at = {};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = htons(test::localPortOf(s));
    return s;
}

double threadSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void UdpForwardFloor(benchmark::State& state) {
    const int seconds = std::getenv("ZIB_RELAY_BENCH_SECONDS")
                            ? std::atoi(std::getenv("ZIB_RELAY_BENCH_SECONDS"))
                            : 10;
    constexpr size_t kSides = 200;
    for (auto _ : state) {
        sockaddr_in serverAt{};
        const int server = loopbackSocket(serverAt);
        std::vector<int> sides(kSides);
        std::vector<sockaddr_in> sideAt(kSides);
        for (size_t i = 0; i < kSides; ++i) sides[i] = loopbackSocket(sideAt[i]);
        // Ports are told apart by a table indexed by port, as cheap as a lookup can be.
        std::vector<int> sideOfPort(65536, -1);
        for (size_t i = 0; i < kSides; ++i) sideOfPort[ntohs(sideAt[i].sin_port)] = int(i);

        std::atomic<bool> stop{false};
        double cpu = 0;
        long forwarded = 0;
        std::thread forwarder([&] {
            const double start = threadSeconds();
            constexpr size_t kBatch = 64;
            static std::array<std::array<char, 2048>, kBatch> buffers;
            std::array<mmsghdr, kBatch> in{}, out{};
            std::array<iovec, kBatch> inVec{}, outVec{};
            std::array<sockaddr_in, kBatch> from{}, to{};
            while (!stop) {
                pollfd p{server, POLLIN, 0};
                if (::poll(&p, 1, 100) <= 0) continue;
                for (size_t k = 0; k < kBatch; ++k) {
                    inVec[k] = {buffers[k].data(), buffers[k].size()};
                    in[k].msg_hdr = {};
                    in[k].msg_hdr.msg_iov = &inVec[k];
                    in[k].msg_hdr.msg_iovlen = 1;
                    in[k].msg_hdr.msg_name = &from[k];
                    in[k].msg_hdr.msg_namelen = sizeof from[k];
                }
                const int n = ::recvmmsg(server, in.data(), kBatch, MSG_DONTWAIT, nullptr);
                unsigned m = 0;
                for (int k = 0; k < n; ++k) {
                    const int side = sideOfPort[ntohs(from[size_t(k)].sin_port)];
                    if (side < 0) continue;
                    to[m] = sideAt[size_t(side ^ 1)];
                    outVec[m] = {buffers[size_t(k)].data(), in[size_t(k)].msg_len};
                    out[m].msg_hdr = {};
                    out[m].msg_hdr.msg_iov = &outVec[m];
                    out[m].msg_hdr.msg_iovlen = 1;
                    out[m].msg_hdr.msg_name = &to[m];
                    out[m].msg_hdr.msg_namelen = sizeof to[m];
                    ++m;
                }
                if (m > 0) forwarded += ::sendmmsg(server, out.data(), m, 0);
            }
            cpu = threadSeconds() - start;
        });

        const std::array<char, 36> packet{};
        std::array<char, 2048> scratch{};
        long received = 0;
        const auto end = Clock::now() + std::chrono::seconds(seconds);
        for (auto next = Clock::now(); Clock::now() < end; next += 13ms) {
            for (size_t i = 0; i < kSides; i += 2) {
                std::this_thread::sleep_until(next + 13ms * i / kSides);
                for (const size_t side : {i, i + 1}) {
                    ::sendto(sides[side], packet.data(), packet.size(), 0,
                             reinterpret_cast<const sockaddr*>(&serverAt), sizeof serverAt);
                    while (::recv(sides[side], scratch.data(), scratch.size(), MSG_DONTWAIT) > 0)
                        ++received;
                }
            }
        }
        stop = true;
        forwarder.join();
        ::close(server);
        for (const int s : sides) ::close(s);
        std::printf("udp floor: sides %zu packets_s %.0f cpu_pct %.1f\n", kSides,
                    static_cast<double>(received) / seconds, 100.0 * cpu / seconds);
        benchmark::DoNotOptimize(forwarded);
    }
}

BENCHMARK(UdpForwardFloor)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zib
