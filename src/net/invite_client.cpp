// The game's client of a ZIB server.
#include "net/invite_client.h"

#include <arpa/inet.h>
#include <enet/enet.h>

#include "net/invite_code.h"

namespace zib::net {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

struct InviteClient::Impl {
    bool isHost = false;
    InviteClientOptions options;
    ENetAddress server{};
    std::string serverName;
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;
    InviteStage stage = InviteStage::Connecting;
    uint16_t gamePort = 0;
    std::string code;  // the host's, or the one the joiner asks for
    uint32_t registrations = 0;
    std::string peerAddress;
    uint16_t peerPort = 0;
    std::string message;
    Clock::time_point retryAt{};

    ~Impl() {
        if (host) {
            if (peer) enet_peer_disconnect_now(peer, 0);
            enet_host_flush(host);
            enet_host_destroy(host);
        }
    }

    void connect() {
        peer = enet_host_connect(host, &server, 1, 0);
        if (!peer) return fail("Spojení se serverem ZIB nelze vytvořit.");
        const auto ms = static_cast<enet_uint32>(options.timeout.count());
        enet_peer_timeout(peer, ENET_PEER_TIMEOUT_LIMIT, ms, ms);
        stage = InviteStage::Connecting;
    }

    void fail(const std::string& why) {
        stage = InviteStage::Failed;
        message = why;
        if (peer) enet_peer_disconnect_later(peer, 0);
    }

    void send(const ServerMessage& m) {
        const std::vector<uint8_t> bytes = encodeServerMessage(m);
        ENetPacket* packet =
            enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
        if (packet && enet_peer_send(peer, 0, packet) != 0) enet_packet_destroy(packet);
        enet_host_flush(host);
    }

    void connected() {
        stage = InviteStage::Asking;
        if (isHost)
            send(RegisterHost{kServerProtocolVersion, gamePort});
        else
            send(JoinByCode{kServerProtocolVersion, code});
    }

    void received(std::span<const uint8_t> bytes) {
        const DecodedServerMessage d = decodeServerMessage(bytes);
        if (!d.message) return fail("Server ZIB poslal nesrozumitelnou zprávu (" + d.error + ").");
        if (const auto* r = std::get_if<Registered>(&*d.message); r && isHost) {
            code = r->code;
            ++registrations;
            stage = InviteStage::Registered;
            message.clear();
            return;
        }
        if (const auto* p = std::get_if<Paired>(&*d.message)) {
            if (isHost) return;  // a joiner is on its way; the game's own connection follows
            in_addr a{};
            a.s_addr = htonl(p->address);
            char text[INET_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET, &a, text, sizeof text);
            peerAddress = text;
            peerPort = p->port;
            stage = InviteStage::Paired;
            enet_peer_disconnect_later(peer, 0);
            return;
        }
        if (const auto* no = std::get_if<ServerRefused>(&*d.message))
            return fail(refusalText(no->reason));
        fail("Server ZIB poslal zprávu, která sem nepatří.");
    }

    void lost() {
        peer = nullptr;
        if (stage != InviteStage::Connecting && stage != InviteStage::Asking &&
            stage != InviteStage::Registered)
            return;
        if (!isHost) {
            return fail(stage == InviteStage::Connecting
                            ? "Server ZIB " + serverName + " neodpovídá."
                            : "Spojení se serverem ZIB se přerušilo.");
        }
        // The host tries again for as long as it waits: the server may have been restarted.
        message = code.empty()
                      ? "Server ZIB " + serverName + " neodpovídá, zkouším to znovu…"
                      : "Server ZIB se odmlčel a kód " + code + " už neplatí; žádám o nový…";
        code.clear();
        stage = InviteStage::Connecting;
        retryAt = Clock::now() + options.retryPause;
    }
};

InviteClient::~InviteClient() = default;

std::unique_ptr<InviteClient::Impl> InviteClient::makeImpl(const std::string& server, uint16_t port,
                                                           const InviteClientOptions& options,
                                                           std::string& error) {
    if (enet_initialize() != 0) {
        error = "Síť nelze spustit (ENet).";
        return nullptr;
    }
    auto d = std::make_unique<InviteClient::Impl>();
    d->options = options;
    d->serverName = server;
    if (enet_address_set_host(&d->server, server.c_str()) != 0) {
        error = "Server ZIB " + server + " nelze najít.";
        return nullptr;
    }
    d->server.port = port;
    d->host = enet_host_create(nullptr, 1, 1, 0, 0);
    if (!d->host) {
        error = "Spojení se serverem ZIB nelze vytvořit.";
        return nullptr;
    }
    d->host->maximumPacketSize = kMaxServerMessage;
    d->host->maximumWaitingData = kMaxServerMessage * 8;
    return d;
}

std::unique_ptr<InviteClient> InviteClient::registerHost(const std::string& server, uint16_t port,
                                                         uint16_t gamePort, std::string& error,
                                                         const InviteClientOptions& options) {
    auto d = makeImpl(server, port, options, error);
    if (!d) return nullptr;
    d->isHost = true;
    d->gamePort = gamePort;
    d->connect();
    std::unique_ptr<InviteClient> c(new InviteClient);
    c->impl_ = std::move(d);
    return c;
}

std::unique_ptr<InviteClient> InviteClient::joinByCode(const std::string& server, uint16_t port,
                                                       const std::string& code, std::string& error,
                                                       const InviteClientOptions& options) {
    const std::optional<std::string> normal = normalizeInviteCode(code);
    if (!normal) {
        error = "„" + code +
                "“ není kód pozvánky: má šest znaků z písmen A–Z a číslic 2–9 (bez "
                "0, O, 1, I a L).";
        return nullptr;
    }
    auto d = makeImpl(server, port, options, error);
    if (!d) return nullptr;
    d->code = *normal;
    d->connect();
    std::unique_ptr<InviteClient> c(new InviteClient);
    c->impl_ = std::move(d);
    return c;
}

void InviteClient::poll(int timeoutMs) {
    Impl& d = *impl_;
    if (!d.peer && d.stage == InviteStage::Connecting && Clock::now() >= d.retryAt) d.connect();
    ENetEvent e;
    int waited = 0;
    for (int n = 0; n < 64 && enet_host_service(
                                  d.host, &e, waited ? 0 : static_cast<enet_uint32>(timeoutMs)) > 0;
         ++n) {
        waited = 1;
        switch (e.type) {
            case ENET_EVENT_TYPE_CONNECT:
                if (e.peer == d.peer) d.connected();
                break;
            case ENET_EVENT_TYPE_RECEIVE:
                if (e.peer == d.peer && d.stage != InviteStage::Failed)
                    d.received(std::span<const uint8_t>(e.packet->data, e.packet->dataLength));
                enet_packet_destroy(e.packet);
                break;
            case ENET_EVENT_TYPE_DISCONNECT:
                if (e.peer == d.peer) d.lost();
                break;
            case ENET_EVENT_TYPE_NONE:
                break;
        }
    }
}

InviteStage InviteClient::stage() const {
    return impl_->stage;
}
const std::string& InviteClient::code() const {
    return impl_->code;
}
uint32_t InviteClient::registrations() const {
    return impl_->registrations;
}
const std::string& InviteClient::peerAddress() const {
    return impl_->peerAddress;
}
uint16_t InviteClient::peerPort() const {
    return impl_->peerPort;
}
const std::string& InviteClient::message() const {
    return impl_->message;
}

void InviteClient::gameStarted() {
    Impl& d = *impl_;
    if (!d.isHost || !d.peer || d.stage != InviteStage::Registered) return;
    d.send(GameStarted{});
    d.code.clear();
    d.stage = InviteStage::Done;
    enet_peer_disconnect_later(d.peer, 0);
    enet_host_flush(d.host);
}

}  // namespace zib::net
