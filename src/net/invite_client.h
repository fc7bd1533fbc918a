#pragma once
// The game's side of a ZIB server: the host registers and keeps its invite code while it waits
// (and registers again, for a new code, when the server went away); the joiner asks for the host
// with a code and learns where the host is. It talks over the game's own connection when given
// one, so that the server sees the game's public address and port, or else over one of its own.
// Polled from the caller's thread.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "net/connection.h"
#include "net/server_messages.h"

namespace zib::net {

enum class InviteStage {
    Connecting,  // reaching the server (again)
    Asking,      // connected: the registration or the code is on its way
    Registered,  // the host: code() is the invite code
    Paired,      // the joiner: peerAddress() and peerPort() are the host's; the relayed host:
                 // waiting for the joiner's connection through the server
    Failed,      // message() says why; nothing more happens
    Done,        // the host's game started and the code was given back
};

struct InviteClientOptions {
    std::chrono::milliseconds timeout{5000};  // no answer for this long: the server is away
    // The host: the pause before connecting again after losing the server.
    std::chrono::milliseconds retryPause{1000};
    // For tests: the server's RelayReady is taken as lost on the way.
    bool loseRelayReady = false;
};

class InviteClient {
  public:
    ~InviteClient();
    InviteClient(const InviteClient&) = delete;
    InviteClient& operator=(const InviteClient&) = delete;

    // Start connecting to the server; nullptr with a Czech message in error when the name does not
    // resolve or no socket can be made.
    // With a shared connection, the caller polls it and then this client; gamePort 0 means the
    // port the server sees.
    static std::unique_ptr<InviteClient> registerHost(const std::string& server, uint16_t port,
                                                      uint16_t gamePort, std::string& error,
                                                      const InviteClientOptions& options = {},
                                                      Connection* shared = nullptr);
    static std::unique_ptr<InviteClient> joinByCode(const std::string& server, uint16_t port,
                                                    const std::string& code, std::string& error,
                                                    const InviteClientOptions& options = {},
                                                    Connection* shared = nullptr);

    void poll(int timeoutMs);
    // The host: a joiner the server has paired with it, its public address as the server sees it
    // and when both start sending to each other (once per pairing). On either side the shared
    // connection is given the pairing's key (Connection::usePairingKey, admitPairingKey).
    struct Pairing {
        std::string address;
        uint16_t port = 0;
        std::chrono::steady_clock::time_point start;
    };
    std::optional<Pairing> takePairing();
    InviteStage stage() const;
    // The host's invite code while registered.
    const std::string& code() const;
    // Goes up by one whenever the host gets a code (a new one after the server came back).
    uint32_t registrations() const;
    // The joiner, once paired: the host's public IPv4 address, dotted, its game port, and when to
    // start sending to it.
    const std::string& peerAddress() const;
    uint16_t peerPort() const;
    // The joiner, once paired: further endpoints of the host the server passed on (its own
    // network's, its router's opened port), to try at once beside the public one. Only endpoints
    // of a private network, or the public address with another port, are kept.
    struct Endpoint {
        std::string address;
        uint16_t port = 0;
    };
    const std::vector<Endpoint>& otherPaths() const;
    // The host: its router opened port on address (dotted); the server is told while registered.
    void setMappedPort(const std::string& address, uint16_t port);
    std::chrono::steady_clock::time_point startAt() const;
    // Why it failed, or what is happening when the host lost the server, in Czech.
    const std::string& message() const;
    // The host gives its code back and leaves the server (the game keeps its code while it hosts,
    // for its spectators; the server still takes this word).
    void gameStarted();
    // The joiner: the direct connection to the host stands, the server is left.
    void finish();
    // The joiner: no direct path answered; the server is asked to pass the game's datagrams on.
    // When it agrees, on either side, the connection to the server is dropped and the shared
    // connection enters its relay mode (relayed()): the joiner connects to the server's address
    // and the host takes its player from there. The server's word is its last, never sent again:
    // should it be lost, the side loses the server instead, and goes on as if it had come (the
    // joiner that asked, the host paired lately that has no player or has it through the
    // server's address), for the relay stands.
    void requestRelay();
    bool relayed() const;
    // The joiner: the relay is asked for and neither the server's word nor its loss has come.
    bool relayPending() const;

  private:
    InviteClient() = default;
    struct Impl;
    static std::unique_ptr<Impl> makeImpl(const std::string& server, uint16_t port,
                                          const InviteClientOptions& options, Connection* shared,
                                          std::string& error);
    // Connects d's client to the server: the client, or nullptr with d's message in error.
    static std::unique_ptr<InviteClient> begin(std::unique_ptr<Impl> d, std::string& error);
    std::unique_ptr<Impl> impl_;
};

}  // namespace zib::net
