#pragma once
// The host's spectators: up to kMaxWatchers programs that watch the games without playing. Each
// greets with the players' Hello; from then on it gets the start of the current game (the very
// start the joiner got), then the confirmed keys of every tick so far and of each tick as it is
// confirmed, in batches, and the game's end. A spectator that joins in the middle of a game gets
// all of it from the start and catches up on its own.
//
// A spectator never holds anything up: what it is owed is read from the one record of the game,
// and while its connection has too much unacknowledged it simply gets nothing more (it lags; ENet
// drops it when it stops answering). It may send its greeting, probes and a goodbye; anything else
// cuts off that spectator alone.
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "net/connection.h"
#include "net/messages.h"
#include "net/watch_messages.h"

namespace zib::net {

// The keys of one game kept for spectators who join late; a game with more than these (hours of
// play) is shown to its spectators up to there.
constexpr size_t kMaxRecordedKeys = 200'000;

class Spectators {
  public:
    Spectators(Connection& connection, std::string gameVersion);

    // Serves the spectators: greetings, probes, goodbyes, and what each is owed of the game.
    void serve();
    // The game the spectators are shown: a new start, each confirmed tick's keys as the game
    // applied them (tick counts up from 1), and the end after the last confirmed tick.
    void gameStarted(const StartGame& start);
    void confirmed(uint32_t tick, std::span<const AppliedKey> red,
                   std::span<const AppliedKey> blue);
    void gameEnded();
    // Says goodbye to every spectator.
    void close();

    // The spectators who have greeted.
    int count() const;

  private:
    struct Watcher {
        uint32_t id = 0;
        bool greeted = false;
        uint32_t gameId = 0;    // the game whose start it got
        uint32_t sentTick = 0;  // confirmed to it up to here
        size_t sentKeys = 0;    // keys of the record sent
        bool endSent = false;
        std::chrono::steady_clock::time_point lastSent{};
    };
    void receive(Watcher& watcher, std::span<const uint8_t> bytes);
    void cutOff(uint32_t id, bool gently);
    void feed(Watcher& watcher, std::chrono::steady_clock::time_point now);
    WatchedTicks nextBatch(const Watcher& watcher) const;
    void send(Watcher& watcher, const WatchedTicks& batch,
              std::chrono::steady_clock::time_point now);

    Connection& connection_;
    std::string gameVersion_;
    std::vector<Watcher> watchers_;
    std::optional<StartGame> start_;
    std::vector<WatchedKey> keys_;  // every key of the game so far, in order
    uint32_t lastTick_ = 0;         // the last confirmed tick
    bool ended_ = false;
};

}  // namespace zib::net
