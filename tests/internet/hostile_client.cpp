// zib_hostile_client SERVER PORT: a client of the ZIB server that breaks its rules, for the
// internet tests. It sends an oversized message and a huge packet, floods the server with
// registrations, points a joiner at third parties' addresses through its registration, asks for
// a relay without a pairing and sends the server's own relay message. Prints a line for each; exits
// 0 when the server refused all of it, 1 when it took anything it must not, 2 when it could not
// talk to the server at all. Every wait is bounded.
#include <enet/enet.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "net/server_messages.h"

namespace {

using namespace zib::net;
using Clock = std::chrono::steady_clock;

ENetHost* client = nullptr;
ENetAddress server{};
int faults = 0;

void say(const std::string& what, bool ok) {
    std::printf("hostile: %s: %s\n", what.c_str(), ok ? "refused" : "TAKEN");
    if (!ok) ++faults;
}

void send(ENetPeer* peer, const std::vector<uint8_t>& bytes) {
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (enet_peer_send(peer, 0, packet) != 0) enet_packet_destroy(packet);
    enet_host_flush(client);
}

// What a connection heard: the server's messages, and whether it was dropped.
struct Heard {
    std::vector<ServerMessage> messages;
    bool dropped = false;
};

// Serves the client for up to ms, or until the peer has heard wanted messages or was dropped.
Heard listen(ENetPeer* peer, int ms, size_t wanted = 1) {
    Heard heard;
    ENetEvent e;
    for (const auto end = Clock::now() + std::chrono::milliseconds(ms);
         Clock::now() < end && !heard.dropped && heard.messages.size() < wanted;) {
        if (enet_host_service(client, &e, 10) <= 0 || e.peer != peer) {
            if (e.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(e.packet);
            continue;
        }
        if (e.type == ENET_EVENT_TYPE_DISCONNECT) heard.dropped = true;
        if (e.type == ENET_EVENT_TYPE_RECEIVE) {
            const DecodedServerMessage d =
                decodeServerMessage(std::span<const uint8_t>(e.packet->data, e.packet->dataLength));
            if (d.message) heard.messages.push_back(*d.message);
            enet_packet_destroy(e.packet);
        }
    }
    return heard;
}

ENetPeer* connect() {
    ENetPeer* peer = enet_host_connect(client, &server, 1, 0);
    ENetEvent e;
    for (const auto end = Clock::now() + std::chrono::seconds(3); peer && Clock::now() < end;)
        if (enet_host_service(client, &e, 10) > 0 && e.peer == peer &&
            e.type == ENET_EVENT_TYPE_CONNECT)
            return peer;
    std::printf("hostile: the server does not answer\n");
    std::exit(2);
}

void leave(ENetPeer* peer) {
    enet_peer_disconnect_now(peer, 0);
    enet_host_flush(client);
}

template <class M>
const M* find(const Heard& heard) {
    for (const ServerMessage& m : heard.messages)
        if (const auto* x = std::get_if<M>(&m)) return x;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || enet_initialize() != 0) return 2;
    enet_address_set_host_ip(&server, argv[1]);
    server.port = static_cast<enet_uint16>(std::stoi(argv[2]));
    client = enet_host_create(nullptr, 32, 1, 0, 0);
    if (!client) return 2;

    ENetPeer* p = connect();
    send(p, std::vector<uint8_t>(4000, static_cast<uint8_t>(ServerMessageType::RegisterHost)));
    say("a registration of 4000 bytes", listen(p, 5000, 99).dropped);
    leave(p);

    // More than the server takes in one packet: ENet refuses the pieces, the server serves on.
    p = connect();
    send(p, std::vector<uint8_t>(200 * 1024, static_cast<uint8_t>(ServerMessageType::JoinByCode)));
    listen(p, 1000);
    leave(p);

    // A flood of registrations from one address: the server gives it a few codes and no more.
    // Each names as its own network's endpoint another router's public address: a joiner must
    // never be sent there.
    std::vector<ENetPeer*> flood;
    std::string code;
    int codes = 0, full = 0;
    for (int i = 0; i < 12; ++i) {
        flood.push_back(connect());
        send(flood.back(),
             encodeServerMessage(RegisterHost{kServerProtocolVersion, 47777, 0xC0000301, 47777}));
        const Heard heard = listen(flood.back(), 3000);
        if (const auto* r = find<Registered>(heard)) {
            ++codes;
            if (code.empty()) code = r->code;
        }
        if (const auto* no = find<ServerRefused>(heard); no && no->reason == ServerRefusal::Full)
            ++full;
    }
    std::printf("hostile: 12 registrations from one address: %d codes, %d refused as full\n", codes,
                full);
    say("a flood of registrations", codes >= 1 && codes <= 4 && codes + full == 12);
    if (code.empty()) return 1;

    // The first host also claims a router's port on somebody else's address. A joiner with its
    // code learns only the public endpoint the server saw.
    ENetPeer* registered = flood.front();
    for (ENetPeer* f : flood)
        if (f != registered) leave(f);
    send(registered, encodeServerMessage(MappedPort{0x08080808, 40000}));
    listen(registered, 500, 99);  // also lets the left ones' last packets pass
    // The joiner has a socket of its own: the flood's slots were taken and left many times, and
    // a late packet of an old connection must not pass for the joiner's.
    ENetHost* flooding = std::exchange(client, enet_host_create(nullptr, 2, 1, 0, 0));
    if (!client) return 2;
    ENetPeer* joiner = connect();
    send(joiner, encodeServerMessage(JoinByCode{kServerProtocolVersion, code}));
    const Heard answer = listen(joiner, 5000);
    const auto* paired = find<Paired>(answer);
    say("a joiner sent to third parties' addresses",
        paired && paired->localAddress == 0 && paired->mappedPort == 0);
    leave(joiner);
    enet_host_destroy(std::exchange(client, flooding));
    leave(registered);

    // A relay for somebody the server never paired with this client, and the server's own word
    // that a relay begins.
    p = connect();
    send(p, encodeServerMessage(RelayRequest{}));
    const Heard relay = listen(p, 5000, 99);
    const auto* no = find<ServerRefused>(relay);
    say("a relay request without a pairing",
        relay.dropped && no && no->reason == ServerRefusal::NoRelay);
    leave(p);
    p = connect();
    send(p, encodeServerMessage(RelayReady{}));
    say("the server's own relay message from a client", listen(p, 5000, 99).dropped);
    leave(p);
    enet_host_destroy(client);
    return faults == 0 ? 0 : 1;
}
