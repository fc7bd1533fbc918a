#pragma once
// The link between two programs above the ENet connection, knowing nothing of the game: the
// handshake of versions, the state and its Czech line for the menu, round trip probes, the start
// of a game, the queue of both sides' keys per tick, checksums and the end of a game.
//
// The host decides: its start carries the game's id, settings, level, random state and when the
// first tick begins. Within a game each side sends, for every tick from 1 on, one Input as it
// plays: unreliable, and carrying its keys of every tick the other side has not yet acknowledged
// up to the newest, with the tick it plays and its own acknowledgement of the other side's keys.
// A lost Input holds nothing back: the next one brings its keys again. While anything of this side
// is unacknowledged, or the other side has not heard this side's acknowledgement, the latest Input
// goes again whenever none went for a while, so a side that waits is not left waiting for a lost
// one, and the last keys of a game still arrive after its end. Duplicates and Inputs out of order
// change nothing. The session refuses anything the other side sends out of turn, any key of this
// side's snake, a tick whose keys differ between two Inputs, and a range that skips keys, and then
// closes the connection with a message.
//
// Round trip probes go on all through the connection, games included: each Ping's id and send
// time stay here, and only the first answer to an id sent counts, timed by this side's clock. A
// start that overtakes the last keys of the game before it waits on the joiner until that game
// has ended there.
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "net/connection.h"
#include "net/invite_client.h"
#include "net/messages.h"
#include "net/port_mapping.h"
#include "net/watchers.h"
#include "platform/result.h"

namespace zib::net {

enum class Role { Host, Joiner };

enum class SessionState {
    Waiting,     // the host: nobody connected
    Connecting,  // the joiner's attempt, or a connection whose versions are not yet known
    Connected,   // versions agree: games may start
    Lost,        // the connection dropped or was closed for bad input (the host waits anew)
    Refused,     // the versions differ, or the host already plays with someone
};

// A side sends its latest Input again when none went for this long and something is owed.
constexpr std::chrono::milliseconds kInputResend{20};

// How long the joiner by invite code waits for the direct path before the server relays.
constexpr std::chrono::milliseconds kDirectLimit{3000};

struct SessionOptions {
    std::string gameVersion;  // this program's, e.g. "1.1.0"
    std::string bindHost;     // the host: the address to listen on; empty: all interfaces
    uint16_t port = kDefaultPort;
    // Silence for this long ends the connection.
    std::chrono::milliseconds timeout{5000};
    // The host: a connection that has not greeted within this long is dropped, and so is one
    // whose handshake has not finished by then.
    std::chrono::milliseconds greetingLimit{2000};
    // A peer more than 4 checksums behind this side for this long is cut off. Its checksums share
    // one ordered channel, which a lost packet holds up until ENet sends it again; at the fastest
    // speeds that is longer than four checksums' worth of ticks.
    std::chrono::milliseconds checksumPatience{2000};
    // The host: asks the router to open the port (see port_mapping.h).
    bool portMapping = false;
    MappingOptions mapping;
    // A ZIB server (a name or an address; empty: none): the host registers with it for an invite
    // code, the joiner asks it for the host with a code.
    std::string server;
    uint16_t serverPort = kDefaultServerPort;
    // The host: called from poll() with the address line once the router has answered or not,
    // and with the invite line whenever the server gives a code or loses it. The joiner by code:
    // called with why the server did not pair it, or how it reached the host once the versions
    // agree, e.g. "Připojeno k hostiteli přes server.".
    std::function<void(const std::string&)> onAddressLine;
};

struct SessionEvent {
    enum class Type {
        Start,    // a game starts (on the joiner: the host's start; start holds it)
        Restart,  // the joiner asks the host to start the level again (the host only)
        End,      // the other side ended the game (end holds why)
        Lost,     // the connection is gone (message() says why); any game ends, no win counts
    };
    Type type = Type::Start;
    StartGame start;
    EndGame end;
    std::chrono::steady_clock::time_point arrived{};  // when the message came
};

// The latest tick the other side said it plays, when that came, and how far it had this side's
// keys then.
struct PeerTick {
    uint32_t tick = 0;
    std::chrono::steady_clock::time_point heard{};
    uint32_t ack = 0;
};

class Session {
  public:
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // A Czech message when the port cannot be opened or the name resolved.
    static Result<std::unique_ptr<Session>> host(const SessionOptions& options);
    static Result<std::unique_ptr<Session>> join(const std::string& hostName,
                                                 const SessionOptions& options);
    // The joiner asks options.server for the host with this invite code, then connects to it.
    static Result<std::unique_ptr<Session>> joinByCode(const std::string& code,
                                                       const SessionOptions& options);

    // Serves the network: waits up to timeoutMs for the first event, handles everything that
    // arrived, sends the round trip probes that are due and applies the silence rule.
    void poll(int timeoutMs);

    Role role() const { return role_; }
    SessionState state() const { return state_; }
    // The menu's line, e.g. "Soupeř připojen, zpoždění 34 ms, zpoždění vstupu 2 tahy" with this
    // machine's own input delay.
    std::string statusLine(int inputDelay) const;
    // Why the connection was lost or refused (empty otherwise).
    const std::string& message() const { return message_; }
    // The host's port mapping, when one was asked for.
    std::optional<MappingStatus> mapping() const;
    // How the two are connected, e.g. "přímo v místní síti" (empty when not connected).
    std::string connectionKind() const;
    // The median of the latest round trip probes, once there is one. Probes go on through every
    // game, so it follows the link as it is now.
    std::optional<double> roundTripMs() const;
    // This session's clock in microseconds (steady, from the session's creation).
    uint64_t clockUs() const { return nowUs(); }
    // The other side's clock minus this one's, from the answered probe with the shortest round
    // trip among the latest: its answer was made about half that round trip after it was sent.
    std::optional<int64_t> clockOffsetUs() const;
    // A time of the other side's clock on this one's (clockUs), once the offset is known.
    std::optional<int64_t> localClockOf(uint64_t peerUs) const;
    uint16_t localPort() const;
    uint64_t bytesSent() const { return connection_ ? connection_->bytesSent() : 0; }
    uint64_t bytesReceived() const { return connection_ ? connection_->bytesReceived() : 0; }
    // The host's invite code from the server, while it has one.
    std::string inviteCode() const;
    // The host's spectators (null on the joiner's side), and how many watch the game: the host
    // counts them, the joiner hears it from the host.
    Spectators* spectators() { return spectators_.get(); }
    int watcherCount() const;

    // The next thing the game or the menu must act on.
    std::optional<SessionEvent> takeEvent();

    // The host starts a game: the session gives it the next game id and the moment of its first
    // tick on this session's clock (startLeadMs from now), and sends it. Returns a Czech
    // message (and sends nothing) when not connected or the start would not pass the checks.
    std::string startGame(StartGame& start);
    // The joiner's Enter after a game: asks the host for a restart.
    void requestRestart();
    // This side ends the current game (Esc, or a desync found here).
    void endGame(EndReason reason, uint32_t tick = 0);
    // The game ended here by itself (its end test): a start the joiner keeps until then is taken.
    void finishGame();
    bool inGame() const { return gameId_ != 0 && !gameOver_; }
    uint32_t gameId() const { return gameId_; }

    // This side's keys that act in tick (ticks go up by one from 1), sent while playing
    // senderTick.
    bool sendLocalInput(uint32_t tick, std::span<const KeyEvent> events, uint32_t senderTick = 0);
    // The other side's keys of tick; those 512 ticks behind the latest sent here are forgotten.
    bool hasRemoteInput(uint32_t tick) const;
    std::optional<std::vector<KeyEvent>> remoteInput(uint32_t tick) const;
    // The tick the other side last said it plays (none before its first Input of the game).
    std::optional<PeerTick> peerTick() const { return peerTick_; }

    // This side's checksum of the state after tick (a multiple of 16).
    void sendChecksum(uint32_t tick, uint64_t value);
    // The first tick whose checksums differ, once known.
    std::optional<uint32_t> desyncTick() const { return desyncTick_; }

    // The player leaves: a goodbye, then the connection closes.
    void close();

  private:
    Session() = default;
    void handleConnectionEvent(ConnectionEvent& event);
    void handleMessage(Message& message, Channel channel);
    void dispatch(Message& message);
    void handleHello(const Hello& hello);
    void handlePong(const Pong& pong);
    void takeHeld();
    void handleInput(const Input& input);
    Input currentInput() const;
    void sendInput();
    void resendInput();
    bool storeRemoteInput(uint32_t tick, const std::vector<KeyEvent>& events);
    void handleChecksum(const Checksum& checksum);
    void compareChecksums();
    void beginGame(uint32_t gameId);
    void sendProbes();
    void reportMapping();
    void serveInvite();
    void punch();
    std::string inviteLine() const;
    std::string serverName() const;
    void send(const Message& message, Channel channel = Channel::Reliable);
    void violation(const std::string& what);
    void lose(const std::string& why);
    uint64_t nowUs() const;

    Role role_ = Role::Host;
    SessionState state_ = SessionState::Waiting;
    SessionOptions options_;
    std::string hostName_;
    std::unique_ptr<Connection> connection_;
    std::unique_ptr<PortMapper> mapper_;
    uint32_t mappingSeen_ = 0;  // the mapper's changes reported so far
    // The ZIB server: the host's registration, or the joiner's question until it is answered.
    std::unique_ptr<InviteClient> invite_;
    std::string inviteReported_;  // the invite line last given to onAddressLine
    bool awaitingHost_ = false;   // the joiner by code, until it connects to the host it was given
    bool triedOtherPaths_ = false;  // the joiner by code: the host's other paths are being tried
    bool joinReported_ = false;     // the joiner by code: said how it reached the host
    // The joiner by code: its direct paths ended while the relay was asked.
    bool directGone_ = false;
    // The host: the paired joiner's public endpoint, which it sends bare datagrams to for a while
    // from the moment the server named, so that its own NAT lets the joiner's connection in.
    std::optional<InviteClient::Pairing> punching_;
    bool punchingPast_ = false;  // the pairing came while the player was connected
    std::chrono::steady_clock::time_point nextPunch_{};
    std::string message_;
    std::deque<SessionEvent> events_;

    std::chrono::steady_clock::time_point epoch_ = std::chrono::steady_clock::now();
    uint64_t lastHeardUs_ = 0;
    uint64_t connectedUs_ = 0;
    uint64_t nextProbeUs_ = 0;
    uint32_t nextProbeId_ = 1;
    int probesAnswered_ = 0;
    // The probes sent and not yet answered: id and this side's clock when sent. An answer is
    // taken once, for an id found here.
    std::map<uint32_t, uint64_t> probesOut_;
    struct Probe {
        uint64_t roundTripUs = 0;
        int64_t offsetUs = 0;  // the other side's clock minus this one's
    };
    std::deque<Probe> probes_;  // the latest answered, oldest first

    uint32_t gameId_ = 0;  // the current (or last) game; 0 before the first
    bool gameOver_ = false;
    std::optional<PeerTick> peerTick_;
    uint32_t lastLocalTick_ = 0;  // the last tick this side sent keys for
    // This side's keys of the ticks the other side has not acknowledged, from peerAck_ + 1 on.
    std::deque<std::vector<KeyEvent>> unacked_;
    uint32_t peerAck_ = 0;         // the other side's highest acknowledgement of this side's keys
    uint32_t remoteComplete_ = 0;  // all of the other side's keys up to this tick are here
    uint32_t ackSent_ = 0;         // the highest acknowledgement this side has sent
    bool ackOwed_ = false;         // the other side has not heard of remoteComplete_ yet
    uint32_t senderTick_ = 0;      // the tick this side said it plays
    uint64_t lastInputUs_ = 0;     // when the last Input went
    // The last Input of the game before while the other side has not acknowledged all of it, and
    // when it last went: a start may overtake those keys, and the other side may still wait.
    std::optional<Input> lastGame_;
    uint64_t lastGameUs_ = 0;
    std::map<uint32_t, std::vector<KeyEvent>> remoteInputs_;
    std::vector<Input> early_;  // the joiner: keys that came before their start
    // The joiner: a start that came while the game before it still runs here, and the messages
    // of its channel that followed it, in order; taken when that game has ended here, so that
    // its last keys, which the start may have overtaken, are still played.
    std::deque<Message> held_;
    uint32_t lastRemoteChecksumTick_ = 0;
    std::map<uint32_t, uint64_t> localChecksums_, remoteChecksums_;
    std::optional<uint64_t> behindSinceUs_;  // since when the other side's checksums lag
    std::optional<uint32_t> desyncTick_;

    std::unique_ptr<Spectators> spectators_;
    int watchersTold_ = 0;  // the host: the count its player knows; the joiner: the host's word
    void serveSpectators();
    void handleWatchMessage(std::span<const uint8_t> bytes);
};

}  // namespace zib::net
