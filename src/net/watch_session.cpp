// The spectator's connection: greeting, the host's starts and confirmed ticks, and the ends.
#include "net/watch_session.h"

#include <algorithm>

#include "net/session.h"
#include "net/watchers.h"
#include "platform/texts.h"

namespace zib::net {

namespace {

// Runs of ticks whose arrival is remembered; older ones count as arrived with the oldest kept.
constexpr size_t kArrivalsKept = 4096;

std::string noDirectPath(const std::string& code) {
    return format(tr("Hostitel s kódem {} není přímo dosažitelný a divák se přes server připojit "
                     "nemůže. Požádejte hostitele o jeho adresu (zib --watch ADRESA)."),
                  code);
}

// A spectator's connection: its own kind, so that the host counts it beside the player.
ConnectionOptions watcherOptions(std::chrono::milliseconds timeout) {
    ConnectionOptions options;
    options.timeout = timeout;
    options.watcher = true;
    return options;
}

}  // namespace

WatchSession::~WatchSession() = default;

Result<std::unique_ptr<WatchSession>> WatchSession::open(const std::string& host, uint16_t port,
                                                         const std::string& gameVersion,
                                                         std::chrono::milliseconds timeout) {
    std::string error;
    auto connection = Connection::connect(host, port, watcherOptions(timeout), error);
    if (!connection) return Failure{error};
    std::unique_ptr<WatchSession> s(new WatchSession);
    s->connection_ = std::move(connection);
    s->host_ = host;
    s->port_ = port;
    s->gameVersion_ = gameVersion;
    return s;
}

Result<std::unique_ptr<WatchSession>> WatchSession::openByCode(const std::string& code,
                                                               const std::string& server,
                                                               uint16_t serverPort,
                                                               const std::string& gameVersion,
                                                               std::chrono::milliseconds timeout) {
    std::string error;
    auto connection = Connection::open(watcherOptions(timeout), error);
    if (!connection) return Failure{error};
    InviteClientOptions inviteOptions;
    inviteOptions.timeout = timeout;
    auto invite =
        InviteClient::joinByCode(server, serverPort, code, error, inviteOptions, connection.get());
    if (!invite) return Failure{error};
    std::unique_ptr<WatchSession> s(new WatchSession);
    s->connection_ = std::move(connection);
    s->invite_ = std::move(invite);
    s->code_ = code;
    s->gameVersion_ = gameVersion;
    return s;
}

std::string WatchSession::hostLabel() const {
    // "Sledujete hru hostitele s kódem K7QM3D."
    if (!code_.empty()) return format(tr("s kódem {}"), code_);
    return host_ + (port_ == kDefaultPort ? "" : ":" + std::to_string(port_));
}

void WatchSession::poll(int timeoutMs) {
    if (state_ == State::Lost) return;
    std::vector<ConnectionEvent> events = connection_->poll(timeoutMs);
    serveInvite();
    for (ConnectionEvent& e : events) {
        if (state_ == State::Lost) break;
        switch (e.type) {
            case ConnectionEvent::Type::Connected:
                state_ = State::Watching;
                connection_->send(encode(Hello{kProtocolVersion, gameVersion_}), Channel::Reliable);
                break;
            case ConnectionEvent::Type::Received:
                receive(e.bytes);
                break;
            case ConnectionEvent::Type::Disconnected:
                if (e.reason == DisconnectReason::Full) {
                    lose(format(tr("Hostitel už má {} diváků. Zkuste to později."),
                                std::to_string(kMaxWatchers)));
                } else if (state_ == State::Connecting && invite_) {
                    lose(noDirectPath(code_));
                } else if (state_ == State::Connecting) {
                    lose(format(tr("Hostitel {} na portu {} neodpovídá."), host_,
                                std::to_string(port_)));
                } else {
                    lose(tr("Spojení s hostitelem skončilo."));
                }
                break;
        }
    }
}

// The server names the host; its paths on its own network and its router's opened port are tried
// at once, its public address at the moment the server named (when the host opens its NAT towards
// this side), and the first that answers is the spectator's.
void WatchSession::serveInvite() {
    if (!invite_ || state_ != State::Connecting) return;
    invite_->poll(0);
    if (connection_->connected()) return invite_->finish();
    if (invite_->stage() == InviteStage::Failed) return lose(invite_->message());
    if (invite_->stage() != InviteStage::Paired) return;
    const auto now = std::chrono::steady_clock::now();
    std::string error;
    if (!pathsTried_) {
        pathsTried_ = true;
        for (const InviteClient::Endpoint& path : invite_->otherPaths())
            connection_->connectTo(path.address, path.port, error);
    }
    if (host_.empty() && now >= invite_->startAt()) {
        host_ = invite_->peerAddress();
        port_ = invite_->peerPort();
        connection_->connectTo(host_, port_, error);  // a path less when it fails
    }
    if (now >= invite_->startAt() + kDirectLimit) {
        connection_->disconnect(true);
        lose(noDirectPath(code_));
    }
}

void WatchSession::receive(std::span<const uint8_t> bytes) {
    if (isWatchMessage(bytes)) {
        DecodedWatch decoded = decodeWatch(bytes);
        if (!decoded.message) return fault(decoded.error);
        auto* ticks = std::get_if<WatchedTicks>(&*decoded.message);
        if (!ticks) return fault(tr("zpráva pro hráče"));
        return takeTicks(*ticks);
    }
    Decoded decoded = decode(bytes);
    if (!decoded.message) return fault(decoded.error);
    Message& m = *decoded.message;
    if (std::holds_alternative<Refuse>(m)) return lose(tr("Hostitel má jinou verzi hry."));
    if (std::holds_alternative<Bye>(m)) return lose(tr("Hostitel skončil."));
    if (std::holds_alternative<Pong>(m)) return;
    auto* start = std::get_if<StartGame>(&m);
    if (!start) return fault(tr("zpráva, která divákovi nepatří"));
    if (start->gameId <= lastGameId_) return fault(tr("start hry se starým číslem"));
    lastGameId_ = start->gameId;
    // A game between the one shown and this one was never begun here: it is skipped.
    Game game;
    game.start = std::move(*start);
    (current_ ? next_ : current_) = std::move(game);
}

void WatchSession::takeTicks(WatchedTicks& ticks) {
    // Ticks come for the host's latest game only: it sends a game to its end before the next start.
    if (lastGameId_ == 0 || ticks.gameId != lastGameId_) return fault(tr("tahy jiné hry"));
    Game& g = next_ ? *next_ : *current_;
    if (g.ended) return fault(tr("tahy po konci hry"));
    if (ticks.firstTick != g.confirmed + 1) return fault(tr("tahy nejdou po sobě"));
    if (g.keys.size() + ticks.keys.size() > kMaxRecordedKeys)
        return fault(tr("příliš mnoho kláves"));
    g.keys.insert(g.keys.end(), ticks.keys.begin(), ticks.keys.end());
    if (ticks.lastTick >= ticks.firstTick) {
        g.arrivals.emplace_back(ticks.lastTick, std::chrono::steady_clock::now());
        if (g.arrivals.size() > kArrivalsKept) g.arrivals.pop_front();
    }
    g.confirmed = ticks.lastTick;
    g.ended = ticks.ended;
}

std::optional<StartGame> WatchSession::takeStart() {
    if (!current_ || current_->startTaken) return std::nullopt;
    current_->startTaken = true;
    return current_->start;
}

WatchSession::TimePoint WatchSession::arrivedAt(uint32_t tick) const {
    if (!current_) return std::chrono::steady_clock::now();
    const auto& runs = current_->arrivals;
    auto it = std::lower_bound(runs.begin(), runs.end(), tick,
                               [](const auto& run, uint32_t t) { return run.first < t; });
    return it == runs.end() ? std::chrono::steady_clock::now() : it->second;
}

std::vector<WatchedKey> WatchSession::takeKeys(uint32_t tick) {
    std::vector<WatchedKey> out;
    if (!current_) return out;
    auto& keys = current_->keys;
    while (!keys.empty() && keys.front().tick <= tick) {
        if (keys.front().tick == tick) out.push_back(keys.front());
        keys.pop_front();
    }
    auto& runs = current_->arrivals;
    while (!runs.empty() && runs.front().first < tick) runs.pop_front();
    return out;
}

void WatchSession::finishGame() {
    current_ = std::move(next_);
    next_.reset();
}

void WatchSession::fault(const std::string& what) {
    connection_->disconnect(true);
    lose(format(tr("Hostitel poslal chybnou zprávu ({}), sledování je ukončeno."), what));
}

void WatchSession::lose(const std::string& why) {
    if (state_ == State::Lost) return;
    state_ = State::Lost;
    message_ = why;
}

void WatchSession::close() {
    if (connection_->connected()) {
        connection_->send(encode(Bye{}), Channel::Reliable);
        connection_->disconnect(false);
        for (int i = 0; i < 20 && connection_->connected(); ++i) connection_->poll(10);
    }
    lose(tr("Sledování je ukončeno."));
}

}  // namespace zib::net
