#pragma once
// The spectator's end of watching a host's games: it connects as a spectator, greets, and then
// only listens. It keeps the start of the current game and the confirmed keys of its ticks that
// have not been shown yet, with the time each run of ticks arrived, so that the game can be shown
// a fixed time behind. Everything the host sends is checked; a fault ends the watching with a
// Czech message.
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "net/connection.h"
#include "net/invite_client.h"
#include "net/messages.h"
#include "net/watch_messages.h"
#include "platform/result.h"

namespace zib::net {

class WatchSession {
  public:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class State { Connecting, Watching, Lost };

    ~WatchSession();
    WatchSession(const WatchSession&) = delete;
    WatchSession& operator=(const WatchSession&) = delete;

    // Starts connecting to the host; a Czech message when the name cannot be resolved.
    static Result<std::unique_ptr<WatchSession>> open(
        const std::string& host, uint16_t port, const std::string& gameVersion,
        std::chrono::milliseconds timeout = std::chrono::milliseconds{5000});

    // Asks the ZIB server at server:serverPort for the host with this invite code, then connects
    // to it directly from the same socket (no relay: when no direct path answers, the watching
    // ends with a Czech message saying so).
    static Result<std::unique_ptr<WatchSession>> openByCode(
        const std::string& code, const std::string& server, uint16_t serverPort,
        const std::string& gameVersion,
        std::chrono::milliseconds timeout = std::chrono::milliseconds{5000});

    void poll(int timeoutMs);
    State state() const { return state_; }
    // Why the watching ended (empty before).
    const std::string& message() const { return message_; }
    // "HOST" or "HOST:PORT" as given, or "s kódem CODE".
    std::string hostLabel() const;

    // The start of the game to show next, once, when it has come.
    std::optional<StartGame> takeStart();
    // The game being shown: the last confirmed tick, whether it ended after that one, when a
    // confirmed tick arrived here, and its keys (taken once, in order; earlier ticks' keys go).
    // A game the host starts meanwhile waits until this one has been shown to its end.
    bool hasGame() const { return current_.has_value(); }
    uint32_t confirmedTick() const { return current_ ? current_->confirmed : 0; }
    bool ended() const { return current_ && current_->ended; }
    TimePoint arrivedAt(uint32_t tick) const;
    std::vector<WatchedKey> takeKeys(uint32_t tick);
    // The game has been shown (or could not be): the next one, if any, follows.
    void finishGame();

    // The spectator leaves: a goodbye, then the connection closes.
    void close();

  private:
    WatchSession() = default;
    void serveInvite();
    void receive(std::span<const uint8_t> bytes);
    void takeTicks(WatchedTicks& ticks);
    void fault(const std::string& what);
    void lose(const std::string& why);

    std::unique_ptr<Connection> connection_;
    std::string host_;
    uint16_t port_ = 0;
    std::string gameVersion_;
    // By invite code: the server's answer, and whether the host's paths have been tried.
    std::unique_ptr<InviteClient> invite_;
    std::string code_;
    bool pathsTried_ = false;
    State state_ = State::Connecting;
    std::string message_;
    struct Game {
        StartGame start;
        bool startTaken = false;
        uint32_t confirmed = 0;
        bool ended = false;
        std::deque<WatchedKey> keys;
        std::deque<std::pair<uint32_t, TimePoint>> arrivals;  // (last tick of a run, arrival)
    };
    std::optional<Game> current_, next_;  // next_: the host's latest game, while one is shown
    uint32_t lastGameId_ = 0;
};

}  // namespace zib::net
