#pragma once
// The relayed sides' own sockets on the ZIB server. Each side of a relayed pair gets a UDP socket
// bound to the server's port and connected to that side's public endpoint; the kernel hands a
// connected socket the datagrams from its endpoint before an unconnected one, so a relayed
// datagram never reaches ENet's socket: it neither wakes ENet nor costs ENet's walk over every
// slot. The sockets are read in batches and their datagrams sent on in one call from the server's
// socket, so the other side sees them come from the address it knows. What passes, and where to,
// is the relay table's word (net/relay_table.h).
//
// A pair whose sockets cannot be made is still relayed: its datagrams come to ENet's socket and
// the server passes them on from there.
#include <netinet/in.h>
#include <sys/socket.h>

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "net/relay_table.h"

namespace zib::net {

class RelaySockets {
  public:
    ~RelaySockets();
    RelaySockets(const RelaySockets&) = delete;
    RelaySockets& operator=(const RelaySockets&) = delete;

    // Sockets beside serverSocket (bound, the one ENet reads), relaying by table; nullptr when
    // the system has no room for the waiting set.
    static std::unique_ptr<RelaySockets> create(int serverSocket, RelayTable& table);

    // Gives the pair's two sides their sockets: false when they could not be made (the pair is
    // then relayed through the server's socket).
    bool open(RelayEndpoint host, RelayEndpoint joiner);
    // Closes the sockets of the pair that endpoint belongs to.
    void close(RelayEndpoint endpoint);
    size_t sockets() const { return sides_.size(); }

    // Waits up to timeoutMs, relaying whatever comes to the pairs' sockets, until the server's
    // socket has a datagram for ENet (true) or the time is up (false).
    bool wait(int timeoutMs);

  private:
    RelaySockets(int serverSocket, int epoll, RelayTable& table);
    int openOne(RelayEndpoint endpoint);
    void drain(RelayEndpoint from, int socket, RelayTable::Clock::time_point now);
    void flush();
    void closeEnded();

    static constexpr size_t kBatch = 64;
    static constexpr size_t kDatagram = 4096;  // ENet's largest

    int server_;
    int epoll_;
    RelayTable& table_;
    // Each relayed side's socket, and the other side of its pair.
    struct Side {
        int socket = -1;
        RelayEndpoint partner;
    };
    std::unordered_map<RelayEndpoint, Side, RelayEndpointHash> sides_;
    std::vector<RelayEndpoint> ended_;  // pairs the table ended while their datagrams came

    // The datagrams of one round, received into and sent from the same buffers.
    std::vector<std::array<uint8_t, kDatagram>> buffers_;
    std::array<struct mmsghdr, kBatch> in_{}, out_{};
    std::array<struct iovec, kBatch> inVec_{}, outVec_{};
    std::array<struct sockaddr_in, kBatch> from_{}, to_{};
    size_t pending_ = 0;  // datagrams waiting in out_
};

}  // namespace zib::net
