// The fault-injecting relay: two loopback sockets and a queue of datagrams ordered by the time
// they are due.
#include "net_relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <queue>
#include <random>
#include <stdexcept>
#include <vector>

namespace zib::test {

namespace {

constexpr size_t kMaxInFlight = 10000;

sockaddr_in loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

struct Datagram {
    std::chrono::steady_clock::time_point due;
    uint64_t order;  // ties keep their arrival order
    int toTarget;    // 1: client to target, 0: back to the client
    std::vector<uint8_t> bytes;
    bool operator>(const Datagram& o) const { return due != o.due ? due > o.due : order > o.order; }
};

}  // namespace

int loopbackSocket() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) throw std::runtime_error("relay: no socket");
    sockaddr_in a = loopback(0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        throw std::runtime_error("relay: bind failed");
    }
    return fd;
}

uint16_t localPortOf(int fd) {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    return getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0 ? ntohs(a.sin_port) : 0;
}

UdpRelay::UdpRelay(uint16_t targetPort, const RelayFaults& faults,
                   std::chrono::milliseconds lifetime)
    : faults_(faults), deadline_(std::chrono::steady_clock::now() + lifetime) {
    front_ = loopbackSocket();
    back_ = loopbackSocket();
    sockaddr_in target = loopback(targetPort);
    connect(back_, reinterpret_cast<sockaddr*>(&target), sizeof target);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    getsockname(front_, reinterpret_cast<sockaddr*>(&bound), &length);
    port_ = ntohs(bound.sin_port);
    thread_ = std::thread([this] { run(); });
}

UdpRelay::~UdpRelay() {
    stop_ = true;
    thread_.join();
    close(front_);
    close(back_);
}

RelayCounts UdpRelay::counts() const {
    std::lock_guard lock(countsMutex_);
    return counts_;
}

void UdpRelay::run() {
    using Clock = std::chrono::steady_clock;
    std::mt19937_64 random(faults_.seed);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    std::uniform_int_distribution<int> jitter(0, std::max(faults_.jitterMs, 0));
    std::priority_queue<Datagram, std::vector<Datagram>, std::greater<>> queue;
    uint64_t order = 0;
    sockaddr_in client{};
    bool knowClient = false;
    std::vector<uint8_t> buffer(65536);

    auto schedule = [&](int toTarget, const std::vector<uint8_t>& bytes) {
        const int copies = chance(random) < faults_.duplicate ? 2 : 1;
        if (chance(random) < faults_.loss) return;
        for (int i = 0; i < copies && queue.size() < kMaxInFlight; ++i) {
            int ms = faults_.delayMs + jitter(random);
            if (chance(random) < faults_.reorder) ms += faults_.delayMs + faults_.jitterMs + 5;
            queue.push({Clock::now() + std::chrono::milliseconds(ms), order++, toTarget, bytes});
        }
    };

    while (!stop_ && Clock::now() < deadline_) {
        int waitMs = 5;
        if (!queue.empty()) {
            const auto until = std::chrono::duration_cast<std::chrono::milliseconds>(
                queue.top().due - Clock::now());
            waitMs = static_cast<int>(std::clamp<long long>(until.count(), 0, 5));
        }
        pollfd fds[2] = {{front_, POLLIN, 0}, {back_, POLLIN, 0}};
        if (::poll(fds, 2, waitMs) > 0) {
            for (int side = 0; side < 2; ++side) {
                if (!(fds[side].revents & POLLIN)) continue;
                sockaddr_in from{};
                socklen_t length = sizeof from;
                const ssize_t n = recvfrom(fds[side].fd, buffer.data(), buffer.size(), MSG_DONTWAIT,
                                           reinterpret_cast<sockaddr*>(&from), &length);
                if (n < 0) continue;
                if (side == 0) {
                    client = from;
                    knowClient = true;
                }
                {
                    std::lock_guard lock(countsMutex_);
                    counts_.datagrams[side] += 1;
                    counts_.bytes[side] += static_cast<uint64_t>(n);
                }
                if (!cut_)
                    schedule(side == 0 ? 1 : 0,
                             std::vector<uint8_t>(buffer.begin(), buffer.begin() + n));
            }
        }
        while (!queue.empty() && queue.top().due <= Clock::now()) {
            const Datagram& d = queue.top();
            if (!cut_) {
                if (d.toTarget)
                    send(back_, d.bytes.data(), d.bytes.size(), MSG_DONTWAIT);
                else if (knowClient)
                    sendto(front_, d.bytes.data(), d.bytes.size(), MSG_DONTWAIT,
                           reinterpret_cast<const sockaddr*>(&client), sizeof client);
            }
            queue.pop();
        }
    }
}

}  // namespace zib::test
