#pragma once
// The ZIB server's relayed pairs and what becomes of each datagram that reaches the server: the
// two games of a pair hold one ENet connection of their own through the server, which passes
// every datagram of one side, as it came, to the other side's public endpoint and to nobody else.
// A datagram from any other endpoint is the server's own business. Each pair shares an allowance
// of bytes a second; a pair ends when either side has been silent too long, or when the host
// starts a connection of its own to the server (it is back for a new invite code). No ENet here:
// the server asks, and sends.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace zib::net {

struct RelayEndpoint {
    uint32_t address = 0;  // IPv4, host order
    uint16_t port = 0;
    friend bool operator==(const RelayEndpoint&, const RelayEndpoint&) = default;
};

struct RelayEndpointHash {
    size_t operator()(const RelayEndpoint& e) const {
        return std::hash<uint64_t>()(uint64_t{e.address} << 16 | e.port);
    }
};

struct RelayRules {
    size_t maxPairs = 200;
    double bytesPerSecond = 16 * 1024;  // each pair's share, both ways together
    double burst = 160 * 1024;          // bytes a quiet pair may send at once
    std::chrono::milliseconds silence{10000};
};

// Whether a datagram opens an ENet connection: a connection request to no peer yet.
bool isEnetConnectRequest(std::span<const uint8_t> datagram);

class RelayTable {
  public:
    using Clock = std::chrono::steady_clock;
    explicit RelayTable(const RelayRules& rules) : rules_(rules) {}

    // Relays host and joiner from now on: false when the table is full, when they are one
    // endpoint, or when either is relayed already.
    bool add(RelayEndpoint host, RelayEndpoint joiner, Clock::time_point now);

    enum class Verdict {
        Mine,     // not from a relayed endpoint: the server's own (the pair may just have ended)
        Forward,  // pass it on to `to`, as it came
        Drop,     // from a relayed endpoint, over the pair's allowance
    };
    struct Route {
        Verdict verdict = Verdict::Mine;
        RelayEndpoint to;
    };
    Route route(RelayEndpoint from, std::span<const uint8_t> datagram, Clock::time_point now);

    // Ends the pairs that have been silent too long; returns their hosts and joiners.
    struct Ended {
        RelayEndpoint host, joiner;
    };
    std::vector<Ended> sweep(Clock::time_point now);

    size_t pairs() const { return pairs_.size(); }
    bool relays(RelayEndpoint endpoint) const;

  private:
    struct Pair {
        RelayEndpoint host, joiner;
        Clock::time_point hostHeard, joinerHeard, at;
        double tokens = 0;
    };
    bool silent(const Pair& p, Clock::time_point now) const;
    void end(size_t index);

    RelayRules rules_;
    std::vector<Pair> pairs_;
    std::unordered_map<RelayEndpoint, size_t, RelayEndpointHash>
        index_;  // both sides of every pair
};

}  // namespace zib::net
