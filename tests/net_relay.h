#pragma once
// A UDP relay on the loopback interface for the network tests and the benchmark: datagrams from
// the first client that writes to port() go to 127.0.0.1:targetPort and the answers come back,
// each delayed, jittered, lost, duplicated or held back as the faults say (a seeded random
// source, so a run can be repeated). It runs in a thread of its own, keeps at most 10,000
// datagrams in flight and stops by itself after its lifetime.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <thread>

namespace zib::test {

// A UDP socket bound to a free port of 127.0.0.1 (throws when none can be made), and the port a
// socket is bound to.
int loopbackSocket();
uint16_t localPortOf(int fd);

struct RelayFaults {
    int delayMs = 0;       // one way
    int jitterMs = 0;      // plus 0..jitterMs, uniform
    double loss = 0;       // share of datagrams dropped
    double duplicate = 0;  // share sent twice (the copy with its own delay)
    double reorder = 0;    // share held back by delayMs + jitterMs + 5 ms more
    uint64_t seed = 1;
};

struct RelayCounts {
    uint64_t datagrams[2] = {0, 0};  // received from the client [0] and from the target [1]
    uint64_t bytes[2] = {0, 0};      // their UDP payload bytes
};

class UdpRelay {
  public:
    UdpRelay(uint16_t targetPort, const RelayFaults& faults,
             std::chrono::milliseconds lifetime = std::chrono::seconds(120));
    ~UdpRelay();
    UdpRelay(const UdpRelay&) = delete;
    UdpRelay& operator=(const UdpRelay&) = delete;

    uint16_t port() const { return port_; }
    // From now on every datagram is dropped, both ways: a cable pulled out.
    void cut() { cut_ = true; }
    RelayCounts counts() const;

  private:
    void run();

    RelayFaults faults_;
    std::chrono::steady_clock::time_point deadline_;
    int front_ = -1, back_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false}, cut_{false};
    mutable std::mutex countsMutex_;
    RelayCounts counts_;
    std::thread thread_;
};

}  // namespace zib::test
