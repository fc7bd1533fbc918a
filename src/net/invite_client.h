#pragma once
// The game's side of a ZIB server: the host registers and keeps its invite code while it waits
// (and registers again, for a new code, when the server went away); the joiner asks for the host
// with a code and learns where the host is. Polled from the caller's thread over ENet.
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "net/server_messages.h"

namespace zib::net {

enum class InviteStage {
    Connecting,  // reaching the server (again)
    Asking,      // connected: the registration or the code is on its way
    Registered,  // the host: code() is the invite code
    Paired,      // the joiner: peerAddress() and peerPort() are the host's
    Failed,      // message() says why; nothing more happens
    Done,        // the host's game started and the code was given back
};

struct InviteClientOptions {
    std::chrono::milliseconds timeout{5000};  // no answer for this long: the server is away
    // The host: the pause before connecting again after losing the server.
    std::chrono::milliseconds retryPause{1000};
};

class InviteClient {
  public:
    ~InviteClient();
    InviteClient(const InviteClient&) = delete;
    InviteClient& operator=(const InviteClient&) = delete;

    // Start connecting to the server; nullptr with a Czech message in error when the name does not
    // resolve or no socket can be made.
    static std::unique_ptr<InviteClient> registerHost(const std::string& server, uint16_t port,
                                                      uint16_t gamePort, std::string& error,
                                                      const InviteClientOptions& options = {});
    static std::unique_ptr<InviteClient> joinByCode(const std::string& server, uint16_t port,
                                                    const std::string& code, std::string& error,
                                                    const InviteClientOptions& options = {});

    void poll(int timeoutMs);
    InviteStage stage() const;
    // The host's invite code while registered.
    const std::string& code() const;
    // Goes up by one whenever the host gets a code (a new one after the server came back).
    uint32_t registrations() const;
    // The joiner, once paired: the host's public IPv4 address, dotted, and its game port.
    const std::string& peerAddress() const;
    uint16_t peerPort() const;
    // Why it failed, or what is happening when the host lost the server, in Czech.
    const std::string& message() const;
    // The host's game has started: the code is given back and the server left.
    void gameStarted();

  private:
    InviteClient() = default;
    struct Impl;
    static std::unique_ptr<Impl> makeImpl(const std::string& server, uint16_t port,
                                          const InviteClientOptions& options, std::string& error);
    std::unique_ptr<Impl> impl_;
};

}  // namespace zib::net
