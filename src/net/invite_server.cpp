// The ZIB server's tables and its answers to each client message.
#include "net/invite_server.h"

#include <arpa/inet.h>
#include <enet/enet.h>

#include <algorithm>
#include <deque>
#include <memory>
#include <unordered_map>

#include "net/enet_host.h"
#include "net/invite_code.h"
#include "net/relay_sockets.h"
#include "net/relay_table.h"

namespace zib::net {

namespace {

using Clock = std::chrono::steady_clock;

std::string dotted(uint32_t address, uint16_t port) {
    in_addr a{};
    a.s_addr = htonl(address);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return std::string(text) + ":" + std::to_string(port);
}

}  // namespace

struct InviteServer::Impl {
    enum class Kind { New, Host, Joiner };
    struct Client {
        uint32_t address = 0;  // host order
        uint16_t port = 0;
        Kind kind = Kind::New;
        std::string code;       // a host's, while registered
        uint16_t gamePort = 0;  // a host's
        // A host's endpoint on its own network, and the port its router opened on the public
        // address (0: not told, or refused).
        uint32_t localAddress = 0;
        uint16_t localPort = 0, mappedPort = 0;
        Clock::time_point since;
        size_t messages = 0;
        // The joiner: the host the server paired it with (its slot and connect id, as the slot
        // may be taken by somebody else later).
        ENetPeer* pairedHost = nullptr;
        enet_uint32 pairedId = 0;
    };

    // The server being served on this thread: ENet's intercept callback has no room for it.
    static thread_local Impl* serving;

    InviteServerOptions options;
    ENetHost* host = nullptr;
    std::unordered_map<ENetPeer*, Client> clients;
    std::unordered_map<std::string, ENetPeer*> codes;
    std::unordered_map<uint32_t, size_t> codesOf;  // registered hosts per address
    size_t joiners = 0;
    std::unique_ptr<RelayTable> relays;
    std::unique_ptr<RelaySockets> relaySockets;  // none: every relayed datagram comes to ENet's
    Clock::time_point nextSweep{};
    WrongCodeLimit wrongCodes;
    // Codes freed lately, and why, so that a joiner late with one is told what happened; the
    // oldest go first, and all after ten minutes.
    struct Gone {
        ServerRefusal reason;
        Clock::time_point at;
    };
    std::unordered_map<std::string, Gone> gone;
    std::deque<std::string> goneOrder;
    static constexpr size_t kGoneKept = 4096;
    static constexpr std::chrono::minutes kGoneFor{10};

    ~Impl() {
        if (host) enet_host_destroy(host);
    }

    void log(ServerLogLevel level, const std::string& line) const {
        if (options.log && level <= options.logLevel) options.log(line);
    }

    void send(ENetPeer* peer, const ServerMessage& message) {
        const std::vector<uint8_t> bytes = encodeServerMessage(message);
        ENetPacket* packet =
            enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
        if (packet && enet_peer_send(peer, 0, packet) != 0) enet_packet_destroy(packet);
    }

    void refuse(ENetPeer* peer, ServerRefusal reason, bool close) {
        send(peer, ServerRefused{reason});
        if (close) enet_peer_disconnect_later(peer, 0);
    }

    void freeCode(Client& c, ServerRefusal why) {
        if (c.code.empty()) return;
        codes.erase(c.code);
        if (goneOrder.size() >= kGoneKept) {
            gone.erase(goneOrder.front());
            goneOrder.pop_front();
        }
        gone[c.code] = Gone{why, Clock::now()};
        goneOrder.push_back(c.code);
        if (auto it = codesOf.find(c.address); it != codesOf.end() && --it->second == 0)
            codesOf.erase(it);
        log(ServerLogLevel::Debug, "code " + c.code + " freed");
        c.code.clear();
    }

    void forget(ENetPeer* peer) {
        auto it = clients.find(peer);
        if (it == clients.end()) return;
        freeCode(it->second, ServerRefusal::HostLeft);
        if (it->second.kind == Kind::Joiner) --joiners;
        clients.erase(it);
    }

    void registerHost(ENetPeer* peer, Client& c, const RegisterHost& m) {
        if (m.protocolVersion != kServerProtocolVersion)
            return refuse(peer, ServerRefusal::OtherProtocol, true);
        if (c.kind != Kind::New) return refuse(peer, ServerRefusal::BadMessage, true);
        const size_t ofAddress = codesOf.count(c.address) ? codesOf[c.address] : 0;
        if (codes.size() >= options.maxHosts || ofAddress >= options.codesPerAddress)
            return refuse(peer, ServerRefusal::Full, true);
        std::string code = newInviteCode();
        for (int tries = 0; codes.count(code) && tries < 16; ++tries) code = newInviteCode();
        if (codes.count(code)) return refuse(peer, ServerRefusal::Full, true);
        c.kind = Kind::Host;
        c.code = code;
        c.gamePort = m.gamePort ? m.gamePort : c.port;
        if (isLocalEndpoint(m.localAddress, m.localPort, c.address)) {
            c.localAddress = m.localAddress;
            c.localPort = m.localPort;
        }
        codes[code] = peer;
        gone.erase(code);  // its place in goneOrder goes with the oldest
        ++codesOf[c.address];
        send(peer, Registered{code});
        log(ServerLogLevel::Debug, "host " + dotted(c.address, c.port) + " got code " + code);
    }

    void join(ENetPeer* peer, Client& c, const JoinByCode& m) {
        if (m.protocolVersion != kServerProtocolVersion)
            return refuse(peer, ServerRefusal::OtherProtocol, true);
        if (c.kind == Kind::Host) return refuse(peer, ServerRefusal::BadMessage, true);
        if (c.kind == Kind::New) {
            if (joiners >= options.maxPairs) return refuse(peer, ServerRefusal::Full, true);
            c.kind = Kind::Joiner;
            ++joiners;
        }
        const Clock::time_point now = Clock::now();
        if (!wrongCodes.allows(c.address, now))
            return refuse(peer, ServerRefusal::TooManyCodes, false);
        const auto found = codes.find(m.code);
        if (found == codes.end()) {
            wrongCodes.recordWrong(c.address, now);
            const auto late = gone.find(m.code);
            return refuse(peer, late != gone.end() ? late->second.reason : ServerRefusal::WrongCode,
                          false);
        }
        Client& h = clients.at(found->second);
        c.pairedHost = found->second;
        c.pairedId = found->second->connectID;
        const uint16_t start = options.startDelayMs;
        // The host takes a player only with the key: not whoever reaches its port first.
        const uint32_t key = newPairingKey();
        Paired toJoiner{h.address, h.gamePort, start, h.localAddress, h.localPort, 0, key};
        if (h.mappedPort != h.gamePort) toJoiner.mappedPort = h.mappedPort;
        send(peer, toJoiner);
        send(found->second, Paired{c.address, c.port, start, 0, 0, 0, key});
        log(ServerLogLevel::Info, "pairing " + m.code + ": host " + dotted(h.address, h.gamePort) +
                                      ", joiner " + dotted(c.address, c.port));
    }

    // The joiner asks for the relay. Both sides are told, and their connections to the server end
    // here (each side drops its own on the news): from now on every datagram from one side's
    // public endpoint goes to the other side's, and the joiner's game connects to the server's
    // address to reach the host's.
    void relay(ENetPeer* peer, Client& c) {
        const auto found = clients.find(c.pairedHost);
        if (c.kind != Kind::Joiner || found == clients.end() ||
            c.pairedHost->connectID != c.pairedId || found->second.kind != Kind::Host)
            return refuse(peer, ServerRefusal::NoRelay, true);
        const RelayEndpoint h{found->second.address, found->second.port}, j{c.address, c.port};
        if (!relays->add(h, j, Clock::now())) return refuse(peer, ServerRefusal::NoRelay, true);
        if (relaySockets && !relaySockets->open(h, j))
            log(ServerLogLevel::Debug, "relaying through the server's own socket");
        ENetPeer* hostPeer = found->first;
        send(peer, RelayReady{});
        send(hostPeer, RelayReady{});
        enet_host_flush(host);
        log(ServerLogLevel::Info, "relaying: host " + dotted(h.address, h.port) + ", joiner " +
                                      dotted(j.address, j.port));
        freeCode(found->second, ServerRefusal::HostPlaying);
        for (ENetPeer* p : {peer, hostPeer}) {
            forget(p);
            enet_peer_reset(p);
        }
    }

    // A datagram before ENet sees it: true when it belonged to a relayed pair (passed on, or
    // dropped over the pair's allowance). Most of them come to the pair's own sockets instead.
    bool intercept() {
        const RelayEndpoint from{ntohl(host->receivedAddress.host), host->receivedAddress.port};
        const RelayTable::Route route = relays->route(
            from, std::span<const uint8_t>(host->receivedData, host->receivedDataLength),
            Clock::now());
        if (route.verdict == RelayTable::Verdict::Mine) {
            if (relaySockets) relaySockets->close(from);  // the pair may just have ended
            return false;
        }
        if (route.verdict == RelayTable::Verdict::Drop) {
            log(ServerLogLevel::Debug,
                dotted(from.address, from.port) + ": over the relay allowance");
            return true;
        }
        ENetAddress to{};
        to.host = htonl(route.to.address);
        to.port = route.to.port;
        ENetBuffer buffer;
        buffer.data = host->receivedData;
        buffer.dataLength = host->receivedDataLength;
        enet_socket_send(host->socket, &to, &buffer, 1);
        return true;
    }

    void receive(ENetPeer* peer, const ENetPacket* received) {
        auto it = clients.find(peer);
        if (it == clients.end()) return;
        handle(peer, it->second, std::span<const uint8_t>(received->data, received->dataLength));
    }

    void handle(ENetPeer* peer, Client& c, std::span<const uint8_t> bytes) {
        if (++c.messages > options.messagesPerClient) {
            log(ServerLogLevel::Debug, dotted(c.address, c.port) + ": too many messages");
            return refuse(peer, ServerRefusal::BadMessage, true);
        }
        const DecodedServerMessage d = decodeServerMessage(bytes);
        if (!d.message) {
            log(ServerLogLevel::Debug, dotted(c.address, c.port) + ": " + d.error);
            return refuse(peer, ServerRefusal::BadMessage, true);
        }
        if (const auto* r = std::get_if<RegisterHost>(&*d.message))
            return registerHost(peer, c, *r);
        if (const auto* j = std::get_if<JoinByCode>(&*d.message)) return join(peer, c, *j);
        if (std::holds_alternative<RelayRequest>(*d.message)) return relay(peer, c);
        if (const auto* mapped = std::get_if<MappedPort>(&*d.message);
            mapped && c.kind == Kind::Host) {
            // A router behind another NAT reports an address nobody outside reaches: ignored.
            if (mapped->address == c.address) c.mappedPort = mapped->port;
            return;
        }
        if (std::holds_alternative<GameStarted>(*d.message) && c.kind == Kind::Host) {
            freeCode(c, ServerRefusal::HostPlaying);
            enet_peer_disconnect_later(peer, 0);
            return;
        }
        refuse(peer, ServerRefusal::BadMessage, true);  // the server's own messages, or out of turn
    }

    // At most ten times a second: it walks every client.
    void dropStragglers() {
        const Clock::time_point now = Clock::now();
        if (now < nextSweep) return;
        nextSweep = now + std::chrono::milliseconds(100);
        while (!goneOrder.empty()) {
            const auto it = gone.find(goneOrder.front());
            if (it != gone.end() && now - it->second.at < kGoneFor) break;
            if (it != gone.end()) gone.erase(it);
            goneOrder.pop_front();
        }
        for (const RelayTable::Ended& e : relays->sweep(now)) {
            if (relaySockets) relaySockets->close(e.host);
            log(ServerLogLevel::Debug, "relay ended: host " + dotted(e.host.address, e.host.port) +
                                           ", joiner " + dotted(e.joiner.address, e.joiner.port));
        }
        for (auto& [peer, c] : clients) {
            if (c.kind == Kind::New && now - c.since >= options.greetingLimit)
                enet_peer_disconnect_now(peer, 0);
        }
        // disconnect_now raises no event: the clients are forgotten here.
        for (auto it = clients.begin(); it != clients.end();) {
            if (it->first->state == ENET_PEER_STATE_DISCONNECTED) {
                ENetPeer* peer = it->first;
                ++it;
                forget(peer);
            } else {
                ++it;
            }
        }
    }
};

thread_local InviteServer::Impl* InviteServer::Impl::serving = nullptr;

InviteServer::~InviteServer() = default;

std::unique_ptr<InviteServer> InviteServer::start(const InviteServerOptions& options,
                                                  std::string& error) {
    std::unique_ptr<InviteServer> s(new InviteServer);
    s->impl_ = std::make_unique<Impl>();
    Impl& d = *s->impl_;
    d.options = options;
    const size_t slots = std::min<size_t>(ENET_PROTOCOL_MAXIMUM_PEER_ID,
                                          options.maxHosts + 2 * options.maxPairs + 64);
    d.host = listenEnet(options.bindHost, options.port, slots, 1, error);
    if (!d.host) return nullptr;
    // Far more than any message, so that the decoder sees an overlong one and its sender is
    // dropped; ENet refuses anything longer by itself.
    d.host->maximumPacketSize = 64 * kMaxServerMessage;
    d.host->maximumWaitingData = 256 * kMaxServerMessage;
    d.host->duplicatePeers = options.slotsPerAddress;
    RelayRules rules;
    rules.maxPairs = options.maxPairs;
    rules.bytesPerSecond = static_cast<double>(options.relayBytesPerSecond);
    rules.silence = options.timeout;
    d.relays = std::make_unique<RelayTable>(rules);
    d.relaySockets = RelaySockets::create(d.host->socket, *d.relays);
    d.host->intercept = [](ENetHost* host, ENetEvent*) {
        Impl* s = Impl::serving;
        return s && s->host == host && s->intercept() ? 1 : 0;
    };
    return s;
}

void InviteServer::poll(int timeoutMs) {
    Impl& d = *impl_;
    Impl::serving = &d;
    ENetEvent e;
    int handled = 0;
    // Relayed datagrams are passed on while waiting; ENet is served when a datagram is its own,
    // and when the time is up (its resends and pings).
    int enetWait = timeoutMs;
    if (d.relaySockets) {
        d.relaySockets->wait(timeoutMs);
        enetWait = 0;
    }
    // One service (which walks every slot to send), then the events it has already taken in.
    for (int got = enet_host_service(d.host, &e, static_cast<enet_uint32>(enetWait));
         got > 0 && handled++ < 1024; got = enet_host_check_events(d.host, &e)) {
        switch (e.type) {
            case ENET_EVENT_TYPE_CONNECT: {
                d.forget(e.peer);  // a slot that was reset and taken again
                Impl::Client c;
                c.address = ntohl(e.peer->address.host);
                c.port = e.peer->address.port;
                c.since = Clock::now();
                const auto ms = static_cast<enet_uint32>(d.options.timeout.count());
                enet_peer_timeout(e.peer, ENET_PEER_TIMEOUT_LIMIT, ms, ms);
                // A waiting host is asked whether it is still there a few times per timeout,
                // not twice a second: hundreds of them wait at once.
                enet_peer_ping_interval(e.peer, ms / 4);
                d.clients[e.peer] = c;
                break;
            }
            case ENET_EVENT_TYPE_RECEIVE:
                d.receive(e.peer, e.packet);
                enet_packet_destroy(e.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                d.forget(e.peer);
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
    // The answers to what was handled: a service that only relayed has nothing more to send.
    if (handled > 0) enet_host_flush(d.host);
    Impl::serving = nullptr;
    d.dropStragglers();
}

uint16_t InviteServer::localPort() const {
    ENetAddress address{};
    if (enet_socket_get_address(impl_->host->socket, &address) != 0) return 0;
    return address.port;
}

size_t InviteServer::registeredHosts() const {
    return impl_->codes.size();
}

size_t InviteServer::relayedPairs() const {
    return impl_->relays->pairs();
}

size_t InviteServer::relaySockets() const {
    return impl_->relaySockets ? impl_->relaySockets->sockets() : 0;
}

size_t InviteServer::connectedClients() const {
    return impl_->clients.size();
}

}  // namespace zib::net
