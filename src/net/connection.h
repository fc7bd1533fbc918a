#pragma once
// One ENet connection to one other program: a host that listens and accepts a single peer, or a
// joiner that connects to a host. Polled from the caller's thread; no threads of its own. The host
// has more slots than players; a connection that has not become the player within the handshake
// limit is dropped. Beside its player the host takes up to kMaxWatchers spectators, who say so
// when they connect; their traffic is kept apart from the player's (takeWatcherEvents).
//
// Channel 0 is reliable and ordered. Channel 1 is unreliable and unsequenced (round trip probes
// and keys): its packets may be lost, come twice or out of order, and hold nothing else back. A
// peer that stays silent longer than the timeout is dropped by ENet.
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace zib::net {

enum class Channel : uint8_t { Reliable = 0, Unreliable = 1 };
constexpr uint8_t kChannelCount = 2;
// Spectators of one host at once.
constexpr size_t kMaxWatchers = 8;
// The host's ENet slots: one player, the spectators, the rest for latecomers and unfinished
// handshakes.
constexpr size_t kHostSlots = 1 + kMaxWatchers + 8;
// The joiner's attempts at once: the host's own network, its router's opened port, its public
// address.
constexpr size_t kRacingPaths = 3;
// What a spectator's connection request carries, so that the host tells it from a player.
constexpr uint32_t kWatcherConnectData = 0x5A494257;  // "ZIBW"
// The pairings' keys a host keeps taking players with: the latest ones.
constexpr size_t kPairingKeysKept = 8;

enum class DisconnectReason : uint8_t {
    TimedOut = 0,  // silence (or nobody answered the connection attempt)
    Closed = 1,    // the other side closed the connection
    Busy = 2,      // the host already has a player
    Full = 3,      // the host already has kMaxWatchers spectators
    WrongKey = 4,  // the host waits for the joiner a ZIB server paired it with, and this is not it
};

struct ConnectionEvent {
    enum class Type { Connected, Received, Disconnected };
    Type type = Type::Received;
    Channel channel = Channel::Reliable;
    std::vector<uint8_t> bytes;                          // Received
    DisconnectReason reason = DisconnectReason::Closed;  // Disconnected
};

struct ConnectionOptions {
    std::string bindHost;  // the address to listen on; empty: all interfaces
    uint16_t port = 0;     // 0: any free port (see localPort)
    std::chrono::milliseconds timeout{5000};
    // The host: a connection that is not the player's after this long is dropped.
    std::chrono::milliseconds handshakeLimit{2000};
    size_t maxPacket = 80 * 1024;  // larger packets are refused by ENet itself
    bool watcher = false;          // connect() as a spectator, not as the player
};

// Something that happened with one spectator of the host, known by an id of its connection.
struct WatcherEvent {
    uint32_t id = 0;
    ConnectionEvent event;
};

class Connection {
  public:
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // A host listening on options.port, or nullptr with a Czech message in error.
    static std::unique_ptr<Connection> listen(const ConnectionOptions& options, std::string& error);
    // A joiner that starts connecting to host:port (the Connected event follows, or Disconnected).
    static std::unique_ptr<Connection> connect(const std::string& host, uint16_t port,
                                               const ConnectionOptions& options,
                                               std::string& error);

    // A connection that neither waits for a player nor connects yet: the joiner that first asks a
    // ZIB server where the host is, from the socket it will play on; connectTo follows.
    static std::unique_ptr<Connection> open(const ConnectionOptions& options, std::string& error);
    // Starts connecting to host:port (a connection from open() only). Called again before anything
    // connected, the attempts race: up to kRacingPaths endpoints of the same host at once, and the
    // first that connects is the peer while the others are dropped. Disconnected follows only when
    // every attempt failed.
    bool connectTo(const std::string& host, uint16_t port, std::string& error);

    // The ZIB server, reached from this connection's own socket, so that the address and port the
    // server sees are the ones the other player must reach. Its events are kept apart from the
    // player's and taken with takeServerEvents.
    bool connectServer(const std::string& host, uint16_t port, std::string& error);
    bool sendToServer(std::span<const uint8_t> bytes);
    void disconnectServer(bool force = false);
    std::vector<ConnectionEvent> takeServerEvents();
    // A bare datagram from this socket to address:port (dotted IPv4): it opens this side's NAT
    // towards that endpoint, and ENet at the other end ignores it.
    void punch(const std::string& address, uint16_t port);

    // From now on the ZIB server passes the game's datagrams on, to and from the peer at address
    // (its public address, for peerAddress): the connection to the server is dropped without a
    // word (the server has forgotten it), any direct attempt of the joiner too, and the joiner
    // connects to the server's address, where the host takes its player from (and from nowhere
    // else until the next connectServer). Connected follows as on a direct path.
    void enterRelay(const std::string& address);
    bool relayed() const;

    // The ZIB server paired the host with a joiner and gave both this key (never 0). The joiner's
    // connection attempts carry it from now on, by every path and through the relay; the host
    // takes a player only with one of the latest kPairingKeysKept keys it was given (and anybody
    // while it was given none) and turns any other away with DisconnectReason::WrongKey.
    // Spectators connect as before.
    void usePairingKey(uint32_t key);
    void admitPairingKey(uint32_t key);

    // Serves the network for up to timeoutMs and returns what happened, in order. A second peer
    // that tries to connect while one is connected is turned away and not reported; but until
    // the host's player has spoken, up to kRacingPaths connections of the joiner's racing
    // attempts are kept, and the first to speak is the player's (the path the joiner chose), which
    // is sent again what was sent reliably before.
    std::vector<ConnectionEvent> poll(int timeoutMs);
    // Queues a packet to the peer and sends it at once. False when nobody is connected.
    bool send(std::span<const uint8_t> bytes, Channel channel);
    // Closes the connection after what was queued has been delivered (or at once when force).
    void disconnect(bool force = false);

    // The host's spectators: their connections, messages and goodbyes since the last call. A
    // spectator is dropped like any stranger unless greetWatcher is called within the handshake
    // limit.
    std::vector<WatcherEvent> takeWatcherEvents();
    void greetWatcher(uint32_t id);
    bool sendToWatcher(uint32_t id, std::span<const uint8_t> bytes, Channel channel);
    // Packets queued for the spectator that it has not acknowledged yet.
    size_t watcherBacklog(uint32_t id) const;
    // Closes a spectator's connection, after what was queued when gently.
    void dropWatcher(uint32_t id, bool gently);
    size_t watcherCount() const;

    bool connected() const;
    uint16_t localPort() const;
    // The connected peer's IPv4 address, dotted (empty when nobody is connected).
    std::string peerAddress() const;
    // ENet's smoothed round trip in ms, through the server when relayed (0 when nobody is
    // connected).
    uint32_t enetRoundTripMs() const;
    // UDP payload bytes, protocol overhead included, since the connection was made.
    uint64_t bytesSent() const;
    uint64_t bytesReceived() const;

  private:
    Connection() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace zib::net
