// The game's client of a ZIB server.
#include "net/invite_client.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

#include "net/invite_code.h"
#include "platform/texts.h"

namespace zib::net {

namespace {

using Clock = std::chrono::steady_clock;
// How long the relayed host waits for its joiner's connection through the server: a joiner that
// lost the server's word of the relay comes only when it has lost the server too, a timeout and
// a keep-alive after it asked.
constexpr std::chrono::seconds kRelayedJoinerLimit{10};
// How long after a pairing's start the host takes the server's silence for a relay whose word was
// lost: the joiner asks after 3 s without a direct path, and the host's connection to the server
// ends a timeout and a keep-alive later.
constexpr std::chrono::seconds kRelayAskedWithin{15};

std::string dotted(uint32_t address) {
    in_addr a{};
    a.s_addr = htonl(address);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &a, text, sizeof text);
    return text;
}

uint32_t numeric(const std::string& dottedAddress) {
    in_addr a{};
    return ::inet_pton(AF_INET, dottedAddress.c_str(), &a) == 1 ? ntohl(a.s_addr) : 0;
}

// This machine's own address on the way to the server (0 when unknown): a UDP socket connected
// there names it, and sends nothing.
uint32_t localAddressTowards(const std::string& server, uint16_t port) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(server.c_str(), nullptr, &hints, &found) != 0 || !found) return 0;
    sockaddr_in to = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    ::freeaddrinfo(found);
    to.sin_port = htons(port);
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) return 0;
    sockaddr_in own{};
    socklen_t length = sizeof own;
    uint32_t address = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&own), &length) == 0)
        address = ntohl(own.sin_addr.s_addr);
    ::close(fd);
    return address;
}

}  // namespace

struct InviteClient::Impl {
    bool isHost = false;
    InviteClientOptions options;
    std::string serverName;
    uint16_t serverPort = 0;
    std::unique_ptr<Connection> own;
    Connection* link = nullptr;
    bool reaching = false;  // a connection to the server is being made or stands
    InviteStage stage = InviteStage::Connecting;
    uint16_t gamePort = 0;
    std::string code;  // the host's, or the one the joiner asks for
    uint32_t registrations = 0;
    std::string peerAddress;
    uint16_t peerPort = 0;
    std::vector<Endpoint> otherPaths;
    std::optional<uint32_t> localAddress;  // the host's own network's, towards the server
    uint32_t mappedAddress = 0;            // the host's router's opened port
    uint16_t mappedPort = 0;
    Clock::time_point startAt{};
    std::optional<Pairing> pairing;
    std::string pairedWith;           // the host: the last joiner's public address
    Clock::time_point pairedStart{};  // the host: the last pairing's start
    std::string message;
    Clock::time_point retryAt{};
    bool relayAsked = false, relayed = false;
    Clock::time_point relayedAt{};

    ~Impl() {
        if (link && reaching) link->disconnectServer(true);
    }

    void connect() {
        std::string error;
        if (!link->connectServer(serverName, serverPort, error)) return fail(error);
        reaching = true;
        stage = InviteStage::Connecting;
    }

    void fail(const std::string& why) {
        stage = InviteStage::Failed;
        message = why;
        leave();
    }

    void leave() {
        if (reaching) link->disconnectServer();
        reaching = false;
    }

    void send(const ServerMessage& m) { link->sendToServer(encodeServerMessage(m)); }

    void connected() {
        stage = InviteStage::Asking;
        if (isHost) {
            // Asked once: the name was resolved when connecting, and is again only here.
            if (!localAddress) localAddress = localAddressTowards(serverName, serverPort);
            const uint32_t local = *localAddress;
            const uint16_t localPort = gamePort ? gamePort : link->localPort();
            send(RegisterHost{kServerProtocolVersion, gamePort, local,
                              local ? localPort : uint16_t{0}});
        } else
            send(JoinByCode{kServerProtocolVersion, code});
    }

    void received(std::span<const uint8_t> bytes) {
        const DecodedServerMessage d = decodeServerMessage(bytes);
        if (!d.message)
            return fail(format(tr("Server ZIB poslal nesrozumitelnou zprávu ({})."), d.error));
        if (const auto* r = std::get_if<Registered>(&*d.message);
            r && isHost && stage == InviteStage::Asking) {
            code = r->code;
            ++registrations;
            stage = InviteStage::Registered;
            message.clear();
            if (mappedPort) send(MappedPort{mappedAddress, mappedPort});
            return;
        }
        if (const auto* p = std::get_if<Paired>(&*d.message)) {
            const Clock::time_point start = Clock::now() + std::chrono::milliseconds(p->startInMs);
            if (isHost) {
                if (stage == InviteStage::Registered) {
                    pairing = Pairing{dotted(p->address), p->port, start};
                    pairedWith = pairing->address;
                    pairedStart = start;
                    link->admitPairingKey(p->key);
                }
                return;
            }
            if (stage != InviteStage::Asking) return fail(tr("Server ZIB odpověděl dvakrát."));
            peerAddress = dotted(p->address);
            peerPort = p->port;
            // A hostile server could point the joiner elsewhere: only the host's own network and
            // its public address are taken.
            if (isLocalEndpoint(p->localAddress, p->localPort, p->address))
                otherPaths.push_back({dotted(p->localAddress), p->localPort});
            if (p->mappedPort && p->mappedPort != p->port)
                otherPaths.push_back({peerAddress, p->mappedPort});
            startAt = start;
            link->usePairingKey(p->key);
            stage = InviteStage::Paired;  // the server stays, should a relay be needed
            return;
        }
        if (isHost && !relayed && link->connected() &&
            std::holds_alternative<RelayReady>(*d.message))
            return;  // a relay for one who came while the player is here directly: not taken
        if (std::holds_alternative<RelayReady>(*d.message)) {
            const bool expected = isHost ? (pairing || !pairedWith.empty()) : relayAsked;
            if (!expected || relayed)
                return fail(tr("Server ZIB poslal zprávu, která sem nepatří."));
            if (options.loseRelayReady) return;
            // The server's last word: the connection to it is dropped, and the game's own
            // connection goes through its address.
            reaching = false;
            return enterRelay();
        }
        if (const auto* no = std::get_if<ServerRefused>(&*d.message))
            return fail(refusalText(no->reason));
        fail(tr("Server ZIB poslal zprávu, která sem nepatří."));
    }

    void enterRelay() {
        relayed = true;
        link->enterRelay(isHost ? pairedWith : peerAddress);
        if (isHost) {
            stage = InviteStage::Paired;
            relayedAt = Clock::now();
        }
    }

    // Whether the server, gone silent, may be relaying: the joiner asked for it, or the host was
    // paired lately and has no player, or has it through the server's address already.
    bool relayUntold() const {
        if (relayed) return false;
        if (!isHost) return relayAsked && stage == InviteStage::Paired;
        if (link->relayed()) return true;  // its paired joiner came through the server's address
        return stage == InviteStage::Registered && !pairedWith.empty() && !link->connected() &&
               Clock::now() < pairedStart + kRelayAskedWithin;
    }

    void lost() {
        reaching = false;
        if (relayUntold()) return enterRelay();
        relayed = relayAsked = false;
        if (stage != InviteStage::Connecting && stage != InviteStage::Asking &&
            stage != InviteStage::Registered)
            return;
        if (!isHost) {
            return fail(stage == InviteStage::Connecting
                            ? format(tr("Server ZIB {} neodpovídá."), serverName)
                            : tr("Spojení se serverem ZIB se přerušilo."));
        }
        // The host tries again for as long as it waits: the server may have been restarted.
        message =
            code.empty()
                ? format(tr("Server ZIB {} neodpovídá, zkouším to znovu…"), serverName)
                : format(tr("Server ZIB se odmlčel a kód {} už neplatí; žádám o nový…"), code);
        code.clear();
        stage = InviteStage::Connecting;
        retryAt = Clock::now() + options.retryPause;
    }
};

InviteClient::~InviteClient() = default;

std::unique_ptr<InviteClient::Impl> InviteClient::makeImpl(const std::string& server, uint16_t port,
                                                           const InviteClientOptions& options,
                                                           Connection* shared, std::string& error) {
    auto d = std::make_unique<InviteClient::Impl>();
    d->options = options;
    d->serverName = server;
    d->serverPort = port;
    if (shared) {
        d->link = shared;
    } else {
        ConnectionOptions c;
        c.timeout = options.timeout;
        d->own = Connection::open(c, error);
        if (!d->own) return nullptr;
        d->link = d->own.get();
    }
    return d;
}

std::unique_ptr<InviteClient> InviteClient::begin(std::unique_ptr<Impl> d, std::string& error) {
    if (!d) return nullptr;
    d->connect();
    if (d->stage == InviteStage::Failed) {
        error = d->message;
        return nullptr;
    }
    std::unique_ptr<InviteClient> c(new InviteClient);
    c->impl_ = std::move(d);
    return c;
}

std::unique_ptr<InviteClient> InviteClient::registerHost(const std::string& server, uint16_t port,
                                                         uint16_t gamePort, std::string& error,
                                                         const InviteClientOptions& options,
                                                         Connection* shared) {
    auto d = makeImpl(server, port, options, shared, error);
    if (d) {
        d->isHost = true;
        d->gamePort = gamePort;
    }
    return begin(std::move(d), error);
}

std::unique_ptr<InviteClient> InviteClient::joinByCode(const std::string& server, uint16_t port,
                                                       const std::string& code, std::string& error,
                                                       const InviteClientOptions& options,
                                                       Connection* shared) {
    const std::optional<std::string> normal = normalizeInviteCode(code);
    if (!normal) {
        error = format(tr("„{}“ není kód pozvánky: má šest znaků z písmen A–Z a číslic 2–9 (bez "
                          "0, O, 1, I a L)."),
                       code);
        return nullptr;
    }
    auto d = makeImpl(server, port, options, shared, error);
    if (d) d->code = *normal;
    return begin(std::move(d), error);
}

void InviteClient::poll(int timeoutMs) {
    Impl& d = *impl_;
    if (!d.reaching && d.stage == InviteStage::Connecting && Clock::now() >= d.retryAt) d.connect();
    // The relayed host is done with the server once its player came, or did not within the
    // limit; it registers again for a new wait.
    if (d.isHost && d.relayed && d.stage == InviteStage::Paired &&
        (d.link->connected() || Clock::now() >= d.relayedAt + kRelayedJoinerLimit))
        d.stage = InviteStage::Done;
    if (d.own) d.own->poll(timeoutMs);
    for (ConnectionEvent& e : d.link->takeServerEvents()) {
        switch (e.type) {
            case ConnectionEvent::Type::Connected:
                if (d.reaching && d.stage == InviteStage::Connecting) d.connected();
                break;
            case ConnectionEvent::Type::Received:
                if (d.reaching) d.received(e.bytes);
                break;
            case ConnectionEvent::Type::Disconnected:
                d.lost();
                break;
        }
    }
}

std::optional<InviteClient::Pairing> InviteClient::takePairing() {
    return std::exchange(impl_->pairing, std::nullopt);
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
const std::vector<InviteClient::Endpoint>& InviteClient::otherPaths() const {
    return impl_->otherPaths;
}

void InviteClient::setMappedPort(const std::string& address, uint16_t port) {
    Impl& d = *impl_;
    const uint32_t a = numeric(address);
    if (!d.isHost || a == 0 || port == 0 || (a == d.mappedAddress && port == d.mappedPort)) return;
    d.mappedAddress = a;
    d.mappedPort = port;
    if (d.reaching && d.stage == InviteStage::Registered) d.send(MappedPort{a, port});
}

std::chrono::steady_clock::time_point InviteClient::startAt() const {
    return impl_->startAt;
}
const std::string& InviteClient::message() const {
    return impl_->message;
}

void InviteClient::gameStarted() {
    Impl& d = *impl_;
    if (!d.isHost || !d.reaching || d.stage != InviteStage::Registered) return;
    d.send(GameStarted{});
    d.code.clear();
    d.stage = InviteStage::Done;
    if (!d.relayed) d.leave();
}

void InviteClient::finish() {
    Impl& d = *impl_;
    if (d.isHost || d.relayed || d.stage != InviteStage::Paired) return;
    d.stage = InviteStage::Done;
    d.leave();
}

void InviteClient::requestRelay() {
    Impl& d = *impl_;
    if (d.isHost || d.relayAsked || d.stage != InviteStage::Paired || !d.reaching) return;
    d.relayAsked = true;
    d.send(RelayRequest{});
}

bool InviteClient::relayed() const {
    return impl_->relayed;
}

bool InviteClient::relayPending() const {
    return impl_->relayAsked && !impl_->relayed && impl_->stage == InviteStage::Paired;
}

}  // namespace zib::net
