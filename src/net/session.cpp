// The session's state machine: handshake, probes, the start and end of games, the queue
// and the checksums, with every message checked against the state it arrives in.
#include "net/session.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "platform/texts.h"

namespace zib::net {

namespace {

constexpr uint64_t kFastProbeUs = 100'000;  // the first probes, for a quick first figure
constexpr uint64_t kProbeUs = 1'000'000;    // then one a second, which is also the keep-alive
constexpr int kFastProbes = 5;
constexpr size_t kProbesKept = 8;
constexpr uint64_t kLongestRoundTripUs = 10'000'000;
// How far the other side's ticks may run ahead of this side's: a fair peer stays within the
// input delay, since it waits for these keys; this only bounds what a hostile one can store.
constexpr uint32_t kLeadAllowed = 256;
// The other side's keys are kept this many ticks behind the latest sent here.
constexpr uint32_t kRemoteKept = 512;
// The joiner keeps this many of the host's Inputs that overtook the start of their game, and drops
// the rest: the host sends their keys again until they are acknowledged.
constexpr size_t kEarlyKept = 32;
// A peer whose checksums lag more than this many of ours behind (for checksumPatience) is cut off:
// a fair one is the input delay and a round trip behind, or a resent packet's time.
constexpr size_t kChecksumsBehind = 4;
// However soon: the most of ours kept waiting for the other side's (16,384 ticks).
constexpr size_t kChecksumsKept = 1024;
// Probes sent and not answered are forgotten beyond this many, and so are those older than the
// longest round trip taken.
constexpr size_t kProbesOutKept = 16;
// The joiner keeps at most this many messages behind a start that waits for the game before it.
// A fair host sends a few: its start, a checksum of the ticks that need no keys, an end.
constexpr size_t kHeldKept = 32;

}  // namespace

Session::~Session() = default;

Result<std::unique_ptr<Session>> Session::host(const SessionOptions& options) {
    ConnectionOptions c;
    c.bindHost = options.bindHost;
    c.port = options.port;
    c.timeout = options.timeout;
    c.handshakeLimit = options.greetingLimit;
    std::string error;
    auto connection = Connection::listen(c, error);
    if (!connection) return Failure{error};
    std::unique_ptr<Session> s(new Session);
    s->role_ = Role::Host;
    s->state_ = SessionState::Waiting;
    s->options_ = options;
    s->connection_ = std::move(connection);
    s->spectators_ = std::make_unique<Spectators>(*s->connection_, options.gameVersion);
    if (options.portMapping)
        s->mapper_ = std::make_unique<PortMapper>(s->localPort(), options.mapping);
    if (!options.server.empty()) {
        // From the game's own socket: the server sees the port the joiner must reach.
        s->invite_ = InviteClient::registerHost(options.server, options.serverPort, 0, error, {},
                                                s->connection_.get());
        if (!s->invite_) return Failure{error};
    }
    return s;
}

Result<std::unique_ptr<Session>> Session::join(const std::string& hostName,
                                               const SessionOptions& options) {
    ConnectionOptions c;
    c.timeout = options.timeout;
    std::string error;
    auto connection = Connection::connect(hostName, options.port, c, error);
    if (!connection) return Failure{error};
    std::unique_ptr<Session> s(new Session);
    s->role_ = Role::Joiner;
    s->state_ = SessionState::Connecting;
    s->options_ = options;
    s->hostName_ = hostName;
    s->connection_ = std::move(connection);
    return s;
}

Result<std::unique_ptr<Session>> Session::joinByCode(const std::string& code,
                                                     const SessionOptions& options) {
    ConnectionOptions c;
    c.timeout = options.timeout;
    std::string error;
    std::unique_ptr<Session> s(new Session);
    s->connection_ = Connection::open(c, error);
    if (!s->connection_) return Failure{error};
    s->invite_ = InviteClient::joinByCode(options.server, options.serverPort, code, error, {},
                                          s->connection_.get());
    if (!s->invite_) return Failure{error};
    s->awaitingHost_ = true;
    s->role_ = Role::Joiner;
    s->state_ = SessionState::Connecting;
    s->options_ = options;
    return s;
}

std::string Session::serverName() const {
    if (options_.serverPort == kDefaultServerPort) return options_.server;
    const bool ipv6 = options_.server.find(':') != std::string::npos;
    return (ipv6 ? "[" + options_.server + "]" : options_.server) + ":" +
           std::to_string(options_.serverPort);
}

std::string Session::inviteCode() const {
    return invite_ && invite_->stage() == InviteStage::Registered ? invite_->code() : "";
}

std::string Session::inviteLine() const {
    if (!invite_ || role_ != Role::Host) return {};
    switch (invite_->stage()) {
        case InviteStage::Registered:
            return format(tr("Kód pozvánky: {} (soupeř zadá: zib --join {} --server {}; divák: zib "
                             "--watch {} --server {})."),
                          invite_->code(), invite_->code(), serverName(), invite_->code(),
                          serverName());
        case InviteStage::Connecting:
        case InviteStage::Asking:
            if (!invite_->message().empty()) return invite_->message();
            return format(tr("Žádám server ZIB {} o kód pozvánky…"), serverName());
        case InviteStage::Failed:
            return invite_->message();
        case InviteStage::Paired:
        case InviteStage::Done:
            break;
    }
    return {};
}

// The host keeps its registration (and gets a new one for a new wait after a game), tells the
// server the port its router opened, and opens its NAT towards a paired joiner. The joiner waits
// for the server's answer, tries the host's other paths (its own network, its router's opened
// port) at once and, at the moment the server named, its public address from the same socket: the
// first that answers is the game's.
void Session::serveInvite() {
    if (!invite_) return;
    invite_->poll(0);
    if (role_ == Role::Host) {
        if (invite_->stage() == InviteStage::Done && !connection_->connected()) {
            std::string error;
            invite_ = InviteClient::registerHost(options_.server, options_.serverPort, 0, error, {},
                                                 connection_.get());
            if (!invite_) return;
        }
        if (mapper_) {
            const MappingStatus mapped = mapper_->status();
            if (mapped.stage == MappingStage::Mapped)
                invite_->setMappedPort(mapped.externalAddress, mapped.externalPort);
        }
        if (auto pairing = invite_->takePairing()) {
            punching_ = pairing;
            nextPunch_ = pairing->start;
            // One who comes while the player is here is a spectator: punched for all its time.
            punchingPast_ = connection_->connected();
        }
        punch();
        const std::string line = inviteLine();
        if (line != inviteReported_) {
            inviteReported_ = line;
            if (!line.empty() && options_.onAddressLine) options_.onAddressLine(line);
        }
        return;
    }
    if (!awaitingHost_) {
        if (state_ == SessionState::Connected && !joinReported_) {
            joinReported_ = true;
            if (options_.onAddressLine)
                options_.onAddressLine(format(tr("Připojeno k hostiteli {}."), connectionKind()));
        }
        // The server refused the relay after the direct paths were given up.
        if (invite_->stage() == InviteStage::Failed && directGone_ && !connection_->connected()) {
            if (options_.onAddressLine) options_.onAddressLine(invite_->message());
            return lose(invite_->message());
        }
        // The direct path answered, and the server is no longer needed; or it did not within
        // 3 s, and the server is asked to carry the game.
        if (invite_->stage() != InviteStage::Paired || invite_->relayed()) return;
        // A host that turned this side away (it plays already) is not to be relayed to either.
        const bool turnedAway = state_ == SessionState::Refused || state_ == SessionState::Lost;
        if (connection_->connected() || turnedAway) return invite_->finish();
        if (std::chrono::steady_clock::now() >= invite_->startAt() + kDirectLimit)
            invite_->requestRelay();
        return;
    }
    if (invite_->stage() == InviteStage::Failed) {
        awaitingHost_ = false;
        if (options_.onAddressLine) options_.onAddressLine(invite_->message());
        return lose(invite_->message());
    }
    if (invite_->stage() != InviteStage::Paired) return;
    std::string error;
    if (!triedOtherPaths_) {
        triedOtherPaths_ = true;
        hostName_ = invite_->peerAddress();
        options_.port = invite_->peerPort();
        for (const InviteClient::Endpoint& path : invite_->otherPaths())
            connection_->connectTo(path.address, path.port, error);  // a path less when it fails
    }
    if (connection_->connected()) {
        awaitingHost_ = false;  // a path on the host's side answered before the punch
        return;
    }
    if (std::chrono::steady_clock::now() < invite_->startAt()) return;
    awaitingHost_ = false;
    if (!connection_->connectTo(hostName_, options_.port, error) && invite_->otherPaths().empty())
        lose(error);
}

// Bare datagrams every 50 ms for 3 s from the start, or until the player is connected.
void Session::punch() {
    if (!punching_) return;
    const auto now = std::chrono::steady_clock::now();
    if ((connection_->connected() && !punchingPast_) ||
        now > punching_->start + std::chrono::seconds(3)) {
        punching_.reset();
        return;
    }
    if (now < nextPunch_) return;
    connection_->punch(punching_->address, punching_->port);
    nextPunch_ = now + std::chrono::milliseconds(50);
}

uint64_t Session::nowUs() const {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now() - epoch_)
                                     .count());
}

uint16_t Session::localPort() const {
    return connection_ ? connection_->localPort() : 0;
}

void Session::poll(int timeoutMs) {
    for (ConnectionEvent& event : connection_->poll(timeoutMs)) handleConnectionEvent(event);
    serveSpectators();
    serveInvite();
    reportMapping();
    if (!connection_->connected()) return;
    if (role_ == Role::Host && state_ == SessionState::Connecting &&
        nowUs() - connectedUs_ > static_cast<uint64_t>(options_.greetingLimit.count()) * 1000) {
        // Whoever it was never said who it is: the host waits for a real player again.
        connection_->disconnect(true);
        state_ = SessionState::Waiting;
        return;
    }
    const uint64_t silence = nowUs() - lastHeardUs_;
    if (silence > static_cast<uint64_t>(options_.timeout.count()) * 1000) {
        connection_->disconnect(true);
        lose(tr("Spojení se soupeřem bylo přerušeno"));
        return;
    }
    takeHeld();
    sendProbes();
    resendInput();
}

void Session::handleConnectionEvent(ConnectionEvent& event) {
    switch (event.type) {
        case ConnectionEvent::Type::Connected:
            state_ = SessionState::Connecting;
            message_.clear();
            lastHeardUs_ = connectedUs_ = nowUs();
            probes_.clear();
            probesOut_.clear();
            probesAnswered_ = 0;
            gameOver_ = true;
            early_.clear();
            watchersTold_ = 0;
            held_.clear();
            send(Hello{kProtocolVersion, options_.gameVersion});
            break;
        case ConnectionEvent::Type::Received: {
            if (state_ == SessionState::Lost || state_ == SessionState::Refused) break;
            lastHeardUs_ = nowUs();
            if (isWatchMessage(event.bytes)) {
                handleWatchMessage(event.bytes);
                break;
            }
            Decoded decoded = decode(event.bytes);
            if (!decoded.message)
                violation(decoded.error);
            else
                handleMessage(*decoded.message, event.channel);
            break;
        }
        case ConnectionEvent::Type::Disconnected:
            if (state_ == SessionState::Lost || state_ == SessionState::Refused) break;
            if (role_ == Role::Joiner && invite_ && invite_->relayPending() &&
                event.reason == DisconnectReason::TimedOut) {
                // The direct paths are given up; the server's answer decides (serveInvite).
                directGone_ = true;
                break;
            }
            if (event.reason == DisconnectReason::Busy) {
                state_ = SessionState::Refused;
                message_ = tr("Hostitel už hraje s jiným soupeřem.");
            } else if (event.reason == DisconnectReason::WrongKey) {
                state_ = SessionState::Refused;
                message_ =
                    tr("Hostitel čeká na soupeře, se kterým ho spároval server ZIB; připojte se "
                       "jeho kódem pozvánky.");
            } else if (state_ == SessionState::Connecting && role_ == Role::Joiner &&
                       event.reason == DisconnectReason::TimedOut) {
                lose(format(tr("Hostitel {} na portu {} neodpovídá."), hostName_,
                            std::to_string(options_.port)));
            } else {
                lose(tr("Spojení se soupeřem bylo přerušeno"));
            }
            break;
    }
}

void Session::handleMessage(Message& message, Channel channel) {
    // Probes and keys travel unreliably, everything else reliably and in order.
    const bool unreliable = std::holds_alternative<Ping>(message) ||
                            std::holds_alternative<Pong>(message) ||
                            std::holds_alternative<Input>(message);
    if (unreliable != (channel == Channel::Unreliable))
        return violation(tr("zpráva v nesprávném kanálu"));
    // A probe travels unreliably, beside the greeting's ordered channel, and may overtake it on a
    // link that reorders: it is let go, not taken for a breach.
    if (state_ == SessionState::Connecting && unreliable) return;
    if (state_ == SessionState::Connecting && !std::holds_alternative<Hello>(message) &&
        !std::holds_alternative<Refuse>(message) && !std::holds_alternative<Bye>(message))
        return violation(tr("zpráva před pozdravem"));
    // Behind a start that waits, the messages of its channel wait too; a goodbye does not.
    if (!held_.empty() && channel == Channel::Reliable && !std::holds_alternative<Bye>(message)) {
        if (held_.size() >= kHeldKept) return violation(tr("příliš mnoho zpráv před koncem hry"));
        held_.push_back(std::move(message));
        return;
    }
    dispatch(message);
}

void Session::dispatch(Message& message) {
    if (auto* hello = std::get_if<Hello>(&message)) return handleHello(*hello);
    if (std::holds_alternative<Refuse>(message)) {
        // Only an answer to the greeting: later it would leave this side waiting for nothing.
        if (state_ != SessionState::Connecting)
            return violation(tr("odmítnutí po navázání spojení"));
        state_ = SessionState::Refused;
        message_ = tr("Soupeř odmítl spojení: má jinou verzi hry.");
        connection_->disconnect(false);
        return;
    }
    if (auto* ping = std::get_if<Ping>(&message))
        return send(Pong{ping->id, nowUs()}, Channel::Unreliable);
    if (auto* pong = std::get_if<Pong>(&message)) return handlePong(*pong);
    if (auto* start = std::get_if<StartGame>(&message)) {
        if (role_ != Role::Joiner) return violation(tr("start hry od hráče, který nehostí"));
        if (start->gameId <= gameId_) return violation(tr("start hry se starým číslem"));
        if (inGame()) {
            // The game before it still runs here and may wait for keys the start overtook.
            held_.push_back(std::move(message));
            return;
        }
        beginGame(start->gameId);
        events_.push_back(
            {SessionEvent::Type::Start, std::move(*start), {}, std::chrono::steady_clock::now()});
        std::vector<Input> early = std::move(early_);
        early_.clear();
        for (const Input& input : early)
            if (state_ != SessionState::Lost) handleInput(input);
        return;
    }
    if (auto* restart = std::get_if<Restart>(&message)) {
        if (role_ != Role::Host) return violation(tr("žádost o novou hru od hostitele"));
        if (restart->gameId > gameId_) return violation(tr("žádost o novou hru s budoucím číslem"));
        if (restart->gameId == gameId_) events_.push_back({SessionEvent::Type::Restart, {}, {}});
        return;
    }
    if (auto* end = std::get_if<EndGame>(&message)) {
        if (end->gameId > gameId_) return violation(tr("konec hry s budoucím číslem"));
        if (end->gameId < gameId_ || gameOver_) return;  // crossed with a newer start or end
        gameOver_ = true;
        if (end->reason == EndReason::Desync && (!desyncTick_ || end->tick < *desyncTick_))
            desyncTick_ = end->tick;
        events_.push_back({SessionEvent::Type::End, {}, *end});
        return;
    }
    if (auto* input = std::get_if<Input>(&message)) return handleInput(*input);
    if (auto* checksum = std::get_if<Checksum>(&message)) return handleChecksum(*checksum);
    if (std::holds_alternative<Bye>(message)) {
        // The other side is leaving: nothing more is owed to it, and the host's slot is free at
        // once for whoever joins next.
        connection_->disconnect(true);
        lose(tr("Soupeř ukončil hru a odpojil se."));
    }
}

// A Pong counts only as the answer to a probe of ours not yet answered: the round trip is timed by
// this side's clock from the id's own send time, whatever the other side wrote.
void Session::handlePong(const Pong& pong) {
    const auto sent = probesOut_.find(pong.id);
    if (sent == probesOut_.end()) return;
    const uint64_t sentUs = sent->second;
    probesOut_.erase(sent);
    const uint64_t roundTrip = nowUs() - sentUs;
    if (roundTrip > kLongestRoundTripUs) return;
    const uint64_t halfway = sentUs + roundTrip / 2;
    // A fair clock is microseconds since its session began, far below 2^62; taken so, whatever
    // the other side wrote cannot overflow the difference.
    const int64_t offset =
        static_cast<int64_t>(pong.timeUs & (~0ull >> 2)) - static_cast<int64_t>(halfway);
    probes_.push_back({roundTrip, offset});
    if (probes_.size() > kProbesKept) probes_.pop_front();
    ++probesAnswered_;
}

// The joiner takes a start that waited once the game before it has ended here, then what came
// after it, up to the next start that must wait in turn.
void Session::takeHeld() {
    while (!held_.empty() && state_ == SessionState::Connected) {
        if (inGame() && std::holds_alternative<StartGame>(held_.front())) return;
        Message message = std::move(held_.front());
        held_.pop_front();
        dispatch(message);
    }
}

void Session::handleHello(const Hello& hello) {
    if (state_ != SessionState::Connecting) return violation(tr("druhý pozdrav"));
    if (hello.protocolVersion != kProtocolVersion || hello.gameVersion != options_.gameVersion) {
        send(Refuse{RefuseReason::VersionMismatch});
        connection_->disconnect(false);
        state_ = SessionState::Refused;
        // The other side's version passed the decoder: printable ASCII of 32 bytes at most.
        if (hello.gameVersion != options_.gameVersion)
            message_ = format(tr("Soupeř má jinou verzi hry ({}, zde {})."), hello.gameVersion,
                              options_.gameVersion);
        else
            message_ =
                format(tr("Soupeř má jinou verzi síťové hry (protokol {}, zde {})."),
                       std::to_string(hello.protocolVersion), std::to_string(kProtocolVersion));
        return;
    }
    state_ = SessionState::Connected;
    nextProbeUs_ = nowUs();
    sendProbes();
}

void Session::handleInput(const Input& input) {
    if (input.gameId > gameId_) {
        // The start travels reliably and the keys do not, so the host's first keys of a game may
        // overtake its start; those beyond what is kept are sent again anyway.
        if (role_ == Role::Joiner) {
            if (early_.size() < kEarlyKept) early_.push_back(input);
            return;
        }
        return violation(tr("klávesy hry, která nezačala"));
    }
    // Keys of an older game were sent before the other side learnt of the new one. Keys of this
    // game are taken after its end too: the other side may still wait for them, or for their
    // acknowledgement.
    if (input.gameId < gameId_) {
        if (lastGame_ && input.gameId == lastGame_->gameId && input.ack >= lastGame_->lastTick())
            lastGame_.reset();
        return;
    }
    // The other side plays this game: it no longer waits for keys of the one before.
    lastGame_.reset();
    // Only the other side's own snake: red is the host's, blue the joiner's.
    for (const TickKeys& keys : input.keyed)
        if (std::any_of(keys.events.begin(), keys.events.end(), [this](KeyEvent e) {
                return e.slot != kEscSlot &&
                       (role_ == Role::Host ? isRedSlot(e.slot) : isBlueSlot(e.slot));
            }))
            return violation(tr("klávesy cizího hada"));
    // A fair side starts just after the last acknowledgement it has heard of, which is never
    // beyond the last sent here; acknowledges only keys sent here; and stays within the lead.
    if (input.firstTick > ackSent_ + 1) return violation(tr("tahy kláves nejdou po sobě"));
    if (input.ack > lastLocalTick_) return violation(tr("potvrzení tahu, který nebyl poslán"));
    if (input.lastTick() > lastLocalTick_ + kLeadAllowed)
        return violation(tr("soupeř je příliš napřed"));
    if (!peerTick_ || input.senderTick > peerTick_->tick)
        peerTick_ = PeerTick{input.senderTick, std::chrono::steady_clock::now(), input.ack};
    if (input.ack > peerAck_) {
        unacked_.erase(unacked_.begin(),
                       unacked_.begin() + static_cast<std::ptrdiff_t>(input.ack - peerAck_));
        peerAck_ = input.ack;
    }
    auto keyed = input.keyed.begin();
    static const std::vector<KeyEvent> none;
    for (uint32_t tick = input.firstTick; tick <= input.lastTick(); ++tick) {
        const bool has = keyed != input.keyed.end() && keyed->tick == tick;
        if (!storeRemoteInput(tick, has ? keyed->events : none)) return;
        if (has) ++keyed;
    }
    if (input.lastTick() > remoteComplete_) remoteComplete_ = input.lastTick();
    // Keys the other side counts as not yet acknowledged: it hears of them with the next Input,
    // or from resendInput when none goes soon.
    if (input.tickCount > 0) ackOwed_ = true;
}

// The keys of a tick come again in every Input until acknowledged; they must be the same each time.
bool Session::storeRemoteInput(uint32_t tick, const std::vector<KeyEvent>& events) {
    if (tick + kRemoteKept < lastLocalTick_) return true;  // long applied and forgotten
    auto [it, added] = remoteInputs_.try_emplace(tick, events);
    if (added || it->second == events) return true;
    violation(tr("dvoje různé klávesy jednoho tahu"));
    return false;
}

void Session::handleChecksum(const Checksum& checksum) {
    if (checksum.gameId > gameId_) return violation(tr("kontrolní součet hry, která nezačala"));
    if (checksum.gameId < gameId_ || gameOver_) return;
    if (checksum.tick != lastRemoteChecksumTick_ + kChecksumInterval)
        return violation(tr("kontrolní součty nejdou po sobě"));
    if (checksum.tick > lastLocalTick_ + kLeadAllowed)
        return violation(tr("soupeř je příliš napřed"));
    lastRemoteChecksumTick_ = checksum.tick;
    remoteChecksums_[checksum.tick] = checksum.value;
    compareChecksums();
}

// Each side sends its checksums in order, so one of a tick the other side has passed without a
// checksum of its own will never be compared and goes; what is left is at most the lead allowed.
void Session::compareChecksums() {
    for (auto it = remoteChecksums_.begin(); it != remoteChecksums_.end();) {
        auto local = localChecksums_.find(it->first);
        if (local == localChecksums_.end()) {
            ++it;
            continue;
        }
        if (local->second != it->second && (!desyncTick_ || it->first < *desyncTick_))
            desyncTick_ = it->first;
        localChecksums_.erase(local);
        it = remoteChecksums_.erase(it);
    }
    if (!localChecksums_.empty())
        remoteChecksums_.erase(remoteChecksums_.begin(),
                               remoteChecksums_.lower_bound(localChecksums_.rbegin()->first));
    if (!remoteChecksums_.empty())
        localChecksums_.erase(localChecksums_.begin(),
                              localChecksums_.lower_bound(remoteChecksums_.rbegin()->first));
    if (localChecksums_.size() <= kChecksumsBehind) behindSinceUs_.reset();
}

void Session::beginGame(uint32_t gameId) {
    // The last keys of the game before may still be on their way, and the other side still in it.
    if (gameId_ != 0 && peerAck_ < lastLocalTick_)
        lastGame_ = currentInput();
    else
        lastGame_.reset();
    gameId_ = gameId;
    gameOver_ = false;
    peerTick_.reset();
    lastLocalTick_ = 0;
    unacked_.clear();
    peerAck_ = remoteComplete_ = ackSent_ = senderTick_ = 0;
    ackOwed_ = false;
    remoteInputs_.clear();
    lastRemoteChecksumTick_ = 0;
    localChecksums_.clear();
    remoteChecksums_.clear();
    behindSinceUs_.reset();
    desyncTick_.reset();
}

void Session::reportMapping() {
    if (!mapper_) return;
    const MappingStatus status = mapper_->status();
    if (status.changes == mappingSeen_) return;
    mappingSeen_ = status.changes;
    if (status.stage != MappingStage::Working && options_.onAddressLine)
        options_.onAddressLine(addressLine(status, localPort()));
}

std::optional<MappingStatus> Session::mapping() const {
    if (!mapper_) return std::nullopt;
    return mapper_->status();
}

std::string Session::connectionKind() const {
    if (!connection_) return {};
    const std::string peer = connection_->peerAddress();
    if (peer.empty()) return {};
    if (connection_->relayed()) return tr("přes server");
    if (isUnreachableFromInternet(peer)) return tr("přímo v místní síti");
    if (mapper_ && mapper_->status().stage == MappingStage::Mapped)
        return tr("přímo přes otevřený port routeru");
    return tr("přímo přes internet");
}

void Session::sendProbes() {
    if (state_ != SessionState::Connected) return;
    const uint64_t now = nowUs();
    if (now < nextProbeUs_) return;
    while (!probesOut_.empty() && (probesOut_.size() >= kProbesOutKept ||
                                   now - probesOut_.begin()->second > kLongestRoundTripUs))
        probesOut_.erase(probesOut_.begin());
    probesOut_[nextProbeId_] = now;
    send(Ping{nextProbeId_++, now}, Channel::Unreliable);
    nextProbeUs_ = now + (probesAnswered_ < kFastProbes ? kFastProbeUs : kProbeUs);
}

void Session::send(const Message& message, Channel channel) {
    if (connection_) connection_->send(encode(message), channel);
}

void Session::violation(const std::string& what) {
    if (connection_) connection_->disconnect(true);
    lose(format(tr("Soupeř poslal chybnou zprávu ({}), spojení je ukončeno."), what));
}

void Session::lose(const std::string& why) {
    if (state_ == SessionState::Lost || state_ == SessionState::Refused) return;
    state_ = SessionState::Lost;
    message_ = why;
    gameOver_ = true;
    events_.push_back({SessionEvent::Type::Lost, {}, {}});
}

std::string Session::statusLine(int inputDelay) const {
    std::string waiting =
        mapper_ ? format(tr("Čekám na soupeře. {}"), addressLine(mapper_->status(), localPort()))
                : format(tr("Čekám na soupeře na portu {}…"), std::to_string(localPort()));
    if (const std::string invite = inviteLine(); !invite.empty())
        waiting = format(tr("Čekám na soupeře. {}"), invite) +
                  (mapper_ ? " " + addressLine(mapper_->status(), localPort()) : "");
    switch (state_) {
        case SessionState::Waiting:
            return waiting;
        case SessionState::Connecting:
            if (role_ == Role::Host) return tr("Soupeř se připojuje…");
            if (awaitingHost_)
                return format(tr("Ptám se serveru ZIB {} na hostitele s kódem {}…"), serverName(),
                              invite_->code());
            return format(tr("Připojuji se k hostiteli {} na portu {}…"), hostName_,
                          std::to_string(options_.port));
        case SessionState::Connected: {
            const std::optional<double> rtt = roundTripMs();
            if (!rtt) return format(tr("Soupeř připojen {}, měřím zpoždění…"), connectionKind());
            return format(
                trn("Soupeř připojen {}, zpoždění {} ms, zpoždění vstupu {} tah",
                    "Soupeř připojen {}, zpoždění {} ms, zpoždění vstupu {} tahy",
                    "Soupeř připojen {}, zpoždění {} ms, zpoždění vstupu {} tahů", inputDelay),
                connectionKind(), std::to_string(std::lround(*rtt)), std::to_string(inputDelay));
        }
        case SessionState::Lost:
            if (role_ == Role::Host)
                return message_ + (message_.ends_with('.') ? " " : ". ") + waiting;
            return message_;
        case SessionState::Refused:
            return message_;
    }
    return {};
}

std::optional<double> Session::roundTripMs() const {
    if (probes_.empty()) return std::nullopt;
    std::vector<uint64_t> sorted;
    for (const Probe& p : probes_) sorted.push_back(p.roundTripUs);
    std::sort(sorted.begin(), sorted.end());
    return static_cast<double>(sorted[sorted.size() / 2]) / 1000.0;
}

std::optional<int64_t> Session::clockOffsetUs() const {
    if (probes_.empty()) return std::nullopt;
    return std::min_element(
               probes_.begin(), probes_.end(),
               [](const Probe& a, const Probe& b) { return a.roundTripUs < b.roundTripUs; })
        ->offsetUs;
}

std::optional<int64_t> Session::localClockOf(uint64_t peerUs) const {
    const std::optional<int64_t> offset = clockOffsetUs();
    if (!offset) return std::nullopt;
    return static_cast<int64_t>(peerUs & (~0ull >> 2)) - *offset;
}

std::optional<SessionEvent> Session::takeEvent() {
    if (events_.empty()) return std::nullopt;
    SessionEvent event = std::move(events_.front());
    events_.pop_front();
    return event;
}

std::string Session::startGame(StartGame& start) {
    if (role_ != Role::Host) return tr("Hru zakládá hostitel.");
    if (state_ != SessionState::Connected) return tr("Soupeř není připojen.");
    start.gameId = gameId_ + 1;
    start.firstTickUs = nowUs() + uint64_t{start.startLeadMs} * 1000;
    const Decoded check = decode(encode(start));
    if (!check.message) return format(tr("Hru nelze poslat soupeři: {}."), check.error);
    beginGame(start.gameId);
    send(start);
    spectators_->gameStarted(start);
    // The start gives the code back: a player who comes with it later hears from the server that
    // the host plays. Spectators find the host by its code until then, by its address after.
    if (invite_ && !invite_->relayed()) invite_->gameStarted();
    // The host keeps its code while it hosts: spectators find it by the code during the games (a
    // player who comes with it meanwhile is turned away as by any busy host). A relayed host has
    // left the server, and its code, when the relay began.
    return {};
}

void Session::requestRestart() {
    if (state_ == SessionState::Connected && gameId_ != 0) send(Restart{gameId_});
}

void Session::endGame(EndReason reason, uint32_t tick) {
    if (!inGame()) return;
    gameOver_ = true;
    if (spectators_) spectators_->gameEnded();  // a game that could not start included
    if (state_ == SessionState::Connected)
        send(EndGame{gameId_, reason, reason == EndReason::Desync ? tick : 0});
    takeHeld();
}

void Session::finishGame() {
    gameOver_ = true;
    takeHeld();
}

bool Session::sendLocalInput(uint32_t tick, std::span<const KeyEvent> events, uint32_t senderTick) {
    if (!inGame() || state_ != SessionState::Connected) return false;
    if (tick != lastLocalTick_ + 1 || events.size() > kMaxEventsPerTick || senderTick > tick)
        return false;
    // The other side would not take a range longer than this; a fair game never needs one.
    if (tick - peerAck_ > kMaxInputSpan) return false;
    for (const KeyEvent& e : events)
        if (e.slot != kEscSlot && (role_ == Role::Host ? !isRedSlot(e.slot) : !isBlueSlot(e.slot)))
            return false;
    lastLocalTick_ = tick;
    senderTick_ = senderTick;
    unacked_.emplace_back(events.begin(), events.end());
    sendInput();
    if (tick > kRemoteKept)
        remoteInputs_.erase(remoteInputs_.begin(), remoteInputs_.lower_bound(tick - kRemoteKept));
    return true;
}

// This side's keys from the first tick not acknowledged to the latest, and its acknowledgement.
Input Session::currentInput() const {
    Input input{gameId_, peerAck_ + 1, lastLocalTick_ - peerAck_, senderTick_, remoteComplete_, {}};
    for (uint32_t i = 0; i < unacked_.size(); ++i)
        if (!unacked_[i].empty()) input.keyed.push_back({input.firstTick + i, unacked_[i]});
    return input;
}

void Session::sendInput() {
    send(currentInput(), Channel::Unreliable);
    ackSent_ = remoteComplete_;
    ackOwed_ = false;
    lastInputUs_ = nowUs();
}

// The latest Input again when none went for a while and the other side still needs something:
// keys it has not acknowledged, or the acknowledgement of its own.
void Session::resendInput() {
    const uint64_t now = nowUs();
    const uint64_t resendUs = static_cast<uint64_t>(kInputResend.count()) * 1000;
    if (lastGame_ && now - lastGameUs_ >= resendUs) {
        send(*lastGame_, Channel::Unreliable);
        lastGameUs_ = now;
    }
    if (gameId_ == 0 || (peerAck_ >= lastLocalTick_ && !ackOwed_)) return;
    if (now - lastInputUs_ >= resendUs) sendInput();
}

bool Session::hasRemoteInput(uint32_t tick) const {
    return remoteInputs_.count(tick) != 0;
}

std::optional<std::vector<KeyEvent>> Session::remoteInput(uint32_t tick) const {
    auto it = remoteInputs_.find(tick);
    if (it == remoteInputs_.end()) return std::nullopt;
    return it->second;
}

void Session::sendChecksum(uint32_t tick, uint64_t value) {
    if (!inGame() || state_ != SessionState::Connected || tick % kChecksumInterval != 0 ||
        tick == 0)
        return;
    localChecksums_[tick] = value;
    send(Checksum{gameId_, tick, value});
    compareChecksums();
    if (localChecksums_.size() <= kChecksumsBehind) return;
    const uint64_t now = nowUs();
    if (!behindSinceUs_) behindSinceUs_ = now;
    if (localChecksums_.size() > kChecksumsKept ||
        now - *behindSinceUs_ > static_cast<uint64_t>(options_.checksumPatience.count()) * 1000) {
        connection_->disconnect(true);
        lose(tr("Soupeř neposílá kontrolní součty hry, spojení je ukončeno."));
    }
}

void Session::close() {
    invite_.reset();  // the server frees the host's code when it leaves
    if (spectators_) spectators_->close();
    if (connection_ && connection_->connected()) {
        send(Bye{});
        connection_->disconnect(false);
        // A moment for the goodbye to be delivered; the other side's timeout covers the rest.
        for (int i = 0; i < 20 && connection_->connected(); ++i) connection_->poll(10);
    }
    if (mapper_) mapper_->stop();  // the router closes the port again
    if (state_ != SessionState::Refused) {
        state_ = SessionState::Lost;
        message_ = tr("Spojení je ukončeno.");
    }
    gameOver_ = true;
}

}  // namespace zib::net

namespace zib::net {

// The host serves its spectators and tells its player how many watch.
void Session::serveSpectators() {
    if (!spectators_) return;
    spectators_->serve();
    if (state_ != SessionState::Connected || spectators_->count() == watchersTold_) return;
    watchersTold_ = spectators_->count();
    connection_->send(encodeWatch(WatcherCount{static_cast<uint8_t>(watchersTold_)}),
                      Channel::Reliable);
}

void Session::handleWatchMessage(std::span<const uint8_t> bytes) {
    const DecodedWatch decoded = decodeWatch(bytes);
    if (!decoded.message) return violation(decoded.error);
    const auto* count = std::get_if<WatcherCount>(&*decoded.message);
    if (!count || role_ != Role::Joiner || state_ != SessionState::Connected)
        return violation(tr("zpráva pro diváky"));
    watchersTold_ = count->count;
}

int Session::watcherCount() const {
    if (spectators_) return spectators_->count();
    return state_ == SessionState::Connected ? watchersTold_ : 0;
}

}  // namespace zib::net
