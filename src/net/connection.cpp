// The ENet wrapper: one host object, at most one peer, and the host's spectators.
#include "net/connection.h"

#include <enet/enet.h>

#include <algorithm>
#include <utility>

#include "net/enet_host.h"
#include "platform/texts.h"

namespace zib::net {

namespace {

constexpr size_t kWatcherEventsKept = 1024;

}  // namespace

struct Connection::Impl {
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;  // the one peer, once connecting or connected
    // The joiner: further attempts racing the peer's to other endpoints of the same host; the
    // first that connects becomes the peer and the others are dropped.
    std::vector<ENetPeer*> racing;
    ENetPeer* server = nullptr;  // the ZIB server, when one is reached from this socket
    ENetAddress serverAddress{};
    std::vector<ConnectionEvent> serverEvents;
    // The server passes the game's datagrams on: the peer's connection comes through the
    // server's address, and relayPeer is where the other player really is.
    bool relay = false;
    std::string relayPeer;
    // The joiner: what its connection attempts carry (the pairing's key, 0 for none); the host:
    // the pairings' keys it takes a player with (none: anybody).
    enet_uint32 connectKey = 0;
    std::vector<enet_uint32> pairingKeys;
    std::vector<ConnectionEvent> pending;  // made here, returned by the next poll
    bool isConnected = false;
    ConnectionOptions options;
    uint64_t sent = 0, received = 0;
    bool listening = false;
    // The host: when each slot's current peer (known by its connect id) was first seen.
    struct Seen {
        bool tracked = false;
        enet_uint32 connectId = 0;
        std::chrono::steady_clock::time_point since;
    };
    std::vector<Seen> seen;
    struct Watcher {
        uint32_t id = 0;
        ENetPeer* peer = nullptr;
        bool greeted = false;
    };
    std::vector<Watcher> watchers;
    // The host: whether its player has spoken on the peer's connection; before that, the other
    // connections the joiner made by other paths, and what was sent reliably to the peer.
    bool heard = false;
    std::vector<ENetPeer*> candidates;
    std::vector<std::pair<Channel, std::vector<uint8_t>>> unheardSent;
    std::vector<WatcherEvent> watcherEvents;
    uint32_t nextWatcherId = 1;

    Watcher* watcherOf(const ENetPeer* p) {
        for (Watcher& w : watchers)
            if (w.peer == p) return &w;
        return nullptr;
    }
    Watcher* watcherById(uint32_t id) {
        for (Watcher& w : watchers)
            if (w.id == id) return &w;
        return nullptr;
    }
    const Watcher* watcherById(uint32_t id) const {
        return const_cast<Impl*>(this)->watcherById(id);
    }
    void addWatcherEvent(uint32_t id, ConnectionEvent event) {
        if (watcherEvents.size() < kWatcherEventsKept ||
            event.type != ConnectionEvent::Type::Received)
            watcherEvents.push_back({id, std::move(event)});
    }
    void forgetWatcher(const ENetPeer* p) {
        std::erase_if(watchers, [p](const Watcher& w) { return w.peer == p; });
    }

    ~Impl() {
        if (host) {
            if (peer) enet_peer_reset(peer);
            for (ENetPeer* p : racing) enet_peer_reset(p);
            if (server) enet_peer_disconnect_now(server, 0);
            enet_host_destroy(host);
        }
    }

    void configure() {
        host->maximumPacketSize = options.maxPacket;
        host->maximumWaitingData = options.maxPacket * 4;
    }

    enet_uint32 connectData() const { return options.watcher ? kWatcherConnectData : connectKey; }
    bool keyFits(enet_uint32 data) const {
        return pairingKeys.empty() ||
               std::find(pairingKeys.begin(), pairingKeys.end(), data) != pairingKeys.end();
    }
    bool fromServer(const ENetPeer* p) const {
        return serverAddress.port != 0 && p->address.host == serverAddress.host &&
               p->address.port == serverAddress.port;
    }
    // The host's paired player came from the server's address: the server relays the pair, and
    // its word of it was lost on the way. It has forgotten this side's connection since, which
    // is dropped without a word as on that word (the invite client hears it lost).
    void relayedUntold() {
        if (server) {
            enet_peer_reset(server);
            server = nullptr;
            serverEvents.push_back({ConnectionEvent::Type::Disconnected,
                                    Channel::Reliable,
                                    {},
                                    DisconnectReason::Closed});
        }
        relay = true;
    }

    void applyTimeout(ENetPeer* p) const {
        const auto ms = static_cast<enet_uint32>(options.timeout.count());
        enet_peer_timeout(p, ENET_PEER_TIMEOUT_LIMIT, ms, ms);
    }

    // ENet drops a share of the unreliable packets of a connection whose round trip rises (its
    // packet throttle), meant for streams that would flood a link. A game's few small packets
    // never do, and each lost one costs its keys a tick's delay: nothing is dropped on purpose.
    // Set once connected, on this side only: the values the two sides swap while connecting must
    // stay as they were.
    static void keepEveryPacket(ENetPeer* p) {
        p->packetThrottleDeceleration = 0;
        p->packetThrottle = p->packetThrottleLimit;
    }

    // The host: a peer in a slot other than the player's has had its time to become the player
    // (a connection that was never completed, or one turned away and not yet gone) is dropped,
    // so that half-open connections cannot keep the slots from a real joiner.
    void dropStragglers() {
        const auto now = std::chrono::steady_clock::now();
        seen.resize(host->peerCount);
        for (size_t i = 0; i < host->peerCount; ++i) {
            ENetPeer* p = &host->peers[i];
            if (p->state == ENET_PEER_STATE_DISCONNECTED || p == peer || p == server) continue;
            if (const Watcher* w = watcherOf(p); w && w->greeted) continue;
            if (!seen[i].tracked || seen[i].connectId != p->connectID) {
                seen[i] = {true, p->connectID, now};
                continue;
            }
            if (now - seen[i].since >= options.handshakeLimit) {
                if (const Watcher* w = watcherOf(p))
                    addWatcherEvent(w->id, {ConnectionEvent::Type::Disconnected,
                                            Channel::Reliable,
                                            {},
                                            DisconnectReason::TimedOut});
                forgetWatcher(p);
                std::erase(candidates, p);
                enet_peer_reset(p);
                seen[i] = {};
            }
        }
    }

    bool isRacing(const ENetPeer* p) const {
        return std::find(racing.begin(), racing.end(), p) != racing.end();
    }

    // p connected first: it is the peer from now on, and the other attempts are dropped.
    void won(ENetPeer* p) {
        if (peer && peer != p) enet_peer_disconnect_now(peer, 0);
        for (ENetPeer* other : racing)
            if (other != p) enet_peer_disconnect_now(other, 0);
        racing.clear();
        peer = p;
    }

    // An attempt that failed: true when it was one of several and the others go on.
    bool lostRace(ENetPeer* p) {
        if (const auto it = std::find(racing.begin(), racing.end(), p); it != racing.end()) {
            racing.erase(it);
            return true;
        }
        if (p != peer || isConnected || racing.empty()) return false;
        peer = racing.back();
        racing.pop_back();
        return true;
    }

    // The host: whether a player's connection may stay. While the player has not spoken, up to
    // kRacingPaths connections are kept (the joiner's attempts by different paths, which may
    // all get through); the first to speak is the player's (follow). Through the relay the
    // player comes from the server's address only.
    bool admit(ENetPeer* p) {
        if (relay &&
            (p->address.host != serverAddress.host || p->address.port != serverAddress.port))
            return false;
        if (!peer) return true;
        if (heard || candidates.size() + 1 >= kRacingPaths) return false;
        candidates.push_back(p);
        applyTimeout(p);
        return true;
    }
    bool isCandidate(const ENetPeer* p) const {
        return std::find(candidates.begin(), candidates.end(), p) != candidates.end();
    }
    // p spoke first: it is the player's connection, what was sent on another is sent again on
    // it, and the other connections are closed.
    void follow(ENetPeer* p) {
        heard = true;
        if (p != peer) {
            if (peer)
                enet_peer_disconnect_now(peer, static_cast<enet_uint32>(DisconnectReason::Closed));
            takeOver(p);
        }
        for (ENetPeer* other : candidates)
            enet_peer_disconnect_now(other, static_cast<enet_uint32>(DisconnectReason::Closed));
        candidates.clear();
        unheardSent.clear();
    }
    // The candidate p becomes the peer, and gets what the peer was sent.
    void takeOver(ENetPeer* p) {
        std::erase(candidates, p);
        peer = p;
        for (const auto& [channel, bytes] : unheardSent) {
            ENetPacket* packet =
                enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
            if (packet && enet_peer_send(p, static_cast<enet_uint8>(channel), packet) != 0)
                enet_packet_destroy(packet);
        }
    }
    // A connection of the player's that was left (the joiner chose another path): true when
    // nobody needs to hear of it.
    bool dropCandidate(ENetPeer* p) {
        if (isCandidate(p)) {
            std::erase(candidates, p);
            return true;
        }
        if (p != peer || heard || candidates.empty()) return false;
        takeOver(candidates.front());
        return true;
    }

    void countTraffic() {
        // ENet's counters are 32-bit; they are moved into ours after every service.
        sent += host->totalSentData;
        received += host->totalReceivedData;
        host->totalSentData = 0;
        host->totalReceivedData = 0;
    }
};

Connection::~Connection() = default;

std::unique_ptr<Connection> Connection::listen(const ConnectionOptions& options,
                                               std::string& error) {
    std::unique_ptr<Connection> c(new Connection);
    c->impl_ = std::make_unique<Impl>();
    c->impl_->options = options;
    // More slots than players: a latecomer is told no instead of timing out, and connections
    // that never complete their handshake wait in slots of their own until they are dropped.
    c->impl_->host = listenEnet(options.bindHost, options.port, kHostSlots, kChannelCount, error);
    if (!c->impl_->host) return nullptr;
    c->impl_->listening = true;
    c->impl_->configure();
    return c;
}

std::unique_ptr<Connection> Connection::connect(const std::string& host, uint16_t port,
                                                const ConnectionOptions& options,
                                                std::string& error) {
    if (!initializeEnet()) {
        error = tr("Síť nelze spustit (ENet).");
        return nullptr;
    }
    ENetAddress address{};
    if (enet_address_set_host(&address, host.c_str()) != 0) {
        error = format(tr("Počítač {} nelze najít."), host);
        return nullptr;
    }
    address.port = port;
    std::unique_ptr<Connection> c = open(options, error);
    if (!c) return nullptr;
    c->impl_->peer =
        enet_host_connect(c->impl_->host, &address, kChannelCount, c->impl_->connectData());
    if (!c->impl_->peer) {
        error = tr("Síťové spojení nelze vytvořit.");
        return nullptr;
    }
    c->impl_->applyTimeout(c->impl_->peer);
    return c;
}

std::unique_ptr<Connection> Connection::open(const ConnectionOptions& options, std::string& error) {
    if (!initializeEnet()) {
        error = tr("Síť nelze spustit (ENet).");
        return nullptr;
    }
    std::unique_ptr<Connection> c(new Connection);
    c->impl_ = std::make_unique<Impl>();
    c->impl_->options = options;
    // The host by up to kRacingPaths paths, and the ZIB server that may be reached from the same
    // socket.
    c->impl_->host = enet_host_create(nullptr, kRacingPaths + 1, kChannelCount, 0, 0);
    if (!c->impl_->host) {
        error = tr("Síťové spojení nelze vytvořit.");
        return nullptr;
    }
    c->impl_->configure();
    return c;
}

bool Connection::connectTo(const std::string& host, uint16_t port, std::string& error) {
    Impl& d = *impl_;
    ENetAddress address{};
    const size_t attempts = (d.peer ? 1 : 0) + d.racing.size();
    if (d.listening || d.isConnected || d.relay || attempts >= kRacingPaths ||
        enet_address_set_host(&address, host.c_str()) != 0) {
        error = format(tr("Počítač {} nelze najít."), host);
        return false;
    }
    address.port = port;
    ENetPeer* attempt = enet_host_connect(d.host, &address, kChannelCount, d.connectData());
    if (!attempt) {
        error = tr("Síťové spojení nelze vytvořit.");
        return false;
    }
    d.applyTimeout(attempt);
    if (d.peer)
        d.racing.push_back(attempt);
    else
        d.peer = attempt;
    return true;
}

bool Connection::connectServer(const std::string& host, uint16_t port, std::string& error) {
    Impl& d = *impl_;
    ENetAddress address{};
    if (enet_address_set_host(&address, host.c_str()) != 0) {
        error = format(tr("Server ZIB {} nelze najít."), host);
        return false;
    }
    address.port = port;
    if (d.server) enet_peer_reset(d.server);
    if (!d.isConnected) d.relay = false;  // a relayed player who never came
    d.serverAddress = address;
    d.server = enet_host_connect(d.host, &address, 1, 0);
    if (!d.server) {
        error = tr("Spojení se serverem ZIB nelze vytvořit.");
        return false;
    }
    d.applyTimeout(d.server);
    // The server is asked whether it is still there a few times per timeout, which is enough
    // to notice its silence: it serves many waiting hosts at once.
    enet_peer_ping_interval(d.server, static_cast<enet_uint32>(d.options.timeout.count() / 4));
    return true;
}

bool Connection::sendToServer(std::span<const uint8_t> bytes) {
    Impl& d = *impl_;
    if (!d.server) return false;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (!packet) return false;
    if (enet_peer_send(d.server, 0, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(d.host);
    return true;
}

void Connection::disconnectServer(bool force) {
    Impl& d = *impl_;
    if (!d.server) return;
    if (force) {
        enet_peer_disconnect_now(d.server, 0);
        d.server = nullptr;
    } else {
        enet_peer_disconnect_later(d.server, 0);
    }
    enet_host_flush(d.host);
}

std::vector<ConnectionEvent> Connection::takeServerEvents() {
    return std::exchange(impl_->serverEvents, {});
}

void Connection::enterRelay(const std::string& address) {
    Impl& d = *impl_;
    // The server has forgotten this connection already (or it was lost, when the server's word
    // of the relay was): it goes without a word, and nothing of it may reach the server, which
    // would pass it on to the other side.
    if (d.server) enet_peer_reset(d.server);
    d.server = nullptr;
    if (d.isConnected) {
        // A direct path answered meanwhile; or the host's player came through the server already.
        if (d.listening && d.fromServer(d.peer)) {
            d.relay = true;
            d.relayPeer = address;
        }
        return;
    }
    if (d.peer) enet_peer_reset(d.peer);
    d.peer = nullptr;
    for (ENetPeer* p : d.racing) enet_peer_reset(p);
    d.racing.clear();
    d.relay = true;
    d.relayPeer = address;
    if (d.listening) return;  // the joiner's connection comes through the server
    d.peer = enet_host_connect(d.host, &d.serverAddress, kChannelCount, d.connectData());
    if (d.peer)
        d.applyTimeout(d.peer);
    else
        d.pending.push_back(
            {ConnectionEvent::Type::Disconnected, Channel::Reliable, {}, DisconnectReason::Closed});
}

bool Connection::relayed() const {
    return impl_->relay;
}

void Connection::usePairingKey(uint32_t key) {
    impl_->connectKey = key;
}

void Connection::admitPairingKey(uint32_t key) {
    std::vector<enet_uint32>& keys = impl_->pairingKeys;
    if (std::find(keys.begin(), keys.end(), key) != keys.end()) return;
    if (keys.size() >= kPairingKeysKept) keys.erase(keys.begin());
    keys.push_back(key);
}

void Connection::punch(const std::string& address, uint16_t port) {
    ENetAddress to{};
    if (enet_address_set_host_ip(&to, address.c_str()) != 0) return;
    to.port = port;
    static const char probe = 'Z';
    ENetBuffer buffer;
    buffer.data = const_cast<char*>(&probe);
    buffer.dataLength = 1;
    enet_socket_send(impl_->host->socket, &to, &buffer, 1);
}

std::vector<ConnectionEvent> Connection::poll(int timeoutMs) {
    Impl& d = *impl_;
    std::vector<ConnectionEvent> events = std::exchange(d.pending, {});
    ENetEvent e;
    int waited = 0;
    // Waits at most once; then takes whatever else is already there.
    while (enet_host_service(d.host, &e, waited ? 0 : static_cast<enet_uint32>(timeoutMs)) > 0) {
        waited = 1;
        if (e.type == ENET_EVENT_TYPE_CONNECT) Impl::keepEveryPacket(e.peer);
        if (d.server && e.peer == d.server) {
            ConnectionEvent s;
            if (e.type == ENET_EVENT_TYPE_CONNECT) s.type = ConnectionEvent::Type::Connected;
            if (e.type == ENET_EVENT_TYPE_DISCONNECT) {
                s.type = ConnectionEvent::Type::Disconnected;
                d.server = nullptr;
            }
            if (e.type == ENET_EVENT_TYPE_RECEIVE) {
                s.bytes.assign(e.packet->data, e.packet->data + e.packet->dataLength);
                enet_packet_destroy(e.packet);
            }
            if (d.serverEvents.size() < 64) d.serverEvents.push_back(std::move(s));
            continue;
        }
        switch (e.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (!d.listening && e.peer != d.peer && !d.isRacing(e.peer)) {
                    // A joiner takes no connections from outside.
                    enet_peer_disconnect_now(e.peer, 0);
                    break;
                }
                if (d.listening && e.data == kWatcherConnectData) {
                    if (d.watchers.size() >= kMaxWatchers) {
                        enet_peer_disconnect_now(e.peer,
                                                 static_cast<enet_uint32>(DisconnectReason::Full));
                        break;
                    }
                    d.watchers.push_back({d.nextWatcherId++, e.peer, false});
                    d.applyTimeout(e.peer);
                    d.addWatcherEvent(
                        d.watchers.back().id,
                        {ConnectionEvent::Type::Connected, Channel::Reliable, {}, {}});
                    break;
                }
                if (!d.listening) d.won(e.peer);
                if (d.listening && !d.keyFits(e.data)) {
                    // Not the joiner the server paired this host with: a stranger at its port.
                    enet_peer_disconnect_now(e.peer,
                                             static_cast<enet_uint32>(DisconnectReason::WrongKey));
                    break;
                }
                if (d.listening && !d.admit(e.peer)) {
                    // One player only.
                    enet_peer_disconnect_now(e.peer,
                                             static_cast<enet_uint32>(DisconnectReason::Busy));
                    break;
                }
                if (d.isCandidate(e.peer)) break;
                if (d.listening && !d.relay && !d.pairingKeys.empty() && d.fromServer(e.peer))
                    d.relayedUntold();
                d.peer = e.peer;
                d.heard = false;
                d.unheardSent.clear();
                d.isConnected = true;
                d.applyTimeout(e.peer);
                events.push_back({ConnectionEvent::Type::Connected, Channel::Reliable, {}, {}});
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                // The host's player is the first connection of its joiner to speak: the
                // joiner chose that path.
                if (d.listening && d.isConnected && !d.heard &&
                    (e.peer == d.peer || d.isCandidate(e.peer)))
                    d.follow(e.peer);
                // ENet drops commands on channels the connection did not agree on; the check
                // here keeps the mapping honest should that ever change.
                if (const Impl::Watcher* w = d.watcherOf(e.peer)) {
                    ConnectionEvent r;
                    r.channel = static_cast<Channel>(e.channelID);
                    r.bytes.assign(e.packet->data, e.packet->data + e.packet->dataLength);
                    d.addWatcherEvent(w->id, std::move(r));
                } else if (e.peer == d.peer && d.isConnected && e.channelID < kChannelCount) {
                    ConnectionEvent r;
                    r.type = ConnectionEvent::Type::Received;
                    r.channel = static_cast<Channel>(e.channelID);
                    r.bytes.assign(e.packet->data, e.packet->data + e.packet->dataLength);
                    events.push_back(std::move(r));
                }
                enet_packet_destroy(e.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (!d.listening && d.lostRace(e.peer)) break;
                if (d.listening && d.dropCandidate(e.peer)) break;
                if (const Impl::Watcher* w = d.watcherOf(e.peer)) {
                    d.addWatcherEvent(w->id, {ConnectionEvent::Type::Disconnected,
                                              Channel::Reliable,
                                              {},
                                              e.data == 0 ? DisconnectReason::TimedOut
                                                          : DisconnectReason::Closed});
                    d.forgetWatcher(e.peer);
                } else if (e.peer == d.peer) {
                    d.peer = nullptr;
                    d.isConnected = false;
                    d.relay = false;
                    // ENet reports a timeout with data 0 and a disconnect request with the
                    // sender's data: a DisconnectReason; anything unknown counts as closed.
                    DisconnectReason reason = DisconnectReason::Closed;
                    if (e.data == 0) reason = DisconnectReason::TimedOut;
                    if (e.data == static_cast<enet_uint32>(DisconnectReason::Busy))
                        reason = DisconnectReason::Busy;
                    if (e.data == static_cast<enet_uint32>(DisconnectReason::Full))
                        reason = DisconnectReason::Full;
                    if (e.data == static_cast<enet_uint32>(DisconnectReason::WrongKey))
                        reason = DisconnectReason::WrongKey;
                    events.push_back(
                        {ConnectionEvent::Type::Disconnected, Channel::Reliable, {}, reason});
                }
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
        if (events.size() >= 256) break;  // the rest waits for the next poll
    }
    if (d.listening) d.dropStragglers();
    d.countTraffic();
    return events;
}

bool Connection::send(std::span<const uint8_t> bytes, Channel channel) {
    Impl& d = *impl_;
    if (!d.peer || !d.isConnected) return false;
    const enet_uint32 flags =
        channel == Channel::Unreliable ? ENET_PACKET_FLAG_UNSEQUENCED : ENET_PACKET_FLAG_RELIABLE;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), flags);
    if (!packet) return false;
    if (enet_peer_send(d.peer, static_cast<enet_uint8>(channel), packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    if (d.listening && !d.heard && channel != Channel::Unreliable && d.unheardSent.size() < 16)
        d.unheardSent.emplace_back(channel, std::vector<uint8_t>(bytes.begin(), bytes.end()));
    enet_host_flush(d.host);
    d.countTraffic();
    return true;
}

void Connection::disconnect(bool force) {
    Impl& d = *impl_;
    if (!d.peer) return;
    // The player's other paths go with it: none of them may take its place afterwards.
    for (ENetPeer* p : d.candidates)
        enet_peer_disconnect_now(p, static_cast<enet_uint32>(DisconnectReason::Closed));
    d.candidates.clear();
    d.unheardSent.clear();
    d.heard = true;
    if (force) {
        enet_peer_disconnect_now(d.peer, static_cast<enet_uint32>(DisconnectReason::Closed));
        d.peer = nullptr;
        d.isConnected = false;
        d.relay = false;
    } else {
        enet_peer_disconnect_later(d.peer, static_cast<enet_uint32>(DisconnectReason::Closed));
    }
    enet_host_flush(d.host);
}

std::vector<WatcherEvent> Connection::takeWatcherEvents() {
    return std::exchange(impl_->watcherEvents, {});
}

void Connection::greetWatcher(uint32_t id) {
    if (Impl::Watcher* w = impl_->watcherById(id)) w->greeted = true;
}

bool Connection::sendToWatcher(uint32_t id, std::span<const uint8_t> bytes, Channel channel) {
    Impl& d = *impl_;
    const Impl::Watcher* w = d.watcherById(id);
    if (!w) return false;
    const enet_uint32 flags = channel == Channel::Unreliable ? 0 : ENET_PACKET_FLAG_RELIABLE;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), flags);
    if (!packet) return false;
    if (enet_peer_send(w->peer, static_cast<enet_uint8>(channel), packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    enet_host_flush(d.host);
    d.countTraffic();
    return true;
}

size_t Connection::watcherBacklog(uint32_t id) const {
    const Impl::Watcher* w = impl_->watcherById(id);
    if (!w) return 0;
    return enet_list_size(&w->peer->outgoingCommands) +
           enet_list_size(&w->peer->sentReliableCommands);
}

void Connection::dropWatcher(uint32_t id, bool gently) {
    Impl& d = *impl_;
    const Impl::Watcher* w = d.watcherById(id);
    if (!w) return;
    ENetPeer* p = w->peer;
    d.forgetWatcher(p);
    const auto reason = static_cast<enet_uint32>(DisconnectReason::Closed);
    if (gently) {
        // ENet reports the end later; the peer is no longer a spectator by then.
        enet_peer_disconnect_later(p, reason);
    } else {
        enet_peer_disconnect_now(p, reason);
    }
    enet_host_flush(d.host);
}

size_t Connection::watcherCount() const {
    return impl_->watchers.size();
}

bool Connection::connected() const {
    return impl_->isConnected;
}

uint16_t Connection::localPort() const {
    ENetAddress address{};
    if (enet_socket_get_address(impl_->host->socket, &address) != 0) return 0;
    return address.port;
}

std::string Connection::peerAddress() const {
    if (!impl_->peer || !impl_->isConnected) return {};
    if (impl_->relay) return impl_->relayPeer;
    char text[64] = {};
    if (enet_address_get_host_ip(&impl_->peer->address, text, sizeof text) != 0) return {};
    return text;
}

uint32_t Connection::enetRoundTripMs() const {
    return impl_->peer && impl_->isConnected ? impl_->peer->roundTripTime : 0;
}

uint64_t Connection::bytesSent() const {
    return impl_->sent;
}
uint64_t Connection::bytesReceived() const {
    return impl_->received;
}

}  // namespace zib::net
