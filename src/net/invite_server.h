#pragma once
// The ZIB server: hosts register over ENet and get an invite code; a joiner that names the code is
// told the host's public address as the server sees it, and the host the joiner's, with a moment
// at which both start sending to each other. When no direct path answers, the joiner asks the
// server to relay: both sides leave the server, the joiner's game connects to the server's
// address, and from then on the server passes every datagram from one side's public endpoint, as
// it came, to the other side's and to nobody else (net/relay_table.h), before ENet sees it. It
// keeps no game data.
//
// Everything a client sends is hostile until checked. The tables are bounded: the ENet slots, the
// slots per address (ENet's duplicate peers), the codes per address and in all; a client that
// has neither registered nor asked for a code within the greeting limit is dropped, and so is one
// that sends a message the decoder refuses, a message out of turn, or too many messages.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "net/server_messages.h"

namespace zib::net {

enum class ServerLogLevel { Error = 0, Info = 1, Debug = 2 };

struct InviteServerOptions {
    std::string bindHost;                    // empty: all interfaces
    uint16_t port = kDefaultServerPort;      // 0: any free port (see localPort)
    size_t maxHosts = 1000;                  // registered hosts at once
    size_t maxPairs = 200;                   // joiners being paired, and pairs relayed, at once
    size_t relayBytesPerSecond = 16 * 1024;  // each relayed pair's share, both ways together
    size_t codesPerAddress = 4;              // registered hosts behind one IPv4 address
    size_t slotsPerAddress = 16;             // ENet connections from one IPv4 address
    size_t messagesPerClient = 32;           // more from one connection closes it
    std::chrono::milliseconds greetingLimit{5000};
    std::chrono::milliseconds timeout{10000};  // silence that ends a connection, or a relayed pair
    uint16_t startDelayMs = 300;               // from the pairing to both sides' first packets
    ServerLogLevel logLevel = ServerLogLevel::Info;
    // One line at a time, without its newline; the program writes it to standard error.
    std::function<void(const std::string&)> log;
};

class InviteServer {
  public:
    ~InviteServer();
    InviteServer(const InviteServer&) = delete;
    InviteServer& operator=(const InviteServer&) = delete;

    // A server listening on options.port, or nullptr with a Czech message in error.
    static std::unique_ptr<InviteServer> start(const InviteServerOptions& options,
                                               std::string& error);
    // Serves the network for up to timeoutMs.
    void poll(int timeoutMs);

    uint16_t localPort() const;
    size_t registeredHosts() const;
    size_t relayedPairs() const;
    // The relayed sides that have a socket of their own on the server (two a pair).
    size_t relaySockets() const;
    size_t connectedClients() const;

  private:
    InviteServer() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zib::net
